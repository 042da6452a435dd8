#include "input/keyboard.h"

#include "core/ability_state.h"
#include "core/game.h"
#include "platform/events.h"

namespace bf {
namespace {

constexpr int kKeyA = 65, kKeyD = 68, kKeyF = 70, kKeyG = 71, kKeyS = 83, kKeyW = 87;

// Battle: every line is tested on every key-down, auto-repeat included.
void BattleKeyDown(Game& game, int key, int mask) {
  if (key == vk::kLeft) game.steerInput[0] = -1;
  if (key == vk::kRight) game.steerInput[0] = 1;
  if (key == vk::kUp) game.throttleInput[0] = -1;
  if (key == vk::kDown) game.throttleInput[0] = 1;
  // Player 0 fires with Ctrl alone and launches with Shift alone, whatever key came with it.
  if (game.fireState[0] == 0 && mask == kMaskCtrl) game.fireState[0] = 1;
  if (game.fireState[0] == 0 && mask == kMaskShift && AbilityReady(game, 0)) {
    game.fireState[0] = 2;
  }
  if (key == kKeyA) game.steerInput[1] = -1;
  if (key == kKeyD) game.steerInput[1] = 1;
  if (key == kKeyW) game.throttleInput[1] = -1;
  if (key == kKeyS) game.throttleInput[1] = 1;
  if (key == kKeyF && game.fireState[1] == 0) game.fireState[1] = 1;
  if (key == kKeyG && game.fireState[1] == 0 && AbilityReady(game, 1)) game.fireState[1] = 2;
}

// Selection screen: a choice moves once per press; up and down repeat with auto-repeat.
void SelectionKeyDown(Game& game, int key, int mask) {
  if (game.steerInput[0] == 0 && key == vk::kLeft) game.steerInput[0] = -1;
  if (game.steerInput[0] == 0 && key == vk::kRight) game.steerInput[0] = 1;
  if (key == vk::kUp) game.throttleInput[0] = -1;
  if (key == vk::kDown) game.throttleInput[0] = 1;
  if (game.fireState[0] == 0 && mask == kMaskCtrl) game.fireState[0] = 1;
  if (game.steerInput[1] == 0 && key == kKeyA) game.steerInput[1] = -1;
  if (game.steerInput[1] == 0 && key == kKeyD) game.steerInput[1] = 1;
  if (key == kKeyF && game.fireState[1] == 0) game.fireState[1] = 1;
}

// Battle: a release clears only a direction that still belongs to the released key, and a
// request the battle has not consumed yet survives it.
void BattleKeyUp(Game& game, int key, int mask) {
  if (game.steerInput[0] == -1 && key == vk::kLeft) game.steerInput[0] = 0;
  if (game.steerInput[0] == 1 && key == vk::kRight) game.steerInput[0] = 0;
  if (game.throttleInput[0] == 1 && key == vk::kDown) game.throttleInput[0] = 0;
  if (game.throttleInput[0] == -1 && key == vk::kUp) game.throttleInput[0] = 0;
  if (game.fireState[0] == -1 && mask == 0) game.fireState[0] = 0;
  if (game.steerInput[1] == -1 && key == kKeyA) game.steerInput[1] = 0;
  if (game.steerInput[1] == 1 && key == kKeyD) game.steerInput[1] = 0;
  if (game.throttleInput[1] == 1 && key == kKeyS) game.throttleInput[1] = 0;
  if (game.throttleInput[1] == -1 && key == kKeyW) game.throttleInput[1] = 0;
  if (game.fireState[1] == -1 && key == kKeyF) game.fireState[1] = 0;
  if (game.fireState[1] == -1 && key == kKeyG) game.fireState[1] = 0;
}

void SelectionKeyUp(Game& game, int key, int mask) {
  if (game.steerInput[0] == -2 && key == vk::kLeft) game.steerInput[0] = 0;
  if (game.steerInput[0] == 2 && key == vk::kRight) game.steerInput[0] = 0;
  if (key == vk::kDown) game.throttleInput[0] = 0;
  if (key == vk::kUp) game.throttleInput[0] = 0;
  if (mask == 0) game.fireState[0] = 0;
  if (game.steerInput[1] == -2 && key == kKeyA) game.steerInput[1] = 0;
  if (game.steerInput[1] == 2 && key == kKeyD) game.steerInput[1] = 0;
  if (key == kKeyF) game.fireState[1] = 0;
}

}  // namespace

void OnKeyDown(Game& game, int keyCode, int mask) {
  if (game.selectionActive == 0) {
    BattleKeyDown(game, keyCode, mask);
  } else {
    SelectionKeyDown(game, keyCode, mask);
  }
  if (keyCode == vk::kEnter) game.enterHeld = 1;
  if (keyCode == vk::kEscape) game.runningFlag = 0;
}

void OnKeyUp(Game& game, int keyCode, int mask) {
  if (game.selectionActive == 0) {
    BattleKeyUp(game, keyCode, mask);
  } else {
    SelectionKeyUp(game, keyCode, mask);
  }
  if (keyCode == vk::kEnter) game.enterHeld = 0;
}

}  // namespace bf
