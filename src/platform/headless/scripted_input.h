#pragma once
// Events and joysticks played from the runner's script.
#include <array>
#include <csignal>
#include <cstdint>

#include "platform/events.h"
#include "platform/headless/headless_audio.h"
#include "platform/headless/script.h"
#include "platform/headless/virtual_clock.h"
#include "platform/joystick.h"

namespace bf {

class ScriptedJoysticks final : public Joysticks {
 public:
  explicit ScriptedJoysticks(int attached) : attached_(attached) {}
  int NumDevices() override { return attached_ > 0 ? 16 : 0; }
  int GetPosition(int id, JoyPosition& position) override;
  int GetCaps(int id, JoyCaps& caps) override;
  // A `joy` line: joystick j reads these values until changed; ignored when not attached.
  void Set(int j, std::uint32_t x, std::uint32_t y, std::uint32_t buttons);

 private:
  static constexpr int kNotAttached = 167;  // the joystick driver's "unplugged" answer
  int attached_;
  std::array<JoyPosition, 2> positions_{{{32768, 32768, 0, 0}, {32768, 32768, 0, 0}}};
};

class ScriptedEvents final : public EventPump {
 public:
  ScriptedEvents(const Script& script, std::int64_t closeAtTick,
                 const volatile std::sig_atomic_t* closeRequest, VirtualClock& clock,
                 ScriptedJoysticks& joysticks, HeadlessAudio& audio);
  void Pump(InputSink& sink) override;
  void WaitAndPump(InputSink& sink, std::uint32_t deadlineMs) override;
  void NoteTickProcessed() { ++processed_; }
  std::int64_t processed() const { return processed_; }

 private:
  Script script_;
  std::size_t next_ = 0;
  std::int64_t closeAtTick_;
  const volatile std::sig_atomic_t* closeRequest_;
  std::int64_t processed_ = 0;
  bool closed_ = false;
  VirtualClock& clock_;
  ScriptedJoysticks& joysticks_;
  HeadlessAudio& audio_;
};

}  // namespace bf
