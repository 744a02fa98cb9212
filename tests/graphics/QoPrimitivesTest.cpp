// Primitives of the 24-bit surface: pixels, lines, boxes, fills, pattern reads, surface copies and
// picture loads.
#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <set>
#include <utility>
#include <vector>

#include "qolib/graphics/QoDib.h"
#include "qolib/graphics/QoTDib.h"
#include "support/GraphicsFiles.h"

namespace vdmq {
namespace {

using Points = std::set<std::pair<int, int>>;
const TQoRGB kOne(1, 1, 1);

struct Prim : ::testing::Test {
  test::FakeImage img;  // declared first: it outlives the surface bound to it
  TQoTrueDib dib{nullptr, 20, 20};
  void SetUp() override {
    dib.SetImage(&img);
    dib.Loaded();
  }
  // Every pixel that is not black, with its red value.
  std::map<std::pair<int, int>, int> Drawn() {
    std::map<std::pair<int, int>, int> out;
    for (int y = 0; y < dib.Height(); ++y)
      for (int x = 0; x < dib.Width(); ++x)
        if (dib.PGet(x, y).r != 0) out[{x, y}] = dib.PGet(x, y).r;
    return out;
  }
  Points Set() {
    Points p;
    for (auto& [pt, v] : Drawn()) p.insert(pt);
    return p;
  }
};

TEST_F(Prim, PSetAndPGet) {
  EXPECT_TRUE(dib.PSet(3, 4, TQoRGB(9, 8, 7)));
  EXPECT_EQ(dib.PGet(3, 4), TQoRGB(9, 8, 7));
  const int before = img.repaints;
  EXPECT_FALSE(dib.PSet(-1, 0, kOne));
  EXPECT_FALSE(dib.PSet(20, 0, kOne));
  EXPECT_FALSE(dib.PSet(0, 20, kOne));
  EXPECT_EQ(img.repaints, before);  // nothing marked
  EXPECT_EQ(dib.PGet(20, 0), TQoRGB());
  EXPECT_EQ(dib.PGet(-5, -5), TQoRGB());
}

TEST_F(Prim, LinePixelSets) {
  EXPECT_TRUE(dib.Line(0, 0, 3, 0, kOne));
  EXPECT_EQ(Set(), (Points{{0, 0}, {1, 0}, {2, 0}, {3, 0}}));
  dib.Cls();
  dib.Line(3, 5, 3, 0, kOne);
  Points down = Set();
  dib.Cls();
  dib.Line(3, 0, 3, 5, kOne);
  EXPECT_EQ(Set(), down);
  EXPECT_EQ(down.size(), 6u);
  dib.Cls();
  dib.Line(0, 0, 4, 2, kOne);
  EXPECT_EQ(Set(), (Points{{0, 0}, {1, 0}, {2, 1}, {3, 1}, {4, 2}}));
  EXPECT_EQ(dib.CurrentX(), 4);
  EXPECT_EQ(dib.CurrentY(), 2);
  dib.Cls();
  dib.Line(4, 0, 0, 4, kOne);  // a diagonal runs right to left downwards
  EXPECT_EQ(Set(), (Points{{0, 4}, {1, 3}, {2, 2}, {3, 1}, {4, 0}}));
}

TEST_F(Prim, LineCourseDoesNotDependOnTheOutsidePart) {
  // The part inside the surface is the same whether the line is drawn from inside or beyond.
  TQoTrueDib a(nullptr, 20, 20), b(nullptr, 60, 60);
  a.InitDib();
  b.InitDib();
  a.Line(-20, -20, 19, 10, kOne);
  b.Line(20, 20, 59, 50, kOne);
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 20; ++x) ASSERT_EQ(a.PGet(x, y), b.PGet(x + 40, y + 40)) << x << "," << y;
  // Far-away ends are clamped and end quickly.
  EXPECT_TRUE(a.Line(-2000000000, 5, 2000000000, 5, kOne));
  EXPECT_EQ(a.PGet(19, 5), kOne);
}

TEST_F(Prim, ContinuedLineDoesNotRedrawTheCorner) {
  dib.SetMethod(Qo_XOR);
  const TQoRGB c(0x10, 0, 0);
  dib.Line(0, 0, 10, 0, c);
  dib.CLine(10, 10, c);
  EXPECT_EQ(dib.PGet(10, 0).r, 0x10);
  EXPECT_EQ(dib.PGet(10, 10).r, 0x10);
  EXPECT_EQ(dib.PGet(10, 5).r, 0x10);
  EXPECT_EQ(dib.CurrentY(), 10);
  // A line of one point is drawn once.
  dib.Line(15, 15, 15, 15, c);
  EXPECT_EQ(dib.PGet(15, 15).r, 0x10);
}

TEST_F(Prim, BoxOutlineOncePerPixel) {
  dib.SetMethod(Qo_XOR);
  EXPECT_TRUE(dib.Box(2, 2, 6, 5, TQoRGB(1, 0, 0)));
  auto drawn = Drawn();
  EXPECT_EQ(drawn.size(), 14u);  // 5 + 5 + 2 + 2
  for (auto& [pt, v] : drawn) EXPECT_EQ(v, 1) << pt.first << "," << pt.second;
  EXPECT_EQ(drawn.count({2, 2}), 1u);
  EXPECT_EQ(drawn.count({6, 5}), 1u);
  EXPECT_EQ(drawn.count({4, 3}), 0u);
  dib.Cls();
  dib.SetMethod(Qo_SET);
  EXPECT_TRUE(dib.Box(5, 5, 5, 9, kOne));
  EXPECT_EQ(Set().size(), 5u);
  // Corners in any order.
  dib.Cls();
  dib.Box(6, 5, 2, 2, kOne);
  EXPECT_EQ(Set().size(), 14u);
}

TEST_F(Prim, BoxFillCornersInclusive) {
  EXPECT_TRUE(dib.BoxFill(3, 4, 3 + 2, 4 + 1, kOne));
  EXPECT_EQ(Set().size(), 6u);
  dib.Cls();
  EXPECT_TRUE(dib.BoxFill(-10, -10, 5, 5, kOne));
  EXPECT_EQ(Set().size(), 36u);
  EXPECT_EQ(dib.PGet(5, 5), kOne);
  EXPECT_EQ(dib.PGet(6, 5), TQoRGB());
  // One pixel wide or high under plain copy too (the minimaps' last column and row need it).
  dib.Cls();
  EXPECT_TRUE(dib.BoxFill(0, 0, 0, 9, kOne));
  EXPECT_EQ(Set().size(), 10u);
  dib.Cls();
  EXPECT_TRUE(dib.BoxFill(19, 19, 19, 19, kOne));
  EXPECT_EQ(Set(), (Points{{19, 19}}));
  dib.Cls();
  dib.SetMethod(Qo_ADD);
  dib.BoxFill(0, 0, 0, 9, TQoRGB(3, 3, 3));
  dib.BoxFill(0, 0, 0, 9, TQoRGB(3, 3, 3));
  EXPECT_EQ(dib.PGet(0, 9).r, 6);
  EXPECT_EQ(Set().size(), 10u);
  // Wholly outside: nothing.
  dib.Cls();
  dib.SetMethod(Qo_SET);
  EXPECT_TRUE(dib.BoxFill(30, 30, 40, 40, kOne));
  EXPECT_EQ(Set().size(), 0u);
}

TEST_F(Prim, MaskedFillTilesFromTheBoxCorner) {
  const std::uint8_t mask[2] = {0x80, 0x40};  // 2 bits wide, 2 rows: checkerboard
  EXPECT_TRUE(dib.BoxFillM(-3, -3, 3, 3, kOne, mask, 2, 2));
  // Anchored at (-3, -3): pixel (x, y) drawn when (x + 3) and (y + 3) have the same parity.
  for (int y = 0; y <= 4; ++y)
    for (int x = 0; x <= 4; ++x)
      EXPECT_EQ(dib.PGet(x, y) == kOne, x <= 3 && y <= 3 && ((x + y) % 2 == 0)) << x << "," << y;
  const int before = img.repaints;
  EXPECT_FALSE(dib.BoxFillM(0, 0, 5, 5, kOne, mask, 0, 2));
  EXPECT_EQ(img.repaints, before);
}

TEST_F(Prim, GetPatClipsAndKeepsBufferRowsApart) {
  for (int x = 0; x < 20; ++x) dib.PSet(x, 0, TQoRGB(static_cast<unsigned char>(x + 1), 0, 0));
  std::vector<TQoRGB> buf(3 * 2, TQoRGB(99, 0, 0));
  EXPECT_TRUE(dib.GetPat(-1, -1, 3, 2, buf.data()));
  // Row 0 of the buffer lies above the surface, column 0 left of it: untouched.
  EXPECT_EQ(buf[0].r, 99);
  EXPECT_EQ(buf[2].r, 99);
  EXPECT_EQ(buf[3].r, 99);
  EXPECT_EQ(buf[4].r, 1);
  EXPECT_EQ(buf[5].r, 2);
  EXPECT_TRUE(dib.GetPat(100, 100, 3, 2, buf.data()));
  TQoTrueDib none;
  EXPECT_FALSE(none.GetPat(0, 0, 1, 1, buf.data()));
}

TEST_F(Prim, PutDibClipsAgainstTheSourceAndReadsItsPitch) {
  TQoTrueDib src(nullptr, 69, 3);
  src.InitDib();
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 69; ++x)
      src.PSet(x, y, TQoRGB(static_cast<unsigned char>(x), static_cast<unsigned char>(y + 1), 0));
  EXPECT_TRUE(dib.PutDib(2, 0, &src, -3, 0, 10, 3));  // source column 0 lands at x + 3
  EXPECT_EQ(dib.PGet(5, 0), TQoRGB(0, 1, 0));
  EXPECT_EQ(dib.PGet(11, 2), TQoRGB(6, 3, 0));
  EXPECT_EQ(dib.PGet(12, 0), TQoRGB());
  dib.Cls();
  EXPECT_TRUE(dib.PutDib(0, 0, &src, 60, 1, 20, 20));  // rows 72 pixels apart in the source
  EXPECT_EQ(dib.PGet(8, 0), TQoRGB(68, 2, 0));
  EXPECT_EQ(dib.PGet(8, 1), TQoRGB(68, 3, 0));
  EXPECT_EQ(dib.PGet(9, 0), TQoRGB());
  EXPECT_EQ(dib.PGet(0, 2), TQoRGB());
  EXPECT_TRUE(dib.PasDib(0, 5, &src, 0, 0, 3, 1, TQoRGB(1, 1, 0)));
  EXPECT_EQ(dib.PGet(0, 5), TQoRGB(0, 1, 0));
  EXPECT_EQ(dib.PGet(1, 5), TQoRGB());
  EXPECT_EQ(dib.PGet(2, 5), TQoRGB(2, 1, 0));
  TQoTrueDib empty;
  EXPECT_FALSE(dib.PutDib(0, 0, &empty, 0, 0, 5, 5));
  EXPECT_FALSE(dib.PutDib(0, 0, static_cast<TQoTrueDib*>(nullptr), 0, 0, 5, 5));
}

