#include "input/joystick.h"

#include "core/ability_state.h"
#include "core/game.h"
#include "input/input_local.h"
#include "platform/joystick.h"

namespace bf {
namespace {

constexpr std::uint32_t kButton1Alone = 1;
constexpr std::uint32_t kButton2Alone = 2;
constexpr int kFirstJoystickPlayer = 2;

// -1 below the low limit, 1 above the high limit, 0 in between (limits themselves included).
std::int16_t AxisDirection(std::int32_t value, std::int32_t lowLimit, std::int32_t highLimit) {
  return static_cast<std::int16_t>((value > highLimit ? 1 : 0) - (value < lowLimit ? 1 : 0));
}

}  // namespace

void InitJoystick(Game& game, int deadZone) {
  game.joyIndex = -1;
  Joysticks* joysticks = game.io.joysticks;
  const int devices = joysticks != nullptr ? joysticks->NumDevices() : 0;
  if (devices <= 0) return;
  for (int id = 0; id < devices; ++id) {
    JoyPosition position;
    if (joysticks->GetPosition(id, position) == 0) {
      game.joyIndex = id;
      break;
    }
  }
  // Nothing answers: the limits keep the values they had.
  if (game.joyIndex == -1) return;
  JoyCaps caps;
  if (joysticks->GetCaps(game.joyIndex, caps) > 0) {
    game.joyIndex = -1;
    return;
  }
  game.joyLeftLimit = static_cast<std::int32_t>(caps.xMin) + deadZone;
  game.joyRightLimit = static_cast<std::int32_t>(caps.xMax) - deadZone;
  game.joyUpLimit = static_cast<std::int32_t>(caps.yMin) + deadZone;
  game.joyDownLimit = static_cast<std::int32_t>(caps.yMax) - deadZone;
}

void PollJoystick(Game& game) {
  if (game.joyIndex <= -1 || game.io.joysticks == nullptr) {
    game.joyX = 0;
    game.joyY = 0;
    game.joyButtons = 0;
    return;
  }
  // The answer is not checked: a joystick that does not answer reads as (0, 0) with no buttons,
  // which the limits of an attached one turn into left and up.
  JoyPosition position{};
  game.io.joysticks->GetPosition(game.joyIndex, position);
  const auto x = static_cast<std::int32_t>(position.x);
  const auto y = static_cast<std::int32_t>(position.y);
  game.joyX = AxisDirection(x, game.joyLeftLimit, game.joyRightLimit);
  game.joyY = AxisDirection(y, game.joyUpLimit, game.joyDownLimit);
  game.joyButtons = position.buttons;
}

// Left/right and button 1 alone act once per press: a held direction stays marked by the
// selection step until the stick returns to the centre.
void ReadSelectionJoystick(Game& game, int p) {
  game.joyIndex = p - kFirstJoystickPlayer;
  PollJoystick(game);
  if (game.steerInput[p] == 0 && game.joyX == 1) game.steerInput[p] = 1;
  if (game.steerInput[p] == 0 && game.joyX == -1) game.steerInput[p] = -1;
  if (game.joyX == 0) game.steerInput[p] = 0;
  if (game.fireState[p] == 0 && game.joyButtons == kButton1Alone) game.fireState[p] = 1;
  if (game.joyButtons == 0) game.fireState[p] = 0;
}

// Button 1 alone fires the gun; button 2 alone asks for the ability whenever it could launch,
// even while a gun request is still marked spent; both together ask for nothing.
void ReadBattleJoystick(Game& game, int p) {
  game.joyIndex = p - kFirstJoystickPlayer;
  PollJoystick(game);
  game.steerInput[p] = game.joyX;
  game.throttleInput[p] = game.joyY;
  if (game.joyButtons == 0) game.fireState[p] = 0;
  if (game.fireState[p] == 0 && game.joyButtons == kButton1Alone) game.fireState[p] = 1;
  if (game.joyButtons == kButton2Alone && AbilityReady(game, p)) game.fireState[p] = 2;
}

}  // namespace bf
