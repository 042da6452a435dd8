// Not built yet: each routine below does nothing until its subsystem lands.
#include "abilities/abilities.h"
#include "app/game.h"

namespace bf {

void RunCloak(Game&, int) {}
void RunShield(Game&, int) {}
void RunDash(Game&, int) {}
void RunDecoy(Game&, int) {}

}  // namespace bf
