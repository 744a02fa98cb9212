#pragma once
// The timer component: while enabled with a non-zero interval and a handler, it ticks in every
// dispatching loop (never during a blocking pause), also while its form is hidden. A tick is
// re-armed when it is taken, so a handler that opens a modal loop sees the timer fire inside it.

#include "platform/core/Component.h"

namespace vdmq {

class TTimer : public TComponent {
 public:
  explicit TTimer(TComponent* owner);
  ~TTimer() override;
  const char* ClassName() const override { return "TTimer"; }
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool v);
  unsigned Interval() const { return interval_; }
  // Takes effect at once: the next tick is one new interval from now.
  void SetInterval(unsigned ms);
  void SetOnTimer(TNotifyEvent fn);
  const TNotifyEvent& OnTimer() const { return onTimer_; }
  // Runs the handler (called by the loop).
  void Tick();

 private:
  void Update();
  bool enabled_ = true;
  unsigned interval_ = 1000;
  TNotifyEvent onTimer_;
};

}  // namespace vdmq
