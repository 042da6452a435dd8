#pragma once
// Gamepads and joysticks through SDL, as the game's two joystick slots 0 and 1. A pad SDL knows
// is read through its game-controller mapping (left stick, A = button 1, B = button 2, ...),
// any other through its raw axes 0 and 1 and its buttons; the D-pad or first hat counts as the
// stick pushed to its end. Both axes read 0..65535, centred at 32768.
//
// A slot belongs to the pad that first took it for the whole run: unplugged, it reads centred
// with no buttons; plugged in again, the pad returns to its own slot.
#include <SDL.h>

#include <array>
#include <string>

#include "platform/joystick.h"

namespace bf {

class SdlJoysticks final : public Joysticks {
 public:
  // Starts SDL's joystick and game-controller subsystems and takes the pads already attached.
  SdlJoysticks();
  ~SdlJoysticks() override;
  SdlJoysticks(const SdlJoysticks&) = delete;
  SdlJoysticks& operator=(const SdlJoysticks&) = delete;

  // 2 slots, or 0 when SDL's joystick subsystem could not start.
  int NumDevices() override;
  int GetPosition(int id, JoyPosition& position) override;
  int GetCaps(int id, JoyCaps& caps) override;

  // A pad attached (SDL device index) or removed (SDL instance id).
  void Attach(int deviceIndex);
  void Detach(SDL_JoystickID instance);
  // Whether slot `id` has a pad plugged in now.
  bool Connected(int id) const;

 private:
  static constexpr int kSlots = 2;
  struct Slot {
    bool taken = false;  // a pad has owned this slot since it was first seen
    SDL_Joystick* joystick = nullptr;
    SDL_GameController* controller = nullptr;  // set when read through the mapping
    SDL_JoystickID instance = -1;
    SDL_JoystickGUID guid{};
    std::string serial;
  };
  int ChooseSlot(const SDL_JoystickGUID& guid, const std::string& serial) const;
  void Open(Slot& slot, int deviceIndex);
  void Close(Slot& slot);
  JoyPosition Read(const Slot& slot) const;

  bool started_ = false;
  std::array<Slot, kSlots> slots_{};
};

// Hands SDL's joystick hot-plug events to the slots; every other event is ignored.
void HandleJoystickEvent(SdlJoysticks& joysticks, const SDL_Event& event);

}  // namespace bf
