// The setup program on the real services, in a scratch tree that stands for the user's home, the
// configuration, runtime and temporary folders and the installation medium: one install, one game
// start and one uninstall with stand-in programs, against the real registry file and lock files.
// And the built SETUP as a child process, refusing to run beside the game without any display.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <climits>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <thread>

#include "SetupSupport.h"
#include "platform/base/Sjis.h"
#include "platform/sys/Drives.h"
#include "platform/sys/Files.h"
#include "platform/sys/NamedMutex.h"
#include "platform/sys/PathMapper.h"
#include "platform/sys/Process.h"
#include "platform/sys/Registry.h"
#include "platform/sys/RegistryStore.h"
#include "platform/sys/Services.h"
#include "support/Scratch.h"

namespace vdmq::setup::test {
namespace {

namespace fs = std::filesystem;
constexpr const char* kProductKey = "Software\\NAVIRO Veldmark\\Veldmark Q Try";

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Environment variables set for the test's life, the old values back afterwards.
class TEnvironment {
 public:
  void Set(const std::string& name, const char* value) {
    const char* old = std::getenv(name.c_str());
    saved_.push_back({name, old ? std::optional<std::string>(old) : std::nullopt});
    if (value) {
      setenv(name.c_str(), value, 1);
    } else {
      unsetenv(name.c_str());
    }
  }
  ~TEnvironment() {
    for (auto it = saved_.rbegin(); it != saved_.rend(); ++it) {
      if (it->second) {
        setenv(it->first.c_str(), it->second->c_str(), 1);
      } else {
        unsetenv(it->first.c_str());
      }
    }
  }

 private:
  std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

// The real process service, but the program's own file is the one on the scratch medium.
class TMediumProcess : public TLinuxProcessService {
 public:
  explicit TMediumProcess(std::string gamePath) : file_(std::move(gamePath)) {}
  std::string ProgramFile() override { return file_; }

