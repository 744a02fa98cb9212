// Every input overflows a signed integer: a fuzz run of this target must stop at the first input
// with the sanitizer's report and fail. Were reports recoverable, it would print them and pass.

#include <climits>
#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* /*data*/, std::size_t size) {
  volatile int big = INT_MAX;
  const int sum = big + 1 + static_cast<int>(size % 2);
  volatile int sink = sum;
  (void)sink;
  return 0;
}
