// Not built yet: each routine below does nothing until its subsystem lands.
#include "abilities/abilities.h"
#include "app/game.h"

namespace bf {

void RunAbilities(Game&, int) {}
void ParkFrame(Game&, FrameId) {}
void SpinFrame(Game&, FrameId) {}
void BlinkAtEnd(Game&, int, FrameId) {}

}  // namespace bf
