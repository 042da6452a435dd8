// Sound effects: the table's loading, round robin, silent failures and the SDL_mixer device.
#include <SDL.h>
#include <SDL_mixer.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "audio/sound.h"
#include "platform/sdl/sdl_audio.h"
#include "platform/sound/mixer_level.h"
#include "support/audio_fixture.h"
#include "support/mix_progress.h"
#include "support/scoped_settings.h"

namespace bf::testing {
namespace {

int CountOccurrences(const std::string& text, const std::string& word) {
  int count = 0;
  for (size_t at = text.find(word); at != std::string::npos; at = text.find(word, at + 1)) ++count;
  return count;
}

class SoundEffectsTest : public AudioFixture {
 protected:
  void StartSound() {
    InitSound(*game);
    LoadSoundEffects(*game);
  }
  // The voices the device restarted for one table entry, in order.
  std::vector<int> VoicesPlayed(int index) const {
    std::vector<int> voices;
    for (const HeadlessAudio::VoicePlay& play : audio.plays()) {
      if (play.effect == game->soundEffects[index].effect) voices.push_back(play.voice);
    }
    return voices;
  }
};

class NoDeviceTest : public SoundEffectsTest {
 protected:
  void SetUp() override { audio = HeadlessAudio(false); }
};

struct RoundRobinCase {
  int index;
  int plays;
  std::vector<int> voices;
};

TEST_F(SoundEffectsTest, QuickPlaysRestartTheVoicesStrictlyInTurn) {
  const RoundRobinCase cases[] = {
      {kSoundShot, 5, {1, 2, 3, 0, 1}},  // the fifth cuts off the first
      {kSoundDam, 4, {1, 2, 0, 1}},
      {kSoundReload, 3, {1, 0, 1}},
      {kSoundLife, 3, {0, 0, 0}},  // one voice restarts itself every time
      {kSoundHe, 2, {0, 0}},
  };
  StartSound();
  for (const RoundRobinCase& c : cases) {
    SCOPED_TRACE(c.index);
    for (int i = 0; i < c.plays; ++i) PlaySoundEffect(*game, c.index);
    EXPECT_EQ(VoicesPlayed(c.index), c.voices);
    EXPECT_EQ(game->soundEffects[c.index].lastVoice, c.voices.back());
  }
}

TEST_F(SoundEffectsTest, LoadsTheTableInItsOrderWithItsVoiceCounts) {
  StartSound();
  const std::string dir = assets.path().string() + "/sound/";
  const std::vector<std::string> expected = {
      "open",
      "load " + dir + "shot.wav 4",
      "load " + dir + "dam.wav 3",
      "load " + dir + "reload.wav 2",
      "load " + dir + "life.wav 1",
      "load " + dir + "win.wav 1",
      "load " + dir + "bom.wav 1",
      "load " + dir + "pyon.wav 2",
      "load " + dir + "rocket.wav 2",
      "load " + dir + "fox.wav 2",
      "load " + dir + "spider.wav 2",
      "load " + dir + "fire.wav 1",
      "load " + dir + "momonga.wav 1",
      "load " + dir + "fish.wav 1",
      "load " + dir + "shield.wav 1",
      "load " + dir + "cat.wav 1",
      "load " + dir + "set.wav 1",
      "load " + dir + "he.wav 1",
  };
  EXPECT_EQ(audio.calls(), expected);
  for (int index = 0; index < kSoundEffects; ++index) {
    EXPECT_EQ(game->soundEffects[index].lastVoice, 0) << index;
    EXPECT_EQ(game->soundEffects[index].effect >= 0, index != 3 && index != 6) << index;
  }
  EXPECT_TRUE(messages.shown.empty());
}

TEST_F(SoundEffectsTest, EmptyEntriesThreeAndSixNeverPlay) {
  StartSound();
  for (int index : {3, 6}) {
    EXPECT_EQ(game->soundEffects[index].voiceCount, 0);
    PlaySoundEffect(*game, index);
    PlaySoundEffect(*game, index);
  }
  EXPECT_EQ(audio.playCount(), 0);
  EXPECT_EQ(game->tickRecord.soundCount, 0);
  EXPECT_EQ(game->soundEffects[3].lastVoice, 0);
}

TEST_F(SoundEffectsTest, EveryPlayIsRecordedForTheTickUpToTheLimit) {
  StartSound();
  PlaySoundEffect(*game, kSoundWin);
  PlaySoundEffect(*game, kSoundShot);
  PlaySoundEffect(*game, kSoundWin);
  ASSERT_EQ(game->tickRecord.soundCount, 3);
  EXPECT_EQ(game->tickRecord.sounds[0], kSoundWin);
  EXPECT_EQ(game->tickRecord.sounds[1], kSoundShot);
  EXPECT_EQ(game->tickRecord.sounds[2], kSoundWin);

  for (int i = 0; i < TickRecord::kMaxSounds + 10; ++i) PlaySoundEffect(*game, kSoundDam);
  EXPECT_EQ(game->tickRecord.soundCount, TickRecord::kMaxSounds);
  EXPECT_EQ(game->tickRecord.sounds[0], kSoundWin);
  EXPECT_EQ(game->tickRecord.sounds[TickRecord::kMaxSounds - 1], kSoundDam);
}

TEST_F(SoundEffectsTest, AMissingOrBrokenFileSilencesOnlyThatEffectWithOneWarning) {
  struct Case {
    const char* name;
    int index;
    bool remove;  // else overwrite with text
  };
  for (const Case& c : {Case{"shot", kSoundShot, true}, Case{"dam", kSoundDam, false}}) {
    SCOPED_TRACE(c.name);
    if (c.remove) {
      std::filesystem::remove(SoundPath(c.name));
    } else {
      std::ofstream(SoundPath(c.name)) << "not a wav file at all";
    }
    HeadlessAudio fresh;
    platform.audio = &fresh;
    Game local(platform);
    ::testing::internal::CaptureStderr();
    InitSound(local);
    LoadSoundEffects(local);
    const std::string warnings = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(CountOccurrences(warnings, "\n"), 1) << warnings;
    EXPECT_EQ(CountOccurrences(warnings, std::string(c.name) + ".wav"), 1) << warnings;

    EXPECT_EQ(local.soundEffects[c.index].effect, -1);
    PlaySoundEffect(local, c.index);
    PlaySoundEffect(local, kSoundWin);
    // The silent effect still takes its turn and shows in the tick's sounds; only win sounds.
    EXPECT_EQ(local.soundEffects[c.index].lastVoice, 1);
    EXPECT_EQ(local.tickRecord.soundCount, 2);
    ASSERT_EQ(fresh.plays().size(), 1u);
    EXPECT_EQ(fresh.plays()[0].effect, local.soundEffects[kSoundWin].effect);
    ReleaseSound(local);
    WriteSquareWave(SoundPath(c.name), 50);
  }
  platform.audio = &audio;
}

TEST_F(NoDeviceTest, NoDeviceShowsTheTwoMessagesAndTheGamePlaysSilently) {
  ::testing::internal::CaptureStderr();
  StartSound();
  HookMusic(*game);
  PlayMusic(*game, "sound/bgm0.wav");
  const std::string warnings = ::testing::internal::GetCapturedStderr();

  const std::vector<ShownMessage> expected = {
      {"Burrowfield", "DirectSoundは利用できません。", false},
      {"Error", "DirectSound起動失敗！", true},
  };
  EXPECT_EQ(messages.shown, expected);
  EXPECT_EQ(warnings, "");  // the two messages said it all
  EXPECT_FALSE(game->musicOpen);

  for (int i = 0; i < 3; ++i) PlaySoundEffect(*game, kSoundShot);
  EXPECT_EQ(game->soundEffects[kSoundShot].lastVoice, 3);
  EXPECT_EQ(game->tickRecord.soundCount, 3);
  EXPECT_EQ(audio.playCount(), 0);
  ReleaseSound(*game);
  EXPECT_TRUE(audio.calls().empty());
}

TEST_F(SoundEffectsTest, ShutdownReleasesEntriesInIndexOrderThenTheDevice) {
  StartSound();
  PlaySoundEffect(*game, kSoundShot);
  audio.ClearRecords();
  const std::array<SoundEffect, kSoundEffects> loaded = game->soundEffects;
  ReleaseSound(*game);

  std::vector<std::string> expected;
  for (const SoundEffect& entry : loaded) {
    if (entry.effect >= 0) expected.push_back("release " + std::to_string(entry.effect));
  }
  expected.push_back("close");
  EXPECT_EQ(audio.calls(), expected);
  EXPECT_EQ(expected.size(), 18u);
  for (const SoundEffect& entry : game->soundEffects) EXPECT_EQ(entry.voiceCount, 0);
}

TEST(SdlAudioTest, DummyDriverPlaysEachVoiceOnItsOwnChannel) {
  TempDir dir;
  const std::string shot = (dir.path() / "sound" / "shot.wav").string();
  const std::string life = (dir.path() / "sound" / "life.wav").string();
  WriteSquareWave(shot, 2000);
  WriteSquareWave(life, 2000);
  ScopedEnv driver("SDL_AUDIODRIVER", "dummy");

  SdlAudio device;
  ASSERT_TRUE(device.Open());
  const int shotEffect = device.LoadEffect(shot, 4);
  const int lifeEffect = device.LoadEffect(life, 1);
  ::testing::internal::CaptureStderr();
  const int missing = device.LoadEffect((dir.path() / "sound" / "none.wav").string(), 2);
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
TEST(SdlAudioTest, APileOfFullScaleVoicesStaysUnderFullScale) {
  constexpr int kStageMs = 100;
  TempDir dir;
  const std::string loud = (dir.path() / "sound" / "loud.wav").string();
  const std::filesystem::path output = dir.path() / "mixed.raw";
  WriteSquareWave(loud, 1000, 44100, 32767);
  ScopedEnv driver("SDL_AUDIODRIVER", "disk");
  ScopedEnv file("SDL_DISKAUDIOFILE", output.string());

  SdlAudio device;
  ASSERT_TRUE(device.Open());
  MixProgress mixed;
  ASSERT_TRUE(mixed.counting());
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

// What can stand in place of a sound file, each refused at once with one warning naming it,
// before the mixer sees it: a FIFO would block the read for ever, /dev/zero would never end, and
// a chunk claiming 4 GiB in an 80-byte file would make the mixer ask for that much memory.
TEST(SdlAudioTest, WhatIsNoSoundFileIsRefusedBeforeTheMixerSeesIt) {
  TempDir dir;
  const std::filesystem::path sound = dir.path() / "sound";
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
    const std::string path = (dir.path() / "sound" / c.name).string();
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
  const std::filesystem::path twice = dir.path() / "sound" / "two-formats.wav";
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

}  // namespace
}  // namespace bf::testing
