// What the battle writes over its views on the display's overlay: each player's colour and number
// on that player's own view, and at the end the winner's number and tank over the growing view,
// with everything outside it black. Drawn only: no rule reads any of it.
#include "app/words.h"
#include "battle/battle_local.h"
#include "core/game.h"
#include "core/player_colours.h"

namespace bf {
namespace {

constexpr Rgb kTagBackdrop{16, 12, 24};
constexpr int kTagWidth = 30, kTagHeight = 18;
constexpr int kFrameLines = 2;
constexpr int kBannerWords = 18;  // the tank's name under the winner's line

struct ViewBox {
  int left, top, right, bottom;  // both corners included
};

ViewBox BoxOf(const std::array<int, 4>& rect) {
  return {rect[0], rect[1], rect[0] + rect[2] - 1, rect[1] + rect[3] - 1};
}

void DrawFrame(Surface2D& overlay, const ViewBox& box, Rgb colour) {
  for (int c = 0; c < kFrameLines; ++c)
    overlay.RectOutline(box.left + c, box.top + c, box.right - c, box.bottom - c, colour);
}

// The tag sits in the view's outer corner, beside the player's own status panel.
void DrawTag(Surface2D& overlay, const ViewBox& box, int p) {
  const bool right = p % 2 == 1, bottom = p / 2 == 1;
  const int x = right ? box.right - kTagWidth + 1 : box.left;
  const int y = bottom ? box.bottom - kTagHeight + 1 : box.top;
  const Rgb colour = kPlayerColours[p].outer;
  overlay.FillRect(x, y, x + kTagWidth - 1, y + kTagHeight - 1, colour);
  overlay.FillRect(x + 2, y + 2, x + kTagWidth - 3, y + kTagHeight - 3, kTagBackdrop);
  const WordLine number = ComposeWords("P%d", ShownNumber(p));
  DrawCentredWords(overlay, x + kTagWidth / 2, y + 1, number.View(), colour, kSmallWords);
}

// The winner's line, and the tank's name under it where the view is wide enough for it.
void DrawWinnerWords(Surface2D& overlay, const ViewBox& box, const Game& game) {
  const int p = game.winner;
  const Rgb colour = kPlayerColours[p].outer;
  // In the view's upper third, clear of the tank the camera follows.
  const int centre = (box.left + box.right) / 2, middle = box.top + (box.bottom - box.top) / 4 + 16;
  const WordLine line = ComposeWords("PLAYER %d WINS", ShownNumber(p));
  const int width = box.right - box.left + 1;
  const int pixels =
      overlay.OutlinedWidth(line.View(), kLargeWords) <= width - 8 ? kLargeWords : kSmallWords;
  DrawCentredWords(overlay, centre, middle - pixels, line.View(), colour, pixels);
  const std::string_view name = TankName(game.playerCharacter[p]);
  if (overlay.OutlinedWidth(name, kBannerWords) <= width - 8)
    DrawCentredWords(overlay, centre, middle + 4, name, colour, kBannerWords);
}

}  // namespace

void DrawViewTags(Game& game) {
  Surface2D& overlay = game.io.display->BattleOverlay();
  overlay.Clear();
  for (int p = 0; p < kPlayers; ++p) {
    const ViewBox box = BoxOf(PlayerViewRect(game, p));
    DrawFrame(overlay, box, kPlayerColours[p].outer);
    DrawTag(overlay, box, p);
  }
}

void DrawWinnerOverlay(Game& game) {
  Surface2D& overlay = game.io.display->BattleOverlay();
  const ViewBox box = BoxOf(PlayerViewRect(game, game.winner));
  overlay.FillRect(0, 0, kBattleOverlayWidth - 1, kBattleOverlayHeight - 1, {0, 0, 0});
  overlay.FillRect(box.left, box.top, box.right, box.bottom, kSeeThrough);
  DrawFrame(overlay, box, kPlayerColours[game.winner].outer);
  DrawWinnerWords(overlay, box, game);
}

}  // namespace bf
