#include "synth.h"

#include <algorithm>

namespace assetgen {

void Normalize(std::vector<float>* samples, float peak) {
  float loudest = 0;
  for (float s : *samples) loudest = std::max(loudest, std::fabs(s));
  if (loudest <= 0) return;
  for (float& s : *samples) s *= peak / loudest;
}

std::string WavBytes(const std::vector<float>& samples, int channels) {
  std::string out;
  auto u16 = [&out](std::uint32_t v) {
    out += static_cast<char>(v & 0xFF);
    out += static_cast<char>((v >> 8) & 0xFF);
  };
  auto u32 = [&u16](std::uint32_t v) {
    u16(v & 0xFFFF);
    u16(v >> 16);
  };
  const std::uint32_t data_bytes = static_cast<std::uint32_t>(samples.size() * 2);
  out += "RIFF";
  u32(36 + data_bytes);
  out += "WAVEfmt ";
  u32(16);
  u16(1);  // PCM
  u16(static_cast<std::uint32_t>(channels));
  u32(kSampleRate);
  u32(static_cast<std::uint32_t>(kSampleRate * channels * 2));
  u16(static_cast<std::uint32_t>(channels * 2));
  u16(16);
  out += "data";
  u32(data_bytes);
  for (float s : samples) {
    long v = std::lround(std::clamp(s, -1.0f, 1.0f) * 32767);
    u16(static_cast<std::uint32_t>(static_cast<std::int16_t>(v)) & 0xFFFF);
  }
  return out;
}

}  // namespace assetgen
