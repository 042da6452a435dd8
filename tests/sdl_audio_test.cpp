// The SDL_mixer device: each voice on its own channel, the mix's headroom and limiter, sound
// files refused before the mixer sees them, and the music track's loop and end.
#include "platform/sdl/sdl_audio.h"

#include <SDL.h>
#include <SDL_mixer.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/sound/mixer_level.h"
#include "support/audio_fixture.h"
#include "support/mix_progress.h"
#include "support/scoped_settings.h"
#include "support/temp_dir.h"

namespace bf::testing {
namespace {

// A device on SDL's disk driver, which writes the mixed stream to a file in real time, and the
// count of what its mixer has finished.
class SdlDiskMixTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(opened);
    ASSERT_TRUE(mixed.counting());
  }
  TempDir dir;
  const std::string output = dir.File("mixed.raw");
  ScopedEnv driver{"SDL_AUDIODRIVER", "disk"};
  ScopedEnv file{"SDL_DISKAUDIOFILE", output};
  SdlAudio device;
  const bool opened = device.Open();
  MixProgress mixed;  // from the opening on
};

TEST(SdlAudioTest, DummyDriverPlaysEachVoiceOnItsOwnChannel) {
  TempDir dir;
  const std::string shot = dir.File("sound/shot.wav");
  const std::string life = dir.File("sound/life.wav");
  WriteSquareWave(shot, 2000);
  WriteSquareWave(life, 2000);
  ScopedEnv driver("SDL_AUDIODRIVER", "dummy");

  SdlAudio device;
  ASSERT_TRUE(device.Open());
  const int shotEffect = device.LoadEffect(shot, 4);
  const int lifeEffect = device.LoadEffect(life, 1);
  ::testing::internal::CaptureStderr();
  const int missing = device.LoadEffect(dir.File("sound/none.wav"), 2);
  const std::string warnings = ::testing::internal::GetCapturedStderr();
  ASSERT_GE(shotEffect, 0);
  ASSERT_GE(lifeEffect, 0);
  EXPECT_EQ(missing, -1);
  EXPECT_EQ(CountOccurrences(warnings, "none.wav"), 1) << warnings;
  // Four voices of shot and one of life: five fixed channels, no more.
  EXPECT_EQ(Mix_AllocateChannels(-1), 5);

  device.PlayVoice(shotEffect, 1);
  device.PlayVoice(shotEffect, 3);
  device.PlayVoice(shotEffect, 4);  // no such voice: nothing
  device.PlayVoice(lifeEffect, 0);
  EXPECT_EQ(Mix_Playing(0), 0);
  EXPECT_NE(Mix_Playing(1), 0);
  EXPECT_EQ(Mix_Playing(2), 0);
  EXPECT_NE(Mix_Playing(3), 0);
  EXPECT_NE(Mix_Playing(4), 0);
  EXPECT_EQ(Mix_Playing(-1), 3);
  // The voices share the one decoded chunk.
  EXPECT_EQ(Mix_GetChunk(1), Mix_GetChunk(3));
  EXPECT_NE(Mix_GetChunk(1), Mix_GetChunk(4));

  device.ReleaseEffect(shotEffect);
  EXPECT_EQ(Mix_Playing(1), 0);
  device.PlayVoice(shotEffect, 1);  // released: nothing
  EXPECT_EQ(Mix_Playing(1), 0);
  device.Close();
  device.Close();
}

// One full-scale voice plays at the mix's level; then the shot's four voices, the hit's three and
// the music, all at full scale at once: the mixer adds them with headroom and the limiter after
// it rounds the pile off under full scale instead of clipping it. Each stage lasts a stretch of
// mixed sound, however long the audio thread takes to mix it.
TEST_F(SdlDiskMixTest, APileOfFullScaleVoicesStaysUnderFullScale) {
  constexpr int kStageMs = 100;
  const std::string loud = dir.File("sound/loud.wav");
  WriteSquareWave(loud, 1000, 44100, 32767);
  const int effect = device.LoadEffect(loud, 7);
  ASSERT_GE(effect, 0);
  device.PlayVoice(effect, 0);
  ASSERT_TRUE(mixed.WaitFor(kStageMs)) << "the mixer stalled with one voice";
  for (int voice = 1; voice < 7; ++voice) device.PlayVoice(effect, voice);
  ASSERT_TRUE(device.PlayMusic(loud));
  ASSERT_TRUE(mixed.WaitFor(kStageMs)) << "the mixer stalled with the pile";
  device.Close();

  // The voice starts on the first frame of a mixed buffer and sounds alone for a whole stage.
  const std::vector<std::int16_t> stream = ReadDiskStream(output);
  std::size_t first = 0;
  while (first < stream.size() && stream[first] == 0) ++first;
  const std::size_t aloneSamples = 2 * static_cast<std::size_t>(mixed.FramesIn(kStageMs));
  ASSERT_GE(stream.size(), first + 2 * aloneSamples) << "less was written than was mixed";
  int alone = 0, loudest = 0;
  for (std::size_t i = first; i < stream.size(); ++i) {
    const int magnitude = std::abs(stream[i]);
    if (i < first + aloneSamples) alone = std::max(alone, magnitude);
    loudest = std::max(loudest, magnitude);
  }
  const float level = kMixGain * kMixerVolume / kMixerFullVolume;
  EXPECT_NEAR(alone, 32767 * level, 32767 * 0.01f);
  EXPECT_LE(loudest, 32768 * kLimiterCeiling);
  EXPECT_GT(loudest, 32768 * kLimiterKnee);
}

