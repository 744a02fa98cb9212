// Feeds arbitrary bytes to the BMP and colour-table readers, as a file, as a resource (no file
// header) and into a reused block, then draws what was read onto a small surface.
#include <cstddef>
#include <cstdint>

#include "platform/base/LittleEndian.h"
#include "qolib/graphics/QoTDib.h"
#include "qolib/graphics/Qooldbmp.h"

using namespace vdmq;

namespace {
// Declared pixel count of a picture (file header form); large pictures are only header-checked
// so that the run spends its time on parsing rather than on zero-filling big blocks.
long long DeclaredPixels(const std::uint8_t* data, std::size_t size) {
  if (size < 26) return 0;
  auto i32 = [&](std::size_t at) { return static_cast<std::int32_t>(ReadLe32(data + at)); };
  const long long w = i32(18), h = i32(22);
  return (w < 0 ? -w : w) * (h < 0 ? -h : h);
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  TQoRGB* px = nullptr;
  int w = 0, h = 0;
  if (DeclaredPixels(data, size) > (1 << 20)) {
    if (LoadBmp24Mem(data, size, nullptr, &w, &h) && (w < 1 || h < 1)) __builtin_trap();
    return 0;
  }
  if (LoadBmp24Mem(data, size, &px, &w, &h)) {
    if (w < 1 || h < 1 || QoBlockSize(px) < static_cast<std::size_t>(w) * h * 3) __builtin_trap();
    TQoTrueDib dib(nullptr, 37, 23);
    dib.InitDib();
    dib.PutPat(-5, -3, w, h, px);
    dib.SetReverse(true);
    dib.PasPat(30, 20, w, h, px, px[0]);
    // The block is reused for a second read: the same picture fits, a larger one is refused.
    TQoRGB* again = px;
    LoadBmp24Mem(data, size, &again, nullptr, nullptr);
    if (again != px) __builtin_trap();
    QoFreeBlock(px);
  } else if (px != nullptr) {
    __builtin_trap();
  }

  RGBQUAD* pal = nullptr;
  unsigned char* idx = nullptr;
  if (LoadBmpMem(data, size, &pal, &idx, &w, &h)) {
    if (QoBlockSize(pal) != 1024 || QoBlockSize(idx) < static_cast<std::size_t>(w) * h) __builtin_trap();
  }
  QoFreeBlock(pal);
  QoFreeBlock(idx);

  QoAddResource(1, "FUZZ", data, size);
  px = nullptr;
  if (LoadBmp24Resource(1, "FUZZ", &px, &w, &h)) QoFreeBlock(px);
  QoClearResources();

  pal = nullptr;
  if (LoadActMem(data, size, &pal)) QoFreeBlock(pal);
  return 0;
}
