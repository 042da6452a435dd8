#include "platform/sound/loudness.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstdint>
#include <fstream>
#include <iterator>

namespace bf::loudness {
namespace {

constexpr double kPi = 3.14159265358979323846;

std::uint32_t Le(const std::string& b, std::size_t at, int bytes) {
  std::uint32_t v = 0;
  for (int i = bytes - 1; i >= 0; --i) v = v << 8 | static_cast<std::uint8_t>(b[at + i]);
  return v;
}

// A second-order section, transposed direct form II.
struct Biquad {
  double b0, b1, b2, a1, a2;
  double z1 = 0, z2 = 0;
  double Run(double x) {
    const double y = b0 * x + z1;
    z1 = b1 * x - a1 * y + z2;
    z2 = b2 * x - a2 * y;
    return y;
  }
};

// The K-weighting at any sample rate: a high shelf of about +4 dB above 1.5 kHz (the head), then
// a high pass near 38 Hz, both designed from their analogue prototypes.
Biquad HeadShelf(int rate) {
  const double gainDb = 3.999843853973347, q = 0.7071752369554196;
  const double k = std::tan(kPi * 1681.974450955533 / rate);
  const double vh = std::pow(10.0, gainDb / 20), vb = std::pow(vh, 0.4996667741545416);
  const double a0 = 1 + k / q + k * k;
  return {(vh + vb * k / q + k * k) / a0, 2 * (k * k - vh) / a0, (vh - vb * k / q + k * k) / a0,
          2 * (k * k - 1) / a0, (1 - k / q + k * k) / a0};
}

Biquad LowCut(int rate) {
  const double q = 0.5003270373238773;
  const double k = std::tan(kPi * 38.13547087602444 / rate);
  const double a0 = 1 + k / q + k * k;
  return {1, -2, 1, 2 * (k * k - 1) / a0, (1 - k / q + k * k) / a0};
}

double Lufs(double meanSquare) {
  return meanSquare > 0 ? -0.691 + 10 * std::log10(meanSquare) : -1e9;
}

// The K-weighted power of every 400 ms block, blocks 100 ms apart.
std::vector<double> BlockPowers(const Wave& wave) {
  const std::size_t step = static_cast<std::size_t>(std::lround(wave.rate * 0.1));
  const std::size_t frames = std::max(wave.frames(), 4 * step);
  const double speakers = wave.channels == 1 ? 2 : 1;
  std::vector<double> segments(frames / step, 0.0);
  for (int c = 0; c < wave.channels; ++c) {
    Biquad shelf = HeadShelf(wave.rate), cut = LowCut(wave.rate);
    for (std::size_t i = 0; i < segments.size() * step; ++i) {
      const double x = i < wave.frames() ? wave.samples[i * wave.channels + c] : 0.0;
      const double y = cut.Run(shelf.Run(x));
      segments[i / step] += speakers * y * y;
    }
  }
  std::vector<double> blocks;
  for (std::size_t j = 0; j + 4 <= segments.size(); ++j) {
    blocks.push_back((segments[j] + segments[j + 1] + segments[j + 2] + segments[j + 3]) /
                     static_cast<double>(4 * step));
  }
  return blocks;
}

// The mean power of the blocks louder than `gate` LUFS; 0 when there are none.
double MeanAbove(const std::vector<double>& blocks, double gate) {
  double sum = 0;
  int count = 0;
  for (double p : blocks) {
    if (Lufs(p) > gate) sum += p, ++count;
  }
  return count > 0 ? sum / count : 0;
}

void Fft(std::vector<std::complex<double>>& x) {
  const std::size_t n = x.size();
  for (std::size_t i = 1, j = 0; i < n; ++i) {
    std::size_t bit = n >> 1;
    for (; j & bit; bit >>= 1) j ^= bit;
    j ^= bit;
    if (i < j) std::swap(x[i], x[j]);
  }
  for (std::size_t len = 2; len <= n; len <<= 1) {
    const std::complex<double> w = std::polar(1.0, -2 * kPi / len);
    for (std::size_t i = 0; i < n; i += len) {
      std::complex<double> wk = 1;
      for (std::size_t k = 0; k < len / 2; ++k, wk *= w) {
        const std::complex<double> u = x[i + k], v = x[i + k + len / 2] * wk;
        x[i + k] = u + v;
        x[i + k + len / 2] = u - v;
      }
    }
  }
}

// Frames half overlapped under a sine window, whose squares add up to exactly 1: every sample's
// energy is counted once, wherever it falls.
double LowShare(const Wave& wave, double belowHz) {
  constexpr std::size_t kFrame = 4096, kHop = kFrame / 2;
  std::vector<double> window(kFrame);
  for (std::size_t i = 0; i < kFrame; ++i) window[i] = std::sin(kPi * (i + 0.5) / kFrame);
  const std::size_t lowBins = static_cast<std::size_t>(belowHz * kFrame / wave.rate);
  const long long frames = static_cast<long long>(wave.frames());
  double low = 0, total = 0;
  std::vector<std::complex<double>> x(kFrame);
  for (int c = 0; c < wave.channels; ++c) {
    for (long long start = -static_cast<long long>(kHop); start < frames; start += kHop) {
      for (std::size_t i = 0; i < kFrame; ++i) {
        const long long at = start + static_cast<long long>(i);
        x[i] = at >= 0 && at < frames ? window[i] * wave.samples[at * wave.channels + c] : 0.0;
      }
      Fft(x);
      for (std::size_t k = 0; k < kFrame; ++k) {
        const double power = std::norm(x[k]);
        total += power;
        if (std::min(k, kFrame - k) < lowBins) low += power;
      }
    }
  }
  return total > 0 ? low / total : 0;
}

// Runs of frames under -60 dBFS: at the start, at the end, and the longest between sounds.
void MeasureSilence(const Wave& wave, Measures* m) {
  const std::size_t frames = wave.frames();
  const double msPerFrame = 1000.0 / wave.rate;
  std::size_t runStart = 0;
  bool heard = false;
  for (std::size_t i = 0; i < frames; ++i) {
    bool quiet = true;
    for (int c = 0; c < wave.channels; ++c) {
      quiet &= std::fabs(wave.samples[i * wave.channels + c]) < 0.001f;
    }
    if (quiet) continue;
    const double runMs = static_cast<double>(i - runStart) * msPerFrame;
    if (!heard) {
      m->silenceStartMs = runMs;
    } else if (runMs >= 1 && runMs > m->longestSilenceMs) {  // shorter: a wave crossing zero
      m->longestSilenceMs = runMs;
      m->longestSilenceAt = static_cast<double>(runStart) / wave.rate;
    }
    heard = true;
    runStart = i + 1;
  }
  m->silenceEndMs = static_cast<double>(frames - runStart) * msPerFrame;
  if (!heard) m->silenceStartMs = m->silenceEndMs;
}

// The loop's seam against the steps the music takes on either side of it: a jump no larger than
// the music's own steps there is heard as part of it, a larger one as a click.
void MeasureSeam(const Wave& wave, Measures* m) {
  const std::size_t frames = wave.frames(), ch = static_cast<std::size_t>(wave.channels);
  const std::size_t near = std::min(frames / 2, static_cast<std::size_t>(wave.rate / 20));
  if (near < 2) return;
  auto sample = [&](std::size_t frame, std::size_t c) { return wave.samples[frame * ch + c]; };
  std::vector<double> steps;
  for (std::size_t c = 0; c < ch; ++c) {
    m->seamJump = std::max<double>(m->seamJump, std::fabs(sample(0, c) - sample(frames - 1, c)));
    for (std::size_t i = 0; i + 1 < near; ++i) {
      steps.push_back(std::fabs(sample(i + 1, c) - sample(i, c)));
      steps.push_back(std::fabs(sample(frames - 1 - i, c) - sample(frames - 2 - i, c)));
    }
  }
  auto at = steps.begin() + static_cast<std::ptrdiff_t>(steps.size() * 99 / 100);
  std::nth_element(steps.begin(), at, steps.end());
  m->stepNearSeam = *at;
}

}  // namespace

bool ReadWave(const std::string& path, Wave* wave, std::string* error) {
  std::ifstream in(path, std::ios::binary);
  const std::string b((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (b.size() < 12 || b.compare(0, 4, "RIFF") != 0 || b.compare(8, 4, "WAVE") != 0) {
    *error = "not a RIFF WAVE file";
    return false;
  }
  int format = 0;
  bool data = false;
  for (std::size_t at = 12; at + 8 <= b.size();) {
    const std::string id = b.substr(at, 4);
    const std::size_t size = std::min<std::size_t>(Le(b, at + 4, 4), b.size() - at - 8);
    if (id == "fmt " && size >= 16) {
      format = static_cast<int>(Le(b, at + 8, 2));
      wave->channels = static_cast<int>(Le(b, at + 10, 2));
      wave->rate = static_cast<int>(Le(b, at + 12, 4));
      wave->bits = static_cast<int>(Le(b, at + 22, 2));
    } else if (id == "data") {
      wave->samples.clear();
      for (std::size_t i = 0; i + 1 < size; i += 2) {
        wave->samples.push_back(static_cast<std::int16_t>(Le(b, at + 8 + i, 2)) / 32768.0f);
      }
      data = true;
    }
    at += 8 + size + (size & 1);
  }
  if (format != 1 || wave->bits != 16 || wave->channels < 1 || wave->channels > 2 ||
      wave->rate <= 0 || !data) {
    *error = "not 16-bit PCM with one or two channels";
    return false;
  }
  wave->samples.resize(wave->frames() * wave->channels);
  return true;
}

double IntegratedLoudness(const Wave& wave) {
  const std::vector<double> blocks = BlockPowers(wave);
  const double loud = MeanAbove(blocks, kSilenceLufs);
  if (loud <= 0) return kSilenceLufs;
  return std::max(kSilenceLufs, Lufs(MeanAbove(blocks, std::max(kSilenceLufs, Lufs(loud) - 10))));
}

double MaxMomentaryLoudness(const Wave& wave) {
  double loudest = 0;
  for (double p : BlockPowers(wave)) loudest = std::max(loudest, p);
  return std::max(kSilenceLufs, Lufs(loudest));
}

Measures Measure(const Wave& wave) {
  Measures m;
  if (wave.rate <= 0 || wave.frames() == 0) return m;
  m.seconds = static_cast<double>(wave.frames()) / wave.rate;
  m.integratedLufs = IntegratedLoudness(wave);
  m.momentaryMaxLufs = MaxMomentaryLoudness(wave);
  bool clipping = false;
  for (std::size_t i = 0; i < wave.frames(); ++i) {
    bool clipped = false;
    for (int c = 0; c < wave.channels; ++c) {
      const float s = wave.samples[i * wave.channels + c];
      m.peak = std::max<double>(m.peak, std::fabs(s));
      const bool full = s >= 32767 / 32768.0f || s <= -1.0f;
      m.fullScaleSamples += full;
      clipped |= full;
    }
    m.fullScaleRuns += clipped && !clipping;
    clipping = clipped;
  }
  m.lowShare = LowShare(wave, 250);
  for (int c = 0; c < wave.channels; ++c) {
    double sum = 0;
    for (std::size_t i = 0; i < wave.frames(); ++i) sum += wave.samples[i * wave.channels + c];
    m.dcOffset = std::max(m.dcOffset, std::fabs(sum / static_cast<double>(wave.frames())));
  }
  MeasureSeam(wave, &m);
  MeasureSilence(wave, &m);
  return m;
}

double Decibels(double amplitude) {
  return amplitude > 0 ? 20 * std::log10(amplitude) : -120;
}

}  // namespace bf::loudness
