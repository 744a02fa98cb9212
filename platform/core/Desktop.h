#pragma once
// The virtual desktop: every top-level form is a window of it. It keeps the z-order, activation,
// enabling for modal loops, mouse capture, routes input through hit testing, runs caption drags and
// size drags (clamped by WM_GETMINMAXINFO), and composites the window stores into the screen.
//
// The screen is either fixed (the headless back end: the main form is one window on it) or the main
// form's own OS window. Then the main form fills the screen at (0, 0): the window takes the form's
// size and limits when the form is shown or sized, a size or state the window system gives the
// window is given to the form, and the OS window moves and sizes itself on presses on the main
// form's caption and sizing border. The other windows are drawn inside it and centre on it.

#include <cstdint>
#include <vector>

#include "platform/core/Backend.h"
#include "platform/core/Form.h"

namespace vdmq {

class TDesktop {
 public:
  TDesktop();

  // --- windows ---
  void AddForm(TForm* f);
  void RemoveForm(TForm* f);
  const std::vector<TForm*>& ZOrder() const { return zorder_; }  // bottom to top
  void BringToFront(TForm* f);
  TForm* ActiveForm() const { return active_; }
  void Activate(TForm* f, bool byClick = false);
  // Activates the top-most visible enabled window other than except (or none).
  void ActivateNext(TForm* except);
  // Disables every other enabled visible or hidden top-level window; returns them.
  std::vector<TForm*> DisableOthers(TForm* keep);
  TForm* TopVisibleForm() const;
  TForm* FormAt(TPoint screen) const;
  // Keeps pointers valid when a control goes away.
  void ControlGone(TControl* c);

  // --- mouse ---
  TControl* Capture() const { return capture_; }
  void SetCapture(TControl* c);
  void ReleaseCapture();
  TPoint CursorPos() const { return mouse_; }
  void SetCursorPos(TPoint p);
  unsigned ButtonsDown() const { return buttons_; }
  void SetCursor(TCursorShape shape);
  TCursorShape Cursor() const { return cursor_; }
  // The popup menu window that takes input first (nullptr when none).
  TForm* PopupWindow = nullptr;

  // --- screen ---
  TSize ScreenSize() const;
  TRect ScreenRect() const {
    const TSize s = ScreenSize();
    return {0, 0, s.cx, s.cy};
  }
  // The usable area of the display: the main window's work area (a fixed screen: the screen).
  TRect WorkArea() const;
  void MarkScreen(const TRect& screenRect);
  void MarkWholeScreen();
  // Composites the changed parts of the screen and presents them.
  void Compose();
  const TPixmap& Screen() const { return screen_; }

  // --- input ---
  void HandleInput(const TInputEvent& ev);
  // Move/size tracking (WM_SYSCOMMAND): by mouse while a button is held, or keyboard-started.
  void StartMove(TForm* f, bool keyboard);
  void StartSize(TForm* f, int edgeHit, bool keyboard);
  bool Tracking() const { return track_.form != nullptr; }
  // The size a form may take (WM_GETMINMAXINFO asked on every size change).
  TMinMaxInfo MinMaxFor(TForm* f);
  TRect ClampToMinMax(TForm* f, TRect r, int edgeHit);
  // Where a form lies maximised.
  TRect MaximizedRect(TForm* f);

  // --- the OS window of the main form ---
  // True when the screen is the main form's own OS window and f is that main form.
  bool FillsScreen(const TForm* f) const;
  // The sizes the OS window may take for the main form: from WM_GETMINMAXINFO for a sizing frame,
  // else the form's own size.
  TWindowLimits WindowLimits(TForm* f);
  // Where the OS window moves and sizes itself on a press: the main form's caption and sizing
  // border, less the windows above it; nothing while a popup menu or a drag has the mouse.
  TWindowFrameMap FrameMap();
  // The main form was shown or took another size: the OS window follows.
  void MainFormShown(TForm* f);
  void MainFormSized(TForm* f);
  // The main form asks for another state: the OS window is asked, and the form follows its answer.
  void RequestWindowState(TForm* f, TWindowState s);
  // Hands changed limits and frame map to the back end; runs before every composing.
  void SyncWindow();

 private:
  void FollowWindowSize(TSize s);
  void FollowWindowState(int osState);
  void RouteMouse(const TInputEvent& ev);
  void RouteKey(const TInputEvent& ev);
  void RouteWheel(int notches);
  void SendMouse(TControl* target, std::uint32_t msg, TPoint screen, std::uintptr_t keyFlags);
  void UpdateHover(TControl* c);
  void Track(const TInputEvent& ev);
  std::uintptr_t KeyFlags() const;

  std::vector<TForm*> zorder_;
  TForm* active_ = nullptr;
  TControl* capture_ = nullptr;
  TControl* hover_ = nullptr;
  TPoint mouse_;
  unsigned buttons_ = 0;
  unsigned mods_ = 0;
  TCursorShape cursor_ = TCursorShape::Arrow;
  TPixmap screen_;
  TRegion screenDirty_;
  // Double-click detection.
  struct {
    std::uint64_t t = 0;
    TPoint p;
    int button = -1;
    TControl* target = nullptr;
    int hit = 0;
  } lastDown_;
  struct {
    TForm* form = nullptr;
    int edge = 0;  // 0 move; hit code of the edge for sizing
    bool keyboard = false;
    TPoint anchor;
    TRect start;
  } track_;
  TForm* ncPressForm_ = nullptr;
  // The OS window: shown for the main form, what it was last told, and whether the main form is
  // following a size the window reports (which is not asked back of the window).
  bool windowShown_ = false;
  bool following_ = false;
  TWindowLimits sentLimits_;
  TWindowFrameMap sentMap_;
};

TDesktop& Desktop();

}  // namespace vdmq
