#pragma once
// The SDL_mixer audio device: each effect decoded once into a chunk, each voice its own fixed
// mixer channel; one music track, looped by the mixer without a gap, whose end (should it end
// anyway) arrives as an SDL event.
#include <SDL.h>

#include <string>
#include <vector>

#include "platform/audio.h"

struct Mix_Chunk;
typedef struct _Mix_Music Mix_Music;

namespace bf {

class SdlAudio : public AudioDevice {
 public:
  SdlAudio() = default;
  ~SdlAudio() override;
  SdlAudio(const SdlAudio&) = delete;
  SdlAudio& operator=(const SdlAudio&) = delete;

  bool Open() override;
  void Close() override;
  int LoadEffect(const std::string& path, int voices) override;
  void ReleaseEffect(int effect) override;
  void PlayVoice(int effect, int voice) override;
  bool PlayMusic(const std::string& path) override;
  void StopMusic() override;
  void RestartMusic() override;
  void SetMasterVolume(int step) override;
  void SetPaused(bool paused) override;

 private:
  // An effect's voices are the channels firstChannel .. firstChannel + voices - 1.
  struct Effect {
    Mix_Chunk* chunk = nullptr;
    int firstChannel = 0;
    int voices = 0;
  };
  bool ReserveChannels(int count);
  void HaltMusicQuietly();

  bool open_ = false;
  bool limiting_ = false;  // the limiter runs after the mixer, and applies the master volume
  int masterStep_ = kVolumeSteps;
  int channelCount_ = 0;
  std::vector<Effect> effects_;
  Mix_Music* music_ = nullptr;
};

// True for the event that reports the music track's natural end; the event pump turns it into
// InputSink::OnMusicFinished.
bool IsMusicFinishedEvent(const SDL_Event& event);

}  // namespace bf
