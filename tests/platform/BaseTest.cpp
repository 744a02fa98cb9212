#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "platform/base/Format.h"
#include "platform/base/GameError.h"
#include "platform/base/LittleEndian.h"
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

// Every byte value in every position, read and written through signed and unsigned byte types:
// a byte of 0x80 or more in a char buffer must not spill into the higher bytes.
TEST(LittleEndian, ReadsStoresAndAppendsInFileOrder) {
  const struct {
    std::uint32_t value;
    const char* bytes;  // four bytes, lowest first
  } cases[] = {
      {0x00000000u, "\x00\x00\x00\x00"}, {0x00000001u, "\x01\x00\x00\x00"}, {0x12345678u, "\x78\x56\x34\x12"},
      {0x000000FFu, "\xFF\x00\x00\x00"}, {0x00008000u, "\x00\x80\x00\x00"}, {0x0080FF7Fu, "\x7F\xFF\x80\x00"},
      {0x80000000u, "\x00\x00\x00\x80"}, {0xFFFFFFFFu, "\xFF\xFF\xFF\xFF"}, {0xFEDCBA98u, "\x98\xBA\xDC\xFE"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.value);
    const std::string bytes(c.bytes, 4);
    const std::vector<std::uint8_t> unsignedBytes(bytes.begin(), bytes.end());
    EXPECT_EQ(ReadLe32(bytes.data()), c.value);
    EXPECT_EQ(ReadLe32(unsignedBytes.data()), c.value);
    EXPECT_EQ(ReadLe16(bytes.data()), c.value & 0xFFFF);
    EXPECT_EQ(ReadLe16(bytes.data() + 2), c.value >> 16);

    // Appended after what is there, the 16-bit form keeping only the low half.
    std::string text = "ab";
    PutLe32(text, c.value);
    PutLe16(text, c.value);
    EXPECT_EQ(text, "ab" + bytes + bytes.substr(0, 2));
    std::vector<std::uint8_t> vec{9};
    PutLe32(vec, c.value);
    EXPECT_EQ(vec,
              (std::vector<std::uint8_t>{9, unsignedBytes[0], unsignedBytes[1], unsignedBytes[2], unsignedBytes[3]}));

    // Stored in place, the neighbours untouched.
    std::string stored(8, '\x5A');
    StoreLe32(stored.data() + 2, c.value);
    EXPECT_EQ(stored, "\x5A\x5A" + bytes + "\x5A\x5A");
    std::uint8_t half[4] = {0x5A, 0x5A, 0x5A, 0x5A};
    StoreLe16(half + 1, c.value);
    EXPECT_EQ(std::string(half, half + 4), "\x5A" + bytes.substr(0, 2) + "\x5A");
  }
}

// The text is as long as it needs to be (longer than any fixed buffer the callers once had), and
// code page 932 bytes pass through untouched.
TEST(Format, FormatsWholeTextsOfAnyLength) {
  const std::string sjis = SJS("自軍%d番艦被弾!! %dの被害");
  const std::string longPath(600, 'p');
  const struct {
    std::string got, want;
  } cases[] = {
      {Format("%4d", 7), "   7"},
      {Format("%2d", 123), "123"},
      {Format("%6d", -42), "   -42"},
      {Format(sjis.c_str(), 2, 150), SJS("自軍2番艦被弾!! 150の被害")},
      {Format("%sVDM_Q.ID%d", longPath.c_str(), 3), longPath + "VDM_Q.ID3"},
      {Format("%s", SJS("第１艦隊").c_str()), SJS("第１艦隊")},
      {Format("%s", ""), ""},
  };
  for (const auto& c : cases) EXPECT_EQ(c.got, c.want);
}
