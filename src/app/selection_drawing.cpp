// The selection screen's picture: the fixed artwork first, then the stage frame, each joined
// player's frame and marker, and the words. Only the words' places are cleared: the fixed
// artwork covers every place where a frame or marker of an earlier draw could be.
#include "app/app_local.h"
#include "app/replay.h"
#include "app/words.h"
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

// How many lower-numbered players chose the same tank: each one's frame lies inside the last.
int FramesBefore(const Game& game, int p) {
  int before = 0;
  for (int q = 0; q < p; ++q) before += game.playerCharacter[q] == game.playerCharacter[p];
  return before;
}

// A frame of four lines, dark, colour, colour, light: the dark and light lines keep the colour
// apart from every tile, bright or dark. Several players on one tile nest, 4 pixels apart.
void DrawPlayerFrame(Surface2D& form, int left, int top, int inset, Rgb colour) {
  const int right = left + kIconSize - 1, bottom = top + kIconSize - 1;
  constexpr Rgb kDark{16, 12, 24}, kLight{245, 245, 245};
  const Rgb lines[4] = {kDark, colour, colour, kLight};
  for (int c = 0; c < 4; ++c)
    form.RectOutline(left + inset + c, top + inset + c, right - inset - c, bottom - inset - c,
                     lines[c]);
}

// A joined player's marker sits inside the chosen icon's lower half, 12 pixels per player, so
// every player's marker stays visible.
void DrawTankChoice(const Game& game, Surface2D& form, int p) {
  const int t = game.playerCharacter[p];
  const int left = kIconRowX + kIconSize * t;
  DrawPlayerFrame(form, left, kIconRowY, 4 * FramesBefore(game, p), kPlayerColours[p].outer);
  if (p >= 1 || game.menuRow == 0) DrawMarker(form, p, left + 2 + 12 * p, 278);
}

// The words' places, right of the two row labels and under the stage row.
constexpr SpriteRect kHelpPlace{282, 190, 352, 56};
constexpr SpriteRect kSeatsPlace{282, 303, 352, 58};
constexpr int kStageNameY = 465;
constexpr int kLineStep = 14;
constexpr Rgb kBackdrop{0, 0, 0};
constexpr Rgb kFormClear{255, 255, 255};  // the form's own background
constexpr Rgb kHelpColour{255, 255, 255};

void ClearPlace(Surface2D& form, SpriteRect place) {
  form.FillRect(place.x, place.y, place.x + place.width - 1, place.y + place.height - 1, kBackdrop);
}

void DrawHelp(Surface2D& form) {
  ClearPlace(form, kHelpPlace);
  constexpr std::string_view kLines[4] = {
      "JOIN / LEAVE: Ctrl, F, pad A",
      "CHOOSE: arrows, A D, pad stick",
      "Up / Down: tanks or stages",
      "START: Enter, pad Start   QUIT: Esc",
  };
  for (int i = 0; i < 4; ++i)
    DrawWords(form, kHelpPlace.x, kHelpPlace.y + kLineStep * i, kLines[i], kHelpColour,
              kSmallWords);
}

// What the seat's player joins with, for a seat nobody has joined.
constexpr std::string_view kJoinKey[kPlayers] = {"Ctrl", "F", "pad A", "pad A"};

// One line per seat: its number, its tank and what the tank's ability does, or how to join; and
// the seat's wins since the program started.
void DrawSeats(const Game& game, Surface2D& form) {
  ClearPlace(form, kSeatsPlace);
  for (int p = 0; p < kPlayers; ++p) {
    const int t = game.playerCharacter[p];
    const WordLine line =
        t == kNotJoined
            ? ComposeWords("P%d  %.*s joins", ShownNumber(p), static_cast<int>(kJoinKey[p].size()),
                           kJoinKey[p].data())
            : ComposeWords("P%d %.*s: %.*s", ShownNumber(p), static_cast<int>(TankName(t).size()),
                           TankName(t).data(), static_cast<int>(AbilityWords(t).size()),
                           AbilityWords(t).data());
    const int y = kSeatsPlace.y + kLineStep * p;
    DrawWords(form, kSeatsPlace.x, y, line.View(), kPlayerColours[p].outer, kSmallWords);
    const WordLine wins = ComposeWords("WINS %d", game.winsSinceStart[p]);
    DrawWords(form, kSeatsPlace.x + kSeatsPlace.width - 62, y, wins.View(), kPlayerColours[p].outer,
              kSmallWords);
  }
}

// The replays' line over the title's sky, right-aligned: that the last battle can be watched
// again, or F9's news.
constexpr int kReplayLineRight = 600, kReplayLineY = 14;

void DrawReplayLine(const Game& game, Surface2D& form) {
  if (game.replay == nullptr) return;
  const std::string_view line = game.replay->SelectionLine();
  if (line.empty()) return;
  DrawWords(form, kReplayLineRight - form.OutlinedWidth(line, kSmallWords), kReplayLineY, line,
            kHelpColour, kSmallWords);
}

// The stage's name on a dark tag under the chosen stage.
void DrawStageName(const Game& game, Surface2D& form) {
  form.FillRect(0, kStageNameY, kScreenWidth - 1, kScreenHeight - 1, kFormClear);
  const std::string_view name = StageName(game.stageIndex);
  const int centre = kStageRowX + kStagePictureSize * game.stageIndex + kStagePictureSize / 2;
  const int half = form.OutlinedWidth(name, kSmallWords) / 2 + 4;
  form.FillRect(centre - half, kStageNameY, centre + half, kScreenHeight - 1, kBackdrop);
  DrawCentredWords(form, centre, kStageNameY - 1, name, kHelpColour, kSmallWords);
}

}  // namespace

void DrawSelectionScreen(Game& game) {
  Surface2D& form = game.io.display->Form();
  DrawFixedPart(form);
  for (int p = 0; p < kPlayers; ++p) {
    if (p == 0) DrawStageChoice(game, form);
    if (game.playerCharacter[p] != kNotJoined) DrawTankChoice(game, form, p);
  }
  DrawHelp(form);
  DrawSeats(game, form);
  DrawStageName(game, form);
  DrawReplayLine(game, form);
}

}  // namespace bf
