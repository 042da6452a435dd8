#include "platform/sdl/message_box.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>
#include <vector>

#include "platform/gl/video.h"
#include "platform/pixels/pixel_surface.h"

namespace bf {
namespace {

constexpr int kTitleHeight = 20;
constexpr int kMargin = 12;
constexpr int kIconSize = 32;
constexpr int kLineStep = 17;
constexpr int kMaxLines = 12;
constexpr int kMinTextWidth = 160;
constexpr int kMaxTextWidth = 480;
constexpr int kButtonWidth = 80;
constexpr int kButtonHeight = 24;
constexpr Uint32 kPollMs = 15;

constexpr Rgb kFace{212, 208, 200};
constexpr Rgb kEdge{64, 64, 64};
constexpr Rgb kTitleBar{0, 0, 128};
constexpr Rgb kWhite{255, 255, 255};
constexpr Rgb kBlack{0, 0, 0};
constexpr Rgb kStopRed{200, 0, 0};
constexpr Rgb kWarningYellow{250, 200, 0};

bool IsContinuationByte(char c) {
  return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// Splits one paragraph into lines no wider than `width`: at spaces where it can, inside a word
// (between two characters, never inside one) where a word alone is too wide.
void WrapParagraph(PixelSurface& surface, const std::string& paragraph, int width,
                   std::vector<std::string>* lines) {
  std::string line;
  std::size_t at = 0;
  while (at < paragraph.size()) {
    std::size_t end = paragraph.find(' ', at);
    if (end == std::string::npos) end = paragraph.size();
    const std::string word = paragraph.substr(at, end - at);
    at = end + 1;
    const std::string joined = line.empty() ? word : line + " " + word;
    if (surface.TextWidth(joined) <= width) {
      line = joined;
      continue;
    }
    if (!line.empty()) lines->push_back(line);
    line.clear();
    for (std::size_t i = 0; i < word.size();) {
      std::size_t next = i + 1;
      while (next < word.size() && IsContinuationByte(word[next])) ++next;
      const std::string longer = line + word.substr(i, next - i);
      if (!line.empty() && surface.TextWidth(longer) > width) {
        lines->push_back(line);
        line = word.substr(i, next - i);
      } else {
        line = longer;
      }
      i = next;
    }
  }
  lines->push_back(line);
}

std::vector<std::string> WrapText(PixelSurface& surface, const std::string& text, int width) {
  std::vector<std::string> lines;
  std::size_t at = 0;
  for (;;) {
    const std::size_t end = text.find('\n', at);
    WrapParagraph(surface, text.substr(at, end == std::string::npos ? end : end - at), width,
                  &lines);
    if (end == std::string::npos) break;
    at = end + 1;
  }
  if (lines.size() > kMaxLines) lines.resize(kMaxLines);
  return lines;
}

int WidestLine(PixelSurface& surface, const std::vector<std::string>& lines) {
  int widest = 0;
  for (const std::string& line : lines) widest = std::max(widest, surface.TextWidth(line));
  return widest;
}

void DrawCentredText(PixelSurface& surface, int centreX, int centreY, const char* text,
                     Rgb colour) {
  surface.PrintAt(centreX - surface.TextWidth(text) / 2, centreY - kLineStep / 2, text, colour);
}

// A red disc with a white cross for an error, a yellow triangle with a mark for a warning.
void DrawIcon(PixelSurface& surface, int x, int y, bool critical) {
  const int centreX = x + kIconSize / 2, centreY = y + kIconSize / 2;
  for (int row = 0; row < kIconSize; ++row) {
    int half = row / 2;
    if (critical) {
      const double dy = row + 0.5 - kIconSize / 2.0;
      half = static_cast<int>(std::sqrt(kIconSize * kIconSize / 4.0 - dy * dy));
    }
    surface.FillRect(centreX - half, y + row, centreX + half - 1, y + row,
                     critical ? kStopRed : kWarningYellow);
  }
  if (critical) {
    DrawCentredText(surface, centreX, centreY, "X", kWhite);
  } else {
    DrawCentredText(surface, centreX, centreY + 6, "!", kBlack);
  }
}

// The box as a picture of its own: a title bar, the icon, the text and the OK button.
struct Layout {
  std::unique_ptr<PixelSurface> surface;
  SDL_Rect button;  // in the box's pixels
};

// The game's face has no Japanese: a message in Japanese (the sound device's) is written with a
// face that has both scripts, so that the player can read it rather than a row of boxes.
const char* FontFor(const std::string& title, const std::string& text) {
  PixelSurface game(1, 1, kFace, kFormTextPixels);
  return game.CoversText(title + text) ? BF_FONT_PATH : BF_WIDE_FONT_PATH;
}

Layout DrawBox(const std::string& title, const std::string& text, bool critical) {
  const char* font = FontFor(title, text);
  PixelSurface measure(1, 1, kFace, kFormTextPixels);
  measure.UseFont(font);
  const std::vector<std::string> lines = WrapText(measure, text, kMaxTextWidth);
  const int textWidth = std::max(
      {kMinTextWidth, WidestLine(measure, lines), measure.TextWidth(title) - kIconSize - kMargin});
  const int textHeight = std::max(kIconSize, static_cast<int>(lines.size()) * kLineStep);
  const int width = kMargin + kIconSize + kMargin + textWidth + kMargin;
  const int height = kTitleHeight + kMargin + textHeight + kMargin + kButtonHeight + kMargin;

  Layout box{std::make_unique<PixelSurface>(width, height, kFace, kFormTextPixels), {}};
  PixelSurface& s = *box.surface;
  s.UseFont(font);
  s.RectOutline(0, 0, width - 1, height - 1, kEdge);
  s.FillRect(1, 1, width - 2, kTitleHeight, kTitleBar);
  s.PrintAt(6, 3, title, kWhite);
  const int top = kTitleHeight + kMargin;
  DrawIcon(s, kMargin, top, critical);
  const int textX = kMargin + kIconSize + kMargin;
  for (std::size_t i = 0; i < lines.size(); ++i)
    s.PrintAt(textX, top + static_cast<int>(i) * kLineStep, lines[i], kBlack);
  box.button = {(width - kButtonWidth) / 2, height - kMargin - kButtonHeight, kButtonWidth,
                kButtonHeight};
  const SDL_Rect& b = box.button;
  s.RectOutline(b.x, b.y, b.x + b.w - 1, b.y + b.h - 1, kBlack);
  s.RectOutline(b.x + 1, b.y + 1, b.x + b.w - 2, b.y + b.h - 2, kEdge);
  DrawCentredText(s, b.x + b.w / 2, b.y + b.h / 2, "OK", kBlack);
  return box;
}

// The button where the window shows it: the box sits in the middle of the screen, and the
// display knows where the screen lies in the window.
SDL_Rect ButtonInWindow(const Video& video, const Layout& box) {
  const int boxX = (kScreenWidth - box.surface->width()) / 2;
  const int boxY = (kScreenHeight - box.surface->height()) / 2;
  const PixelRect button =
      video.ScreenToWindow({boxX + box.button.x, boxY + box.button.y, box.button.w, box.button.h});
  return {button.x, button.y, button.width, button.height};
}

bool IsAnswerKey(SDL_Keycode key) {
  return key == SDLK_RETURN || key == SDLK_KP_ENTER || key == SDLK_SPACE || key == SDLK_ESCAPE;
}

}  // namespace

bool MessageBoxInput::Answered() {
  SDL_PumpEvents();
  // Window changes, keys, text, the mouse, and joystick and controller motion and buttons.
  constexpr Uint32 kRanges[][2] = {{SDL_WINDOWEVENT, SDL_SYSWMEVENT},
                                   {SDL_KEYDOWN, SDL_MOUSEWHEEL},
                                   {SDL_JOYAXISMOTION, SDL_JOYBUTTONUP},
                                   {SDL_CONTROLLERAXISMOTION, SDL_CONTROLLERBUTTONUP},
                                   {SDL_FINGERDOWN, SDL_MULTIGESTURE}};
  SDL_Event event;
  for (const auto& range : kRanges) {
    while (SDL_PeepEvents(&event, 1, SDL_GETEVENT, range[0], range[1]) > 0) Handle(event);
  }
  // The close is the game's to handle: it stays in the queue.
  return answered_ || SDL_PeepEvents(nullptr, 0, SDL_PEEKEVENT, SDL_QUIT, SDL_QUIT) > 0;
}

bool MessageBoxInput::TakeExposed() {
  const bool exposed = exposed_;
  exposed_ = false;
  return exposed;
}

void MessageBoxInput::Handle(const SDL_Event& event) {
  switch (event.type) {
    case SDL_WINDOWEVENT:
      exposed_ = true;
      break;
    case SDL_KEYDOWN:
      if (!event.key.repeat && IsAnswerKey(event.key.keysym.sym)) heldKey_ = event.key.keysym.sym;
      break;
    case SDL_KEYUP:
      if (event.key.keysym.sym == heldKey_) answered_ = true;
      break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: {
      if (event.button.button != SDL_BUTTON_LEFT) break;
      const SDL_Point at{event.button.x, event.button.y};
      const bool onButton = SDL_PointInRect(&at, &button_);
      if (event.type == SDL_MOUSEBUTTONDOWN) {
        buttonHeld_ = onButton;
      } else {
        answered_ = answered_ || (buttonHeld_ && onButton);
        buttonHeld_ = false;
      }
      break;
    }
    default:
      break;
  }
}

void WindowMessages::ShowMessage(const std::string& title, const std::string& text, bool critical) {
  std::fprintf(stderr, "%s: %s\n", title.c_str(), text.c_str());
  if (video_ != nullptr) RunMessageBox(*video_, title, text, critical);
}

bool RunMessageBox(Video& video, const std::string& title, const std::string& text, bool critical) {
  SDL_Window* window = video.window();
  if (window == nullptr || (SDL_GetWindowFlags(window) & SDL_WINDOW_HIDDEN) != 0) return false;
  Layout box = DrawBox(title, text, critical);
  if (box.surface->TextWidth("OK") == 0) return false;  // no font: the box would be blank

  const int cursor = SDL_ShowCursor(SDL_QUERY);
  SDL_ShowCursor(SDL_ENABLE);
  video.SetOverlay(box.surface.get());
  video.display().Present();
  MessageBoxInput input(ButtonInWindow(video, box));
  while (!input.Answered()) {
    if (input.TakeExposed()) {  // uncovered or resized: shown again, the button moved
      video.display().Invalidate();
      input.MoveButton(ButtonInWindow(video, box));
    }
    video.display().Present();
    SDL_Delay(kPollMs);
  }
  video.SetOverlay(nullptr);
  video.display().Invalidate();
  video.display().Present();
  SDL_ShowCursor(cursor);
  return true;
}

}  // namespace bf
