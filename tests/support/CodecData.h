#pragma once
// Inputs and memory-backed callbacks for the codec tests: English-like text, picture-like pixel
// rows with flat areas and gradients, random bytes; and helpers that run a coder over a buffer.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "qolib/pack/Qocodec.h"

namespace vdmq::codectest {

using Bytes = std::vector<unsigned char>;

inline Bytes TextData(size_t size, uint32_t seed = 1) {
  static const char* const words[] = {
      "the",        "fleet",    "of",         "planet",  "commander", "attack",   "shield", "missile",   "dock",
      "technology", "alliance", "war",        "country", "turn",      "supply",   "route",  "satellite", "engine",
      "hull",       "weapon",   "and",        "a",       "to",        "is",       "in",     "with",      "from",
      "retreat",    "capture",  "experience", "fatigue", "income",    "scenario", "event",  "map",       "battle"};
  std::mt19937 rng(seed);
  Bytes out;
  out.reserve(size);
  int sentence = 0;
  while (out.size() < size) {
    const std::string w = words[rng() % (sizeof words / sizeof words[0])];
    out.insert(out.end(), w.begin(), w.end());
    if (++sentence % 11 == 0) {
      out.push_back('.');
      out.push_back('\n');
    } else {
      out.push_back(' ');
    }
  }
  out.resize(size);
  return out;
}

// 24-bit rows (blue, green, red) of a picture: a flat background, flat rectangles, a gradient
// band and some noise, as the game's sprite sheets and backgrounds look.
inline Bytes PictureData(size_t size, uint32_t seed = 2) {
  std::mt19937 rng(seed);
  const int width = 320;
  Bytes out(size);
  for (size_t i = 0; i < size; ++i) {
    const size_t pixel = i / 3;
    const int x = static_cast<int>(pixel % width), y = static_cast<int>(pixel / width);
    const int channel = static_cast<int>(i % 3);
    unsigned char v = channel == 0 ? 40 : (channel == 1 ? 0 : 16);  // background
    if (x >= 60 && x < 140 && (y % 200) >= 30 && (y % 200) < 90) v = channel == 2 ? 255 : 128;
    if (x >= 200 && x < 260) v = static_cast<unsigned char>((y * 2 + channel * 40) & 0xFF);
    if (x >= 280 && (rng() & 7) == 0) v = static_cast<unsigned char>(rng());
    out[i] = v;
  }
  return out;
}

inline Bytes RandomData(size_t size, uint32_t seed = 3) {
  std::mt19937 rng(seed);
  Bytes out(size);
  for (auto& b : out) b = static_cast<unsigned char>(rng());
  return out;
}

// A source in memory for the read callback.
struct TSource {
  explicit TSource(const Bytes* d) : data(d) {}
  const Bytes* data;
  size_t pos = 0;
  std::vector<int> reads;  // sizes asked for
  TCodecRead Reader() {
    return [this](unsigned char* buf, int n) {
      reads.push_back(n);
      if (n < 0 || pos + static_cast<size_t>(n) > data->size()) return false;
      std::memcpy(buf, data->data() + pos, static_cast<size_t>(n));
      pos += static_cast<size_t>(n);
      return true;
    };
  }
};

struct TSink {
  Bytes data;
  std::vector<int> writes;
  TCodecWrite Writer() {
    return [this](unsigned char* buf, int n) {
      writes.push_back(n);
      data.insert(data.end(), buf, buf + n);
      return true;
    };
  }
};

// Encodes with the callers' limit of 2 * size (or the limit given). ok tells success.
template <class TEncoder>
Bytes EncodeAll(const Bytes& src, bool* ok = nullptr, int limit = -1) {
  TEncoder enc;
  TSource in{&src};
  TSink out;
  const bool r = enc.Encode(static_cast<int>(src.size()), limit < 0 ? static_cast<int>(2 * src.size()) : limit,
                            in.Reader(), out.Writer());
  if (ok) *ok = r;
  if (r && static_cast<int>(out.data.size()) != enc.Written()) out.data.clear();  // must agree
  return out.data;
}

template <class TDecoder>
Bytes DecodeAll(const Bytes& stored, int decodedSize, bool* ok = nullptr) {
  TDecoder dec;
  TSource in{&stored};
  TSink out;
  const bool r = dec.Decode(static_cast<int>(stored.size()), decodedSize, in.Reader(), out.Writer());
  if (ok) *ok = r;
  return out.data;
}

inline Bytes Hex(std::initializer_list<int> v) {
  Bytes b;
  for (int x : v) b.push_back(static_cast<unsigned char>(x));
  return b;
}

// Damages the codes of the sources (1 to maxFlips bytes overwritten, a third of them cut short) and
// decodes them to a size up to 100 bytes off: a decoder that reports success gave exactly the size
// asked for, one that failed never more.
template <class TEncoder, class TDecoder>
void ExpectDamageNeverOverruns(uint32_t seed, const std::vector<Bytes>& sources, int rounds, int maxFlips) {
  std::mt19937 rng(seed);
  for (int round = 0; round < rounds; ++round) {
    const Bytes& src = sources[static_cast<size_t>(round) % sources.size()];
    bool ok = false;
    Bytes coded = EncodeAll<TEncoder>(src, &ok, static_cast<int>(2 * src.size() + 16));
    EXPECT_TRUE(ok);
    const int flips = 1 + static_cast<int>(rng() % static_cast<uint32_t>(maxFlips));
    for (int i = 0; i < flips; ++i) coded[rng() % coded.size()] = static_cast<unsigned char>(rng());
    if (rng() % 3 == 0) coded.resize(rng() % coded.size());
    const int size = static_cast<int>(src.size()) + static_cast<int>(rng() % 200) - 100;
    ok = false;
    const Bytes out = DecodeAll<TDecoder>(coded, size, &ok);
    if (ok)
      EXPECT_EQ(out.size(), static_cast<size_t>(size));
    else
      EXPECT_LE(out.size(), static_cast<size_t>(std::max(size, 0)));
  }
}

}  // namespace vdmq::codectest
