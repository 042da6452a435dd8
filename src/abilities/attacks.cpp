// The abilities that act on other tanks: the rocket, the gas cloud, the whirlpool, the flame
// burst and the hopping pyon. Each one's launch comes first; its action then runs once per tick
// for player p, after its timer was counted down.
#include <cmath>

#include "abilities/abilities_local.h"
#include "app/status_panels.h"
#include "audio/sound.h"
#include "battle/star_bursts.h"
#include "battle/world_slots.h"
#include "core/ability_state.h"
#include "core/contact.h"
#include "core/frames.h"
#include "core/game.h"
#include "core/numeric.h"

namespace bf {
namespace {

// Stars thrown at a tank hit by a rocket or a pyon.
constexpr int kAbilityBurst = 10;

constexpr int kRocketFlying = 9;
constexpr int kRocketHeight = 30;
constexpr double kRocketStep = 40;
constexpr int kRocketReach = 50;
constexpr int kRocketDamage = 30;

constexpr int kGasReach = 100;
constexpr int kGasLowestLife = 1;

constexpr float kWhirlpoolHeight = 2;
constexpr int kWhirlpoolReach = 100;
constexpr int kWhirlpoolTurn = 20;

constexpr int kLastFlameTimer = 21;
constexpr int kFlameFired = 3;  // not a request: only one flame leaves per tick

constexpr int kPyonAlive = 100;
constexpr int kPyonStep = 5;
constexpr int kPyonTankReach = 40;
constexpr int kPyonShotReach = 20;
constexpr int kPyonDamage = 10;

// A rocket or pyon hit: life, the attacker's shake, `bom`, the panels and the stars at `target`.
void HitWithAbility(Game& game, int p, int target, int damage) {
  game.burstCount = kAbilityBurst;
  game.playerLife[target] -= damage;
  game.shakeTimer[p] = kShakeTicks;
  PlaySoundEffect(game, kSoundBom);
  DrawStatusPanels(game);
  StarBurstAtTarget(game, target);
}

void EndRocket(Game& game, int p) {
  AbilityTimer(game, p) = 0;
  ParkFrame(game, game.rocketFrame[p]);
}

// Every other tank in the box is hit, all at the same rocket position.
void HitTanksWithRocket(Game& game, int p, int x, int z) {
  for (int j = 0; j < kPlayers; ++j) {
    if (j == p || !WithinTankReach(game, j, kRocketReach, x, z)) continue;
    AbilityTimer(game, p) = 0;
    HitWithAbility(game, p, j, kRocketDamage);
    ParkFrame(game, game.rocketFrame[p]);
  }
}

// A wall stops the rocket with a bang but no damage and no stars.
void StopRocketAtWalls(Game& game, int p, int x, int z) {
  for (int k = 0; k < kWallSlots; ++k) {
    if (InsideWall(game, k, x, z)) {
      AbilityTimer(game, p) = 0;
      PlaySoundEffect(game, kSoundBom);
      ParkFrame(game, game.rocketFrame[p]);
    }
  }
}

// The magazine stays empty for the whole burst; a shell the reload brought back is taken away
// again, and the panel shows it.
void EmptyMagazine(Game& game, int p) {
  if (game.shells[p] == 0) return;
  game.shells[p] = 0;
  DrawStatusPanels(game);
}

// At most one flame per tick, into the first free shot slot; with every slot taken the request
// stays and the next tick's main gun treats it as an empty click.
void FireFlame(Game& game, int p) {
  const int s = FirstFreeShotSlot(game);
  if (s < 0) return;
  LaunchShell(game, p, s, game.tankHeading[p]);
  game.fireState[p] = kFlameFired;
  game.tankSpeed[p] -= 1;
  DrawStatusPanels(game);
}

// The pyon keeps its target while that tank is in play; otherwise it draws a new one (which may
// again be its own tank or an eliminated one, redrawn next tick).
int ChooseTarget(Game& game, int p, std::int32_t& target) {
  const bool known = target >= 0 && target < kPlayers;
  if (!known || target == p || game.playerLife[target] <= 0) {
    target = Int(game.random.Next() * kPlayers);
  }
  return target;
}

// 5 units per axis, each test on the current value, so near the target it steps over and back.
void ChaseTarget(const Game& game, const PyonState& pyon, int target) {
  if (pyon.x < game.tankX[target]) pyon.x += kPyonStep;
  if (pyon.x > game.tankX[target]) pyon.x -= kPyonStep;
  if (pyon.z > game.tankZ[target]) pyon.z -= kPyonStep;
  if (pyon.z < game.tankZ[target]) pyon.z += kPyonStep;
}

void EndPyon(Game& game, int p) {
  AbilityTimer(game, p) = 0;
  ParkFrame(game, game.pyonFrame[p]);
}

// Any other tank in reach is hit, not only the target.
void HitTanksWithPyon(Game& game, int p, int x, int z) {
  for (int j = 0; j < kPlayers; ++j) {
    if (j == p || !WithinTankReach(game, j, kPyonTankReach, x, z)) continue;
    HitWithAbility(game, p, j, kPyonDamage);
    EndPyon(game, p);
  }
}

// A shot that reaches the pyon is used up with it.
void MeetShotsWithPyon(Game& game, int p, int x, int z) {
  for (int s = 0; s < kShotSlots; ++s) {
    if (game.shotX[s] == kFreeSlot ||
        !WithinBox(x, z, kPyonShotReach, game.shotX[s], game.shotZ[s])) {
      continue;
    }
    StarBurstAtShot(game, s);
    AbilityTimer(game, p) = 0;
    game.shotX[s] = kFreeSlot;
    ParkFrame(game, game.pyonFrame[p]);
    ParkFrame(game, game.shotFrame[s]);
    PlaySoundEffect(game, kSoundPyon);
  }
}

}  // namespace

// The rocket leaves the tank along its heading and flies above the ground, nose first.
void LaunchRocket(Game& game, int p, const TankFacts& facts) {
  const double h = Radians(game.tankHeading[p]);
  const RocketState rocket = RocketOf(game, p);
  rocket.timer = facts.launchTimer;
  rocket.x = RoundToLong(game.tankX[p]);
  rocket.z = RoundToLong(game.tankZ[p]);
  rocket.stepX = RoundToLong(kRocketStep * std::cos(h));
  rocket.stepZ = RoundToLong(kRocketStep * std::sin(h));
  PlaceAtTank(game, game.rocketFrame[p], p, kRocketHeight);
  game.io.scene->SetOrientation(game.rocketFrame[p], kNoFrame, static_cast<float>(-std::cos(h)), 0,
                                static_cast<float>(-std::sin(h)), 0, 1, 0);
  PlaySoundEffect(game, facts.launchSound);
}

void RunRocket(Game& game, int p) {
  const RocketState rocket = RocketOf(game, p);
  rocket.timer = kRocketFlying;
  rocket.x += rocket.stepX;
  rocket.z += rocket.stepZ;
  const int x = rocket.x;
  const int z = rocket.z;
  PlaceInScene(game, game.rocketFrame[p], x, kRocketHeight, z);
  // The three endings are all tested at this position, whatever the earlier ones found.
  if (LeftArena(x, z)) EndRocket(game, p);
  HitTanksWithRocket(game, p, x, z);
  if (WallsStopShots(StageOf(game))) StopRocketAtWalls(game, p, x, z);
}

void LaunchGasCloud(Game& game, int p, const TankFacts& facts) {
  const BlinkingAbility cloud = BlinkingAbilityOf(game, p);
  cloud.timer = facts.launchTimer;
  cloud.blink = 0;
  StandAtTank(game, p, cloud);
  PlaceAtTank(game, game.gasFrame[p], p, 0);
  PlaySoundEffect(game, facts.launchSound);
}

void RunGasCloud(Game& game, int p) {
  const BlinkingAbility cloud = BlinkingAbilityOf(game, p);
  SpinFrame(game, game.gasFrame[p]);
  if (cloud.timer > kBlinkTicks) cloud.blink = (cloud.blink == 0) ? 1 : 0;
  if (cloud.blink == 0) {
    for (int j = 0; j < kPlayers; ++j) {
      if (j == p || !WithinTankReach(game, j, kGasReach, cloud.x, cloud.z)) continue;
      // The cloud wears a tank down but never takes its last point of life.
      if (game.playerLife[j] > kGasLowestLife) {
        game.playerLife[j] -= 1;
        DrawStatusPanels(game);
      }
    }
  }
  BlinkAtEnd(game, p, game.gasFrame[p]);
}

void LaunchWhirlpool(Game& game, int p, const TankFacts& facts) {
  const BlinkingAbility whirlpool = BlinkingAbilityOf(game, p);
  whirlpool.timer = facts.launchTimer;
  whirlpool.blink = 0;
  StandAtTank(game, p, whirlpool);
  PlaceAtTank(game, game.waterFrame[p], p, kWhirlpoolHeight);
  PlaySoundEffect(game, facts.launchSound);
}

void RunWhirlpool(Game& game, int p) {
  const BlinkingAbility whirlpool = BlinkingAbilityOf(game, p);
  for (int j = 0; j < kPlayers; ++j) {
    if (j != p && WithinTankReach(game, j, kWhirlpoolReach, whirlpool.x, whirlpool.z)) {
      game.tankHeading[j] += kWhirlpoolTurn;
    }
    if (game.tankHeading[j] > kFullTurn) game.tankHeading[j] = 0;
  }
  BlinkAtEnd(game, p, game.waterFrame[p]);
}

// The flame burst clears the field of shells before its own flames go out; the frames stay
// where they were until their slots are used again.
void LaunchFlameBurst(Game& game, int p, const TankFacts& facts) {
  AbilityTimer(game, p) = facts.launchTimer;
  for (int s = 0; s < kShotSlots; ++s) game.shotX[s] = kFreeSlot;
  PlaySoundEffect(game, facts.launchSound);
}

void RunFlameBurst(Game& game, int p) {
  // The burst stops at once when its own tank is out of play.
  if (game.playerLife[p] <= 0) return;
  const int timer = AbilityTimer(game, p);
  EmptyMagazine(game, p);
  if (timer >= kLastFlameTimer) {
    game.fireState[p] = 1;
    FireFlame(game, p);
  }
  // The mouse burns out with its own flames, unless it has already won.
  if (timer == 0 && game.winner != p) {
    game.playerLife[p] = 0;
    StarBurstAtTarget(game, p);
    DrawStatusPanels(game);
  }
}

// The pyon starts at its own tank chasing its own player, so its first tick draws a target.
void LaunchPyon(Game& game, int p, const TankFacts& facts) {
  const PyonState pyon = PyonOf(game, p);
  pyon.timer = facts.launchTimer;
  pyon.target = p;
  pyon.x = RoundToLong(game.tankX[p]);
  pyon.z = RoundToLong(game.tankZ[p]);
  PlaceAtTank(game, game.pyonFrame[p], p, 0);
  PlaySoundEffect(game, facts.launchSound);
}

void RunPyon(Game& game, int p) {
  const PyonState pyon = PyonOf(game, p);
  pyon.timer = kPyonAlive;
  const int target = ChooseTarget(game, p, pyon.target);
  ChaseTarget(game, pyon, target);
  const int x = pyon.x;
  const int z = pyon.z;
  PlaceInScene(game, game.pyonFrame[p], x, 0, z);
  game.io.scene->LookAt(game.pyonFrame[p], game.tankFrame[target]);
  // A tank and a shot reaching the pyon on the same tick both meet it.
  HitTanksWithPyon(game, p, x, z);
  MeetShotsWithPyon(game, p, x, z);
}

}  // namespace bf
