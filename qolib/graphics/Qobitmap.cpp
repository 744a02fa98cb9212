#include "qolib/graphics/Qobitmap.h"

#include <algorithm>
#include <cstddef>

namespace vdmq {

namespace {

// One digital differential walk over the larger size in each direction: every step copies the
// current source pixel to the current destination pixel, then each side advances by its own rate.
template <typename P>
void Zoom(const P* src, int sw, int sh, int sp, P* dst, int dw, int dh, int dp) {
  if (src == nullptr || dst == nullptr || sw < 1 || sh < 1 || dw < 1 || dh < 1) return;
  const int w = std::max(sw, dw);
  const int h = std::max(sh, dh);
  const P* srow = src;
  P* drow = dst;
  int srowErr = 0;
  int drowErr = 0;
  for (int j = 0; j < h; ++j) {
    const P* s = srow;
    P* d = drow;
    int scolErr = 0;
    int dcolErr = 0;
    for (int i = 0; i < w; ++i) {
      *d = *s;
      scolErr += sw;
      if (scolErr >= w) {
        ++s;
        scolErr -= w;
      }
      dcolErr += dw;
      if (dcolErr >= w) {
        ++d;
        dcolErr -= w;
      }
    }
    srowErr += sh;
    if (srowErr >= h) {
      srow += static_cast<std::ptrdiff_t>(sp);
      srowErr -= h;
    }
    drowErr += dh;
    if (drowErr >= h) {
      drow += static_cast<std::ptrdiff_t>(dp);
      drowErr -= h;
    }
  }
}

}  // namespace

void Zooming(const unsigned char* src, int srcWidth, int srcHeight, int srcPitch, unsigned char* dst, int dstWidth,
             int dstHeight, int dstPitch) {
  Zoom(src, srcWidth, srcHeight, srcPitch, dst, dstWidth, dstHeight, dstPitch);
}

void Zooming24(const TQoRGB* src, int srcWidth, int srcHeight, int srcPitch, TQoRGB* dst, int dstWidth, int dstHeight,
               int dstPitch) {
  Zoom(src, srcWidth, srcHeight, srcPitch, dst, dstWidth, dstHeight, dstPitch);
}

}  // namespace vdmq
