#pragma once
// How far the mixer of an open SDL_mixer device has got, counted in frames on its own thread, so
// that a test waits for the mixer to have played a stretch of sound rather than for a stretch of
// wall-clock time: a busy machine may give the audio thread only part of any such time, or none.
#include <SDL.h>
#include <SDL_mixer.h>

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>

namespace bf::testing {

class MixProgress {
 public:
  // Counts from now on. The device must be open.
  MixProgress() {
    int rate = 0, channels = 0;
    Uint16 format = 0;
    if (Mix_QuerySpec(&rate, &format, &channels) != 0) {
      rate_ = rate;
      frameBytes_ = channels * static_cast<int>(SDL_AUDIO_BITSIZE(format)) / 8;
      registered_ = frameBytes_ > 0 && Mix_RegisterEffect(MIX_CHANNEL_POST, Count, nullptr, this);
    }
  }
  // Once unregistered (the mixer takes its lock to do so), the audio thread never calls Count
  // again; a device closed first has already dropped the effect.
  ~MixProgress() {
    if (registered_ && Mix_QuerySpec(nullptr, nullptr, nullptr) != 0) {
      Mix_UnregisterEffect(MIX_CHANNEL_POST, Count);
    }
  }
  MixProgress(const MixProgress&) = delete;
  MixProgress& operator=(const MixProgress&) = delete;

  bool counting() const { return registered_; }
  std::int64_t FramesIn(int milliseconds) const {
    return static_cast<std::int64_t>(rate_) * milliseconds / 1000;
  }

  // Waits until the mixer has finished `milliseconds` of sound more than it had when called. A
  // buffer it counts from here on was mixed wholly after anything the caller did to the mixer
  // before calling, since the mixer holds its lock over a whole buffer. False only when the guard
  // deadline, long enough for any machine, passes first.
  bool WaitFor(int milliseconds) {
    std::unique_lock<std::mutex> lock(mutex_);
    const std::int64_t target = frames_ + FramesIn(milliseconds);
    return changed_.wait_for(lock, kGuard, [&] { return frames_ >= target; });
  }

 private:
  static constexpr std::chrono::seconds kGuard{60};

  // Runs on the audio thread after every mixed buffer, before the device's limiter.
  static void Count(int, void*, int bytes, void* self) {
    MixProgress& progress = *static_cast<MixProgress*>(self);
    {
      std::lock_guard<std::mutex> lock(progress.mutex_);
      progress.frames_ += bytes / progress.frameBytes_;
    }
    progress.changed_.notify_all();
  }

  int rate_ = 0;
  int frameBytes_ = 0;
  bool registered_ = false;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::int64_t frames_ = 0;
};

}  // namespace bf::testing
