#include "tools/MapArt.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "tools/ArtStyle.h"
#include "tools/MapLegend.h"
#include "tools/Noise.h"

namespace vdmq::sample {

using raster::Rgb;
using raster::TCanvas;
using raster::TPoint;
using raster::TRgba;

bool InDiamond(int x, int y) {
  if (y < kDiamondTop || y >= kChipSize) return false;
  const int r = y - kDiamondTop;
  const int w = r <= 14 ? 2 * r + 1 : 59 - 2 * r;
  return x >= 30 - w && x <= 30 + w - 1;
}

namespace {

constexpr int kSs = 4;  // supersampling of the drawn chips

const std::vector<TPoint> kDiamond = {{30, 30}, {60, 45}, {30, 60}, {0, 45}};

// The diamond's own coordinates: (0, 0) at the top corner, (1, 0) right, (1, 1) bottom, (0, 1)
// left. A field that repeats with period 1 in them continues into every neighbour.
TPoint Lattice(float x, float y) {
  return {(x - 30.0f) / 60.0f + (y - 30.0f) / 30.0f, (y - 30.0f) / 30.0f - (x - 30.0f) / 60.0f};
}
TPoint FromLattice(float a, float b) { return {30.0f + 30.0f * (a - b), 30.0f + 15.0f * (a + b)}; }

// The sheet's palette: the war-torn sheet turns every colour towards ash and embers.
struct TTint {
  bool war = false;
  TRgba operator()(const TRgba& c) const {
    if (!war) return c;
    const float l = 0.35f * c.r + 0.5f * c.g + 0.15f * c.b;
    return raster::Mix(c, {std::min(1.0f, l * 1.35f + 0.04f), l * 0.62f, l * 0.42f, c.a}, 0.72f);
  }
  TRgba operator()(int r, int g, int b, float a = 1.0f) const { return (*this)(Rgb(r, g, b, a)); }
};

// A chip being drawn: its canvas, the variant's generator and the palette.
struct TChip {
  int group = 0, variant = 0;
  TTint tint;
  std::uint32_t groupSeed = 0;  // the same for every variant: the ground continues between them
  raster::TArtRng rng{0};
  TCanvas canvas{kChipSize, kChipSize, kSs};

