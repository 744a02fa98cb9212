// Text: fonts, fixed-pitch columns, double-byte-safe ellipsis, accelerators, bold, caption glyphs.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "platform/base/Sjis.h"
#include "platform/core/Canvas.h"
#include "platform/core/CaptionGlyphs.h"
#include "platform/core/FontEngine.h"

using namespace vdmq;

namespace {

TCanvas CanvasOver(TPixmap& p) {
  TCanvas c;
  c.Bind(p);
  c.Font.Height = -12;
  c.Font.Color = clBlack;
  return c;
}

// Leftmost column with ink at or right of x0 in a white picture.
int InkColumn(const TPixmap& p, int x0 = 0) {
  for (int x = x0; x < p.Width(); ++x)
    for (int y = 0; y < p.Height(); ++y)
      if (p.Pixel(x, y) != 0xFFFFFF) return x;
  return -1;
}
long InkCount(const TPixmap& p) {
  long n = 0;
  for (int y = 0; y < p.Height(); ++y)
    for (int x = 0; x < p.Width(); ++x) n += p.Pixel(x, y) != 0xFFFFFF;
  return n;
}

TEST(TextTest, FullWidthLetterIsExactlyTwoHalfWidthCellsSoColumnsLineUp) {
  TPixmap p(400, 40, 0xFFFFFF);
  TCanvas c = CanvasOver(p);
  EXPECT_EQ(c.TextWidth("A"), 6);
  EXPECT_EQ(c.TextWidth(SJS("艦")), 12);
  EXPECT_EQ(c.TextWidth(SJS("ｱ")), 6);  // half-width katakana: one cell
  // printf-style columns: the fourth field starts at the same x for both rows.
  char a[64], b[64];
  std::snprintf(a, sizeof a, "%-16s %4s %4d", SJS("第一艦隊").c_str(), "AB", 12);
  std::snprintf(b, sizeof b, "%-16s %4s %4d", "Fleet-1", "CD", 345);
  EXPECT_EQ(c.TextWidth(a), c.TextWidth(b));
  EXPECT_EQ(c.TextWidth(std::string(a).substr(0, 17)), 17 * 6);
  for (int h : {-14, -16, 14}) {
    c.Font.Height = h;
    EXPECT_EQ(c.TextWidth(SJS("空き")), 2 * c.TextWidth("ab"));
  }
}

TEST(TextTest, EndEllipsisNeverCutsADoubleByteLetter) {
  TPixmap p(400, 40, 0xFFFFFF);
  TCanvas c = CanvasOver(p);
  auto measure = [&](std::string_view s) { return c.TextWidth(s); };
  const std::string text = SJS("ヴェルドマルクＱ 体験版");
  for (int w = 0; w < measure(text) + 10; ++w) {
    std::string cut = EllipsisFit(text, w, measure);
    if (cut == text) {
      EXPECT_LE(measure(text), w);
      continue;
    }
    ASSERT_GE(cut.size(), 3u);
    EXPECT_EQ(cut.substr(cut.size() - 3), "...");
    const std::string head = cut.substr(0, cut.size() - 3);
    // The kept part is whole letters of the original.
    size_t i = 0;
    while (i < head.size()) i += SjisLetterLen(head, i);
    EXPECT_EQ(i, head.size());
    EXPECT_EQ(text.compare(0, head.size(), head), 0);
    if (!head.empty()) {
      EXPECT_LE(measure(cut), w);
    }
  }
  // Drawn with the flag, the ink stays inside the rectangle.
  TRect r{10, 5, 10 + 50, 25};
  c.DrawText(text, r, DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS);
  for (int y = 0; y < p.Height(); ++y)
    for (int x = 0; x < p.Width(); ++x)
      if (p.Pixel(x, y) != 0xFFFFFF) {
        EXPECT_GE(x, 10);
        EXPECT_LT(x, 60);
      }
}

TEST(TextTest, AcceleratorPrefixesAreStrippedAndUnderlined) {
  int mark = -2;
  EXPECT_EQ(StripAccelerator(SJS("移動(&M)"), &mark), SJS("移動(M)"));
  EXPECT_EQ(mark, 5);
  EXPECT_EQ(StripAccelerator("a&&b", &mark), "a&b");
  EXPECT_EQ(mark, -1);
  TPixmap p1(100, 20, 0xFFFFFF), p2(100, 20, 0xFFFFFF);
  TCanvas c1 = CanvasOver(p1), c2 = CanvasOver(p2);
  TRect r{0, 0, 100, 20};
  c1.DrawText("&Move", r, DT_SINGLELINE);
  c2.DrawText("Move", r, DT_SINGLELINE);
  EXPECT_GT(InkCount(p1), InkCount(p2));  // the underline
  TPixmap p3(100, 20, 0xFFFFFF);
  TCanvas c3 = CanvasOver(p3);
  c3.DrawText("&Move", r, DT_SINGLELINE | DT_NOPREFIX);
  EXPECT_GT(c3.TextWidth("&Move"), c2.TextWidth("Move"));
}

TEST(TextTest, CalcRectMeasuresLinesWithoutDrawing) {
  TPixmap p(200, 100, 0xFFFFFF);
  TCanvas c = CanvasOver(p);
  TRect r{5, 5, 5, 5};
  const int h = c.DrawText(SJS("一行目\nline2 longer"), r, DT_CALCRECT);
  EXPECT_EQ(h, 24);
  EXPECT_EQ(r, (TRect{5, 5, 5 + 12 * 6, 29}));
  EXPECT_EQ(InkCount(p), 0);
  c.Font.Height = 14;  // a positive height is the cell height
  EXPECT_EQ(c.TextHeight("W"), 14);
}

TEST(TextTest, BoldIsAOnePixelOverstrikeThatKeepsTheAdvance) {
  TPixmap p1(200, 20, 0xFFFFFF), p2(200, 20, 0xFFFFFF);
  TCanvas c1 = CanvasOver(p1), c2 = CanvasOver(p2);
  c2.Font.Bold = true;
  EXPECT_EQ(c1.TextWidth(SJS("ABC艦")), c2.TextWidth(SJS("ABC艦")));
  c1.TextOut(0, 0, "l");
  c2.TextOut(0, 0, "l");
  EXPECT_GT(InkCount(p2), InkCount(p1));
  EXPECT_EQ(InkColumn(p1), InkColumn(p2));
}

TEST(TextTest, TextIsMonochromeAndRepeatable) {
  TPixmap p1(120, 20, 0xFFFFFF), p2(120, 20, 0xFFFFFF);
  TCanvas c1 = CanvasOver(p1), c2 = CanvasOver(p2);
  c1.Brush.Style = bsClear;
  c2.Brush.Style = bsClear;
  c1.TextOut(2, 2, SJS("ターン終了"));
  c2.TextOut(2, 2, SJS("ターン終了"));
  long ink = 0;
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 120; ++x) {
      const std::uint32_t v = p1.Pixel(x, y);
      EXPECT_TRUE(v == 0xFFFFFF || v == 0) << "anti-aliased pixel at " << x << "," << y;
      EXPECT_EQ(v, p2.Pixel(x, y));
      ink += v == 0;
    }
  EXPECT_GT(ink, 50);
}

