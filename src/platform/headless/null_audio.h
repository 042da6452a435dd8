#pragma once
// A sound device that is always there and never makes a sound.
#include "platform/audio.h"

namespace bf {

class NullAudio final : public AudioDevice {
 public:
  bool Open() override { return true; }
  void Close() override {}
  int LoadEffect(const std::string&, int) override { return next_++; }
  void ReleaseEffect(int) override {}
  void PlayVoice(int, int) override {}
  bool PlayMusic(const std::string&) override { return true; }
  void StopMusic() override {}
  void RestartMusic() override {}

 private:
  int next_ = 0;
};

}  // namespace bf
