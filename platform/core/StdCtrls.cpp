#include "platform/core/StdCtrls.h"

#include "platform/core/Application.h"
#include "platform/core/Form.h"

namespace vdmq {

// ---------------------------------------------------------------------------------------------
// Shared button drawing

void DrawButtonContent(TCanvas& c, const TRect& r, const std::string& caption, const TBitmap* glyph, int numGlyphs,
                       int glyphIndex, TButtonLayout layout, int margin, int spacing, bool enabled) {
  int gw = 0, gh = 0;
  if (glyph && !glyph->Empty()) {
    numGlyphs = std::clamp(numGlyphs, 1, 4);
    gw = glyph->Width() / numGlyphs;
    gh = glyph->Height();
  }
  TRect calc{0, 0, r.Width(), 0};
  c.DrawText(caption, calc, DT_CALCRECT | DT_SINGLELINE);
  const int tw = caption.empty() ? 0 : calc.Width(), th = caption.empty() ? 0 : calc.Height();
  const bool horizontal = layout == blGlyphLeft || layout == blGlyphRight;
  const int gap = (gw > 0 && tw > 0) ? std::max(0, spacing) : 0;
  const int total = horizontal ? gw + gap + tw : gh + gap + th;
  const int avail = horizontal ? r.Width() : r.Height();
  const int start = margin < 0 ? (avail - total) / 2 : margin;
  int gx, gy, tx, ty;
  if (horizontal) {
    gy = r.Top + (r.Height() - gh) / 2;
    ty = r.Top + (r.Height() - th) / 2;
    if (layout == blGlyphLeft) {
      gx = r.Left + start;
      tx = gx + gw + gap;
    } else {
      tx = r.Left + start;
      gx = tx + tw + gap;
    }
  } else {
    gx = r.Left + (r.Width() - gw) / 2;
    tx = r.Left + (r.Width() - tw) / 2;
    if (layout == blGlyphTop) {
      gy = r.Top + start;
      ty = gy + gh + gap;
    } else {
      ty = r.Top + start;
      gy = ty + th + gap;
    }
  }
  if (gw > 0) {
    const TPixmap& p = glyph->Pixels();
    const int cell = std::clamp(glyphIndex, 0, numGlyphs - 1);
    // The bottom-left pixel's colour is transparent, as with the class library's glyphs.
    const std::uint32_t key = p.Pixel(0, p.Height() - 1);
    for (int y = 0; y < gh; ++y)
      for (int x = 0; x < gw; ++x) {
        const std::uint32_t v = p.Pixel(cell * gw + x, y);
        if (v != key) c.SetPixel(gx + x, gy + y, RGB((v >> 16) & 255, (v >> 8) & 255, v & 255));
      }
  }
  if (tw > 0) {
    c.Brush.Style = bsClear;
    TRect t = Bounds(tx, ty, tw, th);
    if (!enabled) {
      const TColor saved = c.Font.Color;
      c.Font.Color = clBtnHighlight;
      TRect t1 = t.Offset(1, 1);
      c.DrawText(caption, t1, DT_SINGLELINE | DT_NOCLIP);
      c.Font.Color = clBtnShadow;
      c.DrawText(caption, t, DT_SINGLELINE | DT_NOCLIP);
      c.Font.Color = saved;
    } else {
      c.DrawText(caption, t, DT_SINGLELINE | DT_NOCLIP);
    }
    c.Brush.Style = bsSolid;
  }
}

// ---------------------------------------------------------------------------------------------
// Panel

TPanel::TPanel(TComponent* owner) : TControl(owner) { SetBounds(0, 0, 185, 41); }

TRect TPanel::PaintFrame(TCanvas& c) {
  TRect r = ClientRect();
  auto colors = [](TBevelCut cut, TColor& a, TColor& b) {
    a = cut == bvLowered ? clBtnShadow : clBtnHighlight;
    b = cut == bvLowered ? clBtnHighlight : clBtnShadow;
  };
  TColor a, b;
  if (BevelOuter != bvNone) {
    colors(BevelOuter, a, b);
    c.Frame3D(r, a, b, BevelWidth);
  }
  c.Frame3D(r, Color(), Color(), BorderWidth);
  if (BevelInner != bvNone) {
    colors(BevelInner, a, b);
    c.Frame3D(r, a, b, BevelWidth);
  }
  return r;
}

void TPanel::Paint(TCanvas& c) {
  TRect r = PaintFrame(c);
  c.FillRectColor(r, Color());
  if (!Caption().empty()) {
    c.Font = Font();
    c.Brush.Style = bsClear;
    unsigned align = Alignment == taCenter ? DT_CENTER : Alignment == taRightJustify ? DT_RIGHT : DT_LEFT;
    c.DrawText(Caption(), r, DT_EXPANDTABS | DT_VCENTER | DT_SINGLELINE | align);
    c.Brush.Style = bsSolid;
  }
}

// ---------------------------------------------------------------------------------------------
// Label

TLabel::TLabel(TComponent* owner) : TControl(owner) {
  opaqueErase_ = false;
  SetBounds(0, 0, 65, 13);
}

void TLabel::SetAutoSize(bool v) {
  autoSize_ = v;
  AdjustBounds();
}

unsigned TLabel::TextFlags() const {
  // "\n" breaks lines in every label; WordWrap adds breaking at the label's width.
  unsigned f = DT_EXPANDTABS;
  if (WordWrap) f |= DT_WORDBREAK;
  if (!ShowAccelChar) f |= DT_NOPREFIX;
  if (Alignment == taCenter)
    f |= DT_CENTER;
  else if (Alignment == taRightJustify)
    f |= DT_RIGHT;
  return f;
}

void TLabel::AdjustBounds() {
  if (!autoSize_) return;
  TCanvas c;
  c.Font = Font();
  TRect r{0, 0, WordWrap ? Width() : 0, 0};
  std::string text = Caption().empty() ? std::string(" ") : Caption();
  c.DrawText(text, r, TextFlags() | DT_CALCRECT);
  int left = Left();
  if (Alignment == taRightJustify) left = Left() + Width() - r.Width();
  SetBounds(left, Top(), r.Width(), r.Height());
}

void TLabel::Dispatch(TMessage& m) {
  if (m.Msg == CM_FONTCHANGED) AdjustBounds();
  TControl::Dispatch(m);
}

void TLabel::Paint(TCanvas& c) {
  TRect r = ClientRect();
  if (!Transparent) {
    TColor back = Color();
    if (ParentColor && Parent()) back = Parent()->Color();
    c.FillRectColor(r, back);
  }
  c.Font = Font();
  c.Brush.Style = bsClear;
  const unsigned flags = TextFlags();
  if (Layout != tlTop) {
    TRect calc{0, 0, r.Width(), 0};
    c.DrawText(Caption(), calc, flags | DT_CALCRECT);
    const int off = Layout == tlCenter ? (r.Height() - calc.Height()) / 2 : r.Height() - calc.Height();
    r.Top += off;
  }
  if (!EnabledInTree()) {
    TRect r1 = r.Offset(1, 1);
    c.Font.Color = clBtnHighlight;
    c.DrawText(Caption(), r1, flags);
    c.Font.Color = clBtnShadow;
  }
  c.DrawText(Caption(), r, flags);
  c.Brush.Style = bsSolid;
}

// ---------------------------------------------------------------------------------------------
// Image

TImage::TImage(TComponent* owner) : TControl(owner) {
  opaqueErase_ = false;
  SetBounds(0, 0, 105, 105);
  Picture.OnChange = [this] { Invalidate(); };
}

TImage::~TImage() {
  BeginDestroy();
  if ((bound_.Valid() || view8_.bits) && OnImageRemoved) OnImageRemoved(this);
}

void TImage::AttachPixels(const TPixelView& view) {
  view8_ = {};
  if (view.bitsPerPixel == 24) {
    BindPixels(static_cast<std::uint8_t*>(view.bits), view.width, view.height, view.pitchBytes);
  } else if (view.bitsPerPixel == 8 && view.bits && view.width > 0 && view.height > 0 &&
             view.pitchBytes >= view.width) {
    BindPixels(nullptr, 0, 0, 0);
    view8_ = view;
    SetPalette(view.palette);
  } else {
    BindPixels(nullptr, 0, 0, 0);
  }
}

void TImage::DetachPixels() {
  view8_ = {};
  BindPixels(nullptr, 0, 0, 0);
}

void TImage::SetPalette(const RGBQUAD* palette) {
  if (!palette) return;
  for (int i = 0; i < 256; ++i)
    palette_[i] = (static_cast<std::uint32_t>(palette[i].rgbRed) << 16) |
                  (static_cast<std::uint32_t>(palette[i].rgbGreen) << 8) | palette[i].rgbBlue;
  Invalidate();
}

void TImage::BindPixels(std::uint8_t* bits, int width, int height, int pitchBytes) {
  boundBits_ = bits;
  bound_ = TBgrBlock{bits, width, height, pitchBytes};
  if (!bound_.Valid()) {
    bound_ = {};
    boundBits_ = nullptr;
  }
  imageCanvas_.Unbind();
  Invalidate();
}

TCanvas& TImage::ImageCanvas() {
  if (bound_.Valid()) {
    imageCanvas_.Bind(TPixelTarget::OfBgr(boundBits_, bound_.Width, bound_.Height, bound_.PitchBytes), {0, 0},
                      {0, 0, bound_.Width, bound_.Height});
  } else {
    if (Picture.Empty()) Picture.SetSize(std::max(1, Width()), std::max(1, Height()));
    imageCanvas_.Bind(Picture.Pixels());
  }
  imageCanvas_.OnDrawn = [this] { Invalidate(); };
  return imageCanvas_;
}

void TImage::Paint(TCanvas& c) {
  if (bound_.Valid()) {
    c.DrawBgrBlock(0, 0, bound_);
    return;
  }
  if (view8_.bits) {
    const auto* bits = static_cast<const std::uint8_t*>(view8_.bits);
    const TRect clip = c.ClipRect();
    for (int y = std::max(0, clip.Top); y < std::min(view8_.height, clip.Bottom); ++y)
      for (int x = std::max(0, clip.Left); x < std::min(view8_.width, clip.Right); ++x) {
        const std::uint32_t v = palette_[bits[static_cast<size_t>(y) * view8_.pitchBytes + x]];
        c.SetPixel(x, y, RGB((v >> 16) & 255, (v >> 8) & 255, v & 255));
      }
    return;
  }
  if (Picture.Empty()) return;
  const TPixelTarget src = TPixelTarget::Of(Picture.Pixels());
  if (Stretch)
    c.StretchPixels(ClientRect(), src);
  else if (Center)
    c.DrawPixels((Width() - src.Width) / 2, (Height() - src.Height) / 2, src);
  else
    c.DrawPixels(0, 0, src);
}

// ---------------------------------------------------------------------------------------------
// Push button

TButton::TButton(TComponent* owner) : TControl(owner) { SetBounds(0, 0, 75, 25); }

void TButton::Dispatch(TMessage& m) {
  // A double click on a push button is a second press.
  if (m.Msg == WM_LBUTTONDBLCLK) m.Msg = WM_LBUTTONDOWN;
  TControl::Dispatch(m);
}

void TButton::Click() {
  if (ModalResult != mrNone)
    if (TForm* f = ParentForm()) f->ModalResult = ModalResult;
  TControl::Click();
}

void TButton::MouseDown(TMouseButton b, TShiftState s, int x, int y) {
  if (b == mbLeft) {
    pressed_ = inside_ = true;
    if (TForm* f = ParentForm()) f->ActiveControl = this;
    Invalidate();
  }
  TControl::MouseDown(b, s, x, y);
}

void TButton::MouseMove(TShiftState s, int x, int y) {
  if (pressed_) {
    const bool in = ClientRect().Contains(x, y);
    if (in != inside_) {
      inside_ = in;
      Invalidate();
    }
  }
  TControl::MouseMove(s, x, y);
}

void TButton::MouseUp(TMouseButton b, TShiftState s, int x, int y) {
  if (b == mbLeft && pressed_) {
    pressed_ = inside_ = false;
    Invalidate();
  }
  TControl::MouseUp(b, s, x, y);
}

void TButton::Paint(TCanvas& c) {
  TRect r = ClientRect();
  if (Default) {
    c.Brush.Color = clWindowFrame;
    c.FrameRect(r);
    r = r.Inflate(-1, -1);
  }
  TRect face = c.DrawButtonFace(r, Pressed());
  if (Pressed()) face = face.Offset(1, 1);
  c.Font = Font();
  DrawButtonContent(c, face, Caption(), nullptr, 1, 0, blGlyphLeft, -1, 4, EnabledInTree());
}

// ---------------------------------------------------------------------------------------------
// Bit button

TBitBtn::TBitBtn(TComponent* owner) : TButton(owner) {}

void TBitBtn::SetButtonStyle(bool defaultLook) {
  if (defaultLook == defaultLook_) return;
  defaultLook_ = defaultLook;
  Invalidate();
}

void TBitBtn::Paint(TCanvas& c) {
  TDrawItemStruct dis;
  dis.Canvas = &c;
  dis.Rect = ClientRect();
  if (Pressed()) dis.State |= ODS_SELECTED;
  if (!EnabledInTree()) dis.State |= ODS_DISABLED;
  if (defaultLook_) dis.State |= ODS_FOCUS;
  Perform(CN_DRAWITEM, 0, reinterpret_cast<std::intptr_t>(&dis));
}

void TBitBtn::Dispatch(TMessage& m) {
  if (m.Msg == CN_DRAWITEM && m.LParam) {
    DrawItem(*reinterpret_cast<const TDrawItemStruct*>(m.LParam));
    m.Result = 1;
    return;
  }
  TButton::Dispatch(m);
}

void TBitBtn::DrawItem(const TDrawItemStruct& dis) {
  TCanvas& c = *dis.Canvas;
  TRect r = dis.Rect;
  const bool down = dis.State & ODS_SELECTED;
  if (dis.State & ODS_FOCUS) {
    c.Brush.Color = clWindowFrame;
    c.FrameRect(r);
    r = r.Inflate(-1, -1);
  }
  TRect face = c.DrawButtonFace(r, down);
  if (down) face = face.Offset(1, 1);
  c.Font = Font();
  const bool enabled = !(dis.State & ODS_DISABLED);
  // Glyph cells: up, disabled, clicked, down.
  int cell = 0;
  if (!enabled && NumGlyphs > 1)
    cell = 1;
  else if (down && NumGlyphs > 2)
    cell = 2;
  DrawButtonContent(c, face, Caption(), &Glyph, NumGlyphs, cell, Layout, Margin, Spacing, enabled);
}

// ---------------------------------------------------------------------------------------------
// Speed button

TSpeedButton::TSpeedButton(TComponent* owner) : TControl(owner) {
  opaqueErase_ = false;
  SetBounds(0, 0, 23, 22);
}

void TSpeedButton::SetGroupIndex(int g) {
  if (g == groupIndex_) return;
  groupIndex_ = g;
  UpdateExclusive();
}

void TSpeedButton::SetAllowAllUp(bool v) {
  if (v == allowAllUp_) return;
  allowAllUp_ = v;
  UpdateExclusive();
}

void TSpeedButton::SetDown(bool v) {
  if (groupIndex_ == 0) v = false;
  if (v == down_) return;
  // In a group that must keep one button down, the down button cannot be raised directly.
  if (down_ && !allowAllUp_) return;
  down_ = v;
  if (v) {
    if (state_ == bsUp) Invalidate();
    if (state_ != bsDisabled) state_ = bsExclusive;
  } else {
    if (state_ != bsDisabled) state_ = bsUp;
    Invalidate();
  }
  if (v) UpdateExclusive();
}

void TSpeedButton::UpdateExclusive() {
  if (groupIndex_ == 0 || !Parent()) return;
  TMessage m{CM_BUTTONPRESSED, static_cast<std::uintptr_t>(groupIndex_), reinterpret_cast<std::intptr_t>(this), 0};
  for (int i = 0; i < Parent()->ControlCount(); ++i) {
    TControl* c = Parent()->Controls(i);
    if (c != this && dynamic_cast<TSpeedButton*>(c)) c->Dispatch(m);
  }
}

void TSpeedButton::Dispatch(TMessage& m) {
  if (m.Msg == CM_BUTTONPRESSED) {
    auto* sender = reinterpret_cast<TSpeedButton*>(m.LParam);
    if (static_cast<int>(m.WParam) == groupIndex_ && sender != this) {
      if (sender->down_ && down_) {
        down_ = false;
        if (state_ != bsDisabled) state_ = bsUp;
        Invalidate();
      }
      allowAllUp_ = sender->allowAllUp_;
    }
    return;
  }
  if (m.Msg == WM_LBUTTONUP) {
    // The speed button decides on its own click (the group rules), not the generic one.
    SetMouseCapture(false);
    MouseUp(mbLeft, 0, LParamX(m.LParam), LParamY(m.LParam));
    return;
  }
  TControl::Dispatch(m);
}

void TSpeedButton::EnabledChanged() {
  if (!Enabled()) {
    state_ = bsDisabled;
    dragging_ = false;
  } else if (state_ == bsDisabled) {
    state_ = (down_ && groupIndex_ != 0) ? bsExclusive : bsUp;
  }
  Invalidate();
}

void TSpeedButton::MouseDown(TMouseButton b, TShiftState s, int x, int y) {
  TControl::MouseDown(b, s, x, y);
  if (b == mbLeft && Enabled()) {
    if (!down_) {
      state_ = bsDown;
      Invalidate();
    }
    dragging_ = true;
  }
}

void TSpeedButton::MouseMove(TShiftState s, int x, int y) {
  TControl::MouseMove(s, x, y);
  if (!dragging_) return;
  TButtonState ns = down_ ? bsExclusive : bsUp;
  if (x >= 0 && x < ClientWidth() && y >= 0 && y <= ClientHeight()) ns = down_ ? bsExclusive : bsDown;
  if (ns != state_) {
    state_ = ns;
    Invalidate();
  }
}

void TSpeedButton::MouseUp(TMouseButton b, TShiftState s, int x, int y) {
  TControl::MouseUp(b, s, x, y);
  if (b != mbLeft || !dragging_) return;
  dragging_ = false;
  const bool doClick = x >= 0 && x < ClientWidth() && y >= 0 && y <= ClientHeight();
  if (groupIndex_ == 0) {
    state_ = bsUp;
    Invalidate();
  } else if (doClick) {
    SetDown(!down_);
    if (down_) {
      state_ = bsExclusive;
      Invalidate();
    }
  } else {
    if (down_) state_ = bsExclusive;
    Invalidate();
  }
  if (doClick) Click();
}

void TSpeedButton::Click() { TControl::Click(); }

void TSpeedButton::Paint(TCanvas& c) {
  TRect r = ClientRect();
  const bool sunk = state_ == bsDown || state_ == bsExclusive || (state_ == bsDisabled && down_);
  TRect face = c.DrawButtonFace(r, sunk);
  if (sunk) face = face.Offset(1, 1);
  c.Font = Font();
  int cell = 0;
  if (state_ == bsDisabled && NumGlyphs > 1)
    cell = 1;
  else if (state_ == bsDown && NumGlyphs > 2)
    cell = 2;
  else if (state_ == bsExclusive && NumGlyphs > 3)
    cell = 3;
  DrawButtonContent(c, face, Caption(), &Glyph, NumGlyphs, cell, Layout, Margin, Spacing, state_ != bsDisabled);
}

// ---------------------------------------------------------------------------------------------
// Check box

TCheckBox::TCheckBox(TComponent* owner) : TControl(owner) { SetBounds(0, 0, 97, 17); }

void TCheckBox::SetChecked(bool v) {
  if (v == checked_) return;
  checked_ = v;
  Invalidate();
  TControl::Click();
}

void TCheckBox::Click() { SetChecked(!checked_); }

void TCheckBox::Paint(TCanvas& c) {
  const int box = 13;
  const int by = (Height() - box) / 2;
  const int bx = Alignment == taRightJustify ? 0 : Width() - box;
  TRect b = Bounds(bx, by, box, box);
  TRect in = b;
  c.Frame3D(in, clBtnShadow, clBtnHighlight, 1);
  c.Frame3D(in, cl3DDkShadow, cl3DLight, 1);
  c.FillRectColor(in, EnabledInTree() ? clWindow : clBtnFace);
  if (checked_) {
    c.Pen.Color = EnabledInTree() ? clWindowText : clGrayText;
    // A tick of three-pixel height strokes.
    for (int k = 0; k < 3; ++k) {
      c.MoveTo(in.Left + 1, in.Top + 3 + k);
      c.LineTo(in.Left + 3, in.Top + 5 + k);
      c.LineTo(in.Left + 8, in.Top + k);
    }
  }
  c.Font = Font();
  c.Brush.Style = bsClear;
  TRect t =
      Alignment == taRightJustify ? TRect{box + 4, 0, Width(), Height()} : TRect{0, 0, Width() - box - 4, Height()};
  if (!EnabledInTree()) c.Font.Color = clGrayText;
  c.DrawText(Caption(), t, DT_SINGLELINE | DT_VCENTER);
  c.Brush.Style = bsSolid;
}

}  // namespace vdmq
