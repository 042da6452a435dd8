#include "app/replay.h"

#include <cstdio>

#include "app/replay_file.h"
#include "core/game.h"
#include "core/state_hash.h"
#include "input/joystick.h"
#include "input/keyboard.h"

namespace bf {
namespace {

// A window hands over at most this many events in the moments between a screen's set-up and its
// first tick; more are dropped, as a keyboard's buffer would.
constexpr std::size_t kMostHeldEvents = 256;

// The joystick reading a script line can give: a pad the runner seats.
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
      length = std::snprintf(line, sizeof line, "%lld plug\n", tick);
      break;
    case ReplayEvent::Kind::kBattleEnd:
      length = std::snprintf(line, sizeof line, "%lld end %d %s\n", tick, e.battle,
                             HexHash(e.hash).c_str());
      break;
  }
  text->append(line, static_cast<std::size_t>(length));
}

}  // namespace

Replay::Replay(std::size_t capacity) : capacity_(capacity) {
  events_.reserve(capacity);
  held_.reserve(kMostHeldEvents);
}

void Replay::Attach(Game& game, bool holdLateEvents) {
  game_ = &game;
  holdLateEvents_ = holdLateEvents;
  machinePads_ = game.io.joysticks;
  if (machinePads_ != nullptr) {
    JoyPosition ignored;
    while (startJoysticks_ < kReplayJoysticks &&
           machinePads_->GetPosition(startJoysticks_, ignored) == 0) {
      ++startJoysticks_;
    }
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
      OnKeyDown(game, event.code, event.mask);
      break;
    case ReplayEvent::Kind::kKeyUp:
      OnKeyUp(game, event.code, event.mask);
      break;
    case ReplayEvent::Kind::kPlug:
      InitJoystick(game, kJoystickDeadZone);
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
  ReplayEvent event;
  event.kind = ReplayEvent::Kind::kKeyDown;
  event.code = static_cast<std::uint8_t>(keyCode);
  event.mask = static_cast<std::uint8_t>(mask);
  Take(game, event);
}

void Replay::TakeKeyUp(Game& game, int keyCode, int mask) {
  ReplayEvent event;
  event.kind = ReplayEvent::Kind::kKeyUp;
  event.code = static_cast<std::uint8_t>(keyCode);
  event.mask = static_cast<std::uint8_t>(mask);
  Take(game, event);
}

// A close is never held: the window goes at once. The runner says it again at every pump once
// closed; the file says it once.
void Replay::TakeClose(Game& game) {
  if (!closed_) {
    ReplayEvent event;
    event.kind = ReplayEvent::Kind::kClose;
    event.tick = game.processedTicks;
    Add(event);
  }
  closed_ = true;
  game.runningFlag = 0;
  game.closeRequested = true;
}

void Replay::TakeJoystickAdded(Game& game) {
  ReplayEvent event;
  event.kind = ReplayEvent::Kind::kPlug;
  Take(game, event);
}

void Replay::NoteTickProcessed(Game& game) {
  ++game.processedTicks;
  holding_ = false;
  for (const ReplayEvent& event : held_) Take(game, event);
  held_.clear();
}

void Replay::NoteBattleEnd(Game& game) {
  ReplayEvent end;
  end.kind = ReplayEvent::Kind::kBattleEnd;
  end.tick = game.processedTicks;
  end.battle = ++battles_;
  end.hash = StateHash(game);
  Add(end);
  if (!mismatch_.empty()) return;
  for (const ReplayEvent& expected : expectedEnds_) {
    if (expected.battle != end.battle) continue;
    if (expected.tick == end.tick && expected.hash == end.hash) return;
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
  const int answer = replay_.machinePads_->GetPosition(id, position);
  if (answer != 0 || id < 0 || id >= kReplayJoysticks || replay_.game_ == nullptr) return answer;
  Reading& last = replay_.readings_[static_cast<std::size_t>(id)];
  if (last.known && SameReading(last.position, position)) return answer;
  last = Reading{true, position};
  ReplayEvent event;
  event.kind = ReplayEvent::Kind::kJoystick;
  event.tick = replay_.game_->processedTicks;
  event.code = static_cast<std::uint8_t>(id);
  event.x = position.x;
  event.y = position.y;
  event.buttons = position.buttons;
  replay_.Add(event);
  return answer;
}

std::string ReplayText(const Replay& replay, const std::string& header, std::int64_t uptoTick) {
  std::string text = header;
  text += "joysticks " + std::to_string(replay.startJoysticks()) + "\n";
  for (const ReplayEvent& event : replay.events()) {
    if (uptoTick >= 0 && event.tick > uptoTick) break;
    AppendEventLine(event, &text);
  }
  if (uptoTick >= 0) AppendEventLine(ReplayEvent{uptoTick, ReplayEvent::Kind::kClose}, &text);
  return text;
}

}  // namespace bf
