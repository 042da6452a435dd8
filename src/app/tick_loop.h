#pragma once
// The 20 ms tick shared by the selection screen and the battle. The stamp is taken after the
// work, so a slow tick is never made up: the game runs slower, never in bursts.
#include <cstdint>

#include "core/game.h"

namespace bf {

// The tick number now: milliseconds divided by 20.
std::int64_t CurrentTick(Game& game);
// Lets the window deliver pending events (keys, the music's end, the window's close).
void PumpEvents(Game& game);

enum class TickOutcome { kContinue, kLeave };

// Runs `work` once per due tick while `runningFlag` is set. Between ticks it sleeps until the
// next tick is due; at the fast speed a burst's further ticks are due at once. While the room
// has paused the battle the ticks go on without their work, so the stamp keeps its pace and
// nothing is made up afterwards. After each tick the observer is told; when the work says kLeave
// the loop ends there without a new stamp. `work` is any callable returning TickOutcome.
template <typename Work>
void RunTicks(Game& game, Screen screen, Work&& work);

// Implementation details shared by the template.
bool TickIsDue(Game& game);
void WaitForNextTick(Game& game);
void FinishTick(Game& game);
void BeginTickRecord(Game& game);
void NoteTickProcessed(Game& game);

// A screen is being set up between two ticks: a replay must see the events that come now after
// the next tick, where a script would give them.
void HoldEventsUntilNextTick(Game& game);

template <typename Work>
void RunTicks(Game& game, Screen screen, Work&& work) {
  while (game.runningFlag != 0) {
    if (!TickIsDue(game)) {
      WaitForNextTick(game);
      continue;
    }
    BeginTickRecord(game);
    const TickOutcome outcome = game.room.paused ? TickOutcome::kContinue : work();
    if (game.observer != nullptr) game.observer->OnTickDone(game, screen);
    NoteTickProcessed(game);
    if (outcome == TickOutcome::kLeave) return;
    FinishTick(game);
  }
}

}  // namespace bf
