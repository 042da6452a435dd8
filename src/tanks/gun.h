#pragma once
// The main gun with its magazine, the ability launch, and shots hitting a tank.

namespace bf {

struct Game;

// Empty click, firing and reloading for tank p.
void RunMainGun(Game& game, int p);
// Launches tank p's ability when requested with a full magazine and an idle timer.
void LaunchAbility(Game& game, int p);
// Tests every shot in flight against tank p and applies the damage.
void TestShotHits(Game& game, int p);

}  // namespace bf
