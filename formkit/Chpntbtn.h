#pragma once
// A push button whose owner drawing is handed to an event, OnBtnDraw, and which can leave its
// background unerased.

#include <functional>

#include "platform/core/StdCtrls.h"

namespace vdmq {

// The drawing event of the kit's buttons: the button, its state (up, disabled, down, or held
// down in a group), and the focus and default flags.
using TCHBtnDrawEvent = std::function<void(TComponent* sender, TButtonState state, bool isFocused, bool isDefault)>;

class TCHCustomPaintBitBtn : public TBitBtn {
 public:
  explicit TCHCustomPaintBitBtn(TComponent* owner) : TBitBtn(owner) {}
  const char* ClassName() const override { return "TCHCustomPaintBitBtn"; }

  TCHBtnDrawEvent OnBtnDraw;
  // False: the erase message is answered with 0 and nothing is erased.
  bool EraseBkGnd = true;

  void Dispatch(TMessage& m) override;

 protected:
  // With OnBtnDraw: the canvas takes the button's font, brush clBtnFace and pen clWindowFrame,
  // and OnBtnDraw runs with the state and the "active" flag as IsFocused and the request's focus
  // bit as IsDefault. Without it, the usual bit-button drawing.
  void DrawItem(const TDrawItemStruct& dis) override;
  // The canvas of the draw request, while one runs.
  TCanvas* DrawCanvas() const { return drawCanvas_; }

 private:
  TCanvas* drawCanvas_ = nullptr;
};

class TCHPaintBitBtn : public TCHCustomPaintBitBtn {
 public:
  using TCHCustomPaintBitBtn::TCHCustomPaintBitBtn;
  const char* ClassName() const override { return "TCHPaintBitBtn"; }
};

}  // namespace vdmq
