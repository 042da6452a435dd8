// The abilities that act on their own tank: the cloak, the shield, the dash and the decoy. Each
// one's launch comes first; its action then runs once per tick for player p, after its timer was
// counted down. None of the actions plays a sound or changes a life.
#include "abilities/abilities_local.h"
#include "audio/sound.h"
#include "core/ability_state.h"
#include "core/contact.h"
#include "core/frames.h"
#include "core/game.h"

namespace bf {
namespace {

// The shield guards only the first 21 shot slots; the rest are in use only while more shots
// fly, as during a flame burst.
constexpr int kShieldedShotSlots = 21;
constexpr double kShieldReach = 65;

// Three times the flying squirrel's top speed, and back to it at the end.
constexpr std::int32_t kDashEndSpeed = FactsOf(TankType::kFlyingSquirrel).maxSpeed;
constexpr std::int32_t kDashSpeed = 3 * kDashEndSpeed;

}  // namespace

void LaunchCloak(Game& game, int p, const TankFacts& facts) {
  const BlinkingAbility cloak = BlinkingAbilityOf(game, p);
  cloak.timer = facts.launchTimer;
  cloak.blink = 0;
  PlaySoundEffect(game, facts.launchSound);
}

// The tank shows in its own view on every second tick; the other views never show it while the
// timer runs (their view step hides it).
void RunCloak(Game& game, int p) {
  std::int32_t& blink = BlinkingAbilityOf(game, p).blink;
  if (blink != 0) {
    blink = 0;
  } else {
    ParkFrame(game, game.tankFrame[p]);
    blink = 1;
  }
}

void LaunchShield(Game& game, int p, const TankFacts& facts) {
  AbilityTimer(game, p) = facts.launchTimer;
  PlaySoundEffect(game, facts.launchSound);
}

// The shield follows the tank and destroys every shot inside its square, the pig's own included.
void RunShield(Game& game, int p) {
  const FrameId shield = game.shieldFrame[p];
  PlaceAtTank(game, shield, p, 0);
  SpinFrame(game, shield);
  for (int k = 0; k < kShieldedShotSlots; ++k) {
    if (WithinTankReach(game, p, kShieldReach, game.shotX[k], game.shotZ[k])) {
      game.shotX[k] = kFreeSlot;
      ParkFrame(game, game.shotFrame[k]);
    }
  }
  if (AbilityTimer(game, p) == 0) ParkFrame(game, shield);
}

void LaunchDash(Game& game, int p, const TankFacts& facts) {
  AbilityTimer(game, p) = facts.launchTimer;
  PlaySoundEffect(game, facts.launchSound);
}

// The dash's last tick puts the speed back to the top speed, whatever the tank did before.
void RunDash(Game& game, int p) {
  game.tankSpeed[p] = kDashSpeed;
  if (AbilityTimer(game, p) == 0) game.tankSpeed[p] = kDashEndSpeed;
}

// The decoy is the cat's second tank frame, left standing where the tank is, facing its way.
void LaunchDecoy(Game& game, int p, const TankFacts& facts) {
  const BlinkingAbility decoy = BlinkingAbilityOf(game, p);
  decoy.timer = facts.launchTimer;
  decoy.blink = 0;
  StandAtTank(game, p, decoy);
  const FrameId frame = game.tankFrame[p + kPlayers];
  PlaceAtTank(game, frame, p, 0);
  game.io.scene->SetOrientation(frame, game.tankFrame[p], 0, 0, 1, 0, 1, 0);
  PlaySoundEffect(game, facts.launchSound);
}

// The decoy stands where the launch put it, and blinks out over its last ticks.
void RunDecoy(Game& game, int p) {
  BlinkAtEnd(game, p, game.tankFrame[p + kPlayers]);
}

}  // namespace bf
