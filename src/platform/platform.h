#pragma once
// Everything the game asks of the machine, handed to the game as one bundle.
#include <string>

#include "platform/audio.h"
#include "platform/events.h"
#include "platform/joystick.h"
#include "platform/scene.h"
#include "platform/surface.h"

namespace bf {

// Shows a message to the player: a message box where a display exists, standard error otherwise.
class MessageSink {
 public:
  virtual ~MessageSink() = default;
  virtual void ShowMessage(const std::string& title, const std::string& text, bool critical) = 0;
};

struct Platform {
  Clock* clock = nullptr;
  EventPump* events = nullptr;
  Display* display = nullptr;
  Scene* scene = nullptr;
  AudioDevice* audio = nullptr;
  Joysticks* joysticks = nullptr;
  MessageSink* messages = nullptr;
  // Where the asset files are: the program's own directory unless told otherwise.
  std::string assetDir;
};

}  // namespace bf
