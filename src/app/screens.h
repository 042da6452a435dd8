#pragma once
// The selection screen, its drawing, and the status panels, whose redraw also lets the battle
// decide its winner.
#include "core/sprite_sheet.h"
#include "platform/surface.h"

namespace bf {

struct Game;

// Runs the selection screen until Enter (true: a battle follows) or Escape/close (false).
bool RunSelectionScreen(Game& game);
void DrawSelectionScreen(Game& game);
// Redraws the four panels, clamps negative lives to 0, then decides the winner.
void DrawStatusPanels(Game& game);
// Clears the form and prints "NOW LOADING...." at (270, 250).
void ShowLoadingText(Game& game);

// Copies a rectangle of one of the two stored pictures onto a surface, scaled to `to`.
inline void CopyPicture(Surface2D& surface, PictureId picture, SpriteRect from, SpriteRect to) {
  surface.StretchCopy(picture, from.x, from.y, from.width, from.height, to.x, to.y, to.width,
                      to.height);
}

}  // namespace bf
