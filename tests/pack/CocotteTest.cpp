// Cocotte: the stages (block sort, move-to-front, model, range coder), exact record bytes for short
// inputs, round trips over varied data and decoding of damaged streams.

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "qolib/pack/Qococotte.h"
#include "support/CodecData.h"

using namespace vdmq;
using namespace vdmq::codectest;

namespace {

// Short inputs code longer than twice their size, so the limit here is generous.
Bytes Enc(const Bytes& src) {
  bool ok = false;
  Bytes out = EncodeAll<TCocotteEncode>(src, &ok, static_cast<int>(2 * src.size() + 16));
  EXPECT_TRUE(ok);
  return out;
}

Bytes Dec(const Bytes& stored, int size, bool* ok) { return DecodeAll<TCocotteDecode>(stored, size, ok); }

Bytes Bwt(const Bytes& src, bool reference = false) {
  TBWTEncode bwt;
  EXPECT_TRUE(bwt.CreateBuffer());
  bwt.SetReferenceSort(reference);
  Bytes out(src.size() + 2);
  EXPECT_TRUE(bwt.Encode(src.data(), out.data(), static_cast<int>(src.size())));
  return out;
}

int Primary(const Bytes& t) { return t[0] | (t[1] << 8); }

// Rotations strictly smaller than rotation 0: where rotation 0 stands when equal rotations keep
// their positions' order.
int SmallerThanFirst(const Bytes& s) {
  const size_t n = s.size();
  int count = 0;
  for (size_t r = 1; r < n; ++r) {
    for (size_t j = 0; j < n; ++j) {
      const unsigned char a = s[(r + j) % n], b = s[j];
      if (a != b) {
        count += a < b;
        break;
      }
    }
  }
  return count;
}

Bytes Record(int length, int n, const Bytes& payload) {
  Bytes r = Hex({length & 0xFF, length >> 8, n & 0xFF, n >> 8});
  r.insert(r.end(), payload.begin(), payload.end());
  return r;
}

}  // namespace

TEST(CocotteBlockSort, SortsRotations) {
  // banana: abanan anaban ananab banana nabana nanaba; rotation 0 has rank 3.
  EXPECT_EQ(Bwt(Hex({'b', 'a', 'n', 'a', 'n', 'a'})), Hex({3, 0, 'n', 'n', 'b', 'a', 'a', 'a'}));
  // Equal bytes: primary index 0 and N copies.
  EXPECT_EQ(Bwt(Bytes(5, 7)), Hex({0, 0, 7, 7, 7, 7, 7}));
  EXPECT_EQ(Bwt(Hex({9})), Hex({0, 0, 9}));
  const Bytes flat = Bwt(Bytes(32768, 0));
  EXPECT_EQ(Primary(flat), 0);
  EXPECT_TRUE(std::all_of(flat.begin() + 2, flat.end(), [](unsigned char c) { return c == 0; }));

  TBWTEncode bwt;
  Bytes out(70000);
  Bytes big(65537, 1);
  EXPECT_FALSE(bwt.Encode(big.data(), out.data(), 10));  // no buffers
  ASSERT_TRUE(bwt.CreateBuffer());
  EXPECT_FALSE(bwt.Encode(big.data(), out.data(), 65537));
  EXPECT_TRUE(bwt.Encode(big.data(), out.data(), 65536));
}

TEST(CocotteBlockSort, RankedSortMatchesTheBucketSort) {
  // The ranked path must give the bucket sort's bytes exactly, also for periodic blocks, where the
  // Shell sort decides the place of rotation 0 among its equal rotations.
  std::mt19937 rng(99);
  int moved = 0;
  for (int round = 0; round < 1500; ++round) {
    Bytes s;
    const int kind = round % 3;
    if (kind == 0) {
      s.resize(1 + rng() % 2000);
      const int alphabet = 1 + static_cast<int>(rng() % 3);
      for (auto& b : s) b = static_cast<unsigned char>(rng() % alphabet);
    } else {
      const size_t period = 2 + rng() % 30, repeats = 2 + rng() % 80;
      Bytes pattern(period);
      const int alphabet = 2 + static_cast<int>(rng() % 3);
      for (auto& b : pattern) b = static_cast<unsigned char>('a' + rng() % alphabet);
      for (size_t i = 0; i < period * repeats; ++i) s.push_back(pattern[i % period]);
    }
    const Bytes fast = Bwt(s);
    ASSERT_EQ(fast, Bwt(s, true)) << "round " << round << " size " << s.size();
    if (kind != 0 && !std::all_of(s.begin(), s.end(), [&](unsigned char c) { return c == s[0]; }) &&
        Primary(fast) != SmallerThanFirst(s))
      ++moved;
  }
  EXPECT_GT(moved, 10);  // the unstable order among equal rotations did come into play
  // Larger inputs with long runs and text.
  for (const Bytes& s : {PictureData(32768), TextData(32768), Bytes(32767, 'a')}) EXPECT_EQ(Bwt(s), Bwt(s, true));
  Bytes runs = PictureData(30000);
  runs.insert(runs.end(), 2768, 0);
  EXPECT_EQ(Bwt(runs), Bwt(runs, true));
}

