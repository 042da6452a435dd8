#include "platform/readers/wave_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstring>

namespace bf {

// Every chunk must fit in the file: the readers behind it allocate what a chunk claims before
// reading it, so a corrupted size in a tiny file would ask for gigabytes.
bool IsReadableWave(int fd) {
  struct stat status;
  if (fstat(fd, &status) != 0) return false;
  const std::uint64_t fileSize = static_cast<std::uint64_t>(status.st_size);
  char header[12] = {};
  if (pread(fd, header, sizeof header, 0) != static_cast<ssize_t>(sizeof header)) return false;
  if (std::memcmp(header, "RIFF", 4) != 0 || std::memcmp(header + 8, "WAVE", 4) != 0) return false;
  bool hasFormat = false, hasData = false;
  for (std::uint64_t at = sizeof header; at + 8 <= fileSize;) {
    unsigned char chunk[8];
    if (pread(fd, chunk, sizeof chunk, static_cast<off_t>(at)) !=
        static_cast<ssize_t>(sizeof chunk))
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

int OpenWaveFile(const std::string& path, AssetKind kind, std::string* reason) {
  const int fd = OpenAssetFile(path, kind, reason);
  if (fd < 0) return -1;
  if (IsReadableWave(fd)) return fd;
  *reason = "not a wav file, or a chunk claims more bytes than the file holds";
  close(fd);
  return -1;
}

}  // namespace bf
