// The coded streams of both encoders are fixed: archives stored by earlier builds and by the game's
// tools hold them. The digests below were taken from the encoders before their inner loops were
// rewritten for speed; any change of a single output byte on this corpus fails here. The decoders
// must give every source back, and answer damaged streams as they did then: the same result and
// the same bytes handed out, whether the run succeeds or fails.

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "qolib/pack/Qococotte.h"
#include "qolib/pack/Qovarnel.h"
#include "support/CodecCorpus.h"
#include "support/CodecData.h"

using namespace vdmq;
using namespace vdmq::codectest;

namespace {

struct TPinned {
  const char* name;
  uint64_t varnel;   // FNV-1a of the Varnel stream
  uint64_t cocotte;  // FNV-1a of the Cocotte stream
};

uint64_t Fnv1a(const Bytes& b) {
  uint64_t h = 0xCBF29CE484222325ull;
  for (unsigned char c : b) h = (h ^ c) * 0x100000001B3ull;
  return h ^ b.size();
}

Bytes Prefix(const Bytes& b, size_t n) { return Bytes(b.begin(), b.begin() + static_cast<long>(n)); }

std::vector<std::pair<std::string, Bytes>> Corpus() {
  std::vector<std::pair<std::string, Bytes>> c;
  const Bytes words = TextData(100000);
  const Bytes dialogue = DialogueText(100000);
  const Bytes random = RandomData(100000);
  c.emplace_back("words", words);
  c.emplace_back("dialogue", dialogue);
  c.emplace_back("picture", SpacePicture(640, 480));
  c.emplace_back("flat picture", PictureData(100000));
  c.emplace_back("sprites", SpriteSheet());
  c.emplace_back("random", random);
  c.emplace_back("zeros", Bytes(100000, 0));
  for (size_t period : {2, 3, 7, 251, 4000}) {
    c.emplace_back("period " + std::to_string(period), PeriodicData(period, 100000));
  }
  for (size_t n : {0, 1, 2, 3, 4, 5, 6, 7}) {
    c.emplace_back("dialogue " + std::to_string(n), Prefix(dialogue, n));
    c.emplace_back("random " + std::to_string(n), Prefix(random, n));
  }
  for (size_t n : {32767, 32768, 32769}) {
    c.emplace_back("dialogue " + std::to_string(n), Prefix(dialogue, n));
    c.emplace_back("words " + std::to_string(n), Prefix(words, n));
  }
  return c;
}

const TPinned kPinned[] = {
    {"words", 0xAC51BB11796EA87Eull, 0xA0EF28A6A0D657A3ull},
    {"dialogue", 0x84721A4B71B1AC1Cull, 0xF1269F5B8E796BE9ull},
    {"picture", 0x2782AFBFB96BC68Dull, 0x3A26D2BDCBE8BFEAull},
    {"flat picture", 0x9CACA8009C98521Eull, 0x22E44CFEF1D12C11ull},
    {"sprites", 0xC69A470A7F196421ull, 0x395DB6E3E24C1F10ull},
    {"random", 0x11C7D2D3819A7F94ull, 0x8685A701D384C5D7ull},
    {"zeros", 0xAE067D107210C1C9ull, 0x69FCE522178D3DD5ull},
    {"period 2", 0xDF09053291156B1Dull, 0x47CED3316F372E88ull},
    {"period 3", 0x1C0A81F4E259A56Full, 0x9C114F087D50148Cull},
    {"period 7", 0x84496577D01C19B5ull, 0x9789575A0E0C3228ull},
    {"period 251", 0x8B4A3B427FBB2E11ull, 0x60A69A38FDC29F95ull},
    {"period 4000", 0x4DA942F985E2D734ull, 0x76085DB9AF33205Full},
    {"dialogue 0", 0xCBF29CE484222325ull, 0xCBF29CE484222325ull},
    {"random 0", 0xCBF29CE484222325ull, 0xCBF29CE484222325ull},
    {"dialogue 1", 0xE4BBD1D9252B1330ull, 0x344308A03E5C3294ull},
    {"random 1", 0xE4BBF9D9252B5728ull, 0x3442B0A03E5B9D0Cull},
    {"dialogue 2", 0xD63974FA2832C755ull, 0x5C7FC1E05DC44416ull},
    {"random 2", 0xD6C140FA28A60889ull, 0x5BCFE1E05D2F8EDAull},
    {"dialogue 3", 0x366996124E498824ull, 0xFBCCBD4A11D356ADull},
    {"random 3", 0x9069DF1312206085ull, 0x7B0A98684D0FEACFull},
    {"dialogue 4", 0xBEF3001B06F3C945ull, 0x28014CEDAB62ACB6ull},
    {"random 4", 0x84460E67CD0321BBull, 0x581737E1561F543Eull},
    {"dialogue 5", 0x6AB2FCECD03FEAB4ull, 0x601669BF9ABF404Dull},
    {"random 5", 0xC62B85615C5125B8ull, 0xF49460F9C993B610ull},
    {"dialogue 6", 0x8E0E1A65DC9B2CB6ull, 0x15D0F071E2F79AABull},
    {"random 6", 0x0D191D6FDDE2AC91ull, 0x2CBD88737BD49440ull},
    {"dialogue 7", 0xFD231915DBAC2D51ull, 0xFFE16E60EB40EB3Eull},
    {"random 7", 0x2459A016082B4B6Aull, 0x05778A54A1B8EC14ull},
    {"dialogue 32767", 0x583EFD9A7784F9C8ull, 0x949B38D601CA46DFull},
    {"words 32767", 0x15DF3091496CE862ull, 0x59309261E87F95F8ull},
    {"dialogue 32768", 0x77C0237916831E51ull, 0x6785C71ED79B5FDAull},
    {"words 32768", 0x970E39DFC3E31C90ull, 0xAFBD333F843B412Eull},
    {"dialogue 32769", 0xD4E92B3C35F0B088ull, 0xCA94C71C54D31AE8ull},
    {"words 32769", 0x15E6BBCCAEAF4BCEull, 0xB68347241E8C1F8Cull},
};

}  // namespace

