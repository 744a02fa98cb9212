#include "tools/SpriteArt.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "tools/ArtStyle.h"
#include "tools/Noise.h"

namespace vdmq::sample {

using raster::Rgb;
using raster::TCanvas;
using raster::TPoint;
using raster::TRgba;

namespace {

constexpr int kFrame = 60;
constexpr int kSs = 4;
constexpr float kPi = std::numbers::pi_v<float>;

raster::TImage24 Keyed(const TCanvas& c) { return raster::KeyedImage(c.Resolve()); }

// ---- Planets --------------------------------------------------------------------------------

enum TPlanetStyle { kRocky, kOcean, kGasGiant, kIce, kLava, kDesert, kJungle, kRinged, kStation };

struct TPlanetLook {
  TPlanetStyle style;
  TRgba a, b, c;  // the surface's colours, dark to light (the style decides their use)
  TRgba air;      // the atmosphere's rim; alpha 0 for none
};

// The 36 planet pictures. Picture 3 is the federation's blue world, 12 the imperial capital's red
// giant.
const TPlanetLook kPlanets[kPlanetFrames] = {
    {kRocky, Rgb(54, 52, 50), Rgb(116, 110, 102), Rgb(170, 164, 152), Rgb(0, 0, 0, 0)},
    {kDesert, Rgb(120, 84, 46), Rgb(196, 150, 92), Rgb(236, 206, 150), Rgb(230, 190, 140, 0.5f)},
    {kIce, Rgb(120, 150, 176), Rgb(196, 218, 232), Rgb(246, 250, 255), Rgb(170, 220, 255, 0.6f)},
    {kOcean, Rgb(16, 52, 132), Rgb(60, 120, 74), Rgb(238, 244, 250), Rgb(110, 170, 255, 1.0f)},
    {kJungle, Rgb(26, 76, 40), Rgb(70, 130, 52), Rgb(230, 240, 236), Rgb(150, 220, 180, 0.8f)},
    {kLava, Rgb(30, 18, 16), Rgb(70, 44, 36), Rgb(255, 120, 30), Rgb(255, 110, 40, 0.5f)},
    {kGasGiant, Rgb(128, 92, 60), Rgb(196, 160, 110), Rgb(238, 220, 186), Rgb(240, 210, 160, 0.5f)},
    {kRinged, Rgb(150, 118, 60), Rgb(210, 180, 110), Rgb(244, 230, 180), Rgb(220, 200, 140, 0.4f)},
    {kStation, Rgb(70, 78, 92), Rgb(130, 140, 156), Rgb(200, 208, 220), Rgb(255, 226, 140, 1.0f)},
    {kRocky, Rgb(82, 40, 28), Rgb(150, 82, 54), Rgb(206, 140, 100), Rgb(230, 150, 120, 0.3f)},
    {kOcean, Rgb(10, 70, 96), Rgb(150, 140, 96), Rgb(236, 244, 246), Rgb(120, 220, 230, 1.0f)},
    {kIce, Rgb(60, 100, 150), Rgb(140, 184, 220), Rgb(220, 240, 255), Rgb(120, 180, 255, 0.7f)},
    {kGasGiant, Rgb(120, 30, 20), Rgb(196, 80, 44), Rgb(246, 170, 110), Rgb(255, 130, 90, 0.6f)},
    {kDesert, Rgb(130, 60, 24), Rgb(206, 120, 56), Rgb(244, 180, 110), Rgb(255, 170, 110, 0.5f)},
    {kJungle, Rgb(18, 70, 70), Rgb(50, 126, 96), Rgb(226, 240, 240), Rgb(130, 230, 220, 0.8f)},
    {kLava, Rgb(40, 22, 12), Rgb(84, 52, 30), Rgb(255, 176, 40), Rgb(255, 160, 60, 0.5f)},
    {kRinged, Rgb(50, 80, 130), Rgb(110, 150, 200), Rgb(200, 224, 250), Rgb(160, 200, 255, 0.5f)},
    {kStation, Rgb(96, 82, 54), Rgb(170, 150, 104), Rgb(230, 214, 170), Rgb(150, 230, 255, 1.0f)},
    {kRocky, Rgb(32, 32, 38), Rgb(72, 72, 82), Rgb(126, 126, 140), Rgb(0, 0, 0, 0)},
    {kGasGiant, Rgb(30, 60, 120), Rgb(70, 120, 190), Rgb(180, 214, 246), Rgb(130, 180, 255, 0.6f)},
    {kIce, Rgb(104, 90, 150), Rgb(176, 166, 220), Rgb(236, 230, 255), Rgb(190, 170, 255, 0.6f)},
    {kOcean, Rgb(14, 40, 100), Rgb(40, 90, 60), Rgb(250, 252, 255), Rgb(140, 180, 255, 1.0f)},
    {kDesert, Rgb(150, 126, 96), Rgb(214, 196, 160), Rgb(246, 236, 210), Rgb(240, 220, 190, 0.4f)},
    {kJungle, Rgb(60, 72, 26), Rgb(120, 130, 50), Rgb(236, 236, 220), Rgb(200, 220, 150, 0.7f)},
    {kLava, Rgb(26, 16, 34), Rgb(60, 40, 74), Rgb(255, 90, 60), Rgb(255, 100, 90, 0.5f)},
    {kRinged, Rgb(130, 70, 60), Rgb(200, 120, 100), Rgb(246, 196, 170), Rgb(255, 180, 150, 0.5f)},
    {kStation, Rgb(40, 44, 52), Rgb(84, 90, 104), Rgb(150, 160, 176), Rgb(255, 120, 90, 1.0f)},
    {kRocky, Rgb(100, 100, 104), Rgb(170, 170, 172), Rgb(226, 226, 226), Rgb(0, 0, 0, 0)},
    {kGasGiant, Rgb(50, 100, 60), Rgb(110, 170, 110), Rgb(200, 236, 190), Rgb(160, 240, 170, 0.5f)},
    {kOcean, Rgb(8, 84, 84), Rgb(90, 140, 60), Rgb(236, 250, 246), Rgb(110, 240, 220, 1.0f)},
    {kJungle, Rgb(14, 90, 46), Rgb(40, 150, 70), Rgb(236, 250, 240), Rgb(140, 255, 190, 0.8f)},
    {kIce, Rgb(90, 140, 130), Rgb(160, 210, 196), Rgb(230, 252, 246), Rgb(150, 255, 220, 0.6f)},
    {kDesert, Rgb(110, 36, 20), Rgb(176, 76, 40), Rgb(226, 140, 90), Rgb(240, 140, 100, 0.4f)},
    {kLava, Rgb(36, 26, 14), Rgb(80, 60, 30), Rgb(255, 220, 70), Rgb(255, 210, 90, 0.5f)},
    {kRinged, Rgb(80, 60, 130), Rgb(140, 116, 196), Rgb(216, 200, 246), Rgb(180, 160, 255, 0.5f)},
    {kStation, Rgb(90, 46, 40), Rgb(160, 96, 84), Rgb(220, 170, 160), Rgb(170, 255, 170, 1.0f)},
};

const TPoint kPlanetCentre{30.0f, 42.0f};

// The colour of a planet's surface at a normal (before the light), and its own glow.
struct TSurface {
  TRgba colour;
  TRgba glow{0, 0, 0, 0};
};

TSurface Surface(const TPlanetLook& p, const float n[3], std::uint32_t seed) {
  const float lon = std::atan2(n[0], n[2]) / kPi;  // -1..1 across the visible face
  const float lat = std::asin(std::clamp(n[1], -1.0f, 1.0f)) / (kPi / 2.0f);
  const float u = lon * 1.6f, v = lat * 1.2f;
  auto fbm = [&](float s, int oct, std::uint32_t salt) {
    return raster::Fbm(u * s + 5.0f, v * s + 5.0f, seed + salt, oct);
  };
  switch (p.style) {
    case kRocky: {
      const float t = fbm(2.2f, 5, 1);
      const float craters = raster::Smoothstep(0.64f, 0.72f, fbm(6.0f, 2, 2));
      return {raster::Shade(t < 0.5f ? raster::Mix(p.a, p.b, t * 2.0f) : raster::Mix(p.b, p.c, t * 2.0f - 1.0f),
                            1.0f - 0.3f * craters)};
    }
    case kOcean:
    case kJungle: {
      const float land = fbm(2.0f, 5, 1);
      const float clouds = raster::Smoothstep(0.52f, 0.78f, fbm(3.0f + 0.5f * std::fabs(v), 4, 3));
      const float sea = p.style == kOcean ? 0.55f : 0.36f;
      TRgba g = land < sea ? raster::Shade(p.a, 0.8f + 0.4f * land)
                           : raster::Mix(p.b, raster::Shade(p.b, 0.7f), fbm(5.0f, 2, 4));
      if (std::fabs(lat) > 0.82f) g = raster::Mix(g, p.c, raster::Smoothstep(0.82f, 0.9f, std::fabs(lat)));
      return {raster::Mix(g, p.c, clouds * 0.85f)};
    }
    case kGasGiant:
    case kRinged: {
      const float warp = fbm(2.5f, 3, 1) - 0.5f;
      const float band = 0.5f + 0.5f * std::sin((v * 7.0f + warp * 1.6f) * kPi);
      const float fine = 0.5f + 0.5f * std::sin((v * 19.0f + warp * 3.0f) * kPi);
      const float t = 0.65f * band + 0.35f * fine;
      TRgba g = t < 0.5f ? raster::Mix(p.a, p.b, t * 2.0f) : raster::Mix(p.b, p.c, t * 2.0f - 1.0f);
      // A great storm in the southern belt.
      const float du = (lon - 0.25f) * 2.2f, dv = (lat + 0.32f) * 4.0f;
      const float storm = raster::Smoothstep(1.0f, 0.2f, du * du + dv * dv);
      return {raster::Mix(g, raster::Mix(p.c, p.a, 0.35f), storm * 0.8f)};
    }
    case kIce: {
      const float t = fbm(2.0f, 4, 1);
      const float cracks = art::Vein(fbm(3.5f, 3, 2), 0.04f);
      return {raster::Shade(raster::Mix(p.b, p.c, t), 1.0f - 0.35f * cracks * (1.0f - t))};
    }
    case kLava: {
      const float crust = fbm(2.4f, 5, 1);
      const float cracks = art::Vein(fbm(3.0f, 4, 2), 0.07f);
      const float hot = std::max(cracks, raster::Smoothstep(0.7f, 0.85f, crust) * 0.6f);
      return {raster::Mix(p.a, p.b, crust), raster::WithAlpha(p.c, hot)};
    }
    case kDesert: {
      const float warp = fbm(2.0f, 3, 1);
      const float dunes = 0.5f + 0.5f * std::sin((v * 10.0f + u * 2.0f + warp * 3.0f) * kPi);
      const float t = 0.55f * fbm(2.5f, 4, 2) + 0.45f * dunes;
      return {t < 0.5f ? raster::Mix(p.a, p.b, t * 2.0f) : raster::Mix(p.b, p.c, t * 2.0f - 1.0f)};
    }
    case kStation: {
      const float plates = 0.5f + 0.5f * raster::ValueNoise(std::floor(u * 8.0f), std::floor(v * 6.0f), seed + 1);
      const float seamU = std::fabs(std::fmod(u * 4.0f + 40.0f, 1.0f) - 0.5f);
      const float seamV = std::fabs(std::fmod(v * 3.0f + 40.0f, 1.0f) - 0.5f);
      const float seams = raster::Smoothstep(0.44f, 0.5f, std::max(seamU, seamV));
      TRgba g = raster::Shade(raster::Mix(p.a, p.b, plates), 1.0f - 0.45f * seams);
      // Window lights on the night side too.
      const float win = raster::ValueNoise(std::floor(u * 16.0f), std::floor(v * 12.0f), seed + 2);
      const bool lit = win > 0.78f && seams < 0.2f && std::fabs(lat) < 0.8f;
      return {g, lit ? raster::WithAlpha(p.air, 0.9f) : TRgba{0, 0, 0, 0}};
    }
  }
  return {p.b};
}

void DrawRing(TCanvas& c, float radius, const TPlanetLook& p, bool front) {
  // A thin ring seen nearly edge-on, turned slightly; the front half is drawn over the planet.
  const float rx = 17.5f, ry = 4.4f, tilt = -0.08f;
  const float ca = std::cos(tilt), sa = std::sin(tilt);
  c.ForEachSample(
      kPlanetCentre.x - rx - 1, kPlanetCentre.y - 9, kPlanetCentre.x + rx + 1, kPlanetCentre.y + 9,
      [&](float x, float y, TRgba& s) {
        const float dx = x - kPlanetCentre.x, dy = y - kPlanetCentre.y;
        const float u = dx * ca + dy * sa, v = -dx * sa + dy * ca;
        const float r = std::sqrt(u * u / (rx * rx) + v * v / (ry * ry));
        if (r < 0.72f || r > 1.0f || (v > 0.0f) != front) return;
        if (!front && dx * dx + dy * dy < radius * radius) return;
        const float bands = 0.6f + 0.4f * std::sin(r * 60.0f);
        const TRgba col = raster::Shade(raster::Mix(p.b, p.c, bands), front ? 1.0f : 0.7f);
        const float k = 0.9f;
        s = {col.r * k + s.r * (1 - k), col.g * k + s.g * (1 - k), col.b * k + s.b * (1 - k), k + s.a * (1 - k)};
      });
}

raster::TImage24 Planet(int frame) {
  const TPlanetLook& p = kPlanets[frame];
  const std::uint32_t seed = art::SeedOf("QV_PLA", static_cast<std::uint32_t>(frame));
  TCanvas c(kFrame, kFrame, kSs);
  const float radius = p.style == kRinged ? 12.0f : p.style == kStation ? 13.0f : 15.0f;
  if (p.style == kRinged) DrawRing(c, radius, p, false);
  c.FillEllipse(kPlanetCentre, radius, radius, [&](float x, float y) {
    float n[3];
    raster::SphereNormal(kPlanetCentre, radius, x, y, n);
    const TSurface s = Surface(p, n, seed);
    // Day side: a soft terminator; the night side keeps a little light.
    const float day = raster::Smoothstep(-0.15f, 0.45f, n[0] * -0.62f + n[1] * -0.5f + n[2] * 0.6f);
    TRgba col =
        art::LitColour(s.colour, n, 0.05f, p.style == kOcean || p.style == kIce || p.style == kStation ? 0.25f : 0.06f);
    col = raster::Shade(col, 0.25f + 0.75f * day);
    // The atmosphere's rim, strongest on the day side.
    if (p.air.a > 0.0f) {
      const float rim = std::pow(1.0f - n[2], 2.2f) * p.air.a * (0.25f + 0.75f * day);
      col = raster::Mix(col, WithAlpha(p.air, 1.0f), std::min(1.0f, rim * 1.1f));
    }
    col.r += s.glow.r * s.glow.a;
    col.g += s.glow.g * s.glow.a;
    col.b += s.glow.b * s.glow.a;
    col.a = 1.0f;
    return col;
  });
  if (p.style == kRinged) DrawRing(c, radius, p, true);
  if (p.style == kStation) {
    // The docking ring with its lights.
    c.StrokePath(raster::EllipsePath(kPlanetCentre, 16.5f, 4.0f, -0.06f), true, 1.6f,
                 raster::Solid(raster::Shade(p.b, 0.9f)));
    for (int i = 0; i < 8; ++i) {
      const float t = static_cast<float>(i) * kPi / 4.0f + 0.3f;
      if (std::sin(t) < 0.0f) continue;  // the lights on the near side
      const float x = kPlanetCentre.x + 16.5f * std::cos(t),
                  y = kPlanetCentre.y + 4.0f * std::sin(t) - 0.06f * 16.5f * std::cos(t);
      c.FillEllipse({x, y}, 0.9f, 0.9f, raster::Solid(p.air));
    }
  }
  return Keyed(c);
}

// ---- Country marks --------------------------------------------------------------------------

// The flag's cloth, waving a little: its outline for a given inset.
std::vector<TPoint> Cloth(float inset) {
  std::vector<TPoint> pts;
  const float x0 = 5.0f + inset, x1 = 19.0f - inset, y0 = 13.0f + inset, y1 = 23.0f - inset;
  for (int i = 0; i <= 8; ++i) {
    const float x = x0 + (x1 - x0) * static_cast<float>(i) / 8.0f;
    pts.push_back({x, y0 + 0.8f * std::sin((x - 5.0f) * 0.45f)});
  }
  for (int i = 8; i >= 0; --i) {
    const float x = x0 + (x1 - x0) * static_cast<float>(i) / 8.0f;
    pts.push_back({x, y1 + 0.8f * std::sin((x - 5.0f) * 0.45f)});
  }
  return pts;
}

raster::TImage24 CountryMark(int country) {
  TCanvas c(kFrame, kFrame, kSs);
  const TRgba colour = art::CountryColour(country);
  const TRgba dark = Rgb(12, 14, 20);
  // The pole.
  c.FillRect(3.0f, 11.0f, 5.0f, 31.0f, raster::Solid(dark));
  c.FillRect(3.5f, 11.5f, 4.5f, 30.5f, raster::Solid(Rgb(170, 176, 188)));
  c.FillEllipse({4.0f, 11.0f}, 1.6f, 1.6f, raster::Solid(Rgb(220, 200, 120)));
  // The cloth with a dark outline, lit from the upper left, folds shaded.
  c.FillPolygon(Cloth(-1.0f), raster::Solid(dark));
  c.FillPolygon(Cloth(0.0f), [&](float x, float y) {
    const float fold = 0.85f + 0.15f * std::sin((x - 5.0f) * 0.9f);
    const float light = 1.1f - 0.02f * (x - 5.0f) - 0.02f * (y - 13.0f);
    return raster::Shade(colour, fold * light);
  });
  // The country's emblem, in a light or dark tone against its colour.
  const float lum = 0.3f * colour.r + 0.59f * colour.g + 0.11f * colour.b;
  const TRgba mark = lum > 0.62f ? Rgb(30, 40, 70) : Rgb(240, 244, 250);
  const raster::TPaint paint = raster::Solid(mark);
  switch (country) {
    case 0: c.FillPolygon(raster::StarPath({12.0f, 18.2f}, 3.4f, 1.4f), paint); break;  // a star
    case 1: c.FillRect(5.0f, 17.0f, 19.0f, 19.5f, paint); break;                        // a band
    case 2:
      c.FillPolygon({{6.0f, 14.0f}, {12.0f, 18.0f}, {6.0f, 22.0f}, {6.0f, 20.0f}, {9.0f, 18.0f}, {6.0f, 16.0f}}, paint);
      break;
    case 3: {  // a crescent
      c.FillEllipse({12.0f, 18.2f}, 3.2f, 3.2f, paint);
      c.FillEllipse({13.4f, 17.6f}, 2.7f, 2.7f, raster::Solid(raster::Shade(colour, 0.95f)));
      break;
    }
    case 4: c.FillEllipse({12.0f, 18.2f}, 2.6f, 2.6f, paint); break;          // a disc
    case 5: c.FillRect(10.5f, 13.0f, 13.0f, 23.5f, paint); break;             // an upright band
    case 6: c.StrokeLine({5.5f, 22.5f}, {18.5f, 13.5f}, 2.2f, paint); break;  // a diagonal
    case 7: {                                                                 // a black diamond with a golden core
      c.FillPolygon({{12.0f, 14.0f}, {16.0f, 18.2f}, {12.0f, 22.4f}, {8.0f, 18.2f}}, raster::Solid(Rgb(20, 12, 12)));
      c.FillEllipse({12.0f, 18.2f}, 1.3f, 1.3f, raster::Solid(Rgb(240, 200, 80)));
      break;
    }
    case 8:  // two bands
      c.FillRect(5.0f, 15.5f, 19.0f, 17.0f, paint);
      c.FillRect(5.0f, 19.5f, 19.0f, 21.0f, paint);
      break;
    case 9:  // a cross
      c.FillRect(10.8f, 13.0f, 13.2f, 23.5f, raster::Solid(Rgb(40, 90, 200)));
      c.FillRect(5.0f, 17.0f, 19.0f, 19.4f, raster::Solid(Rgb(40, 90, 200)));
      break;
    case 10:  // an eye
      c.FillEllipse({12.0f, 18.2f}, 3.6f, 2.0f, paint);
      c.FillEllipse({12.0f, 18.2f}, 1.2f, 1.2f, raster::Solid(raster::Shade(colour, 0.5f)));
      break;
    case 11: c.FillPolygon({{5.0f, 13.5f}, {11.0f, 18.2f}, {5.0f, 23.0f}}, raster::Solid(Rgb(24, 30, 20))); break;
    case 12: c.FillRect(5.0f, 13.0f, 19.0f, 15.5f, paint); break;
    default: c.FillEllipse({8.0f, 16.0f}, 1.5f, 1.5f, paint); break;
  }
  return Keyed(c);
}

// ---- Small marks ----------------------------------------------------------------------------

const TRgba kOwnBlue = Rgb(80, 156, 255);
const TRgba kEnemyRed = Rgb(244, 74, 60);

// Chevrons hugging the diamond's left and right corners.
void Brackets(TCanvas& c, const TRgba& colour) {
  const TRgba dark = Rgb(10, 12, 20);
  for (const float side : {-1.0f, 1.0f}) {
    const float cx = side < 0 ? 1.6f : 58.4f;
    const std::vector<TPoint> arm = {{cx - side * 7.4f, 40.8f}, {cx, 44.5f}, {cx - side * 7.4f, 48.2f}};
    c.StrokePath(arm, false, 3.8f, raster::Solid(dark));
    c.StrokePath(arm, false, 2.3f, raster::Solid(colour));
    c.FillEllipse({cx - side * 0.4f, 44.5f}, 1.0f, 1.0f, raster::Solid(raster::Mix(colour, Rgb(255, 255, 255), 0.5f)));
  }
}

void CapitalStar(TCanvas& c, const TRgba& colour) {
  c.FillPolygon(raster::StarPath({30.0f, 19.5f}, 6.75f, 2.9f), raster::Solid(Rgb(10, 12, 20)));
  c.FillPolygon(raster::StarPath({30.0f, 19.5f}, 5.4f, 2.3f),
                raster::LinearGradient({26, 15}, raster::Mix(colour, Rgb(255, 255, 255), 0.55f), {34, 24}, colour));
}

void ShipBadge(TCanvas& c) {
  c.FillPolygon(raster::RoundedRectPath(46.0f, 25.0f, 58.5f, 36.0f, 2.5f), raster::Solid(Rgb(10, 14, 24)));
  c.FillPolygon(raster::RoundedRectPath(47.0f, 26.0f, 57.5f, 35.0f, 2.0f),
                raster::LinearGradient({47, 26}, Rgb(50, 70, 110), {57, 35}, Rgb(22, 32, 56)));
  // A tiny ship heading down-right.
  c.FillPolygon({{55.8f, 33.0f}, {49.0f, 28.4f}, {48.4f, 30.6f}}, raster::Solid(Rgb(220, 236, 250)));
  c.FillEllipse({48.9f, 29.4f}, 0.9f, 0.9f, raster::Solid(Rgb(110, 220, 255)));
}

void MovedTick(TCanvas& c) {
  const std::vector<TPoint> tick = {{3.8f, 34.2f}, {6.0f, 36.6f}, {10.0f, 31.6f}};
  c.StrokePath(tick, false, 3.0f, raster::Solid(Rgb(14, 16, 22)));
  c.StrokePath(tick, false, 1.5f, raster::Solid(Rgb(150, 156, 166)));
}

raster::TImage24 Sheet(const TArtEntry& e, int frames, raster::TImage24 (*draw)(int)) {
  raster::TImage24 sheet(e.Width, e.Height, raster::kMagenta);
  const int fw = e.FrameWidth(), fh = e.FrameHeight();
  for (int i = 0; i < frames; ++i) sheet.Paste(draw(i), (i % e.Cols) * fw, (i / e.Cols) * fh);
  return sheet;
}

}  // namespace

TArtImage RenderPlanets(const TArtEntry& e, TArtCache&) {
  TArtImage out;
  out.Rgb = Sheet(e, kFirstCountryMark + art::kCountryColours,
                  [](int i) { return i < kPlanetFrames ? Planet(i) : CountryMark(i - kFirstCountryMark); });
  return out;
}

TArtImage RenderMarks(const TArtEntry& e, TArtCache&) {
  TArtImage out;
  out.Rgb = Sheet(e, kUsedMarkFrames, [](int i) {
    TCanvas c(kFrame, kFrame, kSs);
    if (i < 4) Brackets(c, i % 2 == 0 ? kOwnBlue : kEnemyRed);
    if (i == 2 || i == 3) CapitalStar(c, i == 2 ? kOwnBlue : kEnemyRed);
    if (i == 4) ShipBadge(c);
    if (i == 5) MovedTick(c);
    return Keyed(c);
  });
  return out;
}

}  // namespace vdmq::sample
