// Blit speed in megapixels per second, each blit beside its plain peer: full-surface opaque copies
// against memcpy, and keyed 32 x 32 sprite blits (PasPat2, every raster method, plain and mirrored)
// against a plain C loop that combines the non-key pixels the same way. One process, one core,
// thread CPU time, best of interleaved rounds (bench/BenchRun.h).
//
//   bench_graphics_blits [--rounds N] [--min-ms M] [--filter TEXT]

#include <cstdio>
#include <cstring>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "bench/BenchRun.h"
#include "qolib/graphics/QoTDib.h"

using namespace vdmq;

namespace {

constexpr int kW = 792;
constexpr int kH = 453;
constexpr int kSprite = 32;
constexpr int kSpritesAcross = kW / kSprite;
constexpr int kSpritesDown = kH / kSprite;
constexpr double kSpritePixels = static_cast<double>(kSpritesAcross) * kSpritesDown * kSprite * kSprite;

std::vector<TQoRGB> Picture(int w, int h, unsigned seed) {
  std::mt19937 rng(seed);
  std::vector<TQoRGB> p(static_cast<std::size_t>(w) * h);
  for (auto& c : p) {
    c = TQoRGB(static_cast<unsigned char>(rng()), static_cast<unsigned char>(rng()), static_cast<unsigned char>(rng()));
  }
  return p;
}

const TQoRGB kKey(255, 0, 255);

// A 32 x 32 frame with about a third of its pixels on the key (a round hull on a key background).
std::vector<TQoRGB> Sprite() {
  std::vector<TQoRGB> s = Picture(kSprite, kSprite, 7);
  for (int y = 0; y < kSprite; ++y) {
    for (int x = 0; x < kSprite; ++x) {
      if ((x - 16) * (x - 16) + (y - 16) * (y - 16) > 180)
        s[static_cast<size_t>(y * kSprite + x)] = kKey;
      else if (s[static_cast<size_t>(y * kSprite + x)] == kKey)
        s[static_cast<size_t>(y * kSprite + x)].g = 1;
    }
  }
  return s;
}

// ---- the plain peers: what a straightforward C loop does ----

unsigned char PlainOp(int m, unsigned char d, unsigned char s) {
  switch (m) {
    case Qo_AND: return d & s;
    case Qo_OR: return d | s;
    case Qo_XOR: return d ^ s;
    case Qo_ADD: return static_cast<unsigned char>(d + s > 255 ? 255 : d + s);
    case Qo_SUB: return static_cast<unsigned char>(d > s ? d - s : 0);
    case Qo_MED: return static_cast<unsigned char>((d + s) >> 1);
    default: return s;
  }
}

// The sprites all over a plain pixel array: non-key pixels combined under method m (a constant in
// each instantiation, as a hand-written loop would have it), mirrored when asked.
template <int M, bool Mirrored>
void PlainKeyedSprites(TQoRGB* dst, const TQoRGB* s) {
  for (int y = 0; y + kSprite <= kH; y += kSprite) {
    for (int x = 0; x + kSprite <= kW; x += kSprite) {
      for (int r = 0; r < kSprite; ++r) {
        TQoRGB* d = dst + static_cast<size_t>(y + r) * kW + x;
        const TQoRGB* src = s + r * kSprite;
        for (int i = 0; i < kSprite; ++i) {
          const TQoRGB p = src[i];
          if (p.b == kKey.b && p.g == kKey.g && p.r == kKey.r) continue;
          TQoRGB& q = d[Mirrored ? kSprite - 1 - i : i];
          q.b = PlainOp(M, q.b, p.b);
          q.g = PlainOp(M, q.g, p.g);
          q.r = PlainOp(M, q.r, p.r);
        }
      }
    }
  }
}

template <bool Mirrored>
void PlainKeyed(int m, TQoRGB* dst, const TQoRGB* s) {
  switch (m) {
    case Qo_AND: PlainKeyedSprites<Qo_AND, Mirrored>(dst, s); break;
    case Qo_OR: PlainKeyedSprites<Qo_OR, Mirrored>(dst, s); break;
    case Qo_XOR: PlainKeyedSprites<Qo_XOR, Mirrored>(dst, s); break;
    case Qo_ADD: PlainKeyedSprites<Qo_ADD, Mirrored>(dst, s); break;
    case Qo_SUB: PlainKeyedSprites<Qo_SUB, Mirrored>(dst, s); break;
    case Qo_MED: PlainKeyedSprites<Qo_MED, Mirrored>(dst, s); break;
    default: PlainKeyedSprites<Qo_SET, Mirrored>(dst, s); break;
  }
}

const char* const kMethodNames[] = {"SET", "NOT", "AND", "OR", "XOR", "ADD", "SUB", "MED"};

}  // namespace

