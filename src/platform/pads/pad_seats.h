#pragma once
// Up to four gamepads, numbered in the order they were plugged in, and what each one does.
//
// Pads 0 and 1 are the game's joysticks 0 and 1 (players 2 and 3): the game reads them itself,
// through the Joysticks interface. Pads 2 and 3 seat players 0 and 1, whom the game hears only
// through their keys: a change of their stick or buttons becomes the key events that player's
// keys would make. Start on any pad is Enter, Back held for a second is Escape.
//
// Both the window and the headless runner feed the pads' states in here, so the runner's scripts
// test the very code a player's pads go through. Free of SDL: the states use SDL's game-controller
// button order only as a numbering.
#include <array>
#include <cstdint>

#include "platform/events.h"
#include "platform/joystick.h"

namespace bf {

// Button bits in SDL's game-controller order.
namespace pad {
constexpr std::uint32_t kA = 1u << 0, kB = 1u << 1, kX = 1u << 2, kY = 1u << 3;
constexpr std::uint32_t kBack = 1u << 4, kGuide = 1u << 5, kStart = 1u << 6;
constexpr std::uint32_t kDpadUp = 1u << 11, kDpadDown = 1u << 12, kDpadLeft = 1u << 13;
constexpr std::uint32_t kDpadRight = 1u << 14;
constexpr std::uint32_t kDpad = kDpadUp | kDpadDown | kDpadLeft | kDpadRight;
}  // namespace pad

constexpr std::uint32_t kPadCentre = 32768;
constexpr std::uint32_t kPadAxisMax = 65535;
// How long Back must be held before it counts as Escape, so a stray press never ends a battle.
constexpr std::uint32_t kBackHoldMs = 1000;

struct PadState {
  std::uint32_t x = kPadCentre, y = kPadCentre;  // 0..65535, up and left at 0
  std::uint32_t buttons = 0;
  // A pad read without a mapping has its buttons in its own order: none of them is known to be
  // Back or Start, and all of them reach the game as they are.
  bool mapped = true;
};

class PadSeats final : public Joysticks {
 public:
  static constexpr int kPads = 4;
  // Pads 0 .. kJoystickPads - 1 are the game's joysticks; the others play through keys.
  static constexpr int kJoystickPads = 2;

  // Pads 0 .. seatedPads - 1 have their seats from the start (the runner's attached pads).
  explicit PadSeats(int seatedPads = 0);

  // The game's player for each pad: 2, 3, 0, 1.
  static int PlayerOf(int pad);

  // A pad takes its seat for the rest of the run, plugged in; unplugged, it keeps it, reading
  // released until it is plugged back in.
  void Seat(int pad);
  bool Seated(int pad) const;
  int SeatedPads() override;
  void Unplug(int pad);
  void Plug(int pad) { Seat(pad); }
  // The pad reads `state` from now on; a pad without a seat, or unplugged, is not read. A mapped
  // pad's D-pad is its stick pushed to the end, never a button, so holding it never spoils "button
  // 1 alone".
  void Set(int pad, const PadState& state);
  // Turns what changed since the last call into events, in this order: the key pads' own keys
  // (pad 2, then pad 3), Enter for Start, Escape for a Back held long enough, the buttons each
  // pad pressed, the pads unplugged or plugged back in, then the replay button for a Y pressed.
  // Called after each delivery of the window's events, with the game's clock.
  void DeliverKeys(InputSink& sink, std::uint64_t nowMs);

  // The game's joysticks 0 and 1 are pads 0 and 1, without Back and Start: those two belong to
  // Enter and Escape, so a player pressing Start still has "button 1 alone".
  int NumDevices() override;
  int GetPosition(int id, JoyPosition& position) override;
  int GetCaps(int id, JoyCaps& caps) override;

 private:
  struct Pad {
    bool seated = false;
    bool connected = false;
    bool connectionTold = false;  // the connection the game was last told of
    std::uint32_t buttonsTold = 0;
    PadState state;
    std::uint32_t keysDown = 0;  // bit k: the pad holds key k of its seat's table
    bool startDown = false;
    bool yDown = false;
    bool backDown = false;
    bool backSpent = false;  // this hold has made its Escape, or another pad's did
    std::uint64_t backSince = 0;
  };
  void DeliverSeatKeys(int pad, InputSink& sink);
  void DeliverStart(InputSink& sink);
  void DeliverBack(InputSink& sink, std::uint64_t nowMs);
  void DeliverButtons(InputSink& sink);
  void DeliverConnections(InputSink& sink);
  void DeliverReplayButton(InputSink& sink);
  int MaskOf(int pad) const;

  std::array<Pad, kPads> pads_{};
  int startsHeld_ = 0;
};

}  // namespace bf