TEST(CocotteBlockSort, PeriodicBlockKeepsTheBucketSortsPrimaryIndex) {
  // "aaaabaaa" three times: rotations 0, 8 and 16 are equal. The 18 rotations of the "aa" bucket
  // are Shell sorted (gaps 4, 1); the gap-4 pass moves rotation 8 ahead of rotation 0, so rotation
  // 0 takes rank 10, not 9, among the nine smaller rotations and its two equals.
  Bytes s;
  for (int i = 0; i < 3; ++i) s.insert(s.end(), {'a', 'a', 'a', 'a', 'b', 'a', 'a', 'a'});
  const Bytes t = Bwt(s);
  Bytes expected = Hex({10, 0, 'b', 'b', 'b'});
  expected.insert(expected.end(), 21, 'a');
  EXPECT_EQ(t, expected);
  EXPECT_EQ(Bwt(s, true), expected);
  EXPECT_EQ(SmallerThanFirst(s), 9);
}

TEST(CocotteBlockSort, InverseRestoresAndRefusesBadInput) {
  TBWTDecode inv;
  ASSERT_TRUE(inv.CreateBuffer());
  for (const Bytes& s :
       {Hex({'b', 'a', 'n', 'a', 'n', 'a'}), TextData(32768), PictureData(20000), RandomData(1), Bytes(300, 4)}) {
    const Bytes t = Bwt(s);
    Bytes back(s.size());
    ASSERT_TRUE(inv.Decode(t.data(), back.data(), static_cast<int>(t.size())));
    EXPECT_EQ(back, s);
  }
  // Two blocks at once, of different lengths either way round.
  const Bytes a = TextData(777, 3), b = PictureData(20000, 4);
  const Bytes ta = Bwt(a), tb = Bwt(b);
  Bytes outA(a.size()), outB(b.size());
  ASSERT_TRUE(inv.DecodePair(ta.data(), outA.data(), static_cast<int>(ta.size()), tb.data(), outB.data(),
                             static_cast<int>(tb.size())));
  EXPECT_EQ(outA, a);
  EXPECT_EQ(outB, b);
  std::fill(outA.begin(), outA.end(), 0);
  std::fill(outB.begin(), outB.end(), 0);
  ASSERT_TRUE(inv.DecodePair(tb.data(), outB.data(), static_cast<int>(tb.size()), ta.data(), outA.data(),
                             static_cast<int>(ta.size())));
  EXPECT_EQ(outA, a);
  EXPECT_EQ(outB, b);

  Bytes t = Hex({3, 0, 'n', 'n', 'b'});
  Bytes out(10);
  EXPECT_FALSE(inv.DecodePair(ta.data(), outA.data(), static_cast<int>(ta.size()), t.data(), out.data(), 5));
  EXPECT_FALSE(inv.Decode(t.data(), out.data(), 5));  // primary index 3 of 3 bytes
  EXPECT_FALSE(inv.Decode(t.data(), out.data(), 2));
  Bytes huge(65539);
  EXPECT_FALSE(inv.Decode(huge.data(), out.data(), 65539));
}

TEST(CocotteMoveToFront, RanksAndBack) {
  TMTFEncode enc;
  Bytes b = Hex({3, 0, 'n', 'n', 'b', 'a', 'a', 'a'});
  ASSERT_TRUE(enc.Encode(b.data(), static_cast<int>(b.size())));
  EXPECT_EQ(b, Hex({3, 1, 0x6E, 0, 0x63, 0x63, 0, 0}));
  TMTFDecode dec;
  ASSERT_TRUE(dec.Decode(b.data(), static_cast<int>(b.size())));
  EXPECT_EQ(b, Hex({3, 0, 'n', 'n', 'b', 'a', 'a', 'a'}));
  EXPECT_TRUE(enc.Encode(b.data(), 0));
}

