#pragma once
// The 24-bit colour value of the graphics library and two nearest-neighbour scalers.
// A TQoRGB is stored blue, green, red: an array of them is exactly a 24-bit bitmap row.
// Its packed 32-bit form is 0x00RRGGBB (red in bits 16..23).

#include <cstdint>

#include "platform/core/PixelHolder.h"

namespace vdmq {

struct TQoRGB {
  std::uint8_t b = 0;
  std::uint8_t g = 0;
  std::uint8_t r = 0;

  TQoRGB() = default;
  TQoRGB(unsigned char red, unsigned char green, unsigned char blue) : b(blue), g(green), r(red) {}
  TQoRGB(const RGBQUAD& q) : b(q.rgbBlue), g(q.rgbGreen), r(q.rgbRed) {}  // NOLINT: implicit as in the library
  TQoRGB(unsigned long v)                                                 // NOLINT: from the packed form
      : b(static_cast<std::uint8_t>(v)), g(static_cast<std::uint8_t>(v >> 8)), r(static_cast<std::uint8_t>(v >> 16)) {}

  TQoRGB(const TQoRGB&) = default;
  TQoRGB& operator=(const TQoRGB&) = default;
  TQoRGB& operator=(const RGBQUAD& q) {
    b = q.rgbBlue;
    g = q.rgbGreen;
    r = q.rgbRed;
    return *this;
  }
  TQoRGB& operator=(const unsigned long& v) { return *this = TQoRGB(v); }

  RGBQUAD ToRGBQUAD() const { return RGBQUAD{b, g, r, 0}; }
  unsigned long ToDWORD() const {
    return (static_cast<unsigned long>(r) << 16) | (static_cast<unsigned long>(g) << 8) | b;
  }

  friend bool operator==(const TQoRGB& a, const TQoRGB& c) { return a.b == c.b && a.g == c.g && a.r == c.r; }
};
static_assert(sizeof(TQoRGB) == 3, "TQoRGB must pack to 3 bytes");

// Nearest-neighbour scaling of srcWidth x srcHeight pixels into dstWidth x dstHeight pixels.
// Pitches count pixels. Nothing is copied when any size is below 1.
void Zooming(const unsigned char* src, int srcWidth, int srcHeight, int srcPitch, unsigned char* dst, int dstWidth,
             int dstHeight, int dstPitch);
void Zooming24(const TQoRGB* src, int srcWidth, int srcHeight, int srcPitch, TQoRGB* dst, int dstWidth, int dstHeight,
               int dstPitch);

}  // namespace vdmq
