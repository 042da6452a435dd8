#include "support/golden_image.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string_view>

#include "platform/files/files.h"

#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#include <stb_image.h>

namespace bf::test {
namespace {

// After a deliberate change of the drawing or the artwork, BF_UPDATE_GOLDENS=1 writes every
// golden afresh from what the tests draw.
bool UpdatingGoldens() {
  const char* value = std::getenv("BF_UPDATE_GOLDENS");
  return value != nullptr && std::string_view(value) == "1";
}

struct Difference {
  int worst = 0;  // the largest difference of one channel
  std::size_t worstPixel = 0;
  std::size_t outliers = 0;  // pixels with a channel differing more than the limit
  double mean = 0;           // over all channels
};

Difference Compare(const std::uint8_t* actual, const std::uint8_t* expected, std::size_t pixels,
                   int limit) {
  Difference d;
  double total = 0;
  for (std::size_t p = 0; p < pixels; ++p) {
    int pixelWorst = 0;
    for (std::size_t c = p * 3; c < p * 3 + 3; ++c) {
      const int difference = std::abs(int{actual[c]} - int{expected[c]});
      total += difference;
      pixelWorst = std::max(pixelWorst, difference);
    }
    d.outliers += pixelWorst > limit;
    if (pixelWorst > d.worst) {
      d.worst = pixelWorst;
      d.worstPixel = p;
    }
  }
  d.mean = total / (static_cast<double>(pixels) * 3);
  return d;
}

}  // namespace

::testing::AssertionResult MatchesGolden(int width, int height, const std::uint8_t* pixels,
                                         const std::string& name, GoldenLimits limits) {
  const std::string golden = std::string(BF_TEST_DATA_DIR) + "/golden_" + name + ".png";
  if (UpdatingGoldens()) {
    if (!WritePng(golden, width, height, pixels)) {
      return ::testing::AssertionFailure() << "cannot write " << golden;
    }
    return ::testing::AssertionSuccess() << "rewrote " << golden;
  }
  const std::string actual =
      (std::filesystem::temp_directory_path() / ("actual_" + name + ".png")).string();
  int w = 0, h = 0, channels = 0;
  stbi_uc* expected = stbi_load(golden.c_str(), &w, &h, &channels, 3);
  if (expected == nullptr) {
    WritePng(actual, width, height, pixels);
    return ::testing::AssertionFailure()
           << "no golden " << golden
           << " (run with BF_UPDATE_GOLDENS=1; this run's picture: " << actual << ")";
  }
  if (w != width || h != height) {
    stbi_image_free(expected);
    return ::testing::AssertionFailure()
           << golden << " is " << w << " x " << h << ", not " << width << " x " << height;
  }
  const std::size_t count = static_cast<std::size_t>(width) * height;
  const Difference d = Compare(pixels, expected, count, limits.maxChannelDifference);
  stbi_image_free(expected);
  if (d.outliers <= limits.outlierShare * static_cast<double>(count) &&
      d.mean <= limits.meanDifference) {
    return ::testing::AssertionSuccess();
  }
  WritePng(actual, width, height, pixels);
  return ::testing::AssertionFailure()
         << name << " differs from its golden: largest difference " << d.worst << " at ("
         << d.worstPixel % width << ", " << d.worstPixel / width << "), " << d.outliers
         << " pixels over " << limits.maxChannelDifference << ", mean " << d.mean
         << "; this run: " << actual;
}

}  // namespace bf::test
