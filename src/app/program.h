#pragma once
// The whole run of the game: start-up, the flat alternation of selection screen and battle,
// and shutdown in a fixed order.

namespace bf {

struct Game;

// Returns the program's exit status: 0 after Escape or a close, 1 when a model or texture file
// could not be loaded.
int RunProgram(Game& game);

}  // namespace bf
