#pragma once
// The game's one random generator: a 24-bit linear congruential generator that starts from the
// same seed at every program start, so a script replays the same battle every time.
#include <cstdint>

namespace bf {

class Random {
 public:
  Random() = default;
  // Goes on from a state read back from a trace.
  explicit Random(std::uint32_t state) : state_(state & 0xFFFFFFu) {}
  // A value in [0, 1).
  double Next() {
    state_ = (state_ * 0x43FD43FDu + 0xC39EC3u) & 0xFFFFFFu;
    return static_cast<double>(state_) / 16777216.0;
  }
  std::uint32_t state() const { return state_; }

 private:
  std::uint32_t state_ = 0x50000;
};

}  // namespace bf
