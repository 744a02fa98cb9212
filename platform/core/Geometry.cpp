#include "platform/core/Geometry.h"

namespace vdmq {

TRect Intersect(const TRect& a, const TRect& b) {
  TRect r{std::max(a.Left, b.Left), std::max(a.Top, b.Top), std::min(a.Right, b.Right), std::min(a.Bottom, b.Bottom)};
  if (r.IsEmpty()) return {};
  return r;
}

TRect UnionBounds(const TRect& a, const TRect& b) {
  if (a.IsEmpty()) return b;
  if (b.IsEmpty()) return a;
  return {std::min(a.Left, b.Left), std::min(a.Top, b.Top), std::max(a.Right, b.Right), std::max(a.Bottom, b.Bottom)};
}

namespace {
// Appends the parts of r that lie outside cut (at most four pieces).
void AppendDifference(const TRect& r, const TRect& cut, std::vector<TRect>& out) {
  TRect c = Intersect(r, cut);
  if (c.IsEmpty()) {
    out.push_back(r);
    return;
  }
  if (c.Top > r.Top) out.push_back({r.Left, r.Top, r.Right, c.Top});
  if (c.Bottom < r.Bottom) out.push_back({r.Left, c.Bottom, r.Right, r.Bottom});
  if (c.Left > r.Left) out.push_back({r.Left, c.Top, c.Left, c.Bottom});
  if (c.Right < r.Right) out.push_back({c.Right, c.Top, r.Right, c.Bottom});
}
}  // namespace

void TRegion::Add(const TRect& r) {
  if (r.IsEmpty()) return;
  // Keep the list free of overlaps: add only the pieces of r not yet covered.
  std::vector<TRect> pieces{r};
  for (const TRect& have : rects_) {
    std::vector<TRect> next;
    for (const TRect& p : pieces) AppendDifference(p, have, next);
    pieces.swap(next);
    if (pieces.empty()) return;
  }
  rects_.insert(rects_.end(), pieces.begin(), pieces.end());
  // Dirty lists can grow without bound under many small changes: fold them into one box.
  if (rects_.size() > 64) {
    TRect b = BoundsRect();
    rects_.assign(1, b);
  }
}

void TRegion::Subtract(const TRect& r) {
  if (r.IsEmpty()) return;
  std::vector<TRect> out;
  for (const TRect& have : rects_) AppendDifference(have, r, out);
  rects_.swap(out);
}

void TRegion::IntersectWith(const TRect& r) {
  std::vector<TRect> out;
  for (const TRect& have : rects_) {
    TRect c = Intersect(have, r);
    if (!c.IsEmpty()) out.push_back(c);
  }
  rects_.swap(out);
}

bool TRegion::Contains(TPoint p) const {
  for (const TRect& r : rects_)
    if (r.Contains(p)) return true;
  return false;
}

TRect TRegion::BoundsRect() const {
  TRect b;
  for (const TRect& r : rects_) b = UnionBounds(b, r);
  return b;
}

}  // namespace vdmq
