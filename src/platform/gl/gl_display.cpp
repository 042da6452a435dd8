#include "platform/gl/gl_display.h"

#include <SDL.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <vector>

#include "platform/files/files.h"
#include "platform/gl/gl_program.h"
#include "platform/gl/gl_scene.h"
#include "platform/gl/screen_fit.h"
#include "platform/pixels/pixel_surface.h"

namespace bf {
namespace {

constexpr int kAreaX = 10;
constexpr int kAreaY = 30;
// The output picture box is 620 x 420: the device's bottom 10 rows stay hidden.
constexpr int kAreaHeight = 420;
constexpr int kPanelX[4] = {10, 320, 10, 320};
constexpr int kPanelY[4] = {10, 10, 450, 450};
// The notice's words are larger than the form's, to be read from the sofa.
constexpr int kNoticeTextPixels = 16;

// One textured rectangle in screen pixels (y from the top), drawn without any vertex buffer.
const char* kComposeVertexShader = R"(#version 330 core
uniform vec4 uDestination;
uniform vec4 uSource;
out vec2 vUv;
void main() {
  vec2 corner = vec2(gl_VertexID & 1, gl_VertexID >> 1);
  vec2 pixel = uDestination.xy + corner * uDestination.zw;
  gl_Position = vec4(pixel.x / 320.0 - 1.0, 1.0 - pixel.y / 240.0, 0.0, 1.0);
  vUv = mix(uSource.xy, uSource.zw, corner);
}
)";

const char* kComposeFragmentShader = R"(#version 330 core
in vec2 vUv;
uniform sampler2D uTexture;
uniform bool uQuantize;
uniform bool uSeeThrough;
out vec4 fragColour;
void main() {
  vec3 colour = texture(uTexture, vUv).rgb;
  // The battle overlay's magenta lets the views show through.
  if (uSeeThrough && colour.r > 0.99 && colour.g < 0.01 && colour.b > 0.99) discard;
  if (uQuantize) {
    const vec3 levels = vec3(31.0, 63.0, 31.0);
    colour = floor(colour * levels + 0.5) / levels;
  }
  fragColour = vec4(colour, 1.0);
}
)";

// The battle overlay's tiles that hold anything, one instance each, drawn with the compose
// fragment shader; the overlay's texture maps pixel for pixel.
const char* kTileVertexShader = R"(#version 330 core
layout(location = 0) in vec2 aTile;
uniform vec2 uOrigin;
uniform vec2 uTileSize;
uniform vec2 uOverlaySize;
out vec2 vUv;
void main() {
  vec2 corner = vec2(gl_VertexID & 1, gl_VertexID >> 1);
  vec2 local = aTile + corner * uTileSize;
  vec2 pixel = uOrigin + local;
  gl_Position = vec4(pixel.x / 320.0 - 1.0, 1.0 - pixel.y / 240.0, 0.0, 1.0);
  vUv = local / uOverlaySize;
}
)";

// The screen stretched over the whole viewport it is given.
const char* kPresentVertexShader = R"(#version 330 core
out vec2 vUv;
void main() {
  vec2 corner = vec2(gl_VertexID & 1, gl_VertexID >> 1);
  vUv = corner;
  gl_Position = vec4(corner * 2.0 - 1.0, 0.0, 1.0);
}
)";

// "Sharp bilinear": the screen as if first enlarged pixel for pixel by the whole factor
// uPrescale, then filtered to the window. Inside each screen pixel the sample stays on the
// pixel's centre; only across the last output pixel before a neighbour does it slide over, so
// text stays sharp and only the remaining fraction of the scale is blended.
const char* kPresentFragmentShader = R"(#version 330 core
in vec2 vUv;
uniform sampler2D uScreen;
uniform vec2 uPrescale;
out vec4 fragColour;
void main() {
  vec2 size = vec2(textureSize(uScreen, 0));
  vec2 texel = vUv * size;
  vec2 offset = fract(texel) - 0.5;
  vec2 still = 0.5 - 0.5 / uPrescale;
  vec2 slide = (offset - clamp(offset, -still, still)) * uPrescale;
  fragColour = vec4(texture(uScreen, (floor(texel) + 0.5 + slide) / size).rgb, 1.0);
}
)";

