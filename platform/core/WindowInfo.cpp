#include "platform/core/WindowInfo.h"

#include "platform/core/Desktop.h"

namespace vdmq {

int GetSystemMetrics(int index) {
  const TFrameMetrics sizing = FrameMetricsFor(bsSizeable), fixed = FrameMetricsFor(bsDialog);
  switch (index) {
    case SM_CXSCREEN: return Desktop().ScreenSize().cx;
    case SM_CYSCREEN: return Desktop().ScreenSize().cy;
    case SM_CXVSCROLL:
    case SM_CYHSCROLL: return 16;
    case SM_CYCAPTION: return sizing.Caption;
    case SM_CXBORDER:
    case SM_CYBORDER: return 1;
    case SM_CXDLGFRAME: return fixed.FrameX;
    case SM_CYDLGFRAME: return fixed.FrameY;
    case SM_CXSIZE:
    case SM_CYSIZE: return sizing.Caption - 1;
    case SM_CXFRAME: return sizing.FrameX;
    case SM_CYFRAME: return sizing.FrameY;
    default: return 0;
  }
}

std::uint32_t WindowStyle(const TForm& f) {
  std::uint32_t s = 0;
  switch (f.BorderStyle()) {
    case bsNone: s = WS_POPUP; break;
    case bsSingle:
    case bsToolWindow: s = WS_CAPTION; break;
    case bsSizeable:
    case bsSizeToolWin: s = WS_CAPTION | WS_THICKFRAME; break;
    case bsDialog: s = WS_CAPTION | WS_DLGFRAME; break;
  }
  const TBorderIcons icons = f.BorderIcons();
  if (f.BorderStyle() != bsNone && (icons & biSystemMenu)) {
    s |= WS_SYSMENU;
    if (f.BorderStyle() == bsSingle || f.BorderStyle() == bsSizeable) {
      if (icons & biMinimize) s |= WS_MINIMIZEBOX;
      if (icons & biMaximize) s |= WS_MAXIMIZEBOX;
    }
  }
  if (f.WindowState() == wsMinimized) s |= WS_MINIMIZE;
  if (f.WindowState() == wsMaximized) s |= WS_MAXIMIZE;
  if (f.Visible()) s |= WS_VISIBLE;
  if (!f.Enabled()) s |= WS_DISABLED;
  return s;
}

bool IsIconic(const TForm& f) { return f.WindowState() == wsMinimized; }
bool IsZoomed(const TForm& f) { return f.WindowState() == wsMaximized; }

int ScreenBitsPerPixel() { return 32; }

TForm* GetForegroundWindow() { return Desktop().ActiveForm(); }

bool SetForegroundWindow(TForm* f) {
  if (!f || !f->Visible() || !f->Enabled()) return false;
  Desktop().Activate(f);
  return Desktop().ActiveForm() == f;
}

}  // namespace vdmq
