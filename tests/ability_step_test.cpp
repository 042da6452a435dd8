// The ability step's countdown and the parking, spinning and blinking its actions share.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "abilities/abilities.h"
#include "audio/sound.h"
#include "core/game.h"
#include "core/numeric.h"
#include "support/battle_field.h"

namespace bf {
namespace {

using AbilityStepTest = test::BattleField;

constexpr int kP = 2;

// --- Countdown and actions ------------------------------------------------------------------

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
  Drive(kP, TankType::kPig);
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

// Each action leaves a mark no other action leaves; the step must run exactly the one of its
// tank type (none for nets and mines).
struct ActionMark {
  const char* name;
  int type;
  std::function<bool(const AbilityStepTest&)> left;
};

const ActionMark kActionMarks[] = {
    {"Rocket", 0, [](const AbilityStepTest& f) { return f.Placed(f.g.rocketFrame[kP]); }},
    {"Cloak", 1, [](const AbilityStepTest& f) { return f.Placed(f.g.tankFrame[kP]); }},
    {"GasCloud", 2,
     [](const AbilityStepTest& f) { return f.Frame(f.g.gasFrame[kP]).orientationCalls > 0; }},
    {"Shield", 3, [](const AbilityStepTest& f) { return f.Placed(f.g.shieldFrame[kP]); }},
    {"Dash", 4, [](const AbilityStepTest& f) { return f.g.tankSpeed[kP] == 75; }},
    {"Whirlpool", 5, [](const AbilityStepTest& f) { return f.g.tankHeading[0] != 100; }},
    {"FlameBurst", 6, [](const AbilityStepTest& f) { return f.g.shells[kP] == 0; }},
    {"Pyon", 8, [](const AbilityStepTest& f) { return f.Placed(f.g.pyonFrame[kP]); }},
    {"Decoy", 10, [](const AbilityStepTest& f) { return f.Placed(f.g.tankFrame[kP + 4]); }},
};

class ActionDispatchTest : public AbilityStepTest, public ::testing::WithParamInterface<int> {};

TEST_P(ActionDispatchTest, RunsExactlyTheActionOfTheTankType) {
  const int type = GetParam();
  g.playerCharacter[kP] = type;
  g.shells[kP] = 3;
  g.tankHeading[0] = 100;
  // A running ability in its blinking phase, centred on tank 0, chasing player 0.
  g.abilityState[kP] = 30;
  g.abilityState[kP + 4] = 0;
  g.abilityState[kP + 8] = static_cast<int>(g.tankX[0]);
  g.abilityState[kP + 12] = static_cast<int>(g.tankZ[0]);
  g.abilityState[kP + 16] = 0;
  RunAbilities(g, kP);
  for (const ActionMark& mark : kActionMarks) {
    EXPECT_EQ(mark.left(*this), mark.type == type) << mark.name << " after type " << type;
  }
}

INSTANTIATE_TEST_SUITE_P(AllTypes, ActionDispatchTest, ::testing::Range(0, kTankTypes));

TEST_F(AbilityStepTest, EliminatedMouseStopsBurningButItsTimerRunsOut) {
  g.playerCharacter[kP] = 6;
  g.playerLife[kP] = 0;
  g.shells[kP] = 3;
  g.abilityState[kP] = 30;
  RunAbilities(g, kP);
  EXPECT_EQ(g.abilityState[kP], 29);
  EXPECT_EQ(g.shells[kP], 3);
  EXPECT_EQ(g.fireState[kP], 0);
}

// Other abilities keep running after their tank is out: an eliminated skunk's cloud still hurts.
TEST_F(AbilityStepTest, EliminatedSkunksCloudKeepsHurting) {
  g.playerCharacter[kP] = 2;
  g.playerLife[kP] = 0;
  g.abilityState[kP] = 100;
  g.abilityState[kP + 4] = 1;  // toggles to 0: a hurting tick
  g.abilityState[kP + 8] = static_cast<int>(g.tankX[0]);
  g.abilityState[kP + 12] = static_cast<int>(g.tankZ[0]);
  RunAbilities(g, kP);
  EXPECT_EQ(g.playerLife[0], 99);
}

TEST_F(AbilityStepTest, GasCloudsFirstActionTurnsItsFlagSoItHurtsOneTickLater) {
  g.playerCharacter[kP] = 2;
  g.tankX[kP] = g.tankX[0] + 50;  // tank 0 inside the cloud
  g.tankZ[kP] = g.tankZ[0];
  g.fireState[kP] = 2;
  LaunchAbility(g, kP);
  RunAbilities(g, kP);
  EXPECT_EQ(g.abilityState[kP + 4], 1);
  EXPECT_EQ(g.playerLife[0], 100);
  RunAbilities(g, kP);
  EXPECT_EQ(g.abilityState[kP], 198);
  EXPECT_EQ(g.playerLife[0], 99);
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
