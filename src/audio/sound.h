#pragma once
// Sound effects by table index and the one music track, on top of the platform's audio device.
#include <string>

#include "core/facts.h"

namespace bf {

struct Game;

// Opens the sound device; on failure shows the two messages and the game runs silently.
void InitSound(Game& game);
// Loads the effect table in its fixed order (start-up).
void LoadSoundEffects(Game& game);
// Plays one table entry on its next voice, strictly round robin.
void PlaySoundEffect(Game& game, int index);
// Releases entries 0..18 in order, then the device (shutdown).
void ReleaseSound(Game& game);

// From now on PlayMusic plays (start-up, once the window is shown).
void HookMusic(Game& game);
// Stops and closes the music; PlayMusic does nothing afterwards (shutdown).
void UnhookMusic(Game& game);
// Plays a track under the asset directory ("sound/bgm0.wav"), closing any open one first.
void PlayMusic(Game& game, const std::string& relativePath);
void StopMusic(Game& game);
// The open track came to its natural end: play it again from the start.
void RestartMusic(Game& game);

}  // namespace bf
