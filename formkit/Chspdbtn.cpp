#include "formkit/Chspdbtn.h"

namespace vdmq {

void TCHSpeedButton::Paint(TCanvas& c) {
  TSpeedButton::Paint(c);
  if (!OnBtnDraw) return;
  paintCanvas_ = &c;
  struct TUnbind {
    TCanvas*& p;
    ~TUnbind() { p = nullptr; }
  } unbind{paintCanvas_};
  OnBtnDraw(this, State(), false, false);
}

}  // namespace vdmq
