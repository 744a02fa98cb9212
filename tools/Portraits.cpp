#include "tools/Portraits.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "campaign/FileKinds.h"
#include "tools/ArtStyle.h"
#include "tools/Noise.h"

namespace vdmq::sample {

using raster::Rgb;
using raster::TCanvas;
using raster::TPoint;
using raster::TRgba;

namespace {

constexpr int kSize = 216;  // GEN's size; the master is drawn at 4 samples per pixel side
constexpr int kSs = 4;
constexpr float kPi = std::numbers::pi_v<float>;

// ---- The parameters of a bust ---------------------------------------------------------------

enum THair { kCrop, kSidePart, kSweptBack, kLong, kBob, kBun, kBald, kTousled, kWavyLong };
enum TBeard { kNoBeard, kMoustache, kFullBeard, kGoatee, kStubble };
enum TDress { kMilitary, kSuit, kRobe, kRoyal, kJumpsuit };
enum TAccessory : unsigned {
  kVisor = 1,
  kEyepatch = 2,
  kGlasses = 4,
  kScar = 8,
  kCap = 16,
  kHeadset = 32,
  kCirclet = 64,
  kHelmet = 128,
  kMask = 256,  // a ceremonial mask over the upper face, with a hood
};

const TRgba kSkins[] = {Rgb(238, 204, 180), Rgb(226, 184, 152), Rgb(204, 154, 116),
                        Rgb(172, 120, 86),  Rgb(130, 86, 60),   Rgb(96, 62, 44)};
const TRgba kHairs[] = {Rgb(26, 24, 28),    Rgb(60, 42, 32),    Rgb(100, 68, 44),   Rgb(132, 60, 36),
                        Rgb(208, 172, 106), Rgb(228, 222, 206), Rgb(150, 150, 154), Rgb(222, 222, 226),
                        Rgb(172, 62, 38),   Rgb(32, 36, 60),    Rgb(172, 182, 204), Rgb(122, 78, 52)};
const TRgba kEyes[] = {Rgb(96, 60, 36),    Rgb(50, 34, 28),   Rgb(62, 116, 178), Rgb(72, 126, 84),
                       Rgb(112, 122, 134), Rgb(176, 114, 42), Rgb(114, 84, 156), Rgb(140, 194, 226)};

struct TFace {
  int country = -1;  // the uniform's and the background's colour; -1 neutral
  bool female = false;
  float age = 0.3f;  // 0 young .. 1 old
  float headWidth = 1.0f;
  float jaw = 0.5f;  // 0 narrow .. 1 square
  float chin = 0.5f;
  int skin = 1;
  THair hair = kCrop;
  int hairColour = 1;
  float hairVolume = 1.0f;
  bool partLeft = false;
  TBeard beard = kNoBeard;
  int eyeColour = 0;
  float eyeSize = 1.0f;
  float eyeOpen = 1.0f;
  float eyeSpacing = 1.0f;
  float browWeight = 1.0f;
  float browTilt = 0.0f;  // positive: stern, inner ends lower
  float noseLength = 1.0f;
  float noseWidth = 1.0f;
  float mouthWidth = 1.0f;
  float lips = 1.0f;
  float smile = 0.0f;  // -1 .. 1
  unsigned accessories = 0;
  TDress dress = kMilitary;
  int rank = 1;               // 0 none, 1 silver boards, 2 gold, 3 gold with fringe
  TRgba uniform{0, 0, 0, 0};  // alpha 0: from the country
  TRgba trim = Rgb(214, 180, 90);
};

TFace Base(int country, bool female, float age) {
  TFace f;
  f.country = country;
  f.female = female;
  f.age = age;
  if (female) {
    f.jaw = 0.25f;
    f.chin = 0.35f;
    f.headWidth = 0.94f;
    f.eyeSize = 1.12f;
    f.browWeight = 0.7f;
    f.noseLength = 0.9f;
    f.noseWidth = 0.85f;
    f.mouthWidth = 0.92f;
    f.lips = 1.2f;
  }
  return f;
}

// The story's cast, fitted to their names, profiles and factions.
std::vector<TFace> Cast() {
  std::vector<TFace> c(29);
  TFace f;
  // 0 Kai Rohen: the young admiral of the federation's first fleet, calm and trusted.
  f = Base(0, false, 0.22f);
  f.hair = kSidePart, f.hairColour = 1, f.skin = 1, f.eyeColour = 2, f.jaw = 0.55f, f.browTilt = 0.15f, f.rank = 2;
  f.smile = 0.1f, f.accessories = 0;
  c[0] = f;
  // 1 Marguerite Sera: the president of Seres, gentle and resolute.
  f = Base(1, true, 0.55f);
  f.hair = kBun, f.hairColour = 11, f.skin = 0, f.eyeColour = 3, f.dress = kSuit, f.rank = 0, f.smile = 0.25f;
  c[1] = f;
  // 2 Eri Minase: the adjutant, meticulous and caring.
  f = Base(0, true, 0.12f);
  f.hair = kBob, f.hairColour = 9, f.skin = 1, f.eyeColour = 1, f.accessories = kGlasses, f.rank = 1, f.smile = 0.2f;
  c[2] = f;
  // 3 Gareth Hawk: a veteran admiral of the border war.
  f = Base(0, false, 0.8f);
  f.hair = kCrop, f.hairColour = 6, f.skin = 2, f.beard = kFullBeard, f.eyeColour = 4, f.accessories = kScar | kCap;
  f.jaw = 0.85f, f.browWeight = 1.4f, f.browTilt = 0.25f, f.rank = 3, f.headWidth = 1.08f;
  c[3] = f;
  // 4 Yu Kazama: the hot-blooded commander of the third fleet.
  f = Base(0, false, 0.12f);
  f.hair = kTousled, f.hairColour = 0, f.skin = 1, f.eyeColour = 1, f.browTilt = 0.35f, f.smile = 0.35f, f.rank = 2;
  f.eyeSize = 1.08f;
  c[4] = f;
  // 5 Dian Luke: the taciturn commander of the Arkas garrison.
  f = Base(9, false, 0.5f);
  f.hair = kCrop, f.hairColour = 1, f.skin = 3, f.eyeColour = 0, f.accessories = kScar, f.jaw = 0.9f, f.browTilt = 0.3f;
  f.beard = kStubble, f.rank = 2, f.smile = -0.2f;
  c[5] = f;
  // 6 August Werner: the old president of the federation.
  f = Base(0, false, 0.9f);
  f.hair = kBald, f.hairColour = 7, f.skin = 0, f.eyeColour = 2, f.beard = kMoustache, f.dress = kSuit, f.rank = 0;
  f.headWidth = 1.05f, f.eyeOpen = 0.85f;
  c[6] = f;
  // 7 Khalid Azlan: the proud emir of Kalda.
  f = Base(3, false, 0.55f);
  f.hair = kSweptBack, f.hairColour = 0, f.skin = 4, f.eyeColour = 5, f.beard = kFullBeard, f.dress = kRobe;
  f.accessories = kCirclet, f.rank = 0, f.browWeight = 1.3f, f.noseLength = 1.15f;
  c[7] = f;
  // 8 Heinrich Bolz: the chief of staff, a planner of supply lines.
  f = Base(0, false, 0.62f);
  f.hair = kSweptBack, f.hairColour = 6, f.skin = 1, f.eyeColour = 4, f.accessories = kGlasses, f.rank = 3;
  f.headWidth = 1.06f, f.jaw = 0.6f;
  c[8] = f;
  // 9 Leopold Milva: the gentle grand duke who loves the arts.
  f = Base(4, false, 0.6f);
  f.hair = kWavyLong, f.hairColour = 4, f.skin = 0, f.eyeColour = 3, f.beard = kMoustache, f.dress = kRoyal;
  f.rank = 0, f.smile = 0.3f, f.hairVolume = 0.8f;
  c[9] = f;
  // 10 Clarice Norman: the sharp chair of the defence committee.
  f = Base(0, true, 0.48f);
  f.hair = kSweptBack, f.hairColour = 3, f.skin = 0, f.eyeColour = 3, f.dress = kSuit, f.rank = 0, f.browTilt = 0.2f;
  f.smile = -0.1f;
  c[10] = f;
  // 11 Oswald Rain: the commander-in-chief who argues for the offensive.
  f = Base(0, false, 0.68f);
  f.hair = kCrop, f.hairColour = 7, f.skin = 2, f.eyeColour = 0, f.accessories = kCap, f.rank = 3, f.jaw = 0.8f;
  f.beard = kMoustache, f.browWeight = 1.3f, f.browTilt = 0.3f;
  c[11] = f;
  // 12 Petra Silva: the liaison officer, a major from the intelligence service.
  f = Base(1, true, 0.22f);
  f.hair = kLong, f.hairColour = 5, f.skin = 1, f.eyeColour = 7, f.rank = 2, f.browTilt = 0.3f, f.smile = 0.05f;
  c[12] = f;
  // 13 Simon Lacroix: the careful secretary of defence of Seres.
  f = Base(1, false, 0.58f);
  f.hair = kSidePart, f.hairColour = 2, f.skin = 1, f.eyeColour = 4, f.dress = kSuit, f.rank = 0,
  f.accessories = kGlasses;
  c[13] = f;
  // 14 Michaela Thorne: the mediator of the Torne union.
  f = Base(5, true, 0.45f);
  f.hair = kLong, f.hairColour = 1, f.skin = 3, f.eyeColour = 0, f.dress = kSuit, f.rank = 0, f.smile = 0.3f;
  c[14] = f;
  // 15 Eleonora III: the witty queen of Ortensia.
  f = Base(2, true, 0.35f);
  f.hair = kWavyLong, f.hairColour = 8, f.skin = 0, f.eyeColour = 6, f.dress = kRoyal, f.accessories = kCirclet;
  f.rank = 0, f.smile = 0.4f, f.hairVolume = 1.2f;
  c[15] = f;
  // 16 Gideon Kraft: the businessman president of Heisel.
  f = Base(6, false, 0.5f);
  f.hair = kSweptBack, f.hairColour = 0, f.skin = 2, f.eyeColour = 1, f.dress = kSuit, f.rank = 0, f.smile = 0.45f;
  f.headWidth = 1.1f, f.jaw = 0.7f;
  c[16] = f;
  // 17 Roberto Alba: the queen's old chancellor, who doubts every sweet offer.
  f = Base(2, false, 0.88f);
  f.hair = kBald, f.hairColour = 7, f.skin = 2, f.eyeColour = 0, f.beard = kGoatee, f.dress = kRoyal, f.rank = 0;
  f.eyeOpen = 0.75f, f.browTilt = 0.2f, f.noseLength = 1.2f;
  c[17] = f;
  // 18 Viktor Zaha: the kingdom's honest general.
  f = Base(2, false, 0.55f);
  f.hair = kCrop, f.hairColour = 2, f.skin = 3, f.eyeColour = 0, f.accessories = kScar, f.rank = 3, f.jaw = 0.95f;
  f.beard = kFullBeard, f.headWidth = 1.1f, f.browWeight = 1.5f;
  c[18] = f;
  // 19 Mireille Canon: the spymistress with eyes and ears everywhere.
  f = Base(2, true, 0.4f);
  f.hair = kSidePart, f.hairColour = 0, f.skin = 0, f.eyeColour = 6, f.accessories = kEyepatch, f.rank = 1;
  f.hairVolume = 1.1f, f.smile = 0.15f, f.partLeft = true;
  c[19] = f;
  // 20 Theo Blanc: the mild foreign minister.
  f = Base(2, false, 0.42f);
  f.hair = kSidePart, f.hairColour = 4, f.skin = 1, f.eyeColour = 2, f.dress = kSuit, f.rank = 0, f.smile = 0.35f;
  c[20] = f;
  // 21 Lucien Nox: the emperor's silver-tongued envoy.
  f = Base(7, false, 0.35f);
  f.hair = kLong, f.hairColour = 10, f.skin = 0, f.eyeColour = 6, f.dress = kSuit, f.rank = 0, f.smile = 0.2f;
  f.hairVolume = 0.75f, f.jaw = 0.3f, f.browTilt = 0.1f;
  c[21] = f;
  // 22 Zex Zoldia: the ambitious emperor.
  f = Base(7, false, 0.45f);
  f.hair = kSweptBack, f.hairColour = 0, f.skin = 1, f.eyeColour = 5, f.dress = kRoyal, f.accessories = kCirclet;
  f.rank = 3, f.browTilt = 0.4f, f.jaw = 0.75f, f.smile = -0.15f;
  c[22] = f;
  // 23 Jonas Helm: the chairman of the traders of Belka.
  f = Base(8, false, 0.65f);
  f.hair = kBald, f.hairColour = 2, f.skin = 2, f.eyeColour = 0, f.beard = kFullBeard, f.dress = kSuit, f.rank = 0;
  f.headWidth = 1.18f, f.smile = 0.5f, f.eyeOpen = 0.8f;
  c[23] = f;
  // 24 Graus Bernhardt: the empire's careful, merciless marshal.
  f = Base(7, false, 0.72f);
  f.hair = kCrop, f.hairColour = 6, f.skin = 0, f.eyeColour = 4, f.accessories = kCap | kScar, f.rank = 3;
  f.jaw = 0.9f, f.browWeight = 1.4f, f.browTilt = 0.45f, f.smile = -0.3f, f.eyeOpen = 0.85f;
  c[24] = f;
  // 25 Ilia Fern: the prime minister who leads the small Elysion against the empire.
  f = Base(9, true, 0.38f);
  f.hair = kBun, f.hairColour = 2, f.skin = 2, f.eyeColour = 3, f.dress = kSuit, f.rank = 0;
  f.browTilt = 0.2f;
  c[25] = f;
  // 26 Amane: the holy leader of Naga, whose face few have seen.
  f = Base(10, true, 0.3f);
  f.hair = kLong, f.hairColour = 0, f.skin = 0, f.eyeColour = 6, f.dress = kRobe, f.accessories = kMask, f.rank = 0;
  c[26] = f;
  // 27 Boris Ragna: the rough margrave of the frontier.
  f = Base(11, false, 0.6f);
  f.hair = kTousled, f.hairColour = 8, f.skin = 2, f.eyeColour = 3, f.beard = kFullBeard, f.accessories = kEyepatch;
  f.rank = 2, f.headWidth = 1.14f, f.jaw = 1.0f, f.browWeight = 1.5f, f.hairVolume = 1.2f;
  c[27] = f;
  // 28 Jean Rebel: the fleet commander of Seres, who guards the border in silence.
  f = Base(1, false, 0.45f);
  f.hair = kSidePart, f.hairColour = 1, f.skin = 3, f.eyeColour = 0, f.accessories = kCap, f.rank = 3,
  f.beard = kGoatee;
  f.browTilt = 0.25f;
  c[28] = f;
  return c;
}

// The generic officers: seeded faces in the kit their names say.
TFace Officer(int number) {
  raster::TArtRng rng(art::SeedOf("portrait", static_cast<std::uint32_t>(number)));
  const bool female = number == 32 || number == 34;
  TFace f = Base(-1, female, rng.Range(0.15f, 0.55f));
  f.skin = rng.Below(6);
  f.hairColour = rng.Below(4);
  f.eyeColour = rng.Below(5);
  f.headWidth *= rng.Range(0.95f, 1.08f);
  f.jaw = std::clamp(f.jaw + rng.Range(-0.15f, 0.2f), 0.0f, 1.0f);
  f.noseLength *= rng.Range(0.9f, 1.12f);
  f.mouthWidth *= rng.Range(0.9f, 1.1f);
  f.smile = rng.Range(-0.1f, 0.3f);
  f.rank = 1;
  f.uniform = Rgb(70, 76, 70);
  switch (number) {
    case 30:
      f.country = 0, f.uniform = TRgba{0, 0, 0, 0}, f.hair = kCrop, f.accessories = kCap;
      break;  // federation officer
    case 31:
      f.country = 7, f.uniform = TRgba{0, 0, 0, 0}, f.hair = kCrop, f.accessories = kCap, f.browTilt = 0.3f;
      break;
    case 32:
      f.hair = kBob, f.accessories = kHeadset, f.uniform = Rgb(72, 84, 100), f.rank = 0;
      break;  // communications
    case 33:
      f.hair = kCrop, f.age = 0.7f, f.hairColour = 6, f.beard = kFullBeard, f.dress = kJumpsuit,
      f.uniform = Rgb(150, 102, 52), f.rank = 0, f.accessories = kVisor;
      break;  // maintenance chief
    case 34: f.hair = kBun, f.accessories = kVisor, f.uniform = Rgb(66, 84, 62), f.rank = 0; break;  // scout
    case 35:
      f.hair = kSidePart, f.beard = kGoatee, f.accessories = kCap, f.uniform = Rgb(58, 62, 74), f.rank = 2;
      break;
    case 36: f.hair = kSweptBack, f.accessories = kGlasses, f.uniform = Rgb(84, 86, 96), f.rank = 2; break;  // staff
    default: f.hair = kCrop, f.accessories = kHelmet, f.uniform = Rgb(76, 84, 64), f.rank = 0, f.smile = 0.0f; break;
  }
  return f;
}

// ---- Drawing ----------------------------------------------------------------------------------

// A smooth closed curve through the points (Catmull-Rom).
std::vector<TPoint> Spline(const std::vector<TPoint>& p, bool closed, int steps = 8) {
  std::vector<TPoint> out;
  const int n = static_cast<int>(p.size());
  const int segments = closed ? n : n - 1;
  auto at = [&](int i) {
    if (closed) return p[static_cast<size_t>((i % n + n) % n)];
    return p[static_cast<size_t>(std::clamp(i, 0, n - 1))];
  };
  for (int i = 0; i < segments; ++i) {
    const TPoint p0 = at(i - 1), p1 = at(i), p2 = at(i + 1), p3 = at(i + 2);
    for (int k = 0; k < steps; ++k) {
      const float t = static_cast<float>(k) / steps, t2 = t * t, t3 = t2 * t;
      out.push_back({0.5f * (2 * p1.x + (-p0.x + p2.x) * t + (2 * p0.x - 5 * p1.x + 4 * p2.x - p3.x) * t2 +
                             (-p0.x + 3 * p1.x - 3 * p2.x + p3.x) * t3),
                     0.5f * (2 * p1.y + (-p0.y + p2.y) * t + (2 * p0.y - 5 * p1.y + 4 * p2.y - p3.y) * t2 +
                             (-p0.y + 3 * p1.y - 3 * p2.y + p3.y) * t3)});
    }
  }
  if (!closed) out.push_back(p.back());
  return out;
}

// A band along an open curve whose width runs from w0 to w1 (a brow, a lash line, a fold).
std::vector<TPoint> Band(const std::vector<TPoint>& curve, float w0, float w1) {
  std::vector<TPoint> left, right;
  const size_t n = curve.size();
  for (size_t i = 0; i < n; ++i) {
    const TPoint a = curve[i == 0 ? 0 : i - 1], b = curve[i + 1 < n ? i + 1 : n - 1];
    float dx = b.x - a.x, dy = b.y - a.y;
    const float len = std::max(1e-4f, std::sqrt(dx * dx + dy * dy));
    dx /= len;
    dy /= len;
    const float w = (w0 + (w1 - w0) * static_cast<float>(i) / static_cast<float>(std::max<size_t>(1, n - 1))) / 2.0f;
    left.push_back({curve[i].x - dy * w, curve[i].y + dx * w});
    right.push_back({curve[i].x + dy * w, curve[i].y - dx * w});
  }
  std::vector<TPoint> out = left;
  out.insert(out.end(), right.rbegin(), right.rend());
  return out;
}

std::vector<TPoint> Mirror(const std::vector<TPoint>& p, float cx) {
  std::vector<TPoint> out;
  for (auto it = p.rbegin(); it != p.rend(); ++it) out.push_back({2 * cx - it->x, it->y});
  return out;
}

struct TBust {
  const TFace& f;
  TCanvas& c;
  raster::TArtRng rng;
  float cx = 108.0f, cy = 90.0f;  // the head's centre
  float hw = 35.0f, hh = 45.0f;   // its half width and half height
  float u = 1.12f;                // the size of the features
  TRgba skin, hair, uniform, tint, rim;
  float eyeY = 0, eyeDx = 0, noseTip = 0, mouthY = 0, chinY = 0;

