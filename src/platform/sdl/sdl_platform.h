#pragma once
// The game's machine as a player has it: a real window, the keyboard, gamepads and sound.
#include <memory>
#include <string>

#include "platform/platform.h"

namespace bf {

class SdlPlatform {
 public:
  virtual ~SdlPlatform() = default;
  virtual Platform& platform() = 0;
};

// nullptr with a one-line reason when there is no display or no OpenGL 3.3.
std::unique_ptr<SdlPlatform> CreateSdlPlatform(std::string* error);

}  // namespace bf
