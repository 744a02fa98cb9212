#include "setup/SetupPicture.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "platform/base/LittleEndian.h"
#include "setup/SetupPictureData.h"

namespace vdmq::setup {
namespace {

constexpr std::size_t kInfoHeader = 40;
constexpr int kMaxSide = 16384;

}  // namespace

bool LoadBmp24Bytes(const void* data, std::size_t size, TBitmap& bitmap) {
  const auto* p = static_cast<const std::uint8_t*>(data);
  if (!p || size < kInfoHeader) return false;
  const std::int32_t width = static_cast<std::int32_t>(ReadLe32(p + 4));
  const std::int32_t height = static_cast<std::int32_t>(ReadLe32(p + 8));
  if (ReadLe32(p) != kInfoHeader || ReadLe16(p + 12) != 1 || ReadLe16(p + 14) != 24 || ReadLe32(p + 16) != 0)
    return false;
  if (width < 1 || width > kMaxSide || height == 0 || height < -kMaxSide || height > kMaxSide) return false;
  const int rows = std::abs(height);
  const std::size_t pitch = (static_cast<std::size_t>(width) * 3 + 3) & ~std::size_t{3};
  if (size - kInfoHeader < pitch * static_cast<std::size_t>(rows)) return false;
  bitmap.SetSize(width, rows);
  TPixmap& pixels = bitmap.Pixels();
  for (int y = 0; y < rows; ++y) {
    const std::uint8_t* s = p + kInfoHeader + pitch * static_cast<std::size_t>(height > 0 ? rows - 1 - y : y);
    std::uint32_t* d = pixels.Row(y);
    for (int x = 0; x < width; ++x, s += 3) d[x] = static_cast<std::uint32_t>(s[2]) << 16 | s[1] << 8 | s[0];
  }
  bitmap.Changed();
  return true;
}

bool LoadSetupBackground(TBitmap& bitmap) {
  for (std::size_t i = 0; i < kSetupPictureCount; ++i) {
    const TSetupPictureBytes& p = kSetupPictureBytes[i];
    if (std::string_view(p.Name) == "SetupBg") return LoadBmp24Bytes(p.Data, p.Size, bitmap);
  }
  return false;
}

}  // namespace vdmq::setup
