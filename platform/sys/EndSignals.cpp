#include "platform/sys/EndSignals.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <iterator>

namespace vdmq {
namespace {

constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};
constexpr int kSignalCount = static_cast<int>(std::size(kSignals));

// Touched by the handler: lock-free atomics only.
static_assert(std::atomic<int>::is_always_lock_free);
std::atomic<int> endSignal{0};
std::atomic<int> wakeFd{-1};

// The handlers found when ours were installed; one set of handlers at a time.
struct sigaction previous[kSignalCount];
bool installed = false;

void WakeWatcher() noexcept {
  const int fd = wakeFd.load();
  if (fd < 0) return;
  const int saved = errno;
  const char byte = 1;
  // A full pipe already holds a wake-up: the byte may be dropped.
  const ssize_t written = write(fd, &byte, 1);
  static_cast<void>(written);
  errno = saved;
}

void OnSignal(int signal) {
  int none = 0;
  if (!endSignal.compare_exchange_strong(none, signal)) {
    // Asked again while the first request is served: the signal's own action, at once.
    struct sigaction action {};
    action.sa_handler = SIG_DFL;
    sigemptyset(&action.sa_mask);
    sigaction(signal, &action, nullptr);
    raise(signal);  // delivered when the handler returns
    return;
  }
  WakeWatcher();
}

}  // namespace

int EndRequest() { return endSignal.load(); }

void RequestEnd(int signal) noexcept {
  int none = 0;
  endSignal.compare_exchange_strong(none, signal);
  WakeWatcher();
}

TEndSignals::TEndSignals(std::function<void()> waker) : waker_(std::move(waker)) {
  if (installed) return;
  int fds[2];
  if (pipe2(fds, O_CLOEXEC) != 0) return;
  fcntl(fds[1], F_SETFL, O_NONBLOCK);
  readFd_ = fds[0];
  wakeFd.store(fds[1]);
  watcher_ = std::thread([this] {
    char buf[64];
    for (;;) {
      const ssize_t n = read(readFd_, buf, sizeof buf);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) return;  // the write end is closed: the watcher ends
      if (EndRequest() != 0 && waker_) waker_();
    }
  });
  struct sigaction action {};
  action.sa_handler = OnSignal;
  sigemptyset(&action.sa_mask);
  for (int s : kSignals) sigaddset(&action.sa_mask, s);
  // Interrupted system calls of the program go on (file reads never fail with EINTR).
  action.sa_flags = SA_RESTART;
  for (int i = 0; i < kSignalCount; ++i) sigaction(kSignals[i], &action, &previous[i]);
  installed = true;
  if (EndRequest() != 0) WakeWatcher();
}

TEndSignals::~TEndSignals() {
  if (readFd_ < 0) return;
  for (int i = 0; i < kSignalCount; ++i) sigaction(kSignals[i], &previous[i], nullptr);
  installed = false;
  close(wakeFd.exchange(-1));
  if (watcher_.joinable()) watcher_.join();
  close(readFd_);
  endSignal.store(0);
}

}  // namespace vdmq
