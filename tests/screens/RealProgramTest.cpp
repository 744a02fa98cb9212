// The built program in a scratch game folder of its own: a second copy ends at once with status
// 255, without a display the program ends with status 1 and says why, and under a virtual X server
// it is played with real pointer and key events from the start screen to the map, through the
// system menu, to the quit question of the close button; and SIGTERM ends it in order at the start
// screen, on the map and in a battle.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <optional>
#include <thread>

#include "BattleWalk.h"
#include "ScreensTestSupport.h"
#include "battle/F_btmain.h"
#include "formkit/Chbcbtn.h"
#include "platform/core/StdCtrls.h"
#include "platform/headless/PngFile.h"
#include "platform/sys/NamedMutex.h"
#include "platform/sys/Registry.h"
#include "platform/sys/RegistryStore.h"
#include "screens/F_evmes.h"
#include "screens/F_sysmes.h"
#include "screens/Main.h"
#include "support/Golden.h"
#include "support/GoldenArchive.h"
#include "support/Scratch.h"
#include "support/VirtualDisplay.h"
#include "support/WindowManagerDisplay.h"

extern char** environ;

namespace vdmq {
namespace {

namespace fs = std::filesystem;

struct TExit {
  int status = -1000;  // the exit status, or -1000 when the program did not end in time
  std::string err;
};

class RealProgram : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(scratch_ / "game");
    for (const char* d : {"runtime", "config", "home"}) fs::create_directories(scratch_ / d);
    fs::permissions(scratch_ / "runtime", fs::perms::owner_all, fs::perm_options::replace);
    program_ = scratch_ / "game/vdm_q_t";
    fs::copy_file(VDMQ_GAME_PROGRAM, program_);
    unsetenv("DISPLAY");
    unsetenv("WAYLAND_DISPLAY");
  }
  // Starts the program with only the given variables besides its own folders; -1 when it cannot.
  pid_t Spawn(std::vector<std::string> env) {
    env.push_back("XDG_RUNTIME_DIR=" + scratch_ / "runtime");
    env.push_back("XDG_CONFIG_HOME=" + scratch_ / "config");
    env.push_back("HOME=" + scratch_ / "home");
    if (const char* path = std::getenv("PATH")) env.push_back(std::string("PATH=") + path);
    // The sanitizer build checks the program's memory and arithmetic as it checks the tests', but
    // not its leaks: SDL unloads the X, GL, audio and message-bus libraries at its end, and what they
    // keep for the life of the process is then left without a library name to set it aside by. The
    // game's own leaks are checked in-process by the tests that play it headless.
    if (const char* value = std::getenv("UBSAN_OPTIONS")) env.push_back(std::string("UBSAN_OPTIONS=") + value);
    const char* asan = std::getenv("ASAN_OPTIONS");
    env.push_back(std::string("ASAN_OPTIONS=") + (asan != nullptr ? std::string(asan) + ":" : "") + "detect_leaks=0");
    std::vector<char*> envp;
    for (std::string& e : env) envp.push_back(e.data());
    envp.push_back(nullptr);
    const std::string errFile = scratch_ / ("stderr" + std::to_string(spawned_++) + ".txt");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 2, errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    std::string path = program_.string();
    char* argv[] = {path.data(), nullptr};
    pid_t pid = -1;
    const int spawned = posix_spawn(&pid, path.c_str(), &actions, nullptr, argv, envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) return -1;
    errOf_[pid] = errFile;
    return pid;
  }
  // Waits at most the given time for the program to end (killed after it).
  TExit Wait(pid_t pid, std::chrono::seconds limit = std::chrono::seconds(30)) {
    TExit out;
    if (pid <= 0) return out;
    const auto deadline = std::chrono::steady_clock::now() + limit;
    int status = 0;
    while (waitpid(pid, &status, WNOHANG) == 0) {
      if (std::chrono::steady_clock::now() > deadline) {
        kill(pid, SIGKILL);
        waitpid(pid, &status, 0);
        return out;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    if (WIFEXITED(status)) out.status = WEXITSTATUS(status);
    std::ifstream in(errOf_[pid]);
    out.err.assign(std::istreambuf_iterator<char>(in), {});
    return out;
  }
  // Runs the program to its end, at most 30 s.
  TExit Run(std::vector<std::string> env) { return Wait(Spawn(std::move(env))); }
  test::TScratch scratch_{"program"};
  fs::path program_;
  int spawned_ = 0;
  std::map<pid_t, std::string> errOf_;
};

TEST_F(RealProgram, ASecondCopyEndsAtOnceWithStatus255) {
  // The lock as the program makes it under the same runtime folder.
  setenv("XDG_RUNTIME_DIR", (scratch_ / "runtime").c_str(), 1);
  TLinuxMutexService mutexes;
  EMutexCreate created = EMutexCreate::Failed;
  const auto lock = mutexes.Create("VDM_Q GAME", &created);
  ASSERT_EQ(created, EMutexCreate::Created);
  const auto start = std::chrono::steady_clock::now();
  const TExit e = Run({});
  EXPECT_EQ(e.status, 255) << e.err;
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
}

TEST_F(RealProgram, WithoutADisplayItEndsWithStatusOneAndSaysWhy) {
  const TExit e = Run({"SDL_VIDEODRIVER=x11", "SDL_AUDIODRIVER=dummy"});
  EXPECT_EQ(e.status, 1) << e.err;
  EXPECT_NE(e.err.find("display"), std::string::npos) << e.err;
}

// --- the real window under a virtual X server ---

// One thing the player does in the real window: a click at a point of the 800 x 600 screen, the
// space key, a click on a movie once it may be skipped, or a click on the main window's close
// button.
struct TAction {
  enum EKind { Click, Space, MovieClick, Close } kind = Click;
  TPoint at;
  std::string on;  // the form on top, for the report
  TPixmap screen;  // the screen before the action, kept where the real walk waits for it
};

// The walk learned headless on the same layout and data: New Game, the opening movie, the boxes
// and dialogue pages up to the map, the system menu opened and closed, and the quit question. The
// screens of the start, the map, the menu and the quit question are kept: the real walk waits for
// each before it acts (input sent earlier would go to the screen still shown, such as the movie).
struct TPlan {
  std::vector<TAction> actions;
  size_t menuAt = 0;  // the first action after the map is reached
  TPixmap start, map;
};

TPlan LearnTheWalk() {
  TPlan plan;
  test::TGameRun run;
  int pages = 0;
  bool menuSeen = false, quitting = false;
  const auto centre = [](TControl* c) { return c->ClientToScreen({c->Width() / 2, c->Height() / 2}); };
  run.Run([&](THeadlessSession& s) {
    s.Backend.Driver = [&]() -> bool {
      TForm* top = TopModal();
      const std::string cls = top ? top->ClassName() : "";
      TAction a;
      a.on = cls.empty() ? "the map" : cls;
      TControl* target = nullptr;
      if (cls == "TfmSave") {
        App().PaintAndPresent();
        plan.start = s.Backend.LastScreen();
        target = Find<TControl>(top, "btnNewGame");
      } else if (cls == "TfmAvi") {
        // Headless the movie plays to its end; the real walk skips it with one click.
        a.kind = TAction::MovieClick;
        a.at = centre(Find<TControl>(top, "plAvi"));
        if (plan.actions.empty() || plan.actions.back().kind != TAction::MovieClick) plan.actions.push_back(a);
        return false;
      } else if (cls == "TfmSysMes") {
        if (quitting) {
          App().PaintAndPresent();
          a.screen = s.Backend.LastScreen();
        }
        target = fmSysMes->btnOk;
      } else if (cls == "TfmEventMes") {
        // Pages turn by the space key, every third by a click on the text.
        if (pages++ % 3 == 2) target = fmEventMes->imgText;
      } else if (cls == "TfmSys") {
        App().PaintAndPresent();
        a.screen = s.Backend.LastScreen();
        target = Find<TControl>(top, "btnClose");
      } else if (cls.empty() && !menuSeen) {
        menuSeen = true;
        App().PaintAndPresent();
        plan.map = s.Backend.LastScreen();
        plan.menuAt = plan.actions.size();
        target = fmMain->btnSave;
      } else if (cls.empty() && !quitting) {
        // The close button of the main window's caption.
        quitting = true;
        a.kind = TAction::Close;
        const TRect r = fmMain->TitleBar().CloseButton().Rect;
        a.at = {fmMain->Left() + (r.Left + r.Right) / 2, fmMain->Top() + (r.Top + r.Bottom) / 2};
        plan.actions.push_back(a);
        for (const auto kind : {TInputEvent::MouseMove, TInputEvent::MouseDown, TInputEvent::MouseUp})
          InjectMouse(kind, a.at);
        return true;
      } else {
        ADD_FAILURE() << "the walk met " << a.on;
        return false;
      }
      if (target == nullptr) {
        a.kind = TAction::Space;
        test::AdvanceEventMes();
      } else {
        a.at = centre(target);
        Click(target, mbLeft, false);
      }
      plan.actions.push_back(a);
      return true;
    };
  });
  return plan;
}

// Runs a command under the test's display; its standard output.
std::string Shell(const std::string& command) {
  std::string out;
  if (FILE* p = popen(command.c_str(), "r")) {
    char buf[4096];
    size_t n = 0;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
    pclose(p);
  }
  return out;
}

bool HaveTool(const char* name) { return !Shell(std::string("command -v ") + name + " 2>/dev/null").empty(); }

// The first window of a process that is mapped, or "" after the time limit.
std::string WindowOf(pid_t pid, std::chrono::seconds limit) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  while (std::chrono::steady_clock::now() < deadline) {
    std::string id = Shell("xdotool search --onlyvisible --pid " + std::to_string(pid) + " 2>/dev/null");
    if (const size_t nl = id.find('\n'); nl != std::string::npos) id.resize(nl);
    if (!id.empty()) return id;
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  return {};
}

// A window's picture through xwd, as 0x00RRGGBB pixels; empty when it cannot be read.
TPixmap Screenshot(const std::string& window) {
  return testing::TWindowManagerDisplay::XwdPicture(Shell("xwd -silent -id " + window + " 2>/dev/null"));
}

// Waits until the window shows the wanted picture; the last picture taken.
TPixmap WaitForPicture(const std::string& window, const TPixmap& want, std::chrono::seconds limit) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  TPixmap now = Screenshot(window);
  while (ComparePixmaps(now, want) != 0 && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    now = Screenshot(window);
  }
  return now;
}

// Pixels that differ inside a rectangle.
long DifferingIn(const TPixmap& a, const TPixmap& b, TRect r) {
  long n = 0;
  for (int y = r.Top; y < r.Bottom; ++y)
    for (int x = r.Left; x < r.Right; ++x) n += a.Pixel(x, y) != b.Pixel(x, y);
  return n;
}

TEST_F(RealProgram, PlaysInTheRealWindowFromTheStartScreenToTheQuitQuestion) {
  if (!testing::TVirtualDisplay::Ensure()) GTEST_SKIP() << "no X display and no Xvfb";
  if (!HaveTool("xdotool") || !HaveTool("xwd")) GTEST_SKIP() << "xdotool or xwd is missing";
  const TPlan plan = LearnTheWalk();
  ASSERT_FALSE(plan.start.Empty());
  ASSERT_FALSE(plan.map.Empty());
  ASSERT_GT(plan.menuAt, 0u);
  ASSERT_FALSE(plan.actions.empty());
  ASSERT_EQ(plan.actions.back().on, "TfmSysMes");
  // The game folder: the data set beside the program.
  for (const char* d : {"dat", "snd", "inter"})
    if (fs::exists(test::TGameFolder::DataSet() / d))
      fs::copy(test::TGameFolder::DataSet() / d, scratch_ / ("game/" + std::string(d)), fs::copy_options::recursive);
  fs::create_directories(scratch_ / "game/save");
  const std::string display = std::string("DISPLAY=") + std::getenv("DISPLAY");
  const std::vector<std::string> env = {display, "SDL_AUDIODRIVER=dummy"};
  const pid_t game = Spawn(env);
  ASSERT_GT(game, 0);
  const std::string window = WindowOf(game, std::chrono::seconds(30));
  if (window.empty()) {
    kill(game, SIGKILL);
    FAIL() << "no window: " << Wait(game).err;
  }
  Shell("xdotool windowfocus " + window + " 2>/dev/null");
  const auto xdo = [&](const std::string& what) { Shell("xdotool " + what + " 2>/dev/null"); };

  // The start screen, as the headless run drew it.
  const TPixmap start = WaitForPicture(window, plan.start, std::chrono::seconds(60));
  const std::string startFile = fs::absolute("real_window_start.png").string();
  ASSERT_FALSE(start.Empty());
  SavePng(startFile, start);
  std::printf("start screen: %s\n", startFile.c_str());
  EXPECT_EQ(ComparePixmaps(start, plan.start), 0) << startFile;
  if (test::IsGoldenArchive()) {
    EXPECT_TRUE(test::MatchesGolden(start, "screens", "start_screen"));
  }

  const auto click = [&](const TAction& a) {
    xdo("mousemove --window " + window + " " + std::to_string(a.at.X) + " " + std::to_string(a.at.Y) + " click 1");
  };
  // The movie window is black in the corner where the main window has its caption.
  const auto movieShown = [&] { return Screenshot(window).Pixel(10, 10) == 0; };
  const auto waitUntil = [](const std::function<bool()>& done, std::chrono::seconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!done() && std::chrono::steady_clock::now() < deadline)
      std::this_thread::sleep_for(std::chrono::milliseconds(200));
    return done();
  };

