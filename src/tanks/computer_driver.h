#pragma once

namespace bf {

struct Game;

// Overwrites the inputs of computer-driven player p with its own plan.
void RunComputerDriver(Game& game, int p);

}  // namespace bf
