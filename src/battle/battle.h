#pragma once
// One whole battle: building its scene, its 20 ms ticks, the four views and its end.
#include <array>

namespace bf {

struct Game;

// Builds the scene, runs the battle until the running flag drops, then hands back to the
// selection screen (the caller alternates the two).
void RunBattle(Game& game);
// Builds a fresh 3D scene and the starting state of every player, pool and wall.
void BuildBattleScene(Game& game);
// The work of one battle tick: movers (the factory only), shots, stars, then the four player
// steps, each ending with its view.
void RunBattleTick(Game& game);
// Sudden death's count starts afresh with the battle's starting lives.
void StartQuietCount(Game& game);
// Run at the end of each battle tick: while no person's tank is in play, counts the ticks in
// which no life changed; after a minute of them every tank in play loses a life every 10 ticks
// until a winner is named.
void StepSuddenDeath(Game& game);
// Draws player p's view: the last stage of that player's step.
void RenderPlayerView(Game& game, int p);
// Names the winner once three of the four lives are 0, and takes every shot out of play then.
// Run by the status panels' redraw, after it has clamped negative lives to 0.
void DecideWinner(Game& game);
// Player p's view rectangle (x, y, width, height in device pixels) as the winner's growth
// stands now.
std::array<int, 4> PlayerViewRect(const Game& game, int p);

}  // namespace bf
