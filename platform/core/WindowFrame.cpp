#include "platform/core/WindowFrame.h"

#include <algorithm>

#include "platform/core/Messages.h"

namespace vdmq {

TSize ClampToLimits(TSize s, const TWindowLimits& l) {
  const int maxW = std::max(l.Min.cx, l.Max.cx), maxH = std::max(l.Min.cy, l.Max.cy);
  return {std::clamp(s.cx, l.Min.cx, maxW), std::clamp(s.cy, l.Min.cy, maxH)};
}

TRect MaximizedBounds(const TRect& work, TSize maxSize) {
  const int w = std::min(work.Width(), maxSize.cx), h = std::min(work.Height(), maxSize.cy);
  return Bounds(work.Left + (work.Width() - w) / 2, work.Top + (work.Height() - h) / 2, w, h);
}

int FrameMapHit(const TWindowFrameMap& m, TPoint p) {
  const int W = m.Size.cx, H = m.Size.cy;
  if (!TRect{0, 0, W, H}.Contains(p)) return HTNOWHERE;
  for (const TRect& k : m.Keep)
    if (k.Contains(p)) return HTCLIENT;
  const int b = m.Border;
  if (b > 0 && (p.X < b || p.X >= W - b || p.Y < b || p.Y >= H - b)) {
    const int k = std::max(b, m.Corner);
    const bool top = p.Y < k, bottom = p.Y >= H - k, left = p.X < k, right = p.X >= W - k;
    if (p.X < b) return top ? HTTOPLEFT : bottom ? HTBOTTOMLEFT : HTLEFT;
    if (p.X >= W - b) return top ? HTTOPRIGHT : bottom ? HTBOTTOMRIGHT : HTRIGHT;
    if (p.Y < b) return left ? HTTOPLEFT : right ? HTTOPRIGHT : HTTOP;
    return left ? HTBOTTOMLEFT : right ? HTBOTTOMRIGHT : HTBOTTOM;
  }
  return m.Caption.Contains(p) ? HTCAPTION : HTCLIENT;
}

}  // namespace vdmq