TEST(CocotteModel, InitialTableAndRescaling) {
  TQSModel m;
  ASSERT_TRUE(m.Init(257, 12, false, CocotteInitialFreq, 2000));
  int f, c;
  m.GetFreq(0, f, c);
  EXPECT_EQ(f, 1400);
  EXPECT_EQ(c, 0);
  m.GetFreq(1, f, c);
  EXPECT_EQ(c, 1400);
  m.GetFreq(256, f, c);
  EXPECT_EQ(f, 2);
  EXPECT_EQ(c, 4094);
  EXPECT_EQ(m.GetSym(0), 0);
  EXPECT_EQ(m.GetSym(1399), 0);
  EXPECT_EQ(m.GetSym(1400), 1);
  EXPECT_EQ(m.GetSym(4095), 256);
  EXPECT_EQ(m.GetSym(4094), 256);
  EXPECT_EQ(m.GetSym(4093), 255);
  // 36 updates fill the first interval; the next rescale uses the gathered counts.
  for (int i = 0; i < 37; ++i) m.Update(5);
  int total = 0;
  for (int s = 0; s < 257; ++s) {
    m.GetFreq(s, f, c);
    EXPECT_EQ(c, total);
    EXPECT_GE(f, 1);
    EXPECT_EQ(m.GetSym(c), s);
    EXPECT_EQ(m.GetSym(c + f - 1), s);
    total += f;
  }
  EXPECT_EQ(total, 4096);
  m.GetFreq(256, f, c);
  EXPECT_EQ(f, 1);  // the end symbol is never updated: halved to 1
  EXPECT_EQ(c, 4096 - f);
  m.GetFreq(5, f, c);
  EXPECT_GT(f, 500);
  // Through rescales until the interval has reached its target (the decoder then reads the symbol
  // of a value from a table of all 4096): every value still names the symbol whose interval holds it.
  std::mt19937 rng(8);
  for (int round = 0; round < 3; ++round) {
    for (int i = 0; i < 3000; ++i) m.Update(static_cast<int>(rng() % 40 == 0 ? rng() % 256 : rng() % 4));
    for (int v = 0, s = 0; v < 4096; ++v) {
      m.GetFreq(s, f, c);
      if (v >= c + f) ++s;
      m.GetFreq(s, f, c);
      ASSERT_EQ(m.GetSym(v), s) << "value " << v << " round " << round;
    }
  }

  // A table that does not add up to the total is replaced by the even split.
  int wrong[257];
  std::fill(wrong, wrong + 257, 1);
  TQSModel even;
  ASSERT_TRUE(even.Init(257, 12, true, wrong, 2000));
  even.GetFreq(0, f, c);
  EXPECT_EQ(f, 16);
  even.GetFreq(240, f, c);
  EXPECT_EQ(f, 16);
  even.GetFreq(241, f, c);
  EXPECT_EQ(f, 15);
}

TEST(CocotteRangeCoder, ExactCodeAndRoundTrip) {
  // Worked by hand: symbols 0 0 66 0 0 0 0 and the end symbol from the initial model.
  TRangeEncode enc;
  ASSERT_TRUE(enc.InitModel());
  Bytes src = Hex({0, 0, 0x42, 0, 0, 0, 0});
  Bytes code(64);
  ASSERT_TRUE(enc.EncodeBlock(src.data(), code.data(), 7, 64));
  code.resize(static_cast<size_t>(enc.CodedLength()));
  EXPECT_EQ(code, Hex({0x00, 0x1A, 0x67, 0x22, 0x9C, 0x00, 0x00, 0x08}));
  TRangeDecode dec;
  ASSERT_TRUE(dec.InitModel());
  Bytes back(16);
  ASSERT_TRUE(dec.DecodeBlock(code.data(), back.data(), static_cast<int>(code.size()), 16));
  back.resize(static_cast<size_t>(dec.DecodedLength()));
  EXPECT_EQ(back, src);
  // The bound drops bytes and reports the overflow.
  TRangeEncode small;
  ASSERT_TRUE(small.InitModel());
  EXPECT_FALSE(small.EncodeBlock(src.data(), code.data(), 7, 5));
  // The end symbol's frequency is never raised by coding.
  const Bytes noise = RandomData(20000);
  Bytes big(40000);
  ASSERT_TRUE(enc.EncodeBlock(noise.data(), big.data(), 20000, 40000));
  int f, c;
  enc.Model().GetFreq(256, f, c);
  EXPECT_EQ(f, 1);
  EXPECT_EQ(c, 4095);
}

namespace {

Bytes EncodeWithLimit(const Bytes& src, int limit, bool* ok) {
  TCocotteEncode enc;
  TSource in{&src};
  TSink out;
  *ok = enc.Encode(static_cast<int>(src.size()), limit, in.Reader(), out.Writer());
  return out.data;
}

}  // namespace