  // Up to the map: every action as the headless run did it; the movie is skipped once it may be.
  for (size_t i = 0; i < plan.menuAt; ++i) {
    const TAction& a = plan.actions[i];
    if (a.kind == TAction::MovieClick) {
      ASSERT_TRUE(waitUntil(movieShown, std::chrono::seconds(60))) << "no movie";
      // 15 frames a second: frame 90 comes after 6 s (later on a busy machine), and clicks before
      // it are ignored; a click every 0.6 s, a little apart so that no two make a double click.
      std::this_thread::sleep_for(std::chrono::milliseconds(6500));
      for (int n = 0; movieShown() && n < 40; ++n) {
        TAction at = a;
        at.at.X += n % 2 ? 12 : -12;
        click(at);
        std::this_thread::sleep_for(std::chrono::milliseconds(600));
      }
      EXPECT_FALSE(movieShown());
      continue;
    }
    if (a.kind == TAction::Space)
      xdo("key --window " + window + " space");
    else
      click(a);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
  }
  // The map as the headless run showed it (the pointer may light a cell differently).
  constexpr long kPointerMarks = 4000;
  const TRect whole{0, 0, 800, 600};
  TPixmap map;
  EXPECT_TRUE(waitUntil([&] { return DifferingIn(map = Screenshot(window), plan.map, whole) < kPointerMarks; },
                        std::chrono::seconds(120)));
  // Waits until the window shows a screen of the headless walk.
  const auto shows = [&](const TPixmap& screen) {
    return waitUntil([&] { return DifferingIn(Screenshot(window), screen, whole) < kPointerMarks; },
                     std::chrono::seconds(60));
  };
  const std::string mapFile = fs::absolute("real_window_map.png").string();
  ASSERT_FALSE(map.Empty());
  SavePng(mapFile, map);
  std::printf("map: %s\n", mapFile.c_str());
  EXPECT_GT(DifferingIn(map, start, {0, 0, 800, 453}), 800 * 453 / 4) << mapFile;