TEST(TextTest, TextOutOnA24BitBlockWritesBlueGreenRed) {
  const int w = 30, h = 16, pitch = Bgr24PitchPixels(w) * 3;
  std::vector<std::uint8_t> bits(static_cast<size_t>(pitch) * h, 0);
  TCanvas c;
  c.Bind(TPixelTarget::OfBgr(bits.data(), w, h, pitch), {0, 0}, {0, 0, w, h});
  c.Font.Height = -12;
  c.Font.Color = clAqua;
  c.Brush.Style = bsClear;
  c.TextOut(1, 1, "H");
  int aqua = 0;
  for (int i = 0; i + 2 < static_cast<int>(bits.size()); i += 3)
    if (bits[i] == 255 && bits[i + 1] == 255 && bits[i + 2] == 0) ++aqua;
  EXPECT_GT(aqua, 5);
}

// The caption glyphs at 10 pixels (16 x 14 buttons): exact pictures.
std::string MaskText(const TGlyphMask& m) {
  std::string s;
  for (int y = 0; y < m.Size; ++y) {
    for (int x = 0; x < m.Size; ++x) s += m.At(x, y) ? '#' : '.';
    s += '\n';
  }
  return s;
}

TEST(TextTest, CaptionGlyphsAtTenPixels) {
  EXPECT_EQ(MaskText(CaptionGlyph('r', 10)),
            "..........\n"
            ".##....##.\n"
            "..##..##..\n"
            "...####...\n"
            "....##....\n"
            "...####...\n"
            "..##..##..\n"
            ".##....##.\n"
            "..........\n"
            "..........\n");
  EXPECT_EQ(MaskText(CaptionGlyph('0', 10)),
            "..........\n"
            "..........\n"
            "..........\n"
            "..........\n"
            "..........\n"
            "..........\n"
            "..........\n"
            ".#####....\n"
            ".#####....\n"
            "..........\n");
  EXPECT_EQ(MaskText(CaptionGlyph('1', 10)),
            "..........\n"
            ".########.\n"
            ".########.\n"
            ".#......#.\n"
            ".#......#.\n"
            ".#......#.\n"
            ".#......#.\n"
            ".#......#.\n"
            ".########.\n"
            "..........\n");
  EXPECT_EQ(MaskText(CaptionGlyph('2', 10)),
            "..........\n"
            "...######.\n"
            "...######.\n"
            ".######.#.\n"
            ".######.#.\n"
            ".#....#.#.\n"
            ".#....###.\n"
            ".#....#...\n"
            ".######...\n"
            "..........\n");
  const TGlyphMask& help = CaptionGlyph('s', 10);
  long ink = 0;
  for (std::uint8_t b : help.Bits) ink += b;
  EXPECT_GT(ink, 5);
  EXPECT_FALSE(IsCaptionGlyphChar('x'));
  // Drawn through the canvas with the symbol font name, centred in the button.
  TPixmap p(16, 14, 0xFFFFFF);
  TCanvas c = CanvasOver(p);
  c.Font.Name = std::string(kCaptionGlyphFont);
  c.Font.Height = 10;
  c.Brush.Style = bsClear;
  TRect r{0, 0, 16, 14};
  c.DrawText("r", r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  EXPECT_EQ(p.Pixel(4, 3), 0u);
  EXPECT_EQ(p.Pixel(11, 3), 0u);
  EXPECT_EQ(p.Pixel(7, 6), 0u);
  EXPECT_EQ(p.Pixel(0, 0), 0xFFFFFFu);
}

TEST(TextTest, RegionsSubtractAndClipDrawing) {
  TRegion r(TRect{0, 0, 10, 10});
  r.Subtract({2, 2, 8, 8});
  EXPECT_FALSE(r.Contains({5, 5}));
  EXPECT_TRUE(r.Contains({1, 5}));
  EXPECT_TRUE(r.Contains({9, 9}));
  long area = 0;
  for (const TRect& x : r.Rects()) area += static_cast<long>(x.Width()) * x.Height();
  EXPECT_EQ(area, 100 - 36);
  TPixmap p(10, 10, 0xFFFFFF);
  TCanvas c = CanvasOver(p);
  c.SelectClipRegion(&r);
  c.FillRectColor({0, 0, 10, 10}, clBlack);
  EXPECT_EQ(p.Pixel(5, 5), 0xFFFFFFu);
  EXPECT_EQ(p.Pixel(0, 0), 0u);
}

}  // namespace

