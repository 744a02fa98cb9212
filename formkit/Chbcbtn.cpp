#include "formkit/Chbcbtn.h"

#include "platform/base/Sjis.h"
#include "platform/core/Application.h"

namespace vdmq {

// ---------------------------------------------------------------------------------------------
// Caption colours

TCHBtnCaptionColor::TCHBtnCaptionColor() {
  const TColor defaults[kColorCount] = {clBtnShadow, clNone,         clBtnHighlight, clBtnHighlight, clNone,
                                        clBtnShadow, clBtnHighlight, clNone,         clBtnShadow};
  for (int i = 0; i < kColorCount; ++i) SetTcTable(i, defaults[i]);
}

void TCHBtnCaptionColor::SetEnabled(bool value) {
  if (value == enabled_) return;
  enabled_ = value;
  Change();
}

TColor TCHBtnCaptionColor::GetTcTable(int index) const {
  return index >= 0 && index < kColorCount ? table_[index] : clNone;
}

void TCHBtnCaptionColor::SetTcTable(int index, TColor color) {
  if (index < 0 || index >= kColorCount || table_[index] == color) return;
  table_[index] = color;
  Change();
}

void TCHBtnCaptionColor::Change() {
  if (OnChange) OnChange(this);
}

void TCHBtnCaptionColor::DrawButtonFace(TCanvas* canvas, const TRect& r, TBitmap* bitmap, const TRect& s, int n,
                                        const std::string& caption, const TFont& font, TPoint captionPos,
                                        TPoint downOffset, TButtonState state, bool isFocused, bool isDefault) const {
  if (!canvas) return;
  const bool pressed = state == bsDown || state == bsExclusive;
  // The faces of a cell, left to right: up, disabled, pressed, held down, focus, default. A face
  // the cell lacks falls back to face 0.
  int face = 0, set = 2;
  switch (state) {
    case bsUp:
      if (isFocused)
        face = n >= 6 ? 5 : n >= 5 ? 4 : 0;
      else if (isDefault && n >= 5)
        face = 4;
      break;
    case bsDisabled:
      face = n >= 3 ? 1 : 0;
      set = 0;
      break;
    case bsDown:
      face = n >= 3 ? 2 : n >= 2 ? 1 : 0;
      set = 1;
      break;
    case bsExclusive:
      face = n >= 4 ? 3 : n >= 3 ? 2 : n >= 2 ? 1 : 0;
      set = 1;
      break;
  }
  if (n >= 1 && bitmap) {
    const int w = s.Width() / n;
    CH_CopyRect256(canvas, r, bitmap, {s.Left + w * face, s.Top, s.Left + w * (face + 1), s.Bottom});
  } else {
    canvas->DrawButtonFace(r, pressed);
  }

  if (!caption.empty()) {
    canvas->Font = font;
    canvas->Brush.Style = bsClear;
    TRect t{r.Left - 3, r.Top - 1, r.Right, r.Bottom};
    if (pressed) t = t.Offset(downOffset.X, downOffset.Y);
    TColor faceColor, highlight, shadow;
    if (enabled_) {
      faceColor = table_[set * 3];
      highlight = table_[set * 3 + 1];
      shadow = table_[set * 3 + 2];
    } else {
      faceColor = font.Color;
      highlight = shadow = clNone;
      if (state == bsDisabled) {
        faceColor = clBtnShadow;
        shadow = clBtnHighlight;
      }
    }
    unsigned flags = DT_LEFT | DT_TOP;
    if (captionPos.X < 0)
      flags |= DT_CENTER;
    else
      t = t.Offset(captionPos.X, 0);
    if (captionPos.Y < 0)
      flags |= DT_VCENTER | DT_SINGLELINE;
    else
      t = t.Offset(0, captionPos.Y);
    auto pass = [&](TColor color, TRect at) {
      if (color == clNone) return;
      canvas->Font.Color = color;
      canvas->DrawText(caption, at, flags);
    };
    pass(highlight, t);
    pass(shadow, t.Offset(2, 2));
    pass(faceColor, t.Offset(1, 1));
  }

  if (isFocused) {
    TRect f = r.Inflate(-4, -4);
    if (pressed) f = f.Offset(downOffset.X, downOffset.Y);
    canvas->Pen.Color = clWindowFrame;
    canvas->Brush.Color = clBtnFace;
    canvas->DrawFocusRect(f);
  }
}

// ---------------------------------------------------------------------------------------------
// The shared button part

template <class TBase>
TCHBcButton<TBase>::TCHBcButton(TComponent* owner) : TBase(owner) {
  glyph_.OnChange = [this](TCHCustomBcReader*) { BcrChanged(); };
  captionColor_.OnChange = [this](TCHBtnCaptionColor*) { BcrChanged(); };
  this->OnBtnDraw = [this](TComponent* sender, TButtonState state, bool isFocused, bool isDefault) {
    Draw(sender, state, isFocused, isDefault);
  };
  this->Spacing = -1;
  SetCaptionDownOffsetX(1);
  SetCaptionDownOffsetY(1);
}

template <class TBase>
TBitmap* TCHBcButton<TBase>::FaceBitmap() const {
  TBitmap* b = glyph_.GetBitmap();
  return b && !b->Empty() ? b : nullptr;
}

template <class TBase>
void TCHBcButton<TBase>::SetNumGlyphs(int value) {
  if (value < 0 || value > 6) {
    App().MessageBox(SJS("0から6までの値が指定できます。0描画せず 1通常 2無効 3押下 4押止 5フォーカス 6デフォルト"),
                     "TCHBcBitBtn.NumGlyphs", 0);
    return;
  }
  if (value == numGlyphs_) return;
  numGlyphs_ = value;
  this->Invalidate();
}

template <class TBase>
void TCHBcButton<TBase>::SetCaptionDownOffsetX(int value) {
  if (value == downX_) return;
  downX_ = value;
  this->Invalidate();
}

template <class TBase>
void TCHBcButton<TBase>::SetCaptionDownOffsetY(int value) {
  if (value == downY_) return;
  downY_ = value;
  this->Invalidate();
}

template <class TBase>
void TCHBcButton<TBase>::SetAutoSize(bool value) {
  if (value == autoSize_) return;
  autoSize_ = value;
  if (value) AdjustSize();
}

template <class TBase>
void TCHBcButton<TBase>::AdjustSize() {
  if (numGlyphs_ <= 0 || !FaceBitmap()) return;
  this->SetBounds(this->Left(), this->Top(), glyph_.GetSrcWidth() / numGlyphs_, glyph_.GetSrcHeight());
}

template <class TBase>
void TCHBcButton<TBase>::BcrChanged() {
  if (FaceBitmap()) {
    if (autoSize_) AdjustSize();
    if (numGlyphs_ == 0) SetNumGlyphs(3);
  }
  this->Invalidate();
}

template <class TBase>
void TCHBcButton<TBase>::DrawFace(TCanvas* canvas, TButtonState state, bool isFocused, bool isDefault) {
  captionColor_.DrawButtonFace(canvas, {0, 0, this->Width(), this->Height()}, numGlyphs_ > 0 ? FaceBitmap() : nullptr,
                               glyph_.SrcRect(), numGlyphs_, this->Caption(), this->Font(),
                               {this->Spacing, this->Margin}, {downX_, downY_}, state, isFocused, isDefault);
}

template class TCHBcButton<TCHCustomPaintBitBtn>;
template class TCHBcButton<TCHSpeedButton>;

// ---------------------------------------------------------------------------------------------
// The two buttons

void TCHBcBitBtn::Draw(TComponent*, TButtonState state, bool isFocused, bool isDefault) {
  DrawFace(DrawCanvas(), state, DrawFocus && isFocused, isDefault);
}

void TCHBcSpeedButton::Draw(TComponent*, TButtonState state, bool isFocused, bool isDefault) {
  DrawFace(PaintCanvas(), state, isFocused, isDefault);
}

}  // namespace vdmq
