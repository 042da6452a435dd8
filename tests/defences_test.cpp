// The cloak, the shield, the dash and the decoy at work.
#include <gtest/gtest.h>

#include <ostream>
#include <vector>

#include "abilities/abilities.h"
#include "abilities/abilities_local.h"
#include "battle/battle.h"
#include "battle/battle_local.h"
#include "support/battle_field.h"
#include "tanks/player_step.h"
#include "tanks/tanks_local.h"

namespace bf {
namespace {

using DefenceTest = test::BattleField;

// --- Cloak ----------------------------------------------------------------------------------

TEST_F(DefenceTest, CloakShowsTheTankInItsOwnViewOnEverySecondTick) {
  Drive(1, TankType::kFox);
  PutTank(1, 120, -40);
  g.abilityState[1] = 200;
  g.abilityState[5] = 0;
  std::vector<bool> parked;
  for (int tick = 0; tick < 6; ++tick) {
    PlaceTankFrame(g, 1);  // the player step places the tank before its ability runs
    Tick(1);
    parked.push_back(Parked(g.tankFrame[1]));
  }
  EXPECT_EQ(parked, (std::vector<bool>{true, false, true, false, true, false}));
  EXPECT_EQ(Frame(g.tankFrame[1]).position, (std::array<float, 3>{120, 0, -40}));
  EXPECT_TRUE(Sounds().empty());
}

class CloakViewTest : public DefenceTest, public ::testing::WithParamInterface<int> {};

TEST_P(CloakViewTest, CloakedTankIsAbsentFromEveryOtherPlayersView) {
  const int fox = GetParam();
  std::vector<float> seenAtX;  // the fox's frame's x in each rendered view, in order
  t.scene.onRender = [&] { seenAtX.push_back(Frame(g.tankFrame[fox]).position[0]); };
  g.playerCharacter = {0, 2, 3, 4};
  g.playerCharacter[fox] = 1;
  BuildBattleScene(g);
  g.abilityState[fox] = 200;  // launched in an earlier tick
  g.abilityState[fox + 4] = 0;
  for (int tick = 0; tick < 4; ++tick) {
    for (int p = 0; p < kPlayers; ++p) RunPlayerStep(g, p);
  }
  ASSERT_EQ(seenAtX.size(), 16u);
  for (int view = 0; view < 16; ++view) {
    const int p = view % kPlayers;
    const int tick = view / kPlayers;
    // Its own view shows it on every second tick; no other view ever does, whether drawn
    // before or after its own step.
    const bool shown = (p == fox && tick % 2 == 1);
    EXPECT_EQ(seenAtX[view], shown ? g.tankX[fox] : kFreeSlot) << "view " << view;
  }
}

// The fox drawn first, in the middle and last: the views before its own step see the frame as
// the previous tick left it.
INSTANTIATE_TEST_SUITE_P(Foxes, CloakViewTest, ::testing::Values(0, 1, 3));

// --- Shield ---------------------------------------------------------------------------------

struct ShotCase {
  int slot;
  double dx, dz;  // from the pig
  bool destroyed;
};
std::ostream& operator<<(std::ostream& out, const ShotCase& c) {
  return out << "slot " << c.slot << " off " << c.dx << ", " << c.dz;
}

class ShieldTest : public DefenceTest, public ::testing::WithParamInterface<ShotCase> {};

TEST_P(ShieldTest, DestroysShotsInTheFirstTwentyOneSlotsInsideItsSquare) {
  const ShotCase c = GetParam();
  Drive(2, TankType::kPig);
  PutTank(2, 300.5, -100);
  g.shotX[c.slot] = g.tankX[2] + c.dx;
  g.shotZ[c.slot] = g.tankZ[2] + c.dz;
  g.abilityState[2] = 100;
  Tick(2);
  EXPECT_EQ(g.shotX[c.slot] == kFreeSlot, c.destroyed);
  EXPECT_EQ(Parked(g.shotFrame[c.slot]), c.destroyed);
  EXPECT_EQ(Frame(g.shieldFrame[2]).position, (std::array<float, 3>{300.5f, 0, -100}));
  EXPECT_EQ(Frame(g.shieldFrame[2]).orientationCalls, 1);  // it spins
  EXPECT_TRUE(Sounds().empty());
}

INSTANTIATE_TEST_SUITE_P(Shots, ShieldTest,
                         ::testing::Values(ShotCase{0, 64.9, -64.9, true}, ShotCase{20, 0, 0, true},
                                           ShotCase{5, 60, 0, true},  // the pig's own new shot
                                           ShotCase{21, 0, 0, false}, ShotCase{30, 10, 10, false},
                                           ShotCase{3, 65, 0, false}, ShotCase{3, 0, -65, false}));

TEST_F(DefenceTest, ShieldIsParkedOnTheTickItsTimerReachesZero) {
  Drive(3, TankType::kPig);
  g.abilityState[3] = 2;
  Tick(3);
  EXPECT_FALSE(Parked(g.shieldFrame[3]));
  Tick(3);
  EXPECT_TRUE(Parked(g.shieldFrame[3]));
  EXPECT_EQ(g.abilityState[3], 0);
}

// --- Dash -----------------------------------------------------------------------------------

TEST_F(DefenceTest, DashRunsAtSeventyFiveEvenFromReverseAndEndsAtTwentyFive) {
  Drive(0, TankType::kFlyingSquirrel);
  g.tankSpeed[0] = -12;
  g.abilityState[0] = 30;
  std::vector<std::int32_t> speeds;
  for (int tick = 0; tick < 31; ++tick) {
    Tick(0);
    speeds.push_back(g.tankSpeed[0]);
    ApplyThrottle(g, 0);  // coasting takes one off between two ability steps
  }
  std::vector<std::int32_t> expected(29, 75);
  expected.push_back(25);
  expected.push_back(24);  // idle again: the dash no longer touches the speed
  EXPECT_EQ(speeds, expected);
}

// --- Decoy ----------------------------------------------------------------------------------

TEST_F(DefenceTest, EliminatedCatsDecoyStandsThenBlinksUntilItsTimerRunsOut) {
  g.playerLife[0] = 0;
  g.tankX[0] = kFreeSlot;
  Drive(0, TankType::kCat);
  const FrameId decoy = g.tankFrame[4];
  t.scene.SetPosition(decoy, kNoFrame, 300, 0, -200);  // where the launch put it
  g.abilityState[0] = 250;
  g.abilityState[4] = 0;
  g.abilityState[8] = 300;
  g.abilityState[12] = -200;
  for (int tick = 0; tick < 200; ++tick) Tick(0);
  EXPECT_EQ(Frame(decoy).positionCalls, 1);  // standing still, untouched
  std::vector<bool> parked;
  for (int tick = 0; tick < 49; ++tick) {
    Tick(0);
    parked.push_back(Parked(decoy));
    if (!parked.back()) {
      EXPECT_EQ(Frame(decoy).position, (std::array<float, 3>{300, 0, -200}));
    }
  }
  for (int tick = 0; tick < 49; ++tick) EXPECT_EQ(parked[tick], tick % 2 == 0) << tick;
  Tick(0);
  EXPECT_EQ(g.abilityState[0], 0);
  EXPECT_TRUE(Parked(decoy));
}

}  // namespace
}  // namespace bf
