#pragma once
// Joysticks read as positions 0..65535 on both axes and button bits (bit 0 = button 1).
#include <cstdint>

namespace bf {

struct JoyPosition {
  std::uint32_t x = 0, y = 0, buttons = 0;
};

struct JoyCaps {
  std::uint32_t xMin = 0, xMax = 0, yMin = 0, yMax = 0;
};

class Joysticks {
 public:
  virtual ~Joysticks() = default;
  // The number of joystick ids that can be asked.
  virtual int NumDevices() = 0;
  // 0 on success; the position of joystick `id` now.
  virtual int GetPosition(int id, JoyPosition& position) = 0;
  // 0 on success; the range of joystick `id`.
  virtual int GetCaps(int id, JoyCaps& caps) = 0;
  // How many pads hold a seat from the first on, those whose stick and buttons reach the game as
  // keys included: a runner script seats as many (`joysticks N`). At least the ids that answer.
  virtual int SeatedPads() {
    int seated = 0;
    JoyPosition ignored;
    while (seated < NumDevices() && GetPosition(seated, ignored) == 0) ++seated;
    return seated;
  }
};

}  // namespace bf
