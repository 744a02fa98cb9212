// Controls of the developer tools: edit, up-down, list box, combo box, radio group, pages, save dialog.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <functional>
#include <vector>

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

TEST_F(DevCtrlsTest, ListOfAHundredLinesScrollsByItsBarTheWheelAndTheChoice) {
  auto* lb = Add<TListBox>(10, 10, 150, 134);  // 130 pixels inside: 10 rows of 13
  for (int i = 0; i < 100; ++i) lb->Items.push_back(std::to_string(i));
  lb->ItemsChanged();
  int clicks = 0;
  lb->OnClick = [&](TComponent*) { ++clicks; };
  ASSERT_EQ(lb->VisibleRows(), 10);
  ASSERT_TRUE(lb->ScrollBarShown());
  auto centre = [](const TRect& r) { return TPoint{(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2}; };
  auto press = [&](const TRect& r) { ClickAt(lb, centre(r).X, centre(r).Y); };
  struct Step {
    const char* what;
    std::function<void()> act;
    int top;
  } steps[] = {
      {"a notch towards the user", [&] { WheelAt(lb, 40, 40, -1); }, 3},
      {"two notches away, clamped at the first line", [&] { WheelAt(lb, 40, 40, 2); }, 0},
      {"the down arrow", [&] { press(lb->DownArrowRect()); }, 1},
      {"the up arrow", [&] { press(lb->UpArrowRect()); }, 0},
      {"the up arrow at the top", [&] { press(lb->UpArrowRect()); }, 0},
      {"the track below the thumb", [&] { ClickAt(lb, centre(lb->ThumbRect()).X, lb->DownArrowRect().Top - 2); }, 10},
      {"the track above the thumb", [&] { ClickAt(lb, centre(lb->ThumbRect()).X, lb->UpArrowRect().Bottom + 1); }, 0},
      {"the thumb dragged to the bottom",
       [&] {
         const TPoint from = lb->ClientToScreen(centre(lb->ThumbRect()));
         InjectMouse(TInputEvent::MouseDown, from);
         InjectMouse(TInputEvent::MouseMove, {from.X, from.Y + 300});
         InjectMouse(TInputEvent::MouseUp, {from.X, from.Y + 300});
         App().ProcessMessages();
       },
       90},
      {"the thumb dragged half way back",
       [&] {
         const TRect track{0, lb->UpArrowRect().Bottom, 0, lb->DownArrowRect().Top};
         const int travel = track.Height() - lb->ThumbRect().Height();
         const TPoint from = lb->ClientToScreen(centre(lb->ThumbRect()));
         InjectMouse(TInputEvent::MouseDown, from);
         InjectMouse(TInputEvent::MouseMove, {from.X, from.Y - travel / 2});
         InjectMouse(TInputEvent::MouseUp, {from.X, from.Y - travel / 2});
         App().ProcessMessages();
       },
       45},
      {"a top past the end", [&] { lb->SetTopIndex(500); }, 90},
      {"a top before the start", [&] { lb->SetTopIndex(-5); }, 0},
      {"three notches towards the user", [&] { WheelAt(lb, 40, 40, -3); }, 9},
      {"a choice below the rows shown", [&] { lb->SetItemIndex(50); }, 41},
      {"a choice above them", [&] { lb->SetItemIndex(5); }, 5},
      {"the down key past the last row",
       [&] {
         lb->SetItemIndex(14);
         PressKey(VK_DOWN);
       },
       6},
      {"a click on a row shown", [&] { ClickAt(lb, 20, 2 + 13 * 9 + 5); }, 6},
  };
  for (const Step& s : steps) {
    s.act();
    EXPECT_NEAR(lb->TopIndex(), s.top, s.top == 45 ? 1 : 0) << s.what;
  }
  EXPECT_EQ(lb->ItemIndex(), 15);
  EXPECT_EQ(clicks, 2) << "the key and the row; the bar chooses nothing";
  // Fewer lines: the first line shown comes back within them, and the bar goes when all fit.
  lb->SetTopIndex(90);
  lb->Items.resize(20);
  lb->ItemsChanged();
  EXPECT_EQ(lb->TopIndex(), 10);
  lb->Items.resize(8);
  lb->ItemsChanged();
  EXPECT_EQ(lb->TopIndex(), 0);
  EXPECT_FALSE(lb->ScrollBarShown());
  WheelAt(lb, 40, 40, -1);
  EXPECT_EQ(lb->TopIndex(), 0);
}

// A panel that records the wheel messages it is handed.
class TWheelPanel : public TPanel {
 public:
  using TPanel::TPanel;
  void Dispatch(TMessage& m) override {
    if (m.Msg == WM_MOUSEWHEEL) deltas.push_back(static_cast<std::int16_t>(m.WParam >> 16));
    TPanel::Dispatch(m);
  }
  std::vector<int> deltas;
};

TEST_F(DevCtrlsTest, WheelOverAControlThatDoesNotTakeItReachesItsParent) {
  auto* outer = Add<TWheelPanel>(10, 10, 300, 200);
  auto* panel = new TWheelPanel(form);
  panel->SetParent(outer);
  panel->SetBounds(10, 10, 280, 180);
  auto* button = new TButton(form);
  button->SetParent(panel);
  button->SetBounds(10, 10, 80, 24);
  auto* label = new TLabel(form);
  label->SetParent(panel);
  label->SetBounds(10, 50, 80, 14);
  label->SetCaption("label");
  auto* lb = new TListBox(form);
  lb->SetParent(panel);
  lb->SetBounds(100, 10, 150, 80);
  for (int i = 0; i < 30; ++i) lb->Items.push_back(std::to_string(i));
  lb->ItemsChanged();
  WheelAt(button, 5, 5, -2);
  WheelAt(label, 5, 5, 1);
  WheelAt(lb, 20, 20, -1);
  EXPECT_EQ(panel->deltas, (std::vector<int>{-240, 120})) << "the list box takes its own";
  EXPECT_EQ(outer->deltas, panel->deltas) << "and the panel hands on what it does not take";
  EXPECT_EQ(lb->TopIndex(), 3);
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
