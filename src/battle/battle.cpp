// Not built yet: a battle that only honours Escape until the battle subsystem lands.
#include "battle/battle.h"

#include "app/game.h"
#include "app/screens.h"
#include "app/tick_loop.h"
#include "audio/sound.h"
#include "tanks/player_step.h"

namespace bf {

void BuildBattleScene(Game&) {}
void RenderPlayerView(Game&, int) {}

void RunBattle(Game& game) {
  BuildBattleScene(game);
  PlayMusic(game, "sound/bgm1.wav");
  game.winner = -1;
  game.zoomStep = 0;
  game.endCount = 0;
  game.tickStamp = CurrentTick(game);
  game.runningFlag = -1;
  RunTicks(game, Screen::kBattle, [] { return TickOutcome::kContinue; });
  if (game.closeRequested) return;
  StopMusic(game);
  ShowLoadingText(game);
  PumpEvents(game);
}

}  // namespace bf