GLuint CreateSurfaceTexture(int width, int height, GLenum format = GL_RGB8) {
  GLuint id = 0;
  glGenTextures(1, &id);
  glBindTexture(GL_TEXTURE_2D, id);
  glTexImage2D(GL_TEXTURE_2D, 0, format, width, height, 0, GL_RGB, GL_UNSIGNED_BYTE, nullptr);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
  return id;
}

// A software renderer presents on the CPU, through X11's window surface: SDL's other drivers
// have no window surface that can live beside a GL context. BF_PRESENT=gl or cpu decides instead.
bool ChoosePresentOnCpu() {
  const char* driver = SDL_GetCurrentVideoDriver();
  if (driver == nullptr || std::strcmp(driver, "x11") != 0) return false;
  if (const char* asked = std::getenv("BF_PRESENT")) return std::strcmp(asked, "cpu") == 0;
  const auto* renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
  return renderer != nullptr &&
         (std::strstr(renderer, "llvmpipe") || std::strstr(renderer, "softpipe") ||
          std::strstr(renderer, "Software Rasterizer"));
}

void WriteRgb(std::uint32_t pixel, std::uint8_t* out) {
  out[0] = static_cast<std::uint8_t>(pixel >> 16);
  out[1] = static_cast<std::uint8_t>(pixel >> 8);
  out[2] = static_cast<std::uint8_t>(pixel);
}

// Window surfaces hold 32-bit pixels as 0xAARRGGBB on X11's usual visuals; others go through GL.
bool ScalableSurface(const SDL_Surface* surface) {
  return surface != nullptr && (surface->format->format == SDL_PIXELFORMAT_RGB888 ||
                                surface->format->format == SDL_PIXELFORMAT_ARGB8888);
}

}  // namespace

GlDisplay::GlDisplay(SDL_Window* window, PixelSurface& form, PixelSurface* const panels[4],
                     GlScene& scene)
    : window_(window), scene_(scene), form_{&form, 0} {
  for (int i = 0; i < 4; ++i) panels_[i] = {panels[i], 0};
  noticeSurface_ =
      std::make_unique<PixelSurface>(kNoticeWidth, kNoticeHeight, Rgb{0, 0, 0}, kNoticeTextPixels);
  notice_.surface = noticeSurface_.get();
}

GlDisplay::~GlDisplay() {
  if (form_.texture) glDeleteTextures(1, &form_.texture);
  for (Layer& panel : panels_)
    if (panel.texture) glDeleteTextures(1, &panel.texture);
  if (overlay_.texture) glDeleteTextures(1, &overlay_.texture);
  if (notice_.texture) glDeleteTextures(1, &notice_.texture);
  if (battleOverlay_.texture) glDeleteTextures(1, &battleOverlay_.texture);
  if (program_) glDeleteProgram(program_);
  if (presentProgram_) glDeleteProgram(presentProgram_);
  if (tileProgram_) glDeleteProgram(tileProgram_);
  if (tileVao_) glDeleteVertexArrays(1, &tileVao_);
  if (tileBuffer_) glDeleteBuffers(1, &tileBuffer_);
  if (emptyVao_) glDeleteVertexArrays(1, &emptyVao_);
  if (screenFramebuffer_) glDeleteFramebuffers(1, &screenFramebuffer_);
  if (screenColour_) glDeleteTextures(1, &screenColour_);
}

