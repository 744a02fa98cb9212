#include "formkit/Chpntbtn.h"

namespace vdmq {

void TCHCustomPaintBitBtn::Dispatch(TMessage& m) {
  if (m.Msg == WM_ERASEBKGND && !EraseBkGnd) {
    m.Result = 0;
    return;
  }
  TBitBtn::Dispatch(m);
}

void TCHCustomPaintBitBtn::DrawItem(const TDrawItemStruct& dis) {
  if (!dis.Canvas) return;
  if (!OnBtnDraw) {
    TBitBtn::DrawItem(dis);
    return;
  }
  TCanvas& c = *dis.Canvas;
  c.Font = Font();
  c.Brush.Color = clBtnFace;
  c.Brush.Style = bsSolid;
  c.Pen.Color = clWindowFrame;
  const TButtonState state = !Enabled() ? bsDisabled : (dis.State & ODS_SELECTED) ? bsDown : bsUp;
  drawCanvas_ = &c;
  struct TUnbind {
    TCanvas*& p;
    ~TUnbind() { p = nullptr; }
  } unbind{drawCanvas_};
  // The layer sets the focus bit from the same "active" flag, so both flags agree here.
  OnBtnDraw(this, state, IsDefaultLook(), (dis.State & ODS_FOCUS) != 0);
}

}  // namespace vdmq
