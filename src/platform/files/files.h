#pragma once
// Small file helpers the executables share.
#include <cstdint>
#include <string>

namespace bf {

// What an asset file holds; each kind has its own limits, well above what the game's own
// files need.
enum class AssetKind { kModel, kTexture, kSound, kMusic };

// The most an asset may hold. A file's size alone bounds little: a small file can describe hours
// of sound the mixer converts to 44,100 Hz stereo, millions of pixels or triangles, or polygons
// of thousands of corners that take seconds each to cut into triangles. So what a file decodes
// to is limited too, checked from its header or counts before anything is decoded. The game's
// largest files are a 1.1 MB stage of 13,832 vertices and 9,544 triangles (none but triangles),
// a 64 x 64 texture, a 2.5 s effect and a 17 MB, 120 s track, all at 44,100 Hz.
constexpr std::int64_t kMaxModelFileBytes = 8 << 20;
constexpr std::int64_t kMaxTextureFileBytes = 16 << 20;
constexpr std::int64_t kMaxSoundFileBytes = 16 << 20;
constexpr std::int64_t kMaxMusicFileBytes = 128 << 20;
// The vertices (and, apart, the normals) and triangles of all of a model's meshes together,
// triangles counted once its polygons are cut into them: three vertices a triangle at most.
constexpr std::int64_t kMaxModelVertices = 600000;
constexpr std::int64_t kMaxModelTriangles = 200000;
constexpr std::int64_t kMaxFaceCorners = 64;
constexpr std::int64_t kMaxTextureSide = 4096;
constexpr std::int64_t kMaxTexturePixels = 2048 * 2048;
constexpr std::int64_t kMinSampleRate = 8000;
constexpr std::int64_t kMaxSampleRate = 192000;
constexpr std::int64_t kMaxSoundSeconds = 30;
constexpr std::int64_t kMaxMusicSeconds = 600;

// The kind as messages name it: "model", "texture", "sound effect", "music track".
const char* AssetKindName(AssetKind kind);

// The directory holding the game's assets: the data directory of an installed tree, found from
// the running executable's own directory so that the whole tree can move, or else the
// executable's own directory, where a build tree keeps them.
std::string AssetDir();
// The user's pictures folder: XDG_PICTURES_DIR from the environment, else from the desktop's
// ~/.config/user-dirs.dirs (or XDG_CONFIG_HOME's), else ~/Pictures; empty without a home.
std::string PicturesFolder();
// "burrowfield-YYYY-MM-DD-HHMMSS" for the local time now: screenshots sort by when they were taken.
std::string ScreenshotStem();
// A hash of every file the game loads from the asset directory (models, textures, sounds and
// music), names and bytes: two trees that agree on it play the same battles. A missing file
// counts as empty.
std::uint64_t HashAssets(const std::string& dir);
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
// Writes `bytes` as the whole of the file at `path` (created or emptied) and closes it; false
// with a short reason.
bool WriteWholeFile(const std::string& path, const std::string& bytes, std::string* reason);
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
