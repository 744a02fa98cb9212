#pragma once
// Visual controls: parent/child tree, bounds, alignment, visibility, enabling, colour and font,
// painting into the top-level window's store, and the mouse messages with implicit capture and
// click synthesis. Every control takes its messages through the virtual Dispatch (a message map:
// derived classes handle what they need and pass the rest to their base).

#include <functional>
#include <string>
#include <vector>

#include "platform/core/Canvas.h"
#include "platform/core/Component.h"
#include "platform/core/Messages.h"

namespace vdmq {

class TForm;

enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };
enum TMouseButton { mbLeft, mbRight, mbMiddle };
using TShiftState = unsigned;
constexpr TShiftState ssShift = 1, ssAlt = 2, ssCtrl = 4, ssLeft = 8, ssRight = 16, ssMiddle = 32, ssDouble = 64;

using TMouseEvent = std::function<void(TComponent* sender, TMouseButton button, TShiftState shift, int x, int y)>;
using TMouseMoveEvent = std::function<void(TComponent* sender, TShiftState shift, int x, int y)>;
using TKeyEvent = std::function<void(TComponent* sender, unsigned& key, TShiftState shift)>;
using TKeyPressEvent = std::function<void(TComponent* sender, char& key)>;

class TControl : public TComponent {
 public:
  explicit TControl(TComponent* owner);
  ~TControl() override;
  const char* ClassName() const override { return "TControl"; }

  // --- tree ---
  TControl* Parent() const { return parent_; }
  void SetParent(TControl* parent);
  int ControlCount() const { return static_cast<int>(children_.size()); }
  TControl* Controls(int i) const { return children_.at(static_cast<size_t>(i)); }
  // The top-level form that holds this control (itself for a form).
  TForm* ParentForm();
  // Windowed controls take the keyboard and get an erase before painting; graphic controls
  // (labels, images, speed buttons) are painted by their parent.
  virtual bool IsWindowed() const { return true; }

  // --- bounds (relative to the parent's client area; a form's are screen coordinates) ---
  int Left() const { return left_; }
  int Top() const { return top_; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  void SetLeft(int v) { SetBounds(v, top_, width_, height_); }
  void SetTop(int v) { SetBounds(left_, v, width_, height_); }
  void SetWidth(int v) { SetBounds(left_, top_, v, height_); }
  void SetHeight(int v) { SetBounds(left_, top_, width_, v); }
  virtual void SetBounds(int left, int top, int width, int height);
  TRect BoundsRect() const { return Bounds(left_, top_, width_, height_); }
  virtual int ClientWidth() const { return width_; }
  virtual int ClientHeight() const { return height_; }
  void SetClientWidth(int v) { SetClientSize(v, ClientHeight()); }
  void SetClientHeight(int v) { SetClientSize(ClientWidth(), v); }
  virtual void SetClientSize(int w, int h) { SetBounds(left_, top_, w, h); }
  TRect ClientRect() const { return {0, 0, ClientWidth(), ClientHeight()}; }
  // Screen position of the client area's top-left corner.
  virtual TPoint ClientOrigin() const;
  TPoint ClientToScreen(TPoint p) const;
  TPoint ScreenToClient(TPoint p) const;
  // The client area's rectangle in the coordinates of the top-level window store.
  TRect WindowStoreRect() const;

  TAlign Align() const { return align_; }
  void SetAlign(TAlign a);
  bool Visible() const { return visible_; }
  virtual void SetVisible(bool v);
  void Show() { SetVisible(true); }
  void Hide() { SetVisible(false); }
  // Visible itself and all parents visible.
  bool Showing() const;
  bool Enabled() const { return enabled_; }
  virtual void SetEnabled(bool v);
  // Enabled itself and all parents up to (not including) the top-level window enabled.
  bool EnabledInTree() const;
  TColor Color() const { return color_; }
  void SetColor(TColor c);
  const TFont& Font() const { return font_; }
  // Changes the font in place (the control repaints and stops following its parent's font).
  TFont& FontRef() {
    ParentFont = false;
    Invalidate();
    return font_;
  }
  void SetFont(const TFont& f);
  bool ParentFont = true;
  const std::string& Caption() const { return caption_; }
  virtual void SetCaption(const std::string& text);
  void BringToFront();
  void SendToBack();

  // --- painting ---
  void Invalidate();
  void InvalidateRect(const TRect& clientRect);
  // Paints the window's dirty parts now and presents them (no other message is handled).
  void Update();
  void Repaint() {
    Invalidate();
    Update();
  }
  void Refresh() { Repaint(); }
  // A canvas over the control's client area. During painting it is bound to the store with the
  // paint clip; otherwise it draws straight into the store (and the drawing is presented).
  TCanvas& Canvas();

  // --- messages ---
  virtual void Dispatch(TMessage& m);
  std::intptr_t Perform(std::uint32_t msg, std::uintptr_t w = 0, std::intptr_t l = 0);
  bool MouseCapture() const;
  void SetMouseCapture(bool v);

  // The control under a client point (itself when no visible child holds it).
  TControl* ControlAtPos(TPoint client, bool allowDisabled);

  // --- events ---
  TNotifyEvent OnClick, OnDblClick, OnResize;
  TMouseEvent OnMouseDown, OnMouseUp;
  TMouseMoveEvent OnMouseMove;
  TKeyEvent OnKeyDown, OnKeyUp;
  TKeyPressEvent OnKeyPress;

  // Called by the layer's painter with the canvas bound to this control's client area.
  void PaintWith(TCanvas& canvas);
  // How often the client area has been painted (tests count the repaints of a redraw with it).
  int PaintCount() const { return paintCount_; }
  // Re-lays out aligned children (done on every size change).
  void Realign();

 protected:
  // Painting of the client area; the default fills nothing (the erase message fills Color).
  virtual void Paint(TCanvas& canvas);
  virtual void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
  virtual void MouseMove(TShiftState shift, int x, int y);
  virtual void MouseUp(TMouseButton button, TShiftState shift, int x, int y);
  virtual void Click();
  virtual void DblClick();
  virtual void Resize();
  virtual void EnabledChanged() {}
  virtual void TextChanged() {}
  virtual void BoundsChanged() {}
  virtual void KeyDown(unsigned& key, TShiftState shift);
  virtual void KeyPress(char& key);
  // True while the left button, pressed on this control, is held.
  bool Clicked() const { return clicked_; }
  // Where the control paints, for those that paint into a different target (images).
  TCanvas paintCanvas_;
  bool painting_ = false;
  // Graphic controls leave the background to the parent.
  bool opaqueErase_ = true;
  // Forms start hidden.
  void InitHidden() { visible_ = false; }

 private:
  friend class TDesktop;
  void RemoveChild(TControl* c);
  void NotifyAlignChange();
  TShiftState ShiftFromWParam(std::uintptr_t w) const;

  TControl* parent_ = nullptr;
  std::vector<TControl*> children_;
  int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
  TAlign align_ = alNone;
  bool visible_ = true;
  bool enabled_ = true;
  TColor color_ = clBtnFace;
  TFont font_;
  std::string caption_;
  bool clicked_ = false;
  bool aligning_ = false;
  int paintCount_ = 0;
  TCanvas canvas_;
};

}  // namespace vdmq