 private:
  std::string file_;
};

// What a stand-in recorded: its arguments and its current folder (waits for the record).
struct TRecord {
  std::vector<std::string> args;
  std::string cwd;
};
std::optional<TRecord> WaitForRecord(const std::string& path) {
  for (int i = 0; i < 1000 && !fs::exists(path); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  std::ifstream in(path);
  if (!in) return std::nullopt;
  TRecord r;
  for (std::string line; std::getline(in, line);) {
    if (line.rfind("arg ", 0) == 0) r.args.push_back(line.substr(4));
    if (line.rfind("cwd ", 0) == 0) r.cwd = line.substr(4);
  }
  return r;
}

void CopyStandIn(const std::string& to) {
  fs::create_directories(fs::path(to).parent_path());
  fs::copy_file(VDMQ_STANDIN, to, fs::copy_options::overwrite_existing);
  fs::permissions(to, fs::perms(0755));
}

}  // namespace

TEST(SetupRealServices, InstallsStartsTheGameAndUninstalls) {
  vdmq::test::TScratch scratch("setup-real");
  const std::string root = scratch.Path();
  for (const char* d : {"home/Desktop", "config", "runtime", "tmp", "records", "games"})
    fs::create_directories(root + "/" + d);
  chmod((root + "/runtime").c_str(), 0700);
  TEnvironment env;
  env.Set("HOME", (root + "/home").c_str());
  env.Set("XDG_CONFIG_HOME", (root + "/config").c_str());
  env.Set("XDG_DATA_HOME", nullptr);
  env.Set("XDG_RUNTIME_DIR", (root + "/runtime").c_str());
  env.Set("TMPDIR", (root + "/tmp").c_str());
  env.Set("VDMQ_STANDIN_RECORD", (root + "/records").c_str());
  // The medium: SETUP beside the installer folder, whose installer is named without ".exe".
  CopyStandIn(root + "/medium/SETUP");
  CopyStandIn(root + "/medium/qinst_t/inst");
  std::ofstream(root + "/medium/qinst_t/data.cab") << "cab";

  TFileRegistryStore registry(root + "/config/vdmq/registry");
  TLinuxMutexService mutexes(root + "/runtime/vdmq");
  TLinuxDriveTable drives;
  TLinuxFileService files;
  TMediumProcess process(TPathMapper(drives).Game(root + "/medium/SETUP"));
  const TSysServices previous = InstallSysServices({&registry, &mutexes, &drives, &files, &process, nullptr, nullptr});
  const fs::path oldFolder = fs::current_path();
  const std::string title = "ｳﾞｪﾙﾄﾞﾏﾙｸQ 体験版";

  {
    SCOPED_TRACE("install");
    TSetupRun run;
    run.Click("btnInst");
    EXPECT_EQ(run.Run(), 0);
    const auto inst = WaitForRecord(root + "/records/inst.txt");
    ASSERT_TRUE(inst);
    EXPECT_EQ(inst->args, std::vector<std::string>{root + "/tmp/qinst_t/inst"});
    EXPECT_EQ(inst->cwd, root + "/medium");
    EXPECT_EQ(ReadFile(root + "/tmp/qinst_t/temp.txt"), root + "/medium/SETUP");
    EXPECT_EQ(ReadFile(root + "/tmp/qinst_t/data.cab"), "cab");
    EXPECT_EQ(registry.ReadValue(kProductKey, "TempPath"), TRegValue::String(root + "/tmp/qinst_t/"));
    EXPECT_TRUE(fs::exists(root + "/runtime/vdmq/VDM_Q%20SETUP.lock"));
  }
  // What the installer would do: the game, its entries and "InstallPath".
  CopyStandIn(root + "/games/vdm_q_t/vdm_q_t");
  std::ofstream(root + "/games/vdm_q_t/INIT.DAT") << "data";
  std::ofstream(root + "/home/Desktop/" + title + ".lnk") << "[Desktop Entry]";
  fs::create_directories(root + "/home/.local/share/applications/" + title);
  std::ofstream(root + "/home/.local/share/applications/" + title + "/game.desktop") << "[Desktop Entry]";
  {
    TRegistry reg(registry);
    ASSERT_TRUE(reg.OpenKey(kProductKey, false));
    reg.WriteString("InstallPath", root + "/games/");
  }
  {
    SCOPED_TRACE("game start");
    TSetupRun run;
    run.Click("btnInst");
    EXPECT_EQ(run.Run(), 0);
    const auto game = WaitForRecord(root + "/records/vdm_q_t.txt");
    ASSERT_TRUE(game);
    // Started by its own name (what process lists show), with SETUP's path as its one argument.
    EXPECT_EQ(game->args, (std::vector<std::string>{root + "/games/vdm_q_t/vdm_q_t", root + "/medium/SETUP"}));
    EXPECT_EQ(game->cwd, root + "/medium");
    EXPECT_FALSE(fs::exists(root + "/tmp/qinst_t"));
    EXPECT_FALSE(registry.ReadValue(kProductKey, "TempPath"));
  }
  {
    SCOPED_TRACE("uninstall");
    TSetupRun run;
    run.Click("btnUnInst").Answer("OK").Answer("OK").Click("Button1");
    EXPECT_EQ(run.Run(), 0);
    EXPECT_FALSE(fs::exists(root + "/games/vdm_q_t"));
    EXPECT_TRUE(fs::exists(root + "/games"));
    EXPECT_FALSE(fs::exists(root + "/home/Desktop/" + title + ".lnk"));
    EXPECT_FALSE(fs::exists(root + "/home/.local/share/applications/" + title));
    EXPECT_EQ(ReadFile(root + "/config/vdmq/registry").find("Veldmark Q Try"), std::string::npos);
  }
  EMutexCreate created;
  EXPECT_NE(mutexes.Create("VDM_Q SETUP", &created), nullptr);  // released by every run
  InstallSysServices(previous);
  fs::current_path(oldFolder);
}

// The built SETUP refuses to run beside the game or another setup program before it asks for a
// display, and never touches the registry file then; without a display it says why.
TEST(SetupProgram, RefusesBesideTheGameWithStatus255AndNeedsADisplay) {
  vdmq::test::TScratch scratch("setup-child");
  const std::string root = scratch.Path();
  fs::create_directories(root + "/runtime");
  chmod((root + "/runtime").c_str(), 0700);
  const std::string registryFile = root + "/config/vdmq/registry";
  {
    TFileRegistryStore store(registryFile);
    TRegistry reg(store);
    ASSERT_TRUE(reg.OpenKey(kProductKey, true));
    reg.WriteString("InstallPath", "/nowhere/");
  }
  const std::string registryBytes = ReadFile(registryFile);
  TLinuxMutexService mutexes(root + "/runtime/vdmq");

  // Runs SETUP without DISPLAY or WAYLAND_DISPLAY; answers its exit status and what it wrote to stderr.
  const auto runSetup = [&](std::string& errors) {
    std::vector<std::string> envStrings = {"HOME=" + root, "XDG_CONFIG_HOME=" + root + "/config",
                                           "XDG_RUNTIME_DIR=" + root + "/runtime", "TMPDIR=" + root};
    std::vector<char*> envp;
    for (std::string& e : envStrings) envp.push_back(e.data());
    envp.push_back(nullptr);
    int pipeFds[2];
    if (pipe2(pipeFds, O_CLOEXEC) != 0) return -1000;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], 2);
    std::string program = VDMQ_SETUP_PROGRAM;
    char* argv[] = {program.data(), nullptr};
    pid_t pid = -1;
    const int rc = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv, envp.data());
    posix_spawn_file_actions_destroy(&actions);
    close(pipeFds[1]);
    if (rc != 0) {
      close(pipeFds[0]);
      return -1000;
    }
    char buf[256];
    for (ssize_t n; (n = read(pipeFds[0], buf, sizeof buf)) > 0;) errors.append(buf, static_cast<size_t>(n));
    close(pipeFds[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1000;
  };

  for (const char* held : {"VDM_Q GAME", "VDM_Q SETUP"}) {
    SCOPED_TRACE(held);
    EMutexCreate created;
    const auto handle = mutexes.Create(held, &created);
    ASSERT_EQ(created, EMutexCreate::Created);
    std::string errors;
    EXPECT_EQ(runSetup(errors), 255);
    EXPECT_EQ(errors, "");
    EXPECT_EQ(ReadFile(registryFile), registryBytes);
  }
  std::string errors;
  EXPECT_EQ(runSetup(errors), 1);
  EXPECT_NE(errors.find("DISPLAY"), std::string::npos) << errors;
  EXPECT_EQ(ReadFile(registryFile), registryBytes);
}

}  // namespace vdmq::setup::test
