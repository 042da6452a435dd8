#include "input/keyboard.h"

#include <gtest/gtest.h>

#include "support/test_game.h"

namespace bf {
namespace {

class KeyboardTest : public ::testing::Test {
 protected:
  test::TestGame t;
  Game& g = *t.game;
  void SetUp() override {
    g.maxShells = {5, 5, 5, 5};
    g.shells = {5, 5, 5, 5};
  }
};

TEST_F(KeyboardTest, BattleArrowsSteerAndReleaseOnlyTheirOwnDirection) {
  OnKeyDown(g, vk::kLeft, 0);
  OnKeyDown(g, vk::kRight, 0);
  EXPECT_EQ(g.steerInput[0], 1);
  OnKeyUp(g, vk::kLeft, 0);  // Left no longer owns the direction
  EXPECT_EQ(g.steerInput[0], 1);
  OnKeyUp(g, vk::kRight, 0);
  EXPECT_EQ(g.steerInput[0], 0);
  OnKeyDown(g, 'W', 0);
  EXPECT_EQ(g.throttleInput[1], -1);
  OnKeyUp(g, 'S', 0);
  EXPECT_EQ(g.throttleInput[1], -1);
  OnKeyUp(g, 'W', 0);
  EXPECT_EQ(g.throttleInput[1], 0);
}

TEST_F(KeyboardTest, BattleFireDependsOnTheWholeMask) {
  OnKeyDown(g, vk::kUp, kMaskCtrl);  // any key with Ctrl alone fires
  EXPECT_EQ(g.fireState[0], 1);
  EXPECT_EQ(g.throttleInput[0], -1);
  g.fireState[0] = 0;
  OnKeyDown(g, vk::kControl, kMaskCtrl | kMaskShift);
  EXPECT_EQ(g.fireState[0], 0);
  OnKeyDown(g, vk::kShift, kMaskShift);
  EXPECT_EQ(g.fireState[0], 2);
}

TEST_F(KeyboardTest, AbilityNeedsAFullMagazineAndNoRunningAbility) {
  g.shells[1] = 4;
  OnKeyDown(g, 'G', 0);
  EXPECT_EQ(g.fireState[1], 0);
  g.shells[1] = 5;
  g.abilityState[1] = 3;
  OnKeyDown(g, 'G', 0);
  EXPECT_EQ(g.fireState[1], 0);
  g.abilityState[1] = 0;
  OnKeyDown(g, 'G', 0);
  EXPECT_EQ(g.fireState[1], 2);
}

TEST_F(KeyboardTest, BattleRequestSurvivesReleaseUntilSpent) {
  OnKeyDown(g, 'F', 0);
  EXPECT_EQ(g.fireState[1], 1);
  OnKeyUp(g, 'F', 0);
  EXPECT_EQ(g.fireState[1], 1);
  g.fireState[1] = -1;  // the gun spent it
  OnKeyUp(g, 'G', 0);
  EXPECT_EQ(g.fireState[1], 0);
  g.fireState[0] = -1;
  OnKeyUp(g, vk::kControl, kMaskShift);  // a modifier still held keeps it spent
  EXPECT_EQ(g.fireState[0], -1);
  OnKeyUp(g, vk::kControl, 0);
  EXPECT_EQ(g.fireState[0], 0);
}

TEST_F(KeyboardTest, SelectionLeftIsSwallowedUntilReleasedAfterHandling) {
  g.selectionActive = 1;
  OnKeyDown(g, vk::kLeft, 0);
  EXPECT_EQ(g.steerInput[0], -1);
  OnKeyUp(g, vk::kLeft, 0);  // released before the loop handled it
  EXPECT_EQ(g.steerInput[0], -1);
  g.steerInput[0] = -2;  // the loop handled it
  OnKeyDown(g, vk::kLeft, 0);
  EXPECT_EQ(g.steerInput[0], -2);
  OnKeyUp(g, vk::kLeft, 0);
  EXPECT_EQ(g.steerInput[0], 0);
}

TEST_F(KeyboardTest, SelectionUpRepeatsAndTheOtherKeysDoNothing) {
  g.selectionActive = 1;
  g.throttleInput[0] = -2;
  OnKeyDown(g, vk::kUp, 0);  // auto-repeat acts again
  EXPECT_EQ(g.throttleInput[0], -1);
  OnKeyDown(g, 'W', 0);
  OnKeyDown(g, 'G', 0);
  OnKeyDown(g, vk::kShift, kMaskShift);
  EXPECT_EQ(g.throttleInput[1], 0);
  EXPECT_EQ(g.fireState[1], 0);
  EXPECT_EQ(g.fireState[0], 0);
}

TEST_F(KeyboardTest, SelectionReleasesClearWhateverStateTheyFind) {
  g.selectionActive = 1;
  g.throttleInput[0] = 2;  // handled Down
  OnKeyUp(g, vk::kUp, 0);  // either vertical key clears the row input
  EXPECT_EQ(g.throttleInput[0], 0);
  g.fireState[0] = 2;
  OnKeyUp(g, 'Q', kMaskCtrl);  // a modifier still held keeps the join handled
  EXPECT_EQ(g.fireState[0], 2);
  OnKeyUp(g, 'Q', 0);
  EXPECT_EQ(g.fireState[0], 0);
  g.fireState[1] = 1;  // unlike the battle, F's release clears even an unhandled press
  OnKeyUp(g, 'F', 0);
  EXPECT_EQ(g.fireState[1], 0);
  g.steerInput[1] = -1;  // an unhandled A press survives its release
  OnKeyUp(g, 'A', 0);
  EXPECT_EQ(g.steerInput[1], -1);
}

TEST_F(KeyboardTest, ShiftLaunchNeedsAFullMagazineForPlayer0) {
  g.shells[0] = 4;
  OnKeyDown(g, vk::kShift, kMaskShift);
  EXPECT_EQ(g.fireState[0], 0);
  g.shells[0] = 5;
  g.abilityState[0] = 1;
  OnKeyDown(g, vk::kShift, kMaskShift);
  EXPECT_EQ(g.fireState[0], 0);
}

TEST_F(KeyboardTest, EnterAndEscapeActOnBothScreens) {
  for (int screen = 0; screen < 2; ++screen) {
    g.selectionActive = screen;
    g.runningFlag = -1;
    OnKeyDown(g, vk::kEnter, 0);
    EXPECT_EQ(g.enterHeld, 1);
    OnKeyUp(g, vk::kEnter, 0);
    EXPECT_EQ(g.enterHeld, 0);
    OnKeyDown(g, vk::kEscape, 0);
    EXPECT_EQ(g.runningFlag, 0);
  }
}

}  // namespace
}  // namespace bf
