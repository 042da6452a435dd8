#pragma once
// A 2D surface kept in memory as RGB bytes; the display composes these into the screen.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/pixels/pictures.h"
#include "platform/surface.h"

struct _TTF_Font;  // SDL_ttf's font, kept out of this header

namespace bf {

// Text sizes in pixels. DejaVu Sans at 10 px has the capital height of an 8.25 pt Gothic UI face
// at 11 px and keeps the panel lines clear of the bars below them; the form's text is larger.
constexpr int kPanelTextPixels = 10;
constexpr int kFormTextPixels = 13;

class PixelSurface : public Surface2D {
 public:
  PixelSurface(int width, int height, Rgb background, int textPixels = kPanelTextPixels);
  ~PixelSurface() override;
  PixelSurface(const PixelSurface&) = delete;
  PixelSurface& operator=(const PixelSurface&) = delete;

  void Clear() override;
  void StretchCopy(PictureId picture, int sx, int sy, int sw, int sh, int dx, int dy, int dw,
                   int dh) override;
  void SetTextPosition(int x, int y) override;
  void Print(std::string_view text) override;
  void RectOutline(int x1, int y1, int x2, int y2, Rgb colour) override;
  void FillRect(double x1, double y1, double x2, double y2, Rgb colour) override;
  void PrintOutlined(int x, int y, std::string_view text, int pixels, Rgb colour) override;
  int OutlinedWidth(std::string_view text, int pixels) override;

  int width() const { return width_; }
  int height() const { return height_; }
  // RGB bytes, rows top to bottom.
  const std::uint8_t* pixels() const { return pixels_.data(); }
  // True when the pixels changed since the last call (the display then uploads them again).
  bool TakeDirty() {
    bool dirty = dirty_;
    dirty_ = false;
    return dirty;
  }
  Rgb PixelAt(int x, int y) const;
  // Text outside the form's rules (the message box's): drawn in `colour` with its top-left
  // corner at (x, y), leaving the text position and its point alone.
  void PrintAt(int x, int y, std::string_view text, Rgb colour) override;
  // The width in pixels that the text takes when printed; 0 without a font.
  int TextWidth(std::string_view text) override;
  // Whether the surface's face has a glyph for every character of the UTF-8 text.
  bool CoversText(std::string_view text);
  // Prints with the face in `path` instead of the game's own; before the first print only.
  void UseFont(const char* path) { fontPath_ = path; }
  // The pictures StretchCopy reads: those stored with the game, unless others are handed in
  // (tests draw with pictures whose every pixel tells where it came from).
  void UsePictures(const EmbeddedPicture& title, const EmbeddedPicture& spriteSheet) {
    title_ = &title;
    spriteSheet_ = &spriteSheet;
  }

 private:
  // One printed line kept as coverage (0..255 per pixel), so a panel that prints the same text
  // again draws it without rendering or allocating.
  struct TextImage {
    std::string text;
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> coverage;
  };
  static constexpr int kTextCacheSize = 8;
  // The bold face, opened once for each size asked for.
  struct BoldFace {
    int pixels = 0;
    _TTF_Font* font = nullptr;
  };
  static constexpr int kBoldSizes = 4;

  void Plot(int x, int y, Rgb colour);
  void FillPixels(int x1, int y1, int x2, int y2, Rgb colour);
  bool OpenFont();
  const TextImage* FindOrRenderText(std::string_view text);
  void BlendText(const TextImage& image, int x, int y, Rgb colour);
  _TTF_Font* BoldFont(int pixels);
  static bool RenderCoverage(_TTF_Font* font, const std::string& line, TextImage& entry);

  int width_;
  int height_;
  Rgb background_;
  std::vector<std::uint8_t> pixels_;
  std::vector<int> sourceColumns_;  // scratch for StretchCopy, one entry per surface column
  int textX_ = 0;
  int textY_ = 0;
  bool dirty_ = true;
  const EmbeddedPicture* title_;
  const EmbeddedPicture* spriteSheet_;

  int textPixels_;
  const char* fontPath_;
  _TTF_Font* font_ = nullptr;  // opened on the first Print and kept
  bool fontFailed_ = false;
  std::array<TextImage, kTextCacheSize> textCache_;
  int nextCacheEntry_ = 0;
  std::array<BoldFace, kBoldSizes> boldFaces_;
  TextImage outlined_;  // scratch for PrintOutlined: the outline, then the letters
};

}  // namespace bf
