#pragma once
// Players 2 and 3 on joysticks 0 and 1, read digitally: each axis becomes -1, 0 or 1.

namespace bf {

struct Game;

// The axis dead zone that start-up asks for.
constexpr int kJoystickDeadZone = 16384;

// Finds the first joystick that answers and derives the axis thresholds from its range.
void InitJoystick(Game& game, int deadZone);
// The selection-screen and battle mappings for player p (2 or 3).
void ReadSelectionJoystick(Game& game, int p);
void ReadBattleJoystick(Game& game, int p);

}  // namespace bf
