// The decision of the winner: the battle is over as soon as three lives are 0. It runs after
// every change of a life or a magazine, from the status panels' redraw.
#include "audio/sound.h"
#include "battle/battle.h"
#include "battle/battle_local.h"
#include "core/game.h"

namespace bf {
namespace {

// The survivor's own life is not looked at.
bool OthersAllOut(const Game& game, int survivor) {
  for (int p = 0; p < kPlayers; ++p) {
    if (p != survivor && game.playerLife[p] != 0) return false;
  }
  return true;
}

}  // namespace

// Every test runs, in player order: when all four lives are 0 each one succeeds, `win` starts
// four times and the last player is named. Once named, the winner stays, and every shot leaves
// the field with the decision.
void DecideWinner(Game& game) {
  if (game.winner != kNoWinner) return;
  for (int p = 0; p < kPlayers; ++p) {
    if (OthersAllOut(game, p)) {
      game.winner = p;
      PlaySoundEffect(game, kSoundWin);
    }
  }
  if (game.winner != kNoWinner) ClearShots(game);
}

}  // namespace bf
