#pragma once
// Small file helpers the executables share.
#include <cstdint>
#include <string>

namespace bf {

// What an asset file holds; each kind has its own size limit, well above what the game's own
// files need.
enum class AssetKind { kModel, kTexture, kSound, kMusic };

// The directory holding the game's assets: the data directory of an installed tree, found from
// the running executable's own directory so that the whole tree can move, or else the
// executable's own directory, where a build tree keeps them.
std::string AssetDir();
// Writes an RGB picture (rows top to bottom) as PNG; false when the file cannot be written.
bool WritePng(const std::string& path, int width, int height, const std::uint8_t* rgb);
// Reads a whole text file (a pipe will do, a directory will not); false with a short reason.
bool ReadTextFile(const std::string& path, std::string* text, std::string* reason);

// Opens an asset for reading: a regular file (or a link to one) no larger than its kind allows.
// A directory, FIFO or device is refused at once, never opened for a blocking read. Returns
// the descriptor (the caller closes it), or -1 with a short reason.
int OpenAssetFile(const std::string& path, AssetKind kind, std::string* reason);
// Reads a whole asset file opened as above; false with a short reason.
bool ReadAssetFile(const std::string& path, AssetKind kind, std::string* bytes,
                   std::string* reason);

}  // namespace bf
