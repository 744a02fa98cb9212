#pragma once
// A panel that can leave its background unerased and unpainted, so that a picture laid over it is
// never overdrawn and does not flicker; it can hand its whole paint message to the program and
// reports the mouse entering and leaving it.

#include <functional>

#include "platform/core/StdCtrls.h"

namespace vdmq {

// Takes over the panel's paint message (WParam is the paint canvas).
using TUserPaintEvent = std::function<void(TComponent* sender, TMessage& message)>;

class TQoPanel : public TPanel {
 public:
  // No outer bevel, caption " ".
  explicit TQoPanel(TComponent* owner);
  const char* ClassName() const override { return "TQoPanel"; }

  // False: no background erase, and painting stops after the bevels and the border.
  bool EraseBkGnd() const { return eraseBkGnd_; }
  void SetEraseBkGnd(bool value);

  TUserPaintEvent OnUserPaint;
  TNotifyEvent OnMouseEnter, OnMouseLeave;

  // The usual handling of a paint message, for an OnUserPaint handler.
  void DefaultPaintHandler(TMessage& message) { TPanel::Dispatch(message); }
  void Dispatch(TMessage& m) override;

 protected:
  void Paint(TCanvas& c) override;

 private:
  bool eraseBkGnd_ = false;
};

}  // namespace vdmq
