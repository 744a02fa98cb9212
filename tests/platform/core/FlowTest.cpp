// Whole flows: a self-framed window's non-client messages, keys, and the game's start-up chain
// (first activation -> load screen -> movie -> turn start with pauses and boxes) run by Run().
#include <gtest/gtest.h>

#include "platform/core/MessageDialog.h"
#include "platform/core/StdCtrls.h"
#include "platform/core/Timer.h"
#include "platform/headless/TestKit.h"

using namespace vdmq;

namespace {

// A window that paints and operates its own non-client area through the message map.
class TSelfFramed : public TForm {
 public:
  explicit TSelfFramed(TComponent* owner) : TForm(owner) {
    SetBorderStyle(bsSizeable);
    SetClientSize(400, 300);
    SetBorderIcons(0);
  }
  const char* ClassName() const override { return "TSelfFramed"; }
  std::vector<std::string> log;
  bool titleActive = false;
  void Dispatch(TMessage& m) override {
    switch (m.Msg) {
      case WM_NCPAINT: {
        TCanvas& c = WindowCanvas();
        TRegion frame(TRect{0, 0, Width(), Height()});
        frame.Subtract(WindowClientRect());
        c.SelectClipRegion(&frame);
        c.FillRectColor({0, 0, Width(), Height()}, titleActive ? clRed : clGray);
        c.SelectClipRegion(nullptr);
        m.Result = 0;
        return;
      }
      case WM_NCACTIVATE:
        titleActive = LOWORD(m.WParam) != 0;
        log.push_back(titleActive ? "ncactive" : "ncinactive");
        InvalidateFrame();
        m.Result = 1;
        return;
      case WM_NCLBUTTONDOWN:
        if (m.WParam == HTCAPTION) {
          SetMouseCapture(true);
          const TPoint p = LParamPoint(m.LParam);
          log.push_back("down " + std::to_string(p.X - Left()) + "," + std::to_string(p.Y - Top()));
          m.Result = 0;
          return;
        }
        break;
      case WM_MOUSEMOVE:
      case WM_LBUTTONUP:
        if (MouseCapture()) {
          // Client point back to window coordinates.
          const int x = LParamX(m.LParam) + WindowClientRect().Left, y = LParamY(m.LParam) + WindowClientRect().Top;
          log.push_back(std::string(m.Msg == WM_MOUSEMOVE ? "move " : "up ") + std::to_string(x) + "," +
                        std::to_string(y) + ((m.WParam & MK_LBUTTON) ? " L" : ""));
          if (m.Msg == WM_LBUTTONUP) SetMouseCapture(false);
          return;
        }
        break;
      case WM_SYSKEYUP:
        if (m.WParam == VK_SPACE) {
          log.push_back("alt+space");
          m.Result = 0;
          return;
        }
        break;
      default: break;
    }
    TForm::Dispatch(m);
  }
  static unsigned LOWORD(std::uintptr_t w) { return static_cast<unsigned>(w & 0xFFFF); }
};

TEST(FlowTest, SelfFramedWindowPaintsAndOperatesItsNonClientArea) {
  THeadlessSession session;
  TSelfFramed* f = nullptr;
  App().CreateForm(f);
  f->SetBounds(0, 0, f->Width(), f->Height());
  f->Show();
  App().ProcessMessages();
  EXPECT_EQ(session.Backend.LastScreen().Pixel(1, 1), 0xFF0000u);  // the active frame reached the screen
  EXPECT_EQ(session.Backend.LastScreen().Pixel(100, 100), ColorToPixel(clBtnFace));
  f->log.clear();
  InjectMouse(TInputEvent::MouseDown, {50, 10});
  InjectMouse(TInputEvent::MouseMove, {600, 500});
  InjectMouse(TInputEvent::MouseUp, {600, 500});
  App().ProcessMessages();
  EXPECT_EQ(f->log, (std::vector<std::string>{"down 50,10", "move 600,500 L", "up 600,500"}));
  // A modal window takes the active look; its closing gives it back.
  f->log.clear();
  TForm* box = nullptr;
  App().CreateForm(box);
  App().PostCall([&] { box->ModalResult = mrOk; });
  box->ShowModal();
  EXPECT_EQ(f->log, (std::vector<std::string>{"ncinactive", "ncactive"}));
  App().ProcessMessages();
  EXPECT_EQ(session.Backend.LastScreen().Pixel(1, 1), 0xFF0000u);
  f->log.clear();
  PressKey(VK_SPACE, kModAlt);
  EXPECT_EQ(f->log, std::vector<std::string>{"alt+space"});
}

TEST(FlowTest, ShortCutHandlerComesFirstAndKeyPreviewGoesToTheForm) {
  THeadlessSession session;
  TForm* f = nullptr;
  App().CreateForm(f);
  f->Show();
  f->KeyPreview = true;
  std::vector<std::string> log;
  f->OnShortCut = [&](unsigned key, TShiftState, bool& handled) {
    if (key == VK_SPACE) {
      log.push_back("shortcut space");
      handled = true;
    }
  };
  f->OnKeyDown = [&](TComponent*, unsigned& key, TShiftState) { log.push_back("keydown " + std::to_string(key)); };
  f->OnKeyPress = [&](TComponent*, char& ch) { log.push_back(std::string("press ") + ch); };
  PressKey(VK_SPACE);
  PressKey('A');
  EXPECT_EQ(log, (std::vector<std::string>{"shortcut space", "press  ", "keydown 65", "press A"}));
}

// The start-up chain of the game, all inside the main window's first activation.
class TMainForm;
TMainForm* gMain = nullptr;
class TMainForm : public TForm {
 public:
  explicit TMainForm(TComponent* owner) : TForm(owner) {
    SetBorderStyle(bsSizeable);
    SetClientSize(792, 573);
    // The creation handler reaches the window through its global pointer.
    OnCreate = [this](TComponent*) { globalSetInCreate = gMain == this; };
  }
  bool globalSetInCreate = false;
  const char* ClassName() const override { return "TMainForm"; }
};
class TLoadScreen : public TForm {
 public:
  explicit TLoadScreen(TComponent* owner) : TForm(owner) {
    SetBorderStyle(bsSingle);
    SetBorderIcons(0);
    SetClientSize(364, 400);
    Position = poScreenCenter;
    newGame = new TButton(this);
    newGame->Name = "btnNew";
    newGame->SetParent(this);
    newGame->SetBounds(20, 350, 100, 24);
    newGame->ModalResult = mrOk;
    // No way back: only a choice closes it.
    OnCloseQuery = [this](TComponent*, bool& can) { can = ModalResult == mrOk; };
  }
  const char* ClassName() const override { return "TLoadScreen"; }
  TButton* newGame;
};
class TMovieWindow : public TForm {
 public:
  explicit TMovieWindow(TComponent* owner) : TForm(owner) {
    SetBorderStyle(bsNone);
    SetWindowState(wsMaximized);
    auto* t = new TTimer(this);
    t->SetInterval(100);
    t->SetOnTimer([this](TComponent*) {
      if (++frames == 30) ModalResult = mrOk;
    });
    OnShow = [](TComponent*) { Desktop().SetCursorPos({800, 600}); };
  }
  const char* ClassName() const override { return "TMovieWindow"; }
  int frames = 0;
};

TEST(FlowTest, FirstActivationRunsLoadScreenMovieAndTurnStartThenTheProgramEnds) {
  THeadlessSession session;
  std::vector<std::string> log;
  TForm* resident = nullptr;
  App().Title = "Q";
  App().CreateForm(gMain);
  TMainForm* main = gMain;
  EXPECT_TRUE(main->globalSetInCreate);
  EXPECT_EQ(App().MainForm(), main);
  App().CreateForm(resident);
  resident->Name = "fmSysMes";
  bool first = true;
  main->OnActivate = [&](TComponent*) {
    log.push_back("activate");
    if (!first) return;
    first = false;
    TLoadScreen load(&App());
    log.push_back("load " + std::to_string(load.ShowModal()));
    TMovieWindow movie(&App());
    const int result = movie.ShowModal();
    log.push_back("movie " + std::to_string(result) + " frames " + std::to_string(movie.frames));
    EXPECT_EQ(movie.BoundsRect(), Bounds(0, 0, 800, 600));
    Sleep(500);
    log.push_back("box " + std::to_string(App().MessageBox("turn", "Q", MB_OK)));
  };
  main->OnDestroy = [&](TComponent*) { log.push_back("main destroyed"); };
  resident->OnDestroy = [&](TComponent*) { log.push_back("resident destroyed"); };
  int step = 0;
  session.Backend.Driver = [&] {
    TForm* top = TopModal();
    if (top && std::string(top->ClassName()) == "TLoadScreen") {
      if (step++ == 0) {
        PressKey(VK_F4, kModAlt, false);  // refused
      } else {
        Click(static_cast<TLoadScreen*>(top)->newGame, mbLeft, false);
      }
      return true;
    }
    if (top && std::string(top->ClassName()) == "TMessageForm") {
      PressKey(VK_RETURN, 0, false);
      return true;
    }
    if (!top && main->Visible() && main->Enabled()) {
      TInputEvent ev;
      ev.kind = TInputEvent::CloseRequest;  // the player closes the window
      session.Backend.Inject(ev);
      return true;
    }
    return false;
  };
  App().Run();
  // The main window's activation fires again each time a modal window closes (before ShowModal returns).
  EXPECT_EQ(log, (std::vector<std::string>{"activate", "activate", "load 1", "activate", "movie 1 frames 30",
                                           "activate", "box 1", "main destroyed", "resident destroyed"}));
  EXPECT_EQ(step, 2);
  EXPECT_EQ(session.Backend.Title(), "Q");
  EXPECT_NE(std::find(session.Backend.Log.begin(), session.Backend.Log.end(), "sleep 500"), session.Backend.Log.end());
  EXPECT_NE(std::find(session.Backend.Log.begin(), session.Backend.Log.end(), "warp 800,600"),
            session.Backend.Log.end());
  EXPECT_EQ(App().MainForm(), nullptr);
}

}  // namespace
