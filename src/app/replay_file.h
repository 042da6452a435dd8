#pragma once
// A replay file is a runner script whose first lines are comments naming what it was recorded
// with: the format, the game's version, the hash of the game's assets, the date, and, for a
// file that keeps one battle, which one. The runner skips comments, so the file replays as it
// is; the game and the runner read these lines to refuse a file from other assets.
#include <cstdint>
#include <ctime>
#include <string>

namespace bf {

constexpr int kReplayFormat = 1;
// A replay ends with this line, so that a file cut short anywhere is told from a whole one.
constexpr char kReplayLastLine[] = "# end of replay\n";

struct ReplayHeader {
  bool isReplay = false;  // false: a plain script, with nothing to check
  int format = kReplayFormat;
  std::string gameVersion;
  std::uint64_t assets = 0;
  std::string date;
  int battle = 0;  // the battle the file was saved for; 0 = everything played
};

// The version this build reports in the files it writes.
const char* GameVersion();

// A moment as strftime writes it with `format`, in local time or in UTC.
std::string TimeText(std::time_t when, const char* format, bool utc);
// The date a header carries when the game writes it: local time, with its offset from UTC.
constexpr const char kLocalHeaderDate[] = "%Y-%m-%d %H:%M:%S %z";

// The header's comment lines, each ending in a newline.
std::string FormatReplayHeader(const ReplayHeader& header);

// Reads the header from the file's first comment lines, and sees that the file ends with its
// last line. A file whose first line is not a replay header is a plain script: true, with
// isReplay false. A bad header or a file cut short is false with "line N: why".
bool ParseReplayHeader(const std::string& text, ReplayHeader* header, std::string* error);

// Empty when a file with this header plays on this build; otherwise the one-line reason, naming
// both versions. Assets decide: a file from another version plays when its assets are ours.
std::string ReplayRefusal(const ReplayHeader& file, const std::string& ourVersion,
                          std::uint64_t ourAssets);

// A state or asset hash as the files write it: 16 lower-case hex digits.
std::string HexHash(std::uint64_t hash);
bool ParseHexHash(const std::string& text, std::uint64_t* hash);

}  // namespace bf