#include "support/Golden.h"

namespace {

// Golden pictures: captions drawn in three colour passes (highlight, shadow one pixel lower right
// of the face, face), as the skinned buttons and title bars draw them.
TPixmap ThreePassCaption(const std::string& text, int height, bool bold, unsigned flags, int w, int h) {
  TPixmap p(w, h, 0x808080);
  TCanvas c;
  c.Bind(p);
  c.Font.Height = height;
  c.Font.Bold = bold;
  c.Brush.Style = bsClear;
  TRect t{2, 0, w - 2, h};
  c.Font.Color = clWhite;
  c.DrawText(text, t, flags);
  t = t.Offset(2, 2);
  c.Font.Color = clBlack;
  c.DrawText(text, t, flags);
  t = t.Offset(-1, -1);
  c.Font.Color = RGB(255, 255, 0);
  c.DrawText(text, t, flags);
  return p;
}

TEST(TextGoldenTest, CaptionsInThreePasses) {
  using test::MatchesGolden;
  EXPECT_TRUE(
      MatchesGolden(ThreePassCaption(SJS("ﾀｰﾝ終了 End"), -12, true, DT_SINGLELINE | DT_VCENTER | DT_CENTER, 120, 20),
                    "platform/core", "caption_button"));
  EXPECT_TRUE(MatchesGolden(ThreePassCaption(SJS("ヴェルドマルクＱ 体験版 ｾｰﾌﾞﾛｰﾄﾞ"), 14, false,
                                             DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS, 150, 18),
                            "platform/core", "caption_title"));
  EXPECT_TRUE(
      MatchesGolden(ThreePassCaption(SJS("第１衛星 %-16s 空き"), -16, true, DT_SINGLELINE | DT_VCENTER, 260, 22),
                    "platform/core", "caption_large"));
}

}  // namespace

