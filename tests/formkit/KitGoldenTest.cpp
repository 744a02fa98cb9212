// Golden pictures of cell-faced buttons on the kit's own faces, painted by the headless window
// layer: what a player sees of a command button and of an on/off pair.
#include <gtest/gtest.h>

#include "formkit/Chbcbtn.h"
#include "formkit/KitPictures.h"
#include "platform/base/Sjis.h"
#include "platform/headless/TestKit.h"
#include "support/Golden.h"

using namespace vdmq;

namespace {

struct KitGoldenTest : ::testing::Test {
  THeadlessSession session;
  TForm* form = new TForm(&App());
  void SetUp() override {
    form->SetBorderStyle(bsNone);
    form->SetBounds(0, 0, 320, 120);
    form->SetColor(clBlack);
  }
  // The game's caption set-up: colours enabled, grey when disabled, no shadows.
  template <class B>
  B* Button(const std::string& container, int row, int glyphs, TRect bounds, const std::string& caption) {
    auto* b = new B(form);
    b->SetParent(form);
    b->SetBounds(bounds.Left, bounds.Top, bounds.Width(), bounds.Height());
    b->SetCaption(caption);
    TFont f;
    f.Name = SJS("ＭＳ ゴシック");
    f.Height = 12;
    b->SetFont(f);
    TCHBtnCaptionColor& cc = b->CaptionColor();
    cc.SetEnabled(true);
    cc.SetClDisabledFace(clGray);
    cc.SetClDisabledShadow(clNone);
    cc.SetClDownShadow(clNone);
    cc.SetClUpShadow(clNone);
    cc.SetClUpFace(clAqua);
    cc.SetClDownFace(clBlue);
    TCHBmpContainer* faces = Find<TCHBmpContainer>(form, container);
    b->Glyph().SetBmpContainer(faces ? faces : MakeFaceContainer(form, container));
    b->Glyph().SetSrcIndex(row);
    b->SetNumGlyphs(glyphs);
    return b;
  }
  TPixmap Shot(const TRect& r) {
    App().PaintAndPresent();
    TPixmap out(r.Width(), r.Height());
    BlitPixmapRect(out, 0, 0, form->Store(), r, {0, 0, r.Width(), r.Height()});
    return out;
  }
};

TEST_F(KitGoldenTest, CommandButtonUpPressedAndDisabled) {
  const std::string text = SJS("ターン終了");
  Button<TCHBcBitBtn>("bc86_28_2", 0, 3, Bounds(4, 4, 86, 28), text);
  auto* pressed = Button<TCHBcBitBtn>("bc86_28_2", 0, 3, Bounds(94, 4, 86, 28), text);
  auto* disabled = Button<TCHBcBitBtn>("bc86_28_2", 0, 3, Bounds(184, 4, 86, 28), text);
  disabled->SetEnabled(false);
  form->Show();
  // The middle one is held down by the mouse.
  InjectMouse(TInputEvent::MouseMove, pressed->ClientToScreen({40, 14}));
  InjectMouse(TInputEvent::MouseDown, pressed->ClientToScreen({40, 14}));
  App().ProcessMessages();
  EXPECT_TRUE(test::MatchesGolden(Shot({0, 0, 274, 36}), "formkit", "command_button"));
}

TEST_F(KitGoldenTest, OnOffSpeedButtonsHeldDownAndUp) {
  auto* on = Button<TCHBcSpeedButton>("bc_sb43_28_2", 1, 4, Bounds(4, 4, 43, 28), "ON");
  auto* off = Button<TCHBcSpeedButton>("bc_sb43_28_2", 1, 4, Bounds(47, 4, 43, 28), "OFF");
  for (TCHBcSpeedButton* b : {on, off}) b->SetGroupIndex(1);
  on->SetDown(true);
  form->Show();
  EXPECT_TRUE(test::MatchesGolden(Shot({0, 0, 94, 36}), "formkit", "on_off_buttons"));
}

}  // namespace
