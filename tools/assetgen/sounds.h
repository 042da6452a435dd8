#pragma once
// The game's sound effects and its two music loops, synthesized.
#include <string>
#include <vector>

namespace assetgen {

struct SoundFile {
  std::string name;            // file name without ".wav"
  std::vector<float> samples;  // interleaved when stereo
  int channels;
};

// The 17 effects: shot, dam, reload, life, win, bom, pyon, rocket, fox, spider, fire, momonga,
// fish, shield, cat, set, he. Mono.
std::vector<SoundFile> BuildSoundEffects();
// bgm0 (selection screen, bright) and bgm1 (battle, driving): stereo loops of whole bars.
std::vector<SoundFile> BuildMusic();

// Integrated loudness (LUFS, as tools/soundcheck measures it). The shot, the hit and the reload,
// which a player must never miss, stand above every other effect and well above the music.
constexpr float kCueLufs = -12;
constexpr float kEffectLufs = -13.5f;
constexpr float kMusicLufs = -19;
// No effect goes above -3 dBFS, so that four voices at once fit under the mixer's level.
constexpr float kEffectCeiling = 0.708f;
constexpr float kMusicCeiling = 0.9f;

}  // namespace assetgen
