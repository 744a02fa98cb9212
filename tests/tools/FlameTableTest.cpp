// The battle's engine-flame table belongs to the hull pictures: the committed rows are those the
// data generator computes from its hull models, the fixed rows hold the pictures' given points, and
// make_sample_data --flame-rows prints the rows the same whatever the number of threads.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "battle/Btship.h"
#include "tools/Generator.h"
#include "tools/HullModels.h"

namespace vdmq {
namespace {

TEST(FlameTable, TheCommittedRowsAreTheModelsOwnAndPrintedAlikeOnAnyThreads) {
  const sample::TFlameTable rows = sample::FlameRows(8);
  for (int n = 0; n < kBtFlameCgCount; ++n) {
    for (int p = 0; p < 3; ++p) {
      for (int d = 0; d < 8; ++d) {
        const auto& want = rows[static_cast<size_t>(n)][static_cast<size_t>(p)][static_cast<size_t>(d)];
        EXPECT_EQ(BtFlameTbl[n][p][d][0], want[0]) << "picture " << n << " point " << p << " heading " << d;
        EXPECT_EQ(BtFlameTbl[n][p][d][1], want[1]) << "picture " << n << " point " << p << " heading " << d;
      }
    }
  }
  const char* argv[] = {"make_sample_data", "--flame-rows", "--threads", "1"};
  testing::internal::CaptureStdout();
  EXPECT_EQ(sample::MakeSampleDataMain(4, argv), 0);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), sample::FlameRowsText(rows));
}

TEST(FlameTable, TheFixedRowsAreThePicturesGivenPoints) {
  constexpr int N = kBtNoFlame;
  struct TFixed {
    int picture, point;
    int xy[8][2];
  };
  const TFixed fixed[] = {
      {0, 0, {{-70, -15}, {-42, -33}, {0, -43}, {42, -33}, {70, -15}, {55, 13}, {0, 22}, {-55, 13}}},
      {0, 1, {{N, N}, {N, N}, {N, N}, {N, N}, {N, N}, {N, N}, {N, N}, {N, N}}},
      {0, 2, {{N, N}, {N, N}, {N, N}, {N, N}, {N, N}, {N, N}, {N, N}, {N, N}}},
      {1, 0, {{15, -6}, {5, -7}, {-7, -11}, {-5, -7}, {-15, -6}, {-15, -13}, {6, -18}, {15, -13}}},
      {1, 1, {{N, N}, {N, N}, {7, -11}, {N, N}, {N, N}, {-6, -14}, {-6, -18}, {6, -14}}},
      {1, 2, {{N, N}, {N, N}, {N, N}, {N, N}, {N, N}, {N, N}, {N, N}, {N, N}}},
      {12, 0, {{0, 15}, {0, 16}, {0, 15}, {0, 16}, {0, 15}, {0, 15}, {0, 15}, {0, 15}}},
      {12, 1, {{N, N}, {N, N}, {N, N}, {N, N}, {N, N}, {N, N}, {N, N}, {N, N}}},
      {12, 2, {{N, N}, {N, N}, {N, N}, {N, N}, {N, N}, {N, N}, {N, N}, {N, N}}},
      {14, 2, {{N, N}, {N, N}, {5, -35}, {N, N}, {N, N}, {45, 4}, {10, 17}, {-45, 4}}},
  };
  for (const TFixed& f : fixed) {
    for (int d = 0; d < 8; ++d) {
      EXPECT_EQ(BtFlameTbl[f.picture][f.point][d][0], f.xy[d][0]) << f.picture << "/" << f.point << " heading " << d;
      EXPECT_EQ(BtFlameTbl[f.picture][f.point][d][1], f.xy[d][1]) << f.picture << "/" << f.point << " heading " << d;
    }
  }
}

}  // namespace
}  // namespace vdmq
