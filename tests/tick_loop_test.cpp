#include "app/tick_loop.h"

#include <gtest/gtest.h>

#include <vector>

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
