#include "tools/HullModels.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

#include "platform/base/GameError.h"
#include "tools/ArtStyle.h"
#include "tools/Generator.h"
#include "tools/MeshShapes.h"
#include "tools/Noise.h"
#include "tools/Rasterizer.h"

namespace vdmq::sample {

using raster::Rgb;
using raster::TFragment;
using raster::TMesh;
using raster::TPoint;
using raster::TRgba;
using raster::TSection;
using raster::TVec3;
using raster::TYz;

namespace {

constexpr float kPi = std::numbers::pi_v<float>;

// ---- The fixed flame points -----------------------------------------------------------------

constexpr TFlamePoint kNo{kNoFlame, kNoFlame};
using TFlameLine = std::array<TFlamePoint, 8>;

constexpr TFlameLine kNoLine{kNo, kNo, kNo, kNo, kNo, kNo, kNo, kNo};
constexpr TFlameLine kFixed0{{{-70, -15}, {-42, -33}, {0, -43}, {42, -33}, {70, -15}, {55, 13}, {0, 22}, {-55, 13}}};
constexpr TFlameLine kFixed1a{{{15, -6}, {5, -7}, {-7, -11}, {-5, -7}, {-15, -6}, {-15, -13}, {6, -18}, {15, -13}}};
constexpr TFlameLine kFixed1b{{kNo, kNo, {7, -11}, kNo, kNo, {-6, -14}, {-6, -18}, {6, -14}}};
constexpr TFlameLine kFixed12{{{0, 15}, {0, 16}, {0, 15}, {0, 16}, {0, 15}, {0, 15}, {0, 15}, {0, 15}}};
constexpr TFlameLine kFixed14c{{kNo, kNo, {5, -35}, kNo, kNo, {45, 4}, {10, 17}, {-45, 4}}};

const TFlameLine* FixedLine(int number, int point) {
  if (number == 0) return point == 0 ? &kFixed0 : &kNoLine;
  if (number == 1) return point == 0 ? &kFixed1a : point == 1 ? &kFixed1b : &kNoLine;
  if (number == 12) return point == 0 ? &kFixed12 : &kNoLine;
  if (number == 14 && point == 2) return &kFixed14c;
  return nullptr;
}

// ---- Materials and the shader ---------------------------------------------------------------

enum TMaterial {
  kSteel,      // hull plating
  kSteelDark,  // structure, pylons, bells
  kAccent,     // the model's paint
  kGlass,      // bridge windows, lit from inside
  kInterior,   // dark insides
  kGlow,       // a nozzle's hot throat
  kLamp,       // running lights in the accent colour
  kSolar,      // solar cells
  kFoil,       // gold foil of the satellites
};

struct TLook {
  TRgba accent;
  std::uint32_t seed = 0;
  // Paint bands across the upper hull: x ranges.
  std::vector<std::pair<float, float>> bands;
};

// Plating: panels on a staggered grid in the face's own plane, each a little lighter or darker,
// with dark seams between them.
float Plating(const TFragment& f, std::uint32_t seed) {
  const TVec3& p = f.ModelPosition;
  const TVec3& n = f.ModelNormal;
  const float ax = std::fabs(n.x), ay = std::fabs(n.y), az = std::fabs(n.z);
  float u, v;
  std::uint32_t face;
  if (az >= ax && az >= ay) {
    u = p.x, v = p.y, face = 1;
  } else if (ay >= ax) {
    u = p.x, v = p.z, face = 2;
  } else {
    u = p.y, v = p.z, face = 3;
  }
  constexpr float cu = 8.0f, cv = 4.5f;
  const float gv = v / cv + 0.5f;
  const float iv = std::floor(gv);
  const float gu = u / cu + 0.5f + 0.5f * (static_cast<int>(iv) & 1);
  const float iu = std::floor(gu);
  const float fu = gu - iu, fv = gv - iv;
  float k = 0.9f + 0.16f * raster::ValueNoise(iu, iv, seed + face);
  const float seam = std::min(std::min(fu, 1.0f - fu) * cu, std::min(fv, 1.0f - fv) * cv);
  if (seam < 0.4f) k *= 0.68f + 0.32f * seam / 0.4f;
  return k;
}

const raster::TLightRig& Rig() {
  static const raster::TLightRig rig;
  return rig;
}

TRgba Shade(const TFragment& f, const TLook& look) {
  const raster::TLightRig& rig = Rig();
  switch (f.Material) {
    case kSteel:
    case kSteelDark: {
      // Two-tone plating: light above the hull's shoulder line, darker below it.
      TRgba base = f.Material == kSteelDark   ? Rgb(92, 100, 116)
                   : f.ModelPosition.z < 0.8f ? Rgb(108, 116, 134)
                                              : Rgb(172, 178, 190);
      if (f.Material == kSteel && f.ModelNormal.z > 0.35f) {
        for (const auto& [x0, x1] : look.bands) {
          if (f.ModelPosition.x >= x0 && f.ModelPosition.x <= x1) base = look.accent;
        }
      }
      return raster::LightSurface(raster::Shade(base, Plating(f, look.seed)), f, rig, 0.35f, 22.0f);
    }
    case kAccent: return raster::LightSurface(look.accent, f, rig, 0.45f, 30.0f);
    case kGlass: {
      TRgba c = raster::LightSurface(Rgb(40, 70, 110), f, rig, 0.9f, 40.0f);
      return {c.r + 0.45f, c.g + 0.72f, c.b + 0.95f, 1.0f};
    }
    case kInterior: return raster::LightSurface(Rgb(28, 30, 36), f, rig, 0.1f, 10.0f);
    case kGlow: return Rgb(226, 244, 255);
    case kLamp: return raster::Mix(look.accent, Rgb(255, 255, 255), 0.45f);
    case kSolar: {
      const float cell = std::fabs(std::fmod(f.ModelPosition.x * 0.5f + 100.0f, 1.0f) - 0.5f);
      const float row = std::fabs(std::fmod(f.ModelPosition.y * 0.5f + 100.0f, 1.0f) - 0.5f);
      const float line = std::max(cell, row) > 0.42f ? 0.6f : 1.0f;
      return raster::LightSurface(raster::Shade(Rgb(34, 56, 120), line), f, rig, 1.1f, 26.0f);
    }
    case kFoil: {
      const float crinkle =
          raster::ValueNoise(f.ModelPosition.x * 1.3f, f.ModelPosition.y * 1.3f + f.ModelPosition.z, look.seed + 9);
      return raster::LightSurface(raster::Shade(Rgb(214, 168, 70), 0.8f + 0.35f * crinkle), f, rig, 0.9f, 18.0f);
    }
    default: return Rgb(255, 255, 255);
  }
}

// ---- A model --------------------------------------------------------------------------------

struct TNozzle {
  TVec3 exit;  // the centre of the exit
  float radius;
  TVec3 axis{-1, 0, 0};  // the way the exhaust leaves
  TMesh bell;            // its bell, which hides nothing of its own exit
  TMesh glow;            // its hot throat
};

struct TModel {
  TMesh hull;  // everything that can hide a nozzle
  std::vector<TNozzle> nozzles;
  TLook look;
};

// A nozzle with its exit at `exit`, pointing aft (-x): the bell and its glowing throat.
void Bell(TModel& m, const TVec3& exit, float r, float length) {
  TNozzle n{exit, r, {-1, 0, 0}, {}, {}};
  raster::Lathe(n.bell, exit, {1, 0, 0}, {{0.0f, r}, {length, r * 0.72f}}, 14, kSteelDark);
  raster::Lathe(n.bell, exit, {1, 0, 0},
                {{0.0f, r}, {0.0f, r * 0.84f}, {length * 0.5f, r * 0.6f}, {length * 0.5f, 0.0f}}, 14, kInterior);
  raster::Lathe(n.glow, exit + TVec3{length * 0.3f, 0, 0}, {-1, 0, 0}, {{0.0f, 0.0f}, {0.0f, r * 0.7f}}, 14, kGlow);
  m.nozzles.push_back(std::move(n));
}

// A pod along x: a rounded nose at front, full radius behind it, tapering to the back.
void Pod(TMesh& mesh, float back, float front, float y, float z, float r, int material) {
  const float len = front - back;
  raster::Lathe(mesh, {back, y, z}, {1, 0, 0},
                {{0.0f, r * 0.78f},
                 {len * 0.1f, r},
                 {len * 0.72f, r},
                 {len * 0.9f, r * 0.7f},
                 {len, r * 0.25f},
                 {len + r * 0.3f, 0.0f}},
                12, material, true);
}

// A low turret with a barrel facing forward.
void Turret(TMesh& mesh, float x, float y, float z, float r) {
  raster::Lathe(mesh, {x, y, z}, {0, 0, 1}, {{0.0f, r}, {r * 0.5f, r * 0.85f}, {r * 0.6f, 0.0f}}, 10, kSteelDark, true);
  raster::Box(mesh, {x, y - r * 0.18f, z + r * 0.2f}, {x + r * 2.1f, y + r * 0.18f, z + r * 0.45f}, kSteelDark);
}

// ---- Warships -------------------------------------------------------------------------------

enum TBowStyle { kNeedle, kWedge, kHammer, kProngs };

struct TWarship {
  float bow, stern, beam, deck, keel;
  TBowStyle bowStyle;
  float bridgeAt, bridgeLength, bridgeHeight;
  int tower;  // 0 stepped block, 1 tall tower, 2 swept fin
  // Side pods (none when podLength is 0) and whether they carry engines.
  float podAt, podLength, podRadius, podY, podZ;
  bool podEngines;
  // Wings (none when the span is 0): root position, chord, span from the centre line, sweep back.
  float wingAt, wingChord, wingSpan, wingSweep, wingZ;
  int turrets;
  // Main engines in the stern block: count, height, radius, spacing.
  int engines;
  float engineZ, engineRadius, engineSpread;
  bool spine;
  TRgba accent;
  std::vector<std::pair<float, float>> bands;
};

// The hull's sections from the bow to the stern.
std::vector<TSection> HullSections(const TWarship& w) {
  const float len = w.bow - w.stern;
  auto sec = [&](float x, float width, float top, float bottom) {
    return TSection{x, raster::HullOutline(width, top, bottom, width * 0.62f, width * 0.42f, top * 0.12f)};
  };
  std::vector<TSection> s;
  switch (w.bowStyle) {
    case kNeedle:
      s.push_back(sec(w.bow, 0.5f, w.deck * 0.3f, w.keel * 0.2f));
      s.push_back(sec(w.bow - len * 0.16f, w.beam * 0.42f, w.deck * 0.7f, w.keel * 0.6f));
      s.push_back(sec(w.bow - len * 0.38f, w.beam * 0.92f, w.deck, w.keel));
      break;
    case kWedge:
      s.push_back(sec(w.bow, w.beam * 0.3f, w.deck * 0.35f, w.keel * 0.5f));
      s.push_back(sec(w.bow - len * 0.12f, w.beam * 0.62f, w.deck * 0.8f, w.keel * 0.9f));
      s.push_back(sec(w.bow - len * 0.3f, w.beam * 0.95f, w.deck, w.keel));
      break;
    case kHammer:
      s.push_back(sec(w.bow, w.beam * 0.7f, w.deck * 0.55f, w.keel * 0.6f));
      s.push_back(sec(w.bow - len * 0.07f, w.beam * 0.95f, w.deck * 0.75f, w.keel * 0.8f));
      s.push_back(sec(w.bow - len * 0.16f, w.beam * 0.45f, w.deck * 0.7f, w.keel * 0.7f));
      s.push_back(sec(w.bow - len * 0.36f, w.beam * 0.9f, w.deck, w.keel));
      break;
    case kProngs:
      s.push_back(sec(w.bow - len * 0.22f, w.beam * 0.55f, w.deck * 0.75f, w.keel * 0.7f));
      s.push_back(sec(w.bow - len * 0.36f, w.beam * 0.95f, w.deck, w.keel));
      break;
  }
  s.push_back(sec(w.stern + len * 0.2f, w.beam, w.deck, w.keel));
  s.push_back(sec(w.stern + len * 0.06f, w.beam * 0.94f, w.deck * 0.96f, w.keel * 0.9f));
  s.push_back(sec(w.stern, w.beam * 0.84f, w.deck * 0.86f, w.keel * 0.78f));
  return s;
}

void BuildWarship(TModel& m, const TWarship& w) {
  const float len = w.bow - w.stern;
  raster::Loft(m.hull, HullSections(w), kSteel);
  if (w.bowStyle == kProngs) {
    // Twin prongs reaching forward from the shoulders.
    for (const float side : {-1.0f, 1.0f}) {
      const float y = side * w.beam * 0.55f;
      std::vector<TSection> p = {
          {w.bow, raster::Shifted(raster::HullOutline(0.6f, w.deck * 0.35f, w.keel * 0.3f, 0.4f, 0.3f, 0.0f), y, 0)},
          {w.bow - len * 0.12f, raster::Shifted(raster::HullOutline(w.beam * 0.3f, w.deck * 0.7f, w.keel * 0.6f,
                                                                    w.beam * 0.2f, w.beam * 0.15f, 0.0f),
                                                y, 0)},
          {w.bow - len * 0.32f, raster::Shifted(raster::HullOutline(w.beam * 0.35f, w.deck * 0.8f, w.keel * 0.7f,
                                                                    w.beam * 0.22f, w.beam * 0.16f, 0.0f),
                                                y, 0)}};
      raster::Loft(m.hull, p, kSteel);
      raster::Box(m.hull, {w.bow - len * 0.06f, y - 0.6f, w.deck * 0.35f},
                  {w.bow - len * 0.02f, y + 0.6f, w.deck * 0.55f}, kAccent);
    }
  }
  if (w.spine) {
    std::vector<TSection> s = {
        {w.bow - len * 0.25f, raster::BoxOutline(0.4f, w.deck - 1.0f, w.deck + 0.2f, 0)},
        {w.bow - len * 0.4f, raster::BoxOutline(w.beam * 0.18f, w.deck - 1.0f, w.deck + 2.0f, 0.6f)},
        {w.stern + len * 0.12f, raster::BoxOutline(w.beam * 0.18f, w.deck - 1.0f, w.deck + 2.0f, 0.6f)}};
    raster::Loft(m.hull, s, kSteelDark);
  }
  // The superstructure.
  {
    const float x0 = w.bridgeAt - w.bridgeLength / 2, x1 = w.bridgeAt + w.bridgeLength / 2;
    const float bw = w.beam * 0.42f, top = w.deck + w.bridgeHeight;
    if (w.tower == 0) {
      raster::Loft(m.hull,
                   {{x0, raster::BoxOutline(bw, w.deck - 0.5f, w.deck + w.bridgeHeight * 0.55f, 0.8f)},
                    {x1, raster::BoxOutline(bw * 0.8f, w.deck - 0.5f, w.deck + w.bridgeHeight * 0.5f, 0.8f)}},
                   kSteel);
      const float bx0 = w.bridgeAt - w.bridgeLength * 0.25f, bx1 = w.bridgeAt + w.bridgeLength * 0.3f;
      raster::Loft(m.hull,
                   {{bx0, raster::BoxOutline(bw * 0.7f, w.deck, top, 0.7f)},
                    {bx1, raster::BoxOutline(bw * 0.55f, w.deck, top - 0.6f, 0.7f)}},
                   kSteel);
      raster::Box(m.hull, {bx1 - 0.3f, -bw * 0.45f, top - 2.2f}, {bx1 + 0.35f, bw * 0.45f, top - 1.2f}, kGlass);
    } else if (w.tower == 1) {
      raster::Loft(m.hull,
                   {{x0, raster::BoxOutline(bw * 0.75f, w.deck - 0.5f, w.deck + 1.5f, 0.5f)},
                    {x1, raster::BoxOutline(bw * 0.6f, w.deck - 0.5f, w.deck + 1.5f, 0.5f)}},
                   kSteel);
      const float tx0 = w.bridgeAt - w.bridgeLength * 0.18f, tx1 = w.bridgeAt + w.bridgeLength * 0.18f;
      raster::Loft(m.hull,
                   {{tx0, raster::BoxOutline(bw * 0.42f, w.deck, top, 0.4f)},
                    {tx1, raster::BoxOutline(bw * 0.32f, w.deck, top - 0.5f, 0.4f)}},
                   kSteel);
      raster::Box(m.hull, {tx0 - 1.5f, -bw * 0.8f, top - 0.2f}, {tx1 + 1.0f, bw * 0.8f, top + 1.4f}, kSteelDark);
      raster::Box(m.hull, {tx1 + 0.9f, -bw * 0.7f, top + 0.2f}, {tx1 + 1.3f, bw * 0.7f, top + 1.1f}, kGlass);
    } else {
      // A swept fin bridge.
      const float h = w.bridgeHeight;
      raster::Plate(
          m.hull, {w.bridgeAt, 0, w.deck}, {1, 0, 0}, {0, 0, 1},
          {{-w.bridgeLength / 2, 0}, {w.bridgeLength / 2, 0}, {w.bridgeLength * 0.1f, h}, {-w.bridgeLength * 0.3f, h}},
          bw * 0.7f, kSteel);
      raster::Box(m.hull, {w.bridgeAt + w.bridgeLength * 0.05f, -bw * 0.36f, w.deck + h * 0.55f},
                  {w.bridgeAt + w.bridgeLength * 0.22f, bw * 0.36f, w.deck + h * 0.75f}, kGlass);
    }
  }
  for (int i = 0; i < w.turrets; ++i) {
    const float x = w.bow - len * (0.3f + 0.11f * static_cast<float>(i));
    Turret(m.hull, x, 0.0f, w.deck - 0.3f, w.beam * 0.28f);
  }
  // Wings, with a running light at each tip.
  if (w.wingSpan > 0.0f) {
    for (const float side : {-1.0f, 1.0f}) {
      const float root = w.beam * 0.7f;
      const std::vector<TPoint> outline = {{w.wingAt + w.wingChord / 2, side * root},
                                           {w.wingAt - w.wingSweep + w.wingChord * 0.2f, side * w.wingSpan},
                                           {w.wingAt - w.wingSweep - w.wingChord * 0.25f, side * w.wingSpan},
                                           {w.wingAt - w.wingChord / 2, side * root}};
      raster::Plate(m.hull, {0, 0, w.wingZ}, {1, 0, 0}, {0, 1, 0}, outline, 1.2f, kSteel);
      const float tx = w.wingAt - w.wingSweep - w.wingChord * 0.02f;
      raster::Box(m.hull, {tx - 1.2f, side * w.wingSpan - 0.8f, w.wingZ - 0.7f},
                  {tx + 1.2f, side * w.wingSpan + 0.8f, w.wingZ + 0.7f}, kLamp);
    }
  }
  // The stern's engine block and its main engines.
  if (w.engines > 0) {
    const float half = w.engineSpread * static_cast<float>(w.engines - 1) / 2.0f + w.engineRadius + 1.5f;
    const float bottom = std::min(w.deck * 0.2f, w.engineZ - w.engineRadius - 1.0f);
    // The nozzles stand on the block's rear edge, so that they show over it from ahead.
    const float top = w.engineZ + w.engineRadius * 0.5f;
    raster::Loft(m.hull,
                 {{w.stern + len * 0.16f, raster::BoxOutline(half * 0.8f, bottom, std::max(w.deck, top - 2.5f), 1.0f)},
                  {w.stern + 2.0f, raster::BoxOutline(half, bottom, top, 1.2f)},
                  {w.stern - 1.0f, raster::BoxOutline(half * 0.96f, bottom + 0.4f, top - 0.4f, 1.2f)}},
                 kSteel);
    for (int i = 0; i < w.engines; ++i) {
      const float y = (static_cast<float>(i) - static_cast<float>(w.engines - 1) / 2.0f) * w.engineSpread;
      Bell(m, {w.stern - 1.0f - w.engineRadius * 0.9f, y, w.engineZ}, w.engineRadius, w.engineRadius * 0.9f);
    }
  }
  // Side pods on pylons.
  if (w.podLength > 0.0f) {
    for (const float side : {-1.0f, 1.0f}) {
      const float y = side * w.podY;
      Pod(m.hull, w.podAt - w.podLength / 2, w.podAt + w.podLength / 2, y, w.podZ, w.podRadius, kSteel);
      raster::Plate(m.hull, {w.podAt, 0, w.podZ * 0.5f + w.deck * 0.25f}, {1, 0, 0}, {0, 1, 0},
                    {{w.podLength * 0.25f, side * w.beam * 0.6f},
                     {w.podLength * 0.15f, y},
                     {-w.podLength * 0.3f, y},
                     {-w.podLength * 0.35f, side * w.beam * 0.6f}},
                    1.4f, kSteelDark);
      raster::Lathe(m.hull, {w.podAt + w.podLength / 2 - w.podLength * 0.12f, y, w.podZ}, {1, 0, 0},
                    {{0.0f, w.podRadius * 1.02f}, {w.podLength * 0.05f, w.podRadius * 1.02f}}, 12, kAccent);
      if (w.podEngines) {
        Bell(m, {w.podAt - w.podLength / 2 - w.podRadius * 0.6f, y, w.podZ}, w.podRadius * 0.8f, w.podRadius * 0.6f);
      }
    }
  }
  m.look.accent = w.accent;
  m.look.bands = w.bands;
}

// The warships' parameters; classes as the catalogue uses them.
const TWarship& Warship(int number) {
  // clang-format off
  static const TWarship ships[18] = {
      // 0: the long cruiser; its single drive sits high at the stern.
      {80, -62, 15, 8, -6, kNeedle, -30, 34, 9, 1, 0, 0, 0, 0, 0, false, 8, 22, 28, 10, 0, 2, 1, 16, 5.5f, 0, true,
       Rgb(40, 176, 170), {{46, 50}, {52, 54}}},
      // 1: the compact destroyer with the raised drive ahead of the centre (built on below).
      {40, -34, 9, 5, -4, kWedge, -18, 16, 6, 0, 0, 0, 0, 0, 0, false, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, false,
       Rgb(226, 162, 40), {{27, 30}}},
      // 2: a needle destroyer with outboard engine pods.
      {40, -34, 7.5f, 4.5f, -3.5f, kNeedle, -8, 16, 5, 2, -18, 28, 3.2f, 12, 1.5f, true, 0, 0, 0, 0, 0, 1, 1, 6.5f,
       3, 0, false,
       Rgb(140, 164, 56), {{20, 23}}},
      // 3: a hammerhead cruiser with two engines and broad wings.
      {74, -66, 17, 8, -6, kHammer, -24, 30, 8, 0, 0, 0, 0, 0, 0, false, -36, 26, 40, 14, 1, 3, 2, 8, 5, 14, false,
       Rgb(144, 100, 206), {{66, 70}}},
      // 4: a cruiser with long engine pods and three turrets.
      {76, -64, 14, 7.5f, -5.5f, kNeedle, -16, 30, 10, 1, -34, 62, 6.5f, 25, 2, true, 0, 0, 0, 0, 0, 3, 1, 12, 5, 0,
       true,
       Rgb(204, 140, 58), {{40, 44}}},
      // 5: a destroyer with swept wings and two engines.
      {38, -36, 8, 4.5f, -3.5f, kWedge, -12, 14, 6, 2, 0, 0, 0, 0, 0, false, -14, 16, 22, 9, 0.5f, 0, 2, 4, 3, 6, false,
       Rgb(62, 174, 120), {{24, 27}}},
      // 6: a pronged destroyer.
      {40, -36, 9, 5, -4, kProngs, -14, 18, 6, 0, 0, 0, 0, 0, 0, false, 0, 0, 0, 0, 0, 0, 1, 6, 4, 0, true,
       Rgb(204, 92, 124), {}},
      // 7: a heavy wedge cruiser with three engines and a tall tower.
      {72, -68, 18, 9, -7, kWedge, -28, 30, 14, 1, 0, 0, 0, 0, 0, false, 0, 0, 0, 0, 0, 2, 3, 9, 4.5f, 10, true,
       Rgb(214, 184, 72), {{58, 62}}},
      // 8: a pronged cruiser with engine pods and wings.
      {78, -62, 14, 7.5f, -5.5f, kProngs, -20, 28, 9, 2, -32, 48, 5.5f, 26, 3, true, -20, 22, 34, 10, 1, 2, 1, 11,
       4.5f, 0, false,
       Rgb(60, 190, 214), {}},
      // 9: a slim destroyer with one big engine and a fin bridge.
      {42, -34, 7, 4.5f, -3.5f, kNeedle, -10, 14, 8, 2, 0, 0, 0, 0, 0, false, 0, 0, 0, 0, 0, 1, 1, 5, 4.5f, 0, true,
       Rgb(152, 204, 60), {{22, 25}, {27, 29}}},
      // 10: a destroyer with pods that carry its engines and a low bridge.
      {36, -36, 8.5f, 4.5f, -4, kHammer, -14, 16, 5, 0, -20, 24, 3.4f, 13, 0.5f, true, 0, 0, 0, 0, 0, 0, 1, 6.5f, 3,
       0, false,
       Rgb(194, 112, 70), {}},
      // 11: a wide cruiser with wings and pods, three engines in all.
      {70, -66, 16, 8, -6, kWedge, -26, 32, 10, 0, -30, 40, 5, 30, 1, true, -10, 26, 40, 16, 0, 2, 1, 9, 5.5f, 0, false,
       Rgb(104, 124, 196), {{54, 58}}},
      // 12: the saucer (a model of its own).
      {},
      // 13: a sleek cruiser with a fin bridge and two engines.
      {80, -62, 13, 7, -5, kNeedle, -14, 36, 13, 2, 0, 0, 0, 0, 0, false, -26, 24, 30, 16, 2, 2, 2, 7, 4.5f, 12, true,
       Rgb(156, 52, 84), {{48, 51}}},
      // 14: the cruiser with three engines: two in the pods, the third high on the stern (built on
      // below).
      {76, -62, 15, 8, -6, kHammer, -12, 30, 9, 1, -42, 40, 5.5f, 26, 2, true, 0, 0, 0, 0, 0, 2, 0, 0, 0, 0, true,
       Rgb(194, 164, 84), {{60, 64}}},
      // 15: a small destroyer with swept wings and one engine.
      {36, -34, 8, 4.5f, -3.5f, kNeedle, -12, 14, 6, 1, 0, 0, 0, 0, 0, false, -16, 14, 20, 10, 0, 0, 1, 5, 4, 0, false,
       Rgb(112, 212, 172), {{18, 21}}},
      // 16: a warship destroyer: heavy pods, two turrets.
      {40, -34, 8.5f, 5, -4, kWedge, -12, 16, 7, 0, -14, 30, 4, 14, 0, true, 0, 0, 0, 0, 0, 2, 1, 7, 3.2f, 0, true,
       Rgb(152, 84, 174), {}},
      // 17: a heavy cruiser with wings, a tall tower and two engines.
      {74, -64, 17, 8.5f, -6.5f, kHammer, -28, 34, 15, 1, 0, 0, 0, 0, 0, false, -34, 30, 36, 16, 1, 2, 2, 9, 5.5f,
       14, true,
       Rgb(172, 122, 62), {{60, 63}}},
  };
  // clang-format on
  return ships[number];
}

// Picture 1: a raised drive housing ahead of the centre, on a pylon, its two ports on its top
// and its sides.
void DriveHousing1(TModel& m) {
  raster::Loft(m.hull,
               {{-4, raster::BoxOutline(4.0f, 3.0f, 8.5f, 1.0f)}, {14, raster::BoxOutline(3.2f, 3.0f, 8.5f, 1.0f)}},
               kSteelDark);
  raster::Loft(m.hull,
               {{-6, raster::BoxOutline(9.5f, 7.0f, 15.5f, 2.5f)},
                {0, raster::BoxOutline(12.0f, 6.0f, 18.0f, 3.2f)},
                {19, raster::BoxOutline(12.0f, 6.0f, 18.0f, 3.2f)},
                {24, raster::BoxOutline(9.5f, 7.0f, 15.0f, 2.5f)}},
               kSteel);
  raster::Box(m.hull, {2, -12.4f, 9}, {17, 12.4f, 10.5f}, kAccent);
  m.nozzles.push_back({{13.0f, 2.6f, 11.7f}, 3.2f, {-1, 0, 0}, {}, {}});
  m.nozzles.push_back({{7.4f, -4.0f, 14.8f}, 3.2f, {-1, 0, 0}, {}, {}});
}

// Picture 14: the third engine on a raised housing at the stern, between two fins.
void DorsalEngine14(TModel& m) {
  raster::Loft(m.hull,
               {{-36, raster::BoxOutline(6.0f, 6.0f, 12.0f, 1.5f)},
                {-48, raster::BoxOutline(9.5f, 6.0f, 22.0f, 2.0f)},
                {-52, raster::BoxOutline(9.5f, 6.5f, 22.0f, 2.0f)}},
               kSteel);
  for (const float side : {-1.0f, 1.0f}) {
    raster::Plate(m.hull, {-44, side * 10.0f, 8}, {1, 0, 0}, {0, 0, 1}, {{8, 0}, {-10, 0}, {-14, 18}, {-8, 18}}, 1.2f,
                  kSteelDark);
  }
  Bell(m, {-55.0f, 2.0f, 16.0f}, 4.5f, 3.5f);
}

// ---- The saucer -----------------------------------------------------------------------------

void BuildSaucer(TModel& m) {
  // The disc: a thin rim, a sloping upper hull with a domed bridge, a flatter underside and the
  // ventral thruster pod hanging below the middle.
  raster::Lathe(m.hull, {0, 0, 0}, {0, 0, 1},
                {{-3.0f, 0.0f},
                 {-3.0f, 14.0f},
                 {-1.5f, 24.0f},
                 {0.0f, 26.0f},
                 {1.2f, 25.0f},
                 {3.5f, 17.0f},
                 {5.0f, 9.0f},
                 {5.0f, 0.0f}},
                32, kSteel);
  raster::Lathe(m.hull, {0, 0, 5}, {0, 0, 1}, {{0.0f, 8.0f}, {2.5f, 7.0f}, {4.5f, 4.0f}, {5.5f, 0.0f}}, 24, kGlass,
                true);
  raster::Lathe(m.hull, {0, 0, 0}, {0, 0, 1}, {{-0.2f, 25.2f}, {0.6f, 25.2f}}, 32, kAccent);
  raster::Lathe(m.hull, {0, 0, -3}, {0, 0, -1}, {{0.0f, 9.0f}, {6.0f, 6.5f}, {11.0f, 5.0f}, {12.5f, 4.0f}}, 16,
                kSteelDark);
  TNozzle n{{0, 0, -18.0f}, 4.0f, {0, 0, -1}, {}, {}};
  raster::Lathe(n.bell, {0, 0, -15.5f}, {0, 0, -1}, {{0.0f, 4.0f}, {2.6f, 4.4f}}, 16, kSteelDark);
  raster::Lathe(n.glow, {0, 0, -17.8f}, {0, 0, -1}, {{0.0f, 0.0f}, {0.0f, 3.3f}}, 16, kGlow);
  m.nozzles.push_back(std::move(n));
  // Lights round the rim.
  for (int i = 0; i < 12; ++i) {
    const float t = static_cast<float>(i) * kPi / 6.0f + 0.26f;
    const float x = 23.6f * std::cos(t), y = 23.6f * std::sin(t);
    raster::Box(m.hull, {x - 0.9f, y - 0.9f, 1.2f}, {x + 0.9f, y + 0.9f, 2.4f}, kLamp);
  }
  m.look.accent = Rgb(70, 200, 190);
}

// ---- Satellites -----------------------------------------------------------------------------

void SolarWing(TMesh& mesh, float x0, float x1, float y, float z, float halfWidth) {
  raster::Plate(mesh, {0, y, z}, {1, 0, 0}, {0, 1, 0},
                {{x0, -halfWidth}, {x1, -halfWidth}, {x1, halfWidth}, {x0, halfWidth}}, 0.8f, kSolar);
}

void BuildSatellite(TModel& m, int kind) {
  switch (kind) {
    case 0: {
      // A foil-wrapped bus with two long solar wings along its axis, an antenna mast.
      raster::Box(m.hull, {-7, -6, -5}, {7, 6, 6}, kFoil);
      raster::Box(m.hull, {-7.5f, -6.5f, 5.5f}, {7.5f, 6.5f, 7}, kSteelDark);
      for (const float side : {-1.0f, 1.0f}) {
        raster::Box(m.hull, {side * 7, -0.8f, 0}, {side * 11, 0.8f, 1.6f}, kSteelDark);
        SolarWing(m.hull, side * 11, side * 31, 0, 0.8f, 7);
      }
      raster::Box(m.hull, {-0.6f, -0.6f, 7}, {0.6f, 0.6f, 16}, kSteelDark);
      raster::Box(m.hull, {-1.2f, -1.2f, 15.5f}, {1.2f, 1.2f, 17}, kLamp);
      Bell(m, {-9.0f, 3.0f, -2.5f}, 2.2f, 2.0f);
      m.look.accent = Rgb(240, 90, 70);
      break;
    }
    case 1: {
      // A ring station: a wheel round a spherical hub, two thrusters.
      raster::Lathe(
          m.hull, {0, 0, -2}, {0, 0, 1},
          {{0.0f, 19.0f}, {1.0f, 21.5f}, {3.0f, 21.5f}, {4.0f, 19.0f}, {3.0f, 17.0f}, {1.0f, 17.0f}, {0.0f, 19.0f}}, 32,
          kSteel);
      raster::Lathe(m.hull, {0, 0, -8}, {0, 0, 1},
                    {{0.0f, 0.0f}, {1.5f, 5.5f}, {6.0f, 8.0f}, {10.5f, 5.5f}, {12.0f, 0.0f}}, 20, kSteel, true);
      for (int i = 0; i < 4; ++i) {
        const float t = static_cast<float>(i) * kPi / 2.0f + kPi / 4.0f;
        raster::Lathe(m.hull, {0, 0, 0}, {std::cos(t), std::sin(t), 0}, {{6.0f, 1.1f}, {17.5f, 1.1f}}, 8, kSteelDark);
      }
      raster::Lathe(m.hull, {0, 0, 0}, {0, 0, 1}, {{-0.2f, 21.6f}, {0.8f, 21.6f}}, 32, kAccent);
      Bell(m, {-10.0f, 0.0f, -4.0f}, 2.4f, 2.5f);
      raster::Box(m.hull, {-8.5f, -1.6f, -5.5f}, {-5, 1.6f, -2.5f}, kSteelDark);
      m.look.accent = Rgb(90, 200, 240);
      break;
    }
    case 2: {
      // A relay: a long bus with a big dish on top and four solar panels.
      raster::Loft(m.hull, {{-14, raster::BoxOutline(4.5f, -4, 4, 1.4f)}, {14, raster::BoxOutline(4.5f, -4, 4, 1.4f)}},
                   kSteel);
      raster::Lathe(m.hull, {0, 0, 4}, {0, 0, 1}, {{0.0f, 1.5f}, {5.0f, 1.5f}}, 10, kSteelDark);
      raster::Lathe(m.hull, {0, 0, 8}, {0, 0, 1}, {{0.0f, 0.0f}, {1.0f, 6.0f}, {3.0f, 11.0f}, {3.6f, 12.0f}}, 28,
                    kSteel, true);
      raster::Lathe(m.hull, {0, 0, 8}, {0, 0, 1}, {{3.7f, 0.6f}, {8.5f, 0.0f}}, 8, kSteelDark);
      for (const float side : {-1.0f, 1.0f}) {
        SolarWing(m.hull, side * 15.5f, side * 30, 0, 0, 5.5f);
        raster::Box(m.hull, {side < 0 ? -15.5f : 14, -0.6f, -0.6f}, {side < 0 ? -14 : 15.5f, 0.6f, 0.6f}, kSteelDark);
      }
      raster::Box(m.hull, {-14.5f, -4.7f, -1}, {14.5f, 4.7f, 0.6f}, kAccent);
      Bell(m, {-15.5f, 0.0f, -2.0f}, 2.0f, 1.6f);
      m.look.accent = Rgb(226, 196, 70);
      break;
    }
    default: {
      // A weapons platform: a six-sided deck with three turrets, spikes and two thrusters.
      std::vector<TPoint> hex;
      for (int i = 0; i < 6; ++i) {
        const float t = static_cast<float>(i) * kPi / 3.0f;
        hex.push_back({24.0f * std::cos(t), 15.0f * std::sin(t)});
      }
      raster::Plate(m.hull, {0, 0, 0}, {1, 0, 0}, {0, 1, 0}, hex, 4.0f, kSteel);
      raster::Lathe(m.hull, {0, 0, -2}, {0, 0, -1}, {{0.0f, 9.0f}, {4.0f, 6.0f}, {6.0f, 0.0f}}, 16, kSteelDark);
      raster::Lathe(m.hull, {0, 0, 2}, {0, 0, 1}, {{0.0f, 7.0f}, {3.0f, 5.5f}, {4.5f, 0.0f}}, 16, kSteel, true);
      Turret(m.hull, 13, 0, 2, 3.2f);
      Turret(m.hull, -8, 7, 2, 2.8f);
      Turret(m.hull, -8, -7, 2, 2.8f);
      for (int i = 0; i < 6; ++i) {
        const float t = static_cast<float>(i) * kPi / 3.0f;
        raster::Box(m.hull, {24.0f * std::cos(t) - 1.0f, 15.0f * std::sin(t) - 1.0f, 1.5f},
                    {24.0f * std::cos(t) + 1.0f, 15.0f * std::sin(t) + 1.0f, 3.0f}, kLamp);
      }
      Bell(m, {-25.5f, 4.5f, 0.0f}, 1.8f, 1.6f);
      Bell(m, {-25.5f, -4.5f, 0.0f}, 1.8f, 1.6f);
      m.look.accent = Rgb(240, 120, 60);
      break;
    }
  }
}

const TModel& Model(int number) {
  static const std::array<TModel, kHullPictures> models = [] {
    std::array<TModel, kHullPictures> out;
    for (int n = 0; n < kHullPictures; ++n) {
      TModel& m = out[static_cast<size_t>(n)];
      m.look.seed = art::SeedOf("BTSH", static_cast<std::uint32_t>(n));
      if (n == 12) {
        BuildSaucer(m);
      } else if (n >= 18) {
        BuildSatellite(m, n - 18);
      } else {
        BuildWarship(m, Warship(n));
        if (n == 1) DriveHousing1(m);
        if (n == 14) DorsalEngine14(m);
      }
      if (m.nozzles.size() > 3) throw EGameError("a hull model has more than three nozzles");
    }
    return out;
  }();
  return models[static_cast<size_t>(number)];
}

// A point of a nozzle's exit that lies no more than this far (model units) behind what the hull
// shows there is in sight.
constexpr float kNozzleDepthSlack = 1.0f;

// A glowing port drawn at a fixed flame point (frame pixels).
void Port(raster::TCanvas& c, float x, float y, float r) {
  c.FillEllipse({x, y}, r, r * 0.8f, raster::Solid(Rgb(24, 26, 32)));
  c.FillEllipse({x, y}, r * 0.72f, r * 0.58f, raster::Solid(Rgb(150, 196, 230)));
  c.FillEllipse({x, y}, r * 0.45f, r * 0.36f, raster::Solid(Rgb(236, 248, 255)));
}

// Renders the model; in a battle frame (octant >= 0) the fixed points replace their nozzles' own.
TShipRender Render(int number, const TShipShot& shot, int octant) {
  const TModel& m = Model(number);
  TShipRender out;
  out.Canvas = raster::TCanvas(shot.Width, shot.Height, shot.Supersample);
  const raster::TCamera camera = ShotCamera(shot);
  raster::TPose pose;
  pose.Heading = shot.Heading;
  const raster::TShader shader = [&m](const TFragment& f) { return Shade(f, m.look); };
  raster::TDepthBuffer depth;
  raster::RenderMesh(out.Canvas, depth, m.hull, camera, pose, shader);
  const raster::TProjector projector(camera);
  // Whether the hull hides each nozzle, before the bells are drawn: in sight when the centre of
  // its exit or a point of its rim is.
  const float step = 1.0f / static_cast<float>(shot.Supersample);
  auto inSight = [&](const TVec3& model) {
    const raster::TScreenPoint p = projector.Project(pose.ToWorld(model));
    float farthest = -std::numeric_limits<float>::infinity();
    for (int dy = -1; dy <= 1; ++dy) {
      for (int dx = -1; dx <= 1; ++dx) farthest = std::max(farthest, depth.At(p.x + dx * step, p.y + dy * step));
    }
    return p.depth <= farthest + kNozzleDepthSlack * shot.Scale;
  };
  for (const TNozzle& n : m.nozzles) {
    const raster::TScreenPoint p = projector.Project(pose.ToWorld(n.exit));
    TVec3 u = raster::Normalize(raster::Cross(n.axis, std::fabs(n.axis.z) < 0.9f ? TVec3{0, 0, 1} : TVec3{1, 0, 0}));
    const TVec3 v = raster::Cross(n.axis, u);
    bool visible = inSight(n.exit);
    for (int k = 0; k < 8 && !visible; ++k) {
      const float a = static_cast<float>(k) * kPi / 4.0f;
      visible = inSight(n.exit + (u * std::cos(a) + v * std::sin(a)) * (n.radius * 0.85f));
    }
    out.Nozzles.push_back({p.x, p.y, visible});
  }
  // The throats; in a battle frame those of fixed nozzles give way to the ports at the fixed
  // points.
  raster::TMesh throats;
  for (size_t i = 0; i < m.nozzles.size(); ++i) {
    throats.Append(m.nozzles[i].bell);
    if (octant < 0 || !IsFixedFlamePoint(number, static_cast<int>(i))) throats.Append(m.nozzles[i].glow);
  }
  raster::RenderMesh(out.Canvas, depth, throats, camera, pose, shader);
  if (octant >= 0) {
    for (int point = 0; point < 3; ++point) {
      const TFlameLine* line = FixedLine(number, point);
      if (line == nullptr) continue;
      const TFlamePoint& p = (*line)[static_cast<size_t>(octant)];
      const bool shown = p[0] != kNoFlame;
      const float x = shot.Centre.x + static_cast<float>(shown ? p[0] : 0);
      const float y = shot.Centre.y + static_cast<float>(shown ? p[1] : 0);
      if (static_cast<size_t>(point) < out.Nozzles.size()) out.Nozzles[static_cast<size_t>(point)] = {x, y, shown};
      if (!shown) continue;
      // The hull must lie under the port.
      if (depth.At(x, y) == std::numeric_limits<float>::infinity()) {
        throw EGameError("the fixed flame point " + std::to_string(point) + " of picture " + std::to_string(number) +
                         " in heading " + std::to_string(octant) + " lies off the hull");
      }
      Port(out.Canvas, x, y, m.nozzles[static_cast<size_t>(point)].radius * shot.Scale);
    }
  }
  return out;
}

}  // namespace

raster::TCamera ShotCamera(const TShipShot& s) {
  raster::TCamera c;
  c.Eye = {0.0f, s.Distance * std::cos(s.Elevation), s.Distance * std::sin(s.Elevation)};
  c.Target = {0, 0, 0};
  c.Focal = s.Distance * s.Scale;
  c.Centre = s.Centre;
  return c;
}

THullClass HullClassOf(int number) {
  switch (number) {
    case 0:
    case 3:
    case 4:
    case 7:
    case 8:
    case 11:
    case 13:
    case 14:
    case 17: return THullClass::kCruiser;
    case 12: return THullClass::kSaucer;
    default: return number >= 18 ? THullClass::kSatellite : THullClass::kDestroyer;
  }
}

int BattleFrameWidth(int number) {
  const THullClass c = HullClassOf(number);
  return c == THullClass::kCruiser ? 176 : c == THullClass::kDestroyer ? 96 : 72;
}

int BattleFrameHeight(int number) {
  const THullClass c = HullClassOf(number);
  return c == THullClass::kCruiser ? 120 : 72;
}

TShipShot BattleShot(int number, int octant) {
  TShipShot s;
  s.Width = BattleFrameWidth(number);
  s.Height = BattleFrameHeight(number);
  s.Heading = static_cast<float>(octant) * kPi / 4.0f;
  s.Centre = {static_cast<float>(s.Width) / 2.0f, static_cast<float>(s.Height) / 2.0f};
  return s;
}

TShipShot FittedShot(int number, int width, int height, float heading, float elevation, float fill) {
  TShipShot s;
  s.Width = width;
  s.Height = height;
  s.Heading = heading;
  s.Elevation = elevation;
  // The outline at one unit a pixel around (0, 0); the perspective keeps its shape at any scale.
  const raster::TProjector projector(ShotCamera(s));
  raster::TPose pose;
  pose.Heading = heading;
  float x0 = 1e9f, y0 = 1e9f, x1 = -1e9f, y1 = -1e9f;
  const TModel& m = Model(number);
  auto extend = [&](const raster::TMesh& mesh) {
    for (const raster::TTriangle& t : mesh.Triangles) {
      for (const raster::TVertex& v : t.V) {
        const raster::TScreenPoint p = projector.Project(pose.ToWorld(v.Position));
        x0 = std::min(x0, p.x), x1 = std::max(x1, p.x), y0 = std::min(y0, p.y), y1 = std::max(y1, p.y);
      }
    }
  };
  extend(m.hull);
  for (const TNozzle& n : m.nozzles) extend(n.bell);
  s.Scale = std::min(static_cast<float>(width) * fill / (x1 - x0), static_cast<float>(height) * fill / (y1 - y0));
  s.Centre = {static_cast<float>(width) / 2.0f - (x0 + x1) / 2.0f * s.Scale,
              static_cast<float>(height) / 2.0f - (y0 + y1) / 2.0f * s.Scale};
  return s;
}

TShipRender RenderShip(int number, const TShipShot& shot) { return Render(number, shot, -1); }

bool IsFixedFlamePoint(int number, int point) { return FixedLine(number, point) != nullptr; }

TFlameTable FlameRows(int threads) {
  TFlameTable table;
  ParallelFor(kHullPictures, threads, [&table](int n) {
    for (int d = 0; d < 8; ++d) {
      const TShipShot shot = BattleShot(n, d);
      const TShipRender r = Render(n, shot, -1);
      for (int point = 0; point < 3; ++point) {
        TFlamePoint& out = table[static_cast<size_t>(n)][static_cast<size_t>(point)][static_cast<size_t>(d)];
        if (const TFlameLine* line = FixedLine(n, point)) {
          out = (*line)[static_cast<size_t>(d)];
        } else if (static_cast<size_t>(point) < r.Nozzles.size() && r.Nozzles[static_cast<size_t>(point)].Visible) {
          const TNozzleView& v = r.Nozzles[static_cast<size_t>(point)];
          out = {static_cast<int>(std::lround(v.X - shot.Centre.x)),
                 static_cast<int>(std::lround(v.Y - shot.Centre.y))};
        } else {
          out = kNo;
        }
      }
    }
  });
  return table;
}

std::string FlameRowsText(const TFlameTable& table) {
  std::string out;
  for (int n = 0; n < kHullPictures; ++n) {
    out += "    // " + std::to_string(n) + "\n    {";
    for (int point = 0; point < 3; ++point) {
      out += point == 0 ? "{" : "     {";
      for (int d = 0; d < 8; ++d) {
        const TFlamePoint& p = table[static_cast<size_t>(n)][static_cast<size_t>(point)][static_cast<size_t>(d)];
        out += "{" + std::to_string(p[0]) + ", " + std::to_string(p[1]) + "}";
        if (d < 7) out += ", ";
      }
      out += point < 2 ? "},\n" : "}},\n";
    }
  }
  return out;
}

raster::TImage24 BattleFrame(int number, int octant) {
  const TShipShot shot = BattleShot(number, octant);
  const TShipRender r = Render(number, shot, octant);
  raster::TCanvas c = r.Canvas.Resolve();
  // The sprite keeps a clear edge: nothing may touch the frame's border.
  for (int x = 0; x < c.Width(); ++x) {
    for (const int y : {0, c.Height() - 1}) {
      if (c.Pixel(x, y).a > 0.0f) throw EGameError("hull picture " + std::to_string(number) + " leaves its frame");
    }
  }
  for (int y = 0; y < c.Height(); ++y) {
    for (const int x : {0, c.Width() - 1}) {
      if (c.Pixel(x, y).a > 0.0f) throw EGameError("hull picture " + std::to_string(number) + " leaves its frame");
    }
  }
  return raster::KeyedImage(c);
}

}  // namespace vdmq::sample
