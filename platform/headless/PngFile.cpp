#include "platform/headless/PngFile.h"

#include <algorithm>
#include <cstdlib>

namespace vdmq {

bool SavePng(const std::string& path, const TPixmap& p) {
  if (p.Empty()) return false;
  TRgbPicture pic{p.Width(), p.Height(), std::vector<std::uint8_t>(static_cast<size_t>(p.Width()) * p.Height() * 3)};
  size_t i = 0;
  for (int y = 0; y < p.Height(); ++y)
    for (int x = 0; x < p.Width(); ++x) {
      const std::uint32_t v = p.Row(y)[x];
      pic.Rgb[i++] = (v >> 16) & 255;
      pic.Rgb[i++] = (v >> 8) & 255;
      pic.Rgb[i++] = v & 255;
    }
  return SavePngRgb(path, pic);
}

bool LoadPng(const std::string& path, TPixmap& out) {
  TRgbPicture pic;
  if (!LoadPngRgb(path, pic)) return false;
  out.Resize(pic.Width, pic.Height);
  size_t i = 0;
  for (int y = 0; y < out.Height(); ++y)
    for (int x = 0; x < out.Width(); ++x, i += 3)
      out.Row(y)[x] = (static_cast<std::uint32_t>(pic.Rgb[i]) << 16) |
                      (static_cast<std::uint32_t>(pic.Rgb[i + 1]) << 8) | pic.Rgb[i + 2];
  return true;
}

long ComparePixmaps(const TPixmap& a, const TPixmap& b, int tolerance) {
  if (a.Width() != b.Width() || a.Height() != b.Height())
    return std::max(static_cast<long>(a.Width()) * a.Height(), static_cast<long>(b.Width()) * b.Height());
  long diff = 0;
  for (int y = 0; y < a.Height(); ++y)
    for (int x = 0; x < a.Width(); ++x) {
      const std::uint32_t p = a.Row(y)[x], q = b.Row(y)[x];
      for (int s = 0; s < 24; s += 8)
        if (std::abs(static_cast<int>((p >> s) & 255) - static_cast<int>((q >> s) & 255)) > tolerance) {
          ++diff;
          break;
        }
    }
  return diff;
}

}  // namespace vdmq
