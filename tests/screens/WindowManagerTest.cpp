// The built game as a desktop window under a window manager (openbox on virtual X servers of
// 1280 x 1024 and 1920 x 1080): the window carries no frame of the window manager's and shows the
// game's one caption; maximised by the window manager or by the game's own button it is the
// maximised main window, restored it is 800 x 600 again, it cannot be made smaller than the game,
// a drag of the caption moves it, and so does the move of the caption's menu, from the keyboard. What it shows is
// compared with the same game run headless on a stand-in window system.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <thread>

#include "ScreensTestSupport.h"
#include "formkit/Chbcbtn.h"
#include "platform/core/StdCtrls.h"
#include "platform/headless/PngFile.h"
#include "screens/F_save.h"
#include "screens/F_sysmes.h"
#include "screens/Main.h"
#include "support/Scratch.h"
#include "support/WindowManagerDisplay.h"

extern char** environ;

namespace vdmq {
namespace {

namespace fs = std::filesystem;
using testing::TWindowManagerDisplay;
using namespace std::chrono_literals;

// The folder the test started in (the headless runs make the game's folder current).
const fs::path kStartFolder = fs::current_path();

// What the same game shows headless on a stand-in window system of a 1280 x 1024 display, and where
// the real walk clicks: the start screen at the designed size and maximised, the line of a game
// saved at its first turn and OK, the notice that it was loaded and its OK, the map after loading
// it, and the map maximised by the main window's own button (which then restores it).
struct TLearned {
  TPixmap start, startMaximised, loaded, map, mapMaximised;
  TPoint slotLine, ok, loadedOk, maximise, restore;
  std::vector<std::pair<std::string, std::string>> saves;  // the saved game's files: name, bytes
};

const TLearned& Learned() {
  static const TLearned learned = [] {
    TLearned learnedNow;
    TLearned* l = &learnedNow;
    test::TGameRun run;
    {
      test::TScreenScript script;
      script.NewGameToFirstTurn().Then("", [](TForm*) { EXPECT_TRUE(test::SaveQuietly(0)); }).Quit();
      EXPECT_EQ(run.Run(script), 0);
      EXPECT_TRUE(script.Done());
    }
    for (const auto& e : fs::directory_iterator(run.folder.Native("save"))) {
      std::ifstream in(e.path(), std::ios::binary);
      l->saves.emplace_back(e.path().filename().string(), std::string(std::istreambuf_iterator<char>(in), {}));
    }
    const auto backend = []() -> THeadlessBackend& { return dynamic_cast<THeadlessBackend&>(App().Backend()); };
    const auto shot = [&] {
      App().ProcessMessages();
      App().PaintAndPresent();
      return backend().LastScreen();
    };
    const auto centre = [](const TRect& r) { return TPoint{(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2}; };
    test::TScreenScript script;
    script
        .Then(
            "TfmSave",
            [&](TForm* top) {
              l->start = shot();
              backend().WmMaximize();
              l->startMaximised = shot();
              backend().WmRestore();
              App().ProcessMessages();
              auto* save = dynamic_cast<TfmSave*>(top);
              l->slotLine = save->lbDat[0]->ClientToScreen({save->lbDat[0]->Width() / 2, save->lbDat[0]->Height() / 2});
              l->ok = save->btnOk->ClientToScreen({save->btnOk->Width() / 2, save->btnOk->Height() / 2});
              test::ChooseSlot(top, 0);
            })
        .Then("TfmSysMes",
              [&](TForm*) {
                l->loaded = shot();
                l->loadedOk =
                    fmSysMes->btnOk->ClientToScreen({fmSysMes->btnOk->Width() / 2, fmSysMes->btnOk->Height() / 2});
                test::AnswerSysMes(true);
              })
        .Then("",
              [&](TForm*) {
                l->map = shot();
                l->maximise = centre(fmMain->TitleBar().MaximizeButton().Rect);
                InjectMouse(TInputEvent::MouseDown, l->maximise);
                InjectMouse(TInputEvent::MouseUp, l->maximise);
                l->mapMaximised = shot();
                l->restore = centre(fmMain->TitleBar().MaximizeButton().Rect);
                backend().WmRestore();
                App().ProcessMessages();
              })
        .Quit();
    EXPECT_EQ(run.Run([&](THeadlessSession& s) {
      s.Backend.HostMainWindow({1280, 1024});
      s.Backend.Driver = [&script] { return script(); };
    }),
              0);
    EXPECT_TRUE(script.Done());
    return learnedNow;
  }();
  return learned;
}

class WindowManager : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* tool : {"xdotool", "wmctrl", "xprop", "xwininfo", "xwd"})
      if (!TWindowManagerDisplay::HaveTool(tool)) GTEST_SKIP() << tool << " is missing";
    for (const char* d : {"runtime", "config", "home", "game/save"}) fs::create_directories(scratch_ / d);
    fs::permissions(scratch_ / "runtime", fs::perms::owner_all, fs::perm_options::replace);
    fs::copy_file(VDMQ_GAME_PROGRAM, scratch_ / "game/vdm_q_t");
    for (const char* d : {"dat", "snd", "inter"})
      fs::copy(test::TGameFolder::DataSet() / d, scratch_ / ("game/" + std::string(d)), fs::copy_options::recursive);
    // The game saved at its first turn, which the start screen lists as the headless run did.
    ASSERT_FALSE(Learned().saves.empty());
    for (const auto& [name, bytes] : Learned().saves)
      std::ofstream(scratch_ / ("game/save/" + name), std::ios::binary) << bytes;
  }
  void TearDown() override {
    // The game first, then its display.
    if (game_ > 0) {
      kill(game_, SIGKILL);
      waitpid(game_, nullptr, 0);
    }
    display_.reset();
  }
  // Starts the game on the display; its window ("" when none came).
  std::string StartGame(const TWindowManagerDisplay& display) {
    std::vector<std::string> env = {display.DisplayVariable(), "SDL_AUDIODRIVER=dummy",
                                    "XDG_RUNTIME_DIR=" + scratch_ / "runtime", "XDG_CONFIG_HOME=" + scratch_ / "config",
                                    "HOME=" + scratch_ / "home"};
    if (const char* path = std::getenv("PATH")) env.push_back(std::string("PATH=") + path);
    // As in the other runs of the real program: its memory is checked, not its leaks.
    const char* asan = std::getenv("ASAN_OPTIONS");
    env.push_back(std::string("ASAN_OPTIONS=") + (asan != nullptr ? std::string(asan) + ":" : "") + "detect_leaks=0");
    if (const char* ubsan = std::getenv("UBSAN_OPTIONS")) env.push_back(std::string("UBSAN_OPTIONS=") + ubsan);
    std::vector<char*> envp;
    for (std::string& e : env) envp.push_back(e.data());
    envp.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    std::string path = scratch_ / "game/vdm_q_t";
    char* argv[] = {path.data(), nullptr};
    const int spawned = posix_spawn(&game_, path.c_str(), &actions, nullptr, argv, envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) return {};
    return display.WindowOf(game_, 60s);
  }
  // Keeps a picture for the reader of the test's output.
  static void Keep(const TPixmap& picture, const std::string& name) {
    const std::string file = (kStartFolder / ("window_manager_" + name + ".png")).string();
    SavePng(file, picture);
    std::printf("%s: %s\n", name.c_str(), file.c_str());
  }

