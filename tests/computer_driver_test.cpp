
#include <gtest/gtest.h>

#include "core/numeric.h"
#include "support/test_game.h"
#include "tanks/tanks_local.h"

namespace bf {
namespace {

// Player 1, computer-driven, stands at the centre heading along +x; the others are out of sight.
class ComputerDriverTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g.computerDriven = {0, 1, 0, 0};
    g.itemX.fill(kFreeSlot);
    g.tankX = {kFreeSlot, 0, kFreeSlot, kFreeSlot};
    g.tankZ = {0, 0, 0, 0};
    g.tankHeading[1] = 0;
    g.shells = {4, 4, 4, 4};
    g.maxShells = {4, 4, 4, 4};
    g.aiSearch[1] = 1;
  }
  // A plan that keeps the driver from drawing one of its own.
  void Busy() {
    g.aiTurn[1] = 30;
    g.aiDrive[1] = -50;
    g.aiSearch[1] = 0;
  }
  test::TestGame t;
  Game& g = *t.game;
};

TEST_F(ComputerDriverTest, EmptyMagazineNeverFiresButAFullOneDoes) {
  struct Case {
    int shells;
    bool fires;
  };
  for (const Case& c : {Case{0, false}, Case{1, true}}) {
    SCOPED_TRACE(c.shells);
    g.shells[1] = c.shells;
    g.tankX[0] = 600;  // in line, for every tick
    bool fired = false;
    for (int tick = 0; tick < 200; ++tick) {
      Busy();
      RunComputerDriver(g, 1);
      if (g.fireState[1] != 0) fired = true;
      if (c.shells == 0) {
        ASSERT_EQ(g.aiDrive[1], -49) << "the plan is kept";
      }
    }
    EXPECT_EQ(fired, c.fires);
  }
}

// The probe steps at 50, 100, ... 2500 ahead; a tank 300 ahead fills the steps at 250, 300 and
// 350 (strictly within 75), and every such step draws twice: ability, then gun.
TEST_F(ComputerDriverTest, EveryProbeStepOnATankDrawsForAbilityThenGun) {
  g.tankX[3] = 300;
  g.tankZ[3] = 20;
  Random expected;
  int abilities = 0, guns = 0;
  for (int tick = 0; tick < 400; ++tick) {
    Busy();
    g.shells[1] = tick % 2 == 0 ? 4 : 3;
    int fire = 0;
    for (int step = 0; step < 3; ++step) {
      if (Int(expected.Next() * 12) == 0 && g.shells[1] == 4) fire = 2;
      if (Int(expected.Next() * 10) == 0) fire = 1;
    }
    RunComputerDriver(g, 1);
    ASSERT_EQ(g.random.state(), expected.state()) << tick;
    ASSERT_EQ(g.fireState[1], fire) << tick;
    if (fire != 0) {
      EXPECT_EQ(g.aiTurn[1], 0);
      EXPECT_EQ(g.aiDrive[1], -4);
      EXPECT_EQ(g.steerInput[1], 0);
    }
    abilities += fire == 2;
    guns += fire == 1;
  }
  EXPECT_GT(abilities, 0);
  EXPECT_GT(guns, 0);
}

TEST_F(ComputerDriverTest, ItemInLineMakesItRunStraightOntoIt) {
  struct Case {
    int x, z;
  };
  for (const Case& c : {Case{1000, 0}, Case{2530, 40}, Case{1000, 50}, Case{-300, 0}, Case{2600, 0},
                        Case{0, 800}}) {
    SCOPED_TRACE(testing::Message() << c.x << "," << c.z);
    Busy();
    g.itemX[1] = c.x;
    g.itemZ[1] = c.z;
    RunComputerDriver(g, 1);
    const bool inLine = c.x > 0 && c.x < 2550 && c.z < 50;
    EXPECT_EQ(g.steerInput[1], inLine ? 0 : 1);
    EXPECT_EQ(g.throttleInput[1], -1);
    EXPECT_EQ(g.aiTurn[1], inLine ? 0 : 29);
    EXPECT_EQ(g.aiDrive[1], inLine ? -4 : -49);
  }
}

// A wall across the line of sight hides the items behind it (a run at one would be renewed for
// ever while the wall holds the tank back), but not the tanks: those still draw fire.
TEST_F(ComputerDriverTest, WallInLineHidesItemsBehindItButNotTanks) {
  g.wallX[5] = 300;  // the probe enters it at the step 350 ahead
  g.wallWidth[5] = 100;
  g.wallZ[5] = -100;
  g.wallDepth[5] = 200;
  struct Case {
    int itemX;
    bool runs;
  };
  for (const Case& c : {Case{200, true}, Case{330, true}, Case{1000, false}}) {
    SCOPED_TRACE(c.itemX);
    Busy();
    g.itemX[0] = c.itemX;
    g.itemZ[0] = 0;
    RunComputerDriver(g, 1);
    EXPECT_EQ(g.aiTurn[1], c.runs ? 0 : 29);
    EXPECT_EQ(g.aiDrive[1], c.runs ? -4 : -49);
  }
  g.itemX[0] = kFreeSlot;
  g.tankX[3] = 1000;
  Random expected;
  for (int step = 0; step < 3; ++step) {  // the steps at 950, 1000 and 1050 each draw twice
    expected.Next();
    expected.Next();
  }
  Busy();
  RunComputerDriver(g, 1);
  EXPECT_EQ(g.random.state(), expected.state());
}

