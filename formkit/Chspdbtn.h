#pragma once
// A speed button whose usual painting is followed by an event, OnBtnDraw.

#include "formkit/Chpntbtn.h"

namespace vdmq {

class TCHSpeedButton : public TSpeedButton {
 public:
  explicit TCHSpeedButton(TComponent* owner) : TSpeedButton(owner) {}
  const char* ClassName() const override { return "TCHSpeedButton"; }

  // Runs after the usual painting with the current state (held down included) and no flags.
  TCHBtnDrawEvent OnBtnDraw;

 protected:
  void Paint(TCanvas& c) override;
  // The canvas being painted, while painting runs.
  TCanvas* PaintCanvas() const { return paintCanvas_; }

 private:
  TCanvas* paintCanvas_ = nullptr;
};

class TCHPaintSpdBtn : public TCHSpeedButton {
 public:
  using TCHSpeedButton::TCHSpeedButton;
  const char* ClassName() const override { return "TCHPaintSpdBtn"; }
};

}  // namespace vdmq
