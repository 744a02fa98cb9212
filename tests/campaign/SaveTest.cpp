#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "campaign/Save.h"
#include "platform/base/Sjis.h"
#include "support/KeyedBytes.h"

using namespace vdmq;
using vdmq::test::ErrorOf;
using vdmq::test::TKeyedBytes;
using vdmq::test::TTempStream;

namespace {

const std::string& kMissingKey() { return SJS("例外 SeekKey keyでエラー"); }
const std::string& kTypeError() { return SJS("例外 ChkDattype 読み込んだファイルとﾃﾞｰﾀ型がちがう"); }
const std::string& kCountError() { return SJS("例外 ChkDatType 読み込んだファイルとﾃﾞｰﾀ個数がちがう"); }
const std::string& kUnknownType() { return SJS("例外 GetTypeByte 未知な型"); }
const std::string& kTooLong() { return SJS("例外 GetStr 最大長を超える文字がある"); }

// Reads the "int" block `key` of `count` values through the block operations.
std::vector<std::int32_t> ReadInts(const std::string& bytes, const char* key, std::uint32_t count) {
  TTempStream s(bytes);
  TDatFile f(s.get());
  std::vector<std::int32_t> v(count, -7);
  EXPECT_TRUE(ReadWriteKey(kSaveModeLoad, &f, key, "int", count));
  if (count > 0) ReadWriteData(kSaveModeLoad, v.data(), 4, count, &f);
  EXPECT_FALSE(f.HasError());
  return v;
}

}  // namespace

TEST(KeyedFile, WritesTheExactBlockLayout) {
  TTempStream s;
  TDatFile f(s.get());
  std::int32_t month = 3;
  EXPECT_TRUE(ReadWriteKey(kSaveModeWrite, &f, "STORY_MONTH", "int", 1));
  EXPECT_TRUE(ReadWriteData(kSaveModeWrite, &month, 4, 1, &f));
  const std::string expected("STORY_MONTH\0int\0\x01\0\0\0\x03\0\0\0", 24);
  EXPECT_EQ(s.Contents(), expected);
  EXPECT_FALSE(f.HasError());
  // A reader's block head holds a key and a type name of at most 31 characters each.
  static_assert(sizeof(DatKeyBlock::Key) == 32 && sizeof(DatKeyBlock::Type) == 32);
  static_assert(sizeof(DatKeyBlock::Count) == 4);
}

TEST(KeyedFile, RoundTripsEveryTypeAndFindsBlocksInAnyOrder) {
  TTempStream s;
  TDatFile w(s.get());
  std::int32_t ints[3] = {-1, 0, 123456789};
  std::int8_t chars[4] = {-128, -1, 0, 127};
  std::uint8_t bytes[2] = {0, 255};
  ReadWriteKey(kSaveModeWrite, &w, "A_INT", "int", 3);
  ReadWriteData(kSaveModeWrite, ints, 4, 3, &w);
  ReadWriteKey(kSaveModeWrite, &w, "B_CHAR", "char", 4);
  ReadWriteData(kSaveModeWrite, chars, 1, 4, &w);
  ReadWriteKey(kSaveModeWrite, &w, "C_BYTE", "byte", 2);
  ReadWriteData(kSaveModeWrite, bytes, 1, 2, &w);
  ReadWriteKey(kSaveModeWrite, &w, "D_LONG", "long", 1);
  ReadWriteData(kSaveModeWrite, ints, 4, 1, &w);
  EXPECT_FALSE(w.HasError());

  // Read back in reverse order: every search starts from the start of the file.
  TDatFile r(s.get());
  std::int32_t l = 0;
  EXPECT_EQ(SeekKey(&r, "D_LONG", "long", 1), 1);
  ReadWriteData(kSaveModeNew, &l, 4, 1, &r);
  EXPECT_EQ(l, -1);
  std::uint8_t b2[2] = {7, 7};
  EXPECT_EQ(SeekKey(&r, "C_BYTE", "byte", 2), 2);
  ReadWriteData(kSaveModeNew, b2, 1, 2, &r);
  EXPECT_EQ(std::memcmp(b2, bytes, 2), 0);
  std::int8_t c2[4] = {};
  EXPECT_EQ(SeekKey(&r, "B_CHAR", "char", 4), 4);
  ReadWriteData(kSaveModeNew, c2, 1, 4, &r);
  EXPECT_EQ(std::memcmp(c2, chars, 4), 0);
  std::int32_t i2[3] = {};
  EXPECT_EQ(SeekKey(&r, "A_INT", "int", 3), 3);
  ReadWriteData(kSaveModeNew, i2, 4, 3, &r);
  EXPECT_EQ(std::memcmp(i2, ints, 12), 0);
  EXPECT_FALSE(r.HasError());
}

