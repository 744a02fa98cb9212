#pragma once
// A desktop for the tests of the real programs as desktop windows: a virtual X server (Xvfb) of a
// chosen size with a black root and a window manager (openbox) on it, and the X tools the tests
// read and drive it with (xdotool, wmctrl, xprop, xwininfo, xwd). The server and the window manager
// get none of the test's output descriptors, die with the test process, and end with the object.

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "platform/core/Geometry.h"
#include "platform/core/Pixmap.h"
#include "support/VirtualDisplay.h"

extern char** environ;

namespace vdmq::testing {

class TWindowManagerDisplay {
 public:
  // Starts the server at that size and the window manager on it; Ok() tells whether both came up.
  explicit TWindowManagerDisplay(TSize size) {
    const std::string server = TVirtualDisplay::FindServer();
    if (server.empty() || FindProgram("openbox").empty()) return;
    int fds[2];
    if (pipe(fds) != 0) return;
    const std::string fd = std::to_string(fds[1]);
    const std::string screen = std::to_string(size.cx) + "x" + std::to_string(size.cy) + "x24";
    serverPid_ = Start({server, "-displayfd", fd, "-screen", "0", screen, "-br", "-nolisten", "tcp"}, "", fds[1]);
    close(fds[1]);
    std::string number;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kStartLimitMs);
    for (;;) {
      const auto left =
          std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now()).count();
      pollfd p{fds[0], POLLIN, 0};
      if (left <= 0 || poll(&p, 1, static_cast<int>(left)) <= 0) break;
      char c;
      if (read(fds[0], &c, 1) != 1 || c == '\n') break;
      number += c;
    }
    close(fds[0]);
    if (serverPid_ <= 0 || number.empty()) return;
    name_ = ":" + number;
    wmPid_ = Start({"openbox"}, name_, -1);
    // The window manager is up once it names its check window on the root.
    ok_ = wmPid_ > 0 &&
          WaitUntil([&] { return Run("xprop -root _NET_SUPPORTING_WM_CHECK").find("window id") != std::string::npos; },
                    std::chrono::seconds(30));
  }
  ~TWindowManagerDisplay() {
    Stop(wmPid_);
    Stop(serverPid_);
  }
  TWindowManagerDisplay(const TWindowManagerDisplay&) = delete;
  TWindowManagerDisplay& operator=(const TWindowManagerDisplay&) = delete;

  bool Ok() const { return ok_; }
  // "DISPLAY=:<n>", for a child's environment.
  std::string DisplayVariable() const { return "DISPLAY=" + name_; }

  // Runs a shell command on this display; its standard output.
  std::string Run(const std::string& command) const {
    std::string out;
    if (FILE* p = popen((DisplayVariable() + " " + command + " 2>/dev/null").c_str(), "r")) {
      char buf[4096];
      size_t n = 0;
      while ((n = fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
      pclose(p);
    }
    return out;
  }
  static bool HaveTool(const std::string& name) { return !FindProgram(name).empty(); }

  // The first mapped window of a process, or "" after the time limit.
  std::string WindowOf(pid_t pid, std::chrono::seconds limit) const {
    std::string id;
    WaitUntil(
        [&] {
          id = Run("xdotool search --onlyvisible --pid " + std::to_string(pid));
          if (const size_t nl = id.find('\n'); nl != std::string::npos) id.resize(nl);
          return !id.empty();
        },
        limit);
    return id;
  }
  // A window's place on the screen and its size (xwininfo); empty when it cannot be read.
  TRect Geometry(const std::string& window) const {
    const std::string info = Run("xwininfo -id " + window);
    const auto field = [&](const std::string& label) {
      const size_t at = info.find(label);
      return at == std::string::npos ? -1 : std::atoi(info.c_str() + at + label.size());
    };
    const int x = field("Absolute upper-left X:"), y = field("Absolute upper-left Y:");
    const int w = field("Width:"), h = field("Height:");
    return w < 0 || h < 0 ? TRect{} : Bounds(x, y, w, h);
  }
  // A window property as xprop prints it after "=" ("" when the window has none).
  std::string Property(const std::string& window, const std::string& name) const {
    std::string line = Run("xprop -id " + window + " " + name);
    const size_t eq = line.find(" = ");
    if (eq == std::string::npos) return {};
    line = line.substr(eq + 3);
    while (!line.empty() && (line.back() == '\n' || line.back() == ' ')) line.pop_back();
    return line;
  }
  // A window's picture ("root" for the whole screen) through xwd, as 0x00RRGGBB pixels; empty when
  // it cannot be read.
  TPixmap Picture(const std::string& window) const {
    return XwdPicture(Run("xwd -silent " + (window == "root" ? std::string("-root") : "-id " + window)));
  }

  // Polls until done() holds or the time is up; the last answer.
  static bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!done()) {
      if (std::chrono::steady_clock::now() > deadline) return false;
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return true;
  }

  // The pixels of an xwd dump (24 or 32 bits per pixel, either byte order; the server dumps its root
  // window packed in 24).
  static TPixmap XwdPicture(const std::string& dump) {
    TPixmap out;
    if (dump.size() < 100) return out;
    const auto u32 = [&](size_t at) {
      const auto* b = reinterpret_cast<const unsigned char*>(dump.data() + at);
      return std::uint32_t(b[0]) << 24 | std::uint32_t(b[1]) << 16 | std::uint32_t(b[2]) << 8 | b[3];
    };
    const std::uint32_t headerSize = u32(0), format = u32(8), width = u32(16), height = u32(20), byteOrder = u32(28),
                        bitsPerPixel = u32(44), bytesPerLine = u32(48), redMask = u32(56), greenMask = u32(60),
                        blueMask = u32(64), colours = u32(76);
    if (format != 2 || (bitsPerPixel != 32 && bitsPerPixel != 24) || width == 0 || height == 0 || width > 8192 ||
        height > 8192)
      return out;
    const size_t pixels = headerSize + size_t(colours) * 12;
    const size_t bytes = bitsPerPixel / 8;
    if (size_t(bytesPerLine) < bytes * width || dump.size() < pixels + size_t(bytesPerLine) * height) return out;
    const auto channel = [](std::uint32_t v, std::uint32_t mask) {
      if (mask == 0) return 0u;
      int shift = 0;
      while (!(mask & 1u)) mask >>= 1, ++shift;
      return ((v >> shift) & mask) * 255u / mask;
    };
    out.Resize(static_cast<int>(width), static_cast<int>(height));
    for (std::uint32_t y = 0; y < height; ++y)
      for (std::uint32_t x = 0; x < width; ++x) {
        const auto* b =
            reinterpret_cast<const unsigned char*>(dump.data() + pixels + size_t(y) * bytesPerLine + x * bytes);
        std::uint32_t v = 0;
        for (size_t i = 0; i < bytes; ++i) v = v << 8 | b[byteOrder == 0 ? bytes - 1 - i : i];
        out.SetPixel(static_cast<int>(x), static_cast<int>(y),
                     channel(v, redMask) << 16 | channel(v, greenMask) << 8 | channel(v, blueMask));
      }
    return out;
  }

  static constexpr int kStartLimitMs = 30000;

 private:
  // Where a program lies on PATH ("" when it is not there).
  static std::string FindProgram(const std::string& name) {
    const char* path = std::getenv("PATH");
    const std::string dirs = path && *path ? path : "/usr/local/bin:/usr/bin:/bin";
    for (size_t at = 0; at <= dirs.size();) {
      size_t end = dirs.find(':', at);
      if (end == std::string::npos) end = dirs.size();
      const std::string file = (end > at ? dirs.substr(at, end - at) : std::string(".")) + "/" + name;
      if (access(file.c_str(), X_OK) == 0) return file;
      at = end + 1;
    }
    return {};
  }
  // Starts a program (a name on PATH) with its output on /dev/null, keepFd left open for it and
  // DISPLAY set when a display is given; -1 when it cannot.
  static pid_t Start(const std::vector<std::string>& argv, const std::string& display, int keepFd) {
    const std::string file = argv[0].find('/') == std::string::npos ? FindProgram(argv[0]) : argv[0];
    if (file.empty()) return -1;
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e)
      if (display.empty() || std::string(*e).rfind("DISPLAY=", 0) != 0) env.emplace_back(*e);
    if (!display.empty()) env.push_back("DISPLAY=" + display);
    std::vector<char*> envp;
    for (std::string& e : env) envp.push_back(e.data());
    envp.push_back(nullptr);
    const pid_t parent = getpid();
    const pid_t pid = fork();
    if (pid != 0) return pid;
    // The child: only calls that are safe after a fork, then the program.
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (getppid() != parent) _exit(127);
    const int null = open("/dev/null", O_RDWR);
    if (null >= 0) {
      dup2(null, 0);
      dup2(null, 1);
      dup2(null, 2);
    }
    for (int fd = 3; fd < 1024; ++fd)
      if (fd != keepFd) close(fd);
    execve(file.c_str(), args.data(), envp.data());
    _exit(127);
  }
  static void Stop(pid_t& pid) { TVirtualDisplay::StopProcess(pid); }

  std::string name_;
  pid_t serverPid_ = -1;
  pid_t wmPid_ = -1;
  bool ok_ = false;
};

}  // namespace vdmq::testing
