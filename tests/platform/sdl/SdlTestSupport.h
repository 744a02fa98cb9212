#pragma once
// A display for the SDL tests and benchmarks: when DISPLAY is unset, a virtual X server (Xvfb) is
// started on a free display number for the life of the process and DISPLAY points at it.

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

extern char** environ;

namespace vdmq::testing {

class TVirtualDisplay {
 public:
  // True when a display is available (already set, or started here).
  static bool Ensure() {
    static TVirtualDisplay d;
    return d.ok_;
  }

 private:
  TVirtualDisplay() {
    const char* set = std::getenv("DISPLAY");
    if (set && *set) {
      ok_ = true;
      return;
    }
    int fds[2];
    if (pipe(fds) != 0) return;
    const std::string fd = std::to_string(fds[1]);
    // Xvfb writes the display number it chose to the descriptor once it accepts connections.
    const char* argv[] = {"Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "2048x1536x24", "-nolisten", "tcp", nullptr};
    posix_spawn_file_actions_t fa;
    posix_spawn_file_actions_init(&fa);
    posix_spawn_file_actions_addclose(&fa, fds[0]);
    posix_spawn_file_actions_addopen(&fa, 2, "/dev/null", O_WRONLY, 0);
    const int rc = posix_spawnp(&pid_, "Xvfb", &fa, nullptr, const_cast<char**>(argv), environ);
    posix_spawn_file_actions_destroy(&fa);
    close(fds[1]);
    if (rc != 0) {
      close(fds[0]);
      pid_ = -1;
      return;
    }
    std::string number;
    char c;
    while (read(fds[0], &c, 1) == 1 && c != '\n') number += c;
    close(fds[0]);
    if (number.empty()) return;
    setenv("DISPLAY", (":" + number).c_str(), 1);
    ok_ = true;
  }
  ~TVirtualDisplay() {
    if (pid_ > 0) {
      kill(pid_, SIGTERM);
      waitpid(pid_, nullptr, 0);
    }
  }
  pid_t pid_ = -1;
  bool ok_ = false;
};

}  // namespace vdmq::testing
