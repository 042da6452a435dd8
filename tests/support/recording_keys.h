#pragma once
// An input sink that writes down every key event as "down 37/2" (key code / modifier mask),
// and when asked the pads' own events as "button 2 start", "unplug 0", "plug 0".
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
  void OnPadButtonDown(int player, bool start) override {
    if (recordPads) events.push_back("button " + std::to_string(player) + (start ? " start" : ""));
  }
  void OnPadUnplugged(int player) override {
    if (recordPads) events.push_back("unplug " + std::to_string(player));
  }
  void OnPadPlugged(int player) override {
    if (recordPads) events.push_back("plug " + std::to_string(player));
  }
  // The events so far, forgetting them.
  std::vector<std::string> Take() { return std::exchange(events, {}); }

  std::vector<std::string> events;
  // Whether the pads' own events (buttons pressed, unplugged, plugged in) are written down too.
  bool recordPads = false;

 private:
  void Add(const char* what, int key, int mask) {
    events.push_back(std::string(what) + " " + std::to_string(key) + "/" + std::to_string(mask));
  }
};

}  // namespace bf::testing
