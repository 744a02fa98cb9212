#pragma once
// A display for the SDL tests and benchmarks: when DISPLAY is unset, a virtual X server (Xvfb) is
// started on a free display number for the life of the process and DISPLAY points at it.
// The server can never outlive or hold up the test: it gets none of the test's output descriptors
// (a runner waiting for the test's output would wait for the server too), it is killed when the
// test process dies in any way, and a server that does not come up within a time limit is given up.

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <string>

namespace vdmq::testing {

class TVirtualDisplay {
 public:
  // True when a display is available (already set, or started here).
  static bool Ensure() { return Instance().ok_; }
  // The server started here (-1 when DISPLAY was already set or none could be started).
  static pid_t ServerPid() { return Instance().pid_; }
  // A display of its own, apart from the one of Ensure (tests of the start-up itself).
  static TVirtualDisplay* StartAnother() { return new TVirtualDisplay; }
  bool Ok() const { return ok_; }
  pid_t Pid() const { return pid_; }

  // Asks a child process to end, killing it when it has not gone within a few seconds; -1 after.
  static void StopProcess(pid_t& pid) {
    if (pid <= 0) return;
    kill(pid, SIGTERM);
    for (int i = 0; i < 300; ++i) {
      if (waitpid(pid, nullptr, WNOHANG) != 0) {
        pid = -1;
        return;
      }
      usleep(10000);
    }
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    pid = -1;
  }

  // Where Xvfb lies on PATH (empty when it is not installed).
  static std::string FindServer() {
    const char* path = std::getenv("PATH");
    std::string dirs = path && *path ? path : "/usr/local/bin:/usr/bin:/bin";
    size_t at = 0;
    while (at <= dirs.size()) {
      size_t end = dirs.find(':', at);
      if (end == std::string::npos) end = dirs.size();
      const std::string file = (end > at ? dirs.substr(at, end - at) : std::string(".")) + "/Xvfb";
      if (access(file.c_str(), X_OK) == 0) return file;
      at = end + 1;
    }
    return {};
  }

  // How long a server may take to accept connections.
  static constexpr int kStartLimitMs = 30000;

 private:
  static TVirtualDisplay& Instance() {
    static TVirtualDisplay d;
    return d;
  }
  TVirtualDisplay() {
    const char* set = std::getenv("DISPLAY");
    if (set && *set) {
      ok_ = true;
      return;
    }
    const std::string server = FindServer();
    if (server.empty()) return;
    int fds[2];
    if (pipe(fds) != 0) return;
    const std::string fd = std::to_string(fds[1]);
    // Xvfb writes the display number it chose to the descriptor once it accepts connections.
    const char* argv[] = {server.c_str(), "-displayfd", fd.c_str(), "-screen", "0",
                          "2048x1536x24", "-nolisten",  "tcp",      nullptr};
    const pid_t parent = getpid();
    pid_ = fork();
    if (pid_ < 0) {
      close(fds[0]);
      close(fds[1]);
      return;
    }
    if (pid_ == 0) {
      // The child: only calls that are safe after a fork, then the server.
      prctl(PR_SET_PDEATHSIG, SIGKILL);
      if (getppid() != parent) _exit(127);
      const int null = open("/dev/null", O_RDWR);
      if (null >= 0) {
        dup2(null, 0);
        dup2(null, 1);
        dup2(null, 2);
      }
      close(fds[0]);
      execv(server.c_str(), const_cast<char**>(argv));
      _exit(127);
    }
    close(fds[1]);
    std::string number;
    bool complete = false;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kStartLimitMs);
    for (;;) {
      const auto left =
          std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now()).count();
      if (left <= 0) break;
      pollfd p{fds[0], POLLIN, 0};
      const int r = poll(&p, 1, static_cast<int>(left));
      if (r < 0 && errno == EINTR) continue;
      if (r <= 0) break;
      char c;
      if (read(fds[0], &c, 1) != 1) break;
      if (c == '\n') {
        complete = true;
        break;
      }
      number += c;
    }
    close(fds[0]);
    if (!complete || number.empty()) {
      Stop();
      return;
    }
    setenv("DISPLAY", (":" + number).c_str(), 1);
    ok_ = true;
  }
  ~TVirtualDisplay() { Stop(); }
  // Ends the server: asked first, killed when it does not go within a few seconds.
  void Stop() { StopProcess(pid_); }
  pid_t pid_ = -1;
  bool ok_ = false;
};

}  // namespace vdmq::testing