bool GlDisplay::Init(std::string* error) {
  program_ = BuildProgram("compose", kComposeVertexShader, kComposeFragmentShader, error);
  if (!program_) return false;
  destinationUniform_ = glGetUniformLocation(program_, "uDestination");
  sourceUniform_ = glGetUniformLocation(program_, "uSource");
  presentProgram_ = BuildProgram("present", kPresentVertexShader, kPresentFragmentShader, error);
  if (!presentProgram_) return false;
  prescaleUniform_ = glGetUniformLocation(presentProgram_, "uPrescale");
  glUseProgram(presentProgram_);
  glUniform1i(glGetUniformLocation(presentProgram_, "uScreen"), 0);
  glUseProgram(0);
  glGenVertexArrays(1, &emptyVao_);
  if (!InitOverlayTiles(error)) return false;
  screenPixels_.resize(static_cast<std::size_t>(kScreenWidth) * kScreenHeight);
  presentOnCpu_ = ChoosePresentOnCpu();
  // SDL would otherwise make the window surface a texture of its own renderer, a second GL
  // context on the window.
  if (presentOnCpu_) {
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    x11Picture_ = X11Picture::Create(window_);
  }

  form_.texture = CreateSurfaceTexture(form_.surface->width(), form_.surface->height());
  for (Layer& panel : panels_)
    panel.texture = CreateSurfaceTexture(panel.surface->width(), panel.surface->height());
  notice_.texture = CreateSurfaceTexture(kNoticeWidth, kNoticeHeight);
  battleOverlay_.texture = CreateSurfaceTexture(kBattleOverlayWidth, kBattleOverlayHeight);

  // The screen is composed in 16 bits for the look of a 640 x 480 x 16 display mode, into a
  // texture the window's picture is then sampled from.
  glGenFramebuffers(1, &screenFramebuffer_);
  glBindFramebuffer(GL_FRAMEBUFFER, screenFramebuffer_);
  for (GLenum format : {GL_RGB565, GL_RGBA8}) {
    if (screenColour_) glDeleteTextures(1, &screenColour_);
    screenColour_ = CreateSurfaceTexture(kScreenWidth, kScreenHeight, format);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, screenColour_, 0);
    if (glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE) {
      quantize_ = format != GL_RGB565;
      glBindFramebuffer(GL_FRAMEBUFFER, 0);
      SetFixedUniforms();
      return true;
    }
  }
  glBindFramebuffer(GL_FRAMEBUFFER, 0);
  *error = "no 640 x 480 screen framebuffer could be made";
  return false;
}

Surface2D& GlDisplay::Form() {
  return *form_.surface;
}

Surface2D& GlDisplay::Panel(int player) {
  return *panels_[player & 3].surface;
}

Surface2D* GlDisplay::Notice() {
  return noticeSurface_.get();
}

// What the notice covered is composed again when it goes.
void GlDisplay::ShowNotice(int width, int height) {
  if (width == noticeWidth_ && height == noticeHeight_) return;
  noticeWidth_ = width;
  noticeHeight_ = height;
  composed_ = false;
}

// Everything under the overlay is composed again when it comes or goes.
void GlDisplay::SetOverlay(PixelSurface* overlay) {
  if (overlay_.texture) glDeleteTextures(1, &overlay_.texture);
  overlay_ = {overlay, 0};
  if (overlay != nullptr) {
    overlay_.texture = CreateSurfaceTexture(overlay->width(), overlay->height());
    overlay->TakeDirty();
    UploadSurface(overlay_);
  }
  composed_ = false;
}

// The compose shader's settings that never change: the tiles of the battle overlay are the only
// see-through drawing, and the screen's format decides the rounding once.
void GlDisplay::SetFixedUniforms() {
  for (const GLuint program : {program_, tileProgram_}) {
    glUseProgram(program);
    glUniform1i(glGetUniformLocation(program, "uTexture"), 0);
    glUniform1i(glGetUniformLocation(program, "uQuantize"), quantize_);
    glUniform1i(glGetUniformLocation(program, "uSeeThrough"), program == tileProgram_);
  }
  glUseProgram(0);
}

