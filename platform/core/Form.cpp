#include "platform/core/Form.h"

#include "platform/base/GameError.h"
#include "platform/core/Application.h"
#include "platform/core/Desktop.h"

namespace vdmq {

TFrameMetrics FrameMetricsFor(TFormBorderStyle style) {
  switch (style) {
    case bsNone: return {0, 0, 0};
    case bsSizeable: return {4, 4, 19};
    case bsSizeToolWin: return {4, 4, 16};
    case bsToolWindow: return {3, 3, 16};
    case bsSingle:
    case bsDialog:
    default: return {3, 3, 19};
  }
}

TForm::TForm(TComponent* owner) : TControl(owner) {
  InitHidden();
  SetColor(clBtnFace);
  TControl::SetBounds(0, 0, 320 + 8, 240 + 27);
  App().Desktop().AddForm(this);
}

TForm::~TForm() {
  BeginDestroy();
  if (OnDestroy) App().SafeCall([this] { OnDestroy(this); });
  if (Visible()) App().Desktop().MarkScreen(BoundsRect());
  App().Desktop().RemoveForm(this);
}

void TForm::AfterConstruction() {
  for (int i = 0; i < ComponentCount(); ++i) Components(i)->Loaded();
  // An exception in the creation handler is shown and the form is still made (the program goes on
  // with it), as for every other event.
  if (OnCreate) App().SafeCall([this] { OnCreate(this); });
}

TFrameMetrics TForm::Metrics() const { return FrameMetricsFor(borderStyle_); }

void TForm::SetBorderStyle(TFormBorderStyle s) {
  if (s == borderStyle_) return;
  const int cw = ClientWidth(), ch = ClientHeight();
  borderStyle_ = s;
  // The client size stays; the window grows or shrinks around it.
  TFrameMetrics m = Metrics();
  SetBounds(Left(), Top(), cw + m.ExtraWidth(), ch + m.ExtraHeight());
  InvalidateFrame();
}

void TForm::SetBorderIcons(TBorderIcons icons) {
  borderIcons_ = icons;
  InvalidateFrame();
}

int TForm::ClientWidth() const { return std::max(0, Width() - Metrics().ExtraWidth()); }
int TForm::ClientHeight() const { return std::max(0, Height() - Metrics().ExtraHeight()); }

void TForm::SetClientSize(int w, int h) {
  TFrameMetrics m = Metrics();
  SetBounds(Left(), Top(), w + m.ExtraWidth(), h + m.ExtraHeight());
}

TPoint TForm::ClientOrigin() const {
  TFrameMetrics m = Metrics();
  return {Left() + m.ClientLeft(), Top() + m.ClientTop()};
}

TRect TForm::WindowClientRect() const {
  TFrameMetrics m = Metrics();
  return Bounds(m.ClientLeft(), m.ClientTop(), ClientWidth(), ClientHeight());
}

TRect TForm::CaptionRect() const {
  TFrameMetrics m = Metrics();
  if (m.Caption == 0) return {};
  return {m.FrameX, m.FrameY, Width() - m.FrameX, m.FrameY + m.Caption - 1};
}

void TForm::SetCaption(const std::string& text) {
  TControl::SetCaption(text);
  InvalidateFrame();
}

TRect TForm::CaptionButtonRect(int hit) const {
  TFrameMetrics m = Metrics();
  if (m.Caption == 0) return {};
  const int c = m.Caption - 1;
  const int bw = c - 2, bh = c - 4;
  const int y = m.FrameY + 2;
  const bool sys = borderIcons_ & biSystemMenu;
  const bool minMax =
      sys && (borderIcons_ & (biMinimize | biMaximize)) && (borderStyle_ == bsSizeable || borderStyle_ == bsSingle);
  const bool help = sys && (borderIcons_ & biHelp) && !minMax && (borderStyle_ == bsDialog || borderStyle_ == bsSingle);
  const int closeX = Width() - m.FrameX - 2 - bw;
  switch (hit) {
    case HTCLOSE: return sys ? Bounds(closeX, y, bw, bh) : TRect{};
    case HTMAXBUTTON: return minMax ? Bounds(closeX - 2 - bw, y, bw, bh) : TRect{};
    case HTMINBUTTON: return minMax ? Bounds(closeX - 2 - 2 * bw, y, bw, bh) : TRect{};
    case HTHELP: return help ? Bounds(closeX - 2 - bw, y, bw, bh) : TRect{};
    default: return {};
  }
}

TCanvas& TForm::WindowCanvas() {
  if (store_.Width() != Width() || store_.Height() != Height()) ResizeStore();
  windowCanvas_.Bind(store_);
  windowCanvas_.OnDrawn = [this] { MarkComposite(); };
  return windowCanvas_;
}

void TForm::ResizeStore() {
  if (store_.Width() == Width() && store_.Height() == Height()) return;
  store_.Resize(Width(), Height(), ColorToPixel(Color()));
  windowCanvas_.Unbind();
  dirty_.Clear();
  dirty_.Add(WindowClientRect());
  frameDirty_ = true;
}

bool TForm::Active() const { return App().Desktop().ActiveForm() == this; }

void TForm::SetBounds(int left, int top, int width, int height) {
  TDesktop& d = App().Desktop();
  // A main form that is its OS window stays at the screen's corner; its size is the window's.
  const bool fills = shownOnce_ && d.FillsScreen(this);
  if (fills) left = top = 0;
  const TRect before = BoundsRect();
  const bool sized = width != Width() || height != Height();
  TControl::SetBounds(left, top, width, height);
  if (BoundsRect() == before) return;
  if (Visible()) {
    d.MarkScreen(before);
    d.MarkScreen(BoundsRect());
  }
  if (sized && shownOnce_) {
    ResizeStore();
    dirty_.Add(WindowClientRect());
    frameDirty_ = true;
  }
  if (sized && fills) d.MainFormSized(this);
}

void TForm::Resize() {
  // The size handler runs once the window exists (from its first showing on).
  if (shownOnce_) {
    resizedOnce_ = true;
    DoResize();
  }
}

void TForm::SetWindowState(TWindowState s) {
  if (s == windowState_) return;
  TDesktop& d = App().Desktop();
  if (shownOnce_ && d.FillsScreen(this)) {
    // The OS window is asked; the form takes the state and the size the window reports.
    d.RequestWindowState(this, s);
    return;
  }
  const TWindowState old = windowState_;
  if (s == wsMaximized) {
    if (old == wsNormal) restoreBounds_ = BoundsRect();
    windowState_ = s;
    const TRect r = d.MaximizedRect(this);
    SetBounds(r.Left, r.Top, r.Width(), r.Height());
  } else if (s == wsNormal) {
    windowState_ = s;
    if (old == wsMaximized && !restoreBounds_.IsEmpty())
      SetBounds(restoreBounds_.Left, restoreBounds_.Top, restoreBounds_.Width(), restoreBounds_.Height());
    if (old == wsMinimized && Visible()) d.MarkScreen(BoundsRect());
  } else {
    if (old == wsNormal) restoreBounds_ = BoundsRect();
    windowState_ = s;
    if (Visible()) {
      d.MarkScreen(BoundsRect());
      if (Active()) d.ActivateNext(this);
    }
  }
  InvalidateFrame();
}

void TForm::SetVisible(bool v) {
  if (v == Visible()) return;
  TDesktop& d = App().Desktop();
  if (v) {
    const bool fills = d.FillsScreen(this);
    if (!shownOnce_) {
      shownOnce_ = true;
      ResizeStore();
      if (fills) {
        TControl::SetBounds(0, 0, Width(), Height());
        d.MainFormShown(this);
      }
      if (windowState_ == wsMaximized) {
        windowState_ = wsNormal;
        SetWindowState(wsMaximized);
      }
    }
    if (Position == poScreenCenter && windowState_ == wsNormal && !fills) {
      const TRect sr = d.ScreenRect();
      TControl::SetBounds(sr.Left + (sr.Width() - Width()) / 2, sr.Top + (sr.Height() - Height()) / 2, Width(),
                          Height());
    }
    if (!resizedOnce_) {
      resizedOnce_ = true;
      Realign();
      DoResize();
    }
    DoShow();
    TControl::SetVisible(true);
    dirty_.Add(WindowClientRect());
    frameDirty_ = true;
    d.BringToFront(this);
    d.MarkScreen(BoundsRect());
    if (Enabled() && d.PopupWindow != this) d.Activate(this);
  } else {
    DoHide();
    const bool wasActive = Active();
    TControl::SetVisible(false);
    d.MarkScreen(BoundsRect());
    if (wasActive) d.ActivateNext(this);
  }
}

void TForm::FollowWindowState(TWindowState s) {
  if (s == windowState_ || s == wsMinimized) return;
  windowState_ = s;
  InvalidateFrame();
  MarkComposite();
}

TWindowFrameMap TForm::WindowFrameMap() {
  TWindowFrameMap m;
  m.Size = {Width(), Height()};
  const TFrameMetrics fm = Metrics();
  if (windowState_ == wsNormal && (borderStyle_ == bsSizeable || borderStyle_ == bsSizeToolWin)) {
    m.Border = fm.FrameX;
    m.Corner = 16 + fm.FrameX;
  }
  // A maximised window stays where it is.
  if (windowState_ != wsMaximized) m.Caption = CaptionRect();
  for (int hit : {HTCLOSE, HTMAXBUTTON, HTMINBUTTON, HTHELP})
    if (const TRect b = CaptionButtonRect(hit); !b.IsEmpty()) m.Keep.push_back(b);
  const TRect cap = CaptionRect();
  if (!cap.IsEmpty() && (borderIcons_ & biSystemMenu) && borderStyle_ != bsDialog)
    m.Keep.push_back(Bounds(cap.Left, cap.Top, cap.Height(), cap.Height()));
  return m;
}

void TForm::SetEnabled(bool v) {
  TControl::SetEnabled(v);
  if (!v && Active()) {
    // The active window keeps its activation look while a modal window takes over; the modal
    // form's activation replaces it.
  }
}

// The size handler runs from the window's size change (a message of its own on the platform): what
// it throws is shown and the change that caused it goes on.
void TForm::DoResize() {
  App().SafeCall([this] { TControl::Resize(); });
}

// The show and hide handlers run inside the exception display: the window is still shown (or
// hidden) and a modal loop still runs when they throw.
void TForm::DoShow() {
  if (OnShow) App().SafeCall([this] { OnShow(this); });
}

void TForm::DoHide() {
  if (OnHide) App().SafeCall([this] { OnHide(this); });
}

void TForm::Paint(TCanvas&) {
  if (OnPaint) OnPaint(this);
}

void TForm::InvalidateStore(const TRect& windowRect) {
  if (!windowRect.IsEmpty()) dirty_.Add(windowRect);
}

void TForm::InvalidateFrame() {
  if (Metrics().Caption || Metrics().FrameX) frameDirty_ = true;
}

void TForm::MarkComposite() {
  if (Visible()) App().Desktop().MarkScreen(BoundsRect());
}

namespace {
void PaintTree(TControl* c, TPixmap& store, const TRect& clip) {
  const TRect wr = c->WindowStoreRect();
  const TRect r = Intersect(wr, clip);
  if (r.IsEmpty()) return;
  TCanvas cv;
  cv.Bind(TPixelTarget::Of(store), {wr.Left, wr.Top}, r);
  if (c->IsWindowed()) {
    // Windowed children are clipped out of their parent's erase and paint, so a child that skips
    // its own erase keeps the pixels it had.
    TRegion own(r.Offset(-wr.Left, -wr.Top));
    bool clipped = false;
    for (int i = 0; i < c->ControlCount(); ++i) {
      TControl* child = c->Controls(i);
      if (child->Visible() && child->IsWindowed()) {
        own.Subtract(child->BoundsRect());
        clipped = true;
      }
    }
    if (clipped) cv.SelectClipRegion(&own);
  }
  cv.Font = c->Font();
  cv.Brush.Color = c->Color();
  c->PaintWith(cv);
  for (int i = 0; i < c->ControlCount(); ++i) {
    TControl* child = c->Controls(i);
    if (child->Visible()) PaintTree(child, store, r);
  }
}
}  // namespace

void TForm::PaintStore() {
  if (!Visible()) return;
  ResizeStore();
  if (frameDirty_) {
    frameDirty_ = false;
    if (Metrics().Caption || Metrics().FrameX) Perform(WM_NCPAINT, 1, 0);
    MarkComposite();
  }
  if (!dirty_.IsEmpty()) {
    const TRect clip = Intersect(dirty_.BoundsRect(), WindowClientRect());
    dirty_.Clear();
    if (!clip.IsEmpty()) PaintTree(this, store_, clip);
    App().Desktop().MarkScreen(clip.Offset(Left(), Top()));
  }
}

void TForm::PaintDefaultFrame(TCanvas& c) {
  const TFrameMetrics m = Metrics();
  if (m.FrameX == 0 && m.Caption == 0) return;
  const int W = Width(), H = Height();
  TRegion frame(TRect{0, 0, W, H});
  frame.Subtract(WindowClientRect());
  c.SelectClipRegion(&frame);
  TRect r{0, 0, W, H};
  c.Frame3D(r, clBtnFace, cl3DDkShadow, 1);
  c.Frame3D(r, clBtnHighlight, clBtnShadow, 1);
  c.FillRectColor(r, clBtnFace);
  c.SelectClipRegion(nullptr);
  if (m.Caption == 0) return;
  const bool active = Active();
  const TRect cap = CaptionRect();
  c.FillRectColor(cap, active ? clActiveCaption : clInactiveCaption);
  int textLeft = cap.Left + 2;
  // The form's icon, else the application's.
  TBitmap* icon = !Icon.Empty() ? &Icon : App().IconPtr();
  if ((borderIcons_ & biSystemMenu) && icon && !icon->Empty() && borderStyle_ != bsDialog) {
    const int i = cap.Height() - 2;
    c.StretchPixels(Bounds(cap.Left + 1, cap.Top + 1, i, i), TPixelTarget::Of(icon->Pixels()));
    textLeft += i + 1;
  }
  int textRight = cap.Right - 2;
  for (int hit : {HTCLOSE, HTMAXBUTTON, HTMINBUTTON, HTHELP}) {
    TRect b = CaptionButtonRect(hit);
    if (b.IsEmpty()) continue;
    textRight = std::min(textRight, b.Left - 2);
    const bool pressed = pressedButton_ == hit && pressedInside_;
    TRect face = c.DrawButtonFace(b, pressed);
    (void)face;
    char glyph = 'r';
    bool enabled = true;
    if (hit == HTMAXBUTTON) {
      glyph = windowState_ == wsMaximized ? '2' : '1';
      enabled = borderIcons_ & biMaximize;
    } else if (hit == HTMINBUTTON) {
      glyph = windowState_ == wsMinimized ? '2' : '0';
      enabled = borderIcons_ & biMinimize;
    } else if (hit == HTHELP) {
      glyph = 's';
    }
    TFont saved = c.Font;
    c.Font.Name = std::string(kCaptionGlyphFont);
    c.Font.Height = b.Height() - 4;
    c.Font.Bold = false;
    c.Brush.Style = bsClear;
    TRect g = pressed ? b.Offset(1, 1) : b;
    const char s[2] = {glyph, 0};
    if (!enabled) {
      c.Font.Color = clBtnHighlight;
      TRect g1 = g.Offset(1, 1);
      c.DrawText(s, g1, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
      c.Font.Color = clBtnShadow;
    } else {
      c.Font.Color = clBtnText;
    }
    c.DrawText(s, g, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    c.Font = saved;
  }
  TFont saved = c.Font;
  c.Font = Font();
  c.Font.Bold = true;
  c.Font.Height = -12;
  c.Font.Color = active ? clCaptionText : clInactiveCaptionText;
  c.Brush.Style = bsClear;
  TRect t{textLeft, cap.Top, textRight, cap.Bottom};
  c.DrawText(Caption(), t, DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX);
  c.Font = saved;
  c.Brush.Style = bsSolid;
}

int TForm::DefaultHitTest(TPoint screen) const {
  const TPoint p{screen.X - Left(), screen.Y - Top()};
  const int W = Width(), H = Height();
  if (!TRect{0, 0, W, H}.Contains(p)) return HTNOWHERE;
  const TFrameMetrics m = Metrics();
  if (WindowClientRect().Contains(p)) return HTCLIENT;
  if (m.FrameX == 0 && m.Caption == 0) return HTCLIENT;
  const bool inBorder = p.X < m.FrameX || p.X >= W - m.FrameX || p.Y < m.FrameY || p.Y >= H - m.FrameY;
  if (inBorder) {
    const bool sizeable = (borderStyle_ == bsSizeable || borderStyle_ == bsSizeToolWin) && windowState_ == wsNormal;
    if (!sizeable) return HTBORDER;
    const int k = 16 + m.FrameX;
    const bool top = p.Y < k, bottom = p.Y >= H - k, left = p.X < k, right = p.X >= W - k;
    if (p.X < m.FrameX) return top ? HTTOPLEFT : bottom ? HTBOTTOMLEFT : HTLEFT;
    if (p.X >= W - m.FrameX) return top ? HTTOPRIGHT : bottom ? HTBOTTOMRIGHT : HTRIGHT;
    if (p.Y < m.FrameY) return left ? HTTOPLEFT : right ? HTTOPRIGHT : HTTOP;
    return left ? HTBOTTOMLEFT : right ? HTBOTTOMRIGHT : HTBOTTOM;
  }
  for (int hit : {HTCLOSE, HTMAXBUTTON, HTMINBUTTON, HTHELP})
    if (CaptionButtonRect(hit).Contains(p)) return hit;
  const TRect cap = CaptionRect();
  if ((borderIcons_ & biSystemMenu) && borderStyle_ != bsDialog &&
      Bounds(cap.Left, cap.Top, cap.Height(), cap.Height()).Contains(p))
    return HTSYSMENU;
  if (cap.Contains(p)) return HTCAPTION;
  return HTBORDER;
}

void TForm::DefaultSysCommand(TMessage& m) {
  const std::uintptr_t cmd = m.WParam & 0xFFF0;
  const int low = static_cast<int>(m.WParam & 0xF);
  TDesktop& d = App().Desktop();
  switch (cmd) {
    case SC_MOVE: d.StartMove(this, low != HTCAPTION); break;
    case SC_SIZE: d.StartSize(this, low ? low + 9 : HTBOTTOMRIGHT, low == 0); break;
    case SC_CLOSE: Perform(WM_CLOSE); break;
    case SC_MINIMIZE:
      if (this == App().MainForm())
        App().Minimize();
      else
        SetWindowState(wsMinimized);
      break;
    case SC_MAXIMIZE: SetWindowState(wsMaximized); break;
    case SC_RESTORE: SetWindowState(wsNormal); break;
    default: break;
  }
  m.Result = 0;
}

void TForm::Dispatch(TMessage& m) {
  switch (m.Msg) {
    case WM_NCHITTEST: m.Result = DefaultHitTest(LParamPoint(m.LParam)); return;
    case WM_NCPAINT:
      PaintDefaultFrame(WindowCanvas());
      m.Result = 0;
      return;
    case WM_NCACTIVATE:
      InvalidateFrame();
      m.Result = 1;
      return;
    case WM_ACTIVATE:
      InvalidateFrame();
      m.Result = 0;
      return;
    case CM_ACTIVATE:
      if (OnActivate) OnActivate(this);
      return;
    case CM_DEACTIVATE:
      if (OnDeactivate) OnDeactivate(this);
      return;
    case CM_RELEASE: delete this; return;
    case WM_CLOSE: Close(); return;
    case WM_SYSCOMMAND: DefaultSysCommand(m); return;
    case WM_NCLBUTTONDOWN: {
      const int hit = static_cast<int>(m.WParam);
      if (hit == HTCAPTION) {
        Perform(WM_SYSCOMMAND, SC_MOVE | HTCAPTION, m.LParam);
      } else if (hit >= HTLEFT && hit <= HTBOTTOMRIGHT) {
        Perform(WM_SYSCOMMAND, SC_SIZE | static_cast<std::uintptr_t>(hit - 9), m.LParam);
      } else if (hit == HTCLOSE || hit == HTMAXBUTTON || hit == HTMINBUTTON || hit == HTHELP) {
        pressedButton_ = hit;
        pressedInside_ = true;
        frameDirty_ = true;
      }
      return;
    }
    case WM_NCMOUSEMOVE:
      if (pressedButton_) {
        const bool inside = static_cast<int>(m.WParam) == pressedButton_;
        if (inside != pressedInside_) {
          pressedInside_ = inside;
          frameDirty_ = true;
        }
      }
      return;
    case WM_NCLBUTTONUP: {
      const int pressed = pressedButton_;
      pressedButton_ = 0;
      if (pressed) frameDirty_ = true;
      if (pressed && static_cast<int>(m.WParam) == pressed) {
        if (pressed == HTCLOSE)
          Perform(WM_SYSCOMMAND, SC_CLOSE);
        else if (pressed == HTMAXBUTTON && (borderIcons_ & biMaximize))
          Perform(WM_SYSCOMMAND, windowState_ == wsMaximized ? SC_RESTORE : SC_MAXIMIZE);
        else if (pressed == HTMINBUTTON && (borderIcons_ & biMinimize))
          Perform(WM_SYSCOMMAND, windowState_ == wsMinimized ? SC_RESTORE : SC_MINIMIZE);
        else if (pressed == HTHELP)
          Perform(WM_SYSCOMMAND, SC_CONTEXTHELP);
      }
      return;
    }
    case WM_NCLBUTTONDBLCLK: {
      const int hit = static_cast<int>(m.WParam);
      if (hit == HTCLOSE || hit == HTMAXBUTTON || hit == HTMINBUTTON || hit == HTHELP) {
        // A second quick press on a caption button is just a press.
        m.Msg = WM_NCLBUTTONDOWN;
        Dispatch(m);
        return;
      }
      if (hit == HTCAPTION && (borderIcons_ & biMaximize) && (borderStyle_ == bsSizeable || borderStyle_ == bsSingle))
        Perform(WM_SYSCOMMAND, windowState_ == wsNormal ? SC_MAXIMIZE : SC_RESTORE);
      else if (hit == HTSYSMENU)
        Perform(WM_SYSCOMMAND, SC_CLOSE);
      return;
    }
    case WM_GETMINMAXINFO:
    case WM_SIZE:
    case WM_MOVE:
    case WM_NCCALCSIZE:
    case WM_WINDOWPOSCHANGED:
    case WM_SETCURSOR:
    case WM_CONTEXTMENU:
    case WM_ACTIVATEAPP:
    case WM_PALETTECHANGED:
    case WM_NCRBUTTONDOWN:
    case WM_NCRBUTTONUP:
    case WM_NCRBUTTONDBLCLK:
    case WM_SYSKEYUP: return;
    default: TControl::Dispatch(m);
  }
}

bool TForm::CloseQuery() {
  bool can = true;
  if (OnCloseQuery) OnCloseQuery(this, can);
  return can;
}

void TForm::Close() {
  if (IsModal()) {
    ModalResult = mrCancel;
    return;
  }
  if (!CloseQuery()) return;
  TCloseAction a = caHide;
  if (OnClose) OnClose(this, a);
  if (a == caNone) return;
  if (this == App().MainForm()) {
    App().Terminate();
    return;
  }
  if (a == caHide)
    Hide();
  else if (a == caMinimize)
    SetWindowState(wsMinimized);
  else if (a == caFree)
    Release();
}

void TForm::Release() { App().Post(this, TMessage{CM_RELEASE, 0, 0, 0}); }

void TForm::SetFocus() {
  if (Visible() && Enabled()) App().Desktop().Activate(this);
}

int TForm::ShowModal() {
  if (Visible() || !Enabled()) ThrowGameError("Cannot make a visible window modal");
  TApplication& app = App();
  TDesktop& d = app.Desktop();
  TForm* prev = d.ActiveForm();
  d.ReleaseCapture();
  std::vector<TForm*> disabled = d.DisableOthers(this);
  ++modalDepth_;
  ModalResult = mrNone;
  auto finish = [&] {
    --modalDepth_;
    if (Visible()) Hide();
    const auto& alive = d.ZOrder();
    for (TForm* f : disabled)
      if (std::find(alive.begin(), alive.end(), f) != alive.end()) f->SetEnabled(true);
    if (prev && prev != this && std::find(alive.begin(), alive.end(), prev) != alive.end() && prev->Visible() &&
        prev->Enabled())
      d.Activate(prev);
    else
      d.ActivateNext(this);
  };
  try {
    Show();
    TApplication::TLoopScope scope(app);
    for (;;) {
      if (app.Terminated()) {
        ModalResult = mrCancel;
        break;
      }
      if (ModalResult != mrNone) {
        // A result closes the form only when the close query agrees.
        TCloseAction a = caHide;
        if (CloseQuery()) {
          if (OnClose) OnClose(this, a);
        } else {
          a = caNone;
        }
        if (a == caNone) ModalResult = mrNone;
        if (ModalResult != mrNone) break;
      }
      app.HandleMessage();
    }
  } catch (...) {
    finish();
    throw;
  }
  finish();
  return ModalResult;
}

}  // namespace vdmq
