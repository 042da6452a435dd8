// Background music: one track at a time, restarted after a natural end, never after a stop.
#include <SDL.h>
#include <SDL_mixer.h>

#include <fstream>
#include <string>

#include "audio/sound.h"
#include "platform/sdl/sdl_audio.h"
#include "support/audio_fixture.h"
#include "support/mix_progress.h"
#include "support/scoped_settings.h"

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

// Whether the music's end-of-track event is waiting; it takes every event off the queue.
bool MusicFinishedEventQueued() {
  bool finished = false;
  SDL_Event event;
  while (SDL_PollEvent(&event)) finished = finished || IsMusicFinishedEvent(event);
  return finished;
}

// How long the first stretch of sound in a mixed stream at 44100 Hz lasts, in ms: from its first
// sound to its first millisecond of silence.
int FirstStretchOfSoundMs(const std::vector<std::int16_t>& stream) {
  constexpr std::size_t kFramesPerMs = 44;
  std::size_t sounding = 0, silent = 0;
  for (std::size_t i = 0; i + 1 < stream.size() && silent < kFramesPerMs; i += 2) {
    if (stream[i] != 0 || stream[i + 1] != 0) {
      sounding += silent + 1;
      silent = 0;
    } else if (sounding > 0) {
      ++silent;
    }
  }
  return static_cast<int>(sounding / kFramesPerMs);
}

// The disk driver writes the mixed stream to a file, in real time. The track runs from its end
// straight into its start, again and again, with nothing to report; a stop is never reported.
// The end-of-track event would be posted from inside the mixing of the buffer where the track
// ended, or from inside the stop itself: once the mixer has finished that buffer, it is queued.
TEST(SdlMusicTest, ATrackLoopsWithoutAGapAndAStopIsNeverReported) {
  constexpr int kTrackMs = 300;
  TempDir dir;
  const std::string track = (dir.path() / "sound" / "bgm0.wav").string();
  const std::filesystem::path output = dir.path() / "mixed.raw";
  WriteSquareWave(track, kTrackMs, 44100);
  ScopedEnv driver("SDL_AUDIODRIVER", "disk");
  ScopedEnv file("SDL_DISKAUDIOFILE", output.string());

  SdlAudio device;
  ASSERT_TRUE(device.Open());
  MixProgress mixed;
  ASSERT_TRUE(mixed.counting());
  ASSERT_TRUE(device.PlayMusic(track));
  ASSERT_TRUE(mixed.WaitFor(2 * kTrackMs + 150)) << "the mixer stalled";
  EXPECT_FALSE(MusicFinishedEventQueued());
  EXPECT_TRUE(Mix_PlayingMusic());
  device.RestartMusic();
  EXPECT_TRUE(Mix_PlayingMusic());
  device.StopMusic();
  ASSERT_TRUE(mixed.WaitFor(50)) << "the mixer stalled";
  EXPECT_FALSE(MusicFinishedEventQueued());

  // A track started again and then closed by the next one reports no end either.
  ASSERT_TRUE(device.PlayMusic(track));
  ASSERT_TRUE(device.PlayMusic(track));
  device.StopMusic();
  ASSERT_TRUE(mixed.WaitFor(50)) << "the mixer stalled";
  EXPECT_FALSE(MusicFinishedEventQueued());
  device.Close();

  // Two whole loops of the 300 ms track and more, as one stretch of sound.
  EXPECT_GE(FirstStretchOfSoundMs(ReadDiskStream(output)), 2 * kTrackMs + 100);
}

TEST(SdlMusicTest, AMissingTrackIsReportedAndNothingPlays) {
  TempDir dir;
  ScopedEnv driver("SDL_AUDIODRIVER", "dummy");
  SdlAudio device;
  ASSERT_TRUE(device.Open());
  ::testing::internal::CaptureStderr();
  EXPECT_FALSE(device.PlayMusic((dir.path() / "sound" / "bgm1.wav").string()));
  const std::string warnings = ::testing::internal::GetCapturedStderr();
  EXPECT_NE(warnings.find("bgm1.wav"), std::string::npos);
  device.RestartMusic();
  EXPECT_FALSE(Mix_PlayingMusic());
  device.Close();
}

}  // namespace
}  // namespace bf::testing
