#pragma once
// Building blocks for the generated sounds: oscillators, noise, envelopes, filters and the wav
// file format (16-bit PCM at 22050 Hz).
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

namespace assetgen {

constexpr int kSampleRate = 22050;
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

// Scales the samples so that the loudest has magnitude `peak` (full scale 1).
void Normalize(std::vector<float>* samples, float peak);

// A PCM wav file, 16-bit, 22050 Hz; `samples` interleaved for two channels.
std::string WavBytes(const std::vector<float>& samples, int channels);

}  // namespace assetgen
