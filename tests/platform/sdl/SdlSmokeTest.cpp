// The SDL back end under a virtual X server: a main form with a button, a label and an image is the
// window, at its size, and shows the same pixels as on the headless back end after a click made of
// real SDL mouse events; pauses pump the OS queue without dispatching; other threads wake the loop;
// events are translated to the layer's events at every scale; the window answers presses on the
// frame, shows the sizing cursor over its border and marks the second press of a caption double
// click; without a window manager's move the window moves itself with the mouse; a display that
// cannot be opened gives a clear error.
#include <gtest/gtest.h>

#include <SDL.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <thread>
#include <utility>
#include <vector>

#include "platform/base/Sjis.h"
#include "platform/core/Messages.h"
#include "platform/core/StdCtrls.h"
#include "platform/core/WindowFrame.h"
#include "platform/headless/TestKit.h"
#include "platform/sdl/SdlBackend.h"
#include "platform/sdl/SdlSession.h"
#include "support/VirtualDisplay.h"

using namespace vdmq;

namespace {

struct TSmokeForm {
  TForm* form = nullptr;
  TButton* button = nullptr;
  TLabel* label = nullptr;
  TImage* image = nullptr;
  int clicks = 0;

  void Build() {
    App().CreateForm(form);
    form->SetBorderStyle(bsSingle);
    form->SetCaption(SJS("試験の窓"));
    form->SetClientSize(400, 260);
    form->SetBounds(120, 90, form->Width(), form->Height());
    button = new TButton(form);
    button->SetParent(form);
    button->SetBounds(20, 20, 120, 30);
    button->SetCaption(SJS("押す"));
    label = new TLabel(form);
    label->SetParent(form);
    label->SetBounds(20, 70, 200, 14);
    label->SetCaption(SJS("まだ押されていない"));
    image = new TImage(form);
    image->SetParent(form);
    image->SetBounds(220, 20, 96, 64);
    image->Picture.SetSize(96, 64);
    for (int y = 0; y < 64; ++y)
      for (int x = 0; x < 96; ++x)
        image->Picture.Pixels().SetPixel(x, y,
                                         static_cast<std::uint32_t>((x * 2) << 16 | (y * 4) << 8 | ((x ^ y) & 0xFF)));
    button->OnClick = [this](TComponent*) {
      ++clicks;
      label->SetCaption(SJS("押された"));
    };
    form->Show();
  }
};

class SdlTest : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("SDL_AUDIODRIVER", "dummy", 1);  // the sound of these tests is not listened to
    if (!vdmq::testing::TVirtualDisplay::Ensure()) GTEST_SKIP() << "no X display and no Xvfb";
  }
};

bool TVirtualDisplayServerMissing() { return vdmq::testing::TVirtualDisplay::FindServer().empty(); }

void PushMouse(Uint32 type, int x, int y) {
  SDL_Event e{};
  e.type = type;
  if (type == SDL_MOUSEMOTION) {
    e.motion.x = x;
    e.motion.y = y;
  } else {
    e.button.button = SDL_BUTTON_LEFT;
    e.button.state = type == SDL_MOUSEBUTTONDOWN ? SDL_PRESSED : SDL_RELEASED;
    e.button.clicks = 1;
    e.button.x = x;
    e.button.y = y;
  }
  ASSERT_EQ(SDL_PushEvent(&e), 1);
}

void PushClick(TPoint p) {
  PushMouse(SDL_MOUSEMOTION, p.X, p.Y);
  PushMouse(SDL_MOUSEBUTTONDOWN, p.X, p.Y);
  PushMouse(SDL_MOUSEBUTTONUP, p.X, p.Y);
}

TPoint ButtonCentre(const TSmokeForm& f) {
  return f.button->ClientToScreen({f.button->ClientWidth() / 2, f.button->ClientHeight() / 2});
}

}  // namespace

