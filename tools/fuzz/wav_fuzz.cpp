// libFuzzer target: a sound file through the wav check, SDL's reader and the mixer.
#include "fuzz_entry.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  bf::fuzz::ReadWaveBytes(data, size);
  return 0;
}