  TBust(const TFace& face, TCanvas& canvas, std::uint32_t seed) : f(face), c(canvas), rng(seed) {
    hw = 35.0f * f.headWidth;
    skin = kSkins[std::clamp(f.skin, 0, 5)];
    hair = kHairs[std::clamp(f.hairColour, 0, 11)];
    if (f.age > 0.75f && f.hairColour < 4) hair = raster::Mix(hair, kHairs[6], (f.age - 0.75f) * 2.5f);
    tint = f.country >= 0 ? art::CountryColour(f.country) : Rgb(120, 130, 140);
    uniform = f.uniform.a > 0.0f ? f.uniform : raster::Mix(raster::Shade(tint, 0.42f), art::kNavy, 0.35f);
    if (f.country == 9 && f.uniform.a == 0.0f) uniform = Rgb(196, 202, 214);  // Elysion's white
    rim = raster::Mix(tint, Rgb(255, 255, 255), 0.55f);
    eyeY = cy + 1.0f;
    eyeDx = hw * 0.41f * f.eyeSpacing;
    noseTip = cy + hh * 0.40f * f.noseLength;
    mouthY = cy + hh * 0.66f;
    chinY = cy + hh * (1.02f + 0.08f * f.chin);
  }

  // The light of a point of a rounded form with centre (ox, oy) and radii (rx, ry): soft key light
  // from the upper left, and a rim light on the right edge.
  TRgba Lit(const TRgba& base, float x, float y, float ox, float oy, float rx, float ry, float rimK = 1.0f) const {
    float n[3] = {(x - ox) / rx, (y - oy) / ry, 0.0f};
    const float d2 = std::min(0.97f, n[0] * n[0] + n[1] * n[1]);
    n[2] = std::sqrt(1.0f - d2);
    const float diffuse = raster::Lambert(n, -0.55f, -0.5f, 0.68f);
    TRgba col = raster::Shade(base, 0.38f + 0.74f * diffuse);
    // Warm light under the surface where it turns from the light.
    const float turn = raster::Smoothstep(0.55f, 0.15f, diffuse) * raster::Smoothstep(0.0f, 0.2f, diffuse);
    col.r += turn * 0.06f;
    const float r = std::pow(1.0f - n[2], 3.0f) * std::max(0.0f, n[0]) * 0.8f * rimK;
    return raster::Mix(col, raster::WithAlpha(rim, 1.0f), std::min(0.6f, r));
  }

