#pragma once
// A window of another program on the X display, say a chat: it takes the keyboard's focus from
// the game's window. Xlib's names stay in its source: they clash with the game's and gtest's.

namespace bf::testing {

class OtherWindow {
 public:
  // Opens the display DISPLAY names and shows the window there.
  OtherWindow();
  ~OtherWindow();
  OtherWindow(const OtherWindow&) = delete;
  OtherWindow& operator=(const OtherWindow&) = delete;

  // Whether the display could be opened.
  bool open() const { return display_ != nullptr; }
  // Gives the window the keyboard's focus, on the server by the time it returns.
  void TakeFocus();

 private:
  void* display_;
  unsigned long window_ = 0;
};

}  // namespace bf::testing
