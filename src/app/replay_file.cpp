#include "app/replay_file.h"

#include <charconv>
#include <string_view>

namespace bf {
namespace {

constexpr std::string_view kMagic = "# burrowfield replay ";
// A version or date longer than this is no version or date: it is refused, not quoted back.
constexpr std::size_t kMostValueBytes = 64;

bool IsPrintable(std::string_view text) {
  for (unsigned char c : text) {
    if (c < 0x20 || c >= 0x7F) return false;
  }
  return true;
}

std::string_view TrimEnd(std::string_view text) {
  while (!text.empty() && (text.back() == '\r' || text.back() == ' ' || text.back() == '\t')) {
    text.remove_suffix(1);
  }
  return text;
}

// One "# key value" line of the header into *header; the reason on failure, empty when fine.
std::string ParseField(std::string_view line, ReplayHeader* header) {
  line.remove_prefix(1);
  while (!line.empty() && line.front() == ' ') line.remove_prefix(1);
  const std::size_t space = line.find(' ');
  const std::string_view key = line.substr(0, space);
  const std::string_view value = space == std::string_view::npos ? "" : line.substr(space + 1);
  if (value.size() > kMostValueBytes || !IsPrintable(value))
    return "bad value of '" + std::string(key.substr(0, 16)) + "'";
  if (key == "game") {
    if (value.empty()) return "missing game version";
    header->gameVersion = value;
  } else if (key == "assets") {
    if (!ParseHexHash(std::string(value), &header->assets)) return "bad assets hash";
  } else if (key == "date") {
    header->date = value;
  } else if (key == "battle") {
    int battle = 0;
    auto [ptr, ec] = std::from_chars(value.data(), value.data() + value.size(), battle);
    if (ec != std::errc() || ptr != value.data() + value.size() || battle < 1) {
      return "bad battle number";
    }
    header->battle = battle;
  }
  // Other comment lines are notes for people: a later format may add fields this one skips.
  return "";
}

}  // namespace

const char* GameVersion() {
  return BF_VERSION;
}

std::string HexHash(std::uint64_t hash) {
  static const char kHex[] = "0123456789abcdef";
  std::string text(16, '0');
  for (int i = 15; i >= 0; --i, hash >>= 4) text[static_cast<std::size_t>(i)] = kHex[hash & 15];
  return text;
}

bool ParseHexHash(const std::string& text, std::uint64_t* hash) {
  if (text.size() != 16) return false;
  auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), *hash, 16);
  return ec == std::errc() && ptr == text.data() + text.size();
}

std::string TimeText(std::time_t when, const char* format, bool utc) {
  std::tm parts{};
  if (utc) {
    gmtime_r(&when, &parts);
  } else {
    localtime_r(&when, &parts);
  }
  char text[64];
  return std::strftime(text, sizeof text, format, &parts) > 0 ? text : "";
}

std::string FormatReplayHeader(const ReplayHeader& header) {
  std::string text = std::string(kMagic) + std::to_string(kReplayFormat) + "\n";
  text += "# game " + header.gameVersion + "\n";
  text += "# assets " + HexHash(header.assets) + "\n";
  text += "# date " + header.date + "\n";
  if (header.battle > 0) text += "# battle " + std::to_string(header.battle) + "\n";
  return text;
}

bool ParseReplayHeader(const std::string& text, ReplayHeader* header, std::string* error) {
  *header = ReplayHeader{};
  std::string_view rest = text;
  int number = 0;
  bool sawAssets = false;
  while (!rest.empty()) {
    const std::size_t end = rest.find('\n');
    const std::string_view line = TrimEnd(rest.substr(0, end));
    rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
    ++number;
    std::string why;
    if (number == 1) {
      if (line.substr(0, kMagic.size()) != kMagic) return true;
      header->isReplay = true;
      const std::string_view version = line.substr(kMagic.size());
      auto [ptr, ec] =
          std::from_chars(version.data(), version.data() + version.size(), header->format);
      if (ec != std::errc() || ptr != version.data() + version.size()) {
        why = "bad replay format number";
      } else if (header->format != kReplayFormat) {
        why = "replay format " + std::to_string(header->format) + " is not known here (this " +
              "game reads format " + std::to_string(kReplayFormat) + ")";
      }
    } else if (line.empty() || line.front() != '#') {
      break;
    } else {
      why = ParseField(line, header);
      sawAssets = sawAssets || line.substr(0, 9) == "# assets ";
    }
    if (!why.empty()) {
      *error = "line " + std::to_string(number) + ": " + why;
      return false;
    }
  }
  if (header->gameVersion.empty() || !sawAssets) {
    *error = "line " + std::to_string(number) + ": the header lacks the game version or the " +
             "assets hash";
    return false;
  }
  const std::string_view last = kReplayLastLine;
  if (text.size() < last.size() ||
      text.compare(text.size() - last.size(), last.size(), last) != 0) {
    std::size_t lines = 0;
    for (char c : text) lines += c == '\n' ? 1 : 0;
    if (!text.empty() && text.back() != '\n') ++lines;
    *error = "line " + std::to_string(lines) + ": the file ends here, without its last line '" +
             std::string(last.substr(0, last.size() - 1)) + "': it was cut short";
    return false;
  }
  return true;
}

std::string ReplayRefusal(const ReplayHeader& file, const std::string& ourVersion,
                          std::uint64_t ourAssets) {
  if (!file.isReplay || file.assets == ourAssets) return "";
  return "recorded with Burrowfield " + file.gameVersion + " and its assets " +
         HexHash(file.assets) + "; this is Burrowfield " + ourVersion + " with assets " +
         HexHash(ourAssets) + ", on which it would play another battle";
}

}  // namespace bf
