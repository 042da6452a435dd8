#pragma once
// The contact test the abilities share: boxes on the ground, strict on all four sides.

namespace bf {

// True when `value` lies strictly within `reach` of `centre` on one axis, tested exactly as
// `centre` - `reach` < `value` < `centre` + `reach`.
inline bool WithinReach(double centre, double reach, double value) {
  return centre - reach < value && value < centre + reach;
}

// True when (x, z) lies strictly inside the square of half-side `reach` around (centreX, centreZ).
inline bool WithinBox(double centreX, double centreZ, double reach, double x, double z) {
  return WithinReach(centreX, reach, x) && WithinReach(centreZ, reach, z);
}

}  // namespace bf
