#pragma once
// The pools that move by themselves each tick, before the player steps: movers, shots, stars.
#include <cstdint>

namespace bf {

struct Game;

// The factory's movers; the battle tick calls it only on that stage.
void StepMovers(Game& game);
// Shots: move, leave the field, stop at walls.
void StepShots(Game& game);
// Stars: move, fall, expire.
void StepStars(Game& game);
// True when (x, z) lies strictly inside wall rectangle w.
bool InsideWall(const Game& game, int w, double x, double z);

// The first free shot slot, or -1 when every slot is in flight.
int FirstFreeShotSlot(const Game& game);
// A shell (or a flame) leaving tank p along `degrees` in slot s: it starts 60 units ahead, clear
// of its own tank, and flies 30 units a tick.
void LaunchShell(Game& game, int p, int s, std::int32_t degrees);
// Takes every shot out of play, frames included.
void ClearShots(Game& game);

}  // namespace bf
