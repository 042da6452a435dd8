#include "platform/pixels/screen_scaler.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "platform/surface.h"

namespace bf {
namespace {

// (a * (256 - w) + b * w) / 256 per channel, rounded; red and blue share one multiply.
std::uint32_t Blend(std::uint32_t a, std::uint32_t b, unsigned w) {
  const unsigned v = 256 - w;
  const std::uint32_t redBlue = ((a & 0xff00ff) * v + (b & 0xff00ff) * w + 0x800080) >> 8;
  const std::uint32_t green = ((a & 0xff00) * v + (b & 0xff00) * w + 0x8000) >> 8;
  return 0xff000000u | (redBlue & 0xff00ff) | (green & 0xff00);
}

void BlendRows(const std::uint32_t* a, const std::uint32_t* b, unsigned w, std::uint32_t* out,
               int width) {
  int x = 0;
#if defined(__SSE2__)
  const __m128i weightB = _mm_set1_epi16(static_cast<short>(w));
  const __m128i weightA = _mm_set1_epi16(static_cast<short>(256 - w));
  const __m128i half = _mm_set1_epi16(128), zero = _mm_setzero_si128();
  const auto blendHalf = [&](__m128i p, __m128i q) {
    // At most 255 * 256 + 128: the sum fits in 16 bits unsigned.
    const __m128i sum = _mm_add_epi16(
        _mm_add_epi16(_mm_mullo_epi16(p, weightA), _mm_mullo_epi16(q, weightB)), half);
    return _mm_srli_epi16(sum, 8);
  };
  for (; x + 4 <= width; x += 4) {
    const __m128i p = _mm_loadu_si128(reinterpret_cast<const __m128i*>(a + x));
    const __m128i q = _mm_loadu_si128(reinterpret_cast<const __m128i*>(b + x));
    const __m128i low = blendHalf(_mm_unpacklo_epi8(p, zero), _mm_unpacklo_epi8(q, zero));
    const __m128i high = blendHalf(_mm_unpackhi_epi8(p, zero), _mm_unpackhi_epi8(q, zero));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + x), _mm_packus_epi16(low, high));
  }
#endif
  for (; x < width; ++x) out[x] = Blend(a[x], b[x], w);
}

}  // namespace

std::uint32_t Rgb565ToPixel(unsigned rgb565) {
  const unsigned r = rgb565 >> 11, g = (rgb565 >> 5) & 63, b = rgb565 & 31;
  return 0xff000000u | ((r << 3) | (r >> 2)) << 16 | ((g << 2) | (g >> 4)) << 8 | (b << 3) |
         (b >> 2);
}

ScreenScaler::ScreenScaler() : colours_(65536) {
  for (unsigned p = 0; p < colours_.size(); ++p) colours_[p] = Rgb565ToPixel(p);
}

// The shader's sampling, position for position: within a screen pixel the sample stays on its
// centre; across the last output pixel before a neighbour it slides over, and only there is
// the neighbour blended in.
std::vector<ScreenScaler::Tap> ScreenScaler::SharpTaps(int shown, int size, int prescale) {
  std::vector<Tap> taps(static_cast<std::size_t>(std::max(shown, 0)));
  const double still = 0.5 - 0.5 / prescale;
  for (int o = 0; o < shown; ++o) {
    const double texel = (o + 0.5) * size / shown;
    const double offset = texel - std::floor(texel) - 0.5;
    const double slide = (offset - std::clamp(offset, -still, still)) * prescale;
    const double position = std::floor(texel) + slide;
    int first = static_cast<int>(std::floor(position));
    int weight = static_cast<int>(std::lround((position - first) * 256));
    if (weight == 256) ++first, weight = 0;
    // Past the edges the edge pixel repeats, as the texture's clamp does.
    if (first < 0) first = 0, weight = 0;
    if (first >= size - 1) first = size - 1, weight = 0;
    taps[static_cast<std::size_t>(o)] = {static_cast<std::uint16_t>(first),
                                         static_cast<std::uint16_t>(weight)};
  }
  return taps;
}

void ScreenScaler::Resize(int width, int height, int prescaleX, int prescaleY) {
  columns_ = SharpTaps(width, kScreenWidth, std::max(1, prescaleX));
  rows_ = SharpTaps(height, kScreenHeight, std::max(1, prescaleY));
  for (std::vector<std::uint32_t>& row : widened_) row.assign(columns_.size(), 0);
}

const std::uint32_t* ScreenScaler::WidenedRow(const std::uint16_t* screen,
                                              std::ptrdiff_t screenStep, int row) {
  const int slot = row & 1;
  std::uint32_t* out = widened_[slot].data();
  if (widenedRow_[slot] == row) return out;
  widenedRow_[slot] = row;
  std::uint32_t colours[kScreenWidth + 1];
  const std::uint16_t* in = screen + screenStep * row;
  for (int x = 0; x < kScreenWidth; ++x) colours[x] = colours_[in[x]];
  colours[kScreenWidth] = colours[kScreenWidth - 1];
  for (std::size_t x = 0; x < columns_.size(); ++x) {
    const Tap tap = columns_[x];
    out[x] = tap.weight ? Blend(colours[tap.first], colours[tap.first + 1], tap.weight)
                        : colours[tap.first];
  }
  return out;
}

void ScreenScaler::Scale(const std::uint16_t* screen, std::ptrdiff_t screenStep, std::uint32_t* out,
                         std::ptrdiff_t outPitch) {
  widenedRow_[0] = widenedRow_[1] = -1;
  const int width = static_cast<int>(columns_.size());
  auto* outRow = reinterpret_cast<std::uint8_t*>(out);
  for (const Tap tap : rows_) {
    auto* pixels = reinterpret_cast<std::uint32_t*>(outRow);
    const std::uint32_t* first = WidenedRow(screen, screenStep, tap.first);
    if (tap.weight == 0) {
      std::memcpy(pixels, first, static_cast<std::size_t>(width) * sizeof(std::uint32_t));
    } else {
      BlendRows(first, WidenedRow(screen, screenStep, tap.first + 1), tap.weight, pixels, width);
    }
    outRow += outPitch;
  }
}

}  // namespace bf
