#pragma once
// Where the 640 x 480 screen shows in a window, and how large the game's own window is made.
// Plain arithmetic, shared by the display (which draws there) and the message box (which maps
// mouse clicks back onto the screen), so the two can never disagree.
namespace bf {

// A rectangle in pixels, or in window coordinates: left, top, width, height.
struct PixelRect {
  int x = 0, y = 0, width = 0, height = 0;
  bool operator==(const PixelRect&) const = default;
};

// The largest 4:3 rectangle in a `width` x `height` area, centred: the screen with black bars
// above and below or to the sides.
PixelRect FitScreen(int width, int height);

// The whole number of times the screen is enlarged, pixel for pixel, before the remaining
// fraction is filtered (at least 1); separate for each axis of `shown`.
int WholeFactorX(const PixelRect& shown);
int WholeFactorY(const PixelRect& shown);

// The window for an area of `width` x `height`: the largest whole multiple of 640 x 480 that
// fits, centred in the area (offset by its `x`, `y`); where not even 640 x 480 fits, the
// largest 4:3 rectangle that does.
PixelRect WindowForArea(const PixelRect& area);

}  // namespace bf
