#pragma once
#include <cstdio>
#include <string>

#include "platform/platform.h"

namespace bf {

// Messages for a machine without a display: one line each on standard error.
class StderrMessages final : public MessageSink {
 public:
  void ShowMessage(const std::string& title, const std::string& text, bool) override {
    std::fprintf(stderr, "%s: %s\n", title.c_str(), text.c_str());
  }
};

}  // namespace bf
