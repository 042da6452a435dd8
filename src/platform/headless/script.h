#pragma once
// The runner's input script: one event per line, delivered by processed tick.
#include <cstdint>
#include <string>
#include <vector>

namespace bf {

struct ScriptEvent {
  enum class Kind { kKeyDown, kKeyUp, kJoystick, kUnplug, kPlug, kClose };
  std::int64_t tick = 0;
  Kind kind = Kind::kKeyDown;
  int keyCode = 0;   // key events
  int mask = 0;      // key events
  int joystick = 0;  // joystick, unplug and plug events: the pad, in plug order (0..3)
  std::uint32_t x = 0, y = 0, buttons = 0;
};

struct Script {
  int joysticks = 0;
  // In script order; the pump picks each tick's events in that order.
  std::vector<ScriptEvent> events;
};

// Parses a script. On a bad line returns false with "line N: why" in *error.
bool ParseScript(const std::string& text, Script* script, std::string* error);

}  // namespace bf
