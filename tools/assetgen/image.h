#pragma once
// RGB pictures in memory, with the few drawing operations the generated pictures need.
#include <cstdint>
#include <string>
#include <vector>

namespace assetgen {

struct Pixel {
  std::uint8_t r = 0, g = 0, b = 0;
};

class Image {
 public:
  Image(int width, int height, Pixel fill = {});

  int width() const { return width_; }
  int height() const { return height_; }
  const std::vector<std::uint8_t>& rgb() const { return rgb_; }

  Pixel At(int x, int y) const;
  void Set(int x, int y, Pixel p);
  // Mixes `p` over the pixel by `alpha` (0..1); outside the picture does nothing.
  void Blend(int x, int y, Pixel p, float alpha);
  void FillRect(int x, int y, int w, int h, Pixel p);
  // Vertical gradient from `top` to `bottom` over the given rows.
  void Gradient(int x, int y, int w, int h, Pixel top, Pixel bottom);
  void FillCircle(float cx, float cy, float r, Pixel p, float alpha = 1);
  // Copies `src` with its top left corner at (x, y).
  void Paste(const Image& src, int x, int y);
  // Averages `factor` x `factor` blocks: antialiasing after rendering at a larger size.
  Image Downsample(int factor) const;
  // Each pixel becomes a `factor` x `factor` block: for looking at small pictures.
  Image Upscale(int factor) const;

 private:
  int width_, height_;
  std::vector<std::uint8_t> rgb_;
};

// 24-bit uncompressed BMP, rows bottom to top as the format wants.
std::string BmpBytes(const Image& image);
bool WritePng(const Image& image, const std::string& path);

}  // namespace assetgen
