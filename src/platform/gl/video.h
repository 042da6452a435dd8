#pragma once
// The game's window (or an offscreen one) with its OpenGL renderer and 2D surfaces.
#include <memory>
#include <string>

#include "platform/gl/screen_fit.h"
#include "platform/scene.h"
#include "platform/surface.h"

struct SDL_Window;

namespace bf {

class PixelSurface;

// The game's window fullscreen on the desktop, or as a window on it (--window), or offscreen.
enum class VideoMode { kFullscreen, kWindowed, kOffscreen };

class Video {
 public:
  virtual ~Video() = default;
  virtual Display& display() = 0;
  virtual Scene& scene() = 0;
  virtual SDL_Window* window() = 0;
  // A picture laid over the middle of the screen (a message box); nullptr takes it away.
  virtual void SetOverlay(PixelSurface* overlay) = 0;
  // Where a rectangle of the screen shows in the window, in window coordinates (a click's).
  virtual PixelRect ScreenToWindow(const PixelRect& onScreen) const = 0;
  // F11: between fullscreen on the display the window is on and a window of the largest whole
  // multiple of 640 x 480 that fits there.
  virtual void ToggleFullscreen() = 0;
};

// Opens the video; nullptr with a one-line reason when there is no display or no OpenGL 3.3.
std::unique_ptr<Video> OpenVideo(VideoMode mode, std::string* error);

}  // namespace bf
