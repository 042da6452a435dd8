// The pads keep playing while another window has the keyboard's focus: a couch game, where
// someone switches to a chat window and the others play on. The game's real window on an X
// display (tests/e2e/background_pads.sh starts a private one), its focus taken by another
// client's window, and SDL's virtual pads, which SDL treats as it treats a real pad.
#include <SDL.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <memory>
#include <string>

#include "platform/sdl/sdl_platform.h"
#include "support/recording_keys.h"
#include "support/scoped_settings.h"
#include "support/virtual_pads.h"
#include "window/other_window.h"

namespace bf {
namespace {

class BackgroundPadsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "needs an X display (background_pads.sh)";
    std::string error;
    sdl = CreateSdlPlatform(/*windowed=*/true, &error);
    ASSERT_NE(sdl, nullptr) << error;
    window = SDL_GL_GetCurrentWindow();  // the game draws into its window's context
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(other.open());
    sink.recordPads = true;
  }

  // Runs the game's event pump, as its loop does between ticks, until `done` holds; false when
  // it did not within a minute (a guard only: a busy machine is slow).
  template <class Done>
  bool PumpUntil(Done done) {
    const auto guard = std::chrono::steady_clock::now() + std::chrono::minutes(1);
    Platform& platform = sdl->platform();
    while (!done()) {
      if (std::chrono::steady_clock::now() > guard) return false;
      platform.events->WaitAndPump(sink, platform.clock->Milliseconds() + 10);
    }
    return true;
  }
  // One pass of the game's pump once SDL has taken in what the pads were set to: whatever SDL
  // lets through is in the seats after it.
  void PumpOnce() {
    SDL_JoystickUpdate();
    sdl->platform().events->Pump(sink);
  }
  bool GameHasFocus() const { return SDL_GetKeyboardFocus() == window; }
  // The first seat's pad (player 2) as the game reads it.
  JoyPosition FirstPad() const {
    JoyPosition position;
    EXPECT_EQ(sdl->platform().joysticks->GetPosition(0, position), 0);
    return position;
  }

  // The game's window has the focus, then loses it to the other window; a pad plugged in after
  // that pushes its stick left with A held. The pad is seated, its input not yet taken in.
  void PressWithTheFocusAway() {
    SDL_SetWindowInputFocus(window);
    ASSERT_TRUE(PumpUntil([&] { return GameHasFocus(); })) << "the game's window never had it";
    other.TakeFocus();
    ASSERT_TRUE(PumpUntil([] { return SDL_GetKeyboardFocus() == nullptr; }))
        << "the game's window kept the focus";
    SDL_Joystick* pad = pads.Plug({0x100});
    ASSERT_NE(pad, nullptr);
    ASSERT_TRUE(PumpUntil([&] { return sdl->platform().joysticks->SeatedPads() == 1; }));
    sink.Take();
    testing::VirtualPads::Set(pad, SDL_JOYSTICK_AXIS_MIN, 0, {SDL_CONTROLLER_BUTTON_A});
  }

  std::unique_ptr<SdlPlatform> sdl;
  SDL_Window* window = nullptr;
  testing::OtherWindow other;
  testing::RecordingKeys sink;
  testing::VirtualPads pads;  // unplugged before SDL stops
};

TEST_F(BackgroundPadsTest, PadsPlayWhileAnotherWindowHasTheKeyboard) {
  ASSERT_NO_FATAL_FAILURE(PressWithTheFocusAway());
  PumpOnce();
  const JoyPosition pad = FirstPad();
  EXPECT_EQ(pad.x, 0u);
  EXPECT_EQ(pad.buttons, 1u);
  EXPECT_EQ(sink.Take(), std::vector<std::string>{"button 2"});
  EXPECT_EQ(SDL_GetKeyboardFocus(), nullptr) << "the other window still has the focus";
}

// What the game's hint changes: without it SDL drops a pad's input while none of the game's
// windows has the focus, and the same press reaches the game only once its window has it back.
class BackgroundPadsWithoutTheHintTest : public BackgroundPadsTest {
  testing::ScopedEnv hintOff{"SDL_JOYSTICK_ALLOW_BACKGROUND_EVENTS", "0"};  // SDL's env wins
};

TEST_F(BackgroundPadsWithoutTheHintTest, PadWaitsForTheFocus) {
  ASSERT_NO_FATAL_FAILURE(PressWithTheFocusAway());
  PumpOnce();
  JoyPosition pad = FirstPad();
  EXPECT_EQ(pad.x, 32768u);
  EXPECT_EQ(pad.buttons, 0u);
  EXPECT_EQ(sink.Take(), std::vector<std::string>{});

  SDL_SetWindowInputFocus(window);
  ASSERT_TRUE(PumpUntil([&] { return GameHasFocus(); }));
  PumpOnce();
  pad = FirstPad();
  EXPECT_EQ(pad.x, 0u);
  EXPECT_EQ(pad.buttons, 1u);
}

}  // namespace
}  // namespace bf
