#include "tools/Starfield.h"

#include <algorithm>
#include <cmath>

#include "campaign/FileKinds.h"
#include "tools/ArtStyle.h"
#include "tools/Noise.h"
#include "tools/Palette.h"

namespace vdmq::sample {

using raster::Rgb;
using raster::TPoint;
using raster::TRgba;

namespace {

struct TMood {
  TRgba deep;    // empty space
  TRgba cloud;   // the nebula's body
  TRgba glow;    // its lit parts
  TRgba hot;     // the brightest knots
  TRgba second;  // a second gas, mixed in by another noise field
  float amount;  // overall nebula strength
  bool warTorn;  // fires and drifting wreckage
};

const TMood kMoods[5] = {
    {Rgb(3, 6, 16), Rgb(18, 40, 96), Rgb(52, 112, 196), Rgb(170, 214, 255), Rgb(24, 76, 120), 1.0f, false},
    {Rgb(6, 4, 16), Rgb(52, 26, 92), Rgb(120, 70, 176), Rgb(226, 180, 250), Rgb(36, 40, 120), 1.0f, false},
    {Rgb(2, 8, 12), Rgb(12, 60, 70), Rgb(40, 140, 138), Rgb(170, 246, 222), Rgb(20, 70, 110), 0.95f, false},
    {Rgb(10, 4, 4), Rgb(92, 20, 14), Rgb(196, 70, 26), Rgb(255, 196, 120), Rgb(70, 30, 40), 1.05f, true},
    // The battle arena: a darker sky, so that ships, missiles and fire stand out on it.
    {Rgb(2, 4, 10), Rgb(16, 34, 74), Rgb(44, 92, 150), Rgb(150, 196, 240), Rgb(40, 28, 84), 0.72f, false},
};

void Add(TRgba& s, const TRgba& c, float k) {
  s.r += c.r * k;
  s.g += c.g * k;
  s.b += c.b * k;
}

// A star as a small Gaussian spot added at a sub-pixel position.
void Star(raster::TCanvas& c, float x, float y, float radius, const TRgba& colour, float brightness) {
  const int r = static_cast<int>(std::ceil(radius * 3.0f));
  const int cx = static_cast<int>(std::floor(x)), cy = static_cast<int>(std::floor(y));
  const float inv = 1.0f / (2.0f * radius * radius);
  for (int py = cy - r; py <= cy + r; ++py) {
    if (py < 0 || py >= c.Height()) continue;
    for (int px = cx - r; px <= cx + r; ++px) {
      if (px < 0 || px >= c.Width()) continue;
      const float dx = static_cast<float>(px) + 0.5f - x, dy = static_cast<float>(py) + 0.5f - y;
      const float k = brightness * std::exp(-(dx * dx + dy * dy) * inv);
      if (k > 0.002f) Add(c.Sample(px, py), colour, k);
    }
  }
}

// Four thin diffraction spikes of a bright star.
void Spikes(raster::TCanvas& c, float x, float y, float length, const TRgba& colour, float brightness) {
  const int n = static_cast<int>(length);
  for (int i = 2; i <= n; ++i) {
    const float fade = brightness * (1.0f - static_cast<float>(i) / length) * (1.0f - static_cast<float>(i) / length);
    for (const auto& [dx, dy] : {std::pair{1, 0}, {-1, 0}, {0, 1}, {0, -1}}) {
      const int px = static_cast<int>(std::floor(x)) + dx * i, py = static_cast<int>(std::floor(y)) + dy * i;
      if (px >= 0 && py >= 0 && px < c.Width() && py < c.Height()) Add(c.Sample(px, py), colour, fade);
    }
  }
}

// The sky of an entry: nebula, stars, and for the war-torn mood distant fires.
raster::TCanvas Sky(const TArtEntry& e, const TMood& m) {
  const std::uint32_t seed = art::SeedOf(e.Name());
  raster::TCanvas c(e.Width, e.Height, 1, m.deep);
  const float cx = static_cast<float>(e.Width) / 2.0f, cy = static_cast<float>(e.Height) / 2.0f;
  // Star counts for the map's 1280 x 904, more on larger skies.
  const auto count = [&e](int n) {
    return static_cast<int>(static_cast<long long>(n) * e.Width * e.Height / (1280 * 904));
  };
  // The nebula: domain-warped fractal noise, with dark dust lanes across it and a second gas.
  c.ForEachSample(0, 0, static_cast<float>(e.Width), static_cast<float>(e.Height), [&](float x, float y, TRgba& s) {
    const float px = x * 0.0016f, py = y * 0.0016f;
    const float wx = raster::Fbm(px * 1.3f + 1.7f, py * 1.3f, seed + 1, 4) - 0.5f;
    const float wy = raster::Fbm(px * 1.3f, py * 1.3f + 4.2f, seed + 2, 4) - 0.5f;
    const float n = raster::Fbm(px + 1.6f * wx, py + 1.6f * wy, seed + 3, 6);
    const float lanes = raster::Smoothstep(0.48f, 0.72f, raster::Fbm(px * 2.6f + 0.8f * wy, py * 2.6f, seed + 4, 5));
    const float gas = raster::Smoothstep(0.45f, 0.75f, raster::Fbm(px * 0.9f + 7.0f, py * 0.9f, seed + 5, 4));
    // Gently brighter towards the middle, where the view looks.
    const float dx = (x - cx) / cx, dy = (y - cy) / cy;
    const float centre = 1.0f - 0.35f * std::min(1.0f, dx * dx * 0.6f + dy * dy * 0.8f);
    const float body = raster::Smoothstep(0.32f, 0.78f, n) * m.amount * centre * (1.0f - 0.75f * lanes);
    const float bright = raster::Smoothstep(0.58f, 0.9f, n) * (1.0f - lanes);
    const float knots = raster::Smoothstep(0.76f, 0.96f, n) * (1.0f - lanes);
    Add(s, m.cloud, body * 0.62f);
    Add(s, m.glow, bright * 0.5f * centre);
    Add(s, m.hot, knots * 0.24f);
    Add(s, m.second, gas * 0.35f * (1.0f - lanes));
    // The war-torn sky: a faint ember glow over everything.
    if (m.warTorn) {
      // Burning gas: thin bright filaments through the red clouds, and a faint ember glow.
      const float filament = art::Vein(raster::Fbm(px * 2.2f + wx, py * 2.2f + wy, seed + 7, 4), 0.012f);
      const float broken = raster::Smoothstep(0.5f, 0.8f, raster::Fbm(px * 5.0f, py * 5.0f, seed + 8, 3));
      Add(s, Rgb(255, 130, 50), filament * broken * body * 0.6f);
      Add(s, Rgb(60, 14, 6), 0.35f * raster::Fbm(px * 3.0f, py * 3.0f, seed + 6, 3));
    }
  });
  raster::TArtRng rng(seed ^ 0x5A17u);
  // Stars: many faint ones, fewer bright ones, and a handful with glow and spikes.
  for (int i = 0; i < count(9000); ++i) {
    const float x = rng.Range(0, static_cast<float>(e.Width)), y = rng.Range(0, static_cast<float>(e.Height));
    Star(c, x, y, rng.Range(0.35f, 0.6f), art::StarColour(rng), rng.Range(0.08f, 0.45f));
  }
  for (int i = 0; i < count(700); ++i) {
    const float x = rng.Range(0, static_cast<float>(e.Width)), y = rng.Range(0, static_cast<float>(e.Height));
    Star(c, x, y, rng.Range(0.5f, 0.8f), art::StarColour(rng), rng.Range(0.5f, 1.0f));
  }
  for (int i = 0; i < count(36); ++i) {
    const float x = rng.Range(0, static_cast<float>(e.Width)), y = rng.Range(0, static_cast<float>(e.Height));
    const TRgba col = art::StarColour(rng);
    Star(c, x, y, rng.Range(2.5f, 5.0f), col, 0.16f);
    Star(c, x, y, 0.8f, col, 1.2f);
    if (i % 3 == 0) Spikes(c, x, y, rng.Range(8.0f, 18.0f), col, 0.7f);
  }
  if (m.warTorn) {
    // Distant fires: burning hulks as hot glows with a dark smoke pall beside them.
    for (int i = 0; i < 10; ++i) {
      const float x = rng.Range(60, static_cast<float>(e.Width) - 60),
                  y = rng.Range(60, static_cast<float>(e.Height) - 60);
      const float r = rng.Range(6.0f, 14.0f);
      Star(c, x, y, r * 2.5f, Rgb(255, 90, 20), 0.18f);
      Star(c, x, y, r * 0.6f, Rgb(255, 170, 70), 0.55f);
      Star(c, x, y, 1.0f, Rgb(255, 240, 200), 1.2f);
    }
  }
  return c;
}

// A large world in the upper right corner of the battle arena, where the satellites of an attacked
// planet circle 600 pixels from the corner: oceans and land under drifting clouds, a blue
// atmosphere at its rim, lit from the upper left like the ships, a dark night side.
void CornerPlanet(raster::TCanvas& c, std::uint32_t seed) {
  const TPoint centre{static_cast<float>(c.Width()) * 0.975f, static_cast<float>(c.Height()) * 0.025f};
  const float r = static_cast<float>(c.Width()) * 0.23f;
  const float glow = r * 1.06f;
  c.ForEachSample(centre.x - glow, centre.y - glow, centre.x + glow, centre.y + glow, [&](float x, float y, TRgba& s) {
    const float dx = (x - centre.x) / r, dy = (y - centre.y) / r;
    const float d = std::sqrt(dx * dx + dy * dy);
    const float light = -0.62f * dx - 0.55f * dy;  // towards the upper left
    if (d > 1.0f) {
      // The atmosphere's halo on the day side.
      const float halo = raster::Smoothstep(1.06f, 1.0f, d) * raster::Smoothstep(-0.4f, 0.5f, light / d);
      Add(s, Rgb(90, 150, 255), halo * 0.55f);
      return;
    }
    float n[3];
    raster::SphereNormal(centre, r, x, y, n);
    const float u = std::atan2(n[0], n[2]) * 1.4f, v = std::asin(std::clamp(n[1], -1.0f, 1.0f)) * 1.4f;
    const float land = raster::Fbm(u * 2.2f + 3.0f, v * 2.2f, seed + 11, 6);
    const float clouds = raster::Smoothstep(0.5f, 0.8f, raster::Fbm(u * 3.0f + 9.0f, v * 5.0f, seed + 12, 5));
    TRgba ground = land < 0.52f
                       ? raster::Mix(Rgb(8, 26, 70), Rgb(18, 60, 120), land / 0.52f)
                       : raster::Mix(Rgb(70, 96, 56), Rgb(150, 128, 90), std::min(1.0f, (land - 0.52f) * 3.0f));
    ground = raster::Mix(ground, Rgb(236, 242, 250), clouds * 0.9f);
    const float day = raster::Smoothstep(-0.12f, 0.5f, light + 0.35f * n[2]);
    TRgba col = raster::Shade(ground, 0.05f + 0.95f * day);
    const float rim = std::pow(1.0f - n[2], 2.4f) * (0.2f + 0.8f * day);
    col = raster::Mix(col, Rgb(110, 170, 255), std::min(1.0f, rim));
    s = {col.r, col.g, col.b, 1.0f};
  });
}

TArtImage DrawSky(const TArtEntry& e) {
  const bool arena = e.Kind == kFileKindBattleBackground;
  raster::TCanvas c = Sky(e, kMoods[arena ? 4 : std::clamp(e.Number, 0, 3)]);
  if (arena) CornerPlanet(c, art::SeedOf(e.Name(), 1));
  TArtImage out;
  out.Rgb = c.Flatten();
  out.Indexed = raster::Quantize(out.Rgb, 6.0f);
  out.Rgb = out.Indexed->Expand();
  return out;
}

}  // namespace

const TArtImage& ArenaSky(TArtCache& cache) {
  const TArtEntry* arena = FindArtEntry(kFileKindBattleBackground, 0);
  return cache.Get<TArtImage>(arena->Name(), [arena] { return DrawSky(*arena); });
}

TArtImage RenderStarfield(const TArtEntry& e, TArtCache& cache) {
  if (e.Kind == kFileKindBattleBackground) return ArenaSky(cache);
  return DrawSky(e);
}

}  // namespace vdmq::sample
