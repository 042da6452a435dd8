// Shots, stars and movers moving by themselves, and the spark a shell throws at a wall.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <vector>

#include "audio/sound.h"
#include "battle/battle_local.h"
#include "core/random.h"
#include "support/test_game.h"

namespace bf {
namespace {

class WorldSlotsTest : public ::testing::Test {
 protected:
  void Build(int stage) {
    g.playerCharacter = {0, 0, 0, 0};
    g.stageIndex = stage;
    BuildBattleScene(g);
    LoadSoundEffects(g);
    g.tickRecord.soundCount = 0;
  }
  void Fire(int s, double x, double z, double dx, double dz) {
    g.shotX[s] = x;
    g.shotZ[s] = z;
    g.shotDX[s] = dx;
    g.shotDZ[s] = dz;
  }
  const test::FrameRecord& Frame(FrameId id) { return t.Frame(id); }
  std::vector<int> Sounds() { return t.Sounds(); }

  test::TestGame t;
  Game& g = *t.game;
};

TEST_F(WorldSlotsTest, ShotsStayInFlightAt800AndAreClearedBeyond) {
  Build(1);
  struct Case {
    double x, z, dx, dz;
    bool cleared;
  };
  const Case cases[] = {
      {790, 0, 10, 0, false},  {790, 0, 10.5, 0, true}, {0, -770, 0, -30, false},
      {0, -771, 0, -30, true}, {-799, 5, -1, 0, false}, {0, 799.5, 0.5, 1, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.x << "," << c.z);
    Fire(7, c.x, c.z, c.dx, c.dz);
    StepShots(g);
    const auto& frame = Frame(g.shotFrame[7]);
    if (c.cleared) {
      EXPECT_EQ(g.shotX[7], -5000);
      EXPECT_EQ(g.shotZ[7], 0);
      EXPECT_EQ(g.shotDX[7], 0);
      EXPECT_EQ(g.shotDZ[7], 0);
      EXPECT_EQ(frame.position, (std::array<float, 3>{-5000, 30, 0}));
    } else {
      EXPECT_EQ(g.shotX[7], c.x + c.dx);
      EXPECT_EQ(g.shotZ[7], c.z + c.dz);
      EXPECT_EQ(frame.position, (std::array<float, 3>{static_cast<float>(c.x + c.dx), 30,
                                                      static_cast<float>(c.z + c.dz)}));
    }
  }
  EXPECT_TRUE(Sounds().empty());
}

TEST_F(WorldSlotsTest, FreeShotSlotsAreLeftAlone) {
  Build(1);
  g.shotDX[3] = 30;
  const int calls = Frame(g.shotFrame[3]).positionCalls;
  StepShots(g);
  EXPECT_EQ(g.shotX[3], -5000);
  EXPECT_EQ(Frame(g.shotFrame[3]).positionCalls, calls);
}

TEST_F(WorldSlotsTest, RingWallsStopShotsWithASparkAndTheDamSound) {
  Build(2);
  // Into wall 0 (x -470..-340, z -470..-110).
  Fire(2, -499.5, -200.5, 30, 0);
  Random replay;
  const int dx = static_cast<int>(std::floor(replay.Next() * 10 - 5));
  const int dz = static_cast<int>(std::floor(replay.Next() * 10 - 5));
  StepShots(g);
  EXPECT_EQ(g.shotX[2], -5000);
  EXPECT_EQ(g.shotZ[2], -200.5);  // the other three values stay
  EXPECT_EQ(g.shotDX[2], 30);
  EXPECT_EQ(Frame(g.shotFrame[2]).position, (std::array<float, 3>{-5000, 30, -200.5f}));
  EXPECT_EQ(Sounds(), std::vector<int>{kSoundDam});
  // The star starts at the shot, rounded half to even: -469.5 -> -470, -200.5 -> -200.
  EXPECT_EQ(g.starX[0], -470);
  EXPECT_EQ(g.starZ[0], -200);
  EXPECT_EQ(g.starY[0], 20);
  EXPECT_EQ(g.starDY[0], 11);
  EXPECT_EQ(g.starDX[0], dx);
  EXPECT_EQ(g.starDZ[0], dz);
  EXPECT_EQ(g.random.state(), replay.state());
  EXPECT_EQ(g.starX[1], -5000);
}

TEST_F(WorldSlotsTest, WallEdgesAreNotInsideTheWall) {
  Build(2);
  Fire(0, -500, -200, 30, 0);  // lands on x = -470 exactly
  StepShots(g);
  EXPECT_EQ(g.shotX[0], -470);
  EXPECT_TRUE(Sounds().empty());
}

TEST_F(WorldSlotsTest, ShotsFlyThroughTheCornerSquaresOfStageIndex3) {
  Build(3);
  Fire(0, 400, 400, 30, 0);
  StepShots(g);
  EXPECT_EQ(g.shotX[0], 430);
  EXPECT_TRUE(Sounds().empty());
  EXPECT_EQ(g.starX[0], -5000);
}

TEST_F(WorldSlotsTest, AWallHitWithEveryStarBusyStillRemovesTheShot) {
  Build(2);
  for (int k = 0; k < kStarSlots; ++k) g.starX[k] = k;
  Fire(0, -500, -200, 40, 0);
  const std::uint32_t before = g.random.state();
  StepShots(g);
  EXPECT_EQ(g.shotX[0], -5000);
  EXPECT_EQ(Sounds(), std::vector<int>{kSoundDam});
  EXPECT_EQ(g.random.state(), before);  // no star, no draw
  for (int k = 0; k < kStarSlots; ++k) EXPECT_EQ(g.starX[k], k);
}

TEST_F(WorldSlotsTest, AStarRisesFallsAndIsFreedOnIts26thTick) {
  Build(1);
  g.starX[4] = 100;
  g.starY[4] = 20;
  g.starZ[4] = -50;
  g.starDX[4] = -5;
  g.starDY[4] = 11;
  g.starDZ[4] = 4;
  for (int tick = 1; tick <= 25; ++tick) {
    StepStars(g);
    if (tick == 10) {
      EXPECT_EQ(g.starY[4], 75);
    }
    ASSERT_NE(g.starX[4], -5000) << tick;
  }
  EXPECT_EQ(g.starY[4], -15);
  EXPECT_EQ(g.starDY[4], -9);  // the fall speed stops growing at 9
  EXPECT_EQ(g.starX[4], 100 - 5 * 25);
  EXPECT_EQ(g.starZ[4], -50 + 4 * 25);
  EXPECT_EQ(Frame(g.starFrame[4]).position, (std::array<float, 3>{-25, -15, 50}));
  StepStars(g);
  EXPECT_EQ(g.starY[4], -24);
  EXPECT_EQ(g.starX[4], -5000);
  EXPECT_EQ(Frame(g.starFrame[4]).position, (std::array<float, 3>{-5000, 0, 0}));
}

TEST_F(WorldSlotsTest, ASparkIsPlacedByTheStarsStepOfTheSameTick) {
  Build(2);
  g.playerLife = {0, 0, 0, 0};  // nobody drives; only the pools move
  Fire(0, -500, -200, 40, 0);
  RunBattleTick(g);
  EXPECT_EQ(g.starY[0], 30);
  EXPECT_EQ(Frame(g.starFrame[0]).position[1], 30);
}

TEST_F(WorldSlotsTest, MoversWrapAroundTheirLoop) {
  Build(4);
  int firstWrap[4] = {0, 0, 0, 0};
  for (int step = 1; step <= 400; ++step) {
    const std::array<std::int32_t, 4> before = g.moverX;
    StepMovers(g);
    for (int m = 0; m < 4; ++m) {
      if (firstWrap[m] == 0 && std::abs(g.moverX[m] - before[m]) != 10) firstWrap[m] = step;
      // A mover never stands at the far end of its run.
      EXPECT_NE(g.moverX[m], m < 2 ? 2180 : -2180);
    }
  }
  EXPECT_EQ(firstWrap[0], 109);
  EXPECT_EQ(firstWrap[1], 327);
  EXPECT_EQ(firstWrap[2], 327);
  EXPECT_EQ(firstWrap[3], 109);
  g.moverX[0] = 2170;
  g.moverX[2] = -2170;
  StepMovers(g);
  EXPECT_EQ(g.moverX[0], -2180);
  EXPECT_EQ(g.moverX[2], 2180);
  EXPECT_EQ(Frame(g.moverFrame[0]).position, (std::array<float, 3>{-2180, 0, 440}));
  EXPECT_EQ(Frame(g.moverFrame[3]).position[2], -440);
}

TEST_F(WorldSlotsTest, MoversRunOnlyOnStageIndex4) {
  Build(4);
  g.stageIndex = 4;
  g.playerLife = {0, 0, 0, 0};
  RunBattleTick(g);
  EXPECT_EQ(g.moverX[0], 1100);
  Build(1);
  g.moverX = {5, 5, 5, 5};
  g.playerLife = {0, 0, 0, 0};
  RunBattleTick(g);
  EXPECT_EQ(g.moverX[0], 5);
}

}  // namespace
}  // namespace bf
