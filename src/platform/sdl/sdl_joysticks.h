#pragma once
// Gamepads and joysticks through SDL, seated as the pads 0..3 of PadSeats (players 2, 3, 0, 1)
// in the order they are plugged in.
//
// A pad SDL has a game-controller mapping for (its own database, or one given in
// SDL_GAMECONTROLLERCONFIG or the file SDL_GAMECONTROLLERCONFIG_FILE names) is read through the
// mapping: left stick, buttons in SDL's game-controller order. Any other is read through its raw
// axes 0 and 1 and its buttons in its own order, and says so in one line on standard error. The
// D-pad or first hat counts as the stick pushed to its end.
//
// Who is who: a seat belongs to the pad that first took it for the whole run. An unplugged pad
// reads released; a pad plugged in goes back to its own seat (see ChoosePadSeat). Devices that
// SDL's hints say to ignore are never seated, whatever driver reports them: Steam, when it starts
// the game, names there the pads it already offers as its own virtual pads, so no pad counts
// twice. On taking its seat a pad shows it with its player light and a short rumble, where it
// has them.
#include <SDL.h>

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "platform/pads/pad_seats.h"

namespace bf {

// What tells one pad from another of the same kind: SDL's GUID, the serial number where the pad
// reports one, and the device path (which USB port, on most systems) where the driver gives one.
struct PadIdentity {
  std::string guid;
  std::string serial;
  std::string path;
  bool operator==(const PadIdentity&) const = default;
};

struct PadSeatRecord {
  bool taken = false;    // a pad has held this seat
  bool present = false;  // and it is plugged in now
  PadIdentity identity;  // the pad that held it last
};

// The seat for a pad plugged in, in this order of preference:
//   1. the seat of this very pad, now away: same GUID and serial number; among several such
//      seats (identical pads without serial numbers) the one with the same device path, else the
//      first in plug order;
//   2. the first seat nobody has held yet: pads take seats in the order they are plugged in;
//   3. the first seat whose pad has gone away: a new pad replaces one that left.
// -1 when every seat holds a pad that is plugged in: the new pad waits unused.
int ChoosePadSeat(const std::array<PadSeatRecord, PadSeats::kPads>& seats, const PadIdentity& pad);

class SdlJoysticks final {
 public:
  // Starts SDL's joystick and game-controller subsystems and seats the pads already attached.
  SdlJoysticks();
  ~SdlJoysticks();
  SdlJoysticks(const SdlJoysticks&) = delete;
  SdlJoysticks& operator=(const SdlJoysticks&) = delete;

  // What the game and the event pump read: the seated pads' states.
  PadSeats& seats() { return seats_; }

  // A pad attached (SDL device index) or removed (SDL instance id).
  void Attach(int deviceIndex);
  void Detach(SDL_JoystickID instance);
  // Whether the pad in seat `pad` is plugged in now.
  bool Connected(int pad) const;
  // Copies every plugged-in pad's state into the seats. SDL changes the states only while it
  // pumps its events, so reading them right after the pump is reading them live.
  void ReadPads();

 private:
  struct Seat {
    PadSeatRecord record;
    SDL_Joystick* joystick = nullptr;
    SDL_GameController* controller = nullptr;  // set when read through a mapping
    SDL_JoystickID instance = -1;
  };
  void Open(Seat& seat, int deviceIndex);
  void Close(Seat& seat);
  void ShowSeat(const Seat& seat, int pad);
  PadState Read(const Seat& seat) const;

  // The files SDL's settings name, read by the game with a size limit before SDL starts.
  class BoundedSettings {
   public:
    BoundedSettings();
    ~BoundedSettings();
    BoundedSettings(const BoundedSettings&) = delete;
    BoundedSettings& operator=(const BoundedSettings&) = delete;
    // Hands SDL the mappings read, once its game controllers have started.
    void AddMappings();

   private:
    struct Overridden {
      const char* name;
      std::optional<std::string> before;
    };
    void Override(const char* name, const std::string& value);
    std::vector<Overridden> overridden_;
    std::string mappings_;
  };

  // Declared first: made before SDL's pads start, and gone only after they stopped.
  BoundedSettings settings_;
  bool started_ = false;
  std::array<Seat, PadSeats::kPads> pads_{};
  PadSeats seats_;
};

// Hands SDL's joystick hot-plug events to the seats; every other event is ignored.
void HandleJoystickEvent(SdlJoysticks& joysticks, const SDL_Event& event);

}  // namespace bf
