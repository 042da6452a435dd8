#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "app/app_local.h"
#include "app/status_panels.h"
#include "audio/sound.h"
#include "core/game.h"
#include "support/golden_image.h"
#include "support/pixel_display.h"
#include "support/test_game.h"

namespace bf {
namespace {

constexpr Rgb kWhite{255, 255, 255};
constexpr Rgb kRed{255, 0, 0}, kRed2{220, 0, 0}, kRed3{190, 0, 0};
constexpr Rgb kBlue{0, 0, 255}, kBlue2{150, 150, 255}, kBlue3{200, 200, 255};

TEST(PanelText, NumbersKeepASignPosition) {
  struct Case {
    std::string text, expected;
  };
  const Case cases[] = {
      {std::string(LifeText(90).View()), "LIFE: 90"},
      {std::string(LifeText(0).View()), "LIFE: 0"},
      {std::string(LifeText(-5).View()), "LIFE:-5"},
      {std::string(LifeText(-2147483647 - 1).View()), "LIFE:-2147483648"},
      {std::string(WeaponText(5, 5).View()), "WEAPON: 5/ 5"},
      {std::string(WeaponText(0, 4).View()), "WEAPON: 0/ 4"},
      {std::string(WeaponText(12, 12).View()), "WEAPON: 12/ 12"},
      {std::string(WeaponText(-1, 3).View()), "WEAPON:-1/ 3"},
  };
  for (const Case& c : cases) EXPECT_EQ(c.text, c.expected);
}

// A battle in progress on a display with real panels: four tanks, 31 shots on the field.
struct Battle {
  Battle() : g(*t.game) {
    t.platform.display = &display;
    LoadSoundEffects(g);
    g.winner = -1;
    g.playerCharacter = {0, 3, 7, 10};
    g.playerLife = {90, 90, 90, 90};
    g.maxLife = {90, 90, 90, 90};
    g.shells = {5, 5, 5, 5};
    g.maxShells = {5, 5, 5, 5};
    for (int k = 0; k < kShotSlots; ++k) {
      g.shotFrame[k] = t.scene.CreateFrame(kNoFrame);
      g.shotX[k] = 100 + k;
    }
  }
  Rgb At(int p, int x, int y) const { return display.panels[p]->PixelAt(x, y); }
  std::vector<int> Sounds() const { return t.Sounds(); }
  // The columns of a bar row with each colour, as "first..last" runs from left to right.
  std::string Runs(int p, int y, int from, int to) const {
    std::string runs;
    int start = from;
    for (int x = from + 1; x <= to + 1; ++x) {
      if (x <= to && test::SameRgb(At(p, x, y), At(p, start, y))) continue;
      if (!runs.empty()) runs += " ";
      runs += test::RgbText(At(p, start, y)) + std::to_string(start) + ".." + std::to_string(x - 1);
      start = x;
    }
    return runs;
  }
  bool AllShotsCleared() const {
    for (int k = 0; k < kShotSlots; ++k) {
      const test::FrameRecord& frame = t.scene.frames[g.shotFrame[k]];
      if (g.shotX[k] != kFreeSlot || frame.positionCalls != 1 ||
          frame.position != std::array<float, 3>{-5000, 0, 0} ||
          frame.positionReference != kNoFrame) {
        return false;
      }
    }
    return true;
  }
  bool NoShotMoved() const {
    for (int k = 0; k < kShotSlots; ++k) {
      if (g.shotX[k] != 100 + k || t.scene.frames[g.shotFrame[k]].positionCalls != 0) return false;
    }
    return true;
  }

