#pragma once
// Helpers of the kit's tests: coordinate-coded pictures, whose every pixel names its own position,
// so a destination pixel tells which source pixel it came from.

#include <cstdint>
#include <optional>

#include "platform/core/Canvas.h"

namespace vdmq::test {

// Pixel (x, y) of a coded picture: x in the top 10 bits, y in the next 8, then a 6-bit marker
// (x < 1024, y < 256).
constexpr std::uint32_t kCodeMarker = 0x2A;
constexpr std::uint32_t Coded(int x, int y) {
  return (static_cast<std::uint32_t>(x) << 14) | (static_cast<std::uint32_t>(y) << 6) | kCodeMarker;
}
// Destination pixels start at this value, which no coded pixel has.
constexpr std::uint32_t kUntouched = 0x000000;

inline void FillCoded(TBitmap& b, int w, int h) {
  TPixmap p(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) p.SetPixel(x, y, Coded(x, y));
  b.TakePixels(std::move(p));
}

// The source position a destination pixel shows, or nothing for an untouched pixel.
inline std::optional<TPoint> SourceOf(const TPixmap& p, int x, int y) {
  const std::uint32_t v = p.Pixel(x, y);
  if ((v & 0x3F) != kCodeMarker) return std::nullopt;
  return TPoint{static_cast<int>(v >> 14), static_cast<int>((v >> 6) & 0xFF)};
}

// Floor division and the matching non-negative remainder.
constexpr long long FloorDiv(long long a, long long b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0))); }
constexpr long long Mod(long long a, long long b) { return a - FloorDiv(a, b) * b; }

}  // namespace vdmq::test
