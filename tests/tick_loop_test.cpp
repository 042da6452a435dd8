#include "app/tick_loop.h"

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <utility>
#include <vector>

#include "app/replay.h"
#include "app/room_controls.h"
#include "support/test_game.h"

namespace bf {
namespace {

TEST(TickLoop, SlowTickIsFollowedByOneTickAtTheNextStepNeverACatchUp) {
  test::TestGame t;
  Game& g = *t.game;
  g.tickStamp = 0;
  g.runningFlag = -1;
  std::vector<std::uint64_t> starts;
  RunTicks(g, Screen::kBattle, [&] {
    starts.push_back(t.clock.now);
    if (starts.size() == 1) t.clock.now += 45;  // this tick's work overruns two ticks
    if (starts.size() == 3) g.runningFlag = 0;
    return TickOutcome::kContinue;
  });
  // Work ended at 65 ms (tick 3): the next tick is tick 4, not two quick ones at 65 and 66.
  EXPECT_EQ(starts, (std::vector<std::uint64_t>{20, 80, 100}));
  EXPECT_EQ(g.tickStamp, 5);
}

// 2^32 ms is 49.7 days of uptime, or a runner asked for 214,748,365 ticks: the ticks must go
// on at their pace across it, not stop or spin.
TEST(TickLoop, TicksKeepTheirPacePastTheThirtyTwoBitMillisecondCount) {
  test::TestGame t;
  Game& g = *t.game;
  t.clock.now = (std::uint64_t{1} << 32) - 30;
  g.tickStamp = CurrentTick(g);
  g.runningFlag = -1;
  std::vector<std::int64_t> ticks;
  RunTicks(g, Screen::kBattle, [&] {
    ticks.push_back(CurrentTick(g));
    if (ticks.size() == 4) g.runningFlag = 0;
    return TickOutcome::kContinue;
  });
  const std::int64_t first = ((std::int64_t{1} << 32) - 30) / 20 + 1;
  EXPECT_EQ(ticks, (std::vector<std::int64_t>{first, first + 1, first + 2, first + 3}));
  EXPECT_EQ(t.events.waits, 4);
}

TEST(TickLoop, LeavingKeepsTheStampAndSkipsThePump) {
  test::TestGame t;
  Game& g = *t.game;
  g.tickStamp = 0;
  g.runningFlag = -1;
  int ticks = 0;
  RunTicks(g, Screen::kSelection, [&] {
    ++ticks;
    return TickOutcome::kLeave;
  });
  EXPECT_EQ(ticks, 1);
  EXPECT_EQ(g.tickStamp, 0);
  EXPECT_EQ(t.events.pumps, t.events.waits);  // only the waits pumped
}

TEST(TickLoop, EventsArriveOnlyBetweenTicks) {
  test::TestGame t;
  Game& g = *t.game;
  g.runningFlag = -1;
  int ticks = 0;
  RunTicks(g, Screen::kBattle, [&] {
    ++ticks;
    // Queued now, the key reaches the game only in the pump after this work.
    t.events.queued.push_back([](InputSink& sink) { sink.OnKeyDown(vk::kEscape, 0); });
    EXPECT_EQ(g.runningFlag, -1);
    return TickOutcome::kContinue;
  });
  EXPECT_EQ(ticks, 1);
}

TEST(TickLoop, CloseFromOutsideEndsTheLoopAndIsRemembered) {
  test::TestGame t;
  Game& g = *t.game;
  g.runningFlag = -1;
  t.events.queued.push_back([](InputSink& sink) { sink.OnClose(); });
  int ticks = 0;
  RunTicks(g, Screen::kSelection, [&] {
    ++ticks;
    return TickOutcome::kContinue;
  });
  EXPECT_EQ(ticks, 0);
  EXPECT_TRUE(g.closeRequested);
  EXPECT_EQ(g.runningFlag, 0);
}

}  // namespace
}  // namespace bf

namespace bf {
namespace {

// Counts the ticks the observer hears of, and runs `onTick` with each count.
class CountingObserver final : public TickObserver {
 public:
  explicit CountingObserver(std::function<void(int)> onTick) : onTick_(std::move(onTick)) {}
  void OnTickDone(Game&, Screen) override { onTick_(++ticks_); }

