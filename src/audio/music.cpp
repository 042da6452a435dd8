// Background music: one track at a time, played again from the start whenever it ends by itself.
#include "audio/sound.h"
#include "core/game.h"

namespace bf {

// Nothing is installed: a track's end arrives through the event pump, which answers it with
// RestartMusic. This only lets PlayMusic play from now on; a second call changes nothing.
void HookMusic(Game& game) {
  game.musicHooked = true;
}

// Stops and closes the music; from now on PlayMusic plays nothing.
void UnhookMusic(Game& game) {
  if (!game.musicHooked) return;
  StopMusic(game);
  game.musicHooked = false;
}

// Closes any open track first, so there is never more than one. A track that cannot be opened
// leaves the game silent and running.
void PlayMusic(Game& game, const std::string& relativePath) {
  if (!game.musicHooked) return;
  StopMusic(game);
  if (relativePath.empty() || game.io.audio == nullptr) return;
  const std::string path =
      game.io.assetDir.empty() ? relativePath : game.io.assetDir + "/" + relativePath;
  game.musicOpen = game.io.audio->PlayMusic(path);
}

// A stop never reports a natural end, so it never restarts the track.
void StopMusic(Game& game) {
  if (game.io.audio != nullptr) game.io.audio->StopMusic();
  game.musicOpen = false;
}

// Answers the end-of-track notice. A notice that arrives after the track was stopped or closed
// finds nothing open and is ignored.
void RestartMusic(Game& game) {
  if (!game.musicHooked || !game.musicOpen || game.io.audio == nullptr) return;
  game.io.audio->RestartMusic();
}

}  // namespace bf