bool GlDisplay::InitOverlayTiles(std::string* error) {
  tileProgram_ = BuildProgram("overlay tiles", kTileVertexShader, kComposeFragmentShader, error);
  if (!tileProgram_) return false;
  glUseProgram(tileProgram_);
  glUniform2f(glGetUniformLocation(tileProgram_, "uOrigin"), kAreaX, kAreaY);
  glUniform2f(glGetUniformLocation(tileProgram_, "uTileSize"), kTileSize, kTileSize);
  glUniform2f(glGetUniformLocation(tileProgram_, "uOverlaySize"), kBattleOverlayWidth,
              kBattleOverlayHeight);
  glUseProgram(0);
  glGenVertexArrays(1, &tileVao_);
  glGenBuffers(1, &tileBuffer_);
  glBindVertexArray(tileVao_);
  glBindBuffer(GL_ARRAY_BUFFER, tileBuffer_);
  glBufferData(GL_ARRAY_BUFFER, sizeof(tiles_), nullptr, GL_DYNAMIC_DRAW);
  glEnableVertexAttribArray(0);
  glVertexAttribPointer(0, 2, GL_FLOAT, GL_FALSE, sizeof(tiles_[0]), nullptr);
  glVertexAttribDivisor(0, 1);
  glBindVertexArray(0);
  glBindBuffer(GL_ARRAY_BUFFER, 0);
  return true;
}

// A tile holds something when any of its pixels is not the see-through colour.
void GlDisplay::FindOverlayTiles() {
  const std::uint8_t* pixels = battleOverlaySurface_.pixels();
  const auto seeThrough = [&](int x, int y) {
    const std::uint8_t* p = pixels + (static_cast<std::size_t>(y) * kBattleOverlayWidth + x) * 3;
    return p[0] == kSeeThrough.r && p[1] == kSeeThrough.g && p[2] == kSeeThrough.b;
  };
  tileCount_ = 0;
  for (int top = 0; top < kBattleOverlayHeight; top += kTileSize) {
    for (int left = 0; left < kBattleOverlayWidth; left += kTileSize) {
      bool empty = true;
      for (int y = top; y < top + kTileSize && empty; ++y)
        for (int x = left; x < left + kTileSize && empty; ++x) empty = seeThrough(x, y);
      if (!empty) tiles_[tileCount_++] = {static_cast<float>(left), static_cast<float>(top)};
    }
  }
  glBindBuffer(GL_ARRAY_BUFFER, tileBuffer_);
  glBufferSubData(GL_ARRAY_BUFFER, 0, static_cast<GLsizeiptr>(sizeof(tiles_[0]) * tileCount_),
                  tiles_.data());
  glBindBuffer(GL_ARRAY_BUFFER, 0);
}

void GlDisplay::DrawOverlayTiles() {
  if (tileCount_ == 0) return;
  glUseProgram(tileProgram_);
  glBindTexture(GL_TEXTURE_2D, battleOverlay_.texture);
  glBindVertexArray(tileVao_);
  glDrawArraysInstanced(GL_TRIANGLE_STRIP, 0, 4, tileCount_);
  glBindVertexArray(emptyVao_);
  glUseProgram(program_);
}

void GlDisplay::UploadSurface(const Layer& layer) {
  glBindTexture(GL_TEXTURE_2D, layer.texture);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, layer.surface->width(), layer.surface->height(), GL_RGB,
                  GL_UNSIGNED_BYTE, layer.surface->pixels());
}

bool GlDisplay::UploadIfChanged(Layer& layer) {
  if (!layer.surface->TakeDirty()) return false;
  UploadSurface(layer);
  return true;
}

void GlDisplay::DrawRect(GLuint texture, float x, float y, float w, float h, float u0, float v0,
                         float u1, float v1) {
  glBindTexture(GL_TEXTURE_2D, texture);
  glUniform4f(destinationUniform_, x, y, w, h);
  glUniform4f(sourceUniform_, u0, v0, u1, v1);
  glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);
}

