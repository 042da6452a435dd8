#include "platform/pads/pad_seats.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/recording_keys.h"

namespace bf {
namespace {

using Events = std::vector<std::string>;

constexpr std::uint32_t kLeft = 0, kRight = 65535, kMid = kPadCentre;

PadState Stick(std::uint32_t x, std::uint32_t y, std::uint32_t buttons = 0) {
  return PadState{x, y, buttons};
}

class PadSeatsTest : public ::testing::Test {
 protected:
  // Pad `pad` reads `state` from the pump at `ms` on; returns the key events that pump makes.
  Events At(std::uint32_t ms, int pad, const PadState& state) {
    seats.Set(pad, state);
    seats.DeliverKeys(sink, ms);
    return sink.Take();
  }
  Events At(std::uint32_t ms) {
    seats.DeliverKeys(sink, ms);
    return sink.Take();
  }
  PadSeats seats{4};
  testing::RecordingKeys sink;
};

// Each step is one pump: the key pad's new state and the events it makes, releases before
// presses, with the mask as it stands after each event.
TEST_F(PadSeatsTest, KeyPadsMakeTheirSeatsKeys) {
  struct Step {
    PadState state;
    Events events;
  };
  struct Case {
    const char* name;
    int pad;
    std::vector<Step> steps;
  };
  const Case cases[] = {
      {"seat 0 steers with the arrows",
       2,
       {{Stick(kLeft, kMid), {"down 37/0"}},
        {Stick(kRight, kMid), {"up 37/0", "down 39/0"}},
        {Stick(kMid, kLeft), {"up 39/0", "down 38/0"}},
        {Stick(kMid, kRight), {"up 38/0", "down 40/0"}},
        {Stick(kMid, kMid), {"up 40/0"}}}},
      {"seat 0: A is Ctrl, B is Shift, each in the mask while held",
       2,
       {{Stick(kMid, kMid, pad::kA), {"down 17/2"}},
        {Stick(kLeft, kMid, pad::kA), {"down 37/2"}},
        {Stick(kLeft, kMid, pad::kA | pad::kB), {"down 16/3"}},
        {Stick(kMid, kMid, pad::kB), {"up 37/3", "up 17/1"}},
        {Stick(kMid, kMid), {"up 16/0"}}}},
      {"seat 0: A and B in one pump, A first",
       2,
       {{Stick(kMid, kMid, pad::kA | pad::kB), {"down 17/2", "down 16/3"}}}},
      {"seat 1 uses A/D/W/S, F and G, no modifier",
       3,
       {{Stick(kLeft, kLeft, pad::kA), {"down 65/0", "down 87/0", "down 70/0"}},
        {Stick(kRight, kRight, pad::kB),
         {"up 65/0", "up 87/0", "up 70/0", "down 68/0", "down 83/0", "down 71/0"}}}},
      {"the dead zone of the joysticks: 16384 to 49151 is centred",
       2,
       {{Stick(16384, 49151), {}},
        {Stick(16383, 49151), {"down 37/0"}},
        {Stick(16384, 49152), {"up 37/0", "down 40/0"}}}},
      {"held buttons make nothing more",
       3,
       {{Stick(kMid, kMid, 1), {"down 70/0"}}, {Stick(kMid, kMid, 1), {}}}},
      {"X, Y and the shoulders make no key",
       2,
       {{Stick(kMid, kMid, 0xFFFFFFFCu & ~(pad::kBack | pad::kStart | pad::kDpad)), {}}}},
      {"the D-pad is the stick pushed to its end",
       2,
       {{Stick(kMid, kMid, pad::kDpadLeft | pad::kDpadDown), {"down 37/0", "down 40/0"}},
        {Stick(kMid, kMid, pad::kDpadRight | pad::kDpadUp),
         {"up 37/0", "up 40/0", "down 39/0", "down 38/0"}}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    seats = PadSeats(4);
    std::uint32_t ms = 0;
    for (const Step& step : c.steps) EXPECT_EQ(At(ms += 20, c.pad, step.state), step.events);
  }
}

TEST_F(PadSeatsTest, JoystickPadsMakeNoKeysAndReadWithoutBackAndStart) {
  EXPECT_EQ(At(20, 0, Stick(kLeft, kRight, pad::kA | pad::kB)), Events{});
  EXPECT_EQ(seats.NumDevices(), 2);
  struct Case {
    const char* name;
    PadState state;
    std::uint32_t buttons;
  };
  const Case cases[] = {
      {"A alone", Stick(1, 2, pad::kA), pad::kA},
      {"Start does not spoil button 1 alone", Stick(1, 2, pad::kA | pad::kStart), pad::kA},
      {"nor Back", Stick(1, 2, pad::kB | pad::kBack), pad::kB},
      {"Guide is a button like X", Stick(1, 2, pad::kGuide | pad::kX), pad::kGuide | pad::kX},
      {"a pad without a mapping keeps every button", PadState{1, 2, 0x50, false}, 0x50},
      {"nor is its 12th button a D-pad", PadState{1, 2, pad::kDpadUp, false}, pad::kDpadUp},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    seats.Set(1, c.state);
    JoyPosition position;
    ASSERT_EQ(seats.GetPosition(1, position), 0);
    EXPECT_EQ(position.x, 1u);
    EXPECT_EQ(position.y, 2u);
    EXPECT_EQ(position.buttons, c.buttons);
  }
}

// The D-pad holds the stick at its end and is never a button, so A with it is still A alone.
TEST_F(PadSeatsTest, JoystickPadsReadTheDpadAsTheStick) {
  seats.Set(0, Stick(kMid, kMid, pad::kA | pad::kDpadRight | pad::kDpadDown));
  JoyPosition position;
  ASSERT_EQ(seats.GetPosition(0, position), 0);
  EXPECT_EQ(position.x, kRight);
  EXPECT_EQ(position.y, kRight);
  EXPECT_EQ(position.buttons, pad::kA);
}

// Each press of a button is told once, after the keys; an unplugged pad is told once, lets go
// of its keys first, and is told again when it is plugged back in.
TEST_F(PadSeatsTest, ButtonsAndConnectionsAreToldOnce) {
  sink.recordPads = true;
  EXPECT_EQ(At(20, 2, Stick(kMid, kMid, pad::kA)), (Events{"down 17/2", "button 0"}));
  EXPECT_EQ(At(40, 2, Stick(kMid, kMid, pad::kA)), Events{});
  EXPECT_EQ(At(60, 1, Stick(kMid, kMid, pad::kStart)), (Events{"down 13/0", "button 3 start"}));
  seats.Unplug(2);
  EXPECT_EQ(At(80), (Events{"up 17/0", "unplug 0"}));
  EXPECT_EQ(At(100), Events{});
  EXPECT_EQ(At(120, 2, Stick(kMid, kMid, pad::kA)), Events{}) << "an unplugged pad is not read";
  seats.Plug(2);
  EXPECT_EQ(At(140), Events{"plug 0"});
  EXPECT_TRUE(seats.Seated(2));
}

// The game's joysticks are pads 0 and 1 only, and only once seated; the key pads and pads
// beyond the seated ones answer "unplugged", and a state given to a pad without a seat is lost.
TEST_F(PadSeatsTest, OnlySeatedJoystickPadsAnswerTheGame) {
  PadSeats one(1);
  one.Set(1, Stick(kLeft, kLeft, pad::kA));
  one.Set(2, Stick(kLeft, kLeft, pad::kA | pad::kStart));
  one.DeliverKeys(sink, 20);
  EXPECT_EQ(sink.Take(), Events{});
  JoyPosition position;
  JoyCaps caps;
  EXPECT_EQ(one.GetPosition(0, position), 0);
  EXPECT_EQ(one.GetCaps(0, caps), 0);
  EXPECT_EQ(caps.xMax, 65535u);
  for (int id : {-1, 1, 2, 3, 4}) {
    SCOPED_TRACE(id);
    EXPECT_NE(one.GetPosition(id, position), 0);
    EXPECT_NE(one.GetCaps(id, caps), 0);
  }
  one.Seat(1);
  EXPECT_EQ(one.GetPosition(1, position), 0);
  EXPECT_EQ(position.x, kMid) << "the state given before the seat was taken is not kept";
}

// All pads share one Enter, held from the first Start to the last release; it carries the mask
// of the pad that moved it.
TEST_F(PadSeatsTest, StartOnAnyPadIsOneSharedEnter) {
  EXPECT_EQ(At(20, 1, Stick(kMid, kMid, pad::kStart)), Events{"down 13/0"});
  EXPECT_EQ(At(40, 3, Stick(kMid, kMid, pad::kStart)), Events{});
  EXPECT_EQ(At(60, 1, Stick(kMid, kMid)), Events{});
  EXPECT_EQ(At(80, 3, Stick(kMid, kMid)), Events{"up 13/0"});
  EXPECT_EQ(At(100, 2, Stick(kMid, kMid, pad::kA | pad::kStart)),
            (Events{"down 17/2", "down 13/2"}));
  EXPECT_EQ(At(120, 2, Stick(kMid, kMid, pad::kA)), Events{"up 13/2"});
  // A pad read without a mapping has no Start: its seventh button is only a button.
  EXPECT_EQ(At(140, 0, PadState{kMid, kMid, pad::kStart, false}), Events{});
}

TEST_F(PadSeatsTest, BackHeldForASecondIsEscapeOncePerHold) {
  const PadState back = Stick(kMid, kMid, pad::kBack);
  EXPECT_EQ(At(1000, 0, back), Events{});
  EXPECT_EQ(At(1999), Events{});
  EXPECT_EQ(At(2000), (Events{"down 27/0", "up 27/0"}));
  EXPECT_EQ(At(9000), Events{});
  EXPECT_EQ(At(9020, 0, Stick(kMid, kMid)), Events{});
  // A press shorter than a second is nothing at all.
  EXPECT_EQ(At(9040, 0, back), Events{});
  EXPECT_EQ(At(10020, 0, Stick(kMid, kMid)), Events{});
  EXPECT_EQ(At(11040), Events{});
  // Seat 0's pad holding A: the mask stands as its keys leave it.
  EXPECT_EQ(At(12000, 2, Stick(kMid, kMid, pad::kA | pad::kBack)), Events{"down 17/2"});
  EXPECT_EQ(At(13000), (Events{"down 27/2", "up 27/2"}));
  // A pad read without a mapping has no Back.
  EXPECT_EQ(At(14000, 1, PadState{kMid, kMid, pad::kBack, false}), Events{});
  EXPECT_EQ(At(16000), Events{});
}

// Two players leaving a battle together: the first hold to reach a second makes the Escape and
// spends every Back held then, so the game does not quit from the selection screen a moment
// later. A new press after that counts again.
TEST_F(PadSeatsTest, OneEscapeForBackHeldOnSeveralPads) {
  const PadState back = Stick(kMid, kMid, pad::kBack);
  EXPECT_EQ(At(0, 0, back), Events{});
  EXPECT_EQ(At(500, 3, back), Events{});
  EXPECT_EQ(At(1000), (Events{"down 27/0", "up 27/0"}));
  EXPECT_EQ(At(1500), Events{});
  EXPECT_EQ(At(3000), Events{});
  EXPECT_EQ(At(3020, 0, Stick(kMid, kMid)), Events{});
  EXPECT_EQ(At(3040, 0, back), Events{});
  EXPECT_EQ(At(4040), (Events{"down 27/0", "up 27/0"}));
}

// An unplugged pad reads released: everything it held is let go.
TEST_F(PadSeatsTest, AReleasedPadLetsGoOfEverything) {
  EXPECT_EQ(At(20, 2, Stick(kRight, kLeft, pad::kA | pad::kB | pad::kStart)),
            (Events{"down 39/0", "down 38/0", "down 17/2", "down 16/3", "down 13/3"}));
  EXPECT_EQ(At(40, 2, PadState{}), (Events{"up 39/3", "up 38/3", "up 17/1", "up 16/0", "up 13/0"}));
}

}  // namespace
}  // namespace bf
