#pragma once
// The selection screen, its drawing, and the status panels that also decide the winner.

namespace bf {

struct Game;

// Runs the selection screen until Enter (true: a battle follows) or Escape/close (false).
bool RunSelectionScreen(Game& game);
void DrawSelectionScreen(Game& game);
// Redraws the four panels, clamps negative lives and names the winner.
void DrawStatusPanels(Game& game);
// Clears the form and prints "NOW LOADING...." at (270, 250).
void ShowLoadingText(Game& game);

}  // namespace bf
