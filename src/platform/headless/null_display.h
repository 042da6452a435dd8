#pragma once
// A display without pixels: every 2D call does nothing.
#include "platform/surface.h"

namespace bf {

class NullSurface final : public Surface2D {
 public:
  void Clear() override {}
  void StretchCopy(PictureId, int, int, int, int, int, int, int, int) override {}
  void SetTextPosition(int, int) override {}
  void Print(std::string_view) override {}
  void RectOutline(int, int, int, int, Rgb) override {}
  void FillRect(double, double, double, double, Rgb) override {}
};

class NullDisplay final : public Display {
 public:
  Surface2D& Form() override { return form_; }
  Surface2D& Panel(int player) override { return panels_[player]; }
  Surface2D& BattleOverlay() override { return overlay_; }
  void ShowBattleArea(bool) override {}
  void Present() override {}
  bool ReadScreen(std::uint8_t*) override { return false; }

 private:
  NullSurface form_;
  NullSurface panels_[4];
  NullSurface overlay_;
};

}  // namespace bf
