// The ability step's countdown and the parking, spinning and blinking its actions share.
#include <gtest/gtest.h>

#include "abilities/abilities.h"
#include "app/game.h"
#include "support/test_game.h"
#include "tanks/gun.h"

namespace bf {
namespace {

struct AbilityStepTest : ::testing::Test {
  AbilityStepTest() : g(*t.game) {
    auto create = [&](auto& table) {
      for (auto& frame : table) frame = t.scene.CreateFrame(kNoFrame);
    };
    create(g.tankFrame);
    create(g.shotFrame);
    create(g.gasFrame);
    create(g.pyonFrame);
    create(g.shieldFrame);
    create(g.rocketFrame);
    create(g.waterFrame);
    // One silent voice per effect, so that every play shows in the tick's record.
    for (SoundEffect& effect : g.soundEffects) effect.voiceCount = 1;
    g.shotX.fill(kFreeSlot);
    g.starX.fill(kFreeSlot);
    g.netX.fill(kFreeSlot);
    g.mineX.fill(kFreeSlot);
    g.winner = -1;
    for (int p = 0; p < kPlayers; ++p) {
      g.playerLife[p] = g.maxLife[p] = 60;
      g.tankX[p] = -600 + 400 * p;
      g.tankZ[p] = -600;
      g.playerCharacter[p] = 3;
      g.maxShells[p] = g.shells[p] = 5;
    }
  }
  const test::FrameRecord& Frame(FrameId id) const { return t.scene.frames.at(id); }

  static constexpr int kP = 2;
  test::TestGame t;
  Game& g;
};

TEST_F(AbilityStepTest, IdleTimerDoesNothing) {
  for (int timer : {0, -1, -40}) {
    for (int type = 0; type < kTankTypes; ++type) {
      g.playerCharacter[kP] = type;
      g.abilityState[kP] = timer;
      g.abilityState[kP + 4] = 1;
      RunAbilities(g, kP);
      EXPECT_EQ(g.abilityState[kP], timer) << "type " << type;
      EXPECT_EQ(g.abilityState[kP + 4], 1) << "type " << type;
    }
  }
  EXPECT_EQ(Frame(g.tankFrame[kP]).positionCalls, 0);
  EXPECT_EQ(g.tickRecord.soundCount, 0);
}

TEST_F(AbilityStepTest, RunningTimerCountsDownByOnePerStep) {
  for (int type = 0; type < kTankTypes; ++type) {
    if (type == 0 || type == 8) continue;  // the rocket and the pyon hold their own timer up
    g.playerCharacter[kP] = type;
    g.abilityState[kP] = 30;
    for (int step = 0; step < 5; ++step) RunAbilities(g, kP);
    EXPECT_EQ(g.abilityState[kP], 25) << "type " << type;
  }
}

TEST_F(AbilityStepTest, OnlyTheStepsOwnPlayerCountsDown) {
  g.abilityState = {7, 7, 7, 7};
  RunAbilities(g, kP);
  EXPECT_EQ(g.abilityState[0], 7);
  EXPECT_EQ(g.abilityState[1], 7);
  EXPECT_EQ(g.abilityState[kP], 6);
  EXPECT_EQ(g.abilityState[3], 7);
}

// The launch and the first action fall in the same player step.
TEST_F(AbilityStepTest, GasCloudLaunchedWith200RunsItsFirstActionAt199) {
  g.playerCharacter[kP] = 2;
  g.fireState[kP] = 2;
  LaunchAbility(g, kP);
  RunAbilities(g, kP);
  EXPECT_EQ(g.abilityState[kP], 199);
}

TEST_F(AbilityStepTest, ParkPutsTheFrameFarOutsideTheField) {
  ParkFrame(g, g.gasFrame[1]);
  const auto& f = Frame(g.gasFrame[1]);
  EXPECT_EQ(f.positionReference, kNoFrame);
  EXPECT_EQ(f.position, (std::array<float, 3>{-5000, 0, 0}));
}

TEST_F(AbilityStepTest, SpinTurnsTheFrameAlongItsOwnAxes) {
  SpinFrame(g, g.shieldFrame[3]);
  SpinFrame(g, g.shieldFrame[3]);
  const auto& f = Frame(g.shieldFrame[3]);
  EXPECT_EQ(f.orientationReference, g.shieldFrame[3]);
  EXPECT_EQ(f.orientation, (std::array<float, 6>{0.1f, 0, 0.005f, 0, 1, 0}));
  EXPECT_EQ(f.orientationCalls, 2);
}

struct BlinkCase {
  int timer;
  int flagBefore;
  int flagAfter;
  bool shown;  // placed at ([p+8], 0, [p+12]) rather than parked
  int positionCalls;
};

class BlinkTest : public AbilityStepTest, public ::testing::WithParamInterface<BlinkCase> {};

TEST_P(BlinkTest, ShowsOrParksAndFlipsTheFlag) {
  const BlinkCase& c = GetParam();
  const FrameId frame = g.waterFrame[kP];
  g.abilityState[kP] = c.timer;
  g.abilityState[kP + 4] = c.flagBefore;
  g.abilityState[kP + 8] = -123;
  g.abilityState[kP + 12] = 456;
  BlinkAtEnd(g, kP, frame);
  EXPECT_EQ(g.abilityState[kP + 4], c.flagAfter);
  EXPECT_EQ(Frame(frame).positionCalls, c.positionCalls);
  if (c.positionCalls == 0) return;
  EXPECT_EQ(Frame(frame).positionReference, kNoFrame);
  const std::array<float, 3> expected =
      c.shown ? std::array<float, 3>{-123, 0, 456} : std::array<float, 3>{-5000, 0, 0};
  EXPECT_EQ(Frame(frame).position, expected);
}

INSTANTIATE_TEST_SUITE_P(Timers, BlinkTest,
                         ::testing::Values(BlinkCase{50, 1, 1, false, 0},   // still steady
                                           BlinkCase{120, 0, 0, false, 0},  // still steady
                                           BlinkCase{49, 1, 0, true, 1},    // shown
                                           BlinkCase{49, 0, 1, false, 1},   // hidden
                                           BlinkCase{1, 7, 0, true, 1},     // any flag not 0
                                           BlinkCase{0, 0, 1, false, 2},    // parked for good
                                           BlinkCase{0, 1, 0, false, 2}));  // parked for good

}  // namespace
}  // namespace bf
