#include "platform/pixels/pixel_surface.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "support/pixel_display.h"

namespace bf {
namespace {

constexpr Rgb kWhite{255, 255, 255};
constexpr Rgb kBlack{0, 0, 0};
constexpr Rgb kBlue{0, 0, 255};

bool Same(Rgb a, Rgb b) {
  return a.r == b.r && a.g == b.g && a.b == b.b;
}

// The columns of row y that hold `colour`, as [first, last]; {-1, -1} when none.
std::pair<int, int> ColumnsOf(const PixelSurface& s, int y, Rgb colour) {
  int first = -1, last = -1;
  for (int x = 0; x < s.width(); ++x) {
    if (!Same(s.PixelAt(x, y), colour)) continue;
    if (first < 0) first = x;
    last = x;
  }
  return {first, last};
}

// The box around every pixel darker than mid grey.
struct Ink {
  int left = 1 << 20, top = 1 << 20, right = -1, bottom = -1;
};
Ink InkOf(const PixelSurface& s) {
  Ink ink;
  for (int y = 0; y < s.height(); ++y) {
    for (int x = 0; x < s.width(); ++x) {
      if (s.PixelAt(x, y).r >= 128) continue;
      ink.left = std::min(ink.left, x);
      ink.right = std::max(ink.right, x);
      ink.top = std::min(ink.top, y);
      ink.bottom = std::max(ink.bottom, y);
    }
  }
  return ink;
}

class PixelSurfaceTest : public ::testing::Test {
 protected:
  PixelSurfaceTest() : surface(kPanelWidth, kPanelHeight, kWhite) {
    surface.UsePictures(title.picture(), sheet.picture());
  }
  test::CoordinatePicture title{320, 120, test::TitleColour};
  test::CoordinatePicture sheet{640, 150, test::SourceColour};
  PixelSurface surface;
};

TEST_F(PixelSurfaceTest, ClearPaintsTheBackgroundAndMarksTheSurfaceChanged) {
  surface.FillRect(0, 0, 309, 20, kBlue);
  ASSERT_TRUE(surface.TakeDirty());
  EXPECT_FALSE(surface.TakeDirty());
  surface.Clear();
  EXPECT_TRUE(surface.TakeDirty());
  for (int y = 0; y < kPanelHeight; ++y)
    EXPECT_EQ(ColumnsOf(surface, y, kWhite), std::make_pair(0, 309));
}

TEST_F(PixelSurfaceTest, SameSizeCopyTakesTheSourceRectangleExactly) {
  surface.StretchCopy(PictureId::kSpriteSheet, 620, 0, 10, 20, 3, 1, 10, 20);
  for (int j = 0; j < 20; ++j) {
    for (int i = 0; i < 10; ++i) {
      ASSERT_TRUE(Same(surface.PixelAt(3 + i, 1 + j), test::SourceColour(620 + i, j)))
          << i << "," << j;
    }
  }
  EXPECT_TRUE(Same(surface.PixelAt(2, 1), kWhite));
  EXPECT_TRUE(Same(surface.PixelAt(13, 1), kWhite));
}

// Each destination pixel takes the source pixel under its centre, in both directions of scale.
TEST_F(PixelSurfaceTest, StretchSamplesTheSourceUnderEachPixelCentre) {
  struct Case {
    int sourceSize, destSize, destIndex, sourceIndex;
  };
  const Case cases[] = {
      {50, 20, 0, 1},   {50, 20, 1, 3},   {50, 20, 19, 48},  // shrink: tank icon to 20 px
      {130, 255, 0, 0}, {130, 255, 1, 0}, {130, 255, 2, 1}, {130, 255, 254, 129},
  };
  for (const Case& c : cases) {
    PixelSurface big(300, 300, kWhite);
    big.UsePictures(title.picture(), sheet.picture());
    big.StretchCopy(PictureId::kSpriteSheet, 0, 0, c.sourceSize, 20, 0, 0, c.destSize, 20);
    EXPECT_TRUE(Same(big.PixelAt(c.destIndex, 0), test::SourceColour(c.sourceIndex, 0)))
        << c.sourceSize << "->" << c.destSize << " at " << c.destIndex;
  }
}

TEST_F(PixelSurfaceTest, TitleAndSheetAreDifferentPictures) {
  surface.StretchCopy(PictureId::kTitle, 0, 0, 320, 120, 0, 0, 310, 21);
  EXPECT_TRUE(Same(surface.PixelAt(309, 20), test::TitleColour(319, 117)));
  surface.StretchCopy(PictureId::kSpriteSheet, 0, 0, 320, 120, 0, 0, 310, 21);
  EXPECT_TRUE(Same(surface.PixelAt(309, 20), test::SourceColour(319, 117)));
  PixelSurface blankPictures(20, 20, kWhite);  // the pictures stored with the game
  blankPictures.StretchCopy(PictureId::kTitle, 0, 0, 10, 10, 0, 0, 10, 10);
  EXPECT_FALSE(Same(blankPictures.PixelAt(0, 0), kWhite)) << "the copy must write every pixel";
}

TEST_F(PixelSurfaceTest, CopiesAreClippedToTheSurfaceAndToThePicture) {
  surface.StretchCopy(PictureId::kSpriteSheet, 0, 0, 50, 50, -25, -25, 50, 50);
  EXPECT_TRUE(Same(surface.PixelAt(0, 0), test::SourceColour(25, 25)));
  EXPECT_TRUE(Same(surface.PixelAt(24, 20), test::SourceColour(49, 45)));
  EXPECT_TRUE(Same(surface.PixelAt(25, 0), kWhite));
  // Off the right edge of the sheet: nothing is read from beyond it.
  surface.StretchCopy(PictureId::kSpriteSheet, 635, 0, 10, 10, 100, 0, 10, 10);
  EXPECT_TRUE(Same(surface.PixelAt(104, 0), test::SourceColour(639, 0)));
  EXPECT_TRUE(Same(surface.PixelAt(105, 0), kWhite));
  surface.TakeDirty();
  surface.StretchCopy(PictureId::kSpriteSheet, 0, 0, 50, 50, 400, 0, 50, 50);  // wholly outside
  surface.StretchCopy(PictureId::kSpriteSheet, 0, 0, 50, 50, 0, -60, 50, 50);
  EXPECT_FALSE(surface.TakeDirty());
  surface.StretchCopy(PictureId::kSpriteSheet, 0, 0, 50, 50, 300, 10, 50, 50);
  EXPECT_TRUE(Same(surface.PixelAt(309, 20), test::SourceColour(9, 10)));
}

TEST_F(PixelSurfaceTest, OutlineIncludesBothCornersAndLeavesTheInside) {
  surface.RectOutline(10, 5, 20, 9, kBlue);
  EXPECT_EQ(ColumnsOf(surface, 5, kBlue), std::make_pair(10, 20));
  EXPECT_EQ(ColumnsOf(surface, 9, kBlue), std::make_pair(10, 20));
  for (int y = 6; y <= 8; ++y) {
    EXPECT_TRUE(Same(surface.PixelAt(10, y), kBlue));
    EXPECT_TRUE(Same(surface.PixelAt(20, y), kBlue));
    EXPECT_TRUE(Same(surface.PixelAt(15, y), kWhite));
  }
  EXPECT_EQ(ColumnsOf(surface, 4, kBlue), std::make_pair(-1, -1));
  EXPECT_EQ(ColumnsOf(surface, 10, kBlue), std::make_pair(-1, -1));
  // Partly outside: the visible edges are drawn, nothing else.
  surface.RectOutline(300, 18, 400, 40, kBlack);
  EXPECT_EQ(ColumnsOf(surface, 18, kBlack), std::make_pair(300, 309));
  EXPECT_TRUE(Same(surface.PixelAt(300, 20), kBlack));
  EXPECT_TRUE(Same(surface.PixelAt(305, 20), kWhite));
}

// The bars hand over unrounded right edges: 0 keeps the one column at x0, a full value reaches
// x0 + width, and edges in between go to the nearest column.
TEST_F(PixelSurfaceTest, FilledRectangleRoundsFractionalEdgesToTheNearestColumn) {
  struct Case {
    double x1, x2;
    int first, last;
  };
  const double inf = std::numeric_limits<double>::infinity();
  const Case cases[] = {
      {115, 115.0 + 85.0 * 0 / 4, 115, 115},
      {35, 35.0 + 65.0 * 90 / 90, 35, 100},
      {115, 115.0 + 85.0 * 1 / 4, 115, 136},
      {35, 67.5, 35, 68},
      {35, 67.49, 35, 67},
      {35, 67.51, 35, 68},
      {35, inf, 35, 309},
      {-inf, 3, 0, 3},
      {40, 30, 30, 40},
  };
  for (const Case& c : cases) {
    PixelSurface s(kPanelWidth, kPanelHeight, kWhite);
    s.FillRect(c.x1, 12, c.x2, 16, kBlue);
    for (int y = 12; y <= 16; ++y) {
      EXPECT_EQ(ColumnsOf(s, y, kBlue), std::make_pair(c.first, c.last)) << c.x1 << ".." << c.x2;
    }
    EXPECT_EQ(ColumnsOf(s, 11, kBlue), std::make_pair(-1, -1));
    EXPECT_EQ(ColumnsOf(s, 17, kBlue), std::make_pair(-1, -1));
  }
}

TEST_F(PixelSurfaceTest, UndefinedEdgeDrawsNothing) {
  surface.TakeDirty();
  surface.FillRect(35, 12, std::nan(""), 16, kBlue);
  for (int y = 0; y < kPanelHeight; ++y)
    EXPECT_EQ(ColumnsOf(surface, y, kBlue), std::make_pair(-1, -1));
}

TEST_F(PixelSurfaceTest, TextPositionPlotsABlackPoint) {
  surface.SetTextPosition(120, 2);
  EXPECT_TRUE(Same(surface.PixelAt(120, 2), kBlack));
  EXPECT_TRUE(Same(surface.PixelAt(121, 2), kWhite));
  EXPECT_TRUE(Same(surface.PixelAt(120, 3), kWhite));
}

// A long shell line fits between x 120 and the panel's edge, below its text position; capitals
// and digits stay clear of the bars that start at row 12.
TEST_F(PixelSurfaceTest, PanelTextSitsRightOfAndBelowTheTextPositionAboveTheBars) {
  struct Case {
    const char* text;
    int minRight;
  };
  for (const Case c : {Case{"WEAPON:-10/ 10", 120 + 60}, Case{"LIFEWEAPON:-190 190", 120 + 60}}) {
    PixelSurface s(kPanelWidth, kPanelHeight, kWhite);
    s.SetTextPosition(120, 2);
    s.Print(c.text);
    s.FillRect(120, 2, 120, 2, kWhite);  // the point itself is not ink
    const Ink ink = InkOf(s);
    EXPECT_GE(ink.left, 120) << c.text;
    EXPECT_LE(ink.left, 123) << c.text;
    EXPECT_LE(ink.right, 309) << c.text;
    EXPECT_GE(ink.right, c.minRight) << "too small to read: " << c.text;
    EXPECT_GE(ink.top, 3) << c.text;
    EXPECT_GE(ink.bottom - ink.top, 6) << "capitals too short: " << c.text;
  }
  PixelSurface s(kPanelWidth, kPanelHeight, kWhite);
  s.SetTextPosition(40, 2);
  s.Print("LIFE:-90 WEAPON0123456789");
  EXPECT_LE(InkOf(s).bottom, 11);
}

TEST_F(PixelSurfaceTest, TextIsAntialiasedBlackAndRepeatsExactly) {
  surface.SetTextPosition(40, 2);
  surface.Print("LIFE: 90");
  int grey = 0, black = 0;
  for (int y = 0; y < kPanelHeight; ++y) {
    for (int x = 41; x < kPanelWidth; ++x) {
      const Rgb c = surface.PixelAt(x, y);
      EXPECT_TRUE(c.r == c.g && c.g == c.b) << "text must be black on white";
      if (c.r == 0) ++black;
      if (c.r > 0 && c.r < 255) ++grey;
    }
  }
  EXPECT_GT(black, 20);
  EXPECT_GT(grey, 10);
  PixelSurface again(kPanelWidth, kPanelHeight, kWhite);
  again.SetTextPosition(40, 2);
  again.Print("LIFE: 90");
  surface.Print("LIFE: 80");  // a different line in between, then the first one once more
  surface.Clear();
  surface.SetTextPosition(40, 2);
  surface.Print("LIFE: 90");
  for (int y = 0; y < kPanelHeight; ++y) {
    for (int x = 0; x < kPanelWidth; ++x) {
      ASSERT_TRUE(Same(surface.PixelAt(x, y), again.PixelAt(x, y))) << x << "," << y;
    }
  }
}

TEST(PixelSurfaceForm, LoadingTextIsLargerThanPanelText) {
  PixelSurface form(kScreenWidth, kScreenHeight, kWhite, kFormTextPixels);
  PixelSurface panel(kPanelWidth, kPanelHeight, kWhite);
  for (Surface2D* s : {static_cast<Surface2D*>(&form), static_cast<Surface2D*>(&panel)}) {
    s->SetTextPosition(0, 0);
    s->Print("NOW");
  }
  form.FillRect(0, 0, 0, 0, kWhite);
  panel.FillRect(0, 0, 0, 0, kWhite);
  const Ink big = InkOf(form), small = InkOf(panel);
  EXPECT_GT(big.bottom - big.top, small.bottom - small.top);
  EXPECT_GT(big.right - big.left, small.right - small.left);
}

}  // namespace
}  // namespace bf
