// Draw styles in pixels (coordinate-coded sources) and against the recording canvas; readers and
// drawers.
#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <random>
#include <string>

#include "KitTestSupport.h"
#include "formkit/Chdrwtl.h"
#include "platform/headless/TestKit.h"

using namespace vdmq;
using namespace vdmq::test;

namespace {

// Where destination pixel (x, y) should come from, or nothing when it stays untouched.
using TExpect = std::function<std::optional<TPoint>(int x, int y)>;

struct TStage {
  TBitmap source;
  TPixmap dest{48, 40, kUntouched};
  TCanvas canvas;
  explicit TStage(int sw = 16, int sh = 12) {
    FillCoded(source, sw, sh);
    canvas.Bind(dest);
  }
  // Every destination pixel against the rule; a source position outside the bitmap must stay
  // untouched (only the bitmap's own pixels are ever drawn).
  ::testing::AssertionResult Shows(const TExpect& expect) const {
    for (int y = 0; y < dest.Height(); ++y)
      for (int x = 0; x < dest.Width(); ++x) {
        std::optional<TPoint> want = expect(x, y);
        if (want && (want->X < 0 || want->Y < 0 || want->X >= source.Width() || want->Y >= source.Height()))
          want.reset();
        const std::optional<TPoint> got = SourceOf(dest, x, y);
        if (want != got)
          return ::testing::AssertionFailure()
                 << "at " << x << "," << y << " want "
                 << (want ? std::to_string(want->X) + "," + std::to_string(want->Y) : "-") << " got "
                 << (got ? std::to_string(got->X) + "," + std::to_string(got->Y) : "-");
      }
    return ::testing::AssertionSuccess();
  }
};

TEST(DrawStyleTest, PlacedStylesCopyAtTheirOffsetClippedToTheDestination) {
  struct TCase {
    const char* what;
    TRect d, s;
    std::function<void(TCanvas*, const TRect&, TBitmap*, const TRect&)> draw;
    int dx, dy;  // where the source's corner lands, relative to d
  };
  auto offset = [](int x, int y) {
    return [x, y](TCanvas* c, const TRect& d, TBitmap* b, const TRect& s) { CHDrawOffsetBitmap(c, d, b, s, x, y); };
  };
  const std::vector<TCase> cases = {
      {"normal", {2, 3, 30, 20}, {1, 2, 11, 9}, CHDrawBitmap, 0, 0},
      {"normal, smaller destination", {2, 3, 7, 6}, {1, 2, 11, 9}, CHDrawBitmap, 0, 0},
      {"normal, source past the bitmap", {0, 0, 40, 30}, {10, 8, 30, 20}, CHDrawBitmap, 0, 0},
      // A 10-pixel source centred in 7 shows columns 1 to 7 ((7 - 10) div 2 = -1).
      {"centre, 10 in 7", {5, 5, 12, 15}, {0, 0, 10, 4}, CHDrawCenterBitmap, -1, 3},
      {"centre, odd", {0, 0, 21, 13}, {2, 1, 12, 9}, CHDrawCenterBitmap, 5, 2},
      {"offset", {4, 4, 30, 30}, {0, 0, 16, 12}, offset(-3, 5), -3, 5},
  };
  for (const TCase& c : cases) {
    TStage st;
    TCanvasLog log;
    st.canvas.SetRecorder(&log);
    c.draw(&st.canvas, c.d, &st.source, c.s);
    const int px = c.d.Left + c.dx, py = c.d.Top + c.dy;
    EXPECT_TRUE(st.Shows([&](int x, int y) -> std::optional<TPoint> {
      if (!c.d.Contains(x, y) || x < px || y < py || x >= px + c.s.Width() || y >= py + c.s.Height()) return {};
      return TPoint{c.s.Left + x - px, c.s.Top + y - py};
    })) << c.what;
    // One copy of the part that fits, from the matching part of the source.
    const TRect k = Intersect(c.d, Bounds(px, py, c.s.Width(), c.s.Height()));
    ASSERT_EQ(log.Ops.size(), 1u) << c.what;
    EXPECT_EQ(log.Ops[0].Dest, k) << c.what;
    EXPECT_EQ(log.Ops[0].Source, k.Offset(c.s.Left - px, c.s.Top - py)) << c.what;
  }
}

TEST(DrawStyleTest, StretchScalesByNearestNeighbourAndDrawsNothingFromAnEmptySource) {
  for (const TRect s : {TRect{0, 0, 16, 12}, TRect{3, 2, 9, 7}, TRect{12, 9, 20, 15}}) {
    TStage st;
    const TRect d{1, 2, 38, 31};
    TCanvasLog log;
    st.canvas.SetRecorder(&log);
    CHDrawStretchBitmap(&st.canvas, d, &st.source, s);
    EXPECT_TRUE(st.Shows([&](int x, int y) -> std::optional<TPoint> {
      if (!d.Contains(x, y)) return {};
      return TPoint{s.Left + (x - d.Left) * s.Width() / d.Width(), s.Top + (y - d.Top) * s.Height() / d.Height()};
    }));
    // The whole bitmap goes through the bitmap stretch, a part through the pixel copy.
    const bool whole = s == TRect{0, 0, 16, 12};
    EXPECT_EQ(log.Of(TCanvasOpKind::StretchPixels).size(), whole ? 1u : 0u);
    EXPECT_EQ(log.Of(TCanvasOpKind::CopyRect).size(), whole ? 0u : 1u);
  }
  TStage st;
  CHDrawStretchBitmap(&st.canvas, {0, 0, 10, 10}, &st.source, {4, 4, 4, 9});
  CHDrawStretchBitmap(&st.canvas, {0, 0, 10, 10}, &st.source, {6, 4, 2, 9});  // inverted: never mirrored
  EXPECT_TRUE(st.Shows([](int, int) { return std::optional<TPoint>{}; }));
}

// The tile rule, stated on the grid: rows of tiles start at d.Top + ay (mod sh); the j-th row
// drawn (j = 0 at d.Top) is shifted by ax + j * bx; with bx = 0 and by != 0 the same holds for
// columns.
std::optional<TPoint> TileSource(const TRect& d, const TRect& s, long long ax, long long ay, long long bx, long long by,
                                 int x, int y) {
  if (!d.Contains(x, y)) return {};
  const long long sw = s.Width(), sh = s.Height();
  const bool rowWise = bx != 0 || (by == 0 && sw == 1);
  long long sx, sy;
  if (rowWise) {
    const long long j = FloorDiv(y - d.Top - ay, sh) - FloorDiv(-ay, sh);
    sy = Mod(y - d.Top - ay, sh);
    sx = Mod(x - d.Left - ax - j * bx, sw);
  } else {
    const long long j = FloorDiv(x - d.Left - ax, sw) - FloorDiv(-ax, sw);
    sx = Mod(x - d.Left - ax, sw);
    sy = Mod(y - d.Top - ay - j * by, sh);
  }
  return TPoint{static_cast<int>(s.Left + sx), static_cast<int>(s.Top + sy)};
}

TEST(DrawStyleTest, TileRepeatsTheSourceWithPhasesAndRowOrColumnShifts) {
  std::mt19937 rng(11);
  auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
  for (int round = 0; round < 400; ++round) {
    TStage st;
    const int sl = pick(0, 14), st0 = pick(0, 10);
    const TRect s{sl, st0, sl + pick(1, 16 - sl), st0 + pick(1, 12 - st0)};
    const TRect d{pick(-3, 20), pick(-3, 15), pick(20, 50), pick(15, 42)};
    const int ax = pick(-40, 40), ay = pick(-40, 40);
    int bx = round % 3 == 0 ? pick(-9, 9) : 0, by = round % 3 == 1 ? pick(-9, 9) : 0;
    CHDrawTileBitmap(&st.canvas, d, &st.source, s, ax, ay, bx, by);
    ASSERT_TRUE(st.Shows([&](int x, int y) { return TileSource(d, s, ax, ay, bx, by, x, y); }))
        << "round " << round << " s " << s.Left << "," << s.Top << "," << s.Right << "," << s.Bottom << " ax " << ax
        << " ay " << ay << " bx " << bx << " by " << by;
  }
}

TEST(DrawStyleTest, TileEdgeCases) {
  const TRect d{0, 0, 40, 30};
  const TRect s{2, 1, 12, 9};
  {
    // Phase 1: only the tile's last column at d.Left.
    TStage st;
    CHDrawTileBitmap(&st.canvas, d, &st.source, s, 1, 0, 0, 0);
    EXPECT_EQ(SourceOf(st.dest, 0, 0), (TPoint{11, 1}));
    EXPECT_EQ(SourceOf(st.dest, 1, 0), (TPoint{2, 1}));
  }
  {
    // A row shift of 3: drawn row-wise, every following row of tiles 3 pixels further right.
    TStage st;
    TCanvasLog log;
    st.canvas.SetRecorder(&log);
    CHDrawTileBitmap(&st.canvas, d, &st.source, s, 0, 0, 3, 0);
    EXPECT_EQ(SourceOf(st.dest, 3, 8), (TPoint{2, 1}));
    EXPECT_EQ(SourceOf(st.dest, 6, 16), (TPoint{2, 1}));
    EXPECT_EQ(SourceOf(st.dest, 0, 8), (TPoint{9, 1}));
    // The first copy of the second row is its partial tile at d.Left.
    const auto copies = log.Of(TCanvasOpKind::CopyRect);
    const auto secondRow =
        std::find_if(copies.begin(), copies.end(), [](const TCanvasOp& op) { return op.Dest.Top == 8; });
    ASSERT_NE(secondRow, copies.end());
    EXPECT_EQ(secondRow->Dest, (TRect{0, 8, 3, 16}));
    EXPECT_EQ(secondRow->Source, (TRect{9, 1, 12, 9}));
  }
  {
    // Phases and shifts beyond 32-bit arithmetic keep to the rule.
    TStage a;
    CHDrawTileBitmap(&a.canvas, d, &a.source, s, INT_MAX, INT_MIN, INT_MAX, 0);
    EXPECT_TRUE(a.Shows([&](int x, int y) { return TileSource(d, s, INT_MAX, INT_MIN, INT_MAX, 0, x, y); }));
    TStage b;
    CHDrawTileBitmap(&b.canvas, d, &b.source, s, INT_MIN, INT_MAX, 0, INT_MIN);
    EXPECT_TRUE(b.Shows([&](int x, int y) { return TileSource(d, s, INT_MIN, INT_MAX, 0, INT_MIN, x, y); }));
    TStage tall(4, 1);
    tall.dest.Resize(8, 4000, kUntouched);
    tall.canvas.Bind(tall.dest);
    CHDrawTileBitmap(&tall.canvas, {0, 0, 8, 4000}, &tall.source, {0, 0, 4, 1}, 0, 0, INT_MAX / 3, 0);
    EXPECT_TRUE(tall.Shows([](int x, int y) {
      return TileSource({0, 0, 8, 4000}, {0, 0, 4, 1}, 0, 0, INT_MAX / 3, 0, x, y);
    }));
  }
}

TEST(DrawStyleTest, TileFillsA1x1SourceAndDrawsLinesForOnePixelSources) {
  TStage st;
  TCanvasLog log;
  st.canvas.SetRecorder(&log);
  CHDrawTileBitmap(&st.canvas, {1, 1, 9, 9}, &st.source, {5, 4, 6, 5}, 3, 3, 0, 0);
  ASSERT_EQ(log.Ops.size(), 1u);
  EXPECT_EQ(log.Ops[0].Kind, TCanvasOpKind::FillRect);
  EXPECT_EQ(log.Ops[0].Dest, (TRect{1, 1, 9, 9}));
  EXPECT_EQ(ColorToPixel(log.Ops[0].Color), Coded(5, 4));
  EXPECT_TRUE(st.Shows([](int x, int y) { return TileSource({1, 1, 9, 9}, {5, 4, 6, 5}, 3, 3, 0, 0, x, y); }));

  // One column wide: a line per destination row; one row high: a line per destination column.
  struct TLineCase {
    TRect s;
    int lines;
    bool horizontal;
  };
  for (const TLineCase& c : {TLineCase{{7, 2, 8, 7}, 20, true}, TLineCase{{3, 6, 11, 7}, 30, false}}) {
    TStage lined;
    TCanvasLog rec;
    lined.canvas.SetRecorder(&rec);
    const TRect d{2, 3, 32, 23};
    CHDrawTileBitmap(&lined.canvas, d, &lined.source, c.s, 2, 1, 0, 0);
    const auto lines = rec.Of(TCanvasOpKind::LineTo);
    EXPECT_EQ(lines.size(), static_cast<size_t>(c.lines));
    EXPECT_TRUE(rec.Of(TCanvasOpKind::CopyRect).empty());
    for (const TCanvasOp& l : lines)
      EXPECT_EQ(c.horizontal ? l.From.Y : l.From.X, c.horizontal ? l.Point.Y : l.Point.X);
    EXPECT_TRUE(lined.Shows([&](int x, int y) { return TileSource(d, c.s, 2, 1, 0, 0, x, y); }));
  }

  // A 1x1 source or a line's source pixel outside the bitmap draws nothing.
  TStage outside;
  TCanvasLog none;
  outside.canvas.SetRecorder(&none);
  CHDrawTileBitmap(&outside.canvas, {0, 0, 9, 9}, &outside.source, {16, 0, 17, 1}, 0, 0, 0, 0);
  CHDrawTileBitmap(&outside.canvas, {0, 0, 9, 9}, &outside.source, {-1, 0, 0, 5}, 0, 0, 0, 0);
  CHDrawTileBitmap(&outside.canvas, {0, 0, 9, 9}, &outside.source, {0, 12, 5, 13}, 0, 0, 0, 0);
  EXPECT_TRUE(none.Of(TCanvasOpKind::FillRect).empty());
  EXPECT_TRUE(none.Of(TCanvasOpKind::LineTo).empty());
  EXPECT_TRUE(outside.Shows([](int, int) { return std::optional<TPoint>{}; }));
}

// The fixed-border rule on one axis, for borders a and b already clamped (a + b < s): with fill,
// d > a + b repeats the middle m = s - a - b right after the leading border; otherwise the
// borders share d in proportion. Without fill the middle of a longer side stays untouched (-1).
int FixSource(int x, int d, int s, int a, int b, bool fill) {
  const int h = a + b;
  if (d == s && fill) return x;
  if (d > h) {
    if (x < a) return x;
    if (x >= d - b) return s - (d - x);
    return fill ? a + (x - a) % (s - h) : -1;
  }
  const int right = b * d / h, left = d - right;
  return x < left ? x : s - (d - x);
}

TEST(DrawStyleTest, FixCopiesBordersAndRepeatsTheMiddleSeamlessly) {
  std::mt19937 rng(3);
  auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
  for (int round = 0; round < 500; ++round) {
    TStage st;
    // Borders always leave a middle (ax + bx < sw, ay + by < sh).
    const TRect s{pick(0, 3), pick(0, 2), pick(13, 16), pick(9, 12)};
    const int ax = pick(0, 4), bx = pick(0, 4), ay = pick(0, 3), by = pick(0, 3);
    const TRect d = Bounds(pick(0, 4), pick(0, 4), pick(1, 44), pick(1, 36));
    const bool fill = round % 4 != 0;
    CHDrawFixBitmap(&st.canvas, d, &st.source, s, ax, bx, ay, by, fill);
    ASSERT_TRUE(st.Shows([&](int x, int y) -> std::optional<TPoint> {
      if (!d.Contains(x, y)) return {};
      const int row = FixSource(y - d.Top, d.Height(), s.Height(), ay, by, fill);
      // The rows of the bands are always whole across; the hollow is the middle of both axes.
      const bool middleRow = row < 0;
      const int r = middleRow ? ay + (y - d.Top - ay) % (s.Height() - ay - by) : row;
      const int col = FixSource(x - d.Left, d.Width(), s.Width(), ax, bx, fill || !middleRow);
      if (col < 0) return {};
      return TPoint{s.Left + col, s.Top + r};
    })) << "round "
        << round << " d " << d.Width() << "x" << d.Height() << " s " << s.Width() << "x" << s.Height() << " borders "
        << ax << "," << bx << "," << ay << "," << by << " fill " << fill;
  }
}

TEST(DrawStyleTest, FixEdgeCases) {
  {
    // Borders as wide as the source: the left one gives up a pixel (3 + 7 of 10 -> 2 + 7 ...).
    TStage st;
    CHDrawFixBitmap(&st.canvas, {0, 0, 30, 12}, &st.source, {0, 0, 10, 12}, 3, 7, 0, 0, true);
    EXPECT_TRUE(st.Shows([](int x, int y) -> std::optional<TPoint> {
      if (x >= 30 || y >= 12) return {};
      return TPoint{FixSource(x, 30, 10, 2, 7, true), y};
    }));
    // ... and with no left border the right one does.
    TStage right;
    CHDrawFixBitmap(&right.canvas, {0, 0, 30, 12}, &right.source, {0, 0, 10, 12}, 0, 10, 0, 0, true);
    EXPECT_EQ(SourceOf(right.dest, 0, 0), (TPoint{0, 0}));
    EXPECT_EQ(SourceOf(right.dest, 21, 0), (TPoint{1, 0}));
  }
  {
    // Narrower than the borders: right = bx * dw div (ax + bx).
    TStage st;
    TCanvasLog log;
    st.canvas.SetRecorder(&log);
    CHDrawFixBitmap(&st.canvas, {0, 0, 7, 12}, &st.source, {0, 0, 16, 12}, 4, 6, 0, 0, true);
    const auto copies = log.Of(TCanvasOpKind::CopyRect);
    ASSERT_EQ(copies.size(), 2u);
    EXPECT_EQ(copies[0].Dest, (TRect{0, 0, 3, 12}));  // 7 - 6 * 7 div 10
    EXPECT_EQ(copies[1].Dest, (TRect{3, 0, 7, 12}));
    EXPECT_EQ(copies[1].Source, (TRect{12, 0, 16, 12}));
  }
  {
    // Without fill the inside keeps its pixels; negative borders count as 0.
    TStage st;
    st.dest.Fill({0, 0, 48, 40}, 0x123456);
    CHDrawFixBitmap(&st.canvas, {0, 0, 40, 30}, &st.source, {0, 0, 16, 12}, 3, 4, 2, 5, false);
    EXPECT_EQ(st.dest.Pixel(20, 15), 0x123456u);
    EXPECT_EQ(SourceOf(st.dest, 1, 15), (TPoint{1, 2 + (15 - 2) % 5}));
    TStage neg;
    CHDrawFixBitmap(&neg.canvas, {0, 0, 30, 20}, &neg.source, {0, 0, 16, 12}, -3, -4, -2, -5, true);
    EXPECT_TRUE(neg.Shows([](int x, int y) -> std::optional<TPoint> {
      if (x >= 30 || y >= 20) return {};
      return TPoint{FixSource(x, 30, 16, 0, 0, true), FixSource(y, 20, 12, 0, 0, true)};
    }));
  }
  {
    // A rest that is a whole multiple of the middle: the trailing border takes one more copy.
    TStage st;
    TCanvasLog log;
    st.canvas.SetRecorder(&log);
    // Source 10 wide, borders 2 and 3, middle 5; destination 20 = 10 + 2 * 5.
    CHDrawFixBitmap(&st.canvas, {0, 0, 20, 12}, &st.source, {0, 0, 10, 12}, 2, 3, 0, 0, true);
    const auto copies = log.Of(TCanvasOpKind::CopyRect);
    ASSERT_GE(copies.size(), 3u);
    EXPECT_EQ(copies[0].Dest, (TRect{0, 0, 7, 12}));    // left border and one whole middle
    EXPECT_EQ(copies[1].Dest, (TRect{12, 0, 20, 12}));  // one middle and the right border
    EXPECT_EQ(copies[1].Source, (TRect{2, 0, 10, 12}));
  }
}

TEST(DrawStyleTest, TitleFixUsesTwoHeadsOfAyRows) {
  // 30 rows with AY = 20: the heads are 15 rows (30 < 2 * 20); the second head is the top border.
  TStage st(8, 30);
  CHDrawTitleFixBitmap(&st.canvas, {0, 0, 8, 15}, &st.source, {0, 0, 8, 30}, 0, 0, 20, 0, true, false);
  EXPECT_EQ(SourceOf(st.dest, 0, 0), (TPoint{0, 15}));
  EXPECT_EQ(SourceOf(st.dest, 0, 14), (TPoint{0, 29}));
  // The other head: rows 0..14, then the body from row 30 on (none here: all head).
  TStage other(8, 40);
  CHDrawTitleFixBitmap(&other.canvas, {0, 0, 8, 20}, &other.source, {0, 0, 8, 40}, 0, 0, 10, 0, true, true);
  EXPECT_EQ(SourceOf(other.dest, 0, 0), (TPoint{0, 0}));
  EXPECT_EQ(SourceOf(other.dest, 0, 9), (TPoint{0, 9}));
  EXPECT_EQ(SourceOf(other.dest, 0, 10), (TPoint{0, 20}));
  EXPECT_EQ(SourceOf(other.dest, 0, 19), (TPoint{0, 29}));
}

TEST(DrawStyleTest, NoCanvasOrNoBitmapDrawsNothingInEveryStyle) {
  TStage st;
  TCanvasLog log;
  st.canvas.SetRecorder(&log);
  const TRect d{0, 0, 20, 20}, s{0, 0, 8, 8};
  for (TCanvas* c : {static_cast<TCanvas*>(nullptr), &st.canvas}) {
    TBitmap* b = c ? nullptr : &st.source;
    CH_CopyRect256(c, d, b, s);
    CHDrawBitmap(c, d, b, s);
    CHDrawCenterBitmap(c, d, b, s);
    CHDrawStretchBitmap(c, d, b, s);
    CHDrawOffsetBitmap(c, d, b, s, 1, 1);
    CHDrawTileBitmap(c, d, b, s, 0, 0, 0, 0);
    CHDrawFixBitmap(c, d, b, s, 1, 1, 1, 1, true);
    CHDrawTitleFixBitmap(c, d, b, s, 1, 1, 1, 1, true, true);
  }
  EXPECT_TRUE(log.Ops.empty());
}

// ---------------------------------------------------------------------------------------------
// Readers and drawers

TEST(ReaderTest, FollowsItsContainerAndKeepsAnExplicitRectangle) {
  TCHBmpContainer bc(nullptr);
  FillCoded(bc.Bitmap(), 48, 70);
  bc.SetCellHeight(-5);
  TCHBcReader r;
  int changes = 0;
  r.OnChange = [&](TCHCustomBcReader* s) {
    EXPECT_EQ(s, &r);
    ++changes;
  };
  EXPECT_EQ(r.Index(), -1);
  EXPECT_EQ(r.GetBitmap(), nullptr);
  r.SetSrcIndex(3);  // no container: stored, the rectangle stays
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(r.SrcRect(), (TRect{}));
  r.SetBmpContainer(&bc);
  EXPECT_EQ(changes, 2);
  EXPECT_EQ(r.SrcRect(), (TRect{0, 42, 48, 56}));
  EXPECT_EQ(r.GetBitmap(), &bc.Bitmap());
  r.SetBmpContainer(&bc);
  EXPECT_EQ(changes, 2);
  bc.SetCellHeight(-2);  // the container's change reaches the reader
  EXPECT_EQ(changes, 3);
  EXPECT_EQ(r.SrcRect(), (TRect{0, 35, 48, 70}));
  r.SetSrcIndex(-1);
  EXPECT_EQ(r.SrcRect(), (TRect{0, 0, 48, 70}));

  // Below -2 means -2; -2 keeps the rectangle through container changes.
  r.SetSrcIndex(-5);
  EXPECT_EQ(r.Index(), -2);
  bc.SetCellHeight(-7);
  EXPECT_EQ(r.SrcRect(), (TRect{0, 0, 48, 70}));
  // Any side switches to -2; width and height go through the sides.
  r.SetSrcIndex(0);
  const int before = changes;
  r.SetSrcLeft(0);  // unchanged: nothing
  EXPECT_EQ(changes, before);
  EXPECT_EQ(r.Index(), 0);
  r.SetSrcWidth(20);
  EXPECT_EQ(r.Index(), -2);
  r.SetSrcBoundsRect(4, 5, 6, 7);
  int left, top, width, height;
  r.GetSrcBoundsRect(left, top, width, height);
  EXPECT_EQ((TRect{left, top, width, height}), (TRect{4, 5, 6, 7}));
  EXPECT_EQ(r.SrcRect(), (TRect{4, 5, 10, 12}));
  r.SetSrcHeight(1);
  EXPECT_EQ(r.GetSrcHeight(), 1);
  EXPECT_EQ(r.GetSrcWidth(), 6);

  // Pointed elsewhere, the old container forgets it.
  TCHBmpContainer other(nullptr);
  r.SetBmpContainer(&other);
  const int now = changes;
  bc.SetCellHeight(-3);
  EXPECT_EQ(changes, now);
  r.SetBmpContainer(nullptr);
  EXPECT_EQ(r.GetBitmap(), nullptr);
}

TEST(ReaderTest, DrawsThroughTheStylesOnlyWithAContainer) {
  TCHBmpContainer bc(nullptr);
  FillCoded(bc.Bitmap(), 16, 12);
  TCHBcReader r;
  TStage st;
  TCanvasLog log;
  st.canvas.SetRecorder(&log);
  const TRect d{0, 0, 30, 30};
  auto all = [&] {
    r.Draw(&st.canvas, d);
    r.DrawCenter(&st.canvas, d);
    r.DrawStretch(&st.canvas, d);
    r.DrawOffset(&st.canvas, d, 1, 2);
    r.DrawTile(&st.canvas, d, 0, 0, 0, 0);
    r.DrawFix(&st.canvas, d, 1, 1, 1, 1, true);
    r.DrawTitleFix(&st.canvas, d, 1, 1, 1, 1, true, false);
  };
  all();
  EXPECT_TRUE(log.Ops.empty());
  r.SetBmpContainer(&bc);
  r.SetSrcRect({2, 2, 6, 6});
  all();
  EXPECT_FALSE(log.Of(TCanvasOpKind::CopyRect).empty());
  for (const TCanvasOp& op : log.Of(TCanvasOpKind::CopyRect)) EXPECT_EQ(op.SourceTarget, bc.Bitmap().Pixels().Data());
}

TEST(ReaderTest, AContainerFreedFirstLeavesItsReadersWithoutOne) {
  TCHBcReader r;
  int changes = 0;
  r.OnChange = [&](TCHCustomBcReader*) { ++changes; };
  {
    TComponent form(nullptr);
    auto* bc = new TCHBmpContainer(&form);
    bc->Bitmap().SetSize(10, 10);
    r.SetBmpContainer(bc);
    changes = 0;
  }
  EXPECT_EQ(r.BmpContainer(), nullptr);
  EXPECT_EQ(r.GetBitmap(), nullptr);
  EXPECT_EQ(changes, 1);
  TStage st;
  TCanvasLog log;
  st.canvas.SetRecorder(&log);
  r.Draw(&st.canvas, {0, 0, 10, 10});
  EXPECT_TRUE(log.Ops.empty());
}

TEST(DrawerTest, DrawsItsStyleFromStoredOrAskedRectangles) {
  TCHBmpContainer bc(nullptr);
  FillCoded(bc.Bitmap(), 16, 12);
  TCHBcReader r;
  r.SetBmpContainer(&bc);
  std::vector<std::string> heard;
  {
    TCHBcDrawer dr(&r);
    EXPECT_TRUE(dr.ParentClient());
    EXPECT_TRUE(dr.DpFill());
    dr.OnChange = [&](TCHCustomBcDrawer*) { heard.push_back("drawer"); };
    r.SetSrcIndex(-2);  // the reader's change reaches the drawer's owner
    EXPECT_EQ(heard.size(), 1u);

    dr.OnCalcParentRect = [&](TCHCustomBcDrawer*, TRect& rect) { rect = {1, 1, 21, 21}; };
    dr.OnCalcSrcRect = [&](TCHCustomBcDrawer*, TRect& rect) { rect = {0, 0, 4, 4}; };
    dr.OnCalcDstRect = [&](TCHCustomBcDrawer*, TRect& rect) { rect = rect.Inflate(-1, -1); };
    dr.SetDrawStyle(chdsTile);
    TStage st;
    TCanvasLog log;
    st.canvas.SetRecorder(&log);
    dr.Draw(&st.canvas);
    EXPECT_EQ(dr.DstRect(), (TRect{1, 1, 21, 21}));  // the parent rectangle is kept
    EXPECT_EQ(r.SrcRect(), (TRect{0, 0, 16, 12}));   // the reader keeps its own
    EXPECT_TRUE(st.Shows([](int x, int y) { return TileSource({2, 2, 20, 20}, {0, 0, 4, 4}, 0, 0, 0, 0, x, y); }));

    // Setting the destination switches ParentClient off; equal values change nothing.
    heard.clear();
    dr.SetDstLeft(5);
    EXPECT_FALSE(dr.ParentClient());
    dr.SetDstLeft(5);
    dr.SetDrawParams(0, 0, 0, 0, true, false);
    dr.SetDpAX(2);
    dr.SetOtherHead(true);
    dr.SetDstWidth(10);
    EXPECT_EQ(dr.DstRect(), (TRect{5, 1, 15, 21}));
    EXPECT_EQ(dr.DpAX(), 2);
    EXPECT_EQ(heard.size(), 4u);
    dr.SetParentClient(true);  // asks the parent rectangle at once
    EXPECT_EQ(dr.DstRect(), (TRect{1, 1, 21, 21}));
    EXPECT_EQ(heard.size(), 5u);
  }
  // Gone, the drawer no longer holds the reader's change event.
  EXPECT_FALSE(static_cast<bool>(r.OnChange));
}

}  // namespace