TEST_F(Prim, OverlappingCopyWithinOneSurface) {
  for (int x = 0; x < 10; ++x) dib.PSet(x, 0, TQoRGB(static_cast<unsigned char>(x + 1), 0, 0));
  EXPECT_TRUE(dib.PutDib(2, 0, &dib, 0, 0, 8, 1));
  for (int x = 0; x < 8; ++x) EXPECT_EQ(dib.PGet(x + 2, 0).r, x + 1) << x;
  // Downwards overlap too.
  dib.Cls();
  for (int y = 0; y < 5; ++y) dib.PSet(0, y, TQoRGB(static_cast<unsigned char>(y + 1), 0, 0));
  EXPECT_TRUE(dib.PutDib(0, 1, &dib, 0, 0, 1, 5));
  for (int y = 0; y < 5; ++y) EXPECT_EQ(dib.PGet(0, y + 1).r, y + 1) << y;
}

TEST_F(Prim, PutDibFromAnEightBitSurface) {
  TQoDib eight(nullptr, 5, 2);
  eight.InitDib();
  eight.SetPal1(7, TQoRGB(10, 20, 30));
  eight.BoxFill(0, 0, 4, 1, 7);
  eight.PSet(1, 1, 3);
  EXPECT_TRUE(dib.PutDib(1, 1, &eight, 0, 0, 5, 2));
  EXPECT_EQ(dib.PGet(1, 1), TQoRGB(10, 20, 30));
  EXPECT_EQ(dib.PGet(2, 2), TQoRGB(128, 128, 0));  // static colour 3
  EXPECT_TRUE(dib.PasDib(10, 10, &eight, 0, 0, 5, 2, TQoRGB(10, 20, 30)));
  EXPECT_EQ(dib.PGet(10, 10), TQoRGB());
  EXPECT_EQ(dib.PGet(11, 11), TQoRGB(128, 128, 0));
  TQoDib empty;
  EXPECT_FALSE(dib.PutDib(0, 0, &empty, 0, 0, 2, 2));
  EXPECT_FALSE(dib.PasDib(0, 0, &empty, 0, 0, 2, 2, TQoRGB()));
}