  test::TestGame t;
  Game& g;
  test::PixelDisplay display;
};

class Panels : public ::testing::Test, public Battle {};

// Three bands per bar, outer first: background in red shades, then the value in blue shades.
TEST_F(Panels, BarsShowTheValueInBlueOverTheRedBackground) {
  g.playerLife[1] = 90;
  g.shells[1] = 0;
  g.maxShells[1] = 4;
  g.playerLife[2] = 45;
  g.shells[2] = 1;
  g.maxShells[2] = 4;
  DrawStatusPanels(g);
  auto run = [](Rgb c, int a, int b) {
    return test::RgbText(c) + std::to_string(a) + ".." + std::to_string(b);
  };
  const Rgb shades[][2] = {{kBlue, kRed}, {kBlue2, kRed2}, {kBlue3, kRed3}};
  const int rows[] = {12, 13, 14, 15, 16};
  const int band[] = {0, 1, 2, 1, 0};
  for (int i = 0; i < 5; ++i) {
    SCOPED_TRACE(rows[i]);
    const Rgb value = shades[band[i]][0], background = shades[band[i]][1];
    EXPECT_EQ(Runs(1, rows[i], 35, 100), run(value, 35, 100)) << "life 90 of 90: full";
    EXPECT_EQ(Runs(1, rows[i], 115, 200), run(value, 115, 115) + " " + run(background, 116, 200))
        << "0 of 4 shells: one blue column";
    EXPECT_EQ(Runs(2, rows[i], 35, 100), run(value, 35, 68) + " " + run(background, 69, 100))
        << "45 of 90: edge at 67.5";
    EXPECT_EQ(Runs(2, rows[i], 115, 200), run(value, 115, 136) + " " + run(background, 137, 200))
        << "1 of 4: edge at 136.25";
  }
  for (int x : {36, 100, 116, 200}) {  // row 11 holds text further right
    EXPECT_RGB(At(1, x, 11), kWhite);
    EXPECT_RGB(At(1, x, 17), kWhite);
  }
  EXPECT_RGB(At(1, 34, 14), kWhite);
  EXPECT_RGB(At(1, 101, 14), kWhite);
  EXPECT_RGB(At(1, 114, 14), kWhite);
  EXPECT_RGB(At(1, 201, 14), kWhite);
}

TEST_F(Panels, MarkerAndSmallTankIconComeFromTheSpriteSheet) {
  DrawStatusPanels(g);
  for (int p = 0; p < kPlayers; ++p) {
    SCOPED_TRACE(p);
    const int tank = g.playerCharacter[p];
    EXPECT_RGB(At(p, 0, 0), test::SourceColour(600 + 10 * p, 0));
    EXPECT_RGB(At(p, 9, 19), test::SourceColour(609 + 10 * p, 19));
    EXPECT_RGB(At(p, 10, 0), test::SourceColour(50 * tank + 1, 1));  // 50 x 50 scaled to 20 x 20
    EXPECT_RGB(At(p, 29, 19), test::SourceColour(50 * tank + 48, 48));
    EXPECT_RGB(At(p, 30, 10), kWhite);
    EXPECT_RGB(At(p, 5, 20), kWhite);
  }
}

TEST_F(Panels, TextsSitAtTheirPositionsInBlack) {
  DrawStatusPanels(g);
  for (int p = 0; p < kPlayers; ++p) {
    EXPECT_RGB(At(p, 40, 2), (Rgb{0, 0, 0}));
    EXPECT_RGB(At(p, 120, 2), (Rgb{0, 0, 0}));
    int lifeInk = 0, shellInk = 0;
    for (int y = 3; y < 12; ++y) {
      for (int x = 40; x < 115; ++x) lifeInk += At(p, x, y).r < 128;
      for (int x = 120; x < 310; ++x) shellInk += At(p, x, y).r < 128;
    }
    EXPECT_GT(lifeInk, 30);
    EXPECT_GT(shellInk, 40);
  }
}

TEST_F(Panels, EachCallRedrawsThePanelWhole) {
  DrawStatusPanels(g);
  g.playerLife[0] = 0;
  g.shells[0] = 0;
  DrawStatusPanels(g);
  EXPECT_EQ(Runs(0, 12, 35, 100),
            test::RgbText(kBlue) + "35..35 " + test::RgbText(kRed) + "36..100");
  EXPECT_EQ(Runs(0, 14, 115, 200),
            test::RgbText(kBlue3) + "115..115 " + test::RgbText(kRed3) + "116..200");
}

TEST_F(Panels, NegativeLifeIsStoredAndShownAsZero) {
  g.playerLife = {-15, 90, 90, 90};
  DrawStatusPanels(g);
  EXPECT_EQ(g.playerLife[0], 0);
  EXPECT_EQ(Runs(0, 12, 35, 100),
            test::RgbText(kBlue) + "35..35 " + test::RgbText(kRed) + "36..100");
  // The text reads "LIFE: 0", like a panel drawn with 0 from the start.
  PixelSurface expected(kPanelWidth, kPanelHeight, kWhite);
  expected.SetTextPosition(40, 2);
  expected.Print("LIFE: 0");
  for (int y = 0; y < 12; ++y) {
    for (int x = 40; x < 110; ++x)
      ASSERT_EQ(test::RgbText(At(0, x, y)), test::RgbText(expected.PixelAt(x, y)));
  }
}

// The survivor is named once three lives are 0; the tests run in player order, so with all four
// at 0 every test succeeds and the last one wins.
TEST_F(Panels, WinnerDecision) {
  struct Case {
    std::array<std::int32_t, 4> life;
    std::int32_t winner;
    int wins;
  };
  const Case cases[] = {
      {{90, 0, 0, 0}, 0, 1},     {{0, 5, 0, 0}, 1, 1},      {{0, 0, 1, 0}, 2, 1},
      {{0, 0, 0, 90}, 3, 1},     {{0, 0, 0, 0}, 3, 4},      {{0, 0, 5, 5}, -1, 0},
      {{90, 90, 90, 90}, -1, 0}, {{-3, -1, -200, 7}, 3, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.life));
    Battle fresh;
    fresh.g.playerLife = c.life;
    DrawStatusPanels(fresh.g);
    EXPECT_EQ(fresh.g.winner, c.winner);
    EXPECT_EQ(fresh.Sounds(), std::vector<int>(c.wins, kSoundWin));
    EXPECT_EQ(fresh.AllShotsCleared(), c.winner >= 0);
    EXPECT_EQ(fresh.NoShotMoved(), c.winner < 0);
  }
}

TEST_F(Panels, NoSecondDecisionOnceAWinnerIsSet) {
  g.playerLife = {0, 0, 30, 0};
  DrawStatusPanels(g);
  ASSERT_EQ(g.winner, 2);
  for (int k = 0; k < kShotSlots; ++k) g.shotX[k] = 7;
  g.tickRecord.soundCount = 0;
  g.playerLife = {0, 0, 0, 0};
  DrawStatusPanels(g);
  EXPECT_EQ(g.winner, 2);
  EXPECT_EQ(Sounds(), std::vector<int>{});
  EXPECT_EQ(g.shotX[0], 7) << "shots are cleared only by the decision itself";
  EXPECT_EQ(t.scene.frames[g.shotFrame[0]].positionCalls, 1);
  EXPECT_EQ(Runs(2, 12, 35, 100),
            test::RgbText(kBlue) + "35..35 " + test::RgbText(kRed) + "36..100")
      << "the panels are still redrawn";
}

TEST_F(Panels, MatchesTheGoldenPicture) {
  g.playerLife[1] = 45;
  g.shells[1] = 2;
  g.maxShells[1] = 4;
  DrawStatusPanels(g);
  EXPECT_TRUE(test::MatchesGolden(*display.panels[1], "panel", {64, 0.5}));
}

}  // namespace
}  // namespace bf
