// The main gun, the reload, the ability launch and shots hitting a tank.
#include "tanks/gun.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "abilities/abilities.h"
#include "audio/sound.h"
#include "core/game.h"
#include "core/numeric.h"
#include "support/test_game.h"

namespace bf {
namespace {

// A battle's frames, each a distinct frame of the recording scene, with every pool empty and
// player 1 (the one under test) in play with a full magazine of four.
struct GunTest : ::testing::Test {
  GunTest() : g(*t.game) {
    t.CreateBattleFrames();
    // One silent voice per effect, so that every play shows in the tick's record.
    for (SoundEffect& effect : g.soundEffects) effect.voiceCount = 1;
    g.shotX.fill(kFreeSlot);
    g.starX.fill(kFreeSlot);
    g.netX.fill(kFreeSlot);
    g.mineX.fill(kFreeSlot);
    g.winner = -1;
    for (int p = 0; p < kPlayers; ++p) {
      g.playerCharacter[p] = 0;
      g.playerLife[p] = g.maxLife[p] = 90;
      g.tankX[p] = -600 + 400 * p;
      g.tankZ[p] = 500;
    }
    g.maxShells[kP] = g.shells[kP] = 4;
  }

  std::vector<int> Sounds() const { return t.Sounds(); }
  int ShotsInFlight() const {
    int n = 0;
    for (double x : g.shotX) n += x != kFreeSlot;
    return n;
  }
  const test::FrameRecord& Frame(FrameId id) const { return t.Frame(id); }

