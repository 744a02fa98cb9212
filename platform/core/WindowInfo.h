#pragma once
// The window queries that self-framed windows make while they lay out and paint their non-client
// area: the classic system metrics (frame widths, scroll-bar sizes, screen size), a window's style
// bits (sizing frame, scroll bars, minimised, maximised), the screen's colour depth and the
// foreground window. All answers come from the layer's own desktop, so they agree with the frames
// and hit tests the layer draws and handles itself.

#include <cstdint>

#include "platform/core/Form.h"

namespace vdmq {

// System metric indexes.
constexpr int SM_CXSCREEN = 0, SM_CYSCREEN = 1, SM_CXVSCROLL = 2, SM_CYHSCROLL = 3, SM_CYCAPTION = 4, SM_CXBORDER = 5,
              SM_CYBORDER = 6, SM_CXDLGFRAME = 7, SM_CYDLGFRAME = 8, SM_CXSIZE = 30, SM_CYSIZE = 31, SM_CXFRAME = 32,
              SM_CYFRAME = 33;
// The classic metric of that index (0 for an index the layer does not know).
int GetSystemMetrics(int index);

// Window style bits.
constexpr std::uint32_t WS_MAXIMIZEBOX = 0x00010000u, WS_MINIMIZEBOX = 0x00020000u, WS_THICKFRAME = 0x00040000u,
                        WS_SYSMENU = 0x00080000u, WS_HSCROLL = 0x00100000u, WS_VSCROLL = 0x00200000u,
                        WS_DLGFRAME = 0x00400000u, WS_BORDER = 0x00800000u, WS_CAPTION = 0x00C00000u,
                        WS_MAXIMIZE = 0x01000000u, WS_DISABLED = 0x08000000u, WS_VISIBLE = 0x10000000u,
                        WS_MINIMIZE = 0x20000000u, WS_POPUP = 0x80000000u;
// The style bits of a form from its border style, border icons, state and visibility. Layer
// windows have no scroll bars.
std::uint32_t WindowStyle(const TForm& form);
bool IsIconic(const TForm& form);
bool IsZoomed(const TForm& form);

// Bits per pixel of the screen (the desktop composes 32-bit pixels: never a palette device).
int ScreenBitsPerPixel();

// The window that takes the keyboard (the active form), or nullptr when none is active.
TForm* GetForegroundWindow();
// Brings a visible, enabled form forward and activates it; false when it cannot take the activation.
bool SetForegroundWindow(TForm* form);

}  // namespace vdmq
