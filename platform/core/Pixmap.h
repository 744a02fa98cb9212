#pragma once
// Pixel memory of the window layer. TPixmap holds 32-bit 0x00RRGGBB pixels (window stores, the
// screen, bitmaps). TPixelTarget is a view that drawing code writes through: either such a pixmap
// or a block of 24-bit blue-green-red pixels owned by someone else (the game's drawing surfaces).

#include <cstdint>
#include <vector>

#include "platform/base/BgrBlock.h"
#include "platform/core/Geometry.h"

namespace vdmq {

class TPixmap {
 public:
  TPixmap() = default;
  TPixmap(int width, int height, std::uint32_t fill = 0) { Resize(width, height, fill); }
  // New size; the contents are lost and set to fill.
  void Resize(int width, int height, std::uint32_t fill = 0);
  int Width() const { return width_; }
  int Height() const { return height_; }
  bool Empty() const { return width_ <= 0 || height_ <= 0; }
  std::uint32_t* Row(int y) { return pixels_.data() + static_cast<size_t>(y) * width_; }
  const std::uint32_t* Row(int y) const { return pixels_.data() + static_cast<size_t>(y) * width_; }
  std::uint32_t Pixel(int x, int y) const { return (x >= 0 && y >= 0 && x < width_ && y < height_) ? Row(y)[x] : 0; }
  void SetPixel(int x, int y, std::uint32_t v) {
    if (x >= 0 && y >= 0 && x < width_ && y < height_) Row(y)[x] = v;
  }
  void Fill(const TRect& r, std::uint32_t v);
  std::uint32_t* Data() { return pixels_.data(); }
  const std::uint32_t* Data() const { return pixels_.data(); }

 private:
  int width_ = 0, height_ = 0;
  std::vector<std::uint32_t> pixels_;
};

// A writable pixel view used by the canvas.
struct TPixelTarget {
  std::uint8_t* Bits = nullptr;
  int Width = 0, Height = 0;
  int PitchBytes = 0;
  int BytesPerPixel = 4;  // 4: 0x00RRGGBB words; 3: blue, green, red bytes
  bool Valid() const { return Bits && Width > 0 && Height > 0; }
  static TPixelTarget Of(TPixmap& p) {
    return {reinterpret_cast<std::uint8_t*>(p.Data()), p.Width(), p.Height(), p.Width() * 4, 4};
  }
  static TPixelTarget OfBgr(std::uint8_t* bits, int width, int height, int pitchBytes) {
    return {bits, width, height, pitchBytes, 3};
  }
  std::uint32_t Get(int x, int y) const;
  void Put(int x, int y, std::uint32_t pixel) const;
  // Fills a rectangle already clipped to the target.
  void FillClipped(const TRect& r, std::uint32_t pixel) const;
};

// Copies src (whole) to dst at (dx, dy), clipped to clip and to dst.
void BlitPixmap(TPixmap& dst, int dx, int dy, const TPixmap& src, const TRect& clip);
// Copies the rectangle sr of src to dst at (dx, dy), clipped to clip and to dst.
void BlitPixmapRect(TPixmap& dst, int dx, int dy, const TPixmap& src, const TRect& sr, const TRect& clip);
// Shows a 24-bit block 1:1 at (dx, dy) of dst, clipped to clip and to dst.
void BlitBgr24(TPixmap& dst, int dx, int dy, const TBgrBlock& src, const TRect& clip);
// Nearest-neighbour stretch of the rectangle sr of src into dr of the target, clipped to clip.
void StretchCopy(const TPixelTarget& dst, const TRect& dr, const TPixelTarget& src, const TRect& sr, const TRect& clip);

}  // namespace vdmq
