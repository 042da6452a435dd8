#pragma once
// An audio device without sound: it checks the files like the real one and records every play
// and every music call, so tests and the runner can see what the game asked for.
#include <string>
#include <vector>

#include "platform/audio.h"
#include "platform/readers/wave_file.h"

namespace bf {

class HeadlessAudio : public AudioDevice {
 public:
  // One restart of one voice.
  struct VoicePlay {
    int effect;
    int voice;
    bool operator==(const VoicePlay&) const = default;
  };
  // Plays kept for inspection; later ones are only counted, so a long run stays bounded.
  static constexpr int kMaxPlays = 4096;
  static constexpr int kMaxCalls = 1024;

  // `hasDevice` false: behave as a machine without a sound device (Open() fails).
  explicit HeadlessAudio(bool hasDevice = true);

  bool Open() override;
  void Close() override;
  int LoadEffect(const std::string& path, int voices) override;
  void ReleaseEffect(int effect) override;
  void PlayVoice(int effect, int voice) override;
  bool PlayMusic(const std::string& path) override;
  void StopMusic() override;
  void RestartMusic() override;
  // Kept for the tests: the level and whether the device is held.
  void SetMasterVolume(int step) override { masterStep_ = step; }
  void SetPaused(bool paused) override { paused_ = paused; }
  int masterStep() const { return masterStep_; }
  bool paused() const { return paused_; }

  // The playing track reaches its natural end; true when one was playing. The end-of-track
  // notice then waits for TakeMusicFinished.
  bool FinishTrack();
  // The event pump's side: true once per natural end.
  bool TakeMusicFinished();

  bool isOpen() const { return open_; }
  // The open track's path, empty when none is open.
  const std::string& openTrack() const { return openTrack_; }
  bool musicPlaying() const { return musicPlaying_; }
  // The first kMaxPlays voice restarts, in order, and how many there were in all.
  const std::vector<VoicePlay>& plays() const { return plays_; }
  int playCount() const { return playCount_; }
  // Device, effect and music calls in order: "open", "close", "load <path> <voices>",
  // "release <effect>", "music play <path>", "music stop", "music restart".
  const std::vector<std::string>& calls() const { return calls_; }
  void ClearRecords();

 private:
  struct Effect {
    std::string path;
    int voices = 0;
    bool loaded = false;
  };
  void Record(std::string call);

  bool hasDevice_;
  int masterStep_ = kVolumeSteps;
  bool paused_ = false;
  bool open_ = false;
  std::vector<Effect> effects_;
  std::string openTrack_;
  bool musicPlaying_ = false;
  bool musicFinished_ = false;
  std::vector<VoicePlay> plays_;
  int playCount_ = 0;
  std::vector<std::string> calls_;
};

}  // namespace bf
