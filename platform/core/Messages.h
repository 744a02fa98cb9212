#pragma once
// Window messages of the layer: the message record, the message numbers the forms and the kit
// handle, hit-test codes, system commands, key codes and message-box flags.

#include <cstdint>

#include "platform/core/Geometry.h"

namespace vdmq {

struct TMessage {
  std::uint32_t Msg = 0;
  std::uintptr_t WParam = 0;
  std::intptr_t LParam = 0;
  std::intptr_t Result = 0;
};

// A point packed into a message parameter (two signed 16-bit halves).
constexpr std::intptr_t MakeLParam(int x, int y) {
  return static_cast<std::intptr_t>((static_cast<std::uint32_t>(static_cast<std::uint16_t>(x))) |
                                    (static_cast<std::uint32_t>(static_cast<std::uint16_t>(y)) << 16));
}
constexpr int LParamX(std::intptr_t l) { return static_cast<std::int16_t>(static_cast<std::uint32_t>(l) & 0xFFFF); }
constexpr int LParamY(std::intptr_t l) {
  return static_cast<std::int16_t>((static_cast<std::uint32_t>(l) >> 16) & 0xFFFF);
}
constexpr TPoint LParamPoint(std::intptr_t l) { return {LParamX(l), LParamY(l)}; }

// Window messages.
constexpr std::uint32_t WM_MOVE = 0x0003, WM_SIZE = 0x0005, WM_ACTIVATE = 0x0006, WM_SETFOCUS = 0x0007,
                        WM_KILLFOCUS = 0x0008, WM_ENABLE = 0x000A, WM_SETTEXT = 0x000C, WM_PAINT = 0x000F,
                        WM_CLOSE = 0x0010, WM_QUIT = 0x0012, WM_ERASEBKGND = 0x0014, WM_SHOWWINDOW = 0x0018,
                        WM_ACTIVATEAPP = 0x001C, WM_SETCURSOR = 0x0020, WM_GETMINMAXINFO = 0x0024, WM_DRAWITEM = 0x002B,
                        WM_WINDOWPOSCHANGED = 0x0047, WM_CONTEXTMENU = 0x007B, WM_NCCALCSIZE = 0x0083,
                        WM_NCHITTEST = 0x0084, WM_NCPAINT = 0x0085, WM_NCACTIVATE = 0x0086, WM_NCMOUSEMOVE = 0x00A0,
                        WM_NCLBUTTONDOWN = 0x00A1, WM_NCLBUTTONUP = 0x00A2, WM_NCLBUTTONDBLCLK = 0x00A3,
                        WM_NCRBUTTONDOWN = 0x00A4, WM_NCRBUTTONUP = 0x00A5, WM_NCRBUTTONDBLCLK = 0x00A6,
                        WM_KEYDOWN = 0x0100, WM_KEYUP = 0x0101, WM_CHAR = 0x0102, WM_SYSKEYDOWN = 0x0104,
                        WM_SYSKEYUP = 0x0105, WM_COMMAND = 0x0111, WM_SYSCOMMAND = 0x0112, WM_TIMER = 0x0113,
                        WM_MOUSEMOVE = 0x0200, WM_LBUTTONDOWN = 0x0201, WM_LBUTTONUP = 0x0202,
                        WM_LBUTTONDBLCLK = 0x0203, WM_RBUTTONDOWN = 0x0204, WM_RBUTTONUP = 0x0205,
                        WM_RBUTTONDBLCLK = 0x0206, WM_MBUTTONDOWN = 0x0207, WM_MBUTTONUP = 0x0208,
                        WM_MBUTTONDBLCLK = 0x0209, WM_MOUSEWHEEL = 0x020A, WM_PALETTECHANGED = 0x0311, WM_USER = 0x0400;
// Media notification (WParam = notify value).
constexpr std::uint32_t MM_MCINOTIFY = 0x03B9;
// Layer notifications (the class library's component messages).
constexpr std::uint32_t CM_BASE = 0xB000, CM_ACTIVATE = CM_BASE + 0, CM_DEACTIVATE = CM_BASE + 1,
                        CM_MOUSEENTER = CM_BASE + 2, CM_MOUSELEAVE = CM_BASE + 3, CM_ENABLEDCHANGED = CM_BASE + 4,
                        CM_TEXTCHANGED = CM_BASE + 5, CM_FONTCHANGED = CM_BASE + 6, CM_COLORCHANGED = CM_BASE + 7,
                        CM_VISIBLECHANGED = CM_BASE + 8, CM_BUTTONPRESSED = CM_BASE + 9, CN_DRAWITEM = CM_BASE + 10,
                        CM_RELEASE = CM_BASE + 11, CM_INVOKE = CM_BASE + 12;

// WM_ACTIVATE states.
constexpr std::uintptr_t WA_INACTIVE = 0, WA_ACTIVE = 1, WA_CLICKACTIVE = 2;

// Hit-test codes.
constexpr int HTERROR = -2, HTTRANSPARENT = -1, HTNOWHERE = 0, HTCLIENT = 1, HTCAPTION = 2, HTSYSMENU = 3,
              HTMINBUTTON = 8, HTMAXBUTTON = 9, HTLEFT = 10, HTRIGHT = 11, HTTOP = 12, HTTOPLEFT = 13, HTTOPRIGHT = 14,
              HTBOTTOM = 15, HTBOTTOMLEFT = 16, HTBOTTOMRIGHT = 17, HTBORDER = 18, HTCLOSE = 20, HTHELP = 21;

// System commands.
constexpr std::uintptr_t SC_SIZE = 0xF000, SC_MOVE = 0xF010, SC_MINIMIZE = 0xF020, SC_MAXIMIZE = 0xF030,
                         SC_CLOSE = 0xF060, SC_KEYMENU = 0xF100, SC_RESTORE = 0xF120, SC_CONTEXTHELP = 0xF180;

// Mouse key flags.
// WM_MOUSEWHEEL: the delta of one notch, in the high word of WParam (positive away from the user).
constexpr int WHEEL_DELTA = 120;
constexpr std::uintptr_t MK_LBUTTON = 0x1, MK_RBUTTON = 0x2, MK_SHIFT = 0x4, MK_CONTROL = 0x8, MK_MBUTTON = 0x10;

// Virtual key codes used by the game and the layer.
constexpr unsigned VK_BACK = 0x08, VK_TAB = 0x09, VK_RETURN = 0x0D, VK_SHIFT = 0x10, VK_CONTROL = 0x11, VK_MENU = 0x12,
                   VK_ESCAPE = 0x1B, VK_SPACE = 0x20, VK_PRIOR = 0x21, VK_NEXT = 0x22, VK_END = 0x23, VK_HOME = 0x24,
                   VK_LEFT = 0x25, VK_UP = 0x26, VK_RIGHT = 0x27, VK_DOWN = 0x28, VK_DELETE = 0x2E, VK_F1 = 0x70,
                   VK_F4 = 0x73;

// Message-box flags and answers.
constexpr unsigned MB_OK = 0x0, MB_OKCANCEL = 0x1, MB_YESNO = 0x4, MB_ICONSTOP = 0x10, MB_ICONQUESTION = 0x20,
                   MB_ICONEXCLAMATION = 0x30, MB_ICONINFORMATION = 0x40;
constexpr int IDOK = 1, IDCANCEL = 2, IDYES = 6, IDNO = 7;

// Modal results.
constexpr int mrNone = 0, mrOk = 1, mrCancel = 2, mrYes = 6, mrNo = 7;

// Owner-draw states.
constexpr unsigned ODS_SELECTED = 0x1, ODS_DISABLED = 0x4, ODS_FOCUS = 0x10;

// Minimum/maximum sizes a window asks for before it is sized or maximised.
struct TMinMaxInfo {
  TPoint ptReserved, ptMaxSize, ptMaxPosition, ptMinTrackSize, ptMaxTrackSize;
};

}  // namespace vdmq
