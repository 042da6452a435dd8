// The room's words over the screen: one place draws them all, in the game's outlined face, on a
// dark box so they read over any battle.
#include <array>
#include <cstdarg>
#include <cstdio>
#include <string_view>

#include "app/replay.h"
#include "app/room_controls.h"
#include "app/words.h"
#include "core/game.h"
#include "core/player_colours.h"

namespace bf {
namespace {

constexpr Rgb kBackdrop{28, 28, 44};
constexpr Rgb kWords{240, 240, 240};
constexpr Rgb kQuiet{170, 170, 180};
constexpr int kLineHeight = 24;
constexpr int kWordPixels = 16;
constexpr int kMargin = 6;
constexpr int kMostLines = 4;

struct NoticeLine {
  std::array<char, 64> chars{};
  Rgb colour = kWords;
  std::string_view View() const { return chars.data(); }
};

// The notice's lines, at most kMostLines; a fixed table, so drawing allocates nothing.
struct NoticeLines {
  std::array<NoticeLine, kMostLines> lines{};
  int count = 0;
  int width = 0;  // 0: as wide as the notice can be
  Rgb frame = kQuiet;

  // Checked as printf is: every format is a literal the compiler can see.
  __attribute__((format(printf, 3, 4))) void Add(Rgb colour, const char* format, ...) {
    if (count == kMostLines) return;
    NoticeLine& line = lines[count++];
    va_list args;
    va_start(args, format);
    std::vsnprintf(line.chars.data(), line.chars.size(), format, args);
    va_end(args);
    line.colour = colour;
  }
};

// A replay shows the pause it recorded, but not how to end it: the replay's own controls do.
void AddPauseLines(const RoomControls& room, bool watching, NoticeLines* notice) {
  notice->Add(kWords, "PAUSED");
  if (room.pausedBy == RoomControls::kNobody) {
    notice->Add(kQuiet, "from the keyboard");
  } else {
    // Whoever paused is named in the colour the panels and the selection screen give them.
    const Rgb colour = kPlayerColours[room.pausedBy].outer;
    const int shown = ShownNumber(room.pausedBy);
    notice->frame = colour;
    if (room.padLost) {
      notice->Add(colour,
                  room.padBack ? "Player %d: the pad is back" : "Player %d: the pad is unplugged",
                  shown);
    } else {
      notice->Add(colour, "by player %d", shown);
    }
  }
  if (watching) return;
  if (room.padLost && !room.padBack) {
    notice->Add(kWords, "Reconnect the pad or press Start to go on");
  } else {
    notice->Add(kWords, "P / Start: go on   Esc / hold Back: leave");
  }
}

void AddNoteLine(Game& game, NoticeLines* notice) {
  const RoomControls& room = game.room;
  if (room.note == RoomControls::Note::kNone || game.io.clock->Milliseconds() >= room.noteUntilMs) {
    return;
  }
  switch (room.note) {
    case RoomControls::Note::kVolume:
      if (room.muted) {
        notice->Add(kWords, "MUTE");
      } else {
        notice->Add(kWords, "VOLUME %d / %d", room.volumeStep, kVolumeSteps);
      }
      break;
    case RoomControls::Note::kScreenshot:
      notice->Add(kWords, "Screenshot saved in the pictures folder");
      break;
    case RoomControls::Note::kScreenshotFailed:
      notice->Add(kWords, "No screenshot: the pictures folder cannot be written");
      break;
    case RoomControls::Note::kNone:
      break;
  }
}

NoticeLines CollectNotice(Game& game) {
  NoticeLines notice;
  const std::string_view replay =
      game.replay != nullptr ? game.replay->NoticeLine() : std::string_view{};
  if (!replay.empty()) notice.Add(kWords, "%.*s", static_cast<int>(replay.size()), replay.data());
  const RoomControls& room = game.room;
  const bool watching = game.replay != nullptr && game.replay->playing();
  if (room.paused) AddPauseLines(room, watching, &notice);
  if (room.fast && !room.paused) notice.Add(kWords, "x4");
  AddNoteLine(game, &notice);
  return notice;
}

// A short tag of what the notice says, to draw it again only when that changes.
std::uint32_t NoticeTag(const Game& game, const NoticeLines& notice) {
  std::uint32_t tag = static_cast<std::uint32_t>(notice.count);
  for (int i = 0; i < notice.count; ++i) {
    for (char c : notice.lines[i].View()) tag = tag * 31u + static_cast<unsigned char>(c);
  }
  return tag * 7u + static_cast<std::uint32_t>(game.room.pausedBy + 1);
}

int NoticeWidth(Surface2D& surface, const NoticeLines& notice) {
  int widest = 0;
  for (int i = 0; i < notice.count; ++i) {
    const int width = surface.OutlinedWidth(notice.lines[i].View(), kWordPixels);
    if (width > widest) widest = width;
  }
  const int width = widest + 4 * kMargin;
  return width > kNoticeWidth || widest == 0 ? kNoticeWidth : width;
}

}  // namespace

void DrawNotice(Game& game) {
  Surface2D* surface = game.io.display->Notice();
  if (surface == nullptr) return;
  const NoticeLines notice = CollectNotice(game);
  const std::uint32_t tag = notice.count == 0 ? 0 : NoticeTag(game, notice);
  if (tag == game.room.noticeDrawn) return;
  game.room.noticeDrawn = tag;
  if (notice.count == 0) {
    game.io.display->ShowNotice(0, 0);
    return;
  }
  const int width = NoticeWidth(*surface, notice);
  const int height = notice.count * kLineHeight + 2 * kMargin;
  surface->FillRect(0, 0, width - 1, height - 1, kBackdrop);
  surface->RectOutline(0, 0, width - 1, height - 1, notice.frame);
  for (int i = 0; i < notice.count; ++i) {
    const NoticeLine& line = notice.lines[i];
    DrawCentredWords(*surface, width / 2, kMargin + i * kLineHeight + 2, line.View(), line.colour,
                     kWordPixels);
  }
  game.io.display->ShowNotice(width, height);
}

}  // namespace bf
