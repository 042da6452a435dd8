#include "platform/headless/headless_audio.h"

#include <unistd.h>

#include <cstdio>

namespace bf {
namespace {

// The check the real device makes before it decodes a file, with the same one-line warning.
bool CheckWave(const std::string& path, AssetKind kind, const char* what) {
  std::string reason;
  const int fd = OpenWaveFile(path, kind, &reason);
  if (fd < 0) {
    std::fprintf(stderr, "warning: %s \"%s\" cannot be loaded: %s\n", what, path.c_str(),
                 reason.c_str());
    return false;
  }
  close(fd);
  return true;
}

}  // namespace

HeadlessAudio::HeadlessAudio(bool hasDevice) : hasDevice_(hasDevice) {
  // Reserved up front so that recording a play allocates nothing while a battle runs.
  plays_.reserve(kMaxPlays);
  calls_.reserve(kMaxCalls);
}

bool HeadlessAudio::Open() {
  if (!hasDevice_) return false;
  open_ = true;
  Record("open");
  return true;
}

void HeadlessAudio::Close() {
  if (!open_) return;
  StopMusic();
  effects_.clear();
  open_ = false;
  Record("close");
}

// Without a device every effect is silent; the player was already told at start-up.
int HeadlessAudio::LoadEffect(const std::string& path, int voices) {
  if (!open_ || voices <= 0) return -1;
  if (!CheckWave(path, AssetKind::kSound, "sound effect")) return -1;
  Record("load " + path + " " + std::to_string(voices));
  effects_.push_back({path, voices, true});
  return static_cast<int>(effects_.size()) - 1;
}

void HeadlessAudio::ReleaseEffect(int effect) {
  if (effect < 0 || effect >= static_cast<int>(effects_.size())) return;
  if (!effects_[effect].loaded) return;
  effects_[effect].loaded = false;
  Record("release " + std::to_string(effect));
}

// Like a mixer channel that was never allocated, a voice outside the effect plays nothing.
void HeadlessAudio::PlayVoice(int effect, int voice) {
  if (effect < 0 || effect >= static_cast<int>(effects_.size())) return;
  const Effect& entry = effects_[effect];
  if (!entry.loaded || voice < 0 || voice >= entry.voices) return;
  if (static_cast<int>(plays_.size()) < kMaxPlays) plays_.push_back({effect, voice});
  ++playCount_;
}

bool HeadlessAudio::PlayMusic(const std::string& path) {
  if (!open_) return false;
  StopMusic();
  if (!CheckWave(path, AssetKind::kMusic, "music")) return false;
  openTrack_ = path;
  musicPlaying_ = true;
  Record("music play " + path);
  return true;
}

// A stop never reports a natural end.
void HeadlessAudio::StopMusic() {
  if (openTrack_.empty()) return;
  openTrack_.clear();
  musicPlaying_ = false;
  musicFinished_ = false;
  Record("music stop");
}

// Like the real device, a track that is playing (a new one, started after the notice was sent)
// is left alone.
void HeadlessAudio::RestartMusic() {
  if (openTrack_.empty() || musicPlaying_) return;
  musicPlaying_ = true;
  Record("music restart");
}

bool HeadlessAudio::FinishTrack() {
  if (!musicPlaying_) return false;
  musicPlaying_ = false;
  musicFinished_ = true;
  return true;
}

bool HeadlessAudio::TakeMusicFinished() {
  const bool finished = musicFinished_;
  musicFinished_ = false;
  return finished;
}

void HeadlessAudio::ClearRecords() {
  plays_.clear();
  playCount_ = 0;
  calls_.clear();
}

void HeadlessAudio::Record(std::string call) {
  if (static_cast<int>(calls_.size()) < kMaxCalls) calls_.push_back(std::move(call));
}

}  // namespace bf
