#pragma once
// Time and the window's events: the only ways the outside world reaches the game loops.
#include <cstdint>

namespace bf {

// Windows virtual-key codes and the modifier mask, as the key handlers expect them.
namespace vk {
constexpr int kEnter = 13, kShift = 16, kControl = 17, kAlt = 18, kPause = 19, kEscape = 27;
constexpr int kLeft = 37, kUp = 38, kRight = 39, kDown = 40;
constexpr int kP = 80, kM = 77, kAdd = 107, kSubtract = 109, kF12 = 123;
constexpr int kPlus = 187, kMinus = 189;  // the main keyboard's = / + key and - key
}  // namespace vk
constexpr int kMaskShift = 1, kMaskCtrl = 2, kMaskAlt = 4;

// Receives the events that the pump delivers, always between two ticks.
class InputSink {
 public:
  virtual ~InputSink() = default;
  virtual void OnKeyDown(int keyCode, int mask) = 0;
  virtual void OnKeyUp(int keyCode, int mask) = 0;
  // The window was closed from outside.
  virtual void OnClose() = 0;
  // The music track came to its natural end.
  virtual void OnMusicFinished() = 0;
  // A gamepad was plugged in.
  virtual void OnJoystickAdded() {}
  // A seated pad pressed a button, after the key events it makes; `start` when it was Start.
  virtual void OnPadButtonDown(int /*player*/, bool /*start*/) {}
  // The pad of a seat was unplugged (it reads released from now on), or plugged back in.
  virtual void OnPadUnplugged(int /*player*/) {}
  virtual void OnPadPlugged(int /*player*/) {}
  // Y on any pad: on the selection screen, the last battle again.
  virtual void OnReplayButton() {}
};

class Clock {
 public:
  virtual ~Clock() = default;
  // A monotonic millisecond count since start-up, in 64 bits so that no uptime wraps it.
  virtual std::uint64_t Milliseconds() = 0;
};

class EventPump {
 public:
  virtual ~EventPump() = default;
  // Delivers every pending event to the sink and keeps the window's picture up to date.
  virtual void Pump(InputSink& sink) = 0;
  // Sleeps until an event arrives or the clock reaches `deadlineMs`, then pumps.
  virtual void WaitAndPump(InputSink& sink, std::uint64_t deadlineMs) = 0;
};

}  // namespace bf
