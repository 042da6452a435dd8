#include "platform/pads/pad_seats.h"

namespace bf {
namespace {

// What the game's joystick calls answer for a pad that has no seat (the joystick driver's
// "unplugged").
constexpr int kNotAttached = 167;

// A key seat reads its stick as the joysticks do: centred from 16384 to 49151 inclusive.
constexpr std::uint32_t kLowLimit = 16384;
constexpr std::uint32_t kHighLimit = kPadAxisMax - 16384;

// The keys of one key seat, in the order their events are made: the stick's four directions,
// then A and B. A modifier key adds its bit to the mask while it is held.
struct SeatKey {
  int code;
  int modifier;
};
enum : int { kKeyLeft, kKeyRight, kKeyUp, kKeyDown, kKeyA, kKeyB, kSeatKeyCount };
constexpr SeatKey kSeatKeys[2][kSeatKeyCount] = {
    // Player 0: arrows, Ctrl fires, Shift asks for the ability.
    {{vk::kLeft, 0},
     {vk::kRight, 0},
     {vk::kUp, 0},
     {vk::kDown, 0},
     {vk::kControl, kMaskCtrl},
     {vk::kShift, kMaskShift}},
    // Player 1: A/D/W/S, F fires, G asks for the ability.
    {{'A', 0}, {'D', 0}, {'W', 0}, {'S', 0}, {'F', 0}, {'G', 0}},
};

std::uint32_t Bit(int key) {
  return 1u << key;
}

// The keys a key seat's pad holds in this state.
std::uint32_t HeldKeys(const PadState& state) {
  std::uint32_t held = 0;
  if (state.x < kLowLimit) held |= Bit(kKeyLeft);
  if (state.x > kHighLimit) held |= Bit(kKeyRight);
  if (state.y < kLowLimit) held |= Bit(kKeyUp);
  if (state.y > kHighLimit) held |= Bit(kKeyDown);
  if ((state.buttons & pad::kA) != 0) held |= Bit(kKeyA);
  if ((state.buttons & pad::kB) != 0) held |= Bit(kKeyB);
  return held;
}

// The D-pad pushes the stick to its end, as a classic joystick's stick would.
PadState WithDpadAsStick(PadState state) {
  if (!state.mapped) return state;
  if ((state.buttons & pad::kDpadLeft) != 0) state.x = 0;
  if ((state.buttons & pad::kDpadRight) != 0) state.x = kPadAxisMax;
  if ((state.buttons & pad::kDpadUp) != 0) state.y = 0;
  if ((state.buttons & pad::kDpadDown) != 0) state.y = kPadAxisMax;
  state.buttons &= ~pad::kDpad;
  return state;
}

bool Holds(const PadState& state, std::uint32_t button) {
  return state.mapped && (state.buttons & button) != 0;
}

}  // namespace

// The pads attached from the start are no news to the game.
PadSeats::PadSeats(int seatedPads) {
  for (int p = 0; p < seatedPads && p < kPads; ++p) {
    Seat(p);
    pads_[p].connectionTold = true;
  }
}

int PadSeats::PlayerOf(int pad) {
  return pad < kJoystickPads ? pad + 2 : pad - kJoystickPads;
}

void PadSeats::Seat(int pad) {
  if (pad < 0 || pad >= kPads) return;
  pads_[pad].seated = true;
  pads_[pad].connected = true;
}

void PadSeats::Unplug(int pad) {
  if (!Seated(pad)) return;
  pads_[pad].state = PadState{};
  pads_[pad].connected = false;
}

bool PadSeats::Seated(int pad) const {
  return pad >= 0 && pad < kPads && pads_[pad].seated;
}

void PadSeats::Set(int pad, const PadState& state) {
  if (Seated(pad) && pads_[pad].connected) pads_[pad].state = WithDpadAsStick(state);
}

void PadSeats::DeliverKeys(InputSink& sink, std::uint64_t nowMs) {
  for (int p = kJoystickPads; p < kPads; ++p) DeliverSeatKeys(p, sink);
  DeliverStart(sink);
  DeliverBack(sink, nowMs);
  DeliverButtons(sink);
  DeliverConnections(sink);
  DeliverReplayButton(sink);
}

void PadSeats::DeliverButtons(InputSink& sink) {
  for (int p = 0; p < kPads; ++p) {
    Pad& pad = pads_[p];
    const std::uint32_t pressed = pad.state.buttons & ~pad.buttonsTold;
    pad.buttonsTold = pad.state.buttons;
    if (pressed != 0)
      sink.OnPadButtonDown(PlayerOf(p), pad.state.mapped && (pressed & pad::kStart));
  }
}

void PadSeats::DeliverConnections(InputSink& sink) {
  for (int p = 0; p < kPads; ++p) {
    Pad& pad = pads_[p];
    if (pad.connected == pad.connectionTold) continue;
    pad.connectionTold = pad.connected;
    if (pad.connected) {
      sink.OnPadPlugged(PlayerOf(p));
    } else {
      sink.OnPadUnplugged(PlayerOf(p));
    }
  }
}

// Once per press of Y, on whichever pad.
void PadSeats::DeliverReplayButton(InputSink& sink) {
  for (Pad& pad : pads_) {
    const bool y = Holds(pad.state, pad::kY);
    if (y && !pad.yDown) sink.OnReplayButton();
    pad.yDown = y;
  }
}

// The mask as it stands: the modifiers the pad's keys hold. Every pad is a keyboard of its own,
// so one player's Ctrl never rides on another player's keys.
int PadSeats::MaskOf(int p) const {
  if (p < kJoystickPads) return 0;
  int mask = 0;
  for (int k = 0; k < kSeatKeyCount; ++k) {
    if ((pads_[p].keysDown & Bit(k)) != 0) mask |= kSeatKeys[PlayerOf(p)][k].modifier;
  }
  return mask;
}

// Releases first, so a stick swung from left to right ends on right, as the keys would.
void PadSeats::DeliverSeatKeys(int p, InputSink& sink) {
  Pad& pad = pads_[p];
  const SeatKey* keys = kSeatKeys[PlayerOf(p)];
  const std::uint32_t held = HeldKeys(pad.state);
  for (int k = 0; k < kSeatKeyCount; ++k) {
    if ((pad.keysDown & ~held & Bit(k)) == 0) continue;
    pad.keysDown &= ~Bit(k);
    sink.OnKeyUp(keys[k].code, MaskOf(p));
  }
  for (int k = 0; k < kSeatKeyCount; ++k) {
    if ((held & ~pad.keysDown & Bit(k)) == 0) continue;
    pad.keysDown |= Bit(k);
    sink.OnKeyDown(keys[k].code, MaskOf(p));
  }
}

// All pads share one Enter: it goes down with the first Start and up with the last, so a second
// player's Start never lets go of the Enter the first one holds.
void PadSeats::DeliverStart(InputSink& sink) {
  for (int p = 0; p < kPads; ++p) {
    Pad& pad = pads_[p];
    if (pad.startDown || !Holds(pad.state, pad::kStart)) continue;
    pad.startDown = true;
    if (startsHeld_++ == 0) sink.OnKeyDown(vk::kEnter, MaskOf(p));
  }
  for (int p = 0; p < kPads; ++p) {
    Pad& pad = pads_[p];
    if (!pad.startDown || Holds(pad.state, pad::kStart)) continue;
    pad.startDown = false;
    if (--startsHeld_ == 0) sink.OnKeyUp(vk::kEnter, MaskOf(p));
  }
}

// Escape once per hold. When one pad's hold makes it, every Back held then is spent too: two
// players leaving a battle together must not quit the game a moment later.
void PadSeats::DeliverBack(InputSink& sink, std::uint64_t nowMs) {
  for (Pad& pad : pads_) {
    const bool back = Holds(pad.state, pad::kBack);
    if (back && !pad.backDown) {
      pad.backSince = nowMs;
      pad.backSpent = false;
    }
    pad.backDown = back;
  }
  for (int p = 0; p < kPads; ++p) {
    const Pad& pad = pads_[p];
    if (!pad.backDown || pad.backSpent || nowMs - pad.backSince < kBackHoldMs) continue;
    sink.OnKeyDown(vk::kEscape, MaskOf(p));
    sink.OnKeyUp(vk::kEscape, MaskOf(p));
    for (Pad& other : pads_) other.backSpent = other.backSpent || other.backDown;
  }
}

int PadSeats::SeatedPads() {
  int seated = 0;
  while (seated < kPads && pads_[seated].seated) ++seated;
  return seated;
}

int PadSeats::NumDevices() {
  return kJoystickPads;
}

int PadSeats::GetPosition(int id, JoyPosition& position) {
  if (id < 0 || id >= kJoystickPads || !pads_[id].seated) return kNotAttached;
  const PadState& state = pads_[id].state;
  const std::uint32_t menu = state.mapped ? (pad::kBack | pad::kStart) : 0;
  position = JoyPosition{state.x, state.y, state.buttons & ~menu};
  return 0;
}

int PadSeats::GetCaps(int id, JoyCaps& caps) {
  if (id < 0 || id >= kJoystickPads || !pads_[id].seated) return kNotAttached;
  caps = JoyCaps{0, kPadAxisMax, 0, kPadAxisMax};
  return 0;
}

}  // namespace bf
