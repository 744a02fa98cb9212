#include "platform/base/StdRandom.h"

#include <cstdint>

namespace vdmq {
namespace {
uint32_t g_state = 1;
}

int StdRand() {
  g_state = g_state * 1103515245u + 12345u;
  return static_cast<int>((g_state >> 16) & 0x7FFF);
}

void StdSrand(unsigned seed) { g_state = seed; }

}  // namespace vdmq
