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

#if defined(__SSE2__)
// Four pixels of `p` blended towards those of `q`, rounded as Blend does; the weights are 16-bit
// lanes, one per channel, for the first two pixels and for the last two.
__m128i BlendFour(__m128i p, __m128i q, __m128i weightsLow, __m128i weightsHigh) {
  const __m128i whole = _mm_set1_epi16(256), half = _mm_set1_epi16(128);
  const __m128i zero = _mm_setzero_si128();
  const auto blendTwo = [&](__m128i a, __m128i b, __m128i w) {
    // At most 255 * 256 + 128: the sum fits in 16 bits unsigned.
    const __m128i sum = _mm_add_epi16(
        _mm_add_epi16(_mm_mullo_epi16(a, _mm_sub_epi16(whole, w)), _mm_mullo_epi16(b, w)), half);
    return _mm_srli_epi16(sum, 8);
  };
  const __m128i low = blendTwo(_mm_unpacklo_epi8(p, zero), _mm_unpacklo_epi8(q, zero), weightsLow);
  const __m128i high =
      blendTwo(_mm_unpackhi_epi8(p, zero), _mm_unpackhi_epi8(q, zero), weightsHigh);
  return _mm_packus_epi16(low, high);
}
#endif

void BlendRows(const std::uint32_t* a, const std::uint32_t* b, unsigned w, std::uint32_t* out,
               int width) {
  int x = 0;
#if defined(__SSE2__)
  const __m128i weights = _mm_set1_epi16(static_cast<short>(w));
  for (; x + 4 <= width; x += 4) {
    const __m128i p = _mm_loadu_si128(reinterpret_cast<const __m128i*>(a + x));
    const __m128i q = _mm_loadu_si128(reinterpret_cast<const __m128i*>(b + x));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + x), BlendFour(p, q, weights, weights));
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

namespace {

// Every RGB565 value as a window pixel, made once for the whole program.
const std::vector<std::uint32_t>& Colours() {
  static const std::vector<std::uint32_t> colours = [] {
    std::vector<std::uint32_t> table(65536);
    for (unsigned p = 0; p < table.size(); ++p) table[p] = Rgb565ToPixel(p);
    return table;
  }();
  return colours;
}

}  // namespace

ScreenScaler::ScreenScaler() = default;

ScreenScaler::~ScreenScaler() {
  if (!worker_.joinable()) return;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
  }
  wake_.notify_one();
  worker_.join();
}

void ScreenScaler::ScaleUpperHalves() {
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    wake_.wait(lock, [this] { return pending_ || stopping_; });
    if (stopping_) return;
    const Job job = job_;
    lock.unlock();
    ScaleRows(job, 0, rows_.size() / 2, widened_[0]);
    lock.lock();
    pending_ = false;
    done_.notify_one();
  }
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
  columnWeights_.resize(columns_.size() * 4);
  for (std::size_t x = 0; x < columns_.size(); ++x)
    std::fill_n(&columnWeights_[x * 4], 4, columns_[x].weight);
  for (WidenedRows& part : widened_)
    for (std::vector<std::uint32_t>& row : part.pixels) row.assign(columns_.size(), 0);
}

const std::uint32_t* ScreenScaler::WidenedRow(const Job& job, int row, WidenedRows& widened) const {
  const int slot = row & 1;
  std::uint32_t* out = widened.pixels[slot].data();
  if (widened.row[slot] == row) return out;
  widened.row[slot] = row;
  const std::vector<std::uint32_t>& table = Colours();
  std::uint32_t colours[kScreenWidth + 1];
  const std::uint16_t* in = job.screen + job.screenStep * row;
  for (int x = 0; x < kScreenWidth; ++x) colours[x] = table[in[x]];
  colours[kScreenWidth] = colours[kScreenWidth - 1];
  std::size_t x = 0;
#if defined(__SSE2__)
  for (; x + 4 <= columns_.size(); x += 4) {
    const Tap* t = &columns_[x];
    const __m128i p =
        _mm_set_epi32(static_cast<int>(colours[t[3].first]), static_cast<int>(colours[t[2].first]),
                      static_cast<int>(colours[t[1].first]), static_cast<int>(colours[t[0].first]));
    const __m128i q = _mm_set_epi32(
        static_cast<int>(colours[t[3].first + 1]), static_cast<int>(colours[t[2].first + 1]),
        static_cast<int>(colours[t[1].first + 1]), static_cast<int>(colours[t[0].first + 1]));
    const auto* weights = reinterpret_cast<const __m128i*>(&columnWeights_[x * 4]);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + x),
                     BlendFour(p, q, _mm_loadu_si128(weights), _mm_loadu_si128(weights + 1)));
  }
#endif
  for (; x < columns_.size(); ++x) {
    const Tap tap = columns_[x];
    out[x] = Blend(colours[tap.first], colours[tap.first + 1], tap.weight);
  }
  return out;
}

void ScreenScaler::ScaleRows(const Job& job, std::size_t begin, std::size_t end,
                             WidenedRows& widened) const {
  widened.row[0] = widened.row[1] = -1;
  const int width = static_cast<int>(columns_.size());
  auto* outRow =
      reinterpret_cast<std::uint8_t*>(job.out) + static_cast<std::ptrdiff_t>(begin) * job.outPitch;
  for (std::size_t y = begin; y < end; ++y, outRow += job.outPitch) {
    const Tap tap = rows_[y];
    auto* pixels = reinterpret_cast<std::uint32_t*>(outRow);
    const std::uint32_t* first = WidenedRow(job, tap.first, widened);
    if (tap.weight == 0) {
      std::memcpy(pixels, first, static_cast<std::size_t>(width) * sizeof(std::uint32_t));
    } else {
      BlendRows(first, WidenedRow(job, tap.first + 1, widened), tap.weight, pixels, width);
    }
  }
}

void ScreenScaler::Scale(const std::uint16_t* screen, std::ptrdiff_t screenStep, std::uint32_t* out,
                         std::ptrdiff_t outPitch) {
  const Job job{screen, screenStep, out, outPitch};
  // Made with the first picture: a display that never scales on the CPU has no thread for it.
  if (!worker_.joinable()) worker_ = std::thread([this] { ScaleUpperHalves(); });
  {
    std::lock_guard<std::mutex> lock(mutex_);
    job_ = job;
    pending_ = true;
  }
  wake_.notify_one();
  ScaleRows(job, rows_.size() / 2, rows_.size(), widened_[1]);
  std::unique_lock<std::mutex> lock(mutex_);
  done_.wait(lock, [this] { return !pending_; });
}

}  // namespace bf
