#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "app/app_local.h"
#include "app/program.h"
#include "app/screens.h"
#include "audio/sound.h"
#include "core/game.h"
#include "core/player_colours.h"
#include "input/joystick.h"
#include "support/golden_image.h"
#include "support/pixel_display.h"
#include "support/test_game.h"

namespace bf {
namespace {

constexpr int kKeyA = 65, kKeyD = 68, kKeyF = 70;

// A form that counts whole-screen draws (each one starts with the title picture) and remembers
// the loading text.
class CountingSurface final : public Surface2D {
 public:
  void Clear() override { log.push_back("clear"); }
  void StretchCopy(PictureId picture, int, int, int, int, int, int, int, int) override {
    if (picture == PictureId::kTitle) ++draws;
  }
  void SetTextPosition(int x, int y) override {
    log.push_back("at " + std::to_string(x) + "," + std::to_string(y));
  }
  void Print(std::string_view text) override { log.push_back("print " + std::string(text)); }
  void RectOutline(int, int, int, int, Rgb) override {}
  void FillRect(double, double, double, double, Rgb) override {}
  void PrintOutlined(int, int, std::string_view text, int, Rgb) override {
    words.emplace_back(text);
  }
  int draws = 0;
  std::vector<std::string> log;
  std::vector<std::string> words;
};

class CountingDisplay final : public Display {
 public:
  Surface2D& Form() override { return form; }
  Surface2D& Panel(int) override { return form; }
  Surface2D& BattleOverlay() override { return form; }
  void ShowBattleArea(bool) override {}
  void Present() override {}
  bool ReadScreen(std::uint8_t*) override { return false; }
  CountingSurface form;
};

// An audio device that writes down what the game asked of it.
class RecordingAudio final : public AudioDevice {
 public:
  bool Open() override { return Note("open"), true; }
  void Close() override { Note("close"); }
  int LoadEffect(const std::string&, int) override { return next_++; }
  void ReleaseEffect(int) override { Note("release"); }
  void PlayVoice(int, int) override {}
  bool PlayMusic(const std::string& path) override { return Note("music " + path), true; }
  void StopMusic() override { Note("stop music"); }
  void RestartMusic() override {}
  std::vector<std::string> calls;

 private:
  void Note(const std::string& call) { calls.push_back(call); }
  int next_ = 0;
};

struct TickSeen {
  std::vector<int> sounds;
  int draws = 0;  // whole-screen draws during the tick
  std::array<std::int32_t, kPlayers> playerCharacter{};
  std::int32_t stageIndex = 0;
  std::int32_t menuRow = 0;
};

using Event = std::function<void(InputSink&)>;

// The selection screen on a fake machine. `at(T, ...)` acts in the pump that delivers tick T's
// events; every processed tick is written down. Players 2 and 3 have two joysticks attached.
class SelectionScreen : public TickObserver {
 public:
  SelectionScreen() : g(*t.game), joysticks(2) {
    t.platform.display = &display;
    t.platform.joysticks = &joysticks;
    g.observer = this;
    LoadSoundEffects(g);
    HookMusic(g);
    g.joyIndex = 0;
    InitJoystick(g, 16384);
    g.joyIndex = 1;
    InitJoystick(g, 16384);
    g.playerCharacter = {0, -1, -1, -1};
    g.stageIndex = 1;
  }

  void at(int tick, Event event) { events[tick].push_back(std::move(event)); }
  void Down(int tick, int key, int mask = 0) {
    at(tick, [key, mask](InputSink& s) { s.OnKeyDown(key, mask); });
  }
  void Up(int tick, int key, int mask = 0) {
    at(tick, [key, mask](InputSink& s) { s.OnKeyUp(key, mask); });
  }
  // Press at `tick`, release two ticks later.
  void Tap(int tick, int key, int mask = 0) {
    Down(tick, key, mask);
    Up(tick + 2, key, 0);
  }
  // Player 2 or 3 presses button 1 or pushes the stick: the input state is set as the joystick
  // reading sets it, and the joystick reads so too.
  void Joystick(int tick, int p, int x, std::int32_t steer, std::uint32_t buttons,
                std::int32_t fire) {
    at(tick, [this, p, x, steer, buttons, fire](InputSink&) {
      joysticks.Set(p - 2, PadState{static_cast<std::uint32_t>(x), 32768, buttons});
      g.steerInput[p] = steer;
      g.fireState[p] = fire;
    });
  }