  // The system menu opened with "システム" and closed with "戻る": the options are written.
  size_t at = plan.menuAt;
  for (; at < plan.actions.size() && plan.actions[at].kind != TAction::Close; ++at) {
    const TAction& a = plan.actions[at];
    EXPECT_TRUE(a.screen.Empty() || shows(a.screen)) << a.on;
    click(a);
  }
  EXPECT_TRUE(shows(plan.map));
  std::ifstream registryFile(scratch_ / "config/vdmq/registry");
  const std::string registry((std::istreambuf_iterator<char>(registryFile)), {});
  for (const char* option : {"BGM", "PCM", "TURN_MES"}) EXPECT_NE(registry.find(option), std::string::npos) << registry;

  // A second copy meanwhile ends at once and opens no window.
  const pid_t second = Spawn(env);
  EXPECT_EQ(Wait(second).status, 255);
  EXPECT_EQ(WindowOf(second, std::chrono::seconds(1)), "");

  // The main window's close button and the quit question answered OK.
  click(plan.actions[at]);
  for (++at; at < plan.actions.size(); ++at) {
    const TAction& a = plan.actions[at];
    EXPECT_TRUE(a.screen.Empty() || shows(a.screen)) << a.on;
    click(a);
  }
  const TExit end = Wait(game, std::chrono::seconds(30));
  EXPECT_EQ(end.status, 0) << end.err;
}

