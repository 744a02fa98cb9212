#include "battle/Btmath.h"

#include <array>
#include <cstdlib>

namespace vdmq {

constexpr int BtSinTbl[180] = {
    0,  2,  3,  5,  7,  9,  10, 12, 14, 16, 17, 19, 21,  22, 24, 26, 28, 29, 31, 33, 34, 36, 37, 39, 41, 42,
    44, 45, 47, 48, 50, 52, 53, 54, 56, 57, 59, 60, 62,  63, 64, 66, 67, 68, 69, 71, 72, 73, 74, 75, 77, 78,
    79, 80, 81, 82, 83, 84, 85, 86, 87, 87, 88, 89, 90,  91, 91, 92, 93, 93, 94, 95, 95, 96, 96, 97, 97, 97,
    98, 98, 98, 99, 99, 99, 99, 99, 99, 99, 99, 99, 100, 99, 99, 99, 99, 99, 99, 99, 99, 99, 98, 98, 98, 97,
    97, 97, 96, 96, 95, 95, 94, 93, 93, 92, 91, 91, 90,  89, 88, 87, 87, 86, 85, 84, 83, 82, 81, 80, 79, 78,
    77, 75, 74, 73, 72, 71, 69, 68, 67, 66, 64, 63, 62,  60, 59, 57, 56, 54, 53, 52, 50, 48, 47, 45, 44, 42,
    41, 39, 37, 36, 34, 33, 31, 29, 28, 26, 24, 23, 21,  19, 17, 16, 14, 12, 10, 9,  7,  5,  3,  2};

constexpr int BtTanTbl[90] = {0,   2,   3,   5,   7,   9,   11,  12,  14,  16,  18,   19,   21,   23,   25,
                              27,  29,  31,  32,  34,  36,  38,  40,  42,  45,  47,   49,   51,   53,   55,
                              58,  60,  62,  65,  67,  70,  73,  75,  78,  81,  84,   87,   90,   93,   97,
                              100, 104, 107, 111, 115, 119, 123, 128, 133, 138, 143,  148,  154,  160,  166,
                              173, 180, 188, 196, 205, 214, 225, 236, 247, 260, 275,  290,  308,  327,  349,
                              373, 401, 433, 470, 514, 567, 631, 711, 814, 951, 1142, 1429, 1906, 2860, 5714};

namespace {
// The sine of a remainder r in -359..359 (the table is not symmetric everywhere: entry 167 is
// not entry 13, so negative remainders are read exactly as the rule says).
constexpr int SinOfRemainder(int r) {
  if (r >= 180) return -BtSinTbl[r % 180];
  if (r >= 0) return BtSinTbl[r];
  if (r > -180) return -BtSinTbl[-r];
  return BtSinTbl[(-r) % 180];
}

constexpr std::array<int, 360> DegreeTable(int quarter) {
  std::array<int, 360> t{};
  for (int d = 0; d < 360; ++d) t[static_cast<size_t>(d)] = SinOfRemainder((d + quarter) % 360);
  return t;
}

// The tangent table padded to 128 entries with values no ratio reaches, for a search of fixed
// steps.
constexpr std::array<int64_t, 128> PaddedTangents() {
  std::array<int64_t, 128> t{};
  for (int i = 0; i < 128; ++i) t[static_cast<size_t>(i)] = i < 90 ? BtTanTbl[i] : INT64_MAX;
  return t;
}
constexpr std::array<int64_t, 128> kTangents = PaddedTangents();

}  // namespace

constexpr std::array<int, 360> BtSinDeg = DegreeTable(0);
constexpr std::array<int, 360> BtCosDeg = DegreeTable(90);

int BtSin(int deg) { return SinOfRemainder(deg % 360); }

// BtSin(deg + 90), with the sum taken in 64 bits so that no input overflows.
int BtCos(int deg) { return SinOfRemainder(static_cast<int>((static_cast<int64_t>(deg) + 90) % 360)); }

int BtAtanIndex(int v, int lo, int hi) {
  if (lo < 0) lo = 0;
  if (hi > 89) hi = 89;
  while (lo < hi) {
    const int mid = lo + (hi - lo) / 2;
    if (v > BtTanTbl[mid]) {
      lo = mid + 1;
    } else {
      hi = mid;
    }
  }
  return hi;
}

int BtGetAngle(int x0, int y0, int x1, int y1) {
  int64_t dx = static_cast<int64_t>(x1) - x0;
  int64_t dy = static_cast<int64_t>(y1) - y0;
  int base;
  if (dx >= 0) {
    base = dy >= 0 ? 0 : 270;
  } else {
    base = dy >= 0 ? 90 : 180;
  }
  dx = std::llabs(dx);
  dy = std::llabs(dy);
  int i;
  if (dx == 0) {
    i = 90;
  } else {
    // Ratios beyond the table's last entry all mean "steeper than 89 degrees". The first entry
    // not below the ratio, as BtAtanIndex(ratio, 0, 89) finds it, by seven halving steps that
    // need no branch.
    const int64_t ratio = dy * 100 / dx;
    int at = 0;
    for (int step = 64; step > 0; step >>= 1) at += kTangents[static_cast<size_t>(at + step - 1)] < ratio ? step : 0;
    i = at < 89 ? at : 89;
  }
  switch (base) {
    case 0: return i;
    case 90: return 180 - i;
    case 180: return 180 + i;
    default: return 360 - i;
  }
}

int BtGetRelAngle(int heading, int x0, int y0, int x1, int y1) {
  int r = BtGetAngle(x0, y0, x1, y1) - heading;
  if (r >= 180) r -= 360;
  if (r < -180) r += 360;
  return r;
}

}  // namespace vdmq
