#include "platform/gl/video.h"

#include <SDL.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <string_view>

#include "platform/gl/gl_renderer.h"
#include "platform/pixels/pixel_surface.h"

namespace bf {
namespace {

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
    const bool onDisplay = mode != VideoMode::kOffscreen;
    if (onDisplay && (name == "offscreen" || name == "dummy")) {
      *error = "no display found (is DISPLAY or WAYLAND_DISPLAY set?)";
      return false;
    }
    SetGlAttributes();
    Uint32 flags = SDL_WINDOW_OPENGL;
    int x = SDL_WINDOWPOS_CENTERED, y = SDL_WINDOWPOS_CENTERED;
    int width = kScreenWidth, height = kScreenHeight;
    SDL_Rect desktop;
    if (onDisplay && SDL_GetDisplayBounds(0, &desktop) == 0) {
      // At the desktop's own resolution, with no video mode change. The window is made as large
      // as the desktop too, so it covers the screen even without a window manager to honour the
      // fullscreen request. On a HiDPI display the drawable has the display's own pixels, so the
      // picture is scaled sharp once, not blurred again by the desktop.
      flags |= SDL_WINDOW_RESIZABLE | SDL_WINDOW_ALLOW_HIGHDPI;
      if (mode == VideoMode::kFullscreen) flags |= SDL_WINDOW_FULLSCREEN_DESKTOP;
      x = desktop.x;
      y = desktop.y;
      width = desktop.w;
      height = desktop.h;
    } else if (!onDisplay) {
      flags |= SDL_WINDOW_HIDDEN;
    }
    window_ = SDL_CreateWindow("Burrowfield", x, y, width, height, flags);
    if (window_ == nullptr) {
      *error = std::string("cannot open the game window: ") + SDL_GetError();
      return false;
    }
    if (mode == VideoMode::kFullscreen) SDL_ShowCursor(SDL_DISABLE);
    if (mode == VideoMode::kWindowed) PlaceWindowed(0);
    PixelSurface* const panels[4] = {panels_[0].get(), panels_[1].get(), panels_[2].get(),
                                     panels_[3].get()};
    renderer_ = CreateGlRenderer(window_, form_, panels, error);
    return renderer_ != nullptr;
  }

  Display& display() override { return renderer_->display(); }
  Scene& scene() override { return renderer_->scene(); }
  SDL_Window* window() override { return window_; }
  void SetOverlay(PixelSurface* overlay) override { renderer_->SetOverlay(overlay); }

  PixelRect ScreenToWindow(const PixelRect& onScreen) const override {
    return renderer_->ScreenToWindow(onScreen);
  }

  void ToggleFullscreen() override {
    const bool fullscreen = (SDL_GetWindowFlags(window_) & SDL_WINDOW_FULLSCREEN_DESKTOP) != 0;
    const int display = std::max(0, SDL_GetWindowDisplayIndex(window_));
    if (fullscreen) {
      const double pixelsPerPoint = PixelsPerPoint();
      SDL_SetWindowFullscreen(window_, 0);
      PlaceWindowed(display, pixelsPerPoint);
    } else {
      // The window covers the display before fullscreen is asked for: without a window manager
      // nobody else would resize it, and SDL would draw for the whole display all the same. A
      // Wayland compositor sizes a fullscreen window itself, and a size asked for just before
      // (with client-side decorations) left the window that size, short of the output.
      SDL_Rect bounds;
      if (!OnWayland() && SDL_GetDisplayBounds(display, &bounds) == 0) {
        SDL_SetWindowPosition(window_, bounds.x, bounds.y);
        SDL_SetWindowSize(window_, bounds.w, bounds.h);
      }
      SDL_SetWindowFullscreen(window_, SDL_WINDOW_FULLSCREEN_DESKTOP);
      SDL_ShowCursor(SDL_DISABLE);
    }
  }

 private:
  static bool OnWayland() {
    const char* driver = SDL_GetCurrentVideoDriver();
    return driver != nullptr && std::string_view(driver) == "wayland";
  }

  // The window, with the cursor, at its windowed place on `display`. The pixels per point are
  // the fullscreen window's when it leaves fullscreen: the windowed one's may not be known yet.
  void PlaceWindowed(int display, double pixelsPerPoint) {
    const PixelRect place = WindowedPlace(display, pixelsPerPoint);
    SDL_SetWindowSize(window_, place.width, place.height);
    SDL_SetWindowPosition(window_, place.x, place.y);
    SDL_ShowCursor(SDL_ENABLE);
  }
  void PlaceWindowed(int display) { PlaceWindowed(display, PixelsPerPoint()); }

  // Drawable pixels per window coordinate: above 1 on a HiDPI display.
  double PixelsPerPoint() const {
    int width = 0, height = 0, drawableWidth = 0, drawableHeight = 0;
    SDL_GetWindowSize(window_, &width, &height);
    SDL_GL_GetDrawableSize(window_, &drawableWidth, &drawableHeight);
    return width > 0 && drawableWidth > 0 ? static_cast<double>(drawableWidth) / width : 1.0;
  }

  // The window on `display`: the largest whole multiple of 640 x 480 in drawable pixels that
  // fits the display's usable area and the window manager's frame, centred there.
  PixelRect WindowedPlace(int display, double pixelsPerPoint) const {
    SDL_Rect usable{0, 0, kScreenWidth, kScreenHeight};
    if (SDL_GetDisplayUsableBounds(display, &usable) != 0) SDL_GetDisplayBounds(display, &usable);
    int top = 0, left = 0, bottom = 0, right = 0;
    if (SDL_GetWindowBordersSize(window_, &top, &left, &bottom, &right) != 0)
      top = left = bottom = right = 0;
    const auto pixels = [pixelsPerPoint](int points) {
      return static_cast<int>(points * pixelsPerPoint);
    };
    const PixelRect inPixels =
        WindowForArea({0, 0, pixels(usable.w - left - right), pixels(usable.h - top - bottom)});
    const auto points = [pixelsPerPoint](int pixelCount) {
      return static_cast<int>(std::lround(pixelCount / pixelsPerPoint));
    };
    return {usable.x + left + points(inPixels.x), usable.y + top + points(inPixels.y),
            points(inPixels.width), points(inPixels.height)};
  }

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
