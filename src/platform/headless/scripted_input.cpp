#include "platform/headless/scripted_input.h"

#include <algorithm>

namespace bf {

int ScriptedJoysticks::GetPosition(int id, JoyPosition& position) {
  if (id < 0 || id >= attached_) return kNotAttached;
  position = positions_[id];
  return 0;
}

int ScriptedJoysticks::GetCaps(int id, JoyCaps& caps) {
  if (id < 0 || id >= attached_) return kNotAttached;
  caps = JoyCaps{0, 65535, 0, 65535};
  return 0;
}

void ScriptedJoysticks::Set(int j, std::uint32_t x, std::uint32_t y, std::uint32_t buttons) {
  if (j < 0 || j >= attached_) return;
  positions_[j] = JoyPosition{x, y, 0, buttons};
}

ScriptedEvents::ScriptedEvents(const Script& script, std::int64_t closeAtTick,
                               const volatile std::sig_atomic_t* closeRequest, VirtualClock& clock,
                               ScriptedJoysticks& joysticks, HeadlessAudio& audio)
    : script_(script),
      closeAtTick_(closeAtTick),
      closeRequest_(closeRequest),
      clock_(clock),
      joysticks_(joysticks),
      audio_(audio) {
  // Delivered by tick, and in script order within a tick.
  std::stable_sort(script_.events.begin(), script_.events.end(),
                   [](const ScriptEvent& a, const ScriptEvent& b) { return a.tick < b.tick; });
}

// Delivers the events of the next tick to be processed. Once closed, every pump says so again,
// so a loop can never outlive the close.
void ScriptedEvents::Pump(InputSink& sink) {
  if (closeRequest_ != nullptr && *closeRequest_ != 0) closed_ = true;
  while (!closed_ && next_ < script_.events.size() && script_.events[next_].tick <= processed_) {
    const ScriptEvent& event = script_.events[next_++];
    switch (event.kind) {
      case ScriptEvent::Kind::kKeyDown:
        sink.OnKeyDown(event.keyCode, event.mask);
        break;
      case ScriptEvent::Kind::kKeyUp:
        sink.OnKeyUp(event.keyCode, event.mask);
        break;
      case ScriptEvent::Kind::kJoystick:
        joysticks_.Set(event.joystick, event.x, event.y, event.buttons);
        break;
      case ScriptEvent::Kind::kClose:
        closed_ = true;
        break;
    }
  }
  if (audio_.TakeMusicFinished()) sink.OnMusicFinished();
  if (processed_ >= closeAtTick_) closed_ = true;
  if (closed_) sink.OnClose();
}

void ScriptedEvents::WaitAndPump(InputSink& sink, std::uint32_t deadlineMs) {
  clock_.AdvanceTo(deadlineMs);
  Pump(sink);
}

}  // namespace bf