// The virtual X server started for the tests holds none of the test's output (a runner that reads
// the test's output to its end would otherwise wait for the server as well), and it dies with the
// test process, even one that ends without running its destructors (a crash, an abort). First in
// the file, so that it forks before any other test has started threads.
TEST(SdlVirtualDisplay, ServerNeitherHoldsTheOutputNorOutlivesTheTest) {
  if (TVirtualDisplayServerMissing()) GTEST_SKIP() << "no Xvfb";
  int fds[2];
  ASSERT_EQ(pipe(fds), 0);
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    // A test process of its own that starts its server, reports it and dies abruptly.
    close(fds[0]);
    unsetenv("DISPLAY");
    const auto* display = vdmq::testing::TVirtualDisplay::StartAnother();
    const pid_t server = display->Ok() ? display->Pid() : -1;
    const std::string out = std::filesystem::read_symlink("/proc/" + std::to_string(server) + "/fd/1").string() + "|" +
                            std::filesystem::read_symlink("/proc/" + std::to_string(server) + "/fd/2").string();
    const std::string line = std::to_string(server) + " " + out + "\n";
    [[maybe_unused]] const auto n = write(fds[1], line.data(), line.size());
    _exit(0);
  }
  close(fds[1]);
  std::string line;
  char c;
  while (read(fds[0], &c, 1) == 1 && c != '\n') line += c;
  close(fds[0]);
  int status = 0;
  waitpid(child, &status, 0);
  const size_t space = line.find(' ');
  ASSERT_NE(space, std::string::npos) << line;
  const pid_t server = std::stoi(line.substr(0, space));
  ASSERT_GT(server, 0) << line;
  EXPECT_EQ(line.substr(space + 1), "/dev/null|/dev/null");
  // Gone (or only a zombie waiting for its new parent) soon after the test process died.
  auto alive = [&] {
    std::ifstream stat("/proc/" + std::to_string(server) + "/stat");
    std::string pid, name, state;
    if (!(stat >> pid >> name >> state)) return false;
    return state != "Z" && state != "X";
  };
  for (int i = 0; i < 500 && alive(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  EXPECT_FALSE(alive());
}

TEST_F(SdlTest, ClickedFormLooksAsOnTheHeadlessBackEnd) {
  TPixmap headless;
  {
    THeadlessSession session;
    session.Backend.HostMainWindow({2048, 1536});
    TSmokeForm f;
    f.Build();
    App().ProcessMessages();
    Click(f.button);
    App().ProcessMessages();
    ASSERT_EQ(f.clicks, 1);
    headless = session.Backend.LastScreen();
  }
  TSdlOptions o;
  o.softwareRenderer = true;
  o.scale = 1;
  TSdlSession session(o);
  EXPECT_EQ(session.Backend().ScreenSize(), (TSize{800, 600}));
  TSmokeForm f;
  f.Build();
  App().ProcessMessages();
  // The main form is the window: at its corner, and the window at its size, without decoration.
  EXPECT_EQ(f.form->BoundsRect(), Bounds(0, 0, 406, 285));
  EXPECT_EQ(session.Backend().ScreenSize(), (TSize{406, 285}));
  int w = 0, h = 0;
  SDL_GetWindowSize(session.Backend().Window(), &w, &h);
  EXPECT_EQ((TSize{w, h}), (TSize{406, 285}));
  EXPECT_TRUE(SDL_GetWindowFlags(session.Backend().Window()) & SDL_WINDOW_BORDERLESS);
  EXPECT_TRUE(SDL_GetWindowFlags(session.Backend().Window()) & SDL_WINDOW_SHOWN);
  PushClick(ButtonCentre(f));
  App().ProcessMessages();
  App().ProcessMessages();
  EXPECT_EQ(f.clicks, 1);
  EXPECT_EQ(f.label->Caption(), SJS("押された"));
  TPixmap shown;
  ASSERT_TRUE(session.Backend().ReadScreen(shown));
  ASSERT_EQ(shown.Width(), headless.Width());
  ASSERT_EQ(shown.Height(), headless.Height());
  int differing = 0;
  for (int y = 0; y < shown.Height(); ++y)
    for (int x = 0; x < shown.Width(); ++x) differing += shown.Pixel(x, y) != (headless.Pixel(x, y) & 0xFFFFFF);
  EXPECT_EQ(differing, 0);
  // The title reaches the OS window in UTF-8; the icon is handed over with it.
  App().Title = SJS("銀河の戦い");
  App().SetWindowIcon(TPixmap(32, 32, 0x336699));
  App().ProcessMessages();
  App().PaintAndPresent();
  EXPECT_STREQ(SDL_GetWindowTitle(session.Backend().Window()), "銀河の戦い");
}

TEST(SdlIconTest, TheWindowIconIsOpaqueArgbOfThePicture) {
  TPixmap icon(3, 2, 0);
  icon.SetPixel(0, 0, 0x123456);
  icon.SetPixel(2, 1, 0xFFFFFF);
  SDL_Surface* s = IconSurface(icon);
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(s->format->format, static_cast<Uint32>(SDL_PIXELFORMAT_ARGB8888));
  ASSERT_EQ(s->w, 3);
  ASSERT_EQ(s->h, 2);
  auto at = [&](int x, int y) {
    return reinterpret_cast<const Uint32*>(static_cast<const Uint8*>(s->pixels) + y * s->pitch)[x];
  };
  EXPECT_EQ(at(0, 0), 0xFF123456u);
  EXPECT_EQ(at(1, 0), 0xFF000000u);
  EXPECT_EQ(at(2, 1), 0xFFFFFFFFu);
  SDL_FreeSurface(s);
  EXPECT_EQ(IconSurface(TPixmap()), nullptr);
}

TEST_F(SdlTest, SleepPumpsWithoutDispatchingAndClicksStayQueued) {
  TSdlOptions o;
  o.softwareRenderer = true;
  TSdlSession session(o);
  TSmokeForm f;
  f.Build();
  App().ProcessMessages();
  PushClick(ButtonCentre(f));
  const auto t0 = std::chrono::steady_clock::now();
  App().Sleep(60);
  EXPECT_GE(std::chrono::steady_clock::now() - t0, std::chrono::milliseconds(50));  // it did block
  EXPECT_EQ(f.clicks, 0);
  App().ProcessMessages();
  EXPECT_EQ(f.clicks, 1);
}

TEST_F(SdlTest, OtherThreadsWakeTheWaitingLoop) {
  TSdlOptions o;
  o.softwareRenderer = true;
  TSdlBackend backend(o);
  TInputEvent ev;
  while (backend.PollInput(ev)) {
  }
  std::thread waker([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    backend.Wake();
  });
  const auto t0 = std::chrono::steady_clock::now();
  // Nothing but the wake can end an endless wait with false (window events that carry no input are
  // skipped; input the X server sends by itself, like the motion of a pointer that the new window
  // appeared under, is taken and the wait goes on).
  int inputs = 0;
  while (backend.WaitInput(ev, -1) && ++inputs < 1000) {
  }
  waker.join();
  EXPECT_LT(inputs, 1000);
  EXPECT_GE(std::chrono::steady_clock::now() - t0, std::chrono::milliseconds(45));
  // A timed wait with nothing coming returns after its time.
  EXPECT_FALSE(backend.WaitInput(ev, 20));
}

TEST(SdlScaleTest, TheDesktopIsEnlargedOnlyOnDisplaysThatHoldTheLargestMainWindowTwice) {
  struct TCase {
    TSize usable;
    int scale;
  } cases[] = {{{800, 600}, 1},   {{1920, 1080}, 1}, {{2560, 1440}, 1}, {{2560, 2048}, 2},
               {{3840, 2112}, 2}, {{3840, 2160}, 2}, {{5120, 2880}, 2}, {{7680, 4320}, 4}};
  for (const TCase& c : cases) EXPECT_EQ(WholeScale(c.usable), c.scale) << c.usable.cx << "x" << c.usable.cy;
}

TEST_F(SdlTest, EventsTranslateAtEveryScale) {
  TSdlOptions o;
  o.softwareRenderer = true;
  o.scale = 2;
  TSdlBackend backend(o);
  TInputEvent ev;
  while (backend.PollInput(ev)) {
  }
  auto resized = [&](int w, int h) {
    SDL_Event e{};
    e.type = SDL_WINDOWEVENT;
    e.window.event = SDL_WINDOWEVENT_SIZE_CHANGED;
    e.window.data1 = w;
    e.window.data2 = h;
    return backend.Translate(e);
  };
  // The desktop shown doubled: a window twice the screen's size is no resize of the screen.
  EXPECT_EQ(backend.Scale(), 2);
  EXPECT_FALSE(resized(1600, 1200));
  EXPECT_EQ(backend.ScreenSize(), (TSize{800, 600}));
  int w = 0, h = 0;
  SDL_GetWindowSize(backend.Window(), &w, &h);
  EXPECT_EQ((TSize{w, h}), (TSize{1600, 1200}));
  SDL_Event m{};
  m.type = SDL_MOUSEBUTTONDOWN;
  m.button.button = SDL_BUTTON_RIGHT;
  m.button.x = 401;
  m.button.y = 201;
  ASSERT_TRUE(backend.Translate(m));
  ASSERT_TRUE(backend.PollInput(ev));
  EXPECT_EQ(ev.kind, TInputEvent::MouseDown);
  EXPECT_EQ(ev.button, 1);
  EXPECT_EQ(ev.x, 200);
  EXPECT_EQ(ev.y, 100);
  // Another size: the screen follows the window at the same scale.
  EXPECT_TRUE(resized(1000, 700));
  ASSERT_TRUE(backend.PollInput(ev));
  EXPECT_EQ(ev.kind, TInputEvent::ScreenResized);
  EXPECT_EQ(ev.x, 500);
  EXPECT_EQ(ev.y, 350);
  EXPECT_EQ(backend.ScreenSize(), (TSize{500, 350}));
  // An empty size (a minimised window on some window managers) leaves the desktop as it is.
  EXPECT_FALSE(resized(0, 0));
  EXPECT_EQ(backend.ScreenSize(), (TSize{500, 350}));
  // Enter gives its key and its control character; text arrives as code page 932 bytes.
  SDL_Event k{};
  k.type = SDL_KEYDOWN;
  k.key.keysym.sym = SDLK_RETURN;
  ASSERT_TRUE(backend.Translate(k));
  ASSERT_TRUE(backend.PollInput(ev));
  EXPECT_EQ(ev.kind, TInputEvent::KeyDown);
  EXPECT_EQ(ev.vk, VK_RETURN);
  ASSERT_TRUE(backend.PollInput(ev));
  EXPECT_EQ(ev.kind, TInputEvent::Char);
  EXPECT_EQ(ev.vk, 13u);
  SDL_Event t{};
  t.type = SDL_TEXTINPUT;
  std::snprintf(t.text.text, sizeof t.text.text, "%s", "a\xE3\x81\x82");  // "aあ"
  ASSERT_TRUE(backend.Translate(t));
  const std::string expect = SJS("aあ");
  for (unsigned char c : expect) {
    ASSERT_TRUE(backend.PollInput(ev));
    EXPECT_EQ(ev.kind, TInputEvent::Char);
    EXPECT_EQ(ev.vk, c);
  }
  EXPECT_EQ(VirtualKeyOf(SDLK_F4), VK_F4);
  EXPECT_EQ(VirtualKeyOf(SDLK_q), static_cast<unsigned>('Q'));
  // Losing the focus with a button held releases it, so no capture stays behind.
  SDL_Event down{};
  down.type = SDL_MOUSEBUTTONDOWN;
  down.button.button = SDL_BUTTON_LEFT;
  ASSERT_TRUE(backend.Translate(down));
  ASSERT_TRUE(backend.PollInput(ev));
  SDL_Event lost{};
  lost.type = SDL_WINDOWEVENT;
  lost.window.event = SDL_WINDOWEVENT_FOCUS_LOST;
  ASSERT_TRUE(backend.Translate(lost));
  // The right button pressed above at scale 2 is still held as well.
  for (int b = 0; b < 2; ++b) {
    ASSERT_TRUE(backend.PollInput(ev));
    EXPECT_EQ(ev.kind, TInputEvent::MouseUp);
    EXPECT_EQ(ev.button, b);
  }
  SDL_Event quit{};
  quit.type = SDL_QUIT;
  ASSERT_TRUE(backend.Translate(quit));
  ASSERT_TRUE(backend.PollInput(ev));
  EXPECT_EQ(ev.kind, TInputEvent::CloseRequest);
}

TEST_F(SdlTest, TheWindowMovesAndSizesItselfOnTheFrameAndKeepsTheSecondPressOfACaptionDoubleClick) {
  TSdlOptions o;
  o.softwareRenderer = true;
  o.hidden = true;
  o.scale = 2;
  TSdlBackend backend(o);
  TInputEvent ev;
  while (backend.PollInput(ev)) {
  }
  TWindowFrameMap map;
  map.Size = {800, 600};
  map.Caption = {4, 4, 796, 22};
  map.Keep = {Bounds(760, 6, 16, 14)};
  map.Border = 4;
  map.Corner = 20;
  backend.SetFrameMap(map);
  // Points in pixels of the window, twice the screen's.
  struct TCase {
    TPoint at;
    int hit;
  } cases[] = {{{400, 20}, HTCAPTION}, {{1530, 20}, HTCLIENT},        {{400, 100}, HTCLIENT},
               {{2, 600}, HTLEFT},     {{1598, 1198}, HTBOTTOMRIGHT}, {{800, 1}, HTTOP}};
  for (const TCase& c : cases) EXPECT_EQ(backend.HitTest(c.at.X, c.at.Y), c.hit) << c.at.X << "," << c.at.Y;
  SDL_Event taken{};
  taken.type = SDL_WINDOWEVENT;
  taken.window.event = SDL_WINDOWEVENT_HIT_TEST;
  auto press = [&](int x, int y) {
    SDL_Event down{};
    down.type = SDL_MOUSEBUTTONDOWN;
    down.button.button = SDL_BUTTON_LEFT;
    down.button.x = x;
    down.button.y = y;
    EXPECT_TRUE(backend.Translate(down));
    TInputEvent got;
    EXPECT_TRUE(backend.PollInput(got));
    EXPECT_EQ(got.kind, TInputEvent::MouseDown);
    return got;
  };
  // The window system takes the first press on the caption (it moves the window); a second one at
  // the same place soon after is the program's and completes the double click.
  ASSERT_EQ(backend.HitTest(400, 20), HTCAPTION);
  EXPECT_FALSE(backend.Translate(taken));
  ASSERT_EQ(backend.HitTest(404, 24), HTCLIENT);
  const TInputEvent second = press(404, 24);
  EXPECT_TRUE(second.secondClick);
  EXPECT_EQ((TPoint{second.x, second.y}), (TPoint{202, 12}));
  // A third press moves again; then one too far away, or too late, is a move of its own.
  EXPECT_EQ(backend.HitTest(404, 24), HTCAPTION);
  backend.Translate(taken);
  EXPECT_EQ(backend.HitTest(440, 24), HTCAPTION);
  backend.Translate(taken);
  SDL_Delay(static_cast<Uint32>(kDoubleClickMs) + 50);
  EXPECT_EQ(backend.HitTest(440, 24), HTCAPTION);
  // A press the program takes anyway (a kept place) is no second click.
  backend.Translate(taken);
  EXPECT_EQ(backend.HitTest(1530, 20), HTCLIENT);
  EXPECT_FALSE(press(1530, 20).secondClick);

  // Over the sizing border the arrow becomes the sizing cursor of the edge; the program's own
  // cursor shape (the hourglass of a long action) stays.
  auto move = [&](int x, int y) {
    SDL_Event m{};
    m.type = SDL_MOUSEMOTION;
    m.motion.x = x;
    m.motion.y = y;
    backend.Translate(m);
    while (backend.PollInput(ev)) {
    }
    return SDL_GetCursor();
  };
  backend.SetCursor(TCursorShape::Arrow);
  SDL_Cursor* const arrow = move(400, 300);
  SDL_Cursor* const edge = move(2, 600);
  EXPECT_NE(edge, arrow);
  EXPECT_EQ(move(1598, 600), edge);
  SDL_Cursor* const corner = move(1598, 1198);
  EXPECT_NE(corner, edge);
  EXPECT_NE(corner, arrow);
  EXPECT_EQ(move(400, 300), arrow);
  backend.SetCursor(TCursorShape::HourGlass);
  SDL_Cursor* const hourglass = SDL_GetCursor();
  EXPECT_EQ(move(2, 600), hourglass);
}

// Without a window manager that moves windows from the keyboard, the window moves itself: it keeps
// its place relative to the mouse (an arrow key steps it away from there) until Enter or a click
// ends the move where it is, or Escape puts it back. The move's input is its own.
TEST_F(SdlTest, WithoutAWindowManagersMoveTheWindowFollowsTheMouseUntilEnterOrAClickAndEscapePutsItBack) {
  if (vdmq::testing::TVirtualDisplay::ServerPid() <= 0) GTEST_SKIP() << "only on a display of the test's own";
  TSdlOptions o;
  o.softwareRenderer = true;
  o.scale = 1;
  TSdlBackend backend(o);
  backend.ShowWindow({400, 300}, {{400, 300}, {400, 300}});
  TInputEvent ev;
  while (backend.PollInput(ev)) {
  }
  SDL_Window* w = backend.Window();
  TPoint from;
  SDL_GetWindowPosition(w, &from.X, &from.Y);
  const auto position = [&] {
    TPoint p;
    SDL_GetWindowPosition(w, &p.X, &p.Y);
    return p;
  };
  // Input of the move: the mouse to a point from where the move began, a key, or a click.
  const auto mouseTo = [&](int dx, int dy) {
    SDL_WarpMouseGlobal(from.X + 100 + dx, from.Y + 10 + dy);
    SDL_Event m{};
    m.type = SDL_MOUSEMOTION;
    EXPECT_FALSE(backend.Translate(m));
  };
  const auto key = [&](SDL_Keycode k) {
    for (Uint32 type : {SDL_KEYDOWN, SDL_KEYUP}) {
      SDL_Event e{};
      e.type = type;
      e.key.keysym.sym = k;
      EXPECT_FALSE(backend.Translate(e)) << k;
    }
  };
  const auto click = [&] {
    for (Uint32 type : {SDL_MOUSEBUTTONDOWN, SDL_MOUSEBUTTONUP}) {
      SDL_Event e{};
      e.type = type;
      e.button.button = SDL_BUTTON_LEFT;
      EXPECT_FALSE(backend.Translate(e));
    }
  };
  struct TCase {
    const char* how;
    std::function<void()> act;
    TPoint at;  // where the window ends, from where it began
  } cases[] = {
      {"mouse, arrows, Escape",
       [&] {
         mouseTo(30, 20);
         EXPECT_EQ(position(), (TPoint{from.X + 30, from.Y + 20}));
         key(SDLK_RIGHT);
         key(SDLK_UP);
         EXPECT_EQ(position(), (TPoint{from.X + 38, from.Y + 12}));
         EXPECT_TRUE(backend.MovingWindow());
         key(SDLK_ESCAPE);
       },
       {0, 0}},
      {"mouse, Enter",
       [&] {
         mouseTo(50, -10);
         key(SDLK_a);  // other keys are the move's and do nothing
         key(SDLK_RETURN);
       },
       {50, -10}},
      {"mouse, click",
       [&] {
         mouseTo(-20, 5);
         click();
       },
       {-20, 5}},
  };
  for (const TCase& c : cases) {
    SDL_SetWindowPosition(w, from.X, from.Y);
    SDL_WarpMouseGlobal(from.X + 100, from.Y + 10);
    while (backend.PollInput(ev)) {
    }
    backend.StartWindowMove();
    ASSERT_TRUE(backend.MovingWindow()) << c.how;
    c.act();
    EXPECT_FALSE(backend.MovingWindow()) << c.how;
    EXPECT_EQ(position(), (TPoint{from.X + c.at.X, from.Y + c.at.Y})) << c.how;
    // After the move, the mouse no longer moves the window and its input is the program's again.
    SDL_WarpMouseGlobal(from.X + 170, from.Y + 80);
    SDL_Event motion{};
    motion.type = SDL_MOUSEMOTION;
    EXPECT_TRUE(backend.Translate(motion)) << c.how;
    EXPECT_EQ(position(), (TPoint{from.X + c.at.X, from.Y + c.at.Y})) << c.how;
    SDL_Event down{};
    down.type = SDL_MOUSEBUTTONDOWN;
    down.button.button = SDL_BUTTON_LEFT;
    EXPECT_TRUE(backend.Translate(down)) << c.how;
    down.type = SDL_MOUSEBUTTONUP;
    EXPECT_TRUE(backend.Translate(down)) << c.how;
    while (backend.PollInput(ev)) {
    }
  }
}

TEST_F(SdlTest, PresentUploadsOnlyTheDirtyPart) {
  TSdlOptions o;
  o.softwareRenderer = true;
  TSdlBackend backend(o);
  TPixmap screen(800, 600, 0x102030);
  backend.Present(screen, TRegion(TRect{0, 0, 800, 600}));
  // Change two areas but declare only one dirty: the other keeps its old pixels on the window.
  screen.Fill({10, 10, 20, 20}, 0xFF0000);
  screen.Fill({100, 100, 110, 110}, 0x00FF00);
  backend.Present(screen, TRegion(TRect{10, 10, 20, 20}));
  TPixmap shown;
  ASSERT_TRUE(backend.ReadScreen(shown));
  EXPECT_EQ(shown.Pixel(15, 15), 0xFF0000u);
  EXPECT_EQ(shown.Pixel(105, 105), 0x102030u);
  EXPECT_EQ(shown.Pixel(799, 599), 0x102030u);
  // Cursor shapes, warp and minimise reach the window without error.
  backend.SetCursor(TCursorShape::HourGlass);
  backend.SetCursor(TCursorShape::Hidden);
  EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_DISABLE);
  backend.SetCursor(TCursorShape::Arrow);
  EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_ENABLE);
  backend.WarpMouse({30, 40});
  backend.MinimizeApp();
}

