#include "app/room_controls.h"

#include <string>

#include "core/game.h"
#include "input/keyboard.h"
#include "platform/events.h"

namespace bf {
namespace {

constexpr std::uint64_t kNoteMs = 1000;

using Note = RoomControls::Note;

std::uint64_t NowMs(Game& game) {
  return game.io.clock->Milliseconds();
}

void ShowNote(Game& game, Note note) {
  game.room.note = note;
  game.room.noteUntilMs = NowMs(game) + kNoteMs;
}

void Pause(Game& game, int player) {
  RoomControls& room = game.room;
  room.paused = true;
  room.pausedBy = player;
  room.quickTicksLeft = 0;
  game.io.audio->SetPaused(true);
}

void GoOn(Game& game) {
  RoomControls& room = game.room;
  room.paused = false;
  room.pausedBy = RoomControls::kNobody;
  room.padLost = false;
  room.padBack = false;
  game.io.audio->SetPaused(false);
}

void TogglePause(Game& game, int player) {
  if (!game.room.battleRunning) return;
  if (game.room.paused) {
    GoOn(game);
  } else {
    Pause(game, player);
  }
}

void StepVolume(Game& game, int step) {
  RoomControls& room = game.room;
  room.muted = false;
  room.volumeStep += step;
  if (room.volumeStep < 0) room.volumeStep = 0;
  if (room.volumeStep > kVolumeSteps) room.volumeStep = kVolumeSteps;
  ApplyVolume(game);
  ShowNote(game, Note::kVolume);
}

void ToggleMute(Game& game) {
  game.room.muted = !game.room.muted;
  ApplyVolume(game);
  ShowNote(game, Note::kVolume);
}

// A folder that cannot be written says so, and the game goes on.
void TakeScreenshot(Game& game) {
  std::string folder;
  const bool saved = game.io.display->SaveScreenshots(&folder);
  ShowNote(game, saved ? Note::kScreenshot : Note::kScreenshotFailed);
}

// A key or button pressed by somebody in the room: they are watching again.
void EndFastSpeed(Game& game) {
  RoomControls& room = game.room;
  if (!room.fast) return;
  room.fast = false;
  room.fastDeclined = true;
  room.quickTicksLeft = 0;
}

// Every person who joined this battle has lost their tank; false when nobody joined.
bool EveryPersonIsOut(const Game& game) {
  bool anyPerson = false;
  for (int p = 0; p < kPlayers; ++p) {
    if (game.computerDriven[p] != 0) continue;
    anyPerson = true;
    if (game.playerLife[p] > 0) return false;
  }
  return anyPerson;
}

}  // namespace

void BeginBattleControls(Game& game) {
  RoomControls& room = game.room;
  room.battleRunning = true;
  room.fast = false;
  room.fastDeclined = false;
  room.quickTicksLeft = 0;
  room.drawViews = true;
}

void EndBattleControls(Game& game) {
  if (game.room.paused) GoOn(game);
  game.room.battleRunning = false;
  game.room.fast = false;
  game.room.quickTicksLeft = 0;
  game.room.drawViews = true;
  DrawNotice(game);
}

void UpdateFastSpeed(Game& game) {
  RoomControls& room = game.room;
  room.fast = !room.fastDeclined && EveryPersonIsOut(game);
  if (!room.fast) room.quickTicksLeft = 0;
}

void CountFastTick(Game& game) {
  RoomControls& room = game.room;
  if (room.quickTicksLeft > 0) {
    --room.quickTicksLeft;
  } else if (room.fast && !room.paused) {
    room.quickTicksLeft = kFastTicks - 1;
  }
  room.drawViews = room.quickTicksLeft == 0;
}

void RoomKeyDown(Game& game, int keyCode) {
  RoomControls& room = game.room;
  switch (keyCode) {
    case vk::kP:
    case vk::kPause:
      if (!room.pauseKeyDown) TogglePause(game, RoomControls::kNobody);
      room.pauseKeyDown = true;
      return;
    case vk::kMinus:
    case vk::kSubtract:
      StepVolume(game, -1);
      return;
    case vk::kPlus:
    case vk::kAdd:
      StepVolume(game, 1);
      return;
    case vk::kM:
      ToggleMute(game);
      return;
    case vk::kF12:
      if (!room.screenshotKeyDown) TakeScreenshot(game);
      room.screenshotKeyDown = true;
      return;
    default:
      EndFastSpeed(game);
      return;
  }
}

void RoomKeyUp(Game& game, int keyCode) {
  if (keyCode == vk::kP || keyCode == vk::kPause) game.room.pauseKeyDown = false;
  if (keyCode == vk::kF12) game.room.screenshotKeyDown = false;
}

bool IsMachineKey(int keyCode) {
  switch (keyCode) {
    case vk::kMinus:
    case vk::kSubtract:
    case vk::kPlus:
    case vk::kAdd:
    case vk::kM:
    case vk::kF12:
      return true;
    default:
      return false;
  }
}

void GameKeyDown(Game& game, int keyCode, int mask) {
  RoomKeyDown(game, keyCode);
  OnKeyDown(game, keyCode, mask);
}

void GameKeyUp(Game& game, int keyCode, int mask) {
  RoomKeyUp(game, keyCode);
  OnKeyUp(game, keyCode, mask);
}

void RoomPadButtonDown(Game& game, int player, bool start) {
  if (start) {
    TogglePause(game, player);
  } else {
    EndFastSpeed(game);
  }
}

void RoomPadUnplugged(Game& game, int player) {
  if (!game.room.battleRunning || game.computerDriven[player] != 0) return;
  Pause(game, player);
  game.room.padLost = true;
  game.room.padBack = false;
}

void RoomPadPlugged(Game& game, int player) {
  RoomControls& room = game.room;
  if (room.paused && room.padLost && room.pausedBy == player) room.padBack = true;
}

void ApplyVolume(Game& game) {
  game.io.audio->SetMasterVolume(game.room.muted ? 0 : game.room.volumeStep);
}

}  // namespace bf
