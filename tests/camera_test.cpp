// The one camera: behind a tank in play, the overview of an eliminated player, star billboards
// and the shake.

#include <gtest/gtest.h>

#include <cmath>

#include "battle/battle_local.h"
#include "core/random.h"
#include "support/battle_field.h"
#include "tanks/tanks_local.h"

namespace bf {
namespace {

class CameraTest : public test::BuiltBattle {
 protected:
  const test::FrameRecord& Camera() { return t.Frame(g.cameraFrame); }
};

TEST_F(CameraTest, APlayerInPlaySeesFrom300BehindAnd120Up) {
  g.tankX[1] = 100;
  g.tankZ[1] = -40;
  g.tankHeading[1] = 60;
  PlaceCamera(g, 1);
  const double h = 60 * 3.14 / 180;
  EXPECT_EQ(Camera().position,
            (std::array<float, 3>{static_cast<float>(100 - 300 * std::cos(h)), 120,
                                  static_cast<float>(-40 - 300 * std::sin(h))}));
  EXPECT_EQ(Camera().positionReference, kNoFrame);
  EXPECT_EQ(Camera().orientation, (std::array<float, 6>{static_cast<float>(std::cos(h)), -0.2f,
                                                        static_cast<float>(std::sin(h)), 0, 1, 0}));
  EXPECT_EQ(Camera().lookAtCalls, 0);
}

struct LeaderCase {
  std::array<std::int32_t, 4> life;
  int foxTimer;  // player 1 is the fox
  int target;    // player index, or -1 for the stage
};

TEST_F(CameraTest, AnEliminatedPlayerWatchesTheLeaderFromAbove) {
  const LeaderCase cases[] = {
      {{0, 40, 70, 10}, 0, 2},  {{0, 50, 50, 10}, 0, 2},  // equal life: the higher index
      {{0, 50, 10, 50}, 0, 3},  {{0, 90, 10, 50}, 0, 1},
      {{0, 90, 10, 50}, 3, -1},  // a cloaked fox leads: look at the stage
      {{0, 0, 0, 0}, 0, 3},      // every life at 0 still counts
  };
  for (const LeaderCase& c : cases) {
    g.playerLife = c.life;
    g.abilityState[1] = c.foxTimer;
    PlaceCamera(g, 0);
    EXPECT_EQ(Camera().position, (std::array<float, 3>{0, 250, 0}));
    EXPECT_EQ(Camera().lookAtTarget, c.target < 0 ? g.stageFrame : g.tankFrame[c.target]);
  }
}

TEST_F(CameraTest, WithNoLifeAtZeroOrMoreTheLastTargetIsKept) {
  g.playerLife = {0, 10, 20, 5};
  PlaceCamera(g, 0);
  g.playerLife = {-1, -3, -2, -4};
  PlaceCamera(g, 0);
  EXPECT_EQ(Camera().lookAtTarget, g.tankFrame[2]);
  EXPECT_EQ(Camera().position, (std::array<float, 3>{0, 250, 0}));
  // In a fresh battle that has had no leader yet, the overview looks at the stage.
  BuildBattleScene(g);
  g.playerLife = {-1, -1, -1, -1};
  PlaceCamera(g, 0);
  EXPECT_EQ(Camera().lookAtTarget, g.stageFrame);
}

TEST_F(CameraTest, EveryStarTurnsTowardTheCamera) {
  TurnStarsToCamera(g);
  for (int k = 0; k < kStarSlots; ++k) {
    EXPECT_EQ(t.scene.frames.at(g.starFrame[k]).lookAtTarget, g.cameraFrame);
    EXPECT_EQ(t.scene.frames.at(g.starFrame[k]).lookAtCalls, 1);
  }
}

TEST_F(CameraTest, AShakeJittersForExactlyItsTicksWithThreeDrawsEach) {
  g.shakeTimer[2] = 10;
  Random replay;
  for (int tick = 0; tick < 12; ++tick) {
    const int before = Camera().positionCalls;
    ShakeCamera(g, 2);
    if (tick >= 10) {
      EXPECT_EQ(Camera().positionCalls, before);
      continue;
    }
    std::array<float, 3> offset{};
    for (float& o : offset) o = static_cast<float>(std::floor(replay.Next() * 10 - 5));
    EXPECT_EQ(Camera().positionCalls, before + 1);
    EXPECT_EQ(Camera().position, offset);
    EXPECT_EQ(Camera().positionReference, g.cameraFrame);  // along its own axes
    for (float o : offset) {
      EXPECT_GE(o, -5);
      EXPECT_LE(o, 4);
    }
  }
  EXPECT_EQ(g.shakeTimer[2], 0);
  EXPECT_EQ(g.random.state(), replay.state());
}

}  // namespace
}  // namespace bf