// Draws the form where the battle area leaves it visible (all of it when the area is hidden).
void GlDisplay::DrawForm() {
  const float w = kScreenWidth, h = kScreenHeight;
  if (!battleAreaVisible_) {
    DrawRect(form_.texture, 0, 0, w, h, 0, 0, 1, 1);
    return;
  }
  const float top = kAreaY, bottom = kAreaY + kAreaHeight, left = kAreaX,
              right = kAreaX + kDeviceWidth;
  DrawRect(form_.texture, 0, 0, w, top, 0, 0, 1, top / h);
  DrawRect(form_.texture, 0, bottom, w, h - bottom, 0, bottom / h, 1, 1);
  DrawRect(form_.texture, 0, top, left, bottom - top, 0, top / h, left / w, bottom / h);
  DrawRect(form_.texture, right, top, w - right, bottom - top, right / w, top / h, 1, bottom / h);
}

// The screen target keeps its picture, so the form is drawn again only when it changed; the
// device image and the panels over its top row are laid on every time.
bool GlDisplay::Compose() {
  bool formChanged = UploadIfChanged(form_);
  bool panelsChanged = false;
  for (Layer& panel : panels_) panelsChanged = UploadIfChanged(panel) || panelsChanged;
  const bool overlayChanged = overlay_.surface != nullptr && UploadIfChanged(overlay_);
  const bool noticeShown = noticeWidth_ > 0 && noticeHeight_ > 0;
  const bool noticeChanged = UploadIfChanged(notice_) && noticeShown;
  const bool battleOverlayChanged = UploadIfChanged(battleOverlay_);
  if (battleOverlayChanged) FindOverlayTiles();
  formChanged = formChanged || !composed_ || composedWithBattleArea_ != battleAreaVisible_;
  const bool deviceChanged = battleAreaVisible_ && scene_.updateCount() != composedUpdate_;
  // An idle screen (the selection screen waiting for a key) costs nothing.
  if (!formChanged && !panelsChanged && !deviceChanged && !overlayChanged && !noticeChanged &&
      !(battleAreaVisible_ && battleOverlayChanged)) {
    return false;
  }
  composed_ = true;
  composedWithBattleArea_ = battleAreaVisible_;
  composedUpdate_ = scene_.updateCount();

  if (battleAreaVisible_) scene_.CopyViewsToDevice();
  glBindFramebuffer(GL_FRAMEBUFFER, screenFramebuffer_);
  glViewport(0, 0, kScreenWidth, kScreenHeight);
  glDisable(GL_SCISSOR_TEST);
  glDisable(GL_DEPTH_TEST);
  glDisable(GL_CULL_FACE);
  glDisable(GL_BLEND);
  glUseProgram(program_);
  glActiveTexture(GL_TEXTURE0);
  glBindVertexArray(emptyVao_);

  if (formChanged) DrawForm();
  if (battleAreaVisible_) {
    if (scene_.device16Bit() && !quantize_) {
      // Same format on both sides: a plain copy of the device's top 420 rows.
      glBindFramebuffer(GL_READ_FRAMEBUFFER, scene_.deviceFramebuffer());
      glBlitFramebuffer(0, kDeviceHeight - kAreaHeight, kDeviceWidth, kDeviceHeight, kAreaX,
                        kScreenHeight - kAreaY - kAreaHeight, kAreaX + kDeviceWidth,
                        kScreenHeight - kAreaY, GL_COLOR_BUFFER_BIT, GL_NEAREST);
      glBindFramebuffer(GL_FRAMEBUFFER, screenFramebuffer_);
    } else {
      // The device image was rendered by GL, top row last: show its top 420 rows.
      const float hiddenRows = static_cast<float>(kDeviceHeight - kAreaHeight) / kDeviceHeight;
      DrawRect(scene_.deviceTexture(), kAreaX, kAreaY, kDeviceWidth, kAreaHeight, 0, 1, 1,
               hiddenRows);
    }
    DrawOverlayTiles();
    for (int i = 0; i < 4; ++i)
      DrawRect(panels_[i].texture, kPanelX[i], kPanelY[i], panels_[i].surface->width(),
               panels_[i].surface->height(), 0, 0, 1, 1);
  }
  if (noticeShown) {
    const float w = static_cast<float>(noticeWidth_), h = static_cast<float>(noticeHeight_);
    DrawRect(notice_.texture, static_cast<float>((kScreenWidth - noticeWidth_) / 2),
             static_cast<float>((kScreenHeight - noticeHeight_) / 2), w, h, 0, 0, w / kNoticeWidth,
             h / kNoticeHeight);
  }
  if (overlay_.surface != nullptr) {
    const int w = overlay_.surface->width(), h = overlay_.surface->height();
    DrawRect(overlay_.texture, static_cast<float>((kScreenWidth - w) / 2),
             static_cast<float>((kScreenHeight - h) / 2), static_cast<float>(w),
             static_cast<float>(h), 0, 0, 1, 1);
  }
  glBindVertexArray(0);
  return true;
}

