#include "platform/gl/x11_picture.h"

#include <SDL.h>
#include <SDL_syswm.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>
#include <sys/ipc.h>
#include <sys/shm.h>

namespace bf {

struct X11Picture::State {
  SDL_Window* sdlWindow = nullptr;
  ::Display* display = nullptr;
  ::Window window = 0;
  Visual* visual = nullptr;
  int depth = 0;
  GC gc = nullptr;
  XImage* image = nullptr;
  XShmSegmentInfo segment{};
  bool putPending = false;  // a put the server may still be copying from
};

namespace {

bool attachFailed = false;

int NoteAttachFailure(::Display*, XErrorEvent*) {
  attachFailed = true;
  return 0;
}

// A server on another machine cannot attach our memory: it answers with an error, which is
// caught here rather than ending the program.
bool Attach(::Display* display, XShmSegmentInfo* segment) {
  XSync(display, False);
  attachFailed = false;
  auto* previous = XSetErrorHandler(NoteAttachFailure);
  const bool sent = XShmAttach(display, segment) != 0;
  XSync(display, False);
  XSetErrorHandler(previous);
  return sent && !attachFailed;
}

}  // namespace

std::unique_ptr<X11Picture> X11Picture::Create(SDL_Window* window) {
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (!SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11) return nullptr;
  auto state = std::make_unique<State>();
  state->sdlWindow = window;
  state->display = info.info.x11.display;
  state->window = info.info.x11.window;
  if (!XShmQueryExtension(state->display)) return nullptr;
  XWindowAttributes attributes;
  if (!XGetWindowAttributes(state->display, state->window, &attributes)) return nullptr;
  const Visual* visual = attributes.visual;
  if (visual == nullptr || visual->red_mask != 0xff0000 || visual->green_mask != 0xff00 ||
      visual->blue_mask != 0xff)
    return nullptr;
  state->visual = attributes.visual;
  state->depth = attributes.depth;
  state->gc = XCreateGC(state->display, state->window, 0, nullptr);
  if (state->gc == nullptr) return nullptr;
  return std::unique_ptr<X11Picture>(new X11Picture(std::move(state)));
}

X11Picture::X11Picture(std::unique_ptr<State> state) : state_(std::move(state)) {}

X11Picture::~X11Picture() {
  Release();
  XFreeGC(state_->display, state_->gc);
}

// Waits for the server to be done with the picture, then lets go of it.
void X11Picture::Release() {
  State& s = *state_;
  if (s.image == nullptr) return;
  XShmDetach(s.display, &s.segment);
  XSync(s.display, False);
  s.putPending = false;
  shmdt(s.segment.shmaddr);
  s.image->data = nullptr;  // the shared memory is not XDestroyImage's to free
  XDestroyImage(s.image);
  s.image = nullptr;
}

bool X11Picture::Make(int width, int height) {
  Release();
  State& s = *state_;
  s.segment = XShmSegmentInfo{};
  XImage* image =
      XShmCreateImage(s.display, s.visual, static_cast<unsigned>(s.depth), ZPixmap, nullptr,
                      &s.segment, static_cast<unsigned>(width), static_cast<unsigned>(height));
  if (image == nullptr) return false;
  // Rows of 32-bit pixels in this machine's byte order, as the scaler writes them.
  const bool usable = image->bits_per_pixel == 32 && image->byte_order == LSBFirst;
  const auto bytes =
      static_cast<std::size_t>(image->bytes_per_line) * static_cast<std::size_t>(height);
  s.segment.shmid = usable ? shmget(IPC_PRIVATE, bytes, IPC_CREAT | 0600) : -1;
  if (s.segment.shmid < 0) {
    XDestroyImage(image);
    return false;
  }
  s.segment.shmaddr = static_cast<char*>(shmat(s.segment.shmid, nullptr, 0));
  s.segment.readOnly = False;
  const bool mapped = s.segment.shmaddr != reinterpret_cast<char*>(-1);
  const bool attached = mapped && Attach(s.display, &s.segment);
  // Marked for removal now: it goes once both sides have let go, even if the game crashes.
  shmctl(s.segment.shmid, IPC_RMID, nullptr);
  if (!attached) {
    if (mapped) shmdt(s.segment.shmaddr);
    XDestroyImage(image);
    return false;
  }
  image->data = s.segment.shmaddr;
  s.image = image;
  return true;
}

bool X11Picture::Lock(WindowPixels* out) {
  State& s = *state_;
  int width = 0, height = 0;
  SDL_GetWindowSizeInPixels(s.sdlWindow, &width, &height);
  if (width <= 0 || height <= 0) return false;
  if (s.image == nullptr || s.image->width != width || s.image->height != height) {
    if (!Make(width, height)) return false;
  } else if (s.putPending) {
    // The server reads the memory while it handles the put: once it has answered, it is done.
    XSync(s.display, False);
    s.putPending = false;
  }
  *out = {reinterpret_cast<std::uint32_t*>(s.image->data), width, height, s.image->bytes_per_line};
  return true;
}

void X11Picture::Show(int x, int y, int width, int height) {
  State& s = *state_;
  if (s.image == nullptr) return;
  XShmPutImage(s.display, s.window, s.gc, s.image, x, y, x, y, static_cast<unsigned>(width),
               static_cast<unsigned>(height), False);
  XFlush(s.display);
  s.putPending = true;
}

}  // namespace bf
