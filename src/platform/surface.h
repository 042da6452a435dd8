#pragma once
// 2D drawing on the game form (640 x 480) and the four status panels (310 x 21), in pixels.
#include <cstdint>
#include <string>
#include <string_view>

namespace bf {

struct Rgb {
  std::uint8_t r = 0, g = 0, b = 0;
};

// The two pictures stored with the game window.
enum class PictureId { kTitle, kSpriteSheet };

class Surface2D {
 public:
  virtual ~Surface2D() = default;
  // Fills the surface with its background colour.
  virtual void Clear() = 0;
  // Copies the source rectangle of a picture, scaled, to the destination rectangle.
  virtual void StretchCopy(PictureId picture, int sx, int sy, int sw, int sh, int dx, int dy,
                           int dw, int dh) = 0;
  // Moves the text position and plots a black point there.
  virtual void SetTextPosition(int x, int y) = 0;
  // Prints one line of black text at the text position.
  virtual void Print(std::string_view text) = 0;
  // One-pixel outline from (x1, y1) to (x2, y2), both corners included.
  virtual void RectOutline(int x1, int y1, int x2, int y2, Rgb colour) = 0;
  // Filled rectangle from (x1, y1) to (x2, y2), both corners included; coordinates may be
  // fractional and are rounded to pixels here.
  virtual void FillRect(double x1, double y1, double x2, double y2, Rgb colour) = 0;
  // Text in `colour` with its top-left corner at (x, y), leaving the text position alone.
  virtual void PrintAt(int /*x*/, int /*y*/, std::string_view /*text*/, Rgb /*colour*/) {}
  // The width in pixels that the text takes when printed; 0 without a font.
  virtual int TextWidth(std::string_view /*text*/) { return 0; }
  // One line of words in the game's bold face, `pixels` tall, in `colour` inside a dark outline,
  // with the outline's top-left corner at (x, y); the text position stays where it was.
  virtual void PrintOutlined(int /*x*/, int /*y*/, std::string_view /*text*/, int /*pixels*/,
                             Rgb /*colour*/) {}
  // The width PrintOutlined takes for the text, outline included; 0 where there is no face.
  virtual int OutlinedWidth(std::string_view /*text*/, int /*pixels*/) { return 0; }
};

// A battle overlay's pixels of this colour let the views under it show through.
constexpr Rgb kSeeThrough{255, 0, 255};

constexpr int kScreenWidth = 640;
constexpr int kScreenHeight = 480;
constexpr int kPanelWidth = 310;
constexpr int kPanelHeight = 21;
// The battle overlay's size: the 3D output area's.
constexpr int kBattleOverlayWidth = 620;
constexpr int kBattleOverlayHeight = 420;

// The screen: the form, the four panels and the 3D output area composed into one picture.
class Display {
 public:
  virtual ~Display() = default;
  virtual Surface2D& Form() = 0;
  virtual Surface2D& Panel(int player) = 0;
  // A picture as large as the 3D output area (the device's top 420 rows) laid over it: the
  // words and tags a battle writes over its views. Cleared to kSeeThrough.
  virtual Surface2D& BattleOverlay() = 0;
  // Shows or hides the 3D output area and the four panels (hidden outside a battle).
  virtual void ShowBattleArea(bool visible) = 0;
  // Composes the 640 x 480 screen in the 16-bit look and shows it, when anything shown changed.
  virtual void Present() = 0;
  // The window lost its picture (uncovered, resized): the next Present shows it again.
  virtual void Invalidate() {}
  // The composed screen as 640 x 480 RGB bytes, rows top to bottom; false without rendering.
  virtual bool ReadScreen(std::uint8_t* rgb) = 0;
  // A small surface whose top-left `width` x `height` pixels are laid over the middle of the
  // screen, above the views and the panels (0 x 0: none): the words of a pause, the volume, the
  // speed. nullptr on a display without pixels.
  virtual Surface2D* Notice() { return nullptr; }
  virtual void ShowNotice(int /*width*/, int /*height*/) {}
  // Writes the 640 x 480 screen, and the window's own scaled picture where there is a window, as
  // PNG files named for the date and time into the user's pictures folder (made when missing).
  // `*folder` names the folder; false when it cannot be written.
  virtual bool SaveScreenshots(std::string* /*folder*/) { return false; }
};

constexpr int kNoticeWidth = 480;
constexpr int kNoticeHeight = 108;

}  // namespace bf
