// Star bursts at a hit tank and at a used-up shot, and the elimination of a tank.
#include "battle/star_bursts.h"

#include <gtest/gtest.h>

#include <functional>

#include "core/game.h"
#include "core/numeric.h"
#include "core/random.h"
#include "support/battle_field.h"

namespace bf {
namespace {

// Tank 2 is the one the bursts are thrown at.
struct StarBurstTest : test::BattleField {
  StarBurstTest() { PutTank(kQ, 100.5, -7.5); }
  // Busy star slots everywhere except `free`, each marked by its own x.
  void FillStarsExcept(std::initializer_list<int> free) {
    for (int k = 0; k < kStarSlots; ++k) g.starX[k] = 1000 + k;
    for (int k : free) g.starX[k] = kFreeSlot;
  }

  static constexpr int kQ = 2;
};

using BurstAtTank = void (*)(Game&, int);

// The two bursts at a tank differ only in how wide and high a non-lethal burst flies.
struct TankBurstCase {
  const char* name;
  BurstAtTank burst;
  double spread;
  int rise;
};

class TankBurstTest : public StarBurstTest, public ::testing::WithParamInterface<TankBurstCase> {};

TEST_P(TankBurstTest, FillsOnlyFreeSlotsWithinTheBudget) {
  const TankBurstCase& c = GetParam();
  FillStarsExcept({3, 11, 20});  // 18 stars in flight
  g.burstCount = 5;
  c.burst(g, kQ);
  EXPECT_EQ(g.burstCount, 2);
  EXPECT_EQ(FreeStars(), 0);
  for (int k = 0; k < kStarSlots; ++k) {
    if (k == 3 || k == 11 || k == 20) {
      EXPECT_EQ(g.starX[k], 100);  // 100.5 rounds to even
      EXPECT_EQ(g.starZ[k], -8);   // -7.5 rounds to even
      EXPECT_EQ(g.starY[k], 20);
      EXPECT_EQ(g.starDY[k], c.rise);
    } else {
      EXPECT_EQ(g.starX[k], 1000 + k) << "a star in flight flies on";
    }
  }
  EXPECT_EQ(g.tankX[kQ], 100.5);
}

// Each star draws its x step, then its z step, from the one generator.
TEST_P(TankBurstTest, DrawsXThenZForEachStar) {
  const TankBurstCase& c = GetParam();
  g.burstCount = 4;
  c.burst(g, kQ);
  Random expected;
  const double half = c.spread / 2;
  for (int k = 0; k < 4; ++k) {
    EXPECT_EQ(g.starDX[k], Int(expected.Next() * c.spread - half)) << k;
    EXPECT_EQ(g.starDZ[k], Int(expected.Next() * c.spread - half)) << k;
    EXPECT_GE(g.starDX[k], -half);
    EXPECT_LT(g.starDX[k], half);
  }
  EXPECT_EQ(g.random.state(), expected.state());
  EXPECT_EQ(g.starX[4], kFreeSlot);
}

// A lethal burst frees every star, throws all 21 from the tank with five draws each (the
// ordinary two, then x, y, z again) and moves the tank out of the field.
TEST_P(TankBurstTest, LethalBurstReplacesEveryStarAndRemovesTheTank) {
  const TankBurstCase& c = GetParam();
  FillStarsExcept({});
  g.playerLife[kQ] = -5;
  g.burstCount = 5;
  c.burst(g, kQ);
  Random expected;
  for (int k = 0; k < kStarSlots; ++k) {
    expected.Next();
    expected.Next();
    EXPECT_EQ(g.starX[k], 100);
    EXPECT_EQ(g.starZ[k], -8);
    EXPECT_EQ(g.starY[k], 20);
    EXPECT_EQ(g.starDX[k], Int(expected.Next() * 40 - 20)) << k;
    EXPECT_EQ(g.starDY[k], Int(expected.Next() * 10 + 15)) << k;
    EXPECT_EQ(g.starDZ[k], Int(expected.Next() * 40 - 20)) << k;
    EXPECT_GE(g.starDY[k], 15);
    EXPECT_LE(g.starDY[k], 24);
  }
  EXPECT_EQ(g.random.state(), expected.state());
  EXPECT_EQ(g.burstCount, 0);
  EXPECT_EQ(g.tankX[kQ], kFreeSlot);
  EXPECT_EQ(g.tankZ[kQ], -7.5);
}

TEST_P(TankBurstTest, LifeOfExactlyOneIsNotLethal) {
  const TankBurstCase& c = GetParam();
  g.playerLife[kQ] = 1;
  g.burstCount = 0;
  c.burst(g, kQ);
  EXPECT_EQ(FreeStars(), kStarSlots);
  EXPECT_EQ(g.tankX[kQ], 100.5);
  EXPECT_EQ(g.random.state(), Random().state());
}

INSTANTIATE_TEST_SUITE_P(Routines, TankBurstTest,
                         ::testing::Values(TankBurstCase{"AtPlayer", StarBurstAtPlayer, 10, 11},
                                           TankBurstCase{"AtTarget", StarBurstAtTarget, 20, 15}),
                         [](const auto& testCase) { return std::string(testCase.param.name); });

struct RoundingCase {
  double x;
  int starX;
};

class BurstRoundingTest : public StarBurstTest,
                          public ::testing::WithParamInterface<RoundingCase> {};

TEST_P(BurstRoundingTest, StarsStartAtTheTankRoundedHalfToEven) {
  g.tankX[kQ] = GetParam().x;
  g.burstCount = 1;
  StarBurstAtPlayer(g, kQ);
  EXPECT_EQ(g.starX[0], GetParam().starX);
}

INSTANTIATE_TEST_SUITE_P(Halves, BurstRoundingTest,
                         ::testing::Values(RoundingCase{12.5, 12}, RoundingCase{13.5, 14},
                                           RoundingCase{-12.5, -12}, RoundingCase{12.6, 13},
                                           RoundingCase{-0.4, 0}));

TEST_F(StarBurstTest, BurstAtTheMouseItselfUsesTheTargetRoutine) {
  // The flame burst ends by setting life 0 and bursting at its own tank: lethal, without a
  // budget set by the caller.
  g.playerLife[kQ] = 0;
  g.burstCount = 0;
  StarBurstAtTarget(g, kQ);
  EXPECT_EQ(FreeStars(), 0);
  EXPECT_EQ(g.tankX[kQ], kFreeSlot);
}

TEST_F(StarBurstTest, ShotBurstPlacesTenStarsAtTheShot) {
  FillStarsExcept({0, 1, 2, 4, 5, 6, 7, 8, 9, 10, 12, 13});  // 12 free
  g.shotX[7] = -300.5;
  g.shotZ[7] = 41.5;
  g.burstCount = 0;
  StarBurstAtShot(g, 7);
  EXPECT_EQ(g.burstCount, 0);
  EXPECT_EQ(FreeStars(), 2);
  EXPECT_EQ(g.starX[12], kFreeSlot);  // the budget of 10 ran out at slot 10
  Random expected;
  for (int k : {0, 1, 2, 4, 5, 6, 7, 8, 9, 10}) {
    EXPECT_EQ(g.starX[k], -300);
    EXPECT_EQ(g.starZ[k], 42);
    EXPECT_EQ(g.starY[k], 20);
    EXPECT_EQ(g.starDY[k], 11);
    EXPECT_EQ(g.starDX[k], Int(expected.Next() * 20 - 10)) << k;
    EXPECT_EQ(g.starDZ[k], Int(expected.Next() * 20 - 10)) << k;
  }
  EXPECT_EQ(g.starX[3], 1003);
}

TEST_F(StarBurstTest, ShotBurstWithAFullTableLeavesTheBudgetAtTen) {
  FillStarsExcept({});
  g.shotX[0] = 10;
  StarBurstAtShot(g, 0);
  EXPECT_EQ(g.burstCount, 10);
  EXPECT_EQ(FreeStars(), 0);
  EXPECT_EQ(g.random.state(), Random().state());
}

}  // namespace
}  // namespace bf