  float Ground(float x, float y, int frequency, int octaves, std::uint32_t salt = 0) const {
    const TPoint l = Lattice(x, y);
    return raster::PeriodicFbm(l.x, l.y, frequency, groupSeed + salt, octaves);
  }
  // A point of the diamond away from its edges (margin in lattice units).
  TPoint Inside(float margin) {
    return FromLattice(rng.Range(margin, 1.0f - margin), rng.Range(margin, 1.0f - margin));
  }
};

void FillGround(TChip& c, const raster::TPaint& paint) { c.canvas.FillPolygon(kDiamond, paint); }

// The faint line along the diamond's two upper edges, so that each edge of a tiling is drawn once.
void GridLine(TChip& c, const TRgba& colour) {
  for (int r = 0; r <= 14; ++r) {
    const int w = 2 * r + 1;
    for (int x : {30 - w, 31 - w, 28 + w, 29 + w}) c.canvas.FillRect(x, 30 + r, x + 1, 31 + r, raster::Solid(colour));
  }
}

// An irregular lump lit from the upper left: a rock, a puff of cloud or a chunk of ice.
void Lump(TChip& c, TPoint centre, float rx, float ry, const TRgba& base, float roughness, float ambient,
          float specular, std::uint32_t seed) {
  std::vector<TPoint> pts;
  const int n = 28;
  for (int i = 0; i < n; ++i) {
    const float t = 2.0f * std::numbers::pi_v<float> * static_cast<float>(i) / n;
    const float k = 1.0f + roughness * (raster::PeriodicNoise(static_cast<float>(i) * 4.0f / n, 0.5f, 4, seed) - 0.5f);
    pts.push_back({centre.x + rx * k * std::cos(t), centre.y + ry * k * std::sin(t)});
  }
  c.canvas.FillPolygon(pts, [=](float x, float y) {
    float n3[3];
    const float u = std::clamp((x - centre.x) / (rx * 1.15f), -1.0f, 1.0f);
    const float v = std::clamp((y - centre.y) / (ry * 1.15f), -1.0f, 1.0f);
    const float d2 = std::min(1.0f, u * u + v * v);
    n3[0] = u;
    n3[1] = v;
    n3[2] = std::sqrt(1.0f - d2);
    const float bump = raster::ValueNoise(x * 0.6f, y * 0.6f, seed + 7);
    return art::LitColour(raster::Shade(base, 0.8f + 0.4f * bump), n3, ambient, specular);
  });
}

void Shadow(TChip& c, TPoint at, float rx, float ry, float strength) {
  c.canvas.FillEllipse(at, rx, ry, raster::Solid({0, 0, 0, strength}));
}

// ---- Navigable chips ------------------------------------------------------------------------

void OpenSpace(TChip& c) {
  for (int i = 0; i < c.variant; ++i) {
    const TPoint p = c.Inside(0.2f);
    c.canvas.FillRect(std::floor(p.x), std::floor(p.y), std::floor(p.x) + 1, std::floor(p.y) + 1,
                      raster::Solid(c.tint(58, 66, 96)));
  }
}

void Dust(TChip& c) {
  for (int i = 0; i < 9 + c.variant; ++i) {
    const TPoint p = c.Inside(0.08f);
    const bool grain = c.rng.Unit() < 0.3f;
    const TRgba col = c.tint(grain ? 112 : 84, grain ? 98 : 76, grain ? 80 : 66);
    const float x = std::floor(p.x), y = std::floor(p.y);
    c.canvas.FillRect(x, y, x + (grain ? 2.0f : 1.0f), y + 1, raster::Solid(col));
  }
}

// Nebula haze: a density field shown by an ordered dither, in two tones. The field is the same
// along every edge of the diamond, so neighbouring cells of a nebula join into one haze; inside,
// each variant swirls its own way.
void Haze(TChip& c, const TRgba& dark, const TRgba& light) {
  const std::uint32_t own = c.rng.Next();
  c.canvas.ForEachSample(0, 30, 60, 60, [&](float x, float y, TRgba& s) {
    const int px = static_cast<int>(x), py = static_cast<int>(y);
    if (!InDiamond(px, py)) return;
    const TPoint l = Lattice(x, y);
    const float inner = std::sqrt(
        std::max(0.0f, std::sin(std::numbers::pi_v<float> * l.x) * std::sin(std::numbers::pi_v<float> * l.y)));
    const float swirl = raster::Fbm(l.x * 3.0f, l.y * 3.0f, own, 3) - 0.5f;
    const float cover = std::clamp(0.3f + 0.75f * inner * swirl + 0.06f * inner, 0.0f, 0.7f);
    if (cover > raster::Bayer8(px, py)) s = cover > 0.36f ? light : dark;
  });
}

void IceGrains(TChip& c) {
  for (int i = 0; i < 5 + c.variant; ++i) {
    const TPoint p = c.Inside(0.12f);
    const float h = c.rng.Range(1.4f, 2.6f), w = h * c.rng.Range(0.6f, 1.0f);
    const std::vector<TPoint> rhomb = {{p.x, p.y - h}, {p.x + w, p.y}, {p.x, p.y + h}, {p.x - w, p.y}};
    c.canvas.FillPolygon(rhomb, raster::LinearGradient({p.x - w, p.y - h}, c.tint(236, 250, 255), {p.x + w, p.y + h},
                                                       c.tint(120, 176, 214)));
  }
}

// ---- Obstacles ------------------------------------------------------------------------------

void Rocks(TChip& c, int count, float rMin, float rMax, const TRgba& rock) {
  struct TRock {
    TPoint base;
    float r;
  };
  std::vector<TRock> rocks;
  for (int i = 0; i < count; ++i) rocks.push_back({c.Inside(0.24f), c.rng.Range(rMin, rMax)});
  std::sort(rocks.begin(), rocks.end(), [](const TRock& a, const TRock& b) { return a.base.y < b.base.y; });
  for (const TRock& k : rocks) {
    Shadow(c, {k.base.x + 2.0f, k.base.y}, k.r * 1.05f, k.r * 0.42f, 0.55f);
    Lump(c, {k.base.x, k.base.y - k.r * 0.55f}, k.r, k.r * 0.82f, raster::Shade(rock, c.rng.Range(0.8f, 1.15f)), 0.45f,
         0.2f, 0.08f, c.rng.Next());
  }
}

void Asteroids(TChip& c, bool dense) {
  const TRgba lo = c.tint(dense ? 36 : 28, dense ? 32 : 26, dense ? 30 : 26);
  const TRgba hi = c.tint(dense ? 84 : 62, dense ? 74 : 56, dense ? 64 : 50);
  FillGround(c, [&](float x, float y) {
    const float n = c.Ground(x, y, 3, 4);
    const float pits = raster::Smoothstep(0.62f, 0.75f, c.Ground(x, y, 6, 2, 11));
    return raster::Shade(raster::Mix(lo, hi, n), 1.0f - 0.35f * pits);
  });
  const TRgba rock = c.tint(110, 98, 86);
  if (dense) {
    Rocks(c, 4 + c.variant % 3, 4.5f, 10.5f, rock);
  } else {
    Rocks(c, 1 + c.variant % 2, 3.5f, 6.5f, rock);
  }
}

void Lightning(TChip& c, TPoint top, TPoint bottom) {
  std::vector<TPoint> bolt{top};
  const int steps = 6;
  for (int i = 1; i < steps; ++i) {
    const float t = static_cast<float>(i) / steps;
    bolt.push_back({top.x + (bottom.x - top.x) * t + c.rng.Range(-3.5f, 3.5f), top.y + (bottom.y - top.y) * t});
  }
  bolt.push_back(bottom);
  c.canvas.StrokePath(bolt, false, 3.2f, raster::Solid(c.tint(110, 150, 255, 0.35f)));
  c.canvas.StrokePath(bolt, false, 1.1f, raster::Solid(c.tint(226, 240, 255)));
}

void IonStorm(TChip& c) {
  FillGround(c, [&](float x, float y) {
    const float n = c.Ground(x, y, 2, 4);
    const float veins = art::Vein(c.Ground(x, y, 3, 3, 5), 0.06f);
    TRgba g = raster::Mix(c.tint(22, 14, 50), c.tint(78, 48, 150), n);
    g.r += veins * 0.25f;
    g.g += veins * 0.35f;
    g.b += veins * 0.5f;
    return g;
  });
  for (int i = 0; i < 3; ++i) {
    const TPoint p = c.Inside(0.28f);
    const float r = c.rng.Range(7.0f, 10.0f);
    Lump(c, {p.x, p.y - r * 0.7f}, r, r * 0.8f, c.tint(92, 64, 170), 0.35f, 0.35f, 0.0f, c.rng.Next());
  }
  const int bolts = 1 + c.variant % 2;
  for (int i = 0; i < bolts; ++i) {
    const TPoint g = c.Inside(0.3f);
    Lightning(c, {g.x + c.rng.Range(-6.0f, 6.0f), c.rng.Range(6.0f, 14.0f)}, g);
  }
}

void DarkCloud(TChip& c) {
  // A bank of dark dust rising over the whole cell: its top a billowing line some 8 to 16 pixels
  // above the diamond's upper edges, lit along its crest; its faces dark and swirling.
  const std::uint32_t own = c.rng.Next();
  auto rise = [&](float x) {
    return 9.0f + 7.0f * raster::Fbm(x * 0.09f, 0.5f, own, 3) + 2.0f * std::sin(x * 0.35f + own % 7);
  };
  std::vector<TPoint> bank;
  for (int i = 0; i <= 30; ++i) {
    const float x = 1.0f + 58.0f * static_cast<float>(i) / 30.0f;
    bank.push_back({x, 30.0f + std::fabs(x - 30.0f) / 2.0f - rise(x)});
  }
  bank.push_back({60.0f, 45.0f});
  bank.push_back({30.0f, 60.0f});
  bank.push_back({0.0f, 45.0f});
  c.canvas.FillPolygon(bank, [&](float x, float y) {
    const float crest = 30.0f + std::fabs(x - 30.0f) / 2.0f - rise(x);
    const float depth = y - crest;  // below the crest
    const float billow = raster::Fbm(x * 0.22f, y * 0.3f, own + 1, 4);
    TRgba col = raster::Mix(c.tint(40, 34, 56), c.tint(12, 10, 18), raster::Smoothstep(0.0f, 26.0f, depth));
    col = raster::Shade(col, 0.75f + 0.5f * billow);
    // The crest catches the light from the upper left; the right face is in shade.
    col =
        raster::Mix(col, c.tint(96, 86, 120),
                    0.7f * raster::Smoothstep(3.0f, 0.0f, depth) * (1.0f - 0.5f * raster::Smoothstep(20.0f, 60.0f, x)));
    return col;
  });
  // A few swelling puffs along the crest.
  for (int i = 0; i < 4; ++i) {
    const float x = c.rng.Range(10.0f, 50.0f);
    const float y = 30.0f + std::fabs(x - 30.0f) / 2.0f - rise(x) + 3.0f;
    Lump(c, {x, y}, c.rng.Range(3.5f, 5.5f), 3.2f, c.tint(62, 54, 82), 0.25f, 0.35f, 0.0f, c.rng.Next());
  }
}

void Prominence(TChip& c, TPoint a, TPoint b, float height) {
  std::vector<TPoint> arc;
  for (int i = 0; i <= 16; ++i) {
    const float t = static_cast<float>(i) / 16.0f;
    const float lift = std::sin(t * std::numbers::pi_v<float>) * height;
    arc.push_back({a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t - lift});
  }
  c.canvas.StrokePath(arc, false, 4.0f, raster::Solid(c.tint(255, 110, 20, 0.4f)));
  c.canvas.StrokePath(arc, false, 2.0f, raster::Solid(c.tint(255, 200, 90)));
}

void StarCorona(TChip& c) {
  FillGround(c, [&](float x, float y) {
    const float n = c.Ground(x, y, 2, 5);
    const float t = raster::Smoothstep(0.2f, 0.85f, n);
    return t < 0.5f ? raster::Mix(c.tint(130, 34, 4), c.tint(236, 112, 20), t * 2.0f)
                    : raster::Mix(c.tint(236, 112, 20), c.tint(255, 222, 130), t * 2.0f - 1.0f);
  });
  for (int i = 0; i < 1 + c.variant % 2; ++i) {
    const TPoint a = c.Inside(0.25f);
    const TPoint b{a.x + c.rng.Range(8.0f, 14.0f) * (c.rng.Unit() < 0.5f ? -1.0f : 1.0f),
                   a.y + c.rng.Range(-3.0f, 3.0f)};
    Prominence(c, a, b, c.rng.Range(12.0f, 22.0f));
  }
  // Flares rising from the surface.
  for (int i = 0; i < 3; ++i) {
    const TPoint p = c.Inside(0.25f);
    c.canvas.FillEllipse({p.x, p.y - 4.0f}, 2.0f, 6.0f, raster::Solid(c.tint(255, 170, 60, 0.8f)));
  }
}

void GravityWell(TChip& c) {
  const TPoint centre = FromLattice(0.5f, 0.5f);
  const float twist = c.rng.Range(0.0f, 6.28f);
  FillGround(c, [&](float x, float y) {
    const float dx = (x - centre.x) / 2.0f, dy = y - centre.y;  // the well is a circle seen at an angle
    const float r = std::sqrt(dx * dx + dy * dy) / 15.0f;
    const float angle = std::atan2(dy, dx);
    const float swirl = 0.5f + 0.5f * std::sin(r * 18.0f - angle * 2.0f + twist);
    const float fall = raster::Smoothstep(0.0f, 1.0f, r);
    TRgba g = raster::Mix(c.tint(6, 8, 22), c.tint(40, 64, 120), swirl * fall * 0.8f);
    const float ring = std::exp(-(r - 0.26f) * (r - 0.26f) / 0.004f);
    g.r += ring * 0.45f;
    g.g += ring * 0.62f;
    g.b += ring * 0.85f;
    if (r < 0.17f) g = raster::Mix(c.tint(2, 2, 6), g, raster::Smoothstep(0.1f, 0.17f, r));
    return g;
  });
  // Matter falling in: a few glowing motes above the well.
  for (int i = 0; i < 4; ++i) {
    const float a = c.rng.Range(0.0f, 6.28f), d = c.rng.Range(6.0f, 12.0f);
    c.canvas.FillEllipse({centre.x + 2.0f * d * std::cos(a), centre.y - 6.0f + d * std::sin(a)}, 1.2f, 1.2f,
                         raster::Solid(c.tint(170, 210, 255)));
  }
}

void Mine(TChip& c, TPoint at) {
  const float r = 3.6f;
  c.canvas.StrokeLine({at.x, at.y}, {at.x, at.y + 9.0f}, 0.8f, raster::Solid(c.tint(60, 66, 78)));
  Shadow(c, {at.x + 1.5f, at.y + 10.0f}, 4.0f, 1.6f, 0.5f);
  for (int i = 0; i < 8; ++i) {
    const float t = static_cast<float>(i) * std::numbers::pi_v<float> / 4.0f;
    c.canvas.StrokeLine(at, {at.x + std::cos(t) * r * 1.8f, at.y + std::sin(t) * r * 1.8f}, 1.0f,
                        raster::Solid(c.tint(120, 126, 140)));
  }
  c.canvas.FillEllipse(at, r, r, [&](float x, float y) {
    float n3[3];
    if (!raster::SphereNormal(at, r, x, y, n3)) return TRgba{0, 0, 0, 0};
    return art::LitColour(c.tint(92, 98, 112), n3, 0.25f, 0.5f);
  });
  c.canvas.FillEllipse({at.x + 0.8f, at.y + 0.6f}, 1.1f, 1.1f, raster::Solid(c.tint(255, 60, 40)));
}

void MineField(TChip& c) {
  FillGround(c, [&](float x, float y) {
    const TPoint l = Lattice(x, y);
    const float n = c.Ground(x, y, 2, 3);
    const float gx = std::fabs(std::fmod(l.x * 4.0f + 100.0f, 1.0f) - 0.5f);
    const float gy = std::fabs(std::fmod(l.y * 4.0f + 100.0f, 1.0f) - 0.5f);
    const float grid = 1.0f - raster::Smoothstep(0.42f, 0.5f, std::max(gx, gy));
    TRgba g = raster::Mix(c.tint(14, 20, 30), c.tint(32, 42, 58), n);
    g.r += (1.0f - grid) * 0.16f;
    g.g += (1.0f - grid) * 0.03f;
    return g;
  });
  const int mines = 2 + c.variant % 2;
  std::vector<TPoint> at;
  for (int i = 0; i < mines; ++i) {
    const TPoint base = c.Inside(0.26f);
    at.push_back({base.x, base.y - c.rng.Range(8.0f, 16.0f)});
  }
  std::sort(at.begin(), at.end(), [](const TPoint& a, const TPoint& b) { return a.y < b.y; });
  for (const TPoint& p : at) Mine(c, p);
}

void WreckField(TChip& c) {
  FillGround(c, [&](float x, float y) {
    const float n = c.Ground(x, y, 3, 4);
    const float scrap = raster::Smoothstep(0.66f, 0.7f, c.Ground(x, y, 8, 1, 9));
    return raster::Mix(raster::Mix(c.tint(20, 20, 24), c.tint(46, 46, 52), n), c.tint(96, 90, 84), scrap * 0.6f);
  });
  for (int i = 0; i < 2 + c.variant % 2; ++i) {
    const TPoint base = c.Inside(0.28f);
    const float len = c.rng.Range(9.0f, 16.0f), wid = c.rng.Range(4.0f, 7.0f);
    const float angle = c.rng.Range(-0.9f, 0.9f) - std::numbers::pi_v<float> / 2.0f;  // standing up
    const TPoint dir{std::cos(angle), std::sin(angle)}, across{-dir.y, dir.x};
    const TPoint foot{base.x, base.y};
    std::vector<TPoint> plate = {
        {foot.x - across.x * wid / 2, foot.y - across.y * wid / 2},
        {foot.x + across.x * wid / 2, foot.y + across.y * wid / 2},
        {foot.x + across.x * wid / 2 + dir.x * len, foot.y + across.y * wid / 2 + dir.y * len},
        {foot.x + dir.x * len * 0.8f, foot.y + dir.y * len * 0.8f + 2.0f},
        {foot.x - across.x * wid / 2 + dir.x * len * 0.9f, foot.y - across.y * wid / 2 + dir.y * len * 0.9f}};
    Shadow(c, {base.x + 2.0f, base.y + 0.5f}, wid * 0.9f, 2.0f, 0.5f);
    c.canvas.FillPolygon(
        plate, raster::LinearGradient({foot.x - across.x * wid, foot.y - across.y * wid}, c.tint(140, 146, 156),
                                      {foot.x + across.x * wid, foot.y + across.y * wid}, c.tint(58, 62, 72)));
    // Panel seams and a burnt edge still glowing.
    c.canvas.StrokeLine(
        {foot.x + dir.x * len * 0.35f, foot.y + dir.y * len * 0.35f},
        {foot.x + dir.x * len * 0.35f + across.x * wid * 0.45f, foot.y + dir.y * len * 0.35f + across.y * wid * 0.45f},
        0.7f, raster::Solid(c.tint(40, 42, 50)));
    c.canvas.StrokeLine(plate[2], plate[3], 1.2f, raster::Solid(c.tint(255, 130, 40, 0.85f)));
  }
  // A girder lying across.
  const TPoint g0 = c.Inside(0.3f);
  c.canvas.StrokeLine({g0.x - 8.0f, g0.y + 2.0f}, {g0.x + 8.0f, g0.y - 6.0f}, 1.6f,
                      raster::Solid(c.tint(110, 112, 120)));
}

void RadiationBelt(TChip& c) {
  c.canvas.FillPolygon(kDiamond, raster::Solid(c.tint(18, 30, 10)));
  c.canvas.ForEachSample(0, 30, 60, 60, [&](float x, float y, TRgba& s) {
    const int px = static_cast<int>(x), py = static_cast<int>(y);
    if (!InDiamond(px, py)) return;
    const TPoint l = Lattice(x, y);
    const float band =
        0.5f + 0.5f * std::sin((l.x + l.y) * std::numbers::pi_v<float> * 4.0f + 6.0f * c.Ground(x, y, 2, 2));
    const float glow = band * (0.55f + 0.45f * c.Ground(x, y, 2, 3, 4));
    const TRgba col = raster::Mix(c.tint(40, 70, 14), c.tint(190, 226, 60), glow);
    s = glow > raster::Bayer8(px, py) * 0.9f + 0.1f ? col : raster::Shade(col, 0.45f);
  });
  for (int i = 0; i < 5; ++i) {
    const TPoint p = c.Inside(0.2f);
    const float up = c.rng.Range(4.0f, 16.0f);
    c.canvas.FillEllipse({p.x, p.y - up}, 2.4f, 2.4f, raster::Solid(c.tint(170, 255, 90, 0.35f)));
    c.canvas.FillEllipse({p.x, p.y - up}, 1.1f, 1.1f, raster::Solid(c.tint(230, 255, 170)));
  }
}

// A faceted chunk: a few flat faces, lit from the upper left.
void Facets(TChip& c, TPoint base, float size, float height, const TRgba& light, const TRgba& mid, const TRgba& dark) {
  const TPoint top{base.x + c.rng.Range(-1.5f, 1.5f), base.y - height};
  const float w = size;
  const TPoint left{base.x - w, base.y - height * 0.35f}, right{base.x + w, base.y - height * 0.3f};
  const TPoint footL{base.x - w * 0.6f, base.y + 1.0f}, footR{base.x + w * 0.7f, base.y + 0.5f};
  const TPoint front{base.x + c.rng.Range(-1.0f, 1.0f), base.y - height * 0.2f};
  c.canvas.FillPolygon({top, left, front}, raster::Solid(light));
  c.canvas.FillPolygon({top, front, right}, raster::Solid(mid));
  c.canvas.FillPolygon({left, footL, footR, right, front}, raster::Solid(dark));
}

void CometIce(TChip& c) {
  FillGround(c, [&](float x, float y) {
    const float n = c.Ground(x, y, 3, 4);
    const float cracks = art::Vein(c.Ground(x, y, 4, 2, 3), 0.04f);
    return raster::Shade(raster::Mix(c.tint(62, 92, 128), c.tint(156, 196, 226), n), 1.0f - 0.3f * cracks);
  });
  std::vector<TPoint> bases;
  for (int i = 0; i < 3 + c.variant % 2; ++i) bases.push_back(c.Inside(0.26f));
  std::sort(bases.begin(), bases.end(), [](const TPoint& a, const TPoint& b) { return a.y < b.y; });
  for (const TPoint& b : bases) {
    Shadow(c, {b.x + 2.0f, b.y + 0.5f}, 6.0f, 2.2f, 0.35f);
    Facets(c, b, c.rng.Range(4.0f, 7.0f), c.rng.Range(7.0f, 14.0f), c.tint(230, 244, 255), c.tint(150, 188, 226),
           c.tint(70, 104, 150));
  }
}

void Crystal(TChip& c, TPoint base, float height, float width, float lean, const TRgba& light, const TRgba& dark) {
  const TPoint tip{base.x + lean * height, base.y - height};
  const TPoint shoulderL{base.x - width + lean * height * 0.75f, base.y - height * 0.75f};
  const TPoint shoulderR{base.x + width + lean * height * 0.75f, base.y - height * 0.75f};
  const TPoint footL{base.x - width, base.y}, footR{base.x + width, base.y};
  const TPoint mid{base.x + 0.4f, base.y + 1.0f},
      midTop{base.x + lean * height * 0.75f + 0.4f, base.y - height * 0.75f + 1.0f};
  c.canvas.FillPolygon({footL, shoulderL, midTop, mid}, raster::Solid(light));
  c.canvas.FillPolygon({mid, midTop, shoulderR, footR}, raster::Solid(dark));
  c.canvas.FillPolygon({shoulderL, tip, shoulderR, midTop},
                       raster::Solid(raster::Mix(light, Rgb(255, 255, 255), 0.35f)));
}

void CrystalReef(TChip& c) {
  FillGround(c, [&](float x, float y) {
    const float n = c.Ground(x, y, 3, 4);
    const float vein = art::Vein(c.Ground(x, y, 3, 2, 6), 0.05f);
    TRgba g = raster::Mix(c.tint(16, 12, 32), c.tint(44, 36, 78), n);
    g.g += vein * 0.2f;
    g.b += vein * 0.3f;
    return g;
  });
  struct TSpire {
    TPoint base;
    float h;
  };
  std::vector<TSpire> spires;
  for (int i = 0; i < 4 + c.variant % 2; ++i) spires.push_back({c.Inside(0.26f), c.rng.Range(9.0f, 24.0f)});
  std::sort(spires.begin(), spires.end(), [](const TSpire& a, const TSpire& b) { return a.base.y < b.base.y; });
  for (const TSpire& s : spires) {
    const bool violet = c.rng.Unit() < 0.4f;
    Crystal(c, s.base, s.h, c.rng.Range(1.8f, 3.2f), c.rng.Range(-0.15f, 0.15f),
            violet ? c.tint(186, 140, 250) : c.tint(130, 232, 246),
            violet ? c.tint(84, 52, 150) : c.tint(36, 112, 160));
  }
}

// ---- Marks ----------------------------------------------------------------------------------

// A mark over the whole diamond: two tones in an ordered pattern, and an outline.
raster::TImage24 MarkFrame(const TRgba& a, const TRgba& b, const TRgba& outline, bool twoTone) {
  TCanvas c(kChipSize, kChipSize, 1);
  for (int y = kDiamondTop; y < kChipSize; ++y) {
    for (int x = 0; x < kChipSize; ++x) {
      if (!InDiamond(x, y)) continue;
      const bool edge = !InDiamond(x - 1, y) || !InDiamond(x + 1, y) || !InDiamond(x, y - 1) || !InDiamond(x, y + 1);
      c.Sample(x, y) = edge ? outline : (twoTone && ((x + y) & 1) ? b : a);
    }
  }
  return raster::KeyedImage(c);
}

bool KeepGround(int x, int y) { return InDiamond(x, y); }
bool KeepRising(int x, int y) { return y < kDiamondTop || InDiamond(x, y); }

raster::TImage24 DrawChip(int chip, bool war) {
  TChip c;
  c.group = chip / kChipGroupSize;
  c.variant = chip % kChipGroupSize;
  c.tint.war = war;
  c.groupSeed = art::SeedOf("QV_MAP", static_cast<std::uint32_t>(c.group));
  c.rng = raster::TArtRng(art::SeedOf("QV_MAP", static_cast<std::uint32_t>(100 + chip)));
  const bool obstacle = c.group >= kFirstObstacleGroup;
  switch (c.group) {
    case kGroupOpenSpace: OpenSpace(c); break;
    case kGroupDust: Dust(c); break;
    case kGroupBlueNebula: Haze(c, c.tint(26, 52, 120), c.tint(62, 108, 190)); break;
    case kGroupVioletNebula: Haze(c, c.tint(64, 34, 112), c.tint(120, 80, 186)); break;
    case kGroupIceGrains: IceGrains(c); break;
    case kGroupSparseAsteroids: Asteroids(c, false); break;
    case kGroupDenseAsteroids: Asteroids(c, true); break;
    case kGroupIonStorm: IonStorm(c); break;
    case kGroupDarkCloud: DarkCloud(c); break;
    case kGroupStarCorona: StarCorona(c); break;
    case kGroupGravityWell: GravityWell(c); break;
    case kGroupMineField: MineField(c); break;
    case kGroupWreckField: WreckField(c); break;
    case kGroupRadiationBelt: RadiationBelt(c); break;
    case kGroupCometIce: CometIce(c); break;
    case kGroupCrystalReef: CrystalReef(c); break;
    default: break;
  }
  if (!obstacle) GridLine(c, c.tint(40, 56, 88));
  TCanvas frame = c.canvas.Resolve();
  raster::TKeying keying;
  keying.Rim = c.tint(8, 10, 16);
  if (obstacle) {
    // The ground covers the whole diamond: its edge pixels are completed over the ground's dark.
    const TRgba under = c.tint(14, 14, 18);
    for (int y = kDiamondTop; y < kChipSize; ++y) {
      for (int x = 0; x < kChipSize; ++x) {
        if (!InDiamond(x, y)) continue;
        TRgba& s = frame.Sample(x, y);
        const float keep = 1.0f - std::clamp(s.a, 0.0f, 1.0f);
        s = {s.r + under.r * keep, s.g + under.g * keep, s.b + under.b * keep, 1.0f};
      }
    }
    return art::KeyedFrame(frame, keying, KeepRising);
  }
  return art::KeyedFrame(frame, keying, KeepGround);
}

}  // namespace

TArtImage RenderChips(const TArtEntry& e, TArtCache&) {
  const bool war = e.Number == 1;
  TArtImage out;
  out.Rgb = raster::TImage24(e.Width, e.Height, raster::kMagenta);
  for (int chip = 0; chip < kChipSheetFrames; ++chip) {
    raster::TImage24 frame;
    if (chip == kMarkReachable) {
      frame = MarkFrame(Rgb(92, 160, 220), Rgb(52, 104, 170), Rgb(170, 220, 255), true);
    } else if (chip == kMarkDestination) {
      frame = MarkFrame(Rgb(78, 74, 26), Rgb(62, 58, 18), Rgb(100, 96, 40), true);
    } else if (chip == kMarkAttack) {
      frame = MarkFrame(Rgb(180, 44, 40), Rgb(118, 22, 26), Rgb(250, 110, 90), true);
    } else if (chip == kMarkUnused) {
      continue;
    } else {
      frame = DrawChip(chip, war);
    }
    out.Rgb.Paste(frame, (chip % 4) * kChipSize, (chip / 4) * kChipSize);
  }
  return out;
}

}  // namespace vdmq::sample
