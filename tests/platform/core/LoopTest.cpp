// Message loop semantics: order, timers, pauses, process-messages, nested modal loops, Terminate.
#include <gtest/gtest.h>

#include <signal.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/base/GameError.h"
#include "platform/core/MessageDialog.h"
#include "platform/core/StdCtrls.h"
#include "platform/core/Timer.h"
#include "platform/headless/TestKit.h"
#include "platform/sys/EndSignals.h"

using namespace vdmq;

namespace {

// A form that records what reaches it.
class TRecForm : public TForm {
 public:
  explicit TRecForm(TComponent* owner) : TForm(owner) {
    SetClientSize(200, 100);
    Position = poScreenCenter;
  }
  const char* ClassName() const override { return "TRecForm"; }
  std::vector<std::string>* log = nullptr;
  void Dispatch(TMessage& m) override {
    if (log && m.Msg == WM_USER) log->push_back("user" + std::to_string(m.WParam));
    TForm::Dispatch(m);
  }

 protected:
  void Paint(TCanvas& c) override {
    if (log) log->push_back("paint");
    TForm::Paint(c);
  }
};

struct LoopTest : ::testing::Test {
  THeadlessSession session;
  std::vector<std::string> log;
  TRecForm* NewForm() {
    TRecForm* f = nullptr;
    App().CreateForm(f);
    f->log = &log;
    return f;
  }
};

TEST_F(LoopTest, PostedMessagesComeBeforePaintsAndPaintsBeforeTimers) {
  TRecForm* f = NewForm();
  f->Show();
  App().ProcessMessages();
  log.clear();
  auto* t = new TTimer(f);
  t->SetInterval(10);
  t->SetOnTimer([&](TComponent*) { log.push_back("timer"); });
  session.Backend.Advance(50);  // the timer is due
  f->Invalidate();
  App().Post(f, {WM_USER, 1, 0, 0});
  App().Post(f, {WM_USER, 2, 0, 0});
  App().ProcessMessages();
  ASSERT_EQ(log.size(), 4u);
  EXPECT_EQ(log[0], "user1");
  EXPECT_EQ(log[1], "user2");
  EXPECT_EQ(log[2], "paint");
  EXPECT_EQ(log[3], "timer");
}

TEST_F(LoopTest, TimerHasAtMostOnePendingTickAndReArmsWhenTaken) {
  TRecForm* f = NewForm();
  int ticks = 0;
  auto* t = new TTimer(f);
  t->SetInterval(40);
  t->SetOnTimer([&](TComponent*) { ++ticks; });
  session.Backend.Advance(1000);  // 25 intervals late: still one tick
  App().ProcessMessages();
  EXPECT_EQ(ticks, 1);
  App().ProcessMessages();
  EXPECT_EQ(ticks, 1);  // re-armed at the time it was taken
  session.Backend.Advance(40);
  App().ProcessMessages();
  EXPECT_EQ(ticks, 2);
  // A hidden form's timer runs; an interval change applies at once.
  t->SetInterval(70);
  session.Backend.Advance(40);
  App().ProcessMessages();
  EXPECT_EQ(ticks, 2);
  session.Backend.Advance(30);
  App().ProcessMessages();
  EXPECT_EQ(ticks, 3);
  t->SetEnabled(false);
  session.Backend.Advance(1000);
  App().ProcessMessages();
  EXPECT_EQ(ticks, 3);
}

TEST_F(LoopTest, TimerFiresAgainInsideModalLoopOpenedFromItsOwnTick) {
  TRecForm* main = NewForm();
  main->Show();
  TRecForm* box = NewForm();
  int ticks = 0, nestedTicks = 0;
  bool inTick = false;
  auto* t = new TTimer(main);
  t->SetInterval(40);
  t->SetOnTimer([&](TComponent*) {
    ++ticks;
    if (inTick) {  // the game's own re-entrancy guard
      ++nestedTicks;
      if (nestedTicks == 3) box->ModalResult = mrOk;
      return;
    }
    inTick = true;
    EXPECT_EQ(box->ShowModal(), mrOk);
    inTick = false;
  });
  session.Backend.Advance(40);
  App().ProcessMessages();
  EXPECT_EQ(nestedTicks, 3);
  EXPECT_EQ(ticks, 4);
  EXPECT_FALSE(box->Visible());
}

TEST_F(LoopTest, ProcessMessagesReturnsWithPaintsDoneAndNeverWaits) {
  TRecForm* f = NewForm();
  f->Show();
  auto* label = new TLabel(f);
  label->SetParent(f);
  label->SetCaption("A");
  App().ProcessMessages();
  const std::uint64_t before = session.Backend.NowMs();
  const int presents = session.Backend.PresentCount();
  label->SetColor(clRed);
  label->Transparent = false;
  label->ParentColor = false;
  label->Invalidate();
  App().ProcessMessages();
  EXPECT_FALSE(f->NeedsPaint());
  EXPECT_GT(session.Backend.PresentCount(), presents);
  EXPECT_EQ(session.Backend.NowMs(), before);  // no waiting
  const TPoint p = label->ClientToScreen({label->Width() - 1, label->Height() - 1});
  EXPECT_EQ(session.Backend.LastScreen().Pixel(p.X, p.Y), 0xFF0000u);
}

TEST_F(LoopTest, SleepPaintsOnceAndDispatchesNothing) {
  TRecForm* f = NewForm();
  f->Show();
  App().ProcessMessages();
  log.clear();
  int ticks = 0;
  auto* t = new TTimer(f);
  t->SetInterval(10);
  t->SetOnTimer([&](TComponent*) { ++ticks; });
  App().Post(f, {WM_USER, 7, 0, 0});
  f->Invalidate();
  session.Backend.Log.clear();
  Sleep(500);
  EXPECT_EQ(session.Backend.NowMs(), 500u);
  ASSERT_EQ(session.Backend.Log.size(), 1u);
  EXPECT_EQ(session.Backend.Log[0], "sleep 500");
  EXPECT_EQ(ticks, 0);
  ASSERT_EQ(log.size(), 1u);
  EXPECT_EQ(log[0], "paint");  // painted before the pause, nothing dispatched
  App().ProcessMessages();
  EXPECT_EQ(ticks, 1);
  EXPECT_EQ(log.back(), "user7");
}

TEST_F(LoopTest, TerminateUnwindsThreeNestedModalLoopsEachReturningCancel) {
  TRecForm* main = NewForm();
  main->Show();
  TRecForm* a = NewForm();
  TRecForm* b = NewForm();
  TRecForm* c = NewForm();
  std::vector<int> results;
  int processReturned = 0;
  c->OnShow = [&](TComponent*) {
    App().PostCall([&] {
      App().Terminate();
      App().ProcessMessages();  // returns once the quit is taken
      ++processReturned;
    });
  };
  b->OnShow = [&](TComponent*) { App().PostCall([&] { results.push_back(c->ShowModal()); }); };
  a->OnShow = [&](TComponent*) { App().PostCall([&] { results.push_back(b->ShowModal()); }); };
  results.push_back(a->ShowModal());
  EXPECT_EQ(results, (std::vector<int>{mrCancel, mrCancel, mrCancel}));
  EXPECT_EQ(processReturned, 1);
  EXPECT_TRUE(App().Terminated());
}

TEST_F(LoopTest, ATerminationSignalUnwindsModalLoopsBoxesAndPausesAtOnce) {
  const TEndSignals signals([] { App().Wake(); });
  TRecForm* main = NewForm();
  main->Show();
  TRecForm* a = NewForm();
  TRecForm* b = NewForm();
  std::vector<std::string> trail;
  a->OnShow = [&](TComponent*) {
    App().PostCall([&] {
      trail.push_back("b " + std::to_string(b->ShowModal()));
      // What runs after the request: a pause waits no time, a box and a modal form answer cancel
      // at once, and letting messages run returns at once.
      const std::uint64_t before = session.Backend.NowMs();
      Sleep(500);
      trail.push_back("slept " + std::to_string(session.Backend.NowMs() - before));
      trail.push_back("box " + std::to_string(App().MessageBox("later", "", MB_OKCANCEL)));
      trail.push_back("b " + std::to_string(b->ShowModal()));
      App().ProcessMessages();
    });
  };
  b->OnShow = [&](TComponent*) {
    App().PostCall([&] { trail.push_back("box " + std::to_string(App().MessageBox("deep", "", MB_OKCANCEL))); });
  };
  int asked = 0;
  session.Backend.Driver = [&] {
    TForm* top = TopModal();
    if (top == nullptr || std::string(top->ClassName()) != "TMessageForm" || asked++ > 0) return false;
    // A message and the player's OK are queued when the signal comes: neither is taken.
    App().Post(main, {WM_USER, 9, 0, 0});
    PressKey(VK_RETURN, 0, false);
    raise(SIGTERM);
    return true;
  };
  session.Backend.Log.clear();
  trail.push_back("a " + std::to_string(a->ShowModal()));
  EXPECT_EQ(trail, (std::vector<std::string>{"box 2", "b 2", "slept 0", "box 2", "b 2", "a 2"}));
  EXPECT_EQ(asked, 1);
  EXPECT_TRUE(App().Terminated());
  EXPECT_EQ(std::count(log.begin(), log.end(), "user9"), 0);
  EXPECT_EQ(std::count(session.Backend.Log.begin(), session.Backend.Log.end(), "sleep 500"), 0);
  EXPECT_FALSE(a->Visible());
  EXPECT_FALSE(b->Visible());
  EXPECT_TRUE(main->Enabled());
}

TEST_F(LoopTest, ModalLoopsNestFourDeepWithABoxOnTopAnsweredByTheDriver) {
  TRecForm* main = NewForm();
  main->Show();
  std::vector<TRecForm*> screens;
  for (int i = 0; i < 4; ++i) screens.push_back(NewForm());
  std::vector<std::string> trail;
  for (int i = 0; i < 4; ++i) {
    screens[i]->OnShow = [&, i](TComponent*) {
      App().PostCall([&, i] {
        if (i < 3) {
          trail.push_back("screen" + std::to_string(i + 1) + " " + std::to_string(screens[i + 1]->ShowModal()));
        } else {
          const int depth = App().LoopDepth();  // four screens above the main window
          const int answer = App().MessageBox("deep", "", MB_OKCANCEL);
          trail.push_back("box " + std::to_string(answer) + " depth " + std::to_string(depth));
        }
        screens[i]->ModalResult = mrOk;
      });
    };
  }
  session.Backend.Driver = [&] {
    TForm* top = TopModal();
    if (!top || std::string(top->ClassName()) != "TMessageForm") return false;
    EXPECT_FALSE(main->Enabled());
    for (TRecForm* f : screens) EXPECT_FALSE(f->Enabled());
    PressKey(VK_ESCAPE, 0, false);
    return true;
  };
  trail.push_back("screen0 " + std::to_string(screens[0]->ShowModal()));
  EXPECT_EQ(trail, (std::vector<std::string>{"box 2 depth 4", "screen3 1", "screen2 1", "screen1 1", "screen0 1"}));
  EXPECT_TRUE(main->Enabled());
  EXPECT_TRUE(main->Active());
}

TEST_F(LoopTest, ExceptionInHandlerIsShownAndTheLoopGoesOn) {
  TRecForm* f = NewForm();
  f->Show();
  App().ProcessMessages();
  log.clear();
  std::vector<std::string> shown;
  App().OnException = [&](const std::string& s) { shown.push_back(s); };
  App().PostCall([] { ThrowGameError("CD CHANGE CANSEL"); });
  App().Post(f, {WM_USER, 3, 0, 0});
  App().ProcessMessages();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0], "CD CHANGE CANSEL");
  ASSERT_FALSE(log.empty());
  EXPECT_EQ(log.back(), "user3");
}

