// The ability launch and the ability step: which ability a tank type has, the countdown of a
// player's ability timer and its one running action, plus the standing and blinking that the
// actions share.
#include <iterator>

#include "abilities/abilities.h"
#include "abilities/abilities_local.h"
#include "app/status_panels.h"
#include "core/ability_state.h"
#include "core/frames.h"
#include "core/game.h"
#include "core/numeric.h"

namespace bf {
namespace {

constexpr std::int32_t kReloadAfterLaunch = 40;

struct AbilityActions {
  void (*launch)(Game&, int, const TankFacts&);
  void (*run)(Game&, int);  // nullptr: nets and mines act from their own slots
};

constexpr AbilityActions kAbilityActions[] = {
    {LaunchRocket, RunRocket},
    {LaunchCloak, RunCloak},
    {LaunchGasCloud, RunGasCloud},
    {LaunchShield, RunShield},
    {LaunchDash, RunDash},
    {LaunchWhirlpool, RunWhirlpool},
    {LaunchFlameBurst, RunFlameBurst},
    {LayNet, nullptr},
    {LaunchPyon, RunPyon},
    {LayMine, nullptr},
    {LaunchDecoy, RunDecoy},
};

static_assert(std::size(kAbilityActions) == kAbilities, "one row per ability, in enum order");

const AbilityActions& ActionsOf(Ability ability) {
  return kAbilityActions[static_cast<int>(ability)];
}

}  // namespace

// The whole magazine is spent, and the first shell comes back 40 ticks later.
void LaunchAbility(Game& game, int p) {
  if (game.fireState[p] != 2 || !AbilityReady(game, p)) return;
  if (IsTankType(game.playerCharacter[p])) {
    const TankFacts& facts = FactsOf(TankTypeOf(game, p));
    ActionsOf(facts.ability).launch(game, p, facts);
  }
  game.fireState[p] = 0;
  game.shells[p] = 0;
  game.reloadTimer[p] = kReloadAfterLaunch;
  DrawStatusPanels(game);
}

void RunAbilities(Game& game, int p) {
  std::int32_t& timer = AbilityTimer(game, p);
  if (timer <= 0) return;
  // Every action sees the decremented timer, so the tick that sees 0 is its last.
  timer -= 1;
  if (!IsTankType(game.playerCharacter[p])) return;
  const AbilityActions& actions = ActionsOf(FactsOf(TankTypeOf(game, p)).ability);
  if (actions.run != nullptr) actions.run(game, p);
}

void StandAtTank(const Game& game, int p, const BlinkingAbility& object) {
  object.x = RoundToLong(game.tankX[p]);
  object.z = RoundToLong(game.tankZ[p]);
}

// Shown and hidden on successive ticks over the last ticks, parked for good at 0.
void BlinkAtEnd(Game& game, int p, FrameId frame) {
  const BlinkingAbility object = BlinkingAbilityOf(game, p);
  if (object.timer > kBlinkTicks) return;
  if (object.blink != 0) {
    PlaceInScene(game, frame, object.x, 0, object.z);
    object.blink = 0;
  } else {
    ParkFrame(game, frame);
    object.blink = 1;
  }
  if (object.timer == 0) ParkFrame(game, frame);
}

}  // namespace bf
