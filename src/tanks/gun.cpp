// The main gun with its one-shell-at-a-time magazine, and shots hitting a tank.
#include "app/status_panels.h"
#include "audio/sound.h"
#include "battle/star_bursts.h"
#include "battle/world_slots.h"
#include "core/contact.h"
#include "core/frames.h"
#include "core/game.h"
#include "tanks/tanks_local.h"

namespace bf {
namespace {

constexpr std::int32_t kReloadTicks = 30;
constexpr std::int32_t kRecoil = 9;
constexpr std::int32_t kTripleRecoil = 5;
constexpr double kHitReach = 40;
constexpr std::int32_t kShotDamage = 10;
constexpr std::int32_t kShellHitStars = 5;

// One shell forward into the first free slot; with every slot busy the request stays 1 and the
// shell leaves on the first tick a slot is free.
void FireSingleShot(Game& game, int p) {
  const int s = FirstFreeShotSlot(game);
  if (s < 0) return;
  PlaySoundEffect(game, kSoundShot);
  LaunchShell(game, p, s, game.tankHeading[p]);
  game.fireState[p] = -1;
  game.shells[p] -= 1;
  game.reloadTimer[p] = kReloadTicks;
  game.tankSpeed[p] -= kRecoil;
  DrawStatusPanels(game);
}

// Forward, left-hand and right-hand shells at once, one shell each while the magazine lasts.
void FireTripleShot(Game& game, int p) {
  const std::int32_t h = game.tankHeading[p];
  const std::int32_t angles[3] = {h, h + 90, h - 90};
  for (int i = 0; i < 3; ++i) {
    if (i > 0) game.fireState[p] = 1;
    for (int s = 0; s < kShotSlots; ++s) {
      if (game.shotX[s] != kFreeSlot || game.fireState[p] != 1 || game.shells[p] <= 0) continue;
      LaunchShell(game, p, s, angles[i]);
      game.fireState[p] = -1;
      game.shells[p] -= 1;
    }
  }
  PlaySoundEffect(game, kSoundShot);
  game.fireState[p] = -1;
  game.reloadTimer[p] = kReloadTicks;
  game.tankSpeed[p] -= kTripleRecoil;
  DrawStatusPanels(game);
}

// One shell at a time; a full magazine freezes the timer.
void Reload(Game& game, int p) {
  if (game.shells[p] >= game.maxShells[p] || game.reloadTimer[p] <= 0) return;
  game.reloadTimer[p] -= 1;
  if (game.reloadTimer[p] != 0) return;
  game.shells[p] += 1;
  DrawStatusPanels(game);
  if (game.shells[p] < game.maxShells[p]) game.reloadTimer[p] = kReloadTicks;
}

void ApplyShotHit(Game& game, int p, int s) {
  PlaySoundEffect(game, kSoundDam);
  game.playerLife[p] -= kShotDamage;
  game.shakeTimer[p] = kShakeTicks;
  game.shotX[s] = kFreeSlot;
  game.burstCount = kShellHitStars;
  StarBurstAtPlayer(game, p);
  DrawStatusPanels(game);
  ParkFrame(game, game.shotFrame[s]);
}

}  // namespace

void RunMainGun(Game& game, int p) {
  if (game.shells[p] == 0 && game.fireState[p] == 1) {
    game.fireState[p] = -1;
    PlaySoundEffect(game, kSoundReload);
  }
  if (game.fireState[p] == 1 && game.shells[p] > 0) {
    if (TankTypeOf(game, p) == TankType::kLog) {
      FireTripleShot(game, p);
    } else {
      FireSingleShot(game, p);
    }
  }
  Reload(game, p);
}

void TestShotHits(Game& game, int p) {
  for (int s = 0; s < kShotSlots && game.playerLife[p] > 0; ++s) {
    // The two-sided strict test, not |dx| < 40: the Doubles round differently.
    if (WithinTankReach(game, p, kHitReach, game.shotX[s], game.shotZ[s])) ApplyShotHit(game, p, s);
  }
}

}  // namespace bf
