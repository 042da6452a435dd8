#include "platform/sdl/test_pads.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstdlib>

#include "platform/sdl/virtual_pads.h"

namespace bf {
namespace {

// Bytes read at most per pump: a test writes a few lines at a time; a file that never ends
// (a device) costs a tick no more than this.
constexpr std::size_t kMostBytesPerPoll = 4096;
// Test pads are of a kind no real pad is: vendor 0xbf00, product N + 1.
constexpr Uint16 kTestPadVendor = 0xbf00;

// The next word of `rest`, which loses it; empty at the end.
std::string_view NextWord(std::string_view& rest) {
  const std::size_t start = rest.find_first_not_of(' ');
  if (start == std::string_view::npos) {
    rest = {};
    return {};
  }
  rest.remove_prefix(start);
  const std::size_t end = std::min(rest.find(' '), rest.size());
  const std::string_view word = rest.substr(0, end);
  rest.remove_prefix(end);
  return word;
}

// A whole number from low to high, and nothing else in the word.
bool ParseNumber(std::string_view word, int low, int high, int* value) {
  const char* end = word.data() + word.size();
  const auto [at, error] = std::from_chars(word.data(), end, *value);
  return error == std::errc() && at == end && *value >= low && *value <= high;
}

}  // namespace

std::unique_ptr<TestPads> TestPads::FromEnvironment() {
  const char* path = std::getenv(kVariable);
  if (path == nullptr || *path == '\0') return nullptr;
  // Non-blocking: a FIFO opens without its writer, and reading never waits for one.
  const int fd = open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  struct stat info;
  if (fd < 0 || fstat(fd, &info) != 0 || !(S_ISREG(info.st_mode) || S_ISFIFO(info.st_mode))) {
    std::fprintf(stderr,
                 "burrowfield: %s names %s, which is no file or FIFO to read: no test pads\n",
                 kVariable, path);
    if (fd >= 0) close(fd);
    return nullptr;
  }
  return std::unique_ptr<TestPads>(new TestPads(fd));
}

TestPads::~TestPads() {
  for (SDL_Joystick* pad : pads_) {
    if (pad != nullptr) UnplugVirtualPad(pad);
  }
  close(fd_);
}

void TestPads::Poll() {
  char bytes[512];
  for (std::size_t total = 0; total < kMostBytesPerPoll;) {
    const ssize_t got = read(fd_, bytes, sizeof bytes);
    if (got <= 0) return;  // nothing more for now (or the writer has gone: more may come later)
    for (ssize_t i = 0; i < got; ++i) Take(bytes[i]);
    total += static_cast<std::size_t>(got);
  }
}

void TestPads::Take(char c) {
  if (c != '\n') {
    if (length_ == kLongestLine) {
      tooLong_ = true;
    } else {
      line_[length_++] = c;
    }
    return;
  }
  ++lineNumber_;
  if (tooLong_ || !Obey(std::string_view(line_.data(), length_))) {
    std::fprintf(stderr, "burrowfield: %s: line %d is no order for a test pad, ignored\n",
                 kVariable, lineNumber_);
  }
  length_ = 0;
  tooLong_ = false;
}

bool TestPads::Obey(std::string_view line) {
  std::string_view rest = line;
  const std::string_view verb = NextWord(rest);
  int n = 0, which = 0, value = 0;
  const bool known =
      ParseNumber(NextWord(rest), 0, kPads - 1, &n) &&
      ((verb == "plug" || verb == "unplug") ||
       (verb == "button" && ParseNumber(NextWord(rest), 0, kVirtualPadButtons - 1, &which) &&
        ParseNumber(NextWord(rest), 0, 1, &value)) ||
       (verb == "axis" && ParseNumber(NextWord(rest), 0, kVirtualPadAxes - 1, &which) &&
        ParseNumber(NextWord(rest), SDL_JOYSTICK_AXIS_MIN, SDL_JOYSTICK_AXIS_MAX, &value))) &&
      NextWord(rest).empty();
  if (!known) return false;
  SDL_Joystick*& pad = pads_[static_cast<std::size_t>(n)];
  if (verb == "plug") {
    if (pad != nullptr) return true;
    pad = PlugVirtualPad(VirtualPadDesc({kTestPadVendor, static_cast<Uint16>(n + 1)}));
    if (pad == nullptr) {
      std::fprintf(stderr, "burrowfield: %s: line %d: SDL has no virtual pad: %s\n", kVariable,
                   lineNumber_, SDL_GetError());
    }
  } else if (pad == nullptr) {
    return true;  // a pad that is not plugged in has nothing to pull out or move
  } else if (verb == "unplug") {
    UnplugVirtualPad(pad);
    pad = nullptr;
  } else if (verb == "button") {
    SDL_JoystickSetVirtualButton(pad, which, static_cast<Uint8>(value));
  } else {
    SDL_JoystickSetVirtualAxis(pad, which, static_cast<Sint16>(value));
  }
  return true;
}

}  // namespace bf
