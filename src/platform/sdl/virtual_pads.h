#pragma once
// SDL's virtual joysticks: pads made by this very process, which SDL's joystick code reads as it
// reads any pad (hints, mappings, hot-plug events). They stand in for real pads where there are
// none: in the pad tests, and in the window's test input (test_pads.h).
#include <SDL.h>

namespace bf {

// A kind of pad: two pads of one kind have the same name and GUID.
struct VirtualPadKind {
  Uint16 vendor;
  Uint16 product = 1;
  const char* name = nullptr;
  SDL_JoystickType type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
};

// A game controller's buttons and axes, in SDL's game-controller order: SDL maps a virtual game
// controller's button b to SDL_GameControllerButton b.
constexpr int kVirtualPadButtons = 15;
constexpr int kVirtualPadAxes = 6;

// What SDL needs to make a pad of this kind; a caller may add its callbacks before plugging it in.
SDL_VirtualJoystickDesc VirtualPadDesc(const VirtualPadKind& kind);

// Attaches the pad and opens it, so that its sticks and buttons can be set; nullptr when SDL
// refuses it (SDL_GetError says why). Whoever pumps SDL's events next sees it arrive.
SDL_Joystick* PlugVirtualPad(const SDL_VirtualJoystickDesc& desc);

// Closes the handle and detaches its pad: whoever pumps SDL's events next sees it go.
void UnplugVirtualPad(SDL_Joystick* handle);

}  // namespace bf
