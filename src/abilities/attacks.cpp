// The abilities that act on other tanks: the rocket, the gas cloud, the whirlpool, the flame
// burst and the hopping pyon. Each runs once per tick for player p, after its timer was counted
// down.
#include <cmath>

#include "abilities/abilities.h"
#include "abilities/star_bursts.h"
#include "app/game.h"
#include "app/numeric.h"
#include "app/screens.h"
#include "audio/sound.h"
#include "battle/world_slots.h"

namespace bf {
namespace {

// An ability hit shakes the attacker's view, not the victim's.
constexpr int kShakeTicks = 10;
// Stars thrown at a tank hit by a rocket or a pyon.
constexpr int kAbilityBurst = 10;

constexpr int kRocketFlying = 9;
constexpr int kRocketHeight = 30;
constexpr int kRocketReach = 50;
constexpr int kRocketDamage = 30;
constexpr int kArenaEdge = 800;

constexpr int kBlinkFrom = 49;  // the last ticks of a cloud or whirlpool, when it blinks
constexpr int kGasReach = 100;
constexpr int kGasLowestLife = 1;

constexpr int kWhirlpoolReach = 100;
constexpr int kWhirlpoolTurn = 20;
constexpr int kFullTurn = 360;

constexpr int kLastFlameTimer = 21;
constexpr int kFlameFired = 3;  // not a request: only one flame leaves per tick
constexpr double kShotStartDistance = 60;
constexpr double kShotStep = 30;

constexpr int kPyonAlive = 100;
constexpr int kPyonStep = 5;
constexpr int kPyonTankReach = 40;
constexpr int kPyonShotReach = 20;
constexpr int kPyonDamage = 10;

void PlaceInScene(Game& game, FrameId frame, double x, double y, double z) {
  game.io.scene->SetPosition(frame, kNoFrame, static_cast<float>(x), static_cast<float>(y),
                             static_cast<float>(z));
}

bool TankWithin(const Game& game, int j, double reach, double x, double z) {
  return WithinBox(game.tankX[j], game.tankZ[j], reach, x, z);
}

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
  game.abilityState[p] = 0;
  ParkFrame(game, game.rocketFrame[p]);
}

bool LeftArena(int x, int z) {
  return x < -kArenaEdge || x > kArenaEdge || z < -kArenaEdge || z > kArenaEdge;
}

// Every other tank in the box is hit, all at the same rocket position.
void HitTanksWithRocket(Game& game, int p, int x, int z) {
  for (int j = 0; j < kPlayers; ++j) {
    if (j == p || !TankWithin(game, j, kRocketReach, x, z)) continue;
    game.abilityState[p] = 0;
    HitWithAbility(game, p, j, kRocketDamage);
    ParkFrame(game, game.rocketFrame[p]);
  }
}

// A wall stops the rocket with a bang but no damage and no stars.
void StopRocketAtWalls(Game& game, int p, int x, int z) {
  for (int k = 0; k < kWallSlots; ++k) {
    if (InsideWall(game, k, x, z)) {
      game.abilityState[p] = 0;
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
  const double h = Radians(game.tankHeading[p]);
  for (int s = 0; s < kShotSlots; ++s) {
    if (game.shotX[s] != kFreeSlot || game.fireState[p] != 1) continue;
    game.shotX[s] = game.tankX[p] + kShotStartDistance * std::cos(h);
    game.shotZ[s] = game.tankZ[p] + kShotStartDistance * std::sin(h);
    game.shotDX[s] = kShotStep * std::cos(h);
    game.shotDZ[s] = kShotStep * std::sin(h);
    game.fireState[p] = kFlameFired;
    game.tankSpeed[p] -= 1;
    DrawStatusPanels(game);
  }
}

// The pyon keeps its target while that tank is in play; otherwise it draws a new one (which may
// again be its own tank or an eliminated one, redrawn next tick).
int ChooseTarget(Game& game, int p) {
  std::int32_t& target = game.abilityState[p + 4];
  const bool known = target >= 0 && target < kPlayers;
  if (!known || target == p || game.playerLife[target] <= 0) {
    target = Int(game.random.Next() * kPlayers);
  }
  return target;
}

// 5 units per axis, each test on the current value, so near the target it steps over and back.
void ChaseTarget(Game& game, int p, int target) {
  std::int32_t& x = game.abilityState[p + 8];
  std::int32_t& z = game.abilityState[p + 12];
  if (x < game.tankX[target]) x += kPyonStep;
  if (x > game.tankX[target]) x -= kPyonStep;
  if (z > game.tankZ[target]) z -= kPyonStep;
  if (z < game.tankZ[target]) z += kPyonStep;
}

void EndPyon(Game& game, int p) {
  game.abilityState[p] = 0;
  ParkFrame(game, game.pyonFrame[p]);
}

// Any other tank in reach is hit, not only the target.
void HitTanksWithPyon(Game& game, int p, int x, int z) {
  for (int j = 0; j < kPlayers; ++j) {
    if (j == p || !TankWithin(game, j, kPyonTankReach, x, z)) continue;
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
    game.abilityState[p] = 0;
    game.shotX[s] = kFreeSlot;
    ParkFrame(game, game.pyonFrame[p]);
    ParkFrame(game, game.shotFrame[s]);
    PlaySoundEffect(game, kSoundPyon);
  }
}

}  // namespace

void RunRocket(Game& game, int p) {
  auto& state = game.abilityState;
  state[p] = kRocketFlying;
  state[p + 4] += state[p + 12];
  state[p + 8] += state[p + 16];
  const int x = state[p + 4];
  const int z = state[p + 8];
  PlaceInScene(game, game.rocketFrame[p], x, kRocketHeight, z);
  // The three endings are all tested at this position, whatever the earlier ones found.
  if (LeftArena(x, z)) EndRocket(game, p);
  HitTanksWithRocket(game, p, x, z);
  if (game.stageIndex != 3) StopRocketAtWalls(game, p, x, z);
}

void RunGasCloud(Game& game, int p) {
  auto& state = game.abilityState;
  const int timer = state[p];
  SpinFrame(game, game.gasFrame[p]);
  if (timer > kBlinkFrom) state[p + 4] = (state[p + 4] == 0) ? 1 : 0;
  if (state[p + 4] == 0) {
    for (int j = 0; j < kPlayers; ++j) {
      if (j == p || !TankWithin(game, j, kGasReach, state[p + 8], state[p + 12])) continue;
      // The cloud wears a tank down but never takes its last point of life.
      if (game.playerLife[j] > kGasLowestLife) {
        game.playerLife[j] -= 1;
        DrawStatusPanels(game);
      }
    }
  }
  if (timer <= kBlinkFrom) BlinkAtEnd(game, p, game.gasFrame[p]);
}

void RunWhirlpool(Game& game, int p) {
  const auto& state = game.abilityState;
  for (int j = 0; j < kPlayers; ++j) {
    if (j != p && TankWithin(game, j, kWhirlpoolReach, state[p + 8], state[p + 12])) {
      game.tankHeading[j] += kWhirlpoolTurn;
    }
    if (game.tankHeading[j] > kFullTurn) game.tankHeading[j] = 0;
  }
  if (state[p] <= kBlinkFrom) BlinkAtEnd(game, p, game.waterFrame[p]);
}

void RunFlameBurst(Game& game, int p) {
  // The burst stops at once when its own tank is out of play.
  if (game.playerLife[p] <= 0) return;
  const int timer = game.abilityState[p];
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

void RunPyon(Game& game, int p) {
  auto& state = game.abilityState;
  state[p] = kPyonAlive;
  const int target = ChooseTarget(game, p);
  ChaseTarget(game, p, target);
  const int x = state[p + 8];
  const int z = state[p + 12];
  PlaceInScene(game, game.pyonFrame[p], x, 0, z);
  game.io.scene->LookAt(game.pyonFrame[p], game.tankFrame[target]);
  // A tank and a shot reaching the pyon on the same tick both meet it.
  HitTanksWithPyon(game, p, x, z);
  MeetShotsWithPyon(game, p, x, z);
}

}  // namespace bf
