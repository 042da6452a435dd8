#include <gtest/gtest.h>

#include <algorithm>
#include <array>

#include "audio/sound.h"
#include "core/numeric.h"
#include "support/battle_field.h"
#include "tanks/tanks_local.h"

namespace bf {
namespace {

class ItemsTest : public test::BattleField {
 protected:
  int Played(int sound) const {
    const auto& r = g.tickRecord;
    return static_cast<int>(std::count(r.sounds.begin(), r.sounds.begin() + r.soundCount, sound));
  }
};

TEST_F(ItemsTest, LifeItemHealsUpToMaxLife) {
  struct Case {
    int life, expected;
  };
  for (const Case& c : {Case{50, 60}, Case{95, 100}, Case{100, 100}, Case{91, 100}}) {
    SCOPED_TRACE(c.life);
    g.itemX[0] = 100;
    g.itemZ[0] = -200;
    g.playerLife[1] = c.life;
    PutTank(1, 120, -160);
    MeetItemsNetsAndMines(g, 1);
    EXPECT_EQ(g.playerLife[1], c.expected);
    EXPECT_EQ(g.itemX[0], kFreeSlot);
  }
  EXPECT_EQ(Played(kSoundLife), 4);
}

TEST_F(ItemsTest, ShellItemFillsTheMagazineAndLeavesTheReloadTimerFrozen) {
  g.itemX[1] = 0;
  g.itemZ[1] = 0;
  g.shells[2] = 0;
  g.reloadTimer[2] = 17;
  PutTank(2, -49, 49);
  MeetItemsNetsAndMines(g, 2);
  EXPECT_EQ(g.shells[2], 4);
  EXPECT_EQ(g.reloadTimer[2], 17);
  EXPECT_EQ(g.itemX[1], kFreeSlot);
  EXPECT_EQ(g.playerLife[2], 100);  // the life item is the other one
  EXPECT_EQ(Played(kSoundLife), 1);
}

// Items 50, nets 60, mines 35: exactly on the edge of the box touches nothing, just inside does.
TEST_F(ItemsTest, ItemsNetsAndMinesTouchOnlyInsideTheirStrictBox) {
  enum Thing { kItem, kNet, kMine };
  struct Case {
    Thing thing;
    double dx, dz;
    bool touches;
  };
  const Case cases[] = {
      {kItem, 50, 0, false},  {kItem, -49.5, 49.5, true}, {kItem, 0, -50, false},
      {kNet, 60, 0, false},   {kNet, 59, -59, true},      {kNet, 0, 60, false},
      {kMine, -35, 0, false}, {kMine, 34.9, 34.9, true},  {kMine, 0, 35, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.thing << " " << c.dx << "," << c.dz);
    g.itemX = {kFreeSlot, kFreeSlot};
    g.netX[4] = kFreeSlot;
    g.mineX[6] = kFreeSlot;
    g.playerLife[0] = 100;
    if (c.thing == kItem) g.itemX[0] = 200;
    if (c.thing == kNet) g.netX[4] = 200;
    if (c.thing == kMine) g.mineX[6] = 200;
    g.itemZ[0] = g.netZ[4] = g.mineZ[6] = 300;
    g.netTimer[4] = 100;
    g.playerLife[0] = 90;
    PutTank(0, 200 + c.dx, 300 + c.dz);
    MeetItemsNetsAndMines(g, 0);
    const bool touched = g.playerLife[0] != 90 || g.netTimer[4] != 100;
    EXPECT_EQ(touched, c.touches);
  }
}

TEST_F(ItemsTest, EveryTankButTheSpiderIsCaughtByNets) {
  for (int type = 0; type < kTankTypes; ++type) {
    SCOPED_TRACE(type);
    g.playerCharacter[3] = type;
    g.computerDriven[3] = type % 2;
    g.netX[0] = 300;
    g.netZ[0] = 300;
    g.netTimer[0] = 100;
    g.tankSpeed[3] = 12;
    PutTank(3, 340, 255);
    MeetItemsNetsAndMines(g, 3);
    if (type == 7) {
      EXPECT_EQ(g.tankX[3], 340);
      EXPECT_EQ(g.tankSpeed[3], 12);
      EXPECT_EQ(g.netTimer[0], 100);
    } else {
      EXPECT_EQ(g.tankX[3], 300);
      EXPECT_EQ(g.tankZ[3], 300);
      EXPECT_EQ(g.tankSpeed[3], 0);
      EXPECT_EQ(g.netTimer[0], 99);
    }
  }
}

// Whatever the tank does each tick, the net pulls it back until the tick its timer reaches 0.
TEST_F(ItemsTest, CaughtTankIsHeldUntilTheNetRunsOut) {
  g.netX[2] = 100;
  g.netZ[2] = -100;
  g.netTimer[2] = 100;
  PutTank(0, 120, -80);
  for (int tick = 1; tick <= 100; ++tick) {
    g.tankSpeed[0] = 20;
    g.tankX[0] += 20;  // drives on between the tests
    MeetItemsNetsAndMines(g, 0);
    ASSERT_EQ(g.tankX[0], 100) << tick;
    ASSERT_EQ(g.tankSpeed[0], 0) << tick;
    ASSERT_EQ(g.netTimer[2], 100 - tick);
    ASSERT_EQ(g.netX[2], tick < 100 ? 100 : kFreeSlot) << tick;
  }
  EXPECT_EQ(Frame(g.netFrame[2]).position[0], -5000.0f);
  g.tankX[0] += 20;
  MeetItemsNetsAndMines(g, 0);
  EXPECT_EQ(g.tankX[0], 120);
}

TEST_F(ItemsTest, OneNetHoldsForAHundredTankTicksInAll) {
  g.netX[0] = 0;
  g.netZ[0] = 0;
  g.netTimer[0] = 100;
  PutTank(0, 10, 10);
  PutTank(1, -10, -10);  // two tanks caught at once share the timer
  int ticks = 0;
  while (g.netX[0] != kFreeSlot && ticks < 100) {
    MeetItemsNetsAndMines(g, 0);
    MeetItemsNetsAndMines(g, 1);
    ++ticks;
  }
  EXPECT_EQ(ticks, 50);
}

TEST_F(ItemsTest, TwoMinesUnderOneTankBothGoOff) {
  g.mineX[2] = 400;
  g.mineZ[2] = 0;
  g.mineX[9] = 410;
  g.mineZ[9] = 10;
  g.mineX[5] = 500;  // out of reach
  g.mineZ[5] = 0;
  PutTank(1, 405, 5);
  MeetItemsNetsAndMines(g, 1);
  EXPECT_EQ(g.playerLife[1], 60);
  EXPECT_EQ(g.mineX[2], kFreeSlot);
  EXPECT_EQ(g.mineX[9], kFreeSlot);
  EXPECT_EQ(g.mineX[5], 500);
  EXPECT_EQ(Played(kSoundBom), 2);
  EXPECT_EQ(g.shakeTimer[1], 10);
  EXPECT_EQ(Frame(g.mineFrame[2]).position[0], -5000.0f);
  EXPECT_EQ(Frame(g.mineFrame[9]).position[0], -5000.0f);
  EXPECT_EQ(Frame(g.mineFrame[5]).positionCalls, 0);
}

// The first mine eliminates the tank and parks it far away: the second one stays.
TEST_F(ItemsTest, MineThatEliminatesTheTankSparesTheNextOne) {
  g.mineX[0] = 100;
  g.mineZ[0] = 100;
  g.mineX[1] = 100;
  g.mineZ[1] = 100;
  g.playerLife[0] = 15;
  PutTank(0, 100, 100);
  MeetItemsNetsAndMines(g, 0);
  EXPECT_EQ(g.playerLife[0], 0);
  EXPECT_EQ(g.tankX[0], kFreeSlot);
  EXPECT_EQ(g.mineX[0], kFreeSlot);
  EXPECT_EQ(g.mineX[1], 100);
  EXPECT_EQ(Played(kSoundBom), 1);
  EXPECT_EQ(std::count(g.starX.begin(), g.starX.end(), kFreeSlot), 0) << "the large burst";
}

TEST_F(ItemsTest, MineBurstThrowsTenStars) {
  g.mineX[3] = -200;
  g.mineZ[3] = 0;
  PutTank(2, -200, 0);
  MeetItemsNetsAndMines(g, 2);
  EXPECT_EQ(g.playerLife[2], 80);
  EXPECT_EQ(std::count(g.starX.begin(), g.starX.end(), -200), 10);
  EXPECT_EQ(g.burstCount, 0);
}

TEST_F(ItemsTest, MinesSpareEveryTypeNineTank) {
  g.playerCharacter[2] = 9;
  g.mineX[0] = -100;
  g.mineZ[0] = -100;
  PutTank(2, -100, -100);
  MeetItemsNetsAndMines(g, 2);
  EXPECT_EQ(g.mineX[0], -100);
  EXPECT_EQ(g.playerLife[2], 100);
  EXPECT_EQ(g.tickRecord.soundCount, 0);
}

// Slots are met in order, net before mine, at the tank's position as it is then: a net that
// pulls the tank onto a later mine sets that mine off; an earlier mine is not looked at again.
TEST_F(ItemsTest, NetPullsTheTankOntoALaterMine) {
  g.mineX[1] = 0;
  g.mineZ[1] = 0;
  g.netX[3] = 0;
  g.netZ[3] = 0;
  g.netTimer[3] = 100;
  g.mineX[7] = 0;
  g.mineZ[7] = 0;
  PutTank(0, 50, 0);
  MeetItemsNetsAndMines(g, 0);
  EXPECT_EQ(g.mineX[1], 0);
  EXPECT_EQ(g.mineX[7], kFreeSlot);
  EXPECT_EQ(g.playerLife[0], 80);
}

TEST_F(ItemsTest, ItemInsideAWallIsTakenAway) {
  g.wallX[5] = 0;
  g.wallZ[5] = 0;
  g.wallWidth[5] = 100;
  g.wallDepth[5] = 100;
  struct Case {
    int x, z;
    bool kept;
  };
  for (const Case& c : {Case{50, 50, false}, Case{1, 99, false}, Case{0, 50, true},
                        Case{100, 50, true}, Case{50, 100, true}, Case{-300, 20, true}}) {
    SCOPED_TRACE(testing::Message() << c.x << "," << c.z);
    g.itemX[1] = c.x;
    g.itemZ[1] = c.z;
    KeepItemOutOfWalls(g, 1);
    EXPECT_EQ(g.itemX[1], c.kept ? c.x : kFreeSlot);
  }
}

// Each absent item draws once per player step; one draw in 1000 places it with two more draws.
// A wall over the whole field takes every placed item away again, so the draws go on.
TEST_F(ItemsTest, AbsentItemsDrawInOrderAndAWallTakesThemAway) {
  g.wallX[0] = -1000;
  g.wallZ[0] = -1000;
  g.wallWidth[0] = 2000;
  g.wallDepth[0] = 2000;
  Random expected;
  int placements = 0;
  for (int step = 0; step < 5000; ++step) {
    RespawnAndSpinItems(g);
    for (int k = 0; k < kItems; ++k) {
      if (Int(expected.Next() * 1000) == 0) {
        ++placements;
        expected.Next();
        expected.Next();
      }
    }
    ASSERT_EQ(g.random.state(), expected.state()) << step;
    ASSERT_EQ(g.itemX[0], kFreeSlot);
    ASSERT_EQ(g.itemX[1], kFreeSlot);
  }
  EXPECT_GT(placements, 0);
  EXPECT_EQ(Frame(g.itemFrame[0]).position[0], -5000.0f);
  EXPECT_EQ(Frame(g.itemFrame[1]).positionCalls, 5000);
}

TEST_F(ItemsTest, ItemComesBackWithinTheFieldAndIsDrawnThere) {
  Random expected;
  std::array<int, kItems> x{kFreeSlot, kFreeSlot}, z{};
  for (int step = 0; step < 10000 && g.itemX[0] == kFreeSlot; ++step) {
    RespawnAndSpinItems(g);
    for (int k = 0; k < kItems; ++k) {
      if (x[k] != kFreeSlot || Int(expected.Next() * 1000) != 0) continue;
      x[k] = Int(expected.Next() * 1200 - 600);
      z[k] = Int(expected.Next() * 1200 - 600);
    }
    ASSERT_EQ(g.itemX, x);
    ASSERT_EQ(g.itemZ[0], z[0]);
  }
  ASSERT_NE(g.itemX[0], kFreeSlot);
  EXPECT_GE(x[0], -600);
  EXPECT_LE(x[0], 599);
  const test::FrameRecord& frame = Frame(g.itemFrame[0]);
  EXPECT_EQ(frame.position[0], static_cast<float>(x[0]));
  EXPECT_EQ(frame.position[1], 0.0f);
  EXPECT_EQ(frame.position[2], static_cast<float>(z[0]));
  EXPECT_EQ(frame.positionReference, kNoFrame);
  // Every step turns the item about its own vertical axis.
  EXPECT_EQ(frame.orientationReference, g.itemFrame[0]);
  EXPECT_EQ(frame.orientation, (std::array<float, 6>{0.1f, 0, 0.005f, 0, 1, 0}));
  EXPECT_EQ(frame.orientationCalls, frame.positionCalls);
  // A present item draws nothing.
  const auto before = g.random.state();
  g.itemX[1] = 7;
  RespawnAndSpinItems(g);
  EXPECT_EQ(g.random.state(), before);
}

}  // namespace
}  // namespace bf
