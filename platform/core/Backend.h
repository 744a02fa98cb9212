#pragma once
// The narrow interface between the window layer and what shows it: a real window (SDL) or the
// headless back end of the tests. Everything above it (desktop, controls, text, pictures) is the
// same on both.

#include <cstdint>
#include <string_view>

#include "platform/core/Geometry.h"
#include "platform/core/Pixmap.h"

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
    ScreenResized
  } kind = MouseMove;
  int x = 0, y = 0;   // screen point (mouse), new size (ScreenResized), wheel delta in x
  int button = 0;     // 0 left, 1 right, 2 middle
  unsigned vk = 0;    // key code (KeyDown/KeyUp) or character byte (Char)
  unsigned mods = 0;  // kModShift | kModCtrl | kModAlt
};
constexpr unsigned kModShift = 1, kModCtrl = 2, kModAlt = 4;

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
};

}  // namespace vdmq
