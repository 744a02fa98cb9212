// The recording canvas (one canvas, or every canvas through the hook scope) and the pixel copy
// under the canvas copies.
#include <gtest/gtest.h>

#include <random>

#include "platform/core/Canvas.h"
#include "platform/core/StdCtrls.h"
#include "platform/headless/TestKit.h"

using namespace vdmq;

namespace {

TEST(CanvasRecordTest, ARecorderSeesEveryOperationWithItsArguments) {
  TPixmap pixels(20, 10, 0x112233);
  TBitmap source;
  source.SetSize(4, 4);
  TCanvas c;
  c.Bind(TPixelTarget::Of(pixels), {2, 1}, {0, 0, 20, 10});
  TCanvasLog log;
  c.SetRecorder(&log);

  c.Brush.Color = clRed;
  c.FillRect({0, 0, 3, 3});
  c.Brush.Style = bsClear;
  c.FillRect({1, 1, 2, 2});  // a clear brush fills nothing and says so
  c.FillRectColor({0, 0, 1, 1}, clBlue);
  c.Pen.Color = clLime;
  c.MoveTo(1, 2);
  c.LineTo(5, 2);
  const TColor got = c.GetPixel(0, 0);
  c.SetPixel(3, 3, clAqua);
  c.Font.Name = "Face";
  c.Font.Height = -16;
  c.Font.Charset = 1;
  c.Font.Color = clYellow;
  TRect t{0, 0, 10, 5};
  c.DrawText("ab", t, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  TRect measured{0, 0, 10, 5};
  c.DrawText("ab", measured, DT_CALCRECT);  // measuring is not drawing
  c.DrawFocusRect({1, 1, 6, 6});
  TRegion region({0, 0, 2, 2});
  c.SelectClipRegion(&region);
  c.SelectClipRegion(nullptr);
  c.CopyRect({0, 0, 8, 8}, source.Canvas(), {0, 0, 4, 4});
  c.StretchPixels({1, 1, 3, 3}, TPixelTarget::Of(source.Pixels()));

  using K = TCanvasOpKind;
  const std::vector<K> kinds{K::FillRect,         K::FillRect, K::FillRect,     K::MoveTo,        K::LineTo,
                             K::GetPixel,         K::SetPixel, K::DrawText,     K::DrawFocusRect, K::SelectClipRegion,
                             K::SelectClipRegion, K::CopyRect, K::StretchPixels};
  ASSERT_EQ(log.Ops.size(), kinds.size());
  for (size_t i = 0; i < kinds.size(); ++i) {
    EXPECT_EQ(log.Ops[i].Kind, kinds[i]) << i;
    EXPECT_EQ(log.Ops[i].Target, pixels.Data()) << i;
    EXPECT_EQ(log.Ops[i].Origin, (TPoint{2, 1})) << i;
  }
  EXPECT_EQ(log.Ops[0].Dest, (TRect{0, 0, 3, 3}));
  EXPECT_EQ(log.Ops[0].Color, clRed);
  EXPECT_EQ(log.Ops[1].Color, clNone);
  EXPECT_EQ(log.Ops[2].Color, clBlue);
  EXPECT_EQ(log.Ops[3].Point, (TPoint{1, 2}));
  EXPECT_EQ(log.Ops[4].From, (TPoint{1, 2}));
  EXPECT_EQ(log.Ops[4].Point, (TPoint{5, 2}));
  EXPECT_EQ(log.Ops[4].Color, clLime);
  EXPECT_EQ(log.Ops[5].Color, got);
  EXPECT_EQ(got, clBlue);
  EXPECT_EQ(log.Ops[6].Color, clAqua);
  const TCanvasOp& text = log.Ops[7];
  EXPECT_EQ(text.Text, "ab");
  EXPECT_EQ(text.Dest, (TRect{0, 0, 10, 5}));
  EXPECT_EQ(text.Flags, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  EXPECT_EQ(text.Color, clYellow);
  EXPECT_EQ(text.Font.Name, "Face");
  EXPECT_EQ(text.Font.Height, -16);
  EXPECT_EQ(text.Font.Charset, 1);
  EXPECT_EQ(log.Ops[9].Region, (std::vector<TRect>{{0, 0, 2, 2}}));
  EXPECT_FALSE(log.Ops[9].NoRegion);
  EXPECT_TRUE(log.Ops[10].NoRegion);
  EXPECT_EQ(log.Ops[11].Source, (TRect{0, 0, 4, 4}));
  EXPECT_EQ(log.Ops[11].SourceTarget, source.Pixels().Data());
  EXPECT_EQ(log.Ops[12].Dest, (TRect{1, 1, 3, 3}));
  EXPECT_EQ(log.Ops[12].Source, (TRect{0, 0, 4, 4}));

  // Detached, the canvas records nothing more.
  c.SetRecorder(nullptr);
  c.FillRect({0, 0, 1, 1});
  EXPECT_EQ(log.Ops.size(), kinds.size());
}

TEST(CanvasRecordTest, AnUnboundCanvasStillReportsWhatItWasAskedToDraw) {
  TCanvas c;
  TCanvasLog log;
  c.SetRecorder(&log);
  c.Brush.Color = clRed;
  c.FillRect({0, 0, 2, 2});
  EXPECT_EQ(c.GetPixel(0, 0), clNone);
  ASSERT_EQ(log.Ops.size(), 2u);
  EXPECT_EQ(log.Ops[0].Target, nullptr);
  EXPECT_EQ(log.Ops[1].Color, clNone);
}

TEST(CanvasRecordTest, TheHookScopeRecordsEveryCanvasOfAWindowAndNamesItsTarget) {
  THeadlessSession session;
  auto* form = new TForm(&App());
  form->SetBounds(10, 10, 200, 120);
  auto* panel = new TPanel(form);
  panel->SetParent(form);
  panel->SetBounds(5, 5, 50, 30);
  TBitmap picture;
  picture.SetSize(8, 8);
  TCanvasLog own;
  TCanvas separate;
  separate.SetRecorder(&own);
  form->Show();
  App().PaintAndPresent();

  TCanvasLog log;
  {
    TCanvas::THookScope scope(log);
    {
      TCanvasLog inner;
      TCanvas::THookScope nested(inner);
      picture.Canvas().FillRectColor({0, 0, 1, 1}, clRed);
      EXPECT_EQ(inner.Ops.size(), 1u);
    }
    panel->Invalidate();
    App().PaintAndPresent();
    picture.Canvas().FillRectColor({0, 0, 2, 2}, clBlue);
    separate.FillRectColor({0, 0, 1, 1}, clRed);  // its own recorder takes it
  }
  picture.Canvas().FillRectColor({0, 0, 2, 2}, clBlue);  // the scope has ended

  const std::vector<TCanvasOp> onStore = log.Of(TCanvasOpKind::FillRect, &form->Store());
  ASSERT_FALSE(onStore.empty());
  // The panel fills inside its raised bevel in its colour, at its place in the window store.
  const TRect wr = panel->WindowStoreRect();
  EXPECT_EQ(onStore.back().Dest, (TRect{1, 1, 49, 29}));
  EXPECT_EQ(onStore.back().Origin, (TPoint{wr.Left, wr.Top}));
  const std::vector<TCanvasOp> onPicture = log.Of(TCanvasOpKind::FillRect, &picture.Pixels());
  ASSERT_EQ(onPicture.size(), 1u);
  EXPECT_EQ(onPicture[0].Color, clBlue);
  EXPECT_EQ(own.Ops.size(), 1u);
  for (const TCanvasOp& op : log.Ops)
    EXPECT_TRUE(op.Target == form->Store().Data() || op.Target == picture.Pixels().Data());
}

// The pixel copy under CopyRect and StretchPixels against the plain rule: destination pixel (x, y)
// of dr takes source pixel (sr.Left + (x - dr.Left) * sw / dw, ...) when that pixel exists, and
// nothing is copied for an empty or inverted rectangle.
TEST(CanvasRecordTest, PixelCopiesFollowTheNearestNeighbourRuleAndSkipMissingSourcePixels) {
  std::mt19937 rng(5);
  auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
  TPixmap src(9, 7);
  for (int y = 0; y < 7; ++y)
    for (int x = 0; x < 9; ++x) src.SetPixel(x, y, static_cast<std::uint32_t>(0x10000 * x + 0x100 * y + 1));
  std::vector<std::uint8_t> bgr(static_cast<size_t>(12) * 3 * 10);
  for (int round = 0; round < 3000; ++round) {
    const TRect dr{pick(-4, 12), pick(-4, 10), pick(-4, 14), pick(-4, 12)};
    TRect sr{pick(-5, 10), pick(-5, 8), pick(-5, 14), pick(-5, 12)};
    if (round % 3 == 0) sr = Bounds(sr.Left, sr.Top, dr.Width(), dr.Height());  // 1:1
    const TRect clip{pick(0, 3), pick(0, 3), pick(6, 12), pick(5, 10)};
    TPixmap words(12, 10, 0xABCDEF);
    std::fill(bgr.begin(), bgr.end(), 0x55);
    const TPixelTarget bytes = TPixelTarget::OfBgr(bgr.data(), 12, 10, 36);
    StretchCopy(TPixelTarget::Of(words), dr, TPixelTarget::Of(src), sr, clip);
    StretchCopy(bytes, dr, TPixelTarget::Of(src), sr, clip);
    for (int y = 0; y < 10; ++y)
      for (int x = 0; x < 12; ++x) {
        std::uint32_t want = 0xABCDEF;
        if (!dr.IsEmpty() && !sr.IsEmpty() && dr.Contains(x, y) && clip.Contains(x, y)) {
          const int sx = sr.Left + (x - dr.Left) * sr.Width() / dr.Width();
          const int sy = sr.Top + (y - dr.Top) * sr.Height() / dr.Height();
          if (sx >= 0 && sy >= 0 && sx < 9 && sy < 7) want = src.Pixel(sx, sy);
        }
        ASSERT_EQ(words.Pixel(x, y), want) << "round " << round << " at " << x << "," << y;
        ASSERT_EQ(bytes.Get(x, y), want == 0xABCDEF ? 0x555555u : want) << "round " << round;
      }
  }
}

}  // namespace
