#include "image.h"

#include <algorithm>
#include <cmath>

#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb_image_write.h>

namespace assetgen {

Image::Image(int width, int height, Pixel fill)
    : width_(width), height_(height), rgb_(static_cast<std::size_t>(width) * height * 3) {
  FillRect(0, 0, width, height, fill);
}

Pixel Image::At(int x, int y) const {
  std::size_t i = (static_cast<std::size_t>(y) * width_ + x) * 3;
  return {rgb_[i], rgb_[i + 1], rgb_[i + 2]};
}

void Image::Set(int x, int y, Pixel p) {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
  std::size_t i = (static_cast<std::size_t>(y) * width_ + x) * 3;
  rgb_[i] = p.r;
  rgb_[i + 1] = p.g;
  rgb_[i + 2] = p.b;
}

void Image::Blend(int x, int y, Pixel p, float alpha) {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
  alpha = std::clamp(alpha, 0.0f, 1.0f);
  Pixel o = At(x, y);
  auto mix = [alpha](std::uint8_t a, std::uint8_t b) {
    return static_cast<std::uint8_t>(std::lround(a + (b - a) * alpha));
  };
  Set(x, y, {mix(o.r, p.r), mix(o.g, p.g), mix(o.b, p.b)});
}

void Image::FillRect(int x, int y, int w, int h, Pixel p) {
  for (int j = y; j < y + h; ++j) {
    for (int i = x; i < x + w; ++i) Set(i, j, p);
  }
}

void Image::Gradient(int x, int y, int w, int h, Pixel top, Pixel bottom) {
  for (int j = 0; j < h; ++j) {
    float t = h > 1 ? static_cast<float>(j) / (h - 1) : 0;
    auto mix = [t](std::uint8_t a, std::uint8_t b) {
      return static_cast<std::uint8_t>(std::lround(a + (b - a) * t));
    };
    Pixel p{mix(top.r, bottom.r), mix(top.g, bottom.g), mix(top.b, bottom.b)};
    for (int i = x; i < x + w; ++i) Set(i, y + j, p);
  }
}

void Image::FillCircle(float cx, float cy, float r, Pixel p, float alpha) {
  for (int y = static_cast<int>(cy - r - 1); y <= static_cast<int>(cy + r + 1); ++y) {
    for (int x = static_cast<int>(cx - r - 1); x <= static_cast<int>(cx + r + 1); ++x) {
      float d = std::hypot(x + 0.5f - cx, y + 0.5f - cy);
      float cover = std::clamp(r - d + 0.5f, 0.0f, 1.0f);
      if (cover > 0) Blend(x, y, p, cover * alpha);
    }
  }
}

void Image::Paste(const Image& src, int x, int y) {
  for (int j = 0; j < src.height(); ++j) {
    for (int i = 0; i < src.width(); ++i) Set(x + i, y + j, src.At(i, j));
  }
}

Image Image::Downsample(int factor) const {
  Image out(width_ / factor, height_ / factor);
  const int n = factor * factor;
  for (int y = 0; y < out.height(); ++y) {
    for (int x = 0; x < out.width(); ++x) {
      int r = 0, g = 0, b = 0;
      for (int j = 0; j < factor; ++j) {
        for (int i = 0; i < factor; ++i) {
          Pixel p = At(x * factor + i, y * factor + j);
          r += p.r;
          g += p.g;
          b += p.b;
        }
      }
      out.Set(
          x, y,
          {static_cast<std::uint8_t>((r + n / 2) / n), static_cast<std::uint8_t>((g + n / 2) / n),
           static_cast<std::uint8_t>((b + n / 2) / n)});
    }
  }
  return out;
}

Image Image::Upscale(int factor) const {
  Image out(width_ * factor, height_ * factor);
  for (int y = 0; y < out.height(); ++y) {
    for (int x = 0; x < out.width(); ++x) out.Set(x, y, At(x / factor, y / factor));
  }
  return out;
}

std::string BmpBytes(const Image& image) {
  const int w = image.width(), h = image.height();
  const int row = (w * 3 + 3) / 4 * 4;
  const std::uint32_t pixel_bytes = static_cast<std::uint32_t>(row) * h;
  std::string out;
  auto u16 = [&out](std::uint32_t v) {
    out += static_cast<char>(v & 0xFF);
    out += static_cast<char>((v >> 8) & 0xFF);
  };
  auto u32 = [&u16](std::uint32_t v) {
    u16(v & 0xFFFF);
    u16(v >> 16);
  };
  out += "BM";
  u32(54 + pixel_bytes);
  u32(0);
  u32(54);
  u32(40);
  u32(static_cast<std::uint32_t>(w));
  u32(static_cast<std::uint32_t>(h));
  u16(1);
  u16(24);
  u32(0);
  u32(pixel_bytes);
  u32(2835);
  u32(2835);
  u32(0);
  u32(0);
  for (int y = h - 1; y >= 0; --y) {
    for (int x = 0; x < w; ++x) {
      Pixel p = image.At(x, y);
      out += static_cast<char>(p.b);
      out += static_cast<char>(p.g);
      out += static_cast<char>(p.r);
    }
    for (int pad = w * 3; pad < row; ++pad) out += '\0';
  }
  return out;
}

bool WritePng(const Image& image, const std::string& path) {
  return stbi_write_png(path.c_str(), image.width(), image.height(), 3, image.rgb().data(),
                        image.width() * 3) != 0;
}

}  // namespace assetgen
