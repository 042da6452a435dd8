#pragma once
// Events and gamepads played from the runner's script.
#include <csignal>
#include <cstdint>

#include "platform/events.h"
#include "platform/headless/headless_audio.h"
#include "platform/headless/script.h"
#include "platform/headless/virtual_clock.h"
#include "platform/pads/pad_seats.h"

namespace bf {

class ScriptedEvents final : public EventPump {
 public:
  ScriptedEvents(const Script& script, std::int64_t closeAtTick,
                 const volatile std::sig_atomic_t* closeRequest, VirtualClock& clock,
                 PadSeats& pads, HeadlessAudio& audio);
  void Pump(InputSink& sink) override;
  void WaitAndPump(InputSink& sink, std::uint64_t deadlineMs) override;
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
  PadSeats& pads_;
  HeadlessAudio& audio_;
};

}  // namespace bf
