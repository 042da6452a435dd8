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
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/game.h"
#include "platform/joystick.h"

namespace bf {

struct ReplayEvent {
  // A new kind of input adds a kind here, its line in AppendEventLine (replay.cpp), its case in
  // Replay::Deliver, and its script event in TakeFileEvents (main.cpp) for --replay.
  enum class Kind : std::uint8_t {
    kKeyDown,
    kKeyUp,
    kJoystick,
    kClose,
    kPlug,
    kUnplug,
    kPadStart,
    kBattleEnd
  };
  std::int64_t tick = 0;
  Kind kind = Kind::kKeyDown;
  std::uint8_t code = 0;  // the key, the joystick id, or the pad unplugged or plugged back
  std::uint8_t mask = 0;
  std::uint32_t x = 0, y = 0, buttons = 0;  // a joystick reading
  // A battle's end: its number (from 1), the state's hash and the winner then.
  std::uint64_t hash = 0;
  int battle = 0;
  int winner = -1;
};

// The joystick ids the game reads itself.
constexpr int kReplayJoysticks = 2;

class Replay {
 public:
  // Room for this many events is taken once, at the start (a day of four busy players); a longer
  // evening stops recording, it never allocates during a battle.
  static constexpr std::size_t kDefaultCapacity = std::size_t{1} << 19;
  explicit Replay(std::size_t capacity = kDefaultCapacity);

  // Starts recording: the game's joystick readings pass through this object from now on. The
  // window holds late events (see above); the runner needs not.
  void Attach(Game& game, bool holdLateEvents);

  // The battle ends the file promises, checked as the battles end.
  void ExpectBattleEnds(std::vector<ReplayEvent> ends);
  // What the files this game saves say about it, and where F9 puts them (empty: F9 saves
  // nothing).
  void SetFileFacts(std::string gameVersion, std::uint64_t assets, std::string saveDir);
  // Plays a file's events from the program's start instead of the machine's (--replay): the
  // machine's keys and pads only steer the playback, and the program ends with the file.
  void PlayFile(std::vector<ReplayEvent> events, int joysticks);

  const std::vector<ReplayEvent>& events() const { return events_; }
  int startJoysticks() const { return startJoysticks_; }
  int battles() const { return battles_; }
  bool full() const { return full_; }
  // Set when a battle ended otherwise than the file says: which battle, at which tick.
  const std::string& mismatch() const { return mismatch_; }
  // How each instant replay that was played out ended: the battle, its tick and state.
  const std::vector<ReplayEvent>& instantEnds() const { return instantEnds_; }
  // Pad Y: the selection screen's instant replay, as R.
  void AskInstantReplay(Game& game) {
    if (playing_ || instantAsked_ || game.selectionActive != 1 || !HasLastBattle()) return;
    instantAsked_ = true;
    speed_ = 1;
    paused_ = false;
  }

  // The tick loop's side.
  void TakeKeyDown(Game& game, int keyCode, int mask);
  void TakeKeyUp(Game& game, int keyCode, int mask);
  void TakeClose(Game& game);
  void TakeJoystickAdded(Game& game);
  // A seated pad unplugged or plugged back in: the player it seats.
  void TakePadUnplugged(Game& game, int player);
  void TakePadPlugged(Game& game, int player);
  // Start on a seated pad during a battle: the pause it makes or ends.
  void TakePadStart(Game& game, int player);
  // A screen is being set up: events from now to the next tick are held.
  void HoldUntilNextTick() { holding_ = holdLateEvents_; }
  // A tick's work is done: the held events reach the game now.
  void NoteTickProcessed(Game& game);
  // The battle's last tick has run: records its end and checks it against the file.
  void NoteBattleEnd(Game& game);
  // A battle is being set up: the moment an instant replay goes back to.
  void NoteBattleStart(Game& game);
  // After every pump: playback's due events and its controls.
  void AfterPump(Game& game);

  // Playback: its own clock, which runs faster or stands still.
  bool playing() const { return playing_; }
  bool paused() const { return paused_; }
  std::uint64_t PlaybackMs(std::uint64_t realMs);
  std::uint64_t RealDeadline(std::uint64_t dueMs, std::uint64_t realNowMs) const;

