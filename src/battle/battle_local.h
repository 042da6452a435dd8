#pragma once
// Inside the battle: its construction, the work of one tick, sudden death, the views' places,
// and the pools that move by themselves each tick, before the player steps.
#include <array>

namespace bf {

struct Game;

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
// Player p's view rectangle (x, y, width, height in device pixels) as the winner's growth
// stands now.
std::array<int, 4> PlayerViewRect(const Game& game, int p);
// The display's overlay over the views: each player's frame and number tag on the own view, at
// the battle's start; then, on each of the winner's view steps while its view grows, the winner's
// words over it and black everywhere else, so no stale picture stays beside it.
void DrawViewTags(Game& game);
void DrawWinnerOverlay(Game& game);

// The factory's movers; the battle tick calls it only on that stage.
void StepMovers(Game& game);
// Shots: move, leave the field, stop at walls.
void StepShots(Game& game);
// Stars: move, fall, expire.
void StepStars(Game& game);
// Takes every shot out of play, frames included.
void ClearShots(Game& game);

}  // namespace bf