// Scales the screen to the window's drawable area, keeping 4:3 with black bars: pixel for pixel
// by the largest whole factor, filtered only for what remains, so a whole factor is pure
// nearest neighbour.
void GlDisplay::ShowInWindow(bool clearBars) {
  if (DrawInWindow(clearBars)) ShowDrawn();
}

bool GlDisplay::DrawInWindow(bool clearBars) {
  // A hidden window (the headless runner's) shows nothing: there is nothing to scale into.
  if (SDL_GetWindowFlags(window_) & SDL_WINDOW_HIDDEN) return false;
  if (presentOnCpu_) {
    if (DrawOnCpu(clearBars)) return true;
    // No surface to draw into: GL presents from now on, the bars painted afresh.
    presentOnCpu_ = false;
    clearBars = true;
  }
  return DrawWithGl(clearBars);
}

void GlDisplay::ShowDrawn() {
  if (!presentOnCpu_) {
    SDL_GL_SwapWindow(window_);
    return;
  }
  const PixelRect& r = drawnOnCpu_;
  if (x11Picture_) {
    x11Picture_->Show(r.x, r.y, r.width, r.height);
    return;
  }
  const SDL_Rect rect{r.x, r.y, r.width, r.height};
  SDL_UpdateWindowSurfaceRects(window_, &rect, 1);
}

bool GlDisplay::LockWindowPixels(WindowPixels* out) {
  if (x11Picture_ && x11Picture_->Lock(out)) return true;
  // What cannot have its own picture (its size refused, say) goes on with SDL's.
  x11Picture_.reset();
  // The surface is made again after the window changes size.
  SDL_Surface* surface = SDL_GetWindowSurface(window_);
  if (!ScalableSurface(surface) || surface->w <= 0 || surface->h <= 0) return false;
  *out = {static_cast<std::uint32_t*>(surface->pixels), surface->w, surface->h, surface->pitch};
  return true;
}

bool GlDisplay::DrawOnCpu(bool clearBars) {
  WindowPixels picture;
  if (!LockWindowPixels(&picture)) return false;
  const PixelRect shown = FitScreen(picture.width, picture.height);
  if (!(shown == scaledFor_)) {
    scaler_.Resize(shown.width, shown.height, WholeFactorX(shown), WholeFactorY(shown));
    scaledFor_ = shown;
  }
  ReadScreenPixels();
  auto* rows = reinterpret_cast<std::uint8_t*>(picture.pixels);
  if (clearBars) std::memset(rows, 0, static_cast<std::size_t>(picture.pitch) * picture.height);
  std::uint8_t* topLeft = rows + shown.y * picture.pitch + shown.x * 4;
  const std::uint16_t* topRow =
      &screenPixels_[static_cast<std::size_t>(kScreenHeight - 1) * kScreenWidth];
  scaler_.Scale(topRow, -kScreenWidth, reinterpret_cast<std::uint32_t*>(topLeft), picture.pitch);
  drawnOnCpu_ = clearBars ? PixelRect{0, 0, picture.width, picture.height} : shown;
  return true;
}

