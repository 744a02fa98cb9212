#pragma once
// The application object: one thread, one message queue. It creates the forms (the first is the
// main form), runs the loop until the main window closes, lets pending messages run, blocks for
// pauses without dispatching, drives the timers, and shows every exception that escapes an event
// handler in the default exception display before the loop goes on.

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "platform/core/Backend.h"
#include "platform/core/Component.h"
#include "platform/core/Messages.h"

namespace vdmq {

class TControl;
class TForm;
class TTimer;
class TDesktop;
class TBitmap;
class TMediaService;

// Raised by a back end when the loop would wait for ever (headless tests); it passes through the
// exception display of the dispatch and the program's entry and ends the test (or the benchmark)
// as a reported failure whose text is the dump.
class EStall : public std::runtime_error {
 public:
  explicit EStall(const std::string& dump) : std::runtime_error(dump) {}
  std::string Dump() const { return what(); }
};

class TApplication : public TComponent {
 public:
  TApplication();
  ~TApplication() override;
  const char* ClassName() const override { return "TApplication"; }
  void Notification(TComponent* c, TOperation op) override;

  // Binds the back end and checks that the fonts load (throws a clear error when they do not).
  void Initialize(TBackend& backend);
  bool HasBackend() const { return backend_ != nullptr; }
  // Frees every owned component and clears queue, timers and flags (between tests), then unbinds
  // the back end.
  void Shutdown();
  TBackend& Backend();
  TDesktop& Desktop() { return *desktop_; }
  // The media devices the media player controls open (their notifications are polled by the loop;
  // the service's clock must be the back end's).
  void SetMediaService(TMediaService* media) { media_ = media; }
  TMediaService* Media() const { return media_; }

  std::string Title;  // CP932; shown as the OS window's title from the next loop turn on
  // The application's icon as the title bars draw it (16 x 16 in the kit's windows); empty until
  // the program installs one.
  TBitmap* IconPtr() { return icon_.get(); }
  // The OS window's icon (32 x 32), handed to the back end from the next loop turn on.
  void SetWindowIcon(const TPixmap& icon);
  const TPixmap& WindowIcon() const { return windowIcon_; }
  // Asks the help service for the topic of a context number.
  void HelpContext(int context);

  TForm* MainForm() const { return mainForm_; }
  // Creates a form or data module owned by the application: constructs it, stores the pointer,
  // then runs its AfterConstruction (Loaded, OnCreate). The first form becomes the main form.
  template <class F>
  void CreateForm(F*& ref) {
    F* f = new F(this);
    ref = f;
    Registered(f);
    f->AfterConstruction();
  }

  // Shows the main form and dispatches until the program is terminated, then frees the main form
  // first and the other owned components newest first. A request to end the program from outside
  // (EndRequest) terminates it at once: every modal loop then ends with mrCancel, pending messages
  // are dropped and pauses return without waiting.
  void Run();
  // Dispatches one message; waits for one when nothing is pending.
  void HandleMessage();
  // Dispatches everything pending (paints and due timers included), never waits.
  void ProcessMessages();
  void Terminate();
  bool Terminated() const { return terminated_; }
  // The platform message box: a layer form shown modally; answers IDOK / IDCANCEL / IDYES / IDNO.
  int MessageBox(std::string_view text, std::string_view caption, unsigned flags);
  // The default exception display (message box, caption = Title, stop icon).
  void ShowException(std::string_view text);
  // Replaces the exception display (tests record instead of showing).
  std::function<void(const std::string&)> OnException;
  void Minimize();
  bool Minimized() const { return minimized_; }

  // Ends a wait of the loop (callable from other threads).
  void Wake();
  // Queues a message for a control (callable from other threads: media notifications).
  void Post(TControl* target, const TMessage& m);
  // Runs fn on the loop thread as a queued message.
  void PostCall(std::function<void()> fn);
  // Drops queued messages of a control that is going away.
  void CancelMessagesFor(TControl* target);

  // A blocking pause: paints what is dirty and presents once, then blocks; nothing is dispatched.
  // Once the program is asked to end from outside, pauses return at once.
  void Sleep(std::uint32_t ms);
  std::uint64_t NowMs();
  // Paints every dirty window and presents the changed screen area.
  void PaintAndPresent();

  // Timers (used by TTimer).
  void SetTimer(TTimer* t, unsigned intervalMs);
  void KillTimer(TTimer* t);
  int PendingTimerCount() const { return static_cast<int>(timers_.size()); }

  int LoopDepth() const { return loopDepth_; }
  // Window stack, loop depth and timers, for stall reports.
  std::string DescribeState() const;
  // Runs fn and shows whatever it throws (the per-event exception display).
  void SafeCall(const std::function<void()>& fn);
  // Delivers a message to a control inside the exception display.
  void Deliver(TControl* target, TMessage& m);

  struct TLoopScope {
    TApplication& a;
    explicit TLoopScope(TApplication& app) : a(app) { ++a.loopDepth_; }
    ~TLoopScope() { --a.loopDepth_; }
  };

 private:
  struct TQueued {
    TControl* target = nullptr;
    TMessage msg;
    std::function<void()> call;
    bool input = false;
    TInputEvent ev;
  };
  struct TTimerEntry {
    TTimer* timer;
    unsigned interval;
    std::uint64_t due;
  };
  void Registered(TComponent* c);
  void PullInput();
  // Takes and dispatches one message in the platform's order; false when nothing was pending.
  bool PeekAndDispatch(std::vector<TTimer*>* tickedThisCall);
  int WaitTimeout();

  TBackend* backend_ = nullptr;  // changed under queueLock_ (other threads wake it)
  TMediaService* media_ = nullptr;
  std::unique_ptr<TDesktop> desktop_;
  std::unique_ptr<TBitmap> icon_;
  TForm* mainForm_ = nullptr;
  mutable std::mutex queueLock_;
  std::deque<TQueued> queue_;
  bool quitPosted_ = false;
  bool terminated_ = false;
  bool minimized_ = false;
  std::vector<TTimerEntry> timers_;
  int loopDepth_ = 0;
  std::uint64_t fallbackClock_ = 0;
  bool showingException_ = false;
  std::string shownTitle_;
  TPixmap windowIcon_;
  bool iconHandedOver_ = false;
  // Hands a changed title and icon to the back end.
  void SyncWindow();
};

// The one application object.
TApplication& App();
// A blocking pause of the loop thread (see TApplication::Sleep).
void Sleep(std::uint32_t ms);

}  // namespace vdmq