TEST(CocotteEncode, ShortInputsGiveTheExactBytes) {
  bool ok = false;
  // One byte: T = 00 00 41, move-to-front 00 00 41, stored raw with L = N + 6 = 7.
  EXPECT_EQ(EncodeWithLimit(Hex({0x41}), 100, &ok), Hex({7, 0, 1, 0, 0, 0, 0x41}));
  EXPECT_TRUE(ok);
  // banana: T = 03 00 n n b a a a, move-to-front 03 01 6E 00 63 63 00 00, raw (a code is longer).
  EXPECT_EQ(Enc(Hex({'b', 'a', 'n', 'a', 'n', 'a'})),
            Hex({0x0C, 0x00, 0x06, 0x00, 0x03, 0x01, 0x6E, 0x00, 0x63, 0x63, 0x00, 0x00}));
  // Five equal bytes: the code (00 1A 67 22 9C 00 00 08) is longer than T, so T is stored.
  EXPECT_EQ(Enc(Bytes(5, 'B')), Hex({0x0B, 0x00, 0x05, 0x00, 0x00, 0x00, 0x42, 0x00, 0x00, 0x00, 0x00}));
  // Twenty equal bytes: the 22 symbols of T code to 11 bytes.
  EXPECT_EQ(Enc(Bytes(20, 'B')),
            Hex({0x0F, 0x00, 0x14, 0x00, 0x00, 0x1A, 0x67, 0x08, 0x80, 0x00, 0x2C, 0x6B, 0x00, 0x00, 0x0B}));
  // A line of text, coded.
  const std::string line = "the fleet of the planet and the fleet of the war and the dock of the fleet";
  EXPECT_EQ(Enc(Bytes(line.begin(), line.end())),
            Hex({0x32, 0x00, 0x4A, 0x00, 0x00, 0xE2, 0x5F, 0x22, 0x7D, 0x2A, 0x8D, 0xBF, 0x06, 0xDD, 0x0E, 0xD1, 0x4C,
                 0x5C, 0x51, 0xDD, 0xAF, 0x14, 0xA7, 0x6C, 0x03, 0x68, 0x90, 0x61, 0xF8, 0xAA, 0x46, 0x91, 0x87, 0xAD,
                 0x96, 0x7A, 0x61, 0x18, 0x94, 0x9E, 0xF9, 0xCF, 0x70, 0x4D, 0x0B, 0x76, 0x56, 0x00, 0x00, 0x2E}));
}

TEST(CocotteEncode, BlocksOf32768AndTheirRecords) {
  const Bytes src = TextData(32769);
  const Bytes coded = Enc(src);
  ASSERT_GT(coded.size(), 8u);
  const int first = coded[0] | (coded[1] << 8);
  EXPECT_EQ(coded[2] | (coded[3] << 8), 32768);
  ASSERT_LT(static_cast<size_t>(first) + 4, coded.size());
  // The second record holds the last byte: raw, L = 1 + 6.
  EXPECT_EQ(coded.size(), static_cast<size_t>(first) + 7);
  EXPECT_EQ(coded[first], 7);
  EXPECT_EQ(coded[first + 2] | (coded[first + 3] << 8), 1);
  bool ok = false;
  EXPECT_EQ(Dec(coded, 32769, &ok), src);
  EXPECT_TRUE(ok);
}

TEST(CocotteEncode, RawBlockResetsTheModelButKeepsTheMoveToFrontList) {
  const Bytes noise = RandomData(32768, 5);
  const Bytes text = TextData(20000, 6);
  Bytes src = noise;
  src.insert(src.end(), text.begin(), text.end());
  const Bytes coded = Enc(src);
  EXPECT_EQ(coded[0] | (coded[1] << 8), 32768 + 6);  // random data is stored raw

  // The second record, built from the stages by hand: the move-to-front list as the first block
  // left it, the range coder's model from its initial state.
  TBWTEncode bwt;
  ASSERT_TRUE(bwt.CreateBuffer());
  TMTFEncode mtf;
  Bytes t1(32770), t2(20002);
  ASSERT_TRUE(bwt.Encode(noise.data(), t1.data(), 32768));
  ASSERT_TRUE(mtf.Encode(t1.data(), 32770));
  ASSERT_TRUE(bwt.Encode(text.data(), t2.data(), 20000));
  ASSERT_TRUE(mtf.Encode(t2.data(), 20002));
  TRangeEncode range;
  ASSERT_TRUE(range.InitModel());
  Bytes code(65536);
  ASSERT_TRUE(range.EncodeBlock(t2.data(), code.data(), 20002, 65536));
  code.resize(static_cast<size_t>(range.CodedLength()));
  const Bytes expected = Record(static_cast<int>(code.size()) + 4, 20000, code);
  EXPECT_EQ(Bytes(coded.begin() + 32774, coded.end()), expected);
  bool ok = false;
  EXPECT_EQ(Dec(coded, static_cast<int>(src.size()), &ok), src);
  EXPECT_TRUE(ok);
}

