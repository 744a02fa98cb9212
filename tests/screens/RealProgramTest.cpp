// The built program in a scratch game folder of its own: a second copy ends at once with status
// 255, and without a display the program ends with status 1 and says why.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>

#include "platform/sys/NamedMutex.h"
#include "support/Scratch.h"

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
  // Runs the program with only the given variables besides its own folders; at most 30 s.
  TExit Run(std::vector<std::string> env) {
    env.push_back("XDG_RUNTIME_DIR=" + scratch_ / "runtime");
    env.push_back("XDG_CONFIG_HOME=" + scratch_ / "config");
    env.push_back("HOME=" + scratch_ / "home");
    if (const char* path = std::getenv("PATH")) env.push_back(std::string("PATH=") + path);
    std::vector<char*> envp;
    for (std::string& e : env) envp.push_back(e.data());
    envp.push_back(nullptr);
    const std::string errFile = scratch_ / "stderr.txt";
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 2, errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    std::string path = program_.string();
    char* argv[] = {path.data(), nullptr};
    pid_t pid = -1;
    TExit out;
    const int spawned = posix_spawn(&pid, path.c_str(), &actions, nullptr, argv, envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) return out;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
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
    std::ifstream in(errFile);
    out.err.assign(std::istreambuf_iterator<char>(in), {});
    return out;
  }
  test::TScratch scratch_{"program"};
  fs::path program_;
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

}  // namespace
}  // namespace vdmq
