// Where the 640 x 480 screen lands in a window, and the size of the game's own window.
#include "platform/gl/screen_fit.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "platform/pixels/screen_scaler.h"
#include "platform/surface.h"

namespace bf {
namespace {

TEST(ScreenFit, KeepsFourToThreeCentredWithTheWholeFactorBelowTheScale) {
  struct Case {
    int width, height;
    PixelRect shown;
    int factorX, factorY;
  };
  const Case cases[] = {
      {1920, 1080, {240, 0, 1440, 1080}, 2, 2},  // 2.25: two whole, the rest filtered
      {1280, 960, {0, 0, 1280, 960}, 2, 2},      // exactly twice
      {1024, 768, {0, 0, 1024, 768}, 1, 1},     {640, 480, {0, 0, 640, 480}, 1, 1},
      {800, 1000, {0, 200, 800, 600}, 1, 1},  // a tall window: bars above and below
      {320, 240, {0, 0, 320, 240}, 1, 1},     // smaller than the screen
      {3840, 2160, {480, 0, 2880, 2160}, 4, 4},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.width << " x " << c.height);
    const PixelRect shown = FitScreen(c.width, c.height);
    EXPECT_EQ(shown, c.shown);
    EXPECT_EQ(WholeFactorX(shown), c.factorX);
    EXPECT_EQ(WholeFactorY(shown), c.factorY);
  }
}

TEST(ScreenFit, TheWindowIsTheLargestWholeMultipleThatFitsCentredOnItsDisplay) {
  struct Case {
    PixelRect area;
    PixelRect window;
  };
  const Case cases[] = {
      {{0, 0, 1920, 1080}, {320, 60, 1280, 960}},
      {{0, 0, 1920, 1040}, {320, 40, 1280, 960}},      // a panel takes 40 rows
      {{1920, 0, 2560, 1440}, {2240, 0, 1920, 1440}},  // a second display, right of the first
      {{0, 0, 2560, 1600}, {320, 80, 1920, 1440}},
      {{0, 0, 1024, 768}, {192, 144, 640, 480}},
      {{0, 0, 600, 600}, {0, 75, 600, 450}},  // not even once: the largest 4:3
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.area.width << " x " << c.area.height);
    EXPECT_EQ(WindowForArea(c.area), c.window);
  }
}

}  // namespace
// The CPU's picture of the screen, as the window shows it on a software renderer.
class ScreenScalerTest : public testing::Test {
 protected:
  ScreenScalerTest() : screen_(static_cast<std::size_t>(kScreenWidth) * kScreenHeight) {
    // Neighbours differ in every channel, so any wrong pixel or weight shows.
    unsigned seed = 12345;
    for (std::uint16_t& p : screen_)
      p = static_cast<std::uint16_t>((seed = seed * 1103515245 + 12345) >> 9);
  }
  std::vector<std::uint32_t> Scale(const PixelRect& shown) {
    std::vector<std::uint32_t> out(static_cast<std::size_t>(shown.width) * shown.height);
    scaler_.Resize(shown.width, shown.height, WholeFactorX(shown), WholeFactorY(shown));
    scaler_.Scale(screen_.data(), kScreenWidth, out.data(), shown.width * 4);
    return out;
  }
  std::uint32_t ScreenPixel(int x, int y) const {
    return Rgb565ToPixel(screen_[static_cast<std::size_t>(y) * kScreenWidth + x]);
  }
  std::vector<std::uint16_t> screen_;
  ScreenScaler scaler_;
};

TEST_F(ScreenScalerTest, AWholeFactorRepeatsEachScreenPixelExactly) {
  const std::vector<std::uint32_t> out = Scale({0, 0, 1280, 960});
  for (int y = 0; y < 960; ++y)
    for (int x = 0; x < 1280; ++x)
      ASSERT_EQ(out[static_cast<std::size_t>(y) * 1280 + x], ScreenPixel(x / 2, y / 2))
          << x << ", " << y;
}

// The present shader's sampling worked out in doubles: slide onto the neighbour only across
// the last output pixel before it, then filter linearly between the two.
TEST_F(ScreenScalerTest, AFractionalScaleIsTheSharpBilinearPictureToTheRounding) {
  const PixelRect shown{0, 0, 1440, 1080};
  const std::vector<std::uint32_t> out = Scale(shown);
  struct Taps {
    int first, second;  // past the edges the edge pixel repeats, as the texture's clamp does
    double weight;
  };
  const auto taps = [](int o, int shownSize, int size) {
    const double texel = (o + 0.5) * size / shownSize, offset = texel - std::floor(texel) - 0.5;
    const double slide = (offset - std::clamp(offset, -0.25, 0.25)) * 2;
    const double position = std::floor(texel) + slide;
    const int first = static_cast<int>(std::floor(position));
    return Taps{std::clamp(first, 0, size - 1), std::clamp(first + 1, 0, size - 1),
                position - first};
  };
  int worst = 0, blended = 0;
  for (int y = 0; y < shown.height; ++y) {
    const Taps ty = taps(y, shown.height, kScreenHeight);
    for (int x = 0; x < shown.width; ++x) {
      const Taps tx = taps(x, shown.width, kScreenWidth);
      const std::uint32_t got = out[static_cast<std::size_t>(y) * shown.width + x];
      blended +=
          (tx.weight > 0 && tx.first != tx.second) || (ty.weight > 0 && ty.first != ty.second);
      for (int shift : {0, 8, 16}) {
        const auto channel = [&](int cx, int cy) { return (ScreenPixel(cx, cy) >> shift) & 255; };
        const double top = channel(tx.first, ty.first) * (1 - tx.weight) +
                           channel(tx.second, ty.first) * tx.weight;
        const double bottom = channel(tx.first, ty.second) * (1 - tx.weight) +
                              channel(tx.second, ty.second) * tx.weight;
        const double want = top * (1 - ty.weight) + bottom * ty.weight;
        worst = std::max(
            worst, static_cast<int>(std::ceil(std::abs(((got >> shift) & 255) - want) - 1e-9)));
      }
    }
  }
  // Weights in 256ths and a rounding after each axis: at most two levels of 255 apart.
  EXPECT_LE(worst, 2);
  EXPECT_GT(blended, shown.width * shown.height / 4);  // the fraction really is filtered
}

TEST_F(ScreenScalerTest, BottomUpRowsGiveTheSamePicture) {
  const std::vector<std::uint32_t> topDown = Scale({0, 0, 1440, 1080});
  std::vector<std::uint16_t> bottomUp(screen_.size());
  for (int y = 0; y < kScreenHeight; ++y)
    std::copy_n(&screen_[static_cast<std::size_t>(y) * kScreenWidth], kScreenWidth,
                &bottomUp[static_cast<std::size_t>(kScreenHeight - 1 - y) * kScreenWidth]);
  std::vector<std::uint32_t> out(topDown.size());
  scaler_.Scale(&bottomUp[static_cast<std::size_t>(kScreenHeight - 1) * kScreenWidth],
                -kScreenWidth, out.data(), 1440 * 4);
  EXPECT_EQ(out, topDown);
}

}  // namespace bf
