#pragma once
// The check every sound back-end makes before it hands a file to its decoder.
#include <string>

#include "platform/files.h"

namespace bf {

// True when the open file is a RIFF WAVE file: a format and a data chunk, and no chunk claiming
// more bytes than the file holds. Reads only the chunk headers, without moving the file offset.
bool IsReadableWave(int fd);

// Opens a sound effect or music track (an asset file, as OpenAssetFile has it) and checks it
// as above. Returns the descriptor at offset 0 (the caller closes it), or -1 with a reason.
int OpenWaveFile(const std::string& path, AssetKind kind, std::string* reason);

}  // namespace bf