  // Runs until Enter or Escape; Escape is pressed at `escapeTick` unless something ends it first.
  bool Run(int escapeTick) {
    Down(escapeTick, vk::kEscape);
    Queue(0);
    drawsBefore = display.form.draws + 1;  // the set-up's own draw belongs to no tick
    return RunSelectionScreen(g);
  }

  void OnTickDone(Game& game, Screen screen) override {
    EXPECT_EQ(screen, Screen::kSelection);
    TickSeen seen;
    seen.sounds.assign(game.tickRecord.sounds.begin(),
                       game.tickRecord.sounds.begin() + game.tickRecord.soundCount);
    seen.draws = display.form.draws - drawsBefore;
    drawsBefore = display.form.draws;
    seen.playerCharacter = game.playerCharacter;
    seen.stageIndex = game.stageIndex;
    seen.menuRow = game.menuRow;
    ticks.push_back(seen);
    Queue(static_cast<int>(ticks.size()));
  }

  // Sounds of every tick that played any, by tick.
  std::map<int, std::vector<int>> SoundsByTick() const {
    std::map<int, std::vector<int>> result;
    for (std::size_t i = 0; i < ticks.size(); ++i) {
      if (!ticks[i].sounds.empty()) result[static_cast<int>(i)] = ticks[i].sounds;
    }
    return result;
  }

  test::TestGame t;
  Game& g;
  CountingDisplay display;
  PadSeats joysticks;
  std::map<int, std::vector<Event>> events;
  std::vector<TickSeen> ticks;
  int drawsBefore = 0;

