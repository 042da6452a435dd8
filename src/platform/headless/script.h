#pragma once
// The runner's input script: one event per line, delivered by processed tick.
#include <cstdint>
#include <string>
#include <vector>

namespace bf {

struct ScriptEvent {
  // kBattleEnd plays nothing: it is a replay's promise of how a battle ends, checked there.
  // kStart is a pad's Start as its seat tells the game (a replay's pause), without its Enter.
  enum class Kind { kKeyDown, kKeyUp, kJoystick, kUnplug, kPlug, kStart, kClose, kBattleEnd };
  std::int64_t tick = 0;
  Kind kind = Kind::kKeyDown;
  int keyCode = 0;   // key events
  int mask = 0;      // key events
  int joystick = 0;  // joystick, unplug, plug and start events: the pad, in plug order (0..3)
  std::uint32_t x = 0, y = 0, buttons = 0;
  int battle = 0;          // battle ends: the battle's number, from 1
  std::uint64_t hash = 0;  // battle ends: the game state's hash then
};

struct Script {
  int joysticks = 0;
  // In script order; the pump picks each tick's events in that order.
  std::vector<ScriptEvent> events;
};

// Parses a script. On a bad line returns false with "line N: why" in *error.
bool ParseScript(const std::string& text, Script* script, std::string* error);

}  // namespace bf
