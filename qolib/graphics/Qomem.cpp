#include "qolib/graphics/Qomem.h"

#include <cstdint>
#include <cstring>

namespace vdmq {

namespace {

using Byte = std::uint8_t;

template <unsigned B>
inline std::uint32_t Load(const Byte* p) {
  if constexpr (B == 1) {
    return p[0];
  } else if constexpr (B == 2) {
    return static_cast<std::uint32_t>(p[0] | (p[1] << 8));
  } else if constexpr (B == 3) {
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16);
  } else {
    std::uint32_t v;
    std::memcpy(&v, p, 4);
    return v;  // little-endian host
  }
}

template <unsigned B>
inline void Put(Byte* d, const Byte* s) {
  if constexpr (B == 3) {
    d[0] = s[0];
    d[1] = s[1];
    d[2] = s[2];
  } else {
    std::memcpy(d, s, B);
  }
}

// The key as the pixel's own width: 1- and 2-byte forms compare only the low bits of the key;
// the 3-byte form compares the whole key, so a key above 24 bits matches no pixel.
template <unsigned B>
inline bool KeyFits(unsigned long key, std::uint32_t* k) {
  if constexpr (B == 1) {
    *k = static_cast<std::uint32_t>(key & 0xFFu);
  } else if constexpr (B == 2) {
    *k = static_cast<std::uint32_t>(key & 0xFFFFu);
  } else if constexpr (B == 3) {
    if (key > 0xFFFFFFul) return false;
    *k = static_cast<std::uint32_t>(key);
  } else {
    *k = static_cast<std::uint32_t>(key & 0xFFFFFFFFul);
  }
  return true;
}

template <unsigned B>
void* CopyR(void* dst, const void* src, unsigned n) {
  Byte* d = static_cast<Byte*>(dst);
  const Byte* s = static_cast<const Byte*>(src) + static_cast<std::size_t>(n) * B;
  for (unsigned i = 0; i < n; ++i) {
    s -= B;
    Put<B>(d, s);
    d += B;
  }
  return dst;
}

template <unsigned B>
void* CopyK(void* dst, const void* src, unsigned n, unsigned long key) {
  std::uint32_t k;
  if (!KeyFits<B>(key, &k)) {
    if (n != 0) std::memcpy(dst, src, static_cast<std::size_t>(n) * B);
    return dst;
  }
  // Sprites have long runs of drawn and of transparent pixels: each drawn run is one block copy.
  Byte* d = static_cast<Byte*>(dst);
  const Byte* s = static_cast<const Byte*>(src);
  unsigned i = 0;
  while (i < n) {
    while (i < n && Load<B>(s + static_cast<std::size_t>(i) * B) == k) ++i;
    const unsigned start = i;
    while (i < n && Load<B>(s + static_cast<std::size_t>(i) * B) != k) ++i;
    if (i > start) {
      std::memcpy(d + static_cast<std::size_t>(start) * B, s + static_cast<std::size_t>(start) * B,
                  static_cast<std::size_t>(i - start) * B);
    }
  }
  return dst;
}

template <unsigned B>
void* CopyRK(void* dst, const void* src, unsigned n, unsigned long key) {
  std::uint32_t k;
  if (!KeyFits<B>(key, &k)) return CopyR<B>(dst, src, n);
  Byte* d = static_cast<Byte*>(dst);
  const Byte* s = static_cast<const Byte*>(src) + static_cast<std::size_t>(n) * B;
  for (unsigned i = 0; i < n; ++i, d += B) {
    s -= B;
    if (Load<B>(s) != k) Put<B>(d, s);
  }
  return dst;
}

inline bool MaskBit(const Byte* mask, unsigned k) { return (mask[k >> 3] & (0x80u >> (k & 7u))) != 0; }

// Source pixel i is drawn when mask bit (i mod maskBits) is set; mirrored puts it on n - 1 - i.
template <unsigned B, bool Mirrored>
void* CopyM(void* dst, const void* src, unsigned n, const void* mask, unsigned maskBits) {
  if (n == 0 || maskBits == 0 || mask == nullptr) return dst;
  Byte* d = static_cast<Byte*>(dst);
  const Byte* s = static_cast<const Byte*>(src);
  const Byte* m = static_cast<const Byte*>(mask);
  unsigned k = 0;
  for (unsigned i = 0; i < n; ++i) {
    // Whole mask bytes at a time while 8 pixels and 8 aligned mask bits remain.
    if ((k & 7u) == 0 && k + 8 <= maskBits && i + 8 <= n) {
      const unsigned bits = m[k >> 3];
      if (bits == 0xFF) {
        if constexpr (Mirrored) {
          for (unsigned t = 0; t < 8; ++t)
            Put<B>(d + static_cast<std::size_t>(n - 1 - (i + t)) * B, s + static_cast<std::size_t>(i + t) * B);
        } else {
          std::memcpy(d + static_cast<std::size_t>(i) * B, s + static_cast<std::size_t>(i) * B, 8 * B);
        }
      } else if (bits != 0) {
        for (unsigned t = 0; t < 8; ++t) {
          if (bits & (0x80u >> t)) {
            const std::size_t di = Mirrored ? n - 1 - (i + t) : i + t;
            Put<B>(d + di * B, s + static_cast<std::size_t>(i + t) * B);
          }
        }
      }
      i += 7;
      k += 8;
      if (k >= maskBits) k = 0;
      continue;
    }
    if (MaskBit(m, k)) {
      const std::size_t di = Mirrored ? n - 1 - i : i;
      Put<B>(d + di * B, s + static_cast<std::size_t>(i) * B);
    }
    if (++k >= maskBits) k = 0;
  }
  return dst;
}

template <unsigned B>
void* Fill(void* dst, unsigned long value, unsigned n) {
  Byte px[4];
  for (unsigned b = 0; b < 4; ++b) px[b] = static_cast<Byte>(value >> (8 * b));
  Byte* d = static_cast<Byte*>(dst);
  for (unsigned i = 0; i < n; ++i, d += B) std::memcpy(d, px, B);
  return dst;
}

}  // namespace

