// A battle left to the computer tanks can stall for good: two tanks whose speed cancels a
// drift, or that fire along a wall at nothing, never lose a life, and a room whose people are
// out could only press Escape. Once no person's tank is in play and a minute passes with no life
// changing, sudden death takes a life from every tank in play every 10 ticks until a winner is
// named. While a person plays, nothing here ever acts.
#include "app/status_panels.h"
#include "battle/battle_local.h"
#include "core/game.h"

namespace bf {
namespace {

constexpr std::int32_t kQuietTicksBeforeSuddenDeath = 3000;  // one minute of ticks
constexpr std::int32_t kSuddenDeathEveryTicks = 10;

bool PersonInPlay(const Game& game) {
  for (int p = 0; p < kPlayers; ++p) {
    if (game.computerDriven[p] == 0 && game.playerLife[p] >= 1) return true;
  }
  return false;
}

void TakeALifeFromEveryTankInPlay(Game& game) {
  for (int p = 0; p < kPlayers; ++p) {
    if (game.playerLife[p] > 0) game.playerLife[p] -= 1;
  }
  DrawStatusPanels(game);
}

// Counts on without resetting once sudden death has begun, so its pace never stalls.
void CountSuddenDeath(Game& game) {
  game.quietTicks += 1;
  const std::int32_t since = game.quietTicks - kQuietTicksBeforeSuddenDeath;
  if (since % kSuddenDeathEveryTicks == 0) TakeALifeFromEveryTankInPlay(game);
}

}  // namespace

void StartQuietCount(Game& game) {
  game.quietTicks = 0;
  game.quietLives = game.playerLife;
}

void StepSuddenDeath(Game& game) {
  if (game.winner != kNoWinner) return;
  if (PersonInPlay(game)) {
    game.quietTicks = 0;
  } else if (game.quietTicks >= kQuietTicksBeforeSuddenDeath) {
    CountSuddenDeath(game);
  } else if (game.playerLife == game.quietLives) {
    game.quietTicks += 1;
  } else {
    game.quietTicks = 0;
  }
  game.quietLives = game.playerLife;
}

}  // namespace bf
