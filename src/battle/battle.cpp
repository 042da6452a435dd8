// One whole battle: its entry, the spine of each 20 ms tick, the four views and the end.
#include "battle/battle.h"

#include <array>

#include "app/replay.h"
#include "app/room_controls.h"
#include "app/screens.h"
#include "app/status_panels.h"
#include "app/tick_loop.h"
#include "audio/sound.h"
#include "battle/battle_local.h"
#include "core/ability_state.h"
#include "core/frames.h"
#include "core/game.h"
#include "core/numeric.h"
#include "core/player_colours.h"
#include "tanks/player_step.h"

namespace bf {
namespace {

constexpr int kZoomSteps = 303;
constexpr int kEndSteps = 500;
constexpr double kHeightGrowth = 0.6753;
constexpr int kViewWidth = 308, kViewHeight = 208;
constexpr float kMarkerHeight = 80;

// A cloaked fox is missing from every view but its own player's; its own step puts it back
// before its own view is drawn.
void HideCloakedTanks(Game& game, int p) {
  for (int k = 0; k < kPlayers; ++k) {
    if (k != p && Cloaked(game, k)) ParkFrame(game, game.tankFrame[k]);
  }
}

// Every marker but the viewer's own stands over its tank, turned to the camera; a parked or
// hidden tank takes its marker with it, and walls hide it as they hide the tank.
void PlaceMarkers(Game& game, int p) {
  Scene& scene = *game.io.scene;
  for (int k = 0; k < 2 * kPlayers; ++k) {
    const FrameId marker = game.markerFrame[k];
    if (marker == kNoFrame) continue;
    const bool own = k % kPlayers == p;
    scene.SetPosition(marker, kNoFrame, 0, own ? kFreeSlot : kMarkerHeight, 0);
    if (!own) scene.LookAt(marker, game.cameraFrame);
  }
}

// The viewer's own tank shows through whatever hides it, in the player's colour.
void ShowOwnTankThroughWalls(Game& game, int p) {
  const Rgb colour = kPlayerColours[p].outer;
  const FrameId own = game.playerLife[p] > 0 ? game.tankFrame[p] : kNoFrame;
  game.io.scene->SetSilhouette(own, colour.r / 255.0f, colour.g / 255.0f, colour.b / 255.0f);
}

// Both counters advance once per view step, four times a tick; the tick in which the running
// flag drops is still completed.
void CountWinnerGrowth(Game& game) {
  if (game.winner >= 0 && game.zoomStep < kZoomSteps) game.zoomStep += 1;
  if (game.zoomStep == kZoomSteps) {
    game.endCount += 1;
    if (game.endCount == kEndSteps) game.runningFlag = 0;
  }
}

void RecordView(Game& game, const std::array<int, 4>& rect) {
  TickRecord& record = game.tickRecord;
  if (record.viewCount < TickRecord::kMaxViews) record.views[record.viewCount++] = rect;
}

void EndBattle(Game& game) {
  if (game.winner >= 0 && game.winner < kPlayers) game.winsSinceStart[game.winner] += 1;
  StopMusic(game);
  game.io.display->ShowBattleArea(false);
  ShowLoadingText(game);
  PumpEvents(game);
  // Slots the computer filled are free again on the selection screen; joined players keep
  // their tank types.
  for (int p = 0; p < kPlayers; ++p) {
    if (game.computerDriven[p] == 1) {
      game.computerDriven[p] = 0;
      game.playerCharacter[p] = kNotJoined;
    }
  }
}

}  // namespace

std::array<int, 4> PlayerViewRect(const Game& game, int p) {
  // The winner's view grows from its own corner toward the opposite one; every other view
  // shrinks toward its own outer corner, both keeping the 308 : 208 proportion.
  double grow = 0;
  if (game.winner >= 0) grow = game.winner == p ? game.zoomStep : -game.zoomStep;
  const bool right = p % 2 == 1;
  const bool bottom = p / 2 == 1;
  const int x = right ? RoundToLong(311 - grow) : 1;
  const int y = bottom ? RoundToLong(211 - kHeightGrowth * grow) : 1;
  const int width = RoundToLong(kViewWidth + grow);
  const int height = RoundToLong(kViewHeight + kHeightGrowth * grow);
  return {x, y, width, height};
}

void RenderPlayerView(Game& game, int p) {
  HideCloakedTanks(game, p);
  PlaceMarkers(game, p);
  ShowOwnTankThroughWalls(game, p);
  CountWinnerGrowth(game);
  const std::array<int, 4> rect = PlayerViewRect(game, p);
  RecordView(game, rect);
  // A fast burst draws only its last tick's views: nobody sees the others.
  if (!game.room.drawViews) return;
  Scene& scene = *game.io.scene;
  scene.SetViewport(game.cameraFrame, rect[0], rect[1], rect[2], rect[3]);
  scene.SetBack(kBackDistance);
  scene.ClearViewport();
  scene.Render(game.sceneFrame);
  scene.Update();
  // Drawn again only when the view has grown since: a fast burst draws just its last tick, so
  // the step at which the view stops growing may never be drawn itself.
  if (p == game.winner && game.overlayZoomStep != game.zoomStep) {
    DrawWinnerOverlay(game);
    game.overlayZoomStep = game.zoomStep;
  }
}

void RunBattleTick(Game& game) {
  if (HasConveyors(StageOf(game))) StepMovers(game);
  StepShots(game);
  StepStars(game);
  for (int p = 0; p < kPlayers; ++p) RunPlayerStep(game, p);
  StepSuddenDeath(game);
}

void RunBattle(Game& game) {
  if (game.replay != nullptr) game.replay->NoteBattleStart(game);
  HoldEventsUntilNextTick(game);
  BuildBattleScene(game);
  const std::string& loadError = game.io.scene->LoadError();
  if (!loadError.empty()) {
    // A battle without its models cannot be played: say so once and let the program end.
    game.io.messages->ShowMessage("Burrowfield", loadError, true);
    game.assetFailure = true;
    return;
  }
  PlayMusic(game, "sound/bgm1.wav");
  game.winner = kNoWinner;
  game.zoomStep = 0;
  game.endCount = 0;
  game.overlayZoomStep = -1;
  DrawStatusPanels(game);
  DrawViewTags(game);
  game.tickStamp = CurrentTick(game);
  game.runningFlag = -1;
  BeginBattleControls(game);
  RunTicks(game, Screen::kBattle, [&game] {
    RunBattleTick(game);
    UpdateFastSpeed(game);
    return TickOutcome::kContinue;
  });
  EndBattleControls(game);
  HoldEventsUntilNextTick(game);
  if (game.replay != nullptr) game.replay->NoteBattleEnd(game);
  // After a close from outside nothing more is touched: the program shuts down in order.
  if (game.closeRequested) return;
  EndBattle(game);
}

}  // namespace bf
