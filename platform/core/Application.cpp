#include "platform/core/Application.h"

#include <algorithm>
#include <optional>
#include <sstream>

#include "platform/base/GameError.h"
#include "platform/base/Sjis.h"
#include "platform/core/Desktop.h"
#include "platform/core/FontEngine.h"
#include "platform/core/Form.h"
#include "platform/core/MessageDialog.h"
#include "platform/core/Timer.h"
#include "platform/sys/EndSignals.h"
#include "platform/sys/HelpViewer.h"
#include "platform/sys/Media.h"
#include "platform/sys/Services.h"

namespace vdmq {

TApplication& App() {
  static TApplication app;
  return app;
}

void Sleep(std::uint32_t ms) { App().Sleep(ms); }

TApplication::TApplication()
    : TComponent(nullptr), desktop_(std::make_unique<TDesktop>()), icon_(std::make_unique<TBitmap>()) {}

TApplication::~TApplication() {
  BeginDestroy();
  DestroyComponents();
}

void TApplication::Initialize(TBackend& backend) {
  {
    std::lock_guard<std::mutex> g(queueLock_);
    backend_ = &backend;
  }
  TFontEngine::Instance();  // throws a clear error when a font file is missing
  terminated_ = false;
  quitPosted_ = false;
  iconHandedOver_ = false;
  desktop_->MarkWholeScreen();
}

void TApplication::Shutdown() {
  DestroyComponents();
  mainForm_ = nullptr;
  {
    std::lock_guard<std::mutex> g(queueLock_);
    queue_.clear();
  }
  timers_.clear();
  quitPosted_ = terminated_ = minimized_ = false;
  loopDepth_ = 0;
  OnException = nullptr;
  media_ = nullptr;
  Title.clear();
  shownTitle_.clear();
  icon_->TakePixels(TPixmap());
  windowIcon_ = TPixmap();
  iconHandedOver_ = false;
  desktop_ = std::make_unique<TDesktop>();
  std::lock_guard<std::mutex> g(queueLock_);
  backend_ = nullptr;
}

TBackend& TApplication::Backend() {
  if (!backend_) throw std::logic_error("the application has no back end (call Initialize)");
  return *backend_;
}

std::uint64_t TApplication::NowMs() { return backend_ ? backend_->NowMs() : fallbackClock_; }

void TApplication::Notification(TComponent* c, TOperation op) {
  if (op == opRemove && c == mainForm_) mainForm_ = nullptr;
}

void TApplication::Registered(TComponent* c) {
  if (!mainForm_)
    if (TForm* f = dynamic_cast<TForm*>(c)) mainForm_ = f;
}

void TApplication::Run() {
  TLoopScope scope(*this);
  if (mainForm_ && !mainForm_->Visible()) SafeCall([this] { mainForm_->Show(); });
  while (!terminated_ && mainForm_) HandleMessage();
  // Shutdown: the main form first, then every other owned component, newest first.
  if (mainForm_) {
    TForm* f = mainForm_;
    delete f;
  }
  DestroyComponents();
}

void TApplication::Terminate() {
  quitPosted_ = true;
  Wake();
}

void TApplication::Wake() {
  std::lock_guard<std::mutex> g(queueLock_);
  if (backend_) backend_->Wake();
}

void TApplication::Minimize() {
  minimized_ = true;
  if (backend_) backend_->MinimizeApp();
}

void TApplication::Post(TControl* target, const TMessage& m) {
  {
    std::lock_guard<std::mutex> g(queueLock_);
    TQueued q;
    q.target = target;
    q.msg = m;
    queue_.push_back(std::move(q));
  }
  Wake();
}

void TApplication::PostCall(std::function<void()> fn) {
  {
    std::lock_guard<std::mutex> g(queueLock_);
    TQueued q;
    q.call = std::move(fn);
    queue_.push_back(std::move(q));
  }
  Wake();
}

void TApplication::CancelMessagesFor(TControl* target) {
  std::lock_guard<std::mutex> g(queueLock_);
  queue_.erase(
      std::remove_if(queue_.begin(), queue_.end(), [&](const TQueued& q) { return !q.input && q.target == target; }),
      queue_.end());
}

void TApplication::PullInput() {
  if (!backend_) return;
  TInputEvent ev;
  while (backend_->PollInput(ev)) {
    std::lock_guard<std::mutex> g(queueLock_);
    TQueued q;
    q.input = true;
    q.ev = ev;
    queue_.push_back(std::move(q));
  }
}

void TApplication::SafeCall(const std::function<void()>& fn) {
  std::string text;
  try {
    fn();
    return;
  } catch (const EStall&) {
    throw;
  } catch (const std::exception& e) {
    text = e.what();
  } catch (const char* s) {
    text = s ? s : "";
  } catch (const std::string& s) {
    text = s;
  }
  ShowException(text);
}

void TApplication::Deliver(TControl* target, TMessage& m) {
  SafeCall([&] { target->Dispatch(m); });
}

void TApplication::ShowException(std::string_view text) {
  if (OnException) {
    OnException(std::string(text));
    return;
  }
  if (!backend_ || showingException_) return;
  showingException_ = true;
  try {
    MessageBox(text, Title, MB_OK | MB_ICONSTOP);
  } catch (...) {
    showingException_ = false;
    throw;
  }
  showingException_ = false;
}

int TApplication::MessageBox(std::string_view text, std::string_view caption, unsigned flags) {
  return ShowMessageDialog(text, caption, flags);
}

void TApplication::SetTimer(TTimer* t, unsigned intervalMs) {
  const std::uint64_t due = NowMs() + intervalMs;
  for (TTimerEntry& e : timers_)
    if (e.timer == t) {
      e.interval = intervalMs;
      e.due = due;
      return;
    }
  timers_.push_back({t, intervalMs, due});
}

void TApplication::KillTimer(TTimer* t) {
  timers_.erase(std::remove_if(timers_.begin(), timers_.end(), [&](const TTimerEntry& e) { return e.timer == t; }),
                timers_.end());
}

void TApplication::SetWindowIcon(const TPixmap& icon) {
  windowIcon_ = icon;
  iconHandedOver_ = false;
}

void TApplication::HelpContext(int context) { Sys().help->Context(context); }

void TApplication::SyncWindow() {
  if (!backend_) return;
  if (Title != shownTitle_) {
    shownTitle_ = Title;
    backend_->SetTitle(SjisToUtf8(Title));
  }
  if (!iconHandedOver_ && !windowIcon_.Empty()) {
    iconHandedOver_ = true;
    backend_->SetIcon(windowIcon_);
  }
}

void TApplication::PaintAndPresent() {
  SyncWindow();
  // Paint every dirty window, bottom to top; painting runs only drawing code.
  std::vector<TForm*> forms = desktop_->ZOrder();
  for (TForm* f : forms) {
    const auto& alive = desktop_->ZOrder();
    if (std::find(alive.begin(), alive.end(), f) == alive.end()) continue;
    if (f->Visible() && f->NeedsPaint()) SafeCall([f] { f->PaintStore(); });
  }
  desktop_->Compose();
}

bool TApplication::PeekAndDispatch(std::vector<TTimer*>* ticked) {
  // Asked to end from outside: terminated at once, whatever is pending.
  if (EndRequest() != 0) {
    terminated_ = true;
    return true;
  }
  if (media_) SafeCall([this] { media_->Poll(); });
  PullInput();
  // 1. Posted messages and input, first in first out.
  TQueued q;
  bool have = false;
  {
    std::lock_guard<std::mutex> g(queueLock_);
    if (!queue_.empty()) {
      q = std::move(queue_.front());
      queue_.pop_front();
      have = true;
    }
  }
  if (have) {
    if (q.input)
      SafeCall([&] { desktop_->HandleInput(q.ev); });
    else if (q.call)
      SafeCall(q.call);
    else if (q.target)
      Deliver(q.target, q.msg);
    return true;
  }
  // 2. The quit request.
  if (quitPosted_) {
    quitPosted_ = false;
    terminated_ = true;
    return true;
  }
  // 3. Paints.
  for (TForm* f : desktop_->ZOrder())
    if (f->Visible() && f->NeedsPaint()) {
      PaintAndPresent();
      return true;
    }
  // 4. One due timer (the earliest).
  const std::uint64_t now = NowMs();
  TTimerEntry* best = nullptr;
  for (TTimerEntry& e : timers_) {
    if (e.due > now) continue;
    if (ticked && std::find(ticked->begin(), ticked->end(), e.timer) != ticked->end()) continue;
    if (!best || e.due < best->due) best = &e;
  }
  if (best) {
    TTimer* t = best->timer;
    best->due = now + std::max(1u, best->interval);  // re-armed when the tick is taken
    if (ticked) ticked->push_back(t);
    SafeCall([t] { t->Tick(); });
    return true;
  }
  return false;
}

int TApplication::WaitTimeout() {
  std::optional<std::uint64_t> media = media_ ? media_->NextEventTime() : std::nullopt;
  if (timers_.empty() && !media) return -1;
  const std::uint64_t now = NowMs();
  std::uint64_t next = media ? *media : UINT64_MAX;
  for (const TTimerEntry& e : timers_) next = std::min(next, e.due);
  return next <= now ? 0 : static_cast<int>(std::min<std::uint64_t>(next - now, 1u << 30));
}

void TApplication::HandleMessage() {
  if (terminated_) return;
  if (PeekAndDispatch(nullptr)) return;
  // Nothing pending: show what changed, then wait for input or the next timer.
  SyncWindow();
  desktop_->Compose();
  if (!backend_) {
    // Without a back end time only moves with the timers.
    int t = WaitTimeout();
    if (t < 0) ThrowGameError("message loop without back end has nothing to wait for");
    fallbackClock_ += static_cast<std::uint64_t>(t);
    return;
  }
  TInputEvent ev;
  if (backend_->WaitInput(ev, WaitTimeout())) {
    std::lock_guard<std::mutex> g(queueLock_);
    TQueued q;
    q.input = true;
    q.ev = ev;
    queue_.push_back(std::move(q));
  }
}

void TApplication::ProcessMessages() {
  // Each timer ticks at most once per call, so a slow tick handler cannot keep it here.
  std::vector<TTimer*> ticked;
  while (!terminated_ && PeekAndDispatch(&ticked)) {
  }
  desktop_->Compose();
}

void TApplication::Sleep(std::uint32_t ms) {
  if (EndRequest() != 0) return;
  PaintAndPresent();
  if (backend_)
    backend_->Delay(ms);
  else
    fallbackClock_ += ms;
}

std::string TApplication::DescribeState() const {
  std::ostringstream o;
  o << "loop depth " << loopDepth_ << (terminated_ ? ", terminated" : "") << "\nwindows (top first):\n";
  const auto& z = desktop_->ZOrder();
  for (auto it = z.rbegin(); it != z.rend(); ++it) {
    const TForm* f = *it;
    o << "  " << f->ClassName() << " '" << f->Name << "' caption \"" << SjisToUtf8(f->Caption()) << "\""
      << (f->Visible() ? " visible" : " hidden") << (f->Enabled() ? "" : " disabled") << (f->IsModal() ? " modal" : "")
      << (desktop_->ActiveForm() == f ? " active" : "") << " at " << f->Left() << "," << f->Top() << " " << f->Width()
      << "x" << f->Height() << "\n";
  }
  o << "timers:";
  for (const TTimerEntry& e : timers_)
    o << " " << static_cast<const TComponent*>(e.timer)->Name << "(" << e.interval << "ms)";
  o << "\n";
  return o.str();
}

}  // namespace vdmq
