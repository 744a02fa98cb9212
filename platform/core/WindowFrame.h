#pragma once
// How the program's main form meets the desktop when it is an OS window of its own: the sizes the
// window may take, where a maximised window lies, and which places of its frame the window system
// handles by itself (the caption moves the window, the sizing border sizes it) while every other
// place stays the program's.

#include <vector>

#include "platform/core/Geometry.h"

namespace vdmq {

// The sizes an OS window may take; equal sizes make a window of fixed size.
struct TWindowLimits {
  TSize Min, Max;
  bool Fixed() const { return Min == Max; }
  friend bool operator==(const TWindowLimits&, const TWindowLimits&) = default;
};

// A size kept within limits (a maximum below the minimum counts as the minimum).
TSize ClampToLimits(TSize size, const TWindowLimits& limits);

// Where a maximised window of that maximum size lies in a work area: as large as the area allows,
// centred where it is smaller.
TRect MaximizedBounds(const TRect& workArea, TSize maxSize);

// The frame of a window that fills its OS window, in window coordinates.
struct TWindowFrameMap {
  TSize Size;               // the window
  TRect Caption;            // a press here moves the OS window ...
  std::vector<TRect> Keep;  // ... unless it lies in one of these (caption buttons, icon, windows above)
  int Border = 0;           // width of the sizing border; 0 when the frame does not size the window
  int Corner = 0;           // how far a corner reaches along its two edges
  friend bool operator==(const TWindowFrameMap&, const TWindowFrameMap&) = default;
};

// The hit-test code of a point: HTCAPTION where the window system moves the window, HTLEFT ...
// HTBOTTOMRIGHT where it sizes it, HTCLIENT where the program takes the press, HTNOWHERE outside.
int FrameMapHit(const TWindowFrameMap& map, TPoint p);

}  // namespace vdmq
