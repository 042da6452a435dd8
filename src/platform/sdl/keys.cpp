#include "platform/sdl/keys.h"

#include "platform/events.h"

namespace bf {

int VirtualKeyFromSdl(SDL_Keycode key) {
  if (key >= SDLK_a && key <= SDLK_z) return 'A' + (key - SDLK_a);
  if (key >= SDLK_0 && key <= SDLK_9) return '0' + (key - SDLK_0);
  if (key >= SDLK_F1 && key <= SDLK_F12) return 112 + (key - SDLK_F1);
  switch (key) {
    case SDLK_LEFT:
      return vk::kLeft;
    case SDLK_UP:
      return vk::kUp;
    case SDLK_RIGHT:
      return vk::kRight;
    case SDLK_DOWN:
      return vk::kDown;
    case SDLK_RETURN:
    case SDLK_KP_ENTER:
      return vk::kEnter;
    case SDLK_ESCAPE:
      return vk::kEscape;
    case SDLK_LSHIFT:
    case SDLK_RSHIFT:
      return vk::kShift;
    case SDLK_LCTRL:
    case SDLK_RCTRL:
      return vk::kControl;
    case SDLK_LALT:
    case SDLK_RALT:
      return vk::kAlt;
    case SDLK_PAUSE:
      return vk::kPause;
    case SDLK_MINUS:
      return vk::kMinus;
    case SDLK_EQUALS:
    case SDLK_PLUS:
      return vk::kPlus;
    case SDLK_KP_MINUS:
      return vk::kSubtract;
    case SDLK_KP_PLUS:
      return vk::kAdd;
    case SDLK_BACKSPACE:
      return 8;
    case SDLK_TAB:
      return 9;
    case SDLK_SPACE:
      return 32;
    case SDLK_PAGEUP:
      return 33;
    case SDLK_PAGEDOWN:
      return 34;
    case SDLK_END:
      return 35;
    case SDLK_HOME:
      return 36;
    case SDLK_INSERT:
      return 45;
    case SDLK_DELETE:
      return 46;
    default:
      return 0;
  }
}

int ModifierMaskFromSdl(Uint16 mod) {
  int mask = 0;
  if (mod & KMOD_SHIFT) mask |= kMaskShift;
  if (mod & KMOD_CTRL) mask |= kMaskCtrl;
  if (mod & KMOD_ALT) mask |= kMaskAlt;
  return mask;
}

}  // namespace bf
