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

}  // namespace vdmq