// The walk into a battle, learned headless with the battle window: a saved game prepared on the
// start screen's world (that run ends by a termination signal), then, from the start screen that
// lists it, every click with the screen it waits for, up to the battle window.
struct TBattlePlan {
  std::string save;  // the saved game's bytes
  std::vector<TAction> actions;
  size_t mapAt = 0;  // the first action on the map
  TPixmap battle;
};

TBattlePlan LearnTheBattleWalk() {
  TBattlePlan plan;
  InstallBattleWindow();
  test::TBattleCells cells;
  const char* slot0 = "C:\\vdmq\\save\\SAVE00.DAT";
  {
    test::TGameRun run;
    test::TScreenScript script;
    script.Then("TfmSave", [&](TForm*) {
      cells = test::PrepareBattleSave(0);
      raise(SIGTERM);
    });
    EXPECT_EQ(run.Run(script), 0);
    std::ifstream in(run.folder.sys.Native(slot0), std::ios::binary);
    plan.save.assign(std::istreambuf_iterator<char>(in), {});
  }
  test::TGameRun run;
  run.folder.sys.WriteFile(slot0, plan.save);
  test::TScreenScript script;
  const auto screen = [&run] {
    App().PaintAndPresent();
    return run.Session()->Backend.LastScreen();
  };
  test::WalkIntoBattle(script, 0, false, cells, [&](TControl* c, TPoint p, bool process) {
    TAction a;
    a.at = c->ClientToScreen(p);
    a.on = TopModal() != nullptr ? TopModal()->ClassName() : "the map";
    a.screen = screen();
    if (a.on == "the map" && plan.mapAt == 0) plan.mapAt = plan.actions.size();
    plan.actions.push_back(a);
    ClickAt(c, p.X, p.Y, mbLeft, process);
  });
  script.Then("TfmBtMain", [&](TForm*) {
    plan.battle = screen();
    raise(SIGTERM);
  });
  EXPECT_EQ(run.Run(script), 0);
  EXPECT_TRUE(script.Done());
  SetScreensHostMaker(nullptr);
  SetBattleWindowCreator(nullptr);
  return plan;
}

