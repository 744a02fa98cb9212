#pragma once
// The headless back end for tests and CI: a virtual clock (pauses and timer waits take no wall
// time and are logged), injected input, a driver callback that runs whenever the loop would wait
// (so a test can answer a modal form opened deep inside game code), stall detection with a dump
// of the window stack, and the last presented screen for screenshots.
//
// Its screen is fixed, unless a test makes it the main form's OS window on a display of a given
// work area: a stand-in window system then keeps the window within its limits, maximises it to the
// work area up to its maximum and restores it, answering with the events a real one sends.

#include <atomic>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "platform/core/Backend.h"
#include "platform/sys/FakeMedia.h"

namespace vdmq {

class THeadlessBackend : public TBackend {
 public:
  explicit THeadlessBackend(TSize screen = {800, 600});

  TSize ScreenSize() override { return screen_; }
  std::uint64_t NowMs() override { return now_; }
  void Delay(std::uint32_t ms) override;
  bool WaitInput(TInputEvent& ev, int timeoutMs) override;
  bool PollInput(TInputEvent& ev) override;
  void Wake() override { woken_ = true; }
  void Present(const TPixmap& screen, const TRegion& dirty) override;
  void SetCursor(TCursorShape shape) override;
  void WarpMouse(TPoint p) override;
  void MinimizeApp() override;
  void SetTitle(std::string_view utf8) override;
  void SetIcon(const TPixmap& icon) override;
  bool ScreenIsMainWindow() override { return hosting_; }
  TRect WorkArea() override;
  void ShowWindow(TSize size, const TWindowLimits& limits) override;
  void SetWindowLimits(const TWindowLimits& limits) override;
  void ResizeWindow(TSize size) override;
  void MaximizeWindow() override;
  void RestoreWindow() override;
  void StartWindowMove() override { ++windowMoves_; }
  void SetFrameMap(const TWindowFrameMap& map) override { frameMap_ = map; }

  // --- the stand-in window system ---
  // Makes the screen the main form's OS window on a display with that work area.
  void HostMainWindow(TSize workArea);
  // What the window system does on its own (a key, tiling, a tool): a new size (kept within the
  // limits, ignored while maximised), maximising and restoring.
  void WmResize(TSize size);
  void WmMaximize();
  void WmRestore();
  bool WindowShown() const { return windowShown_; }
  bool WindowMaximized() const { return maximized_; }
  const TWindowLimits& Limits() const { return limits_; }
  const TWindowFrameMap& FrameMap() const { return frameMap_; }
  // How many times the OS window's keyboard move was asked for.
  int WindowMoves() const { return windowMoves_; }

  // --- test control ---
  void Inject(const TInputEvent& ev) { input_.push_back(ev); }
  bool HasPendingInput() const { return !input_.empty(); }
  // Runs when the loop is about to wait; returns true when it acted (injected input or changed
  // state). While it declines, virtual time moves on to the next timer.
  std::function<bool()> Driver;
  // Virtual time the loop may idle without the driver acting before it counts as a stall.
  std::uint64_t StallBudgetMs = 10 * 60 * 1000;
  // Produces the state dump of a stall report (set by the test kit).
  std::function<std::string()> Describe;
  void Resize(TSize s);
  void Advance(std::uint64_t ms) { now_ += ms; }

  // Log of pauses, presents and cursor changes ("sleep 100", "cursor hourglass" ...).
  std::vector<std::string> Log;
  bool LogPresents = false;
  const TPixmap& LastScreen() const { return screen_pixels_; }
  int PresentCount() const { return presents_; }
  TCursorShape CursorShape() const { return cursor_; }
  TPoint MousePos() const { return warp_; }
  bool Minimized() const { return minimized_; }
  const std::string& Title() const { return title_; }
  // The last window icon handed over, and how many times one was.
  const TPixmap& Icon() const { return icon_; }
  int IconCount() const { return icons_; }

 private:
  TSize screen_;
  std::uint64_t now_ = 0;
  std::uint64_t idle_ = 0;
  std::deque<TInputEvent> input_;
  std::atomic<bool> woken_{false};
  TPixmap screen_pixels_;
  int presents_ = 0;
  TCursorShape cursor_ = TCursorShape::Arrow;
  TPoint warp_;
  bool minimized_ = false;
  std::string title_;
  TPixmap icon_;
  int icons_ = 0;
  bool hosting_ = false;
  TSize workArea_;
  bool windowShown_ = false;
  bool maximized_ = false;
  TSize normalSize_;
  TWindowLimits limits_;
  TWindowFrameMap frameMap_;
  int windowMoves_ = 0;
  // Takes a size and tells the program, as a window system's configure notice does.
  void Configure(TSize size);
  void ReportSize();
  void ReportState();
};

// The media clock of the fake media devices, running on the back end's virtual time (a waiting
// play blocks like a pause and is logged as "wait <ms>").
class THeadlessMediaClock : public TMediaClock {
 public:
  explicit THeadlessMediaClock(THeadlessBackend& b) : b_(b) {}
  std::uint64_t NowMs() override { return b_.NowMs(); }
  void Block(std::uint32_t ms) override {
    b_.Advance(ms);
    b_.Log.push_back("wait " + std::to_string(ms));
  }

 private:
  THeadlessBackend& b_;
};

}  // namespace vdmq
