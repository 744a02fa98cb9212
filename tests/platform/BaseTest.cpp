#include <gtest/gtest.h>

#include <cstring>

#include "platform/base/GameError.h"
#include "platform/base/Sjis.h"
#include "platform/base/StdRandom.h"

using namespace vdmq;

TEST(Sjis, ConvertsBothWaysAndCountsBytes) {
  const std::string s = SJS("例外 function:");
  // Two full-width letters take two bytes each in code page 932.
  EXPECT_EQ(s.size(), 4u + 10u);
  EXPECT_EQ(static_cast<unsigned char>(s[0]), 0x97);  // 例 = 97 E1
  EXPECT_EQ(static_cast<unsigned char>(s[1]), 0xE1);
  EXPECT_EQ(SjisToUtf8(s), "例外 function:");
  EXPECT_TRUE(IsSjisLead(0x82));
  EXPECT_FALSE(IsSjisLead('A'));
  EXPECT_FALSE(IsSjisLead(0xB1));  // half-width katakana is one byte
  EXPECT_EQ(SjisLetterLen(s, 0), 2u);
  EXPECT_EQ(SjisLetterLen(std::string_view("\x82", 1), 0), 1u);  // cut lead byte
}

TEST(Sjis, ReplacesWhatCannotBeConverted) {
  EXPECT_EQ(Utf8ToSjis("a\xF0\x9F\x98\x80"
                       "b"),
            "a?b");  // an emoji has no CP932 form
  EXPECT_EQ(SjisToUtf8(std::string("a\x82", 2)), "a\xEF\xBF\xBD");
}

TEST(Sjis, TablesAreConvertedOnceAndAnswerNullOutside) {
  static const char* const kUtf8[] = {"第１艦隊", "", "ab"};
  const TSjisTable table(kUtf8);
  ASSERT_EQ(table.Size(), 3u);
  EXPECT_EQ(SjisToUtf8(table.At(0)), "第１艦隊");
  EXPECT_EQ(std::strlen(table.At(0)), 8u) << "four double-byte letters";
  EXPECT_STREQ(table.At(1), "");
  EXPECT_EQ(table.At(0), table.At(0)) << "the same text every time, not a new conversion";
  EXPECT_EQ(table.At(-1), nullptr);
  EXPECT_EQ(table.At(3), nullptr);
}

TEST(GameError, CarriesTheExactText) {
  try {
    ThrowFunctionError("ChkInPlanetNum");
    FAIL();
  } catch (const EGameError& e) {
    EXPECT_EQ(e.text(), SJS("例外 function:ChkInPlanetNum"));
  }
}

TEST(StdRandom, IsDeterministicAndInRange) {
  StdSrand(1);
  int first[8];
  for (int& v : first) {
    v = StdRand();
    EXPECT_GE(v, 0);
    EXPECT_LE(v, kStdRandMax);
  }
  StdSrand(1);
  for (int v : first) EXPECT_EQ(StdRand(), v);
  StdSrand(1);
  int low = 0;
  for (int i = 0; i < 10000; ++i) low += StdRand() % 100 < 50;
  EXPECT_NEAR(low, 5000, 300);  // roughly uniform
}
