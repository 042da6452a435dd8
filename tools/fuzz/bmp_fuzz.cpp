// libFuzzer target: a .bmp texture through the texture reader.
#include "fuzz_entry.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  bf::fuzz::ReadBmpBytes(data, size);
  return 0;
}
