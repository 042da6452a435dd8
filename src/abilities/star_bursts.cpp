// Not built yet: each routine below does nothing until its subsystem lands.
#include "abilities/star_bursts.h"

#include "app/game.h"

namespace bf {

void StarBurstAtPlayer(Game&, int) {}
void StarBurstAtTarget(Game&, int) {}
void StarBurstAtShot(Game&, int) {}

}  // namespace bf
