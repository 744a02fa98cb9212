// Golden pictures painted by the headless window layer with the kit's own pictures: a command
// button and an on/off pair on their faces, and kit windows with their frame, title bar, icon and
// caption buttons.
#include <gtest/gtest.h>

#include "formkit/CHFDATAU.h"
#include "formkit/CHFFORMU.h"
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

struct KitFormGoldenTest : ::testing::Test {
  THeadlessSession session;
  void SetUp() override {
    new TCHF_Data(&App());
    InstallKitIcons();
  }
  TCHF_Form* Form(TFormBorderStyle style, TBorderIcons icons, TSize client, const std::string& caption) {
    auto* f = new TCHF_Form(&App());
    f->SetBorderStyle(style);
    f->SetBorderIcons(icons);
    f->SetClientSize(client.cx, client.cy);
    f->SetColor(clBlack);
    TFont font;
    font.Name = SJS("ＭＳ ゴシック");
    f->SetFont(font);
    f->SetCaption(caption);
    f->Show();
    App().ProcessMessages();
    return f;
  }
};

TEST_F(KitFormGoldenTest, SizeableMainWindowActiveAndInactive) {
  TCHF_Form* f = Form(bsSizeable, biSystemMenu | biMinimize | biMaximize, {792, 573}, SJS("Veldmark Q 体験版"));
  ASSERT_EQ(f->BoundsRect(), Bounds(0, 0, 800, 600));
  EXPECT_TRUE(test::MatchesGolden(f->Store(), "formkit", "kit_form_active"));
  Desktop().Activate(nullptr);
  App().ProcessMessages();
  EXPECT_TRUE(test::MatchesGolden(f->Store(), "formkit", "kit_form_inactive"));
}

TEST_F(KitFormGoldenTest, SingleBorderWithCloseOnlyAndWithoutButtons) {
  TCHF_Form* menu = Form(bsSingle, biSystemMenu, {400, 160}, SJS("システム"));
  ASSERT_EQ(menu->Width(), 406);
  ASSERT_EQ(menu->Height(), 185);
  EXPECT_TRUE(test::MatchesGolden(menu->Store(), "formkit", "kit_form_close_only"));
  TCHF_Form* battle = Form(bsSingle, 0, {792, 573}, SJS("戦闘"));
  ASSERT_EQ(battle->Width(), 798);
  ASSERT_EQ(battle->Height(), 598);
  EXPECT_TRUE(test::MatchesGolden(battle->Store(), "formkit", "kit_form_no_buttons"));
}

TEST_F(KitFormGoldenTest, FiveCaptionButtonsInTheirThreeStates) {
  TCHF_Form* f = Form(bsSingle, biSystemMenu, {100, 40}, "");
  // Rows close, minimise, restore, maximise, help; columns up, disabled, pressed.
  TPixmap sheet(3 * 20 + 4, 5 * 18 + 4, 0);
  TCanvas canvas;
  canvas.Bind(sheet);
  for (TCHF_Glyph glyph : {cgClose, cgMinimize, cgRestore, cgMaximize, cgHelp})
    for (TCHF_ButtonState state : {cbUp, cbDisabled, cbPressed}) {
      TCHF_Button b(f, glyph, pkClose);
      b.Source = f->CHF_BcButtonWriter;
      b.SetVisible(true);
      b.SetState(state);
      b.Rect = Bounds(4 + 20 * state, 4 + 18 * glyph, 16, 14);
      b.Paint(canvas);
    }
  EXPECT_TRUE(test::MatchesGolden(sheet, "formkit", "caption_buttons"));
}

}  // namespace
