#pragma once
// The contact tests between a tank and a point: strict squares, as the game's contact tests are.
// Which of the two is the square's centre matters: the Doubles round differently in
// `tankX` - reach < x than in x - reach < `tankX`, so the two tests are kept apart.
#include "core/game.h"
#include "core/numeric.h"

namespace bf {

// True when (x, z) lies strictly inside the square of half-side `reach` around tank p: a shot,
// a rocket, a pyon, a gas cloud, a whirlpool or a shield meeting the tank, another tank's place,
// or a point the computer driver looks at.
inline bool WithinTankReach(const Game& game, int p, double reach, double x, double z) {
  return WithinBox(game.tankX[p], game.tankZ[p], reach, x, z);
}

// True when tank p lies strictly inside the square of half-side `reach` around (x, z): the tank
// driving onto a net, a mine or an item. A tank exactly `reach` away on an axis is not touching.
inline bool TankWithinReachOf(const Game& game, int p, double x, double z, double reach) {
  return WithinBox(x, z, reach, game.tankX[p], game.tankZ[p]);
}

}  // namespace bf
