#pragma once
// Where everything lies on the two pictures stored with the game window: the title picture and
// the sprite sheet. tools/assetgen draws them by this layout and the game cuts them up by it, so
// the two can never disagree.
#include "core/facts.h"

namespace bf {

// A rectangle in pixels: left, top, width, height.
struct SpriteRect {
  int x, y, width, height;
};

constexpr SpriteRect kTitleRect{0, 0, 320, 120};
constexpr int kSheetWidth = 640, kSheetHeight = 150;

// Along the top of the sheet, one 50 x 50 icon per tank type in type order; below them one
// 100 x 100 picture per stage in stage order.
constexpr int kIconSize = 50;
constexpr int kStagePictureSize = 100;
constexpr SpriteRect kTankIconStrip{0, 0, kIconSize* kTankTypes, kIconSize};
constexpr SpriteRect kStagePictureStrip{0, kIconSize, kStagePictureSize* kStages,
                                        kStagePictureSize};

constexpr SpriteRect TankIconRect(int type) {
  return {kIconSize * type, 0, kIconSize, kIconSize};
}
constexpr SpriteRect StagePictureRect(int stage) {
  return {kStagePictureSize * stage, kIconSize, kStagePictureSize, kStagePictureSize};
}

// The selection screen's row labels, right of the stage pictures.
constexpr SpriteRect kTankLabelRect{500, 50, 130, 30};
constexpr SpriteRect kStageLabelRect{500, 80, 130, 30};

// One 10 x 20 marker per player in the top right corner, in the player's colour.
constexpr SpriteRect PlayerMarkerRect(int p) {
  return {600 + 10 * p, 0, 10, 20};
}

static_assert(kTankIconStrip.width <= PlayerMarkerRect(0).x, "the icons end before the markers");
static_assert(kStagePictureStrip.width <= kTankLabelRect.x, "the stages end before the labels");
static_assert(PlayerMarkerRect(kPlayers - 1).x + 10 <= kSheetWidth, "the markers fit the sheet");

}  // namespace bf
