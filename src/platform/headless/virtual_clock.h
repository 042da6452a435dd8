#pragma once
#include <cstdint>

#include "platform/events.h"

namespace bf {

// Time that moves only when the game waits: a tick's work takes no time at all.
class VirtualClock final : public Clock {
 public:
  std::uint64_t Milliseconds() override { return now_; }
  void AdvanceTo(std::uint64_t ms) {
    if (ms > now_) now_ = ms;
  }

 private:
  std::uint64_t now_ = 0;
};

}  // namespace bf
