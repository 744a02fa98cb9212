#include "platform/headless/HeadlessBackend.h"

#include "platform/core/Application.h"

namespace vdmq {

THeadlessBackend::THeadlessBackend(TSize screen) : screen_(screen) {}

void THeadlessBackend::Delay(std::uint32_t ms) {
  now_ += ms;
  Log.push_back("sleep " + std::to_string(ms));
}

bool THeadlessBackend::PollInput(TInputEvent& ev) {
  if (input_.empty()) return false;
  ev = input_.front();
  input_.pop_front();
  idle_ = 0;
  return true;
}

bool THeadlessBackend::WaitInput(TInputEvent& ev, int timeoutMs) {
  if (PollInput(ev)) return true;
  if (woken_.exchange(false)) return false;
  if (Driver && Driver()) {
    idle_ = 0;
    return PollInput(ev);
  }
  if (timeoutMs < 0) {
    std::string dump = Describe ? Describe() : std::string();
    throw EStall("the loop waits for input that no one will send\n" + dump);
  }
  now_ += static_cast<std::uint64_t>(timeoutMs);
  idle_ += static_cast<std::uint64_t>(timeoutMs);
  if (idle_ > StallBudgetMs) {
    idle_ = 0;
    std::string dump = Describe ? Describe() : std::string();
    throw EStall("no progress for " + std::to_string(StallBudgetMs) + " ms of virtual time\n" + dump);
  }
  return false;
}

void THeadlessBackend::Present(const TPixmap& screen, const TRegion&) {
  screen_pixels_ = screen;
  ++presents_;
  if (LogPresents) Log.push_back("present");
}

void THeadlessBackend::SetCursor(TCursorShape shape) {
  cursor_ = shape;
  static const char* names[] = {"arrow",     "hourglass", "size-ns",  "size-we",
                                "size-nwse", "size-nesw", "size-all", "hidden"};
  Log.push_back(std::string("cursor ") + names[static_cast<int>(shape)]);
}

void THeadlessBackend::WarpMouse(TPoint p) {
  warp_ = p;
  Log.push_back("warp " + std::to_string(p.X) + "," + std::to_string(p.Y));
}

void THeadlessBackend::MinimizeApp() {
  minimized_ = true;
  Log.push_back("minimize");
}

void THeadlessBackend::SetTitle(std::string_view utf8) { title_ = std::string(utf8); }

void THeadlessBackend::SetIcon(const TPixmap& icon) {
  icon_ = icon;
  ++icons_;
}

void THeadlessBackend::Resize(TSize s) {
  screen_ = s;
  TInputEvent ev;
  ev.kind = TInputEvent::ScreenResized;
  ev.x = s.cx;
  ev.y = s.cy;
  input_.push_back(ev);
}

// ---------------------------------------------------------------------------------------------
// The stand-in window system

void THeadlessBackend::HostMainWindow(TSize workArea) {
  hosting_ = true;
  workArea_ = workArea;
}

TRect THeadlessBackend::WorkArea() {
  const TSize s = hosting_ ? workArea_ : screen_;
  return {0, 0, s.cx, s.cy};
}

void THeadlessBackend::Configure(TSize size) {
  if (size == screen_) return;
  screen_ = size;
  ReportSize();
}

void THeadlessBackend::ReportSize() {
  TInputEvent ev;
  ev.kind = TInputEvent::ScreenResized;
  ev.x = screen_.cx;
  ev.y = screen_.cy;
  input_.push_back(ev);
}

void THeadlessBackend::ReportState() {
  TInputEvent ev;
  ev.kind = TInputEvent::WindowState;
  ev.x = maximized_ ? owsMaximized : owsNormal;
  input_.push_back(ev);
}

void THeadlessBackend::ShowWindow(TSize size, const TWindowLimits& limits) {
  if (!hosting_) return;
  limits_ = limits;
  windowShown_ = true;
  ResizeWindow(size);
}

void THeadlessBackend::SetWindowLimits(const TWindowLimits& limits) {
  if (!hosting_) return;
  limits_ = limits;
  if (!maximized_) Configure(ClampToLimits(screen_, limits));
}

void THeadlessBackend::ResizeWindow(TSize size) {
  if (!hosting_ || !windowShown_) return;
  // A maximised window keeps its size; a size outside the limits is corrected. A form that asked
  // for another size is told the window's.
  if (!maximized_) screen_ = ClampToLimits(size, limits_);
  if (screen_ != size) ReportSize();
}

void THeadlessBackend::MaximizeWindow() { WmMaximize(); }

void THeadlessBackend::RestoreWindow() { WmRestore(); }

void THeadlessBackend::WmResize(TSize size) {
  if (!hosting_ || !windowShown_ || maximized_) return;
  Configure(ClampToLimits(size, limits_));
}

void THeadlessBackend::WmMaximize() {
  if (!hosting_ || !windowShown_ || maximized_ || limits_.Fixed()) return;
  normalSize_ = screen_;
  maximized_ = true;
  // The state comes first, then the size (as an X window manager reports them).
  ReportState();
  const TRect r = MaximizedBounds({0, 0, workArea_.cx, workArea_.cy}, limits_.Max);
  Configure(ClampToLimits({r.Width(), r.Height()}, limits_));
}

void THeadlessBackend::WmRestore() {
  if (!hosting_ || !maximized_) return;
  maximized_ = false;
  ReportState();
  Configure(normalSize_);
}

}  // namespace vdmq
