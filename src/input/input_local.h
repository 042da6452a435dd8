#pragma once
// Inside the joystick readers: the one poll both mappings share.

namespace bf {

struct Game;

// Reads joystick `joyIndex` into `joyX`, `joyY`, `joyButtons`.
void PollJoystick(Game& game);

}  // namespace bf
