#include "formkit/CHFFORMU.h"

#include "formkit/Bcwriter.h"
#include "platform/base/Sjis.h"
#include "platform/core/Application.h"
#include "platform/core/WindowInfo.h"

namespace vdmq {

namespace {

// Below this caption height there is no room for a button (b = c - 2 wide, c - 4 high) or an icon.
constexpr int kMinCaption = 6;

constexpr unsigned kCaptionTextFlags = DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS;  // 0x8024
constexpr unsigned kGlyphTextFlags = DT_CENTER | DT_VCENTER | DT_SINGLELINE;          // 37

// Three passes of a text in the colours of one state of a table (base 0 or 3), each skipped for
// clNone: the shadow 1 pixel right of and below r, the highlight 1 left of and above it, the face on r.
void DrawTextPasses(TCanvas& c, const std::string& text, const TRect& r, unsigned flags, const TCHF_ColorTable& colors,
                    int base) {
  static constexpr struct { int offset, color; } kPasses[] = {{1, 2}, {-1, 1}, {0, 0}};
  for (const auto& pass : kPasses) {
    const TColor color = colors[static_cast<size_t>(base + pass.color)];
    if (color == clNone) continue;
    c.Font.Color = color;
    TRect t = r.Offset(pass.offset, pass.offset);
    c.DrawText(text, t, flags);
  }
}

TShiftState KeysOf(std::uintptr_t w) {
  return ((w & MK_LBUTTON) ? ssLeft : 0) | ((w & MK_RBUTTON) ? ssRight : 0) | ((w & MK_MBUTTON) ? ssMiddle : 0) |
         ((w & MK_SHIFT) ? ssShift : 0) | ((w & MK_CONTROL) ? ssCtrl : 0);
}

// Clears a flag when the scope ends, however it ends.
struct TFlagScope {
  bool& flag;
  explicit TFlagScope(bool& f) : flag(f) { flag = true; }
  ~TFlagScope() { flag = false; }
};

}  // namespace

TCHF_Geometry WindowGeometry(const TForm& form) {
  TCHF_Geometry g;
  g.Window = form.BoundsRect();
  g.Client = form.WindowClientRect();
  g.Style = WindowStyle(form);
  g.FrameX = GetSystemMetrics(SM_CXFRAME);
  g.FrameY = GetSystemMetrics(SM_CYFRAME);
  g.DlgFrameX = GetSystemMetrics(SM_CXDLGFRAME);
  g.DlgFrameY = GetSystemMetrics(SM_CYDLGFRAME);
  return g;
}

// ---------------------------------------------------------------------------------------------
// Part

TCHF_Image::TCHF_Image(TForm* form, TCHF_PartKind kind) : Kind(kind), form_(form) {}

TCHBcReader* TCHF_Image::Reader() const { return Source ? &Source->BcReader() : nullptr; }

TBitmap* TCHF_Image::SourceBitmap() const {
  TCHBcReader* r = Reader();
  TBitmap* b = r ? r->GetBitmap() : nullptr;
  return b && !b->Empty() ? b : nullptr;
}

void TCHF_Image::Paint(TCanvas& canvas) {
  if (SourceBitmap())
    Reader()->DrawStretch(&canvas, Rect);
  else
    canvas.FillRectColor(Rect, clBtnFace);
}

bool TCHF_Image::MouseDownHook(TMouseButton, TPoint) { return false; }
void TCHF_Image::Click(TMouseButton, TPoint) {}
void TCHF_Image::MouseMove(TShiftState, TPoint) {}

TCHF_Image* TCHF_Image::HitTest(TPoint p) { return visible_ && Rect.Contains(p) ? this : nullptr; }

void TCHF_Image::MouseDown(TMouseButton button, TPoint p) {
  if (!visible_ || MouseDownHook(button, p)) return;
  Down = true;
  Capture(this);
}

void TCHF_Image::MouseUp(TMouseButton button, TPoint p) {
  // A part hidden while it held the mouse still lets it go; it cannot be hit, so it clicks no more.
  Capture(nullptr);
  const bool wasDown = Down;
  Down = false;
  if (wasDown && HitTest(p)) Click(button, p);
}

// ---------------------------------------------------------------------------------------------
// Caption button

TCHF_Button::TCHF_Button(TForm* form, TCHF_Glyph glyph, TCHF_PartKind kind) : TCHF_Image(form, kind), glyph_(glyph) {}

char TCHF_Button::GlyphChar(TCHF_Glyph glyph) { return "r021s"[glyph]; }

void TCHF_Button::SetGlyph(TCHF_Glyph value) {
  if (value == glyph_) return;
  glyph_ = value;
  if (OnRepaint) OnRepaint(this);
}

void TCHF_Button::SetState(TCHF_ButtonState value) {
  if (value == state_) return;
  state_ = value;
  if (OnRepaint) OnRepaint(this);
}

void TCHF_Button::Enable(bool value) {
  if (!value)
    SetState(cbDisabled);
  else if (state_ == cbDisabled)
    SetState(cbUp);
}

void TCHF_Button::Paint(TCanvas& canvas) {
  if (!Visible() || Rect.IsEmpty()) return;
  const bool pressed = state_ == cbPressed;
  if (TBitmap* b = SourceBitmap()) {
    // The glyph's row holds the three faces side by side: up, disabled, pressed.
    TCHBcReader* r = Reader();
    r->SetSrcIndex(glyph_);
    const TRect s = r->SrcRect();
    const int w = s.Width() / 3;
    const TRect face{s.Left + w * state_, s.Top, s.Left + w * (state_ + 1), s.Bottom};
    if (FixEdge)
      CHDrawFixBitmap(&canvas, Rect, b, face, Edge.AX, Edge.BX, Edge.AY, Edge.BY, true);
    else
      CH_CopyRect256(&canvas, Rect, b, face);
  } else {
    canvas.DrawButtonFace(Rect, pressed);
  }
  const int height = Rect.Height() - 4;
  if (!GlyphSwitch || height < 1) return;
  const TFont saved = canvas.Font;
  canvas.Brush.Style = bsClear;
  canvas.Font.Name = std::string(kCaptionGlyphFont);
  canvas.Font.Charset = 1;
  canvas.Font.Height = height;
  DrawTextPasses(canvas, std::string(1, GlyphChar(glyph_)), pressed ? Rect.Offset(1, 1) : Rect, kGlyphTextFlags,
                 GlyphColors, Enabled() ? 0 : 3);
  canvas.Font = saved;
}

bool TCHF_Button::MouseDownHook(TMouseButton button, TPoint) {
  if (Visible() && Enabled() && button == mbLeft) SetState(cbPressed);
  return false;
}

void TCHF_Button::Click(TMouseButton button, TPoint p) {
  if (!Enabled()) return;
  const bool wasPressed = state_ == cbPressed;
  SetState(cbUp);
  if (button == mbLeft && wasPressed && OnClick) OnClick(this, button, p.X, p.Y);
}

void TCHF_Button::MouseUp(TMouseButton button, TPoint p) {
  TCHF_Image::MouseUp(button, p);
  // Released outside itself (without a move that raised it first): back to its up face.
  if (state_ == cbPressed) SetState(cbUp);
}

void TCHF_Button::MouseMove(TShiftState keys, TPoint p) {
  if (Down && Enabled()) SetState((keys & ssLeft) && HitTest(p) ? cbPressed : cbUp);
}

// ---------------------------------------------------------------------------------------------
// Title bar

TCHF_TitleBar::TCHF_TitleBar(TForm* form)
    : TCHF_Image(form, pkCaption),
      close_(std::make_unique<TCHF_Button>(form, cgClose, pkClose)),
      maximize_(std::make_unique<TCHF_Button>(form, cgMaximize, pkMaximize)),
      minimize_(std::make_unique<TCHF_Button>(form, cgMinimize, pkMinimize)),
      help_(std::make_unique<TCHF_Button>(form, cgHelp, pkHelp)),
      icon_(std::make_unique<TCHF_Image>(form, pkIcon)) {}

void TCHF_TitleBar::Paint(TCanvas& canvas) {
  if (!Visible() || Rect.IsEmpty()) return;
  const TRect r0{0, 0, Rect.Width(), Rect.Height()};
  bar_.SetSize(r0.Right, r0.Bottom);
  TCanvas& c = bar_.Canvas();
  if (SourceBitmap()) {
    // Cell 0 is the active bar, cell 1 the inactive one.
    Reader()->SetSrcIndex(Active ? 0 : 1);
    Reader()->DrawTile(&c, r0, 0, 0, 0, 0);
  } else {
    c.FillRectColor(r0, Active ? clActiveCaption : clInactiveCaption);
  }
  TForm* form = Form();
  if (icon_->Visible() && !icon_->Rect.IsEmpty()) {
    // The form's own icon, else the application's, drawn opaque at the icon's size.
    TBitmap* icon = form && !form->Icon.Empty() ? &form->Icon : App().IconPtr();
    if (icon && !icon->Empty())
      c.StretchPixels(icon_->Rect.Offset(-Rect.Left, -Rect.Top), TPixelTarget::Of(icon->Pixels()));
  }
  if (CaptionSwitch && form && !form->Caption().empty()) {
    // The text runs to the bar's right edge; the buttons are kept out of the copy below.
    const TRect t =
        TRect{CaptionRect.Left, CaptionRect.Top, Rect.Right, CaptionRect.Bottom}.Offset(-Rect.Left, -Rect.Top);
    const int height = CaptionFontRule > 0 ? CaptionFontRule : t.Height() + CaptionFontRule;
    if (height >= 1) {
      c.Font = form->Font();
      c.Font.Height = height;
      c.Brush.Style = bsClear;
      DrawTextPasses(c, form->Caption(), t, kCaptionTextFlags, CaptionColors, Active ? 0 : 3);
    }
  }
  TRegion clip(Rect);
  for (TCHF_Button* b : Buttons())
    if (b->Visible()) clip.Subtract(b->Rect);
  canvas.SelectClipRegion(&clip);
  canvas.CopyRect(Rect, c, r0);
  canvas.SelectClipRegion(nullptr);
  for (TCHF_Button* b : Buttons()) b->Paint(canvas);
}

bool TCHF_TitleBar::MouseDownHook(TMouseButton button, TPoint p) {
  if (button != mbLeft || !icon_->HitTest(p)) return false;
  if (OnClick) OnClick(icon_.get(), button, p.X, p.Y);
  return true;
}

void TCHF_TitleBar::Click(TMouseButton button, TPoint p) {
  if (button == mbRight && OnClick) OnClick(this, button, p.X, p.Y);
}

TCHF_Image* TCHF_TitleBar::HitTest(TPoint p) {
  if (!TCHF_Image::HitTest(p)) return nullptr;
  for (TCHF_Button* b : Buttons())
    if (TCHF_Image* hit = b->HitTest(p)) return hit;
  return this;
}

void TCHF_TitleBar::MouseMove(TShiftState keys, TPoint p) {
  if (!Down || !(keys & ssLeft)) return;
  // Dragging the caption: the window's own move takes over the mouse.
  Capture(nullptr);
  Down = false;
  if (OnClick) OnClick(this, mbLeft, p.X, p.Y);
}

// ---------------------------------------------------------------------------------------------
// Frame

TCHF_Frame::TCHF_Frame(TForm* form, TCHF_FrameSettings& settings)
    : TCHF_Image(form, pkFrame), settings_(settings), titleBar_(std::make_unique<TCHF_TitleBar>(form)) {}

void TCHF_Frame::SetVisible(bool value) {
  TCHF_Image::SetVisible(value);
  titleBar_->SetVisible(value);
}

void TCHF_Frame::UpdateParts(TFormBorderStyle style, TBorderIcons icons) {
  const bool framed = style == bsSingle || style == bsSizeable;
  const bool captioned = framed || style == bsDialog;
  SetVisible(style != bsNone);
  titleBar_->CaptionSwitch = settings_.CaptionSwitch && style != bsNone;
  titleBar_->IconPart().SetVisible(settings_.IconSwitch && framed);
  settings_.CloseAllowed = (icons & biSystemMenu) && style != bsNone;
  settings_.MinimizeAllowed = (icons & biMinimize) && captioned;
  settings_.MaximizeAllowed = (icons & biMaximize) && framed;
  settings_.HelpAllowed = (icons & biHelp) && captioned;
}

void TCHF_Frame::ApplySettings() {
  titleBar_->CaptionColors = settings_.CaptionColors;
  titleBar_->CaptionFontRule = settings_.CaptionFontRule;
  for (TCHF_Button* b : titleBar_->Buttons()) {
    b->GlyphColors = settings_.GlyphColors;
    b->GlyphSwitch = settings_.GlyphSwitch;
    b->FixEdge = settings_.ButtonFixEdge;
    b->Edge = b->Kind == pkHelp ? settings_.HelpEdge : settings_.ButtonEdge;
  }
}

void TCHF_Frame::Layout(const TCHF_Geometry& g) {
  TCHF_FrameSettings& s = settings_;
  s.WindowRect = g.Window;
  s.ClientRect = g.Client;
  s.VScrollRect = s.HScrollRect = {};
  const int width = g.Window.Width(), height = g.Window.Height();
  Rect = {0, 0, width, height};
  const bool iconic = g.Style & WS_MINIMIZE, zoomed = g.Style & WS_MAXIMIZE;
  const bool sizing = (g.Style & WS_THICKFRAME) && !iconic;
  const int fx = sizing ? g.FrameX : g.DlgFrameX, fy = sizing ? g.FrameY : g.DlgFrameY;
  const int c = iconic ? height - 2 * fy : g.Client.Top - fy - 1;
  TCHF_TitleBar& bar = *titleBar_;
  bar.Rect = {fx, fy, width - fx, fy + c};

  // Buttons from the right: close, then maximise and minimise side by side, then help. A button
  // left out is hidden, so that a change of style or icons leaves no stale button behind.
  const int b = c - 2;
  int x = bar.Rect.Right - b - s.ButtonRightMargin;
  for (TCHF_Button* button : bar.Buttons()) button->SetVisible(false);
  const bool room = c >= kMinCaption;
  auto place = [&](TCHF_Button& button) {
    button.Rect = Bounds(x, bar.Rect.Top + 2, b, c - 4);
    button.SetVisible(true);
  };
  if (room && (s.CloseAllowed || s.MinimizeAllowed || s.MaximizeAllowed || s.HelpAllowed)) {
    place(bar.CloseButton());
    bar.CloseButton().Enable(s.CloseAllowed);
    x -= b + 2;
  }
  if (room && (s.MinimizeAllowed || s.MaximizeAllowed)) {
    TCHF_Button& max = bar.MaximizeButton();
    place(max);
    max.SetGlyph(zoomed ? cgRestore : cgMaximize);
    max.Enable(zoomed || s.MaximizeAllowed);
    x -= b;
    TCHF_Button& min = bar.MinimizeButton();
    place(min);
    min.SetGlyph(iconic ? cgRestore : cgMinimize);
    min.Enable(iconic || s.MinimizeAllowed);
    x -= b + 2;
  }
  if (room && s.HelpAllowed) {
    place(bar.HelpButton());
    bar.HelpButton().Enable(true);
    x -= b + 2;
  }

  TCHF_Image& icon = bar.IconPart();
  const int i = s.IconSizeRule <= 0 ? c + s.IconSizeRule : s.IconSizeRule;
  const bool iconShown = icon.Visible() && room && i > 0;
  bar.CaptionRect = bar.Rect;
  bar.CaptionRect.Left = bar.Rect.Left + (iconShown ? s.IconMargin + i : 0) + s.CaptionMargin;
  bar.CaptionRect.Right = bar.CaptionSwitch ? bar.CaptionRect.Left : x + b;
  if (iconShown) {
    const int t = (bar.Rect.Top + bar.Rect.Bottom - i) / 2;
    icon.Rect = Bounds(bar.Rect.Left + s.IconMargin, t, i, i);
  } else {
    icon.Rect = {};
  }
}

void TCHF_Frame::Paint(TCanvas& canvas) {
  if (!Visible()) return;
  titleBar_->Paint(canvas);
  // The border only: everything inside it is clipped away before a pixel is touched.
  TRegion clip(Rect);
  if (titleBar_->Visible()) clip.Subtract(titleBar_->Rect);
  clip.Subtract(settings_.VScrollRect);
  clip.Subtract(settings_.HScrollRect);
  clip.Subtract(settings_.ClientRect);
  canvas.SelectClipRegion(&clip);
  if (SourceBitmap())
    Reader()->DrawFix(&canvas, Rect, settings_.FrameAX, settings_.FrameBX, settings_.FrameAY, settings_.FrameBY, true);
  else
    canvas.DrawButtonFace(Rect, false);
  canvas.SelectClipRegion(nullptr);
}

// ---------------------------------------------------------------------------------------------
// Popup menu rules

TCHF_SysMenuRules SysMenuRules(TFormBorderStyle style, TBorderIcons icons, TWindowState state, TSize window,
                               TSize screen) {
  const bool iconic = state == wsMinimized, zoomed = state == wsMaximized;
  const bool sys = icons & biSystemMenu;
  TCHF_SysMenuRules r;
  r.Restore = iconic || zoomed;
  r.Maximize = !zoomed;
  r.Minimize = !iconic;
  auto sizeable = [&] {
    r.Menu = TCHF_SysMenu::Sizeable;
    r.RestoreIsDefault = iconic || zoomed;
    r.Restore = iconic || zoomed;
    r.Move = !(zoomed && window.cx > screen.cx - 16 && window.cy > screen.cy - 16);
    r.Size = !iconic && !zoomed && style == bsSizeable;
    r.Minimize = !iconic && (icons & biMinimize);
    r.Maximize = !zoomed && (icons & biMaximize);
    r.Close = sys;
  };
  switch (style) {
    case bsSizeable: sizeable(); break;
    case bsSingle:
      if ((icons & (biMaximize | biMinimize)) || iconic) {
        sizeable();
      } else {
        r.Menu = TCHF_SysMenu::Single;
        r.Move = true;
        r.Close = sys;
      }
      break;
    case bsSizeToolWin:
      if (iconic || zoomed) {
        sizeable();
        r.RestoreIsDefault = iconic;
      } else {
        r.Menu = TCHF_SysMenu::SizeTool;
        r.Move = r.Size = true;
        r.Close = sys;
      }
      break;
    case bsNone:
    case bsDialog:
    case bsToolWindow:
      r.Menu = TCHF_SysMenu::Dialog;
      r.Move = true;
      r.Close = sys;
      break;
  }
  return r;
}

// ---------------------------------------------------------------------------------------------
// Form

TCHF_Form::TCHF_Form(TComponent* owner) : TForm(owner) {
  frame_ = std::make_unique<TCHF_Frame>(this, settings_);
  auto bind = [this](TCHF_Image& part) {
    part.OnCapture = [this](TCHF_Image* p) { PartCapture(p); };
    part.OnRepaint = [this](TCHF_Image* p) { PartRepaint(p); };
    part.OnClick = [this](TCHF_Image* p, TMouseButton b, int x, int y) { TitleBarClick(p, b, x, y); };
  };
  bind(*frame_);
  bind(TitleBar());
  for (TCHF_Button* b : TitleBar().Buttons()) bind(*b);

  // The kit takes the layer's icons; the layer keeps none, so it draws no caption buttons, offers
  // no system menu, answers HTCAPTION over the whole title band and acts on no caption double click.
  kitIcons_ = TForm::BorderIcons();
  frame_->UpdateParts(BorderStyle(), kitIcons_);
  frame_->ApplySettings();
  TForm::SetBorderIcons(0);

  // The skin sources. Nothing listens to their changes: the parts select cells while they paint.
  auto writer = [this](const char* name, const char* container, int index) {
    auto* w = new TBcWriter(this);
    w->Name = name;
    w->ReadFrom(container, index);
    return w;
  };
  CHF_FrameWriter = writer("CHF_FrameWriter", "CHF_BcFrame", -1);
  CHF_TitleBarWriter = writer("CHF_TitleBarWriter", "CHF_BcTitlebar", 0);
  CHF_BcButtonWriter = writer("CHF_BcButtonWriter", "CHF_BcButton", 0);
  frame_->Source = CHF_FrameWriter;
  TitleBar().Source = CHF_TitleBarWriter;
  for (TCHF_Button* b : TitleBar().Buttons()) b->Source = CHF_BcButtonWriter;

  auto menu = [this](const char* name) {
    auto* m = new TPopupMenu(this);
    m->Name = name;
    return m;
  };
  const std::string move = SJS("移動(&M)"), size = SJS("ｻｲｽﾞ変更(&S)"), close = SJS("閉じる(&C)");
  CHF_POPUP_SIZEABLE = menu("CHF_POPUP_SIZEABLE");
  miRESTORE = AddItem(CHF_POPUP_SIZEABLE, "miRESTORE", SJS("元のｻｲｽﾞに戻す(&R)"), &TCHF_Form::miRESTOREClick);
  miMOVE = AddItem(CHF_POPUP_SIZEABLE, "miMOVE", move, &TCHF_Form::miMOVEClick);
  miSIZE = AddItem(CHF_POPUP_SIZEABLE, "miSIZE", size, &TCHF_Form::miSIZEClick);
  miMINIMIZE = AddItem(CHF_POPUP_SIZEABLE, "miMINIMIZE", SJS("最小化(&N)"), &TCHF_Form::miMINIMIZEClick);
  miMAXIMIZE = AddItem(CHF_POPUP_SIZEABLE, "miMAXIMIZE", SJS("最大化(&X)"), &TCHF_Form::miMAXIMIZEClick);
  K1 = AddItem(CHF_POPUP_SIZEABLE, "K1", "-", nullptr);
  miClose = AddItem(CHF_POPUP_SIZEABLE, "miClose", close, &TCHF_Form::miCloseClick);
  CHF_POPUP_DIALOG = menu("CHF_POPUP_DIALOG");
  miMove3 = AddItem(CHF_POPUP_DIALOG, "miMove3", move, &TCHF_Form::miMOVEClick);
  miClose3 = AddItem(CHF_POPUP_DIALOG, "miClose3", close, &TCHF_Form::miCloseClick);
  CHF_POPUP_SINGLE = menu("CHF_POPUP_SINGLE");
  miMOVE2 = AddItem(CHF_POPUP_SINGLE, "miMOVE2", move, &TCHF_Form::miMOVEClick);
  MenuItem6 = AddItem(CHF_POPUP_SINGLE, "MenuItem6", "-", nullptr);
  miClose2 = AddItem(CHF_POPUP_SINGLE, "miClose2", close, &TCHF_Form::miCloseClick);
  CHF_POPUP_SIZETOOL = menu("CHF_POPUP_SIZETOOL");
  miMove4 = AddItem(CHF_POPUP_SIZETOOL, "miMove4", move, &TCHF_Form::miMOVEClick);
  miSize4 = AddItem(CHF_POPUP_SIZETOOL, "miSize4", size, &TCHF_Form::miSIZEClick);
  miClose4 = AddItem(CHF_POPUP_SIZETOOL, "miClose4", close, &TCHF_Form::miCloseClick);
  for (TMenuItem* item : {miClose, miClose3, miClose2, miClose4}) item->ShortCut = kShortCutAltF4;
  for (TMenuItem* item : {miClose3, miClose2, miClose4}) item->Default = true;

  ready_ = kReady;
}

TCHF_Form::~TCHF_Form() {
  // Messages that still come while the layer form goes get the layer's handling.
  ready_ = 0;
  captured_ = nullptr;
}

TMenuItem* TCHF_Form::AddItem(TPopupMenu* menu, const char* name, const std::string& caption,
                              void (TCHF_Form::*handler)(TComponent*)) {
  auto* item = new TMenuItem(this);
  item->Name = name;
  item->Caption = caption;
  if (handler) item->OnClick = [this, handler](TComponent* sender) { (this->*handler)(sender); };
  return menu->Add(item);
}

void TCHF_Form::SetBorderIcons(TBorderIcons icons) {
  kitIcons_ = icons;
  frame_->UpdateParts(BorderStyle(), kitIcons_);
  InvalidateFrame();
}

void TCHF_Form::SetBorderStyle(TFormBorderStyle s) {
  TForm::SetBorderStyle(s);
  frame_->UpdateParts(BorderStyle(), kitIcons_);
}

void TCHF_Form::SetCaption(const std::string& text) {
  if (text == Caption()) return;
  TForm::SetCaption(text);
}

TPoint TCHF_Form::WindowPointOfScreen(std::intptr_t lParam) const {
  const TPoint p = LParamPoint(lParam);
  return {p.X - Left(), p.Y - Top()};
}

TPoint TCHF_Form::WindowPointOfClient(std::intptr_t lParam) const {
  const TPoint p = LParamPoint(lParam);
  const TRect c = WindowClientRect();
  return {p.X + c.Left, p.Y + c.Top};
}

void TCHF_Form::LayoutParts() { frame_->Layout(WindowGeometry(*this)); }

void TCHF_Form::PaintFrame() {
  if (paintingFrame_) return;
  TFlagScope painting(paintingFrame_);
  LayoutParts();
  frame_->Paint(WindowCanvas());
}

bool TCHF_Form::NcButtonDown(TMessage& m, TMouseButton button) {
  if (static_cast<int>(m.WParam) != HTCAPTION) return false;
  // Input may come before the paint that follows a change of size or state: hit tests run on a
  // current layout.
  LayoutParts();
  const TPoint p = WindowPointOfScreen(m.LParam);
  TCHF_Image* part = TitleBar().HitTest(p);
  if (!part) return false;
  if (button == mbLeft && GetForegroundWindow() != this) SetForegroundWindow(this);
  part->MouseDown(button, p);
  m.Result = 0;
  return true;
}

bool TCHF_Form::NcButtonUp(TMessage& m, TMouseButton button) {
  const TPoint p = WindowPointOfScreen(m.LParam);
  TCHF_Image* part = captured_;
  if (!part && static_cast<int>(m.WParam) == HTCAPTION) {
    LayoutParts();
    part = TitleBar().HitTest(p);
  }
  if (!part) return false;
  part->MouseUp(button, p);
  m.Result = 0;
  return true;
}

bool TCHF_Form::NcDoubleClick(TMessage& m) {
  if (static_cast<int>(m.WParam) != HTCAPTION) return false;
  LayoutParts();
  const TPoint p = WindowPointOfScreen(m.LParam);
  if (TitleBar().HitTest(p) != &TitleBar()) return false;
  const TWindowState state = WindowState();
  if (TitleBar().IconPart().HitTest(p)) {
    if (state == wsMinimized)
      SetWindowState(wsNormal);
    else if (kitIcons_ & biSystemMenu)
      Close();
  } else if (state != wsNormal) {
    SetWindowState(wsNormal);
  } else if (kitIcons_ & biMaximize) {
    SetWindowState(wsMaximized);
  }
  m.Result = 0;
  return true;
}

void TCHF_Form::Dispatch(TMessage& m) {
  if (ready_ != kReady) {
    TForm::Dispatch(m);
    return;
  }
  switch (m.Msg) {
    case WM_PAINT:
      // Every client paint is followed by a paint of the frame.
      TForm::Dispatch(m);
      Perform(WM_NCPAINT);
      return;
    case WM_NCPAINT:
      PaintFrame();
      m.Result = 0;
      return;
    case WM_NCACTIVATE:
      TForm::Dispatch(m);
      TitleBar().Active = (m.WParam & 0xFFFF) != 0;
      PaintFrame();
      return;
    case WM_ACTIVATE:
      // The layer raises OnActivate through CM_ACTIVATE, which still takes the inherited way.
      TitleBar().Active = m.WParam != 0;
      PaintFrame();
      m.Result = 0;
      return;
    case WM_NCLBUTTONDOWN:
    case WM_NCRBUTTONDOWN:
      if (NcButtonDown(m, m.Msg == WM_NCLBUTTONDOWN ? mbLeft : mbRight)) return;
      break;
    case WM_NCLBUTTONUP:
    case WM_NCRBUTTONUP:
      if (NcButtonUp(m, m.Msg == WM_NCLBUTTONUP ? mbLeft : mbRight)) return;
      break;
    case WM_NCLBUTTONDBLCLK:
      if (NcDoubleClick(m)) return;
      break;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
      // While a part holds the mouse, client-area messages are its, in window coordinates.
      if (captured_) {
        captured_->MouseUp(m.Msg == WM_LBUTTONUP ? mbLeft : mbRight, WindowPointOfClient(m.LParam));
        m.Result = 0;
        return;
      }
      break;
    case WM_MOUSEMOVE:
      if (captured_) {
        captured_->MouseMove(KeysOf(m.WParam), WindowPointOfClient(m.LParam));
        m.Result = 0;
        return;
      }
      break;
    case WM_SYSKEYUP:
      if (m.WParam == VK_SPACE) {
        m.WParam = 0;
        m.Result = 0;
        const TRect c = WindowClientRect();
        PopupSysMenu(c.Left, c.Top);
        return;
      }
      break;
    default: break;
  }
  TForm::Dispatch(m);
}

TWindowFrameMap TCHF_Form::WindowFrameMap() {
  TWindowFrameMap m = TForm::WindowFrameMap();
  if (ready_ != kReady) return m;
  LayoutParts();
  TCHF_TitleBar& bar = TitleBar();
  m.Caption = bar.Visible() && !IsZoomed(*this) ? bar.Rect : TRect{};
  for (const TCHF_Button* b : bar.Buttons())
    if (b->Visible() && !b->Rect.IsEmpty()) m.Keep.push_back(b->Rect);
  const TCHF_Image& icon = bar.IconPart();
  if (icon.Visible() && !icon.Rect.IsEmpty()) m.Keep.push_back(icon.Rect);
  return m;
}

void TCHF_Form::PartCapture(TCHF_Image* part) {
  captured_ = part;
  SetMouseCapture(part != nullptr);
}

void TCHF_Form::PartRepaint(TCHF_Image* part) {
  // During a whole paint of the frame the part is painted with the rest; a hidden window shows
  // nothing.
  if (!part || paintingFrame_ || ready_ != kReady || !Visible()) return;
  part->Paint(WindowCanvas());
}

void TCHF_Form::TitleBarClick(TCHF_Image* part, TMouseButton button, int x, int y) {
  if (!part) return;
  switch (part->Kind) {
    case pkCaption:
      if (button == mbRight)
        PopupSysMenu(x, y);
      else
        StartCaptionDrag(x, y);
      break;
    case pkIcon: {
      const TRect c = WindowClientRect();
      PopupSysMenu(c.Left, c.Top);
      break;
    }
    case pkClose: Close(); break;
    case pkMaximize: SetWindowState(WindowState() == wsMaximized ? wsNormal : wsMaximized); break;
    case pkMinimize:
      if (WindowState() == wsMinimized)
        SetWindowState(wsNormal);
      else
        Minimize();
      break;
    case pkHelp:
      // The form keeps no context number of its own: the help asked for is context 0.
      App().HelpContext(0);
      break;
    case pkFrame: break;
  }
}

void TCHF_Form::Minimize() {
  if (this == App().MainForm())
    App().Minimize();
  else
    SetWindowState(wsMinimized);
}

void TCHF_Form::StartCaptionDrag(int x, int y) {
  if (IsZoomed(*this) && Width() > GetSystemMetrics(SM_CXSCREEN) - 16 && Height() > GetSystemMetrics(SM_CYSCREEN) - 16)
    return;
  Perform(WM_SYSCOMMAND, SC_MOVE | HTCAPTION, MakeLParam(x, y));
}

void TCHF_Form::PopupSysMenu(int x, int y) {
  const TCHF_SysMenuRules r = SysMenuRules(BorderStyle(), kitIcons_, WindowState(), {Width(), Height()},
                                           {GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)});
  miRESTORE->Enabled = r.Restore;
  miMAXIMIZE->Enabled = r.Maximize;
  miMINIMIZE->Enabled = r.Minimize;
  TPopupMenu* menu = CHF_POPUP_DIALOG;
  switch (r.Menu) {
    case TCHF_SysMenu::Sizeable:
      menu = CHF_POPUP_SIZEABLE;
      miMOVE->Enabled = r.Move;
      miSIZE->Enabled = r.Size;
      miClose->Enabled = r.Close;
      miRESTORE->Default = r.RestoreIsDefault;
      miClose->Default = !r.RestoreIsDefault;
      break;
    case TCHF_SysMenu::Single:
      menu = CHF_POPUP_SINGLE;
      miMOVE2->Enabled = r.Move;
      miClose2->Enabled = r.Close;
      break;
    case TCHF_SysMenu::SizeTool:
      menu = CHF_POPUP_SIZETOOL;
      miMove4->Enabled = r.Move;
      miSize4->Enabled = r.Size;
      miClose4->Enabled = r.Close;
      break;
    case TCHF_SysMenu::Dialog:
      miMove3->Enabled = r.Move;
      miClose3->Enabled = r.Close;
      break;
  }
  menu->Popup(Left() + x, Top() + y);
}

void TCHF_Form::miRESTOREClick(TComponent*) { SetWindowState(wsNormal); }

void TCHF_Form::miMOVEClick(TComponent*) {
  Perform(WM_SYSCOMMAND, SC_MOVE, MakeLParam(Left() + Width() / 2, Top() + WindowClientRect().Top / 2));
}

void TCHF_Form::miSIZEClick(TComponent*) {
  Perform(WM_SYSCOMMAND, SC_SIZE, MakeLParam(Left() + Width() / 2, Top() + WindowClientRect().Top / 2));
}

void TCHF_Form::miMINIMIZEClick(TComponent*) { Minimize(); }
void TCHF_Form::miMAXIMIZEClick(TComponent*) { SetWindowState(wsMaximized); }
void TCHF_Form::miCloseClick(TComponent*) { Close(); }

}  // namespace vdmq
