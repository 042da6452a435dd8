// The selection screen's picture: the fixed artwork first, then the stage frame and each joined
// player's frame and marker. Nothing is cleared: the fixed artwork covers every place where a
// frame or marker of an earlier draw could be.
#include "app/app_local.h"
#include "core/game.h"
#include "core/player_colours.h"
#include "core/sprite_sheet.h"

namespace bf {
namespace {

// Where the icon and stage rows sit on the form.
constexpr int kIconRowX = 45, kIconRowY = 250;
constexpr int kStageRowX = 70, kStageRowY = 365;

// The icon and stage strips are copied at their own size.
void DrawFixedPart(Surface2D& form) {
  CopyPicture(form, PictureId::kTitle, kTitleRect, {30, 10, 580, 180});
  CopyPicture(form, PictureId::kSpriteSheet, kTankLabelRect, {20, 190, 255, 55});
  CopyPicture(form, PictureId::kSpriteSheet, kStageLabelRect, {20, 305, 255, 55});
  CopyPicture(form, PictureId::kSpriteSheet, kTankIconStrip,
              {kIconRowX, kIconRowY, kTankIconStrip.width, kTankIconStrip.height});
  CopyPicture(form, PictureId::kSpriteSheet, kStagePictureStrip,
              {kStageRowX, kStageRowY, kStagePictureStrip.width, kStagePictureStrip.height});
}

void DrawMarker(Surface2D& form, int p, int x, int y) {
  const SpriteRect marker = PlayerMarkerRect(p);
  CopyPicture(form, PictureId::kSpriteSheet, marker, {x, y, marker.width, marker.height});
}

// Player 0's stage-row marker under the chosen stage, and the stage frame, which is drawn
// whatever the row and whether player 0 has joined: four lines darkening inwards.
void DrawStageChoice(const Game& game, Surface2D& form) {
  const int left = kStageRowX + kStagePictureSize * game.stageIndex;
  if (game.menuRow == 1) DrawMarker(form, 0, left + 5, 440);
  for (int c = 0; c < 4; ++c) {
    const Rgb shade{static_cast<std::uint8_t>(255 - 30 * c), 0, 0};
    form.RectOutline(left + c, kStageRowY + c, left + kStagePictureSize - 1 - c,
                     kStageRowY + kStagePictureSize - 1 - c, shade);
  }
}

// A joined player's marker sits inside the chosen icon's lower half, 12 pixels per player, so
// every player's marker stays visible; the frame of the highest player on an icon wins.
void DrawTankChoice(const Game& game, Surface2D& form, int p) {
  const int t = game.playerCharacter[p];
  const int left = kIconRowX + kIconSize * t;
  if (p >= 1 || game.menuRow == 0) DrawMarker(form, p, left + 2 + 12 * p, 278);
  const PlayerColours& colours = kPlayerColours[p];
  form.RectOutline(left, kIconRowY, left + kIconSize - 1, kIconRowY + kIconSize - 1, colours.outer);
  form.RectOutline(left + 1, kIconRowY + 1, left + kIconSize - 2, kIconRowY + kIconSize - 2,
                   colours.inner);
}

}  // namespace

void DrawSelectionScreen(Game& game) {
  Surface2D& form = game.io.display->Form();
  DrawFixedPart(form);
  for (int p = 0; p < kPlayers; ++p) {
    if (p == 0) DrawStageChoice(game, form);
    if (game.playerCharacter[p] != kNotJoined) DrawTankChoice(game, form, p);
  }
}

}  // namespace bf
