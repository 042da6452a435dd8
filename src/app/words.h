#pragma once
// Words the game writes on its screens, in its own bold face with a dark outline so that they
// read over any picture, and the names they use. Nothing here allocates: names are constants and
// composed lines are built in fixed buffers.
#include <array>
#include <string_view>

#include "core/facts.h"
#include "platform/surface.h"

namespace bf {

// Heights in form pixels: kSmallWords stands above the panels' 10-pixel text, kLargeWords is for
// the one line that matters most at that moment.
constexpr int kSmallWords = 12;
constexpr int kLargeWords = 30;

void DrawWords(Surface2D& surface, int x, int y, std::string_view text, Rgb colour, int pixels);
void DrawCentredWords(Surface2D& surface, int centreX, int y, std::string_view text, Rgb colour,
                      int pixels);

// One composed line.
struct WordLine {
  std::array<char, 96> chars{};
  int length = 0;
  std::string_view View() const { return {chars.data(), static_cast<std::size_t>(length)}; }
};

// A printf-style line, cut to what its buffer holds.
WordLine ComposeWords(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Players are numbered from 1 on the screen, as the pads' player lights count them.
constexpr int ShownNumber(int player) {
  return player + 1;
}

std::string_view TankName(int type);
// What the tank's ability does, in a few words.
std::string_view AbilityWords(int type);
std::string_view StageName(int stage);

}  // namespace bf
