#include "input/joystick.h"

#include <gtest/gtest.h>

#include <array>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "platform/pads/pad_seats.h"
#include "platform/sdl/sdl_joysticks.h"
#include "support/scoped_settings.h"
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
  std::array<JoyPosition, 2> positions{{{32768, 32768, 0, 0}, {32768, 32768, 0, 0}}};
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
    fake.positions[id] = JoyPosition{x, y, 0, buttons};
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

// SDL's virtual joysticks stand in for real pads: no display and no device needed.
class SdlJoysticksTest : public ::testing::Test {
 protected:
  void SetUp() override {
    joysticks = std::make_unique<SdlJoysticks>();
    ASSERT_EQ(joysticks->NumDevices(), 2);
    Drain();  // pads the machine may really have are taken first
    for (int id = 0; id < 2; ++id) {
      ASSERT_FALSE(joysticks->Connected(id)) << "a real pad is attached; this test needs none";
    }
  }
  void TearDown() override {
    for (SDL_Joystick* handle : handles) {
      if (handle != nullptr) SDL_JoystickClose(handle);
    }
    joysticks.reset();
  }
  // Pumps SDL's events into the slots, as the game's event pump does.
  void Drain() {
    SDL_Event event;
    while (SDL_PollEvent(&event)) HandleJoystickEvent(*joysticks, event);
  }
  // Plugs in a pad of its own kind (vendor); returns a handle to move its sticks and buttons.
  SDL_Joystick* Plug(Uint16 vendor, SDL_JoystickType type = SDL_JOYSTICK_TYPE_GAMECONTROLLER) {
    SDL_VirtualJoystickDesc desc;
    SDL_zero(desc);
    desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
    desc.type = static_cast<Uint16>(type);
    desc.naxes = 6;
    desc.nbuttons = 15;
    desc.nhats = type == SDL_JOYSTICK_TYPE_GAMECONTROLLER ? 0 : 1;
    desc.vendor_id = vendor;
    desc.product_id = 1;
    const int index = SDL_JoystickAttachVirtualEx(&desc);
    EXPECT_GE(index, 0) << SDL_GetError();
    SDL_Joystick* handle = SDL_JoystickOpen(index);
    handles.push_back(handle);
    Drain();
    return handle;
  }
  void Unplug(SDL_Joystick* handle) {
    const SDL_JoystickID instance = SDL_JoystickInstanceID(handle);
    for (int i = 0; i < SDL_NumJoysticks(); ++i) {
      if (SDL_JoystickGetDeviceInstanceID(i) == instance) SDL_JoystickDetachVirtual(i);
    }
    Drain();
  }
  void Move(SDL_Joystick* handle, Sint16 x, Sint16 y, std::initializer_list<int> pressed = {}) {
    SDL_JoystickSetVirtualAxis(handle, 0, x);
    SDL_JoystickSetVirtualAxis(handle, 1, y);
    for (int b = 0; b < 15; ++b) SDL_JoystickSetVirtualButton(handle, b, 0);
    for (int b : pressed) SDL_JoystickSetVirtualButton(handle, b, 1);
    SDL_JoystickUpdate();
  }
  JoyPosition Read(int id) {
    JoyPosition position{1, 1, 1, 1};
    EXPECT_EQ(joysticks->GetPosition(id, position), 0);
    return position;
  }
  testing::ScopedEnv noDisplay{"SDL_VIDEODRIVER", "dummy"};
  std::unique_ptr<SdlJoysticks> joysticks;
  std::vector<SDL_Joystick*> handles;
};

TEST_F(SdlJoysticksTest, NoPadMeansNoJoystickForTheGame) {
  JoyPosition position;
  JoyCaps caps;
  EXPECT_NE(joysticks->GetPosition(0, position), 0);
  EXPECT_NE(joysticks->GetCaps(0, caps), 0);
  test::TestGame t;
  t.platform.joysticks = joysticks.get();
  InitJoystick(*t.game, kDeadZone);
  EXPECT_EQ(t.game->joyIndex, -1);
}

