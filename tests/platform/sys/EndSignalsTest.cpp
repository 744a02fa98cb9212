// The signals that end the program from outside: each asks once and wakes the loop from the
// watcher thread; a request made before the handlers counts; a second signal takes the default
// action; the handlers found before come back and the request is forgotten afterwards. Signals go
// to forked children where they could end the test itself.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "platform/sys/EndSignals.h"

using namespace vdmq;

namespace {

// Waits (a bounded time) until the counter reaches n.
bool WaitFor(const std::atomic<int>& counter, int n) {
  for (int i = 0; i < 500 && counter.load() < n; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(2));
  return counter.load() >= n;
}

// Runs body in a child process; the child's wait status.
template <class F>
int InChild(F body) {
  const pid_t pid = fork();
  if (pid == 0) {
    body();
    _exit(0);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  return status;
}

TEST(EndSignals, EachSignalAsksOnceAndWakesTheLoopFromTheWatcher) {
  for (const int sig : {SIGTERM, SIGINT, SIGHUP}) {
    SCOPED_TRACE(strsignal(sig));
    std::atomic<int> wakes{0};
    std::thread::id wakerThread;
    {
      const TEndSignals signals([&] {
        wakerThread = std::this_thread::get_id();
        ++wakes;
      });
      EXPECT_EQ(EndRequest(), 0);
      ASSERT_EQ(raise(sig), 0);  // handled: the test goes on
      EXPECT_EQ(EndRequest(), sig);
      ASSERT_TRUE(WaitFor(wakes, 1));
      EXPECT_NE(wakerThread, std::this_thread::get_id());
      RequestEnd(SIGHUP);  // a later request keeps the first signal and wakes again
      EXPECT_EQ(EndRequest(), sig);
      EXPECT_TRUE(WaitFor(wakes, 2));
    }
    EXPECT_EQ(EndRequest(), 0);
  }
}

TEST(EndSignals, ARequestMadeBeforeTheHandlersWakesTheLoopAtOnce) {
  RequestEnd(SIGTERM);
  std::atomic<int> wakes{0};
  {
    const TEndSignals signals([&] { ++wakes; });
    EXPECT_TRUE(WaitFor(wakes, 1));
    EXPECT_EQ(EndRequest(), SIGTERM);
  }
  EXPECT_EQ(EndRequest(), 0);
}

TEST(EndSignals, TheHandlersFoundBeforeComeBack) {
  struct sigaction ignore {};
  ignore.sa_handler = SIG_IGN;
  sigemptyset(&ignore.sa_mask);
  struct sigaction old {};
  ASSERT_EQ(sigaction(SIGHUP, &ignore, &old), 0);
  {
    const TEndSignals signals([] {});
    struct sigaction now {};
    sigaction(SIGHUP, nullptr, &now);
    EXPECT_NE(now.sa_handler, SIG_IGN);
    // Interrupted system calls go on.
    EXPECT_NE(now.sa_flags & SA_RESTART, 0);
  }
  struct sigaction after {};
  sigaction(SIGHUP, nullptr, &after);
  EXPECT_EQ(after.sa_handler, SIG_IGN);
  sigaction(SIGHUP, &old, nullptr);
}

TEST(EndSignals, ASecondSignalWhileTheFirstIsServedEndsTheProgramAtOnce) {
  // The first asks, the second (of any of the three) takes its default action.
  for (const auto& [first, second] : {std::pair{SIGTERM, SIGTERM}, {SIGINT, SIGTERM}, {SIGHUP, SIGINT}}) {
    const int status = InChild([first = first, second = second] {
      const TEndSignals signals([] {});
      raise(first);
      if (EndRequest() != first) _exit(3);
      raise(second);
      _exit(4);  // not reached
    });
    ASSERT_TRUE(WIFSIGNALED(status)) << "exit " << (WIFEXITED(status) ? WEXITSTATUS(status) : -1);
    EXPECT_EQ(WTERMSIG(status), second);
  }
  // Once the handlers are gone, a signal takes its default action again.
  const int status = InChild([] {
    {
      const TEndSignals signals([] {});
    }
    raise(SIGTERM);
  });
  ASSERT_TRUE(WIFSIGNALED(status));
  EXPECT_EQ(WTERMSIG(status), SIGTERM);
}

}  // namespace
