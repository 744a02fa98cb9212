#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdlib>
#include <random>

#include "battle/Btmath.h"

using namespace vdmq;

TEST(BtMath, SineTableKeepsItsNonRoundedEntries) {
  for (int i = 0; i < 180; ++i) {
    int rounded = static_cast<int>(std::lround(100.0 * std::sin(i * M_PI / 180.0)));
    if ((i >= 85 && i <= 89) || (i >= 91 && i <= 95)) rounded = 99;
    if (i == 167) rounded = 23;
    EXPECT_EQ(BtSinTbl[i], rounded) << "entry " << i;
  }
  EXPECT_EQ(BtSinTbl[90], 100);
}

TEST(BtMath, TangentTableKeepsItsLowEntries) {
  const int below[][2] = {{68, 247}, {69, 260}, {82, 711}, {85, 1142}, {86, 1429}, {87, 1906}, {88, 2860}, {89, 5714}};
  for (int i = 0; i < 90; ++i) {
    int expected = static_cast<int>(std::lround(100.0 * std::tan(i * M_PI / 180.0)));
    for (const auto& b : below) {
      if (b[0] == i) expected = b[1];
    }
    EXPECT_EQ(BtTanTbl[i], expected) << "entry " << i;
  }
}

TEST(BtMath, SineAndCosineOverWholeCircleAndBeyond) {
  EXPECT_EQ(BtSin(90), 100);
  EXPECT_EQ(BtSin(89), 99);
  EXPECT_EQ(BtSin(270), -100);
  EXPECT_EQ(BtSin(-90), -100);
  EXPECT_EQ(BtCos(0), 100);
  EXPECT_EQ(BtSin(167), 23);
  EXPECT_EQ(BtSin(-270), 100);
  EXPECT_EQ(BtSin(180), 0);
  EXPECT_EQ(BtSin(-180), 0);
  EXPECT_EQ(BtSin(720 + 30), 50);
  EXPECT_EQ(BtSin(-30), -50);
  EXPECT_EQ(BtCos(180), -100);
  EXPECT_EQ(BtCos(-90), 0);
  // Negative remainders read the table as the rule says: -347 reads entry 167, 13 entry 13.
  EXPECT_EQ(BtSin(-347), 23);
  EXPECT_EQ(BtSin(13), 22);
  for (int d = -800; d <= 800; ++d) {
    EXPECT_EQ(BtCos(d), BtSin(d + 90)) << d;
  }
  // The extremes of the integer range do not overflow.
  EXPECT_EQ(BtCos(INT_MAX), BtSin(static_cast<int>((int64_t{INT_MAX} + 90) % 360)));
  EXPECT_EQ(BtSin(INT_MIN), BtSin(INT_MIN % 360));
}

TEST(BtMath, AtanIndexFindsFirstEntryNotBelow) {
  EXPECT_EQ(BtAtanIndex(0, 0, 89), 0);
  EXPECT_EQ(BtAtanIndex(100, 0, 89), 45);
  EXPECT_EQ(BtAtanIndex(101, 0, 89), 46);
  EXPECT_EQ(BtAtanIndex(6000, 0, 89), 89);  // none is that large: hi
  EXPECT_EQ(BtAtanIndex(3, 0, 89), 2);
}

TEST(BtMath, AngleEdgeValues) {
  EXPECT_EQ(BtGetAngle(0, 0, 10, 0), 0);
  EXPECT_EQ(BtGetAngle(0, 0, 0, 10), 90);
  EXPECT_EQ(BtGetAngle(0, 0, -10, 0), 180);
  EXPECT_EQ(BtGetAngle(0, 0, 0, -10), 270);
  EXPECT_EQ(BtGetAngle(0, 0, 10, 10), 45);
  EXPECT_EQ(BtGetAngle(0, 0, 1000, -1), 360);
  EXPECT_EQ(BtGetAngle(5, 5, 5, 5), 90);
  EXPECT_EQ(BtGetAngle(0, 0, -10, -10), 225);
  EXPECT_EQ(BtGetAngle(0, 0, -10, 10), 135);
  EXPECT_EQ(BtGetAngle(0, 0, 10, -10), 315);
  // Far-apart points do not overflow.
  EXPECT_EQ(BtGetAngle(INT_MIN, 0, INT_MAX, 0), 0);
  EXPECT_EQ(BtGetAngle(0, INT_MIN, 1, INT_MAX), 89);
}

