// Not built yet: each routine below does nothing until its subsystem lands.
#include "abilities/abilities.h"
#include "app/game.h"

namespace bf {

void RunRocket(Game&, int) {}
void RunGasCloud(Game&, int) {}
void RunWhirlpool(Game&, int) {}
void RunFlameBurst(Game&, int) {}
void RunPyon(Game&, int) {}

}  // namespace bf
