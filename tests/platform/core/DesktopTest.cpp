// Modality, activation, frames, hit testing, caption and size drags, maximising.
#include <gtest/gtest.h>

#include "platform/core/Menus.h"
#include "platform/core/StdCtrls.h"
#include "platform/core/WindowInfo.h"
#include "platform/headless/TestKit.h"

using namespace vdmq;

namespace {

class TMainLike : public TForm {
 public:
  explicit TMainLike(TComponent* owner) : TForm(owner) {
    SetBorderStyle(bsSizeable);
    SetClientSize(792, 573);
  }
  const char* ClassName() const override { return "TMainLike"; }
  // The main window's size rules: at least 800 x 600, at most the work area capped at 1280 x 1024.
  void Dispatch(TMessage& m) override {
    if (m.Msg == WM_GETMINMAXINFO) {
      auto* mm = reinterpret_cast<TMinMaxInfo*>(m.LParam);
      TRect wa = Desktop().WorkArea();
      int w = std::min(std::max(wa.Width(), 800), 1280), h = std::min(std::max(wa.Height(), 600), 1024);
      mm->ptMaxPosition = {0, 0};
      mm->ptMinTrackSize = {800, 600};
      mm->ptMaxSize = {w, h};
      mm->ptMaxTrackSize = {w, h};
      return;
    }
    TForm::Dispatch(m);
  }
};

class TDialogLike : public TForm {
 public:
  explicit TDialogLike(TComponent* owner) : TForm(owner) {
    SetBorderStyle(bsSingle);
    SetBorderIcons(biSystemMenu);
    SetClientSize(364, 400);
    Position = poScreenCenter;
    ok = new TButton(this);
    ok->Name = "btnOk";
    ok->SetParent(this);
    ok->SetBounds(10, 10, 80, 24);
    ok->ModalResult = mrOk;
  }
  const char* ClassName() const override { return "TDialogLike"; }
  TButton* ok;
};

struct DesktopTest : ::testing::Test {
  THeadlessSession session;
};

TEST_F(DesktopTest, FrameSizesFollowTheClassicMetrics) {
  TMainLike* m = nullptr;
  App().CreateForm(m);
  EXPECT_EQ(m->Width(), 800);
  EXPECT_EQ(m->Height(), 600);
  EXPECT_EQ(m->WindowClientRect(), Bounds(4, 23, 792, 573));
  TDialogLike* d = nullptr;
  App().CreateForm(d);
  EXPECT_EQ(d->Width(), 364 + 6);
  EXPECT_EQ(d->Height(), 400 + 25);
  EXPECT_EQ(d->WindowClientRect().Top, 22);
  d->SetBorderStyle(bsNone);
  EXPECT_EQ(d->Width(), 364);
  EXPECT_EQ(d->Height(), 400);
  // Caption 18 pixels high inside the band: 16 x 14 caption buttons.
  d->SetBorderStyle(bsSingle);
  EXPECT_EQ(d->CaptionButtonRect(HTCLOSE).Width(), 16);
  EXPECT_EQ(d->CaptionButtonRect(HTCLOSE).Height(), 14);
  EXPECT_TRUE(d->CaptionButtonRect(HTMAXBUTTON).IsEmpty());  // close box only
}

TEST_F(DesktopTest, HitTestPerBorderStyle) {
  TMainLike* m = nullptr;
  App().CreateForm(m);
  m->SetBounds(0, 0, 800, 600);
  auto hit = [&](TForm* f, int x, int y) {
    return static_cast<int>(f->Perform(WM_NCHITTEST, 0, MakeLParam(f->Left() + x, f->Top() + y)));
  };
  EXPECT_EQ(hit(m, 1, 300), HTLEFT);
  EXPECT_EQ(hit(m, 798, 300), HTRIGHT);
  EXPECT_EQ(hit(m, 400, 1), HTTOP);
  EXPECT_EQ(hit(m, 400, 598), HTBOTTOM);
  EXPECT_EQ(hit(m, 1, 1), HTTOPLEFT);
  EXPECT_EQ(hit(m, 798, 598), HTBOTTOMRIGHT);
  EXPECT_EQ(hit(m, 300, 10), HTCAPTION);
  EXPECT_EQ(hit(m, 300, 300), HTCLIENT);
  EXPECT_EQ(hit(m, m->CaptionButtonRect(HTCLOSE).Left + 3, 10), HTCLOSE);
  EXPECT_EQ(hit(m, m->CaptionButtonRect(HTMINBUTTON).Left + 3, 10), HTMINBUTTON);
  const int closeX = m->CaptionButtonRect(HTCLOSE).Left + 3;
  m->SetBorderIcons(0);  // the kit clears the icons: the whole band is caption
  EXPECT_EQ(hit(m, closeX, 10), HTCAPTION);
  TDialogLike* d = nullptr;
  App().CreateForm(d);
  d->SetBounds(100, 100, 370, 425);
  EXPECT_EQ(hit(d, 1, 200), HTBORDER);
  EXPECT_EQ(hit(d, 100, 10), HTCAPTION);
  d->SetBorderStyle(bsNone);
  EXPECT_EQ(hit(d, 0, 0), HTCLIENT);
}

TEST_F(DesktopTest, DisabledOwnerIgnoresClicksWhileModalIsUp) {
  TMainLike* m = nullptr;
  App().CreateForm(m);
  auto* b = new TButton(m);
  b->SetParent(m);
  b->SetBounds(700, 500, 80, 30);
  int clicks = 0;
  b->OnClick = [&](TComponent*) { ++clicks; };
  m->Show();
  TDialogLike* d = nullptr;
  App().CreateForm(d);
  int step = 0;
  session.Backend.Driver = [&] {
    if (TopModal() != d) return false;
    if (step == 0) {
      ++step;
      Click(b, mbLeft, false);  // the main window is disabled: nothing happens
      return true;
    }
    Click(d->ok, mbLeft, false);
    return true;
  };
  EXPECT_EQ(d->ShowModal(), mrOk);
  EXPECT_EQ(clicks, 0);
  EXPECT_TRUE(m->Enabled());
  Click(b);
  EXPECT_EQ(clicks, 1);
}

TEST_F(DesktopTest, CloseQueryVetoKeepsTheModalFormOpenAndCloseGivesCancel) {
  TMainLike* m = nullptr;
  App().CreateForm(m);
  m->Show();
  TDialogLike* d = nullptr;
  App().CreateForm(d);
  bool allow = false;
  int queries = 0;
  d->OnCloseQuery = [&](TComponent*, bool& can) {
    ++queries;
    can = allow;
  };
  int step = 0;
  session.Backend.Driver = [&] {
    if (TopModal() != d) return false;
    ++step;
    if (step == 1) {
      PressKey(VK_F4, kModAlt, false);  // Alt+F4: refused
    } else if (step == 2) {
      EXPECT_TRUE(d->Visible());
      Click(d->ok, mbLeft, false);  // a button result is refused too
    } else {
      EXPECT_TRUE(d->Visible());
      allow = true;
      d->Close();
    }
    return true;
  };
  EXPECT_EQ(d->ShowModal(), mrCancel);
  EXPECT_EQ(queries, 3);
  EXPECT_FALSE(d->Visible());
}

TEST_F(DesktopTest, OwnerActivationFiresAgainAfterTheModalCloses) {
  TMainLike* m = nullptr;
  App().CreateForm(m);
  TDialogLike* d = nullptr;
  App().CreateForm(d);
  std::vector<std::string> events;
  bool first = true;
  m->OnActivate = [&](TComponent*) {
    events.push_back("main active");
    if (first) {  // the game opens its first screen inside the first activation
      first = false;
      App().PostCall([&] { d->ModalResult = mrOk; });
      events.push_back("modal " + std::to_string(d->ShowModal()));
    }
  };
  m->OnDeactivate = [&](TComponent*) { events.push_back("main inactive"); };
  d->OnActivate = [&](TComponent*) { events.push_back("dialog active"); };
  m->Show();
  EXPECT_EQ(events,
            (std::vector<std::string>{"main active", "main inactive", "dialog active", "main active", "modal 1"}));
  EXPECT_TRUE(m->Active());
}

TEST_F(DesktopTest, CaptionDragMovesTheWindow) {
  TDialogLike* d = nullptr;
  App().CreateForm(d);
  d->Position = poDesigned;
  d->SetBounds(100, 100, 370, 425);
  d->Show();
  App().ProcessMessages();
  InjectMouse(TInputEvent::MouseDown, {200, 110});
  InjectMouse(TInputEvent::MouseMove, {230, 150});
  InjectMouse(TInputEvent::MouseMove, {250, 170});
  InjectMouse(TInputEvent::MouseUp, {250, 170});
  App().ProcessMessages();
  EXPECT_EQ(d->Left(), 150);
  EXPECT_EQ(d->Top(), 160);
  // A drag started by the program (title-strip drag of borderless windows) while the button is held.
  d->SetBorderStyle(bsNone);
  auto* strip = new TImage(d);
  strip->SetParent(d);
  strip->SetBounds(0, 0, 364, 32);
  strip->OnMouseDown = [&](TComponent*, TMouseButton, TShiftState, int, int) {
    Desktop().ReleaseCapture();
    d->Perform(WM_SYSCOMMAND, SC_MOVE | HTCAPTION, 0);
  };
  const TPoint p = strip->ClientToScreen({5, 5});
  InjectMouse(TInputEvent::MouseDown, p);
  InjectMouse(TInputEvent::MouseMove, {p.X - 20, p.Y - 10});
  InjectMouse(TInputEvent::MouseUp, {p.X - 20, p.Y - 10});
  App().ProcessMessages();
  EXPECT_EQ(d->Left(), 130);
  EXPECT_EQ(d->Top(), 150);
}

TEST_F(DesktopTest, SizeDragIsClampedByMinMaxInfoAndFiresResize) {
  session.Backend.Resize({1024, 768});
  TMainLike* m = nullptr;
  App().CreateForm(m);
  int resizes = 0;
  m->OnResize = [&](TComponent*) { ++resizes; };
  m->Show();
  App().ProcessMessages();
  const int base = resizes;
  EXPECT_GE(base, 1);  // once when first shown
  const TPoint corner{m->Left() + m->Width() - 2, m->Top() + m->Height() - 2};
  InjectMouse(TInputEvent::MouseDown, corner);
  InjectMouse(TInputEvent::MouseMove, {corner.X - 300, corner.Y - 300});  // below the minimum
  InjectMouse(TInputEvent::MouseUp, {corner.X - 300, corner.Y - 300});
  App().ProcessMessages();
  EXPECT_EQ(m->Width(), 800);
  EXPECT_EQ(m->Height(), 600);
  InjectMouse(TInputEvent::MouseDown, {m->Left() + m->Width() - 2, m->Top() + 300});
  InjectMouse(TInputEvent::MouseMove, {m->Left() + m->Width() + 500, m->Top() + 300});
  InjectMouse(TInputEvent::MouseUp, {m->Left() + m->Width() + 500, m->Top() + 300});
  App().ProcessMessages();
  EXPECT_EQ(m->Width(), 1024);  // the work area
  EXPECT_GT(resizes, base);
  EXPECT_EQ(m->ClientWidth(), 1024 - 8);
}

TEST_F(DesktopTest, MaximiseUsesMinMaxValuesAndDoubleClickRestores) {
  session.Backend.Resize({1600, 1200});
  TMainLike* m = nullptr;
  App().CreateForm(m);
  m->Show();
  App().ProcessMessages();
  const TRect normal = m->BoundsRect();
  const TPoint cap{m->Left() + 200, m->Top() + 10};
  InjectMouse(TInputEvent::MouseDown, cap);
  InjectMouse(TInputEvent::MouseUp, cap);
  InjectMouse(TInputEvent::MouseDown, cap);
  InjectMouse(TInputEvent::MouseUp, cap);
  App().ProcessMessages();
  EXPECT_EQ(m->WindowState(), wsMaximized);
  EXPECT_EQ(m->BoundsRect(), Bounds(0, 0, 1280, 1024));
  m->Perform(WM_NCLBUTTONDBLCLK, HTCAPTION, 0);
  EXPECT_EQ(m->WindowState(), wsNormal);
  EXPECT_EQ(m->BoundsRect(), normal);
}

TEST_F(DesktopTest, CloseBoxOfThePlainFrameClosesAndTheMainFormEndsTheProgram) {
  TMainLike* m = nullptr;
  App().CreateForm(m);
  m->Show();
  App().ProcessMessages();
  TRect close = m->CaptionButtonRect(HTCLOSE).Offset(m->Left(), m->Top());
  InjectMouse(TInputEvent::MouseDown, {close.Left + 4, close.Top + 4});
  InjectMouse(TInputEvent::MouseMove, {close.Left - 40, close.Top + 4});  // leaving the box cancels
  InjectMouse(TInputEvent::MouseUp, {close.Left - 40, close.Top + 4});
  App().ProcessMessages();
  EXPECT_FALSE(App().Terminated());
  InjectMouse(TInputEvent::MouseDown, {close.Left + 4, close.Top + 4});
  InjectMouse(TInputEvent::MouseUp, {close.Left + 4, close.Top + 4});
  App().ProcessMessages();
  EXPECT_TRUE(App().Terminated());
}

TEST_F(DesktopTest, PositionScreenCenterCentresOnEveryShow) {
  TDialogLike* d = nullptr;
  App().CreateForm(d);
  d->Show();
  EXPECT_EQ(d->Left(), (800 - 370) / 2);
  EXPECT_EQ(d->Top(), (600 - 425) / 2);
  d->SetBounds(0, 0, d->Width(), d->Height());
  d->Hide();
  d->Show();
  EXPECT_EQ(d->Left(), (800 - 370) / 2);
}

}  // namespace

