// Burrowfield: a tank battle for four at one computer.
#include <cstdio>
#include <memory>

#include "app/program.h"
#include "core/game.h"
#include "platform/sdl/sdl_platform.h"

int main() {
  std::string error;
  auto sdl = bf::CreateSdlPlatform(&error);
  if (!sdl) {
    std::fprintf(stderr, "burrowfield: %s\n", error.c_str());
    return 1;
  }
  auto game = std::make_unique<bf::Game>(sdl->platform());
  return bf::RunProgram(*game);
}
