#pragma once
// The whole run of the game: start-up, the flat alternation of selection screen and battle,
// and shutdown in a fixed order.

#include <string_view>

namespace bf {

struct Game;

// The start volume a command line's --volume gives: a whole number from 0 to 10.
bool ParseVolumeStep(std::string_view text, int* step);

// Returns the program's exit status: 0 after Escape or a close, 1 when a model or texture file
// could not be loaded.
int RunProgram(Game& game);

}  // namespace bf
