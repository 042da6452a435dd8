#pragma once
// Inside the player step, one concern to a file: driving and collision, the computer driver, the
// main gun and shot hits, pick-ups, and the camera.

namespace bf {

struct Game;

// Steering, throttle, the two axis steps and collision with the field edge, tanks and walls.
void SteerTank(Game& game, int p);
void ApplyThrottle(Game& game, int p);
void BobTank(Game& game, int p);
// The x step (with the factory conveyors' side drift) and the z step, each followed by
// KeepInField: tank p is kept in -750..750, and a step into another tank's box or a wall is undone.
void StepTankX(Game& game, int p);
void StepTankZ(Game& game, int p);
// Places tank p's frame at its position, facing its heading.
void PlaceTankFrame(Game& game, int p);

// Overwrites the inputs of computer-driven player p with its own plan.
void RunComputerDriver(Game& game, int p);

// The main gun with its magazine: empty click, firing and reloading for tank p.
void RunMainGun(Game& game, int p);
// Tests every shot in flight against tank p and applies the damage.
void TestShotHits(Game& game, int p);

// Items, nets and mines touching tank p (while it is in play).
void MeetItemsNetsAndMines(Game& game, int p);
// Now and then brings an absent item back at a random place, then places and spins both items'
// frames, an absent one out of sight at x = -5000.
void RespawnAndSpinItems(Game& game);
// Takes item k off the field again when it was placed inside a wall rectangle.
void KeepItemOutOfWalls(Game& game, int k);

// The one camera, placed for each player's view in turn, the star billboards and the shake.
void PlaceCamera(Game& game, int p);
void TurnStarsToCamera(Game& game);
void ShakeCamera(Game& game, int p);

}  // namespace bf
