#include "campaign/Stdfunc.h"

#include "platform/base/StdRandom.h"

namespace vdmq {

int LimitFund(std::int64_t amount) {
  if (amount < 0) return 0;
  if (amount > kFundMax) return kFundMax;
  return static_cast<int>(amount);
}

int Limit(int value, int low, int high) {
  if (value < low) return low;
  if (value <= high) return value;
  return high;
}

int GetMax(int a, int b) { return b > a ? b : a; }

bool ChkRand(int percent) {
  const int p = Limit(percent, 0, 100);
  const int r = StdRand();
  return p > r % 100;
}

}  // namespace vdmq