TEST_F(SdlJoysticksTest, ControllerStickAndButtonsReadAsTheGameExpects) {
  SDL_Joystick* pad = Plug(0x100);
  ASSERT_TRUE(joysticks->Connected(0));
  Move(pad, SDL_JOYSTICK_AXIS_MIN, SDL_JOYSTICK_AXIS_MAX,
       {SDL_CONTROLLER_BUTTON_A, SDL_CONTROLLER_BUTTON_B});
  JoyPosition position = Read(0);
  EXPECT_EQ(position.x, 0u);
  EXPECT_EQ(position.y, 65535u);
  EXPECT_EQ(position.buttons, 3u);
  Move(pad, 0, 0, {SDL_CONTROLLER_BUTTON_DPAD_UP, SDL_CONTROLLER_BUTTON_X});
  position = Read(0);
  EXPECT_EQ(position.x, 32768u);
  EXPECT_EQ(position.y, 0u);  // the D-pad pushes the stick, it is no button
  EXPECT_EQ(position.buttons, 4u);

  test::TestGame t;
  t.platform.joysticks = joysticks.get();
  Game& g = *t.game;
  InitJoystick(g, kDeadZone);
  ASSERT_EQ(g.joyIndex, 0);
  EXPECT_EQ(g.joyRightLimit, 49151);
  Move(pad, 16383 - 32768, 49152 - 32768, {SDL_CONTROLLER_BUTTON_A});
  g.maxShells[2] = 4;
  ReadBattleJoystick(g, 2);
  EXPECT_EQ(g.steerInput[2], -1);
  EXPECT_EQ(g.throttleInput[2], 1);
  EXPECT_EQ(g.fireState[2], 1);
}

TEST_F(SdlJoysticksTest, RawJoystickUsesItsFirstAxesHatAndButtons) {
  SDL_Joystick* stick = Plug(0x200, SDL_JOYSTICK_TYPE_UNKNOWN);
  ASSERT_TRUE(joysticks->Connected(0));
  Move(stick, 100, -100, {1});
  JoyPosition position = Read(0);
  EXPECT_EQ(position.x, 32868u);
  EXPECT_EQ(position.y, 32668u);
  EXPECT_EQ(position.buttons, 2u);
  SDL_JoystickSetVirtualHat(stick, 0, SDL_HAT_RIGHTDOWN);
  SDL_JoystickUpdate();
  position = Read(0);
  EXPECT_EQ(position.x, 65535u);
  EXPECT_EQ(position.y, 65535u);
}

TEST_F(SdlJoysticksTest, UnpluggedPadReadsCentredAndComesBackToItsSlot) {
  SDL_Joystick* first = Plug(0x100);
  SDL_Joystick* second = Plug(0x200);
  ASSERT_TRUE(joysticks->Connected(0));
  ASSERT_TRUE(joysticks->Connected(1));
  Move(second, SDL_JOYSTICK_AXIS_MAX, 0, {SDL_CONTROLLER_BUTTON_A});
  EXPECT_EQ(Read(1).x, 65535u);

  Unplug(second);
  EXPECT_FALSE(joysticks->Connected(1));
  const JoyPosition away = Read(1);
  EXPECT_EQ(away.x, 32768u);
  EXPECT_EQ(away.y, 32768u);
  EXPECT_EQ(away.buttons, 0u);
  JoyCaps caps;
  EXPECT_EQ(joysticks->GetCaps(1, caps), 0);
  Move(first, SDL_JOYSTICK_AXIS_MIN, 0);
  EXPECT_EQ(Read(0).x, 0u);

  second = Plug(0x200);
  ASSERT_TRUE(joysticks->Connected(1));
  Move(second, 0, SDL_JOYSTICK_AXIS_MAX);
  EXPECT_EQ(Read(1).y, 65535u);
  EXPECT_EQ(Read(0).x, 0u);

  // Both gone, then back in the other order: each still finds its own slot.
  Unplug(first);
  Unplug(second);
  second = Plug(0x200);
  EXPECT_TRUE(joysticks->Connected(1));
  EXPECT_FALSE(joysticks->Connected(0));
  first = Plug(0x100);
  EXPECT_TRUE(joysticks->Connected(0));
  Move(first, SDL_JOYSTICK_AXIS_MIN, 0);
  Move(second, SDL_JOYSTICK_AXIS_MAX, 0);
  EXPECT_EQ(Read(0).x, 0u);
  EXPECT_EQ(Read(1).x, 65535u);
}

TEST_F(SdlJoysticksTest, ThirdPadWaitsAndAStrangerTakesAnEmptySlot) {
  SDL_Joystick* first = Plug(0x100);
  Plug(0x200);
  SDL_Joystick* third = Plug(0x300);
  Move(third, SDL_JOYSTICK_AXIS_MAX, 0);
  EXPECT_EQ(Read(0).x, 32768u);
  EXPECT_EQ(Read(1).x, 32768u);
  Unplug(first);
  SDL_Joystick* fourth = Plug(0x400);  // a replacement pad for player 2
  EXPECT_TRUE(joysticks->Connected(0));
  Move(fourth, 0, SDL_JOYSTICK_AXIS_MIN);
  EXPECT_EQ(Read(0).y, 0u);
}

}  // namespace
}  // namespace bf
