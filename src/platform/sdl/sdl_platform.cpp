#include "platform/sdl/sdl_platform.h"

#include <SDL.h>

#include <cstdlib>

#include "platform/files/files.h"
#include "platform/gl/video.h"
#include "platform/readers/image_file.h"
#include "platform/sdl/keys.h"
#include "platform/sdl/message_box.h"
#include "platform/sdl/sdl_audio.h"
#include "platform/sdl/sdl_joysticks.h"
#include "platform/sdl/test_pads.h"
#include "platform/sdl/wayland_seat.h"

namespace bf {
namespace {

constexpr int kToggleWindowKey = SDLK_F11;

// SDL names the game window's class (X11) after this variable; desktops match it with the menu
// entry's StartupWMClass. Under Wayland the app id is the menu entry's own name, which ties the
// window to its icon and name there. Names given from outside are kept.
constexpr const char* kWindowClassVariable = "SDL_VIDEO_X11_WMCLASS";
constexpr const char* kWindowClass = "burrowfield";
constexpr const char* kAppIdVariable = "SDL_VIDEO_WAYLAND_WMCLASS";
constexpr const char* kAppId = "org.burrowfield.Burrowfield";

// The icon of the game window in task bars and window switchers; without its file the window
// keeps the desktop's default icon. Read like a texture, so a file that is no picture, or one
// claiming millions of pixels, is refused before anything is decoded.
void SetWindowIcon(SDL_Window* window, const std::string& path) {
  RgbaImage image;
  std::string error;
  if (!ReadBmpFile(path, &image, &error)) return;
  SDL_Surface* icon = SDL_CreateRGBSurfaceWithFormatFrom(
      image.rgba.data(), image.width, image.height, 32, image.width * 4, SDL_PIXELFORMAT_RGBA32);
  if (icon == nullptr) return;
  SDL_SetWindowIcon(window, icon);
  SDL_FreeSurface(icon);
}

std::uint64_t Now() {
  return SDL_GetTicks64();
}

class SdlClock final : public Clock {
 public:
  std::uint64_t Milliseconds() override { return Now(); }
};

class SdlEvents final : public EventPump {
 public:
  SdlEvents(Video& video, SdlJoysticks& joysticks, TestPads* testPads)
      : video_(video), joysticks_(joysticks), testPads_(testPads) {}

  void Pump(InputSink& sink) override {
    // A test's pads change first, so that this pump delivers what they did.
    if (testPads_ != nullptr) testPads_->Poll();
    SDL_Event event;
    while (SDL_PollEvent(&event)) Deliver(event, sink);
    // The F11 presses since the last pump change the window once, or not at all when they cancel
    // out. Each change waits for the X server to follow it, about a tenth of a second: a change
    // for every press of a burst kept the game from its ticks until all were done (20 s for 200
    // presses), where now the presses that come during one change are taken together next.
    if (toggleWindow_) {
      toggleWindow_ = false;
      video_.ToggleFullscreen();
    }
    // The pads' keys follow the keyboard's, on the same clock the game's ticks count.
    joysticks_.ReadPads();
    joysticks_.seats().DeliverKeys(sink, Now());
    video_.display().Present();
  }

  void WaitAndPump(InputSink& sink, std::uint64_t deadlineMs) override {
    const std::uint64_t now = Now();
    if (deadlineMs > now) {
      SDL_Event event;
      if (SDL_WaitEventTimeout(&event, static_cast<int>(deadlineMs - now))) {
        Deliver(event, sink);
      }
    }
    Pump(sink);
  }

 private:
  void Deliver(const SDL_Event& event, InputSink& sink) {
    switch (event.type) {
      case SDL_QUIT:
        sink.OnClose();
        break;
      case SDL_KEYDOWN:
        if (event.key.keysym.sym == kToggleWindowKey) {
          if (!event.key.repeat) toggleWindow_ = !toggleWindow_;
          break;
        }
        DeliverKey(event, sink);
        break;
      case SDL_KEYUP:
        if (event.key.keysym.sym != kToggleWindowKey) DeliverKey(event, sink);
        break;
      case SDL_WINDOWEVENT:
        video_.display().Invalidate();
        break;
      case SDL_JOYDEVICEADDED:
        HandleJoystickEvent(joysticks_, event);
        sink.OnJoystickAdded();
        break;
      case SDL_JOYDEVICEREMOVED:
        HandleJoystickEvent(joysticks_, event);
        break;
      default:
        if (IsMusicFinishedEvent(event)) sink.OnMusicFinished();
        break;
    }
  }

  // Auto-repeat arrives as further key-downs, as the selection screen's up/down expects.
  static void DeliverKey(const SDL_Event& event, InputSink& sink) {
    const int key = VirtualKeyFromSdl(event.key.keysym.sym);
    const int mask = ModifierMaskFromSdl(event.key.keysym.mod);
    if (event.type == SDL_KEYDOWN) {
      sink.OnKeyDown(key, mask);
    } else {
      sink.OnKeyUp(key, mask);
    }
  }

  Video& video_;
  SdlJoysticks& joysticks_;
  TestPads* testPads_;         // nullptr but in the window's end-to-end tests
  bool toggleWindow_ = false;  // an odd number of F11 presses waits for the end of the pump
};

class Sdl final : public SdlPlatform {
 public:
  ~Sdl() override {
    events_.reset();
    testPads_.reset();
    joysticks_.reset();
    video_.reset();
    SDL_Quit();
  }

  bool Start(VideoMode mode, std::string* error) {
    setenv(kWindowClassVariable, kWindowClass, /*overwrite=*/0);
    setenv(kAppIdVariable, kAppId, /*overwrite=*/0);
    // A couch game: the pads keep playing while another window (a chat, a launcher) has the
    // keyboard's focus.
    SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
    if (!AvoidSeatlessWayland(error)) return false;
    if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) {
      *error = std::string("cannot open a display: ") + SDL_GetError();
      return false;
    }
    video_ = OpenVideo(mode, error);
    if (!video_) return false;
    joysticks_ = std::make_unique<SdlJoysticks>();
    testPads_ = TestPads::FromEnvironment();
    events_ = std::make_unique<SdlEvents>(*video_, *joysticks_, testPads_.get());
    messages_.SetVideo(video_.get());
    platform_.clock = &clock_;
    platform_.events = events_.get();
    platform_.display = &video_->display();
    platform_.scene = &video_->scene();
    platform_.audio = &audio_;
    platform_.joysticks = &joysticks_->seats();
    platform_.messages = &messages_;
    platform_.assetDir = AssetDir();
    SetWindowIcon(video_->window(), platform_.assetDir + "/burrowfield.bmp");
    return true;
  }

  Platform& platform() override { return platform_; }

 private:
  SdlClock clock_;
  SdlAudio audio_;
  std::unique_ptr<SdlJoysticks> joysticks_;
  std::unique_ptr<TestPads> testPads_;
  WindowMessages messages_;
  std::unique_ptr<Video> video_;
  std::unique_ptr<SdlEvents> events_;
  Platform platform_;
};

}  // namespace

std::unique_ptr<SdlPlatform> CreateSdlPlatform(bool windowed, std::string* error) {
  auto sdl = std::make_unique<Sdl>();
  if (!sdl->Start(windowed ? VideoMode::kWindowed : VideoMode::kFullscreen, error)) return nullptr;
  return sdl;
}

}  // namespace bf
