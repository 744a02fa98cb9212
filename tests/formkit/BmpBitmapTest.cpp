// BMP bytes into layer bitmaps: whole files and resources, 8 and 24 bits, and damaged bytes
// (cut, flipped and oversized headers, random bytes) that must be refused without reading past
// the end or touching the bitmap.
#include <gtest/gtest.h>

#include <random>

#include "formkit/BmpBitmap.h"
#include "platform/base/LittleEndian.h"
#include "qolib/graphics/Qooldbmp.h"
#include "tools/BmpWriter.h"

using namespace vdmq;

namespace {

raster::TImage24 Picture24(int w, int h) {
  raster::TImage24 img(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      img.At(x, y) = {static_cast<std::uint8_t>(x * 9), static_cast<std::uint8_t>(y * 13),
                      static_cast<std::uint8_t>(x + y)};
  return img;
}

raster::TImage8 Picture8(int w, int h) {
  raster::TImage8 img;
  img.Width = w;
  img.Height = h;
  for (int i = 0; i < 256; ++i) img.Palette[i] = {static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(255 - i), 7};
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) img.Index.push_back(static_cast<std::uint8_t>(x * 16 + y));
  return img;
}

bool Shows(const TBitmap& b, const raster::TImage24& img) {
  if (b.Width() != img.Width || b.Height() != img.Height) return false;
  for (int y = 0; y < img.Height; ++y)
    for (int x = 0; x < img.Width; ++x) {
      const raster::TBgr c = img.At(x, y);
      if (b.Pixels().Pixel(x, y) != ((static_cast<std::uint32_t>(c.r) << 16) | (c.g << 8) | c.b)) return false;
    }
  return true;
}

// Loads from a heap block of exactly the given bytes, so a read past the end is caught.
bool Load(const std::vector<std::uint8_t>& bytes, TBitmap& b) {
  std::vector<std::uint8_t> exact(bytes);
  exact.shrink_to_fit();
  return LoadBmpBitmap(exact.empty() ? nullptr : exact.data(), exact.size(), b);
}

TEST(BmpBitmapTest, FilesAndResourcesOfEightAndTwentyFourBits) {
  const raster::TImage24 p24 = Picture24(7, 5);  // rows padded
  const raster::TImage8 p8 = Picture8(5, 3);
  const std::vector<std::uint8_t> f24 = raster::EncodeBmp(p24), f8 = raster::EncodeBmp(p8);
  for (const auto& [bytes, want] : {std::pair{f24, p24}, std::pair{f8, p8.Expand()}}) {
    TBitmap b;
    int changes = 0;
    b.OnChange = [&] { ++changes; };
    ASSERT_TRUE(Load(bytes, b));
    EXPECT_TRUE(Shows(b, want));
    EXPECT_EQ(changes, 1);
    // The resource form: without the 14-byte file header.
    TBitmap r;
    ASSERT_TRUE(Load(std::vector<std::uint8_t>(bytes.begin() + 14, bytes.end()), r));
    EXPECT_TRUE(Shows(r, want));
  }
  // A registered resource by name.
  const std::vector<std::uint8_t> resource(f8.begin() + 14, f8.end());
  QoAddResource(0, "BmpBitmapTest", resource.data(), resource.size());
  TBitmap named;
  EXPECT_TRUE(LoadBmpBitmapResource("BmpBitmapTest", named));
  EXPECT_TRUE(Shows(named, p8.Expand()));
  EXPECT_FALSE(LoadBmpBitmapResource("BmpBitmapTest?", named));
  const std::vector<std::uint8_t> cut(resource.begin(), resource.end() - 4);  // the padding and a pixel
  QoAddResource(0, "BmpBitmapTest cut", cut.data(), cut.size());
  EXPECT_FALSE(LoadBmpBitmapResource("BmpBitmapTest cut", named));
  EXPECT_TRUE(Shows(named, p8.Expand()));
  QoClearResources();
}

TEST(BmpBitmapTest, DamagedBytesAreRefusedAndLeaveTheBitmapAlone) {
  const raster::TImage24 keep = Picture24(3, 2);
  TBitmap b;
  ASSERT_TRUE(Load(raster::EncodeBmp(keep), b));
  int changes = 0;
  b.OnChange = [&] { ++changes; };
  auto refused = [&](const std::vector<std::uint8_t>& bytes, const std::string& what) {
    EXPECT_FALSE(Load(bytes, b)) << what;
    EXPECT_TRUE(Shows(b, keep)) << what;
  };
  const std::vector<std::uint8_t> f24 = raster::EncodeBmp(Picture24(9, 4)), f8 = raster::EncodeBmp(Picture8(6, 5));
  // Cut anywhere before the last row's padding (which the readers do not need), in both forms.
  for (const auto& [f, pad] : {std::pair{f24, 1}, std::pair{f8, 2}})
    for (size_t n = 0; n < f.size() - pad; ++n) {
      refused(std::vector<std::uint8_t>(f.begin(), f.begin() + static_cast<std::ptrdiff_t>(n)),
              "file cut at " + std::to_string(n));
      if (n >= 14)
        refused(std::vector<std::uint8_t>(f.begin() + 14, f.begin() + static_cast<std::ptrdiff_t>(n)), "resource cut");
    }
  // Oversized, empty, flipped-sign and odd-depth headers.
  auto patched = [&](size_t offset, std::uint32_t v) {
    std::vector<std::uint8_t> f = f24;
    StoreLe32(f.data() + offset, v);
    return f;
  };
  refused(patched(18, 20000), "width 20000");
  refused(patched(22, 20000), "height 20000");
  refused(patched(18, 0), "width 0");
  refused(patched(18, 0x80000000u), "width below zero");
  refused(patched(22, 0), "height 0");
  refused(patched(22, static_cast<std::uint32_t>(-20000)), "height -20000");
  refused(patched(22, 40), "more rows than bytes");
  std::vector<std::uint8_t> depth = f24;
  depth[28] = 16;
  refused(depth, "16 bits");
  EXPECT_EQ(changes, 0);
}

TEST(BmpBitmapTest, RandomBytesAndFlippedHeadersNeverOverrunOrLie) {
  std::mt19937 rng(27);
  const std::vector<std::uint8_t> f8 = raster::EncodeBmp(Picture8(6, 5));
  for (int round = 0; round < 4000; ++round) {
    std::vector<std::uint8_t> bytes;
    if (round % 2 == 0) {
      bytes.resize(std::uniform_int_distribution<size_t>(0, 200)(rng));
      for (auto& v : bytes) v = static_cast<std::uint8_t>(rng());
      if (round % 4 == 0 && bytes.size() >= 2) bytes[0] = 'B', bytes[1] = 'M';
    } else {
      bytes = f8;
      for (int flips = 1 + round % 5; flips > 0; --flips)
        bytes[std::uniform_int_distribution<size_t>(0, 57)(rng)] ^= static_cast<std::uint8_t>(1u << (rng() % 8));
    }
    TBitmap b;
    b.SetSize(2, 2);
    if (Load(bytes, b)) {
      // Taken only as the picture its header describes.
      const size_t info = bytes[0] == 'B' && bytes[1] == 'M' ? 14 : 0;
      const int w = static_cast<std::int32_t>(ReadLe32(bytes.data() + info + 4));
      const std::int32_t h = static_cast<std::int32_t>(ReadLe32(bytes.data() + info + 8));
      EXPECT_EQ(b.Width(), w);
      EXPECT_EQ(b.Height(), h < 0 ? -h : h);
    } else {
      EXPECT_EQ(b.Width(), 2);
    }
  }
}

}  // namespace
