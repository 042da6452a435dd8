// Burrowfield: a tank battle for four at one computer.
#include <cstdio>
#include <memory>
#include <string_view>

#include "app/program.h"
#include "core/game.h"
#include "platform/sdl/sdl_platform.h"

namespace {

constexpr const char kUsage[] =
    "usage: burrowfield [--window] [--volume N]   (N from 0 to 10, 10 by default)";

// A window instead of fullscreen, and the volume to start at. Nothing is stored between runs.
bool ParseOptions(int argc, char** argv, bool* windowed, int* volume) {
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg == "--window") {
      *windowed = true;
    } else if (arg != "--volume" || i + 1 == argc || !bf::ParseVolumeStep(argv[++i], volume)) {
      return false;
    }
  }
  return true;
}

}  // namespace

// Fullscreen unless --window asks for a window; F11 switches between the two while playing.
int main(int argc, char** argv) {
  bool windowed = false;
  int volume = bf::kVolumeSteps;
  if (!ParseOptions(argc, argv, &windowed, &volume)) {
    std::fprintf(stderr, "burrowfield: bad options (%s)\n", kUsage);
    return 2;
  }
  std::string error;
  auto sdl = bf::CreateSdlPlatform(windowed, &error);
  if (!sdl) {
    std::fprintf(stderr, "burrowfield: %s\n", error.c_str());
    return 1;
  }
  auto game = std::make_unique<bf::Game>(sdl->platform());
  game->room.volumeStep = volume;
  return bf::RunProgram(*game);
}
