// The blit engine and the box fill against a pixel-by-pixel restatement of their rules: block
// pixel (i, j) lands on column x + i (mirrored: x + w - 1 - i) of row y + j when that lies on the
// surface; a key pixel is skipped; a mask bit (i mod mask width) of mask row (j mod mask height)
// decides, anchored to the block; the raster method combines each byte. Random blocks over every
// edge, with and without mirroring, under all eight methods, must give exactly those pixels on
// both the 24-bit and the 8-bit surface; the columns beyond Width are never written. Lines are
// checked against their error walk, counting how often each pixel is drawn.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <random>
#include <vector>

#include "qolib/graphics/QoDib.h"
#include "qolib/graphics/QoTDib.h"

namespace vdmq {
namespace {

std::uint8_t Op(int m, std::uint8_t d, std::uint8_t s) {
  switch (m) {
    case Qo_AND: return d & s;
    case Qo_OR: return d | s;
    case Qo_XOR: return d ^ s;
    case Qo_ADD: return static_cast<std::uint8_t>(d + s >= 255 ? 255 : d + s);
    case Qo_SUB: return static_cast<std::uint8_t>(s >= d ? 0 : d - s);
    case Qo_MED: return static_cast<std::uint8_t>((d + s) / 2);
    default: return s;  // Qo_SET, Qo_NOT, anything above 7
  }
}
void OpPixel(int m, TQoRGB* d, const TQoRGB& s) {
  d->b = Op(m, d->b, s.b);
  d->g = Op(m, d->g, s.g);
  d->r = Op(m, d->r, s.r);
}
void OpPixel(int m, std::uint8_t* d, const std::uint8_t& s) { *d = Op(m, *d, s); }

bool Bit(const std::vector<std::uint8_t>& mask, int mw, int i, int j, int mh) {
  const int row = j % mh, k = i % mw;
  return (mask[static_cast<size_t>(row * ((mw + 7) / 8) + k / 8)] & (0x80 >> (k % 8))) != 0;
}

template <typename P>
P RandomPixel(std::mt19937& rng);
template <>
TQoRGB RandomPixel<TQoRGB>(std::mt19937& rng) {
  // A few colours, so that keys hit; bytes near the ends, so that sums and differences clamp.
  static const std::uint8_t v[] = {0, 1, 60, 61, 127, 128, 200, 254, 255};
  return TQoRGB(v[rng() % 9], v[rng() % 9], v[rng() % 9]);
}
template <>
std::uint8_t RandomPixel<std::uint8_t>(std::mt19937& rng) {
  static const std::uint8_t v[] = {0, 1, 60, 61, 127, 128, 200, 254, 255};
  return v[rng() % 9];
}

// The key with one byte changed.
TQoRGB NearKey(const TQoRGB& key, std::mt19937& rng) {
  TQoRGB p = key;
  std::uint8_t* b[] = {&p.b, &p.g, &p.r};
  *b[rng() % 3] ^= static_cast<std::uint8_t>(1 + rng() % 255);
  return p;
}
std::uint8_t NearKey(std::uint8_t key, std::mt19937& rng) { return static_cast<std::uint8_t>(key ^ (1 + rng() % 255)); }

// Fills the surface's memory, the columns beyond Width included, with random pixels and returns a
// copy of it: the reference the expected drawing is applied to.
template <typename P, typename Surface>
std::vector<P> RandomDestination(Surface& s, std::mt19937& rng) {
  std::vector<P> ref(static_cast<size_t>(s.RowPitch()) * s.Height());
  for (auto& p : ref) p = RandomPixel<P>(rng);
  std::copy(ref.begin(), ref.end(), s.Pixels());
  return ref;
}

// A random mask of 1..11 by 1..3 bits, rows padded to whole bytes.
struct TRandomMask {
  int mw, mh;
  std::vector<std::uint8_t> bits;
};
TRandomMask RandomMask(std::mt19937& rng) {
  TRandomMask m;
  m.mw = 1 + static_cast<int>(rng() % 11);
  m.mh = 1 + static_cast<int>(rng() % 3);
  m.bits.resize(static_cast<size_t>(m.mh * ((m.mw + 7) / 8)));
  for (auto& b : m.bits) b = static_cast<std::uint8_t>(rng());
  return m;
}

template <typename Surface, typename P>
void RunBlits(Surface& s, unsigned seed) {
  std::mt19937 rng(seed);
  const int W = s.Width(), H = s.Height(), pitch = s.RowPitch();
  for (int round = 0; round < 3000; ++round) {
    std::vector<P> ref = RandomDestination<P>(s, rng);

    // Mostly narrow blocks; every fourth one wide (rows of many pixels take other paths).
    const int w = static_cast<int>(rng() % (round % 4 == 0 ? 70 : 22)), h = static_cast<int>(rng() % 16);
    const int x = static_cast<int>(rng() % (W + 30)) - 22, y = static_cast<int>(rng() % 36) - 16;
    const int pp = std::max(w, 1) + static_cast<int>(rng() % 3) - 1;  // below w acts as w
    const int rows = std::max(h, 1), cols = std::max(pp, w);
    std::vector<P> pat(static_cast<size_t>(rows) * cols + 1);
    for (auto& p : pat) p = RandomPixel<P>(rng);
    const int method = static_cast<int>(rng() % 9);  // 8: above 7, acts as Qo_SET
    const bool reverse = rng() % 2;
    const int kind = static_cast<int>(rng() % 3);  // 0 plain, 1 keyed, 2 masked
    const P key = pat[rng() % pat.size()];
    if (kind == 1) {
      // Runs of the key, as sprites have them, and pixels that differ from it in one byte only.
      for (auto& p : pat) {
        const unsigned r = rng() % 6;
        if (r < 2) p = key;
        if (r == 2) p = NearKey(key, rng);
      }
    }
    const TRandomMask rm = RandomMask(rng);
    const int mw = rm.mw, mh = rm.mh;
    const std::vector<std::uint8_t>& mask = rm.bits;

    for (int j = 0; j < h; ++j) {
      for (int i = 0; i < w; ++i) {
        const int dx = reverse ? x + w - 1 - i : x + i, dy = y + j;
        if (dx < 0 || dx >= W || dy < 0 || dy >= H) continue;
        const P src = pat[static_cast<size_t>(j) * cols + i];
        if (kind == 1 && src == key) continue;
        if (kind == 2 && !Bit(mask, mw, i, j, mh)) continue;
        OpPixel(method, &ref[static_cast<size_t>(dy) * pitch + dx], src);
      }
    }
    s.SetMethod(static_cast<TQoMethod>(method));
    s.SetReverse(reverse);
    bool ok;
    if (kind == 2) {
      ok = s.QoPutPatM(x, y, w, h, pat.data(), pp, mask.data(), mw, mh);
    } else {
      ok = s.QoPutPat(x, y, w, h, pat.data(), pp, kind == 1, key);
    }
    ASSERT_TRUE(ok);
    ASSERT_TRUE(std::equal(ref.begin(), ref.end(), s.Pixels()))
        << "round " << round << " x " << x << " y " << y << " w " << w << " h " << h << " method " << method
        << " reverse " << reverse << " kind " << kind;
  }
  s.SetMethod(Qo_SET);
  s.SetReverse(false);
}

template <typename Surface, typename P>
void RunFills(Surface& s, unsigned seed) {
  std::mt19937 rng(seed);
  const int W = s.Width(), H = s.Height(), pitch = s.RowPitch();
  for (int round = 0; round < 3000; ++round) {
    std::vector<P> ref = RandomDestination<P>(s, rng);
    int x1 = static_cast<int>(rng() % 40) - 15, x2 = static_cast<int>(rng() % 40) - 15;
    int y1 = static_cast<int>(rng() % 30) - 10, y2 = static_cast<int>(rng() % 30) - 10;
    const P colour = RandomPixel<P>(rng);
    const int method = static_cast<int>(rng() % 9);
    const bool masked = rng() % 2;
    const TRandomMask rm = RandomMask(rng);
    const int mw = rm.mw, mh = rm.mh;
    const std::vector<std::uint8_t>& mask = rm.bits;
    const int ax = std::min(x1, x2), bx = std::max(x1, x2), ay = std::min(y1, y2), by = std::max(y1, y2);
    for (int yy = ay; yy <= by; ++yy) {
      for (int xx = ax; xx <= bx; ++xx) {
        if (xx < 0 || xx >= W || yy < 0 || yy >= H) continue;
        if (masked && !Bit(mask, mw, xx - ax, yy - ay, mh)) continue;
        OpPixel(method, &ref[static_cast<size_t>(yy) * pitch + xx], colour);
      }
    }
    s.SetMethod(static_cast<TQoMethod>(method));
    const bool ok =
        masked ? s.BoxFillM(x1, y1, x2, y2, colour, mask.data(), mw, mh) : s.BoxFill(x1, y1, x2, y2, colour);
    ASSERT_TRUE(ok);
    ASSERT_TRUE(std::equal(ref.begin(), ref.end(), s.Pixels()))
        << "round " << round << " (" << x1 << "," << y1 << ")-(" << x2 << "," << y2 << ") method " << method
        << " masked " << masked;
  }
  s.SetMethod(Qo_SET);
}

// The line walk as its rules say: ordered downwards, pixel counts dx and dy, error steps until the
// end is reached; the start and the end are drawn only when not continued. Counts how often each
// pixel is drawn (a pixel drawn twice would show under Qo_XOR).
std::vector<int> PlainLine(int W, int H, int pitch, int x1, int y1, int x2, int y2, bool continued) {
  std::vector<int> hits(static_cast<size_t>(pitch) * H, 0);
  auto plot = [&](int x, int y) {
    if (x >= 0 && x < W && y >= 0 && y < H) ++hits[static_cast<size_t>(y) * pitch + x];
  };
  if (y2 < y1) {
    std::swap(x1, x2);
    std::swap(y1, y2);
  }
  const int step = x1 < x2 ? 1 : -1;
  const int dx = std::abs(x2 - x1) + 1, dy = y2 - y1 + 1;
  int x = x1, y = y1, err = 0;
  if (!continued) plot(x, y);
  while (!(x == x2 && y == y2)) {
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
  // A line whose ends coincide is drawn once (the surface's choice for that case).
  if (!continued && !(x1 == x2 && y1 == y2)) plot(x2, y2);
  return hits;
}

}  // namespace

TEST(LineReference, PixelSetsMatchTheWalk) {
  TQoTrueDib d(nullptr, 13, 9);
  d.Loaded();
  ASSERT_TRUE(d.HasPixels());
  d.SetMethod(Qo_ADD);  // every drawing adds 1: the pixel holds how often it was drawn
  std::mt19937 rng(31);
  const TQoRGB one(1, 1, 1);
  for (int round = 0; round < 4000; ++round) {
    const int x1 = static_cast<int>(rng() % 40) - 13, y1 = static_cast<int>(rng() % 30) - 10;
    const int x2 = static_cast<int>(rng() % 40) - 13, y2 = static_cast<int>(rng() % 30) - 10;
    const bool continued = rng() % 4 == 0;
    std::fill(d.Pixels(), d.Pixels() + static_cast<size_t>(d.RowPitch()) * d.Height(), TQoRGB());
    ASSERT_TRUE(d.QoLine(x1, y1, x2, y2, one, continued));
    const std::vector<int> want = PlainLine(d.Width(), d.Height(), d.RowPitch(), x1, y1, x2, y2, continued);
    for (size_t i = 0; i < want.size(); ++i) {
      ASSERT_EQ(d.Pixels()[i].r, want[i])
          << "(" << x1 << "," << y1 << ")-(" << x2 << "," << y2 << ") continued " << continued << " at " << i;
    }
  }
}

TEST(BlitReference, TrueColourBlitsMatchThePixelRules) {
  TQoTrueDib d(nullptr, 13, 9);  // row pitch 16: three columns beyond Width
  d.Loaded();
  ASSERT_TRUE(d.HasPixels());
  RunBlits<TQoTrueDib, TQoRGB>(d, 11);
  RunFills<TQoTrueDib, TQoRGB>(d, 12);
  // Rows long enough for the blits' many-pixel paths; the second has no column beyond Width, so
  // a byte written past a row's last pixel lands on the next row or outside the memory.
  for (int width : {61, 52}) {
    TQoTrueDib wide(nullptr, width, 5);
    wide.Loaded();
    ASSERT_TRUE(wide.HasPixels());
    RunBlits<TQoTrueDib, TQoRGB>(wide, 13 + static_cast<unsigned>(width));
  }
}

TEST(BlitReference, PaletteBlitsMatchThePixelRules) {
  TQoDib d(nullptr, 13, 9);
  d.Loaded();
  ASSERT_TRUE(d.HasPixels());
  RunBlits<TQoDib, std::uint8_t>(d, 21);
  RunFills<TQoDib, std::uint8_t>(d, 22);
}

}  // namespace vdmq