  std::vector<TPoint> HeadOutline() const {
    const float j = 0.58f + 0.26f * f.jaw;
    const std::vector<TPoint> right = {{cx, cy - hh},
                                       {cx + hw * 0.74f, cy - hh * 0.8f},
                                       {cx + hw, cy - hh * 0.22f},
                                       {cx + hw * 0.96f, cy + hh * 0.22f},
                                       {cx + hw * j, cy + hh * 0.7f},
                                       {cx + hw * (0.2f + 0.12f * f.jaw), chinY - 2.0f}};
    std::vector<TPoint> pts = right;
    pts.push_back({cx, chinY});
    const auto left = Mirror(std::vector<TPoint>(right.begin() + 1, right.end()), cx);
    pts.insert(pts.end(), left.begin(), left.end());
    return Spline(pts, true);
  }

  void Background() {
    const TRgba inner = raster::Mix(art::kNavyLight, tint, 0.3f);
    c.Fill(raster::RadialGradient({cx - 34.0f, 66.0f}, 200.0f, 200.0f,
                                  {{{0.0f, raster::Shade(inner, 1.25f)},
                                    {0.45f, raster::Mix(inner, art::kNavy, 0.6f)},
                                    {1.0f, art::kNavyDeep}}}));
    // A soft diagonal light across the back, and a faint ring behind the head.
    c.Fill([&](float x, float y) {
      const float d = (x * 0.7f - y * 0.7f + 40.0f) / 30.0f;
      return raster::WithAlpha(raster::Shade(tint, 1.2f), 0.07f * std::exp(-d * d));
    });
    c.StrokePath(raster::EllipsePath({cx, cy + 8.0f}, 86.0f, 86.0f), true, 1.2f,
                 raster::Solid(raster::WithAlpha(raster::Mix(tint, Rgb(255, 255, 255), 0.4f), 0.12f)));
  }

  raster::TPaint HairPaint(float crownX, float crownY) {
    const std::uint32_t seed = rng.Next();
    return [=, this](float x, float y) {
      const float dx = x - crownX, dy = y - crownY;
      const float angle = std::atan2(dy, dx), dist = std::sqrt(dx * dx + dy * dy);
      const float strands = raster::Fbm(angle * 26.0f, dist * 0.04f, seed, 3);
      const float shade = 0.55f + 0.55f * raster::Smoothstep(cy + hh * 1.6f, cy - hh * 0.9f, y) -
                          0.25f * raster::Smoothstep(cx - 20, cx + hw + 10, x);
      TRgba col = raster::Shade(hair, shade * (0.78f + 0.45f * strands));
      // A band of sheen on the upper left.
      const float hx = (x - (cx - hw * 0.35f)) / (hw * 0.9f), hy = (y - (cy - hh * 0.75f)) / (hh * 0.35f);
      const float sheen = std::exp(-(hx * hx + hy * hy) * 1.4f) * (0.5f + 0.5f * strands);
      col = raster::Mix(col, raster::Mix(hair, Rgb(255, 250, 240), 0.55f), sheen * 0.45f);
      const float r = raster::Smoothstep(cx + hw * 0.4f, cx + hw + 14.0f, x);
      return raster::Mix(col, raster::WithAlpha(rim, 1.0f), r * 0.25f);
    };
  }

  float Volume() const { return 7.0f * f.hairVolume; }

  void HairBack() {
    const float v = Volume();
    raster::TPaint paint = HairPaint(cx, cy - hh - 6.0f);
    if (f.hair == kLong || f.hair == kWavyLong) {
      const float wave = f.hair == kWavyLong ? 4.0f : 0.0f;
      std::vector<TPoint> back;
      const float bottom = f.hair == kWavyLong ? 196.0f : 184.0f;
      for (int i = 0; i <= 10; ++i) {
        const float t = static_cast<float>(i) / 10.0f;
        back.push_back({cx + hw + v + 6.0f + wave * std::sin(t * 9.0f), cy - hh * 0.3f + (bottom - cy) * t});
      }
      back.push_back({cx + hw * 0.5f, bottom + 4.0f});
      back.push_back({cx - hw * 0.5f, bottom + 4.0f});
      for (int i = 10; i >= 0; --i) {
        const float t = static_cast<float>(i) / 10.0f;
        back.push_back({cx - hw - v - 6.0f - wave * std::sin(t * 9.0f + 1.0f), cy - hh * 0.3f + (bottom - cy) * t});
      }
      back.push_back({cx, cy - hh - v});
      c.FillPolygon(Spline(back, true, 4), paint);
    } else if (f.hair == kBob) {
      c.FillPolygon(Spline({{cx + hw + v, cy - hh * 0.2f},
                            {cx + hw + v * 0.8f, cy + hh * 0.8f},
                            {cx + hw * 0.6f, cy + hh * 0.95f},
                            {cx - hw * 0.6f, cy + hh * 0.95f},
                            {cx - hw - v * 0.8f, cy + hh * 0.8f},
                            {cx - hw - v, cy - hh * 0.2f},
                            {cx, cy - hh - v}},
                           true, 6),
                    paint);
    } else if (f.hair == kBun) {
      c.FillEllipse({cx + hw * 0.15f, cy - hh - 6.0f}, 13.0f, 11.0f, paint);
    }
  }

