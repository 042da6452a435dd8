#include "platform/sdl/sdl_joysticks.h"

#include <algorithm>
#include <cstring>

namespace bf {
namespace {

constexpr Uint32 kSubsystems = SDL_INIT_JOYSTICK | SDL_INIT_GAMECONTROLLER;
// What the game's joystick calls answer for a slot no pad has taken yet.
constexpr int kNotAttached = 167;
constexpr std::uint32_t kAxisMax = 65535;
constexpr std::uint32_t kCentre = 32768;
constexpr int kMaxButtonBits = 32;

// SDL's -32768..32767 as the game's 0..65535.
std::uint32_t AxisPosition(Sint16 value) {
  return static_cast<std::uint32_t>(static_cast<int>(value) + 32768);
}

bool SameGuid(const SDL_JoystickGUID& a, const SDL_JoystickGUID& b) {
  return std::memcmp(a.data, b.data, sizeof a.data) == 0;
}

bool IsDpad(int button) {
  return button >= SDL_CONTROLLER_BUTTON_DPAD_UP && button <= SDL_CONTROLLER_BUTTON_DPAD_RIGHT;
}

// The D-pad or hat pushes the stick to its end, as a classic joystick's stick would.
void ApplyDirections(bool left, bool right, bool up, bool down, Sint16& x, Sint16& y) {
  if (left) x = SDL_JOYSTICK_AXIS_MIN;
  if (right) x = SDL_JOYSTICK_AXIS_MAX;
  if (up) y = SDL_JOYSTICK_AXIS_MIN;
  if (down) y = SDL_JOYSTICK_AXIS_MAX;
}

JoyPosition ReadController(SDL_GameController* controller) {
  Sint16 x = SDL_GameControllerGetAxis(controller, SDL_CONTROLLER_AXIS_LEFTX);
  Sint16 y = SDL_GameControllerGetAxis(controller, SDL_CONTROLLER_AXIS_LEFTY);
  ApplyDirections(SDL_GameControllerGetButton(controller, SDL_CONTROLLER_BUTTON_DPAD_LEFT) != 0,
                  SDL_GameControllerGetButton(controller, SDL_CONTROLLER_BUTTON_DPAD_RIGHT) != 0,
                  SDL_GameControllerGetButton(controller, SDL_CONTROLLER_BUTTON_DPAD_UP) != 0,
                  SDL_GameControllerGetButton(controller, SDL_CONTROLLER_BUTTON_DPAD_DOWN) != 0, x,
                  y);
  // A = bit 0 (button 1), B = bit 1 (button 2), and on in SDL's order; the D-pad is a direction,
  // not a button, so holding it never spoils a "button 1 alone".
  std::uint32_t buttons = 0;
  for (int b = 0; b < SDL_CONTROLLER_BUTTON_MAX && b < kMaxButtonBits; ++b) {
    if (IsDpad(b)) continue;
    if (SDL_GameControllerGetButton(controller, static_cast<SDL_GameControllerButton>(b)) != 0) {
      buttons |= 1u << b;
    }
  }
  return JoyPosition{AxisPosition(x), AxisPosition(y), 0, buttons};
}

JoyPosition ReadRawJoystick(SDL_Joystick* joystick) {
  const int axes = SDL_JoystickNumAxes(joystick);
  Sint16 x = axes > 0 ? SDL_JoystickGetAxis(joystick, 0) : 0;
  Sint16 y = axes > 1 ? SDL_JoystickGetAxis(joystick, 1) : 0;
  if (SDL_JoystickNumHats(joystick) > 0) {
    const Uint8 hat = SDL_JoystickGetHat(joystick, 0);
    ApplyDirections((hat & SDL_HAT_LEFT) != 0, (hat & SDL_HAT_RIGHT) != 0, (hat & SDL_HAT_UP) != 0,
                    (hat & SDL_HAT_DOWN) != 0, x, y);
  }
  std::uint32_t buttons = 0;
  const int count = std::min(SDL_JoystickNumButtons(joystick), kMaxButtonBits);
  for (int b = 0; b < count; ++b) {
    if (SDL_JoystickGetButton(joystick, b) != 0) buttons |= 1u << b;
  }
  return JoyPosition{AxisPosition(x), AxisPosition(y), 0, buttons};
}

}  // namespace

SdlJoysticks::SdlJoysticks() {
  started_ = SDL_InitSubSystem(kSubsystems) == 0;
  if (!started_) return;
  const int attached = SDL_NumJoysticks();
  for (int i = 0; i < attached; ++i) Attach(i);
}

SdlJoysticks::~SdlJoysticks() {
  // After SDL_Quit the handles are gone already, and so is the subsystem.
  if (!started_ || SDL_WasInit(SDL_INIT_JOYSTICK) == 0) return;
  for (Slot& slot : slots_) Close(slot);
  SDL_QuitSubSystem(kSubsystems);
}

int SdlJoysticks::NumDevices() {
  return started_ ? kSlots : 0;
}

int SdlJoysticks::GetPosition(int id, JoyPosition& position) {
  if (id < 0 || id >= kSlots || !slots_[id].taken) return kNotAttached;
  // An unplugged pad lets go of everything: centred, no buttons.
  position = Connected(id) ? Read(slots_[id]) : JoyPosition{kCentre, kCentre, 0, 0};
  return 0;
}

int SdlJoysticks::GetCaps(int id, JoyCaps& caps) {
  if (id < 0 || id >= kSlots || !slots_[id].taken) return kNotAttached;
  caps = JoyCaps{0, kAxisMax, 0, kAxisMax};
  return 0;
}

bool SdlJoysticks::Connected(int id) const {
  return id >= 0 && id < kSlots && slots_[id].joystick != nullptr;
}

void SdlJoysticks::Attach(int deviceIndex) {
  if (!started_) return;
  const SDL_JoystickID instance = SDL_JoystickGetDeviceInstanceID(deviceIndex);
  if (instance < 0) return;
  // The pads found at start are announced again by SDL's own added events.
  for (const Slot& slot : slots_) {
    if (slot.joystick != nullptr && slot.instance == instance) return;
  }
  Slot opened;
  Open(opened, deviceIndex);
  if (opened.joystick == nullptr) return;
  const int id = ChooseSlot(opened.guid, opened.serial);
  if (id < 0) {
    Close(opened);  // both slots are in use: this pad waits unused
    return;
  }
  slots_[id] = opened;
}

void SdlJoysticks::Detach(SDL_JoystickID instance) {
  for (Slot& slot : slots_) {
    if (slot.joystick != nullptr && slot.instance == instance) Close(slot);
  }
}

// A pad goes back to the slot it had (same serial number if it has one, else the same kind of
// pad); a new pad takes a slot nobody has had yet, else one whose pad has gone away.
int SdlJoysticks::ChooseSlot(const SDL_JoystickGUID& guid, const std::string& serial) const {
  auto away = [this](int id) { return slots_[id].taken && slots_[id].joystick == nullptr; };
  if (!serial.empty()) {
    for (int id = 0; id < kSlots; ++id) {
      if (away(id) && SameGuid(slots_[id].guid, guid) && slots_[id].serial == serial) return id;
    }
  }
  for (int id = 0; id < kSlots; ++id) {
    if (away(id) && SameGuid(slots_[id].guid, guid)) return id;
  }
  for (int id = 0; id < kSlots; ++id) {
    if (!slots_[id].taken) return id;
  }
  for (int id = 0; id < kSlots; ++id) {
    if (away(id)) return id;
  }
  return -1;
}

void SdlJoysticks::Open(Slot& slot, int deviceIndex) {
  if (SDL_IsGameController(deviceIndex)) {
    slot.controller = SDL_GameControllerOpen(deviceIndex);
    if (slot.controller != nullptr) slot.joystick = SDL_GameControllerGetJoystick(slot.controller);
  }
  if (slot.joystick == nullptr) {
    slot.controller = nullptr;
    slot.joystick = SDL_JoystickOpen(deviceIndex);
  }
  if (slot.joystick == nullptr) return;
  slot.taken = true;
  slot.instance = SDL_JoystickInstanceID(slot.joystick);
  slot.guid = SDL_JoystickGetGUID(slot.joystick);
  const char* serial = SDL_JoystickGetSerial(slot.joystick);
  slot.serial = serial != nullptr ? serial : "";
}

// Lets go of the pad but keeps what it was, so that it can find its slot again.
void SdlJoysticks::Close(Slot& slot) {
  if (slot.controller != nullptr) {
    SDL_GameControllerClose(slot.controller);
  } else if (slot.joystick != nullptr) {
    SDL_JoystickClose(slot.joystick);
  }
  slot.controller = nullptr;
  slot.joystick = nullptr;
  slot.instance = -1;
}

JoyPosition SdlJoysticks::Read(const Slot& slot) const {
  return slot.controller != nullptr ? ReadController(slot.controller)
                                    : ReadRawJoystick(slot.joystick);
}

void HandleJoystickEvent(SdlJoysticks& joysticks, const SDL_Event& event) {
  switch (event.type) {
    case SDL_JOYDEVICEADDED:
      joysticks.Attach(event.jdevice.which);
      break;
    case SDL_JOYDEVICEREMOVED:
      joysticks.Detach(event.jdevice.which);
      break;
    default:
      break;
  }
}

}  // namespace bf