 private:
  std::function<void(int)> onTick_;
  int ticks_ = 0;
};

// At the fast speed four ticks share each 20 ms stamp, one wait between bursts, and only the
// last tick of a burst draws its views.
TEST(TickLoop, FastSpeedRunsFourTicksPerStampDrawingTheLast) {
  test::TestGame t;
  Game& g = *t.game;
  g.runningFlag = -1;
  g.room.fast = true;
  std::vector<std::uint64_t> starts;
  std::vector<bool> drawn;
  RunTicks(g, Screen::kBattle, [&] {
    starts.push_back(t.clock.now);
    drawn.push_back(g.room.drawViews);
    if (starts.size() == 8) g.runningFlag = 0;
    return TickOutcome::kContinue;
  });
  EXPECT_EQ(starts, (std::vector<std::uint64_t>{20, 20, 20, 20, 40, 40, 40, 40}));
  EXPECT_EQ(drawn, (std::vector<bool>{false, false, false, true, false, false, false, true}));
  EXPECT_EQ(t.events.waits, 2);

  // Paused, a fast battle's empty ticks wait their 20 ms each.
  g.runningFlag = -1;
  g.room.paused = true;
  CountingObserver observer([&](int tick) {
    if (tick == 3) g.runningFlag = 0;
  });
  g.observer = &observer;
  RunTicks(g, Screen::kBattle, [&] { return TickOutcome::kContinue; });
  EXPECT_EQ(t.events.waits, 5);
}

// A replay's speed multiplies the four-times bursts (x2: a burst each 10 ms), and pausing the
// replay in the middle of a burst holds the burst's other ticks until it goes on.
TEST(TickLoop, AReplaysSpeedMultipliesTheFastBurstsAndItsPauseHoldsThem) {
  test::TestGame t;
  Game& g = *t.game;
  Replay replay;
  replay.Attach(g, false);
  ReplayEvent end;
  end.tick = 1000;
  end.kind = ReplayEvent::Kind::kClose;
  replay.PlayFile({end}, 0);
  replay.TakeKeyDown(g, vk::kRight, 0);
  g.runningFlag = -1;
  g.room.fast = true;
  std::vector<std::uint64_t> starts;
  RunTicks(g, Screen::kBattle, [&] {
    starts.push_back(t.clock.now);
    if (starts.size() == 2) {
      replay.TakeKeyDown(g, ' ', 0);
      // Space again at the second pump from now: the first comes right after this tick.
      t.events.queued.push_back([&](InputSink&) {
        t.events.queued.push_back([](InputSink& sink) { sink.OnKeyDown(' ', 0); });
      });
    }
    if (starts.size() == 8) g.runningFlag = 0;
    return TickOutcome::kContinue;
  });
  EXPECT_EQ(starts, (std::vector<std::uint64_t>{10, 10, 60, 60, 70, 70, 70, 70}));
}

// Paused ticks keep the 20 ms pace without their work; going on makes nothing up.
TEST(TickLoop, PausedTicksRunNoWorkAndResumeWithoutABurst) {
  test::TestGame t;
  Game& g = *t.game;
  g.runningFlag = -1;
  g.room.paused = true;
  CountingObserver observer([&](int tick) {
    if (tick == 3) g.room.paused = false;
    if (tick == 6) g.runningFlag = 0;
  });
  g.observer = &observer;
  std::vector<std::uint64_t> starts;
  RunTicks(g, Screen::kBattle, [&] {
    starts.push_back(t.clock.now);
    return TickOutcome::kContinue;
  });
  EXPECT_EQ(starts, (std::vector<std::uint64_t>{80, 100, 120}));
  EXPECT_EQ(t.events.waits, 6);
}

// The fast speed comes once every person who joined is out, never in a battle of computers only,
// and a key (other than the room's own) or a button ends it for the rest of the battle.
TEST(TickLoop, FastSpeedComesWhenEveryPersonIsOutUntilAKeyOrButton) {
  test::TestGame t;
  Game& g = *t.game;
  BeginBattleControls(g);
  struct Case {
    const char* name;
    std::array<std::int32_t, kPlayers> computerDriven, playerLife;
    bool fast;
  };
  const Case cases[] = {
      {"the one person is out", {0, 1, 1, 1}, {0, 50, 50, 50}, true},
      {"one of two persons still plays", {0, 0, 1, 1}, {0, 10, 50, 50}, false},
      {"nobody joined", {1, 1, 1, 1}, {0, 0, 50, 50}, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    g.computerDriven = c.computerDriven;
    g.playerLife = c.playerLife;
    UpdateFastSpeed(g);
    EXPECT_EQ(g.room.fast, c.fast);
  }
  g.computerDriven = {0, 1, 1, 1};
  g.playerLife = {0, 50, 50, 50};
  UpdateFastSpeed(g);
  RoomKeyDown(g, vk::kMinus);
  EXPECT_TRUE(g.room.fast) << "the volume keys leave the speed alone";
  RoomPadButtonDown(g, 2, /*start=*/false);
  UpdateFastSpeed(g);
  EXPECT_FALSE(g.room.fast);
  BeginBattleControls(g);
  UpdateFastSpeed(g);
  EXPECT_TRUE(g.room.fast) << "the next battle may go fast again";
  RoomKeyDown(g, 'A');
  UpdateFastSpeed(g);
  EXPECT_FALSE(g.room.fast);
}

}  // namespace
}  // namespace bf