  // Instant replay, asked for on the selection screen and played at its next tick.
  bool HasLastBattle() const { return lastBattleEnd_ > lastBattleStart_; }
  bool TakeInstantReplayRequest();
  void PlayLastBattle(Game& game);
  // F9: the current battle, or else the last one, as a file in the save folder.
  void SaveBattle(Game& game);
  // Shows playback or saving news after each tick while it lasts: in a battle in the room's
  // notice, on the selection screen in its own line.
  void DrawNews(Game& game);
  // The words for the notice ("REPLAY  x2", F9's news in a battle) and the selection screen's
  // line (F9's news there, or that the last battle can be watched again); empty for none.
  std::string_view NoticeLine() const { return noticeLine_.data(); }
  std::string_view SelectionLine() const { return selectionLine_.data(); }

 private:
  class RecordingJoysticks final : public Joysticks {
   public:
    explicit RecordingJoysticks(Replay& replay) : replay_(replay) {}
    int NumDevices() override;
    int GetPosition(int id, JoyPosition& position) override;
    int GetCaps(int id, JoyCaps& caps) override;

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
  void TakePadEvent(Game& game, ReplayEvent::Kind kind, int player);
  void TakeControl(Game& game, int keyCode);
  void StepSpeed(Game& game, int direction);
  void TogglePause(Game& game);
  void Leave(Game& game);
  void ReadControlPads(Game& game);
  void StartPlayback(std::uint64_t realNowMs);
  void ShowNews(Game& game, std::string text, int ticks);
  // Restores a saved moment, keeping what belongs to the machine or to the run as a whole.
  static void Restore(Game& game, const GameState& moment);

  std::vector<ReplayEvent> events_;
  std::vector<ReplayEvent> held_;
  std::vector<ReplayEvent> expectedEnds_;
  std::size_t capacity_;
  Game* game_ = nullptr;
  Joysticks* machinePads_ = nullptr;
  RecordingJoysticks pads_{*this};
  std::array<Reading, kReplayJoysticks> readings_{};
  int startJoysticks_ = 0;
  // The joysticks the game can read: those seated at the start and those plugged in since, as
  // the runner seats them. A replay reads those it read then.
  using Seats = std::array<bool, kReplayJoysticks>;
  Seats seated_{};

  // The last battle: where its events lie in the log, and the game as it was set up.
  std::size_t lastBattleStart_ = 0, lastBattleEnd_ = 0;
  std::size_t currentBattleStart_ = 0;
  std::array<Reading, kReplayJoysticks> readingsAtStart_{}, currentReadingsAtStart_{};
  Seats seatedAtStart_{}, currentSeatedAtStart_{};
  std::unique_ptr<GameState> battleStart_, currentStart_, selection_;
  bool inBattle_ = false;
  bool left_ = false;
  std::vector<ReplayEvent> instantEnds_;
  bool instantAsked_ = false;

  // Playback.
  const std::vector<ReplayEvent>* playEvents_ = nullptr;
  std::vector<ReplayEvent> fileEvents_;
  std::size_t playNext_ = 0, playEnd_ = 0;
  std::array<Reading, kReplayJoysticks> playReadings_{};
  Seats playSeated_{};
  bool playing_ = false, playingFile_ = false, paused_ = false;
  int speed_ = 1;
  std::uint64_t playBaseMs_ = 0, realBaseMs_ = 0;
  bool clockStarted_ = false;
  std::array<bool, kReplayJoysticks> padLeft_{}, padRight_{}, padA_{};

  // Saving, and the news line.
  std::string gameVersion_, saveDir_;
  std::uint64_t assets_ = 0;
  // Kept in fixed buffers: the notice asks for its line at every tick of a battle.
  std::array<char, 64> noticeLine_{}, selectionLine_{};
  std::string news_;
  std::int64_t newsUntil_ = 0;
  int battles_ = 0;
  bool holdLateEvents_ = false;
  bool holding_ = false;
  bool closed_ = false;
  bool full_ = false;
  std::string mismatch_;
};

// The file's text: the header, `joysticks N`, then one runner script line per event, the first
// `count` of them; `closeTick` (unless -1) ends it there with a close and `end` with that
// battle's end, for a battle saved alone; then the notes and the last line.
std::string ReplayText(const Replay& replay, const std::string& header,
                       std::size_t count = SIZE_MAX, std::int64_t closeTick = -1,
                       const ReplayEvent* end = nullptr);
// The file of everything a run played, from its start to its close, headed by this game's
// version, the assets' hash and the date given.
std::string RecordText(const Replay& replay, std::uint64_t assets, const std::string& date);

}  // namespace bf
