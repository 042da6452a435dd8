#include "platform/readers/wave_file.h"

#include <cstdint>
#include <cstring>
#include <fstream>

namespace bf {

// Every chunk must fit in the file: the readers behind it allocate what a chunk claims before
// reading it, so a corrupted size in a tiny file would ask for gigabytes.
bool IsReadableWave(const std::string& path) {
  std::ifstream file(path, std::ios::binary | std::ios::ate);
  if (!file) return false;
  const std::uint64_t fileSize = static_cast<std::uint64_t>(file.tellg());
  char header[12] = {};
  if (!file.seekg(0) || !file.read(header, sizeof header)) return false;
  if (std::memcmp(header, "RIFF", 4) != 0 || std::memcmp(header + 8, "WAVE", 4) != 0) return false;
  bool hasFormat = false, hasData = false;
  for (std::uint64_t at = sizeof header; at + 8 <= fileSize;) {
    unsigned char chunk[8];
    if (!file.seekg(static_cast<std::streamoff>(at)) ||
        !file.read(reinterpret_cast<char*>(chunk), sizeof chunk))
      return false;
    const std::uint64_t size =
        chunk[4] | chunk[5] << 8 | chunk[6] << 16 | static_cast<std::uint64_t>(chunk[7]) << 24;
    if (size > fileSize - at - 8) return false;
    hasFormat = hasFormat || std::memcmp(chunk, "fmt ", 4) == 0;
    hasData = hasData || std::memcmp(chunk, "data", 4) == 0;
    at += 8 + size + (size & 1);
  }
  return hasFormat && hasData;
}

}  // namespace bf
