#pragma once
// The walls and the shot table, as the tanks and the abilities meet them.
#include <cstdint>

namespace bf {

struct Game;

// True when (x, z) lies strictly inside wall rectangle w.
bool InsideWall(const Game& game, int w, double x, double z);
// The first free shot slot, or -1 when every slot is in flight.
int FirstFreeShotSlot(const Game& game);
// A shell (or a flame) leaving tank p along `degrees` in slot s: it starts 60 units ahead, clear
// of its own tank, and flies 30 units a tick.
void LaunchShell(Game& game, int p, int s, std::int32_t degrees);

}  // namespace bf
