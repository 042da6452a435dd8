// Building a battle, the views and the winner's growth, and a whole battle from entry to end.
#include "battle/battle.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <string>
#include <vector>

#include "audio/sound.h"
#include "battle/battle_local.h"
#include "core/player_colours.h"
#include "core/random.h"
#include "support/pixel_display.h"
#include "support/recording_messages.h"
#include "support/test_game.h"
#include "support/trace_fields.h"

namespace bf {
namespace {

// Remembers every show and hide of the battle area.
class BattleAreaDisplay final : public Display {
 public:
  Surface2D& Form() override { return inner.Form(); }
  Surface2D& Panel(int player) override { return inner.Panel(player); }
  Surface2D& BattleOverlay() override { return inner.BattleOverlay(); }
  void ShowBattleArea(bool visible) override { shown.push_back(visible); }
  void Present() override {}
  bool ReadScreen(std::uint8_t*) override { return false; }
  NullDisplay inner;
  std::vector<bool> shown;
};

// Counts the processed ticks and presses Escape after the last one wanted.
class EscapeAfter final : public TickObserver {
 public:
  EscapeAfter(test::TestGame& t, int ticks) : t_(t), ticks_(ticks) {}
  void OnTickDone(Game&, Screen screen) override {
    screens.push_back(screen);
    if (static_cast<int>(screens.size()) == ticks_) {
      t_.events.queued.push_back([](InputSink& sink) { sink.OnKeyDown(vk::kEscape, 0); });
    }
  }
  std::vector<Screen> screens;

 private:
  test::TestGame& t_;
  int ticks_;
};

class BattleTest : public ::testing::Test {
 protected:
  BattleTest() {
    t.platform.display = &display;
    t.platform.messages = &messages;
    t.platform.assetDir = "/assets";
    g.playerCharacter = {0, -1, -1, -1};
    g.stageIndex = 1;
  }
  const test::FrameRecord& Frame(FrameId id) { return t.Frame(id); }
  const test::MeshRecord& MeshOf(FrameId id) { return t.scene.meshes.at(Frame(id).visuals.at(0)); }
  std::array<float, 3> Parked(float y) { return {-5000, y, 0}; }

