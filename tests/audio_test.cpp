// Sound effects: the table's loading, round robin, silent failures and a game without a device.
#include <array>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "audio/sound.h"
#include "support/audio_fixture.h"

namespace bf::testing {
namespace {

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
  const std::string dir = assets.path() + "/sound/";
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

}  // namespace
}  // namespace bf::testing