TEST(CodecPins, EncodersGiveThePinnedStreamsAndDecodersTheSources) {
  const auto corpus = Corpus();
  ASSERT_EQ(corpus.size(), sizeof kPinned / sizeof kPinned[0]);
  for (size_t i = 0; i < corpus.size(); ++i) {
    const auto& [name, src] = corpus[i];
    SCOPED_TRACE(name);
    ASSERT_EQ(name, kPinned[i].name);
    // A generous limit: the shortest inputs code longer than twice their size.
    const int limit = static_cast<int>(2 * src.size() + 16);
    bool ok = false;
    const Bytes varnel = EncodeAll<TVarnelEncode>(src, &ok, limit);
    EXPECT_TRUE(ok);
    const Bytes cocotte = EncodeAll<TCocotteEncode>(src, &ok, limit);
    EXPECT_TRUE(ok);
    EXPECT_EQ(Fnv1a(varnel), kPinned[i].varnel) << std::hex << "varnel 0x" << Fnv1a(varnel);
    EXPECT_EQ(Fnv1a(cocotte), kPinned[i].cocotte) << std::hex << "cocotte 0x" << Fnv1a(cocotte);
    const int size = static_cast<int>(src.size());
    EXPECT_EQ(DecodeAll<TVarnelDecode>(varnel, size, &ok), src);
    EXPECT_TRUE(ok);
    EXPECT_EQ(DecodeAll<TCocotteDecode>(cocotte, size, &ok), src);
    EXPECT_TRUE(ok);
  }
}

namespace {

// Decodes damaged copies of the corpus' streams (bytes overwritten, streams cut short, decoded
// sizes a little off) and digests each run's result with the bytes it handed out.
template <class TEncoder, class TDecoder>
uint64_t DamagedDigest(uint32_t seed) {
  std::mt19937 rng(seed);
  Bytes all;
  int successes = 0;
  for (const auto& [name, src] : Corpus()) {
    if (src.size() < 8 || src.size() > 100000) continue;
    bool ok = false;
    const Bytes coded = EncodeAll<TEncoder>(src, &ok, static_cast<int>(2 * src.size() + 16));
    for (int round = 0; round < 24; ++round) {
      Bytes damaged = coded;
      const int flips = static_cast<int>(rng() % 4);  // 0: only the size or the length is off
      for (int i = 0; i < flips; ++i) damaged[rng() % damaged.size()] = static_cast<unsigned char>(rng());
      if (rng() % 4 == 0) damaged.resize(rng() % damaged.size());
      const int size = static_cast<int>(src.size()) + static_cast<int>(rng() % 64) - 32;
      const Bytes out = DecodeAll<TDecoder>(damaged, size, &ok);
      successes += ok;
      all.push_back(ok);
      const uint64_t h = Fnv1a(out);
      for (int k = 0; k < 8; ++k) all.push_back(static_cast<unsigned char>(h >> (8 * k)));
    }
  }
  EXPECT_GT(successes, 20);  // some damage leaves a stream that decodes
  return Fnv1a(all);
}

}  // namespace

TEST(CodecPins, DecodersAnswerDamagedStreamsAsPinned) {
  EXPECT_EQ((DamagedDigest<TVarnelEncode, TVarnelDecode>(31)), 0xD35EB5F770778DC4ull);
  EXPECT_EQ((DamagedDigest<TCocotteEncode, TCocotteDecode>(32)), 0xD1A6382DD115C9D6ull);
}
