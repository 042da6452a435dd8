#pragma once
// The sound device: decoded effects played on fixed voices, and one music track at a time.
#include <string>

namespace bf {

class AudioDevice {
 public:
  virtual ~AudioDevice() = default;
  // Opens the device; false when there is none (the game then runs silently).
  virtual bool Open() = 0;
  virtual void Close() = 0;
  // Decodes a wav file once and gives it `voices` fixed channels; returns an effect handle, or -1
  // when the file is missing or broken (that effect stays silent).
  virtual int LoadEffect(const std::string& path, int voices) = 0;
  virtual void ReleaseEffect(int effect) = 0;
  // Restarts voice `voice` of the effect from the beginning at full volume, centred, own rate.
  virtual void PlayVoice(int effect, int voice) = 0;

  // Opens and plays one track from the start; false when it cannot be opened.
  virtual bool PlayMusic(const std::string& path) = 0;
  // Stops and closes the track; a stop never reports a natural end.
  virtual void StopMusic() = 0;
  // Plays the open track again from the start.
  virtual void RestartMusic() = 0;

  // The level of the whole mix, music and effects alike: 0 (silent) .. kVolumeSteps (full).
  virtual void SetMasterVolume(int /*step*/) {}
  // Holds every voice and the music where they are, or lets them go on from there.
  virtual void SetPaused(bool /*paused*/) {}
};

constexpr int kVolumeSteps = 10;

}  // namespace bf
