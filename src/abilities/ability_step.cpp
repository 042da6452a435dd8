// The ability step: the countdown of a player's ability timer and the one running action of its
// tank type, plus the parking, spinning and blinking that the actions share.
#include "abilities/abilities.h"
#include "app/game.h"

namespace bf {

namespace {

using RunningAction = void (*)(Game&, int);

// The running action of each tank type; nets (7) and mines (9) act from their own slots.
constexpr RunningAction kRunningActions[kTankTypes] = {
    RunRocket,     RunCloak, RunGasCloud, RunShield, RunDash, RunWhirlpool,
    RunFlameBurst, nullptr,  RunPyon,     nullptr,   RunDecoy};
constexpr std::int32_t kFlameBurstType = 6;

}  // namespace

void RunAbilities(Game& game, int p) {
  if (game.abilityState[p] <= 0) return;
  // Every action sees the decremented timer, so the tick that sees 0 is its last.
  game.abilityState[p] -= 1;
  const std::int32_t type = game.playerCharacter[p];
  if (type < 0 || type >= kTankTypes || kRunningActions[type] == nullptr) return;
  // An eliminated mouse stops burning at once; every other ability runs out by itself.
  if (type == kFlameBurstType && game.playerLife[p] <= 0) return;
  kRunningActions[type](game, p);
}

// Nothing is removed from the scene during a battle: idle objects wait far outside the field.
void ParkFrame(Game& game, FrameId frame) {
  game.io.scene->SetPosition(frame, kNoFrame, kFreeSlot, 0, 0);
}

// Relative to the frame itself, so repeating it every tick keeps the object turning.
void SpinFrame(Game& game, FrameId frame) {
  game.io.scene->SetOrientation(frame, frame, 0.1f, 0, 0.005f, 0, 1, 0);
}

// Shown and hidden on successive ticks while the timer is below 50, parked for good at 0.
void BlinkAtEnd(Game& game, int p, FrameId frame) {
  const std::int32_t timer = game.abilityState[p];
  if (timer >= 50) return;
  std::int32_t& shown = game.abilityState[p + 4];
  if (shown != 0) {
    game.io.scene->SetPosition(frame, kNoFrame, static_cast<float>(game.abilityState[p + 8]), 0,
                               static_cast<float>(game.abilityState[p + 12]));
    shown = 0;
  } else {
    ParkFrame(game, frame);
    shown = 1;
  }
  if (timer == 0) ParkFrame(game, frame);
}

}  // namespace bf
