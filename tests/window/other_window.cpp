#include "window/other_window.h"

#include <X11/Xlib.h>

namespace bf::testing {
namespace {

::Display* X(void* display) {
  return static_cast<::Display*>(display);
}

}  // namespace

OtherWindow::OtherWindow() : display_(XOpenDisplay(nullptr)) {
  if (display_ == nullptr) return;
  ::Display* display = X(display_);
  window_ = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 320, 200, 0, 0, 0);
  XSelectInput(display, window_, StructureNotifyMask);
  XMapWindow(display, window_);
  // X gives the focus only to a window on the screen.
  XEvent event;
  do {
    XWindowEvent(display, window_, StructureNotifyMask, &event);
  } while (event.type != MapNotify);
}

OtherWindow::~OtherWindow() {
  if (display_ == nullptr) return;
  XDestroyWindow(X(display_), window_);
  XCloseDisplay(X(display_));
}

void OtherWindow::TakeFocus() {
  XSetInputFocus(X(display_), window_, RevertToPointerRoot, CurrentTime);
  XSync(X(display_), False);
}

}  // namespace bf::testing
