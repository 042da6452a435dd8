#pragma once
// What SDL's Wayland driver needs of a compositor before it is handed one.
#include <string>

namespace bf {

// Keeps SDL away from a Wayland compositor that offers no seat (no keyboard, pointer or touch
// screen at all, as a headless compositor or a kiosk before its devices come): SDL 2.26's
// Wayland driver takes a seat for granted and crashes during SDL_Init without one. Where other
// video drivers may be tried, Wayland is taken off their list; where Wayland alone was asked
// for, false with the reason.
bool AvoidSeatlessWayland(std::string* error);

}  // namespace bf
