#pragma once
// What a picture control needs from whoever draws into memory of its own: the pixel memory's
// layout, the 4-byte colour table entry of 8-bit pictures, and the holder interface through which
// the memory is handed over. The image control (StdCtrls.h) is such a holder; the graphics
// library's surfaces hand their pixels to it without a copy.

#include <cstdint>

namespace vdmq {

// The 4-byte palette entry of bitmap headers and colour tables: blue, green, red, reserved.
struct RGBQUAD {
  std::uint8_t rgbBlue = 0;
  std::uint8_t rgbGreen = 0;
  std::uint8_t rgbRed = 0;
  std::uint8_t rgbReserved = 0;
};
static_assert(sizeof(RGBQUAD) == 4);

// Pixel memory as handed to whatever shows it: rows top-down, pitchBytes apart.
struct TPixelView {
  void* bits = nullptr;
  int width = 0;
  int height = 0;
  int pitchBytes = 0;
  int bitsPerPixel = 0;
  const RGBQUAD* palette = nullptr;  // 256 entries for 8-bit memory, else null
};

// A holder shows memory it does not own. Whoever draws hands the memory over and takes it back
// before freeing it; a holder that goes away first tells the owner of the memory (how is up to
// the two of them: the graphics library's surfaces are told through their image notification).
class IPixelHolder {
 public:
  virtual ~IPixelHolder() = default;
  // The pixel memory is handed over (again after every re-creation).
  virtual void AttachPixels(const TPixelView& view) = 0;
  // The memory is taken back; the holder must stop showing it.
  virtual void DetachPixels() = 0;
  // The picture changed: repaint.
  virtual void Invalidate() = 0;
  // The colour table of 8-bit memory changed (256 entries).
  virtual void SetPalette(const RGBQUAD* /*palette*/) {}
};

}  // namespace vdmq
