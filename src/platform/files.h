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
// A FIFO is waited on, for its writer and then for its data, until `wakeFd` (when not -1)
// turns readable: then false with *interrupted set.
bool ReadTextFile(const std::string& path, std::string* text, std::string* reason, int wakeFd = -1,
                  bool* interrupted = nullptr);
// Opens a file for writing, created or emptied as fopen's "w" does, and returns the descriptor
// (the caller closes it). A FIFO is waited on for its reader until `wakeFd` (when not -1) turns
// readable: then -1 with *interrupted set. Otherwise -1 with a short reason.
int OpenOutputFile(const std::string& path, std::string* reason, int wakeFd = -1,
                   bool* interrupted = nullptr);
// Writes all of `bytes`, carrying on after a signal; false with a short reason.
bool WriteAll(int fd, const std::string& bytes, std::string* reason);
// An RGB picture (rows top to bottom) as the bytes of a PNG file.
std::string EncodePng(int width, int height, const std::uint8_t* rgb);
// Reads a whole setting file that another program may name to the game: a regular file (or a
// link to one) of at most `limit` bytes. A FIFO or device is refused at once, never opened for
// a blocking read. False with a short reason.
bool ReadSettingFile(const std::string& path, std::int64_t limit, std::string* text,
                     std::string* reason);

// Opens an asset for reading: a regular file (or a link to one) no larger than its kind allows.
// A directory, FIFO or device is refused at once, never opened for a blocking read. Returns
// the descriptor (the caller closes it), or -1 with a short reason.
int OpenAssetFile(const std::string& path, AssetKind kind, std::string* reason);
// Reads a whole asset file opened as above; false with a short reason.
bool ReadAssetFile(const std::string& path, AssetKind kind, std::string* bytes,
                   std::string* reason);

}  // namespace bf
