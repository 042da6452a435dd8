#include "platform/pixels/pixel_surface.h"

#include <SDL_ttf.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "platform/pixels/pictures.h"

namespace bf {
namespace {

constexpr Rgb kTextColour{0, 0, 0};

// A fractional coordinate to its pixel: the nearest one, halves going right or down, so that a
// bar edge at x0 + width reaches that column and an edge at x0 stays on x0. Far-off and
// non-finite values are pulled to just outside the surface so they clip like any other.
int PixelOf(double coordinate, int limit) {
  const double clamped = std::clamp(coordinate, -1.0, static_cast<double>(limit));
  return static_cast<int>(std::floor(clamped + 0.5));
}

std::uint8_t Mix(std::uint8_t under, std::uint8_t over, int alpha) {
  return static_cast<std::uint8_t>((under * (255 - alpha) + over * alpha + 127) / 255);
}

}  // namespace

PixelSurface::PixelSurface(int width, int height, Rgb background, int textPixels)
    : width_(width),
      height_(height),
      background_(background),
      pixels_(static_cast<std::size_t>(width) * height * 3),
      sourceColumns_(static_cast<std::size_t>(std::max(width, 0))),
      title_(&TitlePicture()),
      spriteSheet_(&SpriteSheetPicture()),
      textPixels_(textPixels),
      fontPath_(BF_FONT_PATH) {
  Clear();
}

PixelSurface::~PixelSurface() {
  if (font_ != nullptr) {
    TTF_CloseFont(font_);
    TTF_Quit();
  }
  for (BoldFace& face : boldFaces_) {
    if (face.font == nullptr) continue;
    TTF_CloseFont(face.font);
    TTF_Quit();
  }
}

void PixelSurface::Clear() {
  for (std::size_t i = 0; i < pixels_.size(); i += 3) {
    pixels_[i] = background_.r;
    pixels_[i + 1] = background_.g;
    pixels_[i + 2] = background_.b;
  }
  dirty_ = true;
}

// Nearest neighbour, like a stretch in copy mode: each destination pixel takes the source pixel
// under its centre. Pixels outside the surface or outside the picture are left alone.
void PixelSurface::StretchCopy(PictureId picture, int sx, int sy, int sw, int sh, int dx, int dy,
                               int dw, int dh) {
  if (sw <= 0 || sh <= 0 || dw <= 0 || dh <= 0) return;
  const EmbeddedPicture& source = picture == PictureId::kTitle ? *title_ : *spriteSheet_;
  const int firstX = std::max(0, -dx), lastX = std::min(dw, width_ - dx);
  const int firstY = std::max(0, -dy), lastY = std::min(dh, height_ - dy);
  if (firstX >= lastX || firstY >= lastY) return;
  // The source column of each destination column, worked out once for all rows; -1 = none.
  for (int i = firstX; i < lastX; ++i) {
    const int srcX = sx + static_cast<int>((2LL * i + 1) * sw / (2LL * dw));
    sourceColumns_[i - firstX] = (srcX < 0 || srcX >= source.width) ? -1 : srcX;
  }
  for (int j = firstY; j < lastY; ++j) {
    const int srcY = sy + static_cast<int>((2LL * j + 1) * sh / (2LL * dh));
    if (srcY < 0 || srcY >= source.height) continue;
    const std::uint8_t* fromRow = source.rgb + static_cast<std::size_t>(srcY) * source.width * 3;
    std::uint8_t* to = &pixels_[(static_cast<std::size_t>(dy + j) * width_ + dx + firstX) * 3];
    for (int i = firstX; i < lastX; ++i, to += 3) {
      const int srcX = sourceColumns_[i - firstX];
      if (srcX < 0) continue;
      const std::uint8_t* from = fromRow + static_cast<std::size_t>(srcX) * 3;
      to[0] = from[0];
      to[1] = from[1];
      to[2] = from[2];
    }
  }
  dirty_ = true;
}

void PixelSurface::SetTextPosition(int x, int y) {
  textX_ = x;
  textY_ = y;
  Plot(x, y, kTextColour);
}

// The text's top-left corner sits at the text position; afterwards the position moves to the
// start of the next line, as a print does.
void PixelSurface::Print(std::string_view text) {
  if (const TextImage* image = FindOrRenderText(text)) {
    BlendText(*image, textX_, textY_, kTextColour);
    textY_ += image->height;
  }
  textX_ = 0;
}

void PixelSurface::PrintAt(int x, int y, std::string_view text, Rgb colour) {
  if (const TextImage* image = FindOrRenderText(text)) BlendText(*image, x, y, colour);
}

int PixelSurface::TextWidth(std::string_view text) {
  int width = 0;
  if (text.empty() || !OpenFont()) return 0;
  const std::string line(text);
  return TTF_SizeUTF8(font_, line.c_str(), &width, nullptr) == 0 ? width : 0;
}

bool PixelSurface::CoversText(std::string_view text) {
  if (!OpenFont()) return false;
  for (std::size_t at = 0; at < text.size();) {
    const auto lead = static_cast<unsigned char>(text[at]);
    const int length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
    Uint32 code = length == 1 ? lead : lead & (0x3F >> (length - 1));
    for (int i = 1; i < length && at + i < text.size(); ++i)
      code = (code << 6) | (static_cast<unsigned char>(text[at + i]) & 0x3F);
    if (code >= ' ' && !TTF_GlyphIsProvided32(font_, code)) return false;
    at += length;
  }
  return true;
}

void PixelSurface::RectOutline(int x1, int y1, int x2, int y2, Rgb colour) {
  if (x1 > x2) std::swap(x1, x2);
  if (y1 > y2) std::swap(y1, y2);
  FillPixels(x1, y1, x2, y1, colour);
  FillPixels(x1, y2, x2, y2, colour);
  FillPixels(x1, y1, x1, y2, colour);
  FillPixels(x2, y1, x2, y2, colour);
}

void PixelSurface::FillRect(double x1, double y1, double x2, double y2, Rgb colour) {
  if (std::isnan(x1) || std::isnan(y1) || std::isnan(x2) || std::isnan(y2)) return;
  FillPixels(PixelOf(x1, width_), PixelOf(y1, height_), PixelOf(x2, width_), PixelOf(y2, height_),
             colour);
}

Rgb PixelSurface::PixelAt(int x, int y) const {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return background_;
  const std::uint8_t* p = &pixels_[(static_cast<std::size_t>(y) * width_ + x) * 3];
  return Rgb{p[0], p[1], p[2]};
}

void PixelSurface::Plot(int x, int y, Rgb colour) {
  FillPixels(x, y, x, y, colour);
}

// Both corners included, in either order, clipped to the surface.
void PixelSurface::FillPixels(int x1, int y1, int x2, int y2, Rgb colour) {
  if (x1 > x2) std::swap(x1, x2);
  if (y1 > y2) std::swap(y1, y2);
  x1 = std::max(x1, 0);
  y1 = std::max(y1, 0);
  x2 = std::min(x2, width_ - 1);
  y2 = std::min(y2, height_ - 1);
  for (int y = y1; y <= y2; ++y) {
    std::uint8_t* p = &pixels_[(static_cast<std::size_t>(y) * width_ + x1) * 3];
    for (int x = x1; x <= x2; ++x, p += 3) {
      p[0] = colour.r;
      p[1] = colour.g;
      p[2] = colour.b;
    }
  }
  dirty_ = true;
}

// The face is opened once, on the first print; a face that cannot be opened is reported once
// and the surface then prints nothing.
bool PixelSurface::OpenFont() {
  if (font_ != nullptr) return true;
  if (fontFailed_) return false;
  if (TTF_Init() != 0) {
    std::fprintf(stderr, "text disabled: %s\n", TTF_GetError());
    fontFailed_ = true;
    return false;
  }
  font_ = TTF_OpenFont(fontPath_, textPixels_);
  if (font_ == nullptr) {
    std::fprintf(stderr, "text disabled: %s\n", TTF_GetError());
    TTF_Quit();
    fontFailed_ = true;
    return false;
  }
  TTF_SetFontHinting(font_, TTF_HINTING_NORMAL);
  return true;
}

// Renders one line with the font and keeps its coverage in `entry`; false when nothing came out.
bool PixelSurface::RenderCoverage(_TTF_Font* font, const std::string& line, TextImage& entry) {
  SDL_Surface* rendered = TTF_RenderUTF8_Blended(font, line.c_str(), SDL_Color{0, 0, 0, 255});
  if (rendered == nullptr) return false;
  SDL_Surface* argb = SDL_ConvertSurfaceFormat(rendered, SDL_PIXELFORMAT_ARGB8888, 0);
  SDL_FreeSurface(rendered);
  if (argb == nullptr) return false;
  entry.text = line;
  entry.width = argb->w;
  entry.height = argb->h;
  entry.coverage.assign(static_cast<std::size_t>(argb->w) * argb->h, 0);
  SDL_LockSurface(argb);
  for (int y = 0; y < argb->h; ++y) {
    const auto* row = reinterpret_cast<const std::uint32_t*>(
        static_cast<const std::uint8_t*>(argb->pixels) + static_cast<std::size_t>(y) * argb->pitch);
    for (int x = 0; x < argb->w; ++x) {
      entry.coverage[static_cast<std::size_t>(y) * argb->w + x] =
          static_cast<std::uint8_t>(row[x] >> 24);
    }
  }
  SDL_UnlockSurface(argb);
  SDL_FreeSurface(argb);
  return true;
}

namespace {

// The outline grows with the letters, so large words keep a frame as thick as small ones look.
int OutlineWidth(int pixels) {
  return std::max(1, pixels / 12);
}

}  // namespace

const PixelSurface::TextImage* PixelSurface::FindOrRenderText(std::string_view text) {
  for (const TextImage& entry : textCache_) {
    if (entry.height > 0 && entry.text == text) return &entry;
  }
  if (text.empty() || !OpenFont()) return nullptr;
  TextImage& entry = textCache_[nextCacheEntry_];
  nextCacheEntry_ = (nextCacheEntry_ + 1) % kTextCacheSize;
  if (!RenderCoverage(font_, std::string(text), entry)) {
    entry.height = 0;
    return nullptr;
  }
  return &entry;
}

_TTF_Font* PixelSurface::BoldFont(int pixels) {
  for (BoldFace& face : boldFaces_) {
    if (face.pixels == pixels) return face.font;
  }
  for (BoldFace& face : boldFaces_) {
    if (face.pixels != 0) continue;
    face.pixels = pixels;
    if (TTF_Init() != 0) return nullptr;
    face.font = TTF_OpenFont(BF_BOLD_FONT_PATH, pixels);
    if (face.font == nullptr) {
      std::fprintf(stderr, "words disabled: %s\n", TTF_GetError());
      TTF_Quit();
      return nullptr;
    }
    TTF_SetFontHinting(face.font, TTF_HINTING_NORMAL);
    return face.font;
  }
  return nullptr;
}

// The outline is the same words rendered with SDL_ttf's outline, in near-black under the
// letters, so the words read on the brightest tile and the darkest sky alike.
void PixelSurface::PrintOutlined(int x, int y, std::string_view text, int pixels, Rgb colour) {
  _TTF_Font* font = text.empty() ? nullptr : BoldFont(pixels);
  if (font == nullptr) return;
  const int outline = OutlineWidth(pixels);
  const std::string line(text);
  TTF_SetFontOutline(font, outline);
  const bool framed = RenderCoverage(font, line, outlined_);
  TTF_SetFontOutline(font, 0);
  if (framed) BlendText(outlined_, x, y, {16, 12, 24});
  if (RenderCoverage(font, line, outlined_)) BlendText(outlined_, x + outline, y + outline, colour);
}

int PixelSurface::OutlinedWidth(std::string_view text, int pixels) {
  _TTF_Font* font = text.empty() ? nullptr : BoldFont(pixels);
  if (font == nullptr) return 0;
  int width = 0;
  const std::string line(text);
  return TTF_SizeUTF8(font, line.c_str(), &width, nullptr) == 0 ? width + 2 * OutlineWidth(pixels)
                                                                : 0;
}

// Antialiased text laid over what is already there.
void PixelSurface::BlendText(const TextImage& image, int x, int y, Rgb colour) {
  for (int j = 0; j < image.height; ++j) {
    const int py = y + j;
    if (py < 0 || py >= height_) continue;
    for (int i = 0; i < image.width; ++i) {
      const int px = x + i;
      const int alpha = image.coverage[static_cast<std::size_t>(j) * image.width + i];
      if (px < 0 || px >= width_ || alpha == 0) continue;
      std::uint8_t* p = &pixels_[(static_cast<std::size_t>(py) * width_ + px) * 3];
      p[0] = Mix(p[0], colour.r, alpha);
      p[1] = Mix(p[1], colour.g, alpha);
      p[2] = Mix(p[2], colour.b, alpha);
    }
  }
  dirty_ = true;
}

}  // namespace bf
