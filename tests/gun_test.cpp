// The main gun, the reload and shots hitting a tank.

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "abilities/abilities.h"
#include "audio/sound.h"
#include "core/game.h"
#include "core/numeric.h"
#include "support/battle_field.h"
#include "tanks/tanks_local.h"

namespace bf {
namespace {

// Player 1 is the one under test.
using GunTest = test::BattleField;

constexpr int kP = 1;

// --- Firing -------------------------------------------------------------------------------

TEST_F(GunTest, EmptyMagazineClicksOncePerPress) {
  g.shells[kP] = 0;
  g.reloadTimer[kP] = 20;
  g.fireState[kP] = 1;
  RunMainGun(g, kP);
  EXPECT_EQ(g.fireState[kP], -1);
  EXPECT_EQ(Sounds(), std::vector<int>{kSoundReload});
  // The key is still held: the spent request clicks no more.
  RunMainGun(g, kP);
  RunMainGun(g, kP);
  EXPECT_EQ(Sounds(), std::vector<int>{kSoundReload});
  EXPECT_EQ(ShotsInFlight(), 0);
  EXPECT_EQ(g.reloadTimer[kP], 17);
}

TEST_F(GunTest, ShotLeavesSixtyAheadAlongTheHeadingWithRecoil) {
  PutTank(kP, 100, 200);
  g.tankHeading[kP] = 90;
  g.tankSpeed[kP] = 5;
  g.shotX[0] = 700;  // slot 0 busy: the first free slot takes the shot
  g.fireState[kP] = 1;
  RunMainGun(g, kP);
  // Degrees turn into radians with 3.14, so a shot at heading 90 drifts slightly along x.
  EXPECT_NEAR(g.shotX[1], 100 + 60 * std::cos(1.57), 1e-9);
  EXPECT_NEAR(g.shotX[1], 100.0478, 1e-4);
  EXPECT_NEAR(g.shotZ[1], 260, 1e-4);
  EXPECT_NEAR(g.shotDX[1], 0.0239, 1e-4);
  EXPECT_NEAR(g.shotDZ[1], 30, 1e-4);
  EXPECT_EQ(g.shotX[2], kFreeSlot);
  EXPECT_EQ(g.fireState[kP], -1);
  EXPECT_EQ(g.shells[kP], 3);
  EXPECT_EQ(g.tankSpeed[kP], -4);
  // Set to 30 by the shot, counted once by the reload of the same stage.
  EXPECT_EQ(g.reloadTimer[kP], 29);
  EXPECT_EQ(Sounds(), std::vector<int>{kSoundShot});
}

TEST_F(GunTest, RequestWaitsForAFreeSlotWithoutANewPress) {
  g.shotX.fill(700);
  g.fireState[kP] = 1;
  g.tankSpeed[kP] = 0;
  for (int tick = 0; tick < 3; ++tick) RunMainGun(g, kP);
  EXPECT_EQ(g.fireState[kP], 1);
  EXPECT_EQ(g.shells[kP], 4);
  EXPECT_EQ(g.tankSpeed[kP], 0);
  EXPECT_TRUE(Sounds().empty());

  g.shotX[17] = kFreeSlot;
  RunMainGun(g, kP);
  EXPECT_NE(g.shotX[17], kFreeSlot);
  EXPECT_EQ(g.fireState[kP], -1);
  EXPECT_EQ(g.shells[kP], 3);
  EXPECT_EQ(Sounds(), std::vector<int>{kSoundShot});
}

// The wood tank fires forward, to its left (h + 90) and to its right (h - 90) at once, one
// shell per direction while the magazine lasts, with one sound and a single recoil.
struct TripleShotCase {
  int shells;
  std::vector<double> expectedZ;  // per slot 0.., heading 0 from z = 500
};

class TripleShotTest : public GunTest, public ::testing::WithParamInterface<TripleShotCase> {};

TEST_P(TripleShotTest, OneShellPerDirectionWhileTheyLast) {
  const TripleShotCase& c = GetParam();
  g.playerCharacter[kP] = 9;
  g.maxShells[kP] = 3;
  g.shells[kP] = c.shells;
  g.tankZ[kP] = 500;
  g.tankHeading[kP] = 0;
  g.tankSpeed[kP] = 2;
  g.fireState[kP] = 1;
  RunMainGun(g, kP);
  ASSERT_EQ(ShotsInFlight(), static_cast<int>(c.expectedZ.size()));
  for (size_t s = 0; s < c.expectedZ.size(); ++s) {
    EXPECT_NEAR(g.shotZ[s], c.expectedZ[s], 0.01) << "slot " << s;
    EXPECT_NEAR(std::hypot(g.shotDX[s], g.shotDZ[s]), 30, 1e-9);
  }
  EXPECT_EQ(g.shells[kP], c.shells - static_cast<int>(c.expectedZ.size()));
  EXPECT_EQ(Sounds(), std::vector<int>{kSoundShot});
  EXPECT_EQ(g.tankSpeed[kP], -3);
  EXPECT_EQ(g.fireState[kP], -1);
  EXPECT_EQ(g.reloadTimer[kP], 29);
}

INSTANTIATE_TEST_SUITE_P(Shells, TripleShotTest,
                         ::testing::Values(TripleShotCase{3, {500, 560, 440}},
                                           TripleShotCase{2, {500, 560}}, TripleShotCase{1, {500}}),
                         [](const auto& testCase) {
                           return std::to_string(testCase.param.shells) + "Shells";
                         });

TEST_F(GunTest, TripleShotSkipsBusySlotsForEachDirection) {
  g.playerCharacter[kP] = 9;
  g.maxShells[kP] = g.shells[kP] = 3;
  g.tankZ[kP] = 500;
  g.tankHeading[kP] = 0;
  g.shotX[0] = g.shotX[2] = 700;
  g.fireState[kP] = 1;
  RunMainGun(g, kP);
  EXPECT_NEAR(g.shotZ[1], 500, 1e-9);  // forward
  EXPECT_NEAR(g.shotZ[3], 560, 0.01);  // left
  EXPECT_NEAR(g.shotZ[4], 440, 0.01);  // right
  EXPECT_EQ(g.shotX[5], kFreeSlot);
}

// Unlike a single shot, the triple shot does not wait for a free slot: the request is spent.
TEST_F(GunTest, TripleShotWithEverySlotBusyIsSpentWithoutAShell) {
  g.playerCharacter[kP] = 9;
  g.maxShells[kP] = g.shells[kP] = 3;
  g.shotX.fill(700);
  g.tankSpeed[kP] = 0;
  g.fireState[kP] = 1;
  RunMainGun(g, kP);
  EXPECT_EQ(g.shells[kP], 3);
  EXPECT_EQ(g.fireState[kP], -1);
  EXPECT_EQ(g.tankSpeed[kP], -5);
  EXPECT_EQ(g.reloadTimer[kP], 30);  // a full magazine does not count it down
  EXPECT_EQ(Sounds(), std::vector<int>{kSoundShot});
}

// --- Reload -------------------------------------------------------------------------------

// The ticks (counted from the launch tick, 0) on which a shell comes back into the magazine.
std::vector<int> ReloadTicksAfterLaunch(Game& g, int p, int ticks) {
  std::vector<int> loaded;
  for (int tick = 0; tick < ticks; ++tick) {
    const int before = g.shells[p];
    RunMainGun(g, p);
    LaunchAbility(g, p);
    if (g.shells[p] > before) loaded.push_back(tick);
  }
  return loaded;
}

TEST_F(GunTest, AfterALaunchTheFirstShellTakesFortyTicksAndEachFurtherThirty) {
  g.playerCharacter[kP] = 3;
  g.fireState[kP] = 2;
  const std::vector<int> loaded = ReloadTicksAfterLaunch(g, kP, 400);
  EXPECT_EQ(loaded, (std::vector<int>{40, 70, 100, 130}));
  // A full magazine freezes the timer at 0.
  EXPECT_EQ(g.shells[kP], 4);
  EXPECT_EQ(g.reloadTimer[kP], 0);
}

TEST_F(GunTest, FullMagazineFreezesTheTimer) {
  g.reloadTimer[kP] = 7;
  for (int tick = 0; tick < 20; ++tick) RunMainGun(g, kP);
  EXPECT_EQ(g.reloadTimer[kP], 7);
  EXPECT_EQ(g.shells[kP], 4);
}

TEST_F(GunTest, FiringBeforeAShellIsLoadedDelaysTheReload) {
  g.shells[kP] = 3;
  g.reloadTimer[kP] = 2;
  g.fireState[kP] = 1;
  RunMainGun(g, kP);
  EXPECT_EQ(g.shells[kP], 2);
  EXPECT_EQ(g.reloadTimer[kP], 29);
}

// --- Shot hits ------------------------------------------------------------------------------

struct HitCase {
  double dx, dz;
  bool hits;
};

class ShotHitTest : public GunTest, public ::testing::WithParamInterface<HitCase> {};

TEST_P(ShotHitTest, StrictFortyUnitBox) {
  const HitCase& c = GetParam();
  PutTank(kP, 100.25, -200.5);
  g.shotX[3] = g.tankX[kP] + c.dx;
  g.shotZ[3] = g.tankZ[kP] + c.dz;
  TestShotHits(g, kP);
  EXPECT_EQ(g.shotX[3] == kFreeSlot, c.hits);
  EXPECT_EQ(g.playerLife[kP], c.hits ? 90 : 100);
}

INSTANTIATE_TEST_SUITE_P(Offsets, ShotHitTest,
                         ::testing::Values(HitCase{0, 0, true}, HitCase{39.9, -39.9, true},
                                           HitCase{-39.9, 39.9, true}, HitCase{40, 0, false},
                                           HitCase{-40, 0, false}, HitCase{0, 40, false},
                                           HitCase{0, -40, false}, HitCase{39, 41, false}));

TEST_F(GunTest, HitCostsTenShakesFreesTheSlotAndThrowsFiveStars) {
  PutTank(kP, 12.5, 40);
  g.shotX[6] = 20;
  g.shotZ[6] = 50;
  g.shakeTimer[kP] = 0;
  TestShotHits(g, kP);
  EXPECT_EQ(Sounds(), std::vector<int>{kSoundDam});
  EXPECT_EQ(g.playerLife[kP], 90);
  EXPECT_EQ(g.shakeTimer[kP], 10);
  EXPECT_EQ(g.shotX[6], kFreeSlot);
  test::ExpectPlacedAt(Frame(g.shotFrame[6]), -5000, 0, 0);
  // Five stars from the tank, rounded half to even; the budget is used up.
  for (int k = 0; k < 5; ++k) {
    EXPECT_EQ(g.starX[k], 12);
    EXPECT_EQ(g.starZ[k], 40);
    EXPECT_EQ(g.starDY[k], 11);
  }
  EXPECT_EQ(g.starX[5], kFreeSlot);
  EXPECT_EQ(g.burstCount, 0);
  EXPECT_EQ(g.tankX[kP], 12.5);
}

TEST_F(GunTest, SeveralShotsInOneTickEachTakeTenUntilTheTankIsOut) {
  g.playerLife[kP] = 20;
  const double x = g.tankX[kP];
  const double z = g.tankZ[kP];
  for (int s : {2, 9, 30}) {
    g.shotX[s] = x + s;
    g.shotZ[s] = z;
  }
  TestShotHits(g, kP);
  EXPECT_EQ(Sounds(), (std::vector<int>{kSoundDam, kSoundDam}));
  EXPECT_LE(g.playerLife[kP], 0);
  EXPECT_EQ(g.shotX[2], kFreeSlot);
  EXPECT_EQ(g.shotX[9], kFreeSlot);
  EXPECT_EQ(g.shotX[30], x + 30);  // the tank was out before this slot was tested
  // The second hit was lethal: the large burst and the tank out of the field.
  EXPECT_EQ(g.tankX[kP], kFreeSlot);
  EXPECT_EQ(g.tankZ[kP], z);
  for (int k = 0; k < kStarSlots; ++k) EXPECT_EQ(g.starX[k], RoundToLong(x)) << k;
}

// An eliminated tank waits at x = -5000, exactly where free shot slots say "free": the life test
// keeps every free slot from hitting it again.
TEST_F(GunTest, EliminatedTankIsNotHitByFreeSlots) {
  g.playerLife[kP] = 0;
  PutTank(kP, kFreeSlot, 10);
  g.shotZ.fill(0);
  TestShotHits(g, kP);
  EXPECT_TRUE(Sounds().empty());
  EXPECT_EQ(g.playerLife[kP], 0);
}

TEST_F(GunTest, ShotsHitTheirOwnTankToo) {
  g.tankHeading[kP] = 0;
  g.fireState[kP] = 1;
  RunMainGun(g, kP);
  // Turn the shot round onto its own tank.
  g.shotX[0] = g.tankX[kP] + 10;
  TestShotHits(g, kP);
  EXPECT_EQ(g.playerLife[kP], 90);
}

}  // namespace
}  // namespace bf
