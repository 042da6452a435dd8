#pragma once
// The check every sound back-end makes before it hands a file to its decoder.
#include <string>

namespace bf {

// True when `path` names a readable RIFF WAVE file: a format and a data chunk, and no chunk
// claiming more bytes than the file holds.
bool IsReadableWave(const std::string& path);

}  // namespace bf
