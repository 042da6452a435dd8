#pragma once
// How loud the mixer plays, and how it keeps a pile of loud voices from clipping: applied by
// SdlAudio, and shared (it needs nothing but the standard library) with assetgen, which holds each
// effect under a ceiling the same way, and tools/soundcheck, which measures the worst case.
#include <cmath>

namespace bf {

// Every effect voice and the music are mixed at this level (the mixer's volume units, full volume
// 128): low enough that the shot's four voices and the hit's three, all at their loudest at once
// over the music, still fit under full scale inside the mixer, which cuts off any sum beyond it.
constexpr int kMixerFullVolume = 128;
constexpr int kMixerVolume = 22;
// The finished mix is then brought back up by this much through a limiter: ordinary moments pass
// unchanged, and the rare pile-up is rounded off under full scale instead of being clipped.
constexpr float kMixGain = 1.68f;
constexpr float kLimiterKnee = 0.7f;
constexpr float kLimiterCeiling = 0.98f;

// Straight up to `knee`, then bending smoothly towards `ceiling`, which it never reaches.
inline float SoftKnee(float x, float knee, float ceiling) {
  const float magnitude = std::fabs(x);
  if (magnitude <= knee) return x;
  const float bent = knee + (ceiling - knee) * std::tanh((magnitude - knee) / (ceiling - knee));
  return x < 0 ? -bent : bent;
}

// The room's master volume, in ten steps of 3 dB below full: step 10 plays as the sounds were
// made, step 1 at -27 dB, step 0 not at all. Applied after the limiter, so turning down never
// changes how a pile-up is rounded off.
constexpr int kMasterSteps = 10;
constexpr float kMasterStepDecibels = 3.0f;
inline float MasterGain(int step) {
  if (step <= 0) return 0.0f;
  if (step >= kMasterSteps) return 1.0f;
  return std::pow(10.0f, -kMasterStepDecibels * static_cast<float>(kMasterSteps - step) / 20.0f);
}

// A sample of the finished mix (full scale 1) as it leaves the limiter.
inline float LimitMix(float x) {
  return SoftKnee(kMixGain * x, kLimiterKnee, kLimiterCeiling);
}

}  // namespace bf
