#pragma once
// The status panels' text lines, built without allocating: numbers keep a sign position (a space
// for values >= 0, "-" otherwise), so life 90 reads "LIFE: 90" and 5 of 5 shells "WEAPON: 5/ 5".
#include <array>
#include <cstdint>
#include <string_view>

namespace bf {

struct PanelLine {
  std::array<char, 48> chars{};
  int length = 0;
  std::string_view View() const { return {chars.data(), static_cast<std::size_t>(length)}; }
};

PanelLine LifeText(std::int32_t life);
PanelLine WeaponText(std::int32_t shells, std::int32_t maxShells);

}  // namespace bf