  void NeckAndDress() {
    const float nw = hw * (f.female ? 0.4f : 0.5f);
    const float top = cy + hh * 0.45f;
    const float neckBase = 156.0f;  // where the neck meets the collar
    // The neck, darker under the chin.
    c.FillPolygon(
        {{cx - nw, top}, {cx + nw, top}, {cx + nw * 1.15f, neckBase + 8.0f}, {cx - nw * 1.15f, neckBase + 8.0f}},
        [&](float x, float y) {
          const float under = raster::Smoothstep(chinY + 10.0f, chinY - 2.0f, y);
          return raster::Shade(Lit(skin, x, y, cx - 6.0f, top + 14.0f, nw * 1.5f, 50.0f, 0.6f), 0.86f - 0.3f * under);
        });
    // Shoulders: the slope from the neck, the round of the shoulder, the arms.
    const float sw = f.female ? 0.88f : 1.0f;
    std::vector<TPoint> body = {
        {cx - nw * 1.1f, neckBase - 6.0f},   {cx - 40.0f * sw, neckBase + 4.0f},   {cx - 74.0f * sw, neckBase + 14.0f},
        {cx - 92.0f * sw, neckBase + 26.0f}, {cx - 100.0f * sw, neckBase + 44.0f}, {cx - 104.0f * sw, 220.0f},
        {cx + 104.0f * sw, 220.0f},          {cx + 100.0f * sw, neckBase + 44.0f}, {cx + 92.0f * sw, neckBase + 26.0f},
        {cx + 74.0f * sw, neckBase + 14.0f}, {cx + 40.0f * sw, neckBase + 4.0f},   {cx + nw * 1.1f, neckBase - 6.0f}};
    c.FillPolygon(Spline(body, false, 6), [&](float x, float y) {
      // The chest a wide rounded form; the round tops of the shoulders catch more light.
      TRgba lit = Lit(uniform, x, y, cx - 16.0f, neckBase + 50.0f, 118.0f, 64.0f);
      for (const float side : {-1.0f, 1.0f}) {
        const float dx = (x - (cx + side * 74.0f * sw)) / 22.0f, dy = (y - (neckBase + 18.0f)) / 14.0f;
        lit = raster::Shade(lit, 1.0f + (side < 0 ? 0.22f : 0.1f) * std::exp(-(dx * dx + dy * dy)));
      }
      const float fold = 0.95f + 0.05f * std::sin(x * 0.16f + y * 0.04f);
      return raster::Shade(lit, fold * (1.0f - 0.25f * raster::Smoothstep(neckBase + 20.0f, 220.0f, y)));
    });
    const float shoulderY = neckBase + 14.0f;
    switch (f.dress) {
      case kSuit: {
        // Shirt, a tie in the country's colour, lapels and a pin.
        c.FillPolygon({{cx - nw * 1.05f, neckBase - 4.0f},
                       {cx + nw * 1.05f, neckBase - 4.0f},
                       {cx + 12.0f, 218.0f},
                       {cx - 12.0f, 218.0f}},
                      [&](float x, float y) { return Lit(Rgb(232, 236, 242), x, y, cx - 8, 180, 40, 50); });
        c.FillPolygon(
            {{cx - nw * 1.05f, neckBase - 4.0f}, {cx - 2.0f, neckBase + 8.0f}, {cx - nw * 0.9f, neckBase + 6.0f}},
            raster::Solid(Rgb(200, 206, 216)));
        c.FillPolygon(
            {{cx + nw * 1.05f, neckBase - 4.0f}, {cx + 2.0f, neckBase + 8.0f}, {cx + nw * 0.9f, neckBase + 6.0f}},
            raster::Solid(Rgb(180, 186, 198)));
        if (!f.female) {
          c.FillPolygon({{cx - 4.0f, neckBase + 3.0f},
                         {cx + 4.0f, neckBase + 3.0f},
                         {cx + 2.5f, neckBase + 9.0f},
                         {cx - 2.5f, neckBase + 9.0f}},
                        raster::Solid(raster::Shade(tint, 0.75f)));
          c.FillPolygon({{cx - 2.5f, neckBase + 9.0f},
                         {cx + 2.5f, neckBase + 9.0f},
                         {cx + 6.0f, 208.0f},
                         {cx, 218.0f},
                         {cx - 6.0f, 208.0f}},
                        raster::LinearGradient({cx - 5, 170}, raster::Shade(tint, 0.95f), {cx + 5, 210},
                                               raster::Shade(tint, 0.6f)));
        }
        for (const float side : {-1.0f, 1.0f}) {
          c.FillPolygon(
              {{cx + side * nw * 1.15f, neckBase - 6.0f},
               {cx + side * 10.0f, 218.0f},
               {cx + side * 32.0f, 218.0f},
               {cx + side * 28.0f, 196.0f},
               {cx + side * 38.0f, 182.0f},
               {cx + side * nw * 1.5f, neckBase}},
              [&](float x, float y) { return raster::Shade(Lit(uniform, x, y, cx - 20, 190, 110, 60), 0.82f); });
        }
        c.FillEllipse({cx - 32.0f, 190.0f}, 2.4f, 2.4f, raster::Solid(raster::Mix(tint, Rgb(255, 255, 255), 0.3f)));
        break;
      }
      case kRobe: {
        // A wide neckline with an embroidered border.
        c.FillPolygon({{cx - nw * 1.6f, neckBase - 2.0f}, {cx, 200.0f}, {cx + nw * 1.6f, neckBase - 2.0f}},
                      [&](float x, float y) { return raster::Shade(Lit(skin, x, y, cx - 6, 170, 40, 40), 0.85f); });
        c.StrokePath(
            {{cx - nw * 1.7f, neckBase - 4.0f}, {cx, 202.0f}, {cx + nw * 1.7f, neckBase - 4.0f}}, false, 7.0f,
            [&](float x, float y) { return raster::Shade(f.trim, 0.75f + 0.25f * std::sin(x * 1.3f + y * 1.3f)); });
        break;
      }
      case kRoyal: {
        // A richly trimmed coat: a stand collar (a low neckline for a lady), golden frogging across
        // the chest, a sash in the country's colour and a jewel.
        if (f.female) {
          c.FillPolygon(
              Spline({{cx - nw * 1.5f, neckBase - 2.0f}, {cx, neckBase + 22.0f}, {cx + nw * 1.5f, neckBase - 2.0f}},
                     false, 6),
              [&](float x, float y) { return raster::Shade(Lit(skin, x, y, cx - 6, 170, 40, 40), 0.88f); });
          c.StrokePath(
              Spline({{cx - nw * 1.55f, neckBase - 3.0f}, {cx, neckBase + 23.0f}, {cx + nw * 1.55f, neckBase - 3.0f}},
                     false, 6),
              false, 3.0f, [&](float x, float y) { return Lit(f.trim, x, y, cx - 10, neckBase, 40, 30); });
          c.StrokePath(
              Spline({{cx - nw * 0.9f, neckBase - 4.0f}, {cx, neckBase + 9.0f}, {cx + nw * 0.9f, neckBase - 4.0f}},
                     false, 6),
              false, 1.2f, raster::Solid(f.trim));
        } else {
          c.FillPolygon(
              Spline({{cx - nw * 1.3f, neckBase - 12.0f},
                      {cx - nw * 1.25f, neckBase + 4.0f},
                      {cx, neckBase + 7.0f},
                      {cx + nw * 1.25f, neckBase + 4.0f},
                      {cx + nw * 1.3f, neckBase - 12.0f},
                      {cx, neckBase - 6.0f}},
                     true, 5),
              [&](float x, float y) { return raster::Shade(Lit(uniform, x, y, cx - 10, neckBase, 40, 16), 0.9f); });
          c.StrokePath(
              Spline({{cx - nw * 1.3f, neckBase - 12.0f}, {cx, neckBase - 6.0f}, {cx + nw * 1.3f, neckBase - 12.0f}},
                     false),
              false, 1.6f, raster::Solid(f.trim));
          c.StrokePath(
              Spline({{cx - nw * 1.25f, neckBase + 4.0f}, {cx, neckBase + 7.0f}, {cx + nw * 1.25f, neckBase + 4.0f}},
                     false),
              false, 1.6f, raster::Solid(f.trim));
          for (int i = 0; i < 4; ++i) {
            const float y = neckBase + 16.0f + i * 11.0f;
            c.StrokeLine({cx - 12.0f, y}, {cx + 12.0f, y}, 2.0f,
                         [&](float x, float yy) { return Lit(f.trim, x, yy, cx - 6, y - 1, 14, 3); });
            c.FillEllipse({cx - 12.0f, y}, 1.6f, 1.6f, raster::Solid(f.trim));
            c.FillEllipse({cx + 12.0f, y}, 1.6f, 1.6f, raster::Solid(f.trim));
          }
        }
        c.FillPolygon({{cx - 80.0f * sw, shoulderY + 4.0f},
                       {cx - 64.0f * sw, shoulderY - 2.0f},
                       {cx + 70.0f, 220.0f},
                       {cx + 44.0f, 220.0f}},
                      [&](float x, float y) { return Lit(raster::Shade(tint, 0.9f), x, y, cx - 10, 190, 90, 40); });
        c.StrokePath({{cx - 72.0f * sw, shoulderY + 1.0f}, {cx + 57.0f, 220.0f}}, false, 1.0f,
                     raster::Solid(raster::WithAlpha(f.trim, 0.8f)));
        c.FillEllipse({cx - 22.0f, 190.0f}, 5.0f, 5.0f, raster::Solid(raster::Shade(f.trim, 0.6f)));
        c.FillEllipse({cx - 22.0f, 190.0f}, 3.6f, 3.6f,
                      raster::RadialGradient({cx - 23, 189}, 4, 4,
                                             {{{0, Rgb(255, 255, 255)},
                                               {0.5f, raster::Mix(tint, Rgb(255, 255, 255), 0.3f)},
                                               {1, raster::Shade(tint, 0.6f)}}}));
        break;
      }
      case kJumpsuit: {
        c.FillPolygon({{cx - nw * 1.3f, neckBase - 6.0f},
                       {cx + nw * 1.3f, neckBase - 6.0f},
                       {cx + nw * 1.05f, neckBase + 3.0f},
                       {cx - nw * 1.05f, neckBase + 3.0f}},
                      raster::Solid(raster::Shade(uniform, 0.7f)));
        c.StrokeLine({cx + 1.0f, neckBase + 3.0f}, {cx + 1.0f, 218.0f}, 1.4f,
                     raster::Solid(raster::Shade(uniform, 0.5f)));
        c.FillRect(cx - 44.0f, 186.0f, cx - 26.0f, 200.0f, raster::Solid(raster::Shade(uniform, 0.8f)));
        c.FillRect(cx - 44.0f, 186.0f, cx - 26.0f, 188.0f, raster::Solid(raster::Shade(uniform, 0.6f)));
        c.FillRect(cx + 26.0f, 184.0f, cx + 42.0f, 190.0f, raster::Solid(Rgb(220, 190, 60)));  // a name tag, blank
        break;
      }
      case kMilitary: {
        // The stand collar with piping and insignia tabs, a fastening down the front, ribbons.
        c.FillPolygon(
            Spline({{cx - nw * 1.35f, neckBase - 10.0f},
                    {cx - nw * 1.3f, neckBase + 3.0f},
                    {cx, neckBase + 6.0f},
                    {cx + nw * 1.3f, neckBase + 3.0f},
                    {cx + nw * 1.35f, neckBase - 10.0f},
                    {cx, neckBase - 5.0f}},
                   true, 5),
            [&](float x, float y) { return raster::Shade(Lit(uniform, x, y, cx - 10, neckBase, 40, 16), 0.85f); });
        c.StrokePath(
            Spline({{cx - nw * 1.35f, neckBase - 10.0f}, {cx, neckBase - 5.0f}, {cx + nw * 1.35f, neckBase - 10.0f}},
                   false),
            false, 1.2f, raster::Solid(f.trim));
        for (const float side : {-1.0f, 1.0f}) {
          const TPoint tab{cx + side * nw * 0.8f, neckBase - 1.0f};
          c.FillPolygon(raster::RoundedRectPath(tab.x - 4.5f, tab.y - 3.0f, tab.x + 4.5f, tab.y + 3.0f, 1.0f),
                        raster::Solid(raster::Shade(tint, 0.8f)));
          c.FillEllipse(tab, 1.4f, 1.4f, raster::Solid(f.trim));
        }
        c.StrokeLine({cx, neckBase + 6.0f}, {cx, 218.0f}, 1.0f, raster::Solid(raster::Shade(uniform, 0.55f)));
        for (float y = neckBase + 14.0f; y < 216.0f; y += 12.0f)
          c.FillEllipse({cx + 4.0f, y}, 1.7f, 1.7f, raster::Solid(f.trim));
        if (f.rank >= 2) {
          const TRgba ribbons[3] = {tint, Rgb(210, 190, 90), Rgb(150, 40, 40)};
          for (int i = 0; i < 3; ++i) {
            c.FillRect(cx - 46.0f + i * 6.5f, 186.0f, cx - 40.0f + i * 6.5f, 190.5f, raster::Solid(ribbons[i]));
          }
        }
        break;
      }
    }
    if (f.rank > 0 && f.dress == kMilitary) {
      // Shoulder boards along the slope of each shoulder.
      for (const float side : {-1.0f, 1.0f}) {
        const TPoint a{cx + side * 44.0f * sw, neckBase + 5.0f}, b{cx + side * 82.0f * sw, neckBase + 18.0f};
        const TPoint n{-(b.y - a.y) / 40.0f * 5.0f * side, std::fabs(b.x - a.x) / 40.0f * 5.0f};
        const std::vector<TPoint> board = {
            {a.x - n.x, a.y - n.y}, {b.x - n.x, b.y - n.y}, {b.x + n.x, b.y + n.y}, {a.x + n.x, a.y + n.y}};
        const TRgba metal = f.rank == 1 ? Rgb(186, 192, 204) : f.trim;
        c.FillPolygon(board, raster::LinearGradient({a.x, a.y - 5}, raster::Mix(metal, Rgb(255, 255, 255), 0.35f),
                                                    {a.x, a.y + 6}, raster::Shade(metal, 0.55f)));
        for (int i = 1; i <= f.rank; ++i) {
          const float t = 0.3f + 0.18f * static_cast<float>(i);
          const TPoint p{a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t};
          c.StrokeLine({p.x - n.x * 0.8f, p.y - n.y * 0.8f}, {p.x + n.x * 0.8f, p.y + n.y * 0.8f}, 0.9f,
                       raster::Solid(raster::Shade(metal, 0.45f)));
        }
        if (f.rank == 3) {
          for (int i = 0; i < 8; ++i) {
            const float t = static_cast<float>(i) / 7.0f;
            const TPoint p{b.x + n.x - side * 2.0f * t - side * 1.0f, b.y + n.y - 1.0f + 2.0f * t};
            c.StrokeLine(p, {p.x + side * 0.6f, p.y + 6.0f}, 0.9f, raster::Solid(raster::Shade(f.trim, 0.85f)));
          }
        }
      }
    }
  }