// The room's volume turns the whole finished mix down, and a pause holds every voice and the
// music where they are.
TEST_F(SdlDiskMixTest, TheMasterVolumeTurnsTheMixDownAndAPauseHoldsEverything) {
  constexpr int kStageMs = 100;
  constexpr int kStep = 7;
  const std::string loud = dir.File("sound/loud.wav");
  WriteSquareWave(loud, 1000, 44100, 32767);
  const int effect = device.LoadEffect(loud, 1);
  ASSERT_GE(effect, 0);
  device.SetMasterVolume(kStep);
  device.PlayVoice(effect, 0);
  ASSERT_TRUE(mixed.WaitFor(kStageMs)) << "the mixer stalled with one voice";
  ASSERT_TRUE(device.PlayMusic(loud));
  device.SetPaused(true);
  EXPECT_EQ(Mix_Paused(-1), 1);
  EXPECT_EQ(Mix_PausedMusic(), 1);
  device.SetPaused(false);
  EXPECT_EQ(Mix_Paused(-1), 0);
  EXPECT_EQ(Mix_PausedMusic(), 0);
  device.Close();

  const std::vector<std::int16_t> stream = ReadDiskStream(output);
  std::size_t first = 0;
  while (first < stream.size() && stream[first] == 0) ++first;
  const std::size_t aloneSamples = 2 * static_cast<std::size_t>(mixed.FramesIn(kStageMs));
  ASSERT_GE(stream.size(), first + aloneSamples) << "less was written than was mixed";
  int alone = 0;
  for (std::size_t i = first; i < first + aloneSamples; ++i) {
    alone = std::max(alone, std::abs(static_cast<int>(stream[i])));
  }
  const float level = kMixGain * kMixerVolume / kMixerFullVolume * MasterGain(kStep);
  EXPECT_NEAR(alone, 32767 * level, 32767 * 0.01f);
}

// What can stand in place of a sound file, each refused at once with one warning naming it,
// before the mixer sees it: a FIFO would block the read for ever, /dev/zero would never end, and
// a chunk claiming 4 GiB in an 80-byte file would make the mixer ask for that much memory.
TEST(SdlAudioTest, WhatIsNoSoundFileIsRefusedBeforeTheMixerSeesIt) {
  TempDir dir;
  const std::filesystem::path sound = std::filesystem::path(dir.path()) / "sound";
  std::filesystem::create_directory(sound);
  std::filesystem::create_directory(sound / "directory.wav");
  ASSERT_EQ(mkfifo((sound / "fifo.wav").c_str(), 0600), 0);
  std::filesystem::create_symlink("/dev/zero", sound / "endless.wav");
  std::ofstream(sound / "huge.wav").close();
  std::filesystem::resize_file(sound / "huge.wav", 200 << 20);  // sparse
  // 80 bytes: the format, 8 bytes of samples, then a list chunk claiming 4 GiB, which the
  // mixer's music reader would allocate before reading.
  WriteSquareWave(sound / "chunk.wav", 1);
  std::filesystem::resize_file(sound / "chunk.wav", 80);
  std::fstream lie(sound / "chunk.wav", std::ios::in | std::ios::out | std::ios::binary);
  lie.seekp(40).write("\x08\0\0\0", 4);
  lie.seekp(52).write("LIST\xF0\xFF\xFF\xFF", 8);
  lie.close();
  ScopedEnv driver("SDL_AUDIODRIVER", "dummy");
  SdlAudio device;
  ASSERT_TRUE(device.Open());
  const std::pair<const char*, const char*> cases[] = {{"directory.wav", "is a directory"},
                                                       {"fifo.wav", "is a FIFO"},
                                                       {"endless.wav", "is a device"},
                                                       {"huge.wav", "bytes, more than a"},
                                                       {"chunk.wav", "chunk claims more"}};
  for (const auto& [name, reason] : cases) {
    SCOPED_TRACE(name);
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(device.LoadEffect((sound / name).string(), 1), -1);
    EXPECT_FALSE(device.PlayMusic((sound / name).string()));
    const std::string warnings = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(CountOccurrences(warnings, "\n"), 2) << warnings;
    EXPECT_EQ(CountOccurrences(warnings, name), 2) << warnings;
    EXPECT_EQ(CountOccurrences(warnings, reason), 2) << warnings;
  }
  device.Close();
}

