#pragma once
// Points, sizes, rectangles (right and bottom exclusive) and rectangle-list regions used by the
// window layer for bounds, clipping and dirty areas.

#include <algorithm>
#include <vector>

namespace vdmq {

struct TPoint {
  int X = 0, Y = 0;
  friend bool operator==(const TPoint&, const TPoint&) = default;
};

struct TSize {
  int cx = 0, cy = 0;
  friend bool operator==(const TSize&, const TSize&) = default;
};

struct TRect {
  int Left = 0, Top = 0, Right = 0, Bottom = 0;
  int Width() const { return Right - Left; }
  int Height() const { return Bottom - Top; }
  bool IsEmpty() const { return Right <= Left || Bottom <= Top; }
  bool Contains(TPoint p) const { return p.X >= Left && p.X < Right && p.Y >= Top && p.Y < Bottom; }
  bool Contains(int x, int y) const { return Contains(TPoint{x, y}); }
  TRect Offset(int dx, int dy) const { return {Left + dx, Top + dy, Right + dx, Bottom + dy}; }
  TRect Inflate(int dx, int dy) const { return {Left - dx, Top - dy, Right + dx, Bottom + dy}; }
  friend bool operator==(const TRect&, const TRect&) = default;
};

inline TRect Bounds(int left, int top, int width, int height) { return {left, top, left + width, top + height}; }
// The common part of two rectangles (empty when they do not overlap).
TRect Intersect(const TRect& a, const TRect& b);
// The smallest rectangle holding both (an empty one is ignored).
TRect UnionBounds(const TRect& a, const TRect& b);

// A region made of non-overlapping rectangles; enough for clipping frames and title bars
// (rectangle minus rectangles) and for collecting dirty screen areas.
class TRegion {
 public:
  TRegion() = default;
  explicit TRegion(const TRect& r) { Add(r); }
  void Clear() { rects_.clear(); }
  bool IsEmpty() const { return rects_.empty(); }
  const std::vector<TRect>& Rects() const { return rects_; }
  // Union with a rectangle.
  void Add(const TRect& r);
  void Add(const TRegion& r) {
    for (const TRect& x : r.rects_) Add(x);
  }
  // Removes a rectangle from the region.
  void Subtract(const TRect& r);
  // Keeps only the part inside r.
  void IntersectWith(const TRect& r);
  bool Contains(TPoint p) const;
  TRect BoundsRect() const;

 private:
  std::vector<TRect> rects_;
};

}  // namespace vdmq