  void Ears() {
    for (const float side : {-1.0f, 1.0f}) {
      const TPoint e{cx + side * (hw - 1.0f), eyeY + 6.0f};
      c.FillEllipse(e, 5.5f * u, 10.0f * u, [&](float x, float y) {
        return raster::Shade(Lit(skin, x, y, cx, cy, hw * 1.2f, hh * 1.3f), 0.9f);
      });
      c.FillEllipse({e.x + side * 1.2f, e.y + 0.5f}, 2.6f * u, 6.0f * u, raster::Solid({0.35f, 0.15f, 0.1f, 0.35f}));
    }
  }

  void Head() {
    c.FillPolygon(HeadOutline(), [&](float x, float y) {
      TRgba col = Lit(skin, x, y, cx - 3.0f, cy + 4.0f, hw * 1.08f, hh * 1.28f);
      // Cheeks a little warmer; the jaw a little darker for a man with a heavy beard line.
      const float cheeks =
          std::exp(-(std::pow((std::fabs(x - cx) - eyeDx) / 9.0f, 2.0f) + std::pow((y - eyeY - 13.0f) / 6.0f, 2.0f)));
      col = raster::Mix(col, Rgb(220, 110, 100), cheeks * (f.female ? 0.16f : 0.07f));
      return col;
    });
    // Eye sockets and the shade under the brow.
    for (const float side : {-1.0f, 1.0f}) {
      c.FillEllipse({cx + side * eyeDx, eyeY - 1.5f}, 11.0f * u * f.eyeSize, 6.5f * u,
                    raster::Solid({0.28f, 0.14f, 0.1f, 0.1f + 0.08f * f.age}));
    }
  }

  void Eye(float side) {
    const float ex = cx + side * eyeDx, ey = eyeY;
    const float w = 7.6f * u * f.eyeSize, up = 4.3f * u * f.eyeSize * f.eyeOpen, down = 3.0f * u * f.eyeSize;
    const float tilt = f.female ? 0.9f : 0.4f;  // outer corners a little raised
    auto top = [&](float x) {
      const float t = (x - ex) / w;
      return ey - up * (1.0f - t * t) - tilt * side * t;
    };
    auto bottom = [&](float x) {
      const float t = (x - ex) / w;
      return ey + down * (1.0f - t * t) - tilt * side * t;
    };
    const TRgba iris = kEyes[std::clamp(f.eyeColour, 0, 7)];
    const TPoint ic{ex + side * -0.4f, ey + 0.4f};
    const float ir = 3.7f * u * f.eyeSize;
    c.ForEachSample(ex - w, ey - up - 2.0f, ex + w, ey + down + 2.0f, [&](float x, float y, TRgba& s) {
      if (y < top(x) || y > bottom(x)) return;
      const float dx = x - ic.x, dy = y - ic.y, d = std::sqrt(dx * dx + dy * dy);
      TRgba col;
      if (d < ir) {
        const float t = d / ir;
        col = raster::Mix(raster::Mix(iris, Rgb(255, 255, 255), 0.25f * raster::Smoothstep(0.2f, -0.6f, dy / ir)),
                          raster::Shade(iris, 0.45f), raster::Smoothstep(0.65f, 1.0f, t));
        if (d < ir * 0.42f) col = Rgb(12, 10, 12);
      } else {
        const float edge = std::fabs(x - ex) / w;
        col = raster::Shade(Rgb(240, 238, 232), 0.95f - 0.25f * edge * edge);
      }
      // The upper lid's shadow on the eyeball.
      col = raster::Shade(col, 0.72f + 0.28f * raster::Smoothstep(top(x), top(x) + 2.4f, y));
      s = {col.r, col.g, col.b, 1.0f};
    });
    // Catchlights.
    c.FillEllipse({ic.x - 1.3f, ic.y - 1.4f}, 1.1f, 1.0f, raster::Solid(Rgb(255, 255, 255)));
    c.FillEllipse({ic.x + 1.1f, ic.y + 1.0f}, 0.5f, 0.5f, raster::Solid(Rgb(255, 255, 255, 0.8f)));
    // The upper lid line with lashes, and a softer lower lid.
    std::vector<TPoint> lid, low;
    for (int i = 0; i <= 12; ++i) {
      const float x = ex - w * 1.05f + 2.1f * w * static_cast<float>(i) / 12.0f;
      lid.push_back({x, top(std::clamp(x, ex - w, ex + w)) - 0.2f});
      low.push_back({x, bottom(std::clamp(x, ex - w, ex + w)) + 0.3f});
    }
    if (side < 0) std::reverse(lid.begin(), lid.end());  // thin at the inner corner, heavy outside
    c.FillPolygon(Band(lid, 0.7f, f.female ? 2.4f : 1.6f), raster::Solid(Rgb(30, 20, 20)));
    if (f.female) {
      const TPoint outer = lid.back();
      c.FillPolygon({outer, {outer.x + side * 2.6f, outer.y - 1.8f}, {outer.x - side * 0.6f, outer.y + 0.6f}},
                    raster::Solid(Rgb(30, 20, 20)));
    }
    c.StrokePath(low, false, 0.6f, raster::Solid({0.35f, 0.2f, 0.18f, 0.45f}));
    // The crease above the lid.
    std::vector<TPoint> crease;
    for (int i = 2; i <= 10; ++i) {
      const float x = ex - w + 2.0f * w * static_cast<float>(i) / 12.0f;
      crease.push_back({x, top(x) - 2.6f * f.eyeSize});
    }
    c.StrokePath(crease, false, 0.7f, raster::Solid({0.3f, 0.15f, 0.12f, 0.3f}));
  }

  void Brow(float side) {
    const float ex = cx + side * eyeDx, by = eyeY - 9.0f * u * f.eyeSize;
    const float w = 9.0f * u;
    std::vector<TPoint> arc;
    for (int i = 0; i <= 10; ++i) {
      const float t = static_cast<float>(i) / 10.0f;  // inner end to outer end
      const float x = ex - side * w * 0.9f + side * 2.0f * w * t;
      const float arch = -2.2f * std::sin(t * kPi * 0.85f);
      arc.push_back({x, by + arch + f.browTilt * 4.0f * (1.0f - t) - (f.female ? 1.0f : 0.0f)});
    }
    const float weight = 2.8f * u * f.browWeight;
    const TRgba col = raster::Shade(raster::Mix(hair, Rgb(40, 30, 26), 0.3f), 0.85f);
    c.FillPolygon(Band(arc, weight, weight * 0.35f), raster::Solid(raster::WithAlpha(col, 0.92f)));
  }

  void Nose() {
    const float nw = 4.6f * u * f.noseWidth;
    // The shadow side of the bridge and the tip.
    c.FillPolygon(Spline({{cx + 1.5f, eyeY + 1.0f},
                          {cx + 3.2f, (eyeY + noseTip) / 2.0f},
                          {cx + nw, noseTip + 1.0f},
                          {cx + 1.0f, noseTip + 3.5f},
                          {cx + 0.5f, (eyeY + noseTip) / 2.0f}},
                         true, 5),
                  raster::Solid({0.3f, 0.12f, 0.08f, 0.16f}));
    c.FillEllipse({cx - 1.2f, noseTip - 1.6f}, 2.6f, 2.2f, raster::Solid({1, 1, 1, 0.14f}));
    c.FillEllipse({cx - 0.6f, (eyeY + noseTip) / 2.0f}, 1.3f, 5.0f, raster::Solid({1, 1, 1, 0.07f}));
    for (const float side : {-1.0f, 1.0f}) {
      c.FillEllipse({cx + side * nw * 0.62f, noseTip + 2.3f}, 1.9f * f.noseWidth, 1.0f,
                    raster::Solid({0.2f, 0.06f, 0.05f, 0.55f}));
      c.StrokePath(Spline({{cx + side * nw, noseTip - 1.5f},
                           {cx + side * (nw + 1.0f), noseTip + 1.5f},
                           {cx + side * nw * 0.55f, noseTip + 3.2f}},
                          false),
                   false, 0.8f, raster::Solid({0.3f, 0.12f, 0.08f, 0.35f}));
    }
    c.FillEllipse({cx + 0.5f, noseTip + 5.2f}, 5.5f, 1.6f, raster::Solid({0.3f, 0.1f, 0.08f, 0.1f}));
  }

