// BMP and colour-table readers: 8- and 24-bit pictures, odd widths, palettes, blocks handed in by
// the caller, and hostile or damaged input.
#include "qolib/graphics/Qooldbmp.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <random>
#include <vector>

#include "support/GraphicsFiles.h"

namespace vdmq {
namespace {

using test::BmpLayout;
using test::MakeBmp;
using Bytes = std::vector<std::uint8_t>;

// Frees a loader block and forgets it, so that the next load allocates again.
template <typename T>
void Free(T*& p) {
  QoFreeBlock(p);
  p = nullptr;
}

// 24-bit picture; pixel (x, y) is blue x, green y, red 7.
BmpLayout Rgb(int w, int h) {
  BmpLayout s;
  s.width = w;
  s.height = h;
  s.bits = 24;
  for (int y = 0; y < (h < 0 ? -h : h); ++y) {
    Bytes row;
    for (int x = 0; x < w; ++x) {
      row.push_back(static_cast<std::uint8_t>(x));
      row.push_back(static_cast<std::uint8_t>(y));
      row.push_back(7);
    }
    s.rows.push_back(row);
  }
  return s;
}

// 8-bit picture with n palette entries; entry i is (blue i, green 2i, red 3i); pixel (x, y) is
// index (x + y) mod n.
BmpLayout Indexed(int w, int h, int n, std::uint32_t coloursUsed) {
  BmpLayout s;
  s.width = w;
  s.height = h;
  s.bits = 8;
  s.coloursUsed = coloursUsed;
  for (int i = 0; i < n; ++i) {
    s.palette.push_back(static_cast<std::uint8_t>(i));
    s.palette.push_back(static_cast<std::uint8_t>(2 * i));
    s.palette.push_back(static_cast<std::uint8_t>(3 * i));
    s.palette.push_back(0);
  }
  for (int y = 0; y < h; ++y) {
    Bytes row;
    for (int x = 0; x < w; ++x) row.push_back(static_cast<std::uint8_t>((x + y) % (n ? n : 1)));
    s.rows.push_back(row);
  }
  return s;
}

TEST(LoadBmp24, OddWidthRowsAreUnpaddedAndTopRowFirst) {
  Bytes file = MakeBmp(Rgb(3, 2));
  EXPECT_EQ(file.size(), 54u + 2 * 12);  // rows of 9 bytes padded to 12
  TQoRGB* px = nullptr;
  int w = 0, h = 0;
  ASSERT_TRUE(LoadBmp24Mem(file.data(), file.size(), &px, &w, &h));
  EXPECT_EQ(w, 3);
  EXPECT_EQ(h, 2);
  EXPECT_EQ(QoBlockSize(px), 18u);
  EXPECT_EQ(px[0], TQoRGB(7, 0, 0));
  EXPECT_EQ(px[2], TQoRGB(7, 0, 2));
  EXPECT_EQ(px[3], TQoRGB(7, 1, 0));  // the second output row starts 9 bytes in
  Free(px);
}

TEST(LoadBmp24, TopDownPicture) {
  Bytes file = MakeBmp(Rgb(2, -3));
  TQoRGB* px = nullptr;
  int w = 0, h = 0;
  ASSERT_TRUE(LoadBmp24Mem(file.data(), file.size(), &px, &w, &h));
  EXPECT_EQ(h, 3);
  EXPECT_EQ(px[0], TQoRGB(7, 0, 0));
  EXPECT_EQ(px[5], TQoRGB(7, 2, 1));
  Free(px);
}

TEST(LoadBmp24, EightBitPictureThroughItsPalette) {
  Bytes file = MakeBmp(Indexed(5, 2, 16, 16));
  EXPECT_EQ(file.size(), 54u + 64 + 2 * 8);
  TQoRGB* px = nullptr;
  int w = 0, h = 0;
  ASSERT_TRUE(LoadBmp24Mem(file.data(), file.size(), &px, &w, &h));
  EXPECT_EQ(px[4], TQoRGB(12, 8, 4));       // index 4
  EXPECT_EQ(px[5 + 4], TQoRGB(15, 10, 5));  // row 1: index 5
  Free(px);

  // Colours-used 0 means a full 256-entry palette.
  Bytes full = MakeBmp(Indexed(1, 1, 256, 0));
  ASSERT_TRUE(LoadBmp24Mem(full.data(), full.size(), &px, &w, &h));
  EXPECT_EQ(px[0], TQoRGB(0, 0, 0));
  Free(px);
}

TEST(LoadBmp24, MoreThan256ColoursSkipsTheRestAndUndeclaredIndicesAreBlack) {
  BmpLayout s = Indexed(3, 1, 300, 300);
  s.rows[0] = {255, 2, 1};
  Bytes file = MakeBmp(s);
  TQoRGB* px = nullptr;
  ASSERT_TRUE(LoadBmp24Mem(file.data(), file.size(), &px, nullptr, nullptr));
  EXPECT_EQ(px[0], TQoRGB(static_cast<unsigned char>(3 * 255), static_cast<unsigned char>(2 * 255), 255));
  EXPECT_EQ(px[1], TQoRGB(6, 4, 2));  // the rows start after all 300 entries
  Free(px);

  BmpLayout few = Indexed(2, 1, 2, 2);
  few.rows[0] = {1, 200};
  Bytes f2 = MakeBmp(few);
  ASSERT_TRUE(LoadBmp24Mem(f2.data(), f2.size(), &px, nullptr, nullptr));
  EXPECT_EQ(px[0], TQoRGB(3, 2, 1));
  EXPECT_EQ(px[1], TQoRGB());
  Free(px);
}

TEST(LoadBmp24, AllOutPointersNullChecksOnly) {
  Bytes file = MakeBmp(Rgb(4, 4));
  EXPECT_TRUE(LoadBmp24Mem(file.data(), file.size(), nullptr, nullptr, nullptr));
  int w = 0;
  EXPECT_TRUE(LoadBmp24Mem(file.data(), 54, nullptr, &w, nullptr));  // headers suffice
  EXPECT_EQ(w, 4);
}

TEST(LoadBmp24, CallerBlockIsFilledOnlyWhenLargeEnough) {
  Bytes file = MakeBmp(Rgb(4, 4));
  auto* block = static_cast<TQoRGB*>(QoAllocBlock(16 * 3));
  TQoRGB* px = block;
  ASSERT_TRUE(LoadBmp24Mem(file.data(), file.size(), &px, nullptr, nullptr));
  EXPECT_EQ(px, block);
  EXPECT_EQ(block[15], TQoRGB(7, 3, 3));

  Bytes bigger = MakeBmp(Rgb(5, 4));
  int w = -1;
  EXPECT_FALSE(LoadBmp24Mem(bigger.data(), bigger.size(), &px, &w, nullptr));
  EXPECT_EQ(px, block);
  EXPECT_EQ(w, -1);
  EXPECT_EQ(block[15], TQoRGB(7, 3, 3));
  Free(block);
}

TEST(LoadBmp24, TruncatedPictureKeepsItsRowsAndTheRestIsBlack) {
  Bytes file = MakeBmp(Rgb(2, 3));
  file.resize(54 + 8 + 4);  // the bottom row and 4 bytes of the middle one
  TQoRGB* px = nullptr;
  ASSERT_TRUE(LoadBmp24Mem(file.data(), file.size(), &px, nullptr, nullptr));
  EXPECT_EQ(px[4], TQoRGB(7, 2, 0));  // bottom row read
  EXPECT_EQ(px[2], TQoRGB(7, 1, 0));  // the whole first pixel of the middle row
  EXPECT_EQ(px[3], TQoRGB());         // a pixel cut in two is black
  EXPECT_EQ(px[0], TQoRGB());         // the top row is missing: black
  Free(px);

  // A caller's block is cleared where the picture is missing too.
  auto* block = static_cast<TQoRGB*>(QoAllocBlock(6 * 3));
  std::memset(static_cast<void*>(block), 0xEE, 18);
  px = block;
  ASSERT_TRUE(LoadBmp24Mem(file.data(), file.size(), &px, nullptr, nullptr));
  EXPECT_EQ(block[0], TQoRGB());
  Free(block);
  px = nullptr;

  // An 8-bit picture cut inside its palette is all black.
  Bytes pal = MakeBmp(Indexed(2, 2, 16, 16));
  pal.resize(54 + 10);
  ASSERT_TRUE(LoadBmp24Mem(pal.data(), pal.size(), &px, nullptr, nullptr));
  EXPECT_EQ(px[0], TQoRGB());
  EXPECT_EQ(px[3], TQoRGB());
  Free(px);
}

TEST(LoadBmp24, HostileHeadersAreRefusedWithoutTouchingAnything) {
  struct Case {
    int w, h, bits;
  };
  const Case cases[] = {{0, 5, 24},     {-3, 5, 24},     {5, 0, 24},         {16385, 1, 24},
                        {1, 16385, 24}, {1, -16385, 24}, {16384, 16384, 24}, {12000, 12000, 8},
                        {5, 5, 16},     {5, 5, 32},      {5, 5, 1},          {1, -2147483647 - 1, 24}};
  for (const auto& c : cases) {
    BmpLayout s;
    s.width = c.w;
    s.height = c.h;
    s.bits = c.bits;
    Bytes file = MakeBmp(s);
    file.resize(file.size() + 64);
    TQoRGB* px = nullptr;
    int w = -7, h = -7;
    EXPECT_FALSE(LoadBmp24Mem(file.data(), file.size(), &px, &w, &h)) << c.w << "x" << c.h << "@" << c.bits;
    EXPECT_EQ(px, nullptr);
    EXPECT_EQ(w, -7);
    EXPECT_EQ(h, -7);
  }
  // The largest side is still taken when the block stays within bounds.
  Bytes wide = MakeBmp(Rgb(16384, 1));
  TQoRGB* px = nullptr;
  EXPECT_TRUE(LoadBmp24Mem(wide.data(), wide.size(), &px, nullptr, nullptr));
  Free(px);
  // Headers cut short.
  Bytes file = MakeBmp(Rgb(2, 2));
  EXPECT_FALSE(LoadBmp24Mem(file.data(), 53, &px, nullptr, nullptr));
  EXPECT_FALSE(LoadBmp24Mem(file.data(), 0, &px, nullptr, nullptr));
  EXPECT_FALSE(LoadBmp24Mem(nullptr, 100, &px, nullptr, nullptr));
  EXPECT_EQ(px, nullptr);
}

TEST(LoadBmp24, RandomInputNeverOverruns) {
  // Bounded random damage to valid pictures; the sanitizer build checks every access.
  std::mt19937 rng(1234);
  const Bytes seeds[] = {MakeBmp(Rgb(3, 3)), MakeBmp(Indexed(5, 3, 20, 20)), MakeBmp(Rgb(1, -2))};
  for (int round = 0; round < 3000; ++round) {
    Bytes b = seeds[round % 3];
    const int flips = 1 + rng() % 6;
    for (int f = 0; f < flips; ++f) b[rng() % b.size()] = static_cast<std::uint8_t>(rng());
    if (rng() % 4 == 0) b.resize(rng() % (b.size() + 1));
    TQoRGB* px = nullptr;
    int w = 0, h = 0;
    if (LoadBmp24Mem(b.data(), b.size(), &px, &w, &h)) {
      ASSERT_GE(w, 1);
      ASSERT_GE(h, 1);
      ASSERT_GE(QoBlockSize(px), static_cast<std::size_t>(w) * h * 3);
      volatile unsigned sum = 0;
      for (int i = 0; i < w * h; ++i) sum = sum + px[i].r;
      Free(px);
    } else {
      ASSERT_EQ(px, nullptr);
    }
    RGBQUAD* pal = nullptr;
    unsigned char* idx = nullptr;
    if (LoadBmpMem(b.data(), b.size(), &pal, &idx, &w, &h)) {
      ASSERT_EQ(QoBlockSize(pal), 1024u);
      ASSERT_GE(QoBlockSize(idx), static_cast<std::size_t>(w) * h);
    }
    Free(pal);
    Free(idx);
  }
}

TEST(LoadBmp8, PaletteAndIndices) {
  Bytes file = MakeBmp(Indexed(3, 2, 16, 16));
  RGBQUAD* pal = nullptr;
  unsigned char* idx = nullptr;
  int w = 0, h = 0;
  ASSERT_TRUE(LoadBmpMem(file.data(), file.size(), &pal, &idx, &w, &h));
  EXPECT_EQ(QoBlockSize(pal), 1024u);
  EXPECT_EQ(pal[5].rgbBlue, 5);
  EXPECT_EQ(pal[5].rgbGreen, 10);
  EXPECT_EQ(pal[5].rgbRed, 15);
  EXPECT_EQ(pal[16].rgbRed, 0);  // beyond the declared colours: black
  EXPECT_EQ(idx[0], 0);
  EXPECT_EQ(idx[2], 2);
  EXPECT_EQ(idx[3], 1);  // second output row = first row of the picture + 1
  Free(pal);
  Free(idx);
  // Only the pixels.
  ASSERT_TRUE(LoadBmpMem(file.data(), file.size(), nullptr, &idx, nullptr, nullptr));
  EXPECT_EQ(idx[5], 3);
  Free(idx);
  // A 24-bit picture is not for the 8-bit reader.
  Bytes rgb = MakeBmp(Rgb(2, 2));
  EXPECT_FALSE(LoadBmpMem(rgb.data(), rgb.size(), &pal, &idx, &w, &h));
  EXPECT_EQ(pal, nullptr);
  EXPECT_EQ(idx, nullptr);
}

TEST(LoadBmp8, CallerBlocksTooSmallAreRefused) {
  Bytes file = MakeBmp(Indexed(4, 4, 4, 4));
  auto* pal = static_cast<RGBQUAD*>(QoAllocBlock(512));
  unsigned char* idx = nullptr;
  RGBQUAD* p = pal;
  EXPECT_FALSE(LoadBmpMem(file.data(), file.size(), &p, &idx, nullptr, nullptr));
  EXPECT_EQ(idx, nullptr);
  Free(pal);
}

TEST(LoadAct, TripletsBecomeQuads) {
  Bytes act(768, 0);
  act[0] = 0xFF;
  act[767] = 9;
  RGBQUAD* pal = nullptr;
  ASSERT_TRUE(LoadActMem(act.data(), act.size(), &pal));
  EXPECT_EQ(pal[0].rgbRed, 0xFF);
  EXPECT_EQ(pal[0].rgbGreen, 0);
  EXPECT_EQ(pal[0].rgbBlue, 0);
  EXPECT_EQ(pal[0].rgbReserved, 0);
  EXPECT_EQ(pal[255].rgbBlue, 9);
  Free(pal);
  RGBQUAD* none = nullptr;
  EXPECT_FALSE(LoadActMem(act.data(), 700, &none));
  EXPECT_EQ(none, nullptr);
  EXPECT_TRUE(LoadActMem(act.data(), 700, nullptr));  // nothing asked for
}

TEST(Loaders, FilesAndResources) {
  const std::string path = test::WriteTempFile(MakeBmp(Rgb(3, 1)), "a.bmp");
  TQoRGB* px = nullptr;
  int w = 0, h = 0;
  ASSERT_TRUE(LoadBmp24File(path, &px, &w, &h));
  EXPECT_EQ(px[2], TQoRGB(7, 0, 2));
  Free(px);
  px = nullptr;
  EXPECT_FALSE(LoadBmp24File("/nonexistent.bmp", &px, &w, &h));
  EXPECT_EQ(px, nullptr);
  std::remove(path.c_str());

  const std::string actPath = test::WriteTempFile(Bytes(768, 3), "p.act");
  RGBQUAD* pal = nullptr;
  ASSERT_TRUE(LoadActFile(actPath, &pal));
  EXPECT_EQ(pal[100].rgbGreen, 3);
  Free(pal);
  std::remove(actPath.c_str());

  BmpLayout s = Indexed(2, 2, 4, 4);
  s.fileHeader = false;
  static Bytes res;
  res = MakeBmp(s);
  QoAddResource(5, "IDX", res.data(), res.size());
  RGBQUAD* rp = nullptr;
  unsigned char* ri = nullptr;
  ASSERT_TRUE(LoadBmpResource(5, "IDX", &rp, &ri, &w, &h));
  EXPECT_EQ(ri[0], 0);  // rows 0 1 / 1 2, top row first
  EXPECT_EQ(ri[2], 1);
  EXPECT_EQ(ri[3], 2);
  EXPECT_EQ(rp[3].rgbRed, 9);
  Free(rp);
  Free(ri);
  EXPECT_FALSE(LoadBmpResource(5, nullptr, &rp, &ri, &w, &h));
  QoClearResources();
}

}  // namespace
}  // namespace vdmq
