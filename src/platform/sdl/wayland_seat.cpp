#include "platform/sdl/wayland_seat.h"

#include <SDL.h>
#include <wayland-client.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <sstream>

namespace bf {
namespace {

void NoteGlobal(void* data, wl_registry*, std::uint32_t, const char* interface, std::uint32_t) {
  if (std::strcmp(interface, wl_seat_interface.name) == 0) *static_cast<bool*>(data) = true;
}

void ForgetGlobal(void*, wl_registry*, std::uint32_t) {}

// True when a compositor answers and lists no seat among its globals. Without XDG_RUNTIME_DIR
// only an absolute WAYLAND_DISPLAY names a compositor; libwayland would just complain otherwise.
bool CompositorWithoutSeat() {
  const char* name = std::getenv("WAYLAND_DISPLAY");
  if (std::getenv("XDG_RUNTIME_DIR") == nullptr && (name == nullptr || name[0] != '/'))
    return false;
  wl_display* display = wl_display_connect(nullptr);
  if (display == nullptr) return false;
  bool seat = false;
  static const wl_registry_listener kListener = {NoteGlobal, ForgetGlobal};
  wl_registry* registry = wl_display_get_registry(display);
  wl_registry_add_listener(registry, &kListener, &seat);
  const bool answered = wl_display_roundtrip(display) >= 0;
  wl_registry_destroy(registry);
  wl_display_disconnect(display);
  return answered && !seat;
}

// The drivers asked for (SDL_VIDEODRIVER, a comma-separated list) without Wayland's.
std::string WithoutWayland(const std::string& drivers) {
  std::istringstream names(drivers);
  std::string name, kept;
  while (std::getline(names, name, ',')) {
    if (name.empty() || name == "wayland") continue;
    kept += (kept.empty() ? "" : ",") + name;
  }
  return kept;
}

}  // namespace

bool AvoidSeatlessWayland(std::string* error) {
  if (!CompositorWithoutSeat()) return true;
  const char* asked = SDL_GetHint(SDL_HINT_VIDEODRIVER);
  const std::string others = asked != nullptr && *asked != '\0' ? WithoutWayland(asked) : "x11";
  if (others.empty()) {
    *error =
        "cannot open a display: the Wayland compositor has no seat (no keyboard, mouse or touch "
        "screen) to play with";
    return false;
  }
  SDL_SetHintWithPriority(SDL_HINT_VIDEODRIVER, others.c_str(), SDL_HINT_OVERRIDE);
  return true;
}

}  // namespace bf