  void Mouth() {
    const float mw = 8.8f * u * f.mouthWidth, lip = f.lips * u;
    const float lift = f.smile * 1.8f;
    const TRgba lipCol = raster::Mix(skin, f.female ? Rgb(190, 70, 80) : Rgb(170, 90, 84), f.female ? 0.55f : 0.32f);
    const TPoint l{cx - mw, mouthY - lift}, r{cx + mw, mouthY - lift};
    const std::vector<TPoint> line = Spline({l,
                                             {cx - mw * 0.45f, mouthY + 0.4f * f.smile},
                                             {cx, mouthY + 0.2f},
                                             {cx + mw * 0.45f, mouthY + 0.4f * f.smile},
                                             r},
                                            false, 5);
    std::vector<TPoint> upper = Spline({l,
                                        {cx - mw * 0.5f, mouthY - 2.3f * lip},
                                        {cx - 2.0f, mouthY - 2.7f * lip},
                                        {cx, mouthY - 2.1f * lip},
                                        {cx + 2.0f, mouthY - 2.7f * lip},
                                        {cx + mw * 0.5f, mouthY - 2.3f * lip},
                                        r},
                                       false, 5);
    upper.insert(upper.end(), line.rbegin(), line.rend());
    c.FillPolygon(upper,
                  [&](float x, float y) { return raster::Shade(Lit(lipCol, x, y, cx - 3, mouthY, 14, 8), 0.85f); });
    std::vector<TPoint> lower = line;
    const auto below = Spline(
        {r, {cx + mw * 0.5f, mouthY + 3.4f * lip}, {cx, mouthY + 4.0f * lip}, {cx - mw * 0.5f, mouthY + 3.4f * lip}, l},
        false, 5);
    lower.insert(lower.end(), below.begin(), below.end());
    c.FillPolygon(lower, [&](float x, float y) { return Lit(lipCol, x, y, cx - 3, mouthY - 2, 14, 8); });
    c.FillEllipse({cx - 1.5f, mouthY + 2.0f * lip}, 3.0f, 0.9f, raster::Solid({1, 1, 1, 0.18f}));
    c.StrokePath(line, false, 0.9f, raster::Solid({0.22f, 0.08f, 0.08f, 0.75f}));
    c.FillEllipse({cx, mouthY + 6.5f * lip}, 6.0f, 1.8f, raster::Solid({0.25f, 0.08f, 0.06f, 0.12f}));
  }

  void AgeMarks() {
    const float a = raster::Smoothstep(0.35f, 1.0f, f.age);
    if (a <= 0.0f) return;
    const raster::TPaint fold = raster::Solid({0.3f, 0.12f, 0.1f, 0.28f * a});
    for (const float side : {-1.0f, 1.0f}) {
      c.StrokePath(Spline({{cx + side * 5.5f, noseTip + 1.0f},
                           {cx + side * 9.0f, mouthY - 4.0f},
                           {cx + side * (9.5f * f.mouthWidth + 1.5f), mouthY + 3.0f}},
                          false),
                   false, 1.0f, fold);
      const float ox = cx + side * (eyeDx + 8.5f * f.eyeSize);
      for (int i = -1; i <= 1; ++i)
        c.StrokeLine({ox, eyeY + i * 1.6f}, {ox + side * 3.5f, eyeY + i * 2.8f}, 0.6f, fold);
      c.StrokePath(Spline({{cx + side * (eyeDx - 5.0f), eyeY + 5.0f},
                           {cx + side * eyeDx, eyeY + 6.5f},
                           {cx + side * (eyeDx + 5.0f), eyeY + 5.0f}},
                          false),
                   false, 0.7f, fold);
    }
    for (int i = 0; i < 2; ++i) {
      const float y = cy - hh * 0.42f + i * 4.0f;
      c.StrokePath(Spline({{cx - 12.0f, y + 1.0f}, {cx, y - 0.6f}, {cx + 12.0f, y + 1.0f}}, false), false, 0.7f,
                   raster::Solid({0.3f, 0.12f, 0.1f, 0.18f * a}));
    }
  }

  void Beard() {
    const TRgba col = raster::Mix(hair, Rgb(60, 50, 44), 0.15f);
    auto paint = [&, seed = rng.Next()](float x, float y) {
      const float strands = raster::Fbm(x * 0.9f, y * 0.12f, seed, 3);
      return raster::Shade(Lit(col, x, y, cx - 4, mouthY, hw, 30), 0.8f + 0.35f * strands);
    };
    const float mw = 8.8f * f.mouthWidth;
    switch (f.beard) {
      case kMoustache:
        c.FillPolygon(Spline({{cx - mw - 2.0f, mouthY + 1.0f},
                              {cx - mw * 0.6f, noseTip + 3.5f},
                              {cx, noseTip + 4.5f},
                              {cx + mw * 0.6f, noseTip + 3.5f},
                              {cx + mw + 2.0f, mouthY + 1.0f},
                              {cx + mw * 0.5f, mouthY - 1.8f},
                              {cx, mouthY - 1.5f},
                              {cx - mw * 0.5f, mouthY - 1.8f}},
                             true, 5),
                      paint);
        break;
      case kGoatee:
        c.FillPolygon(Spline({{cx - mw * 0.6f, mouthY + 4.0f},
                              {cx + mw * 0.6f, mouthY + 4.0f},
                              {cx + mw * 0.4f, chinY + 3.0f},
                              {cx - mw * 0.4f, chinY + 3.0f}},
                             true, 5),
                      paint);
        c.FillPolygon(Spline({{cx - mw - 1.0f, mouthY + 0.5f},
                              {cx, noseTip + 4.5f},
                              {cx + mw + 1.0f, mouthY + 0.5f},
                              {cx, mouthY - 1.2f}},
                             true, 5),
                      paint);
        break;
      case kFullBeard: {
        const float j = 0.58f + 0.26f * f.jaw;
        std::vector<TPoint> beard = Spline({{cx - hw * 0.97f, cy + hh * 0.1f},
                                            {cx - hw * j - 1.5f, cy + hh * 0.72f},
                                            {cx - hw * 0.3f, chinY + 5.0f},
                                            {cx, chinY + 7.0f},
                                            {cx + hw * 0.3f, chinY + 5.0f},
                                            {cx + hw * j + 1.5f, cy + hh * 0.72f},
                                            {cx + hw * 0.97f, cy + hh * 0.1f},
                                            {cx + hw * 0.8f, cy + hh * 0.3f},
                                            {cx + mw + 2.0f, noseTip + 6.0f},
                                            {cx, noseTip + 4.0f},
                                            {cx - mw - 2.0f, noseTip + 6.0f},
                                            {cx - hw * 0.8f, cy + hh * 0.3f}},
                                           true, 5);
        c.FillPolygon(beard, paint);
        // The mouth shows through.
        Mouth();
        break;
      }
      case kStubble:
        c.FillPolygon(Spline({{cx - hw * 0.9f, cy + hh * 0.3f},
                              {cx - hw * 0.6f, cy + hh * 0.8f},
                              {cx, chinY},
                              {cx + hw * 0.6f, cy + hh * 0.8f},
                              {cx + hw * 0.9f, cy + hh * 0.3f},
                              {cx, noseTip + 5.0f}},
                             true, 5),
                      raster::Solid(raster::WithAlpha(raster::Shade(hair, 0.6f), 0.16f)));
        Mouth();
        break;
      case kNoBeard: break;
    }
  }

  void HairFront() {
    const float v = Volume();
    const raster::TPaint paint = HairPaint(cx + (f.partLeft ? -hw * 0.4f : hw * 0.4f), cy - hh - 4.0f);
    // The cap of hair over the skull: outside the head by the volume, its lower edge the hairline.
    auto cap = [&](float hairline, float temple, float top) {
      // Over the skull outside the head by the volume; its lower edge the hairline, highest in the
      // middle and coming down at the temples.
      std::vector<TPoint> p;
      for (int i = 0; i <= 16; ++i) {
        const float t = kPi + kPi * static_cast<float>(i) / 16.0f;  // left, over the top, right
        p.push_back({cx + (hw + v * 0.8f) * std::cos(t) * 1.02f, cy - 4.0f + (hh + v + top) * std::sin(t) * 0.98f});
      }
      p.push_back({cx + hw * 1.02f, cy + temple});
      for (int i = 0; i <= 10; ++i) {
        const float t = 1.0f - 2.0f * static_cast<float>(i) / 10.0f;  // right to left
        p.push_back({cx + hw * 0.96f * t, cy + hairline + (temple - hairline) * std::pow(std::fabs(t), 2.6f)});
      }
      p.push_back({cx - hw * 1.02f, cy + temple});
      return Spline(p, true, 3);
    };
    const float side = f.partLeft ? -1.0f : 1.0f;
    switch (f.hair) {
      case kCrop: c.FillPolygon(cap(-hh * 0.62f, -2.0f, -v * 0.5f), paint); break;
      case kSweptBack: c.FillPolygon(cap(-hh * 0.66f, -4.0f, v * 0.3f), paint); break;
      case kSidePart:
      case kBob:
      case kLong:
      case kWavyLong: {
        c.FillPolygon(
            cap(-hh * 0.55f, f.hair == kBob || f.hair == kLong || f.hair == kWavyLong ? 14.0f : 2.0f, v * 0.2f), paint);
        // A fringe swept from the parting across the forehead.
        const float fringeY = f.hair == kBob ? -hh * 0.28f : -hh * 0.36f;
        c.FillPolygon(Spline({{cx + side * hw * 0.35f, cy - hh - v * 0.6f},
                              {cx - side * hw * 0.3f, cy - hh * 0.7f},
                              {cx - side * hw * 0.85f, cy + fringeY + 4.0f},
                              {cx - side * hw * 1.05f, cy - hh * 0.1f},
                              {cx - side * (hw + v), cy - hh * 0.6f},
                              {cx, cy - hh - v}},
                             true, 5),
                      paint);
        c.FillPolygon(Spline({{cx + side * hw * 0.3f, cy - hh - v * 0.5f},
                              {cx + side * hw * 0.2f, cy - hh * 0.55f},
                              {cx - side * hw * 0.25f, cy + fringeY},
                              {cx - side * hw * 0.6f, cy + fringeY + 3.0f},
                              {cx - side * hw * 0.3f, cy - hh * 0.75f}},
                             true, 5),
                      paint);
        if (f.hair != kSidePart) {
          // Locks falling beside the face.
          for (const float s : {-1.0f, 1.0f}) {
            const float bottom = f.hair == kBob ? cy + hh * 0.85f : 178.0f;
            c.FillPolygon(Spline({{cx + s * hw * 0.86f, cy - hh * 0.4f},
                                  {cx + s * (hw + v + 3.0f), cy - hh * 0.2f},
                                  {cx + s * (hw + v + 5.0f), (cy + bottom) / 2.0f},
                                  {cx + s * (hw + 3.0f), bottom},
                                  {cx + s * (hw * 0.92f), (cy + bottom) / 2.0f},
                                  {cx + s * hw * 0.93f, cy}},
                                 true, 5),
                          paint);
          }
        }
        break;
      }
      case kBun: c.FillPolygon(cap(-hh * 0.6f, -4.0f, v * 0.1f), paint); break;
      case kTousled: {
        c.FillPolygon(cap(-hh * 0.58f, 0.0f, v * 0.4f), paint);
        for (int i = 0; i < 7; ++i) {
          const float t = static_cast<float>(i) / 6.0f;
          const float x = cx - hw * 0.8f + hw * 1.6f * t;
          const float y = cy - hh * 0.62f + 3.0f * std::sin(t * 7.0f);
          c.FillPolygon(
              {{x - 4.5f, y - 8.0f}, {x + 4.5f, y - 8.0f}, {x + rng.Range(-3.0f, 3.0f), y + rng.Range(5.0f, 9.0f)}},
              paint);
        }
        for (int i = 0; i < 9; ++i) {
          const float t = kPi * (1.05f + 0.9f * static_cast<float>(i) / 8.0f);
          const TPoint base{cx + (hw + v) * std::cos(t), cy - 4.0f + (hh + v) * std::sin(t)};
          c.FillPolygon({{base.x - 5.0f, base.y + 3.0f},
                         {base.x + 5.0f, base.y + 3.0f},
                         {base.x + 6.0f * std::cos(t), base.y + 7.0f * std::sin(t) - 2.0f}},
                        paint);
        }
        break;
      }
      case kBald: {
        // A fringe of hair around the back and sides; a sheen on the scalp.
        for (const float s : {-1.0f, 1.0f}) {
          c.FillPolygon(Spline({{cx + s * hw * 0.75f, cy - hh * 0.55f},
                                {cx + s * (hw + 2.5f), cy - hh * 0.35f},
                                {cx + s * (hw + 2.0f), cy + 2.0f},
                                {cx + s * (hw - 2.0f), cy + 4.0f},
                                {cx + s * (hw - 1.0f), cy - hh * 0.3f}},
                               true, 5),
                        paint);
        }
        c.FillEllipse({cx - 8.0f, cy - hh * 0.7f}, 9.0f, 5.0f, raster::Solid({1, 1, 1, 0.12f}));
        break;
      }
    }
  }

