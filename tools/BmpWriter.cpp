#include "tools/BmpWriter.h"

#include "platform/base/LittleEndian.h"
#include "tools/OutputFile.h"

namespace vdmq::raster {

namespace {

constexpr std::uint32_t kHeaderBytes = 14 + 40;
constexpr std::uint32_t kPixelsPerMetre = 2835;  // 72 dots per inch

// Both headers; the rows (and the palette) follow.
std::vector<std::uint8_t> Headers(int width, int height, int bits, std::uint32_t colours) {
  const std::uint32_t pitch = (static_cast<std::uint32_t>(width) * bits / 8 + 3) & ~3u;
  const std::uint32_t imageBytes = pitch * static_cast<std::uint32_t>(height);
  const std::uint32_t offset = kHeaderBytes + 4 * colours;
  std::vector<std::uint8_t> b;
  b.reserve(offset + imageBytes);
  b.push_back('B');
  b.push_back('M');
  PutLe32(b, offset + imageBytes);
  PutLe32(b, 0);
  PutLe32(b, offset);
  PutLe32(b, 40);
  PutLe32(b, static_cast<std::uint32_t>(width));
  PutLe32(b, static_cast<std::uint32_t>(height));
  PutLe16(b, 1);
  PutLe16(b, static_cast<std::uint32_t>(bits));
  PutLe32(b, 0);  // uncompressed
  PutLe32(b, imageBytes);
  PutLe32(b, kPixelsPerMetre);
  PutLe32(b, kPixelsPerMetre);
  PutLe32(b, colours);
  PutLe32(b, 0);
  return b;
}

void Pad(std::vector<std::uint8_t>& b, size_t rowBytes) {
  for (size_t pad = (4 - rowBytes % 4) % 4; pad > 0; --pad) b.push_back(0);
}

}  // namespace

std::vector<std::uint8_t> EncodeBmp(const TImage24& img) {
  std::vector<std::uint8_t> b = Headers(img.Width, img.Height, 24, 0);
  for (int y = img.Height - 1; y >= 0; --y) {
    const auto* row = reinterpret_cast<const std::uint8_t*>(&img.At(0, y));
    b.insert(b.end(), row, row + static_cast<size_t>(img.Width) * 3);
    Pad(b, static_cast<size_t>(img.Width) * 3);
  }
  return b;
}

std::vector<std::uint8_t> EncodeBmp(const TImage8& img) {
  std::vector<std::uint8_t> b = Headers(img.Width, img.Height, 8, 256);
  for (const TBgr& c : img.Palette) {
    b.insert(b.end(), {c.b, c.g, c.r, 0});
  }
  for (int y = img.Height - 1; y >= 0; --y) {
    const std::uint8_t* row = img.Index.data() + static_cast<size_t>(y) * img.Width;
    b.insert(b.end(), row, row + img.Width);
    Pad(b, static_cast<size_t>(img.Width));
  }
  return b;
}

bool SaveBmp(const std::string& path, const TImage24& image, std::string* error) {
  const auto bytes = EncodeBmp(image);
  return ReplaceFileBytes(path, bytes.data(), bytes.size(), error);
}

bool SaveBmp(const std::string& path, const TImage8& image, std::string* error) {
  const auto bytes = EncodeBmp(image);
  return ReplaceFileBytes(path, bytes.data(), bytes.size(), error);
}

}  // namespace vdmq::raster
