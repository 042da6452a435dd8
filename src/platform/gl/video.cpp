#include "platform/gl/video.h"

#include <SDL.h>

#include <algorithm>
#include <array>

#include "platform/gl/gl_renderer.h"
#include "platform/pixels/pixel_surface.h"

namespace bf {
namespace {

constexpr int kWindowedWidth = 1280;
constexpr Rgb kWhite{255, 255, 255};

class SdlVideo final : public Video {
 public:
  SdlVideo() : form_(kScreenWidth, kScreenHeight, kWhite, kFormTextPixels) {
    for (auto& panel : panels_)
      panel = std::make_unique<PixelSurface>(kPanelWidth, kPanelHeight, kWhite);
  }

  ~SdlVideo() override {
    renderer_.reset();
    if (window_ != nullptr) SDL_DestroyWindow(window_);
    if (videoStarted_) SDL_QuitSubSystem(SDL_INIT_VIDEO);
  }

  bool Open(VideoMode mode, std::string* error) {
    // The runner renders through SDL's offscreen driver (EGL on Mesa), with no display at all.
    // Nothing reads an offscreen window's events, so SIGINT and SIGTERM must not become them.
    if (mode == VideoMode::kOffscreen) {
      SDL_SetHint(SDL_HINT_VIDEODRIVER, "offscreen");
      SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    }
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
      *error = std::string("cannot open a display: ") + SDL_GetError();
      return false;
    }
    videoStarted_ = true;
    // SDL falls back to drivers without a screen when no display can be reached; a player
    // would stare at nothing, so that is no display at all.
    const char* driver = SDL_GetCurrentVideoDriver();
    const std::string name = driver != nullptr ? driver : "";
    if (mode == VideoMode::kWindow && (name == "offscreen" || name == "dummy")) {
      *error = "no display found (is DISPLAY or WAYLAND_DISPLAY set?)";
      return false;
    }
    SetGlAttributes();
    Uint32 flags = SDL_WINDOW_OPENGL;
    int x = SDL_WINDOWPOS_CENTERED, y = SDL_WINDOWPOS_CENTERED;
    int width = kScreenWidth, height = kScreenHeight;
    SDL_DisplayMode desktop;
    if (mode == VideoMode::kWindow && SDL_GetDesktopDisplayMode(0, &desktop) == 0) {
      // Fullscreen at the desktop's own resolution, with no video mode change. The window is
      // made as large as the desktop too, so it covers the screen even without a window
      // manager to honour the fullscreen request.
      flags |= SDL_WINDOW_FULLSCREEN_DESKTOP | SDL_WINDOW_RESIZABLE;
      x = y = 0;
      width = desktop.w;
      height = desktop.h;
    } else {
      flags |= SDL_WINDOW_HIDDEN;
    }
    window_ = SDL_CreateWindow("Burrowfield", x, y, width, height, flags);
    if (window_ == nullptr) {
      *error = std::string("cannot open the game window: ") + SDL_GetError();
      return false;
    }
    if (mode == VideoMode::kWindow) SDL_ShowCursor(SDL_DISABLE);
    PixelSurface* const panels[4] = {panels_[0].get(), panels_[1].get(), panels_[2].get(),
                                     panels_[3].get()};
    renderer_ = CreateGlRenderer(window_, form_, panels, error);
    return renderer_ != nullptr;
  }

  Display& display() override { return renderer_->display(); }
  Scene& scene() override { return renderer_->scene(); }
  SDL_Window* window() override { return window_; }
  void SetOverlay(PixelSurface* overlay) override { renderer_->SetOverlay(overlay); }

  // 1280 x 960, or smaller on a desktop that cannot hold it, keeping 4:3.
  int WindowedWidth() const {
    SDL_DisplayMode desktop;
    int width = kWindowedWidth;
    if (SDL_GetDesktopDisplayMode(0, &desktop) == 0) {
      width = std::min(width, desktop.w * 9 / 10);
      width = std::min(width, desktop.h * 9 / 10 * 4 / 3);
    }
    return std::max(width, kScreenWidth / 2);
  }

  void ToggleFullscreen() override {
    const bool fullscreen = (SDL_GetWindowFlags(window_) & SDL_WINDOW_FULLSCREEN_DESKTOP) != 0;
    if (fullscreen) {
      SDL_SetWindowFullscreen(window_, 0);
      SDL_SetWindowSize(window_, WindowedWidth(), WindowedWidth() * 3 / 4);
      SDL_SetWindowPosition(window_, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED);
      SDL_ShowCursor(SDL_ENABLE);
    } else {
      SDL_SetWindowFullscreen(window_, SDL_WINDOW_FULLSCREEN_DESKTOP);
      SDL_ShowCursor(SDL_DISABLE);
    }
  }

 private:
  PixelSurface form_;
  std::array<std::unique_ptr<PixelSurface>, 4> panels_;
  SDL_Window* window_ = nullptr;
  bool videoStarted_ = false;
  std::unique_ptr<GlRenderer> renderer_;
};

}  // namespace

std::unique_ptr<Video> OpenVideo(VideoMode mode, std::string* error) {
  auto video = std::make_unique<SdlVideo>();
  if (!video->Open(mode, error)) return nullptr;
  return video;
}

}  // namespace bf
