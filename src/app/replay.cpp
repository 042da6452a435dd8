#include "app/replay.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <ctime>
#include <filesystem>

#include "app/app_local.h"
#include "app/replay_file.h"
#include "app/room_controls.h"
#include "app/screens.h"
#include "app/words.h"
#include "audio/sound.h"
#include "battle/battle.h"
#include "core/game.h"
#include "core/state_hash.h"
#include "input/joystick.h"
#include "input/keyboard.h"

namespace bf {
namespace {

// A window hands over at most this many events in the moments between a screen's set-up and its
// first tick; more are dropped, as a keyboard's buffer would.
constexpr std::size_t kMostHeldEvents = 256;

// What a joystick id answers that has no pad, as the machine's pads do.
constexpr int kNoPad = 167;
// Every pad reads 0 to 65535 on both axes; a stick counts as pushed beyond a quarter of that from
// either end, as the game's own reading does.
constexpr std::uint32_t kPadAxisMax = 65535, kPadCentre = 32768;
constexpr std::uint32_t kStickLow = 16384, kStickHigh = kPadAxisMax - 16384;
constexpr std::uint32_t kPadA = 1;

constexpr int kKeyF9 = 120;
constexpr int kKeySpace = 32, kKeyA = 'A', kKeyD = 'D', kKeyF = 'F';
constexpr int kFastest = 8;
// A paused playback looks at its controls this often.
constexpr std::uint64_t kPausedWaitMs = 50;
// F9's news stays a second.
constexpr int kNewsTicks = 50;

// The game sees of an axis only on which side of its limits it is: the reading is kept as one
// value of the same side, so a stick that trembles within a side costs no line of the file.
std::uint32_t SideValue(std::uint32_t value, std::int32_t low, std::int32_t high) {
  const auto v = static_cast<std::int64_t>(value);
  if (v < low) return 0;
  if (v > high) return kPadAxisMax;
  return static_cast<std::uint32_t>(std::clamp<std::int64_t>(kPadCentre, low, high));
}

// The seats number the pads as the runner's `unplug J` and `plug J` do: pads 0 and 1 are the
// sticks of players 3 and 4, pads 2 and 3 those of players 1 and 2. The numbering is its own
// inverse.
int SeatSwap(int n) {
  return n >= 2 ? n - 2 : n + 2;
}

// Pads 0 .. count - 1 seated.
std::array<bool, kReplayJoysticks> FirstSeated(int count) {
  std::array<bool, kReplayJoysticks> seated{};
  for (int id = 0; id < count && id < kReplayJoysticks; ++id) seated[id] = true;
  return seated;
}

bool SameReading(const JoyPosition& a, const JoyPosition& b) {
  return a.x == b.x && a.y == b.y && a.buttons == b.buttons;
}

void AppendEventLine(const ReplayEvent& e, std::string* text) {
  char line[96];
  const auto tick = static_cast<long long>(e.tick);
  int length = 0;
  switch (e.kind) {
    case ReplayEvent::Kind::kKeyDown:
    case ReplayEvent::Kind::kKeyUp: {
      const char* verb = e.kind == ReplayEvent::Kind::kKeyDown ? "down" : "up";
      length = e.mask != 0
                   ? std::snprintf(line, sizeof line, "%lld %s %d %d\n", tick, verb, e.code, e.mask)
                   : std::snprintf(line, sizeof line, "%lld %s %d\n", tick, verb, e.code);
      break;
    }
    case ReplayEvent::Kind::kJoystick:
      length = std::snprintf(line, sizeof line, "%lld joy %d %u %u %u\n", tick, e.code, e.x, e.y,
                             e.buttons);
      break;
    case ReplayEvent::Kind::kClose:
      length = std::snprintf(line, sizeof line, "%lld close\n", tick);
      break;
    case ReplayEvent::Kind::kPlug:
    case ReplayEvent::Kind::kUnplug: {
      const char* verb = e.kind == ReplayEvent::Kind::kPlug ? "plug" : "unplug";
      length = std::snprintf(line, sizeof line, "%lld %s %d\n", tick, verb, e.code);
      break;
    }
    case ReplayEvent::Kind::kPadStart:
      length = std::snprintf(line, sizeof line, "%lld start %d\n", tick, e.code);
      break;
    case ReplayEvent::Kind::kBattleEnd:
      // The winner is a note for people: the hash holds it already.
      length = std::snprintf(line, sizeof line, "%lld end %d %s  # winner %d\n", tick, e.battle,
                             HexHash(e.hash).c_str(), e.winner);
      break;
  }
  text->append(line, static_cast<std::size_t>(length));
}

}  // namespace

Replay::Replay(std::size_t capacity)
    : capacity_(capacity),
      battleStart_(std::make_unique<GameState>()),
      currentStart_(std::make_unique<GameState>()),
      selection_(std::make_unique<GameState>()) {
  events_.reserve(capacity);
  held_.reserve(kMostHeldEvents);
}

void Replay::SetFileFacts(std::string gameVersion, std::uint64_t assets, std::string saveDir) {
  gameVersion_ = std::move(gameVersion);
  assets_ = assets;
  saveDir_ = std::move(saveDir);
}

void Replay::PlayFile(std::vector<ReplayEvent> events, int joysticks) {
  fileEvents_ = std::move(events);
  playEvents_ = &fileEvents_;
  playNext_ = 0;
  playEnd_ = fileEvents_.size();
  playSeated_ = FirstSeated(joysticks);
  playReadings_ = {};
  playing_ = true;
  playingFile_ = true;
}

void Replay::Attach(Game& game, bool holdLateEvents) {
  game_ = &game;
  holdLateEvents_ = holdLateEvents;
  machinePads_ = game.io.joysticks;
  if (machinePads_ != nullptr) {
    // Every seat, so that a pad's Start, unplugging and plugging in play again by their seats; the
    // game itself reads only the first kReplayJoysticks.
    startJoysticks_ = machinePads_->SeatedPads();
    seated_ = FirstSeated(startJoysticks_);
    game.io.joysticks = &pads_;
  }
  game.replay = this;
}

void Replay::ExpectBattleEnds(std::vector<ReplayEvent> ends) {
  expectedEnds_ = std::move(ends);
}

void Replay::Add(const ReplayEvent& event) {
  if (events_.size() >= capacity_) {
    full_ = true;
    return;
  }
  events_.push_back(event);
}

void Replay::Deliver(Game& game, const ReplayEvent& event) {
  switch (event.kind) {
    case ReplayEvent::Kind::kKeyDown:
      if (playing_ && IsMachineKey(event.code)) {
        OnKeyDown(game, event.code, event.mask);
      } else {
        GameKeyDown(game, event.code, event.mask);
      }
      break;
    case ReplayEvent::Kind::kKeyUp:
      if (playing_ && IsMachineKey(event.code)) {
        OnKeyUp(game, event.code, event.mask);
      } else {
        GameKeyUp(game, event.code, event.mask);
      }
      break;
    case ReplayEvent::Kind::kPlug:
      // A pad plugged in for the first time is read from now on, in a replay too.
      if (event.code < kReplayJoysticks) (playing_ ? playSeated_ : seated_)[event.code] = true;
      // As the window's pump says of a pad it sees plugged in, then its seat.
      InitJoystick(game, kJoystickDeadZone);
      RoomPadPlugged(game, SeatSwap(event.code));
      break;
    case ReplayEvent::Kind::kUnplug:
      RoomPadUnplugged(game, SeatSwap(event.code));
      break;
    case ReplayEvent::Kind::kPadStart:
      RoomPadButtonDown(game, SeatSwap(event.code), true);
      break;
    case ReplayEvent::Kind::kClose:
    case ReplayEvent::Kind::kJoystick:
    case ReplayEvent::Kind::kBattleEnd:
      break;
  }
}

void Replay::Take(Game& game, const ReplayEvent& event) {
  if (holding_) {
    if (held_.size() < kMostHeldEvents) held_.push_back(event);
    return;
  }
  ReplayEvent taken = event;
  taken.tick = game.processedTicks;
  Add(taken);
  Deliver(game, taken);
}

void Replay::TakeKeyDown(Game& game, int keyCode, int mask) {
  // Keys that come between R and the replay's first tick steer it already: R then Space starts
  // it paused.
  if (playing_ || instantAsked_) {
    TakeControl(game, keyCode);
    return;
  }
  // R and F9 belong to the replays themselves: the game never sees them, nor does the file.
  if (keyCode == 'R') {
    AskInstantReplay(game);
    if (instantAsked_) return;
  }
  if (keyCode == kKeyF9) {
    SaveBattle(game);
    return;
  }
  ReplayEvent event;
  event.kind = ReplayEvent::Kind::kKeyDown;
  event.code = static_cast<std::uint8_t>(keyCode);
  event.mask = static_cast<std::uint8_t>(mask);
  Take(game, event);
}

void Replay::TakeKeyUp(Game& game, int keyCode, int mask) {
  if (playing_ || instantAsked_) {
    if (IsMachineKey(keyCode)) RoomKeyUp(game, keyCode);
    return;
  }
  ReplayEvent event;
  event.kind = ReplayEvent::Kind::kKeyUp;
  event.code = static_cast<std::uint8_t>(keyCode);
  event.mask = static_cast<std::uint8_t>(mask);
  Take(game, event);
}

// A close is never held: the window goes at once. The runner says it again at every pump once
// closed; the file says it once.
void Replay::TakeClose(Game& game) {
  if (!closed_ && !playing_) {
    ReplayEvent event;
    event.kind = ReplayEvent::Kind::kClose;
    event.tick = game.processedTicks;
    Add(event);
  }
  closed_ = true;
  game.runningFlag = 0;
  game.closeRequested = true;
}

// A pad plugged in is recorded by its seat (TakePadPlugged); one that finds no seat changes
// nothing the game reads.
void Replay::TakeJoystickAdded(Game& game) {
  if (!playing_) InitJoystick(game, kJoystickDeadZone);
}

void Replay::TakePadUnplugged(Game& game, int player) {
  TakePadEvent(game, ReplayEvent::Kind::kUnplug, player);
}

void Replay::TakePadPlugged(Game& game, int player) {
  TakePadEvent(game, ReplayEvent::Kind::kPlug, player);
}

void Replay::TakePadStart(Game& game, int player) {
  TakePadEvent(game, ReplayEvent::Kind::kPadStart, player);
}

// A file names a pad by its number in plug order, as the runner's script does.
void Replay::TakePadEvent(Game& game, ReplayEvent::Kind kind, int player) {
  if (playing_) return;
  ReplayEvent event;
  event.kind = kind;
  event.code = static_cast<std::uint8_t>(SeatSwap(player));
  Take(game, event);
}

void Replay::NoteTickProcessed(Game& game) {
  ++game.processedTicks;
  holding_ = false;
  for (const ReplayEvent& event : held_) Take(game, event);
  held_.clear();
  DrawNews(game);
}

void Replay::NoteBattleStart(Game& game) {
  if (playing_) return;
  inBattle_ = true;
  *currentStart_ = game;
  currentBattleStart_ = events_.size();
  currentReadingsAtStart_ = readings_;
  currentSeatedAtStart_ = seated_;
}

void Replay::NoteBattleEnd(Game& game) {
  ReplayEvent end;
  end.kind = ReplayEvent::Kind::kBattleEnd;
  end.tick = game.processedTicks;
  end.hash = StateHash(game);
  end.winner = game.winner;
  if (playing_ && !playingFile_) {
    // An instant replay left early has nothing to compare; one played out must end as before.
    const ReplayEvent& recorded = events_[lastBattleEnd_ - 1];
    if (left_ || game.closeRequested) return;
    end.battle = recorded.battle;
    instantEnds_.push_back(end);
    if (recorded.tick != end.tick || recorded.hash != end.hash) {
      game.io.messages->ShowMessage(
          "Burrowfield",
          "the instant replay of battle " + std::to_string(recorded.battle) +
              " went another way: it ended at tick " + std::to_string(end.tick) + " with state " +
              HexHash(end.hash),
          false);
    }
    return;
  }
  end.battle = ++battles_;
  if (!playing_) {
    inBattle_ = false;
    Add(end);
    if (!full_) {
      lastBattleStart_ = currentBattleStart_;
      lastBattleEnd_ = events_.size();
      std::swap(battleStart_, currentStart_);
      readingsAtStart_ = currentReadingsAtStart_;
      seatedAtStart_ = currentSeatedAtStart_;
    } else {
      lastBattleStart_ = lastBattleEnd_ = 0;
    }
  }
  if (!mismatch_.empty()) return;
  for (const ReplayEvent& expected : expectedEnds_) {
    if (expected.battle != end.battle) continue;
    if (expected.tick == end.tick && expected.hash == end.hash) return;
    // A run closed from outside before the battle's end (the runner's --ticks) saw only part.
    if (game.closeRequested && end.tick < expected.tick) return;
    mismatch_ = "the replay went another way: battle " + std::to_string(end.battle) +
                " ended at tick " + std::to_string(end.tick) + " with state " + HexHash(end.hash) +
                ", where the file has tick " + std::to_string(expected.tick) + " and state " +
                HexHash(expected.hash);
    game.io.messages->ShowMessage("Burrowfield", mismatch_, true);
    game.runningFlag = 0;
    game.closeRequested = true;
    return;
  }
}

int Replay::RecordingJoysticks::GetPosition(int id, JoyPosition& position) {
  if (replay_.playing_) {
    if (id < 0 || id >= kReplayJoysticks || !replay_.playSeated_[static_cast<std::size_t>(id)])
      return kNoPad;
    const Reading& reading = replay_.playReadings_[static_cast<std::size_t>(id)];
    position = reading.known ? reading.position : JoyPosition{kPadCentre, kPadCentre, 0};
    return 0;
  }
  const int answer = replay_.machinePads_->GetPosition(id, position);
  if (answer != 0 || id < 0 || id >= kReplayJoysticks || replay_.game_ == nullptr) return answer;
  const Game& game = *replay_.game_;
  const JoyPosition kept{SideValue(position.x, game.joyLeftLimit, game.joyRightLimit),
                         SideValue(position.y, game.joyUpLimit, game.joyDownLimit),
                         position.buttons};
  Reading& last = replay_.readings_[static_cast<std::size_t>(id)];
  if (last.known && SameReading(last.position, kept)) return answer;
  last = Reading{true, kept};
  ReplayEvent event;
  event.kind = ReplayEvent::Kind::kJoystick;
  event.tick = replay_.game_->processedTicks;
  event.code = static_cast<std::uint8_t>(id);
  event.x = kept.x;
  event.y = kept.y;
  event.buttons = kept.buttons;
  replay_.Add(event);
  return answer;
}

int Replay::RecordingJoysticks::GetCaps(int id, JoyCaps& caps) {
  if (!replay_.playing_) return replay_.machinePads_->GetCaps(id, caps);
  if (id < 0 || id >= kReplayJoysticks || !replay_.playSeated_[static_cast<std::size_t>(id)])
    return kNoPad;
  caps = JoyCaps{0, kPadAxisMax, 0, kPadAxisMax};
  return 0;
}

int Replay::RecordingJoysticks::NumDevices() {
  return replay_.playing_ ? kReplayJoysticks : replay_.machinePads_->NumDevices();
}

// --- playback ------------------------------------------------------------------------------

void Replay::AfterPump(Game& game) {
  if (!playing_) return;
  ReadControlPads(game);
  const std::vector<ReplayEvent>& events = *playEvents_;
  while (playing_ && playNext_ < playEnd_ && events[playNext_].tick <= game.processedTicks) {
    const ReplayEvent& event = events[playNext_++];
    if (event.kind == ReplayEvent::Kind::kJoystick && event.code < kReplayJoysticks) {
      playReadings_[event.code] = Reading{true, {event.x, event.y, event.buttons}};
    } else if (event.kind == ReplayEvent::Kind::kClose) {
      Leave(game);
    } else {
      Deliver(game, event);
    }
  }
  // A file played out ends the program, whether or not it said so.
  if (playingFile_ && playNext_ >= playEnd_) Leave(game);
  // A playback paused before its first tick still says so.
  if (playing_) DrawNews(game);
}

void Replay::StartPlayback(std::uint64_t realNowMs) {
  playBaseMs_ = realNowMs;
  realBaseMs_ = realNowMs;
  clockStarted_ = true;
  padLeft_ = padRight_ = padA_ = {};
}

std::uint64_t Replay::PlaybackMs(std::uint64_t realMs) {
  if (!clockStarted_) StartPlayback(realMs);
  if (paused_ || realMs < realBaseMs_) return playBaseMs_;
  return playBaseMs_ + (realMs - realBaseMs_) * static_cast<std::uint64_t>(speed_);
}

std::uint64_t Replay::RealDeadline(std::uint64_t dueMs, std::uint64_t realNowMs) const {
  if (paused_) return realNowMs + kPausedWaitMs;
  const std::uint64_t playNow =
      realNowMs < realBaseMs_
          ? playBaseMs_
          : playBaseMs_ + (realNowMs - realBaseMs_) * static_cast<std::uint64_t>(speed_);
  if (dueMs <= playNow) return realNowMs;
  const auto speed = static_cast<std::uint64_t>(speed_);
  return realNowMs + (dueMs - playNow + speed - 1) / speed;
}

// The room's own keys keep their meaning: P and Pause pause the playback as Space does, the
// volume, mute and F12 act on the machine now.
void Replay::TakeControl(Game& game, int keyCode) {
  if (IsMachineKey(keyCode)) {
    RoomKeyDown(game, keyCode);
    return;
  }
  if (keyCode == kKeySpace || keyCode == vk::kControl || keyCode == kKeyF || keyCode == vk::kP ||
      keyCode == vk::kPause) {
    TogglePause(game);
  }
  if (keyCode == vk::kRight || keyCode == kKeyD) StepSpeed(game, 1);
  if (keyCode == vk::kLeft || keyCode == kKeyA) StepSpeed(game, -1);
  if (keyCode == vk::kEscape) Leave(game);
}

// Before the playback's clock runs, the controls only set how it will start.
void Replay::StepSpeed(Game& game, int direction) {
  if (clockStarted_) {
    const std::uint64_t now = game.io.clock->Milliseconds();
    playBaseMs_ = PlaybackMs(now);
    realBaseMs_ = now;
  }
  speed_ = direction > 0 ? std::min(speed_ * 2, kFastest) : std::max(speed_ / 2, 1);
  DrawNews(game);
}

void Replay::TogglePause(Game& game) {
  if (clockStarted_) {
    const std::uint64_t now = game.io.clock->Milliseconds();
    playBaseMs_ = PlaybackMs(now);
    realBaseMs_ = now;
  }
  paused_ = !paused_;
  DrawNews(game);
}

// Leaving a file ends the program; leaving an instant replay ends the battle it shows.
void Replay::Leave(Game& game) {
  if (!playing_) {
    instantAsked_ = false;
    return;
  }
  left_ = true;
  game.runningFlag = 0;
  if (playingFile_) game.closeRequested = true;
  playNext_ = playEnd_;
}

// Pads 0 and 1 reach the game only as joysticks: their stick and A steer the playback here.
void Replay::ReadControlPads(Game& game) {
  if (machinePads_ == nullptr) return;
  for (int id = 0; id < kReplayJoysticks; ++id) {
    JoyPosition position;
    if (machinePads_->GetPosition(id, position) != 0) continue;
    const bool left = position.x<kStickLow, right = position.x> kStickHigh;
    const bool a = (position.buttons & kPadA) != 0;
    if (left && !padLeft_[id]) StepSpeed(game, -1);
    if (right && !padRight_[id]) StepSpeed(game, 1);
    if (a && !padA_[id]) TogglePause(game);
    padLeft_[id] = left;
    padRight_[id] = right;
    padA_[id] = a;
  }
}

bool Replay::TakeInstantReplayRequest() {
  const bool asked = instantAsked_;
  instantAsked_ = false;
  return asked && HasLastBattle() && !playing_;
}

void Replay::Restore(Game& game, const GameState& moment) {
  const bool closeRequested = game.closeRequested, assetFailure = game.assetFailure;
  const bool musicHooked = game.musicHooked, musicOpen = game.musicOpen;
  const auto soundEffects = game.soundEffects;
  // The room's sound and the words on the screen are the machine's as they are now, not the
  // moment's; the pause and the speed are the moment's.
  const RoomControls room = game.room;
  static_cast<GameState&>(game) = moment;
  game.room.volumeStep = room.volumeStep;
  game.room.muted = room.muted;
  game.room.screenshotKeyDown = room.screenshotKeyDown;
  game.room.note = room.note;
  game.room.noteUntilMs = room.noteUntilMs;
  game.room.noticeDrawn = room.noticeDrawn;
  game.closeRequested = closeRequested;
  game.assetFailure = assetFailure;
  game.musicHooked = musicHooked;
  game.musicOpen = musicOpen;
  game.soundEffects = soundEffects;
  if (closeRequested) game.runningFlag = 0;
}

// The battle runs again from the moment it was set up, on its own events; then the selection
// screen comes back exactly as it was, generator and all.
void Replay::PlayLastBattle(Game& game) {
  *selection_ = game;
  Restore(game, *battleStart_);
  playEvents_ = &events_;
  playNext_ = lastBattleStart_;
  playEnd_ = lastBattleEnd_;
  playSeated_ = seatedAtStart_;
  playReadings_ = readingsAtStart_;
  playing_ = true;
  left_ = false;
  StartPlayback(game.io.clock->Milliseconds());
  // As on the way from the selection screen to any battle: nothing of the selection screen
  // stays around the battle's views.
  ShowLoadingText(game);
  RunBattle(game);
  playing_ = false;
  clockStarted_ = false;
  Restore(game, *selection_);
  if (game.closeRequested) return;
  PlayMusic(game, "sound/bgm0.wav");
  DrawSelectionScreen(game);
  game.tickStamp = static_cast<std::int64_t>(game.io.clock->Milliseconds() / kTickMs);
  DrawNews(game);
}

// --- saving and news -------------------------------------------------------------------------

void Replay::SaveBattle(Game& game) {
  if (saveDir_.empty() || (!inBattle_ && !HasLastBattle())) return;
  ReplayHeader header;
  header.gameVersion = gameVersion_;
  header.assets = assets_;
  const std::time_t now = std::time(nullptr);
  header.date = TimeText(now, kLocalHeaderDate, false);
  std::string text;
  if (inBattle_) {
    // The battle so far: it ends here, in the state it has now.
    header.battle = battles_ + 1;
    ReplayEvent end;
    end.kind = ReplayEvent::Kind::kBattleEnd;
    end.tick = game.processedTicks;
    end.battle = header.battle;
    end.hash = StateHash(game);
    end.winner = game.winner;
    text = ReplayText(*this, FormatReplayHeader(header), events_.size(), game.processedTicks, &end);
  } else {
    const ReplayEvent& end = events_[lastBattleEnd_ - 1];
    header.battle = end.battle;
    text = ReplayText(*this, FormatReplayHeader(header), lastBattleEnd_ - 1, end.tick, &end);
  }
  std::string name = TimeText(now, "%Y-%m-%d_%H-%M-%S_", false);
  for (const char c : StageName(game.stageIndex))
    name += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  name += ".bfreplay";
  std::error_code error;
  std::filesystem::create_directories(saveDir_, error);
  const std::string path = saveDir_ + "/" + name;
  std::FILE* file = std::fopen(path.c_str(), "wx");
  bool saved = file != nullptr && std::fwrite(text.data(), 1, text.size(), file) == text.size();
  if (file != nullptr && std::fclose(file) != 0) saved = false;
  // In a battle the notice stays short; the selection screen names the file.
  const std::string news = !saved                      ? "Cannot save the replay"
                           : game.selectionActive == 1 ? std::string("Replay saved: ") + name
                                                       : "Replay saved";
  ShowNews(game, news, kNewsTicks);
}

void Replay::ShowNews(Game& game, std::string text, int ticks) {
  news_ = std::move(text);
  newsUntil_ = game.processedTicks + ticks;
  DrawNews(game);
}

// The notice draws its line again only when it changes; the selection screen, whose line has
// a place of its own, is drawn again when its line changes.
void Replay::DrawNews(Game& game) {
  const bool newsShown = !news_.empty() && game.processedTicks < newsUntil_;
  const bool selection = game.selectionActive == 1 && !playing_;
  const char* news = newsShown ? news_.c_str() : "";
  if (playing_) {
    if (paused_) {
      std::snprintf(noticeLine_.data(), noticeLine_.size(), "REPLAY  PAUSED");
    } else {
      std::snprintf(noticeLine_.data(), noticeLine_.size(), "REPLAY  x%d", speed_);
    }
  } else {
    std::snprintf(noticeLine_.data(), noticeLine_.size(), "%s", selection ? "" : news);
  }
  std::array<char, 64> selectionLine{};
  if (selection) {
    std::snprintf(selectionLine.data(), selectionLine.size(), "%s",
                  newsShown         ? news
                  : HasLastBattle() ? "R / pad Y: watch the last battle again"
                                    : "");
  }
  if (selectionLine != selectionLine_) {
    selectionLine_ = selectionLine;
    if (selection) DrawSelectionScreen(game);
  }
  DrawNotice(game);
}

std::string ReplayText(const Replay& replay, const std::string& header, std::size_t count,
                       std::int64_t closeTick, const ReplayEvent* end) {
  std::string text = header;
  text += "joysticks " + std::to_string(replay.startJoysticks()) + "\n";
  const std::vector<ReplayEvent>& events = replay.events();
  for (std::size_t i = 0; i < events.size() && i < count; ++i) AppendEventLine(events[i], &text);
  if (closeTick >= 0) AppendEventLine(ReplayEvent{closeTick, ReplayEvent::Kind::kClose}, &text);
  if (end != nullptr) AppendEventLine(*end, &text);
  // Notes for people and tests: how each instant replay watched in the window ended.
  for (const ReplayEvent& instant : replay.instantEnds()) {
    char note[128];
    std::snprintf(note, sizeof note, "# instant replay of battle %d ended at tick %lld state %s\n",
                  instant.battle, static_cast<long long>(instant.tick),
                  HexHash(instant.hash).c_str());
    text += note;
  }
  if (replay.full()) text += "# the record was full here: what came after is not in this file\n";
  text += kReplayLastLine;
  return text;
}

std::string RecordText(const Replay& replay, std::uint64_t assets, const std::string& date) {
  ReplayHeader header;
  header.gameVersion = GameVersion();
  header.assets = assets;
  header.date = date;
  return ReplayText(replay, FormatReplayHeader(header));
}

}  // namespace bf
