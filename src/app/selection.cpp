#include "app/app_local.h"
#include "app/replay.h"
#include "app/screens.h"
#include "app/tick_loop.h"
#include "audio/sound.h"
#include "core/game.h"
#include "input/joystick.h"

namespace bf {
namespace {

// A choice stepped past either end comes round to the other.
void WrapChoice(std::int32_t& choice, int count) {
  if (choice > count - 1) choice = 0;
  if (choice < 0) choice = count - 1;
}

void SetUpSelectionScreen(Game& game) {
  HoldEventsUntilNextTick(game);
  PlayMusic(game, "sound/bgm0.wav");
  game.selectionActive = 1;
  game.menuRow = 0;
  DrawSelectionScreen(game);
  game.tickStamp = CurrentTick(game);
  for (int p = 0; p < kPlayers; ++p) {
    game.steerInput[p] = 0;
    game.throttleInput[p] = 0;
  }
  game.runningFlag = -1;
}

// Left/right on a joined slot: player 0 on the stage row moves the stage, everyone else the
// tank type. A press acts once and is then marked handled (+-2) until released.
void StepChoice(Game& game, int p) {
  std::int32_t& choice = (p == 0 && game.menuRow == 1) ? game.stageIndex : game.playerCharacter[p];
  if (game.steerInput[p] == 1) {
    PlaySoundEffect(game, kSoundReload);
    choice += 1;
    game.steerInput[p] = 2;
  }
  if (game.steerInput[p] == -1) {
    PlaySoundEffect(game, kSoundReload);
    choice -= 1;
    game.steerInput[p] = -2;
  }
  if (game.steerInput[p] != 0) WrapChoice(game.playerCharacter[p], kTankTypes);
}

// Fire joins a free slot with the player's own index as its type, or leaves a joined one.
void StepJoin(Game& game, int p) {
  if (game.fireState[p] != 1) return;
  if (game.playerCharacter[p] == kNotJoined) {
    game.playerCharacter[p] = p;
    game.fireState[p] = 2;
    game.steerInput[p] = 0;
    PlaySoundEffect(game, kSoundLife);
  } else {
    game.playerCharacter[p] = kNotJoined;
    game.fireState[p] = 2;
  }
}

// Up and down pick the row player 0's left/right acts on; every switch plays, even to the same
// row.
void StepMenuRow(Game& game, int p) {
  if (game.throttleInput[p] == -1) {
    PlaySoundEffect(game, kSoundReload);
    game.menuRow = 0;
    game.throttleInput[p] = -2;
  }
  if (game.throttleInput[p] == 1) {
    PlaySoundEffect(game, kSoundReload);
    game.menuRow = 1;
    game.throttleInput[p] = 2;
  }
}

void StepSelectionPlayer(Game& game, int p) {
  if (p >= 2) ReadSelectionJoystick(game, p);
  if (game.playerCharacter[p] != kNotJoined) StepChoice(game, p);
  StepJoin(game, p);
  StepMenuRow(game, p);
  WrapChoice(game.stageIndex, kStages);
  // Held controls count too, so the screen is redrawn every tick while one is held.
  if (game.steerInput[p] != 0 || game.throttleInput[p] != 0 || game.fireState[p] != 0) {
    DrawSelectionScreen(game);
  }
}

}  // namespace

void ShowLoadingText(Game& game) {
  Surface2D& form = game.io.display->Form();
  form.Clear();
  form.SetTextPosition(270, 250);
  form.Print("NOW LOADING....");
}

bool RunSelectionScreen(Game& game) {
  SetUpSelectionScreen(game);
  RunTicks(game, Screen::kSelection, [&game] {
    // The replay leaves the screen as it found it, so the tick goes on as any other: a replayed
    // evening has this tick too.
    if (game.replay != nullptr && game.replay->TakeInstantReplayRequest()) {
      game.replay->PlayLastBattle(game);
    }
    for (int p = 0; p < kPlayers; ++p) StepSelectionPlayer(game, p);
    return game.enterHeld == 1 ? TickOutcome::kLeave : TickOutcome::kContinue;
  });
  if (game.runningFlag == 0) {
    StopMusic(game);
    return false;
  }
  ShowLoadingText(game);
  PumpEvents(game);
  game.selectionActive = 0;
  // A close from outside during the loading text ends the program instead of a battle.
  return !game.closeRequested;
}

}  // namespace bf
