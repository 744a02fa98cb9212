// The built SETUP as a desktop window under a window manager (openbox on a virtual X server): the
// window is exactly its dialog, centred, without a frame of the window manager's, and shows the
// dialog's one caption as the same dialog is drawn headless.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <chrono>
#include <filesystem>
#include <memory>

#include "SetupSupport.h"
#include "platform/core/Application.h"
#include "platform/headless/PngFile.h"
#include "setup/SetupForm.h"
#include "support/Scratch.h"
#include "support/WindowManagerDisplay.h"

namespace vdmq::setup::test {
namespace {

namespace fs = std::filesystem;
using testing::TWindowManagerDisplay;
using namespace std::chrono_literals;

TEST(SetupWindow, UnderAWindowManagerTheWindowIsExactlyTheDialogWithItsOneCaption) {
  for (const char* tool : {"xdotool", "xprop", "xwininfo", "xwd"})
    if (!TWindowManagerDisplay::HaveTool(tool)) GTEST_SKIP() << tool << " is missing";
  // The dialog drawn headless, for a game that is not installed.
  TPixmap dialog;
  {
    TSetupSandbox sandbox;
    sandbox.SetValue("InstallPath", "");
    TSetupRun run;
    run.Then([&] {
      App().PaintAndPresent();
      dialog = fmMain->Store();
      fmMain->Close();
    });
    EXPECT_EQ(run.Run(), 0);
  }
  ASSERT_EQ(dialog.Width(), 486);
  ASSERT_EQ(dialog.Height(), 345);

  vdmq::test::TScratch scratch("setup-window");
  for (const char* d : {"runtime", "config", "home"}) fs::create_directories(scratch / d);
  fs::permissions(scratch / "runtime", fs::perms::owner_all, fs::perm_options::replace);
  const auto display = std::make_unique<TWindowManagerDisplay>(TSize{1280, 1024});
  if (!display->Ok()) GTEST_SKIP() << "no Xvfb or no openbox";
  std::vector<std::string> env = {display->DisplayVariable(),
                                  "SDL_AUDIODRIVER=dummy",
                                  "XDG_RUNTIME_DIR=" + scratch / "runtime",
                                  "XDG_CONFIG_HOME=" + scratch / "config",
                                  "HOME=" + scratch / "home",
                                  "TMPDIR=" + scratch.Path()};
  const char* asan = std::getenv("ASAN_OPTIONS");
  env.push_back(std::string("ASAN_OPTIONS=") + (asan != nullptr ? std::string(asan) + ":" : "") + "detect_leaks=0");
  std::vector<char*> envp;
  for (std::string& e : env) envp.push_back(e.data());
  envp.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  std::string program = VDMQ_SETUP_PROGRAM;
  char* argv[] = {program.data(), nullptr};
  pid_t pid = -1;
  ASSERT_EQ(posix_spawn(&pid, program.c_str(), &actions, nullptr, argv, envp.data()), 0);
  posix_spawn_file_actions_destroy(&actions);
  struct TEnd {
    pid_t pid;
    ~TEnd() {
      kill(pid, SIGKILL);
      waitpid(pid, nullptr, 0);
    }
  } end{pid};

  const std::string window = display->WindowOf(pid, 60s);
  ASSERT_FALSE(window.empty()) << "no window";
  const TRect placed = Bounds((1280 - 486) / 2, (1024 - 345) / 2, 486, 345);
  TRect at;
  EXPECT_TRUE(TWindowManagerDisplay::WaitUntil([&] { return (at = display->Geometry(window)) == placed; }, 10s))
      << at.Left << "," << at.Top << " " << at.Width() << "x" << at.Height();
  EXPECT_EQ(display->Property(window, "_NET_FRAME_EXTENTS"), "0, 0, 0, 0");
  TPixmap shown;
  TWindowManagerDisplay::WaitUntil([&] { return ComparePixmaps(shown = display->Picture(window), dialog) == 0; }, 30s);
  const std::string file = (fs::current_path() / "setup_window.png").string();
  SavePng(file, shown);
  std::printf("setup window: %s\n", file.c_str());
  EXPECT_EQ(ComparePixmaps(shown, dialog), 0);
  // Nothing drawn around it: the root stays black.
  const TPixmap root = display->Picture("root");
  long around = 0;
  for (int y = 0; y < root.Height(); ++y)
    for (int x = 0; x < root.Width(); ++x)
      if (!placed.Contains(x, y)) around += root.Pixel(x, y) != 0;
  EXPECT_EQ(around, 0);
}

}  // namespace
}  // namespace vdmq::setup::test
