#pragma once
// One whole battle, as the shell and the player steps meet it: its run, each player's view, and
// the decision of the winner.

namespace bf {

struct Game;

// Builds the scene, runs the battle until the running flag drops, then hands back to the
// selection screen (the caller alternates the two).
void RunBattle(Game& game);
// Draws player p's view: the last stage of that player's step.
void RenderPlayerView(Game& game, int p);
// Names the winner once three of the four lives are 0, and takes every shot out of play then.
// Run by the status panels' redraw, after it has clamped negative lives to 0.
void DecideWinner(Game& game);

}  // namespace bf