  test::TScratch scratch_{"wm"};
  pid_t game_ = -1;
  std::unique_ptr<TWindowManagerDisplay> display_;
};

// Pixels that the pointer may light differently on the map (a cell under it, a button under it).
constexpr long kPointerMarks = 4000;

// Pixels that differ inside a rectangle (all of it when the pictures' sizes differ).
long DifferingIn(const TPixmap& a, const TPixmap& b, TRect r) {
  if (a.Width() != b.Width() || a.Height() != b.Height()) return static_cast<long>(r.Width()) * r.Height();
  long n = 0;
  for (int y = r.Top; y < r.Bottom; ++y)
    for (int x = r.Left; x < r.Right; ++x) n += a.Pixel(x, y) != b.Pixel(x, y);
  return n;
}

// Waits until the window shows the picture (at most that many pixels apart); the last picture.
TPixmap WaitForPicture(const TWindowManagerDisplay& display, const std::string& window, const TPixmap& want,
                       long slack = 0) {
  TPixmap now;
  TWindowManagerDisplay::WaitUntil([&] { return ComparePixmaps(now = display.Picture(window), want) <= slack; }, 60s);
  return now;
}

// The window's geometry once it is that size (or after the time limit).
TRect WaitForSize(const TWindowManagerDisplay& display, const std::string& window, TSize size) {
  TRect r;
  TWindowManagerDisplay::WaitUntil(
      [&] {
        r = display.Geometry(window);
        return r.Width() == size.cx && r.Height() == size.cy;
      },
      10s);
  return r;
}