  void Accessories() {
    const unsigned a = f.accessories;
    if (a & kScar) {
      const float s = f.country == 7 || f.accessories & kEyepatch ? 1.0f : -1.0f;
      const std::vector<TPoint> scar = {{cx + s * (eyeDx - 6.0f), eyeY - 13.0f},
                                        {cx + s * (eyeDx + 1.0f), eyeY - 3.0f},
                                        {cx + s * (eyeDx + 4.0f), eyeY + 8.0f},
                                        {cx + s * (eyeDx + 7.0f), eyeY + 16.0f}};
      c.StrokePath(Spline(scar, false, 4), false, 2.2f, raster::Solid({0.35f, 0.12f, 0.1f, 0.35f}));
      c.StrokePath(Spline(scar, false, 4), false, 1.0f, raster::Solid(raster::Mix(skin, Rgb(255, 200, 190), 0.45f)));
    }
    if (a & kEyepatch) {
      const float ex = cx + eyeDx;  // the right eye (the viewer's right)
      c.StrokeLine({cx - hw - 2.0f, cy - hh * 0.5f}, {ex + 8.0f, eyeY + 2.0f}, 1.6f, raster::Solid(Rgb(20, 18, 20)));
      c.StrokeLine({ex + 6.0f, eyeY - 2.0f}, {cx + hw + 2.0f, eyeY - 4.0f}, 1.6f, raster::Solid(Rgb(20, 18, 20)));
      c.FillEllipse({ex, eyeY + 0.5f}, 9.5f * u * f.eyeSize, 7.5f * u,
                    [&](float x, float y) { return Lit(Rgb(36, 32, 34), x, y, ex - 2, eyeY - 2, 10, 8); });
    }
    if (a & kGlasses) {
      for (const float s : {-1.0f, 1.0f}) {
        const float ex = cx + s * eyeDx;
        const auto lens =
            raster::RoundedRectPath(ex - 10.5f * u, eyeY - 6.5f * u, ex + 10.5f * u, eyeY + 6.5f * u, 4.0f);
        c.FillPolygon(lens, raster::Solid({0.7f, 0.85f, 1.0f, 0.1f}));
        c.StrokePath(lens, true, 1.1f, raster::Solid(Rgb(50, 52, 60)));
        c.StrokeLine({ex - 6.0f, eyeY + 3.0f}, {ex - 1.0f, eyeY - 4.0f}, 1.2f, raster::Solid({1, 1, 1, 0.25f}));
        c.StrokeLine({ex + s * 10.5f * u, eyeY - 3.0f}, {cx + s * (hw + 1.0f), eyeY - 2.0f}, 1.0f,
                     raster::Solid(Rgb(50, 52, 60)));
      }
      c.StrokePath(
          Spline({{cx - eyeDx + 10.5f * u, eyeY - 2.0f}, {cx, eyeY - 4.0f}, {cx + eyeDx - 10.5f * u, eyeY - 2.0f}},
                 false),
          false, 1.0f, raster::Solid(Rgb(50, 52, 60)));
    }
    if (a & kVisor) {
      const auto band = Spline({{cx - hw - 3.0f, eyeY - 6.0f},
                                {cx, eyeY - 8.0f},
                                {cx + hw + 3.0f, eyeY - 6.0f},
                                {cx + hw + 2.0f, eyeY + 5.0f},
                                {cx, eyeY + 6.0f},
                                {cx - hw - 2.0f, eyeY + 5.0f}},
                               true, 5);
      c.FillPolygon(band, raster::LinearGradient({cx, eyeY - 8}, Rgb(40, 120, 150, 0.78f), {cx, eyeY + 6},
                                                 Rgb(10, 30, 50, 0.85f)));
      c.StrokePath(band, true, 1.2f, raster::Solid(Rgb(90, 100, 116)));
      c.StrokeLine({cx - hw + 4.0f, eyeY - 1.0f}, {cx + hw - 4.0f, eyeY - 1.0f}, 0.8f,
                   raster::Solid(Rgb(140, 240, 255, 0.8f)));
    }
    if (a & kMask) {
      // A hood, and a pale ceremonial mask over the eyes and the forehead.
      const auto hood = Spline({{cx, cy - hh - 16.0f},
                                {cx + hw + 16.0f, cy - hh * 0.4f},
                                {cx + hw + 22.0f, 186.0f},
                                {cx + hw + 6.0f, 186.0f},
                                {cx + hw + 4.0f, cy},
                                {cx + hw * 0.6f, cy - hh * 0.75f},
                                {cx, cy - hh * 0.9f},
                                {cx - hw * 0.6f, cy - hh * 0.75f},
                                {cx - hw - 4.0f, cy},
                                {cx - hw - 6.0f, 186.0f},
                                {cx - hw - 22.0f, 186.0f},
                                {cx - hw - 16.0f, cy - hh * 0.4f}},
                               true, 5);
      c.FillPolygon(
          hood, [&](float x, float y) { return Lit(raster::Shade(tint, 0.7f), x, y, cx - 10, cy, hw * 2, hh * 2.4f); });
      const auto mask = Spline({{cx, cy - hh * 0.85f},
                                {cx + hw * 0.95f, cy - hh * 0.45f},
                                {cx + hw * 1.02f, eyeY + 4.0f},
                                {cx + hw * 0.4f, eyeY + 9.0f},
                                {cx, noseTip - 2.0f},
                                {cx - hw * 0.4f, eyeY + 9.0f},
                                {cx - hw * 1.02f, eyeY + 4.0f},
                                {cx - hw * 0.95f, cy - hh * 0.45f}},
                               true, 6);
      c.FillPolygon(
          mask, [&](float x, float y) { return Lit(Rgb(236, 230, 214), x, y, cx - 4, cy - 8, hw * 1.1f, hh * 0.9f); });
      c.StrokePath(mask, true, 1.2f, raster::Solid(f.trim));
      for (const float s : {-1.0f, 1.0f}) {
        c.FillEllipse({cx + s * eyeDx, eyeY}, 6.0f, 2.0f, raster::Solid(Rgb(20, 14, 26)));
        c.StrokePath(Spline({{cx + s * 4.0f, cy - hh * 0.6f},
                             {cx + s * eyeDx, cy - hh * 0.45f},
                             {cx + s * (eyeDx + 9.0f), eyeY - 6.0f}},
                            false),
                     false, 1.0f, raster::Solid(f.trim));
      }
      c.FillEllipse({cx, cy - hh * 0.55f}, 3.0f, 3.0f, raster::Solid(raster::Mix(tint, Rgb(255, 220, 120), 0.6f)));
    }
    if (a & kHeadset) {
      c.StrokePath(Spline({{cx - hw - 2.0f, eyeY + 4.0f},
                           {cx - hw * 0.5f, cy - hh - 6.0f},
                           {cx + hw * 0.5f, cy - hh - 6.0f},
                           {cx + hw + 2.0f, eyeY + 4.0f}},
                          false),
                   false, 2.4f, raster::Solid(Rgb(40, 44, 52)));
      const TPoint cup{cx + hw + 1.0f, eyeY + 6.0f};
      c.FillEllipse(cup, 6.0f, 8.0f,
                    [&](float x, float y) { return Lit(Rgb(60, 64, 74), x, y, cup.x - 2, cup.y - 2, 6, 8); });
      c.StrokePath(
          Spline({{cup.x - 2.0f, cup.y + 6.0f}, {cup.x - 6.0f, mouthY + 2.0f}, {cx + 10.0f, mouthY + 1.0f}}, false),
          false, 1.4f, raster::Solid(Rgb(40, 44, 52)));
      c.FillEllipse({cx + 9.0f, mouthY + 1.0f}, 2.2f, 1.8f, raster::Solid(Rgb(30, 30, 36)));
    }
    if (a & kCirclet) {
      const auto band =
          Spline({{cx - hw - 1.0f, cy - hh * 0.38f}, {cx, cy - hh * 0.62f}, {cx + hw + 1.0f, cy - hh * 0.38f}}, false);
      c.StrokePath(band, false, 2.6f,
                   [&](float x, float y) { return Lit(f.trim, x, y, cx - 10, cy - hh, hw * 1.2f, 20); });
      c.FillEllipse(
          {cx, cy - hh * 0.62f}, 2.6f, 2.6f,
          raster::RadialGradient({cx - 1, cy - hh * 0.62f - 1}, 3, 3, {{{0, Rgb(255, 255, 255)}, {1, tint}}}));
    }
    if (a & kHelmet) {
      const auto dome = Spline({{cx - hw - 6.0f, cy - hh * 0.25f},
                                {cx - hw * 0.8f, cy - hh - 6.0f},
                                {cx, cy - hh - 12.0f},
                                {cx + hw * 0.8f, cy - hh - 6.0f},
                                {cx + hw + 6.0f, cy - hh * 0.25f},
                                {cx + hw + 3.0f, cy - hh * 0.15f},
                                {cx, cy - hh * 0.45f},
                                {cx - hw - 3.0f, cy - hh * 0.15f}},
                               true, 6);
      c.FillPolygon(dome,
                    [&](float x, float y) { return Lit(uniform, x, y, cx - 8, cy - hh * 0.6f, hw * 1.3f, hh * 0.8f); });
      c.StrokePath(
          Spline({{cx - hw - 3.0f, cy - hh * 0.18f}, {cx, cy - hh * 0.47f}, {cx + hw + 3.0f, cy - hh * 0.18f}}, false),
          false, 1.4f, raster::Solid(raster::Shade(uniform, 0.5f)));
    }
    if (a & kCap) {
      const float top = cy - hh - 15.0f, band = cy - hh * 0.55f;
      const auto crown = Spline({{cx - hw - 8.0f, band - 6.0f},
                                 {cx - hw - 4.0f, top + 4.0f},
                                 {cx, top - 2.0f},
                                 {cx + hw + 4.0f, top + 4.0f},
                                 {cx + hw + 8.0f, band - 6.0f},
                                 {cx + hw + 2.0f, band + 1.0f},
                                 {cx, band + 3.0f},
                                 {cx - hw - 2.0f, band + 1.0f}},
                                true, 6);
      c.FillPolygon(crown, [&](float x, float y) {
        return Lit(raster::Mix(uniform, Rgb(230, 232, 236), f.country == 0 ? 0.75f : 0.0f), x, y, cx - 10, top + 6,
                   hw * 1.4f, 20);
      });
      c.FillPolygon(Spline({{cx - hw - 2.0f, band - 6.0f},
                            {cx, band - 3.0f},
                            {cx + hw + 2.0f, band - 6.0f},
                            {cx + hw + 2.0f, band + 1.0f},
                            {cx, band + 3.5f},
                            {cx - hw - 2.0f, band + 1.0f}},
                           true, 5),
                    raster::Solid(raster::Shade(uniform, 0.45f)));
      // The peak, and the badge.
      c.FillPolygon(Spline({{cx - hw * 0.85f, band + 1.0f},
                            {cx, band + 4.0f},
                            {cx + hw * 0.85f, band + 1.0f},
                            {cx + hw * 0.6f, band + 7.0f},
                            {cx, band + 10.0f},
                            {cx - hw * 0.6f, band + 7.0f}},
                           true, 5),
                    raster::LinearGradient({cx, band}, Rgb(60, 60, 70), {cx, band + 10}, Rgb(10, 10, 14)));
      c.StrokeLine({cx - hw * 0.5f, band + 3.5f}, {cx + hw * 0.3f, band + 4.5f}, 0.8f, raster::Solid({1, 1, 1, 0.25f}));
      c.FillEllipse({cx, band - 8.0f}, 5.0f, 4.0f, raster::Solid(f.trim));
      c.FillEllipse({cx, band - 8.0f}, 2.4f, 2.0f, raster::Solid(raster::Shade(tint, 0.9f)));
      c.StrokePath(Spline({{cx - 10.0f, band - 3.0f}, {cx, band - 1.0f}, {cx + 10.0f, band - 3.0f}}, false), false,
                   1.2f, raster::Solid(f.trim));
    }
  }

