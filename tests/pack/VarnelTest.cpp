// Varnel: exact encoder bytes for short inputs, the chain index, round trips over varied data and
// decoding of damaged streams.

#include <gtest/gtest.h>

#include <random>

#include "qolib/pack/Qovarnel.h"
#include "support/CodecData.h"

using namespace vdmq;
using namespace vdmq::codectest;

namespace {

// Short inputs code longer than twice their size, so the limit here is generous.
Bytes Enc(const Bytes& src) {
  bool ok = false;
  Bytes out = EncodeAll<TVarnelEncode>(src, &ok, static_cast<int>(2 * src.size() + 16));
  EXPECT_TRUE(ok);
  return out;
}

Bytes Dec(const Bytes& stored, int size, bool* ok) { return DecodeAll<TVarnelDecode>(stored, size, ok); }

Bytes Concat(Bytes a, const Bytes& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

}  // namespace

TEST(VarnelEncode, ShortInputsGiveTheExactBytes) {
  // abcabc: three literals, then length 3 at distance 3 (token 0x22).
  EXPECT_EQ(Enc(Hex({'a', 'b', 'c', 'a', 'b', 'c'})), Hex({0x00, 0x00, 0x00, 0x10, 'a', 'b', 'c', 0x22}));
  // 100 equal bytes: a literal, then length 99 at distance 1 (L = 14 with the length byte).
  EXPECT_EQ(Enc(Bytes(100, 'x')), Hex({0x00, 0x00, 0x00, 0x40, 'x', 0xE0, 0x63}));
  // One byte: a zero flag word and the byte.
  EXPECT_EQ(Enc(Hex({0x5A})), Hex({0, 0, 0, 0, 0x5A}));
  // Length 14 is the longest without an extension; 15 takes the length byte.
  EXPECT_EQ(Enc(Bytes(15, 'q')), Hex({0, 0, 0, 0x40, 'q', 0xD0}));
  EXPECT_EQ(Enc(Bytes(16, 'q')), Hex({0, 0, 0, 0x40, 'q', 0xE0, 15}));
  // A match of 300 bytes: L = 15 and the 16-bit length 2C 01.
  EXPECT_EQ(Enc(Bytes(301, 'r')), Hex({0, 0, 0, 0x40, 'r', 0xF0, 0x2C, 0x01}));
  // A match of 8192 bytes is the longest; the rest follows as a second match.
  EXPECT_EQ(Enc(Bytes(1 + 8192 + 3, 's')), Hex({0, 0, 0, 0x60, 's', 0xF0, 0x00, 0x20, 0x20}));
}

TEST(VarnelEncode, ThirtyThreeLiteralsTakeTwoFlagWords) {
  Bytes src;
  for (int i = 0; i < 33; ++i) src.push_back(static_cast<unsigned char>(i * 7));
  Bytes expected = Hex({0, 0, 0, 0});
  expected.insert(expected.end(), src.begin(), src.begin() + 32);
  expected = Concat(expected, Hex({0, 0, 0, 0, src[32]}));
  EXPECT_EQ(Enc(src), expected);
  // Exactly 32 items: no flag word follows the last one.
  Bytes src32(src.begin(), src.begin() + 32);
  EXPECT_EQ(Enc(src32).size(), 36u);
}

TEST(VarnelEncode, DistancesAreCodedByTheirRange) {
  // Twelve distinct bytes, then the first five again: length 5 at distance 12 (D = 10, byte 12).
  Bytes head;
  for (int i = 0; i < 12; ++i) head.push_back(static_cast<unsigned char>(0x40 + i));
  Bytes src = Concat(head, Bytes(head.begin(), head.begin() + 5));
  Bytes expected = Hex({0, 0, 0x08, 0});  // item 13 (bit 19) is the match
  expected = Concat(expected, head);
  expected = Concat(expected, Hex({0x4A, 12}));
  EXPECT_EQ(Enc(src), expected);

  // A random block of 1535 bytes repeated: the repeat lies 1535 back, D = 15 and byte 0xFF.
  Bytes block = RandomData(1535, 77);
  Bytes far = Concat(block, Bytes(block.begin(), block.begin() + 10));
  Bytes coded = Enc(far);
  ASSERT_GE(coded.size(), 2u);
  EXPECT_EQ(coded[coded.size() - 2], 0x9F);  // length 10, distance 5 * 256 + 255
  EXPECT_EQ(coded[coded.size() - 1], 0xFF);
  bool ok = false;
  EXPECT_EQ(Dec(coded, static_cast<int>(far.size()), &ok), far);
  EXPECT_TRUE(ok);

  // One byte further back is out of the window: no match reaches 1536 bytes back.
  Bytes block2 = RandomData(1536, 78);
  Bytes beyond = Concat(block2, Bytes(block2.begin(), block2.begin() + 10));
  Bytes coded2 = Enc(beyond);
  EXPECT_GT(coded2.size(), Enc(block2).size() + 8);
  EXPECT_EQ(Dec(coded2, static_cast<int>(beyond.size()), &ok), beyond);
}

TEST(VarnelEncode, NearestOfEqualMatchesWins) {
  // "xyQ" twice then "xy": both earlier xy match two bytes; the nearer one (distance 3) is coded.
  const Bytes src = Hex({'x', 'y', 'Q', 'x', 'y', 'R', 'x', 'y'});
  // Items: x y Q [xy d3] R [xy d3]: flag bits 3 and 5 of the group set.
  EXPECT_EQ(Enc(src), Hex({0x00, 0x00, 0x00, 0x14, 'x', 'y', 'Q', 0x12, 'R', 0x12}));
}

TEST(VarnelHush, ChainsHoldTheLastPositionsNewestFirst) {
  // With one head per key and with heads shared by keys, the chains answer the same.
  for (int headBits : {16, 10}) {
    SCOPED_TRACE(headBits);
    TVarnelHush hush;
    ASSERT_TRUE(hush.CreateTable(3, headBits));
    hush.AddHush(0x1234, 10);
    hush.AddHush(0x1234, 11);
    hush.AddHush(0x0001, 12);
    int top = hush.GetTop(0x1234);
    ASSERT_GE(top, 0);
    EXPECT_EQ(hush.Position(top), 11);
    ASSERT_GE(hush.GetNext(top), 0);
    EXPECT_EQ(hush.Position(hush.GetNext(top)), 10);
    // The ring recycles the oldest entry (position 10).
    hush.AddHush(0x1234, 13);
    top = hush.GetTop(0x1234);
    EXPECT_EQ(hush.Position(top), 13);
    EXPECT_EQ(hush.Position(hush.GetNext(top)), 11);
    EXPECT_EQ(hush.GetNext(hush.GetNext(top)), -1);
    hush.AddHush(0x5555, 14);  // recycles 11
    hush.AddHush(0x5555, 15);  // recycles 12, the only entry of key 1
    EXPECT_EQ(hush.GetTop(0x0001), -1);
    EXPECT_EQ(hush.Position(hush.GetTop(0x1234)), 13);
    EXPECT_EQ(hush.GetNext(hush.GetTop(0x1234)), -1);
    EXPECT_EQ(hush.Position(hush.GetNext(hush.GetTop(0x5555))), 14);
    hush.ClearTable();
    EXPECT_EQ(hush.GetTop(0x5555), -1);
  }
  // Every key among many sharing 1024 heads keeps its own chain: the newest position of each.
  TVarnelHush shared;
  ASSERT_TRUE(shared.CreateTable(1535, 10));
  for (int i = 0; i < 1535; ++i) shared.AddHush((i * 37) % 3000, i);
  for (int key = 0; key < 3000; ++key) {
    int newest = -1;
    for (int i = 0; i < 1535; ++i) {
      if ((i * 37) % 3000 == key) newest = i;
    }
    const int top = shared.GetTop(key);
    ASSERT_EQ(top < 0 ? -1 : shared.Position(top), newest) << key;
  }
}

TEST(VarnelDecode, OverlappingMatchRepeatsTheLastByte) {
  bool ok = false;
  // A literal 'z', then length 10 at distance 1.
  EXPECT_EQ(Dec(Hex({0, 0, 0, 0x40, 'z', 0x90}), 11, &ok), Bytes(11, 'z'));
  EXPECT_TRUE(ok);
  // Distance 2 repeats a pair.
  EXPECT_EQ(Dec(Hex({0, 0, 0, 0x20, 'a', 'b', 0x41}), 7, &ok), Hex({'a', 'b', 'a', 'b', 'a', 'b', 'a'}));
  EXPECT_TRUE(ok);
}

TEST(VarnelDecode, StopsAtTheDecodedSize) {
  bool ok = false;
  const Bytes coded = Hex({0, 0, 0, 0x40, 'z', 0x90});
  EXPECT_EQ(Dec(coded, 4, &ok), Bytes(4, 'z'));
  EXPECT_TRUE(ok);
  const Bytes text = TextData(100000);
  const Bytes stream = Enc(text);
  const Bytes part = Dec(stream, 50001, &ok);
  EXPECT_TRUE(ok);
  EXPECT_EQ(part, Bytes(text.begin(), text.begin() + 50001));
}

TEST(VarnelDecode, LongMatchesAreCopiedInPieces) {
  // The format allows lengths up to 65535; the encoder never writes them, the decoder copies them
  // through its buffer in pieces.
  bool ok = false;
  Bytes stream = Hex({0, 0, 0, 0x60, 'a', 0xF0, 0xFF, 0xFF, 0xF1, 0xFF, 0xFF});
  Bytes out = Dec(stream, 1 + 65535 + 65535, &ok);
  EXPECT_TRUE(ok);
  EXPECT_EQ(out, Bytes(1 + 2 * 65535, 'a'));
  // Distance 2 with a long length after two literals.
  stream = Hex({0, 0, 0, 0x20, 'a', 'b', 0xF1, 0x50, 0xC3});
  out = Dec(stream, 2 + 50000, &ok);
  EXPECT_TRUE(ok);
  ASSERT_EQ(out.size(), 50002u);
  for (size_t i = 0; i < out.size(); ++i) ASSERT_EQ(out[i], i % 2 ? 'b' : 'a') << i;
}

TEST(VarnelDecode, DamagedStreamsFail) {
  bool ok = true;
  // Distance 0 (D = 10 with a zero distance byte).
  Dec(Hex({0, 0, 0, 0x40, 'a', 0x0A, 0x00}), 3, &ok);
  EXPECT_FALSE(ok);
  // Distance 2 with one byte produced.
  Dec(Hex({0, 0, 0, 0x40, 'a', 0x01}), 3, &ok);
  EXPECT_FALSE(ok);
  // A match as the first item.
  Dec(Hex({0, 0, 0, 0x80, 0x00}), 3, &ok);
  EXPECT_FALSE(ok);
  // Stream ends inside the flag word, the token, the length extension, the distance byte.
  for (const Bytes& s : {Hex({0, 0, 0}), Hex({0, 0, 0, 0x40, 'a'}), Hex({0, 0, 0, 0x40, 'a', 0xF0, 0x10}),
                         Hex({0, 0, 0, 0x40, 'a', 0x0B})}) {
    ok = true;
    Dec(s, 1000, &ok);
    EXPECT_FALSE(ok);
  }
  // Stored bytes used up before the decoded size.
  Dec(Enc(TextData(1000)), 1001, &ok);
  EXPECT_FALSE(ok);
}

TEST(VarnelDecode, ReadsNoBytePastTheStoredSize) {
  const Bytes text = TextData(60000);
  const Bytes coded = Enc(text);
  Bytes padded = coded;
  padded.resize(coded.size() + 5000, 0xEE);
  TVarnelDecode dec;
  TSource in{&padded};
  TSink out;
  EXPECT_TRUE(dec.Decode(static_cast<int>(coded.size()), 60000, in.Reader(), out.Writer()));
  EXPECT_EQ(in.pos, coded.size());
  EXPECT_EQ(out.data, text);
  // Decoded size larger than the content: the run fails after exactly the stored bytes.
  TVarnelDecode dec2;
  TSource in2{&padded};
  TSink out2;
  EXPECT_FALSE(dec2.Decode(static_cast<int>(coded.size()), 60001, in2.Reader(), out2.Writer()));
  EXPECT_EQ(in2.pos, coded.size());
  EXPECT_LE(out2.data.size(), 60000u);
}

TEST(VarnelCodec, ChunkedReadsAndWrites) {
  const Bytes text = TextData(100000);
  TVarnelEncode enc;
  TSource in{&text};
  TSink out;
  ASSERT_TRUE(enc.Encode(100000, 200000, in.Reader(), out.Writer()));
  EXPECT_EQ(in.reads, (std::vector<int>{32768, 16384, 16384, 16384, 16384, 1696}));
  EXPECT_GT(out.writes.size(), 2u);
  for (int w : out.writes) EXPECT_LE(w, TVarnelEncode::kOutBufSize);
  TVarnelDecode dec;
  TSource in2{&out.data};
  TSink back;
  ASSERT_TRUE(dec.Decode(static_cast<int>(out.data.size()), 100000, in2.Reader(), back.Writer()));
  EXPECT_EQ(in2.reads.front(), 16384);
  for (int r : in2.reads) EXPECT_LE(r, 16384);
  EXPECT_EQ(back.data, text);
}

TEST(VarnelCodec, RoundTripsVariedData) {
  std::vector<Bytes> inputs = {TextData(32768),
                               TextData(32769),
                               PictureData(32768),
                               PictureData(32769),
                               RandomData(32769),
                               TextData(250000, 5),
                               PictureData(300000, 6),
                               RandomData(100000, 7),
                               Bytes(70000, 0),
                               Bytes(40000, 0xFF),
                               Concat(RandomData(20000), Bytes(20000, 3))};
  // Several MiB of mixed content.
  Bytes big;
  for (int i = 0; i < 6; ++i) {
    big = Concat(big, TextData(400000, 10 + i));
    big = Concat(big, PictureData(300000, 20 + i));
    big = Concat(big, RandomData(50000, 30 + i));
  }
  inputs.push_back(big);
  for (const Bytes& src : inputs) {
    bool ok = false;
    const Bytes coded = EncodeAll<TVarnelEncode>(src, &ok);
    ASSERT_TRUE(ok) << src.size();
    EXPECT_EQ(Dec(coded, static_cast<int>(src.size()), &ok), src) << src.size();
    EXPECT_TRUE(ok);
  }
  // Text and pictures shrink.
  EXPECT_LT(Enc(TextData(100000)).size(), 50000u);
  EXPECT_LT(Enc(PictureData(100000)).size(), 40000u);
}

TEST(VarnelDecode, RandomDamageNeverOverruns) {
  ExpectDamageNeverOverruns<TVarnelEncode, TVarnelDecode>(
      4242, {TextData(20000, 1), PictureData(30000, 2), RandomData(5000, 3)}, 300, 8);
}
