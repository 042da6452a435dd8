#include "app/tick_loop.h"

#include "app/replay.h"
#include "app/room_controls.h"
#include "audio/sound.h"
#include "input/joystick.h"
#include "input/keyboard.h"

namespace bf {
namespace {

bool Playing(const Game& game) {
  return game.replay != nullptr && game.replay->playing();
}

// Turns the window's events into the game's reactions. Nothing here runs during a tick's work.
class GameInput final : public InputSink {
 public:
  explicit GameInput(Game& game) : game_(game) {}
  void OnKeyDown(int keyCode, int mask) override {
    if (game_.replay != nullptr) {
      game_.replay->TakeKeyDown(game_, keyCode, mask);
    } else {
      GameKeyDown(game_, keyCode, mask);
    }
  }
  void OnKeyUp(int keyCode, int mask) override {
    if (game_.replay != nullptr) {
      game_.replay->TakeKeyUp(game_, keyCode, mask);
    } else {
      GameKeyUp(game_, keyCode, mask);
    }
  }
  // A close from outside ends whichever loop runs; the program then shuts down in order, and
  // no loop may enter another screen.
  void OnClose() override {
    if (game_.replay != nullptr) {
      game_.replay->TakeClose(game_);
      return;
    }
    game_.runningFlag = 0;
    game_.closeRequested = true;
  }
  void OnMusicFinished() override { RestartMusic(game_); }
  void OnReplayButton() override {
    if (game_.replay != nullptr) game_.replay->AskInstantReplay(game_);
  }
  // A pad that was missing at start-up reads right only once the thresholds come from its range.
  void OnJoystickAdded() override {
    if (game_.replay != nullptr) {
      game_.replay->TakeJoystickAdded(game_);
    } else {
      InitJoystick(game_, kJoystickDeadZone);
    }
  }
  // While a replay plays, the machine's pads only steer it. A Start that pauses or goes on is
  // part of the battle; the other buttons only end the four-times speed, which changes no tick.
  void OnPadButtonDown(int player, bool start) override {
    if (Playing(game_)) return;
    if (game_.replay != nullptr && start && game_.room.battleRunning) {
      game_.replay->TakePadStart(game_, player);
    } else {
      RoomPadButtonDown(game_, player, start);
    }
  }
  // A pad that drops out or comes back is part of the evening: a replay plays it again.
  void OnPadUnplugged(int player) override {
    if (game_.replay != nullptr) {
      game_.replay->TakePadUnplugged(game_, player);
    } else {
      RoomPadUnplugged(game_, player);
    }
  }
  void OnPadPlugged(int player) override {
    if (game_.replay != nullptr) {
      game_.replay->TakePadPlugged(game_, player);
    } else {
      RoomPadPlugged(game_, player);
    }
  }

 private:
  Game& game_;
};

void AfterPump(Game& game) {
  if (game.replay != nullptr) game.replay->AfterPump(game);
}

}  // namespace

// A replay being watched keeps its own time, faster or standing still.
std::int64_t CurrentTick(Game& game) {
  std::uint64_t ms = game.io.clock->Milliseconds();
  if (Playing(game)) ms = game.replay->PlaybackMs(ms);
  return static_cast<std::int64_t>(ms / kTickMs);
}

void PumpEvents(Game& game) {
  GameInput input(game);
  game.io.events->Pump(input);
  AfterPump(game);
}

// The further ticks of a fast burst are due at once, on the playback's clock too, which only
// multiplies them; a paused playback holds a burst where it is.
bool TickIsDue(Game& game) {
  if (CurrentTick(game) >= game.tickStamp + 1) return true;
  return game.room.quickTicksLeft > 0 && !(Playing(game) && game.replay->paused());
}

void WaitForNextTick(Game& game) {
  GameInput input(game);
  auto due = static_cast<std::uint64_t>(game.tickStamp + 1) * kTickMs;
  if (Playing(game)) due = game.replay->RealDeadline(due, game.io.clock->Milliseconds());
  game.io.events->WaitAndPump(input, due);
  AfterPump(game);
}

void BeginTickRecord(Game& game) {
  game.tickRecord.soundCount = 0;
  game.tickRecord.viewCount = 0;
  CountFastTick(game);
}

void NoteTickProcessed(Game& game) {
  if (game.replay != nullptr) {
    game.replay->NoteTickProcessed(game);
  } else {
    ++game.processedTicks;
  }
}

void HoldEventsUntilNextTick(Game& game) {
  if (game.replay != nullptr) game.replay->HoldUntilNextTick();
}

void FinishTick(Game& game) {
  game.tickStamp = CurrentTick(game);
  DrawNotice(game);
  PumpEvents(game);
}

}  // namespace bf
