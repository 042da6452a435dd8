#pragma once
// One whole battle: building its scene, its 20 ms ticks, the four views and its end.

namespace bf {

struct Game;

// Builds the scene, runs the battle until the running flag drops, then hands back to the
// selection screen (the caller alternates the two).
void RunBattle(Game& game);
// Builds a fresh 3D scene and the starting state of every player, pool and wall.
void BuildBattleScene(Game& game);
// Draws player p's view: the last stage of that player's step.
void RenderPlayerView(Game& game, int p);

}  // namespace bf
