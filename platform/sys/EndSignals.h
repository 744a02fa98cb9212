#pragma once
// Ending the program from outside. SIGTERM (a session's logout, `kill`, `timeout`), SIGINT (the
// terminal's interrupt key) and SIGHUP (the terminal gone) ask the program to end in order, with no
// question asked. The handler does only what is safe inside a signal handler: it stores the signal's
// number in a lock-free atomic and writes one byte into a pipe. A watcher thread waits on that pipe
// and runs the waker, which ends the message loop's wait; the loop then reads the request and
// unwinds its modal windows and pauses. A second such signal while the first is being served takes
// the signal's default action, so a program that cannot finish in order can still be stopped.

#include <functional>
#include <thread>

namespace vdmq {

// The signal that asked the program to end, 0 while none did.
int EndRequest();
// Asks the program to end as that signal does, and wakes the watcher when one runs. Safe inside a
// signal handler.
void RequestEnd(int signal) noexcept;

class TEndSignals {
 public:
  // Installs the handlers of SIGTERM, SIGINT and SIGHUP and starts the watcher, which runs waker
  // (on its own thread) after every request. A request made before counts too. One object serves at
  // a time: another one made while it lives does nothing.
  explicit TEndSignals(std::function<void()> waker);
  // Puts back the handlers it found, stops the watcher and forgets the request.
  ~TEndSignals();
  TEndSignals(const TEndSignals&) = delete;
  TEndSignals& operator=(const TEndSignals&) = delete;

 private:
  std::function<void()> waker_;
  int readFd_ = -1;
  std::thread watcher_;
};

}  // namespace vdmq
