#pragma once
// A display whose form and panels are real in-memory surfaces, drawing from pictures whose every
// pixel tells where it came from: red = x mod 256, green = y, blue = 40 + 80 * (x / 256) on the
// sprite sheet and 20 + 80 * (x / 256) on the title. A destination pixel thereby names its
// source pixel, whatever the game's artwork looks like.
#include <array>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "platform/pixels/pixel_surface.h"
#include "platform/surface.h"

namespace bf::test {

inline bool SameRgb(Rgb a, Rgb b) {
  return a.r == b.r && a.g == b.g && a.b == b.b;
}
inline std::string RgbText(Rgb c) {
  char text[32];
  std::snprintf(text, sizeof text, "(%d,%d,%d)", c.r, c.g, c.b);
  return text;
}
// A colour that differs is shown as its three numbers.
#define EXPECT_RGB(actual, expected) \
  EXPECT_EQ(::bf::test::RgbText(actual), ::bf::test::RgbText(expected))

inline Rgb SourceColour(int x, int y) {
  return Rgb{static_cast<std::uint8_t>(x % 256), static_cast<std::uint8_t>(y),
             static_cast<std::uint8_t>(40 + 80 * (x / 256))};
}
inline Rgb TitleColour(int x, int y) {
  return Rgb{static_cast<std::uint8_t>(x % 256), static_cast<std::uint8_t>(y),
             static_cast<std::uint8_t>(20 + 80 * (x / 256))};
}

class CoordinatePicture {
 public:
  CoordinatePicture(int width, int height, Rgb (*colourAt)(int, int))
      : rgb_(static_cast<std::size_t>(width) * height * 3) {
    for (int y = 0; y < height; ++y) {
      for (int x = 0; x < width; ++x) {
        const Rgb c = colourAt(x, y);
        std::uint8_t* p = &rgb_[(static_cast<std::size_t>(y) * width + x) * 3];
        p[0] = c.r;
        p[1] = c.g;
        p[2] = c.b;
      }
    }
    picture_ = EmbeddedPicture{width, height, rgb_.data()};
  }
  const EmbeddedPicture& picture() const { return picture_; }

 private:
  std::vector<std::uint8_t> rgb_;
  EmbeddedPicture picture_{};
};

class PixelDisplay final : public Display {
 public:
  PixelDisplay() : form(kScreenWidth, kScreenHeight, kWhite, kFormTextPixels) {
    form.UsePictures(title_.picture(), sheet_.picture());
    for (auto& panel : panels) {
      panel = std::make_unique<PixelSurface>(kPanelWidth, kPanelHeight, kWhite);
      panel->UsePictures(title_.picture(), sheet_.picture());
    }
  }
  Surface2D& Form() override { return form; }
  Surface2D& Panel(int player) override { return *panels[player]; }
  Surface2D& BattleOverlay() override { return overlay; }
  void ShowBattleArea(bool) override {}
  void Present() override {}
  bool ReadScreen(std::uint8_t*) override { return false; }

  static constexpr Rgb kWhite{255, 255, 255};

 private:
  CoordinatePicture title_{320, 120, TitleColour};
  CoordinatePicture sheet_{640, 150, SourceColour};

 public:
  PixelSurface form;
  PixelSurface overlay{kBattleOverlayWidth, kBattleOverlayHeight, kSeeThrough};
  std::array<std::unique_ptr<PixelSurface>, 4> panels;
};

}  // namespace bf::test
