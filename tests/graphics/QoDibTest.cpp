// The 8-bit surface: palette, its hand-over to the bound image, byte raster methods, the mirrored
// keyed blit of its own, copies and picture loads.
#include "qolib/graphics/QoDib.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <vector>

#include "support/GraphicsFiles.h"

namespace vdmq {
namespace {

using Bytes = std::vector<std::uint8_t>;

struct Eight : ::testing::Test {
  test::FakeImage img;  // declared first: it outlives the surface bound to it
  TQoDib dib{nullptr, 8, 4};
  void SetUp() override { dib.Loaded(); }
  std::string Row(int y) {
    std::string s;
    for (int x = 0; x < dib.Width(); ++x) s += dib.PGet(x, y) ? static_cast<char>('0' + dib.PGet(x, y)) : '.';
    return s;
  }
};

TEST_F(Eight, LayoutAndInitialPalette) {
  EXPECT_EQ(dib.RowPitch(), 8);
  TQoDib odd(nullptr, 5, 2);
  odd.InitDib();
  EXPECT_EQ(odd.RowPitch(), 8);
  RGBQUAD q;
  dib.AskPal1(0, &q);
  EXPECT_EQ(q.rgbRed + q.rgbGreen + q.rgbBlue, 0);
  for (int i : {10, 100, 245}) {
    dib.AskPal1(i, &q);
    EXPECT_EQ(q.rgbRed + q.rgbGreen + q.rgbBlue, 0) << i;
  }
  TQoRGB c;
  dib.AskPal1(255, &c);
  EXPECT_EQ(c, TQoRGB(255, 255, 255));
  dib.AskPal1(1, &c);
  EXPECT_EQ(c, TQoRGB(128, 0, 0));
  dib.AskPal1(249, &c);
  EXPECT_EQ(c, TQoRGB(255, 0, 0));
  EXPECT_EQ(dib.PGet(-1, 0), 0);
}

TEST_F(Eight, SetPalIgnoresIndicesOutsideTheTable) {
  dib.SetPal1(-1, TQoRGB(1, 2, 3));
  dib.SetPal1(256, TQoRGB(1, 2, 3));
  EXPECT_FALSE(dib.PaletteChanged());
  dib.SetPal1(3, TQoRGB(1, 2, 3));
  TQoRGB c;
  dib.AskPal1(3, &c);
  EXPECT_EQ(c, TQoRGB(1, 2, 3));
  // Without pixel memory nothing is set.
  TQoDib none;
  none.SetPal1(3, TQoRGB(1, 2, 3));
  none.AskPal1(3, &c);
  EXPECT_EQ(c, TQoRGB(128, 128, 0));
}

TEST_F(Eight, PaletteReachesTheImageOnceWhenBatched) {
  dib.SetImage(&img);
  ASSERT_NE(img.view.palette, nullptr);
  EXPECT_EQ(img.view.bitsPerPixel, 8);
  dib.ChgModifiedSw(false);
  dib.SetPal1(7, TQoRGB(9, 8, 7));
  dib.SetPal1(8, TQoRGB(9, 8, 7));
  EXPECT_TRUE(dib.PaletteChanged());
  EXPECT_EQ(img.palettes, 0);
  dib.ChgModifiedSw(true);
  EXPECT_EQ(img.palettes, 1);
  EXPECT_EQ(img.lastPalette[7].rgbRed, 9);
  EXPECT_FALSE(dib.PaletteChanged());
  dib.PSet(0, 0, 1);
  EXPECT_EQ(img.palettes, 1);  // no palette change since
}

TEST_F(Eight, ResizeKeepsThePalette) {
  dib.SetPal1(20, TQoRGB(5, 6, 7));
  dib.PSet(1, 1, 20);
  dib.SetWidth(13);
  TQoRGB c;
  dib.AskPal1(20, &c);
  EXPECT_EQ(c, TQoRGB(5, 6, 7));
  EXPECT_EQ(dib.PGet(1, 1), 20);
  EXPECT_EQ(dib.RowPitch(), 16);
}

TEST_F(Eight, ByteRasterMethods) {
  struct Case {
    TQoMethod m;
    int d, s, want;
  } cases[] = {{Qo_MED, 255, 254, 254}, {Qo_MED, 255, 0, 127}, {Qo_ADD, 100, 155, 255},    {Qo_ADD, 100, 154, 254},
               {Qo_SUB, 60, 61, 0},     {Qo_SUB, 61, 60, 1},   {Qo_XOR, 0xF0, 0xFF, 0x0F}, {Qo_NOT, 3, 4, 4}};
  for (auto c : cases) {
    dib.SetMethod(Qo_SET);
    dib.BoxFill(0, 0, 7, 0, static_cast<std::uint8_t>(c.d));
    dib.SetMethod(c.m);
    Bytes pat(8, static_cast<std::uint8_t>(c.s));
    dib.PutPat(0, 0, 8, 1, pat.data());
    EXPECT_EQ(dib.PGet(3, 0), c.want) << int(c.m);
  }
}

TEST_F(Eight, WappiBlitMirrorsByItsArgument) {
  Bytes pat = {1, 2, 3, 4, 5};
  EXPECT_TRUE(dib.PasPatWappi(-2, 0, 5, 1, pat.data(), 0, true));
  EXPECT_EQ(Row(0), "321.....");  // read backwards; the left edge drops the last ones
  EXPECT_TRUE(dib.PasPatWappi(5, 1, 5, 1, pat.data(), 4, true));
  EXPECT_EQ(Row(1), ".....5.3");  // the right edge drops the first ones; key 4 skipped
  EXPECT_TRUE(dib.PasPat2Wappi(0, 2, 3, 1, pat.data(), 1, 2, false));
  EXPECT_EQ(Row(2), "1.3.....");
  dib.SetMethod(Qo_ADD);
  EXPECT_TRUE(dib.PasPatWappi(0, 2, 3, 1, pat.data(), 0, false));
  EXPECT_EQ(Row(2), "226.....");
  TQoDib none;
  EXPECT_FALSE(none.PasPatWappi(0, 0, 1, 1, pat.data(), 0, false));
}

TEST_F(Eight, BlitsLinesAndCopies) {
  Bytes pat = {1, 0, 2, 0};
  dib.PasPat(0, 0, 4, 1, pat.data(), 0);
  EXPECT_EQ(Row(0), "1.2.....");
  dib.SetReverse(true);
  dib.PutPat(0, 1, 4, 1, pat.data());
  EXPECT_EQ(Row(1), ".2.1....");
  dib.SetReverse(false);
  dib.Line(0, 3, 7, 3, 9);
  EXPECT_EQ(Row(3), "99999999");
  const std::uint8_t mask = 0xC0;
  dib.BoxFillM(0, 2, 7, 2, 5, &mask, 4, 1);
  EXPECT_EQ(Row(2), "55..55..");

  TQoDib other(nullptr, 4, 4);
  other.InitDib();
  other.SetPal1(1, TQoRGB(1, 1, 1));  // palettes play no part in 8-bit copies
  EXPECT_TRUE(other.PutDib(0, 0, &dib, 0, 0, 4, 4));
  EXPECT_EQ(other.PGet(2, 0), 2);
  EXPECT_EQ(other.PGet(3, 1), 1);
  other.Cls();
  EXPECT_TRUE(other.PasDib(0, 0, &dib, 0, 0, 4, 1, 1));
  EXPECT_EQ(other.PGet(0, 0), 0);
  EXPECT_EQ(other.PGet(2, 0), 2);
  // Within one surface, overlapping.
  EXPECT_TRUE(dib.PutDib(1, 3, &dib, 0, 2, 8, 2));
  EXPECT_EQ(Row(3), "955..55.");
  TQoDib empty;
  EXPECT_FALSE(other.PutDib(0, 0, &empty, 0, 0, 1, 1));
}

TEST(EightLoads, PictureReplacesThePaletteAndActFiles) {
  test::BmpLayout s;
  s.width = 3;
  s.height = 1;
  s.bits = 8;
  s.coloursUsed = 2;
  s.palette = {1, 2, 3, 0, 4, 5, 6, 0};
  s.rows = {{0, 1, 1}};
  const std::string path = test::WriteTempFile(test::MakeBmp(s), "i.bmp");
  TQoDib d;
  ASSERT_TRUE(d.DrawBmpFile(path, 1, 1));
  EXPECT_EQ(d.Width(), 4);
  EXPECT_EQ(d.Height(), 2);
  EXPECT_EQ(d.PGet(2, 1), 1);
  TQoRGB c;
  d.AskPal1(1, &c);
  EXPECT_EQ(c, TQoRGB(6, 5, 4));
  d.AskPal1(255, &c);
  EXPECT_EQ(c, TQoRGB());  // all 256 entries replaced
  // A 24-bit picture is not for the 8-bit surface.
  test::BmpLayout rgb;
  rgb.rows = {{1, 2, 3}};
  const std::string rgbPath = test::WriteTempFile(test::MakeBmp(rgb), "c.bmp");
  EXPECT_FALSE(d.DrawBmpFile(rgbPath, 0, 0));

  Bytes act(768, 0);
  act[3 * 9] = 200;
  const std::string actPath = test::WriteTempFile(act, "p.act");
  EXPECT_TRUE(d.SetActFile(actPath));
  d.AskPal1(9, &c);
  EXPECT_EQ(c, TQoRGB(200, 0, 0));
  EXPECT_FALSE(d.SetActFile("/nonexistent.act"));
  d.InitPal();
  d.AskPal1(9, &c);
  EXPECT_EQ(c, TQoRGB(166, 202, 240));
  for (const auto& p : {path, rgbPath, actPath}) std::remove(p.c_str());
}

}  // namespace
}  // namespace vdmq
