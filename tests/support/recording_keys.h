#pragma once
// An input sink that writes down every key event as "down 37/2" (key code / modifier mask).
#include <string>
#include <utility>
#include <vector>

#include "platform/events.h"

namespace bf::testing {

class RecordingKeys final : public InputSink {
 public:
  void OnKeyDown(int key, int mask) override { Add("down", key, mask); }
  void OnKeyUp(int key, int mask) override { Add("up", key, mask); }
  void OnClose() override { events.push_back("close"); }
  void OnMusicFinished() override {}
  // The events so far, forgetting them.
  std::vector<std::string> Take() { return std::exchange(events, {}); }

  std::vector<std::string> events;

 private:
  void Add(const char* what, int key, int mask) {
    events.push_back(std::string(what) + " " + std::to_string(key) + "/" + std::to_string(mask));
  }
};

}  // namespace bf::testing
