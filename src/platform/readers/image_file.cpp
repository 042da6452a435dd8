#include "platform/readers/image_file.h"

#include <SDL.h>

#include <cstdlib>
#include <cstring>

#include "platform/files/files.h"

namespace bf {
namespace {

std::int32_t ReadInt(const std::string& bytes, std::size_t at, int size) {
  std::uint32_t value = 0;
  for (int i = size - 1; i >= 0; --i)
    value = (value << 8) | static_cast<std::uint8_t>(bytes[at + i]);
  if (size == 2) return static_cast<std::int16_t>(value);
  return static_cast<std::int32_t>(value);
}

// Looks at the header before SDL does: a corrupted size must not make it allocate gigabytes.
bool CheckHeader(const std::string& bytes, std::string* reason) {
  if (bytes.size() < 26 || bytes[0] != 'B' || bytes[1] != 'M') {
    *reason = "not a .bmp file";
    return false;
  }
  const std::int32_t headerSize = ReadInt(bytes, 14, 4);
  const bool core = headerSize == 12;  // the old OS/2 header has 16-bit sizes
  const std::int64_t width = ReadInt(bytes, 18, core ? 2 : 4);
  const std::int64_t height = ReadInt(bytes, core ? 20 : 22, core ? 2 : 4);
  if (width < 1 || width > kMaxTextureSide || height == 0 || height < -kMaxTextureSide ||
      height > kMaxTextureSide) {
    *reason = "unsupported size " + std::to_string(width) + " x " + std::to_string(height);
    return false;
  }
  // A run-length encoded picture of a few bytes may still be millions of pixels.
  if (width * std::abs(height) > kMaxTexturePixels) {
    *reason = std::to_string(width) + " x " + std::to_string(std::abs(height)) +
              " pixels, more than a texture may have (" + std::to_string(kMaxTexturePixels) + ")";
    return false;
  }
  return true;
}

}  // namespace

bool ReadBmpFile(const std::string& path, RgbaImage* image, std::string* error) {
  *image = RgbaImage();
  std::string bytes, reason;
  if (!ReadAssetFile(path, AssetKind::kTexture, &bytes, &reason) || !CheckHeader(bytes, &reason)) {
    *error = "cannot load texture '" + path + "': " + reason;
    return false;
  }
  SDL_Surface* loaded =
      SDL_LoadBMP_RW(SDL_RWFromConstMem(bytes.data(), static_cast<int>(bytes.size())), 1);
  if (!loaded) {
    *error = "cannot load texture '" + path + "': " + SDL_GetError();
    return false;
  }
  if (loaded->w < 1 || loaded->h < 1 || loaded->w > kMaxTextureSide ||
      loaded->h > kMaxTextureSide ||
      static_cast<std::int64_t>(loaded->w) * loaded->h > kMaxTexturePixels) {
    SDL_FreeSurface(loaded);
    *error = "cannot load texture '" + path + "': unsupported size";
    return false;
  }
  SDL_Surface* rgba = SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_RGBA32, 0);
  SDL_FreeSurface(loaded);
  if (!rgba) {
    *error = "cannot load texture '" + path + "': " + SDL_GetError();
    return false;
  }
  image->width = rgba->w;
  image->height = rgba->h;
  image->rgba.resize(static_cast<std::size_t>(rgba->w) * rgba->h * 4);
  SDL_LockSurface(rgba);
  for (int y = 0; y < rgba->h; ++y) {
    const auto* row = static_cast<const std::uint8_t*>(rgba->pixels) + y * rgba->pitch;
    std::uint8_t* out = &image->rgba[static_cast<std::size_t>(y) * rgba->w * 4];
    std::memcpy(out, row, static_cast<std::size_t>(rgba->w) * 4);
    for (int x = 0; x < rgba->w; ++x) out[x * 4 + 3] = 255;
  }
  SDL_UnlockSurface(rgba);
  SDL_FreeSurface(rgba);
  return true;
}

}  // namespace bf
