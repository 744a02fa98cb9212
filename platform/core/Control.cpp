#include "platform/core/Control.h"

#include <algorithm>

#include "platform/core/Application.h"
#include "platform/core/Desktop.h"
#include "platform/core/Form.h"

namespace vdmq {

TControl::TControl(TComponent* owner) : TComponent(owner) {}

TControl::~TControl() {
  BeginDestroy();
  TApplication& app = App();
  app.CancelMessagesFor(this);
  app.Desktop().ControlGone(this);
  while (!children_.empty()) delete children_.back();
  if (parent_) {
    TControl* p = parent_;
    if (visible_) Invalidate();
    p->RemoveChild(this);
  }
}

void TControl::RemoveChild(TControl* c) {
  auto it = std::find(children_.begin(), children_.end(), c);
  if (it != children_.end()) children_.erase(it);
  c->parent_ = nullptr;
  if (!Destroying()) Realign();
}

void TControl::SetParent(TControl* parent) {
  if (parent == parent_) return;
  if (parent_) {
    Invalidate();
    parent_->RemoveChild(this);
  }
  parent_ = parent;
  if (parent_) {
    parent_->children_.push_back(this);
    if (ParentFont) font_ = parent_->font_;
    parent_->Realign();
    Invalidate();
  }
}

TForm* TControl::ParentForm() {
  TControl* c = this;
  while (c->parent_) c = c->parent_;
  return dynamic_cast<TForm*>(c);
}

void TControl::SetBounds(int left, int top, int width, int height) {
  width = std::max(0, width);
  height = std::max(0, height);
  if (left == left_ && top == top_ && width == width_ && height == height_) return;
  const bool resized = width != width_ || height != height_;
  Invalidate();
  left_ = left;
  top_ = top;
  width_ = width;
  height_ = height;
  BoundsChanged();
  Invalidate();
  if (parent_ && align_ != alNone) parent_->Realign();
  if (resized) {
    Realign();
    Resize();
  }
}

TPoint TControl::ClientOrigin() const {
  if (!parent_) return {left_, top_};
  TPoint p = parent_->ClientOrigin();
  return {p.X + left_, p.Y + top_};
}

TPoint TControl::ClientToScreen(TPoint p) const {
  TPoint o = ClientOrigin();
  return {p.X + o.X, p.Y + o.Y};
}

TPoint TControl::ScreenToClient(TPoint p) const {
  TPoint o = ClientOrigin();
  return {p.X - o.X, p.Y - o.Y};
}

TRect TControl::WindowStoreRect() const {
  const TControl* top = this;
  while (top->parent_) top = top->parent_;
  TPoint o = ClientOrigin();
  return Bounds(o.X - top->left_, o.Y - top->top_, ClientWidth(), ClientHeight());
}

void TControl::SetAlign(TAlign a) {
  if (a == align_) return;
  align_ = a;
  if (parent_) parent_->Realign();
}

void TControl::Realign() {
  if (aligning_) return;
  aligning_ = true;
  TRect room = ClientRect();
  auto place = [&](TAlign which) {
    for (TControl* c : children_) {
      if (c->align_ != which || !c->visible_) continue;
      switch (which) {
        case alTop:
          c->SetBounds(room.Left, room.Top, room.Width(), c->height_);
          room.Top += c->height_;
          break;
        case alBottom:
          c->SetBounds(room.Left, room.Bottom - c->height_, room.Width(), c->height_);
          room.Bottom -= c->height_;
          break;
        case alLeft:
          c->SetBounds(room.Left, room.Top, c->width_, room.Height());
          room.Left += c->width_;
          break;
        case alRight:
          c->SetBounds(room.Right - c->width_, room.Top, c->width_, room.Height());
          room.Right -= c->width_;
          break;
        case alClient: c->SetBounds(room.Left, room.Top, room.Width(), room.Height()); break;
        default: break;
      }
    }
  };
  place(alTop);
  place(alBottom);
  place(alLeft);
  place(alRight);
  place(alClient);
  aligning_ = false;
}

void TControl::SetVisible(bool v) {
  if (v == visible_) return;
  if (!v) Invalidate();
  visible_ = v;
  if (v) Invalidate();
  if (!v) App().Desktop().ControlGone(this);
  if (parent_ && align_ != alNone) parent_->Realign();
  TMessage m{CM_VISIBLECHANGED, v ? 1u : 0u, 0, 0};
  Dispatch(m);
}

bool TControl::Showing() const {
  for (const TControl* c = this; c; c = c->parent_)
    if (!c->visible_) return false;
  return true;
}

void TControl::SetEnabled(bool v) {
  if (v == enabled_) return;
  enabled_ = v;
  if (!v) {
    TDesktop& d = App().Desktop();
    if (d.Capture() == this) d.ReleaseCapture();
    clicked_ = false;
  }
  EnabledChanged();
  TMessage m{CM_ENABLEDCHANGED, 0, 0, 0};
  Dispatch(m);
  Invalidate();
}

bool TControl::EnabledInTree() const {
  // A disabled top-level window (under a modal one) does not grey its controls.
  for (const TControl* c = this; c && c->parent_; c = c->parent_)
    if (!c->enabled_) return false;
  return true;
}

void TControl::SetColor(TColor c) {
  if (c == color_) return;
  color_ = c;
  Invalidate();
}

void TControl::SetFont(const TFont& f) {
  ParentFont = false;
  font_ = f;
  for (TControl* c : children_)
    if (c->ParentFont) {
      c->SetFont(f);
      c->ParentFont = true;
    }
  TMessage m{CM_FONTCHANGED, 0, 0, 0};
  Dispatch(m);
  Invalidate();
}

void TControl::SetCaption(const std::string& text) {
  if (text == caption_) return;
  caption_ = text;
  TextChanged();
  TMessage m{CM_TEXTCHANGED, 0, 0, 0};
  Dispatch(m);
  Invalidate();
}

void TControl::BringToFront() {
  if (!parent_) return;
  auto& v = parent_->children_;
  v.erase(std::find(v.begin(), v.end(), this));
  v.push_back(this);
  Invalidate();
}

void TControl::SendToBack() {
  if (!parent_) return;
  auto& v = parent_->children_;
  v.erase(std::find(v.begin(), v.end(), this));
  v.insert(v.begin(), this);
  Invalidate();
}

void TControl::Invalidate() { InvalidateRect(ClientRect()); }

void TControl::InvalidateRect(const TRect& clientRect) {
  if (Destroying()) return;
  TForm* f = ParentForm();
  if (!f || !f->Visible()) return;
  const TRect r = WindowStoreRect();
  f->InvalidateStore(Intersect(clientRect.Offset(r.Left, r.Top), r));
}

void TControl::Update() {
  TForm* f = ParentForm();
  if (!f || !f->Visible()) return;
  f->PaintStore();
  App().Desktop().Compose();
}

TCanvas& TControl::Canvas() {
  if (painting_) return paintCanvas_;
  TForm* f = ParentForm();
  if (!f) return canvas_;
  // Outside painting: draw straight into the window store, clipped to the visible client area.
  TRect r = WindowStoreRect();
  TRect clip = r;
  for (TControl* p = parent_; p; p = p->parent_) clip = Intersect(clip, p->WindowStoreRect());
  TCanvas& wc = f->WindowCanvas();
  canvas_.Bind(wc.Target(), {r.Left, r.Top}, clip);
  canvas_.OnDrawn = [f] { f->MarkComposite(); };
  return canvas_;
}

void TControl::PaintWith(TCanvas& canvas) {
  ++paintCount_;
  painting_ = true;
  paintCanvas_ = canvas;
  paintCanvas_.OnDrawn = nullptr;
  try {
    if (IsWindowed()) {
      TMessage e{WM_ERASEBKGND, reinterpret_cast<std::uintptr_t>(&paintCanvas_), 0, 0};
      Dispatch(e);
    }
    TMessage p{WM_PAINT, reinterpret_cast<std::uintptr_t>(&paintCanvas_), 0, 0};
    Dispatch(p);
  } catch (...) {
    painting_ = false;
    throw;
  }
  painting_ = false;
}

void TControl::Paint(TCanvas&) {}

std::intptr_t TControl::Perform(std::uint32_t msg, std::uintptr_t w, std::intptr_t l) {
  TMessage m{msg, w, l, 0};
  Dispatch(m);
  return m.Result;
}

bool TControl::MouseCapture() const { return App().Desktop().Capture() == this; }

void TControl::SetMouseCapture(bool v) {
  TDesktop& d = App().Desktop();
  if (v)
    d.SetCapture(this);
  else if (d.Capture() == this)
    d.ReleaseCapture();
}

TControl* TControl::ControlAtPos(TPoint p, bool allowDisabled) {
  for (auto it = children_.rbegin(); it != children_.rend(); ++it) {
    TControl* c = *it;
    if (!c->visible_ || !c->BoundsRect().Contains(p)) continue;
    if (!c->enabled_ && !allowDisabled) {
      // A disabled windowed control swallows the click; a disabled graphic one lets it through.
      if (c->IsWindowed()) return c;
      continue;
    }
    return c->ControlAtPos({p.X - c->left_, p.Y - c->top_}, allowDisabled);
  }
  return this;
}

TShiftState TControl::ShiftFromWParam(std::uintptr_t w) const {
  TShiftState s = 0;
  if (w & MK_SHIFT) s |= ssShift;
  if (w & MK_CONTROL) s |= ssCtrl;
  if (w & MK_LBUTTON) s |= ssLeft;
  if (w & MK_RBUTTON) s |= ssRight;
  if (w & MK_MBUTTON) s |= ssMiddle;
  return s;
}

void TControl::Dispatch(TMessage& m) {
  switch (m.Msg) {
    case WM_ERASEBKGND: {
      if (opaqueErase_ && m.WParam) {
        TCanvas* c = reinterpret_cast<TCanvas*>(m.WParam);
        c->FillRectColor(ClientRect(), color_);
      }
      m.Result = 1;
      return;
    }
    case WM_PAINT:
      if (m.WParam) Paint(*reinterpret_cast<TCanvas*>(m.WParam));
      return;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDBLCLK: {
      const bool dbl = m.Msg == WM_LBUTTONDBLCLK || m.Msg == WM_RBUTTONDBLCLK || m.Msg == WM_MBUTTONDBLCLK;
      const TMouseButton b = (m.Msg == WM_LBUTTONDOWN || m.Msg == WM_LBUTTONDBLCLK)   ? mbLeft
                             : (m.Msg == WM_RBUTTONDOWN || m.Msg == WM_RBUTTONDBLCLK) ? mbRight
                                                                                      : mbMiddle;
      SetMouseCapture(true);
      if (b == mbLeft && !dbl) clicked_ = true;
      if (b == mbLeft && dbl) DblClick();
      MouseDown(b, ShiftFromWParam(m.WParam) | (dbl ? ssDouble : 0), LParamX(m.LParam), LParamY(m.LParam));
      return;
    }
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP: {
      const TMouseButton b = m.Msg == WM_LBUTTONUP ? mbLeft : m.Msg == WM_RBUTTONUP ? mbRight : mbMiddle;
      const int x = LParamX(m.LParam), y = LParamY(m.LParam);
      SetMouseCapture(false);
      if (b == mbLeft && clicked_) {
        clicked_ = false;
        if (ClientRect().Contains(x, y)) Click();
      }
      MouseUp(b, ShiftFromWParam(m.WParam), x, y);
      return;
    }
    case WM_MOUSEMOVE: MouseMove(ShiftFromWParam(m.WParam), LParamX(m.LParam), LParamY(m.LParam)); return;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN: {
      unsigned key = static_cast<unsigned>(m.WParam);
      KeyDown(key, static_cast<TShiftState>(m.LParam));
      m.Result = key == 0;
      return;
    }
    case WM_KEYUP:
    case WM_SYSKEYUP: {
      unsigned key = static_cast<unsigned>(m.WParam);
      if (OnKeyUp) OnKeyUp(this, key, static_cast<TShiftState>(m.LParam));
      return;
    }
    case WM_CHAR: {
      char ch = static_cast<char>(m.WParam);
      KeyPress(ch);
      return;
    }
    case WM_MOUSEWHEEL:
      // A control that does not scroll hands the wheel to its parent.
      if (parent_) parent_->Dispatch(m);
      return;
    default: return;
  }
}

void TControl::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  if (OnMouseDown) OnMouseDown(this, button, shift, x, y);
}
void TControl::MouseMove(TShiftState shift, int x, int y) {
  if (OnMouseMove) OnMouseMove(this, shift, x, y);
}
void TControl::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  if (OnMouseUp) OnMouseUp(this, button, shift, x, y);
}
void TControl::Click() {
  if (OnClick) OnClick(this);
}
void TControl::DblClick() {
  if (OnDblClick) OnDblClick(this);
}
void TControl::Resize() {
  if (OnResize) OnResize(this);
}
void TControl::KeyDown(unsigned& key, TShiftState shift) {
  if (OnKeyDown) OnKeyDown(this, key, shift);
}
void TControl::KeyPress(char& key) {
  if (OnKeyPress) OnKeyPress(this, key);
}

}  // namespace vdmq