  test::TestGame t;
  Game& g = *t.game;
  BattleAreaDisplay display;
  testing::RecordingMessages messages;
};

struct TypeRow {
  int type;
  const char* tankMesh;
  const char* extraMesh;
  int maxLife, maxShells, maxSpeed;
};

TEST_F(BattleTest, EachTankTypeGetsItsMeshStatisticsAndExtraObject) {
  const TypeRow rows[] = {
      {0, "bear.x", "rocket.x", 90, 4, 18},   {1, "fox.x", nullptr, 70, 4, 20},
      {2, "skunk.x", "gass.x", 60, 5, 22},    {3, "pigtank.x", "shield.x", 150, 2, 10},
      {4, "momotank.x", nullptr, 60, 5, 25},  {5, "fish.x", "water.x", 60, 4, 18},
      {6, "mousetank.x", nullptr, 50, 4, 18}, {7, "spidertank.x", nullptr, 70, 4, 19},
      {8, "pyon2.x", "pyon.x", 50, 5, 25},    {9, "wood.x", nullptr, 120, 3, 10},
      {10, "cattank.x", nullptr, 80, 5, 20},
  };
  for (const TypeRow& row : rows) {
    SCOPED_TRACE(row.type);
    g.playerCharacter = {row.type, row.type, row.type, row.type};
    BuildBattleScene(g);
    for (int p = 0; p < kPlayers; ++p) {
      EXPECT_EQ(g.maxLife[p], row.maxLife);
      EXPECT_EQ(g.playerLife[p], row.maxLife);
      EXPECT_EQ(g.maxShells[p], row.maxShells);
      EXPECT_EQ(g.shells[p], row.maxShells);
      EXPECT_EQ(g.maxSpeed[p], row.maxSpeed);
      EXPECT_EQ(MeshOf(g.tankFrame[p]).path, std::string("/assets/model/") + row.tankMesh);
      const std::array<FrameId, 5> extras{g.rocketFrame[p], g.gasFrame[p], g.shieldFrame[p],
                                          g.waterFrame[p], g.pyonFrame[p]};
      int created = 0;
      for (FrameId extra : extras) {
        if (extra == kNoFrame) continue;
        ++created;
        ASSERT_NE(row.extraMesh, nullptr);
        EXPECT_EQ(MeshOf(extra).path, std::string("/assets/model/") + row.extraMesh);
        EXPECT_EQ(Frame(extra).position, Parked(0));
        const float scale = row.type == 5 ? 2.0f : 1.0f;
        EXPECT_EQ(MeshOf(extra).scale, (std::array<float, 3>{scale, scale, scale}));
      }
      EXPECT_EQ(created, row.extraMesh == nullptr ? 0 : 1);
      // Only the cat carries a second tank, parked until its decoy needs it.
      if (row.type == 10) {
        ASSERT_NE(g.tankFrame[p + 4], kNoFrame);
        EXPECT_EQ(MeshOf(g.tankFrame[p + 4]).path, "/assets/model/cattank.x");
        EXPECT_EQ(Frame(g.tankFrame[p + 4]).position, Parked(0));
      } else {
        EXPECT_EQ(g.tankFrame[p + 4], kNoFrame);
      }
    }
  }
}

TEST_F(BattleTest, TanksStartAtTheCornersWithInputsClearedAndStatesKept) {
  g.steerInput = {1, -1, 1, -1};
  g.throttleInput = {1, 1, -1, -1};
  g.fireState = {-1, 2, 1, -1};
  g.tankSpeed = {9, 9, 9, 9};
  g.reloadTimer = {3, 3, 3, 3};
  g.tankBob = {1, 1, 1, 1};
  g.shakeTimer = {4, 0, 0, 0};
  for (int i = 0; i < kAbilityEntries; ++i) g.abilityState[i] = 7;
  BuildBattleScene(g);
  const double x[] = {-750, 750, -750, 750}, z[] = {-750, -750, 750, 750};
  const int heading[] = {235, 315, 135, 45};
  for (int p = 0; p < kPlayers; ++p) {
    EXPECT_EQ(g.tankX[p], x[p]);
    EXPECT_EQ(g.tankZ[p], z[p]);
    EXPECT_EQ(g.tankHeading[p], heading[p]);
    EXPECT_EQ(g.steerInput[p], 0);
    EXPECT_EQ(g.throttleInput[p], 0);
    EXPECT_EQ(g.fireState[p], 0);
    EXPECT_EQ(g.tankSpeed[p], 0);
    EXPECT_EQ(g.tankBob[p], 0);
    EXPECT_EQ(g.reloadTimer[p], 0);
    EXPECT_EQ(g.abilityState[p], 0);
  }
  // The running ability's values and a shake left from the last battle carry over.
  for (int i = kPlayers; i < kAbilityEntries; ++i) EXPECT_EQ(g.abilityState[i], 7);
  EXPECT_EQ(g.shakeTimer[0], 4);
}

TEST_F(BattleTest, FreeSlotsGetRandomTypesAndComputerDrivers) {
  g.playerCharacter = {3, -1, 9, -1};
  g.computerDriven = {0, 0, 0, 0};
  g.aiSearch = {5, 5, 5, 5};
  g.aiDrive = {7, 7, 7, 7};
  Random replay;
  const int type1 = static_cast<int>(replay.Next() * 11);
  const int type3 = static_cast<int>(replay.Next() * 11);
  BuildBattleScene(g);
  EXPECT_EQ(g.playerCharacter, (std::array<std::int32_t, 4>{3, type1, 9, type3}));
  EXPECT_EQ(g.computerDriven, (std::array<std::int32_t, 4>{0, 1, 0, 1}));
  EXPECT_EQ(g.aiSearch, (std::array<std::int32_t, 4>{5, 1, 5, 1}));
  EXPECT_EQ(g.aiDrive, (std::array<std::int32_t, 4>{7, 0, 7, 0}));
  EXPECT_EQ(g.random.state(), replay.state());  // no other draw
}

TEST_F(BattleTest, PoolsStartFreeAndParked) {
  g.shotX[4] = 12;
  g.starX[6] = 3;
  g.netX[2] = 1;
  g.mineX[1] = 1;
  g.itemX[0] = 5;
  BuildBattleScene(g);
  for (int s = 0; s < kShotSlots; ++s) {
    EXPECT_EQ(g.shotX[s], -5000);
    EXPECT_EQ(Frame(g.shotFrame[s]).position, Parked(30));
    EXPECT_EQ(MeshOf(g.shotFrame[s]).path, "/assets/model/shot.x");
  }
  for (int k = 0; k < kStarSlots; ++k) {
    EXPECT_EQ(g.starX[k], -5000);
    EXPECT_EQ(Frame(g.starFrame[k]).position, Parked(50));
    EXPECT_EQ(MeshOf(g.starFrame[k]).path, "/assets/model/star.x");
    EXPECT_EQ(t.scene.textures.at(MeshOf(g.starFrame[k]).texture), "/assets/star.bmp");
  }
  // Every net shows the one shared mesh; shots, mines and stars each have their own.
  for (int n = 0; n < kNetSlots; ++n) {
    EXPECT_EQ(g.netX[n], -5000);
    EXPECT_EQ(Frame(g.netFrame[n]).position, Parked(0));
    EXPECT_EQ(Frame(g.netFrame[n]).visuals, Frame(g.netFrame[0]).visuals);
  }
  EXPECT_EQ(t.scene.textures.at(g.netTexture), "/assets/net.bmp");
  EXPECT_NE(Frame(g.shotFrame[0]).visuals, Frame(g.shotFrame[1]).visuals);
  for (int m = 0; m < kMineSlots; ++m) {
    EXPECT_EQ(g.mineX[m], -5000);
    EXPECT_EQ(Frame(g.mineFrame[m]).position, Parked(0));
  }
  EXPECT_EQ(g.itemX, (std::array<std::int32_t, 2>{-5000, -5000}));
  EXPECT_EQ(MeshOf(g.itemFrame[0]).path, "/assets/model/item.x");
  EXPECT_EQ(MeshOf(g.itemFrame[1]).path, "/assets/model/item2.x");
}

TEST_F(BattleTest, WallsAreResetBetweenBattlesBeforeTheStageFillsItsOwn) {
  g.stageIndex = 2;
  BuildBattleScene(g);
  EXPECT_EQ(g.wallX[3], -470);
  EXPECT_EQ(g.wallZ[3], 80);
  EXPECT_EQ(g.wallWidth[4], 940);
  EXPECT_EQ(g.wallDepth[5], 390);
  EXPECT_EQ(g.wallX[6], -5000);

  g.stageIndex = 3;
  BuildBattleScene(g);
  EXPECT_EQ(g.wallX[1], 200);
  EXPECT_EQ(g.wallZ[1], -650);
  EXPECT_EQ(g.wallWidth[3], 450);
  // Entries 4 and 5 of the ring stage are gone.
  for (int w = 4; w < kWallSlots; ++w) {
    EXPECT_EQ(g.wallX[w], -5000);
    EXPECT_EQ(g.wallWidth[w], 0);
    EXPECT_EQ(g.wallDepth[w], 0);
  }

  g.stageIndex = 0;
  BuildBattleScene(g);
  for (int w = 0; w < kWallSlots; ++w) EXPECT_EQ(g.wallX[w], -5000);
}

struct StageRow {
  int stage;
  const char* mesh;
  std::array<float, 3> point, ambient, lightPosition;
};

TEST_F(BattleTest, EachStageHasItsMeshLightsAndSky) {
  const StageRow rows[] = {
      {0, "stage1.x", {1, 1, 1}, {0.3f, 0.3f, 0.3f}, {100, 800, 200}},
      {1, "stage2.x", {1, 1, 1}, {0.3f, 0.3f, 0.3f}, {0, 400, 0}},
      {2, "stage3.x", {1, 1, 1}, {0.3f, 0.3f, 0.3f}, {0, 800, 0}},
      {3, "stage4.x", {10, 5, 5}, {0.75f, 0.5f, 0.5f}, {0, -500, 0}},
      {4, "stage5.x", {2, 2, 2}, {0.3f, 0.3f, 0.3f}, {0, 800, 0}},
  };
  for (const StageRow& row : rows) {
    SCOPED_TRACE(row.stage);
    g.stageIndex = row.stage;
    BuildBattleScene(g);
    EXPECT_EQ(MeshOf(g.stageFrame).path, std::string("/assets/model/") + row.mesh);
    EXPECT_EQ(MeshOf(g.stageFrame).scale, (std::array<float, 3>{7, 7, 7}));
    EXPECT_EQ(Frame(g.stageFrame).position, (std::array<float, 3>{0, 2, 0}));
    ASSERT_EQ(t.scene.lights.size(), 2u);
    const auto& point = t.scene.lights[0];
    const auto& ambient = t.scene.lights[1];
    EXPECT_EQ(point.type, LightType::kPoint);
    EXPECT_EQ(point.frame, g.lightFrame);
    EXPECT_EQ((std::array<float, 3>{point.r, point.g, point.b}), row.point);
    EXPECT_EQ(ambient.type, LightType::kAmbient);
    EXPECT_EQ((std::array<float, 3>{ambient.r, ambient.g, ambient.b}), row.ambient);
    EXPECT_EQ(Frame(g.lightFrame).position, row.lightPosition);
    EXPECT_EQ(t.scene.background, (std::array<float, 3>{0.6f, 0.5f, 1.0f}));
    EXPECT_EQ(t.scene.back, 3000);
    EXPECT_EQ(g.meshBuilder, kNoMesh);
    EXPECT_EQ(Frame(g.cameraFrame).parent, g.sceneFrame);
    EXPECT_EQ(Frame(g.sceneFrame).parent, kNoFrame);
  }
}

TEST_F(BattleTest, MoversAreBuiltOnlyOnStageIndexFour) {
  auto moverLoads = [this] {
    int count = 0;
    for (const std::string& path : t.scene.loads) count += path == "/assets/model/v.x";
    return count;
  };
  for (int stage : {0, 1, 2, 3}) {
    g.stageIndex = stage;
    BuildBattleScene(g);
  }
  EXPECT_EQ(moverLoads(), 0);
  g.stageIndex = 4;
  BuildBattleScene(g);
  EXPECT_EQ(moverLoads(), 1);
  EXPECT_EQ(g.moverX, (std::array<std::int32_t, 4>{1090, -1090, 1090, -1090}));
  for (int m = 0; m < kMovers; ++m) {
    EXPECT_EQ(Frame(g.moverFrame[m]).visuals, Frame(g.moverFrame[0]).visuals);
    EXPECT_EQ(MeshOf(g.moverFrame[m]).scale, (std::array<float, 3>{7, 7, 7}));
  }
}

TEST_F(BattleTest, EveryBattleStartsFromAFreshSceneAndShowsTheBattleArea) {
  BuildBattleScene(g);
  BuildBattleScene(g);
  EXPECT_EQ(t.scene.newScenes, 2);
  EXPECT_EQ(display.shown, (std::vector<bool>{true, true}));
}

struct ViewCase {
  int winner, zoomStep, player;
  std::array<int, 4> rect;
};

TEST_F(BattleTest, ViewRectanglesFollowTheWinnersGrowth) {
  const ViewCase cases[] = {
      {-1, 0, 0, {1, 1, 308, 208}},    {-1, 0, 1, {311, 1, 308, 208}},
      {-1, 0, 2, {1, 211, 308, 208}},  {-1, 0, 3, {311, 211, 308, 208}},
      {2, 100, 2, {1, 143, 408, 276}}, {2, 100, 1, {411, 1, 208, 140}},
      {2, 100, 0, {1, 1, 208, 140}},   {2, 100, 3, {411, 279, 208, 140}},
      {1, 100, 1, {211, 1, 408, 276}}, {3, 303, 3, {8, 6, 611, 413}},
      {3, 303, 0, {1, 1, 5, 3}},       {0, 1, 0, {1, 1, 309, 209}},
      {0, 1, 3, {312, 212, 307, 207}},
  };
  for (const ViewCase& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.winner << " " << c.zoomStep << " " << c.player);
    g.winner = c.winner;
    g.zoomStep = c.zoomStep;
    EXPECT_EQ(PlayerViewRect(g, c.player), c.rect);
  }
}

// Whatever the last battle picture left around the grown view is painted over: only the view
// itself shows through, framed and named in the winner's colour.
TEST_F(BattleTest, TheWinnersOverlayBlacksOutAllButTheGrowingView) {
  test::PixelDisplay pixels;
  t.platform.display = &pixels;
  g.playerCharacter = {0, 1, 2, 3};
  g.winner = 3;
  g.zoomStep = 303;  // fully grown: {8, 6, 611, 413}
  DrawViewTags(g);
  DrawWinnerOverlay(g);
  const PixelSurface& overlay = pixels.overlay;
  const Rgb black{0, 0, 0};
  for (const auto& [x, y] : {std::pair{0, 0}, {7, 200}, {300, 5}, {619, 419}, {4, 3}})
    EXPECT_RGB(overlay.PixelAt(x, y), black) << x << "," << y;
  EXPECT_RGB(overlay.PixelAt(8, 6), kPlayerColours[3].outer);
  EXPECT_RGB(overlay.PixelAt(100, 380), kSeeThrough);
  int winnerColoured = 0;
  for (int y = 30; y < 200; ++y)
    for (int x = 100; x < 520; ++x)
      winnerColoured += test::SameRgb(overlay.PixelAt(x, y), kPlayerColours[3].outer);
  EXPECT_GT(winnerColoured, 50) << "no winner's words in the view's upper part";
}

// At four times the speed a burst draws only its last tick, so the step where the growth stops
// may go undrawn: the grown view must still get its whole overlay, not a smaller box's.
TEST_F(BattleTest, AFastBurstOverTheEndOfTheGrowthStillLeavesTheWholeViewOpen) {
  test::PixelDisplay pixels;
  t.platform.display = &pixels;
  g.playerCharacter = {0, 1, 2, 3};
  BuildBattleScene(g);
  g.winner = 3;
  g.runningFlag = -1;
  for (int step = 1; step <= 323; ++step) {
    g.room.drawViews = step < 296 || step > 319;  // the last growing steps are never drawn
    g.tickRecord.viewCount = 0;
    RenderPlayerView(g, step % 4);
  }
  ASSERT_EQ(g.zoomStep, 303);
  EXPECT_RGB(pixels.overlay.PixelAt(8, 200), kPlayerColours[3].outer);
  EXPECT_RGB(pixels.overlay.PixelAt(12, 200), kSeeThrough);
  EXPECT_RGB(pixels.overlay.PixelAt(500, 9), kSeeThrough);
}

TEST_F(BattleTest, AViewIsDrawnThroughTheCameraAndRecordedForTheTrace) {
  BuildBattleScene(g);
  g.winner = -1;
  t.scene.viewports.clear();
  for (int p = 0; p < kPlayers; ++p) RenderPlayerView(g, p);
  ASSERT_EQ(t.scene.viewports.size(), 4u);
  EXPECT_EQ(t.scene.viewports[2], (std::array<int, 5>{g.cameraFrame, 1, 211, 308, 208}));
  EXPECT_EQ(t.scene.clears, 4);
  EXPECT_EQ(t.scene.updates, 4);
  EXPECT_EQ(t.scene.renderedRoots, std::vector<FrameId>(4, g.sceneFrame));
  ASSERT_EQ(g.tickRecord.viewCount, 4);
  EXPECT_EQ(g.tickRecord.views[3], (std::array<int, 4>{311, 211, 308, 208}));
  // The trace keeps what fits and never writes past its table.
  for (int i = 0; i < 10; ++i) RenderPlayerView(g, 0);
  EXPECT_EQ(g.tickRecord.viewCount, TickRecord::kMaxViews);
}

TEST_F(BattleTest, TheWinnersViewGrowsThenTheBattleEndsOnThe802ndViewStep) {
  BuildBattleScene(g);
  g.winner = 1;
  g.zoomStep = 0;
  g.endCount = 0;
  g.runningFlag = -1;
  for (int step = 1; step <= 801; ++step) {
    g.tickRecord.viewCount = 0;
    RenderPlayerView(g, step % 4);
    if (step == 302) {
      EXPECT_EQ(g.endCount, 0);
    }
    if (step == 303) {
      EXPECT_EQ(g.zoomStep, 303);
      EXPECT_EQ(g.endCount, 1);
    }
  }
  EXPECT_EQ(g.endCount, 499);
  EXPECT_EQ(g.runningFlag, -1);
  RenderPlayerView(g, 2);
  EXPECT_EQ(g.zoomStep, 303);
  EXPECT_EQ(g.endCount, 500);
  EXPECT_EQ(g.runningFlag, 0);
}

TEST_F(BattleTest, ACloakedFoxIsMissingFromEveryOtherView) {
  g.playerCharacter = {1, 1, 0, 0};
  BuildBattleScene(g);
  g.winner = -1;
  g.abilityState[0] = 3;  // player 0's cloak runs; player 1's does not
  g.abilityState[2] = 3;  // a running ability of another type hides nothing
  const int before0 = Frame(g.tankFrame[0]).positionCalls;
  RenderPlayerView(g, 0);
  EXPECT_EQ(Frame(g.tankFrame[0]).positionCalls, before0);
  RenderPlayerView(g, 3);
  EXPECT_EQ(Frame(g.tankFrame[0]).position, Parked(0));
  EXPECT_EQ(Frame(g.tankFrame[1]).positionCalls, 0);
  EXPECT_EQ(Frame(g.tankFrame[2]).positionCalls, 0);
}

TEST_F(BattleTest, ABattleRunsItsTicksAndHandsTheComputerSlotsBack) {
  g.playerCharacter = {4, -1, 7, -1};
  // Left over from a battle ended by Escape during the winner's growth.
  g.winner = 2;
  g.zoomStep = 150;
  g.endCount = 7;
  EscapeAfter escape(t, 5);
  g.observer = &escape;
  RunBattle(g);
  EXPECT_EQ(escape.screens, std::vector<Screen>(5, Screen::kBattle));
  EXPECT_EQ(g.winner, -1);
  EXPECT_EQ(g.zoomStep, 0);
  EXPECT_EQ(g.endCount, 0);
  EXPECT_EQ(g.tickRecord.views[1], (std::array<int, 4>{311, 1, 308, 208}));
  EXPECT_EQ(t.scene.viewports.size(), 1u + 5 * 4);  // the first viewport, then four per tick
  EXPECT_EQ(display.shown, (std::vector<bool>{true, false}));
  EXPECT_EQ(g.playerCharacter, (std::array<std::int32_t, 4>{4, -1, 7, -1}));
  EXPECT_EQ(g.computerDriven, (std::array<std::int32_t, 4>{0, 0, 0, 0}));
  EXPECT_FALSE(g.assetFailure);
}

TEST_F(BattleTest, AfterACloseNothingMoreIsTouched) {
  EscapeAfter counter(t, 0);
  g.observer = &counter;
  t.events.queued.push_back([](InputSink& sink) { sink.OnClose(); });
  RunBattle(g);
  EXPECT_TRUE(g.closeRequested);
  EXPECT_TRUE(counter.screens.empty());
  EXPECT_EQ(display.shown, (std::vector<bool>{true}));  // still shown: no end steps ran
  EXPECT_EQ(g.computerDriven[1], 1);
  EXPECT_NE(g.playerCharacter[1], -1);
}

TEST_F(BattleTest, AMissingModelIsShownOnceAndEndsTheBattleWithoutATick) {
  t.scene.loadError = "cannot read /assets/model/bear.x";
  EscapeAfter counter(t, 100);
  g.observer = &counter;
  RunBattle(g);
  EXPECT_TRUE(g.assetFailure);
  EXPECT_TRUE(counter.screens.empty());
  const std::vector<testing::ShownMessage> expected = {
      {"Burrowfield", "cannot read /assets/model/bear.x", true}};
  EXPECT_EQ(messages.shown, expected);
}

// A battle that stalled for good in a long run of computer battles (battle 1241 of the script
// in the data file's first line): on stage index 4 two computer pigs drive forward at 10 against
// the drift of -10 at the field's left edge, firing along the wall at nothing, and the other two
// tanks are out. The state is the run's own trace line from inside the stall.
class StalemateTest : public BattleTest {
 protected:
  StalemateTest() {
    LoadSoundEffects(g);  // voices for every effect, so the win is recorded
    std::ifstream data(std::string(BF_TEST_DATA_DIR) + "/stalled_pigs.jsonl");
    std::string line;
    while (std::getline(data, line) && line.rfind("{", 0) != 0) {
    }
    EXPECT_FALSE(line.empty());
    test::ReadField(line, "playerCharacter", &g.playerCharacter);
    test::ReadField(line, "stageIndex", &g.stageIndex);
    BuildBattleScene(g);
    test::RestoreTracedState(g, line);
    StartQuietCount(g);
  }
  // Runs battle ticks until a winner is named or `limit` ticks have run; returns the count.
  int RunUntilWinner(int limit) {
    int ticks = 0;
    while (g.winner == kNoWinner && ticks < limit) {
      RunBattleTick(g);
      ++ticks;
    }
    return ticks;
  }
};

TEST_F(StalemateTest, AMinuteWithoutALifeChangingBringsSuddenDeathUntilAWinnerIsNamed) {
  const std::array<std::int32_t, 4> lives = g.playerLife;
  // The stall is real: the computer tanks keep every life for the whole minute.
  for (int tick = 0; tick < 3000; ++tick) RunBattleTick(g);
  EXPECT_EQ(g.playerLife, lives);
  EXPECT_EQ(g.quietTicks, 3000);
  // Then every tank in play loses a life every 10 ticks, the first 10 ticks later.
  for (int tick = 0; tick < 9; ++tick) RunBattleTick(g);
  EXPECT_EQ(g.playerLife, lives);
  RunBattleTick(g);
  for (int p = 0; p < kPlayers; ++p) EXPECT_EQ(g.playerLife[p], std::max(lives[p] - 1, 0)) << p;
  EXPECT_EQ(g.quietTicks, 3010);
  // It ends at the latest when the most life left is used up, one every 10 ticks.
  const int most = 10 * *std::max_element(lives.begin(), lives.end());
  EXPECT_LT(RunUntilWinner(most), most);
  ASSERT_NE(g.winner, kNoWinner);
  // The count stands still once the winner is named, and nothing more is taken.
  const std::int32_t quiet = g.quietTicks;
  const std::array<std::int32_t, 4> livesAtTheEnd = g.playerLife;
  for (int tick = 0; tick < 50; ++tick) RunBattleTick(g);
  EXPECT_EQ(g.quietTicks, quiet);
  EXPECT_EQ(g.playerLife, livesAtTheEnd);
}

TEST_F(StalemateTest, TanksThatReachZeroTogetherAreDecidedByTheUsualRule) {
  g.quietTicks = 3009;
  for (std::int32_t& life : g.playerLife) life = life > 0 ? 1 : 0;
  g.quietLives = g.playerLife;
  const std::size_t soundsBefore = t.Sounds().size();
  StepSuddenDeath(g);
  EXPECT_EQ(g.playerLife, (std::array<std::int32_t, 4>{0, 0, 0, 0}));
  EXPECT_EQ(g.winner, 3);  // every player's test succeeds: the last one is named
  const std::vector<int> sounds = t.Sounds();
  EXPECT_EQ(std::count(sounds.begin() + static_cast<long>(soundsBefore), sounds.end(), kSoundWin),
            4);
}

TEST_F(StalemateTest, APersonInPlayOrALifeChangingKeepsTheCountAtZero) {
  // Nobody joined this battle: it is counted like one whose people are out.
  ASSERT_EQ(g.computerDriven, (std::array<std::int32_t, 4>{1, 1, 1, 1}));
  StepSuddenDeath(g);
  EXPECT_EQ(g.quietTicks, 1);
  // A person in play: never counted, however quiet the battle.
  g.computerDriven[0] = 0;
  g.playerLife[0] = 20;
  for (int tick = 0; tick < 3100; ++tick) StepSuddenDeath(g);
  EXPECT_EQ(g.quietTicks, 0);
  EXPECT_EQ(g.playerLife[0], 20);
  // Out again: the tick of that life's change counts as a change, the quiet ones after it count.
  g.playerLife[0] = 0;
  StepSuddenDeath(g);
  EXPECT_EQ(g.quietTicks, 0);
  for (int tick = 0; tick < 2999; ++tick) StepSuddenDeath(g);
  EXPECT_EQ(g.quietTicks, 2999);
  // Any life changing starts the count afresh, a rise from a life item too.
  g.playerLife[1] += 1;
  StepSuddenDeath(g);
  EXPECT_EQ(g.quietTicks, 0);
}

}  // namespace
}  // namespace bf
