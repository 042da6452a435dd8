#pragma once
// SDL key events in the form the game's key handlers expect: Windows virtual-key codes and the
// modifier mask (1 Shift, 2 Ctrl, 4 Alt) as it stands after the event.
#include <SDL_keyboard.h>

namespace bf {

// The virtual-key code of an SDL key, or 0 for a key the game has no code for.
int VirtualKeyFromSdl(SDL_Keycode key);
// The modifier mask from SDL's modifier state.
int ModifierMaskFromSdl(Uint16 mod);

}  // namespace bf