namespace {

TEST_F(DesktopTest, ExceptionInAnActivationHandlerIsShownAndTheModalStillReturns) {
  TMainLike* m = nullptr;
  App().CreateForm(m);
  std::vector<std::string> shown;
  App().OnException = [&](const std::string& s) { shown.push_back(s); };
  int activations = 0;
  m->OnActivate = [&](TComponent*) {
    if (++activations == 2) throw std::runtime_error("boom");
  };
  m->Show();
  TDialogLike* d = nullptr;
  App().CreateForm(d);
  App().PostCall([&] { d->ModalResult = mrOk; });
  EXPECT_EQ(d->ShowModal(), mrOk);  // the reactivation throws; the result still comes back
  EXPECT_EQ(shown, std::vector<std::string>{"boom"});
  EXPECT_TRUE(m->Active());
}

}  // namespace

namespace {

// The self-framed windows lay out their title bars from the system metrics and style bits: the
// frame width follows the sizing-frame bit, and the caption band comes out 18 pixels high for both
// the sizeable and the fixed frame.
TEST_F(DesktopTest, SystemMetricsAndStyleBitsAgreeWithTheFramesTheLayerDraws) {
  TMainLike* m = nullptr;
  App().CreateForm(m);
  TDialogLike* d = nullptr;
  App().CreateForm(d);
  EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 800);
  EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 600);
  for (TForm* f : {static_cast<TForm*>(m), static_cast<TForm*>(d)}) {
    const std::uint32_t style = WindowStyle(*f);
    const bool thick = (style & WS_THICKFRAME) && !IsIconic(*f);
    const int fx = GetSystemMetrics(thick ? SM_CXFRAME : SM_CXDLGFRAME);
    const int fy = GetSystemMetrics(thick ? SM_CYFRAME : SM_CYDLGFRAME);
    const TPoint origin = f->ClientOrigin();
    EXPECT_EQ(origin.X - f->Left(), fx) << f->ClassName();
    const int captionHeight = (origin.Y - f->Top()) - fy - 1;
    EXPECT_EQ(captionHeight, 18) << f->ClassName();
    EXPECT_EQ(style & (WS_VSCROLL | WS_HSCROLL), 0u);
  }
  EXPECT_TRUE(WindowStyle(*m) & WS_THICKFRAME);
  EXPECT_FALSE(WindowStyle(*d) & WS_THICKFRAME);
  EXPECT_TRUE(WindowStyle(*d) & WS_SYSMENU);
  EXPECT_FALSE(WindowStyle(*d) & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX));

  m->Show();
  m->SetWindowState(wsMaximized);
  EXPECT_TRUE(IsZoomed(*m));
  EXPECT_TRUE(WindowStyle(*m) & WS_MAXIMIZE);
  EXPECT_EQ(ScreenBitsPerPixel() > 8, true);  // never the palette path

  // The foreground window is the active one; a window disabled under a modal cannot take it.
  EXPECT_EQ(GetForegroundWindow(), m);
  d->Show();
  EXPECT_EQ(GetForegroundWindow(), d);
  EXPECT_TRUE(SetForegroundWindow(m));
  EXPECT_EQ(GetForegroundWindow(), m);
  m->SetEnabled(false);
  EXPECT_FALSE(SetForegroundWindow(m));
  d->Hide();
  EXPECT_FALSE(SetForegroundWindow(d));
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// The screen as the main form's own OS window

