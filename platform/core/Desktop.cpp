#include "platform/core/Desktop.h"

#include <algorithm>
#include <cstdlib>

#include "platform/core/Application.h"

namespace vdmq {

namespace {
bool Contains(const std::vector<TForm*>& v, const TControl* f) { return std::find(v.begin(), v.end(), f) != v.end(); }
}  // namespace

TDesktop& Desktop() { return App().Desktop(); }

TDesktop::TDesktop() {}

// ---------------------------------------------------------------------------------------------
// Windows

void TDesktop::AddForm(TForm* f) {
  if (!Contains(zorder_, f)) zorder_.push_back(f);
}

void TDesktop::RemoveForm(TForm* f) {
  zorder_.erase(std::remove(zorder_.begin(), zorder_.end(), f), zorder_.end());
  if (ncPressForm_ == f) ncPressForm_ = nullptr;
  if (track_.form == f) track_.form = nullptr;
  if (PopupWindow == f) PopupWindow = nullptr;
  if (active_ == f) {
    active_ = nullptr;
    ActivateNext(f);
  }
}

void TDesktop::BringToFront(TForm* f) {
  auto it = std::find(zorder_.begin(), zorder_.end(), f);
  if (it == zorder_.end() || it + 1 == zorder_.end()) return;
  zorder_.erase(it);
  zorder_.push_back(f);
  if (f->Visible()) MarkScreen(f->BoundsRect());
}

void TDesktop::Activate(TForm* f, bool byClick) {
  if (f == active_) {
    if (f) BringToFront(f);
    return;
  }
  TForm* old = active_;
  active_ = f;
  if (f) BringToFront(f);
  // Each message is handled on its own: an exception in a handler is shown and the rest still run.
  TApplication& app = App();
  auto send = [&](TForm* to, std::uint32_t msg, std::uintptr_t w) {
    if (!Contains(zorder_, to)) return;
    TMessage m{msg, w, 0, 0};
    app.Deliver(to, m);
  };
  if (old && Contains(zorder_, old)) {
    send(old, WM_NCACTIVATE, 0);
    send(old, WM_ACTIVATE, WA_INACTIVE);
    send(old, CM_DEACTIVATE, 0);
  }
  if (f && active_ == f) {
    send(f, WM_NCACTIVATE, 1);
    send(f, WM_ACTIVATE, byClick ? WA_CLICKACTIVE : WA_ACTIVE);
    send(f, CM_ACTIVATE, 0);
  }
}

void TDesktop::ActivateNext(TForm* except) {
  for (auto it = zorder_.rbegin(); it != zorder_.rend(); ++it) {
    TForm* f = *it;
    if (f != except && f != PopupWindow && f->Visible() && f->Enabled() && f->WindowState() != wsMinimized) {
      Activate(f);
      return;
    }
  }
  Activate(nullptr);
}

std::vector<TForm*> TDesktop::DisableOthers(TForm* keep) {
  std::vector<TForm*> out;
  for (TForm* f : zorder_)
    if (f != keep && f->Visible() && f->Enabled()) out.push_back(f);
  for (TForm* f : out) f->SetEnabled(false);
  return out;
}

TForm* TDesktop::TopVisibleForm() const {
  for (auto it = zorder_.rbegin(); it != zorder_.rend(); ++it)
    if ((*it)->Visible() && (*it)->WindowState() != wsMinimized) return *it;
  return nullptr;
}

TForm* TDesktop::FormAt(TPoint p) const {
  for (auto it = zorder_.rbegin(); it != zorder_.rend(); ++it) {
    TForm* f = *it;
    if (f->Visible() && f->WindowState() != wsMinimized && f->BoundsRect().Contains(p)) return f;
  }
  return nullptr;
}

void TDesktop::ControlGone(TControl* c) {
  if (capture_ == c) capture_ = nullptr;
  if (hover_ == c) hover_ = nullptr;
  if (lastDown_.target == c) lastDown_.target = nullptr;
  // A control inside a hidden or dying parent also loses capture and hover.
  for (TControl* x = capture_; x; x = x->Parent())
    if (x == c) capture_ = nullptr;
  for (TControl* x = hover_; x; x = x->Parent())
    if (x == c) hover_ = nullptr;
}

// ---------------------------------------------------------------------------------------------
// Mouse state

void TDesktop::SetCapture(TControl* c) { capture_ = c; }
void TDesktop::ReleaseCapture() { capture_ = nullptr; }

void TDesktop::SetCursorPos(TPoint p) {
  mouse_ = p;
  if (App().HasBackend()) App().Backend().WarpMouse(p);
}

void TDesktop::SetCursor(TCursorShape shape) {
  cursor_ = shape;
  if (App().HasBackend()) App().Backend().SetCursor(shape);
}

std::uintptr_t TDesktop::KeyFlags() const {
  std::uintptr_t f = 0;
  if (buttons_ & 1) f |= MK_LBUTTON;
  if (buttons_ & 2) f |= MK_RBUTTON;
  if (buttons_ & 4) f |= MK_MBUTTON;
  if (mods_ & kModShift) f |= MK_SHIFT;
  if (mods_ & kModCtrl) f |= MK_CONTROL;
  return f;
}

// ---------------------------------------------------------------------------------------------
// Screen

TSize TDesktop::ScreenSize() const {
  if (App().HasBackend()) return App().Backend().ScreenSize();
  return {800, 600};
}

TRect TDesktop::WorkArea() const {
  if (App().HasBackend()) return App().Backend().WorkArea();
  return ScreenRect();
}

void TDesktop::MarkScreen(const TRect& r) {
  TSize s = ScreenSize();
  screenDirty_.Add(Intersect(r, {0, 0, s.cx, s.cy}));
}

void TDesktop::MarkWholeScreen() {
  TSize s = ScreenSize();
  screenDirty_.Add({0, 0, s.cx, s.cy});
}

void TDesktop::Compose() {
  SyncWindow();
  const TSize s = ScreenSize();
  if (screen_.Width() != s.cx || screen_.Height() != s.cy) {
    screen_.Resize(s.cx, s.cy, 0);
    screenDirty_.Clear();
    screenDirty_.Add({0, 0, s.cx, s.cy});
  }
  if (screenDirty_.IsEmpty()) return;
  for (const TRect& r : screenDirty_.Rects()) {
    screen_.Fill(r, 0);
    for (TForm* f : zorder_)
      if (f->Visible() && f->WindowState() != wsMinimized) BlitPixmap(screen_, f->Left(), f->Top(), f->Store(), r);
  }
  if (App().HasBackend()) App().Backend().Present(screen_, screenDirty_);
  screenDirty_.Clear();
}

// ---------------------------------------------------------------------------------------------
// Input

void TDesktop::HandleInput(const TInputEvent& ev) {
  switch (ev.kind) {
    case TInputEvent::MouseMove:
    case TInputEvent::MouseDown:
    case TInputEvent::MouseUp:
      mouse_ = {ev.x, ev.y};
      mods_ = ev.mods;
      if (ev.kind == TInputEvent::MouseDown) buttons_ |= 1u << ev.button;
      if (ev.kind == TInputEvent::MouseUp) buttons_ &= ~(1u << ev.button);
      RouteMouse(ev);
      break;
    case TInputEvent::KeyDown:
    case TInputEvent::KeyUp:
    case TInputEvent::Char:
      mods_ = ev.mods;
      RouteKey(ev);
      break;
    case TInputEvent::CloseRequest: {
      // The OS window's close box: the main window's close, unless a modal window disabled it.
      TForm* mf = App().MainForm();
      if (mf && mf->Enabled()) mf->Perform(WM_CLOSE);
      break;
    }
    case TInputEvent::ScreenResized:
      MarkWholeScreen();
      FollowWindowSize({ev.x, ev.y});
      break;
    case TInputEvent::WindowState: FollowWindowState(ev.x); break;
    case TInputEvent::Wheel: RouteWheel(ev.x); break;
  }
}

void TDesktop::RouteWheel(int notches) {
  // The wheel goes to the enabled control under the mouse, whose parents take it when it does not.
  if (notches == 0 || track_.form || (PopupWindow && PopupWindow->Visible())) return;
  TForm* f = FormAt(mouse_);
  if (!f || !f->Enabled()) return;
  if (f->Perform(WM_NCHITTEST, 0, MakeLParam(mouse_.X, mouse_.Y)) != HTCLIENT) return;
  TControl* target = f->ControlAtPos(f->ScreenToClient(mouse_), false);
  if (!target || !target->EnabledInTree()) return;
  const auto delta = static_cast<std::uint16_t>(static_cast<std::int16_t>(notches * WHEEL_DELTA));
  TMessage m{WM_MOUSEWHEEL, (static_cast<std::uintptr_t>(delta) << 16) | KeyFlags(), MakeLParam(mouse_.X, mouse_.Y), 0};
  target->Dispatch(m);
}

void TDesktop::SendMouse(TControl* target, std::uint32_t msg, TPoint screen, std::uintptr_t keyFlags) {
  const TPoint cp = target->ScreenToClient(screen);
  TMessage m{msg, keyFlags, MakeLParam(cp.X, cp.Y), 0};
  target->Dispatch(m);
}

void TDesktop::UpdateHover(TControl* c) {
  if (c == hover_) return;
  TControl* old = hover_;
  hover_ = c;
  if (old) old->Perform(CM_MOUSELEAVE);
  if (c && hover_ == c) c->Perform(CM_MOUSEENTER);
}

void TDesktop::RouteMouse(const TInputEvent& ev) {
  const bool down = ev.kind == TInputEvent::MouseDown, up = ev.kind == TInputEvent::MouseUp;
  if (track_.form) {
    Track(ev);
    return;
  }
  static const std::uint32_t downMsg[3] = {WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_MBUTTONDOWN};
  static const std::uint32_t dblMsg[3] = {WM_LBUTTONDBLCLK, WM_RBUTTONDBLCLK, WM_MBUTTONDBLCLK};
  static const std::uint32_t upMsg[3] = {WM_LBUTTONUP, WM_RBUTTONUP, WM_MBUTTONUP};
  const int b = std::clamp(ev.button, 0, 2);
  // An open popup menu takes the mouse; a press outside it closes it.
  if (PopupWindow && PopupWindow->Visible()) {
    TForm* p = PopupWindow;
    if (p->BoundsRect().Contains(mouse_) || capture_) {
      TControl* t = capture_ ? capture_ : static_cast<TControl*>(p);
      SendMouse(t, down ? downMsg[b] : up ? upMsg[b] : WM_MOUSEMOVE, mouse_, KeyFlags());
    } else if (down) {
      p->Perform(WM_NCLBUTTONDOWN, HTNOWHERE, MakeLParam(mouse_.X, mouse_.Y));
    }
    return;
  }
  // The control holding the capture gets every mouse message, wherever the mouse is.
  if (capture_) {
    TControl* c = capture_;
    if (up) ncPressForm_ = nullptr;
    SendMouse(c, down ? downMsg[b] : up ? upMsg[b] : WM_MOUSEMOVE, mouse_, KeyFlags());
    return;
  }
  if (ncPressForm_ && !down) {
    TForm* f = ncPressForm_;
    const int hit = static_cast<int>(f->Perform(WM_NCHITTEST, 0, MakeLParam(mouse_.X, mouse_.Y)));
    if (up) {
      ncPressForm_ = nullptr;
      f->Perform(b == 1 ? WM_NCRBUTTONUP : WM_NCLBUTTONUP, static_cast<std::uintptr_t>(hit),
                 MakeLParam(mouse_.X, mouse_.Y));
    } else {
      f->Perform(WM_NCMOUSEMOVE, static_cast<std::uintptr_t>(hit), MakeLParam(mouse_.X, mouse_.Y));
    }
    return;
  }
  TForm* f = FormAt(mouse_);
  if (!f) {
    UpdateHover(nullptr);
    return;
  }
  if (!f->Enabled()) {
    // A click on a window disabled by a modal one brings the active (modal) window forward.
    if (down && active_) BringToFront(active_);
    UpdateHover(nullptr);
    return;
  }
  if (down && f != active_) {
    Activate(f, true);
    if (!Contains(zorder_, f) || !f->Visible() || !f->Enabled()) return;
  }
  const int hit = static_cast<int>(f->Perform(WM_NCHITTEST, 0, MakeLParam(mouse_.X, mouse_.Y)));
  bool dbl = false;
  TControl* target = nullptr;
  if (hit == HTCLIENT) {
    target = f->ControlAtPos(f->ScreenToClient(mouse_), false);
    if (!target->EnabledInTree()) return;
  }
  if (down) {
    const std::uint64_t now = App().NowMs();
    TControl* key = target ? target : f;
    dbl = (ev.secondClick && b == 0) ||
          (lastDown_.button == b && lastDown_.target == key && lastDown_.hit == hit &&
           now - lastDown_.t <= kDoubleClickMs && std::abs(mouse_.X - lastDown_.p.X) <= kDoubleClickSlop &&
           std::abs(mouse_.Y - lastDown_.p.Y) <= kDoubleClickSlop);
    if (dbl) {
      lastDown_.target = nullptr;
    } else {
      lastDown_.t = now;
      lastDown_.p = mouse_;
      lastDown_.button = b;
      lastDown_.target = key;
      lastDown_.hit = hit;
    }
  }
  if (target) {
    if (!down && !up) {
      UpdateHover(target);
      SendMouse(target, WM_MOUSEMOVE, mouse_, KeyFlags());
    } else {
      SendMouse(target, down ? (dbl ? dblMsg[b] : downMsg[b]) : upMsg[b], mouse_, KeyFlags());
    }
    return;
  }
  UpdateHover(nullptr);
  const std::intptr_t lp = MakeLParam(mouse_.X, mouse_.Y);
  const auto h = static_cast<std::uintptr_t>(hit);
  if (down) {
    if (b != 2) ncPressForm_ = f;
    if (b == 0)
      f->Perform(dbl ? WM_NCLBUTTONDBLCLK : WM_NCLBUTTONDOWN, h, lp);
    else if (b == 1)
      f->Perform(dbl ? WM_NCRBUTTONDBLCLK : WM_NCRBUTTONDOWN, h, lp);
  } else if (up) {
    f->Perform(b == 1 ? WM_NCRBUTTONUP : WM_NCLBUTTONUP, h, lp);
  } else {
    f->Perform(WM_NCMOUSEMOVE, h, lp);
  }
}

void TDesktop::RouteKey(const TInputEvent& ev) {
  const TShiftState shift =
      ((ev.mods & kModShift) ? ssShift : 0) | ((ev.mods & kModCtrl) ? ssCtrl : 0) | ((ev.mods & kModAlt) ? ssAlt : 0);
  if (track_.form && track_.keyboard) {
    if (ev.kind != TInputEvent::KeyDown) return;
    TForm* f = track_.form;
    if (ev.vk == VK_ESCAPE) {
      f->SetBounds(track_.start.Left, track_.start.Top, track_.start.Width(), track_.start.Height());
      track_.form = nullptr;
    } else if (ev.vk == VK_RETURN) {
      track_.form = nullptr;
    }
    return;
  }
  TForm* f = (PopupWindow && PopupWindow->Visible()) ? PopupWindow : active_;
  if (!f || !f->Enabled()) return;
  const bool alt = ev.mods & kModAlt;
  if (ev.kind == TInputEvent::KeyDown) {
    if (alt && ev.vk == VK_F4) {
      f->Perform(WM_SYSCOMMAND, SC_CLOSE);
      return;
    }
    if (alt) {
      f->Perform(WM_SYSKEYDOWN, ev.vk, shift);
      return;
    }
    bool handled = false;
    if (f->OnShortCut) f->OnShortCut(ev.vk, shift, handled);
    if (handled) return;
    if (f->KeyPreview && f->Perform(WM_KEYDOWN, ev.vk, shift)) return;
    TControl* t = f->ActiveControl;
    if (t && t != f && t->ParentForm() == f && t->Showing() && t->EnabledInTree())
      t->Perform(WM_KEYDOWN, ev.vk, shift);
    else if (!f->KeyPreview)
      f->Perform(WM_KEYDOWN, ev.vk, shift);
  } else if (ev.kind == TInputEvent::KeyUp) {
    if (alt) {
      f->Perform(WM_SYSKEYUP, ev.vk, shift);
      return;
    }
    TControl* t = f->ActiveControl;
    if (f->KeyPreview || !t) f->Perform(WM_KEYUP, ev.vk, shift);
    if (t && t != f && t->ParentForm() == f && t->Showing()) t->Perform(WM_KEYUP, ev.vk, shift);
  } else {
    TControl* t = f->ActiveControl;
    if (f->KeyPreview || !t) f->Perform(WM_CHAR, ev.vk, shift);
    if (t && t != f && t->ParentForm() == f && t->Showing() && t->EnabledInTree()) t->Perform(WM_CHAR, ev.vk, shift);
  }
}

// ---------------------------------------------------------------------------------------------
// Move and size tracking

TMinMaxInfo TDesktop::MinMaxFor(TForm* f) {
  const TFrameMetrics m = f->Metrics();
  TMinMaxInfo mm;
  mm.ptMinTrackSize = {112, 27};
  if (FillsScreen(f)) {
    // The OS window: maximised it takes the display's usable area, its frame included.
    const TRect work = WorkArea();
    mm.ptMaxSize = {work.Width(), work.Height()};
    mm.ptMaxPosition = {0, 0};
    mm.ptMaxTrackSize = mm.ptMaxSize;
  } else {
    const TSize s = ScreenSize();
    mm.ptMaxSize = {s.cx + 2 * m.FrameX, s.cy + 2 * m.FrameY};
    mm.ptMaxPosition = {-m.FrameX, -m.FrameY};
    mm.ptMaxTrackSize = {s.cx + 2 * m.FrameX, s.cy + 2 * m.FrameY};
  }
  f->Perform(WM_GETMINMAXINFO, 0, reinterpret_cast<std::intptr_t>(&mm));
  return mm;
}

TRect TDesktop::MaximizedRect(TForm* f) {
  const TMinMaxInfo mm = MinMaxFor(f);
  return Bounds(mm.ptMaxPosition.X, mm.ptMaxPosition.Y, std::min(mm.ptMaxSize.X, mm.ptMaxTrackSize.X),
                std::min(mm.ptMaxSize.Y, mm.ptMaxTrackSize.Y));
}

TRect TDesktop::ClampToMinMax(TForm* f, TRect r, int edge) {
  const TMinMaxInfo mm = MinMaxFor(f);
  const int w = std::clamp(r.Width(), mm.ptMinTrackSize.X, std::max(mm.ptMinTrackSize.X, mm.ptMaxTrackSize.X));
  const int h = std::clamp(r.Height(), mm.ptMinTrackSize.Y, std::max(mm.ptMinTrackSize.Y, mm.ptMaxTrackSize.Y));
  const bool leftEdge = edge == HTLEFT || edge == HTTOPLEFT || edge == HTBOTTOMLEFT;
  const bool topEdge = edge == HTTOP || edge == HTTOPLEFT || edge == HTTOPRIGHT;
  if (leftEdge)
    r.Left = r.Right - w;
  else
    r.Right = r.Left + w;
  if (topEdge)
    r.Top = r.Bottom - h;
  else
    r.Bottom = r.Top + h;
  return r;
}

void TDesktop::StartMove(TForm* f, bool keyboard) {
  if (!keyboard && !(buttons_ & 1)) return;  // a mouse drag needs the button held
  if (FillsScreen(f)) {
    // A drag of the caption is the window system's from the press on; a move from the keyboard is
    // asked of it.
    if (keyboard && windowShown_) App().Backend().StartWindowMove();
    return;
  }
  capture_ = nullptr;
  ncPressForm_ = nullptr;
  track_.form = f;
  track_.edge = 0;
  track_.keyboard = keyboard;
  track_.anchor = mouse_;
  track_.start = f->BoundsRect();
}

void TDesktop::StartSize(TForm* f, int edgeHit, bool keyboard) {
  if (!keyboard && !(buttons_ & 1)) return;
  capture_ = nullptr;
  ncPressForm_ = nullptr;
  track_.form = f;
  track_.edge = edgeHit;
  track_.keyboard = keyboard;
  track_.anchor = mouse_;
  track_.start = f->BoundsRect();
}

void TDesktop::Track(const TInputEvent& ev) {
  TForm* f = track_.form;
  const int dx = mouse_.X - track_.anchor.X, dy = mouse_.Y - track_.anchor.Y;
  if (ev.kind == TInputEvent::MouseMove || ev.kind == TInputEvent::MouseUp) {
    if (track_.edge == 0) {
      TRect r = track_.start.Offset(dx, dy);
      f->SetBounds(r.Left, r.Top, r.Width(), r.Height());
    } else {
      TRect r = track_.start;
      const int e = track_.edge;
      if (e == HTLEFT || e == HTTOPLEFT || e == HTBOTTOMLEFT) r.Left += dx;
      if (e == HTRIGHT || e == HTTOPRIGHT || e == HTBOTTOMRIGHT) r.Right += dx;
      if (e == HTTOP || e == HTTOPLEFT || e == HTTOPRIGHT) r.Top += dy;
      if (e == HTBOTTOM || e == HTBOTTOMLEFT || e == HTBOTTOMRIGHT) r.Bottom += dy;
      r = ClampToMinMax(f, r, e);
      f->SetBounds(r.Left, r.Top, r.Width(), r.Height());
    }
  }
  const bool ends = track_.keyboard ? ev.kind == TInputEvent::MouseDown : ev.kind == TInputEvent::MouseUp;
  if (ends) track_.form = nullptr;
}

// ---------------------------------------------------------------------------------------------
// The OS window of the main form

bool TDesktop::FillsScreen(const TForm* f) const {
  return f && f == App().MainForm() && App().HasBackend() && App().Backend().ScreenIsMainWindow();
}

TWindowLimits TDesktop::WindowLimits(TForm* f) {
  const TSize own{f->Width(), f->Height()};
  if (f->BorderStyle() != bsSizeable && f->BorderStyle() != bsSizeToolWin) return {own, own};
  const TMinMaxInfo mm = MinMaxFor(f);
  const TSize min{mm.ptMinTrackSize.X, mm.ptMinTrackSize.Y};
  return {min, {std::max(min.cx, mm.ptMaxTrackSize.X), std::max(min.cy, mm.ptMaxTrackSize.Y)}};
}

TWindowFrameMap TDesktop::FrameMap() {
  TForm* mf = App().MainForm();
  TWindowFrameMap m;
  if (FillsScreen(mf) && mf->Visible() && mf->WindowState() != wsMinimized && !track_.form &&
      !(PopupWindow && PopupWindow->Visible())) {
    m = mf->WindowFrameMap();
    // The windows above the main form take the presses on their own pixels.
    bool above = false;
    for (TForm* f : zorder_) {
      if (f == mf)
        above = true;
      else if (above && f->Visible() && f->WindowState() != wsMinimized)
        m.Keep.push_back(f->BoundsRect());
    }
  }
  m.Size = ScreenSize();
  return m;
}

void TDesktop::MainFormShown(TForm* f) {
  if (!FillsScreen(f)) return;
  sentLimits_ = WindowLimits(f);
  windowShown_ = true;
  App().Backend().ShowWindow({f->Width(), f->Height()}, sentLimits_);
  MarkWholeScreen();
}

void TDesktop::MainFormSized(TForm* f) {
  if (!FillsScreen(f) || !windowShown_ || following_) return;
  // The limits first: a window of fixed size takes its new size only with them.
  SyncWindow();
  App().Backend().ResizeWindow({f->Width(), f->Height()});
}

void TDesktop::RequestWindowState(TForm* f, TWindowState s) {
  if (!FillsScreen(f)) return;
  TBackend& b = App().Backend();
  if (s == wsMinimized)
    App().Minimize();
  else if (s == wsMaximized)
    b.MaximizeWindow();
  else
    b.RestoreWindow();
}

void TDesktop::SyncWindow() {
  TForm* mf = App().MainForm();
  if (!windowShown_ || !FillsScreen(mf)) return;
  TBackend& b = App().Backend();
  const TWindowLimits limits = WindowLimits(mf);
  if (!(limits == sentLimits_)) {
    sentLimits_ = limits;
    b.SetWindowLimits(limits);
  }
  const TWindowFrameMap map = FrameMap();
  if (!(map == sentMap_)) {
    sentMap_ = map;
    b.SetFrameMap(map);
  }
}

void TDesktop::FollowWindowSize(TSize s) {
  TForm* mf = App().MainForm();
  if (!FillsScreen(mf) || !windowShown_) return;
  following_ = true;
  mf->SetBounds(0, 0, s.cx, s.cy);
  following_ = false;
  // The windows maximised inside the screen take its new area.
  for (TForm* f : std::vector<TForm*>(zorder_)) {
    if (f == mf || f->WindowState() != wsMaximized || !Contains(zorder_, f)) continue;
    const TRect r = MaximizedRect(f);
    f->SetBounds(r.Left, r.Top, r.Width(), r.Height());
  }
}

void TDesktop::FollowWindowState(int osState) {
  TForm* mf = App().MainForm();
  // An iconified window leaves the form's state as it is: the application is minimised.
  if (!FillsScreen(mf) || osState == owsMinimized) return;
  mf->FollowWindowState(osState == owsMaximized ? wsMaximized : wsNormal);
}

}  // namespace vdmq
