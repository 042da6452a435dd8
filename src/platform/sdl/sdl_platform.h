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

// Fullscreen, or a window on the desktop when `windowed`; nullptr with a one-line reason when
// there is no display or no OpenGL 3.3.
std::unique_ptr<SdlPlatform> CreateSdlPlatform(bool windowed, std::string* error);

}  // namespace bf
