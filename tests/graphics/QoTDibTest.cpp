// The 24-bit surface: pixel memory, binding, change notification, and the blit engine with its
// raster methods, clipping, keys, masks and mirroring.
#include "qolib/graphics/QoTDib.h"

#include <gtest/gtest.h>

#include <vector>

#include "support/GraphicsFiles.h"

namespace vdmq {
namespace {

using test::FakeImage;

TQoRGB Grey(int v) {
  return TQoRGB(static_cast<unsigned char>(v), static_cast<unsigned char>(v), static_cast<unsigned char>(v));
}

struct Surface : ::testing::Test {
  FakeImage img;  // declared first: it outlives the surface bound to it
  TQoTrueDib dib{nullptr, 8, 6};
  void SetUp() override { dib.Loaded(); }
  // Row y as a string of one letter per pixel: '.' black, else 'a' + red byte.
  std::string Row(int y, int w = -1) {
    std::string s;
    for (int x = 0; x < (w < 0 ? dib.Width() : w); ++x) {
      TQoRGB c = dib.PGet(x, y);
      s += c == TQoRGB() ? '.' : static_cast<char>('a' + c.r);
    }
    return s;
  }
};

TEST(TQoTrueDibMemory, LayoutAndDefaults) {
  TQoTrueDib d;
  EXPECT_EQ(d.Width(), 640);
  EXPECT_EQ(d.Height(), 480);
  EXPECT_EQ(d.Method(), Qo_SET);
  EXPECT_FALSE(d.Reverse());
  EXPECT_FALSE(d.HasPixels());
  EXPECT_EQ(d.ImagePtr(), nullptr);

  TQoTrueDib odd(nullptr, 69, 3);
  odd.SetWidth(69);  // without pixel memory: a plain store
  EXPECT_FALSE(odd.HasPixels());
  odd.Loaded();
  ASSERT_TRUE(odd.HasPixels());
  EXPECT_EQ(odd.RowPitch(), 72);
  TQoTrueDib even(nullptr, 792, 2);
  even.InitDib();
  EXPECT_EQ(even.RowPitch(), 792);

  // Pixel (x, y) lies at byte (y * pitch + x) * 3; a blit never writes the columns past Width.
  std::vector<TQoRGB> white(300, TQoRGB(255, 255, 255));
  EXPECT_TRUE(odd.PutPat(0, 0, 100, 3, white.data()));
  const std::uint8_t* p = odd.ImagePtr();
  EXPECT_EQ(p[(1 * 72 + 68) * 3], 255);
  EXPECT_EQ(p[(1 * 72 + 69) * 3], 0);
  EXPECT_EQ(p[(2 * 72 + 71) * 3 + 2], 0);
}

TEST(TQoTrueDibMemory, FailedCreationLeavesNoPixels) {
  TQoTrueDib zero(nullptr, 0, 5);
  zero.InitDib();
  EXPECT_FALSE(zero.HasPixels());
  EXPECT_EQ(zero.ImagePtr(), nullptr);
  TQoRGB px;
  EXPECT_FALSE(zero.PutPat(0, 0, 1, 1, &px));
  EXPECT_FALSE(zero.PSet(0, 0, px));

  TQoTrueDib huge(nullptr, 100000, 100000);
  huge.InitDib();
  EXPECT_FALSE(huge.HasPixels());

  TQoTrueDib d(nullptr, 4, 4);
  d.InitDib();
  d.ResizeDib(-1, 4);
  EXPECT_FALSE(d.HasPixels());
  EXPECT_EQ(d.ImagePtr(), nullptr);
  EXPECT_FALSE(d.BoxFill(0, 0, 1, 1, px));
}

TEST(TQoTrueDibMemory, ResizeKeepsTopLeftPlainlyWhateverTheMethod) {
  TQoTrueDib d(nullptr, 3, 2);
  d.InitDib();
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x) d.PSet(x, y, TQoRGB(static_cast<unsigned char>(10 * y + x + 1), 0, 0));
  d.SetMethod(Qo_XOR);
  d.SetReverse(true);
  d.SetWidth(5);
  ASSERT_TRUE(d.HasPixels());
  EXPECT_EQ(d.Width(), 5);
  EXPECT_EQ(d.RowPitch(), 8);
  EXPECT_EQ(d.PGet(0, 0).r, 1);
  EXPECT_EQ(d.PGet(2, 0).r, 3);
  EXPECT_EQ(d.PGet(2, 1).r, 13);
  EXPECT_EQ(d.PGet(3, 0), TQoRGB());  // the new area stays black
  d.SetHeight(1);
  EXPECT_EQ(d.PGet(2, 0).r, 3);
  EXPECT_EQ(d.PGet(2, 1), TQoRGB());  // outside now
  EXPECT_EQ(d.Method(), Qo_XOR);
  EXPECT_TRUE(d.Reverse());
}

TEST(TQoTrueDibBinding, ImageGetsPixelsAndRepaints) {
  FakeImage img;
  TQoTrueDib d(nullptr, 10, 10);
  d.SetImage(&img);
  EXPECT_EQ(img.attaches, 0);  // no pixel memory yet: handed over by Loaded
  d.Loaded();
  EXPECT_EQ(img.attaches, 1);
  EXPECT_EQ(img.view.bits, d.ImagePtr());
  EXPECT_EQ(img.view.pitchBytes, 36);
  EXPECT_EQ(img.view.bitsPerPixel, 24);
  int changes = 0;
  d.OnChange = [&](TQoComponent* sender) {
    EXPECT_EQ(sender, &d);
    ++changes;
  };
  d.PSet(1, 1, Grey(5));
  EXPECT_EQ(img.repaints, 1);
  EXPECT_EQ(changes, 1);

  // Resizing hands the new memory over.
  d.SetWidth(20);
  EXPECT_EQ(img.detaches, 1);
  EXPECT_EQ(img.attaches, 2);
  EXPECT_EQ(img.view.bits, d.ImagePtr());
  EXPECT_EQ(img.view.width, 20);

  d.SetImage(nullptr);
  EXPECT_EQ(img.detaches, 2);
  EXPECT_EQ(d.Image(), nullptr);
  const int before = img.repaints;
  d.PSet(2, 2, Grey(5));
  EXPECT_EQ(img.repaints, before);
}

TEST(TQoTrueDibBinding, UnboundSurfaceNeitherRepaintsNorFiresOnChange) {
  TQoTrueDib d(nullptr, 4, 4);
  d.InitDib();
  int changes = 0;
  d.OnChange = [&](TQoComponent*) { ++changes; };
  d.SetModified(0, 0, 3, 3);
  d.SetModified();
  d.PSet(0, 0, Grey(1));
  EXPECT_EQ(changes, 0);
}

TEST(TQoTrueDibBinding, BatchedRepaints) {
  FakeImage img;
  TQoTrueDib d(nullptr, 4, 4);
  d.SetImage(&img);
  d.Loaded();
  int changes = 0;
  d.OnChange = [&](TQoComponent*) { ++changes; };
  d.ChgModifiedSw(false);
  for (int i = 0; i < 5; ++i) d.PSet(i % 4, 0, Grey(i + 1));
  EXPECT_EQ(img.repaints, 0);
  EXPECT_EQ(changes, 5);  // OnChange fires on every change, also while batched
  d.ChgModifiedSw(true);
  EXPECT_EQ(img.repaints, 1);
  d.ChgModifiedSw(false);
  d.ChgModifiedSw(true);
  EXPECT_EQ(img.repaints, 1);  // nothing drawn: no repaint

  d.ModifiedOff();
  d.ModifiedOff();
  d.Cls();
  d.ModifiedOn();
  EXPECT_EQ(img.repaints, 1);
  d.ModifiedOn();
  EXPECT_EQ(img.repaints, 2);
}

// An image control that is a component and tells the surface when it goes.
struct ComponentImage : TQoComponent, test::FakeImage {};

TEST(TQoTrueDibBinding, RemovedImageLeavesFreshMemoryOfTheSameSize) {
  TQoTrueDib d(nullptr, 6, 3);
  {
    ComponentImage img;
    d.SetImage(&img);
    d.Loaded();
    d.PSet(1, 1, Grey(9));
  }
  EXPECT_EQ(d.Image(), nullptr);
  EXPECT_EQ(d.Bitmap(), nullptr);
  ASSERT_TRUE(d.HasPixels());
  EXPECT_EQ(d.Width(), 6);
  EXPECT_EQ(d.Height(), 3);
  EXPECT_EQ(d.PGet(1, 1), TQoRGB());  // the picture is lost
}

TEST(TQoTrueDibBinding, BitmapWithoutImageAndMemoryContexts) {
  FakeImage bmp;
  TQoTrueDib d(nullptr, 4, 2);
  d.InitDib();
  d.SetBitmap(&bmp);
  EXPECT_EQ(d.Image(), nullptr);
  EXPECT_EQ(d.Bitmap(), &bmp);
  EXPECT_EQ(bmp.attaches, 1);
  d.EndBitmap();
  EXPECT_EQ(bmp.detaches, 1);

  TQoDC* dc = d.GetBmpDC();
  ASSERT_NE(dc, nullptr);
  EXPECT_EQ(d.GetBmpDC(), nullptr);  // one context at a time
  d.ReleaseBmpDC();
  EXPECT_NE(d.GetBmpDC(), nullptr);
  d.ReleaseBmpDC();
}

TEST(TQoTrueDibBlit, BitBltCopiesBetweenMemoryContexts) {
  std::vector<TQoRGB> other(5 * 4);
  for (int i = 0; i < 20; ++i) other[i] = Grey(i + 1);
  TQoDC src{reinterpret_cast<std::uint8_t*>(other.data()), 5, 4, 15, 3};
  TQoTrueDib d(nullptr, 4, 4);
  d.InitDib();
  EXPECT_TRUE(d.PutBitBlt(-1, 2, &src, 1, 1, 3, 5));
  EXPECT_EQ(d.PGet(0, 2), Grey(8));  // source (2, 1)
  EXPECT_EQ(d.PGet(1, 3), Grey(14));
  EXPECT_EQ(d.PGet(2, 2), TQoRGB());
  std::vector<TQoRGB> out(4, TQoRGB(1, 1, 1));
  TQoDC dst{reinterpret_cast<std::uint8_t*>(out.data()), 2, 2, 6, 3};
  EXPECT_TRUE(d.GetBitBlt(&dst, 0, 0, 0, 2, 9, 9));
  EXPECT_EQ(out[0], Grey(8));
  EXPECT_EQ(out[3], Grey(14));
  TQoDC eight{reinterpret_cast<std::uint8_t*>(out.data()), 2, 2, 2, 1};
  EXPECT_FALSE(d.PutBitBlt(0, 0, &eight, 0, 0, 1, 1));
}

// ---- Raster methods: per-byte results ----

struct MethodCase {
  TQoMethod method;
  int d, s, want;
};

TEST(TQoTrueDibBlit, RasterMethodsPerByte) {
  const MethodCase cases[] = {
      {Qo_SET, 10, 20, 20},       {Qo_NOT, 10, 20, 20},
      {Qo_AND, 0xF0, 0x3C, 0x30}, {Qo_OR, 0xF0, 0x0F, 0xFF},
      {Qo_XOR, 0xFF, 0x0F, 0xF0}, {Qo_ADD, 200, 100, 255},
      {Qo_ADD, 100, 155, 255},    {Qo_ADD, 100, 154, 254},
      {Qo_SUB, 50, 60, 0},        {Qo_SUB, 60, 60, 0},
      {Qo_SUB, 61, 60, 1},        {Qo_MED, 255, 0, 127},
      {Qo_MED, 255, 254, 254},    {static_cast<TQoMethod>(9), 10, 20, 20},
  };
  for (const auto& c : cases) {
    for (bool fastRow : {true, false}) {
      TQoTrueDib d(nullptr, 4, 1);
      d.InitDib();
      d.BoxFill(0, 0, 3, 0, TQoRGB(static_cast<unsigned char>(c.d), 1, static_cast<unsigned char>(c.d)));
      d.SetMethod(c.method);
      const TQoRGB s(static_cast<unsigned char>(c.s), 7, static_cast<unsigned char>(c.s));
      if (fastRow) {
        std::vector<TQoRGB> pat(4, s);
        EXPECT_TRUE(d.PutPat(0, 0, 4, 1, pat.data()));
      } else {
        EXPECT_TRUE(d.PSet(2, 0, s));
      }
      const TQoRGB got = d.PGet(2, 0);
      EXPECT_EQ(got.r, c.want) << int(c.method) << " d=" << c.d << " s=" << c.s;
      EXPECT_EQ(got.b, c.want);
    }
  }
}

TEST_F(Surface, KeyedBlitComparesAllThreeBytes) {
  std::vector<TQoRGB> pat = {TQoRGB(0, 0, 0), TQoRGB(0, 0, 1), TQoRGB(1, 0, 0)};
  dib.BoxFill(0, 0, 7, 0, TQoRGB(5, 5, 5));
  EXPECT_TRUE(dib.PasPat(0, 0, 3, 1, pat.data(), TQoRGB(0, 0, 0)));
  EXPECT_EQ(dib.PGet(0, 0), TQoRGB(5, 5, 5));
  EXPECT_EQ(dib.PGet(1, 0), TQoRGB(0, 0, 1));
  EXPECT_EQ(dib.PGet(2, 0), TQoRGB(1, 0, 0));
  // The same under a combining method.
  dib.SetMethod(Qo_ADD);
  EXPECT_TRUE(dib.PasPat(0, 0, 3, 1, pat.data(), TQoRGB(0, 0, 0)));
  EXPECT_EQ(dib.PGet(0, 0), TQoRGB(5, 5, 5));
  EXPECT_EQ(dib.PGet(2, 0), TQoRGB(2, 0, 0));
}

// A w x h pattern whose pixel (i, j) has red 1 + i + 10 * j.
std::vector<TQoRGB> Numbered(int w, int h) {
  std::vector<TQoRGB> p;
  for (int j = 0; j < h; ++j)
    for (int i = 0; i < w; ++i) p.push_back(TQoRGB(static_cast<unsigned char>(1 + i + 10 * j), 0, 0));
  return p;
}

TEST_F(Surface, ClippingAtEveryEdge) {
  auto pat = Numbered(3, 3);
  dib.SetImage(&img);
  EXPECT_TRUE(dib.PutPat(-1, -1, 3, 3, pat.data()));  // top-left
  EXPECT_EQ(dib.PGet(0, 0).r, 12);
  EXPECT_EQ(dib.PGet(1, 1).r, 23);
  EXPECT_TRUE(dib.PutPat(6, 4, 3, 3, pat.data()));  // bottom-right
  EXPECT_EQ(dib.PGet(6, 4).r, 1);
  EXPECT_EQ(dib.PGet(7, 5).r, 12);
  // Wholly outside: true, draws nothing, still marked.
  const int before = img.repaints;
  EXPECT_TRUE(dib.PutPat(100, 0, 3, 3, pat.data()));
  EXPECT_TRUE(dib.PutPat(-3, 0, 3, 3, pat.data()));
  EXPECT_TRUE(dib.PutPat(0, -2147483647, 3, 3, pat.data()));
  EXPECT_TRUE(dib.PutPat(2147483640, 2147483640, 30, 30, pat.data()));
  EXPECT_EQ(img.repaints, before + 4);
  EXPECT_EQ(dib.PGet(2, 0), TQoRGB());
}

TEST_F(Surface, PitchSmallerThanWidthActsAsWidth) {
  auto pat = Numbered(3, 2);
  EXPECT_TRUE(dib.PutPat2(0, 0, 3, 2, pat.data(), 1));
  EXPECT_EQ(dib.PGet(0, 1).r, 11);
}

TEST_F(Surface, MirroredBlitKeepsPlaceAndDropsClippedColumns) {
  auto pat = Numbered(5, 1);
  dib.SetReverse(true);
  EXPECT_TRUE(dib.PutPat(-2, 0, 5, 1, pat.data()));
  EXPECT_EQ(Row(0), "dcb.....");  // source columns 0, 1, 2 on 2, 1, 0
  EXPECT_TRUE(dib.PutPat(5, 1, 5, 1, pat.data()));
  EXPECT_EQ(Row(1), ".....fed");  // right edge drops source columns 0 and 1
  // The same under a combining method and with a key.
  dib.Cls();
  dib.SetMethod(Qo_OR);
  EXPECT_TRUE(dib.PasPat(5, 2, 5, 1, pat.data(), pat[3]));
  EXPECT_EQ(Row(2), ".....f.d");
  dib.SetMethod(Qo_SET);
  EXPECT_TRUE(dib.PasPat(-2, 3, 5, 1, pat.data(), pat[1]));
  EXPECT_EQ(Row(3), "d.b.....");
  // The mirrored routines refuse when Reverse is off.
  dib.SetReverse(false);
  EXPECT_FALSE(dib.QoPutPatR(0, 0, 1, 1, pat.data(), 1, false, TQoRGB()));
  const std::uint8_t m = 0xFF;
  EXPECT_FALSE(dib.QoPutPatMR(0, 0, 1, 1, pat.data(), 1, &m, 8, 1));
}

TEST_F(Surface, MaskRepeatsAndStaysAnchoredWhenClipped) {
  auto pat = Numbered(8, 4);
  const std::uint8_t mask[2] = {0xA0, 0x40};  // 3 bits wide, 2 rows: 101 / 010
  EXPECT_TRUE(dib.PasMPat(0, 0, 8, 4, pat.data(), mask, 3, 2));
  EXPECT_EQ(Row(0), "b.de.gh.");
  EXPECT_EQ(Row(1), ".m..p..s");
  EXPECT_EQ(Row(2), "v.xy.{|.");

  // Every clipped position draws exactly the unclipped pixels that fall on the surface.
  for (int method : {0, 5}) {
    for (bool reverse : {false, true}) {
      for (int ox = -5; ox <= 5; ++ox) {
        for (int oy = -3; oy <= 3; ++oy) {
          TQoTrueDib big(nullptr, 30, 20), small(nullptr, 8, 6);
          big.InitDib();
          small.InitDib();
          for (auto* s : {&big, &small}) {
            s->SetMethod(static_cast<TQoMethod>(method));
            s->SetReverse(reverse);
          }
          big.PasMPat(10 + ox, 10 + oy, 8, 4, pat.data(), mask, 3, 2);
          small.PasMPat(ox, oy, 8, 4, pat.data(), mask, 3, 2);
          for (int y = 0; y < 6; ++y)
            for (int x = 0; x < 8; ++x)
              ASSERT_EQ(small.PGet(x, y), big.PGet(x + 10, y + 10))
                  << "m" << method << " r" << reverse << " at " << ox << "," << oy << " px " << x << "," << y;
        }
      }
    }
  }
}

TEST_F(Surface, MirroredMaskFollowsTheSourcePixel) {
  auto pat = Numbered(4, 1);
  const std::uint8_t mask = 0x80;
  dib.SetReverse(true);
  EXPECT_TRUE(dib.PasMPat(0, 0, 4, 1, pat.data(), &mask, 8, 1));
  EXPECT_EQ(Row(0), "...b....");
}

TEST_F(Surface, MaskWithoutBitsOrNullDrawsNothing) {
  auto pat = Numbered(2, 2);
  const std::uint8_t m = 0xFF;
  dib.SetImage(&img);
  EXPECT_FALSE(dib.PasMPat(0, 0, 2, 2, pat.data(), nullptr, 8, 1));
  EXPECT_FALSE(dib.PasMPat(0, 0, 2, 2, pat.data(), &m, 0, 1));
  EXPECT_FALSE(dib.PasMPat(0, 0, 2, 2, pat.data(), &m, 8, -1));
  EXPECT_EQ(Row(0), "........");
  EXPECT_EQ(img.repaints, 0);
}

TEST(TQoTrueDibBlitNoMemory, EveryBlitFailsAndNothingIsMarked) {
  FakeImage img;
  TQoTrueDib d(nullptr, 4, 4);
  d.SetImage(&img);
  TQoRGB px;
  const std::uint8_t m = 0xFF;
  EXPECT_FALSE(d.PutPat(0, 0, 1, 1, &px));
  EXPECT_FALSE(d.PasPat(0, 0, 1, 1, &px, px));
  EXPECT_FALSE(d.PasMPat(0, 0, 1, 1, &px, &m, 8, 1));
  EXPECT_EQ(img.repaints, 0);
}

}  // namespace
}  // namespace vdmq
