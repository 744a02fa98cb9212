#pragma once
// The standard controls the game's forms use: panel, label, image (shows a bound 24-bit block
// 1:1), push button, owner-drawn bit button, speed button with the group rules, check box.

#include <array>

#include "platform/core/Control.h"
#include "platform/core/PixelHolder.h"

namespace vdmq {

enum TAlignment { taLeftJustify, taRightJustify, taCenter };
enum TTextLayout { tlTop, tlCenter, tlBottom };
enum TBevelCut { bvNone, bvLowered, bvRaised };
enum TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };

// Draws a button caption with an optional glyph cell the way the standard buttons lay them out.
void DrawButtonContent(TCanvas& c, const TRect& r, const std::string& caption, const TBitmap* glyph, int numGlyphs,
                       int glyphIndex, TButtonLayout layout, int margin, int spacing, bool enabled);

class TPanel : public TControl {
 public:
  explicit TPanel(TComponent* owner);
  const char* ClassName() const override { return "TPanel"; }
  TBevelCut BevelOuter = bvRaised;
  TBevelCut BevelInner = bvNone;
  int BevelWidth = 1;
  int BorderWidth = 0;
  TAlignment Alignment = taCenter;

 protected:
  void Paint(TCanvas& c) override;
  // The outer bevel, the border in Color and the inner bevel; answers the rectangle inside them.
  TRect PaintFrame(TCanvas& c);
};

class TLabel : public TControl {
 public:
  explicit TLabel(TComponent* owner);
  const char* ClassName() const override { return "TLabel"; }
  bool IsWindowed() const override { return false; }
  bool AutoSize() const { return autoSize_; }
  void SetAutoSize(bool v);
  TAlignment Alignment = taLeftJustify;
  TTextLayout Layout = tlTop;
  bool Transparent = false;
  bool WordWrap = false;
  bool ShowAccelChar = true;
  bool ParentColor = true;
  // Sizes the label to its caption (when AutoSize is on).
  void AdjustBounds();

 protected:
  void Paint(TCanvas& c) override;
  void TextChanged() override { AdjustBounds(); }
  void Dispatch(TMessage& m) override;
  unsigned TextFlags() const;

 private:
  bool autoSize_ = true;
};

// The image control is also the picture holder of the game's drawing surfaces (IPixelHolder): a
// bound surface hands its pixel memory over and the control shows it 1:1 without a copy.
class TImage : public TControl, public IPixelHolder {
 public:
  explicit TImage(TComponent* owner);
  ~TImage() override;
  const char* ClassName() const override { return "TImage"; }
  // IPixelHolder
  void AttachPixels(const TPixelView& view) override;
  void DetachPixels() override;
  void Invalidate() override { TControl::Invalidate(); }
  void SetPalette(const RGBQUAD* palette) override;
  // Runs when the control goes away while a surface's pixels are attached (a surface detaches
  // before it frees them, so the surface is alive then): the binder tells the surface here.
  std::function<void(IPixelHolder*)> OnImageRemoved;
  bool IsWindowed() const override { return false; }
  // The stored picture (shown when no pixel block is bound).
  TBitmap Picture;
  bool Stretch = false;
  bool Center = false;
  // Binds a top-down 24-bit block (blue, green, red; pitchBytes per row) shown 1:1 without a copy;
  // nullptr unbinds. The owner of the block calls PixelsChanged after drawing.
  void BindPixels(std::uint8_t* bits, int width, int height, int pitchBytes);
  bool HasBoundPixels() const { return bound_.Valid(); }
  TBgrBlock BoundPixels() const { return bound_; }
  void PixelsChanged() { Invalidate(); }
  // A canvas over the bound block, or over the picture (created at the control's size).
  TCanvas& ImageCanvas();

 protected:
  void Paint(TCanvas& c) override;

 private:
  TBgrBlock bound_;
  std::uint8_t* boundBits_ = nullptr;
  TCanvas imageCanvas_;
  // An attached 8-bit surface (shown through its colour table).
  TPixelView view8_;
  std::array<std::uint32_t, 256> palette_{};
};

class TButton : public TControl {
 public:
  explicit TButton(TComponent* owner);
  const char* ClassName() const override { return "TButton"; }
  int ModalResult = mrNone;
  bool Default = false;
  bool Cancel = false;
  // True while the left button is held with the mouse inside.
  bool Pressed() const { return pressed_ && inside_; }
  void Dispatch(TMessage& m) override;
  void Click() override;

 protected:
  void Paint(TCanvas& c) override;
  void MouseDown(TMouseButton b, TShiftState s, int x, int y) override;
  void MouseMove(TShiftState s, int x, int y) override;
  void MouseUp(TMouseButton b, TShiftState s, int x, int y) override;

 private:
  bool pressed_ = false;
  bool inside_ = false;
};

// What an owner-drawn button is asked to draw.
struct TDrawItemStruct {
  TCanvas* Canvas = nullptr;
  TRect Rect;
  unsigned State = 0;  // ODS_SELECTED, ODS_FOCUS, ODS_DISABLED
};

class TBitBtn : public TButton {
 public:
  explicit TBitBtn(TComponent* owner);
  const char* ClassName() const override { return "TBitBtn"; }
  TBitmap Glyph;
  int NumGlyphs = 1;
  TButtonLayout Layout = blGlyphLeft;
  int Margin = -1;
  int Spacing = 4;
  // The default-button look (thicker frame).
  void SetButtonStyle(bool defaultLook);
  bool IsDefaultLook() const { return defaultLook_; }
  void Dispatch(TMessage& m) override;

 protected:
  void Paint(TCanvas& c) override;
  // Draws the button (CN_DRAWITEM); descendants paint their own faces here.
  virtual void DrawItem(const TDrawItemStruct& dis);

 private:
  bool defaultLook_ = false;
};

enum TButtonState { bsUp, bsDisabled, bsDown, bsExclusive };

class TSpeedButton : public TControl {
 public:
  explicit TSpeedButton(TComponent* owner);
  const char* ClassName() const override { return "TSpeedButton"; }
  bool IsWindowed() const override { return false; }
  int GroupIndex() const { return groupIndex_; }
  void SetGroupIndex(int g);
  bool Down() const { return down_; }
  void SetDown(bool v);
  bool AllowAllUp() const { return allowAllUp_; }
  void SetAllowAllUp(bool v);
  bool Flat = false;
  TBitmap Glyph;
  int NumGlyphs = 1;
  TButtonLayout Layout = blGlyphLeft;
  int Margin = -1;
  int Spacing = 4;
  TButtonState State() const { return state_; }
  void Dispatch(TMessage& m) override;
  void Click() override;

 protected:
  void Paint(TCanvas& c) override;
  void MouseDown(TMouseButton b, TShiftState s, int x, int y) override;
  void MouseMove(TShiftState s, int x, int y) override;
  void MouseUp(TMouseButton b, TShiftState s, int x, int y) override;
  void EnabledChanged() override;

 private:
  void UpdateExclusive();
  int groupIndex_ = 0;
  bool down_ = false;
  bool allowAllUp_ = false;
  bool dragging_ = false;
  TButtonState state_ = bsUp;
};

class TCheckBox : public TControl {
 public:
  explicit TCheckBox(TComponent* owner);
  const char* ClassName() const override { return "TCheckBox"; }
  bool Checked() const { return checked_; }
  // Changing the state runs OnClick, as a click would.
  void SetChecked(bool v);
  TAlignment Alignment = taRightJustify;
  void Click() override;

 protected:
  void Paint(TCanvas& c) override;

 private:
  bool checked_ = false;
};

}  // namespace vdmq
