#include "platform/readers/wave_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace bf {
namespace {

constexpr std::size_t kFormatBytes = 16;

struct WaveChunks {
  int formats = 0;
  unsigned char format[kFormatBytes] = {};
  bool hasData = false;
  std::uint64_t dataBytes = 0;  // of every data chunk together
};

std::uint32_t ReadLe(const unsigned char* bytes, int size) {
  std::uint32_t value = 0;
  for (int i = size - 1; i >= 0; --i) value = value << 8 | bytes[i];
  return value;
}

bool ReadFormat(int fd, std::uint64_t at, std::uint64_t size, unsigned char* format) {
  return size >= kFormatBytes && pread(fd, format, kFormatBytes, static_cast<off_t>(at)) ==
                                     static_cast<ssize_t>(kFormatBytes);
}

// Every chunk must fit in the file: the readers behind it allocate what a chunk claims before
// reading it, so a corrupted size in a tiny file would ask for gigabytes.
bool ReadChunks(int fd, WaveChunks* chunks) {
  struct stat status;
  if (fstat(fd, &status) != 0) return false;
  const std::uint64_t fileSize = static_cast<std::uint64_t>(status.st_size);
  char header[12] = {};
  if (pread(fd, header, sizeof header, 0) != static_cast<ssize_t>(sizeof header)) return false;
  if (std::memcmp(header, "RIFF", 4) != 0 || std::memcmp(header + 8, "WAVE", 4) != 0) return false;
  for (std::uint64_t at = sizeof header; at + 8 <= fileSize;) {
    unsigned char chunk[8];
    if (pread(fd, chunk, sizeof chunk, static_cast<off_t>(at)) !=
        static_cast<ssize_t>(sizeof chunk))
      return false;
    const std::uint64_t size = ReadLe(chunk + 4, 4);
    if (size > fileSize - at - 8) return false;
    if (std::memcmp(chunk, "fmt ", 4) == 0 && ++chunks->formats == 1 &&
        !ReadFormat(fd, at + 8, size, chunks->format))
      return false;
    if (std::memcmp(chunk, "data", 4) == 0) {
      chunks->hasData = true;
      chunks->dataBytes += size;
    }
    at += 8 + size + (size & 1);
  }
  return chunks->formats > 0 && chunks->hasData;
}

// The most sample frames the data can decode to. Decoders size a frame by the block alignment or
// by the bits of a sample times the channels; the smaller frame gives the more. ADPCM's block
// headers hold fewer samples than their bits would, so its bits bound it as well.
std::uint64_t MostFrames(const WaveChunks& chunks) {
  const std::uint64_t channels = ReadLe(chunks.format + 2, 2);
  const std::uint64_t blockAlign = ReadLe(chunks.format + 12, 2);
  const std::uint64_t bits = ReadLe(chunks.format + 14, 2);
  if (channels == 0 || blockAlign == 0 || bits == 0) return 0;
  return std::max(chunks.dataBytes / blockAlign, chunks.dataBytes * 8 / (bits * channels));
}

// The rate and playing time the format and data chunks promise, against the kind's limits.
bool CheckDecodedSize(const WaveChunks& chunks, AssetKind kind, std::string* reason) {
  const std::int64_t rate = ReadLe(chunks.format + 4, 4);
  const std::string kindName = AssetKindName(kind);
  if (rate < kMinSampleRate || rate > kMaxSampleRate) {
    *reason = std::to_string(rate) + " Hz, outside the rates a " + kindName + " may have (" +
              std::to_string(kMinSampleRate) + " to " + std::to_string(kMaxSampleRate) + " Hz)";
    return false;
  }
  const std::uint64_t frames = MostFrames(chunks);
  if (frames == 0 && chunks.dataBytes > 0) {
    *reason = "the format chunk gives no size of a sample";
    return false;
  }
  const std::int64_t maxSeconds = kind == AssetKind::kMusic ? kMaxMusicSeconds : kMaxSoundSeconds;
  if (frames > static_cast<std::uint64_t>(maxSeconds * rate)) {
    const std::uint64_t seconds = (frames + rate - 1) / rate;
    *reason = std::to_string(seconds) + " s long, more than a " + kindName + " may be (" +
              std::to_string(maxSeconds) + " s)";
    return false;
  }
  return true;
}

}  // namespace

bool CheckWaveHeader(int fd, AssetKind kind, std::string* reason) {
  WaveChunks chunks;
  if (!ReadChunks(fd, &chunks)) {
    *reason = "not a wav file, or a chunk claims more bytes than the file holds";
    return false;
  }
  // A decoder may read either of two formats: the one checked must be the only one.
  if (chunks.formats > 1) {
    *reason = "more than one format chunk";
    return false;
  }
  return CheckDecodedSize(chunks, kind, reason);
}

int OpenWaveFile(const std::string& path, AssetKind kind, std::string* reason) {
  const int fd = OpenAssetFile(path, kind, reason);
  if (fd < 0) return -1;
  if (CheckWaveHeader(fd, kind, reason)) return fd;
  close(fd);
  return -1;
}

}  // namespace bf
