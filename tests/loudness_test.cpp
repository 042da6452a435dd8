// The meter behind soundcheck and assetgen's levels: it reads reference tones as a loudness meter
// should, gates quiet stretches out, counts bass and clipping, and tells a clean loop seam from a
// cut.
#include "platform/sound/loudness.h"

#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>

namespace {

using bf::loudness::Wave;

struct Tone {
  double hz, dbfs, seconds;
};

// Tones one after another, the same in every channel, the phase carried across; they start at
// the crest unless told otherwise.
Wave Tones(int rate, int channels, std::initializer_list<Tone> tones, double phase = M_PI / 2) {
  Wave w;
  w.rate = rate;
  w.channels = channels;
  w.bits = 16;
  for (const Tone& t : tones) {
    const double amplitude = std::pow(10.0, t.dbfs / 20);
    for (long i = 0; i < std::lround(t.seconds * rate); ++i) {
      for (int c = 0; c < channels; ++c) {
        w.samples.push_back(static_cast<float>(amplitude * std::sin(phase)));
      }
      phase += 2 * M_PI * t.hz / rate;
    }
  }
  return w;
}

// A 1 kHz tone in both channels reads its own level in LUFS; quiet stretches under the relative
// gate do not pull the reading down; a mono file is heard on both speakers.
TEST(Loudness, ReadsReferenceTonesAtEveryRate) {
  struct Case {
    const char* what;
    Wave wave;
    double lufs;
  };
  const Case cases[] = {
      {"-23 dBFS at 48 kHz", Tones(48000, 2, {{1000, -23, 20}}), -23},
      {"-23 dBFS at 44.1 kHz", Tones(44100, 2, {{1000, -23, 20}}), -23},
      {"-20 dBFS at 22.05 kHz", Tones(22050, 2, {{1000, -20, 5}}), -20},
      {"mono, -20 dBFS", Tones(44100, 1, {{1000, -20, 5}}), -20},
      {"-36, -23, -36 dBFS", Tones(44100, 2, {{1000, -36, 10}, {1000, -23, 60}, {1000, -36, 10}}),
       -23},
      {"-72 dBFS: silence", Tones(44100, 2, {{1000, -72, 5}}), bf::loudness::kSilenceLufs},
  };
  for (const Case& c : cases) {
    EXPECT_NEAR(bf::loudness::IntegratedLoudness(c.wave), c.lufs, 0.1) << c.what;
  }
}

// A click shorter than one block is heard against the silence after it.
TEST(Loudness, HearsASoundShorterThanOneBlockAgainstSilence) {
  const double whole = bf::loudness::IntegratedLoudness(Tones(44100, 1, {{1000, -20, 0.4}}));
  const double quarter = bf::loudness::IntegratedLoudness(Tones(44100, 1, {{1000, -20, 0.1}}));
  EXPECT_NEAR(quarter, whole - 6.02, 0.2);
}

TEST(Measure, CountsBassPeaksAndClipping) {
  const auto low = bf::loudness::Measure(Tones(44100, 1, {{100, -6, 1}}));
  const auto high = bf::loudness::Measure(Tones(44100, 1, {{1000, -6, 1}}));
  const auto both = bf::loudness::Measure(Tones(44100, 1, {{100, -6, 1}, {1000, -6, 1}}));
  EXPECT_GT(low.lowShare, 0.99);
  EXPECT_LT(high.lowShare, 0.01);
  EXPECT_NEAR(both.lowShare, 0.5, 0.01);
  EXPECT_NEAR(bf::loudness::Decibels(high.peak), -6, 0.01);
  EXPECT_EQ(high.fullScaleSamples, 0);

  Wave loud = Tones(44100, 2, {{50, 3, 0.1}}, 0);
  for (float& s : loud.samples) s = std::fmax(-1.0f, std::fmin(s, 32767 / 32768.0f));
  const auto clipped = bf::loudness::Measure(loud);
  EXPECT_EQ(clipped.fullScaleRuns, 10);  // both half-waves of five cycles
  EXPECT_GT(clipped.fullScaleSamples, 2 * clipped.fullScaleRuns);
}

// Whole cycles loop cleanly; the same tone cut mid-cycle jumps at the seam; a fade or a hole
// leaves silence.
TEST(Measure, TellsACleanLoopFromACutOne) {
  const auto whole = bf::loudness::Measure(Tones(44100, 2, {{441, -6, 1}}));
  const auto cut = bf::loudness::Measure(Tones(44100, 2, {{441, -6, 1.0011}}));
  const auto faded = bf::loudness::Measure(Tones(44100, 2, {{441, -6, 1}, {441, -80, 0.2}}));
  const auto holed =
      bf::loudness::Measure(Tones(44100, 2, {{441, -6, 0.5}, {441, -80, 0.05}, {441, -6, 0.5}}));
  EXPECT_LE(whole.seamJump, whole.stepNearSeam);
  EXPECT_GT(cut.seamJump, cut.stepNearSeam);
  EXPECT_NEAR(faded.silenceEndMs, 200, 1);
  EXPECT_EQ(whole.silenceStartMs, 0);
  EXPECT_EQ(whole.longestSilenceMs, 0);
  EXPECT_NEAR(holed.longestSilenceMs, 50, 1);
  EXPECT_NEAR(holed.longestSilenceAt, 0.5, 0.001);
  EXPECT_LT(whole.dcOffset, 1e-4);
}

}  // namespace
