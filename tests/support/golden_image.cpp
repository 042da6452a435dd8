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

bool UpdatingGoldens() {
  const char* value = std::getenv("BF_UPDATE_GOLDENS");
  return value != nullptr && std::string_view(value) == "1";
}

}  // namespace

::testing::AssertionResult MatchesGolden(const PixelSurface& surface, const std::string& name,
                                         GoldenLimits limits) {
  const std::string golden = std::string(BF_TEST_DATA_DIR) + "/golden_" + name + ".png";
  const int width = surface.width(), height = surface.height();
  if (UpdatingGoldens()) {
    if (!WritePng(golden, width, height, surface.pixels())) {
      return ::testing::AssertionFailure() << "cannot write " << golden;
    }
    return ::testing::AssertionSuccess() << "rewrote " << golden;
  }
  const std::string actual =
      (std::filesystem::temp_directory_path() / ("actual_" + name + ".png")).string();
  int w = 0, h = 0, channels = 0;
  stbi_uc* expected = stbi_load(golden.c_str(), &w, &h, &channels, 3);
  if (expected == nullptr) {
    WritePng(actual, width, height, surface.pixels());
    return ::testing::AssertionFailure()
           << "no golden " << golden
           << " (run with BF_UPDATE_GOLDENS=1; this run's picture: " << actual << ")";
  }
  if (w != width || h != height) {
    stbi_image_free(expected);
    return ::testing::AssertionFailure()
           << golden << " is " << w << " x " << h << ", not " << width << " x " << height;
  }
  const std::size_t bytes = static_cast<std::size_t>(width) * height * 3;
  int worst = 0;
  std::size_t worstAt = 0;
  double total = 0;
  for (std::size_t i = 0; i < bytes; ++i) {
    const int difference = std::abs(int{surface.pixels()[i]} - int{expected[i]});
    total += difference;
    if (difference > worst) {
      worst = difference;
      worstAt = i;
    }
  }
  stbi_image_free(expected);
  const double mean = total / static_cast<double>(bytes);
  if (worst <= limits.maxChannelDifference && mean <= limits.meanDifference) {
    return ::testing::AssertionSuccess();
  }
  WritePng(actual, width, height, surface.pixels());
  const std::size_t pixel = worstAt / 3;
  return ::testing::AssertionFailure() << name << " differs from its golden: largest difference "
                                       << worst << " at (" << pixel % width << ", " << pixel / width
                                       << "), mean " << mean << "; this run: " << actual;
}

}  // namespace bf::test