TEST_F(WindowManager, OneFrameThatTheWindowManagerMovesMaximisesAndRestoresAndThatTheGameMaximises) {
  const TLearned& learned = Learned();
  ASSERT_FALSE(learned.start.Empty() || learned.startMaximised.Empty() || learned.map.Empty() ||
               learned.mapMaximised.Empty());
  display_ = std::make_unique<TWindowManagerDisplay>(TSize{1280, 1024});
  const TWindowManagerDisplay& display = *display_;
  if (!display.Ok()) GTEST_SKIP() << "no Xvfb or no openbox";
  const std::string window = StartGame(display);
  ASSERT_FALSE(window.empty()) << "no window";
  const auto xdo = [&](const std::string& what) { display.Run("xdotool " + what); };
  const auto clickAt = [&](TPoint p) {
    xdo("mousemove --window " + window + " " + std::to_string(p.X) + " " + std::to_string(p.Y) + " click 1");
  };
  const auto maximised = [&] {
    return display.Property(window, "_NET_WM_STATE").find("MAXIMIZED_HORZ") != std::string::npos;
  };

  // No frame of the window manager's: the window is the game's main window, centred on the screen,
  // and the screen above and beside it is the black root.
  EXPECT_EQ(display.Property(window, "_NET_FRAME_EXTENTS"), "0, 0, 0, 0");
  const TRect placed = WaitForSize(display, window, {800, 600});
  EXPECT_EQ(placed, Bounds(240, 212, 800, 600));
  const TPixmap start = WaitForPicture(display, window, learned.start);
  Keep(start, "start");
  EXPECT_EQ(ComparePixmaps(start, learned.start), 0) << "the game's one caption and frame, as drawn headless";
  const TPixmap root = display.Picture("root");
  ASSERT_EQ(root.Width(), 1280) << "no picture of the screen";
  long around = 0;
  for (int y = 0; y < root.Height(); ++y)
    for (int x = 0; x < root.Width(); ++x)
      if (!placed.Contains(x, y)) around += root.Pixel(x, y) != 0;
  EXPECT_EQ(around, 0) << "nothing drawn around the window";

  // A size below the game's is refused.
  display.Run("wmctrl -i -r " + window + " -e 0,-1,-1,600,400");
  std::this_thread::sleep_for(1s);
  EXPECT_EQ(display.Geometry(window), placed);

  // The caption dragged: the window moves by the drag.
  const TPoint grip{placed.Left + 300, placed.Top + 10};
  xdo("mousemove " + std::to_string(grip.X) + " " + std::to_string(grip.Y) + " mousedown 1 sleep 0.2 mousemove " +
      std::to_string(grip.X + 30) + " " + std::to_string(grip.Y + 20) + " sleep 0.2 mousemove " +
      std::to_string(grip.X + 60) + " " + std::to_string(grip.Y + 40) + " sleep 0.2 mouseup 1");
  TRect moved;
  EXPECT_TRUE(TWindowManagerDisplay::WaitUntil(
      [&] { return (moved = display.Geometry(window)) == placed.Offset(60, 40); }, 10s))
      << moved.Left << "," << moved.Top;

  // Maximised by the window manager: the main window fills the screen with the command bar along
  // the bottom and the minimap at its right end; restored: 800 x 600 again.
  display.Run("wmctrl -i -r " + window + " -b add,maximized_vert,maximized_horz");
  EXPECT_EQ(WaitForSize(display, window, {1280, 1024}), Bounds(0, 0, 1280, 1024));
  const TPixmap big = WaitForPicture(display, window, learned.startMaximised);
  Keep(big, "maximised");
  EXPECT_EQ(ComparePixmaps(big, learned.startMaximised), 0);
  display.Run("wmctrl -i -r " + window + " -b remove,maximized_vert,maximized_horz");
  EXPECT_EQ(WaitForSize(display, window, {800, 600}).Width(), 800);
  EXPECT_EQ(ComparePixmaps(WaitForPicture(display, window, learned.start), learned.start), 0);
  EXPECT_FALSE(maximised());

  // The saved game loaded: on the map the game's own maximise button maximises the window, and its
  // restore button restores it.
  clickAt(learned.slotLine);
  std::this_thread::sleep_for(300ms);
  clickAt(learned.ok);
  ASSERT_LE(ComparePixmaps(WaitForPicture(display, window, learned.loaded, kPointerMarks), learned.loaded),
            kPointerMarks)
      << "no notice of the loaded game";
  clickAt(learned.loadedOk);
  const TPixmap map = WaitForPicture(display, window, learned.map, kPointerMarks);
  Keep(map, "map");
  ASSERT_LE(ComparePixmaps(map, learned.map), kPointerMarks) << "not on the map";
  clickAt(learned.maximise);
  EXPECT_EQ(WaitForSize(display, window, {1280, 1024}), Bounds(0, 0, 1280, 1024));
  EXPECT_TRUE(maximised());
  const TPixmap mapBig = WaitForPicture(display, window, learned.mapMaximised, kPointerMarks);
  Keep(mapBig, "map_maximised");
  EXPECT_LE(ComparePixmaps(mapBig, learned.mapMaximised), kPointerMarks);
  // The caption exactly: the restore glyph on the maximise button.
  EXPECT_EQ(DifferingIn(mapBig, learned.mapMaximised, {0, 0, 1280, 23}), 0);
  clickAt(learned.restore);
  EXPECT_EQ(WaitForSize(display, window, {800, 600}).Width(), 800);
  EXPECT_FALSE(maximised());

  // The move of the caption's menu: the window manager moves the window from the keyboard, a step
  // each arrow the way it points, until Return; keys after that are the game's again.
  const TRect home = display.Geometry(window);
  const auto at = [](TPoint p) { return std::to_string(p.X) + " " + std::to_string(p.Y); };
  xdo("mousemove " + at({home.Left + 300, home.Top + 10}) + " click 3");
  std::this_thread::sleep_for(500ms);
  xdo("key m");
  std::this_thread::sleep_for(500ms);
  xdo("key --delay 100 Right Right Right Down Down");
  TRect stepped;
  EXPECT_TRUE(TWindowManagerDisplay::WaitUntil(
      [&] {
        stepped = display.Geometry(window);
        return stepped.Left > home.Left && stepped.Top > home.Top;
      },
      10s))
      << "the window did not move";
  std::this_thread::sleep_for(300ms);
  stepped = display.Geometry(window);
  const int dx = stepped.Left - home.Left, dy = stepped.Top - home.Top;
  EXPECT_EQ(dx * 2, dy * 3) << dx << "," << dy << ": three steps right, two down";
  EXPECT_EQ(stepped.Width(), 800);
  const TPixmap moving = display.Picture("root");
  EXPECT_EQ(moving.Width(), 1280) << "no picture of the screen";
  Keep(moving, "keyboard_move");
  xdo("key Return");
  std::this_thread::sleep_for(500ms);
  xdo("key --delay 100 Left Up");
  std::this_thread::sleep_for(500ms);
  EXPECT_EQ(display.Geometry(window), stepped) << "the move ended with Return";
  // The map as before, in the window's new place, and nothing drawn around it.
  const TPixmap afterMove = WaitForPicture(display, window, learned.map, kPointerMarks);
  EXPECT_LE(ComparePixmaps(afterMove, learned.map), kPointerMarks);
  const TPixmap rootAfter = display.Picture("root");
  ASSERT_EQ(rootAfter.Width(), 1280) << "no picture of the screen";
  long outside = 0;
  for (int y = 0; y < rootAfter.Height(); ++y)
    for (int x = 0; x < rootAfter.Width(); ++x)
      if (!stepped.Contains(x, y)) outside += rootAfter.Pixel(x, y) != 0;
  EXPECT_EQ(outside, 0) << "nothing drawn around the moved window";

  // A double click on the caption maximises: the window manager takes the first press (a move of
  // no distance), the game the second.
  const TRect now = display.Geometry(window);
  const TPoint caption{now.Left + 300, now.Top + 10};
  xdo("mousemove " + std::to_string(caption.X) + " " + std::to_string(caption.Y) +
      " mousedown 1 sleep 0.15 mouseup 1 sleep 0.1 mousedown 1 sleep 0.05 mouseup 1");
  EXPECT_EQ(WaitForSize(display, window, {1280, 1024}), Bounds(0, 0, 1280, 1024));
  EXPECT_TRUE(maximised());
}

