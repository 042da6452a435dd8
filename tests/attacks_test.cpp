// The rocket, the gas cloud, the whirlpool, the flame burst and the pyon at work.
#include <gtest/gtest.h>

#include <cmath>
#include <ostream>
#include <vector>

#include "abilities/abilities_local.h"
#include "audio/sound.h"
#include "core/numeric.h"
#include "support/battle_field.h"

namespace bf {
namespace {

// Each launch helper gives player p the tank type whose ability it sets running, so that the
// game's own step runs that ability's action.
class AttackTest : public test::BattleField {
 protected:
  // A bear's rocket at (x, z), stepping (dx, dz) per tick.
  void AimRocket(int p, int x, int z, int dx, int dz) {
    Drive(p, TankType::kBear);
    g.abilityState[p] = 10;
    g.abilityState[p + 4] = x;
    g.abilityState[p + 8] = z;
    g.abilityState[p + 12] = dx;
    g.abilityState[p + 16] = dz;
  }
  // A skunk's fresh cloud at (x, z).
  void SpreadGas(int p, int x, int z) {
    Drive(p, TankType::kSkunk);
    g.abilityState[p] = 200;
    g.abilityState[p + 4] = 0;
    g.abilityState[p + 8] = x;
    g.abilityState[p + 12] = z;
  }
  // A fish's whirlpool with this many ticks left.
  void StirWhirlpool(int p, int timer) {
    Drive(p, TankType::kFish);
    g.abilityState[p] = timer;
  }
  // A rabbit's pyon at (x, z), chasing player target.
  void SendPyon(int p, int target, int x, int z) {
    Drive(p, TankType::kRabbit);
    g.abilityState[p] = 100;
    g.abilityState[p + 4] = target;
    g.abilityState[p + 8] = x;
    g.abilityState[p + 12] = z;
  }
};

// --- Rocket ---------------------------------------------------------------------------------

TEST_F(AttackTest, RocketFromTheEdgeEndsOnTheTickItsXPassesEightHundred) {
  AimRocket(0, 750, 0, 40, 0);
  Tick(0);
  EXPECT_EQ(g.abilityState[0], 9);  // held up while it flies
  EXPECT_EQ(g.abilityState[4], 790);
  EXPECT_EQ(Frame(g.rocketFrame[0]).position, (std::array<float, 3>{790, 30, 0}));
  Tick(0);
  EXPECT_EQ(g.abilityState[4], 830);
  EXPECT_EQ(g.abilityState[0], 0);
  EXPECT_TRUE(Parked(g.rocketFrame[0]));
  EXPECT_TRUE(Sounds().empty());  // leaving the arena is silent
  Tick(0);                        // an ended rocket does nothing more
  EXPECT_EQ(g.abilityState[4], 830);
}

struct WallCase {
  int stageIndex;
  int startX;  // the rocket flies +40 along z from (startX, 360) to (startX, 400)
  bool stopped;
};
std::ostream& operator<<(std::ostream& out, const WallCase& c) {
  return out << "stage " << c.stageIndex << " x " << c.startX;
}

class RocketWallTest : public AttackTest, public ::testing::WithParamInterface<WallCase> {};

TEST_P(RocketWallTest, WallsStopRocketsExceptOnStageThree) {
  const WallCase c = GetParam();
  g.stageIndex = c.stageIndex;
  g.wallX[5] = 200;  // one 450 x 450 corner square
  g.wallWidth[5] = 450;
  g.wallZ[5] = 200;
  g.wallDepth[5] = 450;
  AimRocket(0, c.startX, 360, 0, 40);
  Tick(0);
  EXPECT_EQ(g.abilityState[0], c.stopped ? 0 : 9);
  EXPECT_EQ(Sounds(), c.stopped ? std::vector<int>{kSoundBom} : std::vector<int>{});
  EXPECT_EQ(Parked(g.rocketFrame[0]), c.stopped);
  EXPECT_EQ(g.playerLife, (std::array<std::int32_t, 4>{100, 100, 100, 100}));
  EXPECT_EQ(FreeStars(), kStarSlots);  // a wall makes no stars
}

INSTANTIATE_TEST_SUITE_P(Stages, RocketWallTest,
                         ::testing::Values(WallCase{2, 400, true}, WallCase{3, 400, false},
                                           WallCase{0, 400, true},
                                           WallCase{2, 200, false},  // on the edge: strict
                                           WallCase{2, 201, true}));

TEST_F(AttackTest, RocketHitsEveryOtherTankInReachAndShakesTheAttackersView) {
  g.tankX = {-20, 49.5, -30, 50};  // the bear itself is in reach, tank 3 is exactly 50 off
  g.tankZ = {0, -30, 49.9, 0};
  AimRocket(0, -40, 0, 40, 0);
  Tick(0);
  EXPECT_EQ(g.playerLife, (std::array<std::int32_t, 4>{100, 70, 70, 100}));
  EXPECT_EQ(g.shakeTimer, (std::array<std::int32_t, 4>{10, 0, 0, 0}));
  EXPECT_EQ(Sounds(), (std::vector<int>{kSoundBom, kSoundBom}));
  EXPECT_EQ(g.abilityState[0], 0);
  EXPECT_TRUE(Parked(g.rocketFrame[0]));
}

TEST_F(AttackTest, RocketHitThrowsTenStarsAtTheTarget) {
  PutTank(2, 12.5, 0);
  AimRocket(0, 0, -40, 0, 40);
  Tick(0);
  EXPECT_EQ(FreeStars(), kStarSlots - 10);
  EXPECT_EQ(g.starX[0], 12);  // at the target, rounded half to even
  EXPECT_EQ(g.burstCount, 0);
}

TEST_F(AttackTest, LethalRocketEliminatesTheTargetAndDecidesTheBattle) {
  g.playerLife = {90, 30, 0, 0};
  g.tankX = {-700, 0, -5000, -5000};
  g.tankZ = {-700, 0, 300, 400};
  AimRocket(0, 0, -40, 0, 40);
  Tick(0);
  EXPECT_EQ(g.playerLife[1], 0);
  EXPECT_EQ(g.tankX[1], kFreeSlot);
  EXPECT_EQ(g.winner, 0);
}

// --- Gas cloud ------------------------------------------------------------------------------

TEST_F(AttackTest, GasNeverTakesALifeBelowOneAndSparesItsOwnerAndTheEdge) {
  // The skunk is out of play itself: its cloud hurts on regardless.
  g.playerLife = {0, 1, 2, 100};
  g.tankX = {0, 10, -10, 100};  // tank 3 exactly 100 off on x
  g.tankZ = {0, 20, -20, 0};
  SpreadGas(0, 0, 0);
  for (int tick = 0; tick < 200; ++tick) Tick(0);
  EXPECT_EQ(g.playerLife, (std::array<std::int32_t, 4>{0, 1, 1, 100}));
  EXPECT_TRUE(Sounds().empty());
  EXPECT_EQ(FreeStars(), kStarSlots);
  EXPECT_EQ(g.shakeTimer, (std::array<std::int32_t, 4>{0, 0, 0, 0}));
}

TEST_F(AttackTest, GasHurtsOnEverySecondTickAndOneHundredAtMost) {
  g.playerLife[3] = 150;
  PutTank(3, 400, 400);
  SpreadGas(2, 450, 350);
  std::vector<int> hurtAtTimer;
  for (int tick = 0; tick < 200; ++tick) {
    const int before = g.playerLife[3];
    Tick(2);
    if (g.playerLife[3] != before) hurtAtTimer.push_back(g.abilityState[2]);
  }
  std::vector<int> expected;
  for (int timer = 198; timer >= 50; timer -= 2) expected.push_back(timer);
  for (int timer = 49; timer >= 1; timer -= 2) expected.push_back(timer);
  EXPECT_EQ(hurtAtTimer, expected);
  EXPECT_EQ(g.playerLife[3], 50);
  EXPECT_TRUE(Parked(g.gasFrame[2]));
  EXPECT_EQ(Frame(g.gasFrame[2]).orientationCalls, 200);  // it spins every tick
}

// --- Whirlpool ------------------------------------------------------------------------------

struct TurnCase {
  std::int32_t heading;
  double x;  // the whirlpool stands at (0, 0); tank 1 at (x, 0)
  std::int32_t expected;
};
std::ostream& operator<<(std::ostream& out, const TurnCase& c) {
  return out << "heading " << c.heading << " at x " << c.x;
}

class WhirlpoolTest : public AttackTest, public ::testing::WithParamInterface<TurnCase> {};

TEST_P(WhirlpoolTest, TurnsTanksInReachAndWrapsPastThreeSixty) {
  const TurnCase c = GetParam();
  g.tankX = {0, c.x, -700, 700};
  g.tankZ = {0, 0, 700, 700};
  g.tankHeading = {10, c.heading, 90, 90};
  g.abilityState = {};
  StirWhirlpool(0, 400);
  Tick(0);
  EXPECT_EQ(g.tankHeading[1], c.expected);
  EXPECT_EQ(g.tankHeading[0], 10);  // the fish itself stands in its whirlpool unturned
  EXPECT_EQ(g.tankHeading[2], 90);
}

INSTANTIATE_TEST_SUITE_P(Headings, WhirlpoolTest,
                         ::testing::Values(TurnCase{350, 50, 0}, TurnCase{340, 50, 360},
                                           TurnCase{360, 50, 0}, TurnCase{0, -99.5, 20},
                                           TurnCase{350, 100, 350}));

TEST_F(AttackTest, WhirlpoolBlinksAtHeightZeroOverItsLastTicksAndIsParkedAtTheEnd) {
  StirWhirlpool(1, 50);
  g.abilityState[5] = 0;
  g.abilityState[9] = 120;
  g.abilityState[13] = -80;
  Tick(1);  // timer 49: the flag 0 hides it
  EXPECT_TRUE(Parked(g.waterFrame[1]));
  Tick(1);
  EXPECT_EQ(Frame(g.waterFrame[1]).position, (std::array<float, 3>{120, 0, -80}));
  while (g.abilityState[1] > 0) Tick(1);
  EXPECT_TRUE(Parked(g.waterFrame[1]));
}

// --- Flame burst ----------------------------------------------------------------------------

// Mouse 1 at (100, -200) heading 30, its burst just launched.
class FlameTest : public AttackTest {
 protected:
  FlameTest() {
    Drive(1, TankType::kMouse);
    PutTank(1, 100, -200);
    g.tankHeading[1] = 30;
    g.playerLife[1] = 50;
    g.abilityState[1] = 50;
  }
};

TEST_F(FlameTest, FlamesLeaveWhileTheTimerIsAboveTwentyAndTheMouseBurnsOut) {
  std::vector<int> flamesAfterTick;
  for (int tick = 0; tick < 50; ++tick) {
    Tick(1);
    flamesAfterTick.push_back(ShotsInFlight());
  }
  EXPECT_EQ(flamesAfterTick[28], 29);  // timer 21: the last flame
  EXPECT_EQ(flamesAfterTick[48], 29);  // timers 20..1 are quiet
  EXPECT_EQ(g.tankSpeed[1], -29);
  const double h = 30 * 3.14 / 180;
  EXPECT_EQ(g.shotX[0], 100 + 60 * std::cos(h));
  EXPECT_EQ(g.shotZ[0], -200 + 60 * std::sin(h));
  EXPECT_EQ(g.shotDX[0], 30 * std::cos(h));
  EXPECT_EQ(g.shotDZ[0], 30 * std::sin(h));
  EXPECT_EQ(g.fireState[1], 3);
  EXPECT_TRUE(Sounds().empty());
  // The tick with timer 0 eliminates the mouse with the large burst.
  EXPECT_EQ(g.playerLife[1], 0);
  EXPECT_EQ(g.tankX[1], kFreeSlot);
  EXPECT_EQ(g.tankZ[1], -200);
  EXPECT_EQ(FreeStars(), 0);
}

struct EndCase {
  std::int32_t winner;
  bool survives;
};
std::ostream& operator<<(std::ostream& out, const EndCase& c) {
  return out << "winner " << c.winner;
}

class FlameEndTest : public FlameTest, public ::testing::WithParamInterface<EndCase> {};

TEST_P(FlameEndTest, OnlyTheWinningMouseSurvivesItsBurst) {
  g.winner = GetParam().winner;
  g.abilityState[1] = 1;
  Tick(1);
  EXPECT_EQ(g.playerLife[1], GetParam().survives ? 50 : 0);
  EXPECT_EQ(g.tankX[1], GetParam().survives ? 100 : kFreeSlot);
}

INSTANTIATE_TEST_SUITE_P(Winners, FlameEndTest,
                         ::testing::Values(EndCase{-1, false}, EndCase{1, true},
                                           EndCase{2, false}));

TEST_F(FlameTest, AnEliminatedMouseStopsAtOnce) {
  g.playerLife[1] = 0;
  g.shells[1] = 2;
  Tick(1);
  EXPECT_EQ(ShotsInFlight(), 0);
  EXPECT_EQ(g.fireState[1], 0);
  EXPECT_EQ(g.shells[1], 2);
}

TEST_F(FlameTest, WithEveryShotSlotTakenTheRequestWaits) {
  g.shotX.fill(0);
  g.shells[1] = 1;  // a shell the reload brought back is taken away again
  Tick(1);
  EXPECT_EQ(g.fireState[1], 1);
  EXPECT_EQ(g.tankSpeed[1], 0);
  EXPECT_EQ(g.shells[1], 0);
}

// --- Pyon -----------------------------------------------------------------------------------

TEST_F(AttackTest, PyonKeepsALiveTargetWithoutDrawing) {
  SendPyon(3, 2, 0, 0);
  const auto before = g.random.state();
  Tick(3);
  EXPECT_EQ(g.abilityState[7], 2);
  EXPECT_EQ(g.random.state(), before);
  EXPECT_EQ(g.abilityState[3], 100);
}

TEST_F(AttackTest, PyonRetargetsFromAnEliminatedTankWithOneDraw) {
  g.playerLife[1] = 0;
  g.tankX[1] = kFreeSlot;
  SendPyon(3, 1, 0, 0);
  Random expected = g.random;
  const int target = Int(expected.Next() * 4);
  Tick(3);
  EXPECT_EQ(g.abilityState[7], target);
  EXPECT_EQ(g.random.state(), expected.state());
  EXPECT_EQ(Frame(g.pyonFrame[3]).lookAtTarget, g.tankFrame[target]);
}

TEST_F(AttackTest, PyonDrawsEveryTickWhileEveryOtherTankIsOut) {
  g.playerLife = {0, 0, 0, 40};
  g.tankX = {kFreeSlot, kFreeSlot, kFreeSlot, 0};
  SendPyon(3, 3, 0, 0);  // a fresh pyon aims at its own tank and draws at once
  Random expected = g.random;
  for (int tick = 0; tick < 5; ++tick) {
    const int target = Int(expected.Next() * 4);
    Tick(3);
    EXPECT_EQ(g.abilityState[7], target);
  }
  EXPECT_EQ(g.random.state(), expected.state());
  EXPECT_EQ(g.playerLife[3], 40);  // its own tank is never hit
}

struct ChaseCase {
  int pyon;       // on both axes
  double target;  // tank 1 on both axes
  int expectedX, expectedZ;
};
std::ostream& operator<<(std::ostream& out, const ChaseCase& c) {
  return out << "pyon " << c.pyon << " target " << c.target;
}

class PyonChaseTest : public AttackTest, public ::testing::WithParamInterface<ChaseCase> {};

TEST_P(PyonChaseTest, StepsFiveUnitsPerAxisInTheDesignedOrder) {
  const ChaseCase c = GetParam();
  PutTank(1, c.target, c.target);
  SendPyon(0, 1, c.pyon - 500, c.pyon - 500);
  g.tankX[1] -= 500;
  g.tankZ[1] -= 500;
  Tick(0);
  EXPECT_EQ(g.abilityState[8], c.expectedX - 500);
  EXPECT_EQ(g.abilityState[12], c.expectedZ - 500);
  if (std::abs(c.target - c.expectedX) < 40 && std::abs(c.target - c.expectedZ) < 40) {
    EXPECT_TRUE(Parked(g.pyonFrame[0]));  // so close that it hits its target at once
  } else {
    EXPECT_EQ(Frame(g.pyonFrame[0]).position,
              (std::array<float, 3>{c.expectedX - 500.0f, 0, c.expectedZ - 500.0f}));
  }
  EXPECT_EQ(Frame(g.pyonFrame[0]).lookAtTarget, g.tankFrame[1]);
}

// x moves up before down, z down before up: close to the target they step differently.
INSTANTIATE_TEST_SUITE_P(Steps, PyonChaseTest,
                         ::testing::Values(ChaseCase{0, 100, 5, 5}, ChaseCase{0, -100, -5, -5},
                                           ChaseCase{0, 2, 0, 5}, ChaseCase{0, -2, -5, 0},
                                           ChaseCase{0, 0, 0, 0}, ChaseCase{3, 0.5, -2, 3}));

TEST_F(AttackTest, PyonMeetingATankAndAShotOnOneTickSpendsBoth) {
  PutTank(1, 30, 10);
  g.shotX[4] = 10;
  g.shotZ[4] = 20;
  g.shotX[6] = 25;  // exactly 20 off on x: it flies on
  g.shotZ[6] = 5;
  SendPyon(0, 1, 0, 0);
  Tick(0);  // the pyon steps to (5, 5)
  EXPECT_EQ(g.playerLife[1], 90);
  EXPECT_EQ(g.shakeTimer[0], 10);
  EXPECT_EQ(g.shakeTimer[1], 0);
  EXPECT_EQ(g.shotX[4], kFreeSlot);
  EXPECT_EQ(g.shotX[6], 25);
  EXPECT_EQ(Sounds(), (std::vector<int>{kSoundBom, kSoundPyon}));
  EXPECT_EQ(g.abilityState[0], 0);
  EXPECT_TRUE(Parked(g.pyonFrame[0]));
  EXPECT_TRUE(Parked(g.shotFrame[4]));
  EXPECT_EQ(FreeStars(), kStarSlots - 20);  // ten at the tank, ten at the shot
  Tick(0);                                  // gone: nothing more happens
  EXPECT_EQ(g.playerLife[1], 90);
}

TEST_F(AttackTest, PyonHitsAnyTankInReachNotOnlyItsTarget) {
  PutTank(2, 40, 0);  // 35 from where the pyon steps to
  SendPyon(0, 3, 0, 0);
  Tick(0);
  EXPECT_EQ(g.playerLife[2], 90);
  EXPECT_EQ(g.playerLife[3], 100);
  EXPECT_EQ(g.abilityState[0], 0);
}

}  // namespace
}  // namespace bf
