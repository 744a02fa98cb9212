#include "qolib/graphics/Qomem.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

namespace vdmq {
namespace {

using Bytes = std::vector<std::uint8_t>;

// The table's definition of each form, pixel by pixel, to compare the unrolled code with.
Bytes Reference(int bytes, bool mirrored, bool keyed, bool masked, const Bytes& dst, const Bytes& src, unsigned n,
                unsigned long key, const Bytes& mask, unsigned maskBits) {
  Bytes out = dst;
  auto value = [&](unsigned i) {
    unsigned long v = 0;
    for (int b = 0; b < bytes; ++b) v |= static_cast<unsigned long>(src[i * bytes + b]) << (8 * b);
    return v;
  };
  unsigned long keyMask = bytes == 1 ? 0xFF : bytes == 2 ? 0xFFFF : 0xFFFFFFFFul;
  for (unsigned i = 0; i < n; ++i) {
    unsigned from = i, to = i;
    if (masked) {
      const unsigned k = i % maskBits;
      if (!(mask[k / 8] & (0x80 >> (k % 8)))) continue;
      if (mirrored) to = n - 1 - i;
    } else if (mirrored) {
      from = n - 1 - i;
    }
    if (keyed) {
      const unsigned long k = bytes == 3 ? key : (key & keyMask);
      if (value(from) == k) continue;
    }
    for (int b = 0; b < bytes; ++b) out[to * bytes + b] = src[from * bytes + b];
  }
  return out;
}

using Plain = void* (*)(void*, const void*, unsigned);
using Keyed = void* (*)(void*, const void*, unsigned, unsigned long);
using Masked = void* (*)(void*, const void*, unsigned, const void*, unsigned);

TEST(QoMemcpy, EveryFormMatchesItsDefinitionForManyLengths) {
  std::mt19937 rng(7);
  const Plain rev[] = {QoMemcpyR, QoMemcpy2R, QoMemcpy3R, QoMemcpy4R};
  const Keyed key[] = {QoMemcpyK, QoMemcpy2K, QoMemcpy3K, QoMemcpy4K};
  const Keyed revKey[] = {QoMemcpyRK, QoMemcpy2RK, QoMemcpy3RK, QoMemcpy4RK};
  const Masked msk[] = {QoMemcpyM, QoMemcpy2M, QoMemcpy3M, QoMemcpy4M};
  const Masked revMsk[] = {QoMemcpyRM, QoMemcpy2RM, QoMemcpy3RM, QoMemcpy4RM};
  for (int bytes = 1; bytes <= 4; ++bytes) {
    for (unsigned n = 0; n < 40; ++n) {
      Bytes src(n * bytes), dst(n * bytes + 8);
      // Few distinct values so that keys match often.
      for (auto& v : src) v = static_cast<std::uint8_t>(rng() % 2);
      for (auto& v : dst) v = static_cast<std::uint8_t>(0xA0 + rng() % 16);
      unsigned long k = 0;
      for (int b = 0; b < bytes; ++b) k |= static_cast<unsigned long>(rng() % 2) << (8 * b);
      Bytes mask(8);
      for (auto& v : mask) v = static_cast<std::uint8_t>(rng());
      const unsigned maskBits = 1 + rng() % 40;
      const int idx = bytes - 1;

      Bytes d = dst;
      EXPECT_EQ(rev[idx](d.data(), src.data(), n), d.data());
      EXPECT_EQ(d, Reference(bytes, true, false, false, dst, src, n, 0, mask, 1)) << bytes << " R " << n;
      d = dst;
      key[idx](d.data(), src.data(), n, k);
      EXPECT_EQ(d, Reference(bytes, false, true, false, dst, src, n, k, mask, 1)) << bytes << " K " << n;
      d = dst;
      revKey[idx](d.data(), src.data(), n, k);
      EXPECT_EQ(d, Reference(bytes, true, true, false, dst, src, n, k, mask, 1)) << bytes << " RK " << n;
      d = dst;
      msk[idx](d.data(), src.data(), n, mask.data(), maskBits);
      EXPECT_EQ(d, Reference(bytes, false, false, true, dst, src, n, 0, mask, maskBits)) << bytes << " M " << n;
      d = dst;
      revMsk[idx](d.data(), src.data(), n, mask.data(), maskBits);
      EXPECT_EQ(d, Reference(bytes, true, false, true, dst, src, n, 0, mask, maskBits)) << bytes << " RM " << n;
    }
  }
}

TEST(QoMemcpy, ZeroLengthWritesNothing) {
  Bytes d(16, 0x55), s(16, 0x11);
  const std::uint8_t m = 0xFF;
  EXPECT_EQ(QoMemcpy(d.data(), s.data(), 0), d.data());
  EXPECT_EQ(QoMemcpy3R(d.data(), s.data(), 0), d.data());
  EXPECT_EQ(QoMemcpy3K(d.data(), s.data(), 0, 0), d.data());
  EXPECT_EQ(QoMemcpy3M(d.data(), s.data(), 0, &m, 8), d.data());
  EXPECT_EQ(QoMemset3(d.data(), 0x123456, 0), d.data());
  EXPECT_EQ(d, Bytes(16, 0x55));
}

TEST(QoMemcpy3, ReversedKeepsPixelByteOrderAndKeyedSkipsMagenta) {
  Bytes src = {1, 2, 3, 4, 5, 6, 7, 8, 9};
  Bytes d(9);
  QoMemcpy3R(d.data(), src.data(), 3);
  EXPECT_EQ(d, (Bytes{7, 8, 9, 4, 5, 6, 1, 2, 3}));

  Bytes magenta = {0xFF, 0x00, 0xFF, 1, 2, 3};
  Bytes e(6, 0x77);
  QoMemcpy3K(e.data(), magenta.data(), 2, 0x00FF00FF);
  EXPECT_EQ(e, (Bytes{0x77, 0x77, 0x77, 1, 2, 3}));

  // A key above 24 bits matches no pixel.
  Bytes black = {0, 0, 0};
  Bytes f(3, 0x77);
  QoMemcpy3K(f.data(), black.data(), 1, 0x01000000);
  EXPECT_EQ(f, (Bytes{0, 0, 0}));
}

TEST(QoMemcpyM, RepeatingShortMaskAndMirroredMask) {
  Bytes src = {1, 2, 3, 4, 5, 6};
  Bytes d(6, 0);
  const std::uint8_t mask = 0xA0;
  QoMemcpyM(d.data(), src.data(), 6, &mask, 3);
  EXPECT_EQ(d, (Bytes{1, 0, 3, 4, 0, 6}));

  Bytes s4 = {1, 2, 3, 4};
  Bytes d4(4, 0);
  const std::uint8_t first = 0x80;
  QoMemcpyRM(d4.data(), s4.data(), 4, &first, 8);
  EXPECT_EQ(d4, (Bytes{0, 0, 0, 1}));

  // A mask of no bits copies nothing (and does not divide by zero).
  Bytes z(4, 9);
  QoMemcpyM(z.data(), s4.data(), 4, &first, 0);
  EXPECT_EQ(z, Bytes(4, 9));
}

TEST(QoMemset, AllWidths) {
  Bytes d(6, 0);
  QoMemset3(d.data(), 0x00123456, 2);
  EXPECT_EQ(d, (Bytes{0x56, 0x34, 0x12, 0x56, 0x34, 0x12}));
  Bytes a(3, 0);
  QoMemset(a.data(), 0x1AB, 3);
  EXPECT_EQ(a, (Bytes{0xAB, 0xAB, 0xAB}));
  Bytes b(4, 0);
  QoMemset2(b.data(), 0xFFFF1234, 2);
  EXPECT_EQ(b, (Bytes{0x34, 0x12, 0x34, 0x12}));
  Bytes c(8, 0);
  QoMemset4(c.data(), 0x01020304, 2);
  EXPECT_EQ(c, (Bytes{4, 3, 2, 1, 4, 3, 2, 1}));
}

}  // namespace
}  // namespace vdmq
