// Burrowfield: a tank battle for four at one computer.
#include <cstdio>
#include <cstring>
#include <memory>

#include "app/program.h"
#include "core/game.h"
#include "platform/sdl/sdl_platform.h"

namespace {

constexpr const char* kUsage = "usage: burrowfield [--window]";

}  // namespace

// Fullscreen unless --window asks for a window; F11 switches between the two while playing.
int main(int argc, char** argv) {
  bool windowed = false;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--window") == 0) {
      windowed = true;
    } else {
      std::fprintf(stderr, "burrowfield: unknown option '%s' (%s)\n", argv[i], kUsage);
      return 2;
    }
  }
  std::string error;
  auto sdl = bf::CreateSdlPlatform(windowed, &error);
  if (!sdl) {
    std::fprintf(stderr, "burrowfield: %s\n", error.c_str());
    return 1;
  }
  auto game = std::make_unique<bf::Game>(sdl->platform());
  return bf::RunProgram(*game);
}
