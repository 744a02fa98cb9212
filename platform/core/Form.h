#pragma once
// Top-level windows: border styles and icons, the non-client frame with the classic metrics, the
// window store every control paints into, show/hide/activation, modal loops with close queries,
// and the form events the game handles.

#include <memory>

#include "platform/core/Control.h"
#include "platform/core/WindowFrame.h"

namespace vdmq {

enum TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
using TBorderIcons = unsigned;
constexpr TBorderIcons biSystemMenu = 1, biMinimize = 2, biMaximize = 4, biHelp = 8;
enum TPosition { poDesigned, poScreenCenter };
enum TWindowState { wsNormal, wsMinimized, wsMaximized };
enum TCloseAction { caNone, caHide, caFree, caMinimize };

using TCloseQueryEvent = std::function<void(TComponent* sender, bool& canClose)>;
using TCloseEvent = std::function<void(TComponent* sender, TCloseAction& action)>;
using TShortCutEvent = std::function<void(unsigned key, TShiftState shift, bool& handled)>;

// The frame metrics of a window style: border widths and the caption band (classic look).
struct TFrameMetrics {
  int FrameX = 0, FrameY = 0;  // border thickness
  int Caption = 0;             // caption band height including its separating line
  int ClientLeft() const { return FrameX; }
  int ClientTop() const { return FrameY + Caption; }
  int ExtraWidth() const { return 2 * FrameX; }
  int ExtraHeight() const { return 2 * FrameY + Caption; }
};
// Classic metrics: sizeable frame 4, fixed frame 3, caption 19 (tool windows 16).
TFrameMetrics FrameMetricsFor(TFormBorderStyle style);

class TForm : public TControl {
 public:
  explicit TForm(TComponent* owner);
  ~TForm() override;
  const char* ClassName() const override { return "TForm"; }

  // Runs Loaded() of the owned components and OnCreate; the application calls it once the
  // form's global pointer is stored.
  virtual void AfterConstruction();

  // --- non-client area ---
  TFormBorderStyle BorderStyle() const { return borderStyle_; }
  virtual void SetBorderStyle(TFormBorderStyle s);
  TBorderIcons BorderIcons() const { return borderIcons_; }
  virtual void SetBorderIcons(TBorderIcons icons);
  TFrameMetrics Metrics() const;
  int ClientWidth() const override;
  int ClientHeight() const override;
  void SetClientSize(int w, int h) override;
  TPoint ClientOrigin() const override;
  void SetCaption(const std::string& text) override;
  // Rectangles in window coordinates (relative to the window's top-left corner).
  TRect WindowClientRect() const;
  TRect CaptionRect() const;
  // The caption-button rectangles of the plain frame (empty when the button is absent).
  TRect CaptionButtonRect(int hitCode) const;
  // A canvas over the whole window store, non-client area included.
  TCanvas& WindowCanvas();
  const TPixmap& Store() const { return store_; }

  // --- state ---
  TPosition Position = poDesigned;
  bool KeyPreview = false;
  TBitmap Icon;
  TWindowState WindowState() const { return windowState_; }
  void SetWindowState(TWindowState s);
  int ModalResult = mrNone;
  bool IsModal() const { return modalDepth_ > 0; }
  bool Active() const;
  TControl* ActiveControl = nullptr;
  void SetVisible(bool v) override;
  void SetEnabled(bool v) override;
  void SetBounds(int left, int top, int width, int height) override;

  int ShowModal();
  void Close();
  bool CloseQuery();
  void SetFocus();
  // Frees the form once the current message is done.
  void Release();

  void Dispatch(TMessage& m) override;

  // --- events ---
  TNotifyEvent OnCreate, OnDestroy, OnShow, OnHide, OnActivate, OnDeactivate, OnPaint;
  TCloseQueryEvent OnCloseQuery;
  TCloseEvent OnClose;
  TShortCutEvent OnShortCut;

  // --- used by the layer ---
  void InvalidateStore(const TRect& windowRect);
  void InvalidateFrame();
  bool NeedsPaint() const { return !dirty_.IsEmpty() || frameDirty_; }
  // Paints the dirty parts of the store (frame through WM_NCPAINT, client through the controls).
  void PaintStore();
  void MarkComposite();
  TRect RestoreBounds() const { return restoreBounds_; }
  // The state the OS window of a main form that fills it reports: taken as it is, the size comes
  // with the window's.
  void FollowWindowState(TWindowState s);
  // Where the OS window that this form fills moves itself (the caption outside its buttons and
  // icon, while not maximised) and sizes itself (the sizing border, in the normal state).
  virtual TWindowFrameMap WindowFrameMap();

 protected:
  void Paint(TCanvas& canvas) override;
  void Resize() override;
  virtual void DoShow();
  virtual void DoHide();
  void DoResize();
  // The plain classic frame of non-kit forms.
  void PaintDefaultFrame(TCanvas& c);
  int DefaultHitTest(TPoint screen) const;

 private:
  void ResizeStore();
  void DefaultSysCommand(TMessage& m);

  TFormBorderStyle borderStyle_ = bsSizeable;
  TBorderIcons borderIcons_ = biSystemMenu | biMinimize | biMaximize;
  TWindowState windowState_ = wsNormal;
  TRect restoreBounds_;
  TPixmap store_;
  TRegion dirty_;  // window coordinates
  bool frameDirty_ = true;
  TCanvas windowCanvas_;
  int modalDepth_ = 0;
  bool shownOnce_ = false;
  bool resizedOnce_ = false;
  int pressedButton_ = 0;  // caption button held in the plain frame
  bool pressedInside_ = false;
};

}  // namespace vdmq
