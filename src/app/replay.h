#pragma once
// What the game processed, tick by tick, kept so that any battle can be played again exactly:
// the keys with their modifiers as the game took them, the joystick readings when they change,
// a close, a pad plugged in, and at each battle's end a hash of the game's state. Ticks are
// processed ticks, never wall time: a window that loses ticks on a slow machine records the ticks
// it did play.
//
// Events reach the game only between ticks. The runner hands a tick's events over at the first
// pump after that tick; the window, whose events arrive whenever they like, holds those that
// come after the game has set up a screen at the same tick, and hands them over after the next
// tick, so what it records is what the runner would do with it.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/joystick.h"

namespace bf {

struct Game;

struct ReplayEvent {
  // A new kind of input adds a kind here, its line in ReplayText and its case in DeliverEvent.
  enum class Kind : std::uint8_t { kKeyDown, kKeyUp, kJoystick, kClose, kPlug, kBattleEnd };
  std::int64_t tick = 0;
  Kind kind = Kind::kKeyDown;
  std::uint8_t code = 0;  // the key, or the joystick id, or the battle's number (from 1)
  std::uint8_t mask = 0;
  std::uint32_t x = 0, y = 0, buttons = 0;  // a joystick reading
  std::uint64_t hash = 0;                   // a battle's end
  int battle = 0;
};

// The joystick ids the game reads itself.
constexpr int kReplayJoysticks = 2;

class Replay {
 public:
  // Room for this many events is taken once, at the start; a longer evening stops recording
  // and says so, it never allocates during a battle.
  static constexpr std::size_t kDefaultCapacity = std::size_t{1} << 20;
  explicit Replay(std::size_t capacity = kDefaultCapacity);

  // Starts recording: the game's joystick readings pass through this object from now on. The
  // window holds late events (see above); the runner needs not.
  void Attach(Game& game, bool holdLateEvents);

  // The battle ends the file promises, checked as the battles end.
  void ExpectBattleEnds(std::vector<ReplayEvent> ends);

  const std::vector<ReplayEvent>& events() const { return events_; }
  int startJoysticks() const { return startJoysticks_; }
  int battles() const { return battles_; }
  bool full() const { return full_; }
  // Set when a battle ended otherwise than the file says: which battle, at which tick.
  const std::string& mismatch() const { return mismatch_; }

  // The tick loop's side.
  void TakeKeyDown(Game& game, int keyCode, int mask);
  void TakeKeyUp(Game& game, int keyCode, int mask);
  void TakeClose(Game& game);
  void TakeJoystickAdded(Game& game);
  // A screen is being set up: events from now to the next tick are held.
  void HoldUntilNextTick() { holding_ = holdLateEvents_; }
  // A tick's work is done: the held events reach the game now.
  void NoteTickProcessed(Game& game);
  // The battle's last tick has run: records its end and checks it against the file.
  void NoteBattleEnd(Game& game);

 private:
  class RecordingJoysticks final : public Joysticks {
   public:
    explicit RecordingJoysticks(Replay& replay) : replay_(replay) {}
    int NumDevices() override { return replay_.machinePads_->NumDevices(); }
    int GetPosition(int id, JoyPosition& position) override;
    int GetCaps(int id, JoyCaps& caps) override { return replay_.machinePads_->GetCaps(id, caps); }

   private:
    Replay& replay_;
  };
  struct Reading {
    bool known = false;
    JoyPosition position;
  };

  void Add(const ReplayEvent& event);
  void Deliver(Game& game, const ReplayEvent& event);
  void Take(Game& game, const ReplayEvent& event);

  std::vector<ReplayEvent> events_;
  std::vector<ReplayEvent> held_;
  std::vector<ReplayEvent> expectedEnds_;
  std::size_t capacity_;
  Game* game_ = nullptr;
  Joysticks* machinePads_ = nullptr;
  RecordingJoysticks pads_{*this};
  std::array<Reading, kReplayJoysticks> readings_{};
  int startJoysticks_ = 0;
  int battles_ = 0;
  bool holdLateEvents_ = false;
  bool holding_ = false;
  bool closed_ = false;
  bool full_ = false;
  std::string mismatch_;
};

// The file's text: the header, `joysticks N`, then one runner script line per event. `uptoTick`
// ends it there with a close (a battle saved alone); -1 keeps everything.
std::string ReplayText(const Replay& replay, const std::string& header, std::int64_t uptoTick);

}  // namespace bf
