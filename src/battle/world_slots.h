#pragma once
// The pools that move by themselves each tick, before the player steps: movers, shots, stars.

namespace bf {

struct Game;

// Stage-5 movers; the battle tick calls it only when `stageIndex` is 4.
void StepMovers(Game& game);
// Shots: move, leave the field, stop at walls.
void StepShots(Game& game);
// Stars: move, fall, expire.
void StepStars(Game& game);
// True when (x, z) lies strictly inside wall rectangle w.
bool InsideWall(const Game& game, int w, double x, double z);
// The spark a shell throws where it strikes a wall: at most one star at shot slot `slot`.
void StarAtShot(Game& game, int slot);

}  // namespace bf
