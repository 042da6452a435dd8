#pragma once
// An OpenGL renderer on a hidden window of SDL's "offscreen" video driver (EGL, Mesa's software
// rasterizer), for tests and benchmarks that draw.
#include <SDL.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/files/files.h"
#include "platform/gl/gl_renderer.h"
#include "platform/gl/gl_scene.h"
#include "platform/pixels/pixel_surface.h"
#include "support/scoped_settings.h"
#include "support/temp_dir.h"

namespace bf {

class OffscreenGl {
 public:
  // Opens the window and the renderer; on failure ok() is false and error() says why. A shown
  // window also gets the screen scaled into it and swapped, as the game's window does.
  explicit OffscreenGl(bool hidden = true);
  ~OffscreenGl();
  OffscreenGl(const OffscreenGl&) = delete;
  OffscreenGl& operator=(const OffscreenGl&) = delete;

  bool ok() const { return renderer_ != nullptr; }
  const std::string& error() const { return error_; }
  GlScene& scene() { return static_cast<GlScene&>(renderer_->scene()); }
  Display& display() { return renderer_->display(); }
  PixelSurface& form() { return form_; }
  PixelSurface& panel(int i) { return *panels_[i]; }

  // The composed 640 x 480 screen after a Present(), RGB rows top to bottom.
  std::vector<std::uint8_t> Screen();

 private:
  // Outlives the video subsystem, which is quit before the driver hint is put back.
  testing::ScopedHint driver_{SDL_HINT_VIDEODRIVER, "offscreen"};
  SDL_Window* window_ = nullptr;
  PixelSurface form_;
  std::unique_ptr<PixelSurface> panels_[4];
  std::unique_ptr<GlRenderer> renderer_;
  std::string error_;
};

}  // namespace bf
