// Cell-faced buttons: the face and caption drawing against the recording canvas, the owner
// drawing and painting of the two buttons, sizes, the NumGlyphs refusal, and buttons that outlive
// their containers.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "KitTestSupport.h"
#include "formkit/Chbcbtn.h"
#include "platform/base/Sjis.h"
#include "platform/core/MessageDialog.h"
#include "platform/headless/TestKit.h"

using namespace vdmq;
using namespace vdmq::test;

namespace {

const char* StateName(TButtonState s) {
  static const char* names[] = {"up", "disabled", "down", "exclusive"};
  return names[s];
}

// The face a cell of n faces shows, per state and flags: '-' is the standard face (no picture).
struct TFaceRow {
  TButtonState state;
  bool focus, isDefault;
  const char* faces;  // for n = 0..6
};
const TFaceRow kFaces[] = {
    {bsUp, false, false, "-000000"},      {bsUp, true, false, "-000045"},        {bsUp, false, true, "-000044"},
    {bsUp, true, true, "-000045"},        {bsDisabled, false, false, "-001111"}, {bsDisabled, true, true, "-001111"},
    {bsDown, false, false, "-012222"},    {bsDown, true, true, "-012222"},       {bsExclusive, false, false, "-012333"},
    {bsExclusive, true, true, "-012333"},
};

TEST(DrawButtonFaceTest, FaceChoiceCaptionPassesAndFocusForEveryCountStateAndFlag) {
  TBitmap cells;
  cells.SetSize(90, 20);
  const TRect src{3, 2, 87, 16};  // 84 wide: faces of 84 div n
  const TRect client{0, 0, 40, 18};
  TCHBtnCaptionColor cc;
  cc.SetEnabled(true);
  // Distinct colours per set: disabled, pressed, up (face, highlight, shadow).
  const TColor sets[3][3] = {{clGray, clRed, clMaroon}, {clBlue, clLime, clGreen}, {clAqua, clYellow, clOlive}};
  for (int i = 0; i < 9; ++i) cc.SetTcTable(i, sets[i / 3][i % 3]);
  TFont font;
  font.Name = SJS("ＭＳ ゴシック");
  font.Height = 12;
  for (const TFaceRow& row : kFaces)
    for (int n = 0; n <= 6; ++n) {
      const std::string what = std::string(StateName(row.state)) + " focus " + std::to_string(row.focus) + " default " +
                               std::to_string(row.isDefault) + " n " + std::to_string(n);
      TCanvas c;
      TCanvasLog log;
      c.SetRecorder(&log);
      cc.DrawButtonFace(&c, client, &cells, src, n, "Ab", font, {-1, -1}, {2, 3}, row.state, row.focus, row.isDefault);
      const auto copies = log.Of(TCanvasOpKind::CopyRect);
      if (row.faces[n] == '-') {
        EXPECT_TRUE(copies.empty()) << what;
        ASSERT_FALSE(log.Ops.empty());
        EXPECT_EQ(log.Ops[0].Kind, TCanvasOpKind::FillRect) << what;  // the standard face
        EXPECT_EQ(log.Ops[0].Color, clBtnFace) << what;
      } else {
        const int face = row.faces[n] - '0', w = 84 / n;
        ASSERT_EQ(copies.size(), 1u) << what;
        EXPECT_EQ(copies[0].Dest, client) << what;
        EXPECT_EQ(copies[0].Source, (TRect{3 + w * face, 2, 3 + w * (face + 1), 16})) << what;
      }
      const bool pressed = row.state == bsDown || row.state == bsExclusive;
      const int set = row.state == bsDisabled ? 0 : pressed ? 1 : 2;
      const TRect t = TRect{-3, -1, 40, 18}.Offset(pressed ? 2 : 0, pressed ? 3 : 0);
      const auto texts = log.Of(TCanvasOpKind::DrawText);
      ASSERT_EQ(texts.size(), 3u) << what;
      const TRect at[3] = {t, t.Offset(2, 2), t.Offset(1, 1)};
      const TColor colors[3] = {sets[set][1], sets[set][2], sets[set][0]};
      for (int p = 0; p < 3; ++p) {
        EXPECT_EQ(texts[p].Dest, at[p]) << what << " pass " << p;
        EXPECT_EQ(texts[p].Color, colors[p]) << what << " pass " << p;
        EXPECT_EQ(texts[p].Flags, 37u) << what;
        EXPECT_EQ(texts[p].Font.Name, font.Name);
        EXPECT_EQ(texts[p].Font.Height, 12);
        EXPECT_EQ(texts[p].Text, "Ab");
      }
      const auto focus = log.Of(TCanvasOpKind::DrawFocusRect);
      ASSERT_EQ(focus.size(), row.focus ? 1u : 0u) << what;
      if (row.focus) {
        EXPECT_EQ(focus[0].Dest, TRect({4, 4, 36, 14}).Offset(pressed ? 2 : 0, pressed ? 3 : 0)) << what;
        EXPECT_EQ(c.Pen.Color, clWindowFrame);
        EXPECT_EQ(c.Brush.Color, clBtnFace);
      }
    }
}

TEST(DrawButtonFaceTest, CaptionColoursPositionsAndTheEmptyCaption) {
  TBitmap cells;
  cells.SetSize(30, 10);
  const TRect client{0, 0, 30, 10};
  TFont font;
  font.Color = clFuchsia;
  struct TCase {
    const char* what;
    bool enabled;
    TButtonState state;
    TPoint pos;
    std::vector<std::pair<TColor, TRect>> passes;
    unsigned flags;
  };
  const TRect t{-3, -1, 30, 10};
  const std::vector<TCase> cases = {
      // Without table colours: the font's colour once, one pixel right of and below T.
      {"plain up", false, bsUp, {-1, -1}, {{clFuchsia, t.Offset(1, 1)}}, 37},
      // Disabled: a light shadow and the shadow colour as face.
      {"plain disabled",
       false,
       bsDisabled,
       {-1, -1},
       {{clBtnHighlight, t.Offset(2, 2)}, {clBtnShadow, t.Offset(1, 1)}},
       37},
      // Positions of 0 and more move T and leave the text at the top left.
      {"placed", false, bsDown, {5, 2}, {{clFuchsia, t.Offset(5 + 1 + 1, 2 + 1 + 1)}}, 0},
      {"centred across only", false, bsUp, {-1, 4}, {{clFuchsia, t.Offset(1, 5)}}, DT_CENTER},
      // Table colours with clNone highlight and shadow: one pass.
      {"table, none", true, bsUp, {-1, -1}, {{clAqua, t.Offset(1, 1)}}, 37},
  };
  for (const TCase& c : cases) {
    TCHBtnCaptionColor cc;
    cc.SetEnabled(c.enabled);
    cc.SetClUpFace(clAqua);
    cc.SetClUpShadow(clNone);
    TCanvas canvas;
    TCanvasLog log;
    canvas.SetRecorder(&log);
    cc.DrawButtonFace(&canvas, client, &cells, client, 3, "x", font, c.pos, {1, 1}, c.state, false, false);
    const auto texts = log.Of(TCanvasOpKind::DrawText);
    ASSERT_EQ(texts.size(), c.passes.size()) << c.what;
    for (size_t i = 0; i < texts.size(); ++i) {
      EXPECT_EQ(texts[i].Color, c.passes[i].first) << c.what;
      EXPECT_EQ(texts[i].Dest, c.passes[i].second) << c.what;
      EXPECT_EQ(texts[i].Flags, c.flags) << c.what;
    }
  }
  // An empty caption draws no text and touches no colour or font.
  TCHBtnCaptionColor cc;
  TCanvas canvas;
  canvas.Font.Color = clTeal;
  canvas.Brush.Color = clLime;
  TCanvasLog log;
  canvas.SetRecorder(&log);
  cc.DrawButtonFace(&canvas, client, nullptr, client, 3, "", font, {-1, -1}, {1, 1}, bsDown, false, false);
  EXPECT_TRUE(log.Of(TCanvasOpKind::DrawText).empty());
  EXPECT_EQ(canvas.Font.Color, clTeal);
  EXPECT_EQ(canvas.Brush.Style, bsSolid);
}

TEST(CaptionColorTest, DefaultsAndChangesOnlyOnADifferentValue) {
  TCHBtnCaptionColor cc;
  const TColor defaults[9] = {clBtnShadow, clNone,         clBtnHighlight, clBtnHighlight, clNone,
                              clBtnShadow, clBtnHighlight, clNone,         clBtnShadow};
  for (int i = 0; i < 9; ++i) EXPECT_EQ(cc.GetTcTable(i), defaults[i]) << i;
  EXPECT_FALSE(cc.Enabled());
  int changes = 0;
  cc.OnChange = [&](TCHBtnCaptionColor* s) {
    EXPECT_EQ(s, &cc);
    ++changes;
  };
  cc.SetEnabled(false);
  cc.SetClDownFace(clBtnHighlight);
  cc.SetTcTable(9, clRed);
  EXPECT_EQ(changes, 0);
  EXPECT_EQ(cc.GetTcTable(-1), clNone);
  cc.SetEnabled(true);
  cc.SetClDisabledFace(clGray);
  EXPECT_EQ(changes, 2);
  EXPECT_EQ(cc.ClDisabledFace(), clGray);
}

// ---------------------------------------------------------------------------------------------
// Buttons in a window

struct TButtonFixture : ::testing::Test {
  THeadlessSession session;
  TForm* form = nullptr;
  TCHBmpContainer* faces = nullptr;
  void SetUp() override {
    form = new TForm(&App());
    form->SetBounds(0, 0, 300, 200);
    faces = new TCHBmpContainer(form);
    FillCoded(faces->Bitmap(), 258, 56);  // two rows of three 86 x 28 faces
    faces->SetCellHeight(28);
  }
  // The source pixels the button's area of the window store shows.
  std::set<int> SourceColumns(TControl* b, int y) {
    std::set<int> xs;
    const TRect r = b->WindowStoreRect();
    for (int x = r.Left; x < r.Right; ++x)
      if (auto p = SourceOf(form->Store(), x, r.Top + y)) xs.insert(p->X);
    return xs;
  }
  std::optional<TPoint> SourceAt(TControl* b, int x, int y) {
    const TRect r = b->WindowStoreRect();
    return SourceOf(form->Store(), r.Left + x, r.Top + y);
  }
};

TEST_F(TButtonFixture, ABitButtonTakesItsFacesFromItsCellAndSizesToOneFace) {
  auto* b = new TCHBcBitBtn(form);
  b->SetParent(form);
  b->SetBounds(10, 10, 50, 20);
  EXPECT_EQ(b->Spacing, -1);
  EXPECT_EQ(b->CaptionDownOffsetX(), 1);
  EXPECT_EQ(b->NumGlyphs(), 0);
  b->Glyph().SetSrcIndex(1);
  b->Glyph().SetBmpContainer(faces);
  EXPECT_EQ(b->NumGlyphs(), 3);  // the first bitmap makes 0 into 3
  b->SetAutoSize(true);
  EXPECT_EQ(b->BoundsRect(), Bounds(10, 10, 86, 28));  // 258 div 3 by 28
  form->Show();
  App().PaintAndPresent();
  EXPECT_EQ(SourceAt(b, 0, 0), (TPoint{0, 28}));
  EXPECT_EQ(SourceAt(b, 85, 27), (TPoint{85, 55}));

  // Disabled: face 1. Pressed (the owner-draw request's selected bit): face 2.
  b->SetEnabled(false);
  App().PaintAndPresent();
  EXPECT_EQ(SourceAt(b, 0, 0), (TPoint{86, 28}));
  b->SetEnabled(true);
  TPixmap pressed(86, 28);
  TCanvas c;
  c.Bind(pressed);
  TDrawItemStruct dis{&c, {0, 0, 86, 28}, ODS_SELECTED};
  b->Perform(CN_DRAWITEM, 0, reinterpret_cast<std::intptr_t>(&dis));
  EXPECT_EQ(SourceOf(pressed, 0, 0), (TPoint{172, 28}));

  // An 87-wide button shows 86-pixel faces with exactly one column doubled.
  b->SetAutoSize(false);
  b->SetWidth(87);
  App().PaintAndPresent();
  const std::set<int> columns = SourceColumns(b, 0);
  EXPECT_EQ(columns.size(), 86u);
  EXPECT_EQ(*columns.begin(), 0);
  EXPECT_EQ(*columns.rbegin(), 85);
}

TEST_F(TButtonFixture, OwnerDrawingHandsStateAndFlagsToOnBtnDraw) {
  auto* b = new TCHPaintBitBtn(form);
  b->SetParent(form);
  std::vector<std::string> calls;
  b->OnBtnDraw = [&](TComponent* s, TButtonState st, bool focused, bool isDefault) {
    EXPECT_EQ(s, b);
    calls.push_back(std::string(StateName(st)) + (focused ? " F" : "") + (isDefault ? " D" : ""));
  };
  TPixmap p(75, 25);
  TCanvas c;
  c.Bind(p);
  c.Pen.Color = clRed;
  auto draw = [&](unsigned state) {
    TDrawItemStruct dis{&c, {0, 0, 75, 25}, state};
    b->Perform(CN_DRAWITEM, 0, reinterpret_cast<std::intptr_t>(&dis));
  };
  draw(0);
  draw(ODS_SELECTED | ODS_FOCUS);
  b->SetButtonStyle(true);
  draw(0);
  b->SetEnabled(false);
  draw(ODS_SELECTED);
  EXPECT_EQ(calls, (std::vector<std::string>{"up", "down D", "up F", "disabled F"}));
  EXPECT_EQ(c.Pen.Color, clWindowFrame);
  EXPECT_EQ(c.Brush.Color, clBtnFace);

  // Without OnBtnDraw the usual bit-button face is drawn.
  b->OnBtnDraw = nullptr;
  TCanvasLog log;
  c.SetRecorder(&log);
  draw(0);
  EXPECT_FALSE(log.Of(TCanvasOpKind::FillRect).empty());

  // The erase answer: 0 and nothing drawn without EraseBkGnd.
  log.Ops.clear();
  b->EraseBkGnd = false;
  EXPECT_EQ(b->Perform(WM_ERASEBKGND, reinterpret_cast<std::uintptr_t>(&c)), 0);
  EXPECT_TRUE(log.Ops.empty());
  b->EraseBkGnd = true;
  EXPECT_EQ(b->Perform(WM_ERASEBKGND, reinterpret_cast<std::uintptr_t>(&c)), 1);
  EXPECT_FALSE(log.Ops.empty());
}

TEST_F(TButtonFixture, TheFocusFlagReachesABitButtonFaceOnlyWithDrawFocus) {
  auto* b = new TCHBcBitBtn(form);
  b->SetParent(form);
  b->SetBounds(0, 0, 86, 28);
  b->SetCaption("Go");
  b->SetButtonStyle(true);
  TCanvas c;
  TCanvasLog log;
  c.SetRecorder(&log);
  TDrawItemStruct dis{&c, {0, 0, 86, 28}, ODS_FOCUS};
  b->Perform(CN_DRAWITEM, 0, reinterpret_cast<std::intptr_t>(&dis));
  EXPECT_TRUE(log.Of(TCanvasOpKind::DrawFocusRect).empty());
  b->DrawFocus = true;
  b->Perform(CN_DRAWITEM, 0, reinterpret_cast<std::intptr_t>(&dis));
  EXPECT_EQ(log.Of(TCanvasOpKind::DrawFocusRect).size(), 1u);
}

TEST_F(TButtonFixture, ASpeedButtonHeldDownInItsGroupShowsItsFourthFace) {
  auto* on = new TCHBcSpeedButton(form);
  auto* off = new TCHBcSpeedButton(form);
  for (TCHBcSpeedButton* b : {on, off}) {
    b->SetParent(form);
    b->Glyph().SetBmpContainer(faces);
    b->Glyph().SetSrcIndex(0);
    b->Glyph().SetSrcRect({0, 0, 172, 28});  // four faces of 43
    b->SetNumGlyphs(4);
    b->SetAutoSize(true);
    b->SetGroupIndex(1);
  }
  EXPECT_EQ(on->BoundsRect(), Bounds(0, 0, 43, 28));
  off->SetLeft(43);
  on->SetDown(true);
  form->Show();
  App().PaintAndPresent();
  EXPECT_EQ(on->State(), bsExclusive);
  EXPECT_EQ(SourceAt(on, 0, 0), (TPoint{129, 0}));
  EXPECT_EQ(SourceAt(off, 0, 0), (TPoint{0, 0}));
  // Disabled while down: face 1.
  on->SetEnabled(false);
  App().PaintAndPresent();
  EXPECT_EQ(SourceAt(on, 0, 0), (TPoint{43, 0}));
  // The speed button's own draw event comes after its usual painting, without flags.
  auto* plain = new TCHPaintSpdBtn(form);
  plain->SetParent(form);
  plain->SetBounds(100, 100, 20, 20);
  std::string seen;
  plain->OnBtnDraw = [&](TComponent*, TButtonState st, bool f, bool d) {
    seen = std::string(StateName(st)) + (f || d ? " flags" : "");
  };
  App().PaintAndPresent();
  EXPECT_EQ(seen, "up");
}

TEST_F(TButtonFixture, NumGlyphsOutOfRangeIsRefusedWithTheMessageBox) {
  auto* bit = new TCHBcBitBtn(form);
  auto* speed = new TCHBcSpeedButton(form);
  bit->SetNumGlyphs(4);
  speed->SetNumGlyphs(2);
  std::vector<std::string> boxes;
  session.Backend.Driver = [&] {
    auto* box = dynamic_cast<TMessageForm*>(TopModal());
    if (!box) return false;
    boxes.push_back(Find<TLabel>(box, "Message")->Caption() + "|" + box->Caption());
    Click(box->Button(0), mbLeft, false);
    return true;
  };
  bit->SetNumGlyphs(7);
  speed->SetNumGlyphs(-1);
  EXPECT_EQ(bit->NumGlyphs(), 4);
  EXPECT_EQ(speed->NumGlyphs(), 2);
  const std::string text =
      SJS("0から6までの値が指定できます。0描画せず 1通常 2無効 3押下 4押止 5フォーカス 6デフォルト") +
      "|TCHBcBitBtn.NumGlyphs";
  EXPECT_EQ(boxes, (std::vector<std::string>{text, text}));
}

TEST_F(TButtonFixture, ButtonsOutlivingTheirContainersDrawTheStandardFace) {
  // The window holding the containers goes first, then a window whose buttons read them is
  // repainted and freed (the program's shutdown order).
  auto* screen = new TForm(&App());
  screen->SetBounds(320, 0, 200, 100);
  auto* b = new TCHBcBitBtn(screen);
  b->SetParent(screen);
  b->SetBounds(0, 0, 86, 28);
  b->SetCaption("End");
  b->Glyph().SetBmpContainer(faces);
  auto* s = new TCHBcSpeedButton(screen);
  s->SetParent(screen);
  s->SetBounds(0, 30, 43, 28);
  s->Glyph().SetBmpContainer(faces);
  screen->Show();
  App().PaintAndPresent();
  EXPECT_TRUE(SourceOf(screen->Store(), b->WindowStoreRect().Left, b->WindowStoreRect().Top));

  delete form;
  form = nullptr;
  EXPECT_EQ(b->Glyph().BmpContainer(), nullptr);
  EXPECT_EQ(s->Glyph().BmpContainer(), nullptr);
  TCanvasLog log;
  {
    TCanvas::THookScope hook(log);
    screen->Invalidate();
    App().PaintAndPresent();
  }
  EXPECT_TRUE(log.Of(TCanvasOpKind::CopyRect, &screen->Store()).empty());
  EXPECT_EQ(log.Of(TCanvasOpKind::DrawText, &screen->Store()).size(), 1u);
  const TRect r = b->WindowStoreRect();
  EXPECT_EQ(screen->Store().Pixel(r.Left + 40, r.Top + 3), ColorToPixel(clBtnFace));
  delete screen;
}

}  // namespace
