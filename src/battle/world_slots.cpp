// The pools that move by themselves each tick: the factory's movers, the shots and the stars;
// and how a shell enters the shot table. A slot is free when its x holds -5000, the same place
// its frame is parked.
#include "battle/world_slots.h"

#include <cmath>

#include "audio/sound.h"
#include "battle/battle_local.h"
#include "battle/star_bursts.h"
#include "core/frames.h"
#include "core/game.h"
#include "core/numeric.h"

namespace bf {
namespace {

constexpr int kMoverStep = 10;
constexpr int kMoverLoopEnd = 2180;
constexpr float kMoverLaneZ = 440;
constexpr double kMuzzleDistance = 60;  // a shell starts this far ahead, clear of its own tank
constexpr double kShotSpeed = 30;
constexpr float kShotHeight = 30;
constexpr int kStarFallLimit = -8;
constexpr int kStarFloor = -15;

// A shell striking a wall throws a spark, vanishes and sounds like a hit. The remaining walls
// are still tested, but a freed shot can no longer match one.
void StopShotAtWalls(Game& game, int s) {
  for (int w = 0; w < kWallSlots; ++w) {
    if (!InsideWall(game, w, game.shotX[s], game.shotZ[s])) continue;
    StarAtShot(game, s);
    game.shotX[s] = kFreeSlot;
    PlaySoundEffect(game, kSoundDam);
  }
}

}  // namespace

bool InsideWall(const Game& game, int w, double x, double z) {
  return game.wallX[w] < x && x < game.wallX[w] + game.wallWidth[w] && game.wallZ[w] < z &&
         z < game.wallZ[w] + game.wallDepth[w];
}

// Movers 0 and 1 run toward +x along z = 440, movers 2 and 3 toward -x along z = -440, on a
// 4360-unit loop; they touch nothing.
void StepMovers(Game& game) {
  for (int m = 0; m < kMovers; ++m) {
    float laneZ;
    if (m < 2) {
      game.moverX[m] += kMoverStep;
      if (game.moverX[m] >= kMoverLoopEnd) game.moverX[m] = -kMoverLoopEnd;
      laneZ = kMoverLaneZ;
    } else {
      game.moverX[m] -= kMoverStep;
      if (game.moverX[m] <= -kMoverLoopEnd) game.moverX[m] = kMoverLoopEnd;
      laneZ = -kMoverLaneZ;
    }
    PlaceInScene(game, game.moverFrame[m], game.moverX[m], 0, laneZ);
  }
}

void StepShots(Game& game) {
  for (int s = 0; s < kShotSlots; ++s) {
    if (game.shotX[s] == kFreeSlot) continue;
    game.shotX[s] += game.shotDX[s];
    game.shotZ[s] += game.shotDZ[s];
    if (LeftArena(game.shotX[s], game.shotZ[s])) {
      game.shotX[s] = kFreeSlot;
      game.shotZ[s] = 0;
      game.shotDX[s] = 0;
      game.shotDZ[s] = 0;
    }
    if (WallsStopShots(StageOf(game))) StopShotAtWalls(game, s);
    // A shot freed in this step is parked by the same call.
    PlaceInScene(game, game.shotFrame[s], game.shotX[s], kShotHeight, game.shotZ[s]);
  }
}

// Stars fly, fall with a fall speed that stops growing at 9 a tick, and are freed below y = -15.
void StepStars(Game& game) {
  for (int k = 0; k < kStarSlots; ++k) {
    if (game.starX[k] == kFreeSlot) continue;
    game.starX[k] += game.starDX[k];
    game.starZ[k] += game.starDZ[k];
    if (game.starDY[k] >= kStarFallLimit) game.starDY[k] -= 1;
    game.starY[k] += game.starDY[k];
    PlaceInScene(game, game.starFrame[k], game.starX[k], game.starY[k], game.starZ[k]);
    if (game.starY[k] < kStarFloor) {
      game.starX[k] = kFreeSlot;
      ParkFrame(game, game.starFrame[k]);
    }
  }
}

int FirstFreeShotSlot(const Game& game) {
  for (int s = 0; s < kShotSlots; ++s) {
    if (game.shotX[s] == kFreeSlot) return s;
  }
  return -1;
}

void LaunchShell(Game& game, int p, int s, std::int32_t degrees) {
  const double h = Radians(degrees);
  game.shotX[s] = game.tankX[p] + kMuzzleDistance * std::cos(h);
  game.shotZ[s] = game.tankZ[p] + kMuzzleDistance * std::sin(h);
  game.shotDX[s] = kShotSpeed * std::cos(h);
  game.shotDZ[s] = kShotSpeed * std::sin(h);
}

void ClearShots(Game& game) {
  for (int s = 0; s < kShotSlots; ++s) {
    game.shotX[s] = kFreeSlot;
    ParkFrame(game, game.shotFrame[s]);
  }
}

}  // namespace bf
