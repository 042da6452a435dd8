#pragma once
// The check every sound back-end makes before it hands a file to its decoder.
#include <string>

#include "platform/files/files.h"

namespace bf {

// True when the open file is a RIFF WAVE file that `kind` may hold: one format and a data chunk,
// no chunk claiming more bytes than the file holds, and a sample rate and playing time within
// the kind's limits, all read from the chunk headers before a sample is decoded. Reads without
// moving the file offset; false with a short reason.
bool CheckWaveHeader(int fd, AssetKind kind, std::string* reason);

// Opens a sound effect or music track (an asset file, as OpenAssetFile has it) and checks it
// as above. Returns the descriptor at offset 0 (the caller closes it), or -1 with a reason.
int OpenWaveFile(const std::string& path, AssetKind kind, std::string* reason);

}  // namespace bf
