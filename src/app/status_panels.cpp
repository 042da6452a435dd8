// The four status panels, redrawn whole on every call, which clamp negative lives to 0 and then
// let the battle decide its winner: they follow every change of a life or a magazine.
#include "app/status_panels.h"

#include <algorithm>
#include <cstdio>

#include "app/app_local.h"
#include "battle/battle.h"
#include "core/game.h"
#include "core/sprite_sheet.h"

namespace bf {
namespace {

// A bar's left edge, its full width and its rows.
struct BarPlace {
  int x0;
  int width;
};
constexpr BarPlace kLifeBar{35, 65};
constexpr BarPlace kShellBar{115, 85};

// Each bar is three bands, outer first: rows 12..16, 13..15 and 14.
struct Band {
  int top;
  int bottom;
  Rgb background;
  Rgb value;
};
constexpr Band kBands[] = {
    {12, 16, {255, 0, 0}, {0, 0, 255}},
    {13, 15, {220, 0, 0}, {150, 150, 255}},
    {14, 14, {190, 0, 0}, {200, 200, 255}},
};

// Keeps what fits; a line never outgrows its buffer.
void Finish(PanelLine& line, int written) {
  const int capacity = static_cast<int>(line.chars.size()) - 1;
  line.length = written < 0 ? 0 : std::min(written, capacity);
}

// The value part ends at x0 + width * value / maximum, unrounded: the surface decides the
// pixel, so 0 still shows the column at x0 and a full value reaches x0 + width.
void DrawBar(Surface2D& panel, BarPlace bar, std::int32_t value, std::int32_t maximum) {
  const double right = bar.x0 + bar.width;
  for (const Band& band : kBands)
    panel.FillRect(bar.x0, band.top, right, band.bottom, band.background);
  const double valueRight = bar.x0 + static_cast<double>(bar.width) * value / maximum;
  for (const Band& band : kBands)
    panel.FillRect(bar.x0, band.top, valueRight, band.bottom, band.value);
}

void DrawPanel(Game& game, int p) {
  Surface2D& panel = game.io.display->Panel(p);
  panel.Clear();
  CopyPicture(panel, PictureId::kSpriteSheet, PlayerMarkerRect(p), {0, 0, 10, 20});
  // The tank's icon, scaled down to 20 x 20.
  CopyPicture(panel, PictureId::kSpriteSheet, TankIconRect(game.playerCharacter[p]),
              {10, 0, 20, 20});
  panel.SetTextPosition(40, 2);
  panel.Print(LifeText(game.playerLife[p]).View());
  DrawBar(panel, kLifeBar, game.playerLife[p], game.maxLife[p]);
  panel.SetTextPosition(120, 2);
  panel.Print(WeaponText(game.shells[p], game.maxShells[p]).View());
  DrawBar(panel, kShellBar, game.shells[p], game.maxShells[p]);
}

}  // namespace

// "% d" gives the sign position: a space before a value >= 0, "-" before a negative one.
PanelLine LifeText(std::int32_t life) {
  PanelLine line;
  Finish(line, std::snprintf(line.chars.data(), line.chars.size(), "LIFE:% d", life));
  return line;
}

PanelLine WeaponText(std::int32_t shells, std::int32_t maxShells) {
  PanelLine line;
  Finish(line,
         std::snprintf(line.chars.data(), line.chars.size(), "WEAPON:% d/% d", shells, maxShells));
  return line;
}

void DrawStatusPanels(Game& game) {
  for (int p = 0; p < kPlayers; ++p) {
    if (game.playerLife[p] < 0) game.playerLife[p] = 0;
    DrawPanel(game, p);
  }
  DecideWinner(game);
}

}  // namespace bf
