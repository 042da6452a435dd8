#pragma once
// Steering, throttle, the two axis steps and collision with the field edge, tanks and walls.

namespace bf {

struct Game;

void SteerTank(Game& game, int p);
void ApplyThrottle(Game& game, int p);
void BobTank(Game& game, int p);
// The x step (with the factory conveyors' side drift) and the z step, each followed by
// KeepInField.
void StepTankX(Game& game, int p);
void StepTankZ(Game& game, int p);
// Keeps tank p in -750..750 and undoes an axis step into another tank's box or a wall.
void KeepInField(Game& game, int p);
// Places tank p's frame at its position, facing its heading.
void PlaceTankFrame(Game& game, int p);

}  // namespace bf
