// Steering, throttle, the axis steps and the collisions of a tank in play.

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "battle/battle.h"
#include "battle/battle_local.h"
#include "support/battle_field.h"
#include "tanks/tanks_local.h"

namespace bf {
namespace {

class DrivingTest : public test::BuiltBattle {
 protected:
  DrivingTest() {
    // Park the other tanks out of the way unless a case puts them back.
    for (int p = 1; p < kPlayers; ++p) g.tankX[p] = -5000;
  }
  // One drive of tank 0 along both axes, as the player step makes it.
  void Drive(int p = 0) {
    StepTankX(g, p);
    StepTankZ(g, p);
  }
  void Place(int p, double x, double z, int heading, int speed) {
    g.tankX[p] = x;
    g.tankZ[p] = z;
    g.tankHeading[p] = heading;
    g.tankSpeed[p] = speed;
  }
};

TEST_F(DrivingTest, LeftTurnsWrapPast360AndRightTurnsPastZero) {
  struct Case {
    int start, steer;
    std::vector<int> headings;
  };
  const Case cases[] = {
      {356, -1, {360, 0, 4}},
      {4, 1, {0, 360, 356}},
      {355, -1, {359, 0, 4}},  // 363 is replaced by 0
      {100, 0, {100, 100}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.start);
    g.tankHeading[0] = c.start;
    g.steerInput[0] = c.steer;
    for (int expected : c.headings) {
      SteerTank(g, 0);
      EXPECT_EQ(g.tankHeading[0], expected);
    }
  }
}

TEST_F(DrivingTest, ThrottleRisesToTopSpeedReversesToHalfAndReleasesToZero) {
  struct Case {
    int maxSpeed, reverseLimit;
  };
  for (const Case c : {Case{18, -9}, Case{25, -13}, Case{10, -5}, Case{19, -10}}) {
    SCOPED_TRACE(c.maxSpeed);
    g.maxSpeed[0] = c.maxSpeed;
    g.tankSpeed[0] = 0;
    g.throttleInput[0] = -1;
    for (int i = 0; i < 40; ++i) ApplyThrottle(g, 0);
    EXPECT_EQ(g.tankSpeed[0], c.maxSpeed);
    g.throttleInput[0] = 1;
    for (int i = 0; i < 80; ++i) ApplyThrottle(g, 0);
    EXPECT_EQ(g.tankSpeed[0], c.reverseLimit);
    g.throttleInput[0] = 0;
    ApplyThrottle(g, 0);
    EXPECT_EQ(g.tankSpeed[0], c.reverseLimit + 1);  // one step at a time
    for (int i = 0; i < 20; ++i) ApplyThrottle(g, 0);
    EXPECT_EQ(g.tankSpeed[0], 0);
  }
  g.tankSpeed[0] = 3;
  ApplyThrottle(g, 0);
  EXPECT_EQ(g.tankSpeed[0], 2);
}

TEST_F(DrivingTest, TheTankBobsWhileAnyDriveInputIsHeld) {
  g.tankBob[0] = 0;
  g.steerInput[0] = 1;
  BobTank(g, 0);
  EXPECT_EQ(g.tankBob[0], 1);
  g.steerInput[0] = 0;
  g.throttleInput[0] = -1;
  BobTank(g, 0);
  EXPECT_EQ(g.tankBob[0], 0);
  BobTank(g, 0);
  EXPECT_EQ(g.tankBob[0], 1);
  g.throttleInput[0] = 0;
  BobTank(g, 0);
  EXPECT_EQ(g.tankBob[0], 0);
}

TEST_F(DrivingTest, StepsFollowTheHeadingWithRadiansOf314) {
  Place(0, 0, 0, 30, 20);
  Drive();
  EXPECT_EQ(g.tankX[0], 0 + 20 * std::cos(30 * 3.14 / 180));
  EXPECT_EQ(g.tankZ[0], 0 + 20 * std::sin(30 * 3.14 / 180));
  // With 3.14 a heading of 180 is not exactly backwards: z drifts a little.
  Place(0, 0, 0, 180, 10);
  Drive();
  EXPECT_GT(g.tankZ[0], 0.0);
}

TEST_F(DrivingTest, TheFieldEdgeHoldsOneAxisWhileTheOtherSlides) {
  Place(0, 740, 0, 45, 20);
  g.aiDrive[0] = 5;
  double z = 0;
  for (int i = 0; i < 3; ++i) {
    Drive();
    z += 20 * std::sin(45 * 3.14 / 180);
    EXPECT_EQ(g.tankX[0], 750.0);
    EXPECT_DOUBLE_EQ(g.tankZ[0], z);
  }
  EXPECT_EQ(g.tankSpeed[0], 20);
  EXPECT_EQ(g.aiDrive[0], 0);
  Place(0, -745, -745, 225, 20);
  Drive();
  EXPECT_EQ(g.tankX[0], -750.0);
  EXPECT_EQ(g.tankZ[0], -750.0);
}

TEST_F(DrivingTest, AnotherTanksBoxIsStrictAt70Units) {
  struct Case {
    int speed;
    double expectedX;
  };
  // Tank 1 stands at x = 100: tank 0 may come to x = 30 exactly, not one unit closer.
  for (const Case c : {Case{30, 30}, Case{31, 0}, Case{29, 29}}) {
    SCOPED_TRACE(c.speed);
    Place(0, 0, 0, 0, c.speed);
    Place(1, 100, 0, 0, 0);
    g.aiDrive[0] = 5;
    Drive();
    EXPECT_EQ(g.tankX[0], c.expectedX);
    EXPECT_EQ(g.tankZ[0], 0.0);
    EXPECT_EQ(g.aiDrive[0], 5);  // only edges and walls end the computer's run
  }
  // Exactly 70 apart on z counts as outside the box too.
  Place(0, 0, 0, 0, 20);
  Place(1, 10, 70, 0, 0);
  Drive();
  EXPECT_EQ(g.tankX[0], 20.0);
}

TEST_F(DrivingTest, ATankBlockedOnOneAxisSlidesAlongTheOther) {
  // Tank 1 is more than 70 away on z until the z step: only that step is held back.
  Place(0, 0, 0, 45, 20);
  Place(1, 60, 80, 0, 0);
  const double step = 20 * std::cos(45 * 3.14 / 180);
  Drive();
  EXPECT_EQ(g.tankX[0], step);
  EXPECT_EQ(g.tankZ[0], 0.0);  // z would enter the box: held
}

TEST_F(DrivingTest, ATankAlreadyInsideAnotherTanksBoxMayDriveOut) {
  // A net pulled tank 0 onto tank 1: it leaves in either direction, and tank 1 may leave too.
  for (const int heading : {0, 180}) {
    SCOPED_TRACE(heading);
    Place(0, 0, 0, heading, 20);
    Place(1, 10, 10, 0, 20);
    Drive(0);
    EXPECT_EQ(g.tankX[0], 20 * std::cos(heading * 3.14 / 180));
    Drive(1);
    EXPECT_EQ(g.tankX[1], 30.0);
  }
  // Once outside, the box holds it again.
  Place(0, -61, 0, 0, 20);
  Place(1, 10, 0, 0, 0);
  Drive(0);
  EXPECT_EQ(g.tankX[0], -61.0);
}

TEST_F(DrivingTest, AnEliminatedTankParkedOutsideNoLongerBlocks) {
  Place(0, 0, 0, 0, 20);
  Place(1, -5000, 0, 0, 0);
  Drive();
  EXPECT_EQ(g.tankX[0], 20.0);
}

TEST_F(DrivingTest, WallsHoldTheTankBackAndEndTheComputersRun) {
  g.stageIndex = 2;
  BuildBattleScene(g);
  for (int p = 1; p < kPlayers; ++p) g.tankX[p] = -5000;
  // Wall 0 spans x -470..-340: from x = -480 heading 0, a step of 20 enters it.
  Place(0, -490, -300, 0, 20);
  g.aiDrive[0] = 5;
  Drive();
  EXPECT_EQ(g.tankX[0], -470.0);  // exactly on the edge: outside (strict)
  EXPECT_EQ(g.aiDrive[0], 5);
  Drive();
  EXPECT_EQ(g.tankX[0], -470.0);
  EXPECT_EQ(g.aiDrive[0], 0);
  // At an angle it slides along the wall on z.
  Place(0, -480, -300, 45, 20);
  Drive();
  EXPECT_EQ(g.tankX[0], -480.0);
  EXPECT_DOUBLE_EQ(g.tankZ[0], -300 + 20 * std::sin(45 * 3.14 / 180));
}

TEST_F(DrivingTest, Stage5BandsDriftTheTankSideways) {
  g.stageIndex = 4;
  BuildBattleScene(g);
  for (int p = 1; p < kPlayers; ++p) g.tankX[p] = -5000;
  struct Case {
    double z, drift;
  };
  for (const Case c : {Case{400, 10}, Case{524, 10}, Case{350, 0}, Case{525, 0}, Case{-400, -10},
                       Case{-351, -10}, Case{-350, 0}, Case{0, 0}}) {
    SCOPED_TRACE(c.z);
    Place(0, 0, c.z, 0, 0);
    Drive();
    EXPECT_EQ(g.tankX[0], c.drift);
    EXPECT_EQ(g.tankZ[0], c.z);
  }
  // Drifting stops at the field edge.
  Place(0, 745, 400, 0, 0);
  Drive();
  EXPECT_EQ(g.tankX[0], 750.0);
  // Other stages have no drift.
  g.stageIndex = 3;
  Place(0, 0, 400, 0, 0);
  Drive();
  EXPECT_EQ(g.tankX[0], 0.0);
}

TEST_F(DrivingTest, ADriftIntoAnotherTankIsUndone) {
  g.stageIndex = 4;
  Place(0, 0, 400, 0, 0);
  Place(1, 75, 400, 0, 0);
  Drive();
  EXPECT_EQ(g.tankX[0], 0.0);
}

TEST_F(DrivingTest, AnEliminatedTankIsNotKeptInTheField) {
  Place(0, 900, -900, 0, 0);
  g.playerLife[0] = 0;
  Drive();
  EXPECT_EQ(g.tankX[0], 900.0);
  EXPECT_EQ(g.tankZ[0], -900.0);
}

TEST_F(DrivingTest, TheTankFrameFacesAwayFromTheDirectionOfTravel) {
  Place(0, 12.5, -40.25, 90, 0);
  g.tankBob[0] = 1;
  PlaceTankFrame(g, 0);
  const test::FrameRecord& frame = t.scene.frames.at(g.tankFrame[0]);
  EXPECT_EQ(frame.position, (std::array<float, 3>{12.5f, 1, -40.25f}));
  EXPECT_EQ(frame.positionReference, kNoFrame);
  const double h = 90 * 3.14 / 180;
  EXPECT_EQ(frame.orientation, (std::array<float, 6>{static_cast<float>(-std::cos(h)), 0,
                                                     static_cast<float>(-std::sin(h)), 0, 1, 0}));
}

}  // namespace
}  // namespace bf
