// Feeds arbitrary bytes to the loader of BMP pictures into layer bitmaps (as a whole file, and as
// a resource without the file header): a refused picture leaves the bitmap as it was, a taken one
// has the size its header declares.
#include <cstddef>
#include <cstdint>

#include "formkit/BmpBitmap.h"
#include "platform/base/LittleEndian.h"

using namespace vdmq;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  TBitmap b;
  b.SetSize(3, 2);
  b.Pixels().SetPixel(1, 1, 0xABCDEF);
  if (!LoadBmpBitmap(data, size, b)) {
    if (b.Width() != 3 || b.Height() != 2 || b.Pixels().Pixel(1, 1) != 0xABCDEF) __builtin_trap();
  } else {
    const std::size_t info = size >= 2 && data[0] == 'B' && data[1] == 'M' ? 14 : 0;
    const std::int32_t w = static_cast<std::int32_t>(ReadLe32(data + info + 4));
    if (b.Width() != w) __builtin_trap();
  }
  return 0;
}
