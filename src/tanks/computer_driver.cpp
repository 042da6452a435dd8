// The computer driver: a plan of turns, runs and search spins, and a look straight ahead that
// runs at what it sees and fires at tanks in line.
#include <cmath>

#include "battle/world_slots.h"
#include "core/contact.h"
#include "core/game.h"
#include "core/numeric.h"
#include "tanks/tanks_local.h"

namespace bf {
namespace {

constexpr int kLookSteps = 50;
constexpr int kLookStride = 50;
constexpr int kItemSight = 50;
constexpr int kTankSight = 75;
// A short straight run that replaces the plan when something is in line.
constexpr int kRunAtSight = -5;
constexpr int kSpinTicks = 100;

// Both used up and no search pending: a random turn of -30..29 ticks, a forward run of 50..37
// ticks, and one chance in four that the next plan is a search spin.
void DrawNewPlan(Game& game, int p) {
  if (game.aiDrive[p] != 0 || game.aiTurn[p] != 0 || game.aiSearch[p] != 0) return;
  game.aiTurn[p] = Int(game.random.Next() * 60 - 30);
  game.aiDrive[p] = Int(game.random.Next() * 15 - 50);
  if (Int(game.random.Next() * 4) == 0) game.aiSearch[p] = 1;
}

// A searching tank spins left for 100 ticks, or draws again next tick, until it sees something.
void StartSearchSpin(Game& game, int p) {
  if (game.aiDrive[p] != 0 || game.aiTurn[p] != 0 || game.aiSearch[p] != 1) return;
  game.aiTurn[p] = Int(game.random.Next() * 2 - 1) * kSpinTicks;
}

void RunStraight(Game& game, int p) {
  game.aiTurn[p] = 0;
  game.aiDrive[p] = kRunAtSight;
  game.aiSearch[p] = 0;
}

// A tank in line may draw the ability (with a full magazine) and then, separately, the gun. Both
// draws are made afresh for every probe step that falls on the tank.
void ConsiderFiring(Game& game, int p) {
  if (Int(game.random.Next() * 12) == 0 && game.shells[p] == game.maxShells[p]) {
    RunStraight(game, p);
    game.fireState[p] = 2;
  }
  if (Int(game.random.Next() * 10) == 0) {
    RunStraight(game, p);
    game.fireState[p] = 1;
  }
}

bool InsideAnyWall(const Game& game, double x, double z) {
  for (int w = 0; w < kWallSlots; ++w) {
    if (InsideWall(game, w, x, z)) return true;
  }
  return false;
}

// Probes 50 points straight ahead, 50 units apart. Tanks are seen through walls, but items
// are not: a run at an item behind a wall would be renewed every tick while the wall holds the
// tank back, and the battle would never end.
void LookAhead(Game& game, int p) {
  const double h = Radians(game.tankHeading[p]);
  bool wallInLine = false;
  for (int step = 1; step <= kLookSteps; ++step) {
    game.prevX = game.tankX[p] + step * kLookStride * std::cos(h);
    game.prevZ = game.tankZ[p] + step * kLookStride * std::sin(h);
    wallInLine = wallInLine || InsideAnyWall(game, game.prevX, game.prevZ);
    for (int k = 0; k < kItems && !wallInLine; ++k) {
      if (WithinBox(game.itemX[k], game.itemZ[k], kItemSight, game.prevX, game.prevZ)) {
        RunStraight(game, p);
      }
    }
    for (int k = 0; k < kPlayers; ++k) {
      if (k == p || game.shells[p] < 1) continue;
      if (WithinTankReach(game, k, kTankSight, game.prevX, game.prevZ)) {
        ConsiderFiring(game, p);
      }
    }
  }
}

void FollowPlan(Game& game, int p) {
  if (game.aiTurn[p] > 0) {
    game.steerInput[p] = 1;
    game.aiTurn[p] -= 1;
  }
  if (game.aiTurn[p] < 0) {
    game.steerInput[p] = -1;
    game.aiTurn[p] += 1;
  }
  if (game.aiDrive[p] > 0) {
    game.throttleInput[p] = 1;
    game.aiDrive[p] -= 1;
  }
  if (game.aiDrive[p] < 0) {
    game.throttleInput[p] = -1;
    game.aiDrive[p] += 1;
  }
}

}  // namespace

void RunComputerDriver(Game& game, int p) {
  game.steerInput[p] = 0;
  game.throttleInput[p] = 0;
  game.fireState[p] = 0;
  DrawNewPlan(game, p);
  StartSearchSpin(game, p);
  LookAhead(game, p);
  FollowPlan(game, p);
}

}  // namespace bf
