// The main gun with its one-shell-at-a-time magazine, the ability launch that spends the whole
// magazine, and shots hitting a tank.
#include "tanks/gun.h"

#include <cmath>

#include "abilities/star_bursts.h"
#include "app/game.h"
#include "app/numeric.h"
#include "app/screens.h"
#include "audio/sound.h"

namespace bf {
namespace {

constexpr double kMuzzleDistance = 60;  // a shell starts this far ahead, clear of its own tank
constexpr double kShotSpeed = 30;
constexpr std::int32_t kReloadTicks = 30;
constexpr std::int32_t kReloadAfterAbility = 40;
constexpr std::int32_t kRecoil = 9;
constexpr std::int32_t kTripleRecoil = 5;
constexpr double kHitReach = 40;
constexpr std::int32_t kShotDamage = 10;
constexpr std::int32_t kShakeTicks = 10;
constexpr std::int32_t kShotBurst = 5;
constexpr std::int32_t kNetHolds = 100;
constexpr std::int32_t kTripleShotType = 9;

int FirstFreeShotSlot(const Game& game) {
  for (int s = 0; s < kShotSlots; ++s) {
    if (game.shotX[s] == kFreeSlot) return s;
  }
  return -1;
}

// Puts a shell into slot s, leaving tank p along `degrees`.
void LaunchShell(Game& game, int p, int s, std::int32_t degrees) {
  const double h = Radians(degrees);
  game.shotX[s] = game.tankX[p] + kMuzzleDistance * std::cos(h);
  game.shotZ[s] = game.tankZ[p] + kMuzzleDistance * std::sin(h);
  game.shotDX[s] = kShotSpeed * std::cos(h);
  game.shotDZ[s] = kShotSpeed * std::sin(h);
}

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

// Places `frame` on the ground at tank p (scene coordinates).
void PlaceAtTank(Game& game, FrameId frame, int p, float y) {
  game.io.scene->SetPosition(frame, kNoFrame, static_cast<float>(game.tankX[p]), y,
                             static_cast<float>(game.tankZ[p]));
}

// Stores the tank's position, rounded, as the ability's position entries [p+8], [p+12].
void StoreAbilityPosition(Game& game, int p) {
  game.abilityState[p + 8] = RoundToLong(game.tankX[p]);
  game.abilityState[p + 12] = RoundToLong(game.tankZ[p]);
}

void LaunchRocket(Game& game, int p) {
  const double h = Radians(game.tankHeading[p]);
  game.abilityState[p] = 10;
  game.abilityState[p + 4] = RoundToLong(game.tankX[p]);
  game.abilityState[p + 8] = RoundToLong(game.tankZ[p]);
  game.abilityState[p + 12] = RoundToLong(40 * std::cos(h));
  game.abilityState[p + 16] = RoundToLong(40 * std::sin(h));
  PlaceAtTank(game, game.rocketFrame[p], p, 30);
  game.io.scene->SetOrientation(game.rocketFrame[p], kNoFrame, static_cast<float>(-std::cos(h)), 0,
                                static_cast<float>(-std::sin(h)), 0, 1, 0);
  PlaySoundEffect(game, kSoundRocket);
}

void LaunchCloak(Game& game, int p) {
  game.abilityState[p] = 200;
  game.abilityState[p + 4] = 0;
  PlaySoundEffect(game, kSoundFox);
}

void LaunchGasCloud(Game& game, int p) {
  game.abilityState[p] = 200;
  game.abilityState[p + 4] = 0;
  StoreAbilityPosition(game, p);
  PlaceAtTank(game, game.gasFrame[p], p, 0);
  PlaySoundEffect(game, kSoundHe);
}

void LaunchShield(Game& game, int p) {
  game.abilityState[p] = 100;
  PlaySoundEffect(game, kSoundShield);
}

void LaunchDash(Game& game, int p) {
  game.abilityState[p] = 30;
  PlaySoundEffect(game, kSoundMomonga);
}

void LaunchWhirlpool(Game& game, int p) {
  game.abilityState[p] = 400;
  game.abilityState[p + 4] = 0;
  StoreAbilityPosition(game, p);
  PlaceAtTank(game, game.waterFrame[p], p, 2);
  PlaySoundEffect(game, kSoundFish);
}

// The flame burst clears the field of shells before its own flames go out; the frames stay
// where they were until their slots are used again.
void LaunchFlameBurst(Game& game, int p) {
  game.abilityState[p] = 50;
  for (int s = 0; s < kShotSlots; ++s) game.shotX[s] = kFreeSlot;
  PlaySoundEffect(game, kSoundFire);
}

// A net in the first free slot; the spider is heard even when every net is already out.
void LayNet(Game& game, int p) {
  for (int n = 0; n < kNetSlots; ++n) {
    if (game.netX[n] != kFreeSlot) continue;
    game.netX[n] = RoundToLong(game.tankX[p]);
    game.netZ[n] = RoundToLong(game.tankZ[p]);
    game.netTimer[n] = kNetHolds;
    PlaceAtTank(game, game.netFrame[n], p, 0);
    break;
  }
  PlaySoundEffect(game, kSoundSpider);
}

// The pyon starts at its own tank chasing its own player, so its first tick draws a target.
void LaunchPyon(Game& game, int p) {
  game.abilityState[p] = 100;
  game.abilityState[p + 4] = p;
  StoreAbilityPosition(game, p);
  PlaceAtTank(game, game.pyonFrame[p], p, 0);
  PlaySoundEffect(game, kSoundPyon);
}

// A mine in the first free slot, silent when every mine is already laid.
void LayMine(Game& game, int p) {
  for (int m = 0; m < kMineSlots; ++m) {
    if (game.mineX[m] != kFreeSlot) continue;
    game.mineX[m] = RoundToLong(game.tankX[p]);
    game.mineZ[m] = RoundToLong(game.tankZ[p]);
    game.io.scene->SetPosition(game.mineFrame[m], kNoFrame, static_cast<float>(game.mineX[m]), 0,
                               static_cast<float>(game.mineZ[m]));
    PlaySoundEffect(game, kSoundSet);
    return;
  }
}

// The decoy is the cat's second tank frame, left standing where the tank is, facing its way.
void LaunchDecoy(Game& game, int p) {
  game.abilityState[p] = 250;
  game.abilityState[p + 4] = 0;
  StoreAbilityPosition(game, p);
  const FrameId decoy = game.tankFrame[p + 4];
  PlaceAtTank(game, decoy, p, 0);
  game.io.scene->SetOrientation(decoy, game.tankFrame[p], 0, 0, 1, 0, 1, 0);
  PlaySoundEffect(game, kSoundCat);
}

using LaunchAction = void (*)(Game&, int);

// What each tank type does at the moment its ability is launched.
constexpr LaunchAction kLaunchActions[kTankTypes] = {
    LaunchRocket,     LaunchCloak, LaunchGasCloud, LaunchShield, LaunchDash, LaunchWhirlpool,
    LaunchFlameBurst, LayNet,      LaunchPyon,     LayMine,      LaunchDecoy};

bool ShotTouchesTank(const Game& game, int s, int p) {
  // The two-sided strict test, not |dx| < 40: the Doubles round differently.
  return WithinBox(game.tankX[p], game.tankZ[p], kHitReach, game.shotX[s], game.shotZ[s]);
}

void ApplyShotHit(Game& game, int p, int s) {
  PlaySoundEffect(game, kSoundDam);
  game.playerLife[p] -= kShotDamage;
  game.shakeTimer[p] = kShakeTicks;
  game.shotX[s] = kFreeSlot;
  game.burstCount = kShotBurst;
  StarBurstAtPlayer(game, p);
  DrawStatusPanels(game);
  game.io.scene->SetPosition(game.shotFrame[s], kNoFrame, kFreeSlot, 0, 0);
}

}  // namespace

void RunMainGun(Game& game, int p) {
  if (game.shells[p] == 0 && game.fireState[p] == 1) {
    game.fireState[p] = -1;
    PlaySoundEffect(game, kSoundReload);
  }
  if (game.fireState[p] == 1 && game.shells[p] > 0) {
    if (game.playerCharacter[p] == kTripleShotType) {
      FireTripleShot(game, p);
    } else {
      FireSingleShot(game, p);
    }
  }
  Reload(game, p);
}

void LaunchAbility(Game& game, int p) {
  if (game.abilityState[p] != 0 || game.fireState[p] != 2 || game.shells[p] != game.maxShells[p]) {
    return;
  }
  const std::int32_t type = game.playerCharacter[p];
  if (type >= 0 && type < kTankTypes) kLaunchActions[type](game, p);
  game.fireState[p] = 0;
  game.shells[p] = 0;
  game.reloadTimer[p] = kReloadAfterAbility;
  DrawStatusPanels(game);
}

void TestShotHits(Game& game, int p) {
  for (int s = 0; s < kShotSlots && game.playerLife[p] > 0; ++s) {
    if (ShotTouchesTank(game, s, p)) ApplyShotHit(game, p, s);
  }
}

}  // namespace bf
