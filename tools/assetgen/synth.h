#pragma once
// Building blocks for the generated sounds: oscillators, noise, envelopes, filters, loudness and
// the wav file format (16-bit PCM at 44100 Hz).
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

namespace assetgen {

constexpr int kSampleRate = 44100;
constexpr float kTwoPi = 6.28318530718f;

// Deterministic white noise in -1..1.
class Noise {
 public:
  explicit Noise(std::uint32_t seed) : state_(seed) {}
  float Next() {
    state_ = state_ * 1664525u + 1013904223u;
    return static_cast<float>(state_ >> 8) / 8388608.0f - 1.0f;
  }
  float Uniform() { return (Next() + 1) * 0.5f; }

 private:
  std::uint32_t state_;
};

// A phase accumulator: call Step with the frequency of this sample, read the waveforms. The saw
// and the square smooth their jumps (polyBLEP), so high notes do not fold back as hiss.
struct Oscillator {
  float phase = 0;  // 0..1
  float step = 0;   // phase advance per sample
  void Step(float hz) {
    step = std::fabs(hz) / kSampleRate;
    phase += hz / kSampleRate;
    phase -= std::floor(phase);
  }
  float Sine() const { return std::sin(kTwoPi * phase); }
  float Saw() const { return 2 * phase - 1 - Blep(phase); }
  float Square(float duty = 0.5f) const {
    float down = phase - duty;
    down -= std::floor(down);
    return (phase < duty ? 1.0f : -1.0f) + Blep(phase) - Blep(down);
  }
  // The correction of a unit jump at phase 0, spread over one sample either side.
  float Blep(float t) const {
    if (step <= 0) return 0;
    if (t < step) {
      t /= step;
      return t + t - t * t - 1;
    }
    if (t > 1 - step) {
      t = (t - 1) / step;
      return t * t + t + t + 1;
    }
    return 0;
  }
  float Triangle() const { return 4 * std::fabs(phase - 0.5f) - 1; }
  // A square without the offset that an uneven duty gives it.
  float Pulse(float duty) const { return Square(duty) + 1 - 2 * duty; }
};

struct OnePoleLowPass {
  float y = 0;
  float Run(float x, float cutoffHz) {
    float a = 1 - std::exp(-kTwoPi * cutoffHz / kSampleRate);
    y += a * (x - y);
    return y;
  }
};

struct OnePoleHighPass {
  OnePoleLowPass low;
  float Run(float x, float cutoffHz) { return x - low.Run(x, cutoffHz); }
};

// Chamberlin state-variable filter: low, band and high outputs at once.
struct StateVariableFilter {
  float low = 0, band = 0;
  float Band(float x, float cutoffHz, float q = 0.5f) {
    float f = 2 * std::sin(3.14159265f * std::min(cutoffHz, kSampleRate / 6.0f) / kSampleRate);
    float high = x - low - q * band;
    band += f * high;
    low += f * band;
    return band;
  }
};

// A fixed second-order filter (the audio EQ cookbook's), for shaping a sound's spectrum.
struct Biquad {
  float b0 = 1, b1 = 0, b2 = 0, a1 = 0, a2 = 0;
  float z1 = 0, z2 = 0;
  static Biquad LowPass(float hz, float q = 0.7071f);
  static Biquad HighPass(float hz, float q = 0.7071f);
  // Unity gain at `hz`.
  static Biquad BandPass(float hz, float q);
  float Run(float x) {
    const float y = b0 * x + z1;
    z1 = b1 * x - a1 * y + z2;
    z2 = b2 * x - a2 * y;
    return y;
  }
};

// Attack then exponential fall: rises over `attack` s, then halves every `halfLife` s.
inline float Decay(float t, float attack, float halfLife) {
  if (t < attack) return t / attack;
  return std::exp2(-(t - attack) / halfLife);
}

// Linear attack, hold, linear release; zero outside 0..length.
inline float Gate(float t, float attack, float length, float release) {
  if (t < 0 || t > length) return 0;
  float a = attack > 0 ? std::min(1.0f, t / attack) : 1.0f;
  float r = release > 0 ? std::min(1.0f, (length - t) / release) : 1.0f;
  return std::min(a, r);
}

inline float MidiHz(float note) {
  return 440.0f * std::exp2((note - 69) / 12.0f);
}

// The loudness of the loudest 400 ms, in LUFS, as soundcheck measures it.
float LoudestMoment(const std::vector<float>& samples, int channels);
// Scales the samples to `lufs` of integrated loudness (as soundcheck measures it), keeping every
// sample under `ceiling`: peaks that would pass it are rounded off (a soft knee), the way a limiter
// holds a loud transient.
void NormalizeLoudness(std::vector<float>* samples, int channels, float lufs, float ceiling);

// Removes the DC offset of a loop without breaking its seam: a gentle high pass run round the loop
// until its state at the end is the state at the start.
void RemoveDcOfLoop(std::vector<float>* samples, int channels);

// A PCM wav file, 16-bit, 44100 Hz; `samples` interleaved for two channels.
std::string WavBytes(const std::vector<float>& samples, int channels);

}  // namespace assetgen
