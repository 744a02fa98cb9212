#include "tools/Movies.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <numbers>
#include <vector>

#include "tools/ArtStyle.h"
#include "tools/HullModels.h"
#include "tools/MeshShapes.h"
#include "tools/Noise.h"
#include "tools/Rasterizer.h"

namespace vdmq::sample {

using raster::Rgb;
using raster::TCanvas;
using raster::TPoint;
using raster::TRgba;
using raster::TVec3;

namespace {

constexpr float kPi = std::numbers::pi_v<float>;
constexpr int kSupersample = 2;
constexpr float kW = static_cast<float>(kMovieWidth), kH = static_cast<float>(kMovieHeight);

float Frac(float v) { return v - std::floor(v); }

// ---- Light on the canvas --------------------------------------------------------------------

void AddLight(TRgba& s, const TRgba& c, float k) {
  s.r += c.r * k;
  s.g += c.g * k;
  s.b += c.b * k;
}

// A Gaussian spot of light added at a sub-pixel position (stars, glows, sparks).
void Glow(TCanvas& c, float x, float y, float radius, const TRgba& colour, float strength) {
  if (strength <= 0.0f) return;
  const float reach = radius * 3.0f;
  if (x + reach < 0 || y + reach < 0 || x - reach > kW || y - reach > kH) return;
  const float inv = 1.0f / (2.0f * radius * radius);
  c.ForEachSample(x - reach, y - reach, x + reach, y + reach, [&](float sx, float sy, TRgba& s) {
    const float dx = sx - x, dy = sy - y;
    AddLight(s, colour, strength * std::exp(-(dx * dx + dy * dy) * inv));
  });
}

// A streak of light from a to b, as spots along it sharing the strength.
void Streak(TCanvas& c, TPoint a, TPoint b, float radius, const TRgba& colour, float strength) {
  const float len = std::hypot(b.x - a.x, b.y - a.y);
  const int n = std::max(1, static_cast<int>(std::ceil(len / (radius * 1.2f))));
  for (int i = 0; i < n; ++i) {
    const float t = n == 1 ? 1.0f : static_cast<float>(i) / static_cast<float>(n - 1);
    Glow(c, a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t, radius, colour,
         strength * (0.35f + 0.65f * t) / std::sqrt(static_cast<float>(n)));
  }
}

// ---- Textures -------------------------------------------------------------------------------

// A grid of colours looked up with bilinear filtering; u wraps round, v is clamped.
struct TTexture {
  int W = 0, H = 0;
  std::vector<TRgba> Px;
  TRgba At(float u, float v) const {
    const float x = u - 0.5f, y = std::clamp(v - 0.5f, 0.0f, static_cast<float>(H - 1));
    const int x0 = static_cast<int>(std::floor(x)), y0 = static_cast<int>(std::floor(y));
    const float fx = x - static_cast<float>(x0), fy = y - static_cast<float>(y0);
    auto px = [this](int xi, int yi) -> const TRgba& {
      xi = ((xi % W) + W) % W;
      yi = std::clamp(yi, 0, H - 1);
      return Px[static_cast<size_t>(yi) * static_cast<size_t>(W) + static_cast<size_t>(xi)];
    };
    const TRgba &a = px(x0, y0), &b = px(x0 + 1, y0), &c = px(x0, y0 + 1), &d = px(x0 + 1, y0 + 1);
    const float wa = (1 - fx) * (1 - fy), wb = fx * (1 - fy), wc = (1 - fx) * fy, wd = fx * fy;
    return {a.r * wa + b.r * wb + c.r * wc + d.r * wd, a.g * wa + b.g * wb + c.g * wc + d.g * wd,
            a.b * wa + b.b * wb + c.b * wc + d.b * wd, a.a * wa + b.a * wb + c.a * wc + d.a * wd};
  }
};

struct TSkyColours {
  TRgba Deep, Cloud, Glow, Dust;
};

// A nebula over deep space, 1.5 texels a frame pixel at zoom 1, wider than the frame for a drift.
// Smooth, with few octaves: its broad gradients keep the runs of the movie's frames long.
constexpr int kSkyWidth = 560, kSkyHeight = 360;
TTexture Nebula(std::uint32_t seed, const TSkyColours& k) {
  TTexture t;
  t.W = kSkyWidth;
  t.H = kSkyHeight;
  t.Px.resize(static_cast<size_t>(t.W) * static_cast<size_t>(t.H));
  for (int y = 0; y < t.H; ++y) {
    for (int x = 0; x < t.W; ++x) {
      const float px = static_cast<float>(x) * 0.0045f, py = static_cast<float>(y) * 0.0045f;
      const float wx = raster::Fbm(px + 3.1f, py, seed + 1, 3) - 0.5f,
                  wy = raster::Fbm(px, py + 5.3f, seed + 2, 3) - 0.5f;
      const float n = raster::Fbm(px + 1.4f * wx, py + 1.4f * wy, seed + 3, 3);
      const float lanes = raster::Smoothstep(0.5f, 0.72f, raster::Fbm(px * 2.0f + wy, py * 2.0f, seed + 4, 3));
      const float body = raster::Smoothstep(0.38f, 0.8f, n) * (1.0f - 0.7f * lanes);
      const float bright = raster::Smoothstep(0.62f, 0.9f, n) * (1.0f - lanes);
      TRgba c = k.Deep;
      AddLight(c, k.Cloud, body * 0.55f);
      AddLight(c, k.Glow, bright * 0.35f);
      AddLight(c, k.Dust, lanes * 0.06f);
      t.Px[static_cast<size_t>(y) * static_cast<size_t>(t.W) + static_cast<size_t>(x)] = c;
    }
  }
  return t;
}

struct TWorldColours {
  TRgba DeepSea, Sea, Low, High, Cloud, Air, Lights;
};

// A world's surface by longitude (u, one turn) and latitude (v, pole to pole).
TTexture WorldSurface(std::uint32_t seed, const TWorldColours& k) {
  TTexture t;
  t.W = 512;
  t.H = 256;
  t.Px.resize(static_cast<size_t>(t.W) * static_cast<size_t>(t.H));
  for (int y = 0; y < t.H; ++y) {
    for (int x = 0; x < t.W; ++x) {
      const float u = static_cast<float>(x) / static_cast<float>(t.W),
                  v = static_cast<float>(y) / static_cast<float>(t.H);
      // Periodic in u so that the world turns without a seam.
      const float land = raster::PeriodicFbm(u, v * 0.5f, 4, seed + 1, 4);
      const float clouds = raster::Smoothstep(0.52f, 0.78f, raster::PeriodicFbm(u + 0.3f, v * 0.5f, 6, seed + 2, 3));
      TRgba g = land < 0.5f ? raster::Mix(k.DeepSea, k.Sea, land / 0.5f)
                            : raster::Mix(k.Low, k.High, std::min(1.0f, (land - 0.5f) * 3.0f));
      // City lights on land, shown on the night side: the alpha carries them.
      const float lights =
          land > 0.53f ? raster::Smoothstep(0.6f, 0.85f, raster::PeriodicFbm(u, v * 0.5f, 16, seed + 3, 2)) : 0.0f;
      g = raster::Mix(g, k.Cloud, clouds * 0.85f);
      g.a = lights * (1.0f - clouds);
      t.Px[static_cast<size_t>(y) * static_cast<size_t>(t.W) + static_cast<size_t>(x)] = g;
    }
  }
  return t;
}

// A world of radius r around c, turned by `turn` (share of a turn), lit from the direction
// (lx, ly) on the screen (towards the light); its atmosphere glows at the rim. The surface is
// worked out once a pixel, the rim once a sample.
void DrawWorld(TCanvas& c, TPoint centre, float r, const TTexture& surface, const TWorldColours& k, float turn,
               float lx, float ly) {
  const float ll = std::hypot(lx, ly);
  lx /= ll;
  ly /= ll;
  const auto shade = [&](float x, float y, TRgba& s) {
    const float dx = (x - centre.x) / r, dy = (y - centre.y) / r;
    const float d = std::sqrt(dx * dx + dy * dy);
    // The atmosphere's halo on the day side, also over the disc's very edge.
    const float halo = raster::Smoothstep(1.08f, 1.0f, d) *
                       raster::Smoothstep(-0.5f, 0.6f, (dx * lx + dy * ly) / std::max(d, 0.01f)) * 0.7f;
    if (d >= 1.0f) {
      AddLight(s, k.Air, halo);
      return;
    }
    float n[3];
    raster::SphereNormal(centre, r, x, y, n);
    const float lon = std::atan2(n[0], n[2]) / (2.0f * kPi) + turn;
    const float lat = std::asin(std::clamp(n[1], -1.0f, 1.0f)) / kPi + 0.5f;
    const TRgba g = surface.At(Frac(lon) * static_cast<float>(surface.W), lat * static_cast<float>(surface.H));
    const float light = n[0] * lx + n[1] * ly + 0.25f * n[2];
    const float day = raster::Smoothstep(-0.15f, 0.45f, light);
    TRgba col = raster::Shade(g, 0.03f + 0.97f * day);
    AddLight(col, k.Lights, g.a * (1.0f - day) * 0.9f);
    const float rim = std::pow(1.0f - n[2], 2.5f) * (0.15f + 0.85f * day);
    col = raster::Mix(col, k.Air, std::min(1.0f, rim));
    // Antialiased edge: the samples at the very rim blend into the sky.
    const float edge = raster::Smoothstep(1.0f, 1.0f - 2.0f / r, d);
    s = raster::Mix(s, TRgba{col.r, col.g, col.b, 1.0f}, edge);
    AddLight(s, k.Air, halo * (1.0f - edge));
  };
  const float reach = r * 1.08f;
  const int x0 = std::max(0, static_cast<int>(centre.x - reach)),
            x1 = std::min(kMovieWidth, static_cast<int>(centre.x + reach) + 1);
  const int y0 = std::max(0, static_cast<int>(centre.y - reach)),
            y1 = std::min(kMovieHeight, static_cast<int>(centre.y + reach) + 1);
  const int ss = c.Supersample();
  const float step = 1.0f / static_cast<float>(ss);
  for (int y = y0; y < y1; ++y) {
    for (int x = x0; x < x1; ++x) {
      const float px = static_cast<float>(x) + 0.5f, py = static_cast<float>(y) + 0.5f;
      const float d = std::hypot(px - centre.x, py - centre.y) / r;
      if (d < 1.0f - 3.0f / r) {
        TRgba s = c.Sample(x * ss, y * ss);
        shade(px, py, s);
        for (int j = 0; j < ss; ++j) {
          for (int i = 0; i < ss; ++i) c.Sample(x * ss + i, y * ss + j) = s;
        }
        continue;
      }
      for (int j = 0; j < ss; ++j) {
        for (int i = 0; i < ss; ++i) {
          shade(static_cast<float>(x) + (static_cast<float>(i) + 0.5f) * step,
                static_cast<float>(y) + (static_cast<float>(j) + 0.5f) * step, c.Sample(x * ss + i, y * ss + j));
        }
      }
    }
  }
}

// The sky at a zoom about the frame's centre, with a drift in frame pixels; one look-up a pixel,
// since the sky is smooth.
void DrawSky(TCanvas& c, const TTexture& sky, float zoom, float driftX, float driftY) {
  const int ss = c.Supersample();
  for (int y = 0; y < kMovieHeight; ++y) {
    for (int x = 0; x < kMovieWidth; ++x) {
      const float u =
          static_cast<float>(kSkyWidth) / 2 + ((static_cast<float>(x) + 0.5f - kW / 2) * 1.5f + driftX) / zoom;
      const float v =
          static_cast<float>(kSkyHeight) / 2 + ((static_cast<float>(y) + 0.5f - kH / 2) * 1.5f + driftY) / zoom;
      TRgba s = sky.At(u, v);
      s.a = 1.0f;
      for (int j = 0; j < ss; ++j) {
        for (int i = 0; i < ss; ++i) c.Sample(x * ss + i, y * ss + j) = s;
      }
    }
  }
}

struct TStar {
  float x, y, depth, size, brightness;
  TRgba colour;
};

// Multiplies the picture's light by k (the fades).
void Dim(TCanvas& c, float k) {
  if (k >= 1.0f) return;
  c.ForEachSample(0, 0, kW, kH, [k](float, float, TRgba& s) {
    s.r *= k;
    s.g *= k;
    s.b *= k;
  });
}

raster::TImage24 Finish(const TCanvas& c, float fade) {
  TCanvas out = c.Resolve();
  Dim(out, fade);
  return out.Flatten();
}

// The engines' glow of the player's side: blue, white at the core.
const raster::TGradient& EngineRamp() {
  static const raster::TGradient g{{{0.0f, Rgb(0, 0, 0)},
                                    {0.3f, Rgb(20, 60, 190)},
                                    {0.6f, Rgb(80, 160, 255)},
                                    {0.85f, Rgb(190, 225, 255)},
                                    {1.0f, Rgb(255, 255, 255)}}};
  return g;
}

const raster::TGradient& FireRamp() {
  static const raster::TGradient g{{{0.0f, Rgb(0, 0, 0)},
                                    {0.2f, Rgb(90, 14, 4)},
                                    {0.45f, Rgb(220, 70, 12)},
                                    {0.7f, Rgb(255, 170, 60)},
                                    {0.88f, Rgb(255, 236, 170)},
                                    {1.0f, Rgb(255, 255, 250)}}};
  return g;
}

// ---- Movie 1: the fleet sets out ------------------------------------------------------------

struct TFleetShip {
  int Picture;
  int Width, Height;
  float Y;      // centre line at entry
  int Enter;    // frame at which its left edge is at the frame's left edge, minus its width
  float Speed;  // pixels a frame
};

// Far ships first: they are drawn under the near ones.
constexpr TFleetShip kFleet[] = {
    {8, 84, 50, 64.0f, 2, 3.4f},     {1, 72, 44, 92.0f, 10, 3.7f},   {3, 124, 74, 166.0f, 40, 4.9f},
    {0, 184, 108, 128.0f, 16, 4.6f}, {2, 104, 62, 190.0f, 28, 5.3f},
};
constexpr float kFleetHeading = 0.12f;  // slightly towards the viewer
constexpr float kFleetElevation = 0.32f;
constexpr float kFleetDrop = 0.05f;  // pixels down per pixel across

const TWorldColours kHomeWorld{Rgb(6, 20, 60),     Rgb(20, 70, 140),   Rgb(60, 100, 56),  Rgb(150, 136, 100),
                               Rgb(236, 242, 250), Rgb(100, 170, 255), Rgb(255, 210, 130)};
const TWorldColours kCapitalWorld{Rgb(40, 14, 10),    Rgb(90, 36, 24),   Rgb(150, 80, 46),  Rgb(210, 170, 120),
                                  Rgb(230, 214, 200), Rgb(255, 130, 90), Rgb(255, 200, 110)};

// ---- Movie 2: the fortress ------------------------------------------------------------------

constexpr int kFlashFrame = 45;
constexpr int kFortressSteel = 0, kFortressRed = 1, kFortressBand = 2;

raster::TMesh FortressMesh() {
  raster::TMesh m;
  // The central spindle with a red dome on top and a mast.
  raster::Lathe(m, {0, 0, -46}, {0, 0, 1},
                {{0, 0}, {4, 7}, {12, 11}, {24, 15}, {34, 16}, {46, 16}, {58, 13}, {66, 9}, {72, 5}, {78, 0}}, 24,
                kFortressSteel, true);
  raster::Lathe(m, {0, 0, 26}, {0, 0, 1}, {{0, 12}, {4, 10}, {8, 6}, {10, 0}}, 20, kFortressRed, true);
  raster::Lathe(m, {0, 0, 34}, {0, 0, 1}, {{0, 1.2f}, {30, 0}}, 8, kFortressSteel);
  raster::Lathe(m, {0, 0, -46}, {0, 0, -1}, {{0, 1.2f}, {24, 0}}, 8, kFortressSteel);
  // The habitat ring on four spokes.
  std::vector<TPoint> tube;
  for (int i = 0; i <= 16; ++i) {
    const float a = 2.0f * kPi * static_cast<float>(i % 16) / 16.0f;
    tube.push_back({7.0f * std::sin(a), 74.0f + 7.0f * std::cos(a)});
  }
  raster::Lathe(m, {0, 0, 0}, {0, 0, 1}, tube, 64, kFortressBand, true);
  raster::Box(m, {14, -2.5f, -2.5f}, {68, 2.5f, 2.5f}, kFortressSteel);
  raster::Box(m, {-68, -2.5f, -2.5f}, {-14, 2.5f, 2.5f}, kFortressSteel);
  raster::Box(m, {-2.5f, 14, -2.5f}, {2.5f, 68, 2.5f}, kFortressSteel);
  raster::Box(m, {-2.5f, -68, -2.5f}, {2.5f, -14, 2.5f}, kFortressSteel);
  // Gun towers on the ring, red-capped.
  for (int i = 0; i < 8; ++i) {
    const float a = 2.0f * kPi * (static_cast<float>(i) + 0.5f) / 8.0f;
    const float x = 74.0f * std::cos(a), y = 74.0f * std::sin(a);
    raster::Box(m, {x - 3, y - 3, 4}, {x + 3, y + 3, 14}, kFortressSteel);
    raster::Box(m, {x - 2, y - 2, 14}, {x + 2, y + 2, 17}, kFortressRed);
  }
  return m;
}

// The tops of the gun towers, where the beacons blink.
std::vector<TVec3> BeaconPoints() {
  std::vector<TVec3> p;
  for (int i = 0; i < 8; ++i) {
    const float a = 2.0f * kPi * (static_cast<float>(i) + 0.5f) / 8.0f;
    p.push_back({74.0f * std::cos(a), 74.0f * std::sin(a), 18.0f});
  }
  return p;
}

raster::TCamera FortressCamera() {
  raster::TCamera cam;
  const float elevation = 0.42f, distance = 420.0f;
  cam.Eye = {0.0f, distance * std::cos(elevation), distance * std::sin(elevation)};
  cam.Target = {0, 0, 0};
  cam.Focal = 560.0f;
  cam.Centre = {200.0f, 104.0f};
  return cam;
}

constexpr float FortressHeading(int frame) { return 0.3f + 0.012f * static_cast<float>(frame); }

TRgba FortressShade(const raster::TFragment& f, const raster::TLightRig& rig) {
  const TVec3& p = f.ModelPosition;
  if (f.Material == kFortressRed) return raster::LightSurface(Rgb(176, 38, 30), f, rig, 0.5f, 20.0f);
  // Panel seams on the steel.
  const float seam = Frac(p.z * 0.18f) < 0.08f || Frac(std::atan2(p.y, p.x) * 6.0f / kPi) < 0.04f ? 0.8f : 1.0f;
  TRgba lit = raster::LightSurface(raster::Shade(Rgb(134, 140, 152), seam), f, rig, 0.6f, 28.0f);
  if (f.Material == kFortressBand) {
    // Rows of lit windows round the ring's outer face.
    const float radial = p.x * f.ModelNormal.x + p.y * f.ModelNormal.y;
    const float along = std::atan2(p.y, p.x) * 48.0f / kPi;
    if (std::fabs(p.z) < 2.6f && radial > 0.0f && Frac(along) < 0.45f) return Rgb(255, 214, 140);
  } else if (std::hypot(p.x, p.y) < 17.0f && Frac(p.z * 0.25f) < 0.3f &&
             Frac(std::atan2(p.y, p.x) * 8.0f / kPi) < 0.5f && p.z > -40.0f && p.z < 20.0f) {
    return raster::Mix(lit, Rgb(255, 200, 120), 0.8f);  // the spindle's windows
  }
  return lit;
}

struct TShard {
  float X, Y, Vx, Vy, Angle, Spin, Size;
  std::vector<float> Radii;
  float Tone;
};

struct TSpark {
  float X, Y, Vx, Vy, Life;
  TRgba Colour;
};

}  // namespace

struct TMovieScene::TParts {
  TTexture Sky;
  TTexture World;
  std::vector<TStar> Stars;
  // Movie 1.
  std::vector<TShipRender> Ships;
  // Movie 2.
  raster::TMesh Fortress;
  std::vector<TShard> Shards;
  std::vector<TSpark> Sparks;
};

TMovieScene::TMovieScene(int number) : number_(number), parts_(std::make_unique<TParts>()) {
  TParts& p = *parts_;
  raster::TArtRng rng(raster::HashName(number == 1 ? "INT_T01" : "INT_T02"));
  if (number == 1) {
    p.Sky =
        Nebula(raster::HashName("INT_T01 sky"), {Rgb(3, 5, 14), Rgb(40, 44, 120), Rgb(130, 110, 210), Rgb(60, 30, 80)});
    p.World = WorldSurface(raster::HashName("INT_T01 world"), kHomeWorld);
    // Stars in a box before the camera, which flies into it.
    for (int i = 0; i < 360; ++i) {
      p.Stars.push_back({rng.Range(-1.7f, 1.7f), rng.Range(-1.3f, 1.3f), rng.Range(0.12f, 1.6f), rng.Range(0.35f, 0.6f),
                         rng.Range(0.25f, 1.0f), art::StarColour(rng)});
    }
    for (const TFleetShip& s : kFleet) {
      TShipShot shot = FittedShot(s.Picture, s.Width, s.Height, kFleetHeading, kFleetElevation, 0.92f);
      shot.Supersample = kSupersample;
      p.Ships.push_back(RenderShip(s.Picture, shot));
    }
  } else {
    p.Sky =
        Nebula(raster::HashName("INT_T02 sky"), {Rgb(8, 3, 6), Rgb(110, 30, 36), Rgb(220, 110, 80), Rgb(40, 20, 60)});
    p.World = WorldSurface(raster::HashName("INT_T02 world"), kCapitalWorld);
    for (int i = 0; i < 420; ++i) {
      p.Stars.push_back({rng.Range(0, kW), rng.Range(0, kH), rng.Range(0, 2.0f * kPi), rng.Range(0.35f, 0.6f),
                         rng.Range(0.15f, 0.9f), art::StarColour(rng)});
    }
    p.Fortress = FortressMesh();
    const TPoint centre = FortressCamera().Centre;
    for (int i = 0; i < 90; ++i) {
      TShard s;
      const float a = rng.Range(0, 2.0f * kPi), r = rng.Range(0, 40.0f), v = rng.Range(0.6f, 4.2f);
      s.X = centre.x + r * std::cos(a);
      s.Y = centre.y + 0.45f * r * std::sin(a);
      s.Vx = v * std::cos(a);
      s.Vy = v * std::sin(a) * 0.7f;
      s.Angle = rng.Range(0, 2.0f * kPi);
      s.Spin = rng.Range(-0.25f, 0.25f);
      s.Size = i < 8 ? rng.Range(7.0f, 13.0f) : rng.Range(1.5f, 5.0f);
      const int corners = rng.Between(3, 5);
      for (int k = 0; k < corners; ++k) s.Radii.push_back(rng.Range(0.5f, 1.0f));
      s.Tone = rng.Range(0.5f, 1.0f);
      p.Shards.push_back(s);
    }
    for (int i = 0; i < 180; ++i) {
      const float a = rng.Range(0, 2.0f * kPi), v = rng.Range(2.5f, 9.0f);
      p.Sparks.push_back({centre.x, centre.y, v * std::cos(a), v * std::sin(a) * 0.6f, rng.Range(10.0f, 34.0f),
                          FireRamp().At(rng.Range(0.7f, 1.0f))});
    }
  }
}

TMovieScene::~TMovieScene() = default;

raster::TImage24 TMovieScene::Frame(int frame) const {
  const TParts& p = *parts_;
  const float f = static_cast<float>(frame);
  TCanvas c(kMovieWidth, kMovieHeight, kSupersample, {0, 0, 0, 1});
  if (number_ == 1) {
    // The camera rushes forward and slows to a cruise; the nebula swells slowly.
    const float t = f / static_cast<float>(kMovieFps);
    const auto travel = [](float time) { return 0.07f * time + 0.75f * (1.0f - std::exp(-time / 1.6f)); };
    DrawSky(c, p.Sky, 1.0f + 0.3f * t / 10.0f, 0.0f, 0.0f);
    const float moved = travel(t), before = travel(std::max(0.0f, t - 1.0f / kMovieFps));
    constexpr float kNear = 0.12f, kFar = 1.6f, kFocal = 110.0f;
    for (const TStar& s : p.Stars) {
      const auto depthAt = [&](float m) {
        return kNear + Frac((s.depth - m - kNear) / (kFar - kNear)) * (kFar - kNear);
      };
      const float d = depthAt(moved);
      float d0 = depthAt(before);
      if (d0 < d) d0 = d;  // wrapped round this frame: no streak
      const TPoint now{kW / 2 + kFocal * s.x / d, kH / 2 + kFocal * s.y / d};
      const TPoint then{kW / 2 + kFocal * s.x / d0, kH / 2 + kFocal * s.y / d0};
      const float bright = s.brightness * std::min(1.6f, 0.35f / d) * raster::Smoothstep(kNear, 0.3f, d) *
                           raster::Smoothstep(kFar, 1.2f, d);
      Streak(c, then, now, s.size, s.colour, bright);
    }
    // The home world rises from the bottom.
    const float rise = raster::Smoothstep(66.0f, 142.0f, f);
    if (rise > 0.0f) {
      const float r = 300.0f;
      DrawWorld(c, {150.0f, kH + r + 6.0f - rise * (r * 0.52f + 6.0f)}, r, p.World, kHomeWorld, 0.12f + f * 0.0004f,
                -0.5f, -0.9f);
    }
    // The fleet crosses, far ships first; then the engines' glows over them.
    std::vector<std::pair<TPoint, float>> glows;
    for (size_t i = 0; i < p.Ships.size(); ++i) {
      const TFleetShip& s = kFleet[i];
      const float across = s.Speed * (f - static_cast<float>(s.Enter));
      const float x = -static_cast<float>(s.Width) / 2.0f + across, y = s.Y + kFleetDrop * across;
      if (x < -static_cast<float>(s.Width) || x > kW + static_cast<float>(s.Width)) continue;
      const int left = static_cast<int>(std::lround(x)) - s.Width / 2,
                top = static_cast<int>(std::lround(y)) - s.Height / 2;
      c.Draw(p.Ships[i].Canvas, left, top);
      const float flicker = 0.85f + 0.15f * std::sin(f * 1.9f + static_cast<float>(i) * 2.3f);
      const float scale = static_cast<float>(s.Width) / 120.0f;
      for (const TNozzleView& n : p.Ships[i].Nozzles) {
        glows.push_back({{static_cast<float>(left) + n.X, static_cast<float>(top) + n.Y},
                         scale * flicker * (n.Visible ? 1.0f : 0.6f)});
      }
    }
    for (const auto& [at, k] : glows) {
      // A plume trailing behind, a blue halo and a white core.
      for (int j = 1; j <= 6; ++j) {
        const float back = static_cast<float>(j) * 3.2f * k;
        Glow(c, at.x - back, at.y - back * kFleetDrop, 1.6f * k + 0.3f * static_cast<float>(j), EngineRamp().At(0.55f),
             0.45f * k / static_cast<float>(j));
      }
      Glow(c, at.x, at.y, 4.5f * k, EngineRamp().At(0.5f), 0.55f);
      Glow(c, at.x, at.y, 1.3f * k + 0.4f, EngineRamp().At(0.95f), 1.1f);
    }
    return Finish(c, 1.0f - raster::Smoothstep(130.0f, 149.0f, f));
  }

  // Movie 2: the fortress over the capital world, until it goes up.
  DrawSky(c, p.Sky, 1.0f, 20.0f - 0.25f * f, 0.0f);
  for (const TStar& s : p.Stars) {
    const float twinkle = 0.8f + 0.2f * std::sin(f * 0.6f + s.depth * 7.0f);
    Glow(c, s.x - 0.17f * f, s.y, s.size, s.colour, s.brightness * twinkle);
  }
  const float tau = f - static_cast<float>(kFlashFrame);
  const TPoint centre = FortressCamera().Centre;
  DrawWorld(c, {40.0f, 300.0f}, 200.0f, p.World, kCapitalWorld, 0.55f + f * 0.0003f, 0.8f, -0.6f);
  if (tau >= 0.0f) {
    // The world lit by the blast.
    const float lit = std::exp(-tau / 10.0f);
    Glow(c, 140.0f, 140.0f, 60.0f, Rgb(255, 170, 110), 0.5f * lit);
  }
  if (tau < 2.0f) {
    raster::TLightRig rig;
    rig.KeyDirection = {0.6f, -0.25f, 0.75f};
    rig.Rim = Rgb(255, 150, 110);
    raster::TPose pose;
    pose.Heading = FortressHeading(frame);
    raster::TDepthBuffer depth;
    raster::RenderMesh(c, depth, p.Fortress, FortressCamera(), pose,
                       [&rig](const raster::TFragment& fr) { return FortressShade(fr, rig); });
    const raster::TProjector projector(FortressCamera());
    const std::vector<TVec3> beacons = BeaconPoints();
    for (size_t i = 0; i < beacons.size(); ++i) {
      if ((frame / 6 + static_cast<int>(i)) % 3 != 0) continue;
      const raster::TScreenPoint sp = projector.Project(pose.ToWorld(beacons[i]));
      Glow(c, sp.x, sp.y, 1.6f, Rgb(255, 60, 40), 1.2f);
    }
    // The first sign: the core glows through the hull.
    if (tau > -8.0f) Glow(c, centre.x, centre.y, 6.0f + (tau + 8.0f) * 2.0f, Rgb(255, 220, 180), 0.12f * (tau + 8.0f));
  }
  if (tau >= 0.0f) {
    // The fireball swells and cools.
    const float life = std::max(0.0f, 1.0f - tau / 45.0f);
    if (life > 0.0f) {
      const float r = 14.0f + 2.4f * tau;
      c.ForEachSample(centre.x - r, centre.y - r, centre.x + r, centre.y + r, [&](float x, float y, TRgba& s) {
        const float d = std::hypot(x - centre.x, (y - centre.y) * 1.25f) / r;
        if (d >= 1.0f) return;
        const float churn = raster::Fbm(x * 0.05f + tau * 0.08f, y * 0.05f, 77, 2);
        const float heat = (1.0f - d * d) * (0.55f + 0.45f * churn) * life * 1.3f;
        AddLight(s, FireRamp().At(std::min(1.0f, heat)), std::min(1.0f, heat * 1.6f));
      });
    }
    // The shock ring, flat in the fortress's plane.
    const float ring = 10.0f + 8.5f * tau, ringLife = std::pow(std::max(0.0f, 1.0f - tau / 60.0f), 1.6f);
    if (ringLife > 0.0f) {
      const float width = 3.0f + 0.07f * ring, ry = ring * 0.42f;
      c.ForEachSample(std::max(0.0f, centre.x - ring - 3 * width), std::max(0.0f, centre.y - ry - 3 * width),
                      std::min(kW, centre.x + ring + 3 * width), std::min(kH, centre.y + ry + 3 * width),
                      [&](float x, float y, TRgba& s) {
                        const float dx = (x - centre.x) / ring, dy = (y - centre.y) / ry;
                        const float e = (std::sqrt(dx * dx + dy * dy) - 1.0f) * ring / width;
                        const float band = std::exp(-e * e);
                        AddLight(s, e < 0 ? Rgb(200, 230, 255) : Rgb(255, 170, 90), band * ringLife * 0.9f);
                      });
    }
    // Debris tumbling away, glowing hot and cooling.
    for (const TShard& s : p.Shards) {
      const float d = tau * (1.0f - 0.004f * tau);
      const float x = s.X + s.Vx * d, y = s.Y + s.Vy * d, a = s.Angle + s.Spin * tau;
      std::vector<TPoint> outline;
      for (size_t k = 0; k < s.Radii.size(); ++k) {
        const float ak = a + 2.0f * kPi * static_cast<float>(k) / static_cast<float>(s.Radii.size());
        outline.push_back({x + s.Size * s.Radii[k] * std::cos(ak), y + s.Size * s.Radii[k] * std::sin(ak)});
      }
      const float heat = std::exp(-tau / 14.0f);
      const float lit = 0.35f + 0.65f * (0.5f + 0.5f * std::cos(a * 2.0f));
      const TRgba steel = raster::Shade(Rgb(120, 118, 120), s.Tone * lit);
      c.FillPolygon(outline, raster::Solid(raster::Mix(steel, FireRamp().At(0.8f), heat)));
      if (heat > 0.05f) Glow(c, x, y, s.Size * 0.9f, FireRamp().At(0.6f), 0.35f * heat);
    }
    for (const TSpark& s : p.Sparks) {
      if (tau > s.Life) continue;
      const float k = 1.0f - tau / s.Life;
      const TPoint now{s.X + s.Vx * tau, s.Y + s.Vy * tau};
      const TPoint then{now.x - s.Vx * 1.5f, now.y - s.Vy * 1.5f};
      Streak(c, then, now, 0.7f, s.Colour, 1.1f * k);
    }
    // The flash whites out the frame and dies away.
    const float flash = 1.3f * std::exp(-tau / 2.2f);
    if (flash > 0.01f) {
      c.ForEachSample(0, 0, kW, kH, [&](float x, float y, TRgba& s) {
        const float near = std::exp(-((x - centre.x) * (x - centre.x) + (y - centre.y) * (y - centre.y)) / 9000.0f);
        AddLight(s, Rgb(255, 250, 240), flash * (0.55f + 0.45f * near));
      });
    }
  }
  // The slow fade to black after the blast.
  return Finish(c, 0.008f + 0.992f * (1.0f - raster::Smoothstep(68.0f, 149.0f, f)));
}

synth::TSignal TMovieScene::Sound() const {
  using synth::kRate;
  const double length = static_cast<double>(kMovieFrames) / kMovieFps;
  const size_t n = static_cast<size_t>(synth::Samples(length));
  synth::TSignal s(n, 0.0f);
  synth::TNoise noise(number_ == 1 ? 0xF1EEu : 0xB1A5u);
  synth::TOnePole lowA(110.0), lowB(90.0);
  const auto chord = [&](const std::vector<double>& hz, const std::function<float(double t)>& level, double from,
                         double seconds, float gain) {
    for (double h : hz) {
      const synth::TSignal note = synth::Note(h, seconds, 7);
      const int at = synth::Samples(from);
      for (size_t i = 0; i < note.size() && static_cast<size_t>(at) + i < n; ++i) {
        s[static_cast<size_t>(at) + i] +=
            note[i] * level(from + static_cast<double>(i) / kRate) * gain / static_cast<float>(hz.size());
      }
    }
  };
  if (number_ == 1) {
    // The engines: a low rumble and hum, loudest while the fleet passes.
    double phase = 0.0;
    for (size_t i = 0; i < n; ++i) {
      const double t = static_cast<double>(i) / kRate;
      const float pass = 0.35f + 0.65f * static_cast<float>(std::exp(-(t - 5.0) * (t - 5.0) / 6.0));
      phase += 2.0 * std::numbers::pi * (52.0 + 3.0 * std::sin(t * 0.7)) / kRate;
      const float hum = static_cast<float>(std::sin(phase) + 0.4 * std::sin(2.0 * phase + 0.3));
      s[i] += (lowB.Low(lowA.Low(noise.Next())) * 5.0f + 0.22f * hum) * pass * 0.5f;
    }
    // The chord swells over the whole movie and dies with the picture.
    chord(
        {146.83, 220.0, 293.66, 369.99, 440.0, 659.26},
        [](double t) { return synth::Rise(t, 0.0, 7.5) * (1.0f - synth::Rise(t, 8.4, 9.9)); }, 0.0, length, 0.9f);
  } else {
    // A dark drone, the boom at the flash, then a suspended chord resolving.
    const double boom = static_cast<double>(kFlashFrame) / kMovieFps;
    chord(
        {55.0, 82.41, 110.0},
        [boom](double t) { return synth::Rise(t, 0.0, 1.5) * (1.0f - synth::Rise(t, boom - 0.1, boom + 0.4)) * 0.6f; },
        0.0, boom + 0.5, 1.0f);
    double phase = 0.0;
    for (size_t i = 0; i < n; ++i) {
      const double t = static_cast<double>(i) / kRate - boom;
      const float rumble = lowB.Low(lowA.Low(noise.Next())) * 9.0f;
      if (t < 0.0) continue;
      phase += 2.0 * std::numbers::pi * (24.0 + 70.0 * std::exp(-t / 0.35)) / kRate;
      const float env = static_cast<float>(std::exp(-t / 1.4)) * synth::Rise(t, 0.0, 0.01);
      s[i] += (static_cast<float>(std::sin(phase)) * 1.2f + rumble) * env;
    }
    chord(
        {110.0, 146.83, 164.81, 220.0},
        [](double t) { return synth::Rise(t, 4.2, 5.6) * (1.0f - synth::Rise(t, 6.9, 7.3)); }, 4.2, 3.2, 1.0f);
    chord(
        {110.0, 138.59, 164.81, 220.0, 277.18},
        [](double t) { return synth::Rise(t, 6.9, 7.3) * (1.0f - synth::Rise(t, 8.2, 9.9)); }, 6.9, 3.1, 1.0f);
  }
  synth::NormalizePeak(s, synth::Decibels(-3.0f));
  synth::FadeEnds(s, 0.005);
  return s;
}

}  // namespace vdmq::sample
