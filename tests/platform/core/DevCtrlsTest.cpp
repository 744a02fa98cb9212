// Controls of the developer tools: edit, up-down, list box, combo box, radio group, pages, save dialog.
#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/base/Sjis.h"
#include "platform/core/DevCtrls.h"
#include "platform/core/Menus.h"
#include "platform/headless/TestKit.h"

using namespace vdmq;

namespace {

struct DevCtrlsTest : ::testing::Test {
  THeadlessSession session;
  TForm* form = nullptr;
  void SetUp() override {
    App().CreateForm(form);
    form->SetClientSize(325, 352);
    form->Show();
  }
  template <class T>
  T* Add(int x, int y, int w, int h) {
    auto* c = new T(form);
    c->SetParent(form);
    c->SetBounds(x, y, w, h);
    return c;
  }
};

TEST_F(DevCtrlsTest, EditTakesTypedLettersAndBackspaceRemovesWholeLetters) {
  auto* e = Add<TEdit>(10, 10, 100, 21);
  int changes = 0;
  e->OnChange = [&](TComponent*) { ++changes; };
  e->SetText(SJS("艦"));
  Click(e);
  PressKey('1');
  PressKey('2');
  EXPECT_EQ(e->Text(), SJS("艦") + "12");
  PressKey(VK_BACK);
  PressKey(VK_BACK);
  PressKey(VK_BACK);
  EXPECT_EQ(e->Text(), "");
  PressKey(VK_BACK);
  EXPECT_EQ(changes, 6);
  e->SetEnabled(false);
  PressKey('9');
  EXPECT_EQ(e->Text(), "");
}

TEST_F(DevCtrlsTest, UpDownStepsWithinItsRangeAndUpdatesItsEdit) {
  auto* e = Add<TEdit>(10, 40, 60, 21);
  auto* ud = Add<TUpDown>(70, 40, 16, 22);
  ud->Min = 0;
  ud->Max = 7;
  ud->Associate = e;
  ud->SetPosition(6);
  EXPECT_EQ(e->Text(), "6");
  ClickAt(ud, 8, 3);
  ClickAt(ud, 8, 3);
  EXPECT_EQ(ud->Position(), 7);
  ClickAt(ud, 8, 19);
  EXPECT_EQ(ud->Position(), 6);
  EXPECT_EQ(e->Text(), "6");
  ud->SetPosition(-3);
  EXPECT_EQ(ud->Position(), 0);
}

TEST_F(DevCtrlsTest, ListAndRadioChoicesByClick) {
  auto* lb = Add<TListBox>(10, 70, 120, 80);
  lb->Items = {"a", "b", "c"};
  lb->ItemsChanged();
  int clicks = 0;
  lb->OnClick = [&](TComponent*) { ++clicks; };
  ClickAt(lb, 10, 2 + 13 + 5);
  EXPECT_EQ(lb->ItemIndex(), 1);
  EXPECT_EQ(clicks, 1);
  ClickAt(lb, 10, 70);  // below the last item: no change
  EXPECT_EQ(lb->ItemIndex(), 1);
  lb->SetItemIndex(9);
  EXPECT_EQ(lb->ItemIndex(), -1);
  auto* rg = Add<TRadioGroup>(140, 70, 120, 60);
  rg->Items = {SJS("通常"), SJS("交戦")};
  int rclicks = 0;
  rg->OnClick = [&](TComponent*) { ++rclicks; };
  const TRect r = rg->ItemRect(1);
  ClickAt(rg, r.Left + 20, (r.Top + r.Bottom) / 2);
  EXPECT_EQ(rg->ItemIndex(), 1);
  EXPECT_EQ(rclicks, 1);
  rg->SetItemIndex(1);
  EXPECT_EQ(rclicks, 1);
}

TEST_F(DevCtrlsTest, ComboBoxPicksFromItsDropDown) {
  auto* cb = Add<TComboBox>(10, 160, 145, 21);
  cb->Items = {"zero", "one", "two"};
  cb->SetItemIndex(0);
  int changes = 0;
  cb->OnChange = [&](TComponent*) { ++changes; };
  session.Backend.Driver = [&] {
    auto* w = dynamic_cast<TMenuWindow*>(Desktop().PopupWindow);
    if (!w) return false;
    ClickAt(w, 10, w->ItemRect(2).Top + 4, mbLeft, false);
    return true;
  };
  Click(cb);
  EXPECT_EQ(cb->ItemIndex(), 2);
  EXPECT_EQ(cb->Text(), "two");
  EXPECT_EQ(changes, 1);
}

TEST_F(DevCtrlsTest, PageControlShowsOneSheetAtATime) {
  auto* pc = Add<TPageControl>(0, 190, 320, 150);
  auto* s1 = new TTabSheet(form);
  s1->SetCaption("One");
  s1->SetPageControl(pc);
  auto* s2 = new TTabSheet(form);
  s2->SetCaption("Three");
  s2->SetPageControl(pc);
  int shown = 0;
  s2->OnShow = [&](TComponent*) { ++shown; };
  EXPECT_EQ(pc->ActivePage(), s1);
  EXPECT_TRUE(s1->Visible());
  EXPECT_FALSE(s2->Visible());
  const TRect t = pc->TabRect(1);
  ClickAt(pc, t.Left + 3, t.Top + 3);
  EXPECT_EQ(pc->ActivePageIndex(), 1);
  EXPECT_EQ(shown, 1);
  EXPECT_FALSE(s1->Visible());
  delete s2;
  EXPECT_EQ(pc->PageCount(), 1);
  EXPECT_EQ(pc->ActivePage(), s1);
  EXPECT_TRUE(s1->Visible());
}

TEST_F(DevCtrlsTest, SaveDialogAnswersWithTheTypedNameOrNothing) {
  TSaveDialog dlg(form);
  dlg.Filter = "dat|*.dat";
  dlg.DefaultExt = "dat";
  unsetenv("VDMQ_SAVE_PATH");
  session.Backend.Driver = [&] {
    TForm* f = TopModal();
    if (!f) return false;
    auto* e = Find<TEdit>(f, "edFileName");
    e->SetText("map01");
    Click(Find<TButton>(f, "btnOk"), mbLeft, false);
    return true;
  };
  EXPECT_TRUE(dlg.Execute());
  EXPECT_EQ(dlg.FileName, "map01.dat");
  session.Backend.Driver = [&] {
    if (!TopModal()) return false;
    PressKey(VK_ESCAPE, 0, false);
    return true;
  };
  EXPECT_FALSE(dlg.Execute());
  setenv("VDMQ_SAVE_PATH", "/tmp/x.dat", 1);
  EXPECT_TRUE(dlg.Execute());
  EXPECT_EQ(dlg.FileName, "/tmp/x.dat");
  unsetenv("VDMQ_SAVE_PATH");
}

}  // namespace
