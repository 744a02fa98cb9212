#include "platform/core/Pixmap.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace vdmq {

void TPixmap::Resize(int width, int height, std::uint32_t fill) {
  width_ = std::max(0, width);
  height_ = std::max(0, height);
  pixels_.assign(static_cast<size_t>(width_) * height_, fill);
}

void TPixmap::Fill(const TRect& r, std::uint32_t v) {
  TRect c = Intersect(r, {0, 0, width_, height_});
  for (int y = c.Top; y < c.Bottom; ++y) std::fill(Row(y) + c.Left, Row(y) + c.Right, v);
}

std::uint32_t TPixelTarget::Get(int x, int y) const {
  if (x < 0 || y < 0 || x >= Width || y >= Height) return 0;
  const std::uint8_t* p = Bits + static_cast<size_t>(y) * PitchBytes + static_cast<size_t>(x) * BytesPerPixel;
  if (BytesPerPixel == 4) {
    std::uint32_t v;
    std::memcpy(&v, p, 4);
    return v & 0xFFFFFF;
  }
  return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
         (static_cast<std::uint32_t>(p[2]) << 16);
}

void TPixelTarget::Put(int x, int y, std::uint32_t pixel) const {
  if (x < 0 || y < 0 || x >= Width || y >= Height) return;
  std::uint8_t* p = Bits + static_cast<size_t>(y) * PitchBytes + static_cast<size_t>(x) * BytesPerPixel;
  if (BytesPerPixel == 4) {
    std::memcpy(p, &pixel, 4);
  } else {
    p[0] = pixel & 255;
    p[1] = (pixel >> 8) & 255;
    p[2] = (pixel >> 16) & 255;
  }
}

void TPixelTarget::FillClipped(const TRect& r, std::uint32_t pixel) const {
  for (int y = r.Top; y < r.Bottom; ++y) {
    std::uint8_t* row = Bits + static_cast<size_t>(y) * PitchBytes;
    if (BytesPerPixel == 4) {
      std::uint32_t* w = reinterpret_cast<std::uint32_t*>(row);
      std::fill(w + r.Left, w + r.Right, pixel);
    } else {
      for (int x = r.Left; x < r.Right; ++x) {
        row[x * 3] = pixel & 255;
        row[x * 3 + 1] = (pixel >> 8) & 255;
        row[x * 3 + 2] = (pixel >> 16) & 255;
      }
    }
  }
}

void BlitPixmap(TPixmap& dst, int dx, int dy, const TPixmap& src, const TRect& clip) {
  BlitPixmapRect(dst, dx, dy, src, {0, 0, src.Width(), src.Height()}, clip);
}

void BlitPixmapRect(TPixmap& dst, int dx, int dy, const TPixmap& src, const TRect& srIn, const TRect& clip) {
  TRect sr = Intersect(srIn, {0, 0, src.Width(), src.Height()});
  if (sr.IsEmpty()) return;
  dx += sr.Left - srIn.Left;
  dy += sr.Top - srIn.Top;
  TRect d = Intersect(Intersect(Bounds(dx, dy, sr.Width(), sr.Height()), clip), {0, 0, dst.Width(), dst.Height()});
  if (d.IsEmpty()) return;
  const int sx = sr.Left + (d.Left - dx), sy0 = sr.Top + (d.Top - dy);
  const size_t n = static_cast<size_t>(d.Width()) * 4;
  for (int y = d.Top; y < d.Bottom; ++y) std::memcpy(dst.Row(y) + d.Left, src.Row(sy0 + (y - d.Top)) + sx, n);
}

void BlitBgr24(TPixmap& dst, int dx, int dy, const TBgrBlock& src, const TRect& clip) {
  if (!src.Valid()) return;
  TRect d = Intersect(Intersect(Bounds(dx, dy, src.Width, src.Height), clip), {0, 0, dst.Width(), dst.Height()});
  if (d.IsEmpty()) return;
  const int w = d.Width();
  for (int y = d.Top; y < d.Bottom; ++y) {
    const std::uint8_t* s =
        src.Bits + static_cast<size_t>(y - dy) * src.PitchBytes + static_cast<size_t>(d.Left - dx) * 3;
    std::uint32_t* o = dst.Row(y) + d.Left;
    for (int x = 0; x < w; ++x, s += 3)
      o[x] = static_cast<std::uint32_t>(s[0]) | (static_cast<std::uint32_t>(s[1]) << 8) |
             (static_cast<std::uint32_t>(s[2]) << 16);
  }
}

void StretchCopy(const TPixelTarget& dst, const TRect& dr, const TPixelTarget& src, const TRect& sr,
                 const TRect& clip) {
  if (!dst.Valid() || !src.Valid() || dr.IsEmpty() || sr.IsEmpty()) return;
  TRect d = Intersect(Intersect(dr, clip), {0, 0, dst.Width, dst.Height});
  if (d.IsEmpty()) return;
  const bool words = dst.BytesPerPixel == 4 && src.BytesPerPixel == 4;
  if (static_cast<long long>(dr.Right) - dr.Left == static_cast<long long>(sr.Right) - sr.Left &&
      static_cast<long long>(dr.Bottom) - dr.Top == static_cast<long long>(sr.Bottom) - sr.Top) {
    // 1:1: only the part whose source pixels exist is copied.
    const long long ox = static_cast<long long>(sr.Left) - dr.Left, oy = static_cast<long long>(sr.Top) - dr.Top;
    const int left = static_cast<int>(std::max<long long>(d.Left, -ox));
    const int right = static_cast<int>(std::min<long long>(d.Right, src.Width - ox));
    const int top = static_cast<int>(std::max<long long>(d.Top, -oy));
    const int bottom = static_cast<int>(std::min<long long>(d.Bottom, src.Height - oy));
    if (left >= right || top >= bottom) return;
    for (int y = top; y < bottom; ++y) {
      const int sy = static_cast<int>(y + oy);
      if (words) {
        std::memmove(dst.Bits + static_cast<size_t>(y) * dst.PitchBytes + static_cast<size_t>(left) * 4,
                     src.Bits + static_cast<size_t>(sy) * src.PitchBytes + static_cast<size_t>(left + ox) * 4,
                     static_cast<size_t>(right - left) * 4);
      } else {
        for (int x = left; x < right; ++x) dst.Put(x, y, src.Get(static_cast<int>(x + ox), sy));
      }
    }
    return;
  }
  // Nearest neighbour: the source column of every destination column is worked out once.
  const long long sw = static_cast<long long>(sr.Right) - sr.Left, sh = static_cast<long long>(sr.Bottom) - sr.Top;
  const long long dw = static_cast<long long>(dr.Right) - dr.Left, dh = static_cast<long long>(dr.Bottom) - dr.Top;
  std::vector<long long> columns(static_cast<size_t>(d.Width()));
  for (int x = d.Left; x < d.Right; ++x)
    columns[static_cast<size_t>(x - d.Left)] = sr.Left + ((static_cast<long long>(x) - dr.Left) * sw) / dw;
  for (int y = d.Top; y < d.Bottom; ++y) {
    const long long sy = sr.Top + ((static_cast<long long>(y) - dr.Top) * sh) / dh;
    if (sy < 0 || sy >= src.Height) continue;
    for (int x = d.Left; x < d.Right; ++x) {
      const long long sx = columns[static_cast<size_t>(x - d.Left)];
      if (sx < 0 || sx >= src.Width) continue;
      dst.Put(x, y, src.Get(static_cast<int>(sx), static_cast<int>(sy)));
    }
  }
}

}  // namespace vdmq
