#pragma once
// The game's machine without a window: a virtual clock that advances exactly one tick per 20 ms,
// events from a script, and optionally offscreen rendering.
#include <csignal>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/headless/script.h"
#include "platform/platform.h"

namespace bf {

struct HeadlessOptions {
  bool render = false;
  // Close the window from outside at this processed tick (the runner's --ticks).
  std::int64_t closeAtTick = 3000;
  std::string assetDir;
  // When set, non-zero means the window is closed from outside at the next pump (the runner
  // sets it from its signal handler).
  const volatile std::sig_atomic_t* closeRequest = nullptr;
};

class HeadlessPlatform {
 public:
  virtual ~HeadlessPlatform() = default;
  virtual Platform& platform() = 0;
  // Told once after the work of every processed tick: the next pump delivers the next tick's
  // events.
  virtual void NoteTickProcessed() = 0;
  virtual std::int64_t processedTicks() const = 0;
};

// Returns nullptr with a one-line reason in *error when rendering was asked for and cannot start.
std::unique_ptr<HeadlessPlatform> CreateHeadlessPlatform(const HeadlessOptions& options,
                                                         const Script& script, std::string* error);

}  // namespace bf
