// Where the 640 x 480 screen lands in a window, and the size of the game's own window.
#include "platform/gl/screen_fit.h"

#include <gtest/gtest.h>

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
}  // namespace bf
