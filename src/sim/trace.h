#pragma once
// The runner's trace: one JSON object per processed tick, with its number, screen, sounds and
// views, and the game's tables and counters: all of them but the tick stamp (the runner's clock
// is the tick number itself), sudden death's lives of the tick before, the joystick and music
// modules' bookkeeping, the sound table and the 3D objects' handles.
#include <string>

#include "core/game.h"

namespace bf {

// Appends the tick's JSON object (no newline) to *out. Doubles are written in their shortest form
// that reads back exactly.
void AppendTraceLine(const Game& game, Screen screen, std::int64_t tick, std::string* out);

}  // namespace bf
