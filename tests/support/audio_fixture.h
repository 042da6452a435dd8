#pragma once
// A game on a platform whose only device is the headless audio, with its own sound files written
// to a fresh temporary directory.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "core/game.h"
#include "platform/headless/headless_audio.h"
#include "support/recording_messages.h"
#include "support/temp_dir.h"

namespace bf::testing {

// What SDL's disk audio driver wrote: the mixed stream, 16-bit stereo samples interleaved.
inline std::vector<std::int16_t> ReadDiskStream(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::vector<std::int16_t> samples;
  char bytes[2];
  while (in.read(bytes, 2)) {
    samples.push_back(static_cast<std::int16_t>(static_cast<std::uint8_t>(bytes[0]) |
                                                static_cast<std::uint8_t>(bytes[1]) << 8));
  }
  return samples;
}

// What a wav file's format chunk says; `encoding` 1 is PCM, 0x11 IMA ADPCM.
struct WaveFormat {
  std::uint16_t encoding = 1;
  std::uint16_t channels = 1;
  std::uint32_t rate = 8000;
  std::uint16_t bits = 16;
  std::uint16_t blockAlign = 0;  // 0: a frame's bytes, as in PCM
  std::uint16_t BlockAlign() const {
    if (blockAlign != 0) return blockAlign;
    return static_cast<std::uint16_t>(std::max(channels * bits / 8, 1));
  }
};

// A wav file's header up to the first sample: RIFF, the format chunk and a data chunk of
// `dataBytes` bytes (which the caller writes after it).
inline void PutWaveHeader(std::ostream& out, const WaveFormat& format, std::uint32_t dataBytes) {
  auto put32 = [&](std::uint32_t v) {
    for (int i = 0; i < 4; ++i) out.put(static_cast<char>((v >> (8 * i)) & 0xFF));
  };
  auto put16 = [&](std::uint16_t v) {
    out.put(static_cast<char>(v & 0xFF));
    out.put(static_cast<char>(v >> 8));
  };
  out.write("RIFF", 4);
  put32(36 + dataBytes);
  out.write("WAVEfmt ", 8);
  put32(16);
  put16(format.encoding);
  put16(format.channels);
  put32(format.rate);
  put32(format.rate * format.BlockAlign());
  put16(format.BlockAlign());
  put16(format.bits);
  out.write("data", 4);
  put32(dataBytes);
}

// A 16-bit stereo PCM wav of a square wave.
inline void WriteSquareWave(const std::filesystem::path& path, int milliseconds,
                            std::uint32_t rate = 22050, std::int16_t amplitude = 8000) {
  const std::uint32_t frames = rate * static_cast<std::uint32_t>(milliseconds) / 1000;
  std::ofstream out(path, std::ios::binary);
  PutWaveHeader(out, {1, 2, rate, 16, 4}, frames * 4);
  for (std::uint32_t i = 0; i < frames; ++i) {
    const std::uint16_t sample =
        static_cast<std::uint16_t>((i / 25) % 2 == 0 ? amplitude : -amplitude);
    for (int channel = 0; channel < 2; ++channel) {
      out.put(static_cast<char>(sample & 0xFF));
      out.put(static_cast<char>(sample >> 8));
    }
  }
}

// A wav of `dataBytes` zero bytes (sparse on disk): long, rare or odd files, cheap to write.
inline void WriteZeroWave(const std::filesystem::path& path, const WaveFormat& format,
                          std::uint32_t dataBytes) {
  {
    std::ofstream out(path, std::ios::binary);
    PutWaveHeader(out, format, dataBytes);
  }
  std::filesystem::resize_file(path, 44 + std::uintmax_t{dataBytes});
}

// Every effect file of the table and both music tracks.
inline const std::vector<std::string>& SoundFileNames() {
  static const std::vector<std::string> names = {
      "shot", "dam",     "reload", "life",   "win", "bom", "pyon", "rocket", "fox", "spider",
      "fire", "momonga", "fish",   "shield", "cat", "set", "he",   "bgm0",   "bgm1"};
  return names;
}

// How often `word` stands in `text`, as warnings are counted.
inline int CountOccurrences(const std::string& text, const std::string& word) {
  int count = 0;
  for (size_t at = text.find(word); at != std::string::npos; at = text.find(word, at + 1)) ++count;
  return count;
}

// The game, its headless audio and the sound files (all present unless a test removes some).
class AudioFixture : public ::testing::Test {
 protected:
  explicit AudioFixture(bool hasDevice = true) : audio(hasDevice) {
    for (const std::string& name : SoundFileNames()) {
      WriteSquareWave(SoundPath(name), 50);
    }
    platform.audio = &audio;
    platform.messages = &messages;
    platform.assetDir = assets.path();
    game = std::make_unique<Game>(platform);
  }

  std::filesystem::path SoundPath(const std::string& name) const {
    return assets.File("sound/" + name + ".wav");
  }
  std::string TrackPath(const std::string& name) const { return SoundPath(name).string(); }

  TempDir assets;
  HeadlessAudio audio;
  RecordingMessages messages;
  Platform platform;
  std::unique_ptr<Game> game;
};

}  // namespace bf::testing
