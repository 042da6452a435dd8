#pragma once
// The 640 x 480 RGB565 screen enlarged on the CPU into a window's 32-bit picture (0xffRRGGBB), as
// the GL present shader does it: "sharp bilinear", pixel for pixel by the whole factor, filtered
// only across the last output pixel before a neighbour. On a software renderer this costs a
// fraction of the shader: each screen row is widened once, and every output row is a copy of a
// widened row or the blend of two. A thread of its own scales the upper half meanwhile: the
// renderer's threads are idle while the picture is scaled.
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

namespace bf {

// An RGB565 pixel as 0xffRRGGBB, each part widened by repeating its top bits, so white stays 255.
std::uint32_t Rgb565ToPixel(unsigned rgb565);

class ScreenScaler {
 public:
  ScreenScaler();
  ~ScreenScaler();
  ScreenScaler(const ScreenScaler&) = delete;
  ScreenScaler& operator=(const ScreenScaler&) = delete;
  // Prepares a `width` x `height` picture, the screen first enlarged `prescaleX` and `prescaleY`
  // times pixel for pixel (at least 1).
  void Resize(int width, int height, int prescaleX, int prescaleY);
  // Writes the picture of `screen` (its top row first, rows `screenStep` pixels apart: negative
  // for GL's bottom-up rows) to `out`, rows `outPitch` bytes apart.
  void Scale(const std::uint16_t* screen, std::ptrdiff_t screenStep, std::uint32_t* out,
             std::ptrdiff_t outPitch);

 private:
  // One output pixel along an axis: the screen pixel read first, and the weight of the next one
  // in 256ths.
  struct Tap {
    std::uint16_t first;
    std::uint16_t weight;
  };
  static std::vector<Tap> SharpTaps(int shown, int size, int prescale);
  struct Job {
    const std::uint16_t* screen;
    std::ptrdiff_t screenStep;
    std::uint32_t* out;
    std::ptrdiff_t outPitch;
  };
  // The two screen rows a part most recently widened: its output rows read them in order.
  struct WidenedRows {
    std::vector<std::uint32_t> pixels[2];
    int row[2] = {-1, -1};
  };
  void ScaleRows(const Job& job, std::size_t begin, std::size_t end, WidenedRows& widened) const;
  const std::uint32_t* WidenedRow(const Job& job, int row, WidenedRows& widened) const;
  void ScaleUpperHalves();

  std::vector<Tap> columns_, rows_;
  std::vector<std::uint16_t> columnWeights_;  // each column's weight, once for each channel
  WidenedRows widened_[2];                    // the worker's, the caller's

  std::mutex mutex_;
  std::condition_variable wake_, done_;
  Job job_{};
  bool pending_ = false, stopping_ = false;
  std::thread worker_;
};

}  // namespace bf
