#pragma once
// Integer trigonometry of the battle: sines and tangents of whole degrees scaled by 100, taken
// from two fixed tables (a few entries differ from rounding and are part of the battle's
// behaviour), directions between points by a binary search in the tangent table, and squared
// distances. Squares and sums are 64-bit so that points far outside the arena never wrap
// around into a phantom hit.

#include <array>
#include <cstdint>

namespace vdmq {

// 100 * sin(i degrees), i = 0..179.
extern const int BtSinTbl[180];
// 100 * tan(i degrees), i = 0..89.
extern const int BtTanTbl[90];

// Sine of whole degrees times 100, for any integer.
int BtSin(int deg);
// Cosine of whole degrees times 100: BtSin(deg + 90).
int BtCos(int deg);
// BtSin(d) and BtCos(d) for d = 0..359, looked up.
extern const std::array<int, 360> BtSinDeg;
extern const std::array<int, 360> BtCosDeg;
// First index i in lo..hi whose tangent entry is >= v, hi when there is none.
int BtAtanIndex(int v, int lo, int hi);
// Direction from point 0 to point 1 in whole degrees, 0..360 (a direction just below the
// +x axis gives 360; identical points give 90).
int BtGetAngle(int x0, int y0, int x1, int y1);
// Where point 1 lies relative to a heading (whole degrees) seen from point 0: -180..179.
int BtGetRelAngle(int heading, int x0, int y0, int x1, int y1);
// (b - a)^2. Differences beyond 2^31 - 1 (points on opposite ends of the integer range) saturate
// there, so that a square stays below 2^62 and the sum of two below 2^63.
inline int64_t BtSquare(int a, int b) {
  constexpr int64_t kMaxDiff = INT32_MAX;
  int64_t d = static_cast<int64_t>(b) - a;
  if (d > kMaxDiff) d = kMaxDiff;
  if (d < -kMaxDiff) d = -kMaxDiff;
  return d * d;
}
// True when the circle (x0, y0, r0) and the circle (x1, y1, r1) touch or overlap.
// The argument order (r1 before y1 and x1) is the one every caller uses.
inline bool BtChkCircle(int x0, int y0, int r0, int r1, int y1, int x1) {
  const int64_t r = static_cast<int64_t>(r0) + r1;
  return BtSquare(x0, x1) + BtSquare(y0, y1) <= r * r;
}
// Squared distance between two points.
inline int64_t BtGetDist2(int x0, int y0, int x1, int y1) { return BtSquare(x0, x1) + BtSquare(y0, y1); }

// A 64-bit intermediate brought back into the 32-bit range (saturating), for values built from
// catalogue numbers that a damaged data file may set to anything.
inline int32_t BtClamp32(int64_t v) {
  return v > INT32_MAX ? INT32_MAX : v < INT32_MIN ? INT32_MIN : static_cast<int32_t>(v);
}

}  // namespace vdmq
