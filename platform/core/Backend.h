#pragma once
// The narrow interface between the window layer and what shows it: a real window (SDL) or the
// headless back end of the tests. Everything above it (desktop, controls, text, pictures) is the
// same on both.

#include <cstdint>
#include <string_view>

#include "platform/core/Geometry.h"
#include "platform/core/Pixmap.h"
#include "platform/core/WindowFrame.h"

namespace vdmq {

struct TInputEvent {
  enum Kind {
    MouseMove,
    MouseDown,
    MouseUp,
    Wheel,
    KeyDown,
    KeyUp,
    Char,
    CloseRequest,
    ScreenResized,
    WindowState
  } kind = MouseMove;
  int x = 0, y = 0;   // screen point (mouse), new size (ScreenResized), wheel delta in x, TOsWindowState in x
  int button = 0;     // 0 left, 1 right, 2 middle
  unsigned vk = 0;    // key code (KeyDown/KeyUp) or character byte (Char)
  unsigned mods = 0;  // kModShift | kModCtrl | kModAlt
  // A press that completes a double click whose first press the window system took (it began a
  // move of the OS window, so the program never saw it).
  bool secondClick = false;
};
constexpr unsigned kModShift = 1, kModCtrl = 2, kModAlt = 4;
// The longest time and distance between the two presses of a double click.
constexpr std::uint64_t kDoubleClickMs = 500;
constexpr int kDoubleClickSlop = 4;

// The state of the OS window as the window system reports it (WindowState events).
enum TOsWindowState { owsNormal, owsMinimized, owsMaximized };

enum class TCursorShape { Arrow, HourGlass, SizeNS, SizeWE, SizeNWSE, SizeNESW, SizeAll, Hidden };

class TBackend {
 public:
  virtual ~TBackend() = default;
  virtual TSize ScreenSize() = 0;
  // Milliseconds of the layer's clock.
  virtual std::uint64_t NowMs() = 0;
  // A blocking pause: nothing is dispatched (input stays queued).
  virtual void Delay(std::uint32_t ms) = 0;
  // Waits for input up to timeoutMs (-1: until input or Wake). False when nothing came.
  virtual bool WaitInput(TInputEvent& ev, int timeoutMs) = 0;
  virtual bool PollInput(TInputEvent& ev) = 0;
  // Ends a WaitInput early (callable from other threads).
  virtual void Wake() = 0;
  virtual void Present(const TPixmap& screen, const TRegion& dirty) = 0;
  virtual void SetCursor(TCursorShape shape) = 0;
  virtual void WarpMouse(TPoint p) = 0;
  virtual void MinimizeApp() = 0;
  virtual void SetTitle(std::string_view utf8) = 0;
  // The picture the OS shows for the window (taskbar, window switcher): opaque 0x00RRGGBB pixels.
  virtual void SetIcon(const TPixmap& icon) = 0;

  // --- the OS window ---
  // True when the screen is the main form's own OS window: the window's size follows the main
  // form's and the main form follows the window's (ScreenResized and WindowState events). False for
  // a fixed screen that holds every window; the requests below then do nothing.
  virtual bool ScreenIsMainWindow() { return false; }
  // The usable area of the display the window is on (a fixed screen: the screen itself).
  virtual TRect WorkArea() {
    const TSize s = ScreenSize();
    return {0, 0, s.cx, s.cy};
  }
  // The main form is shown: the OS window opens at its size within its limits, centred on the display.
  virtual void ShowWindow(TSize, const TWindowLimits&) {}
  virtual void SetWindowLimits(const TWindowLimits&) {}
  // The main form took another size; what the window system makes of it comes back as ScreenResized.
  virtual void ResizeWindow(TSize) {}
  virtual void MaximizeWindow() {}
  virtual void RestoreWindow() {}
  // The main form's move from the keyboard (its menu's move item): the window system moves the OS
  // window as it moves its own windows from the keyboard; where it cannot, the window follows the
  // mouse until a click or Enter ends the move and Escape puts the window back.
  virtual void StartWindowMove() {}
  // Where the OS window moves and sizes itself on a press.
  virtual void SetFrameMap(const TWindowFrameMap&) {}
};

}  // namespace vdmq
