#include "synth.h"

#include <algorithm>

#include "platform/sound/loudness.h"
#include "platform/sound/mixer_level.h"

namespace assetgen {
namespace {

Biquad Cookbook(float hz, float q, float b0, float b1, float b2) {
  const float w = kTwoPi * hz / kSampleRate;
  const float alpha = std::sin(w) / (2 * q), a0 = 1 + alpha;
  Biquad f;
  f.b0 = b0 / a0;
  f.b1 = b1 / a0;
  f.b2 = b2 / a0;
  f.a1 = -2 * std::cos(w) / a0;
  f.a2 = (1 - alpha) / a0;
  return f;
}

bf::loudness::Wave MeterWave(const std::vector<float>& samples, int channels) {
  bf::loudness::Wave wave;
  wave.rate = kSampleRate;
  wave.channels = channels;
  wave.bits = 16;
  wave.samples = samples;
  return wave;
}

}  // namespace

Biquad Biquad::LowPass(float hz, float q) {
  const float c = std::cos(kTwoPi * hz / kSampleRate);
  return Cookbook(hz, q, (1 - c) / 2, 1 - c, (1 - c) / 2);
}

Biquad Biquad::HighPass(float hz, float q) {
  const float c = std::cos(kTwoPi * hz / kSampleRate);
  return Cookbook(hz, q, (1 + c) / 2, -(1 + c), (1 + c) / 2);
}

Biquad Biquad::BandPass(float hz, float q) {
  const float alpha = std::sin(kTwoPi * hz / kSampleRate) / (2 * q);
  return Cookbook(hz, q, alpha, 0, -alpha);
}

float LoudestMoment(const std::vector<float>& samples, int channels) {
  return static_cast<float>(bf::loudness::MaxMomentaryLoudness(MeterWave(samples, channels)));
}

void NormalizeLoudness(std::vector<float>* samples, int channels, float lufs, float ceiling) {
  bf::loudness::Wave wave = MeterWave(*samples, channels);
  const std::vector<float>& source = *samples;
  float gain = 1;
  // Rounding off the peaks takes a little loudness away: a few rounds find the gain that meets
  // the target after it.
  for (int round = 0;; ++round) {
    for (std::size_t i = 0; i < source.size(); ++i) {
      wave.samples[i] = bf::SoftKnee(gain * source[i], 0.6f * ceiling, ceiling);
    }
    if (round == 5) break;
    gain *=
        std::pow(10.0f, (lufs - static_cast<float>(bf::loudness::IntegratedLoudness(wave))) / 20);
  }
  *samples = std::move(wave.samples);
}

void RemoveDcOfLoop(std::vector<float>* samples, int channels) {
  const std::size_t ch = static_cast<std::size_t>(channels);
  for (std::size_t c = 0; c < ch; ++c) {
    OnePoleLowPass drift;
    for (std::size_t i = c; i < samples->size(); i += ch) drift.Run((*samples)[i], 10);
    for (std::size_t i = c; i < samples->size(); i += ch) {
      (*samples)[i] -= drift.Run((*samples)[i], 10);
    }
  }
}

std::string WavBytes(const std::vector<float>& samples, int channels) {
  std::string out;
  auto u16 = [&out](std::uint32_t v) {
    out += static_cast<char>(v & 0xFF);
    out += static_cast<char>((v >> 8) & 0xFF);
  };
  auto u32 = [&u16](std::uint32_t v) {
    u16(v & 0xFFFF);
    u16(v >> 16);
  };
  const std::uint32_t data_bytes = static_cast<std::uint32_t>(samples.size() * 2);
  out.reserve(44 + data_bytes);
  out += "RIFF";
  u32(36 + data_bytes);
  out += "WAVEfmt ";
  u32(16);
  u16(1);  // PCM
  u16(static_cast<std::uint32_t>(channels));
  u32(kSampleRate);
  u32(static_cast<std::uint32_t>(kSampleRate * channels * 2));
  u16(static_cast<std::uint32_t>(channels * 2));
  u16(16);
  out += "data";
  u32(data_bytes);
  for (float s : samples) {
    long v = std::lround(std::clamp(s, -1.0f, 1.0f) * 32767);
    u16(static_cast<std::uint32_t>(static_cast<std::int16_t>(v)) & 0xFFFF);
  }
  return out;
}

}  // namespace assetgen