  static constexpr int kP = 1;
  test::TestGame t;
  Game& g;
};

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
  g.tankX[kP] = 100;
  g.tankZ[kP] = 200;
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

// --- Ability launch -------------------------------------------------------------------------

struct LaunchCase {
  std::string name;
  int type;
  int timer;  // abilityState[p] after the launch
  int sound;  // the one sound the launch plays
  std::function<void(GunTest&)> check;
};

std::ostream& operator<<(std::ostream& out, const LaunchCase& c) {
  return out << c.name;
}

class LaunchTest : public GunTest, public ::testing::WithParamInterface<LaunchCase> {};

void ExpectPosition(const test::FrameRecord& f, float x, float y, float z) {
  EXPECT_EQ(f.positionReference, kNoFrame);
  EXPECT_FLOAT_EQ(f.position[0], x);
  EXPECT_FLOAT_EQ(f.position[1], y);
  EXPECT_FLOAT_EQ(f.position[2], z);
}

// The tank stands at (12.5, -33.5) heading 30: stored positions round halves to even. Every
// shot slot is busy and net slot 0 is taken.
TEST_P(LaunchTest, SetsTheTimerValuesFramesAndSound) {
  const LaunchCase& c = GetParam();
  g.playerCharacter[kP] = c.type;
  g.tankX[kP] = 12.5;
  g.tankZ[kP] = -33.5;
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

constexpr int kP = GunTest::kP;

const LaunchCase kLaunchCases[] = {
    {"Rocket", 0, 10, kSoundRocket,
     [](GunTest& f) {
       const auto& a = f.g.abilityState;
       EXPECT_EQ(a[kP + 4], 12);
       EXPECT_EQ(a[kP + 8], -34);
       EXPECT_EQ(a[kP + 12], 35);  // 40 cos 30 = 34.65
       EXPECT_EQ(a[kP + 16], 20);  // 40 sin 30 = 19.99
       const auto& frame = f.Frame(f.g.rocketFrame[kP]);
       ExpectPosition(frame, 12.5f, 30, -33.5f);
       EXPECT_EQ(frame.orientationReference, kNoFrame);
       const double h = Radians(30);
       EXPECT_FLOAT_EQ(frame.orientation[0], static_cast<float>(-std::cos(h)));
       EXPECT_FLOAT_EQ(frame.orientation[2], static_cast<float>(-std::sin(h)));
       EXPECT_EQ(frame.orientation[1], 0);
       EXPECT_EQ(frame.orientation[4], 1);
     }},
    {"Cloak", 1, 200, kSoundFox,
     [](GunTest& f) {
       EXPECT_EQ(f.ShotsInFlight(), kShotSlots);
       EXPECT_EQ(f.g.abilityState[kP + 4], 0);
       EXPECT_EQ(f.g.abilityState[kP + 8], 77);  // untouched
     }},
    {"GasCloud", 2, 200, kSoundHe,
     [](GunTest& f) {
       EXPECT_EQ(f.g.abilityState[kP + 4], 0);
       EXPECT_EQ(f.g.abilityState[kP + 8], 12);
       EXPECT_EQ(f.g.abilityState[kP + 12], -34);
       ExpectPosition(f.Frame(f.g.gasFrame[kP]), 12.5f, 0, -33.5f);
     }},
    {"Shield", 3, 100, kSoundShield, [](GunTest& f) { EXPECT_EQ(f.g.abilityState[kP + 4], 77); }},
    {"Dash", 4, 30, kSoundMomonga, [](GunTest& f) { EXPECT_EQ(f.g.abilityState[kP + 4], 77); }},
    {"Whirlpool", 5, 400, kSoundFish,
     [](GunTest& f) {
       EXPECT_EQ(f.g.abilityState[kP + 4], 0);
       EXPECT_EQ(f.g.abilityState[kP + 8], 12);
       EXPECT_EQ(f.g.abilityState[kP + 12], -34);
       ExpectPosition(f.Frame(f.g.waterFrame[kP]), 12.5f, 2, -33.5f);
     }},
    {"FlameBurst", 6, 50, kSoundFire, [](GunTest& f) { EXPECT_EQ(f.ShotsInFlight(), 0); }},
    {"Net", 7, 0, kSoundSpider,
     [](GunTest& f) {
       EXPECT_EQ(f.g.netX[1], 12);
       EXPECT_EQ(f.g.netZ[1], -34);
       EXPECT_EQ(f.g.netTimer[1], 100);
       EXPECT_EQ(f.g.netX[2], kFreeSlot);
       ExpectPosition(f.Frame(f.g.netFrame[1]), 12.5f, 0, -33.5f);
     }},
    {"Pyon", 8, 100, kSoundPyon,
     [](GunTest& f) {
       EXPECT_EQ(f.g.abilityState[kP + 4], kP);
       EXPECT_EQ(f.g.abilityState[kP + 8], 12);
       EXPECT_EQ(f.g.abilityState[kP + 12], -34);
       ExpectPosition(f.Frame(f.g.pyonFrame[kP]), 12.5f, 0, -33.5f);
     }},
    {"Mine", 9, 0, kSoundSet,
     [](GunTest& f) {
       EXPECT_EQ(f.g.mineX[0], 12);
       EXPECT_EQ(f.g.mineZ[0], -34);
       EXPECT_EQ(f.g.mineX[1], kFreeSlot);
       ExpectPosition(f.Frame(f.g.mineFrame[0]), 12, 0, -34);
     }},
    {"Decoy", 10, 250, kSoundCat,
     [](GunTest& f) {
       EXPECT_EQ(f.g.abilityState[kP + 4], 0);
       EXPECT_EQ(f.g.abilityState[kP + 8], 12);
       EXPECT_EQ(f.g.abilityState[kP + 12], -34);
       const auto& decoy = f.Frame(f.g.tankFrame[kP + 4]);
       ExpectPosition(decoy, 12.5f, 0, -33.5f);
       EXPECT_EQ(decoy.orientationReference, f.g.tankFrame[kP]);
       EXPECT_EQ(decoy.orientation, (std::array<float, 6>{0, 0, 1, 0, 1, 0}));
     }},
};

INSTANTIATE_TEST_SUITE_P(AllTypes, LaunchTest, ::testing::ValuesIn(kLaunchCases),
                         [](const auto& testCase) { return testCase.param.name; });

TEST_F(GunTest, NetsAllOutStillSpendTheMagazineWithTheSpiderSound) {
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

TEST_F(GunTest, MinesAllLaidSpendTheMagazineSilently) {
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

class RefusedLaunchTest : public GunTest,
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

// --- Shot hits ------------------------------------------------------------------------------

struct HitCase {
  double dx, dz;
  bool hits;
};

class ShotHitTest : public GunTest, public ::testing::WithParamInterface<HitCase> {};

TEST_P(ShotHitTest, StrictFortyUnitBox) {
  const HitCase& c = GetParam();
  g.tankX[kP] = 100.25;
  g.tankZ[kP] = -200.5;
  g.shotX[3] = g.tankX[kP] + c.dx;
  g.shotZ[3] = g.tankZ[kP] + c.dz;
  TestShotHits(g, kP);
  EXPECT_EQ(g.shotX[3] == kFreeSlot, c.hits);
  EXPECT_EQ(g.playerLife[kP], c.hits ? 80 : 90);
}

INSTANTIATE_TEST_SUITE_P(Offsets, ShotHitTest,
                         ::testing::Values(HitCase{0, 0, true}, HitCase{39.9, -39.9, true},
                                           HitCase{-39.9, 39.9, true}, HitCase{40, 0, false},
                                           HitCase{-40, 0, false}, HitCase{0, 40, false},
                                           HitCase{0, -40, false}, HitCase{39, 41, false}));

TEST_F(GunTest, HitCostsTenShakesFreesTheSlotAndThrowsFiveStars) {
  g.tankX[kP] = 12.5;
  g.tankZ[kP] = 40;
  g.shotX[6] = 20;
  g.shotZ[6] = 50;
  g.shakeTimer[kP] = 0;
  TestShotHits(g, kP);
  EXPECT_EQ(Sounds(), std::vector<int>{kSoundDam});
  EXPECT_EQ(g.playerLife[kP], 80);
  EXPECT_EQ(g.shakeTimer[kP], 10);
  EXPECT_EQ(g.shotX[6], kFreeSlot);
  ExpectPosition(Frame(g.shotFrame[6]), -5000, 0, 0);
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
  g.tankX[kP] = kFreeSlot;
  g.tankZ[kP] = 10;
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
  EXPECT_EQ(g.playerLife[kP], 80);
}

}  // namespace
}  // namespace bf
