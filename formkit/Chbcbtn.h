#pragma once
// Cell-faced buttons: the face is a picture cut from a bitmap container through a reader, one
// face per state side by side in the reader's source rectangle (up, disabled, pressed, held down,
// focus, default), and the caption is drawn over it in up to three colour passes.

#include <string>

#include "formkit/Chdrwtl.h"
#include "formkit/Chpntbtn.h"
#include "formkit/Chspdbtn.h"

namespace vdmq {

// Caption colours: three sets (disabled, pressed, up) of face, highlight and shadow. clNone skips
// its pass.
class TCHBtnCaptionColor {
 public:
  static constexpr int kColorCount = 9;
  TCHBtnCaptionColor();
  TCHBtnCaptionColor(const TCHBtnCaptionColor&) = delete;
  TCHBtnCaptionColor& operator=(const TCHBtnCaptionColor&) = delete;
  virtual ~TCHBtnCaptionColor() = default;

  // False: the caption takes the font's colour (grey with a light shadow when disabled).
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool value);
  // Entries 0..8; another index reads clNone and writes nothing.
  TColor GetTcTable(int index) const;
  void SetTcTable(int index, TColor color);

  TColor ClDisabledFace() const { return table_[0]; }
  TColor ClDisabledHighlight() const { return table_[1]; }
  TColor ClDisabledShadow() const { return table_[2]; }
  TColor ClDownFace() const { return table_[3]; }
  TColor ClDownHighlight() const { return table_[4]; }
  TColor ClDownShadow() const { return table_[5]; }
  TColor ClUpFace() const { return table_[6]; }
  TColor ClUpHighlight() const { return table_[7]; }
  TColor ClUpShadow() const { return table_[8]; }
  void SetClDisabledFace(TColor c) { SetTcTable(0, c); }
  void SetClDisabledHighlight(TColor c) { SetTcTable(1, c); }
  void SetClDisabledShadow(TColor c) { SetTcTable(2, c); }
  void SetClDownFace(TColor c) { SetTcTable(3, c); }
  void SetClDownHighlight(TColor c) { SetTcTable(4, c); }
  void SetClDownShadow(TColor c) { SetTcTable(5, c); }
  void SetClUpFace(TColor c) { SetTcTable(6, c); }
  void SetClUpHighlight(TColor c) { SetTcTable(7, c); }
  void SetClUpShadow(TColor c) { SetTcTable(8, c); }

  // Draws the face of the state (copied, stretched, from s of the bitmap, whose width holds
  // numGlyphs faces; the standard face without a bitmap or glyphs), then the caption: text
  // rectangle = client moved 3 left and 1 up (and by downOffset when pressed); captionPos < 0
  // centres on that axis, else moves the text; passes highlight at T, shadow at T + (2, 2), face
  // at T + (1, 1). A focus flag adds the dotted focus rectangle 4 pixels inside.
  void DrawButtonFace(TCanvas* canvas, const TRect& client, TBitmap* bitmap, const TRect& s, int numGlyphs,
                      const std::string& caption, const TFont& font, TPoint captionPos, TPoint downOffset,
                      TButtonState state, bool isFocused, bool isDefault) const;

  // Sender = the caption colours.
  std::function<void(TCHBtnCaptionColor*)> OnChange;

 protected:
  virtual void Change();

 private:
  bool enabled_ = false;
  TColor table_[kColorCount] = {};
};

// What the two cell-faced buttons share: the reader of their faces (Glyph), the caption colours,
// the number of faces in a cell, the caption's pressed offset and the size of one face.
template <class TBase>
class TCHBcButton : public TBase {
 public:
  explicit TCHBcButton(TComponent* owner);

  TCHBtnCaptionColor& CaptionColor() { return captionColor_; }
  // The reader of the faces. It hides the layer button's own glyph, which the kit never uses.
  TCHBcReader& Glyph() { return glyph_; }
  int NumGlyphs() const { return numGlyphs_; }
  // 0..6 (0 draws the standard face); another value is refused with the platform message box.
  void SetNumGlyphs(int value);
  int CaptionDownOffsetX() const { return downX_; }
  int CaptionDownOffsetY() const { return downY_; }
  void SetCaptionDownOffsetX(int value);
  void SetCaptionDownOffsetY(int value);
  // True: the button takes the size of one face whenever the reader changes.
  bool AutoSize() const { return autoSize_; }
  void SetAutoSize(bool value);
  // Bounds become one face: source width div NumGlyphs by source height.
  void AdjustSize();

  // The button's OnBtnDraw.
  virtual void Draw(TComponent* sender, TButtonState state, bool isFocused, bool isDefault) = 0;

 protected:
  // The reader or the caption colours changed.
  void BcrChanged();
  // The reader's bitmap when it has pixels, else none.
  TBitmap* FaceBitmap() const;
  void DrawFace(TCanvas* canvas, TButtonState state, bool isFocused, bool isDefault);

 private:
  TCHBcReader glyph_;
  TCHBtnCaptionColor captionColor_;
  int numGlyphs_ = 0;
  int downX_ = 0, downY_ = 0;
  bool autoSize_ = false;
};

extern template class TCHBcButton<TCHCustomPaintBitBtn>;
extern template class TCHBcButton<TCHSpeedButton>;

class TCHBcBitBtn : public TCHBcButton<TCHCustomPaintBitBtn> {
 public:
  explicit TCHBcBitBtn(TComponent* owner) : TCHBcButton(owner) {}
  const char* ClassName() const override { return "TCHBcBitBtn"; }
  // True: the focus flag reaches the face (the focus face and the focus rectangle).
  bool DrawFocus = false;
  void Draw(TComponent* sender, TButtonState state, bool isFocused, bool isDefault) override;
};

class TCHBcSpeedButton : public TCHBcButton<TCHSpeedButton> {
 public:
  explicit TCHBcSpeedButton(TComponent* owner) : TCHBcButton(owner) {}
  const char* ClassName() const override { return "TCHBcSpeedButton"; }
  void Draw(TComponent* sender, TButtonState state, bool isFocused, bool isDefault) override;
};

}  // namespace vdmq
