#include "platform/sdl/virtual_pads.h"

namespace bf {

SDL_VirtualJoystickDesc VirtualPadDesc(const VirtualPadKind& kind) {
  SDL_VirtualJoystickDesc desc;
  SDL_zero(desc);
  desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
  desc.type = static_cast<Uint16>(kind.type);
  desc.naxes = kVirtualPadAxes;
  desc.nbuttons = kVirtualPadButtons;
  // A raw joystick has a hat, as the classic ones do; a game controller's D-pad is buttons.
  desc.nhats = kind.type == SDL_JOYSTICK_TYPE_GAMECONTROLLER ? 0 : 1;
  desc.vendor_id = kind.vendor;
  desc.product_id = kind.product;
  desc.name = kind.name;
  return desc;
}

SDL_Joystick* PlugVirtualPad(const SDL_VirtualJoystickDesc& desc) {
  const int index = SDL_JoystickAttachVirtualEx(&desc);
  if (index < 0) return nullptr;
  SDL_Joystick* handle = SDL_JoystickOpen(index);
  if (handle == nullptr) SDL_JoystickDetachVirtual(index);
  return handle;
}

// SDL detaches by device index, which changes as pads come and go: the pad is found again by its
// instance id.
void UnplugVirtualPad(SDL_Joystick* handle) {
  const SDL_JoystickID instance = SDL_JoystickInstanceID(handle);
  SDL_JoystickClose(handle);
  for (int i = 0; i < SDL_NumJoysticks(); ++i) {
    if (SDL_JoystickGetDeviceInstanceID(i) == instance) SDL_JoystickDetachVirtual(i);
  }
}

}  // namespace bf
