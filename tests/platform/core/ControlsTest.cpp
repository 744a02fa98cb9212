// Controls: speed-button group rules, push buttons, images with capture, clicks, labels, creation order.
#include <gtest/gtest.h>

#include "platform/core/StdCtrls.h"
#include "platform/headless/TestKit.h"

using namespace vdmq;

namespace {

struct ControlsTest : ::testing::Test {
  THeadlessSession session;
  TForm* form = nullptr;
  void SetUp() override {
    App().CreateForm(form);
    form->SetBorderStyle(bsSingle);
    form->SetClientSize(400, 300);
    form->SetBounds(50, 50, form->Width(), form->Height());
    form->Show();
    App().ProcessMessages();
  }
  TSpeedButton* Speed(int group, int x, std::vector<int>* clicks, int tag) {
    auto* b = new TSpeedButton(form);
    b->SetParent(form);
    b->SetBounds(x, 10, 40, 20);
    b->SetGroupIndex(group);
    b->Tag = tag;
    b->OnClick = [clicks, tag](TComponent*) { clicks->push_back(tag); };
    return b;
  }
};

TEST_F(ControlsTest, SpeedButtonGroupRules) {
  std::vector<int> clicks;
  TSpeedButton* a = Speed(1, 10, &clicks, 1);
  TSpeedButton* b = Speed(1, 60, &clicks, 2);
  TSpeedButton* other = Speed(2, 110, &clicks, 3);
  other->SetDown(true);
  a->SetDown(true);
  EXPECT_TRUE(a->Down());
  EXPECT_EQ(a->State(), bsExclusive);
  // Setting another member down by code raises the first; other groups are untouched.
  b->SetDown(true);
  EXPECT_FALSE(a->Down());
  EXPECT_EQ(a->State(), bsUp);
  EXPECT_TRUE(other->Down());
  // A down button cannot be raised by code or by a click, but its click still fires.
  b->SetDown(false);
  EXPECT_TRUE(b->Down());
  Click(b);
  EXPECT_TRUE(b->Down());
  EXPECT_EQ(clicks, std::vector<int>{2});
  // Clicking the other member moves the down state.
  Click(a);
  EXPECT_TRUE(a->Down());
  EXPECT_FALSE(b->Down());
  EXPECT_EQ(clicks, (std::vector<int>{2, 1}));
  // Disabled shows the disabled state even when down, and takes no clicks.
  a->SetEnabled(false);
  EXPECT_EQ(a->State(), bsDisabled);
  EXPECT_TRUE(a->Down());
  Click(a);
  EXPECT_EQ(clicks.size(), 2u);
  a->SetEnabled(true);
  EXPECT_EQ(a->State(), bsExclusive);
  // A button without a group never stays down.
  TSpeedButton* plain = Speed(0, 160, &clicks, 4);
  plain->SetDown(true);
  EXPECT_FALSE(plain->Down());
  Click(plain);
  EXPECT_EQ(plain->State(), bsUp);
  EXPECT_EQ(clicks.back(), 4);
}

TEST_F(ControlsTest, SpeedButtonReleasedOutsideDoesNotClick) {
  std::vector<int> clicks;
  TSpeedButton* a = Speed(1, 10, &clicks, 1);
  const TPoint in = a->ClientToScreen({5, 5});
  InjectMouse(TInputEvent::MouseDown, in);
  App().ProcessMessages();
  EXPECT_EQ(a->State(), bsDown);
  InjectMouse(TInputEvent::MouseMove, {in.X + 200, in.Y});
  App().ProcessMessages();
  EXPECT_EQ(a->State(), bsUp);
  InjectMouse(TInputEvent::MouseUp, {in.X + 200, in.Y});
  App().ProcessMessages();
  EXPECT_TRUE(clicks.empty());
  EXPECT_FALSE(a->Down());
}

TEST_F(ControlsTest, PushButtonIsPressedWhileHeldInsideAndClicksOnReleaseInside) {
  auto* b = new TButton(form);
  b->SetParent(form);
  b->SetBounds(100, 100, 80, 24);
  int clicks = 0;
  b->OnClick = [&](TComponent*) { ++clicks; };
  const TPoint in = b->ClientToScreen({10, 10});
  InjectMouse(TInputEvent::MouseDown, in);
  App().ProcessMessages();
  EXPECT_TRUE(b->Pressed());
  InjectMouse(TInputEvent::MouseMove, {in.X, in.Y + 100});
  App().ProcessMessages();
  EXPECT_FALSE(b->Pressed());
  InjectMouse(TInputEvent::MouseUp, {in.X, in.Y + 100});
  App().ProcessMessages();
  EXPECT_EQ(clicks, 0);
  Click(b);
  EXPECT_EQ(clicks, 1);
  // A right click is no click; a disabled button takes none.
  Click(b, mbRight);
  EXPECT_EQ(clicks, 1);
  b->SetEnabled(false);
  Click(b);
  EXPECT_EQ(clicks, 1);
}

TEST_F(ControlsTest, ImageKeepsTheMouseWhilePressedAndClicksLeftOnlyOnce) {
  auto* img = new TImage(form);
  img->SetParent(form);
  img->SetBounds(20, 40, 100, 80);
  std::vector<std::string> ev;
  img->OnMouseDown = [&](TComponent*, TMouseButton b, TShiftState s, int x, int y) {
    ev.push_back("down" + std::to_string(b) + ((s & ssDouble) ? "d" : "") + " " + std::to_string(x) + "," +
                 std::to_string(y));
  };
  img->OnMouseMove = [&](TComponent*, TShiftState, int x, int y) {
    ev.push_back("move " + std::to_string(x) + "," + std::to_string(y));
  };
  img->OnMouseUp = [&](TComponent*, TMouseButton b, TShiftState, int x, int y) {
    ev.push_back("up" + std::to_string(b) + " " + std::to_string(x) + "," + std::to_string(y));
  };
  img->OnClick = [&](TComponent*) { ev.push_back("click"); };
  const TPoint o = img->ClientToScreen({0, 0});
  InjectMouse(TInputEvent::MouseDown, {o.X + 5, o.Y + 5}, 2);
  InjectMouse(TInputEvent::MouseMove, {o.X - 30, o.Y + 200});  // outside: still ours
  InjectMouse(TInputEvent::MouseUp, {o.X - 30, o.Y + 200}, 2);
  App().ProcessMessages();
  EXPECT_EQ(ev, (std::vector<std::string>{"down2 5,5", "move -30,200", "up2 -30,200"}));
  ev.clear();
  InjectMouse(TInputEvent::MouseDown, {o.X + 5, o.Y + 5}, 1);
  InjectMouse(TInputEvent::MouseUp, {o.X + 5, o.Y + 5}, 1);
  App().ProcessMessages();
  EXPECT_EQ(std::count(ev.begin(), ev.end(), "click"), 0);
  session.Backend.Advance(1000);
  ev.clear();
  // A double click: one click, the second press flagged double.
  InjectMouse(TInputEvent::MouseDown, {o.X + 7, o.Y + 7});
  InjectMouse(TInputEvent::MouseUp, {o.X + 7, o.Y + 7});
  InjectMouse(TInputEvent::MouseDown, {o.X + 7, o.Y + 7});
  InjectMouse(TInputEvent::MouseUp, {o.X + 7, o.Y + 7});
  App().ProcessMessages();
  EXPECT_EQ(ev, (std::vector<std::string>{"down0 7,7", "click", "up0 7,7", "down0d 7,7", "up0 7,7"}));
}

TEST_F(ControlsTest, ImageShowsABoundBlockOneToOneAndItsCanvasDrawsIntoIt) {
  auto* img = new TImage(form);
  img->SetParent(form);
  img->SetBounds(0, 0, 6, 3);
  const int pitch = Bgr24PitchPixels(6) * 3;
  EXPECT_EQ(pitch, 24);
  std::vector<std::uint8_t> bits(static_cast<size_t>(pitch) * 3, 0);
  bits[(1 * 8 + 2) * 3 + 0] = 10;   // blue
  bits[(1 * 8 + 2) * 3 + 1] = 20;   // green
  bits[(1 * 8 + 2) * 3 + 2] = 200;  // red
  img->BindPixels(bits.data(), 6, 3, pitch);
  App().ProcessMessages();
  const TPoint p = img->ClientToScreen({2, 1});
  EXPECT_EQ(session.Backend.LastScreen().Pixel(p.X, p.Y), 0xC8140Au);
  TCanvas& c = img->ImageCanvas();
  c.SetPixel(5, 2, RGB(1, 2, 3));
  EXPECT_EQ(bits[(2 * 8 + 5) * 3 + 0], 3);
  EXPECT_EQ(bits[(2 * 8 + 5) * 3 + 2], 1);
  EXPECT_EQ(bits[(2 * 8 + 6) * 3 + 0], 0);  // the pitch columns stay untouched
  App().ProcessMessages();
  const TPoint q = img->ClientToScreen({5, 2});
  EXPECT_EQ(session.Backend.LastScreen().Pixel(q.X, q.Y), 0x010203u);
}

TEST_F(ControlsTest, LabelClicksOverItsFixedBoundsAndDisabledPanelsBlockChildren) {
  auto* l = new TLabel(form);
  l->SetParent(form);
  l->SetAutoSize(false);
  l->SetBounds(10, 200, 300, 12);
  l->SetCaption("ab");
  int clicks = 0;
  l->OnClick = [&](TComponent*) { ++clicks; };
  ClickAt(l, 290, 6);  // far right of the short text: still the label
  EXPECT_EQ(clicks, 1);
  auto* auto_ = new TLabel(form);
  auto_->SetParent(form);
  auto_->SetCaption("abcd");
  EXPECT_EQ(auto_->Width(), 4 * 6);
  EXPECT_EQ(auto_->Height(), 12);
  auto* panel = new TPanel(form);
  panel->SetParent(form);
  panel->SetBounds(200, 20, 100, 100);
  auto* inner = new TButton(form);
  inner->SetParent(panel);
  inner->SetBounds(10, 10, 50, 20);
  int innerClicks = 0;
  inner->OnClick = [&](TComponent*) { ++innerClicks; };
  panel->SetEnabled(false);
  Click(inner);
  EXPECT_EQ(innerClicks, 0);
  panel->SetEnabled(true);
  Click(inner);
  EXPECT_EQ(innerClicks, 1);
}

TEST_F(ControlsTest, ComponentsKeepCreationOrderWithNamesAndTags) {
  auto* l1 = new TLabel(form);
  l1->Name = "lbLine1";
  l1->Tag = 1;
  auto* b = new TSpeedButton(form);
  b->Tag = 7;
  auto* l2 = new TLabel(form);
  l2->Name = "lbLine2";
  l2->Tag = 2;
  ASSERT_EQ(form->ComponentCount(), 3);
  EXPECT_STREQ(form->Components(0)->ClassName(), "TLabel");
  EXPECT_STREQ(form->Components(1)->ClassName(), "TSpeedButton");
  EXPECT_EQ(form->Components(2)->Tag, 2);
  EXPECT_EQ(form->FindComponent("LBLINE2"), l2);
  delete b;
  EXPECT_EQ(form->ComponentCount(), 2);
  EXPECT_EQ(form->Components(1), l2);
}

TEST_F(ControlsTest, AlignmentLaysOutBottomAndClientChildren) {
  form->SetBorderStyle(bsSizeable);
  form->SetClientSize(792, 573);
  auto* bar = new TPanel(form);
  bar->SetParent(form);
  bar->SetHeight(120);
  bar->SetAlign(alBottom);
  auto* view = new TPanel(form);
  view->SetParent(form);
  view->SetAlign(alClient);
  EXPECT_EQ(bar->BoundsRect(), Bounds(0, 453, 792, 120));
  EXPECT_EQ(view->BoundsRect(), Bounds(0, 0, 792, 453));
  form->SetClientSize(1000, 700);
  EXPECT_EQ(bar->BoundsRect(), Bounds(0, 580, 1000, 120));
  EXPECT_EQ(view->Height(), 580);
}

TEST_F(ControlsTest, CheckBoxTogglesAndReportsCodeChanges) {
  auto* c = new TCheckBox(form);
  c->SetParent(form);
  c->SetBounds(10, 250, 100, 17);
  int clicks = 0;
  c->OnClick = [&](TComponent*) { ++clicks; };
  Click(c);
  EXPECT_TRUE(c->Checked());
  c->SetChecked(false);
  EXPECT_EQ(clicks, 2);
  c->SetChecked(false);
  EXPECT_EQ(clicks, 2);
}

}  // namespace

