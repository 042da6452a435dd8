// Not built yet: silent until the sound module lands.
#include "audio/sound.h"

#include "app/game.h"

namespace bf {

void InitSound(Game&) {}
void LoadSoundEffects(Game&) {}
void PlaySoundEffect(Game& game, int index) {
  TickRecord& record = game.tickRecord;
  if (record.soundCount < TickRecord::kMaxSounds) record.sounds[record.soundCount++] = index;
}
void ReleaseSound(Game&) {}
void HookMusic(Game& game) {
  game.musicHooked = true;
}
void UnhookMusic(Game& game) {
  game.musicHooked = false;
}
void PlayMusic(Game&, const std::string&) {}
void StopMusic(Game&) {}
void RestartMusic(Game&) {}

}  // namespace bf
