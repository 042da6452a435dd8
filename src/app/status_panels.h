#pragma once
// The four status panels follow every change of a life or a magazine, wherever it happens.

namespace bf {

struct Game;

// Redraws the four panels, clamps negative lives to 0, then decides the winner.
void DrawStatusPanels(Game& game);

}  // namespace bf