TEST_F(Prim, ClsClearsEverythingAndRepaints) {
  dib.BoxFill(0, 0, 19, 19, kOne);
  const int before = img.repaints;
  dib.Cls();
  EXPECT_EQ(Set().size(), 0u);
  EXPECT_EQ(img.repaints, before + 1);
}

TEST(PrimNoMemory, EveryPrimitiveFails) {
  TQoTrueDib d;
  EXPECT_FALSE(d.Line(0, 0, 1, 1, kOne));
  EXPECT_EQ(d.CurrentX(), 0);
  EXPECT_FALSE(d.CLine(1, 1, kOne));
  EXPECT_FALSE(d.Box(0, 0, 1, 1, kOne));
  EXPECT_FALSE(d.BoxFill(0, 0, 1, 1, kOne));
  EXPECT_FALSE(d.QoLine(0, 0, 1, 1, kOne, false));
  d.Cls();
  EXPECT_FALSE(d.HasPixels());
}

// ---- Picture loads ----

test::BmpLayout Picture(int w, int h) {
  test::BmpLayout s;
  s.width = w;
  s.height = h;
  s.bits = 24;
  for (int y = 0; y < h; ++y) {
    std::vector<std::uint8_t> row;
    for (int x = 0; x < w; ++x) {
      row.push_back(static_cast<std::uint8_t>(x + 1));  // blue
      row.push_back(static_cast<std::uint8_t>(y + 1));  // green
      row.push_back(50);                                // red
    }
    s.rows.push_back(row);
  }
  return s;
}

