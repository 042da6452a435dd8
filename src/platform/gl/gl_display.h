#pragma once
// The 640 x 480 screen: the form, the 3D device image and the four status panels composed into
// a 16-bit (RGB565) picture, then scaled to the window with black bars keeping 4:3.
#include <epoxy/gl.h>

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/gl/screen_fit.h"
#include "platform/gl/x11_picture.h"
#include "platform/pixels/pixel_surface.h"
#include "platform/pixels/screen_scaler.h"
#include "platform/surface.h"

struct SDL_Window;

namespace bf {

class GlScene;
class PixelSurface;

class GlDisplay : public Display {
 public:
  // Needs the GL context current; call Init() before anything else.
  GlDisplay(SDL_Window* window, PixelSurface& form, PixelSurface* const panels[4], GlScene& scene);
  ~GlDisplay() override;
  bool Init(std::string* error);

  Surface2D& Form() override;
  Surface2D& Panel(int player) override;
  Surface2D& BattleOverlay() override { return battleOverlaySurface_; }
  void ShowBattleArea(bool visible) override { battleAreaVisible_ = visible; }
  void Present() override;
  void Invalidate() override { invalidated_ = true; }
  bool ReadScreen(std::uint8_t* rgb) override;
  Surface2D* Notice() override;
  void ShowNotice(int width, int height) override;
  bool SaveScreenshots(std::string* folder) override;
  // A picture laid over the middle of the screen, above everything (a message box), or nullptr
  // for none. The surface must outlive its time on the screen.
  void SetOverlay(PixelSurface* overlay);
  // Where a rectangle of the screen shows in the window, in window coordinates.
  PixelRect ScreenToWindow(const PixelRect& onScreen) const;

 private:
  struct Layer {  // a 2D surface and the texture it is shown through
    PixelSurface* surface;
    GLuint texture;
  };

  // Composes the screen again when anything shown has changed; true when it did.
  bool Compose();
  // Uploads the surface's pixels if they changed; true when they did.
  bool UploadIfChanged(Layer& layer);
  void UploadSurface(const Layer& layer);
  void DrawForm();
  // The battle overlay is drawn only where it holds something: for the see-through rest, most of
  // it, the software renderer would run the shader on every pixel for nothing.
  bool InitOverlayTiles(std::string* error);
  void SetFixedUniforms();
  void FindOverlayTiles();
  void DrawOverlayTiles();
  void DrawRect(GLuint texture, float x, float y, float w, float h, float u0, float v0, float u1,
                float v1);
  void ShowInWindow(bool clearBars);
  // Draws the screen scaled into the window's back buffer (or its surface, on the CPU); false
  // for a hidden or empty window.
  bool DrawInWindow(bool clearBars);
  bool DrawWithGl(bool clearBars);
  bool DrawOnCpu(bool clearBars);
  // Shows what DrawInWindow drew.
  void ShowDrawn();
  // The window's picture as it was last drawn, as RGB rows top to bottom.
  bool ReadWindow(std::vector<std::uint8_t>* rgb, int* width, int* height);
  bool ReadWindowPixels(std::vector<std::uint8_t>* rgb, int* width, int* height);
  // The picture the CPU draws the window into: shared memory of our own on X11, else SDL's
  // window surface. False when there is none to be had.
  bool LockWindowPixels(WindowPixels* out);
  // The composed screen into screenPixels_, bottom row first.
  void ReadScreenPixels();

  SDL_Window* window_;
  GlScene& scene_;
  Layer form_;
  Layer panels_[4];
  Layer overlay_{nullptr, 0};
  std::unique_ptr<PixelSurface> noticeSurface_;
  Layer notice_{nullptr, 0};
  int noticeWidth_ = 0, noticeHeight_ = 0;  // the part shown; 0 x 0 when none
  PixelSurface battleOverlaySurface_{kBattleOverlayWidth, kBattleOverlayHeight, kSeeThrough};
  Layer battleOverlay_{&battleOverlaySurface_, 0};
  bool battleAreaVisible_ = false;
  bool composed_ = false;
  bool composedWithBattleArea_ = false;
  // What the window last showed, so an unchanged screen is not shown again.
  int composedUpdate_ = 0;
  int shownWidth_ = 0, shownHeight_ = 0;
  bool invalidated_ = true;
  static constexpr std::uint64_t kSettleMs = 1000;
  std::uint64_t settleUntilMs_ = 0;
  bool quantize_ = false;  // set when the driver has no RGB565 target: the shader rounds instead
  // On a software renderer the shader's per-pixel work is most of a present: there the screen is
  // scaled on the CPU and put into the window through memory shared with the X server, only the
  // picture's rectangle, and GL's swap is not used.
  bool presentOnCpu_ = false;
  std::unique_ptr<X11Picture> x11Picture_;  // null: SDL's window surface is drawn into
  ScreenScaler scaler_;
  PixelRect scaledFor_;
  PixelRect drawnOnCpu_;  // what the picture holds that the window does not show yet
  std::vector<std::uint16_t> screenPixels_;

  GLuint program_ = 0;
  GLint destinationUniform_ = -1, sourceUniform_ = -1;
  GLuint presentProgram_ = 0;
  GLint prescaleUniform_ = -1;
  GLuint emptyVao_ = 0;
  static constexpr int kTileSize = 10;  // divides the overlay's width and height
  static_assert(kBattleOverlayWidth % kTileSize == 0 && kBattleOverlayHeight % kTileSize == 0);
  std::array<std::array<float, 2>,
             (kBattleOverlayWidth / kTileSize) * (kBattleOverlayHeight / kTileSize)>
      tiles_{};
  int tileCount_ = 0;
  GLuint tileProgram_ = 0, tileVao_ = 0, tileBuffer_ = 0;
  GLuint screenFramebuffer_ = 0;
  GLuint screenColour_ = 0;  // the composed screen's texture
};

}  // namespace bf
