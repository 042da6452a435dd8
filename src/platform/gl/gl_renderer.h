#pragma once
// The OpenGL back-end of the 3D scene and the screen, living on one SDL window.
#include <memory>
#include <string>

#include "platform/gl/screen_fit.h"
#include "platform/scene.h"
#include "platform/surface.h"

struct SDL_Window;

namespace bf {

class PixelSurface;

class GlRenderer {  // owns the GL context on the given SDL window
 public:
  virtual ~GlRenderer() = default;
  virtual Scene& scene() = 0;
  virtual Display& display() = 0;
  // A picture laid over the middle of the screen (a message box); nullptr takes it away.
  virtual void SetOverlay(PixelSurface* overlay) = 0;
  // Where a rectangle of the screen shows in the window, in window coordinates.
  virtual PixelRect ScreenToWindow(const PixelRect& onScreen) const = 0;
};

// Asks SDL for an OpenGL 3.3 core context with a 24-bit depth buffer; call it before the window
// is created.
void SetGlAttributes();

// Creates an OpenGL 3.3 core context on `window` (made with SDL_WINDOW_OPENGL; the headless
// runner's comes from SDL's "offscreen" video driver). `form` (640 x 480) and `panels` (310 x 21
// each) are the 2D surfaces the display composes. Returns nullptr and a one-line message in
// *error on failure.
std::unique_ptr<GlRenderer> CreateGlRenderer(SDL_Window* window, PixelSurface& form,
                                             PixelSurface* const panels[4], std::string* error);

}  // namespace bf
