#pragma once
// A message sink that keeps every message the game shows, for tests that check what the player
// was told.
#include <ostream>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace bf::testing {

// One message as the player would have seen it.
struct ShownMessage {
  std::string title;
  std::string text;
  bool critical;
  bool operator==(const ShownMessage&) const = default;
  friend std::ostream& operator<<(std::ostream& out, const ShownMessage& m) {
    return out << m.title << ": " << m.text << (m.critical ? " (critical)" : "");
  }
};

class RecordingMessages : public MessageSink {
 public:
  void ShowMessage(const std::string& title, const std::string& text, bool critical) override {
    shown.push_back({title, text, critical});
  }
  std::vector<ShownMessage> shown;
};

}  // namespace bf::testing
