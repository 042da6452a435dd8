#include "platform/gl/screen_fit.h"

#include <algorithm>

#include "platform/surface.h"

namespace bf {

PixelRect FitScreen(int width, int height) {
  int shownWidth = width, shownHeight = height;
  if (width * kScreenHeight > height * kScreenWidth)
    shownWidth = height * kScreenWidth / kScreenHeight;
  else
    shownHeight = width * kScreenHeight / kScreenWidth;
  return {(width - shownWidth) / 2, (height - shownHeight) / 2, shownWidth, shownHeight};
}

int WholeFactorX(const PixelRect& shown) {
  return std::max(1, shown.width / kScreenWidth);
}

int WholeFactorY(const PixelRect& shown) {
  return std::max(1, shown.height / kScreenHeight);
}

PixelRect WindowForArea(const PixelRect& area) {
  const int factor = std::min(area.width / kScreenWidth, area.height / kScreenHeight);
  PixelRect window = FitScreen(area.width, area.height);
  if (factor >= 1) {
    window.width = kScreenWidth * factor;
    window.height = kScreenHeight * factor;
    window.x = (area.width - window.width) / 2;
    window.y = (area.height - window.height) / 2;
  }
  window.x += area.x;
  window.y += area.y;
  return window;
}

}  // namespace bf
