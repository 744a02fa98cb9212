#include "support/GraphicsFiles.h"

#include <atomic>
#include <cstdio>
#include <fstream>
#include <utility>

#include "platform/base/LittleEndian.h"
#include "qolib/graphics/Qograph_rap.h"
#include "qolib/pack/Qopack.h"
#include "support/Scratch.h"

namespace vdmq::test {

std::vector<std::uint8_t> MakeBmp(const BmpLayout& s) {
  std::vector<std::uint8_t> b;
  if (s.fileHeader) {
    b.push_back('B');
    b.push_back('M');
    PutLe32(b, 0);  // file size: not used
    PutLe32(b, 0);
    PutLe32(b, static_cast<std::uint32_t>(54 + s.palette.size()));
  }
  PutLe32(b, 40);
  PutLe32(b, static_cast<std::uint32_t>(s.width));
  PutLe32(b, static_cast<std::uint32_t>(s.height));
  PutLe16(b, 1);
  PutLe16(b, static_cast<std::uint32_t>(s.bits));
  PutLe32(b, 0);
  PutLe32(b, 0);
  PutLe32(b, 0);
  PutLe32(b, 0);
  PutLe32(b, s.coloursUsed);
  PutLe32(b, 0);
  b.insert(b.end(), s.palette.begin(), s.palette.end());
  // Rows are stored bottom row first unless the height is negative.
  const int n = static_cast<int>(s.rows.size());
  for (int k = 0; k < n; ++k) {
    const auto& row = s.rows[s.height < 0 ? k : n - 1 - k];
    b.insert(b.end(), row.begin(), row.end());
    for (std::size_t pad = (4 - row.size() % 4) % 4; pad > 0; --pad) b.push_back(0);
  }
  return b;
}

std::string WriteTempFile(const std::vector<std::uint8_t>& bytes, const std::string& stem) {
  static std::atomic<int> counter{0};
  static TScratch scratch("gfx");  // one folder per test process, removed at its end
  const std::string path = scratch / (std::to_string(counter++) + "_" + stem);
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  return path;
}

std::string MakePack(const std::vector<std::pair<std::string, std::vector<std::uint8_t>>>& entries, int method) {
  const std::string path = WriteTempFile({}, "pics.pak");
  std::remove(path.c_str());
  TQoPack pack;
  pack.SetReadOnly(false);
  if (!pack.NewPack(path.c_str())) return {};
  for (const auto& [name, bytes] : entries) {
    const std::string src = WriteTempFile(bytes, "entry");
    const bool added = pack.AddFile(name.c_str(), src.c_str(), method, false);
    std::remove(src.c_str());
    if (!added) return {};
  }
  if (!pack.ClosePack()) return {};
  return path;
}

TQoRGB FlatFrameColour(int kind, int frame) {
  return TQoRGB(static_cast<unsigned char>(kind * 3), static_cast<unsigned char>(frame * 3 + 1), 40);
}

std::vector<std::uint8_t> FlatFramesBmp(int kind, int rows, int cols, int frameWidth, int frameHeight) {
  const TQoRGB key(255, 0, 255);
  BmpLayout s;
  s.width = cols * frameWidth;
  s.height = rows * frameHeight;
  for (int y = 0; y < s.height; ++y) {
    std::vector<std::uint8_t> row;
    for (int x = 0; x < s.width; ++x) {
      const TQoRGB c = x == 0 && y == 0 ? key : FlatFrameColour(kind, (y / frameHeight) * cols + x / frameWidth);
      row.insert(row.end(), {c.b, c.g, c.r});
    }
    s.rows.push_back(std::move(row));
  }
  return MakeBmp(s);
}

TQoRGB PlaceColour(int x, int y) {
  return TQoRGB(static_cast<unsigned char>(x & 255), static_cast<unsigned char>(y & 255),
                static_cast<unsigned char>((x >> 8) | ((y >> 8) << 4)));
}

std::vector<std::uint8_t> PlaceBmp(int width, int height) {
  BmpLayout s;
  s.width = width;
  s.height = height;
  for (int y = 0; y < height; ++y) {
    std::vector<std::uint8_t> row;
    for (int x = 0; x < width; ++x) {
      const TQoRGB c = PlaceColour(x, y);
      row.insert(row.end(), {c.b, c.g, c.r});
    }
    s.rows.push_back(std::move(row));
  }
  return MakeBmp(s);
}

std::vector<std::uint8_t> FlatBmp(int width, int height, TQoRGB colour) {
  BmpLayout bmp;
  bmp.width = width;
  bmp.height = height;
  bmp.rows.assign(height, {});
  for (std::vector<std::uint8_t>& row : bmp.rows)
    for (int x = 0; x < width; ++x) row.insert(row.end(), {colour.b, colour.g, colour.r});
  return MakeBmp(bmp);
}

std::string NumberedEntryName(int kind, int number) {
  return std::to_string(kind) + "-" + std::to_string(number) + ".BMP";
}

TTestArchive::TTestArchive(const std::vector<std::pair<std::string, std::vector<std::uint8_t>>>& entries)
    : path_(MakePack(entries)) {}

TTestArchive::~TTestArchive() {
  pack_.ClosePack();
  if (!path_.empty()) std::remove(path_.c_str());
}

bool TTestArchive::Install() {
  if (path_.empty() || !pack_.OpenPack(path_)) return false;
  SetQoPictureArchive(&pack_);
  SetQoEntryNameHook(NumberedEntryName);
  return true;
}

void TTestArchive::Uninstall() {
  SetQoEntryNameHook(nullptr);
  SetQoPictureArchive(nullptr);
  pack_.ClosePack();
}

}  // namespace vdmq::test
