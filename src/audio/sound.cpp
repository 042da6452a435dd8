// Sound effects: the `soundEffects` table, each entry decoded once and played on its own fixed
// voices in strict round robin.
#include "audio/sound.h"

#include <cstdint>

#include "core/game.h"

namespace bf {
namespace {

// One row of the table that start-up loads: index, file under the asset directory, voices.
struct EffectFile {
  int index;
  const char* file;
  int voices;
};

// The loading order; entries 3 and 6 stay empty.
constexpr EffectFile kEffectFiles[] = {
    {kSoundShot, "sound/shot.wav", 4},     {kSoundDam, "sound/dam.wav", 3},
    {kSoundReload, "sound/reload.wav", 2}, {kSoundLife, "sound/life.wav", 1},
    {kSoundWin, "sound/win.wav", 1},       {kSoundBom, "sound/bom.wav", 1},
    {kSoundPyon, "sound/pyon.wav", 2},     {kSoundRocket, "sound/rocket.wav", 2},
    {kSoundFox, "sound/fox.wav", 2},       {kSoundSpider, "sound/spider.wav", 2},
    {kSoundFire, "sound/fire.wav", 1},     {kSoundMomonga, "sound/momonga.wav", 1},
    {kSoundFish, "sound/fish.wav", 1},     {kSoundShield, "sound/shield.wav", 1},
    {kSoundCat, "sound/cat.wav", 1},       {kSoundSet, "sound/set.wav", 1},
    {kSoundHe, "sound/he.wav", 1},
};

constexpr char kSoundWarning[] = "DirectSoundは利用できません。";
constexpr char kSoundWarningCaption[] = "Burrowfield";
constexpr char kStartupError[] = "DirectSound起動失敗！";
constexpr char kStartupErrorTitle[] = "Error";

std::string AssetPath(const Game& game, const char* relativePath) {
  if (game.io.assetDir.empty()) return relativePath;
  return game.io.assetDir + "/" + relativePath;
}

// Loads one effect: `voiceCount` voices even when the file or the device is missing, so the
// round robin runs the same with or without sound.
SoundEffect LoadSoundEffect(Game& game, const char* relativePath, int voiceCount) {
  SoundEffect entry;
  entry.voiceCount = static_cast<std::int16_t>(voiceCount);
  entry.lastVoice = 0;
  if (game.io.audio != nullptr) {
    entry.effect = game.io.audio->LoadEffect(AssetPath(game, relativePath), voiceCount);
  }
  return entry;
}

void RecordSound(TickRecord& record, int index) {
  if (record.soundCount >= TickRecord::kMaxSounds) return;
  record.sounds[record.soundCount] = index;
  ++record.soundCount;
}

void ShowStartupFailure(Game& game) {
  if (game.io.messages == nullptr) return;
  game.io.messages->ShowMessage(kSoundWarningCaption, kSoundWarning, false);
  game.io.messages->ShowMessage(kStartupErrorTitle, kStartupError, true);
}

}  // namespace

// Without a device the player is told twice (the device warning, then the start-up error) and
// the game goes on silently: every later load and play leaves its effect silent.
void InitSound(Game& game) {
  if (game.io.audio != nullptr && game.io.audio->Open()) return;
  ShowStartupFailure(game);
}

// Fills `soundEffects` in its fixed order; a missing file leaves only its own entry silent.
void LoadSoundEffects(Game& game) {
  for (const EffectFile& file : kEffectFiles) {
    game.soundEffects[file.index] = LoadSoundEffect(game, file.file, file.voices);
  }
}

// Restarts the entry's next voice, strictly in turn even while another voice is idle: with four
// voices the plays use 1, 2, 3, 0, 1, ... An empty entry has no voices and plays nothing.
void PlaySoundEffect(Game& game, int index) {
  if (index < 0 || index >= kSoundEffects) return;
  SoundEffect& entry = game.soundEffects[index];
  if (entry.voiceCount <= 0) return;
  entry.lastVoice = static_cast<std::int16_t>((entry.lastVoice + 1) % entry.voiceCount);
  RecordSound(game.tickRecord, index);
  if (entry.effect >= 0 && game.io.audio != nullptr) {
    game.io.audio->PlayVoice(entry.effect, entry.lastVoice);
  }
}

// Drops entries 0..18 in index order (empty ones release nothing), then the device.
void ReleaseSound(Game& game) {
  for (SoundEffect& entry : game.soundEffects) {
    if (entry.effect >= 0 && game.io.audio != nullptr) game.io.audio->ReleaseEffect(entry.effect);
    entry = SoundEffect{};
  }
  if (game.io.audio != nullptr) game.io.audio->Close();
}

}  // namespace bf
