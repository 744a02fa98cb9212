// The frame shared by the four coders: empty runs, busy objects, failing and throwing callbacks,
// progress reports and the output limit.

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>

#include "qolib/pack/Qococotte.h"
#include "qolib/pack/Qovarnel.h"
#include "support/CodecData.h"

using namespace vdmq;
using namespace vdmq::codectest;

namespace {

template <class T>
class CodecFrame : public ::testing::Test {};

struct VarnelPair {
  using Enc = TVarnelEncode;
  using Dec = TVarnelDecode;
  static constexpr int kShortest = 4;  // 4 + n bytes for n literals
};
struct CocottePair {
  using Enc = TCocotteEncode;
  using Dec = TCocotteDecode;
  static constexpr int kShortest = 6;  // 6 + n bytes for a raw block
};
using Pairs = ::testing::Types<VarnelPair, CocottePair>;
TYPED_TEST_SUITE(CodecFrame, Pairs);

}  // namespace

TYPED_TEST(CodecFrame, EmptyRunsSucceedWithoutTouchingACallback) {
  int calls = 0;
  auto read = [&](unsigned char*, int) {
    ++calls;
    return true;
  };
  auto write = [&](unsigned char*, int) {
    ++calls;
    return true;
  };
  auto progress = [&](int) { ++calls; };
  typename TypeParam::Enc enc;
  typename TypeParam::Dec dec;
  EXPECT_TRUE(enc.Encode(0, 0, read, write, progress));
  EXPECT_TRUE(dec.Decode(0, 100, read, write, progress));
  EXPECT_EQ(calls, 0);
  EXPECT_EQ(enc.Written(), 0);
}

TYPED_TEST(CodecFrame, NegativeSizesFail) {
  const Bytes src = TextData(100);
  TSource in{&src};
  TSink out;
  typename TypeParam::Enc enc;
  typename TypeParam::Dec dec;
  EXPECT_FALSE(enc.Encode(-5, 10, in.Reader(), out.Writer()));
  EXPECT_FALSE(dec.Decode(-5, 10, in.Reader(), out.Writer()));
  EXPECT_FALSE(dec.Decode(10, -1, in.Reader(), out.Writer()));
  EXPECT_TRUE(in.reads.empty());
}

TYPED_TEST(CodecFrame, FailingWriteOnFirstCallEndsTheRunAndTheObjectStaysUsable) {
  const Bytes src = TextData(5000);
  typename TypeParam::Enc enc;
  TSource in{&src};
  int writes = 0;
  EXPECT_FALSE(enc.Encode(5000, 10000, in.Reader(), [&](unsigned char*, int) {
    ++writes;
    return false;
  }));
  EXPECT_EQ(writes, 1);
  EXPECT_FALSE(enc.Busy());
  // The same object runs again from a clean state and gives the same bytes as a fresh one.
  TSource in2{&src};
  TSink out;
  EXPECT_TRUE(enc.Encode(5000, 10000, in2.Reader(), out.Writer()));
  EXPECT_EQ(out.data, EncodeAll<typename TypeParam::Enc>(src));
}

TYPED_TEST(CodecFrame, FailingOrThrowingReadEndsTheRunWithFalse) {
  const Bytes src = TextData(70000);
  const Bytes coded = EncodeAll<typename TypeParam::Enc>(src);
  ASSERT_FALSE(coded.empty());
  typename TypeParam::Enc enc;
  typename TypeParam::Dec dec;
  TSink out;
  EXPECT_FALSE(enc.Encode(
      70000, 140000, [](unsigned char*, int) { return false; }, out.Writer()));
  EXPECT_FALSE(dec.Decode(
      static_cast<int>(coded.size()), 70000, [](unsigned char*, int) { return false; }, out.Writer()));
  // A read that fails later in the run (second chunk or record).
  int reads = 0;
  TSource in{&coded};
  auto reader = in.Reader();
  EXPECT_FALSE(dec.Decode(
      static_cast<int>(coded.size()), 70000, [&](unsigned char* b, int n) { return ++reads < 2 && reader(b, n); },
      out.Writer()));
  // Exceptions of the caller's own do not leave the run either.
  EXPECT_FALSE(enc.Encode(
      70000, 140000, [](unsigned char*, int) -> bool { throw std::runtime_error("disk"); }, out.Writer()));
  EXPECT_FALSE(enc.Busy());
  EXPECT_FALSE(dec.Busy());
}

TYPED_TEST(CodecFrame, ASecondRunOnABusyObjectFailsAndLeavesTheFirstAlone) {
  const Bytes src = TextData(50000);
  typename TypeParam::Enc enc;
  TSource in{&src};
  TSink out;
  auto reader = in.Reader();
  int nested = -1;
  bool busySeen = false;
  auto read = [&](unsigned char* b, int n) {
    busySeen = enc.Busy();
    if (nested < 0) {
      TSink other;
      nested = enc.Encode(
                   10, 20, [](unsigned char*, int) { return true; }, other.Writer())
                   ? 1
                   : 0;
    }
    return reader(b, n);
  };
  EXPECT_TRUE(enc.Encode(50000, 100000, read, out.Writer()));
  EXPECT_EQ(nested, 0);
  EXPECT_TRUE(busySeen);
  EXPECT_EQ(out.data, EncodeAll<typename TypeParam::Enc>(src));
  EXPECT_EQ(enc.Written(), static_cast<int>(out.data.size()));
}

