#include "formkit/Qopanel.h"

namespace vdmq {

TQoPanel::TQoPanel(TComponent* owner) : TPanel(owner) {
  BevelOuter = bvNone;
  SetCaption(" ");
}

void TQoPanel::SetEraseBkGnd(bool value) {
  if (value == eraseBkGnd_) return;
  eraseBkGnd_ = value;
  Invalidate();
}

void TQoPanel::Dispatch(TMessage& m) {
  switch (m.Msg) {
    case WM_ERASEBKGND:
      if (!eraseBkGnd_) {
        m.Result = 1;  // counted as erased
        return;
      }
      break;
    case WM_PAINT:
      if (OnUserPaint) {
        OnUserPaint(this, m);
        return;
      }
      break;
    case CM_MOUSEENTER:
      if (OnMouseEnter) OnMouseEnter(this);
      break;
    case CM_MOUSELEAVE:
      if (OnMouseLeave) OnMouseLeave(this);
      break;
    default: break;
  }
  TPanel::Dispatch(m);
}

void TQoPanel::Paint(TCanvas& c) {
  TRect r = PaintFrame(c);
  if (!eraseBkGnd_) return;
  c.FillRectColor(r, Color());
  c.Brush.Style = bsClear;
  c.Font = Font();
  const int h = c.TextHeight("W");
  r.Top = (r.Top + r.Bottom - h) / 2;
  r.Bottom = r.Top + h;
  const unsigned align = Alignment == taCenter ? DT_CENTER : Alignment == taRightJustify ? DT_RIGHT : DT_LEFT;
  c.DrawText(Caption(), r, DT_EXPANDTABS | DT_VCENTER | align);
}

}  // namespace vdmq
