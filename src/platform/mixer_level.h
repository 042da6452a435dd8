#pragma once
// The one fixed level at which the mixer plays every effect voice and the music, in the mixer's
// volume units (full volume 128). The effects are written loud and the mix turned down once here,
// so that four voices of the loudest effect at once over the music stay below full scale:
// tools/soundcheck measures that against the generated files in every test run.
namespace bf {

constexpr int kMixerFullVolume = 128;
constexpr int kMixerVolume = 37;

}  // namespace bf
