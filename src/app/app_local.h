#pragma once
// Inside the shell: the selection screen and its drawing, and the status panels' drawing.
#include <array>
#include <cstdint>
#include <string_view>

#include "core/sprite_sheet.h"
#include "platform/surface.h"

namespace bf {

struct Game;

// Runs the selection screen until Enter (true: a battle follows) or Escape/close (false).
bool RunSelectionScreen(Game& game);
void DrawSelectionScreen(Game& game);

// Copies a rectangle of one of the two stored pictures onto a surface, scaled to `to`.
inline void CopyPicture(Surface2D& surface, PictureId picture, SpriteRect from, SpriteRect to) {
  surface.StretchCopy(picture, from.x, from.y, from.width, from.height, to.x, to.y, to.width,
                      to.height);
}

// The status panels' text lines, built without allocating: numbers keep a sign position (a space
// for values >= 0, "-" otherwise), so life 90 reads "LIFE: 90" and 5 of 5 shells "WEAPON: 5/ 5".
struct PanelLine {
  std::array<char, 48> chars{};
  int length = 0;
  std::string_view View() const { return {chars.data(), static_cast<std::size_t>(length)}; }
};

PanelLine LifeText(std::int32_t life);
PanelLine WeaponText(std::int32_t shells, std::int32_t maxShells);

}  // namespace bf
