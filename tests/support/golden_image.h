#pragma once
// Compares a surface with a golden PNG under tests/data. With BF_UPDATE_GOLDENS=1 the golden is
// written from the surface instead (after a deliberate change of the drawing or the artwork).
#include <gtest/gtest.h>

#include <string>

#include "platform/pixels/pixel_surface.h"

namespace bf::test {

struct GoldenLimits {
  int maxChannelDifference;  // no channel of any pixel may differ more than this
  double meanDifference;     // mean absolute difference over all channels
};

// Passes when the surface matches tests/data/golden_<name>.png within the limits; on failure the
// surface is written beside the build for a look.
::testing::AssertionResult MatchesGolden(const PixelSurface& surface, const std::string& name,
                                         GoldenLimits limits);

}  // namespace bf::test
