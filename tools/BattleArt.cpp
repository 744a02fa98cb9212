#include "tools/BattleArt.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <numbers>

#include "tools/ArtStyle.h"
#include "tools/HullModels.h"
#include "tools/MeshShapes.h"
#include "tools/Noise.h"
#include "tools/Starfield.h"

namespace vdmq::sample {

using raster::Rgb;
using raster::TCanvas;
using raster::TGradient;
using raster::TImage24;
using raster::TPoint;
using raster::TRgba;

namespace {

constexpr float kPi = std::numbers::pi_v<float>;

// ---- Colours of the sides -------------------------------------------------------------------

// Heat ramps: what a glow shows from nothing (black) to white hot.
const TGradient& PlayerRamp() {
  static const TGradient g{{{0.0f, Rgb(0, 0, 0)},
                            {0.22f, Rgb(14, 40, 150)},
                            {0.5f, Rgb(60, 140, 255)},
                            {0.78f, Rgb(170, 215, 255)},
                            {1.0f, Rgb(255, 255, 255)}}};
  return g;
}
const TGradient& OthersRamp() {
  static const TGradient g{{{0.0f, Rgb(0, 0, 0)},
                            {0.22f, Rgb(130, 18, 4)},
                            {0.5f, Rgb(240, 84, 18)},
                            {0.78f, Rgb(255, 184, 80)},
                            {1.0f, Rgb(255, 250, 226)}}};
  return g;
}
const TGradient& ThirdRamp() {
  static const TGradient g{{{0.0f, Rgb(0, 0, 0)},
                            {0.22f, Rgb(8, 80, 30)},
                            {0.5f, Rgb(50, 196, 80)},
                            {0.78f, Rgb(170, 255, 160)},
                            {1.0f, Rgb(250, 255, 245)}}};
  return g;
}
const TGradient& FireRamp() {
  static const TGradient g{{{0.0f, Rgb(0, 0, 0)},
                            {0.18f, Rgb(70, 10, 2)},
                            {0.4f, Rgb(200, 56, 8)},
                            {0.62f, Rgb(255, 150, 36)},
                            {0.82f, Rgb(255, 226, 140)},
                            {1.0f, Rgb(255, 255, 240)}}};
  return g;
}
const TGradient& SmokeRamp() {
  static const TGradient g{
      {{0.0f, Rgb(0, 0, 0)}, {0.3f, Rgb(44, 46, 54)}, {0.65f, Rgb(120, 120, 128)}, {1.0f, Rgb(236, 228, 214)}}};
  return g;
}
const TGradient& ShieldRamp() {
  static const TGradient g{{{0.0f, Rgb(0, 0, 0)},
                            {0.25f, Rgb(0, 44, 96)},
                            {0.55f, Rgb(30, 150, 210)},
                            {0.8f, Rgb(150, 232, 255)},
                            {1.0f, Rgb(255, 255, 255)}}};
  return g;
}
const TGradient& SideRamp(bool player) { return player ? PlayerRamp() : OthersRamp(); }

// A solid colour of a side for the keyed sprites: the ramp at a heat.
TRgba SideColour(bool player, float heat) { return SideRamp(player).At(heat); }

// ---- Frames ---------------------------------------------------------------------------------

// A frame drawn as heat (0 nothing, 1 white hot) at 3 x 3 samples a pixel, coloured by the ramp,
// on black: what an ADD sheet holds.
TImage24 HeatFrame(int w, int h, const TGradient& ramp, const std::function<float(float x, float y)>& heat) {
  TCanvas c(w, h, 3);
  c.ForEachSample(0, 0, static_cast<float>(w), static_cast<float>(h), [&](float x, float y, TRgba& s) {
    const TRgba col = ramp.At(std::clamp(heat(x, y), 0.0f, 1.0f));
    s = {col.r, col.g, col.b, 1.0f};
  });
  return c.Flatten();
}

// A sheet of the entry's grid on a background, frame f drawn by draw(f) for the frames asked for.
TImage24 Sheet(const TArtEntry& e, raster::TBgr background, int frames,
               const std::function<TImage24(int frame)>& draw) {
  TImage24 sheet(e.Width, e.Height, background);
  for (int f = 0; f < frames; ++f) {
    TImage24 frame = draw(f);
    if (frame.Width > 0) sheet.Paste(frame, (f % e.Cols) * e.FrameWidth(), (f / e.Cols) * e.FrameHeight());
  }
  return sheet;
}

constexpr raster::TBgr kBlack{0, 0, 0};

// A soft round glow: 1 at the centre, falling like a Gaussian of the given radius, and to nothing
// at `edge`.
float Blob(float x, float y, float cx, float cy, float radius, float edge) {
  const float d2 = (x - cx) * (x - cx) + (y - cy) * (y - cy);
  return std::exp(-d2 / (2.0f * radius * radius)) * raster::Smoothstep(edge, edge * 0.7f, std::sqrt(d2));
}

// ---- Engine flames --------------------------------------------------------------------------

// Flame flicker k (0..2): a hot core in a flickering glow, round, since it is drawn in every
// heading; never reaching the frame's edge.
TImage24 Flame(const TArtEntry& e, const TGradient& ramp, int k) {
  const float c = static_cast<float>(e.FrameWidth()) / 2.0f;
  const std::uint32_t seed = art::SeedOf(e.Name(), static_cast<std::uint32_t>(k));
  const float size = 5.2f + 1.1f * static_cast<float>(k == 1 ? 2 : k == 2 ? 1 : 0);
  return HeatFrame(e.FrameWidth(), e.FrameHeight(), ramp, [&](float x, float y) {
    const float a = std::atan2(y - c, x - c);
    const float wobble =
        1.0f + 0.22f * (raster::ValueNoise(std::cos(a) * 2.0f + 5.0f, std::sin(a) * 2.0f + 5.0f, seed) - 0.5f);
    const float outer = Blob(x, y, c, c, size * wobble * 0.62f, c - 1.0f);
    const float core = Blob(x, y, c, c, 1.9f, c - 1.0f);
    return 0.62f * outer + 0.6f * core;
  });
}

// ---- Explosions -----------------------------------------------------------------------------

// Frame k of 8 of a fireball of the frame's size: it grows, burns white, then orange, and fades
// to embers; a shock ring runs out through the first frames, sparks fly off.
TImage24 Fireball(const TArtEntry& e, int k, bool small) {
  const float w = static_cast<float>(e.FrameWidth());
  const float c = w / 2.0f;
  const float t = static_cast<float>(k) / 7.0f;
  const std::uint32_t seed = art::SeedOf(e.Name());
  const float radius = w * (small ? 0.14f + 0.3f * std::sqrt(t) : 0.12f + 0.33f * std::sqrt(t));
  const float bright = k == 0 ? 0.85f : std::max(0.22f, 1.05f - 0.95f * t);
  const float ring = w * (0.1f + 0.42f * t);
  return HeatFrame(e.FrameWidth(), e.FrameHeight(), FireRamp(), [&](float x, float y) {
    const float dx = x - c, dy = y - c;
    const float d = std::sqrt(dx * dx + dy * dy);
    if (d > c - 1.0f) return 0.0f;
    // Billowing fire: fractal noise that swells with the ball.
    const float n = raster::Fbm(dx / radius * 1.6f + 11.0f, dy / radius * 1.6f + 3.0f * t, seed, 4);
    const float body = raster::Smoothstep(1.0f, 0.2f, d / (radius * (0.75f + 0.5f * n)));
    float heat = body * bright * (0.55f + 0.6f * n);
    // The white core of the first frames.
    heat += (1.0f - t) * (1.0f - t) * Blob(x, y, c, c, radius * 0.35f, c);
    // The shock ring.
    if (k >= 1 && k <= (small ? 4 : 5))
      heat += (1.0f - t) * 0.5f * std::exp(-(d - ring) * (d - ring) / (small ? 1.5f : 4.0f));
    // Sparks on rays.
    if (!small && k >= 1) {
      const float a = std::atan2(dy, dx);
      const float ray = raster::ValueNoise(a * 4.0f + 40.0f, 0.5f, seed + 3);
      if (ray > 0.82f && d > radius * 0.8f && d < radius * 1.5f) heat += (ray - 0.82f) * 3.0f * (1.0f - t);
    }
    return heat;
  });
}

// ---- Trails ---------------------------------------------------------------------------------

// A smoke puff of a missile's trail, frame k of 8: a warm exhaust puff that swells and cools to
// grey.
TImage24 SmokePuff(const TArtEntry& e, int k) {
  const float c = static_cast<float>(e.FrameWidth()) / 2.0f;
  const float t = static_cast<float>(k) / 7.0f;
  const std::uint32_t seed = art::SeedOf(e.Name(), static_cast<std::uint32_t>(k));
  return HeatFrame(e.FrameWidth(), e.FrameHeight(), SmokeRamp(), [&](float x, float y) {
    const float n = raster::Fbm(x * 0.35f, y * 0.35f, seed, 3);
    const float r = 1.8f + 3.6f * t;
    return (0.62f - 0.42f * t) * Blob(x, y, c, c, r * (0.7f + 0.5f * n), c - 1.0f);
  });
}

// The trail of a bolt, frame k of 8: for kind 3 a sparkle with a cross-shaped glint, for kind 2 a
// smaller soft spark; both fade and shrink.
TImage24 BoltTrail(const TArtEntry& e, bool player, bool heavy, int k) {
  const float c = static_cast<float>(e.FrameWidth()) / 2.0f;
  const float t = static_cast<float>(k) / 7.0f;
  const float fade = 1.0f - 0.85f * t;
  return HeatFrame(e.FrameWidth(), e.FrameHeight(), SideRamp(player), [&](float x, float y) {
    const float dx = std::fabs(x - c), dy = std::fabs(y - c);
    if (heavy) {
      const float glint = std::exp(-dy * dy / 0.8f) * raster::Smoothstep(8.0f * fade + 1.0f, 0.0f, dx) +
                          std::exp(-dx * dx / 0.8f) * raster::Smoothstep(8.0f * fade + 1.0f, 0.0f, dy);
      return fade * (0.75f * Blob(x, y, c, c, 2.0f + 1.5f * t, c - 1.0f) + 0.45f * glint);
    }
    return fade * 0.85f * Blob(x, y, c, c, 1.6f + 2.0f * t, c - 1.0f);
  });
}

// ---- Missiles -------------------------------------------------------------------------------

enum TMissileMaterial { kBody, kBand, kFin, kWarhead };

raster::TMesh MissileMesh(int kind) {
  raster::TMesh m;
  const float len = kind == 0 ? 9.0f : 10.0f, r = kind == 0 ? 1.7f : 2.7f;
  if (kind == 0) {
    raster::Lathe(m, {-len, 0, 0}, {1, 0, 0}, {{0.0f, r * 0.8f}, {1.0f, r}, {len * 1.35f, r}, {len * 2.0f, 0.0f}}, 10,
                  kBody, true);
    raster::Lathe(m, {len * 0.55f, 0, 0}, {1, 0, 0}, {{0.0f, r * 1.04f}, {2.2f, r * 1.0f}}, 10, kBand);
  } else {
    raster::Lathe(m, {-len, 0, 0}, {1, 0, 0}, {{0.0f, r * 0.7f}, {1.5f, r}, {len * 1.45f, r}, {len * 1.6f, r * 0.85f}},
                  12, kBody, true);
    raster::Lathe(m, {len * 0.6f, 0, 0}, {1, 0, 0}, {{-0.2f, 0.0f}, {0.0f, r * 0.9f}, {2.0f, r * 0.8f}, {4.2f, 0.0f}},
                  12, kWarhead, true);
  }
  // Four fins at the tail.
  for (int i = 0; i < 4; ++i) {
    const float a = kPi / 4.0f + static_cast<float>(i) * kPi / 2.0f;
    const raster::TVec3 out{0.0f, std::cos(a), std::sin(a)};
    raster::Plate(m, {-len, 0, 0}, {1, 0, 0}, out,
                  {{0.5f, r * 0.6f}, {4.0f, r * 0.8f}, {0.0f, r * 2.0f}, {-0.4f, r * 2.0f}}, 0.5f, kFin);
  }
  return m;
}

// Frame of a missile of a kind (0 light, 1 torpedo) in a heading octant for a side: the body
// rendered like the hulls, seen by the battle camera, over its exhaust glow.
TImage24 Missile(int kind, int octant, bool player) {
  TShipShot shot;
  shot.Width = shot.Height = 24;
  shot.Centre = {12.0f, 12.0f};
  const float heading = static_cast<float>(octant) * kPi / 4.0f;
  TCanvas c(24, 24, 4);
  // The exhaust behind the tail.
  const raster::TProjector projector(ShotCamera(shot));
  raster::TPose pose;
  pose.Heading = heading;
  pose.Scale = 0.74f;
  const raster::TScreenPoint tail = projector.Project(pose.ToWorld({kind == 0 ? -10.5f : -11.5f, 0, 0}));
  const float glow = kind == 0 ? 3.0f : 3.5f;
  c.FillEllipse({tail.x, tail.y}, glow, glow,
                raster::RadialGradient({tail.x, tail.y}, glow, glow,
                                       {{{0.0f, Rgb(255, 255, 255)},
                                         {0.45f, SideColour(player, 0.8f)},
                                         {1.0f, raster::WithAlpha(SideColour(player, 0.5f), 0.3f)}}}));
  // The body in the side's colour: pale blue-white for the player's, orange-red for the others'.
  const TRgba body = player ? Rgb(206, 224, 255) : Rgb(236, 116, 64);
  const TRgba band = SideColour(player, player ? 0.45f : 0.3f);
  const TRgba warhead = SideColour(player, 0.85f);
  raster::TDepthBuffer depth;
  raster::RenderMesh(c, depth, MissileMesh(kind), ShotCamera(shot), pose, [&](const raster::TFragment& f) {
    static const raster::TLightRig rig;
    switch (f.Material) {
      case kBand: return raster::LightSurface(band, f, rig, 0.5f, 20.0f);
      case kFin: return raster::LightSurface(Rgb(70, 76, 88), f, rig, 0.2f, 12.0f);
      case kWarhead: return raster::Mix(warhead, Rgb(255, 255, 255), 0.25f);
      default: return raster::LightSurface(body, f, rig, 0.6f, 24.0f);
    }
  });
  raster::TKeying keying;
  keying.Rim = raster::Shade(SideColour(player, 0.3f), 0.6f);
  return raster::KeyedImage(c.Resolve(), keying);
}

// A glowing bolt (kind 2: a compact ball with a four-pointed glint; kind 3: a larger orb in a
// ring), drawn ADD on black.
TImage24 Bolt(bool heavy, bool player) {
  return HeatFrame(24, 24, SideRamp(player), [&](float x, float y) {
    const float dx = std::fabs(x - 12.0f), dy = std::fabs(y - 12.0f);
    const float d = std::sqrt(dx * dx + dy * dy);
    if (heavy) {
      const float ring = 0.5f * std::exp(-(d - 7.5f) * (d - 7.5f) / 1.2f);
      return 1.05f * Blob(x, y, 12, 12, 3.4f, 11.0f) + ring * raster::Smoothstep(11.0f, 9.0f, d);
    }
    const float glint = std::exp(-dy * dy / 0.5f) * raster::Smoothstep(9.0f, 0.0f, dx) +
                        std::exp(-dx * dx / 0.5f) * raster::Smoothstep(9.0f, 0.0f, dy);
    return 1.0f * Blob(x, y, 12, 12, 2.2f, 11.0f) + 0.5f * glint;
  });
}

// ---- The shield bubble ----------------------------------------------------------------------

// Frame k of 4: a sphere's shell, bright at its rim and faint across its face, covered in a
// honeycomb that shimmers from frame to frame, and a few brighter arcs.
TImage24 Bubble(const TArtEntry& e, int k) {
  const float w = static_cast<float>(e.FrameWidth());
  const float c = w / 2.0f, r = w / 2.0f - 4.0f;
  const std::uint32_t seed = art::SeedOf(e.Name());
  const float phase = static_cast<float>(k) * kPi / 2.0f;
  return HeatFrame(e.FrameWidth(), e.FrameHeight(), ShieldRamp(), [&](float x, float y) {
    const float dx = (x - c) / r, dy = (y - c) / r;
    const float d2 = dx * dx + dy * dy;
    if (d2 > 1.04f) return 0.0f;
    const float d = std::sqrt(d2);
    const float nz = std::sqrt(std::max(0.0f, 1.0f - d2));
    // The rim: brighter where the shell is seen edge-on.
    float heat = 0.62f * std::pow(1.0f - nz, 3.0f) * raster::Smoothstep(1.04f, 0.98f, d);
    // Honeycomb cells on the sphere, shimmering: a moving wave across them.
    const float u = dx / (0.35f + 0.65f * nz) * 7.0f, v = dy / (0.35f + 0.65f * nz) * 7.0f;
    const float hx = u, hy = v * 1.1547f;
    const float cell =
        std::fabs(std::sin(hx * kPi) * std::sin((hy + 0.5f * hx) * kPi) * std::sin((hy - 0.5f * hx) * kPi));
    const float wave = 0.5f + 0.5f * std::sin(dx * 5.0f - dy * 3.0f + phase);
    heat += (1.0f - raster::Smoothstep(0.0f, 0.12f, cell)) * (0.06f + 0.14f * wave) * (1.0f - 0.4f * nz);
    // Arcs: bright filaments of noise that move from frame to frame.
    const float arc =
        art::Vein(raster::Fbm(dx * 2.2f + std::cos(phase) * 0.6f, dy * 2.2f + std::sin(phase) * 0.6f, seed, 3), 0.02f);
    heat += 0.35f * arc * (1.0f - nz * 0.6f) * raster::Smoothstep(1.0f, 0.9f, d);
    return heat;
  });
}

// ---- Markers --------------------------------------------------------------------------------

const TRgba kMarkDark = Rgb(8, 12, 22);
const TRgba kCursor = Rgb(150, 205, 255);

TImage24 Keyed(const TCanvas& c) { return raster::KeyedImage(c.Resolve()); }

// A lamp of the cursor: lit in its colour with a bright centre, else a dark socket.
void Lamp(TCanvas& c, TPoint p, bool lit, const TRgba& colour) {
  c.FillEllipse(p, 3.6f, 3.6f, raster::Solid(kMarkDark));
  if (lit) {
    c.FillEllipse(
        p, 2.7f, 2.7f,
        raster::RadialGradient(p, 2.7f, 2.7f,
                               {{{0.0f, Rgb(255, 255, 255)}, {0.5f, colour}, {1.0f, raster::Shade(colour, 0.7f)}}}));
  } else {
    c.FillEllipse(p, 2.5f, 2.5f, raster::Solid(Rgb(58, 62, 72)));
  }
}

// The cursor ring: a reticle with four ticks; launcher lamps upper left and upper right, the
// shield's lamp below.
TImage24 Cursor(int frame) {
  TCanvas c(40, 40, 4);
  const TPoint m{20, 20};
  c.StrokePath(raster::EllipsePath(m, 12.5f, 12.5f), true, 3.6f, raster::Solid(kMarkDark));
  c.StrokePath(raster::EllipsePath(m, 12.5f, 12.5f), true, 1.8f, raster::Solid(kCursor));
  for (int i = 0; i < 4; ++i) {
    const float a = static_cast<float>(i) * kPi / 2.0f;
    const TPoint p0{m.x + 9.0f * std::cos(a), m.y + 9.0f * std::sin(a)},
        p1{m.x + 16.5f * std::cos(a), m.y + 16.5f * std::sin(a)};
    c.StrokeLine(p0, p1, 3.2f, raster::Solid(kMarkDark));
    c.StrokeLine(p0, p1, 1.4f, raster::Solid(kCursor));
  }
  c.FillEllipse(m, 1.6f, 1.6f, raster::Solid(kMarkDark));
  c.FillEllipse(m, 0.9f, 0.9f, raster::Solid(Rgb(255, 255, 255)));
  Lamp(c, {6, 6}, (frame & 2) != 0, Rgb(255, 200, 60));
  Lamp(c, {34, 6}, (frame & 1) != 0, Rgb(255, 200, 60));
  Lamp(c, {20, 35}, (frame & 4) != 0, Rgb(90, 230, 255));
  return Keyed(c);
}

std::vector<TPoint> ShieldOutline(float cx, float top, float w, float h) {
  return {{cx - w, top}, {cx + w, top}, {cx + w, top + h * 0.45f}, {cx, top + h}, {cx - w, top + h * 0.45f}};
}

// The shield's state beside the cursor: 0 on (a glowing shield), 1 ready (an outlined shield),
// 2 broken (a red shield split by a crack).
TImage24 ShieldMark(int state) {
  TCanvas c(40, 40, 4);
  if (state == 0)
    c.FillEllipse({20, 19}, 15, 15,
                  raster::RadialGradient({20, 19}, 15, 15,
                                         {{{0.0f, Rgb(120, 230, 255, 0.55f)}, {1.0f, Rgb(40, 140, 220, 0.0f)}}}));
  c.FillPolygon(ShieldOutline(20, 6.5f, 11.5f, 27), raster::Solid(kMarkDark));
  if (state == 0) {
    c.FillPolygon(ShieldOutline(20, 9, 9, 22.5f),
                  raster::LinearGradient({14, 9}, Rgb(220, 250, 255), {26, 30}, Rgb(40, 160, 230)));
  } else if (state == 1) {
    c.FillPolygon(ShieldOutline(20, 9, 9, 22.5f), raster::Solid(Rgb(90, 220, 110)));
    c.FillPolygon(ShieldOutline(20, 12, 6, 16), raster::Solid(Rgb(24, 60, 34)));
  } else {
    c.FillPolygon(ShieldOutline(20, 9, 9, 22.5f),
                  raster::LinearGradient({14, 9}, Rgb(255, 120, 100), {26, 30}, Rgb(170, 30, 24)));
    c.StrokePath({{22, 8}, {17.5f, 15}, {22.5f, 20}, {18, 26}, {20, 31}}, false, 2.6f, raster::Solid(kMarkDark));
  }
  return Keyed(c);
}

// The flagship's mark, over the ship's centre: gold corner brackets and a small star above.
TImage24 FlagshipMark() {
  TCanvas c(40, 40, 4);
  const TRgba gold = Rgb(250, 206, 70);
  for (int i = 0; i < 4; ++i) {
    const float sx = i % 2 == 0 ? -1.0f : 1.0f, sy = i < 2 ? -1.0f : 1.0f;
    const std::vector<TPoint> arm = {
        {20 + sx * 16.5f, 20 + sy * 10.0f}, {20 + sx * 16.5f, 20 + sy * 16.5f}, {20 + sx * 10.0f, 20 + sy * 16.5f}};
    c.StrokePath(arm, false, 3.6f, raster::Solid(kMarkDark));
    c.StrokePath(arm, false, 1.8f, raster::Solid(gold));
  }
  c.FillPolygon(raster::StarPath({20, 6.2f}, 5.4f, 2.3f), raster::Solid(kMarkDark));
  c.FillPolygon(raster::StarPath({20, 6.4f}, 4.2f, 1.8f),
                raster::LinearGradient({17, 3}, Rgb(255, 244, 190), {23, 10}, gold));
  return Keyed(c);
}

// ---- Radar glyphs ---------------------------------------------------------------------------

// A radar scope with its sweep at frame * 45 degrees and a few echoes.
TImage24 Radar(int frame) {
  TCanvas c(32, 32, 4);
  const TPoint m{16, 16};
  const float sweep = static_cast<float>(frame) * kPi / 4.0f;
  c.FillEllipse(m, 14.5f, 14.5f, raster::Solid(kMarkDark));
  c.FillEllipse(m, 13, 13, raster::RadialGradient(m, 13, 13, {{{0.0f, Rgb(20, 70, 40)}, {1.0f, Rgb(6, 30, 16)}}}));
  for (const float r : {4.5f, 9.0f})
    c.StrokePath(raster::EllipsePath(m, r, r), true, 0.7f, raster::Solid(Rgb(50, 140, 80)));
  c.StrokeLine({3, 16}, {29, 16}, 0.6f, raster::Solid(Rgb(50, 140, 80)));
  c.StrokeLine({16, 3}, {16, 29}, 0.6f, raster::Solid(Rgb(50, 140, 80)));
  // The sweep's fading wedge behind its leading line.
  for (int i = 0; i < 8; ++i) {
    const float a0 = sweep - static_cast<float>(i + 1) * 0.12f, a1 = sweep - static_cast<float>(i) * 0.12f;
    c.FillPolygon(
        {m, {m.x + 13 * std::cos(a0), m.y + 13 * std::sin(a0)}, {m.x + 13 * std::cos(a1), m.y + 13 * std::sin(a1)}},
        raster::Solid(Rgb(90, 255, 140, 0.3f * (1.0f - static_cast<float>(i) / 8.0f))));
  }
  c.StrokeLine(m, {m.x + 13 * std::cos(sweep), m.y + 13 * std::sin(sweep)}, 1.2f, raster::Solid(Rgb(170, 255, 190)));
  const TPoint echoes[3] = {{21, 10}, {9, 19}, {20, 23}};
  for (const TPoint& p : echoes) c.FillEllipse(p, 1.3f, 1.3f, raster::Solid(Rgb(200, 255, 210)));
  return Keyed(c);
}

}  // namespace

TArtImage RenderBattleMinimap(const TArtEntry& e, TArtCache& cache) {
  const TImage24& sky = ArenaSky(cache).Rgb;
  // Each pixel the mean of its 16 x 16 block, darkened so that the dots stand out, in a thin bevel.
  TCanvas c(e.Width, e.Height, 1);
  const int kx = sky.Width / e.Width, ky = sky.Height / e.Height;
  for (int y = 0; y < e.Height; ++y) {
    for (int x = 0; x < e.Width; ++x) {
      float r = 0, g = 0, b = 0;
      for (int yy = 0; yy < ky; ++yy) {
        for (int xx = 0; xx < kx; ++xx) {
          const raster::TBgr& p = sky.At(x * kx + xx, y * ky + yy);
          r += p.r;
          g += p.g;
          b += p.b;
        }
      }
      const float k = 0.5f / (255.0f * static_cast<float>(kx * ky));
      c.Sample(x, y) = {r * k, g * k, b * k, 1.0f};
    }
  }
  c.Bevel(0, 0, static_cast<float>(e.Width), static_cast<float>(e.Height), 1, Rgb(4, 6, 12), Rgb(96, 112, 140));
  TArtImage out;
  out.Rgb = c.Flatten();
  return out;
}

TArtImage RenderRadarGlyphs(const TArtEntry& e, TArtCache&) {
  TArtImage out;
  out.Rgb = Sheet(e, raster::kMagenta, e.Cols, Radar);
  return out;
}

TArtImage RenderMissiles(const TArtEntry& e, TArtCache&) {
  TArtImage out;
  out.Rgb = Sheet(e, raster::kMagenta, e.Rows * e.Cols, [](int f) {
    if (f < 32) return Missile(f / 8 % 2, f % 8, f < 16);
    if (f == 32 || f == 33) return Bolt(false, f == 32);
    if (f == 40 || f == 41) return Bolt(true, f == 40);
    return TImage24();
  });
  return out;
}

TArtImage RenderFlames(const TArtEntry& e, TArtCache&) {
  TArtImage out;
  out.Rgb = Sheet(e, kBlack, e.Cols, [&e](int f) {
    if (f % 4 == 3) return TImage24();
    const TGradient& ramp = e.Number == 1 ? ThirdRamp() : SideRamp(f < 4);
    return Flame(e, ramp, f % 4);
  });
  return out;
}

TArtImage RenderExplosions(const TArtEntry& e, TArtCache&) {
  TArtImage out;
  out.Rgb = Sheet(e, kBlack, e.Cols, [&e](int f) { return Fireball(e, f, e.Number == 1); });
  return out;
}

TArtImage RenderTrails(const TArtEntry& e, TArtCache&) {
  TArtImage out;
  out.Rgb = Sheet(e, kBlack, 5 * e.Cols, [&e](int f) {
    const int row = f / e.Cols, k = f % e.Cols;
    if (row == 0) return SmokePuff(e, k);
    return BoltTrail(e, row % 2 == 1, row <= 2, k);
  });
  return out;
}

TArtImage RenderShieldBubble(const TArtEntry& e, TArtCache&) {
  TArtImage out;
  out.Rgb = Sheet(e, kBlack, e.Cols, [&e](int f) { return Bubble(e, f); });
  return out;
}

TArtImage RenderMarkers(const TArtEntry& e, TArtCache&) {
  TArtImage out;
  out.Rgb = Sheet(e, raster::kMagenta, 12, [](int f) {
    if (f < 8) return Cursor(f);
    if (f < 11) return ShieldMark(f - 8);
    return FlagshipMark();
  });
  return out;
}

}  // namespace vdmq::sample
