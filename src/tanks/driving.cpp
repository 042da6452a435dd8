// Not built yet: each routine below does nothing until its subsystem lands.
#include "tanks/driving.h"

#include "app/game.h"

namespace bf {

void SteerTank(Game&, int) {}
void ApplyThrottle(Game&, int) {}
void BobTank(Game&, int) {}
void StepTankX(Game&, int) {}
void StepTankZ(Game&, int) {}
void KeepInField(Game&, int) {}
void PlaceTankFrame(Game&, int) {}

}  // namespace bf
