#include "qolib/graphics/QoSurface.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>
#include <type_traits>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#include <tmmintrin.h>
#endif

#include "qolib/graphics/Qomem.h"

namespace vdmq {

namespace {

using I64 = long long;

constexpr int kCoordLimit = 50000;  // line and box corners are clamped to +-50000

int ClampCoord(int v) { return std::clamp(v, -kCoordLimit, kCoordLimit); }
int ToInt(I64 v) {
  return static_cast<int>(std::clamp<I64>(v, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

// ---- Raster methods on one byte ----
template <int M>
inline std::uint8_t OpByte(std::uint8_t d, std::uint8_t s) {
  if constexpr (M == Qo_AND) {
    return d & s;
  } else if constexpr (M == Qo_OR) {
    return d | s;
  } else if constexpr (M == Qo_XOR) {
    return d ^ s;
  } else if constexpr (M == Qo_ADD) {
    const int v = d + s;
    return static_cast<std::uint8_t>(v >= 255 ? 255 : v);
  } else if constexpr (M == Qo_SUB) {
    return static_cast<std::uint8_t>(s >= d ? 0 : d - s);
  } else if constexpr (M == Qo_MED) {
    return static_cast<std::uint8_t>((d & s) + ((d ^ s) >> 1));
  } else {
    (void)d;
    return s;  // Qo_SET, Qo_NOT and any value above 7
  }
}

template <int M>
inline void Apply(TQoRGB* d, const TQoRGB& s) {
  d->b = OpByte<M>(d->b, s.b);
  d->g = OpByte<M>(d->g, s.g);
  d->r = OpByte<M>(d->r, s.r);
}
template <int M>
inline void Apply(std::uint8_t* d, const std::uint8_t& s) {
  *d = OpByte<M>(*d, s);
}

// Calls body with the method as a compile-time constant, looked up once per blit.
template <typename Body>
void WithMethod(TQoMethod m, Body&& body) {
  switch (m) {
    case Qo_AND: body(std::integral_constant<int, Qo_AND>{}); break;
    case Qo_OR: body(std::integral_constant<int, Qo_OR>{}); break;
    case Qo_XOR: body(std::integral_constant<int, Qo_XOR>{}); break;
    case Qo_ADD: body(std::integral_constant<int, Qo_ADD>{}); break;
    case Qo_SUB: body(std::integral_constant<int, Qo_SUB>{}); break;
    case Qo_MED: body(std::integral_constant<int, Qo_MED>{}); break;
    default: body(std::integral_constant<int, Qo_SET>{}); break;
  }
}

// Source pixels i = 0..n-1 onto d[i * step], skipping the key when keyed.
template <int M, typename P>
inline void BlendRow(P* d, const P* s, I64 n, int step, bool keyed, const P& key) {
  for (I64 i = 0; i < n; ++i, d += step) {
    if (keyed && s[i] == key) continue;
    Apply<M>(d, s[i]);
  }
}

// ---- Keyed 24-bit rows ----
// A pixel is read as one 24-bit value (blue in the low byte), compared with the key at once and
// combined byte-wise within one 32-bit word. A source pixel is read with one 4-byte load where the
// next pixel of its row gives the fourth byte; a destination pixel is read and written as two
// bytes and one (whole-word stores would straddle the next pixel's loads).

inline std::uint32_t Load3(const std::uint8_t* p) {
  std::uint16_t low;
  std::memcpy(&low, p, 2);
  return low | (static_cast<std::uint32_t>(p[2]) << 16);
}
inline std::uint32_t Load3Wide(const std::uint8_t* p) {
  std::uint32_t v;
  std::memcpy(&v, p, 4);
  return v & 0xFFFFFFu;  // little-endian host
}
inline void Store3(std::uint8_t* p, std::uint32_t v) {
  const std::uint16_t low = static_cast<std::uint16_t>(v);
  std::memcpy(p, &low, 2);
  p[2] = static_cast<std::uint8_t>(v >> 16);
}

// OpByte<M> on each of the three low bytes of d and s at once (s has its fourth byte clear; the
// result's fourth byte is not used).
template <int M>
inline std::uint32_t Combine3(std::uint32_t d, std::uint32_t s) {
  constexpr std::uint32_t kHigh = 0x808080u, kLow = 0x7F7F7Fu;
  if constexpr (M == Qo_AND) {
    return d & s;
  } else if constexpr (M == Qo_OR) {
    return d | s;
  } else if constexpr (M == Qo_XOR) {
    return d ^ s;
  } else if constexpr (M == Qo_ADD) {
    // Sums modulo 256 without carries between bytes, then bytes that carried out go to 255.
    const std::uint32_t t = ((d & kLow) + (s & kLow)) ^ ((d ^ s) & kHigh);
    const std::uint32_t carry = ((d & s) | ((d | s) & ~t)) & kHigh;
    return t | ((carry >> 7) * 0xFFu);
  } else if constexpr (M == Qo_SUB) {
    // Differences modulo 256 without borrows between bytes, then bytes that borrowed go to 0.
    const std::uint32_t t = ((d | kHigh) - (s & kLow)) ^ ((d ^ ~s) & kHigh);
    const std::uint32_t borrow = ((~d & s) | (~(d ^ s) & t)) & kHigh;
    return t & ~((borrow >> 7) * 0xFFu);
  } else if constexpr (M == Qo_MED) {
    return (d & s) + (((d ^ s) >> 1) & kLow);
  } else {
    (void)d;
    return s;
  }
}

// Source pixels 0..n-1 that differ from key onto the row at dst: pixel i at dst + i, or mirrored
// at dst - i. One pixel at a time.
template <int M, bool Mirrored>
void KeyedPixels3(std::uint8_t* d, const std::uint8_t* s, I64 n, std::uint32_t key) {
  auto put = [d, key](I64 i, std::uint32_t v) {
    if (v == key) return;
    std::uint8_t* q = Mirrored ? d - 3 * i : d + 3 * i;
    if constexpr (M == Qo_SET) {
      Store3(q, v);
    } else if constexpr (M == Qo_AND || M == Qo_OR || M == Qo_XOR) {
      // Two bytes and one, each combined in place.
      std::uint16_t low;
      std::memcpy(&low, q, 2);
      low = static_cast<std::uint16_t>(Combine3<M>(low, v));
      std::memcpy(q, &low, 2);
      q[2] = static_cast<std::uint8_t>(Combine3<M>(q[2], v >> 16));
    } else {
      Store3(q, Combine3<M>(Load3(q), v));
    }
  };
  I64 i = 0;
  for (; i + 1 < n; ++i) put(i, Load3Wide(s + 3 * i));
  if (i < n) put(i, Load3(s + 3 * i));
}

#if defined(__SSE2__)
// OpByte<M> on 16 bytes.
template <int M>
inline __m128i Combine16(__m128i d, __m128i s) {
  if constexpr (M == Qo_AND) {
    return _mm_and_si128(d, s);
  } else if constexpr (M == Qo_OR) {
    return _mm_or_si128(d, s);
  } else if constexpr (M == Qo_XOR) {
    return _mm_xor_si128(d, s);
  } else if constexpr (M == Qo_ADD) {
    return _mm_adds_epu8(d, s);
  } else if constexpr (M == Qo_SUB) {
    return _mm_subs_epu8(d, s);
  } else if constexpr (M == Qo_MED) {
    // (d + s + 1) / 2, less the rounding where d + s is odd.
    return _mm_sub_epi8(_mm_avg_epu8(d, s), _mm_and_si128(_mm_xor_si128(d, s), _mm_set1_epi8(1)));
  } else {
    (void)d;
    return s;
  }
}

// The key written 16 times over 48 bytes, in three vectors; made once per blit.
struct TKeyVectors {
  __m128i key[3];
  explicit TKeyVectors(std::uint32_t k) {
    alignas(16) std::uint8_t bytes[48 + 4];
    for (int j = 0; j < 16; ++j) std::memcpy(bytes + 3 * j, &k, 4);  // each pixel's 4th byte is the next's 1st
    for (int v = 0; v < 3; ++v) key[v] = _mm_load_si128(reinterpret_cast<const __m128i*>(bytes + 16 * v));
  }
};

// 0xFF at the first, the second and the third byte of each pixel of 48 bytes.
alignas(16) constexpr std::uint8_t kPixelBytes[3][48] = {
    {0xFF, 0, 0, 0xFF, 0, 0, 0xFF, 0, 0, 0xFF, 0, 0, 0xFF, 0, 0, 0xFF, 0, 0, 0xFF, 0, 0, 0xFF, 0, 0,
     0xFF, 0, 0, 0xFF, 0, 0, 0xFF, 0, 0, 0xFF, 0, 0, 0xFF, 0, 0, 0xFF, 0, 0, 0xFF, 0, 0, 0xFF, 0, 0},
    {0, 0xFF, 0, 0, 0xFF, 0, 0, 0xFF, 0, 0, 0xFF, 0, 0, 0xFF, 0, 0, 0xFF, 0, 0, 0xFF, 0, 0, 0xFF, 0,
     0, 0xFF, 0, 0, 0xFF, 0, 0, 0xFF, 0, 0, 0xFF, 0, 0, 0xFF, 0, 0, 0xFF, 0, 0, 0xFF, 0, 0, 0xFF, 0},
    {0, 0, 0xFF, 0, 0, 0xFF, 0, 0, 0xFF, 0, 0, 0xFF, 0, 0, 0xFF, 0, 0, 0xFF, 0, 0, 0xFF, 0, 0, 0xFF,
     0, 0, 0xFF, 0, 0, 0xFF, 0, 0, 0xFF, 0, 0, 0xFF, 0, 0, 0xFF, 0, 0, 0xFF, 0, 0, 0xFF, 0, 0, 0xFF}};

inline __m128i PixelBytes(int which, int part) {
  return _mm_load_si128(reinterpret_cast<const __m128i*>(kPixelBytes[which] + 16 * part));
}

// 48 bytes held in three vectors, moved by whole bytes towards the start (Down) or the end (Up);
// bytes come in from the neighbouring vectors, or as zeros past the ends.
template <int N>
inline __m128i Down(__m128i v, __m128i next) {
  return _mm_or_si128(_mm_srli_si128(v, N), _mm_slli_si128(next, 16 - N));
}
template <int N>
inline __m128i Up(__m128i v, __m128i prev) {
  return _mm_or_si128(_mm_slli_si128(v, N), _mm_srli_si128(prev, 16 - N));
}

// Sixteen source pixels (48 bytes in v0..v2) that differ from the key combined onto the
// destination at d: the source bytes are compared with the key byte-wise, a pixel is the key where
// all three of its bytes are, and that verdict is spread back over its three bytes; every byte of
// the destination is then written, key pixels with what they held.
template <int M>
inline void BlendBlock(std::uint8_t* d, __m128i v0, __m128i v1, __m128i v2, const TKeyVectors& keys) {
  const __m128i zero = _mm_setzero_si128();
  const __m128i e0 = _mm_cmpeq_epi8(v0, keys.key[0]), e1 = _mm_cmpeq_epi8(v1, keys.key[1]),
                e2 = _mm_cmpeq_epi8(v2, keys.key[2]);
  // At each pixel's first byte: all three of its bytes equal the key's.
  auto whole = [](__m128i e, __m128i next, __m128i firsts) {
    return _mm_and_si128(_mm_and_si128(e, Down<1>(e, next)), _mm_and_si128(Down<2>(e, next), firsts));
  };
  const __m128i a0 = whole(e0, e1, PixelBytes(0, 0)), a1 = whole(e1, e2, PixelBytes(0, 1)),
                a2 = whole(e2, zero, PixelBytes(0, 2));
  // That verdict spread over the pixel's three bytes.
  auto spread = [](__m128i a, __m128i prev) { return _mm_or_si128(a, _mm_or_si128(Up<1>(a, prev), Up<2>(a, prev))); };
  auto write = [](std::uint8_t* p, __m128i sv, __m128i keep) {
    const __m128i dv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    const __m128i r = Combine16<M>(dv, sv);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(p), _mm_or_si128(_mm_andnot_si128(keep, r), _mm_and_si128(keep, dv)));
  };
  write(d, v0, spread(a0, zero));
  write(d + 16, v1, spread(a1, a0));
  write(d + 32, v2, spread(a2, a1));
}

// The whole blocks of sixteen pixels of a row (KeyedRow3's work for them); answers how many pixels
// they hold.
template <int M>
I64 KeyedBlocks3(std::uint8_t* d, const std::uint8_t* s, I64 n, const TKeyVectors& keys) {
  I64 i = 0;
  for (; i + 16 <= n; i += 16) {
    const std::uint8_t* sp = s + 3 * i;
    BlendBlock<M>(d + 3 * i, _mm_loadu_si128(reinterpret_cast<const __m128i*>(sp)),
                  _mm_loadu_si128(reinterpret_cast<const __m128i*>(sp + 16)),
                  _mm_loadu_si128(reinterpret_cast<const __m128i*>(sp + 32)), keys);
  }
  return i;
}

// Mirrored, the sixteen pixels of a block are put in reverse order (each keeping its three bytes
// in their order) by byte shuffles of the processor's SSSE3 instructions, where it has them; the
// block then lands as a whole at the left of its sixteen columns.
struct TMirrorShuffles {
  // [output vector][input vector][byte]: the input byte that goes there, or 0x80 for none.
  std::uint8_t from[3][3][16];
  constexpr TMirrorShuffles() : from{} {
    for (int j = 0; j < 48; ++j) {
      const int source = 3 * (15 - j / 3) + j % 3;
      for (int r = 0; r < 3; ++r)
        from[j / 16][r][j % 16] = source / 16 == r ? static_cast<std::uint8_t>(source % 16) : 0x80;
    }
  }
};
alignas(16) constexpr TMirrorShuffles kMirror;

bool HasSsse3() {
  static const bool has = __builtin_cpu_supports("ssse3");
  return has;
}

// Output vector k of a mirrored block from the three input vectors.
__attribute__((target("ssse3"))) inline __m128i Mirror16(const __m128i* in, int k) {
  __m128i v = _mm_setzero_si128();
  for (int r = 0; r < 3; ++r) {
    const __m128i c = _mm_load_si128(reinterpret_cast<const __m128i*>(kMirror.from[k][r]));
    v = _mm_or_si128(v, _mm_shuffle_epi8(in[r], c));
  }
  return v;
}

template <int M>
__attribute__((target("ssse3"))) I64 KeyedBlocks3Mirrored(std::uint8_t* d, const std::uint8_t* s, I64 n,
                                                          const TKeyVectors& keys) {
  I64 i = 0;
  for (; i + 16 <= n; i += 16) {
    const std::uint8_t* sp = s + 3 * i;
    const __m128i in[3] = {_mm_loadu_si128(reinterpret_cast<const __m128i*>(sp)),
                           _mm_loadu_si128(reinterpret_cast<const __m128i*>(sp + 16)),
                           _mm_loadu_si128(reinterpret_cast<const __m128i*>(sp + 32))};
    BlendBlock<M>(d - 3 * (i + 15), Mirror16(in, 0), Mirror16(in, 1), Mirror16(in, 2), keys);
  }
  return i;
}

#else
struct TKeyVectors {
  explicit TKeyVectors(std::uint32_t) {}
};
#endif

template <int M, bool Mirrored>
void KeyedRow3(TQoRGB* dst, const TQoRGB* src, I64 n, std::uint32_t key, [[maybe_unused]] const TKeyVectors& keys) {
  const std::uint8_t* s = reinterpret_cast<const std::uint8_t*>(src);
  std::uint8_t* d = reinterpret_cast<std::uint8_t*>(dst);
#if defined(__SSE2__)
  I64 done = 0;
  if constexpr (Mirrored) {
    if (HasSsse3()) done = KeyedBlocks3Mirrored<M>(d, s, n, keys);
  } else {
    done = KeyedBlocks3<M>(d, s, n, keys);
  }
  d = Mirrored ? d - 3 * done : d + 3 * done;
  s += 3 * done;
  n -= done;
#endif
  KeyedPixels3<M, Mirrored>(d, s, n, key);
}

// A keyed 24-bit block of w x h pixels under method m: source rows srcPitch apart onto destination
// rows dstPitch apart, each starting at dst (mirrored: its pixel 0 lands at dst, the rest to the
// left).
template <bool Mirrored>
void KeyedRows3(TQoMethod m, TQoRGB* dst, I64 dstPitch, const TQoRGB* src, I64 srcPitch, I64 w, I64 h, TQoRGB key) {
  const std::uint32_t k = key.ToDWORD();
  const TKeyVectors keys(k);
  WithMethod(m, [&](auto M) {
    for (I64 j = 0; j < h; ++j, src += srcPitch, dst += dstPitch)
      KeyedRow3<decltype(M)::value, Mirrored>(dst, src, w, k, keys);
  });
}

// ---- Row copies of the Qo_SET paths, by pixel size ----
template <typename P>
struct Rows;

template <>
struct Rows<TQoRGB> {  // keyed rows: KeyedRows3
  static void Copy(TQoRGB* d, const TQoRGB* s, unsigned n) { QoMemcpy(d, s, n * 3); }
  static void CopyR(TQoRGB* d, const TQoRGB* s, unsigned n) { QoMemcpy3R(d, s, n); }
  static void CopyM(TQoRGB* d, const TQoRGB* s, unsigned n, const std::uint8_t* m, unsigned bits) {
    QoMemcpy3M(d, s, n, m, bits);
  }
  static void CopyRM(TQoRGB* d, const TQoRGB* s, unsigned n, const std::uint8_t* m, unsigned bits) {
    QoMemcpy3RM(d, s, n, m, bits);
  }
};

template <>
struct Rows<std::uint8_t> {
  using B = std::uint8_t;
  static void Copy(B* d, const B* s, unsigned n) { QoMemcpy(d, s, n); }
  static void CopyK(B* d, const B* s, unsigned n, B k) { QoMemcpyK(d, s, n, k); }
  static void CopyR(B* d, const B* s, unsigned n) { QoMemcpyR(d, s, n); }
  static void CopyRK(B* d, const B* s, unsigned n, B k) { QoMemcpyRK(d, s, n, k); }
  static void CopyM(B* d, const B* s, unsigned n, const B* m, unsigned bits) { QoMemcpyM(d, s, n, m, bits); }
  static void CopyRM(B* d, const B* s, unsigned n, const B* m, unsigned bits) { QoMemcpyRM(d, s, n, m, bits); }
};

inline bool MaskBit(const std::uint8_t* row, I64 k) { return (row[k >> 3] & (0x80u >> (k & 7))) != 0; }

// Clips a copy of w x h pixels from (sx, sy) of a sw x sh source to (dx, dy) of a dw x dh destination.
bool ClipBoth(I64& dx, I64& dy, I64& sx, I64& sy, I64& w, I64& h, I64 dw, I64 dh, I64 sw, I64 sh) {
  if (sx < 0) {
    dx -= sx;
    w += sx;
    sx = 0;
  }
  if (sy < 0) {
    dy -= sy;
    h += sy;
    sy = 0;
  }
  if (dx < 0) {
    sx -= dx;
    w += dx;
    dx = 0;
  }
  if (dy < 0) {
    sy -= dy;
    h += dy;
    dy = 0;
  }
  w = std::min({w, sw - sx, dw - dx});
  h = std::min({h, sh - sy, dh - dy});
  return w >= 1 && h >= 1;
}

}  // namespace

// ---- Construction and pixel memory ----------------------------------------------------------------

template <typename P>
TQoSurface<P>::TQoSurface(TQoComponent* owner) : TQoComponent(owner) {}

template <typename P>
TQoSurface<P>::TQoSurface(TQoComponent* owner, int width, int height)
    : TQoComponent(owner), width_(width), height_(height) {}

template <typename P>
TQoSurface<P>::~TQoSurface() {
  EndDib();
}

template <typename P>
bool TQoSurface<P>::CreatePixels(int width, int height) {
  pixels_ = nullptr;
  pitch_ = 0;
  if (width < 1 || height < 1) return false;
  const I64 pitch = (static_cast<I64>(width) + 3) & ~I64{3};
  const unsigned long long count = static_cast<unsigned long long>(pitch) * static_cast<unsigned long long>(height);
  if (count * sizeof(P) > kQoSurfaceMaxBytes) return false;
  P* mem = new (std::nothrow) P[static_cast<std::size_t>(count)]();
  if (mem == nullptr) return false;
  pixels_ = mem;
  pitch_ = static_cast<int>(pitch);
  return true;
}

template <typename P>
TQoPixelView TQoSurface<P>::View() const {
  TQoPixelView v;
  v.bits = pixels_;
  v.width = width_;
  v.height = height_;
  v.pitchBytes = pitch_ * static_cast<int>(sizeof(P));
  v.bitsPerPixel = static_cast<int>(sizeof(P)) * 8;
  v.palette = ViewPalette();
  return v;
}

template <typename P>
void TQoSurface<P>::Loaded() {
  InitDib();
}

template <typename P>
void TQoSurface<P>::InitDib() {
  if (pixels_ != nullptr) return;
  if (!CreatePixels(width_, height_)) return;
  AfterInitDib();
  if (bound_ != nullptr) bound_->AttachPixels(View());
}

template <typename P>
void TQoSurface<P>::EndDib() {
  if (pixels_ == nullptr) return;
  if (bound_ != nullptr) EndBitmap();
  if (dcHeld_) ReleaseBmpDC();
  delete[] pixels_;
  pixels_ = nullptr;
  pitch_ = 0;
}

template <typename P>
void TQoSurface<P>::SetWidth(int width) {
  if (pixels_ != nullptr) {
    ResizeDib(width, height_);
  } else {
    width_ = width;
  }
}

template <typename P>
void TQoSurface<P>::SetHeight(int height) {
  if (pixels_ != nullptr) {
    ResizeDib(width_, height);
  } else {
    height_ = height;
  }
}

template <typename P>
void TQoSurface<P>::ResizeDib(int width, int height) {
  if (pixels_ == nullptr) return;
  P* oldPixels = pixels_;
  const int oldPitch = pitch_;
  const int oldW = width_;
  const int oldH = height_;
  width_ = width;
  height_ = height;
  const bool made = CreatePixels(width, height);
  if (made) {
    // The kept picture is copied as it is, whatever method and mirroring are set.
    const int w = std::min(width, oldW);
    const int h = std::min(height, oldH);
    for (int j = 0; j < h; ++j) {
      std::memcpy(pixels_ + static_cast<std::size_t>(j) * pitch_, oldPixels + static_cast<std::size_t>(j) * oldPitch,
                  static_cast<std::size_t>(w) * sizeof(P));
    }
    if (dcHeld_) {
      const TQoPixelView v = View();
      dc_ = TQoDC{static_cast<std::uint8_t*>(v.bits), v.width, v.height, v.pitchBytes, static_cast<int>(sizeof(P))};
    }
  } else {
    dcHeld_ = false;
  }
  if (bound_ != nullptr) {
    bound_->DetachPixels();
    if (made) bound_->AttachPixels(View());
  }
  delete[] oldPixels;
  if (made) SetModified(0, 0, std::min(width, oldW) - 1, std::min(height, oldH) - 1);
}

// ---- Binding -----------------------------------------------------------------------------------

template <typename P>
void TQoSurface<P>::SetImage(IQoImage* image) {
  if (image != nullptr) {
    StartBitmap(image);
  } else if (bound_ != nullptr) {
    EndBitmap();
  }
  // An image control that is a component tells this surface when it is destroyed.
  imageComponent_ = dynamic_cast<TQoComponent*>(image);
  if (imageComponent_ != nullptr) FreeNotification(imageComponent_);
  image_ = image;
}

template <typename P>
void TQoSurface<P>::StartBitmap(IQoImage* bitmap) {
  if (bound_ != nullptr) EndBitmap();
  bound_ = bitmap;
  if (bitmap == nullptr || pixels_ == nullptr) return;
  bitmap->AttachPixels(View());
  pending_ = false;
  notifySw_ = true;
  AfterStartBitmap();
}

template <typename P>
void TQoSurface<P>::EndBitmap() {
  if (bound_ != nullptr && pixels_ != nullptr) bound_->DetachPixels();
  bound_ = nullptr;
  image_ = nullptr;
  imageComponent_ = nullptr;
}

template <typename P>
void TQoSurface<P>::SetBitmap(IQoImage* bitmap) {
  if (bitmap != nullptr) StartBitmap(bitmap);
  image_ = nullptr;
  imageComponent_ = nullptr;
}

template <typename P>
void TQoSurface<P>::Notification(TQoComponent* component, TQoOperation operation) {
  if (component != nullptr && image_ != nullptr && imageComponent_ == component) {
    ImageNotification(image_, operation);
  }
  TQoComponent::Notification(component, operation);
}

template <typename P>
void TQoSurface<P>::ImageNotification(IQoImage* image, TQoOperation operation) {
  if (operation != TQoOperation::opRemove || image_ == nullptr || image != image_) return;
  // The image control is going away and takes the shown picture with it: start over with fresh
  // pixel memory of the same size.
  bound_ = nullptr;
  image_ = nullptr;
  imageComponent_ = nullptr;
  if (dcHeld_) ReleaseBmpDC();
  delete[] pixels_;
  pixels_ = nullptr;
  pitch_ = 0;
  InitDib();
}

// ---- Change notification -----------------------------------------------------------------------

template <typename P>
void TQoSurface<P>::FlushToBitmap() {
  BeforeBitmapChange();
  bound_->Invalidate();
  pending_ = false;
}

template <typename P>
void TQoSurface<P>::SetModified(const TQoRect& /*rect*/) {
  if (bound_ != nullptr) {
    pending_ = true;
    if (notifySw_) FlushToBitmap();
  }
  Change();
}

template <typename P>
void TQoSurface<P>::SetModified(int x1, int y1, int x2, int y2) {
  if (bound_ == nullptr) return;
  SetModified(QoRect(std::min(x1, x2), std::min(y1, y2), std::max(x1, x2), std::max(y1, y2)));
}

template <typename P>
void TQoSurface<P>::SetModified() {
  if (bound_ == nullptr) return;
  SetModified(QoRect(0, 0, width_ - 1, height_ - 1));
}

template <typename P>
void TQoSurface<P>::ChgModifiedSw(bool on) {
  if (!notifySw_ && on) {
    if (bound_ != nullptr && pending_) FlushToBitmap();
    pending_ = false;
    depth_ = 0;
  } else if (depth_ == 0 && !on) {
    depth_ = 1;
  }
  notifySw_ = on;
}

template <typename P>
void TQoSurface<P>::ModifiedOff() {
  ++depth_;
  if (notifySw_) ChgModifiedSw(false);
}

template <typename P>
void TQoSurface<P>::ModifiedOn() {
  if (depth_ > 0) {
    --depth_;
    if (depth_ == 0) ChgModifiedSw(true);
  }
}

template <typename P>
void TQoSurface<P>::Change() {
  if (OnChange) OnChange(this);
}

// ---- Memory contexts ---------------------------------------------------------------------------

template <typename P>
TQoDC* TQoSurface<P>::GetBmpDC() {
  if (pixels_ == nullptr) return nullptr;
  if (bound_ == nullptr) {
    if (dcHeld_) return nullptr;
    dcHeld_ = true;
  }
  const TQoPixelView v = View();
  dc_ = TQoDC{static_cast<std::uint8_t*>(v.bits), v.width, v.height, v.pitchBytes, static_cast<int>(sizeof(P))};
  return &dc_;
}

template <typename P>
void TQoSurface<P>::ReleaseBmpDC() {
  dcHeld_ = false;
}

template <typename P>
bool TQoSurface<P>::PutBitBlt(int x, int y, const TQoDC* source, int sx, int sy, int w, int h) {
  if (pixels_ == nullptr || source == nullptr || source->bits == nullptr ||
      source->bytesPerPixel != static_cast<int>(sizeof(P))) {
    return false;
  }
  I64 dx = x, dy = y, ssx = sx, ssy = sy, ww = w, hh = h;
  if (ClipBoth(dx, dy, ssx, ssy, ww, hh, width_, height_, source->width, source->height)) {
    // Through a temporary: the source may be this surface's own memory.
    const std::size_t rowBytes = static_cast<std::size_t>(ww) * sizeof(P);
    std::vector<std::uint8_t> tmp(rowBytes * static_cast<std::size_t>(hh));
    for (I64 j = 0; j < hh; ++j) {
      std::memcpy(tmp.data() + j * rowBytes, source->bits + (ssy + j) * source->pitchBytes + ssx * sizeof(P), rowBytes);
    }
    for (I64 j = 0; j < hh; ++j) {
      std::memcpy(pixels_ + (dy + j) * pitch_ + dx, tmp.data() + j * rowBytes, rowBytes);
    }
  }
  SetModified(x, y, ToInt(I64{x} + w - 1), ToInt(I64{y} + h - 1));
  return true;
}

template <typename P>
bool TQoSurface<P>::GetBitBlt(TQoDC* dest, int dx, int dy, int sx, int sy, int w, int h) {
  if (pixels_ == nullptr || dest == nullptr || dest->bits == nullptr ||
      dest->bytesPerPixel != static_cast<int>(sizeof(P))) {
    return false;
  }
  I64 ddx = dx, ddy = dy, ssx = sx, ssy = sy, ww = w, hh = h;
  if (!ClipBoth(ddx, ddy, ssx, ssy, ww, hh, dest->width, dest->height, width_, height_)) return true;
  const std::size_t rowBytes = static_cast<std::size_t>(ww) * sizeof(P);
  std::vector<std::uint8_t> tmp(rowBytes * static_cast<std::size_t>(hh));
  for (I64 j = 0; j < hh; ++j) std::memcpy(tmp.data() + j * rowBytes, pixels_ + (ssy + j) * pitch_ + ssx, rowBytes);
  for (I64 j = 0; j < hh; ++j) {
    std::memcpy(dest->bits + (ddy + j) * dest->pitchBytes + ddx * sizeof(P), tmp.data() + j * rowBytes, rowBytes);
  }
  return true;
}

// ---- Blit engine -------------------------------------------------------------------------------

template <typename P>
bool TQoSurface<P>::QoPutPat(int x, int y, int w, int h, const P* pattern, int pitch, bool keyed, P key) {
  if (reverse_) return QoPutPatR(x, y, w, h, pattern, pitch, keyed, key);
  if (pixels_ == nullptr || pattern == nullptr) return false;
  const I64 pi = std::max(pitch, w);
  I64 X = x, Y = y, W = w, H = h, off = 0;
  if (X < 0) {
    W += X;
    off -= X;
    X = 0;
  }
  if (X + W > width_) W = width_ - X;
  if (Y < 0) {
    H += Y;
    off -= Y * pi;
    Y = 0;
  }
  if (Y + H > height_) H = height_ - Y;
  if (W < 1 || H < 1) return true;
  const P* src = pattern + off;
  P* dst = pixels_ + Y * pitch_ + X;
  const TQoMethod m = method_;
  if constexpr (std::is_same_v<P, TQoRGB>) {
    if (keyed) {
      KeyedRows3<false>(m, dst, pitch_, src, pi, W, H, key);
      return true;
    }
  }
  if (m == Qo_SET) {
    for (I64 j = 0; j < H; ++j, src += pi, dst += pitch_) {
      if constexpr (std::is_same_v<P, std::uint8_t>) {
        if (keyed) {
          Rows<P>::CopyK(dst, src, static_cast<unsigned>(W), key);
          continue;
        }
      }
      Rows<P>::Copy(dst, src, static_cast<unsigned>(W));
    }
    return true;
  }
  WithMethod(m, [&](auto M) {
    for (I64 j = 0; j < H; ++j, src += pi, dst += pitch_) BlendRow<decltype(M)::value>(dst, src, W, 1, keyed, key);
  });
  return true;
}

template <typename P>
bool TQoSurface<P>::QoPutPatR(int x, int y, int w, int h, const P* pattern, int pitch, bool keyed, P key) {
  if (!reverse_ || pixels_ == nullptr || pattern == nullptr) return false;
  const I64 pi = std::max(pitch, w);
  I64 W = w, H = h, Y = y, off = 0;
  I64 right = I64{x} + w - 1;
  if (right >= width_) {
    const I64 cut = right + 1 - width_;
    W -= cut;
    off += cut;
    right = width_ - 1;
  }
  if (right + 1 - W < 0) W = right + 1;
  if (Y < 0) {
    H += Y;
    off -= Y * pi;
    Y = 0;
  }
  if (Y + H > height_) H = height_ - Y;
  if (W < 1 || H < 1) return true;
  const P* src = pattern + off;
  const TQoMethod m = method_;
  if constexpr (std::is_same_v<P, TQoRGB>) {
    if (keyed) {
      KeyedRows3<true>(m, pixels_ + Y * pitch_ + right, pitch_, src, pi, W, H, key);
      return true;
    }
  }
  if (m == Qo_SET) {
    P* dst = pixels_ + Y * pitch_ + (right - W + 1);
    for (I64 j = 0; j < H; ++j, src += pi, dst += pitch_) {
      if constexpr (std::is_same_v<P, std::uint8_t>) {
        if (keyed) {
          Rows<P>::CopyRK(dst, src, static_cast<unsigned>(W), key);
          continue;
        }
      }
      Rows<P>::CopyR(dst, src, static_cast<unsigned>(W));
    }
    return true;
  }
  P* dst = pixels_ + Y * pitch_ + right;
  WithMethod(m, [&](auto M) {
    for (I64 j = 0; j < H; ++j, src += pi, dst += pitch_) BlendRow<decltype(M)::value>(dst, src, W, -1, keyed, key);
  });
  return true;
}

template <typename P>
bool TQoSurface<P>::QoPutPatM(int x, int y, int w, int h, const P* pattern, int pitch, const std::uint8_t* mask,
                              int maskWidth, int maskHeight) {
  if (reverse_) return QoPutPatMR(x, y, w, h, pattern, pitch, mask, maskWidth, maskHeight);
  if (mask == nullptr || pixels_ == nullptr || pattern == nullptr) return false;
  if (maskWidth < 1 || maskHeight < 1) return false;  // an empty mask draws nothing
  const I64 pi = std::max(pitch, w);
  const I64 maskRowBytes = (I64{maskWidth} + 7) / 8;
  const I64 X = x, Y = y, W = w, H = h;
  const TQoMethod m = method_;
  // Block rows and columns that land on the surface; the mask stays anchored to the block.
  const I64 j0 = std::max<I64>(0, -Y), j1 = std::min<I64>(H, height_ - Y);
  const I64 i0 = std::max<I64>(0, -X), i1 = std::min<I64>(W, width_ - X);
  if (j0 >= j1 || i0 >= i1) return true;
  const bool inside = X >= 0 && X + W <= width_ && Y >= 0 && Y + H <= height_;
  for (I64 j = j0; j < j1; ++j) {
    const P* src = pattern + j * pi;
    P* dst = pixels_ + (Y + j) * pitch_ + X;
    const std::uint8_t* mrow = mask + (j % maskHeight) * maskRowBytes;
    if (m == Qo_SET && inside) {
      Rows<P>::CopyM(dst, src, static_cast<unsigned>(W), mrow, static_cast<unsigned>(maskWidth));
      continue;
    }
    I64 k = i0 % maskWidth;
    for (I64 i = i0; i < i1; ++i) {
      if (MaskBit(mrow, k)) ApplyPixel(m, dst + i, src[i]);
      if (++k >= maskWidth) k = 0;
    }
  }
  return true;
}

template <typename P>
bool TQoSurface<P>::QoPutPatMR(int x, int y, int w, int h, const P* pattern, int pitch, const std::uint8_t* mask,
                               int maskWidth, int maskHeight) {
  if (!reverse_ || mask == nullptr || pixels_ == nullptr || pattern == nullptr) return false;
  if (maskWidth < 1 || maskHeight < 1) return false;
  const I64 pi = std::max(pitch, w);
  const I64 maskRowBytes = (I64{maskWidth} + 7) / 8;
  const I64 X = x, Y = y, W = w, H = h;
  const I64 right = X + W - 1;  // source column k lands on right - k
  const TQoMethod m = method_;
  const I64 j0 = std::max<I64>(0, -Y), j1 = std::min<I64>(H, height_ - Y);
  const I64 k0 = std::max<I64>(0, right - (width_ - 1)), k1 = std::min<I64>(W, right + 1);
  if (j0 >= j1 || k0 >= k1) return true;
  const bool inside = X >= 0 && X + W <= width_ && Y >= 0 && Y + H <= height_;
  for (I64 j = j0; j < j1; ++j) {
    const P* src = pattern + j * pi;
    P* row = pixels_ + (Y + j) * pitch_;
    const std::uint8_t* mrow = mask + (j % maskHeight) * maskRowBytes;
    if (m == Qo_SET && inside) {
      Rows<P>::CopyRM(row + X, src, static_cast<unsigned>(W), mrow, static_cast<unsigned>(maskWidth));
      continue;
    }
    I64 bit = k0 % maskWidth;
    for (I64 k = k0; k < k1; ++k) {
      if (MaskBit(mrow, bit)) ApplyPixel(m, row + (right - k), src[k]);
      if (++bit >= maskWidth) bit = 0;
    }
  }
  return true;
}

template <typename P>
bool TQoSurface<P>::PutPat(int x, int y, int w, int h, const P* pattern) {
  return PutPat2(x, y, w, h, pattern, w);
}

template <typename P>
bool TQoSurface<P>::PutPat2(int x, int y, int w, int h, const P* pattern, int pitch) {
  const bool ok = QoPutPat(x, y, w, h, pattern, pitch, false, P{});
  if (ok) SetModified(x, y, ToInt(I64{x} + w - 1), ToInt(I64{y} + h - 1));
  return ok;
}

template <typename P>
bool TQoSurface<P>::PasPat(int x, int y, int w, int h, const P* pattern, P key) {
  return PasPat2(x, y, w, h, pattern, w, key);
}

template <typename P>
bool TQoSurface<P>::PasPat2(int x, int y, int w, int h, const P* pattern, int pitch, P key) {
  const bool ok = QoPutPat(x, y, w, h, pattern, pitch, true, key);
  if (ok) SetModified(x, y, ToInt(I64{x} + w - 1), ToInt(I64{y} + h - 1));
  return ok;
}

template <typename P>
bool TQoSurface<P>::PasMPat(int x, int y, int w, int h, const P* pattern, const std::uint8_t* mask, int maskWidth,
                            int maskHeight) {
  const bool ok = QoPutPatM(x, y, w, h, pattern, w, mask, maskWidth, maskHeight);
  if (ok) SetModified(x, y, ToInt(I64{x} + w - 1), ToInt(I64{y} + h - 1));
  return ok;
}

template <typename P>
void TQoSurface<P>::ApplyPixel(TQoMethod method, P* d, P s) const {
  switch (method) {
    case Qo_AND: Apply<Qo_AND>(d, s); break;
    case Qo_OR: Apply<Qo_OR>(d, s); break;
    case Qo_XOR: Apply<Qo_XOR>(d, s); break;
    case Qo_ADD: Apply<Qo_ADD>(d, s); break;
    case Qo_SUB: Apply<Qo_SUB>(d, s); break;
    case Qo_MED: Apply<Qo_MED>(d, s); break;
    default: *d = s; break;
  }
}

// ---- Primitives --------------------------------------------------------------------------------

template <typename P>
void TQoSurface<P>::Cls() {
  if (pixels_ == nullptr) return;
  std::memset(static_cast<void*>(pixels_), 0, static_cast<std::size_t>(pitch_) * height_ * sizeof(P));
  SetModified();
}

template <typename P>
bool TQoSurface<P>::PSet(int x, int y, P colour) {
  if (pixels_ == nullptr || x < 0 || x >= width_ || y < 0 || y >= height_) return false;
  ApplyPixel(method_, pixels_ + static_cast<std::size_t>(y) * pitch_ + x, colour);
  SetModified(x, y, x, y);
  return true;
}

template <typename P>
P TQoSurface<P>::PGet(int x, int y) const {
  if (pixels_ == nullptr || x < 0 || x >= width_ || y < 0 || y >= height_) return P{};
  return pixels_[static_cast<std::size_t>(y) * pitch_ + x];
}

template <typename P>
bool TQoSurface<P>::QoLine(int x1, int y1, int x2, int y2, P colour, bool continued) {
  if (pixels_ == nullptr) return false;
  x1 = ClampCoord(x1);
  y1 = ClampCoord(y1);
  x2 = ClampCoord(x2);
  y2 = ClampCoord(y2);
  if (y2 < y1) {
    std::swap(x1, x2);
    std::swap(y1, y2);
  }
  const int step = x1 < x2 ? 1 : -1;
  const int dx = std::abs(x2 - x1) + 1;
  const int dy = y2 - y1 + 1;
  const TQoMethod m = method_;
  auto plot = [&](int px, int py) {
    if (px >= 0 && px < width_ && py >= 0 && py < height_) {
      ApplyPixel(m, pixels_ + static_cast<std::size_t>(py) * pitch_ + px, colour);
    }
  };
  if (!continued) plot(x1, y1);
  int x = x1, y = y1, err = 0;
  const int steps = std::max(dx, dy);  // the walk reaches the end after steps - 1 moves
  for (int n = 1; n < steps; ++n) {
    if (dy < dx) {
      err += dy;
      if (err >= dx) {
        err -= dx;
        ++y;
      }
      x += step;
    } else {
      err += dx;
      if (err >= dy) {
        err -= dy;
        x += step;
      }
      ++y;
    }
    if (x == x2 && y == y2) break;
    plot(x, y);
  }
  // A line whose ends coincide is drawn once.
  if (!continued && !(x1 == x2 && y1 == y2)) plot(x2, y2);
  return true;
}

template <typename P>
bool TQoSurface<P>::Line(int x1, int y1, int x2, int y2, P colour) {
  if (pixels_ == nullptr) return false;
  const bool ok = QoLine(x1, y1, x2, y2, colour, false);
  SetModified(x1, y1, x2, y2);
  curX_ = x2;
  curY_ = y2;
  return ok;
}

template <typename P>
bool TQoSurface<P>::CLine(int x, int y, P colour) {
  if (pixels_ == nullptr) return false;
  const bool ok = QoLine(curX_, curY_, x, y, colour, true);
  PSet(x, y, colour);
  SetModified(curX_, curY_, x, y);
  curX_ = x;
  curY_ = y;
  return ok;
}

template <typename P>
bool TQoSurface<P>::Box(int x1, int y1, int x2, int y2, P colour) {
  if (pixels_ == nullptr) return false;
  x1 = ClampCoord(x1);
  y1 = ClampCoord(y1);
  x2 = ClampCoord(x2);
  y2 = ClampCoord(y2);
  bool ok = true;
  if (x1 == x2 || y1 == y2) {
    ok = QoLine(x1, y1, x2, y2, colour, false);
  } else {
    // Each outline pixel exactly once, which matters for the combining methods.
    ok = QoLine(x1, y1, x2, y1, colour, false) && ok;
    ok = QoLine(x1, y1, x1, y2, colour, true) && ok;
    ok = QoLine(x1, y2, x2, y2, colour, false) && ok;
    ok = QoLine(x2, y1, x2, y2, colour, true) && ok;
  }
  SetModified(x1, y1, x2, y2);
  return ok;
}

template <typename P>
bool TQoSurface<P>::QoBoxFill(int x1, int y1, int x2, int y2, P colour, const std::uint8_t* mask, int maskWidth,
                              int maskHeight) {
  if (pixels_ == nullptr) return false;
  if (mask != nullptr && (maskWidth < 1 || maskHeight < 1)) return false;  // an empty mask draws nothing
  x1 = ClampCoord(x1);
  y1 = ClampCoord(y1);
  x2 = ClampCoord(x2);
  y2 = ClampCoord(y2);
  if (x2 < x1) std::swap(x1, x2);
  if (y2 < y1) std::swap(y1, y2);
  const int cx1 = std::max(x1, 0), cx2 = std::min(x2, width_ - 1);
  const int cy1 = std::max(y1, 0), cy2 = std::min(y2, height_ - 1);
  if (cx1 > cx2 || cy1 > cy2) return true;
  const TQoMethod m = method_;
  if (mask == nullptr && m == Qo_SET) {
    // Corners are inclusive: a box one pixel wide or high is drawn as well.
    for (int y = cy1; y <= cy2; ++y) {
      P* row = pixels_ + static_cast<std::size_t>(y) * pitch_;
      std::fill(row + cx1, row + cx2 + 1, colour);
    }
    return true;
  }
  const I64 maskRowBytes = (I64{maskWidth} + 7) / 8;
  for (int y = cy1; y <= cy2; ++y) {
    P* row = pixels_ + static_cast<std::size_t>(y) * pitch_;
    if (mask == nullptr) {
      for (int x = cx1; x <= cx2; ++x) ApplyPixel(m, row + x, colour);
      continue;
    }
    // The mask is anchored at the box's top-left corner, also where that lies outside.
    const std::uint8_t* mrow = mask + ((y - y1) % maskHeight) * maskRowBytes;
    int k = (cx1 - x1) % maskWidth;
    for (int x = cx1; x <= cx2; ++x) {
      if (MaskBit(mrow, k)) ApplyPixel(m, row + x, colour);
      if (++k >= maskWidth) k = 0;
    }
  }
  return true;
}

template <typename P>
bool TQoSurface<P>::BoxFill(int x1, int y1, int x2, int y2, P colour) {
  const bool ok = QoBoxFill(x1, y1, x2, y2, colour, nullptr, 0, 0);
  if (ok) SetModified(x1, y1, x2, y2);
  return ok;
}

template <typename P>
bool TQoSurface<P>::BoxFillM(int x1, int y1, int x2, int y2, P colour, const std::uint8_t* mask, int maskWidth,
                             int maskHeight) {
  const bool ok = QoBoxFill(x1, y1, x2, y2, colour, mask, maskWidth, maskHeight);
  if (ok) SetModified(x1, y1, x2, y2);
  return ok;
}

template <typename P>
bool TQoSurface<P>::QoGetPat(int x, int y, int w, int h, P* buffer) const {
  if (pixels_ == nullptr || buffer == nullptr) return false;
  const I64 stride = w;  // buffer rows are the requested width apart
  I64 X = x, Y = y, W = w, H = h, off = 0;
  if (X < 0) {
    W += X;
    off -= X;
    X = 0;
  }
  if (X + W > width_) W = width_ - X;
  if (Y < 0) {
    H += Y;
    off -= Y * stride;
    Y = 0;
  }
  if (Y + H > height_) H = height_ - Y;
  if (W < 1 || H < 1) return true;
  for (I64 j = 0; j < H; ++j) {
    std::memcpy(static_cast<void*>(buffer + off + j * stride), pixels_ + (Y + j) * pitch_ + X,
                static_cast<std::size_t>(W) * sizeof(P));
  }
  return true;
}

template class TQoSurface<TQoRGB>;
template class TQoSurface<std::uint8_t>;

}  // namespace vdmq
