#pragma once
// A game on a machine the test controls: a clock it sets, events it queues, a scene that
// remembers what was placed where, a display that draws nothing, and a silent sound device.
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "core/game.h"
#include "platform/headless/null_audio.h"
#include "platform/headless/null_display.h"
#include "platform/headless/stderr_messages.h"
#include "platform/pads/pad_seats.h"
#include "support/recording_scene.h"

namespace bf::test {

class FakeClock final : public Clock {
 public:
  std::uint64_t Milliseconds() override { return now; }
  std::uint64_t now = 0;
};

// Delivers queued events on the next pump; a wait moves the clock to the deadline.
class FakeEvents final : public EventPump {
 public:
  explicit FakeEvents(FakeClock& clock) : clock_(clock) {}
  void Pump(InputSink& sink) override {
    ++pumps;
    auto pending = std::move(queued);
    queued.clear();
    for (auto& event : pending) event(sink);
  }
  void WaitAndPump(InputSink& sink, std::uint64_t deadlineMs) override {
    ++waits;
    if (deadlineMs > clock_.now) clock_.now = deadlineMs;
    Pump(sink);
  }
  std::vector<std::function<void(InputSink&)>> queued;
  int pumps = 0;
  int waits = 0;

 private:
  FakeClock& clock_;
};

struct TestGame {
  TestGame() : events(clock), joysticks(0) {
    platform.clock = &clock;
    platform.events = &events;
    platform.display = &display;
    platform.scene = &scene;
    platform.audio = &audio;
    platform.joysticks = &joysticks;
    platform.messages = &messages;
    game = std::make_unique<Game>(platform);
  }
  // Gives every 3D object table of a battle a distinct frame of the recording scene.
  void CreateBattleFrames() {
    Game& g = *game;
    auto create = [&](auto& table) {
      for (auto& frame : table) frame = scene.CreateFrame(kNoFrame);
    };
    create(g.tankFrame);
    create(g.shotFrame);
    create(g.starFrame);
    create(g.itemFrame);
    create(g.moverFrame);
    create(g.gasFrame);
    create(g.netFrame);
    create(g.mineFrame);
    create(g.pyonFrame);
    create(g.shieldFrame);
    create(g.rocketFrame);
    create(g.waterFrame);
  }
  // The sound-effect indices played during the tick being worked, in order.
  std::vector<int> Sounds() const {
    const TickRecord& record = game->tickRecord;
    return {record.sounds.begin(), record.sounds.begin() + record.soundCount};
  }
  const FrameRecord& Frame(FrameId id) const { return scene.frames.at(id); }

  FakeClock clock;
  FakeEvents events;
  NullDisplay display;
  RecordingScene scene;
  NullAudio audio;
  PadSeats joysticks;
  StderrMessages messages;
  Platform platform;
  std::unique_ptr<Game> game;
};

}  // namespace bf::test
