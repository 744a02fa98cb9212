#include "platform/core/Timer.h"

#include "platform/core/Application.h"

namespace vdmq {

TTimer::TTimer(TComponent* owner) : TComponent(owner) {}

TTimer::~TTimer() {
  BeginDestroy();
  App().KillTimer(this);
}

void TTimer::Update() {
  if (enabled_ && interval_ > 0 && onTimer_)
    App().SetTimer(this, interval_);
  else
    App().KillTimer(this);
}

void TTimer::SetEnabled(bool v) {
  if (v == enabled_) return;
  enabled_ = v;
  Update();
}

void TTimer::SetInterval(unsigned ms) {
  if (ms == interval_) return;
  interval_ = ms;
  Update();
}

void TTimer::SetOnTimer(TNotifyEvent fn) {
  onTimer_ = std::move(fn);
  Update();
}

void TTimer::Tick() {
  if (onTimer_ && enabled_) {
    TNotifyEvent fn = onTimer_;  // the handler may replace itself
    fn(this);
  }
}

}  // namespace vdmq
