#pragma once
// The pads a test plugs in: SDL's virtual pads (platform/sdl/virtual_pads.h), no device needed,
// and what each one was told.
#include <SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <initializer_list>
#include <memory>
#include <vector>

#include "platform/sdl/virtual_pads.h"

namespace bf::testing {

// What a virtual pad was told: its player light and how often it rumbled.
struct PadFeedback {
  int playerIndex = -1;
  int rumbles = 0;
};

using PadKind = VirtualPadKind;

// The pads a test plugs in, unplugged again when it ends. SDL's joysticks must be started first.
class VirtualPads {
 public:
  static constexpr int kButtons = kVirtualPadButtons;

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
    SDL_VirtualJoystickDesc desc = VirtualPadDesc(kind);
    desc.userdata = feedback.back().get();
    desc.SetPlayerIndex = [](void* pad, int index) {
      static_cast<PadFeedback*>(pad)->playerIndex = index;
    };
    desc.Rumble = [](void* pad, Uint16 low, Uint16 high) {
      if (low != 0 || high != 0) ++static_cast<PadFeedback*>(pad)->rumbles;
      return 0;
    };
    SDL_Joystick* handle = PlugVirtualPad(desc);
    EXPECT_NE(handle, nullptr) << SDL_GetError();
    if (handle != nullptr) handles.push_back(handle);
    return handle;
  }

  void Unplug(SDL_Joystick* handle) {
    handles.erase(std::find(handles.begin(), handles.end(), handle));
    UnplugVirtualPad(handle);
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
