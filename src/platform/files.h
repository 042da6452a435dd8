#pragma once
// Small file helpers the executables share.
#include <cstdint>
#include <string>

namespace bf {

// The directory holding the game's assets: the data directory of an installed tree, found from
// the running executable's own directory so that the whole tree can move, or else the
// executable's own directory, where a build tree keeps them.
std::string AssetDir();
// Writes an RGB picture (rows top to bottom) as PNG; false when the file cannot be written.
bool WritePng(const std::string& path, int width, int height, const std::uint8_t* rgb);
// Reads a whole file; false when it cannot be read.
bool ReadTextFile(const std::string& path, std::string* text);

}  // namespace bf