bool GlDisplay::DrawWithGl(bool clearBars) {
  int width = 0, height = 0;
  SDL_GL_GetDrawableSize(window_, &width, &height);
  if (width <= 0 || height <= 0) return false;
  const PixelRect shown = FitScreen(width, height);
  const int factorX = WholeFactorX(shown), factorY = WholeFactorY(shown);
  const bool whole =
      shown.width == kScreenWidth * factorX && shown.height == kScreenHeight * factorY;
  glBindFramebuffer(GL_FRAMEBUFFER, 0);
  glDisable(GL_SCISSOR_TEST);
  glDisable(GL_DEPTH_TEST);
  glDisable(GL_CULL_FACE);
  glDisable(GL_BLEND);
  // The bars stay as they were painted: they are painted only while the window settles after a
  // change, every picture in between covering the same rectangle. At 1920 x 1080 on the software
  // renderer, clearing the whole window on every tick cost about a millisecond.
  if (clearBars) {
    glViewport(0, 0, width, height);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
  }
  // GL counts rows from the bottom.
  glViewport(shown.x, height - shown.y - shown.height, shown.width, shown.height);
  glUseProgram(presentProgram_);
  glUniform2f(prescaleUniform_, static_cast<float>(factorX), static_cast<float>(factorY));
  glActiveTexture(GL_TEXTURE0);
  glBindTexture(GL_TEXTURE_2D, screenColour_);
  const GLint filter = whole ? GL_NEAREST : GL_LINEAR;
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, filter);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, filter);
  glBindVertexArray(emptyVao_);
  glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);
  glBindVertexArray(0);
  return true;
}

bool GlDisplay::ReadWindow(std::vector<std::uint8_t>* rgb, int* width, int* height) {
  if (presentOnCpu_) return ReadWindowPixels(rgb, width, height);
  SDL_GL_GetDrawableSize(window_, width, height);
  if (*width <= 0 || *height <= 0) return false;
  const auto rowBytes = static_cast<std::size_t>(*width) * 3;
  std::vector<std::uint8_t> bottomUp(rowBytes * static_cast<std::size_t>(*height));
  glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
  glReadBuffer(GL_BACK);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, *width, *height, GL_RGB, GL_UNSIGNED_BYTE, bottomUp.data());
  rgb->resize(bottomUp.size());
  for (int y = 0; y < *height; ++y) {
    std::copy_n(&bottomUp[rowBytes * static_cast<std::size_t>(*height - 1 - y)], rowBytes,
                &(*rgb)[rowBytes * static_cast<std::size_t>(y)]);
  }
  return true;
}

bool GlDisplay::ReadWindowPixels(std::vector<std::uint8_t>* rgb, int* width, int* height) {
  WindowPixels picture;
  if (!LockWindowPixels(&picture)) return false;
  *width = picture.width;
  *height = picture.height;
  rgb->resize(static_cast<std::size_t>(*width) * *height * 3);
  std::uint8_t* out = rgb->data();
  for (int y = 0; y < *height; ++y) {
    const auto* row = reinterpret_cast<const std::uint32_t*>(
        reinterpret_cast<const std::uint8_t*>(picture.pixels) + y * picture.pitch);
    for (int x = 0; x < *width; ++x, out += 3) WriteRgb(row[x], out);
  }
  return true;
}

