// Background music: one track at a time, restarted after a natural end, never after a stop.
#include <filesystem>
#include <string>
#include <vector>

#include "audio/sound.h"
#include "support/audio_fixture.h"

namespace bf::testing {
namespace {

class MusicTest : public AudioFixture {
 protected:
  void SetUp() override {
    InitSound(*game);
    audio.ClearRecords();
  }
  // What the event pump does between two ticks when the track has ended by itself.
  void DeliverMusicEnd() {
    if (audio.TakeMusicFinished()) RestartMusic(*game);
  }
  std::vector<std::string> MusicCalls() const {
    std::vector<std::string> music;
    for (const std::string& call : audio.calls()) {
      if (call.rfind("music ", 0) == 0) music.push_back(call);
    }
    return music;
  }
};

TEST_F(MusicTest, PlayMusicBeforeTheHookPlaysNothing) {
  PlayMusic(*game, "sound/bgm0.wav");
  EXPECT_TRUE(MusicCalls().empty());
  EXPECT_FALSE(game->musicOpen);
  EXPECT_EQ(audio.openTrack(), "");

  HookMusic(*game);
  HookMusic(*game);  // a second installation keeps the first
  PlayMusic(*game, "sound/bgm0.wav");
  EXPECT_EQ(MusicCalls(), std::vector<std::string>{"music play " + TrackPath("bgm0")});
  EXPECT_TRUE(game->musicOpen);
}

TEST_F(MusicTest, TheBattleTrackClosesTheSelectionTrackFirst) {
  HookMusic(*game);
  PlayMusic(*game, "sound/bgm0.wav");
  PlayMusic(*game, "sound/bgm1.wav");
  const std::vector<std::string> expected = {
      "music play " + TrackPath("bgm0"),
      "music stop",
      "music play " + TrackPath("bgm1"),
  };
  EXPECT_EQ(MusicCalls(), expected);
  EXPECT_EQ(audio.openTrack(), TrackPath("bgm1"));
}

TEST_F(MusicTest, ATrackThatEndsByItselfPlaysAgainFromTheStart) {
  HookMusic(*game);
  PlayMusic(*game, "sound/bgm1.wav");
  for (int end = 0; end < 3; ++end) {
    ASSERT_TRUE(audio.FinishTrack());
    EXPECT_FALSE(audio.musicPlaying());
    DeliverMusicEnd();
    EXPECT_TRUE(audio.musicPlaying());
  }
  const std::vector<std::string> expected = {"music play " + TrackPath("bgm1"), "music restart",
                                             "music restart", "music restart"};
  EXPECT_EQ(MusicCalls(), expected);
  EXPECT_EQ(audio.openTrack(), TrackPath("bgm1"));
}

TEST_F(MusicTest, AStopNeverRestartsTheTrack) {
  HookMusic(*game);
  PlayMusic(*game, "sound/bgm0.wav");
  StopMusic(*game);
  EXPECT_FALSE(audio.FinishTrack());
  DeliverMusicEnd();
  EXPECT_EQ(audio.openTrack(), "");
  EXPECT_FALSE(game->musicOpen);

  // A notice already waiting when the track was stopped finds nothing to restart.
  PlayMusic(*game, "sound/bgm0.wav");
  ASSERT_TRUE(audio.FinishTrack());
  StopMusic(*game);
  RestartMusic(*game);
  const std::vector<std::string> expected = {"music play " + TrackPath("bgm0"), "music stop",
                                             "music play " + TrackPath("bgm0"), "music stop"};
  EXPECT_EQ(MusicCalls(), expected);
  EXPECT_FALSE(audio.musicPlaying());
}

TEST_F(MusicTest, AnEndNoticeOfTheOldTrackLeavesTheNewTrackAlone) {
  HookMusic(*game);
  PlayMusic(*game, "sound/bgm0.wav");
  ASSERT_TRUE(audio.FinishTrack());
  PlayMusic(*game, "sound/bgm1.wav");
  RestartMusic(*game);
  EXPECT_EQ(MusicCalls().back(), "music play " + TrackPath("bgm1"));
  EXPECT_TRUE(audio.musicPlaying());
}

TEST_F(MusicTest, UnhookStopsAndClosesAndLaterPlaysDoNothing) {
  HookMusic(*game);
  PlayMusic(*game, "sound/bgm0.wav");
  UnhookMusic(*game);
  EXPECT_EQ(audio.openTrack(), "");
  PlayMusic(*game, "sound/bgm1.wav");
  EXPECT_EQ(audio.openTrack(), "");
  EXPECT_EQ(MusicCalls().size(), 2u);
}

TEST_F(MusicTest, AMissingTrackLeavesTheGameSilentAndRunningWithOneWarning) {
  std::filesystem::remove(SoundPath("bgm1"));
  HookMusic(*game);
  ::testing::internal::CaptureStderr();
  PlayMusic(*game, "sound/bgm1.wav");
  const std::string warnings = ::testing::internal::GetCapturedStderr();
  EXPECT_NE(warnings.find("bgm1.wav"), std::string::npos);
  EXPECT_EQ(warnings.find('\n'), warnings.size() - 1) << warnings;
  EXPECT_FALSE(game->musicOpen);
  RestartMusic(*game);
  StopMusic(*game);
  EXPECT_TRUE(MusicCalls().empty());

  PlayMusic(*game, "sound/bgm0.wav");
  EXPECT_EQ(audio.openTrack(), TrackPath("bgm0"));
}

}  // namespace
}  // namespace bf::testing
