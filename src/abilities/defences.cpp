// The abilities that act on their own tank: the cloak, the shield, the dash and the decoy. Each
// runs once per tick for player p, after its timer was counted down; none plays a sound or
// changes a life.
#include "abilities/abilities.h"
#include "app/game.h"
#include "app/numeric.h"

namespace bf {
namespace {

// The shield guards only the first 21 shot slots; the rest are in use only while more shots
// fly, as during a flame burst.
constexpr int kShieldedShotSlots = 21;
constexpr double kShieldReach = 65;

constexpr int kDashSpeed = 75;
constexpr int kDashEndSpeed = 25;

constexpr int kDecoyBlinkFrom = 49;

}  // namespace

// The tank shows in its own view on every second tick; the other views never show it while the
// timer runs (their view step hides it).
void RunCloak(Game& game, int p) {
  std::int32_t& shown = game.abilityState[p + 4];
  if (shown != 0) {
    shown = 0;
  } else {
    ParkFrame(game, game.tankFrame[p]);
    shown = 1;
  }
}

// The shield follows the tank and destroys every shot inside its square, the pig's own included.
void RunShield(Game& game, int p) {
  const FrameId shield = game.shieldFrame[p];
  game.io.scene->SetPosition(shield, kNoFrame, static_cast<float>(game.tankX[p]), 0,
                             static_cast<float>(game.tankZ[p]));
  SpinFrame(game, shield);
  for (int k = 0; k < kShieldedShotSlots; ++k) {
    if (WithinBox(game.tankX[p], game.tankZ[p], kShieldReach, game.shotX[k], game.shotZ[k])) {
      game.shotX[k] = kFreeSlot;
      ParkFrame(game, game.shotFrame[k]);
    }
  }
  if (game.abilityState[p] == 0) ParkFrame(game, shield);
}

// Three times the top speed for the dash; its last tick puts the speed back to the top speed.
void RunDash(Game& game, int p) {
  game.tankSpeed[p] = kDashSpeed;
  if (game.abilityState[p] == 0) game.tankSpeed[p] = kDashEndSpeed;
}

// The decoy stands where the launch put it, and blinks out over its last ticks.
void RunDecoy(Game& game, int p) {
  if (game.abilityState[p] <= kDecoyBlinkFrom) BlinkAtEnd(game, p, game.tankFrame[p + 4]);
}

}  // namespace bf