TEST(SdlDisplay, UnopenableDisplayGivesAClearError) {
  const char* old = std::getenv("DISPLAY");
  const std::string saved = old ? old : "";
  setenv("DISPLAY", ":4999", 1);
  setenv("SDL_VIDEODRIVER", "x11", 1);
  try {
    TSdlBackend backend;
    ADD_FAILURE() << "a window opened on a display that does not exist";
  } catch (const EDisplayError& e) {
    const std::string msg = e.what();
    EXPECT_NE(msg.find("cannot open the display"), std::string::npos) << msg;
    EXPECT_NE(msg.find(":4999"), std::string::npos) << msg;
  }
  unsetenv("SDL_VIDEODRIVER");
  if (saved.empty())
    unsetenv("DISPLAY");
  else
    setenv("DISPLAY", saved.c_str(), 1);
}

TEST(SdlDisplay, NoDisplayAndNoDriverChosenIsAnErrorNotAnInvisibleWindow) {
  const char* names[] = {"DISPLAY", "WAYLAND_DISPLAY", "SDL_VIDEODRIVER"};
  std::vector<std::pair<std::string, std::string>> saved;
  for (const char* n : names)
    if (const char* v = std::getenv(n)) saved.emplace_back(n, v);
  for (const char* n : names) unsetenv(n);
  try {
    TSdlBackend backend;
    ADD_FAILURE() << "a window opened without a display";
  } catch (const EDisplayError& e) {
    EXPECT_NE(std::string(e.what()).find("no display"), std::string::npos) << e.what();
  }
  for (const auto& [n, v] : saved) setenv(n.c_str(), v.c_str(), 1);
}
