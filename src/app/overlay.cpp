#include "app/app_local.h"
#include "core/game.h"

namespace bf {
namespace {

constexpr Rgb kWhite{255, 255, 255};
// The free space right of the tank label, and the free end of player 1's panel.
constexpr int kFormLeft = 290, kFormTop = 200, kFormRight = 635, kFormBottom = 240;
constexpr int kPanelLeft = 212;

}  // namespace

void DrawOverlayText(Game& game, std::string_view text) {
  if (game.selectionActive == 1) {
    Surface2D& form = game.io.display->Form();
    form.FillRect(kFormLeft, kFormTop, kFormRight, kFormBottom, kWhite);
    form.SetTextPosition(kFormLeft + 10, kFormTop + 12);
    form.Print(text);
    return;
  }
  Surface2D& panel = game.io.display->Panel(1);
  panel.FillRect(kPanelLeft, 0, kPanelWidth - 1, kPanelHeight - 1, kWhite);
  panel.SetTextPosition(kPanelLeft + 3, 2);
  panel.Print(text);
}

}  // namespace bf