TEST_F(WindowManager, OnAWideDisplayTheMaximisedWindowStopsAtTheGamesLargestSize) {
  const TLearned& learned = Learned();
  ASSERT_FALSE(learned.start.Empty() || learned.startMaximised.Empty());
  display_ = std::make_unique<TWindowManagerDisplay>(TSize{1920, 1080});
  const TWindowManagerDisplay& display = *display_;
  if (!display.Ok()) GTEST_SKIP() << "no Xvfb or no openbox";
  const std::string window = StartGame(display);
  ASSERT_FALSE(window.empty()) << "no window";
  EXPECT_EQ(WaitForSize(display, window, {800, 600}), Bounds(560, 240, 800, 600));
  EXPECT_EQ(ComparePixmaps(WaitForPicture(display, window, learned.start), learned.start), 0);
  display.Run("wmctrl -i -r " + window + " -b add,maximized_vert,maximized_horz");
  const TRect big = WaitForSize(display, window, {1280, 1024});
  EXPECT_EQ(big.Width(), 1280);
  EXPECT_EQ(big.Height(), 1024);
  EXPECT_TRUE(Intersect(big, {0, 0, 1920, 1080}) == big) << "on the screen";
  const TPixmap shown = WaitForPicture(display, window, learned.startMaximised);
  Keep(shown, "maximised_wide");
  EXPECT_EQ(ComparePixmaps(shown, learned.startMaximised), 0);
  display.Run("wmctrl -i -r " + window + " -b remove,maximized_vert,maximized_horz");
  EXPECT_EQ(WaitForSize(display, window, {800, 600}).Width(), 800);
}

}  // namespace
}  // namespace vdmq
