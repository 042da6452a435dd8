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
// fish, shield, cat, set, he. Mono, peaks at -8 dBFS.
std::vector<SoundFile> BuildSoundEffects();
// bgm0 (selection screen, calm) and bgm1 (battle, lively): stereo loops of whole bars.
std::vector<SoundFile> BuildMusic();

// Peak level of every effect (full scale 1): about -8 dBFS, so that overlapping voices keep room.
constexpr float kEffectPeak = 0.4f;
constexpr float kMusicPeak = 0.35f;

}  // namespace assetgen