namespace {

// A window maximised over the whole screen without a frame (as the movie window is).
class TFullScreenLike : public TForm {
 public:
  explicit TFullScreenLike(TComponent* owner) : TForm(owner) {
    SetBorderStyle(bsNone);
    SetWindowState(wsMaximized);
  }
  const char* ClassName() const override { return "TFullScreenLike"; }
};

struct OsWindowTest : DesktopTest {
  TMainLike* main = nullptr;
  // The main form shown on a display with that work area.
  void ShowMain(TSize workArea) {
    session.Backend.HostMainWindow(workArea);
    App().CreateForm(main);
    main->Position = poScreenCenter;
    main->Show();
    App().ProcessMessages();
  }
  // The form, the screen and the window agree on one size, at the screen's corner.
  void ExpectOneSize(TSize s, const std::string& what) {
    EXPECT_EQ(main->BoundsRect(), Bounds(0, 0, s.cx, s.cy)) << what;
    EXPECT_EQ(Desktop().ScreenSize(), s) << what;
    EXPECT_EQ(main->ClientWidth(), s.cx - 8) << what;
  }
  int HitAt(TPoint p) { return FrameMapHit(session.Backend.FrameMap(), p); }
};

TEST_F(OsWindowTest, TheMainFormIsTheWindowAndTheirSizesFollowEachOtherWithinTheLimits) {
  int resizes = 0;
  ShowMain({1920, 1080});
  main->OnResize = [&](TComponent*) { ++resizes; };
  ASSERT_TRUE(session.Backend.WindowShown());
  EXPECT_EQ(session.Backend.Limits(), (TWindowLimits{{800, 600}, {1280, 1024}}));
  EXPECT_EQ(Desktop().WorkArea(), (TRect{0, 0, 1920, 1080}));
  ExpectOneSize({800, 600}, "shown");
  struct TStep {
    const char* what;
    std::function<void()> act;
    TSize size;
  } steps[] = {
      {"the program sizes the form", [&] { main->SetClientSize(992, 673); }, {1000, 700}},
      {"the program moves it", [&] { main->SetBounds(50, 60, 900, 650); }, {900, 650}},
      {"the program asks too little", [&] { main->SetBounds(0, 0, 500, 300); }, {800, 600}},
      {"the window grows",
       [&] {
         session.Backend.WmResize({1100, 800});
       },
       {1100, 800}},
      {"the window is made smaller than the game",
       [&] {
         session.Backend.WmResize({600, 400});
       },
       {800, 600}},
      {"the window is made larger than the game",
       [&] {
         session.Backend.WmResize({1500, 1200});
       },
       {1280, 1024}},
  };
  for (const TStep& s : steps) {
    const int before = resizes;
    s.act();
    App().ProcessMessages();
    ExpectOneSize(s.size, s.what);
    EXPECT_GT(resizes, before) << s.what;
  }
  // The other windows centre on the window, and one maximised inside it keeps filling it.
  TDialogLike* d = nullptr;
  App().CreateForm(d);
  d->Show();
  EXPECT_EQ(d->BoundsRect(), Bounds((1280 - 370) / 2, (1024 - 425) / 2, 370, 425));
  TFullScreenLike* full = nullptr;
  App().CreateForm(full);
  full->Show();
  EXPECT_EQ(full->BoundsRect(), Bounds(0, 0, 1280, 1024));
  session.Backend.WmResize({900, 700});
  App().ProcessMessages();
  ExpectOneSize({900, 700}, "under the full-screen window");
  EXPECT_EQ(full->BoundsRect(), Bounds(0, 0, 900, 700));
  EXPECT_EQ(d->BoundsRect(), Bounds((1280 - 370) / 2, (1024 - 425) / 2, 370, 425)) << "a shown dialog stays";
}

TEST_F(OsWindowTest, MaximiseAndRestoreAreTheWindowsAndTheFormTakesItsStateAndSize) {
  ShowMain({1920, 1080});
  const TPoint caption{200, 10};
  struct TStep {
    const char* what;
    std::function<void()> act;
    TWindowState state;
    TSize size;
  } steps[] = {
      {"the program maximises", [&] { main->SetWindowState(wsMaximized); }, wsMaximized, {1280, 1024}},
      {"a size asked while maximised", [&] { main->SetBounds(0, 0, 900, 700); }, wsMaximized, {1280, 1024}},
      {"the program restores", [&] { main->SetWindowState(wsNormal); }, wsNormal, {800, 600}},
      {"the window manager maximises", [&] { session.Backend.WmMaximize(); }, wsMaximized, {1280, 1024}},
      {"the window manager restores", [&] { session.Backend.WmRestore(); }, wsNormal, {800, 600}},
      // The window system took the first press of a double click on the caption (it began a move).
      {"the second press of a caption double click",
       [&] {
         TInputEvent press;
         press.kind = TInputEvent::MouseDown;
         press.x = caption.X;
         press.y = caption.Y;
         press.secondClick = true;
         session.Backend.Inject(press);
         InjectMouse(TInputEvent::MouseUp, caption);
       },
       wsMaximized,
       {1280, 1024}},
  };
  for (const TStep& s : steps) {
    s.act();
    App().ProcessMessages();
    EXPECT_EQ(main->WindowState(), s.state) << s.what;
    EXPECT_EQ(session.Backend.WindowMaximized(), s.state == wsMaximized) << s.what;
    ExpectOneSize(s.size, s.what);
  }
  // The frame's maximise box restores the maximised window.
  const TRect box = main->CaptionButtonRect(HTMAXBUTTON);
  InjectMouse(TInputEvent::MouseDown, {box.Left + 4, box.Top + 4});
  InjectMouse(TInputEvent::MouseUp, {box.Left + 4, box.Top + 4});
  App().ProcessMessages();
  EXPECT_EQ(main->WindowState(), wsNormal);
  ExpectOneSize({800, 600}, "the maximise box");
  // Until the window answers, the form keeps its state (a window system may refuse).
  main->SetWindowState(wsMaximized);
  EXPECT_EQ(main->WindowState(), wsNormal);
  App().ProcessMessages();
  EXPECT_EQ(main->WindowState(), wsMaximized);
}

TEST_F(OsWindowTest, TheWindowMovesOnTheCaptionAndSizesOnTheBorderWhereThePixelsAreTheMainFormsFrame) {
  ShowMain({1920, 1080});
  const TRect close = main->CaptionButtonRect(HTCLOSE);
  const TPoint closeAt{close.Left + 2, close.Top + 2}, icon{6, 6}, caption{300, 12}, client{400, 300};
  struct TCase {
    TPoint at;
    int normal, maximised;
  } cases[] = {{caption, HTCAPTION, HTCLIENT}, {closeAt, HTCLIENT, HTCLIENT},   {icon, HTCLIENT, HTCLIENT},
               {client, HTCLIENT, HTCLIENT},   {{1, 300}, HTLEFT, HTCLIENT},    {{798, 598}, HTBOTTOMRIGHT, HTCLIENT},
               {{400, 1}, HTTOP, HTCLIENT},    {{400, 599}, HTBOTTOM, HTCLIENT}};
  for (const TCase& c : cases) EXPECT_EQ(HitAt(c.at), c.normal) << c.at.X << "," << c.at.Y;
  main->SetWindowState(wsMaximized);
  App().ProcessMessages();
  for (const TCase& c : cases) EXPECT_EQ(HitAt(c.at), c.maximised) << "maximised " << c.at.X << "," << c.at.Y;
  main->SetWindowState(wsNormal);
  App().ProcessMessages();
  // A window above the caption takes its presses, modal or not; the uncovered caption still moves.
  TDialogLike* d = nullptr;
  App().CreateForm(d);
  d->Position = poDesigned;
  d->SetBounds(250, 0, 370, 425);
  App().PostCall([&] {
    App().PaintAndPresent();
    EXPECT_EQ(HitAt(caption), HTCLIENT);
    EXPECT_EQ(HitAt({100, 12}), HTCAPTION);
    d->ModalResult = mrOk;
  });
  d->ShowModal();
  App().ProcessMessages();
  EXPECT_EQ(HitAt(caption), HTCAPTION);
  // While a popup menu is open every press is the program's (it closes the menu).
  TPopupMenu menu(&App());
  auto* item = new TMenuItem(&App());
  item->Caption = "item";
  menu.Add(item);
  App().PostCall([&] {
    App().PaintAndPresent();
    EXPECT_EQ(HitAt(caption), HTCLIENT);
    EXPECT_EQ(HitAt({1, 300}), HTCLIENT);
    PressKey(VK_ESCAPE, 0, false);
  });
  menu.Popup(100, 100);
  App().ProcessMessages();
  EXPECT_EQ(HitAt(caption), HTCAPTION);
}

TEST_F(OsWindowTest, AMainFormWithoutASizingFrameKeepsItsSizeAndIsNeverMaximised) {
  session.Backend.HostMainWindow({1920, 1080});
  TDialogLike* d = nullptr;
  App().CreateForm(d);
  d->SetBorderStyle(bsDialog);
  d->Show();
  App().ProcessMessages();
  const TSize own{370, 425};
  EXPECT_EQ(d->BoundsRect(), Bounds(0, 0, own.cx, own.cy));
  EXPECT_EQ(session.Backend.Limits(), (TWindowLimits{own, own}));
  session.Backend.WmResize({800, 600});
  session.Backend.WmMaximize();
  App().ProcessMessages();
  EXPECT_EQ(Desktop().ScreenSize(), own);
  EXPECT_EQ(d->WindowState(), wsNormal);
  // Its caption moves the window; its edges size nothing.
  EXPECT_EQ(FrameMapHit(session.Backend.FrameMap(), {100, 10}), HTCAPTION);
  EXPECT_EQ(FrameMapHit(session.Backend.FrameMap(), {1, 200}), HTCLIENT);
  EXPECT_EQ(FrameMapHit(session.Backend.FrameMap(), {100, 100}), HTCLIENT);
}

}  // namespace
