#pragma once
// Colour values of the window layer. A TColor keeps red in the low byte (0x00BBGGRR); system
// colours are marked by the high bit and resolve through the classic colour scheme.

#include <cstdint>

namespace vdmq {

using TColor = std::uint32_t;

constexpr TColor RGB(int r, int g, int b) {
  return static_cast<TColor>((r & 255) | ((g & 255) << 8) | ((b & 255) << 16));
}
constexpr int GetRValue(TColor c) { return c & 255; }
constexpr int GetGValue(TColor c) { return (c >> 8) & 255; }
constexpr int GetBValue(TColor c) { return (c >> 16) & 255; }

// A colour that skips the drawing pass it is given to.
constexpr TColor clNone = 0x1FFFFFFF;

constexpr TColor clBlack = RGB(0, 0, 0);
constexpr TColor clMaroon = RGB(128, 0, 0);
constexpr TColor clGreen = RGB(0, 128, 0);
constexpr TColor clOlive = RGB(128, 128, 0);
constexpr TColor clNavy = RGB(0, 0, 128);
constexpr TColor clPurple = RGB(128, 0, 128);
constexpr TColor clTeal = RGB(0, 128, 128);
constexpr TColor clGray = RGB(128, 128, 128);
constexpr TColor clSilver = RGB(192, 192, 192);
constexpr TColor clRed = RGB(255, 0, 0);
constexpr TColor clLime = RGB(0, 255, 0);
constexpr TColor clYellow = RGB(255, 255, 0);
constexpr TColor clBlue = RGB(0, 0, 255);
constexpr TColor clFuchsia = RGB(255, 0, 255);
constexpr TColor clAqua = RGB(0, 255, 255);
constexpr TColor clWhite = RGB(255, 255, 255);

constexpr TColor kSystemColorFlag = 0x80000000u;
enum TSysColorIndex : std::uint32_t {
  COLOR_BACKGROUND = 1,
  COLOR_ACTIVECAPTION = 2,
  COLOR_INACTIVECAPTION = 3,
  COLOR_MENU = 4,
  COLOR_WINDOW = 5,
  COLOR_WINDOWFRAME = 6,
  COLOR_MENUTEXT = 7,
  COLOR_WINDOWTEXT = 8,
  COLOR_CAPTIONTEXT = 9,
  COLOR_HIGHLIGHT = 13,
  COLOR_HIGHLIGHTTEXT = 14,
  COLOR_BTNFACE = 15,
  COLOR_BTNSHADOW = 16,
  COLOR_GRAYTEXT = 17,
  COLOR_BTNTEXT = 18,
  COLOR_INACTIVECAPTIONTEXT = 19,
  COLOR_BTNHIGHLIGHT = 20,
  COLOR_3DDKSHADOW = 21,
  COLOR_3DLIGHT = 22,
  COLOR_COUNT = 23
};
constexpr TColor clBackground = kSystemColorFlag | COLOR_BACKGROUND;
constexpr TColor clActiveCaption = kSystemColorFlag | COLOR_ACTIVECAPTION;
constexpr TColor clInactiveCaption = kSystemColorFlag | COLOR_INACTIVECAPTION;
constexpr TColor clMenu = kSystemColorFlag | COLOR_MENU;
constexpr TColor clWindow = kSystemColorFlag | COLOR_WINDOW;
constexpr TColor clWindowFrame = kSystemColorFlag | COLOR_WINDOWFRAME;
constexpr TColor clMenuText = kSystemColorFlag | COLOR_MENUTEXT;
constexpr TColor clWindowText = kSystemColorFlag | COLOR_WINDOWTEXT;
constexpr TColor clCaptionText = kSystemColorFlag | COLOR_CAPTIONTEXT;
constexpr TColor clHighlight = kSystemColorFlag | COLOR_HIGHLIGHT;
constexpr TColor clHighlightText = kSystemColorFlag | COLOR_HIGHLIGHTTEXT;
constexpr TColor clBtnFace = kSystemColorFlag | COLOR_BTNFACE;
constexpr TColor clBtnShadow = kSystemColorFlag | COLOR_BTNSHADOW;
constexpr TColor clGrayText = kSystemColorFlag | COLOR_GRAYTEXT;
constexpr TColor clBtnText = kSystemColorFlag | COLOR_BTNTEXT;
constexpr TColor clInactiveCaptionText = kSystemColorFlag | COLOR_INACTIVECAPTIONTEXT;
constexpr TColor clBtnHighlight = kSystemColorFlag | COLOR_BTNHIGHLIGHT;
constexpr TColor cl3DDkShadow = kSystemColorFlag | COLOR_3DDKSHADOW;
constexpr TColor cl3DLight = kSystemColorFlag | COLOR_3DLIGHT;

// The plain RGB value of a colour (system colours resolved through the classic scheme;
// clNone and unknown system colours give black).
TColor ColorToRGB(TColor c);
// The 0x00RRGGBB pixel value the layer's 32-bit pixmaps store.
inline std::uint32_t ColorToPixel(TColor c) {
  TColor v = ColorToRGB(c);
  return (static_cast<std::uint32_t>(GetRValue(v)) << 16) | (static_cast<std::uint32_t>(GetGValue(v)) << 8) |
         static_cast<std::uint32_t>(GetBValue(v));
}

}  // namespace vdmq
