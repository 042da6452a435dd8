// The game's reading of the joysticks: thresholds from the first joystick that answers, missing
// joysticks, and the battle and selection mappings.
#include "input/joystick.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>

#include "input/input_local.h"
#include "support/test_game.h"

namespace bf {
namespace {

constexpr int kDeadZone = 16384;

// Joysticks whose every answer the test chooses.
class FakeJoysticks final : public Joysticks {
 public:
  int NumDevices() override { return devices; }
  int GetPosition(int id, JoyPosition& position) override {
    ++positionCalls;
    if (id < 0 || id >= 2 || positionResult[id] != 0) return 167;
    position = positions[id];
    return 0;
  }
  int GetCaps(int id, JoyCaps& c) override {
    if (id < 0 || id >= 2) return 167;
    c = caps[id];
    return capsResult[id];
  }
  int devices = 16;
  std::array<int, 2> positionResult{0, 0};
  std::array<JoyPosition, 2> positions{{{32768, 32768, 0}, {32768, 32768, 0}}};
  std::array<int, 2> capsResult{0, 0};
  std::array<JoyCaps, 2> caps{{{0, 65535, 0, 65535}, {0, 65535, 0, 65535}}};
  int positionCalls = 0;
};

class JoystickTest : public ::testing::Test {
 protected:
  void SetUp() override {
    t.platform.joysticks = &fake;
    g.maxShells = {4, 4, 4, 4};
    g.shells = {4, 4, 4, 4};
  }
  void Hold(int id, std::uint32_t x, std::uint32_t y, std::uint32_t buttons) {
    fake.positions[id] = JoyPosition{x, y, buttons};
  }
  FakeJoysticks fake;
  test::TestGame t;
  Game& g = *t.game;
};

struct AxisCase {
  std::uint32_t value;
  int direction;
};

class JoystickThresholdTest : public JoystickTest,
                              public ::testing::WithParamInterface<AxisCase> {};

// With the range 0..65535 and the dead zone 16384, 16384..49151 inclusive reads as centred.
TEST_P(JoystickThresholdTest, EachAxisReadsLeftCentreOrRight) {
  InitJoystick(g, kDeadZone);
  ASSERT_EQ(g.joyIndex, 0);
  Hold(0, GetParam().value, 32768, 0);
  PollJoystick(g);
  EXPECT_EQ(g.joyX, GetParam().direction);
  EXPECT_EQ(g.joyY, 0);
  Hold(0, 32768, GetParam().value, 0);
  PollJoystick(g);
  EXPECT_EQ(g.joyX, 0);
  EXPECT_EQ(g.joyY, GetParam().direction);
}

INSTANTIATE_TEST_SUITE_P(DeadZoneEdges, JoystickThresholdTest,
                         ::testing::Values(AxisCase{0, -1}, AxisCase{16383, -1}, AxisCase{16384, 0},
                                           AxisCase{49151, 0}, AxisCase{49152, 1},
                                           AxisCase{65535, 1}));

TEST_F(JoystickTest, LimitsComeFromTheFirstJoystickThatAnswers) {
  fake.positionResult[0] = 167;
  fake.caps[1] = JoyCaps{100, 1100, 200, 2200};
  InitJoystick(g, 300);
  EXPECT_EQ(g.joyIndex, 1);
  EXPECT_EQ(g.joyLeftLimit, 400);
  EXPECT_EQ(g.joyRightLimit, 800);
  EXPECT_EQ(g.joyUpLimit, 500);
  EXPECT_EQ(g.joyDownLimit, 1900);
}

TEST_F(JoystickTest, NoJoystickLeavesIndexNoneAndLimitsAsTheyWere) {
  struct Case {
    int devices;
    int result0, result1;
  };
  for (const Case& c : {Case{0, 0, 0}, Case{16, 167, 167}}) {
    SCOPED_TRACE(c.devices);
    fake.devices = c.devices;
    fake.positionResult = {c.result0, c.result1};
    g.joyIndex = 0;
    g.joyLeftLimit = 11;
    g.joyDownLimit = 22;
    InitJoystick(g, kDeadZone);
    EXPECT_EQ(g.joyIndex, -1);
    EXPECT_EQ(g.joyLeftLimit, 11);
    EXPECT_EQ(g.joyDownLimit, 22);
  }
}

TEST_F(JoystickTest, FailingCapsQueryLeavesIndexNoneAndLimitsUnchanged) {
  fake.capsResult[0] = 1;
  g.joyRightLimit = 5;
  InitJoystick(g, kDeadZone);
  EXPECT_EQ(g.joyIndex, -1);
  EXPECT_EQ(g.joyLeftLimit, 0);
  EXPECT_EQ(g.joyRightLimit, 5);
}

TEST_F(JoystickTest, PollWithoutJoystickReadsNothingAndAsksNothing) {
  fake.devices = 0;
  InitJoystick(g, kDeadZone);
  g.joyX = 1;
  g.joyButtons = 3;
  fake.positionCalls = 0;
  PollJoystick(g);
  EXPECT_EQ(fake.positionCalls, 0);
  EXPECT_EQ(g.joyX, 0);
  EXPECT_EQ(g.joyY, 0);
  EXPECT_EQ(g.joyButtons, 0u);
}

// No joystick at all: the limits stay 0, and a poll of a joystick that does not answer reads
// (0, 0), which equals both limits: centred.
TEST_F(JoystickTest, MissingJoystickAgainstZeroLimitsReadsCentred) {
  fake.devices = 0;
  InitJoystick(g, kDeadZone);
  fake.positionResult = {167, 167};
  Hold(0, 60000, 60000, 1);
  ReadBattleJoystick(g, 2);
  EXPECT_EQ(g.joyIndex, 0);
  ReadBattleJoystick(g, 2);
  EXPECT_EQ(g.steerInput[2], 0);
  EXPECT_EQ(g.throttleInput[2], 0);
  EXPECT_EQ(g.fireState[2], 0);
}

// One joystick attached, the second missing: player 3 reads (0, 0) against the first one's
// limits, that is left and up, with no buttons; it can never join.
TEST_F(JoystickTest, SecondJoystickMissingReadsLeftAndUpForPlayerThree) {
  test::TestGame scripted;
  Game& s = *scripted.game;
  PadSeats one(1);
  scripted.platform.joysticks = &one;
  InitJoystick(s, kDeadZone);
  ASSERT_EQ(s.joyIndex, 0);
  s.playerCharacter[3] = -1;
  for (int tick = 0; tick < 3; ++tick) {
    ReadSelectionJoystick(s, 3);
    EXPECT_EQ(s.steerInput[3], -1);
    EXPECT_EQ(s.fireState[3], 0);
  }
  EXPECT_EQ(s.joyIndex, 1);
  EXPECT_EQ(s.joyX, -1);
  EXPECT_EQ(s.joyY, -1);
  s.maxShells[3] = 4;
  s.shells[3] = 4;
  ReadBattleJoystick(s, 3);
  EXPECT_EQ(s.steerInput[3], -1);
  EXPECT_EQ(s.throttleInput[3], -1);
  EXPECT_EQ(s.fireState[3], 0);
  // Player 2 on the attached joystick reads centred.
  ReadBattleJoystick(s, 2);
  EXPECT_EQ(s.steerInput[2], 0);
  EXPECT_EQ(s.throttleInput[2], 0);
}

struct BattleButtonCase {
  const char* name;
  std::uint32_t buttons;
  std::int32_t fireBefore;
  std::int32_t shells;
  std::int32_t abilityTimer;
  std::int32_t fireAfter;
};

TEST_F(JoystickTest, BattleButtonsMapToGunAndAbility) {
  const BattleButtonCase cases[] = {
      {"released", 0, -1, 4, 0, 0},
      {"button 1 alone fires", 1, 0, 4, 0, 1},
      {"button 1 while spent waits", 1, -1, 4, 0, -1},
      {"button 2 alone with a full magazine", 2, 0, 4, 0, 2},
      {"button 2 even while spent", 2, -1, 4, 0, 2},
      {"button 2 with a shell missing", 2, 0, 3, 0, 0},
      {"button 2 while the ability runs", 2, 0, 4, 7, 0},
      {"buttons 1 and 2 together ask nothing", 3, 0, 4, 0, 0},
      {"buttons 1 and 2 keep a spent request", 3, -1, 4, 0, -1},
      {"button 1 with button 3 asks nothing", 5, 0, 4, 0, 0},
  };
  InitJoystick(g, kDeadZone);
  for (const BattleButtonCase& c : cases) {
    SCOPED_TRACE(c.name);
    Hold(1, 32768, 32768, c.buttons);
    g.fireState[3] = c.fireBefore;
    g.shells[3] = c.shells;
    g.abilityState[3] = c.abilityTimer;
    ReadBattleJoystick(g, 3);
    EXPECT_EQ(g.joyIndex, 1);
    EXPECT_EQ(g.fireState[3], c.fireAfter);
  }
}

TEST_F(JoystickTest, BattleAxesDriveAndSteerDirectly) {
  InitJoystick(g, kDeadZone);
  Hold(0, 0, 0, 0);  // left and up = forward
  ReadBattleJoystick(g, 2);
  EXPECT_EQ(g.steerInput[2], -1);
  EXPECT_EQ(g.throttleInput[2], -1);
  Hold(0, 65535, 65535, 0);
  ReadBattleJoystick(g, 2);
  EXPECT_EQ(g.steerInput[2], 1);
  EXPECT_EQ(g.throttleInput[2], 1);
  EXPECT_EQ(g.steerInput[3], 0);  // the other player is untouched
}

struct SelectionCase {
  const char* name;
  std::uint32_t x;
  std::uint32_t buttons;
  std::int32_t steerBefore, fireBefore;
  std::int32_t steerAfter, fireAfter;
};

// A handled press (marked +-2 by the selection step) stays marked until the stick is centred or
// the buttons are released.
TEST_F(JoystickTest, SelectionActsOncePerPress) {
  const SelectionCase cases[] = {
      {"right from centre", 65535, 0, 0, 0, 1, 0},
      {"left from centre", 0, 0, 0, 0, -1, 0},
      {"right while handled", 65535, 0, 2, 0, 2, 0},
      {"left while a right is handled", 0, 0, 2, 0, 2, 0},
      {"centred releases", 32768, 0, -2, 0, 0, 0},
      {"button 1 joins", 32768, 1, 0, 0, 0, 1},
      {"button 1 while handled", 32768, 1, 0, 2, 0, 2},
      {"button 2 asks nothing", 32768, 2, 0, 0, 0, 0},
      {"buttons 1 and 2 together ask nothing", 32768, 3, 0, 0, 0, 0},
      {"buttons 1 and 2 keep a handled press", 32768, 3, 0, 2, 0, 2},
      {"released", 32768, 0, 0, 2, 0, 0},
  };
  InitJoystick(g, kDeadZone);
  for (const SelectionCase& c : cases) {
    SCOPED_TRACE(c.name);
    Hold(0, c.x, 32768, c.buttons);
    g.steerInput[2] = c.steerBefore;
    g.fireState[2] = c.fireBefore;
    ReadSelectionJoystick(g, 2);
    EXPECT_EQ(g.steerInput[2], c.steerAfter);
    EXPECT_EQ(g.fireState[2], c.fireAfter);
  }
}

}  // namespace
}  // namespace bf
