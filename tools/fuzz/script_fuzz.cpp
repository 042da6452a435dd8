// libFuzzer target: a runner script through the parser.
#include "fuzz_entry.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  bf::fuzz::ParseScriptBytes(data, size);
  return 0;
}
