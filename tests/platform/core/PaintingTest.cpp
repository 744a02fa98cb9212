// Painting and message details: erase handling, synchronous Update, hover notifications, release,
// cross-thread posting.
#include <gtest/gtest.h>

#include <thread>

#include "platform/core/StdCtrls.h"
#include "platform/headless/TestKit.h"

using namespace vdmq;

namespace {

// A panel that keeps its old pixels: it answers the erase itself and paints nothing.
class TNoErasePanel : public TPanel {
 public:
  explicit TNoErasePanel(TComponent* owner) : TPanel(owner) {}
  std::vector<std::string> log;
  void Dispatch(TMessage& m) override {
    switch (m.Msg) {
      case WM_ERASEBKGND:
        log.push_back("erase");
        m.Result = 1;
        return;
      case WM_PAINT: log.push_back("paint"); return;
      case CM_MOUSEENTER: log.push_back("enter"); return;
      case CM_MOUSELEAVE: log.push_back("leave"); return;
      default: TPanel::Dispatch(m);
    }
  }
};

struct PaintingTest : ::testing::Test {
  THeadlessSession session;
  TForm* form = nullptr;
  void SetUp() override {
    App().CreateForm(form);
    form->SetBorderStyle(bsNone);
    form->SetBounds(0, 0, 300, 200);
    form->Show();
    App().ProcessMessages();
  }
};

TEST_F(PaintingTest, SwallowedEraseKeepsPixelsAndUpdatePaintsWithoutDispatching) {
  auto* p = new TNoErasePanel(form);
  p->SetParent(form);
  p->SetBounds(10, 10, 50, 50);
  App().ProcessMessages();
  EXPECT_EQ(p->log, (std::vector<std::string>{"erase", "paint"}));
  // Draw into the panel outside painting: it shows at once and survives the next repaint.
  p->Canvas().FillRectColor({0, 0, 50, 50}, clRed);
  App().ProcessMessages();
  EXPECT_EQ(session.Backend.LastScreen().Pixel(20, 20), 0xFF0000u);
  int posted = 0;
  App().PostCall([&] { ++posted; });
  p->log.clear();
  p->Repaint();  // synchronous: paints and presents, handles no message
  EXPECT_EQ(p->log, (std::vector<std::string>{"erase", "paint"}));
  EXPECT_EQ(posted, 0);
  EXPECT_EQ(session.Backend.LastScreen().Pixel(20, 20), 0xFF0000u);
  App().ProcessMessages();
  EXPECT_EQ(posted, 1);
}

TEST_F(PaintingTest, HoverEnterAndLeaveFollowTheMouse) {
  auto* a = new TNoErasePanel(form);
  a->SetParent(form);
  a->SetBounds(0, 0, 100, 100);
  auto* b = new TNoErasePanel(form);
  b->SetParent(form);
  b->SetBounds(100, 0, 100, 100);
  App().ProcessMessages();
  a->log.clear();
  b->log.clear();
  InjectMouse(TInputEvent::MouseMove, {50, 50});
  InjectMouse(TInputEvent::MouseMove, {60, 50});
  InjectMouse(TInputEvent::MouseMove, {150, 50});
  InjectMouse(TInputEvent::MouseMove, {500, 500});  // off every window
  App().ProcessMessages();
  EXPECT_EQ(a->log, (std::vector<std::string>{"enter", "leave"}));
  EXPECT_EQ(b->log, (std::vector<std::string>{"enter", "leave"}));
}

TEST_F(PaintingTest, ReleaseFreesAfterTheCurrentMessageAndCloseWithFreeActionToo) {
  TForm* f = nullptr;
  App().CreateForm(f);
  bool destroyed = false;
  f->OnDestroy = [&](TComponent*) { destroyed = true; };
  f->Show();
  f->OnClose = [](TComponent*, TCloseAction& a) { a = caFree; };
  App().PostCall([&] {
    f->Close();
    EXPECT_FALSE(destroyed);  // still alive inside the handler
  });
  App().ProcessMessages();
  EXPECT_TRUE(destroyed);
  EXPECT_EQ(App().ComponentCount(), 1);  // only the fixture's form is left
}

TEST_F(PaintingTest, MessagesPostedFromAnotherThreadReachTheLoop) {
  std::vector<int> got;
  auto* p = new TNoErasePanel(form);
  p->SetParent(form);
  std::thread worker([&] {
    for (int i = 0; i < 100; ++i) App().PostCall([&got, i] { got.push_back(i); });
  });
  worker.join();
  App().ProcessMessages();
  ASSERT_EQ(got.size(), 100u);
  for (int i = 0; i < 100; ++i) EXPECT_EQ(got[i], i);
}

TEST_F(PaintingTest, HidingAControlEndsItsCaptureAndDeletingDropsItsMessages) {
  auto* img = new TImage(form);
  img->SetParent(form);
  img->SetBounds(0, 0, 50, 50);
  int ups = 0;
  img->OnMouseUp = [&](TComponent*, TMouseButton, TShiftState, int, int) { ++ups; };
  InjectMouse(TInputEvent::MouseDown, {10, 10});
  App().ProcessMessages();
  EXPECT_EQ(Desktop().Capture(), img);
  img->Hide();
  EXPECT_EQ(Desktop().Capture(), nullptr);
  InjectMouse(TInputEvent::MouseUp, {10, 10});
  App().ProcessMessages();
  EXPECT_EQ(ups, 0);
  App().Post(img, {WM_USER, 0, 0, 0});
  delete img;
  App().ProcessMessages();  // nothing is delivered to the freed control
  SUCCEED();
}

}  // namespace