void* QoMemcpy(void* dst, const void* src, unsigned n) {
  if (n != 0) std::memcpy(dst, src, n);
  return dst;
}

void* QoMemcpyR(void* dst, const void* src, unsigned n) { return CopyR<1>(dst, src, n); }
void* QoMemcpy2R(void* dst, const void* src, unsigned n) { return CopyR<2>(dst, src, n); }
void* QoMemcpy3R(void* dst, const void* src, unsigned n) { return CopyR<3>(dst, src, n); }
void* QoMemcpy4R(void* dst, const void* src, unsigned n) { return CopyR<4>(dst, src, n); }

void* QoMemcpyK(void* dst, const void* src, unsigned n, unsigned long key) { return CopyK<1>(dst, src, n, key); }
void* QoMemcpy2K(void* dst, const void* src, unsigned n, unsigned long key) { return CopyK<2>(dst, src, n, key); }
void* QoMemcpy3K(void* dst, const void* src, unsigned n, unsigned long key) { return CopyK<3>(dst, src, n, key); }
void* QoMemcpy4K(void* dst, const void* src, unsigned n, unsigned long key) { return CopyK<4>(dst, src, n, key); }

void* QoMemcpyRK(void* dst, const void* src, unsigned n, unsigned long key) { return CopyRK<1>(dst, src, n, key); }
void* QoMemcpy2RK(void* dst, const void* src, unsigned n, unsigned long key) { return CopyRK<2>(dst, src, n, key); }
void* QoMemcpy3RK(void* dst, const void* src, unsigned n, unsigned long key) { return CopyRK<3>(dst, src, n, key); }
void* QoMemcpy4RK(void* dst, const void* src, unsigned n, unsigned long key) { return CopyRK<4>(dst, src, n, key); }

void* QoMemcpyM(void* dst, const void* src, unsigned n, const void* mask, unsigned maskBits) {
  return CopyM<1, false>(dst, src, n, mask, maskBits);
}
void* QoMemcpy2M(void* dst, const void* src, unsigned n, const void* mask, unsigned maskBits) {
  return CopyM<2, false>(dst, src, n, mask, maskBits);
}
void* QoMemcpy3M(void* dst, const void* src, unsigned n, const void* mask, unsigned maskBits) {
  return CopyM<3, false>(dst, src, n, mask, maskBits);
}
void* QoMemcpy4M(void* dst, const void* src, unsigned n, const void* mask, unsigned maskBits) {
  return CopyM<4, false>(dst, src, n, mask, maskBits);
}

void* QoMemcpyRM(void* dst, const void* src, unsigned n, const void* mask, unsigned maskBits) {
  return CopyM<1, true>(dst, src, n, mask, maskBits);
}
void* QoMemcpy2RM(void* dst, const void* src, unsigned n, const void* mask, unsigned maskBits) {
  return CopyM<2, true>(dst, src, n, mask, maskBits);
}
void* QoMemcpy3RM(void* dst, const void* src, unsigned n, const void* mask, unsigned maskBits) {
  return CopyM<3, true>(dst, src, n, mask, maskBits);
}
void* QoMemcpy4RM(void* dst, const void* src, unsigned n, const void* mask, unsigned maskBits) {
  return CopyM<4, true>(dst, src, n, mask, maskBits);
}

void* QoMemset(void* dst, unsigned long value, unsigned n) {
  if (n != 0) std::memset(dst, static_cast<int>(value & 0xFFu), n);
  return dst;
}
void* QoMemset2(void* dst, unsigned long value, unsigned n) { return Fill<2>(dst, value, n); }
void* QoMemset3(void* dst, unsigned long value, unsigned n) { return Fill<3>(dst, value, n); }
void* QoMemset4(void* dst, unsigned long value, unsigned n) { return Fill<4>(dst, value, n); }

}  // namespace vdmq
