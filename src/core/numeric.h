#pragma once
// The game's arithmetic: whole degrees turned into radians with 3.14 (not pi), Doubles stored
// into whole numbers rounding half to even, and Int() rounding down.
#include <cmath>
#include <cstdint>

namespace bf {

inline double Radians(std::int32_t degrees) {
  return degrees * 3.14 / 180.0;
}

// A Double stored into a whole-number field: nearest, halves to even (the default rounding mode).
inline std::int32_t RoundToLong(double value) {
  return static_cast<std::int32_t>(std::nearbyint(value));
}

// Int(): the largest whole number not above the value.
inline std::int32_t Int(double value) {
  return static_cast<std::int32_t>(std::floor(value));
}

// True when `value` lies strictly within `reach` of `centre`, tested exactly as
// `centre` - `reach` < `value` < `centre` + `reach` (the game's contact tests are strict).
inline bool WithinReach(double centre, double reach, double value) {
  return centre - reach < value && value < centre + reach;
}

// True when (x, z) lies strictly inside the square of half-side `reach` around (centreX, centreZ).
inline bool WithinBox(double centreX, double centreZ, double reach, double x, double z) {
  return WithinReach(centreX, reach, x) && WithinReach(centreZ, reach, z);
}

}  // namespace bf