  void Draw() {
    Background();
    HairBack();
    NeckAndDress();
    Ears();
    Head();
    Nose();
    if (!(f.accessories & kMask)) {
      for (const float side : {-1.0f, 1.0f}) {
        if (!(f.accessories & kEyepatch) || side < 0) Eye(side);
      }
    }
    Mouth();
    AgeMarks();
    Beard();
    if (!(f.accessories & kHelmet) && !(f.accessories & kMask)) HairFront();
    if (!(f.accessories & kMask)) {
      Brow(-1.0f);
      Brow(1.0f);
    }
    Accessories();
    // Vignette.
    c.Fill(
        raster::RadialGradient({cx, cy + 10.0f}, 150.0f, 150.0f, {{{0.6f, {0, 0, 0, 0}}, {1.0f, {0, 0, 0, 0.45f}}}}));
  }
};

// The planet defence's emblem: a shield with a planet, its orbit and wings.
void Emblem(TCanvas& c) {
  c.Fill(raster::RadialGradient({90, 80}, 190, 190,
                                {{{0.0f, Rgb(44, 64, 96)}, {0.5f, Rgb(18, 28, 50)}, {1.0f, Rgb(6, 8, 18)}}}));
  for (int i = 0; i < 12; ++i) {
    const float t = static_cast<float>(i) * kPi / 6.0f;
    c.StrokeLine({108, 108}, {108 + 160 * std::cos(t), 108 + 160 * std::sin(t)}, 10.0f,
                 raster::Solid({0.5f, 0.7f, 1.0f, 0.035f}));
  }
  const TRgba gold = Rgb(220, 186, 96);
  // Wings.
  for (const float s : {-1.0f, 1.0f}) {
    for (int i = 0; i < 5; ++i) {
      const float y = 78.0f + i * 12.0f, len = 64.0f - i * 9.0f;
      c.FillPolygon(Spline({{108 + s * 40.0f, y},
                            {108 + s * (40.0f + len), y - 14.0f + i * 2.0f},
                            {108 + s * (40.0f + len * 0.8f), y + 4.0f},
                            {108 + s * 40.0f, y + 10.0f}},
                           true, 4),
                    raster::LinearGradient({108, y - 10}, raster::Mix(gold, Rgb(255, 255, 255), 0.3f),
                                           {108 + s * 100, y + 10}, raster::Shade(gold, 0.55f)));
    }
  }
  // The shield.
  const auto shield =
      Spline({{108, 42}, {150, 54}, {150, 110}, {138, 150}, {108, 176}, {78, 150}, {66, 110}, {66, 54}}, true, 6);
  const auto inner =
      Spline({{108, 50}, {143, 60}, {143, 108}, {132, 145}, {108, 167}, {84, 145}, {73, 108}, {73, 60}}, true, 6);
  c.FillPolygon(shield, raster::LinearGradient({70, 50}, raster::Mix(gold, Rgb(255, 255, 255), 0.35f), {146, 170},
                                               raster::Shade(gold, 0.5f)));
  c.FillPolygon(inner, raster::LinearGradient({80, 55}, Rgb(40, 80, 150), {140, 165}, Rgb(12, 24, 60)));
  // The planet and its orbit.
  const TPoint p{108, 106};
  c.StrokePath(raster::EllipsePath(p, 32, 11, -0.3f), true, 2.0f, raster::Solid(Rgb(170, 220, 255, 0.85f)));
  c.FillEllipse(p, 20, 20, [&](float x, float y) {
    float n[3];
    if (!raster::SphereNormal(p, 20, x, y, n)) return TRgba{0, 0, 0, 0};
    return art::LitColour(Rgb(60, 140, 200), n, 0.2f, 0.5f);
  });
  std::vector<TPoint> front;
  for (const TPoint& q : raster::EllipsePath(p, 32, 11, -0.3f)) {
    if ((q.y - p.y) + 0.3f * (q.x - p.x) > 0.0f) front.push_back(q);
  }
  for (size_t i = 0; i + 1 < front.size(); ++i) {
    if (std::fabs(front[i].x - front[i + 1].x) < 8.0f)
      c.StrokeLine(front[i], front[i + 1], 2.0f, raster::Solid(Rgb(170, 220, 255)));
  }
  // Three stars above.
  for (int i = -1; i <= 1; ++i) {
    c.FillPolygon(raster::StarPath({108.0f + i * 16.0f, 70.0f - std::abs(i) * 3.0f}, 5.5f, 2.3f),
                  raster::Solid(Rgb(250, 236, 180)));
  }
}

// The master: GEN's picture at four samples per pixel side.
TCanvas Master(int number) {
  TCanvas c(kSize, kSize, kSs);
  if (number == kDefenceEmblem) {
    Emblem(c);
    return c;
  }
  static const std::vector<TFace> cast = Cast();
  const TFace f = number < static_cast<int>(cast.size()) ? cast[static_cast<size_t>(number)] : Officer(number);
  TBust bust(f, c, art::SeedOf("portrait", static_cast<std::uint32_t>(number)));
  bust.Draw();
  return c;
}

// About 55 % brightness and half the saturation.
raster::TImage24 Dimmed(const raster::TImage24& src) {
  raster::TImage24 out(src.Width, src.Height);
  for (size_t i = 0; i < src.Pixels.size(); ++i) {
    const raster::TBgr& p = src.Pixels[i];
    const float r = p.r / 255.0f, g = p.g / 255.0f, b = p.b / 255.0f;
    const float l = 0.299f * r + 0.587f * g + 0.114f * b;
    auto f = [l](float v) { return (l + (v - l) * 0.5f) * 0.55f; };
    out.Pixels[i] = {raster::ToByte(f(b)), raster::ToByte(f(g)), raster::ToByte(f(r))};
  }
  return out;
}

// A thin frame: a dark outer line and a steel inner line.
void Frame(raster::TImage24& img) {
  const raster::TBgr dark{20, 14, 10}, steel{176, 160, 140}, shade{96, 84, 72};
  const int w = img.Width, h = img.Height;
  for (int x = 0; x < w; ++x) {
    img.At(x, 0) = img.At(x, h - 1) = dark;
    img.At(x, 1) = steel;
    img.At(x, h - 2) = shade;
  }
  for (int y = 0; y < h; ++y) {
    img.At(0, y) = img.At(w - 1, y) = dark;
    if (y > 0 && y < h - 1) {
      img.At(1, y) = steel;
      img.At(w - 2, y) = shade;
    }
  }
}

}  // namespace

TArtImage RenderPortrait(const TArtEntry& e, TArtCache& cache) {
  const TCanvas& master =
      cache.Get<TCanvas>("portrait:" + std::to_string(e.Number), [n = e.Number] { return Master(n); });
  TArtImage out;
  switch (e.Kind) {
    case kFileKindDimmedPortrait: out.Rgb = Dimmed(master.Resolve().Flatten()); break;
    case kFileKindCommanderPortrait:
    case kFileKindSmallCommanderPortrait:
      out.Rgb = master.Reduced(e.Width, e.Height).Flatten();
      Frame(out.Rgb);
      break;
    default: out.Rgb = master.Resolve().Flatten(); break;
  }
  return out;
}

}  // namespace vdmq::sample