// The creation, show and hide handlers are events too: what they throw is shown, the form is still
// created, and a modal loop whose show handler throws still runs to its result.
class TThrowingForm : public TRecForm {
 public:
  explicit TThrowingForm(TComponent* owner) : TRecForm(owner) {
    OnCreate = [](TComponent*) { ThrowGameError("create"); };
    OnShow = [](TComponent*) { ThrowGameError("show"); };
    OnHide = [](TComponent*) { ThrowGameError("hide"); };
  }
};

TEST_F(LoopTest, ExceptionsInCreateShowAndHideHandlersAreShownAndTheFormGoesOn) {
  std::vector<std::string> shown;
  App().OnException = [&](const std::string& s) { shown.push_back(s); };
  TThrowingForm* f = nullptr;
  App().CreateForm(f);  // does not throw
  ASSERT_NE(f, nullptr);
  EXPECT_EQ(App().MainForm(), f);
  auto* dm = new TDataModule(&App());
  dm->OnCreate = [](TComponent*) { ThrowGameError("module"); };
  dm->AfterConstruction();
  EXPECT_EQ(shown, (std::vector<std::string>{"create", "module"}));
  shown.clear();
  App().PostCall([&] { f->ModalResult = mrOk; });
  EXPECT_EQ(f->ShowModal(), mrOk);
  EXPECT_FALSE(f->Visible());
  EXPECT_EQ(shown, (std::vector<std::string>{"show", "hide"}));
}

