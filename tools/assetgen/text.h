#pragma once
// Text drawn into pictures from a TrueType font file.
#include <string>
#include <vector>

#include "image.h"

namespace assetgen {

class Font {
 public:
  // Reads the font file; ok() is false when it cannot be read.
  explicit Font(const std::string& path);
  ~Font();
  Font(const Font&) = delete;
  Font& operator=(const Font&) = delete;

  bool ok() const { return info_ != nullptr; }
  float Width(const std::string& text, float pixelHeight) const;
  // Draws `text` with its left end at x and its baseline at y, antialiased.
  void Draw(Image* image, const std::string& text, float pixelHeight, float x, float y,
            Pixel colour, float alpha = 1) const;
  // The coverage (0..1) of `text` rendered the same way, as a width x height mask.
  std::vector<float> Mask(const std::string& text, float pixelHeight, float x, float y, int width,
                          int height) const;

 private:
  std::vector<unsigned char> data_;
  void* info_ = nullptr;
};

}  // namespace assetgen