TEST(KeyedFile, SkipsOtherBlocksByTheirDeclaredSizeAndTheFirstBlockOfAKeyWins) {
  TKeyedBytes late;
  for (int i = 0; i < 20; ++i) {
    const std::string key = "OTHER_" + std::to_string(i);
    if (i % 3 == 0)
      late.Ints(key, {i, i, i});
    else if (i % 3 == 1)
      late.Bytes(key, "bool", {1, 0, 1, 0, 1});
    else
      late.Bytes(key, "char", {});
  }
  late.Ints("WANTED", {5, 6}).Ints("WANTED", {8, 9});
  TKeyedBytes first;
  first.Ints("WANTED", {5, 6}).Ints("OTHER", {1});
  EXPECT_EQ(ReadInts(late.str(), "WANTED", 2), (std::vector<std::int32_t>{5, 6}));
  EXPECT_EQ(ReadInts(first.str(), "WANTED", 2), (std::vector<std::int32_t>{5, 6}));
}

TEST(KeyedFile, ChecksTypeAndCountOfTheWantedBlock) {
  TKeyedBytes b;
  b.Ints("K", {1, 2, 3}).Ints("EMPTY", {});
  TTempStream s(b.str());
  TDatFile f(s.get());
  // Same size, other name: still a type error.
  EXPECT_EQ(ErrorOf([&] { SeekKey(&f, "K", "long", 3); }), kTypeError());
  EXPECT_EQ(ErrorOf([&] { SeekKey(&f, "K", "byte", 3); }), kTypeError());
  EXPECT_EQ(ErrorOf([&] { SeekKey(&f, "K", "int", 4); }), kCountError());
  EXPECT_EQ(ErrorOf([&] { SeekKey(&f, "K", "int", 2); }), kCountError());
  // A stored count of 0 where 0 is expected succeeds; the file stands on the next block.
  EXPECT_EQ(SeekKey(&f, "EMPTY", "int", 0), 0);
  EXPECT_TRUE(ReadWriteData(kSaveModeLoad, nullptr, 4, 0, &f));
  EXPECT_EQ(std::fgetc(s.get()), EOF);
}

TEST(KeyedFile, MissingKeysThrowAfterSkippingEverything) {
  TKeyedBytes others;
  others.Ints("A", {1}).Bytes("B", "byte", {1, 2});
  for (const std::string& bytes : {others.str(), std::string()}) {
    TTempStream s(bytes);
    TDatFile f(s.get());
    EXPECT_EQ(ErrorOf([&] { SeekKey(&f, "C", "int", 1); }), kMissingKey());
    EXPECT_TRUE(f.HasError());
  }
}

TEST(KeyedFile, AnUnknownTypeInASkippedBlockThrows) {
  TKeyedBytes b;
  b.Raw("ODD", "float", 1, std::string(4, '\0')).Ints("K", {1});
  TTempStream s(b.str());
  TDatFile f(s.get());
  EXPECT_EQ(ErrorOf([&] { SeekKey(&f, "K", "int", 1); }), kUnknownType());
}

