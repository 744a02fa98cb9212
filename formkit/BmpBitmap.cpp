#include "formkit/BmpBitmap.h"

#include <cstdint>
#include <cstring>
#include <vector>

#include "platform/base/LittleEndian.h"
#include "qolib/graphics/Qooldbmp.h"

namespace vdmq {

namespace {

constexpr std::size_t kFileHeader = 14, kInfoHeader = 40;

// True when the bytes from the information header on hold the whole picture. The readers take a
// picture cut short and paint its missing rows black; the kit wants the picture or nothing.
bool Complete(const std::uint8_t* info, std::size_t size) {
  if (size < kInfoHeader) return false;
  const std::int64_t width = static_cast<std::int32_t>(ReadLe32(info + 4));
  std::int64_t height = static_cast<std::int32_t>(ReadLe32(info + 8));
  const int bits = ReadLe16(info + 14);
  if (width < 1 || height == 0 || (bits != 8 && bits != 24)) return false;
  if (height < 0) height = -height;
  const std::uint32_t used = ReadLe32(info + 32) & 0xFFFFu;
  const std::uint64_t palette = bits == 8 ? (used == 0 ? 256u : used) * 4ull : 0;
  const std::uint64_t row = (static_cast<std::uint64_t>(width) * (bits / 8) + 3) & ~std::uint64_t{3};
  const std::uint64_t need = kInfoHeader + palette + row * static_cast<std::uint64_t>(height - 1) +
                             static_cast<std::uint64_t>(width) * (bits / 8);
  return need <= size;
}

bool IntoBitmap(TQoRGB* pixels, int width, int height, TBitmap& bitmap) {
  if (!pixels) return false;
  TPixmap p(width, height);
  for (int y = 0; y < height; ++y) {
    const TQoRGB* s = pixels + static_cast<std::size_t>(y) * width;
    std::uint32_t* d = p.Row(y);
    for (int x = 0; x < width; ++x)
      d[x] = (static_cast<std::uint32_t>(s[x].r) << 16) | (static_cast<std::uint32_t>(s[x].g) << 8) | s[x].b;
  }
  QoFreeBlock(pixels);
  bitmap.TakePixels(std::move(p));
  return true;
}

}  // namespace

bool LoadBmpBitmap(const void* data, std::size_t size, TBitmap& bitmap) {
  if (!data) return false;
  const auto* bytes = static_cast<const std::uint8_t*>(data);
  TQoRGB* pixels = nullptr;
  int width = 0, height = 0;
  if (size >= 2 && bytes[0] == 'B' && bytes[1] == 'M') {
    if (size < kFileHeader || !Complete(bytes + kFileHeader, size - kFileHeader)) return false;
    if (!LoadBmp24Mem(data, size, &pixels, &width, &height)) return false;
  } else {
    // A resource: the reader of memory wants the file header in front.
    if (!Complete(bytes, size)) return false;
    std::vector<std::uint8_t> file(kFileHeader + size);
    file[0] = 'B';
    file[1] = 'M';
    std::memcpy(file.data() + kFileHeader, bytes, size);
    if (!LoadBmp24Mem(file.data(), file.size(), &pixels, &width, &height)) return false;
  }
  return IntoBitmap(pixels, width, height, bitmap);
}

bool LoadBmpBitmapResource(const std::string& name, TBitmap& bitmap) {
  const unsigned char* data = nullptr;
  std::size_t size = 0;
  if (!QoFindResource(0, name, &data, &size) || !Complete(data, size)) return false;
  TQoRGB* pixels = nullptr;
  int width = 0, height = 0;
  if (!LoadBmp24Resource(0, name.c_str(), &pixels, &width, &height)) return false;
  return IntoBitmap(pixels, width, height, bitmap);
}

}  // namespace vdmq