// SIGTERM at the start screen, on the map and during a battle: each time the game ends within 2 s
// with status 0, the options file keeps the player's options, and the next run starts normally (the
// lock went with the game).
TEST_F(RealProgram, ATerminationSignalEndsItInOrderAtTheStartScreenOnTheMapAndInABattle) {
  if (!testing::TVirtualDisplay::Ensure()) GTEST_SKIP() << "no X display and no Xvfb";
  if (!HaveTool("xdotool") || !HaveTool("xwd")) GTEST_SKIP() << "xdotool or xwd is missing";
  const TBattlePlan plan = LearnTheBattleWalk();
  ASSERT_FALSE(plan.save.empty());
  ASSERT_GT(plan.mapAt, 0u);
  ASSERT_FALSE(plan.battle.Empty());
  for (const char* d : {"dat", "snd", "inter"})
    if (fs::exists(test::TGameFolder::DataSet() / d))
      fs::copy(test::TGameFolder::DataSet() / d, scratch_ / ("game/" + std::string(d)), fs::copy_options::recursive);
  fs::create_directories(scratch_ / "game/save");
  std::ofstream(scratch_ / "game/save/SAVE00.DAT", std::ios::binary) << plan.save;
  // The player's options, which every end must keep.
  const std::string registryFile = scratch_ / "config/vdmq/registry";
  const std::map<std::string, int> options = {{"BGM", 0}, {"PCM", 1}, {"TURN_MES", 0}};
  const char* optionKey = "SOFTWARE\\NAVIRO Veldmark\\Veldmark Q Try\\system";
  {
    TFileRegistryStore store(registryFile);
    TRegistry reg(store);
    ASSERT_TRUE(reg.OpenKey(optionKey, true));
    for (const auto& [name, value] : options) reg.WriteInteger(name, value);
  }
  const std::vector<std::string> env = {std::string("DISPLAY=") + std::getenv("DISPLAY"), "SDL_AUDIODRIVER=dummy"};
  constexpr long kPointerMarks = 4000;
  const TRect whole{0, 0, 800, 600};
  const auto waitUntil = [](const std::function<bool()>& done, std::chrono::seconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!done() && std::chrono::steady_clock::now() < deadline)
      std::this_thread::sleep_for(std::chrono::milliseconds(200));
    return done();
  };

  // Starts the game, makes the first `actions` clicks of the walk, waits until the window shows
  // what `ready` looks for, then sends SIGTERM.
  const auto endAt = [&](const char* where, size_t actions, const std::function<bool(const TPixmap&)>& ready) {
    SCOPED_TRACE(where);
    const pid_t game = Spawn(env);
    ASSERT_GT(game, 0);
    const std::string window = WindowOf(game, std::chrono::seconds(30));
    if (window.empty()) {
      kill(game, SIGKILL);
      FAIL() << "no window: " << Wait(game).err;
    }
    Shell("xdotool windowfocus " + window + " 2>/dev/null");
    for (size_t i = 0; i < actions; ++i) {
      const TAction& a = plan.actions[i];
      EXPECT_TRUE(waitUntil([&] { return DifferingIn(Screenshot(window), a.screen, whole) < kPointerMarks; },
                            std::chrono::seconds(60)))
          << "before the click on " << a.on;
      Shell("xdotool mousemove --window " + window + " " + std::to_string(a.at.X) + " " + std::to_string(a.at.Y) +
            " click 1 2>/dev/null");
    }
    TPixmap shown;
    EXPECT_TRUE(waitUntil([&] { return ready(shown = Screenshot(window)); }, std::chrono::seconds(60)));
    const std::string file = fs::absolute(std::string("real_window_end_") + where + ".png").string();
    if (!shown.Empty()) SavePng(file, shown);
    const auto sent = std::chrono::steady_clock::now();
    kill(game, SIGTERM);
    const TExit end = Wait(game, std::chrono::seconds(10));
    const auto took = std::chrono::steady_clock::now() - sent;
    EXPECT_EQ(end.status, 0) << end.err;
    EXPECT_LT(took, std::chrono::seconds(2));
    std::printf("%s: ended %lld ms after SIGTERM (%s)\n", where,
                static_cast<long long>(std::chrono::duration_cast<std::chrono::milliseconds>(took).count()),
                file.c_str());
    TFileRegistryStore store(registryFile);
    for (const auto& [name, value] : options)
      EXPECT_EQ(store.ReadValue(optionKey, name), std::optional(TRegValue::Integer(value))) << name;
  };
  const auto shows = [&](const TPixmap& want) {
    return [&want, &whole](const TPixmap& now) { return DifferingIn(now, want, whole) < kPointerMarks; };
  };
  endAt("start_screen", 0, shows(plan.actions.front().screen));
  endAt("map", plan.mapAt, shows(plan.actions[plan.mapAt].screen));
  // The battle window's caption and frame top (the battle runs on in real time below them).
  endAt("battle", plan.actions.size(), [&](const TPixmap& now) {
    return DifferingIn(now, plan.battle, {0, 0, 800, 22}) < 50;
  });
  setenv("XDG_RUNTIME_DIR", (scratch_ / "runtime").c_str(), 1);
  EMutexCreate created = EMutexCreate::Failed;
  EXPECT_NE(TLinuxMutexService().Create("VDM_Q GAME", &created), nullptr);
}

}  // namespace
}  // namespace vdmq
