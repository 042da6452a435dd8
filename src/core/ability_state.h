#pragma once
// What `abilityState` holds. Entry p is player p's ability timer (ticks left; 0 or less is idle);
// entries p + 4, p + 8, p + 12 and p + 16 hold the values of the running ability, laid out per
// ability. The views below name them, so no rule counts offsets. The values are not cleared
// between abilities or battles: every launch writes the ones its ability reads. The keyboard,
// the joysticks and the views ask it whether a launch is possible and whether a fox is cloaked.
#include <cstdint>

#include "core/game.h"

namespace bf {

// Row 0 is the timers, rows 1..4 the abilities' values.
inline std::int32_t& AbilityEntry(Game& game, int p, int row) {
  return game.abilityState[p + kPlayers * row];
}

inline std::int32_t& AbilityTimer(Game& game, int p) {
  return AbilityEntry(game, p, 0);
}
inline std::int32_t AbilityTimer(const Game& game, int p) {
  return game.abilityState[p];
}

// True when player p could launch: a full magazine and no ability running.
inline bool AbilityReady(const Game& game, int p) {
  return game.shells[p] == game.maxShells[p] && AbilityTimer(game, p) == 0;
}

// True while player p is a fox under its cloak: the other players' views do not show it.
inline bool Cloaked(const Game& game, int p) {
  return TankTypeOf(game, p) == TankType::kFox && AbilityTimer(game, p) >= 1;
}

// The rocket: where it flies and its step per tick along the launch heading.
struct RocketState {
  std::int32_t &timer, &x, &z, &stepX, &stepZ;
};
inline RocketState RocketOf(Game& game, int p) {
  return {AbilityTimer(game, p), AbilityEntry(game, p, 1), AbilityEntry(game, p, 2),
          AbilityEntry(game, p, 3), AbilityEntry(game, p, 4)};
}

// An ability object that stands where it was launched and blinks out at its end: the gas cloud,
// the whirlpool and the decoy. The cloak uses the blink flag alone. The flag turns to 1 when a
// blink hides the object, and back to 0 when the next one shows it.
struct BlinkingAbility {
  std::int32_t &timer, &blink, &x, &z;
};
inline BlinkingAbility BlinkingAbilityOf(Game& game, int p) {
  return {AbilityTimer(game, p), AbilityEntry(game, p, 1), AbilityEntry(game, p, 2),
          AbilityEntry(game, p, 3)};
}

// The pyon: the player it chases and where it is.
struct PyonState {
  std::int32_t &timer, &target, &x, &z;
};
inline PyonState PyonOf(Game& game, int p) {
  return {AbilityTimer(game, p), AbilityEntry(game, p, 1), AbilityEntry(game, p, 2),
          AbilityEntry(game, p, 3)};
}

}  // namespace bf
