// Sprite sheets, the standard colours, pictures by kind and number, and the archive readers.
#include "qolib/graphics/Qograph_rap.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <vector>

#include "qolib/graphics/QoDib.h"
#include "qolib/pack/Qopack.h"
#include "support/GraphicsFiles.h"

namespace vdmq {
namespace {

using Bytes = std::vector<std::uint8_t>;

// A 24-bit picture whose pixel (x, y) is (red x, green y, blue 1), except the colour given for
// the first pixel (the sheet's key).
Bytes Sheet(int w, int h, TQoRGB first) {
  test::BmpLayout s;
  s.width = w;
  s.height = h;
  for (int y = 0; y < h; ++y) {
    Bytes row;
    for (int x = 0; x < w; ++x) {
      TQoRGB c = (x == 0 && y == 0) ? first : TQoRGB(static_cast<unsigned char>(x), static_cast<unsigned char>(y), 1);
      row.push_back(c.b);
      row.push_back(c.g);
      row.push_back(c.r);
    }
    s.rows.push_back(row);
  }
  return test::MakeBmp(s);
}

Bytes Uniform(int w, int h, TQoRGB c) {
  test::BmpLayout s;
  s.width = w;
  s.height = h;
  for (int y = 0; y < h; ++y) {
    Bytes row;
    for (int x = 0; x < w; ++x) row.insert(row.end(), {c.b, c.g, c.r});
    s.rows.push_back(row);
  }
  return test::MakeBmp(s);
}

struct Sprites : ::testing::Test {
  TQoPack pack;
  std::string path;
  test::FakeImage img;  // declared first: it outlives the surface bound to it
  TQoTrueDib dib{nullptr, 40, 20};
  void SetUp() override {
    const TQoRGB key(255, 0, 255);
    test::BmpLayout idx;
    idx.width = 2;
    idx.height = 1;
    idx.bits = 8;
    idx.coloursUsed = 2;
    idx.palette = {10, 20, 30, 0, 40, 50, 60, 0};
    idx.rows = {{1, 0}};
    Bytes act(768, 0);
    act[3] = 0xFF;  // entry 1: red
    path = test::MakePack({{"CHIPS.BMP", Sheet(256, 32, key)},
                           {"SMALL.BMP", Sheet(8, 4, key)},
                           {"ALLKEY.BMP", Uniform(4, 2, TQoRGB(3, 0, 1))},
                           {"IDX.BMP", test::MakeBmp(idx)},
                           {"PAL.ACT", act},
                           {"BROKEN.BMP", Bytes{'B', 'M', 1, 2, 3}}});
    ASSERT_FALSE(path.empty());
    ASSERT_TRUE(pack.OpenPack(path));
    dib.InitDib();
  }
  void TearDown() override {
    pack.ClosePack();
    std::remove(path.c_str());
    SetQoEntryNameHook(nullptr);
    SetQoPictureArchive(nullptr);
  }
  int DrawnCount() {
    int n = 0;
    for (int y = 0; y < dib.Height(); ++y)
      for (int x = 0; x < dib.Width(); ++x) n += dib.PGet(x, y) != TQoRGB() ? 1 : 0;
    return n;
  }
};

TEST(RapColors, StandardTable) {
  EXPECT_EQ(RapColors[0].ToDWORD(), 0x000000ul);
  EXPECT_EQ(RapColors[1].ToDWORD(), 0x800000ul);
  EXPECT_EQ(RapColors[9], TQoRGB(255, 0, 0));
  EXPECT_EQ(RapColors[12], TQoRGB(0, 0, 255));
  EXPECT_EQ(RapColors[14].ToDWORD(), 0x00FFFFul);
  EXPECT_EQ(RapColors[15], RapColors[8]);
  EXPECT_EQ(RapColors[16], RapColors[7]);
  EXPECT_EQ(RapColors[17].ToDWORD(), 0xFFFFFFul);
}

TEST_F(Sprites, LoadCutsEqualFrames) {
  TQoRGBContainer sheet;
  ASSERT_TRUE(sheet.LoadPack(&pack, "CHIPS.BMP", 1, 8));
  EXPECT_EQ(sheet.FrameWidth(), 32);
  EXPECT_EQ(sheet.FrameHeight(), 32);
  EXPECT_EQ(sheet.Width(), 256);
  EXPECT_EQ(sheet.Rows(), 1);
  EXPECT_EQ(sheet.Cols(), 8);
  // Frame 3 starts at column 96.
  sheet.PutPat(&dib, 3, 0, 0, Qo_SET);
  EXPECT_EQ(dib.PGet(0, 0), TQoRGB(96, 0, 1));
  EXPECT_EQ(dib.PGet(31, 19), TQoRGB(127, 19, 1));
  EXPECT_EQ(dib.PGet(32, 0), TQoRGB());
  // Frame 9 does not exist: nothing is drawn and nothing is read outside the picture.
  dib.Cls();
  sheet.PutPat(&dib, 8, 0, 0, Qo_SET);
  sheet.PasPat(&dib, -1, 0, 0, Qo_SET);
  sheet.PutPat(&dib, 2147483647, 0, 0, Qo_SET);
  EXPECT_EQ(DrawnCount(), 0);
}

TEST_F(Sprites, RefusedLoadsChangeNothing) {
  TQoRGBContainer sheet;
  EXPECT_FALSE(sheet.LoadPack(&pack, "CHIPS.BMP", 0, 8));
  EXPECT_FALSE(sheet.LoadPack(&pack, "CHIPS.BMP", 1, -1));
  EXPECT_FALSE(sheet.LoadPack(&pack, "MISSING.BMP", 1, 1));
  EXPECT_FALSE(sheet.LoadPack(&pack, "BROKEN.BMP", 1, 1));
  EXPECT_FALSE(sheet.LoadPack(nullptr, "CHIPS.BMP", 1, 1));
  EXPECT_EQ(sheet.Pixels(), nullptr);
  EXPECT_EQ(sheet.FrameWidth(), 0);
  // An empty sheet draws nothing.
  sheet.PutPat(&dib, 0, 0, 0, Qo_SET);
  sheet.PasPat(&dib, 0, 0, 0, Qo_SET);
  sheet.PutArea(&dib, 0, 0, 10, 10, 0, 0, Qo_SET);
  EXPECT_EQ(DrawnCount(), 0);
}

TEST_F(Sprites, KeyedFramesSkipTheFirstPixelsColour) {
  TQoRGBContainer sheet;
  ASSERT_TRUE(sheet.LoadPack(&pack, "SMALL.BMP", 2, 2));  // frames 4 x 2
  dib.BoxFill(0, 0, 39, 19, TQoRGB(9, 9, 9));
  sheet.PasPat(&dib, 0, 1, 1, Qo_SET);
  EXPECT_EQ(dib.PGet(1, 1), TQoRGB(9, 9, 9));  // the key pixel
  EXPECT_EQ(dib.PGet(2, 1), TQoRGB(1, 0, 1));
  EXPECT_EQ(dib.PGet(1, 2), TQoRGB(0, 1, 1));
  sheet.PasPat(&dib, 3, 10, 10, Qo_ADD);  // frame 3: x 4..7, y 2..3, added
  EXPECT_EQ(dib.PGet(10, 10), TQoRGB(13, 11, 10));

  TQoRGBContainer all;
  ASSERT_TRUE(all.LoadPack(&pack, "ALLKEY.BMP", 1, 1));
  dib.Cls();
  all.PasPat(&dib, 0, 0, 0, Qo_SET);
  EXPECT_EQ(DrawnCount(), 0);
  all.PutPat(&dib, 0, 0, 0, Qo_SET);
  EXPECT_EQ(DrawnCount(), 8);
}

TEST_F(Sprites, MethodAndReverseAreRestoredAndVisibilityTests) {
  TQoRGBContainer sheet;
  ASSERT_TRUE(sheet.LoadPack(&pack, "SMALL.BMP", 2, 2));
  dib.SetImage(&img);
  dib.SetMethod(Qo_XOR);
  dib.SetReverse(true);
  sheet.PasPat(&dib, 1, 5, 5, Qo_SET);
  EXPECT_EQ(dib.Method(), Qo_XOR);
  EXPECT_TRUE(dib.Reverse());
  EXPECT_EQ(dib.PGet(5, 5), TQoRGB(4, 0, 1));  // drawn unmirrored
  const int before = img.repaints;
  sheet.PasPat(&dib, 0, dib.Width(), 0, Qo_SET);  // still reaches the surface, which clips all
  EXPECT_EQ(img.repaints, before + 1);
  sheet.PasPat(&dib, 0, -sheet.FrameWidth(), 0, Qo_SET);  // wholly left: not even called
  sheet.PasPat(&dib, 0, dib.Width() + 1, 0, Qo_SET);
  sheet.PasPat(&dib, 0, 0, -sheet.FrameHeight(), Qo_SET);
  sheet.PasPat(nullptr, 0, 0, 0, Qo_SET);
  EXPECT_EQ(img.repaints, before + 1);
}

TEST_F(Sprites, PutAreaClampsTheSourceAndClipsToThePicture) {
  TQoRGBContainer sheet;
  ASSERT_TRUE(sheet.LoadPack(&pack, "CHIPS.BMP", 1, 8));
  dib.SetMethod(Qo_ADD);
  sheet.PutArea(&dib, 0, 0, 40, 20, 250, 28, Qo_SET);
  EXPECT_EQ(dib.Method(), Qo_ADD);
  EXPECT_EQ(dib.PGet(0, 0), TQoRGB(250, 28, 1));
  EXPECT_EQ(dib.PGet(5, 3), TQoRGB(255, 31, 1));
  EXPECT_EQ(dib.PGet(6, 0), TQoRGB());  // beyond the picture's right edge
  EXPECT_EQ(dib.PGet(0, 4), TQoRGB());  // below its bottom
  dib.Cls();
  sheet.PutArea(&dib, 0, 0, 5, 5, -10, -10, Qo_SET);
  EXPECT_EQ(dib.PGet(1, 1), TQoRGB(1, 1, 1));
  dib.Cls();
  sheet.PutArea(&dib, 0, 0, 5, 5, 100000, 0, Qo_SET);  // clamped to the last column: nothing left
  EXPECT_EQ(DrawnCount(), 0);
}

TEST_F(Sprites, ByKindAndNumberThroughTheHook) {
  TQoTrueDib d;
  EXPECT_FALSE(DrawBmpPackById(&d, 0, 0, 3, 1));  // no hook, no archive
  SetQoEntryNameHook([](int kind, int number) { return kind == 3 && number == 1 ? "SMALL.BMP" : "NONE.BMP"; });
  EXPECT_FALSE(DrawBmpPackById(&d, 0, 0, 3, 1));  // no archive yet
  SetQoPictureArchive(&pack);
  EXPECT_FALSE(DrawBmpPackById(nullptr, 0, 0, 3, 1));
  EXPECT_TRUE(DrawBmpPackById(&d, 0, 0, 3, 1));
  EXPECT_EQ(d.Width(), 8);
  EXPECT_EQ(d.PGet(7, 3), TQoRGB(7, 3, 1));
  EXPECT_FALSE(DrawBmpPackById(&d, 0, 0, 3, 2));

  TQoRGBContainer sheet;
  EXPECT_TRUE(sheet.LoadPackById(3, 1, 1, 2));
  EXPECT_EQ(sheet.FrameWidth(), 4);
  TQoRGBContainer none;
  EXPECT_FALSE(none.LoadPackById(3, 9, 1, 1));
}

TEST_F(Sprites, ArchiveReadersAndSurfaceLoads) {
  TQoRGB* px = nullptr;
  int w = 0, h = 0;
  ASSERT_TRUE(LoadBmp24Pack(&pack, "IDX.BMP", &px, &w, &h));
  EXPECT_EQ(px[0], TQoRGB(60, 50, 40));
  EXPECT_EQ(px[1], TQoRGB(30, 20, 10));
  QoFreeBlock(px);
  RGBQUAD* pal = nullptr;
  unsigned char* idx = nullptr;
  ASSERT_TRUE(LoadBmpPack(&pack, "IDX.BMP", &pal, &idx, &w, &h));
  EXPECT_EQ(idx[0], 1);
  EXPECT_EQ(pal[1].rgbRed, 60);
  QoFreeBlock(pal);
  QoFreeBlock(idx);
  pal = nullptr;
  ASSERT_TRUE(LoadActPack(&pack, "PAL.ACT", &pal));
  EXPECT_EQ(pal[1].rgbRed, 0xFF);
  QoFreeBlock(pal);
  pal = nullptr;
  EXPECT_FALSE(LoadActPack(&pack, "NOPE.ACT", &pal));
  EXPECT_FALSE(LoadBmp24Pack(nullptr, "IDX.BMP", &px, &w, &h));

  TQoTrueDib d;
  EXPECT_TRUE(d.DrawBmpPack(&pack, "IDX.BMP", 1, 0));
  EXPECT_EQ(d.Width(), 3);
  EXPECT_EQ(d.PGet(1, 0), TQoRGB(60, 50, 40));
  EXPECT_FALSE(d.DrawBmpPack(&pack, "BROKEN.BMP", 0, 0));

  TQoDib eight;
  EXPECT_TRUE(eight.DrawBmpPack(&pack, "IDX.BMP", 0, 0));
  EXPECT_EQ(eight.PGet(0, 0), 1);
  RGBQUAD q;
  eight.AskPal1(1, &q);
  EXPECT_EQ(q.rgbRed, 60);
  eight.AskPal1(255, &q);
  EXPECT_EQ(q.rgbRed, 0);  // the picture's palette replaced all 256 entries
  EXPECT_TRUE(eight.SetActPack(&pack, "PAL.ACT"));
  eight.AskPal1(1, &q);
  EXPECT_EQ(q.rgbRed, 0xFF);
  EXPECT_FALSE(eight.SetActPack(&pack, "MISSING.ACT"));
}

}  // namespace
}  // namespace vdmq
