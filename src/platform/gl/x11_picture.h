#pragma once
// The window's picture in memory shared with the X server, put into the window without waiting
// for the server's copy: the next picture waits for it instead, by when it is long done. SDL's
// window surface waits on every update, about a millisecond of each tick at 1920 x 1080 on a
// software renderer.
#include <cstddef>
#include <cstdint>
#include <memory>

struct SDL_Window;

namespace bf {

struct WindowPixels {
  std::uint32_t* pixels = nullptr;  // 0xffRRGGBB
  int width = 0, height = 0;
  std::ptrdiff_t pitch = 0;  // bytes from one row to the next
};

class X11Picture {
 public:
  // Null where the window is not on X11, the server shares no memory with this process, or the
  // window's pixels are not 32-bit 0xRRGGBB.
  static std::unique_ptr<X11Picture> Create(SDL_Window* window);
  ~X11Picture();
  X11Picture(const X11Picture&) = delete;
  X11Picture& operator=(const X11Picture&) = delete;

  // The picture to draw into, at the window's size (made again when that changed), once the
  // server has copied the last one out; false when it cannot be had.
  bool Lock(WindowPixels* out);
  // Puts the rectangle of the picture into the window and returns without waiting.
  void Show(int x, int y, int width, int height);

 private:
  struct State;
  explicit X11Picture(std::unique_ptr<State> state);
  bool Make(int width, int height);
  void Release();

  std::unique_ptr<State> state_;
};

}  // namespace bf
