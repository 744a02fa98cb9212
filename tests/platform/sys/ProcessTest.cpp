#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <climits>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include "SysTestSupport.h"
#include "platform/base/Sjis.h"
#include "platform/sys/HelpViewer.h"
#include "platform/sys/PathMapper.h"
#include "platform/sys/Process.h"
#include "platform/sys/Services.h"

using namespace vdmq;
using vdmq::test::TScratch;

namespace {

// Waits (a bounded time) until a file has the given number of lines.
std::string WaitForFile(const std::string& path, size_t lines) {
  for (int i = 0; i < 400; ++i) {
    const std::string s = test::Read(path);
    if (static_cast<size_t>(std::count(s.begin(), s.end(), '\n')) >= lines) return s;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return test::Read(path);
}

void WriteScript(const std::string& path, const std::string& body) {
  test::Write(path, "#!/bin/sh\n" + body);
  chmod(path.c_str(), 0755);
}

}  // namespace

TEST(CommandLine, SplitsLikeTheWindowSystemsRuntime) {
  using V = std::vector<std::string>;
  EXPECT_EQ(SplitCommandLine(""), V{});
  EXPECT_EQ(SplitCommandLine("  a  b\tc "), (V{"a", "b", "c"}));
  EXPECT_EQ(SplitCommandLine("\"C:\\Program Files\\vdm_q_t\\SETUP.EXE\" x"),
            (V{"C:\\Program Files\\vdm_q_t\\SETUP.EXE", "x"}));
  EXPECT_EQ(SplitCommandLine("a\\\\\"b c\" d"), (V{"a\\b c", "d"}));  // 2n backslashes + quote
  EXPECT_EQ(SplitCommandLine("a\\\"b"), (V{"a\"b"}));                 // 2n+1 backslashes + quote
  EXPECT_EQ(SplitCommandLine("C:\\dir\\"), (V{"C:\\dir\\"}));         // plain backslashes stay
  EXPECT_EQ(SplitCommandLine("\"\""), (V{""}));
  // "ソ" ends with a backslash byte and "表" too: neither escapes the quote after it.
  EXPECT_EQ(SplitCommandLine(SJS("\"C:\\ソ\" 表")), (V{SJS("C:\\ソ"), SJS("表")}));
}

TEST(Process, StartsAProgramWithItsCommandLineAndNoHandlesOfOurs) {
  TScratch dir;
  const std::string out = dir / "out.txt";
  WriteScript(dir / "vdm_q_t", "for a in \"$@\"; do echo \"arg:$a\" >> '" + out +
                                   "'; done\n"
                                   "if [ -e /proc/$$/fd/42 ]; then echo fd42:open; else echo fd42:closed; fi >> '" +
                                   out +
                                   "'\n"
                                   "echo done >> '" +
                                   out + "'\n");
  // An open descriptor of ours that is not close-on-exec must not reach the child.
  const int devnull = open("/dev/null", O_RDONLY);
  ASSERT_GE(devnull, 0);
  const int leaked = dup2(devnull, 42);
  ASSERT_EQ(leaked, 42);
  close(devnull);
  TLinuxProcessService process;
  // The game's program is named with ".exe"; the file on disc has none.
  const std::string cmd = "\"C:\\Setup Folder\\SETUP.EXE\" second";
  ASSERT_TRUE(process.Start(GamePath(dir / "VDM_Q_T.EXE"), &cmd));
  const std::string s = WaitForFile(out, 4);
  close(leaked);
  // Every word of the command line is an argument (the program's own path comes before them).
  EXPECT_EQ(s, "arg:C:\\Setup Folder\\SETUP.EXE\narg:second\nfd42:closed\ndone\n");

  EXPECT_FALSE(process.Start(GamePath(dir / "missing.exe"), nullptr));
  test::Write(dir / "plain.txt", "not a program");
  EXPECT_FALSE(process.Start(GamePath(dir / "plain.txt"), nullptr));
}

// The children of this process that run the program at path, by their /proc entries: pid and the
// fields of the command line.
std::vector<std::pair<pid_t, std::vector<std::string>>> ChildrenRunning(const std::string& path) {
  std::vector<std::pair<pid_t, std::vector<std::string>>> found;
  for (const auto& e : std::filesystem::directory_iterator("/proc")) {
    const std::string name = e.path().filename().string();
    if (name.find_first_not_of("0123456789") != std::string::npos) continue;
    const std::string stat = test::Read(e.path() / "stat");
    const size_t close = stat.rfind(')');
    if (close == std::string::npos || std::atoi(stat.c_str() + close + 4) != getpid()) continue;
    std::error_code ec;
    if (std::filesystem::read_symlink(e.path() / "exe", ec) != path) continue;
    std::vector<std::string> fields;
    const std::string cmdline = test::Read(e.path() / "cmdline");
    for (size_t at = 0; at < cmdline.size();) {
      const size_t end = cmdline.find('\0', at);
      fields.push_back(cmdline.substr(at, end - at));
      at = end == std::string::npos ? cmdline.size() : end + 1;
    }
    found.push_back({static_cast<pid_t>(std::atoi(name.c_str())), fields});
  }
  return found;
}

TEST(Process, AStartedProgramIsListedByItsOwnName) {
  // A real program named like the game, started as the setup program starts it: its own path
  // first, then the command line's one argument.
  TScratch dir;
  const std::string game = dir / "vdm_q_t";
  std::filesystem::copy_file("/bin/sleep", game);
  TLinuxProcessService process;
  const std::string cmd = "30";
  ASSERT_TRUE(process.Start(GamePath(dir / "vdm_q_t.exe"), &cmd));
  std::vector<std::pair<pid_t, std::vector<std::string>>> children;
  // The command line reads empty while the new program is still being laid out by the kernel.
  for (int i = 0; i < 400 && (children.empty() || children[0].second.empty()); ++i) {
    children = ChildrenRunning(game);
    if (children.empty() || children[0].second.empty()) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  ASSERT_EQ(children.size(), 1u);
  EXPECT_EQ(children[0].second, (std::vector<std::string>{game, "30"}));
  kill(children[0].first, SIGKILL);
  waitpid(children[0].first, nullptr, 0);
}

TEST(Process, KnowsItsOwnFileAndMakesItsFolderCurrent) {
  TLinuxProcessService process;
  char exe[PATH_MAX];
  const ssize_t n = readlink("/proc/self/exe", exe, sizeof exe - 1);
  ASSERT_GT(n, 0);
  exe[n] = 0;
  const std::string file = process.ProgramFile();
  EXPECT_EQ(file.substr(0, 3), "C:\\");
  EXPECT_EQ(NativePath(file), exe);
  EXPECT_EQ(process.ProgramFolder().back(), '\\');
  char old[PATH_MAX];
  ASSERT_TRUE(getcwd(old, sizeof old));
  ASSERT_TRUE(process.MakeProgramFolderCurrent());
  char now[PATH_MAX];
  ASSERT_TRUE(getcwd(now, sizeof now));
  std::string folder = exe;
  folder.resize(folder.rfind('/'));
  EXPECT_EQ(std::string(now), folder);
  ASSERT_EQ(chdir(old), 0);
}

TEST(Process, TheFakeRecordsStartsAndMovesIntoTheSandbox) {
  TFakeSysServices fakes;
  fakes.WriteFile("C:\\Games\\vdm_q_t\\dat\\INIT.DAT", "init");
  fakes.process->SetProgramFile("C:\\Games\\vdm_q_t\\vdm_q_t.exe");
  EXPECT_EQ(fakes.process->ProgramFolder(), "C:\\Games\\vdm_q_t\\");
  ASSERT_TRUE(Sys().process->MakeProgramFolderCurrent());
  EXPECT_EQ(test::Read(NativePath(".\\dat\\INIT.DAT")), "init");
  const std::string cmd = "C:\\cd\\SETUP.EXE";
  Sys().process->Start("C:\\Games\\vdm_q_t\\vdm_q_t.exe", &cmd);
  Sys().process->Start("C:\\tmp\\qinst_t\\inst.exe", nullptr);
  ASSERT_EQ(fakes.process->starts.size(), 2u);
  EXPECT_EQ(fakes.process->starts[0].commandLine, cmd);
  EXPECT_FALSE(fakes.process->starts[1].hasCommandLine);
}

TEST(HelpViewer, FindsTheDocumentBesideTheHelpFileAndClosesWhatItStarted) {
  TScratch dir;
  test::Write(dir / "Q_HELP.HTML", "<p>help</p>");
  EXPECT_EQ(TLinuxHelpViewer::Document(GamePath(dir / "q_help.hlp")), dir / "Q_HELP.HTML");
  EXPECT_EQ(TLinuxHelpViewer::Document(GamePath(dir / "other.hlp")), "");

  const std::string log = dir / "viewer.log";
  WriteScript(dir / "viewer", "echo $$ > '" + log + ".pid'\necho \"open $1\" >> '" + log + "'\nexec sleep 30\n");
  const char* old = std::getenv("VDMQ_HELP_CMD");
  const std::string saved = old ? old : "";
  setenv("VDMQ_HELP_CMD", (dir / "viewer").c_str(), 1);
  {
    TLinuxHelpViewer help;
    EXPECT_FALSE(help.Contents(GamePath(dir / "other.hlp")));
    EXPECT_FALSE(help.Context(0));  // no help file for context topics: no viewer is started
    ASSERT_TRUE(help.Contents(GamePath(dir / "q_help.hlp")));
    EXPECT_EQ(WaitForFile(log, 1), "open " + dir / "Q_HELP.HTML" + "\n");
    EXPECT_TRUE(help.Contents(GamePath(dir / "q_help.hlp")));  // already shown: not a second viewer
    help.Quit();
    help.Quit();  // nothing left to close
  }
  EXPECT_EQ(test::Read(log), "open " + dir / "Q_HELP.HTML" + "\n");
  // The viewer was ended and collected: its process is gone.
  const pid_t viewer = std::atoi(test::Read(log + ".pid").c_str());
  ASSERT_GT(viewer, 0);
  EXPECT_NE(kill(viewer, 0), 0);
  if (old) {
    setenv("VDMQ_HELP_CMD", saved.c_str(), 1);
  } else {
    unsetenv("VDMQ_HELP_CMD");
  }
}