 private:
  void Queue(int tick) {
    for (Event& e : events[tick]) t.events.queued.push_back(e);
  }
};

TEST(SelectionLoop, SetUpDrawsOnceResetsTheRowAndInputsButKeepsFire) {
  SelectionScreen s;
  s.g.menuRow = 1;
  s.g.steerInput = {1, -2, 1, 1};
  s.g.throttleInput = {1, 1, 0, 0};
  s.g.fireState = {0, 2, 0, 0};
  s.g.enterHeld = 1;  // leave after the first tick to look at the state the set-up left
  s.display.form.draws = 0;
  EXPECT_TRUE(s.Run(5));
  EXPECT_EQ(s.display.form.draws, 1 + 1) << "the set-up draw, and player 1's held fire";
  ASSERT_EQ(s.ticks.size(), 1u);
  EXPECT_EQ(s.ticks[0].menuRow, 0);
  EXPECT_EQ(s.g.steerInput, (std::array<std::int32_t, 4>{0, 0, 0, 0}));
  EXPECT_EQ(s.g.fireState[1], 2);
  EXPECT_EQ(s.ticks[0].playerCharacter, (std::array<std::int32_t, 4>{0, -1, -1, -1}));
  EXPECT_EQ(s.ticks[0].sounds, std::vector<int>{});
}

// Each press moves a choice once, with `reload`; tank types wrap 10 <-> 0, stages 4 <-> 0, and
// player 0 on the stage row moves the stage instead of the tank type.
TEST(SelectionLoop, ChoicesMoveOncePerPressAndWrap) {
  struct Case {
    const char* name;
    std::array<std::int32_t, 4> startCharacter;
    std::int32_t startStage;
    std::vector<int> keys;  // pressed one after another, each tapped
    std::array<std::int32_t, 4> character;
    std::int32_t stage;
    std::int32_t menuRow;
  };
  const Case cases[] = {
      {"right on 10", {10, -1, -1, -1}, 1, {vk::kRight}, {0, -1, -1, -1}, 1, 0},
      {"left on 0", {0, -1, -1, -1}, 1, {vk::kLeft}, {10, -1, -1, -1}, 1, 0},
      {"right then left",
       {4, -1, -1, -1},
       1,
       {vk::kRight, vk::kRight, vk::kLeft},
       {5, -1, -1, -1},
       1,
       0},
      {"stage right on 4", {3, -1, -1, -1}, 4, {vk::kDown, vk::kRight}, {3, -1, -1, -1}, 0, 1},
      {"stage left on 0", {3, -1, -1, -1}, 0, {vk::kDown, vk::kLeft}, {3, -1, -1, -1}, 4, 1},
      {"back to the tank row",
       {3, -1, -1, -1},
       2,
       {vk::kDown, vk::kUp, vk::kRight},
       {4, -1, -1, -1},
       2,
       0},
      {"player 1 D on 10", {0, 10, -1, -1}, 1, {kKeyD}, {0, 0, -1, -1}, 1, 0},
      {"player 1 A on 0", {0, 0, -1, -1}, 1, {kKeyA}, {0, 10, -1, -1}, 1, 0},
      {"player 1 on the stage row", {0, 5, -1, -1}, 1, {vk::kDown, kKeyD}, {0, 6, -1, -1}, 1, 1},
      {"a free slot does not move",
       {-1, -1, -1, -1},
       1,
       {vk::kRight, kKeyA},
       {-1, -1, -1, -1},
       1,
       0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SelectionScreen s;
    s.g.playerCharacter = c.startCharacter;
    s.g.stageIndex = c.startStage;
    int tick = 1;
    std::map<int, std::vector<int>> sounds;
    for (int key : c.keys) {
      s.Tap(tick, key);
      if (c.startCharacter[key == kKeyA || key == kKeyD ? 1 : 0] != -1 || key == vk::kDown ||
          key == vk::kUp) {
        sounds[tick] = {kSoundReload};
      }
      tick += 3;
    }
    EXPECT_FALSE(s.Run(tick));
    EXPECT_EQ(s.g.playerCharacter, c.character);
    EXPECT_EQ(s.g.stageIndex, c.stage);
    EXPECT_EQ(s.g.menuRow, c.menuRow);
    EXPECT_EQ(s.SoundsByTick(), sounds);
  }
}

TEST(SelectionLoop, FireJoinsWithTheOwnIndexAndLeavesSilently) {
  SelectionScreen s;
  s.Tap(1, kKeyF);   // player 1 joins: type 1
  s.Tap(4, kKeyD);   // type 2
  s.Tap(7, kKeyD);   // type 3
  s.Tap(10, kKeyF);  // leaves
  s.Tap(13, kKeyF);  // joins again: type 1, not 3
  EXPECT_FALSE(s.Run(16));
  EXPECT_EQ(s.ticks[1].playerCharacter[1], 1);
  EXPECT_EQ(s.ticks[7].playerCharacter[1], 3);
  EXPECT_EQ(s.ticks[10].playerCharacter[1], -1);
  EXPECT_EQ(s.ticks[13].playerCharacter[1], 1);
  const std::map<int, std::vector<int>> sounds = {
      {1, {kSoundLife}}, {4, {kSoundReload}}, {7, {kSoundReload}}, {13, {kSoundLife}}};
  EXPECT_EQ(s.SoundsByTick(), sounds);
}

TEST(SelectionLoop, PlayerZeroFiresWithCtrlAndJoinsAsTypeZero) {
  SelectionScreen s;
  s.g.playerCharacter = {6, -1, -1, -1};
  s.Down(1, 'X', kMaskCtrl);
  s.Up(2, 'X', 0);
  s.Down(4, 'X', kMaskCtrl);
  s.Up(5, 'X', 0);
  EXPECT_FALSE(s.Run(8));
  EXPECT_EQ(s.ticks[1].playerCharacter[0], -1);
  EXPECT_EQ(s.ticks[4].playerCharacter[0], 0);
  EXPECT_EQ(s.SoundsByTick(), (std::map<int, std::vector<int>>{{4, {kSoundLife}}}));
}

// A steer pressed in the same tick as the join is dropped: the slot starts from its own type.
TEST(SelectionLoop, JoiningDropsASteerOfTheSameTick) {
  SelectionScreen s;
  s.Down(1, kKeyD);
  s.Down(1, kKeyF);
  s.Up(3, kKeyD);
  s.Up(3, kKeyF);
  EXPECT_FALSE(s.Run(6));
  EXPECT_EQ(s.g.playerCharacter[1], 1);
  EXPECT_EQ(s.SoundsByTick(), (std::map<int, std::vector<int>>{{1, {kSoundLife}}}));
}

TEST(SelectionLoop, JoystickPlayersJoinAsTheirOwnIndexAndPickTypes) {
  SelectionScreen s;
  s.Joystick(1, 2, 32768, 0, 1, 1);  // player 2 presses button 1
  s.Joystick(2, 2, 32768, 0, 0, 0);
  s.Joystick(3, 3, 32768, 0, 1, 1);  // player 3 too
  s.Joystick(4, 3, 32768, 0, 0, 0);
  s.Joystick(5, 3, 0, -1, 0, 0);  // player 3 pushes left
  s.Joystick(6, 3, 32768, 0, 0, 0);
  EXPECT_FALSE(s.Run(9));
  EXPECT_EQ(s.ticks[1].playerCharacter[2], 2);
  EXPECT_EQ(s.ticks[3].playerCharacter[3], 3);
  EXPECT_EQ(s.g.playerCharacter, (std::array<std::int32_t, 4>{0, -1, 2, 2}));
  const std::map<int, std::vector<int>> sounds = {
      {1, {kSoundLife}}, {3, {kSoundLife}}, {5, {kSoundReload}}};
  EXPECT_EQ(s.SoundsByTick(), sounds);
}

// Up and down always play, also when the row stays; auto-repeat repeats the switch.
TEST(SelectionLoop, RowSwitchPlaysEvenWhenTheRowStays) {
  SelectionScreen s;
  s.Down(1, vk::kUp);  // already on the tank row
  s.Down(2, vk::kUp);  // auto-repeat
  s.Up(3, vk::kUp);
  s.Down(4, vk::kDown);
  s.Down(5, vk::kDown);
  s.Up(6, vk::kDown);
  EXPECT_FALSE(s.Run(8));
  const std::map<int, std::vector<int>> sounds = {
      {1, {kSoundReload}}, {2, {kSoundReload}}, {4, {kSoundReload}}, {5, {kSoundReload}}};
  EXPECT_EQ(s.SoundsByTick(), sounds);
  EXPECT_EQ(s.ticks[2].menuRow, 0);
  EXPECT_EQ(s.ticks[4].menuRow, 1);
  EXPECT_EQ(s.g.menuRow, 1);
}

// Held, a key changes the choice once and the screen is drawn every tick until the release.
TEST(SelectionLoop, HoldingLeftChangesOnceAndRedrawsEveryTick) {
  SelectionScreen s;
  s.g.playerCharacter = {5, -1, -1, -1};
  s.Down(2, vk::kLeft);
  s.Down(4, vk::kLeft);  // auto-repeat does nothing while the press is handled
  s.Up(7, vk::kLeft);
  EXPECT_FALSE(s.Run(10));
  std::vector<int> draws, character;
  for (const TickSeen& seen : s.ticks) {
    draws.push_back(seen.draws);
    character.push_back(seen.playerCharacter[0]);
  }
  EXPECT_EQ(draws, (std::vector<int>{0, 0, 1, 1, 1, 1, 1, 0, 0, 0}));
  EXPECT_EQ(character, (std::vector<int>{5, 5, 4, 4, 4, 4, 4, 4, 4, 4}));
  EXPECT_EQ(s.SoundsByTick(), (std::map<int, std::vector<int>>{{2, {kSoundReload}}}));
}

TEST(SelectionLoop, EachPlayerWithAnActiveInputDrawsOnce) {
  SelectionScreen s;
  s.g.playerCharacter = {5, 5, -1, -1};
  s.Down(1, vk::kRight);
  s.Down(1, kKeyA);
  s.Up(3, vk::kRight);
  EXPECT_FALSE(s.Run(4));
  EXPECT_EQ(s.ticks[1].draws, 2);
  EXPECT_EQ(s.ticks[2].draws, 2);
  EXPECT_EQ(s.ticks[3].draws, 1);
}

TEST(SelectionLoop, EnterWithNobodyJoinedStartsABattleAfterTheLoadingText) {
  SelectionScreen s;
  s.g.playerCharacter = {-1, -1, -1, -1};
  s.Down(3, vk::kEnter);
  EXPECT_TRUE(s.Run(6));
  EXPECT_EQ(s.ticks.size(), 4u) << "the tick that sees Enter is the last one";
  EXPECT_EQ(s.g.selectionActive, 0);
  EXPECT_EQ(s.g.playerCharacter, (std::array<std::int32_t, 4>{-1, -1, -1, -1}));
  const std::vector<std::string> loading = {"clear", "at 270,250", "print NOW LOADING...."};
  EXPECT_EQ(s.display.form.log, loading);
}

TEST(SelectionLoop, EnterHeldFromTheBattleStartsTheNextBattleAtTheFirstTick) {
  SelectionScreen s;
  s.g.enterHeld = 1;
  s.g.selectionActive = 0;
  EXPECT_TRUE(s.Run(5));
  EXPECT_EQ(s.ticks.size(), 1u);
}

// The selection music plays, and Escape stops it before anything of the shutdown happens.
TEST(SelectionLoop, EscapeStopsTheMusicBeforeShutdown) {
  SelectionScreen s;
  RecordingAudio audio;
  s.t.platform.audio = &audio;
  s.g.musicHooked = false;
  s.Down(2, vk::kEscape);
  EXPECT_EQ(RunProgram(s.g), 0);
  ASSERT_EQ(s.ticks.size(), 2u);
  std::vector<std::string> calls;
  for (const std::string& call : audio.calls) {
    if (call != "release") calls.push_back(call);
  }
  // Playing a track closes any open one first; shutdown closes the device, then the music.
  const std::vector<std::string> expected = {"open",       "stop music", "music sound/bgm0.wav",
                                             "stop music", "close",      "stop music"};
  EXPECT_EQ(calls, expected);
  const auto music = std::find(audio.calls.begin(), audio.calls.end(), "music sound/bgm0.wav");
  const auto stop = std::find(music, audio.calls.end(), "stop music");
  const auto firstRelease = std::find(audio.calls.begin(), audio.calls.end(), "release");
  EXPECT_LT(stop, firstRelease);
}

// DrawSelectionScreen onto a real form: every pixel named below is given by the layout.
class SelectionDrawing : public ::testing::Test {
 protected:
  SelectionDrawing() : g(*t.game) { t.platform.display = &display; }
  Rgb At(int x, int y) const { return display.form.PixelAt(x, y); }
  test::TestGame t;
  Game& g;
  test::PixelDisplay display;
};

// Each seat's line names its tank and what the ability does, or how to join, and its wins; the
// chosen stage is named.
TEST(SelectionWords, NameEachSeatTheStageAndTheWins) {
  test::TestGame t;
  CountingDisplay display;
  t.platform.display = &display;
  Game& g = *t.game;
  g.playerCharacter = {3, -1, 3, 10};
  g.stageIndex = 3;
  g.winsSinceStart = {0, 2, 0, 11};
  DrawSelectionScreen(g);
  const std::vector<std::string>& shown = display.form.words;
  for (const char* words :
       {"P1 PIG: raises a shield against shots", "P2  F joins",
        "P3 PIG: raises a shield against shots", "P4 CAT: leaves a decoy behind", "WINS 0",
        "WINS 2", "WINS 11", "VOLCANO"}) {
    EXPECT_NE(std::find(shown.begin(), shown.end(), words), shown.end()) << words;
  }
}

TEST_F(SelectionDrawing, FixedPartCopiesEachRegionToItsPlace) {
  g.playerCharacter = {-1, -1, -1, -1};
  g.stageIndex = 0;
  DrawSelectionScreen(g);
  EXPECT_RGB(At(30, 10), test::TitleColour(0, 0));
  EXPECT_RGB(At(609, 189), test::TitleColour(319, 119));
  EXPECT_RGB(At(29, 10), test::PixelDisplay::kWhite);
  EXPECT_RGB(At(20, 190), test::SourceColour(500, 50));  // tank-row label
  EXPECT_RGB(At(274, 244), test::SourceColour(629, 79));
  EXPECT_RGB(At(20, 305), test::SourceColour(500, 80));  // stage-row label
  EXPECT_RGB(At(274, 359), test::SourceColour(629, 109));
  for (int tank = 0; tank < kTankTypes; ++tank) {  // nobody joined: the icons are bare
    EXPECT_RGB(At(45 + 50 * tank, 250), test::SourceColour(50 * tank, 0));
    EXPECT_RGB(At(94 + 50 * tank, 299), test::SourceColour(50 * tank + 49, 49));
  }
  EXPECT_RGB(At(595, 250), test::PixelDisplay::kWhite);
  for (int s = 1; s < kStages; ++s)
    EXPECT_RGB(At(70 + 100 * s, 365), test::SourceColour(100 * s, 50));
  EXPECT_RGB(At(569, 464), test::SourceColour(499, 149));
  EXPECT_RGB(At(77, 445), test::SourceColour(7, 130)) << "no stage marker on the tank row";
}

// Four lines darkening inwards: 255, 225, 195, 165, with the stage picture inside.
TEST_F(SelectionDrawing, StageFrameDarkensInwardsAroundTheChosenStage) {
  g.playerCharacter = {-1, -1, -1, -1};
  for (int stage : {1, 4}) {
    g.stageIndex = stage;
    DrawSelectionScreen(g);
    const int left = 70 + 100 * stage, right = 169 + 100 * stage;
    for (int c = 0; c < 4; ++c) {
      const Rgb shade{static_cast<std::uint8_t>(255 - 30 * c), 0, 0};
      EXPECT_RGB(At(left + c, 365 + c), shade);
      EXPECT_RGB(At(right - c, 464 - c), shade);
      EXPECT_RGB(At(left + 50, 365 + c), shade);
      EXPECT_RGB(At(right - c, 400), shade);
    }
    EXPECT_RGB(At(left + 4, 369), test::SourceColour(100 * stage + 4, 54));
    EXPECT_RGB(At(left - 1, 365), test::SourceColour(100 * stage - 1, 50));
  }
  EXPECT_RGB(At(470, 365), (Rgb{255, 0, 0}));  // stage 4 spans x 470..569
  EXPECT_RGB(At(569, 464), (Rgb{255, 0, 0}));
  EXPECT_RGB(At(170, 365), test::SourceColour(100, 50)) << "the earlier frame is painted over";
}

// A frame's lines from the outside in: dark, the player's colour twice, light.
constexpr Rgb kFrameDark{16, 12, 24}, kFrameLight{245, 245, 245};

TEST_F(SelectionDrawing, EachJoinedPlayerGetsAFrameAndAMarkerOnTheChosenIcon) {
  g.playerCharacter = {1, 4, 7, 10};
  g.stageIndex = 2;
  DrawSelectionScreen(g);
  for (int p = 0; p < kPlayers; ++p) {
    SCOPED_TRACE(p);
    const int tank = g.playerCharacter[p], left = 45 + 50 * tank;
    const Rgb colour = kPlayerColours[p].outer;
    EXPECT_RGB(At(left, 250), kFrameDark);
    EXPECT_RGB(At(left + 49, 299), kFrameDark);
    EXPECT_RGB(At(left + 1, 251), colour);
    EXPECT_RGB(At(left + 48, 298), colour);
    EXPECT_RGB(At(left + 1, 270), colour);
    EXPECT_RGB(At(left + 3, 253), kFrameLight);
    EXPECT_RGB(At(left + 46, 260), kFrameLight);
    EXPECT_RGB(At(left + 4, 254), test::SourceColour(50 * tank + 4, 4));
    const int marker = left + 2 + 12 * p;
    EXPECT_RGB(At(marker, 278), test::SourceColour(600 + 10 * p, 0));
    EXPECT_RGB(At(marker + 9, 297), test::SourceColour(609 + 10 * p, 19));
    if (p >= 2) {  // the markers of players 0 and 1 lie over the frame's inner lines
      EXPECT_RGB(At(marker - 1, 278), test::SourceColour(50 * tank + marker - 1 - left, 28));
    }
  }
  EXPECT_RGB(At(583, 278), test::SourceColour(630, 0)) << "player 3's marker on type 10";
}

TEST_F(SelectionDrawing, PlayerZeroOnTheStageRowHasItsMarkerUnderTheStage) {
  g.playerCharacter = {3, -1, -1, -1};
  g.stageIndex = 3;
  g.menuRow = 0;
  DrawSelectionScreen(g);
  EXPECT_RGB(At(47 + 150, 278), test::SourceColour(600, 0));
  EXPECT_RGB(At(375, 440), test::SourceColour(375 - 70, 125));
  g.menuRow = 1;
  DrawSelectionScreen(g);
  EXPECT_RGB(At(49 + 150, 278), test::SourceColour(154, 28)) << "marker left the icon";
  EXPECT_RGB(At(375, 440), test::SourceColour(600, 0));
  EXPECT_RGB(At(384, 459), test::SourceColour(609, 19));
  EXPECT_RGB(At(196, 251), kPlayerColours[0].outer) << "the tank frame stays";
}

TEST_F(SelectionDrawing, PlayersOnOneTileNestTheirFramesAndAllMarkersStay) {
  g.playerCharacter = {2, 2, -1, 2};
  DrawSelectionScreen(g);
  EXPECT_RGB(At(146, 265), kPlayerColours[0].outer);
  EXPECT_RGB(At(150, 265), kPlayerColours[1].outer);
  EXPECT_RGB(At(154, 265), kPlayerColours[3].outer);
  EXPECT_RGB(At(156, 265), kFrameLight);
  EXPECT_RGB(At(157, 265), test::SourceColour(100 + 12, 15)) << "the icon inside the frames";
  for (int p : {0, 1, 3}) EXPECT_RGB(At(147 + 12 * p, 278), test::SourceColour(600 + 10 * p, 0));
  EXPECT_RGB(At(147 + 24, 278), test::SourceColour(100 + 26, 28));
}

TEST_F(SelectionDrawing, RedrawCoversStaleFramesMarkersAndTheLoadingText) {
  ShowLoadingText(g);
  g.playerCharacter = {5, 8, -1, -1};
  g.menuRow = 1;
  DrawSelectionScreen(g);
  g.playerCharacter = {6, -1, -1, -1};
  g.menuRow = 0;
  g.stageIndex = 0;
  DrawSelectionScreen(g);
  for (int y = 250; y < 300; ++y) {
    for (int x = 245; x < 495; ++x) {
      if (x >= 345 && x < 395) continue;  // player 0 now frames type 6
      ASSERT_TRUE(test::SameRgb(At(x, y), test::SourceColour(x - 45, y - 250))) << x << "," << y;
    }
  }
  EXPECT_RGB(At(75, 440), test::SourceColour(5, 125)) << "old stage marker gone";
}

TEST_F(SelectionDrawing, MatchesTheGoldenPicture) {
  g.playerCharacter = {2, 2, 7, 10};
  g.stageIndex = 3;
  g.menuRow = 1;
  ShowLoadingText(g);
  DrawSelectionScreen(g);
  EXPECT_TRUE(test::MatchesGolden(display.form, "selection", {0, 0}));
}

}  // namespace
}  // namespace bf
