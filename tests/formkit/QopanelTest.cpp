// The owner-painted panel: the erase answer, painting that stops after the frame, handing the
// paint message over, and the mouse entering and leaving.
#include <gtest/gtest.h>

#include "formkit/Qopanel.h"
#include "platform/headless/TestKit.h"

using namespace vdmq;

namespace {

struct QopanelTest : ::testing::Test {
  THeadlessSession session;
  TForm* form = new TForm(&App());
  TQoPanel* panel = new TQoPanel(form);
  void SetUp() override {
    form->SetBounds(0, 0, 200, 150);
    panel->SetParent(form);
    panel->SetBounds(10, 10, 100, 60);
    panel->SetColor(clBlack);
    form->Show();
    App().PaintAndPresent();
  }
  std::uint32_t At(int x, int y) const {
    const TRect r = panel->WindowStoreRect();
    return form->Store().Pixel(r.Left + x, r.Top + y);
  }
};

TEST_F(QopanelTest, WithoutEraseNothingIsFilledAndPaintingStopsAfterTheFrame) {
  EXPECT_EQ(panel->BevelOuter, bvNone);
  EXPECT_EQ(panel->Caption(), " ");
  EXPECT_FALSE(panel->EraseBkGnd());
  // What lay under the panel stays: nothing fills it black.
  EXPECT_NE(At(50, 30), ColorToPixel(clBlack));
  TCanvas c;
  TCanvasLog log;
  c.SetRecorder(&log);
  EXPECT_EQ(panel->Perform(WM_ERASEBKGND, reinterpret_cast<std::uintptr_t>(&c)), 1);
  EXPECT_TRUE(log.Ops.empty());

  // The bevels and border still paint; the inside does not.
  panel->BevelOuter = bvRaised;
  panel->BorderWidth = 2;
  panel->Invalidate();
  App().PaintAndPresent();
  EXPECT_EQ(At(0, 0), ColorToPixel(clBtnHighlight));
  EXPECT_EQ(At(1, 1), ColorToPixel(clBlack));  // the border in the panel's colour
  EXPECT_NE(At(50, 30), ColorToPixel(clBlack));
}

TEST_F(QopanelTest, WithEraseItFillsAndDrawsItsCaptionInABandOneLetterHigh) {
  int invalidations = session.Backend.PresentCount();
  panel->SetEraseBkGnd(false);  // equal: no repaint
  App().PaintAndPresent();
  EXPECT_EQ(session.Backend.PresentCount(), invalidations);
  TCanvasLog log;
  {
    TCanvas::THookScope hook(log);
    panel->SetCaption("Map");
    panel->SetEraseBkGnd(true);
    App().PaintAndPresent();
  }
  EXPECT_EQ(At(50, 5), ColorToPixel(clBlack));
  const auto texts = log.Of(TCanvasOpKind::DrawText, &form->Store());
  ASSERT_EQ(texts.size(), 1u);
  TCanvas measure;
  measure.Font = panel->Font();
  const int h = measure.TextHeight("W");
  EXPECT_EQ(texts[0].Dest, (TRect{0, (60 - h) / 2, 100, (60 - h) / 2 + h}));
  EXPECT_EQ(texts[0].Flags, DT_EXPANDTABS | DT_VCENTER | DT_CENTER);
}

TEST_F(QopanelTest, OnUserPaintTakesOverAndCanRunTheUsualHandling) {
  panel->SetEraseBkGnd(true);
  int calls = 0;
  bool usual = false;
  panel->OnUserPaint = [&](TComponent* s, TMessage& m) {
    EXPECT_EQ(s, panel);
    EXPECT_EQ(m.Msg, WM_PAINT);
    ASSERT_NE(m.WParam, 0u);
    ++calls;
    if (usual) panel->DefaultPaintHandler(m);
  };
  panel->Invalidate();
  App().PaintAndPresent();
  EXPECT_EQ(calls, 1);
  TCanvasLog log;
  {
    TCanvas::THookScope hook(log);
    usual = true;
    panel->Invalidate();
    App().PaintAndPresent();
  }
  EXPECT_EQ(calls, 2);
  EXPECT_EQ(log.Of(TCanvasOpKind::DrawText, &form->Store()).size(), 1u);
}

TEST_F(QopanelTest, TheMouseEnteringAndLeavingIsReported) {
  std::vector<std::string> heard;
  panel->OnMouseEnter = [&](TComponent* s) { heard.push_back(s == panel ? "enter" : "?"); };
  panel->OnMouseLeave = [&](TComponent*) { heard.push_back("leave"); };
  InjectMouse(TInputEvent::MouseMove, panel->ClientToScreen({5, 5}));
  InjectMouse(TInputEvent::MouseMove, form->ClientToScreen({150, 120}));
  App().ProcessMessages();
  EXPECT_EQ(heard, (std::vector<std::string>{"enter", "leave"}));
}

}  // namespace
