#pragma once
// Compares a picture with a golden PNG under tests/data. With BF_UPDATE_GOLDENS=1 the golden is
// written from the picture instead (after a deliberate change of the drawing or the artwork).
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "platform/pixels/pixel_surface.h"

namespace bf::test {

struct GoldenLimits {
  int maxChannelDifference;  // no channel of any pixel may differ more than this...
  double meanDifference;     // mean absolute difference over all channels
  // ...but for this share of the pixels: an edge that another Mesa rasterises a little
  // differently.
  double outlierShare = 0;
};

// Passes when the RGB picture matches tests/data/golden_<name>.png within the limits; on failure
// the picture is written to the temporary folder for a look.
::testing::AssertionResult MatchesGolden(int width, int height, const std::uint8_t* pixels,
                                         const std::string& name, GoldenLimits limits);
inline ::testing::AssertionResult MatchesGolden(const PixelSurface& surface,
                                                const std::string& name, GoldenLimits limits) {
  return MatchesGolden(surface.width(), surface.height(), surface.pixels(), name, limits);
}

}  // namespace bf::test