TYPED_TEST(CodecFrame, ProgressRisesToOneHundred) {
  for (size_t size : {size_t{7}, size_t{200000}}) {
    const Bytes src = TextData(size);
    std::vector<int> seen;
    typename TypeParam::Enc enc;
    TSource in{&src};
    TSink out;
    ASSERT_TRUE(enc.Encode(static_cast<int>(size), static_cast<int>(2 * size), in.Reader(), out.Writer(), [&](int p) {
      seen.push_back(p);
      EXPECT_EQ(p, CodecPercent(enc.Consumed(), enc.InTotal()));
    }));
    ASSERT_FALSE(seen.empty());
    EXPECT_EQ(seen.back(), 100);
    for (size_t i = 1; i < seen.size(); ++i) EXPECT_LE(seen[i - 1], seen[i]);
    if (size > 100000) {
      EXPECT_GT(seen.size(), 3u);
    }

    std::vector<int> decSeen;
    typename TypeParam::Dec dec;
    TSource in2{&out.data};
    TSink back;
    ASSERT_TRUE(dec.Decode(static_cast<int>(out.data.size()), static_cast<int>(size), in2.Reader(), back.Writer(),
                           [&](int p) { decSeen.push_back(p); }));
    ASSERT_FALSE(decSeen.empty());
    EXPECT_EQ(decSeen.back(), 100);
    EXPECT_EQ(back.data, src);
  }
}

TYPED_TEST(CodecFrame, OutputLimitOfTwiceTheSourceRefusesTheShortestInputs) {
  const int shortest = TypeParam::kShortest;
  for (int n = 1; n <= shortest; ++n) {
    const Bytes src = RandomData(static_cast<size_t>(n), 9);
    bool ok = false;
    const Bytes coded = EncodeAll<typename TypeParam::Enc>(src, &ok);
    if (n < shortest) {
      EXPECT_FALSE(ok) << n;
    } else {
      ASSERT_TRUE(ok);
      EXPECT_EQ(coded.size(), static_cast<size_t>(shortest + n));
      EXPECT_EQ(DecodeAll<typename TypeParam::Dec>(coded, n), src);
    }
  }
  // A limit below what random data needs fails the run.
  const Bytes noise = RandomData(40000);
  typename TypeParam::Enc enc;
  TSource in{&noise};
  TSink out;
  EXPECT_FALSE(enc.Encode(40000, 40000, in.Reader(), out.Writer()));
}

TEST(CodecPercent, SmallAndLargeTotals) {
  EXPECT_EQ(CodecPercent(5, 0), 100);
  EXPECT_EQ(CodecPercent(5, -3), 100);
  EXPECT_EQ(CodecPercent(1, 3), 33);
  EXPECT_EQ(CodecPercent(3, 3), 100);
  // Below 64 MiB the product would pass 32 bits (30e6 * 100): taken in 64 bits.
  EXPECT_EQ(CodecPercent(30000000, 60000000), 50);
  EXPECT_EQ(CodecPercent(0x4000000, 0x4000000), 100);
  // Above 64 MiB: (done / 32768) * 100 / (total / 32768).
  EXPECT_EQ(CodecPercent(50000000, 100000000), 1525 * 100 / 3051);
  EXPECT_EQ(CodecPercent(100000000, 100000000), 100);
  EXPECT_EQ(CodecPercent(2000000000, 2100000000), 61035 * 100 / 64086);
}

TEST(CodecFrameLarge, HundredMegabyteSourceReportsWholePercentages) {
  // 100 MB of a repeating pattern, streamed through the callbacks (nothing is kept).
  const int size = 100000000;
  int64_t given = 0;
  int64_t coded = 0;
  std::vector<int> seen;
  TVarnelEncode enc;
  ASSERT_TRUE(enc.Encode(
      size, 2 * size,
      [&](unsigned char* b, int n) {
        for (int i = 0; i < n; ++i) b[i] = static_cast<unsigned char>((given + i) % 7);
        given += n;
        return true;
      },
      [&](unsigned char*, int n) {
        coded += n;
        return true;
      },
      [&](int p) {
        seen.push_back(p);
        // Above 64 MiB: (consumed / 32768) * 100 / (total / 32768).
        EXPECT_EQ(p, (enc.Consumed() / 32768) * 100 / (size / 32768));
      }));
  EXPECT_EQ(given, size);
  EXPECT_EQ(coded, enc.Written());
  ASSERT_GT(seen.size(), 1000u);
  for (size_t i = 0; i < seen.size(); ++i) {
    ASSERT_GE(seen[i], 0);
    ASSERT_LE(seen[i], 100);
    if (i) {
      ASSERT_LE(seen[i - 1], seen[i]);
    }
  }
  EXPECT_EQ(seen.back(), 100);
}
