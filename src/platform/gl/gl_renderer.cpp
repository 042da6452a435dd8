#include "platform/gl/gl_renderer.h"

#include <SDL.h>
#include <epoxy/gl.h>

#include "platform/gl/gl_display.h"
#include "platform/gl/gl_scene.h"

namespace bf {
namespace {

constexpr int kRequiredGlVersion = 33;

class ContextRenderer : public GlRenderer {
 public:
  explicit ContextRenderer(SDL_GLContext context) : context_(context) {}
  ~ContextRenderer() override {
    // The GL objects go while their context is still alive.
    display_.reset();
    scene_.reset();
    SDL_GL_DeleteContext(context_);
  }

  bool Init(SDL_Window* window, PixelSurface& form, PixelSurface* const panels[4],
            std::string* error) {
    scene_ = std::make_unique<GlScene>();
    if (!scene_->Init(error)) return false;
    display_ = std::make_unique<GlDisplay>(window, form, panels, *scene_);
    return display_->Init(error);
  }

  Scene& scene() override { return *scene_; }
  Display& display() override { return *display_; }
  void SetOverlay(PixelSurface* overlay) override { display_->SetOverlay(overlay); }
  PixelRect ScreenToWindow(const PixelRect& onScreen) const override {
    return display_->ScreenToWindow(onScreen);
  }

 private:
  SDL_GLContext context_;
  std::unique_ptr<GlScene> scene_;
  std::unique_ptr<GlDisplay> display_;
};

}  // namespace

void SetGlAttributes() {
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
  SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
  SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
}

std::unique_ptr<GlRenderer> CreateGlRenderer(SDL_Window* window, PixelSurface& form,
                                             PixelSurface* const panels[4], std::string* error) {
  if (!window) {
    *error = "no window for OpenGL";
    return nullptr;
  }
  SDL_GLContext context = SDL_GL_CreateContext(window);
  if (!context) {
    *error = std::string("cannot create an OpenGL 3.3 context: ") + SDL_GetError();
    return nullptr;
  }
  if (SDL_GL_MakeCurrent(window, context) != 0) {
    *error = std::string("cannot make the OpenGL context current: ") + SDL_GetError();
    SDL_GL_DeleteContext(context);
    return nullptr;
  }
  if (!epoxy_is_desktop_gl() || epoxy_gl_version() < kRequiredGlVersion) {
    *error =
        "OpenGL 3.3 is not available (found version " + std::to_string(epoxy_gl_version()) + ")";
    SDL_GL_DeleteContext(context);
    return nullptr;
  }
  // Four views and a present per tick must never wait for the screen's refresh.
  SDL_GL_SetSwapInterval(0);
  auto renderer = std::make_unique<ContextRenderer>(context);
  if (!renderer->Init(window, form, panels, error)) return nullptr;
  return renderer;
}

}  // namespace bf
