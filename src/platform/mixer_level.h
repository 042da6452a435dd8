#pragma once
// The one fixed level at which the mixer plays every effect voice and the music, in the mixer's
// volume units (full volume 128). tools/soundcheck reads it to find the loudest the mix can get.
namespace bf {

constexpr int kMixerFullVolume = 128;
constexpr int kMixerVolume = 128;

}  // namespace bf