TEST(DrawBmp, CreatesTheSurfaceForThePictureAtItsPlace) {
  const std::string path = test::WriteTempFile(test::MakeBmp(Picture(100, 50)), "pic.bmp");
  TQoTrueDib d;
  d.SetWidth(0);  // would fail on its own
  EXPECT_TRUE(d.DrawBmpFile(path, 10, 20));
  EXPECT_EQ(d.Width(), 110);
  EXPECT_EQ(d.Height(), 70);
  EXPECT_EQ(d.PGet(10, 20), TQoRGB(50, 1, 1));
  EXPECT_EQ(d.PGet(109, 69), TQoRGB(50, 50, 100));
  EXPECT_EQ(d.PGet(9, 20), TQoRGB());
  // Onto an existing surface: clipped.
  TQoTrueDib small(nullptr, 4, 4);
  small.InitDib();
  EXPECT_TRUE(small.DrawBmpFile(path, -2, -1));
  EXPECT_EQ(small.PGet(0, 0), TQoRGB(50, 2, 3));
  EXPECT_EQ(small.Width(), 4);
  std::remove(path.c_str());
}

TEST(DrawBmp, FailuresLeaveTheSurfaceAlone) {
  TQoTrueDib d(nullptr, 4, 4);
  EXPECT_FALSE(d.DrawBmpFile("/nonexistent/picture.bmp", 0, 0));
  EXPECT_FALSE(d.HasPixels());
  // A surface that cannot be created for the picture answers false.
  const std::string path = test::WriteTempFile(test::MakeBmp(Picture(3, 3)), "pic.bmp");
  TQoTrueDib far;
  EXPECT_FALSE(far.DrawBmpFile(path, 2147483647, 0));
  EXPECT_FALSE(far.HasPixels());
  EXPECT_FALSE(far.DrawBmpFile(path, -10, 0));
  EXPECT_FALSE(far.DrawBmpFile(path, 100000, 100000));
  EXPECT_FALSE(far.HasPixels());
  std::remove(path.c_str());
}

TEST(DrawBmp, FromARegisteredResource) {
  test::BmpLayout s = Picture(2, 2);
  s.fileHeader = false;
  static std::vector<std::uint8_t> bytes;
  bytes = test::MakeBmp(s);
  QoAddResource(0, "BACK", bytes.data(), bytes.size());
  TQoTrueDib d;
  EXPECT_TRUE(d.DrawBmpResource(0, "BACK", 0, 0));
  EXPECT_EQ(d.PGet(1, 1), TQoRGB(50, 2, 2));
  EXPECT_FALSE(d.DrawBmpResource(0, "MISSING", 0, 0));
  EXPECT_FALSE(d.DrawBmpResource(1, "BACK", 0, 0));
  QoClearResources();
}

}  // namespace
}  // namespace vdmq
