#pragma once
// The runner's trace: one JSON object per processed tick with the whole game state.
#include <string>

#include "core/game.h"

namespace bf {

// Appends the tick's JSON object (no newline) to *out. Doubles are written in their shortest form
// that reads back exactly.
void AppendTraceLine(const Game& game, Screen screen, std::int64_t tick, std::string* out);

}  // namespace bf
