#pragma once
// SDL's virtual joysticks stand in for real pads: no device needed. They reach SDL's joystick
// code as any pad does, so what SDL does with a real pad's input (hints, focus) it does with
// theirs.
#include <SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <initializer_list>
#include <memory>
#include <vector>

namespace bf::testing {

// What a virtual pad was told: its player light and how often it rumbled.
struct PadFeedback {
  int playerIndex = -1;
  int rumbles = 0;
};

// A kind of pad: two pads of one kind have the same name and GUID.
struct PadKind {
  Uint16 vendor;
  Uint16 product = 1;
  const char* name = nullptr;
  SDL_JoystickType type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
};

// The pads a test plugs in, unplugged again when it ends. SDL's joysticks must be started first.
class VirtualPads {
 public:
  static constexpr int kButtons = 15;

  VirtualPads() = default;
  ~VirtualPads() {
    while (!handles.empty()) Unplug(handles.back());
  }
  VirtualPads(const VirtualPads&) = delete;
  VirtualPads& operator=(const VirtualPads&) = delete;

  // Plugs in a pad of this kind; returns a handle to move its sticks and buttons, nullptr (with
  // a failed expectation) when SDL refuses it. Who pumps SDL's events sees it arrive.
  SDL_Joystick* Plug(const PadKind& kind) {
    feedback.push_back(std::make_unique<PadFeedback>());
    SDL_VirtualJoystickDesc desc;
    SDL_zero(desc);
    desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
    desc.type = static_cast<Uint16>(kind.type);
    desc.naxes = 6;
    desc.nbuttons = kButtons;
    desc.nhats = kind.type == SDL_JOYSTICK_TYPE_GAMECONTROLLER ? 0 : 1;
    desc.vendor_id = kind.vendor;
    desc.product_id = kind.product;
    desc.name = kind.name;
    desc.userdata = feedback.back().get();
    desc.SetPlayerIndex = [](void* pad, int index) {
      static_cast<PadFeedback*>(pad)->playerIndex = index;
    };
    desc.Rumble = [](void* pad, Uint16 low, Uint16 high) {
      if (low != 0 || high != 0) ++static_cast<PadFeedback*>(pad)->rumbles;
      return 0;
    };
    const int index = SDL_JoystickAttachVirtualEx(&desc);
    EXPECT_GE(index, 0) << SDL_GetError();
    SDL_Joystick* handle = SDL_JoystickOpen(index);
    EXPECT_NE(handle, nullptr) << SDL_GetError();
    if (handle != nullptr) handles.push_back(handle);
    return handle;
  }

  void Unplug(SDL_Joystick* handle) {
    const SDL_JoystickID instance = SDL_JoystickInstanceID(handle);
    SDL_JoystickClose(handle);
    handles.erase(std::find(handles.begin(), handles.end(), handle));
    for (int i = 0; i < SDL_NumJoysticks(); ++i) {
      if (SDL_JoystickGetDeviceInstanceID(i) == instance) SDL_JoystickDetachVirtual(i);
    }
  }

  // Sets the first stick and exactly the buttons `pressed`; SDL takes them in on its next
  // joystick update (SDL_JoystickUpdate, or the event pump).
  static void Set(SDL_Joystick* handle, Sint16 x, Sint16 y,
                  std::initializer_list<int> pressed = {}) {
    SDL_JoystickSetVirtualAxis(handle, 0, x);
    SDL_JoystickSetVirtualAxis(handle, 1, y);
    for (int b = 0; b < kButtons; ++b) SDL_JoystickSetVirtualButton(handle, b, 0);
    for (int b : pressed) SDL_JoystickSetVirtualButton(handle, b, 1);
  }

  std::vector<std::unique_ptr<PadFeedback>> feedback;  // one per pad plugged, in plug order
  std::vector<SDL_Joystick*> handles;                  // the pads plugged in now
};

}  // namespace bf::testing