TEST(KeyedFile, KeysOf31CharactersAreReadAndLongerOnesThrow) {
  const std::string k31(31, 'K');
  const std::string k32(32, 'K');
  TKeyedBytes ok;
  ok.Ints(k31, {42});
  EXPECT_EQ(ReadInts(ok.str(), k31.c_str(), 1), (std::vector<std::int32_t>{42}));

  TKeyedBytes bad;
  bad.Ints(k32, {1}).Ints("K", {2});
  TTempStream s(bad.str());
  TDatFile f(s.get());
  EXPECT_EQ(ErrorOf([&] { SeekKey(&f, "K", "int", 1); }), kTooLong());
  // A type name that is too long throws the same way.
  TKeyedBytes badType;
  badType.Raw("A", std::string(40, 't'), 0, "");
  TTempStream s2(badType.str());
  TDatFile f2(s2.get());
  EXPECT_EQ(ErrorOf([&] { SeekKey(&f2, "K", "int", 1); }), kTooLong());
}

TEST(KeyedFile, DamagedSizesAndCountsEndTheSearchAsAMissingKey) {
  // A declared size that points past the end of the file, including one whose byte count does
  // not fit 32 bits (0x40000001 * 4).
  for (std::uint32_t count : {100u, 0x40000001u, 0xFFFFFFFFu}) {
    TKeyedBytes b;
    b.Raw("BIG", "int", count, std::string(8, '\0')).Ints("K", {1});
    TTempStream s(b.str());
    TDatFile f(s.get());
    EXPECT_EQ(ErrorOf([&] { SeekKey(&f, "K", "int", 1); }), kMissingKey()) << count;
  }
  // A count cut short, in a skipped block and in the wanted block.
  for (const std::string& raw : {std::string("A\0int\0\x01\0", 8), std::string("K\0int\0\x01", 7)}) {
    TTempStream s(raw);
    TDatFile f(s.get());
    EXPECT_EQ(ErrorOf([&] { SeekKey(&f, "K", "int", 1); }), kMissingKey());
  }
  // A key or type name cut off by the end of the file.
  for (const std::string& raw : {std::string("KE"), std::string("K\0in", 4)}) {
    TTempStream s(raw);
    TDatFile f(s.get());
    EXPECT_EQ(ErrorOf([&] { SeekKey(&f, "K", "int", 1); }), kMissingKey());
  }
}

TEST(KeyedFile, MissingFileOrKeyAnswersMinusOneAndIsRecorded) {
  EXPECT_EQ(SeekKey(nullptr, "K", "int", 1), -1);
  TKeyedBytes b;
  b.Ints("K", {1});
  TTempStream s(b.str());
  TDatFile f(s.get());
  EXPECT_EQ(SeekKey(&f, nullptr, "int", 1), -1);
  EXPECT_FALSE(f.HasError());
  EXPECT_FALSE(ReadWriteKey(kSaveModeLoad, &f, nullptr, "int", 1));
  EXPECT_TRUE(f.HasError());
  f.ClearError();
  EXPECT_TRUE(ReadWriteKey(kSaveModeNew, &f, "K", "int", 1));
  EXPECT_FALSE(f.HasError());
  EXPECT_FALSE(ReadWriteKey(kSaveModeLoad, nullptr, "K", "int", 1));
  TDatFile closed;
  EXPECT_EQ(SeekKey(&closed, "K", "int", 1), -1);
}

TEST(KeyedFile, ShortReadsAreRecordedAndLeaveTheRestOfTheMemory) {
  TKeyedBytes b;
  b.Raw("K", "int", 3, std::string("\x01\0\0\0\x02\0", 6));  // ends inside the second value
  TTempStream s(b.str());
  TDatFile f(s.get());
  std::int32_t v[3] = {-9, -9, -9};
  ASSERT_TRUE(ReadWriteKey(kSaveModeLoad, &f, "K", "int", 3));
  EXPECT_FALSE(f.HasError());
  EXPECT_FALSE(ReadWriteData(kSaveModeLoad, v, 4, 3, &f));
  EXPECT_TRUE(f.HasError());
  EXPECT_EQ(v[0], 1);
  EXPECT_EQ(v[2], -9);
  // The error stays until it is cleared, whatever succeeds afterwards.
  EXPECT_TRUE(ReadWriteKey(kSaveModeLoad, &f, "K", "int", 3));
  EXPECT_TRUE(f.HasError());
}

