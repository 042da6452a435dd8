#include "app/tick_loop.h"

#include "app/room_controls.h"
#include "audio/sound.h"
#include "input/joystick.h"
#include "input/keyboard.h"

namespace bf {
namespace {

// Turns the window's events into the game's reactions. Nothing here runs during a tick's work.
class GameInput final : public InputSink {
 public:
  explicit GameInput(Game& game) : game_(game) {}
  // The room's keys come first; every key then reaches the players' inputs as before.
  void OnKeyDown(int keyCode, int mask) override {
    RoomKeyDown(game_, keyCode);
    bf::OnKeyDown(game_, keyCode, mask);
  }
  void OnKeyUp(int keyCode, int mask) override {
    RoomKeyUp(game_, keyCode);
    bf::OnKeyUp(game_, keyCode, mask);
  }
  // A close from outside ends whichever loop runs; the program then shuts down in order, and
  // no loop may enter another screen.
  void OnClose() override {
    game_.runningFlag = 0;
    game_.closeRequested = true;
  }
  void OnMusicFinished() override { RestartMusic(game_); }
  // A pad that was missing at start-up reads right only once the thresholds come from its range.
  void OnJoystickAdded() override { InitJoystick(game_, kJoystickDeadZone); }
  void OnPadButtonDown(int player, bool start) override { RoomPadButtonDown(game_, player, start); }
  void OnPadUnplugged(int player) override { RoomPadUnplugged(game_, player); }
  void OnPadPlugged(int player) override { RoomPadPlugged(game_, player); }

 private:
  Game& game_;
};

}  // namespace

std::int64_t CurrentTick(Game& game) {
  return static_cast<std::int64_t>(game.io.clock->Milliseconds() / kTickMs);
}

void PumpEvents(Game& game) {
  GameInput input(game);
  game.io.events->Pump(input);
}

// The further ticks of a fast burst are due at once.
bool TickIsDue(Game& game) {
  return CurrentTick(game) >= game.tickStamp + 1 || game.room.quickTicksLeft > 0;
}

void WaitForNextTick(Game& game) {
  GameInput input(game);
  const auto due = static_cast<std::uint64_t>(game.tickStamp + 1) * kTickMs;
  game.io.events->WaitAndPump(input, due);
}

void BeginTickRecord(Game& game) {
  game.tickRecord.soundCount = 0;
  game.tickRecord.viewCount = 0;
  CountFastTick(game);
}

void FinishTick(Game& game) {
  game.tickStamp = CurrentTick(game);
  DrawNotice(game);
  PumpEvents(game);
}

}  // namespace bf
