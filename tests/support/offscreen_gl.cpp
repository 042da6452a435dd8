#include "support/offscreen_gl.h"

namespace bf {

OffscreenGl::OffscreenGl(bool hidden) : form_(kScreenWidth, kScreenHeight, Rgb{255, 255, 255}) {
  PixelSurface* panels[4];
  for (int i = 0; i < 4; ++i) {
    panels_[i] = std::make_unique<PixelSurface>(kPanelWidth, kPanelHeight, Rgb{255, 255, 255});
    panels[i] = panels_[i].get();
  }
  if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
    error_ = std::string("SDL video: ") + SDL_GetError();
    return;
  }
  SetGlAttributes();
  window_ = SDL_CreateWindow("test", 0, 0, kScreenWidth, kScreenHeight,
                             SDL_WINDOW_OPENGL | (hidden ? SDL_WINDOW_HIDDEN : 0));
  if (!window_) {
    error_ = std::string("window: ") + SDL_GetError();
    return;
  }
  renderer_ = CreateGlRenderer(window_, form_, panels, &error_);
}

OffscreenGl::~OffscreenGl() {
  renderer_.reset();
  if (window_) SDL_DestroyWindow(window_);
  SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

std::vector<std::uint8_t> OffscreenGl::Screen() {
  std::vector<std::uint8_t> rgb(kScreenWidth * kScreenHeight * 3);
  display().ReadScreen(rgb.data());
  return rgb;
}

}  // namespace bf
