#include "sim/trace.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "support/test_game.h"
#include "support/trace_fields.h"

namespace bf {
namespace {

using test::FieldText;

TEST(Trace, DoublesReadBackExactly) {
  test::TestGame t;
  Game& g = *t.game;
  const double values[] = {0.1, -5000.0, 749.99999999999989, 1.0 / 3.0, -0.0, 12.5, 1e-300};
  for (double v : values) {
    g.tankX[0] = v;
    std::string line;
    AppendTraceLine(g, Screen::kBattle, 0, &line);
    const std::string tankX = FieldText(line, "tankX");
    ASSERT_FALSE(tankX.empty());
    const double back = std::strtod(tankX.c_str() + 1, nullptr);
    EXPECT_EQ(std::memcmp(&back, &v, sizeof v), 0) << tankX;
  }
}

// What the tests restore from a trace line is all a battle tick reads: written again, the line
// is the same.
TEST(Trace, ALineRestoresTheStateItWasWrittenFrom) {
  test::TestGame written, restored;
  Game& g = *written.game;
  g.random.Next();
  g.playerCharacter = {9, 3, 2, 2};
  g.tankX = {-750, -677.3049390867001, -5000, 0.1};
  g.abilityState[19] = -822;
  g.starDY[20] = -9;
  g.mineZ[10] = 419;
  g.prevZ = -516.9853589297452;
  g.winner = 2;
  std::string line, again;
  AppendTraceLine(g, Screen::kBattle, 7, &line);
  test::RestoreTracedState(*restored.game, line);
  AppendTraceLine(*restored.game, Screen::kBattle, 7, &again);
  EXPECT_EQ(again, line);
}

TEST(Trace, HasEveryFieldOfTheContract) {
  test::TestGame t;
  Game& g = *t.game;
  g.tickRecord.sounds[0] = 5;
  g.tickRecord.soundCount = 1;
  g.tickRecord.views[0] = {1, 143, 408, 276};
  g.tickRecord.viewCount = 1;
  std::string line;
  AppendTraceLine(g, Screen::kSelection, 42, &line);
  const char* fields[] = {
      "tick",       "screen",          "sounds",      "views",          "playerCharacter",
      "stageIndex", "menuRow",         "steerInput",  "throttleInput",  "fireState",
      "enterHeld",  "selectionActive", "runningFlag", "computerDriven", "tankX",
      "tankZ",      "tankHeading",     "tankSpeed",   "tankBob",        "playerLife",
      "maxLife",    "shells",          "maxShells",   "reloadTimer",    "maxSpeed",
      "shakeTimer", "abilityState",    "shotX",       "shotZ",          "shotDX",
      "shotDZ",     "starX",           "starY",       "starZ",          "starDX",
      "starDY",     "starDZ",          "wallX",       "wallZ",          "wallWidth",
      "wallDepth",  "moverX",          "itemX",       "itemZ",          "netX",
      "netZ",       "netTimer",        "mineX",       "mineZ",          "aiTurn",
      "aiDrive",    "aiSearch",        "burstCount",  "winner",         "zoomStep",
      "endCount",   "quietTicks",      "randomState", "prevX",          "prevZ"};
  for (const char* field : fields) {
    EXPECT_NE(line.find(std::string("\"") + field + "\":"), std::string::npos) << field;
  }
  EXPECT_EQ(FieldText(line, "tick"), "42");
  EXPECT_EQ(FieldText(line, "screen"), "\"selection\"");
  EXPECT_EQ(FieldText(line, "sounds"), "[5]");
  EXPECT_NE(line.find("\"views\":[[1,143,408,276]]"), std::string::npos);
  EXPECT_EQ(FieldText(line, "abilityState").size(), std::string("[").size() + 20 * 2 - 1 + 1);
}

}  // namespace
}  // namespace bf
