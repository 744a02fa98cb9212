#pragma once
// Brightness of pictures as the picture tests measure it: the mean relative luminance (linear
// light, sRGB weights) of a rectangle, 0 for black and 1 for white.

#include <cmath>
#include <cstdint>

#include "platform/core/Geometry.h"
#include "platform/core/Pixmap.h"

namespace vdmq::test {

inline double MeanLuminance(const TPixmap& p, const TRect& r) {
  const auto linear = [](unsigned c) {
    const double v = c / 255.0;
    return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
  };
  double sum = 0;
  for (int y = r.Top; y < r.Bottom; ++y)
    for (int x = r.Left; x < r.Right; ++x) {
      const std::uint32_t c = p.Pixel(x, y);
      sum += 0.2126 * linear((c >> 16) & 255) + 0.7152 * linear((c >> 8) & 255) + 0.0722 * linear(c & 255);
    }
  return sum / (static_cast<double>(r.Width()) * r.Height());
}

}  // namespace vdmq::test
