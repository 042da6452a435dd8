// Not built yet: each routine below does nothing until its subsystem lands.
#include "battle/world_slots.h"

#include "app/game.h"

namespace bf {

void StepMovers(Game&) {}
void StepShots(Game&) {}
void StepStars(Game&) {}
void StarAtShot(Game&, int) {}

}  // namespace bf
