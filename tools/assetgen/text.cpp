#include "text.h"

#include <cmath>
#include <fstream>
#include <iterator>

#define STBTT_STATIC
#define STB_TRUETYPE_IMPLEMENTATION
#include <stb_truetype.h>

namespace assetgen {

Font::Font(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  data_.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  if (data_.empty()) return;
  auto* info = new stbtt_fontinfo;
  if (!stbtt_InitFont(info, data_.data(), stbtt_GetFontOffsetForIndex(data_.data(), 0))) {
    delete info;
    return;
  }
  info_ = info;
}

Font::~Font() {
  delete static_cast<stbtt_fontinfo*>(info_);
}

float Font::Width(const std::string& text, float pixelHeight) const {
  if (!info_) return 0;
  auto* info = static_cast<stbtt_fontinfo*>(info_);
  float scale = stbtt_ScaleForPixelHeight(info, pixelHeight);
  float width = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    int advance, bearing;
    stbtt_GetCodepointHMetrics(info, text[i], &advance, &bearing);
    width += advance * scale;
    if (i + 1 < text.size())
      width += scale * stbtt_GetCodepointKernAdvance(info, text[i], text[i + 1]);
  }
  return width;
}

std::vector<float> Font::Mask(const std::string& text, float pixelHeight, float x, float y,
                              int width, int height) const {
  std::vector<float> mask(static_cast<std::size_t>(width) * height, 0);
  if (!info_) return mask;
  auto* info = static_cast<stbtt_fontinfo*>(info_);
  float scale = stbtt_ScaleForPixelHeight(info, pixelHeight);
  float pen = x;
  for (std::size_t i = 0; i < text.size(); ++i) {
    int advance, bearing;
    stbtt_GetCodepointHMetrics(info, text[i], &advance, &bearing);
    float shift = pen - std::floor(pen);
    int x0, y0, x1, y1;
    stbtt_GetCodepointBitmapBoxSubpixel(info, text[i], scale, scale, shift, 0, &x0, &y0, &x1, &y1);
    int gw = x1 - x0, gh = y1 - y0;
    if (gw > 0 && gh > 0) {
      std::vector<unsigned char> glyph(static_cast<std::size_t>(gw) * gh);
      stbtt_MakeCodepointBitmapSubpixel(info, glyph.data(), gw, gh, gw, scale, scale, shift, 0,
                                        text[i]);
      int ox = static_cast<int>(std::floor(pen)) + x0, oy = static_cast<int>(std::lround(y)) + y0;
      for (int j = 0; j < gh; ++j) {
        for (int k = 0; k < gw; ++k) {
          int px = ox + k, py = oy + j;
          if (px < 0 || py < 0 || px >= width || py >= height) continue;
          float& m = mask[static_cast<std::size_t>(py) * width + px];
          m = std::min(1.0f, m + glyph[static_cast<std::size_t>(j) * gw + k] / 255.0f);
        }
      }
    }
    pen += advance * scale;
    if (i + 1 < text.size())
      pen += scale * stbtt_GetCodepointKernAdvance(info, text[i], text[i + 1]);
  }
  return mask;
}

void Font::Draw(Image* image, const std::string& text, float pixelHeight, float x, float y,
                Pixel colour, float alpha) const {
  std::vector<float> mask = Mask(text, pixelHeight, x, y, image->width(), image->height());
  for (int j = 0; j < image->height(); ++j) {
    for (int i = 0; i < image->width(); ++i) {
      float m = mask[static_cast<std::size_t>(j) * image->width() + i];
      if (m > 0) image->Blend(i, j, colour, m * alpha);
    }
  }
}

}  // namespace assetgen