// A screenshot is the player's own asking: it may take a moment and allocate.
bool GlDisplay::SaveScreenshots(std::string* folder) {
  *folder = PicturesFolder();
  std::error_code error;
  if (folder->empty()) return false;
  std::filesystem::create_directories(*folder, error);
  if (error) return false;
  const std::string stem = *folder + "/" + ScreenshotStem();
  std::vector<std::uint8_t> rgb(static_cast<std::size_t>(kScreenWidth) * kScreenHeight * 3);
  ReadScreen(rgb.data());
  if (!WritePng(stem + ".png", kScreenWidth, kScreenHeight, rgb.data())) return false;
  // The window's picture is drawn afresh into its back buffer, read, and shown.
  int width = 0, height = 0;
  if (!DrawInWindow(true)) return true;
  const bool read = ReadWindow(&rgb, &width, &height);
  ShowDrawn();
  return !read || WritePng(stem + "-window.png", width, height, rgb.data());
}

// Window coordinates (those of mouse events) are coarser than drawable pixels on HiDPI displays:
// a screen position goes to the drawable first, where the picture is laid out, then to the window.
PixelRect GlDisplay::ScreenToWindow(const PixelRect& onScreen) const {
  int width = 0, height = 0, windowWidth = 0, windowHeight = 0;
  SDL_GL_GetDrawableSize(window_, &width, &height);
  SDL_GetWindowSize(window_, &windowWidth, &windowHeight);
  if (width <= 0 || height <= 0) return {};
  const PixelRect shown = FitScreen(width, height);
  const auto windowX = [&](int x) {
    return static_cast<int>((shown.x + static_cast<double>(x) * shown.width / kScreenWidth) *
                            windowWidth / width);
  };
  const auto windowY = [&](int y) {
    return static_cast<int>((shown.y + static_cast<double>(y) * shown.height / kScreenHeight) *
                            windowHeight / height);
  };
  const int left = windowX(onScreen.x), top = windowY(onScreen.y);
  return {left, top, windowX(onScreen.x + onScreen.width) - left,
          windowY(onScreen.y + onScreen.height) - top};
}

void GlDisplay::Present() {
  const bool changed = Compose();
  int width = 0, height = 0;
  SDL_GL_GetDrawableSize(window_, &width, &height);
  // For a while after the window changes, an unchanged screen is shown again on every call: the
  // software driver's window buffer takes a new size only at the next swap, so the picture drawn
  // just after a resize can be left at the old size, and on an idle screen nothing else would
  // draw it again.
  const std::uint64_t now = SDL_GetTicks64();
  if (invalidated_ || width != shownWidth_ || height != shownHeight_)
    settleUntilMs_ = now + kSettleMs;
  const bool settling = now < settleUntilMs_;
  if (!changed && !settling) return;
  invalidated_ = false;
  shownWidth_ = width;
  shownHeight_ = height;
  ShowInWindow(settling);
}

void GlDisplay::ReadScreenPixels() {
  glBindFramebuffer(GL_READ_FRAMEBUFFER, screenFramebuffer_);
  glPixelStorei(GL_PACK_ALIGNMENT, 2);
  glReadPixels(0, 0, kScreenWidth, kScreenHeight, GL_RGB, GL_UNSIGNED_SHORT_5_6_5,
               screenPixels_.data());
  glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
}

bool GlDisplay::ReadScreen(std::uint8_t* rgb) {
  // The screen as it stands now, even when no pump has presented it yet.
  Compose();
  ReadScreenPixels();
  for (int y = 0; y < kScreenHeight; ++y) {
    // GL keeps the bottom row first; the screenshot wants the top row first.
    const std::uint16_t* row =
        &screenPixels_[static_cast<std::size_t>(kScreenHeight - 1 - y) * kScreenWidth];
    std::uint8_t* out = rgb + static_cast<std::size_t>(y) * kScreenWidth * 3;
    for (int x = 0; x < kScreenWidth; ++x, out += 3) WriteRgb(Rgb565ToPixel(row[x]), out);
  }
  return true;
}

}  // namespace bf
