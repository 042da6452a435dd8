// The ability launch, the ability step's countdown and the parking, spinning and blinking its
// actions share.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "abilities/abilities.h"
#include "abilities/abilities_local.h"
#include "audio/sound.h"
#include "core/frames.h"
#include "core/game.h"
#include "core/numeric.h"
#include "support/battle_field.h"

namespace bf {
namespace {

using AbilityStepTest = test::BattleField;

constexpr int kP = 2;

// --- Launch ---------------------------------------------------------------------------------

struct LaunchCase {
  std::string name;
  int type;
  int timer;  // abilityState[p] after the launch
  int sound;  // the one sound the launch plays
  std::function<void(AbilityStepTest&)> check;
};

std::ostream& operator<<(std::ostream& out, const LaunchCase& c) {
  return out << c.name;
}

class LaunchTest : public AbilityStepTest, public ::testing::WithParamInterface<LaunchCase> {};

// The tank stands at (12.5, -33.5) heading 30: stored positions round halves to even. Every
// shot slot is busy and net slot 0 is taken.
TEST_P(LaunchTest, SetsTheTimerValuesFramesAndSound) {
  const LaunchCase& c = GetParam();
  g.playerCharacter[kP] = c.type;
  PutTank(kP, 12.5, -33.5);
  g.tankHeading[kP] = 30;
  g.maxShells[kP] = g.shells[kP] = 5;
  g.reloadTimer[kP] = 3;
  g.fireState[kP] = 2;
  g.abilityState.fill(77);
  g.abilityState[kP] = 0;
  g.shotX.fill(300);
  g.netX[0] = 100;
  LaunchAbility(g, kP);
  EXPECT_EQ(g.abilityState[kP], c.timer);
  EXPECT_EQ(Sounds(), std::vector<int>{c.sound});
  EXPECT_EQ(g.fireState[kP], 0);
  EXPECT_EQ(g.shells[kP], 0);
  EXPECT_EQ(g.reloadTimer[kP], 40);
  c.check(*this);
}

const LaunchCase kLaunchCases[] = {
    {"Rocket", 0, 10, kSoundRocket,
     [](AbilityStepTest& f) {
       const auto& a = f.g.abilityState;
       EXPECT_EQ(a[kP + 4], 12);
       EXPECT_EQ(a[kP + 8], -34);
       EXPECT_EQ(a[kP + 12], 35);  // 40 cos 30 = 34.65
       EXPECT_EQ(a[kP + 16], 20);  // 40 sin 30 = 19.99
       const auto& frame = f.Frame(f.g.rocketFrame[kP]);
       test::ExpectPlacedAt(frame, 12.5f, 30, -33.5f);
       EXPECT_EQ(frame.orientationReference, kNoFrame);
       const double h = Radians(30);
       EXPECT_FLOAT_EQ(frame.orientation[0], static_cast<float>(-std::cos(h)));
       EXPECT_FLOAT_EQ(frame.orientation[2], static_cast<float>(-std::sin(h)));
       EXPECT_EQ(frame.orientation[1], 0);
       EXPECT_EQ(frame.orientation[4], 1);
     }},
    {"Cloak", 1, 200, kSoundFox,
     [](AbilityStepTest& f) {
       EXPECT_EQ(f.ShotsInFlight(), kShotSlots);
       EXPECT_EQ(f.g.abilityState[kP + 4], 0);
       EXPECT_EQ(f.g.abilityState[kP + 8], 77);  // untouched
     }},
    {"GasCloud", 2, 200, kSoundHe,
     [](AbilityStepTest& f) {
       EXPECT_EQ(f.g.abilityState[kP + 4], 0);
       EXPECT_EQ(f.g.abilityState[kP + 8], 12);
       EXPECT_EQ(f.g.abilityState[kP + 12], -34);
       test::ExpectPlacedAt(f.Frame(f.g.gasFrame[kP]), 12.5f, 0, -33.5f);
     }},
    {"Shield", 3, 100, kSoundShield,
     [](AbilityStepTest& f) { EXPECT_EQ(f.g.abilityState[kP + 4], 77); }},
    {"Dash", 4, 30, kSoundMomonga,
     [](AbilityStepTest& f) { EXPECT_EQ(f.g.abilityState[kP + 4], 77); }},
    {"Whirlpool", 5, 400, kSoundFish,
     [](AbilityStepTest& f) {
       EXPECT_EQ(f.g.abilityState[kP + 4], 0);
       EXPECT_EQ(f.g.abilityState[kP + 8], 12);
       EXPECT_EQ(f.g.abilityState[kP + 12], -34);
       test::ExpectPlacedAt(f.Frame(f.g.waterFrame[kP]), 12.5f, 2, -33.5f);
     }},
    {"FlameBurst", 6, 50, kSoundFire, [](AbilityStepTest& f) { EXPECT_EQ(f.ShotsInFlight(), 0); }},
    {"Net", 7, 0, kSoundSpider,
     [](AbilityStepTest& f) {
       EXPECT_EQ(f.g.netX[1], 12);
       EXPECT_EQ(f.g.netZ[1], -34);
       EXPECT_EQ(f.g.netTimer[1], 100);
       EXPECT_EQ(f.g.netX[2], kFreeSlot);
       test::ExpectPlacedAt(f.Frame(f.g.netFrame[1]), 12.5f, 0, -33.5f);
     }},
    {"Pyon", 8, 100, kSoundPyon,
     [](AbilityStepTest& f) {
       EXPECT_EQ(f.g.abilityState[kP + 4], kP);
       EXPECT_EQ(f.g.abilityState[kP + 8], 12);
       EXPECT_EQ(f.g.abilityState[kP + 12], -34);
       test::ExpectPlacedAt(f.Frame(f.g.pyonFrame[kP]), 12.5f, 0, -33.5f);
     }},
    {"Mine", 9, 0, kSoundSet,
     [](AbilityStepTest& f) {
       EXPECT_EQ(f.g.mineX[0], 12);
       EXPECT_EQ(f.g.mineZ[0], -34);
       EXPECT_EQ(f.g.mineX[1], kFreeSlot);
       test::ExpectPlacedAt(f.Frame(f.g.mineFrame[0]), 12, 0, -34);
     }},
    {"Decoy", 10, 250, kSoundCat,
     [](AbilityStepTest& f) {
       EXPECT_EQ(f.g.abilityState[kP + 4], 0);
       EXPECT_EQ(f.g.abilityState[kP + 8], 12);
       EXPECT_EQ(f.g.abilityState[kP + 12], -34);
       const auto& decoy = f.Frame(f.g.tankFrame[kP + 4]);
       test::ExpectPlacedAt(decoy, 12.5f, 0, -33.5f);
       EXPECT_EQ(decoy.orientationReference, f.g.tankFrame[kP]);
       EXPECT_EQ(decoy.orientation, (std::array<float, 6>{0, 0, 1, 0, 1, 0}));
     }},
};

INSTANTIATE_TEST_SUITE_P(AllTypes, LaunchTest, ::testing::ValuesIn(kLaunchCases),
                         [](const auto& testCase) { return testCase.param.name; });

TEST_F(AbilityStepTest, NetsAllOutStillSpendTheMagazineWithTheSpiderSound) {
  g.playerCharacter[kP] = 7;
  g.netX.fill(100);
  g.fireState[kP] = 2;
  LaunchAbility(g, kP);
  EXPECT_EQ(g.shells[kP], 0);
  EXPECT_EQ(g.reloadTimer[kP], 40);
  EXPECT_EQ(g.netX, (std::array<std::int32_t, kNetSlots>{100, 100, 100, 100, 100, 100, 100, 100,
                                                         100, 100, 100}));
  EXPECT_EQ(Sounds(), std::vector<int>{kSoundSpider});
}

TEST_F(AbilityStepTest, MinesAllLaidSpendTheMagazineSilently) {
  g.playerCharacter[kP] = 9;
  g.maxShells[kP] = g.shells[kP] = 3;
  g.mineX.fill(100);
  g.fireState[kP] = 2;
  LaunchAbility(g, kP);
  EXPECT_EQ(g.shells[kP], 0);
  EXPECT_EQ(g.fireState[kP], 0);
  EXPECT_EQ(g.abilityState[kP], 0);
  EXPECT_TRUE(Sounds().empty());
}

// A launch needs the request, a full magazine and an idle timer.
struct RefusedLaunchCase {
  const char* name;
  int fireState;
  int shells;
  int timer;
};

class RefusedLaunchTest : public AbilityStepTest,
                          public ::testing::WithParamInterface<RefusedLaunchCase> {};

TEST_P(RefusedLaunchTest, ChangesNothing) {
  const RefusedLaunchCase& c = GetParam();
  g.playerCharacter[kP] = 2;
  g.fireState[kP] = c.fireState;
  g.shells[kP] = c.shells;
  g.abilityState[kP] = c.timer;
  LaunchAbility(g, kP);
  EXPECT_EQ(g.fireState[kP], c.fireState);
  EXPECT_EQ(g.shells[kP], c.shells);
  EXPECT_EQ(g.abilityState[kP], c.timer);
  EXPECT_TRUE(Sounds().empty());
}

INSTANTIATE_TEST_SUITE_P(Cases, RefusedLaunchTest,
                         ::testing::Values(RefusedLaunchCase{"GunRequest", 1, 4, 0},
                                           RefusedLaunchCase{"MagazineNotFull", 2, 3, 0},
                                           RefusedLaunchCase{"StillRunning", 2, 4, 5},
                                           RefusedLaunchCase{"NegativeTimer", 2, 4, -1}),
                         [](const auto& testCase) { return std::string(testCase.param.name); });

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
  PutTank(kP, g.tankX[0] + 50, g.tankZ[0]);  // tank 0 inside the cloud
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
