#pragma once
// A 2D surface kept in memory as RGB bytes; the display composes these into the screen.
#include <cstdint>
#include <vector>

#include "platform/surface.h"

namespace bf {

class PixelSurface : public Surface2D {
 public:
  PixelSurface(int width, int height, Rgb background);
  ~PixelSurface() override;

  void Clear() override;
  void StretchCopy(PictureId picture, int sx, int sy, int sw, int sh, int dx, int dy, int dw,
                   int dh) override;
  void SetTextPosition(int x, int y) override;
  void Print(std::string_view text) override;
  void RectOutline(int x1, int y1, int x2, int y2, Rgb colour) override;
  void FillRect(double x1, double y1, double x2, double y2, Rgb colour) override;

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

 private:
  void Plot(int x, int y, Rgb colour);

  int width_;
  int height_;
  Rgb background_;
  std::vector<std::uint8_t> pixels_;
  int textX_ = 0;
  int textY_ = 0;
  bool dirty_ = true;
};

}  // namespace bf
