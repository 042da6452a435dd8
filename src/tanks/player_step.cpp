#include "tanks/player_step.h"

#include "abilities/abilities.h"
#include "battle/battle.h"
#include "core/game.h"
#include "input/joystick.h"
#include "tanks/tanks_local.h"

namespace bf {
namespace {

// The stages that act only while the tank is in play: inputs, driving, gun, ability, pick-ups.
void DriveTankInPlay(Game& game, int p) {
  if (p >= 2) ReadBattleJoystick(game, p);
  if (game.computerDriven[p] == 1) RunComputerDriver(game, p);
  SteerTank(game, p);
  ApplyThrottle(game, p);
  BobTank(game, p);
  StepTankX(game, p);
  StepTankZ(game, p);
  RunMainGun(game, p);
  LaunchAbility(game, p);
  MeetItemsNetsAndMines(game, p);
}

}  // namespace

void RunPlayerStep(Game& game, int p) {
  if (game.playerLife[p] > 0) DriveTankInPlay(game, p);
  // From here on every player runs, eliminated or not: an eliminated player still watches.
  TestShotHits(game, p);
  PlaceTankFrame(game, p);
  PlaceCamera(game, p);
  TurnStarsToCamera(game);
  RespawnAndSpinItems(game);
  ShakeCamera(game, p);
  RunAbilities(game, p);
  RenderPlayerView(game, p);
}

}  // namespace bf
