#include "platform/headless/scripted_input.h"

#include <algorithm>

namespace bf {

ScriptedEvents::ScriptedEvents(const Script& script, std::int64_t closeAtTick,
                               const volatile std::sig_atomic_t* closeRequest, VirtualClock& clock,
                               PadSeats& pads, HeadlessAudio& audio)
    : script_(script),
      closeAtTick_(closeAtTick),
      closeRequest_(closeRequest),
      clock_(clock),
      pads_(pads),
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
        pads_.Set(event.joystick, PadState{event.x, event.y, event.buttons});
        break;
      case ScriptEvent::Kind::kUnplug:
        pads_.Unplug(event.joystick);
        break;
      case ScriptEvent::Kind::kPlug:
        // As the window's pump says of a pad it sees plugged in.
        pads_.Plug(event.joystick);
        sink.OnJoystickAdded();
        break;
      case ScriptEvent::Kind::kStart:
        if (pads_.Seated(event.joystick))
          sink.OnPadButtonDown(PadSeats::PlayerOf(event.joystick), true);
        break;
      case ScriptEvent::Kind::kClose:
        closed_ = true;
        break;
      case ScriptEvent::Kind::kBattleEnd:
        break;
    }
  }
  // The pads' keys follow the script's own keys of the tick; a pad's held Back counts on the
  // virtual clock, so its Escape comes at an exact tick.
  if (!closed_) pads_.DeliverKeys(sink, clock_.Milliseconds());
  if (audio_.TakeMusicFinished()) sink.OnMusicFinished();
  if (processed_ >= closeAtTick_) closed_ = true;
  if (closed_) sink.OnClose();
}

void ScriptedEvents::WaitAndPump(InputSink& sink, std::uint64_t deadlineMs) {
  clock_.AdvanceTo(deadlineMs);
  Pump(sink);
}

}  // namespace bf
