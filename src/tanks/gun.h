#pragma once
// The main gun with its magazine, and shots hitting a tank.

namespace bf {

struct Game;

// Empty click, firing and reloading for tank p.
void RunMainGun(Game& game, int p);
// Tests every shot in flight against tank p and applies the damage.
void TestShotHits(Game& game, int p);

}  // namespace bf
