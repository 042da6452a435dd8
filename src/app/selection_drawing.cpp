// The selection screen's picture: the fixed artwork first, then the stage frame and each joined
// player's frame and marker. Nothing is cleared: the fixed artwork covers every place where a
// frame or marker of an earlier draw could be.
#include "app/game.h"
#include "app/screens.h"

namespace bf {
namespace {

struct PlayerColours {
  Rgb outer;
  Rgb inner;
};

constexpr PlayerColours kPlayerColours[kPlayers] = {
    {{255, 0, 0}, {150, 0, 0}},
    {{0, 0, 255}, {0, 0, 150}},
    {{255, 255, 0}, {150, 150, 0}},
    {{0, 255, 0}, {0, 150, 0}},
};

// Sprite-sheet regions.
constexpr int kIconSize = 50;
constexpr int kStageSize = 100;
constexpr int kStageStripY = 50;
constexpr int kMarkerX = 600, kMarkerWidth = 10, kMarkerHeight = 20;

// Where the icon and stage rows sit on the form.
constexpr int kIconRowX = 45, kIconRowY = 250;
constexpr int kStageRowX = 70, kStageRowY = 365;

void DrawFixedPart(Surface2D& form) {
  form.StretchCopy(PictureId::kTitle, 0, 0, 320, 120, 30, 10, 580, 180);
  form.StretchCopy(PictureId::kSpriteSheet, 500, 50, 130, 30, 20, 190, 255, 55);
  form.StretchCopy(PictureId::kSpriteSheet, 500, 80, 130, 30, 20, 305, 255, 55);
  form.StretchCopy(PictureId::kSpriteSheet, 0, 0, kIconSize * kTankTypes, kIconSize, kIconRowX,
                   kIconRowY, kIconSize * kTankTypes, kIconSize);
  form.StretchCopy(PictureId::kSpriteSheet, 0, kStageStripY, kStageSize * kStages, kStageSize,
                   kStageRowX, kStageRowY, kStageSize * kStages, kStageSize);
}

void DrawMarker(Surface2D& form, int p, int x, int y) {
  form.StretchCopy(PictureId::kSpriteSheet, kMarkerX + kMarkerWidth * p, 0, kMarkerWidth,
                   kMarkerHeight, x, y, kMarkerWidth, kMarkerHeight);
}

// Player 0's stage-row marker under the chosen stage, and the stage frame, which is drawn
// whatever the row and whether player 0 has joined: four lines darkening inwards.
void DrawStageChoice(const Game& game, Surface2D& form) {
  const int left = kStageRowX + kStageSize * game.stageIndex;
  if (game.menuRow == 1) DrawMarker(form, 0, left + 5, 440);
  for (int c = 0; c < 4; ++c) {
    const Rgb shade{static_cast<std::uint8_t>(255 - 30 * c), 0, 0};
    form.RectOutline(left + c, kStageRowY + c, left + kStageSize - 1 - c,
                     kStageRowY + kStageSize - 1 - c, shade);
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
    if (game.playerCharacter[p] != -1) DrawTankChoice(game, form, p);
  }
}

}  // namespace bf