TEST(CocotteCodec, RoundTripsVariedData) {
  std::vector<Bytes> inputs = {TextData(32768),   TextData(32769),     PictureData(32768),     PictureData(32769),
                               RandomData(32769), TextData(250000, 5), PictureData(300000, 6), RandomData(100000, 7),
                               Bytes(70000, 0),   Bytes(40000, 0xFF)};
  Bytes periodic;
  for (int i = 0; i < 16384; ++i) periodic.insert(periodic.end(), {1, 2, 3, 4});
  inputs.push_back(periodic);
  Bytes big;
  for (int i = 0; i < 5; ++i) {
    const Bytes a = TextData(300000, 10 + i), b = PictureData(300000, 20 + i), c = RandomData(40000, 30 + i);
    big.insert(big.end(), a.begin(), a.end());
    big.insert(big.end(), b.begin(), b.end());
    big.insert(big.end(), c.begin(), c.end());
  }
  inputs.push_back(big);
  for (const Bytes& src : inputs) {
    bool ok = false;
    const Bytes coded = EncodeAll<TCocotteEncode>(src, &ok);
    ASSERT_TRUE(ok) << src.size();
    EXPECT_EQ(Dec(coded, static_cast<int>(src.size()), &ok), src) << src.size();
    EXPECT_TRUE(ok);
  }
  EXPECT_LT(Enc(TextData(100000)).size(), 30000u);
  EXPECT_LT(Enc(PictureData(100000)).size(), 30000u);
}

TEST(CocotteDecode, StopsAtTheDecodedSize) {
  const Bytes text = TextData(70000);
  const Bytes coded = Enc(text);
  bool ok = false;
  EXPECT_EQ(Dec(coded, 40000, &ok), Bytes(text.begin(), text.begin() + 40000));
  EXPECT_TRUE(ok);
  Dec(coded, 70001, &ok);
  EXPECT_FALSE(ok);  // stored bytes used up first
}

TEST(CocotteDecode, DamagedRecordsFail) {
  bool ok = true;
  const Bytes good = Hex({7, 0, 1, 0, 0, 0, 0x41});
  EXPECT_EQ(Dec(good, 1, &ok), Hex({0x41}));
  EXPECT_TRUE(ok);
  auto fails = [&](const Bytes& stream, int size) {
    bool r = true;
    Dec(stream, size, &r);
    return !r;
  };
  EXPECT_TRUE(fails(Hex({3, 0, 1, 0, 0, 0, 0x41}), 1));        // L below 4
  EXPECT_TRUE(fails(Hex({8, 0, 1, 0, 0, 0, 0x41}), 1));        // L past the stored bytes
  EXPECT_TRUE(fails(Hex({7}), 1));                             // half a length word
  EXPECT_TRUE(fails(Hex({7, 0, 0, 0, 0, 0, 0x41}), 1));        // N = 0
  EXPECT_TRUE(fails(Record(8, 32769, Hex({0, 0, 0, 0})), 1));  // N above 32768
  EXPECT_TRUE(fails(Hex({4, 0, 1, 0}), 1));                    // empty coded payload
  EXPECT_TRUE(fails(Hex({5, 0, 1, 0, 0}), 1));                 // one byte of code
  // Primary index N: raw T = 01 00 41 after move-to-front is 01 01 41.
  EXPECT_TRUE(fails(Hex({7, 0, 1, 0, 1, 1, 0x41}), 1));
  // A coded payload whose end symbol comes before N + 2 symbols: the code of 20 'B' claimed as 21.
  Bytes early = Enc(Bytes(20, 'B'));
  early[2] = 21;
  EXPECT_TRUE(fails(early, 21));
  // The same code cut short.
  Bytes cut = Enc(Bytes(20, 'B'));
  cut.resize(cut.size() - 4);
  cut[0] = static_cast<unsigned char>(cut.size());
  EXPECT_TRUE(fails(cut, 20));
}

TEST(CocotteDecode, RandomDamageNeverOverruns) {
  ExpectDamageNeverOverruns<TCocotteEncode, TCocotteDecode>(
      777, {TextData(40000, 1), PictureData(50000, 2), RandomData(3000, 3)}, 200, 6);
}
