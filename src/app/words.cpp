#include "app/words.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>

namespace bf {
namespace {

constexpr std::array<std::string_view, kTankTypes> kTankNames{
    "BEAR", "FOX", "SKUNK", "PIG", "SQUIRREL", "FISH", "MOUSE", "SPIDER", "RABBIT", "LOG", "CAT"};

constexpr std::array<std::string_view, kTankTypes> kAbilityWords{
    "fires a rocket",         "cloaks: unseen by the others",
    "lets off a gas cloud",   "raises a shield against shots",
    "dashes ahead",           "whirlpool pulls tanks in",
    "flame burst all around", "lays a net that holds tanks",
    "sends a hopping chaser", "lays mines",
    "leaves a decoy behind",
};

constexpr std::array<std::string_view, kStages> kStageNames{"MEADOW", "DESERT", "FORTRESS",
                                                            "VOLCANO", "FACTORY"};

template <std::size_t N>
std::string_view Entry(const std::array<std::string_view, N>& table, int index) {
  return index >= 0 && index < static_cast<int>(N) ? table[index] : std::string_view{};
}

}  // namespace

void DrawWords(Surface2D& surface, int x, int y, std::string_view text, Rgb colour, int pixels) {
  surface.PrintOutlined(x, y, text, pixels, colour);
}

void DrawCentredWords(Surface2D& surface, int centreX, int y, std::string_view text, Rgb colour,
                      int pixels) {
  DrawWords(surface, centreX - surface.OutlinedWidth(text, pixels) / 2, y, text, colour, pixels);
}

WordLine ComposeWords(const char* format, ...) {
  WordLine line;
  va_list args;
  va_start(args, format);
  const int written = std::vsnprintf(line.chars.data(), line.chars.size(), format, args);
  va_end(args);
  line.length = std::clamp(written, 0, static_cast<int>(line.chars.size()) - 1);
  return line;
}

std::string_view TankName(int type) {
  return Entry(kTankNames, type);
}

std::string_view AbilityWords(int type) {
  return Entry(kAbilityWords, type);
}

std::string_view StageName(int stage) {
  return Entry(kStageNames, stage);
}

}  // namespace bf
