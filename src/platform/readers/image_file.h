#pragma once
// Reading `.bmp` pictures into RGBA bytes for textures. No drawing here.
#include <cstdint>
#include <string>
#include <vector>

namespace bf {

struct RgbaImage {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> rgba;  // rows top to bottom, alpha always 255
};

// Reads a .bmp file. On failure returns false with one line naming the file in *error.
bool ReadBmpFile(const std::string& path, RgbaImage* image, std::string* error);

}  // namespace bf
