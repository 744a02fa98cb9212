// The sanitizer build stops at the first report: a report that printed and let the tests pass would
// hide the fault it found.

#include <gtest/gtest.h>

#include <climits>

namespace {

#ifdef VDMQ_SANITIZED
volatile int g_big = INT_MAX;
volatile int g_sum = 0;
#endif

TEST(SanitizerBuild, AReportEndsTheProgram) {
#ifdef VDMQ_SANITIZED
  EXPECT_DEATH(g_sum = g_big + 1, "runtime error: signed integer overflow");
#else
  GTEST_SKIP() << "not a sanitizer build";
#endif
}

}  // namespace