// Small files that decode to far more than their size: hours of sound the mixer would convert
// to 44,100 Hz stereo in memory, or a rate it would spend minutes converting from. Each is
// refused from its header, with one warning naming it, before the mixer decodes a sample; what
// lies just inside the limits still plays.
TEST(SdlAudioTest, RatesAndLengthsAreLimitedBeforeTheMixerDecodes) {
  struct Case {
    const char* name;
    WaveFormat format;
    std::uint32_t dataBytes;
    const char* effectReason;  // nullptr: it loads
    const char* musicReason;
  };
  const WaveFormat mono8k;
  const WaveFormat twoByteFrames{1, 2, 44100, 8};
  // Four bits a sample in blocks of 512 bytes: its length follows from its bits, not its blocks.
  const WaveFormat imaAdpcm{0x11, 1, 8000, 4, 512};
  const std::uint32_t secondOf8k = 8000 * 2;
  const Case cases[] = {
      {"1hz.wav", {1, 1, 1, 8}, 100000, "1 Hz, outside", "1 Hz, outside"},
      {"7999hz.wav", {1, 1, 7999, 16}, 16000, "7999 Hz, outside", "7999 Hz, outside"},
      {"192001hz.wav", {1, 1, 192001, 16}, 16000, "192001 Hz, outside", "192001 Hz, outside"},
      {"30s.wav", mono8k, 30 * secondOf8k, nullptr, nullptr},
      {"30s-and-a-frame.wav", mono8k, 30 * secondOf8k + 2, "31 s long, more than a sound effect",
       nullptr},
      {"stereo-30s-and-a-frame.wav", twoByteFrames, 30 * 44100 * 2 + 2, "31 s long", nullptr},
      {"adpcm-601s.wav", imaAdpcm, 601 * 8000 / 2, "601 s long", "601 s long"},
      {"600s.wav", mono8k, 600 * secondOf8k, "600 s long", nullptr},
      {"600s-and-a-frame.wav", mono8k, 600 * secondOf8k + 2, "601 s long",
       "601 s long, more than a music track may be (600 s)"},
      {"no-channels.wav", {1, 0, 8000, 16}, 16000, "no size of a sample", "no size of a sample"},
  };
  TempDir dir;
  ScopedEnv driver("SDL_AUDIODRIVER", "dummy");
  SdlAudio device;
  ASSERT_TRUE(device.Open());
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = dir.File(std::string("sound/") + c.name);
    WriteZeroWave(path, c.format, c.dataBytes);
    ::testing::internal::CaptureStderr();
    const int effect = device.LoadEffect(path, 1);
    const bool music = device.PlayMusic(path);
    const std::string warnings = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(effect >= 0, c.effectReason == nullptr) << warnings;
    EXPECT_EQ(music, c.musicReason == nullptr) << warnings;
    const int refusals = (c.effectReason != nullptr) + (c.musicReason != nullptr);
    EXPECT_EQ(CountOccurrences(warnings, "\n"), refusals) << warnings;
    EXPECT_EQ(CountOccurrences(warnings, c.name), refusals) << warnings;
    for (const char* reason : {c.effectReason, c.musicReason}) {
      if (reason != nullptr) {
        EXPECT_NE(warnings.find(reason), std::string::npos) << warnings;
      }
    }
  }
  // Two format chunks: which one a decoder reads is its own choice, so neither is trusted.
  const std::filesystem::path twice = dir.File("sound/two-formats.wav");
  WriteZeroWave(twice, mono8k, 16);
  std::string bytes;
  {
    std::ifstream in(twice, std::ios::binary);
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  bytes.insert(36, bytes.substr(12, 24));
  std::ofstream(twice, std::ios::binary | std::ios::trunc) << bytes;
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(device.LoadEffect(twice.string(), 1), -1);
  EXPECT_NE(::testing::internal::GetCapturedStderr().find("more than one format chunk"),
            std::string::npos);
  device.Close();
}

TEST(SdlAudioTest, AnUnknownDriverLeavesTheDeviceClosedAndSilent) {
  ScopedEnv driver("SDL_AUDIODRIVER", "no-such-driver");
  SdlAudio device;
  ::testing::internal::CaptureStderr();
  EXPECT_FALSE(device.Open());
  ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(device.LoadEffect("/nonexistent.wav", 2), -1);
  device.PlayVoice(0, 0);
  EXPECT_FALSE(device.PlayMusic("/nonexistent.wav"));
  device.StopMusic();
  device.Close();
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

// The track runs from its end straight into its start, again and again, with nothing to report; a
// stop is never reported. The end-of-track event would be posted from inside the mixing of the
// buffer where the track ended, or from inside the stop itself: once the mixer has finished that
// buffer, it is queued.
TEST_F(SdlDiskMixTest, ATrackLoopsWithoutAGapAndAStopIsNeverReported) {
  constexpr int kTrackMs = 300;
  const std::string track = dir.File("sound/bgm0.wav");
  WriteSquareWave(track, kTrackMs, 44100);
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
  EXPECT_FALSE(device.PlayMusic(dir.File("sound/bgm1.wav")));
  const std::string warnings = ::testing::internal::GetCapturedStderr();
  EXPECT_NE(warnings.find("bgm1.wav"), std::string::npos);
  device.RestartMusic();
  EXPECT_FALSE(Mix_PlayingMusic());
  device.Close();
}

}  // namespace
}  // namespace bf::testing