// The size handler throwing on the first show or on a later size change: shown, and the window is
// still shown and sized.
TEST_F(LoopTest, ExceptionInTheSizeHandlerIsShownAndTheWindowStillShowsAndSizes) {
  std::vector<std::string> shown;
  App().OnException = [&](const std::string& s) { shown.push_back(s); };
  TRecForm* f = NewForm();
  int shows = 0;
  f->OnShow = [&](TComponent*) { ++shows; };
  f->OnResize = [](TComponent*) { ThrowGameError("resize"); };
  f->Show();
  EXPECT_TRUE(f->Visible());
  EXPECT_EQ(shows, 1);
  f->SetBounds(10, 20, 300, 200);
  EXPECT_EQ(f->BoundsRect(), Bounds(10, 20, 300, 200));
  EXPECT_EQ(shown, (std::vector<std::string>{"resize", "resize"}));
}

TEST_F(LoopTest, DefaultExceptionDisplayIsAModalStopBoxWithTheTitle) {
  TRecForm* f = NewForm();
  f->Show();
  App().Title = "Game";
  std::string seenCaption;
  bool stop = false;
  session.Backend.Driver = [&] {
    TForm* m = TopModal();
    if (!m || std::string(m->ClassName()) != "TMessageForm") return false;
    seenCaption = m->Caption();
    stop = static_cast<TMessageForm*>(m)->HasStopIcon();
    Click(static_cast<TMessageForm*>(m)->Button(0), mbLeft, false);
    return true;
  };
  App().PostCall([] { throw std::runtime_error("ReadBuffer Error"); });
  App().ProcessMessages();
  EXPECT_EQ(seenCaption, "Game");
  EXPECT_TRUE(stop);
  EXPECT_EQ(TopModal(), nullptr);
}

TEST_F(LoopTest, WaitingWithNothingToWaitForIsAStallWithADump) {
  TRecForm* f = NewForm();
  f->Name = "fmStuck";
  try {
    f->ShowModal();
    FAIL() << "expected a stall";
  } catch (const EStall& e) {
    EXPECT_NE(e.Dump().find("fmStuck"), std::string::npos);
  }
  EXPECT_FALSE(f->Visible());
  EXPECT_FALSE(f->IsModal());
}

TEST_F(LoopTest, IdleTimerWithoutProgressHitsTheVirtualTimeBudget) {
  TRecForm* f = NewForm();
  auto* t = new TTimer(f);
  t->SetInterval(100);
  t->SetOnTimer([](TComponent*) {});
  session.Backend.StallBudgetMs = 5000;
  EXPECT_THROW(f->ShowModal(), EStall);
  EXPECT_LE(session.Backend.NowMs(), 5200u);
}

}  // namespace