TEST(BtMath, AngleAndStepTablesFollowTheRules) {
  // The angle as its rule reads, through BtAtanIndex: for points near each other, for ratios just
  // around every tangent entry, and for points anywhere in the integer range.
  std::mt19937 rng(5);
  for (int round = 0; round < 300000; ++round) {
    int x0, y0, x1, y1;
    if (round % 3 == 0) {
      x0 = static_cast<int32_t>(rng());
      y0 = static_cast<int32_t>(rng());
      x1 = static_cast<int32_t>(rng());
      y1 = static_cast<int32_t>(rng());
    } else {
      x0 = static_cast<int>(rng() % 6400);
      y0 = static_cast<int>(rng() % 6400);
      const int dx = 1 + static_cast<int>(rng() % 1000);
      const int dy = round % 3 == 1 ? static_cast<int>(rng() % 6400)
                                    : BtTanTbl[rng() % 90] * dx / 100 + static_cast<int>(rng() % 3) - 1;
      x1 = rng() % 2 ? x0 + dx : x0 - dx;
      y1 = rng() % 2 ? y0 + dy : y0 - dy;
    }
    const int64_t dx = int64_t{x1} - x0, dy = int64_t{y1} - y0;
    const int64_t ax = std::llabs(dx), ay = std::llabs(dy);
    const int i = ax == 0 ? 90 : BtAtanIndex(static_cast<int>(std::min<int64_t>(ay * 100 / ax, 1000000)), 0, 89);
    const int expected = dx >= 0 ? (dy >= 0 ? i : 360 - i) : (dy >= 0 ? 180 - i : 180 + i);
    ASSERT_EQ(BtGetAngle(x0, y0, x1, y1), expected) << x0 << " " << y0 << " " << x1 << " " << y1;
  }
  for (int d = 0; d < 360; ++d) {
    EXPECT_EQ(BtSinDeg[static_cast<size_t>(d)], BtSin(d));
    EXPECT_EQ(BtCosDeg[static_cast<size_t>(d)], BtCos(d));
  }
}

TEST(BtMath, RelativeAngleWrapsIntoHalfCircle) {
  EXPECT_EQ(BtGetRelAngle(0, 0, 0, 10, 10), 45);
  EXPECT_EQ(BtGetRelAngle(350, 0, 0, 10, 10), 55);
  EXPECT_EQ(BtGetRelAngle(90, 0, 0, 0, -10), -180);  // 270 - 90 = 180 wraps to -180
  EXPECT_EQ(BtGetRelAngle(0, 0, 0, 1000, -1), 0);    // 360 behaves like 0
  EXPECT_EQ(BtGetRelAngle(0, 0, 0, -10, -10), -135);
}

TEST(BtMath, CirclesAndDistancesIn64Bits) {
  EXPECT_TRUE(BtChkCircle(0, 0, 80, 32, 0, 112));  // just touch
  EXPECT_FALSE(BtChkCircle(0, 0, 80, 32, 0, 113));
  EXPECT_TRUE(BtChkCircle(0, 0, 3, 2, 3, 4));  // 5 apart, radii sum 5
  EXPECT_EQ(BtSquare(3, -4), 49);
  EXPECT_EQ(BtGetDist2(0, 0, 3, 4), 25);
  // A missile far outside the arena: in 32 bits the squares would wrap and report a hit.
  EXPECT_FALSE(BtChkCircle(3200, 3200, 80, 32, 3200, 3200 + 65536));
  EXPECT_FALSE(BtChkCircle(0, 0, 80, 32, INT_MAX, INT_MIN));
  EXPECT_EQ(BtGetDist2(INT_MIN, 0, INT_MAX, 0), int64_t{INT32_MAX} * INT32_MAX);
}
