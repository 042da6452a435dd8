// The game's own message box: what answers it, what it leaves for the game, and where no box
// can be shown.
#include "platform/sdl/message_box.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "platform/gl/video.h"
#include "platform/pixels/pixel_surface.h"

namespace bf {
namespace {

SDL_Event Key(Uint32 type, SDL_Keycode key, bool repeat = false) {
  SDL_Event event{};
  event.type = type;
  event.key.keysym.sym = key;
  event.key.repeat = repeat ? 1 : 0;
  return event;
}

SDL_Event Click(Uint32 type, int x, int y) {
  SDL_Event event{};
  event.type = type;
  event.button.button = SDL_BUTTON_LEFT;
  event.button.x = x;
  event.button.y = y;
  return event;
}

SDL_Event Of(Uint32 type) {
  SDL_Event event{};
  event.type = type;
  return event;
}

std::vector<Uint32> TakeQueuedTypes() {
  std::vector<Uint32> types;
  SDL_Event event;
  while (SDL_PeepEvents(&event, 1, SDL_GETEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT) > 0)
    types.push_back(event.type);
  return types;
}

// A key or button answers the box once released, and only when it was pressed while the box
// was up; the close, devices coming and going and the music's end stay queued for the game.
TEST(MessageBoxTest, AFullPressAnswersAndTheGameKeepsWhatIsItsOwn) {
  ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_EVENTS), 0) << SDL_GetError();
  const SDL_Rect button{100, 100, 80, 24};
  struct Case {
    const char* what;
    std::vector<SDL_Event> events;
    bool answered;
    std::vector<Uint32> left;
  };
  const Case cases[] = {
      {"Enter", {Key(SDL_KEYDOWN, SDLK_RETURN), Key(SDL_KEYUP, SDLK_RETURN)}, true, {}},
      {"Escape", {Key(SDL_KEYDOWN, SDLK_ESCAPE), Key(SDL_KEYUP, SDLK_ESCAPE)}, true, {}},
      {"a key held from before the box", {Key(SDL_KEYUP, SDLK_RETURN)}, false, {}},
      {"its auto-repeat",
       {Key(SDL_KEYDOWN, SDLK_RETURN, true), Key(SDL_KEYUP, SDLK_RETURN)},
       false,
       {}},
      {"another key", {Key(SDL_KEYDOWN, SDLK_a), Key(SDL_KEYUP, SDLK_a)}, false, {}},
      {"a click on OK",
       {Click(SDL_MOUSEBUTTONDOWN, 101, 101), Click(SDL_MOUSEBUTTONUP, 179, 123)},
       true,
       {}},
      {"a press beside OK",
       {Click(SDL_MOUSEBUTTONDOWN, 99, 101), Click(SDL_MOUSEBUTTONUP, 110, 110)},
       false,
       {}},
      {"a close", {Key(SDL_KEYDOWN, SDLK_RETURN), Of(SDL_QUIT)}, true, {SDL_QUIT}},
      {"devices and the music",
       {Of(SDL_JOYDEVICEADDED), Key(SDL_KEYDOWN, SDLK_a), Of(SDL_USEREVENT)},
       false,
       {SDL_JOYDEVICEADDED, SDL_USEREVENT}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TakeQueuedTypes();
    for (SDL_Event event : c.events) ASSERT_EQ(SDL_PushEvent(&event), 1) << SDL_GetError();
    MessageBoxInput input(button);
    EXPECT_EQ(input.Answered(), c.answered);
    EXPECT_EQ(TakeQueuedTypes(), c.left);
  }
  SDL_QuitSubSystem(SDL_INIT_EVENTS);
}

// The runner's window is hidden: nothing could ever press OK there.
TEST(MessageBoxTest, WithoutAVisibleWindowTheMessageGoesToStandardErrorAndTheGameGoesOn) {
  std::string error;
  std::unique_ptr<Video> video = OpenVideo(VideoMode::kOffscreen, &error);
  ASSERT_NE(video, nullptr) << error;
  WindowMessages messages;
  messages.SetVideo(video.get());
  ::testing::internal::CaptureStderr();
  messages.ShowMessage("Error", "DirectSound起動失敗！", true);
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "Error: DirectSound起動失敗！\n");
}

// The box is laid over the middle of the screen and leaves nothing behind once it is gone.
TEST(MessageBoxTest, TheBoxLiesOverTheScreenUntilTakenAway) {
  std::string error;
  std::unique_ptr<Video> video = OpenVideo(VideoMode::kOffscreen, &error);
  ASSERT_NE(video, nullptr) << error;
  Display& display = video->display();
  std::vector<std::uint8_t> rgb(kScreenWidth * kScreenHeight * 3);
  auto at = [&](int x, int y) {
    const std::size_t i = (static_cast<std::size_t>(y) * kScreenWidth + x) * 3;
    return std::array<int, 3>{rgb[i], rgb[i + 1], rgb[i + 2]};
  };
  const std::array<int, 3> white{255, 255, 255}, navy{0, 0, 132};  // RGB565 widens 128 to 132
  PixelSurface box(100, 60, Rgb{0, 0, 128});
  video->SetOverlay(&box);
  ASSERT_TRUE(display.ReadScreen(rgb.data()));
  EXPECT_EQ(at(270, 210), navy);
  EXPECT_EQ(at(369, 269), navy);
  EXPECT_EQ(at(269, 210), white);
  EXPECT_EQ(at(370, 269), white);
  video->SetOverlay(nullptr);
  ASSERT_TRUE(display.ReadScreen(rgb.data()));
  EXPECT_EQ(at(320, 240), white);
}

}  // namespace
}  // namespace bf