#include "qolib/graphics/QoTDib.h"

namespace {

TEST_F(ControlsTest, ImageShowsABoundDrawingSurfaceAndTellsItWhenRemoved) {
  auto* img = new TImage(form);
  img->SetParent(form);
  img->SetBounds(10, 10, 8, 4);
  auto dib = std::make_unique<TQoTrueDib>(nullptr, 8, 4);
  dib->SetImage(img);
  dib->Loaded();  // the layout is complete: the pixel memory is made and handed over
  EXPECT_TRUE(img->HasBoundPixels());
  EXPECT_EQ(img->BoundPixels().PitchBytes, Bgr24PitchPixels(8) * 3);
  TQoRGB red;
  red.r = 255;
  dib->PSet(3, 2, red);
  dib->Change();
  App().ProcessMessages();
  const TPoint p = img->ClientToScreen({3, 2});
  EXPECT_EQ(session.Backend.LastScreen().Pixel(p.X, p.Y), 0xFF0000u);
  // The control goes first: the surface is told and starts over with its own memory.
  img->OnImageRemoved = [&](IQoImage* i) { dib->ImageNotification(i, TQoOperation::opRemove); };
  delete img;
  EXPECT_EQ(dib->Image(), nullptr);
  EXPECT_TRUE(dib->HasPixels());
  // A surface freed first detaches its pixels from the control.
  auto* img2 = new TImage(form);
  img2->SetParent(form);
  dib->SetImage(img2);
  EXPECT_TRUE(img2->HasBoundPixels());
  dib.reset();
  EXPECT_FALSE(img2->HasBoundPixels());
  App().ProcessMessages();
}

}  // namespace
