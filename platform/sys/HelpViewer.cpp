#include "platform/sys/HelpViewer.h"

#include <dirent.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <time.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

#include "platform/sys/PathMapper.h"
#include "platform/sys/Process.h"

extern char** environ;

namespace vdmq {

TLinuxHelpViewer::~TLinuxHelpViewer() { Quit(); }

std::string TLinuxHelpViewer::Document(std::string_view helpFile) {
  std::string stem(helpFile);
  const size_t dot = stem.rfind('.');
  const size_t sep = stem.find_last_of("\\/");
  if (dot != std::string::npos && (sep == std::string::npos || dot > sep)) stem.resize(dot);
  for (const char* ext : {".html", ".htm", ".pdf", ".txt"}) {
    const std::string native = NativePath(stem + ext);
    struct stat st;
    if (native.empty() || stat(native.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) continue;
    // Whole, so that a program that another one hands it to finds it from its own folder too.
    std::error_code ec;
    const std::filesystem::path whole = std::filesystem::absolute(native, ec);
    return ec ? native : whole.lexically_normal().string();
  }
  return {};
}

namespace {

// How long a started viewer is watched for a failure at once.
constexpr int kStartWatchMs = 300;

enum class EChildState { Running, Succeeded, Failed, NotOurs };

// The state of a child of ours, without waiting for it (an ended child stays to be waited for).
EChildState ChildState(pid_t pid) {
  siginfo_t info{};
  if (waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOHANG | WNOWAIT) != 0) return EChildState::NotOurs;
  if (info.si_pid == 0) return EChildState::Running;
  return info.si_code == CLD_EXITED && info.si_status == 0 ? EChildState::Succeeded : EChildState::Failed;
}

void Pause(long ns) {
  const timespec pause{0, ns};
  nanosleep(&pause, nullptr);
}

// True when a process other than the group's leader, and not yet ended, is in the group.
bool GroupHasOthers(pid_t group) {
  std::unique_ptr<DIR, int (*)(DIR*)> proc(opendir("/proc"), closedir);
  if (!proc) return true;  // cannot tell: keep the group
  while (const dirent* e = readdir(proc.get())) {
    char* end = nullptr;
    const long pid = std::strtol(e->d_name, &end, 10);
    if (pid <= 0 || *end != '\0' || pid == group) continue;
    std::ifstream in(std::string("/proc/") + e->d_name + "/stat");
    std::string stat;
    std::getline(in, stat);
    // "pid (name) state ppid pgrp ...": the name may hold blanks and parentheses.
    const size_t close = stat.rfind(')');
    if (close == std::string::npos) continue;
    std::istringstream fields(stat.substr(close + 1));
    char state = 0;
    long parent = 0, pgrp = 0;
    if (fields >> state >> parent >> pgrp && pgrp == group && state != 'Z' && state != 'X') return true;
  }
  return false;
}

}  // namespace

void TLinuxHelpViewer::ForgetFinishedGroups() {
  std::erase_if(groups_, [](pid_t leader) {
    switch (ChildState(leader)) {
      case EChildState::Running: return false;
      case EChildState::NotOurs: return true;
      default:
        if (GroupHasOthers(leader)) return false;
        waitpid(leader, nullptr, 0);
        return true;
    }
  });
}

bool TLinuxHelpViewer::Contents(std::string_view helpFile) {
  ForgetFinishedGroups();
  // The viewer started last still runs: it shows the contents already.
  if (!groups_.empty() && ChildState(groups_.back()) == EChildState::Running) return true;
  const std::string doc = Document(helpFile);
  if (doc.empty()) return false;
  std::vector<std::string> args;
  if (const char* cmd = std::getenv("VDMQ_HELP_CMD"); cmd && *cmd) args = SplitCommandLine(cmd);
  if (args.empty()) args.push_back("xdg-open");
  args.push_back(doc);
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addclosefrom_np(&actions, 3);
  posix_spawnattr_t attr;
  posix_spawnattr_init(&attr);
  posix_spawnattr_setpgroup(&attr, 0);  // the leader of a new group
  sigset_t none, all;
  sigemptyset(&none);
  sigfillset(&all);
  posix_spawnattr_setsigmask(&attr, &none);
  posix_spawnattr_setsigdefault(&attr, &all);
  posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
  pid_t pid = -1;
  const int rc = posix_spawnp(&pid, argv[0], &actions, &attr, argv.data(), environ);
  posix_spawnattr_destroy(&attr);
  posix_spawn_file_actions_destroy(&actions);
  if (rc != 0) return false;
  // A launcher that finds no program for the document ends at once with a failure.
  for (int waited = 0; waited < kStartWatchMs; waited += 5) {
    const EChildState state = ChildState(pid);
    if (state == EChildState::Failed) {
      kill(-pid, SIGTERM);  // whatever it left in its group
      waitpid(pid, nullptr, 0);
      return false;
    }
    if (state != EChildState::Running) break;
    Pause(5'000'000);
  }
  groups_.push_back(pid);
  return true;
}

void TLinuxHelpViewer::Quit() {
  // Only groups whose leader is still ours to wait for: their number cannot have passed on.
  std::vector<pid_t> running;
  for (pid_t leader : groups_) {
    const EChildState state = ChildState(leader);
    if (state == EChildState::NotOurs) continue;
    kill(-leader, SIGTERM);
    if (state == EChildState::Running) {
      running.push_back(leader);
    } else {
      waitpid(leader, nullptr, 0);
    }
  }
  groups_.clear();
  // Give the leaders a moment to go, so that no finished child is left behind; one that ignores
  // the request is no longer ours to track.
  for (int i = 0; i < 50 && !running.empty(); ++i) {
    std::erase_if(running, [](pid_t leader) { return waitpid(leader, nullptr, WNOHANG) != 0; });
    if (!running.empty()) Pause(4'000'000);
  }
}

}  // namespace vdmq
