// libFuzzer target: a replay file through its reader.
#include "fuzz_entry.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  bf::fuzz::ParseReplayBytes(data, size);
  return 0;
}
