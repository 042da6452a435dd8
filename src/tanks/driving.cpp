// Driving a tank in play: steering, throttle, the bob, and one axis step at a time with
// collision against the field edge, the other tanks and the stage's walls.
#include <cmath>

#include "battle/world_slots.h"
#include "core/contact.h"
#include "core/frames.h"
#include "core/game.h"
#include "core/numeric.h"
#include "tanks/tanks_local.h"

namespace bf {
namespace {

constexpr int kTurnStep = 4;
constexpr double kFieldEdge = 750;
constexpr double kTankReach = 70;
constexpr double kDriftBandNear = 350, kDriftBandFar = 525, kDrift = 10;

// Only a step that enters another tank's box is undone. A net can pull a tank onto another one;
// were every step inside the box undone too, neither could ever move again, and as shots start
// beyond the box, neither could be hit: a battle that never ends.
bool EntersTank(const Game& game, int p, int k) {
  return WithinTankReach(game, k, kTankReach, game.tankX[p], game.tankZ[p]) &&
         !WithinTankReach(game, k, kTankReach, game.prevX, game.prevZ);
}

void RestorePosition(Game& game, int p) {
  game.tankX[p] = game.prevX;
  game.tankZ[p] = game.prevZ;
}

// Each correction at the edge also tells the computer driver its run has ended.
void ClampToEdge(Game& game, int p, double& value) {
  if (value > kFieldEdge) {
    value = kFieldEdge;
    game.aiDrive[p] = 0;
  }
  if (value < -kFieldEdge) {
    value = -kFieldEdge;
    game.aiDrive[p] = 0;
  }
}

void RememberPosition(Game& game, int p) {
  game.prevX = game.tankX[p];
  game.prevZ = game.tankZ[p];
}

// The side drift of the factory's two conveyor belts, tested on z before the z step; it moves a
// standing tank too.
void DriftOnConveyors(Game& game, int p) {
  if (!HasConveyors(StageOf(game))) return;
  const double z = game.tankZ[p];
  if (kDriftBandNear < z && z < kDriftBandFar) game.tankX[p] += kDrift;
  if (-kDriftBandFar < z && z < -kDriftBandNear) game.tankX[p] -= kDrift;
}

// Keeps tank p in -750..750 and undoes an axis step into another tank's box or a wall. The
// speed is never changed by a collision: a tank at an angle keeps sliding along the free axis,
// because each axis is stepped and tested on its own.
void KeepInField(Game& game, int p) {
  if (game.playerLife[p] < 1) return;
  ClampToEdge(game, p, game.tankX[p]);
  ClampToEdge(game, p, game.tankZ[p]);
  // An eliminated tank is parked far outside the field, so it no longer blocks.
  for (int k = 0; k < kPlayers; ++k) {
    if (k != p && EntersTank(game, p, k)) RestorePosition(game, p);
  }
  for (int w = 0; w < kWallSlots; ++w) {
    if (!InsideWall(game, w, game.tankX[p], game.tankZ[p])) continue;
    RestorePosition(game, p);
    game.aiDrive[p] = 0;
  }
}

}  // namespace

// Left adds to the heading; 360 itself occurs, and only a result past it wraps to 0.
void SteerTank(Game& game, int p) {
  std::int32_t& heading = game.tankHeading[p];
  if (game.steerInput[p] == -1) {
    heading += kTurnStep;
    if (heading > kFullTurn) heading = 0;
  }
  if (game.steerInput[p] == 1) {
    heading -= kTurnStep;
    if (heading < 0) heading = kFullTurn;
  }
}

// Reverse stops at the first whole speed at or below half the top speed.
void ApplyThrottle(Game& game, int p) {
  std::int32_t& speed = game.tankSpeed[p];
  const std::int32_t throttle = game.throttleInput[p];
  if (throttle == -1 && speed < game.maxSpeed[p]) speed += 1;
  if (throttle == 1 && speed > -game.maxSpeed[p] / 2.0) speed -= 1;
  if (throttle == 0) {
    if (speed > 0) speed -= 1;
    if (speed < 0) speed += 1;
  }
}

void BobTank(Game& game, int p) {
  if (game.steerInput[p] != 0 || game.throttleInput[p] != 0) {
    game.tankBob[p] = 1 - game.tankBob[p];
  } else {
    game.tankBob[p] = 0;
  }
}

void StepTankX(Game& game, int p) {
  RememberPosition(game, p);
  game.tankX[p] += game.tankSpeed[p] * std::cos(Radians(game.tankHeading[p]));
  DriftOnConveyors(game, p);
  KeepInField(game, p);
}

void StepTankZ(Game& game, int p) {
  RememberPosition(game, p);
  game.tankZ[p] += game.tankSpeed[p] * std::sin(Radians(game.tankHeading[p]));
  KeepInField(game, p);
}

// The model's own +z points opposite to the direction of travel.
void PlaceTankFrame(Game& game, int p) {
  const double h = Radians(game.tankHeading[p]);
  PlaceInScene(game, game.tankFrame[p], game.tankX[p], game.tankBob[p], game.tankZ[p]);
  game.io.scene->SetOrientation(game.tankFrame[p], kNoFrame, static_cast<float>(-std::cos(h)), 0,
                                static_cast<float>(-std::sin(h)), 0, 1, 0);
}

}  // namespace bf
