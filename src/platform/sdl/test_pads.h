#pragma once
// A test input, for the window's end-to-end tests only: where there is no pad and no way to make
// one for the whole machine (no /dev/uinput), the game plugs in and drives SDL virtual pads of
// its own (virtual_pads.h), as told by the lines a test appends to the file or FIFO that
// BF_TEST_PADS names. The pads then go the way a real pad goes: seats, hot plug, notices,
// records. Without the variable, or where it names nothing readable, the game is as it always was.
//
// One line per order, N the test's pad (0..3), read whole lines at a time, never waited for:
//   plug N             a pad of its own kind plugged in (the same N again: the same pad again)
//   unplug N           pulled out
//   button N B 0|1     its button B (0..14, SDL's game-controller order: 0 A, 6 Start) let go or
//                      pressed
//   axis N A VALUE     its axis A (0..5: 0 and 1 the left stick) at -32768..32767
// Any other line is ignored, with one line on standard error.
#include <SDL.h>

#include <array>
#include <memory>
#include <string_view>

namespace bf {

class TestPads final {
 public:
  static constexpr const char* kVariable = "BF_TEST_PADS";
  static constexpr int kPads = 4;

  // nullptr unless the variable names a file or a FIFO that opens. SDL's joysticks must have
  // started.
  static std::unique_ptr<TestPads> FromEnvironment();
  ~TestPads();
  TestPads(const TestPads&) = delete;
  TestPads& operator=(const TestPads&) = delete;

  // Carries out the whole lines written since the last call, then returns: called before each
  // pump of SDL's events, which then sees what changed.
  void Poll();

 private:
  explicit TestPads(int fd) : fd_(fd) {}
  void Take(char c);
  // Carries out one order; false when the line is none.
  bool Obey(std::string_view line);

  static constexpr std::size_t kLongestLine = 63;
  int fd_;
  std::array<char, kLongestLine + 1> line_{};
  std::size_t length_ = 0;
  bool tooLong_ = false;  // the line being read is ignored whole
  int lineNumber_ = 0;
  std::array<SDL_Joystick*, kPads> pads_{};
};

}  // namespace bf
