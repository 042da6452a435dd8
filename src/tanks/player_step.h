#pragma once

namespace bf {

struct Game;

// Everything one player does in a battle tick, from reading the inputs to drawing the view.
void RunPlayerStep(Game& game, int p);

}  // namespace bf
