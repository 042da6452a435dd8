// libFuzzer target: a .x mesh file through the text check and the importer.
#include "fuzz_entry.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  bf::fuzz::ReadXBytes(data, size);
  return 0;
}