#include <random>

namespace {

// Arbitrary bytes (cut double-byte letters, control bytes, unmapped codes) with arbitrary flags and
// rectangles: drawing never writes outside the clip and measuring stays consistent.
TEST(TextRandomTest, ArbitraryBytesAndFlagsStayInsideTheClip) {
  std::mt19937 rng(12345);
  TPixmap p(64, 48, 0xFFFFFF);
  for (int round = 0; round < 400; ++round) {
    p.Fill({0, 0, 64, 48}, 0xFFFFFF);
    TCanvas c;
    c.Bind(TPixelTarget::Of(p), {0, 0}, {8, 8, 56, 40});
    c.Font.Height = static_cast<int>(rng() % 40) - 20;
    c.Font.Bold = rng() & 1;
    c.Font.Color = clBlack;
    c.Brush.Style = (rng() & 1) ? bsClear : bsSolid;
    c.Brush.Color = clBlack;
    if (rng() % 4 == 0) c.Font.Name = std::string(kCaptionGlyphFont);
    std::string text(rng() % 40, '\0');
    for (char& ch : text) ch = static_cast<char>(rng() & 0xFF);
    TRect r{static_cast<int>(rng() % 80) - 10, static_cast<int>(rng() % 60) - 10, 0, 0};
    r.Right = r.Left + static_cast<int>(rng() % 70) - 5;
    r.Bottom = r.Top + static_cast<int>(rng() % 50) - 5;
    const unsigned flags = rng() & (DT_CENTER | DT_RIGHT | DT_VCENTER | DT_BOTTOM | DT_WORDBREAK | DT_SINGLELINE |
                                    DT_EXPANDTABS | DT_NOCLIP | DT_NOPREFIX | DT_END_ELLIPSIS);
    TRect calc = r;
    const int h = c.DrawText(text, calc, flags | DT_CALCRECT);
    EXPECT_GE(h, 0);
    c.DrawText(text, r, flags);
    c.TextOut(static_cast<int>(rng() % 64), static_cast<int>(rng() % 48), text);
    for (int y = 0; y < 48; ++y)
      for (int x = 0; x < 64; ++x)
        if (x < 8 || x >= 56 || y < 8 || y >= 40) {
          ASSERT_EQ(p.Pixel(x, y), 0xFFFFFFu) << "round " << round;
        }
  }
}

}  // namespace