TEST(KeyedFile, WriteKeyRefusesWhatNoReaderAccepts) {
  TTempStream s;
  TDatFile f(s.get());
  const std::string k31(31, 'K');
  const std::string k32(32, 'K');
  EXPECT_FALSE(WriteKey(&f, k32.c_str(), "int", 1));
  EXPECT_FALSE(WriteKey(&f, "K", std::string(32, 'i').c_str(), 1));
  EXPECT_FALSE(WriteKey(&f, "K", "float", 1));
  EXPECT_FALSE(WriteKey(&f, nullptr, "int", 1));
  EXPECT_FALSE(WriteKey(nullptr, "K", "int", 1));
  EXPECT_EQ(s.Contents(), "");  // nothing was written by the refused calls
  EXPECT_FALSE(f.HasError());
  EXPECT_FALSE(ReadWriteKey(kSaveModeWrite, &f, "K", "double", 1));
  EXPECT_TRUE(f.HasError());
  f.ClearError();
  EXPECT_TRUE(WriteKey(&f, k31.c_str(), "bool", 2));
  std::uint8_t flags[2] = {1, 0};
  ReadWriteData(kSaveModeWrite, flags, 1, 2, &f);
  TDatFile r(s.get());
  EXPECT_EQ(SeekKey(&r, k31.c_str(), "bool", 2), 2);
}

TEST(KeyedFile, GetStrAcceptsAtMostNMinusOneCharacters) {
  char buf[8];
  std::memset(buf, 'x', sizeof buf);
  {
    TTempStream s(std::string("abcdefg\0", 8));
    TDatFile f(s.get());
    EXPECT_TRUE(GetStr(buf, 8, &f));
    EXPECT_STREQ(buf, "abcdefg");
  }
  {
    TTempStream s(std::string("abcdefgh\0", 9));
    TDatFile f(s.get());
    EXPECT_EQ(ErrorOf([&] { GetStr(buf, 8, &f); }), kTooLong());
  }
  {
    TTempStream s(std::string("abc"));
    TDatFile f(s.get());
    EXPECT_FALSE(GetStr(buf, 8, &f));
    EXPECT_EQ(std::string(buf, 3), "abc");
  }
  EXPECT_FALSE(GetStr(buf, 8, nullptr));
  EXPECT_FALSE(GetStr(buf, 0, nullptr));
}

TEST(KeyedFile, TypeSizesAndChecks) {
  EXPECT_EQ(GetTypeByte("int"), 4);
  EXPECT_EQ(GetTypeByte("long"), 4);
  EXPECT_EQ(GetTypeByte("char"), 1);
  EXPECT_EQ(GetTypeByte("bool"), 1);
  EXPECT_EQ(GetTypeByte("byte"), 1);
  EXPECT_EQ(ErrorOf([] { GetTypeByte("Int"); }), kUnknownType());
  EXPECT_EQ(ErrorOf([] { GetTypeByte(nullptr); }), kUnknownType());
  EXPECT_TRUE(ChkDattype("K", "int", "int"));
  EXPECT_EQ(ErrorOf([] { ChkDattype("K", "int", "long"); }), kTypeError());
  EXPECT_TRUE(ChkDatType("K", 3, 3));
  EXPECT_EQ(ErrorOf([] { ChkDatType("K", 3, 2); }), kCountError());
}

TEST(KeyedFile, OpensAndClosesFilesByPath) {
  const std::string path = ::testing::TempDir() + "keyed_open_test.dat";
  {
    TDatFile w;
    ASSERT_TRUE(w.Open(path, "wb"));
    std::int32_t v = 77;
    ReadWriteKey(kSaveModeWrite, &w, "V", "int", 1);
    ReadWriteData(kSaveModeWrite, &v, 4, 1, &w);
    EXPECT_TRUE(w.Close());
    EXPECT_FALSE(w.IsOpen());
  }
  TDatFile r(path, "rb");
  ASSERT_TRUE(r.IsOpen());
  std::int32_t v = 0;
  EXPECT_EQ(SeekKey(&r, "V", "int", 1), 1);
  ReadWriteData(kSaveModeLoad, &v, 4, 1, &r);
  EXPECT_EQ(v, 77);
  std::remove(path.c_str());
  TDatFile missing;
  EXPECT_FALSE(missing.Open(path, "rb"));
}
