// The Varnel encoder against a plain restatement of its search and stream rules: every earlier
// position 1..1535 bytes back that shares the two-byte key is a candidate, nearest first; a
// candidate wins only when strictly longer; the search stops once the best passes 1024 bytes;
// lengths are capped at 8192. The real encoder works through chunks, chains and word compares;
// its output must be byte for byte the same, also across its chunk and write-out boundaries.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>

#include "qolib/pack/Qovarnel.h"
#include "support/CodecData.h"

using namespace vdmq;
using namespace vdmq::codectest;

namespace {

Bytes PlainVarnel(const Bytes& s) {
  const int n = static_cast<int>(s.size());
  Bytes out;
  if (n == 0) return out;
  size_t slot = 0;
  uint32_t flag = 0, mask = 0x80000000u;
  int items = 0;
  out.resize(4);
  auto storeFlag = [&] {
    for (int k = 0; k < 4; ++k) out[slot + k] = static_cast<unsigned char>(flag >> (8 * k));
  };
  int p = 0;
  while (p < n) {
    int best = 0, bestDist = 0;
    const int limit = std::min(n - p, 8192);
    if (limit >= 2) {
      for (int d = 1; d <= std::min(p, 1535); ++d) {
        const int q = p - d;
        if (s[q] != s[p] || s[q + 1] != s[p + 1]) continue;
        int len = 2;
        while (len < limit && s[q + len] == s[p + len]) ++len;
        if (len > best) {
          best = len;
          bestDist = d;
          if (best > 1024) break;
        }
      }
    }
    if (best >= 2) {
      flag |= mask;
      const int L = best <= 14 ? best - 1 : (best <= 255 ? 14 : 15);
      const int D = bestDist <= 10 ? bestDist - 1 : (bestDist <= 255 ? 10 : 10 + bestDist / 256);
      out.push_back(static_cast<unsigned char>(L << 4 | D));
      if (L == 14) out.push_back(static_cast<unsigned char>(best));
      if (L == 15) {
        out.push_back(static_cast<unsigned char>(best));
        out.push_back(static_cast<unsigned char>(best >> 8));
      }
      if (D >= 10) out.push_back(static_cast<unsigned char>(bestDist));
      p += best;
    } else {
      out.push_back(s[p]);
      ++p;
    }
    mask >>= 1;
    if (++items == 32 || p >= n) {
      storeFlag();
      if (p < n) {
        slot = out.size();
        out.resize(out.size() + 4);
        flag = 0;
        mask = 0x80000000u;
        items = 0;
      }
    }
  }
  return out;
}

// Bytes from a small alphabet with repeats at every distance the window allows.
Bytes Repetitive(size_t size, uint32_t seed) {
  std::mt19937 rng(seed);
  Bytes out;
  while (out.size() < size) {
    const unsigned kind = rng() % 4;
    if (kind == 0 || out.size() < 2000) {
      out.push_back(static_cast<unsigned char>('a' + rng() % 4));
    } else {
      const size_t dist = 1 + rng() % (kind == 1 ? 12 : (kind == 2 ? 300 : 1600));
      const size_t len = 1 + rng() % (kind == 3 ? 1500 : 40);
      const size_t from = out.size() >= dist ? out.size() - dist : 0;
      for (size_t k = 0; k < len; ++k) out.push_back(out[from + k]);
    }
  }
  out.resize(size);
  return out;
}

// Random bytes, then a later position p whose first three bytes share their hash in the encoder's
// chains of three bytes with those of an older position q that differs in the first two bytes
// only and matches p on every byte after them; between them, a nearer candidate matching p for
// ten bytes. A search that trusted the hash for the first two bytes would take q.
Bytes HashTwins() {
  unsigned char twin[2][4] = {};
  for (int k = 1; k < 65536 && twin[1][0] == 0; ++k) {
    unsigned char t[4] = {static_cast<unsigned char>(k), static_cast<unsigned char>(k >> 8), 'c', 0};
    if (k > 1 && TVarnelChains::Hash3(t) == TVarnelChains::Hash3(twin[0]) && std::memcmp(t, twin[0], 2) != 0) {
      std::memcpy(twin[1], t, 4);
    } else if (k == 1) {
      std::memcpy(twin[0], t, 4);
    }
  }
  EXPECT_NE(twin[1][0] | twin[1][1], 0);
  const std::string tail = "0123456789abcdefghij";
  Bytes out = RandomData(20000, 11);
  auto put = [&](const unsigned char* head, const std::string& rest) {
    out.insert(out.end(), head, head + 3);
    out.insert(out.end(), rest.begin(), rest.end());
    const Bytes gap = RandomData(30, static_cast<uint32_t>(out.size()));
    out.insert(out.end(), gap.begin(), gap.end());
  };
  put(twin[1], tail);                     // q
  put(twin[0], tail.substr(0, 7) + "#");  // the nearer candidate, ten bytes
  put(twin[0], tail);                     // p
  return out;
}

}  // namespace

TEST(VarnelReference, EncoderOutputIsThePlainRulesOutput) {
  std::vector<Bytes> inputs = {
      Bytes(40000, 'z'),   // runs past the 8192 cap, across chunks
      TextData(70000, 5),  // crosses two refills and write-outs
      PictureData(50001, 6), RandomData(33000, 7),
      Repetitive(90000, 8),  Repetitive(16385, 9),  // one byte past the first chunk
      Repetitive(32769, 10),                        // one byte past the first read
      HashTwins(),
  };
  for (size_t i = 0; i < inputs.size(); ++i) {
    bool ok = false;
    const Bytes got = EncodeAll<TVarnelEncode>(inputs[i], &ok, static_cast<int>(2 * inputs[i].size() + 16));
    ASSERT_TRUE(ok) << i;
    EXPECT_EQ(got, PlainVarnel(inputs[i])) << "input " << i;
  }
}