// The straight run is renewed every tick while the item stays in line: the tank reaches it.
TEST_F(ComputerDriverTest, RunIsRenewedTickAfterTick) {
  g.itemX[0] = 900;
  g.itemZ[0] = 0;
  for (int tick = 0; tick < 60; ++tick) {
    RunComputerDriver(g, 1);
    ASSERT_EQ(g.throttleInput[1], -1);
    ASSERT_EQ(g.steerInput[1], 0);
    ASSERT_EQ(g.aiSearch[1], 0);
    g.tankX[1] += 15;  // as the driving stages would move it
  }
  EXPECT_GT(g.tankX[1], 850);
}

// Once KeepInField has cleared the drive at the edge and the turn is used up, the next tick
// draws a new plan: turn, then drive, then the chance of a search.
TEST_F(ComputerDriverTest, DrawsANewPlanOnceTurnAndDriveAreUsedUp) {
  Random expected;
  g.aiSearch[1] = 0;
  g.aiTurn[1] = 2;
  g.aiDrive[1] = 0;
  RunComputerDriver(g, 1);
  RunComputerDriver(g, 1);
  EXPECT_EQ(g.random.state(), expected.state()) << "no plan while the turn lasts";
  EXPECT_EQ(g.aiTurn[1], 0);
  EXPECT_EQ(g.throttleInput[1], 0);

  for (int plan = 0; plan < 50; ++plan) {
    SCOPED_TRACE(plan);
    const int turn = Int(expected.Next() * 60 - 30);
    const int drive = Int(expected.Next() * 15 - 50);
    const bool search = Int(expected.Next() * 4) == 0;
    g.aiTurn[1] = 0;
    g.aiDrive[1] = 0;
    g.aiSearch[1] = 0;
    RunComputerDriver(g, 1);
    ASSERT_EQ(g.random.state(), expected.state());
    EXPECT_GE(turn, -30);
    EXPECT_LE(turn, 29);
    EXPECT_EQ(g.aiTurn[1], turn - (turn > 0) + (turn < 0));
    EXPECT_EQ(g.steerInput[1], (turn > 0) - (turn < 0));
    EXPECT_EQ(g.aiDrive[1], drive + 1);
    EXPECT_EQ(g.throttleInput[1], -1);
    EXPECT_EQ(g.aiSearch[1], search ? 1 : 0);
  }
}

// A searching tank keeps drawing until a draw gives a left spin of 100 ticks.
TEST_F(ComputerDriverTest, SearchSpinsLeftForAHundredTicks) {
  Random expected;
  int draws = 0;
  while (g.aiTurn[1] == 0 && draws < 100) {
    const int spin = Int(expected.Next() * 2 - 1) * 100;
    ++draws;
    RunComputerDriver(g, 1);
    ASSERT_EQ(g.random.state(), expected.state());
    ASSERT_EQ(g.aiTurn[1], spin == 0 ? 0 : -99);
    ASSERT_EQ(g.throttleInput[1], 0);
  }
  ASSERT_EQ(g.aiTurn[1], -99);
  EXPECT_EQ(g.steerInput[1], -1);
  for (int tick = 0; tick < 99; ++tick) {
    RunComputerDriver(g, 1);
    ASSERT_EQ(g.steerInput[1], -1);
  }
  EXPECT_EQ(g.aiTurn[1], 0);
  EXPECT_EQ(g.aiSearch[1], 1) << "only the look-ahead ends a search";
}

// Driven into the field edge: KeepInField clears the drive, the turn runs out, and the tick after
// that a new plan is drawn.
TEST_F(ComputerDriverTest, FieldEdgeEndsThePlanAndANewOneFollows) {
  g.playerLife = {100, 100, 100, 100};
  g.wallX.fill(kFreeSlot);
  g.tankX[1] = 740;
  g.tankSpeed[1] = 18;
  g.aiSearch[1] = 0;
  g.aiTurn[1] = 0;
  g.aiDrive[1] = -30;
  Random expected;
  RunComputerDriver(g, 1);
  EXPECT_EQ(g.aiDrive[1], -29);
  StepTankX(g, 1);
  EXPECT_EQ(g.tankX[1], 750);
  EXPECT_EQ(g.aiDrive[1], 0);
  EXPECT_EQ(g.random.state(), expected.state());
  const int turn = Int(expected.Next() * 60 - 30);
  const int drive = Int(expected.Next() * 15 - 50);
  expected.Next();
  RunComputerDriver(g, 1);
  EXPECT_EQ(g.random.state(), expected.state());
  EXPECT_EQ(g.aiDrive[1], drive + 1);
  EXPECT_EQ(g.aiTurn[1], turn - (turn > 0) + (turn < 0));
}

TEST_F(ComputerDriverTest, ParkedTankIsNeverSeen) {
  g.tankX[1] = -750;
  g.tankHeading[1] = 180;
  g.tankX[2] = kFreeSlot;
  g.tankZ[2] = 0;
  for (int tick = 0; tick < 200; ++tick) {
    Busy();
    const auto before = g.random.state();
    RunComputerDriver(g, 1);
    ASSERT_EQ(g.random.state(), before);
    ASSERT_EQ(g.fireState[1], 0);
  }
}

}  // namespace
}  // namespace bf
