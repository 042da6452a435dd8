// Not built yet: each routine below does nothing until its subsystem lands.
#include "input/joystick.h"

#include "app/game.h"

namespace bf {

void InitJoystick(Game&, int) {}
void PollJoystick(Game&) {}
void ReadSelectionJoystick(Game&, int) {}
void ReadBattleJoystick(Game&, int) {}

}  // namespace bf
