// The SDL back-end of the pads: SDL's virtual joysticks read as the game expects, the seats pads
// take and keep, the devices SDL's hints ignore, and the pad settings read from the environment.
#include "platform/sdl/sdl_joysticks.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <fstream>
#include <initializer_list>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "input/joystick.h"
#include "platform/sdl/test_pads.h"
#include "support/recording_keys.h"
#include "support/scoped_settings.h"
#include "support/temp_dir.h"
#include "support/test_game.h"
#include "support/virtual_pads.h"

namespace bf {
namespace {
using testing::PadKind;

// SDL's virtual joysticks stand in for real pads: no display and no device needed.
class SdlJoysticksTest : public ::testing::Test {
 protected:
  void SetUp() override { Start(); }
  void TearDown() override { Stop(); }
  void Start() {
    joysticks = std::make_unique<SdlJoysticks>();
    virtualPads = std::make_unique<testing::VirtualPads>();
    ASSERT_EQ(joysticks->seats().NumDevices(), 2);
    Drain();  // pads the machine may really have are taken first
    for (int pad = 0; pad < PadSeats::kPads; ++pad) {
      ASSERT_FALSE(joysticks->Connected(pad)) << "a real pad is attached; this test needs none";
    }
  }
  // Unplugs what the test plugged and stops SDL's joysticks, so the next start reads SDL's
  // settings afresh.
  void Stop() {
    if (virtualPads) {
      while (!virtualPads->handles.empty()) Unplug(virtualPads->handles.back());
      virtualPads.reset();
    }
    joysticks.reset();
  }
  // Pumps SDL's events into the seats and reads the pads, as the game's event pump does.
  void Drain() {
    SDL_Event event;
    while (SDL_PollEvent(&event)) HandleJoystickEvent(*joysticks, event);
    joysticks->ReadPads();
  }
  // Plugs in a pad of this kind, seated (or not) at once; returns a handle to move its sticks
  // and buttons.
  SDL_Joystick* Plug(const PadKind& kind) {
    SDL_Joystick* handle = virtualPads->Plug(kind);
    Drain();
    return handle;
  }
  void Unplug(SDL_Joystick* handle) {
    virtualPads->Unplug(handle);
    Drain();
  }
  void Move(SDL_Joystick* handle, Sint16 x, Sint16 y, std::initializer_list<int> pressed = {}) {
    testing::VirtualPads::Set(handle, x, y, pressed);
    SDL_JoystickUpdate();
    joysticks->ReadPads();
  }
  JoyPosition Read(int id) {
    JoyPosition position{1, 1, 1};
    EXPECT_EQ(joysticks->seats().GetPosition(id, position), 0);
    return position;
  }
  // The seat whose pad reads x at the left end, -1 when none.
  int SeatReadingLeft() {
    for (int pad = 0; pad < PadSeats::kPads; ++pad) {
      if (!joysticks->Connected(pad)) continue;
      if (pad < PadSeats::kJoystickPads && Read(pad).x == 0) return pad;
    }
    return -1;
  }
  int ConnectedCount() const {
    int count = 0;
    for (int pad = 0; pad < PadSeats::kPads; ++pad) count += joysticks->Connected(pad) ? 1 : 0;
    return count;
  }
  testing::ScopedEnv noDisplay{"SDL_VIDEODRIVER", "dummy"};
  std::unique_ptr<SdlJoysticks> joysticks;
  std::unique_ptr<testing::VirtualPads> virtualPads;
};

TEST_F(SdlJoysticksTest, NoPadMeansNoJoystickForTheGame) {
  JoyPosition position;
  JoyCaps caps;
  EXPECT_NE(joysticks->seats().GetPosition(0, position), 0);
  EXPECT_NE(joysticks->seats().GetCaps(0, caps), 0);
  test::TestGame t;
  t.platform.joysticks = &joysticks->seats();
  InitJoystick(*t.game, kJoystickDeadZone);
  EXPECT_EQ(t.game->joyIndex, -1);
}

TEST_F(SdlJoysticksTest, ControllerStickAndButtonsReadAsTheGameExpects) {
  SDL_Joystick* pad = Plug({0x100});
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
  t.platform.joysticks = &joysticks->seats();
  Game& g = *t.game;
  InitJoystick(g, kJoystickDeadZone);
  ASSERT_EQ(g.joyIndex, 0);
  EXPECT_EQ(g.joyRightLimit, 49151);
  // Start held beside A: Start is Enter's, so A is still "button 1 alone".
  Move(pad, 16383 - 32768, 49152 - 32768, {SDL_CONTROLLER_BUTTON_A, SDL_CONTROLLER_BUTTON_START});
  g.maxShells[2] = 4;
  ReadBattleJoystick(g, 2);
  EXPECT_EQ(g.steerInput[2], -1);
  EXPECT_EQ(g.throttleInput[2], 1);
  EXPECT_EQ(g.fireState[2], 1);
}

TEST_F(SdlJoysticksTest, RawJoystickUsesItsFirstAxesHatAndButtons) {
  ::testing::internal::CaptureStderr();  // its line saying it has no mapping
  SDL_Joystick* stick = Plug({0x200, 1, nullptr, SDL_JOYSTICK_TYPE_UNKNOWN});
  ::testing::internal::GetCapturedStderr();
  ASSERT_TRUE(joysticks->Connected(0));
  Move(stick, 100, -100, {1, 4, 6});
  JoyPosition position = Read(0);
  EXPECT_EQ(position.x, 32868u);
  EXPECT_EQ(position.y, 32668u);
  EXPECT_EQ(position.buttons, 0x52u) << "its fifth and seventh buttons are no Back and Start";
  SDL_JoystickSetVirtualHat(stick, 0, SDL_HAT_RIGHTDOWN);
  SDL_JoystickUpdate();
  joysticks->ReadPads();
  position = Read(0);
  EXPECT_EQ(position.x, 65535u);
  EXPECT_EQ(position.y, 65535u);
}

TEST_F(SdlJoysticksTest, UnpluggedPadReadsCentredAndComesBackToItsSeat) {
  SDL_Joystick* first = Plug({0x100});
  SDL_Joystick* second = Plug({0x200});
  ASSERT_TRUE(joysticks->Connected(0));
  ASSERT_TRUE(joysticks->Connected(1));
  Move(second, SDL_JOYSTICK_AXIS_MAX, 0, {SDL_CONTROLLER_BUTTON_A});
  EXPECT_EQ(Read(1).x, 65535u);

  // The game hears of it once, as player 3's pad unplugged, and again when it comes back.
  testing::RecordingKeys sink;
  sink.recordPads = true;
  joysticks->seats().DeliverKeys(sink, 0);
  sink.Take();
  Unplug(second);
  joysticks->seats().DeliverKeys(sink, 20);
  EXPECT_EQ(sink.Take(), std::vector<std::string>{"unplug 3"});
  EXPECT_FALSE(joysticks->Connected(1));
  const JoyPosition away = Read(1);
  EXPECT_EQ(away.x, 32768u);
  EXPECT_EQ(away.y, 32768u);
  EXPECT_EQ(away.buttons, 0u);
  JoyCaps caps;
  EXPECT_EQ(joysticks->seats().GetCaps(1, caps), 0);
  Move(first, SDL_JOYSTICK_AXIS_MIN, 0);
  EXPECT_EQ(Read(0).x, 0u);

  second = Plug({0x200});
  ASSERT_TRUE(joysticks->Connected(1));
  joysticks->seats().DeliverKeys(sink, 40);
  EXPECT_EQ(sink.Take(), std::vector<std::string>{"plug 3"});
  Move(second, 0, SDL_JOYSTICK_AXIS_MAX);
  EXPECT_EQ(Read(1).y, 65535u);
  EXPECT_EQ(Read(0).x, 0u);

  // Both gone, then back in the other order: each still finds its own seat.
  Unplug(first);
  Unplug(second);
  second = Plug({0x200});
  EXPECT_TRUE(joysticks->Connected(1));
  EXPECT_FALSE(joysticks->Connected(0));
  first = Plug({0x100});
  EXPECT_TRUE(joysticks->Connected(0));
  Move(first, SDL_JOYSTICK_AXIS_MIN, 0);
  Move(second, SDL_JOYSTICK_AXIS_MAX, 0);
  EXPECT_EQ(Read(0).x, 0u);
  EXPECT_EQ(Read(1).x, 65535u);
}

// Seats in plug order: players 2, 3, 0, 1, each shown on its pad's light, with a short rumble.
// A fifth pad waits unused; a new pad takes the seat of one that went away.
TEST_F(SdlJoysticksTest, FourPadsTakeTheirSeatsInPlugOrderAndShowThem) {
  SDL_Joystick* pads[4];
  for (int pad = 0; pad < 4; ++pad) {
    pads[pad] = Plug({static_cast<Uint16>(0x100 * (pad + 1))});
    ASSERT_TRUE(joysticks->Connected(pad));
    EXPECT_EQ(virtualPads->feedback[pad]->playerIndex, PadSeats::PlayerOf(pad));
    EXPECT_EQ(SDL_JoystickGetPlayerIndex(pads[pad]), PadSeats::PlayerOf(pad));
    EXPECT_EQ(virtualPads->feedback[pad]->rumbles, 1);
  }
  EXPECT_EQ((std::array{PadSeats::PlayerOf(0), PadSeats::PlayerOf(1), PadSeats::PlayerOf(2),
                        PadSeats::PlayerOf(3)}),
            (std::array{2, 3, 0, 1}));
  Plug({0x500});
  EXPECT_EQ(virtualPads->feedback[4]->rumbles, 0);
  EXPECT_EQ(ConnectedCount(), 4);
  // The third pad is player 0: its stick is the arrow keys.
  Move(pads[2], SDL_JOYSTICK_AXIS_MIN, 0);
  testing::RecordingKeys keys;
  joysticks->seats().DeliverKeys(keys, 0);
  EXPECT_EQ(keys.events, std::vector<std::string>{"down 37/0"});

  Unplug(pads[1]);
  Plug({0x600});
  EXPECT_TRUE(joysticks->Connected(1));
  EXPECT_EQ(virtualPads->feedback[5]->playerIndex, 3);
}

// Two pads of one kind (same name, same GUID, no serial number, no device path here): each
// keeps its own seat through unplugging and plugging in again.
TEST_F(SdlJoysticksTest, IdenticalPadsKeepTheirOwnSeats) {
  const PadKind kind{0x45e, 0x28e, "Same Pad"};
  SDL_Joystick* x = Plug(kind);
  SDL_Joystick* y = Plug(kind);
  char guids[2][33];
  SDL_JoystickGetGUIDString(SDL_JoystickGetGUID(x), guids[0], 33);
  SDL_JoystickGetGUIDString(SDL_JoystickGetGUID(y), guids[1], 33);
  ASSERT_STREQ(guids[0], guids[1]);
  Move(x, SDL_JOYSTICK_AXIS_MIN, 0);
  EXPECT_EQ(SeatReadingLeft(), 0);

  // The second one leaves and comes back: seat 1 again, and the first one is undisturbed.
  Unplug(y);
  EXPECT_TRUE(joysticks->Connected(0));
  EXPECT_FALSE(joysticks->Connected(1));
  y = Plug(kind);
  EXPECT_TRUE(joysticks->Connected(1));
  EXPECT_EQ(virtualPads->feedback.back()->playerIndex, 3);
  Move(y, SDL_JOYSTICK_AXIS_MIN, 0);
  Move(x, 0, 0);
  EXPECT_EQ(SeatReadingLeft(), 1);

  // Now the first one.
  Unplug(x);
  EXPECT_FALSE(joysticks->Connected(0));
  EXPECT_TRUE(joysticks->Connected(1));
  x = Plug(kind);
  EXPECT_EQ(virtualPads->feedback.back()->playerIndex, 2);
  Move(y, 0, 0);
  Move(x, SDL_JOYSTICK_AXIS_MIN, 0);
  EXPECT_EQ(SeatReadingLeft(), 0);

  // A third of the kind while both are in: a seat of its own.
  Plug(kind);
  EXPECT_TRUE(joysticks->Connected(2));

  // Both away at once: nothing tells them apart, so they come back in seat order.
  Unplug(x);
  Unplug(y);
  Plug(kind);
  EXPECT_TRUE(joysticks->Connected(0));
  EXPECT_FALSE(joysticks->Connected(1));
  Plug(kind);
  EXPECT_TRUE(joysticks->Connected(1));
}

// The rule itself, where real pads tell identical pads apart by serial number or device path.
TEST(ChoosePadSeat, APadGoesBackToItsOwnSeat) {
  const PadIdentity pad{"g", "", "/dev/input/event7"};
  const PadIdentity twin{"g", "", "/dev/input/event9"};
  const PadIdentity other{"h", "", ""};
  auto away = [](const PadIdentity& who) { return PadSeatRecord{true, false, who}; };
  auto in = [](const PadIdentity& who) { return PadSeatRecord{true, true, who}; };
  const PadSeatRecord free{};
  struct Case {
    const char* name;
    std::array<PadSeatRecord, 4> seats;
    PadIdentity plugged;
    int seat;
  };
  const Case cases[] = {
      {"first pad takes seat 0", {free, free, free, free}, pad, 0},
      {"new pads fill seats in plug order", {in(other), in(pad), free, free}, twin, 2},
      {"the same device path wins among identical pads",
       {away(twin), away(pad), free, free},
       pad,
       1},
      {"identical pads without a path: the first away",
       {away(twin), away(pad), free, free},
       PadIdentity{"g", "", ""},
       0},
      {"same kind before a free seat", {in(other), away(twin), free, free}, pad, 1},
      {"another serial number is another pad",
       {away({"g", "A1", ""}), free, free, free},
       PadIdentity{"g", "B2", ""},
       1},
      {"the same serial number on another port",
       {free, away({"g", "A1", "p1"}), free, free},
       PadIdentity{"g", "A1", "p2"},
       1},
      {"a stranger replaces a pad that left",
       {in(pad), away(other), in(twin), in(pad)},
       PadIdentity{"k", "", ""},
       1},
      {"every seat in use: none", {in(pad), in(other), in(twin), in(pad)}, pad, -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(ChoosePadSeat(c.seats, c.plugged), c.seat);
  }
}

// SDL's hints for devices to ignore hold for every pad, whichever driver found it; Steam's own
// virtual pad stays when Steam says it offers it, so the pads Steam wraps count once.
TEST_F(SdlJoysticksTest, DevicesTheHintsIgnoreAreNeverSeated) {
  const TempDir dir;
  const std::string listFile = dir.Write("ignored-pads.txt", "0x0abc/0x0001\n");
  const std::string fromFile = "@" + listFile;
  struct Case {
    const char* name;
    const char* ignore;
    const char* except;
    const char* allowSteam;
    Uint16 vendor, product;
    bool seated;
  };
  const Case cases[] = {
      {"no hints", nullptr, nullptr, nullptr, 0x0abc, 0x0001, true},
      {"ignored", "0x1234/0x5678, 0x0abc/0x0001", nullptr, nullptr, 0x0abc, 0x0001, false},
      {"not in the ignored list", "0x0abc/0x0001", nullptr, nullptr, 0x0abc, 0x0002, true},
      {"ignored through a file", fromFile.c_str(), nullptr, nullptr, 0x0abc, 0x0001, false},
      {"not in the allowed list", nullptr, "0x0abc/0x0002", nullptr, 0x0abc, 0x0001, false},
      {"in the allowed list", "0x0abc/0x0002", "0x0abc/0x0002", nullptr, 0x0abc, 0x0002, true},
      {"Steam's pad ignored", "0x28de/0x11ff", nullptr, nullptr, 0x28de, 0x11ff, false},
      {"Steam's pad offered by Steam", "0x28de/0x11ff", nullptr, "1", 0x28de, 0x11ff, true},
      {"Steam ignores the pad it wraps", "0x045e/0x028e", nullptr, "1", 0x045e, 0x028e, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::optional<testing::ScopedHint> ignore, except, allow;
    if (c.ignore != nullptr) ignore.emplace(SDL_HINT_GAMECONTROLLER_IGNORE_DEVICES, c.ignore);
    if (c.except != nullptr)
      except.emplace(SDL_HINT_GAMECONTROLLER_IGNORE_DEVICES_EXCEPT, c.except);
    if (c.allowSteam != nullptr)
      allow.emplace("SDL_GAMECONTROLLER_ALLOW_STEAM_VIRTUAL_GAMEPAD", c.allowSteam);
    SDL_Joystick* pad = Plug({c.vendor, c.product});
    EXPECT_EQ(ConnectedCount(), c.seated ? 1 : 0);
    Unplug(pad);
  }
  std::remove(listFile.c_str());
}

// A pad without a mapping says so once, with its name and GUID; a mapping given in SDL's own
// variables, as a line or in a file, comes first.
TEST_F(SdlJoysticksTest, MappingsFromTheEnvironmentComeFirst) {
  const PadKind plain{0x300, 1, "Plain Stick", SDL_JOYSTICK_TYPE_UNKNOWN};
  ::testing::internal::CaptureStderr();
  SDL_Joystick* stick = Plug(plain);
  char guid[33];
  SDL_JoystickGetGUIDString(SDL_JoystickGetGUID(stick), guid, sizeof guid);
  Unplug(stick);
  Plug(plain);  // the same pad again: no second line
  const std::string said = ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(said, std::string("burrowfield: the pad \"Plain Stick\" (GUID ") + guid +
                      ") has no game-controller mapping; its raw stick and buttons are read\n");
  Move(virtualPads->handles.back(), 0, 0, {0});
  EXPECT_EQ(Read(0).buttons, 1u);
  Stop();

  // The mapping swaps A and B. SDL reads a line from a file only for the platform it names.
  const std::string mapping =
      std::string(guid) + ",Plain Stick,a:b1,b:b0,leftx:a0,lefty:a1,platform:" + SDL_GetPlatform() +
      ",";
  const TempDir dir;
  const std::string mappingFile = dir.Write("pad-mappings.txt", mapping + "\n");
  const std::pair<const char*, std::string> settings[] = {
      {"SDL_GAMECONTROLLERCONFIG_FILE", mappingFile},
      {"SDL_GAMECONTROLLERCONFIG", mapping},
  };
  for (const auto& [variable, value] : settings) {
    SCOPED_TRACE(variable);
    testing::ScopedEnv setting(variable, value);
    Start();
    ::testing::internal::CaptureStderr();
    stick = Plug(plain);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
    Move(stick, 0, 0, {0});
    EXPECT_EQ(Read(0).buttons, 2u) << "raw button 1 is B through the mapping";
    Stop();
  }
  std::remove(mappingFile.c_str());
  Start();
}

// The files SDL's pad settings name are read by the game, a mebibyte and 2000 mappings for this
// platform at most, and never opened when they are not regular files: SDL read "@/dev/zero"
// without end (not tried here: a regression would eat the machine's memory) and blocked on a
// FIFO. What is not read says so in one line, and the pads are read as if the setting were not
// there.
TEST_F(SdlJoysticksTest, SettingFilesAreReadWithALimit) {
  const PadKind plain{0x0abc, 1, "Plain Stick", SDL_JOYSTICK_TYPE_UNKNOWN};
  SDL_Joystick* stick = Plug(plain);
  char guid[33];
  SDL_JoystickGetGUIDString(SDL_JoystickGetGUID(stick), guid, sizeof guid);
  Stop();

  const TempDir dir;
  const std::string pair = "0x0abc/0x0001\n";
  const std::string mapping =
      std::string(guid) + ",Plain Stick,a:b1,b:b0,platform:" + SDL_GetPlatform() + ",\n";
  std::string otherMappings;  // 1999 of them, then the 2000th
  for (int i = 0; i < 2000; ++i) {
    if (i == 1999) otherMappings += "# the last one\n";
    char other[40];
    std::snprintf(other, sizeof other, "03000000%08x0000%012x", 0xf000 + i, 0);
    otherMappings += std::string(other) + ",Other,a:b0,platform:" + SDL_GetPlatform() + ",\n";
  }
  const std::size_t lastOther = otherMappings.find("# the last one\n");
  const std::string fifo = dir.path() + "/fifo";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  const std::string bigList = dir.Write("big-list.txt", pair + std::string(1 << 20, '\n'));
  const std::string smallList = dir.Write("list.txt", pair);
  const std::string bigMappings =
      dir.Write("big-mappings.txt", mapping + std::string(1 << 20, '\n'));
  const std::string fullMappings =
      dir.Write("full-mappings.txt", otherMappings.substr(0, lastOther) + mapping);
  const std::string manyMappings = dir.Write("many-mappings.txt", otherMappings + mapping);
  struct Case {
    const char* variable;
    std::string value;
    const char* said;  // in the one line on standard error, "" for none
    bool seated;
    std::uint32_t buttonOne;  // what raw button 1 reads as: 2 through the mapping
  };
  const Case cases[] = {
      {"SDL_GAMECONTROLLER_IGNORE_DEVICES", "@" + smallList, "", false, 0},
      {"SDL_GAMECONTROLLER_IGNORE_DEVICES", "@" + bigList, "more than a setting file may have",
       true, 1},
      {"SDL_GAMECONTROLLER_IGNORE_DEVICES_EXCEPT", "@" + fifo, "is a FIFO, not a file", true, 1},
      {"SDL_GAMECONTROLLERCONFIG_FILE", bigMappings, "more than a setting file may have", true, 1},
      {"SDL_GAMECONTROLLERCONFIG_FILE", fullMappings, "", true, 2},
      {"SDL_GAMECONTROLLERCONFIG_FILE", manyMappings, "only the first 2000 are read", true, 1},
      {"SDL_GAMECONTROLLERCONFIG_FILE", fifo, "is a FIFO, not a file", true, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.variable) + "=" + c.value);
    testing::ScopedEnv setting(c.variable, c.value);
    ::testing::internal::CaptureStderr();
    Start();
    const std::string said = ::testing::internal::GetCapturedStderr();
    if (*c.said == '\0') {
      EXPECT_EQ(said, "");
    } else {
      EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
      EXPECT_NE(said.find(c.said), std::string::npos) << said;
    }
    ::testing::internal::CaptureStderr();  // a raw pad's own line is not what this test reads
    stick = Plug(plain);
    ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(ConnectedCount(), c.seated ? 1 : 0);
    if (c.seated) {
      Move(stick, 0, 0, {0});
      EXPECT_EQ(Read(0).buttons, c.buttonOne);
    }
    Stop();
  }
  Start();
}

// The window tests' pads: the whole lines appended to the file BF_TEST_PADS names plug in, move
// and unplug a pad the seats read as any other; what is no order is ignored and said, and a line
// not yet ended waits for its end.
TEST_F(SdlJoysticksTest, TestPadsFollowTheLinesAppendedToTheirFile) {
  const TempDir dir;
  const std::string path = dir.Write("pads", "");
  testing::ScopedEnv variable(TestPads::kVariable, path);
  std::unique_ptr<TestPads> pads = TestPads::FromEnvironment();
  ASSERT_NE(pads, nullptr);
  std::ofstream file(path, std::ios::app);
  auto append = [&](const std::string& text) {
    file << text << std::flush;
    pads->Poll();
    Drain();
  };
  append("plug 0\nbutton 0 0 1\naxis 0 0 -32768\naxis 0");
  ASSERT_TRUE(joysticks->Connected(0));
  JoyPosition position = Read(0);
  EXPECT_EQ(position.x, 0u);
  EXPECT_EQ(position.y, 32768u) << "half a line is no order yet";
  EXPECT_EQ(position.buttons, 1u);
  append(" 1 32767\n");
  EXPECT_EQ(Read(0).y, 65535u);

  ::testing::internal::CaptureStderr();
  append(
      "axis 0 1 32768\nbutton 0 15 1\nbutton 0 1 2\nbutton 4 1 1\naxis 0 1\njump 0\nplug\n"
      "plug 0 0\nbutton 0 1 1 1\n" +
      std::string(100, 'x') + "\n\n button 0 1 1x\n");
  const std::string said = ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 12) << said;
  EXPECT_NE(said.find("BF_TEST_PADS: line 16 is no order"), std::string::npos) << said;
  position = Read(0);
  EXPECT_EQ(position.y, 65535u);
  EXPECT_EQ(position.buttons, 1u);

  // Plugged in already: nothing; out; nothing to press; back, to its own seat.
  append("plug 0\nunplug 0\nbutton 0 1 1\n");
  EXPECT_FALSE(joysticks->Connected(0));
  append("plug 0\n");
  EXPECT_TRUE(joysticks->Connected(0));
  pads.reset();
  Drain();
  EXPECT_FALSE(joysticks->Connected(0)) << "the test's pads go with the game";

  // Only a file or a FIFO is read; what else the variable names says so and changes nothing.
  const std::string fifo = dir.path() + "/fifo";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  testing::ScopedEnv fromFifo(TestPads::kVariable, fifo);
  EXPECT_NE(TestPads::FromEnvironment(), nullptr) << "a FIFO opens without its writer";
  for (const std::string& refused :
       {dir.path() + "/missing", dir.path(), std::string("/dev/zero")}) {
    SCOPED_TRACE(refused);
    testing::ScopedEnv setting(TestPads::kVariable, refused);
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(TestPads::FromEnvironment(), nullptr);
    EXPECT_NE(::testing::internal::GetCapturedStderr().find("no file or FIFO"), std::string::npos);
  }
}

}  // namespace
}  // namespace bf