int main(int argc, char** argv) {
  bench::PinToOneCore();
  const bench::TOptions options = bench::TOptions::Parse(argc, argv);

  const std::vector<TQoRGB> picture = Picture(kW, kH, 1);
  const std::vector<TQoRGB> sprite = Sprite();
  std::vector<TQoRGB> plain(static_cast<size_t>(kW) * kH);
  TQoTrueDib dib(nullptr, kW, kH), base(nullptr, kW, kH);
  dib.InitDib();
  base.InitDib();
  base.PutPat(0, 0, kW, kH, picture.data());

  std::vector<bench::TCase> cases;
  std::map<std::string, double> pixels;
  auto add = [&](const std::string& name, double px, std::function<void()> body) {
    if (!options.Wants(name)) return;
    cases.push_back({name, std::move(body)});
    pixels[name] = px;
  };
  const double full = static_cast<double>(kW) * kH;
  add("full surface: memcpy", full, [&] { std::memcpy(plain.data(), picture.data(), picture.size() * 3); });
  add("full surface: PutPat", full, [&] {
    dib.SetMethod(Qo_SET);
    dib.SetReverse(false);
    dib.PutPat(0, 0, kW, kH, picture.data());
  });
  add("full surface: PutDib", full, [&] {
    dib.SetMethod(Qo_SET);
    dib.SetReverse(false);
    dib.PutDib(0, 0, &base, 0, 0, kW, kH);
  });
  add("sprites: memcpy", kSpritePixels, [&] {
    for (int y = 0; y + kSprite <= kH; y += kSprite) {
      for (int x = 0; x + kSprite <= kW; x += kSprite) {
        for (int r = 0; r < kSprite; ++r) {
          std::memcpy(&plain[static_cast<size_t>(y + r) * kW + x], &sprite[static_cast<size_t>(r * kSprite)],
                      kSprite * 3);
        }
      }
    }
  });
  for (int m = 0; m < 8; ++m) {
    if (m == Qo_NOT) continue;  // the same operation as Qo_SET
    for (bool mirrored : {false, true}) {
      const std::string what = std::string("keyed ") + kMethodNames[m] + (mirrored ? " mirrored" : "");
      add(what + ": plain loop", kSpritePixels, [&, m, mirrored] {
        if (mirrored)
          PlainKeyed<true>(m, plain.data(), sprite.data());
        else
          PlainKeyed<false>(m, plain.data(), sprite.data());
      });
      add(what + ": PasPat2", kSpritePixels, [&, m, mirrored] {
        dib.SetMethod(static_cast<TQoMethod>(m));
        dib.SetReverse(mirrored);
        for (int y = 0; y + kSprite <= kH; y += kSprite) {
          for (int x = 0; x + kSprite <= kW; x += kSprite)
            dib.PasPat2(x, y, kSprite, kSprite, sprite.data(), kSprite, kKey);
        }
      });
    }
  }

  std::printf("%zu cases, %d interleaved rounds of at least %.2f ms each, best round kept\n", cases.size(),
              options.rounds, options.minSeconds * 1000);
  bench::RunInterleaved(cases, options);
  std::map<std::string, double> rate;
  for (const bench::TCase& c : cases) {
    rate[c.name] = pixels[c.name] / c.best / 1e6;
    std::printf("%-36s %9.1f Mpixel/s\n", c.name.c_str(), rate[c.name]);
  }
  // Each blit against its peer (above 1: the blit is faster).
  std::printf("\n%-36s %s\n", "blit", "speed against its peer");
  auto ratio = [&](const std::string& ours, const std::string& peer) {
    if (rate.count(ours) && rate.count(peer)) {
      std::printf("%-36s %.2fx  (%s)\n", ours.c_str(), rate[ours] / rate[peer],
                  peer.substr(peer.find(':') + 2).c_str());
    }
  };
  ratio("full surface: PutPat", "full surface: memcpy");
  ratio("full surface: PutDib", "full surface: memcpy");
  for (int m = 0; m < 8; ++m) {
    for (bool mirrored : {false, true}) {
      const std::string what = std::string("keyed ") + kMethodNames[m] + (mirrored ? " mirrored" : "");
      ratio(what + ": PasPat2", what + ": plain loop");
    }
  }
  ratio("keyed SET: PasPat2", "sprites: memcpy");
  return 0;
}
