#include "platform/gl/image_file.h"

#include <SDL.h>

#include <cstring>

namespace bf {
namespace {

constexpr int kMaxTextureSide = 4096;

}  // namespace

bool ReadBmpFile(const std::string& path, RgbaImage* image, std::string* error) {
  *image = RgbaImage();
  SDL_Surface* loaded = SDL_LoadBMP(path.c_str());
  if (!loaded) {
    *error = "cannot load texture '" + path + "': " + SDL_GetError();
    return false;
  }
  if (loaded->w < 1 || loaded->h < 1 || loaded->w > kMaxTextureSide ||
      loaded->h > kMaxTextureSide) {
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
