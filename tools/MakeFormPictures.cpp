// make_form_pictures <folder> [--preview <file.png>]
//
// Draws the window kit's pictures: the three window skins (frame, title bar, caption buttons), the
// main window's 24 button-face containers and the application icon in two sizes; and the setup
// program's background (SetupBg). The skins and faces are 8-bit pictures sharing one 256-colour
// palette; the icons and the background are 24-bit. Every picture is
// written as <name>.bmp into the folder; --preview adds a contact sheet of all of them at twice
// their size. The same program gives the same bytes on every run and build.

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <numbers>
#include <string>
#include <vector>

#include "formkit/KitFaceTable.h"
#include "platform/png/PngCodec.h"
#include "tools/BmpWriter.h"
#include "tools/Noise.h"
#include "tools/Palette.h"
#include "tools/Raster.h"

namespace {

using namespace vdmq;
using namespace vdmq::raster;

constexpr int kSamples = 4;  // supersampling per side

// ---- Colour helpers -------------------------------------------------------------------------

struct TTint {
  float r, g, b;
};
// The product of two tints, scaled so that a grey keeps its brightness (luminance weights).
TTint operator*(const TTint& a, const TTint& b) {
  const TTint t{a.r * b.r, a.g * b.g, a.b * b.b};
  const float k = 0.2126f * t.r + 0.7152f * t.g + 0.0722f * t.b;
  return {t.r / k, t.g / k, t.b / k};
}

// A grey level (display value 0..1) in a tint.
TRgba Tinted(float v, const TTint& t) {
  return {std::min(1.0f, v * t.r), std::min(1.0f, v * t.g), std::min(1.0f, v * t.b), 1};
}

// The face families and the slight variation of rows 1..7.
constexpr TTint kFamilies[] = {
    {0.90f, 0.98f, 1.12f},  // steel blue
    {0.80f, 0.95f, 1.26f},  // deep blue
    {0.97f, 0.92f, 1.16f},  // violet steel
};
constexpr TTint kRowTints[kFaceRows] = {
    {1.00f, 1.00f, 1.00f}, {0.93f, 1.03f, 1.03f}, {1.04f, 0.96f, 1.05f}, {0.96f, 1.04f, 0.95f},
    {1.07f, 1.01f, 0.89f}, {1.07f, 0.95f, 0.98f}, {0.92f, 1.00f, 1.09f}, {1.02f, 1.01f, 0.93f},
};

// Signed distance to a rounded rectangle (negative inside).
float RoundedRectDistance(float x, float y, float x0, float y0, float x1, float y1, float r) {
  const float cx = (x0 + x1) * 0.5f, cy = (y0 + y1) * 0.5f;
  const float qx = std::fabs(x - cx) - ((x1 - x0) * 0.5f - r), qy = std::fabs(y - cy) - ((y1 - y0) * 0.5f - r);
  const float ox = std::max(qx, 0.0f), oy = std::max(qy, 0.0f);
  return std::sqrt(ox * ox + oy * oy) + std::min(std::max(qx, qy), 0.0f) - r;
}

// Draws a picture by evaluating colour(x, y) at every sample and averaging.
TImage24 Render(int w, int h, const std::function<TRgba(float x, float y)>& colour) {
  TCanvas canvas(w, h, kSamples, {0, 0, 0, 1});
  canvas.ForEachSample(0, 0, static_cast<float>(w), static_cast<float>(h),
                       [&](float x, float y, TRgba& s) { s = colour(x, y); });
  return canvas.Flatten();
}

// ---- Button faces ---------------------------------------------------------------------------

enum class TFaceState { Up, Disabled, Pressed, Held };

// The colour beside a rounded corner (the screens behind the buttons are dark).
const TRgba kOutside = Rgb(10, 12, 18);

// One face. Everything but the rounded ends depends on the row only, so faces cut straight on a
// side carry the same colours at that side for every width.
TImage24 DrawFace(const TFaceContainerSpec& spec, int row, TFaceState state) {
  const float w = static_cast<float>(spec.FaceWidth), h = static_cast<float>(spec.FaceHeight);
  const float r = std::max(4.0f, std::round(h * 0.3f));
  // A straight side lies beyond the picture, so neither its corner nor its rim reaches in.
  const bool roundLeft = spec.Shape == TFaceShape::Rounded || spec.Shape == TFaceShape::LeftEnd;
  const bool roundRight = spec.Shape == TFaceShape::Rounded || spec.Shape == TFaceShape::RightEnd;
  const float x0 = roundLeft ? 0.0f : -2.0f * r - 8.0f, x1 = roundRight ? w : w + 2.0f * r + 8.0f;
  const TTint tint = kFamilies[spec.Tint] * kRowTints[row];
  return Render(spec.FaceWidth, spec.FaceHeight, [&](float x, float y) -> TRgba {
    const float d = RoundedRectDistance(x, y, x0, 0.0f, x1, h, r);
    if (d > 0.0f) return kOutside;
    const float t = y / h;   // 0 at the top, 1 at the bottom
    const float depth = -d;  // distance inside the outline
    switch (state) {
      case TFaceState::Up: {
        // Dark steel, a glossy upper half, a bright rim brighter at the top, a dark outline.
        float v = 0.44f - 0.16f * t;
        v += 0.05f * (1.0f - Smoothstep(0.40f, 0.50f, t));
        if (depth < 1.0f) return Tinted(0.10f, tint);
        if (depth < 2.0f) return Tinted(0.80f - 0.42f * t, tint);
        if (depth < 3.0f) v = v * 0.85f + 0.08f * (1.0f - t);
        return Tinted(v, tint);
      }
      case TFaceState::Disabled: {
        // Flat and darker, a faint rim.
        if (depth < 1.0f) return Tinted(0.08f, tint);
        if (depth < 2.0f) return Tinted(0.30f, tint);
        return Tinted(0.25f - 0.03f * t, tint);
      }
      case TFaceState::Pressed:
      case TFaceState::Held: {
        // Lit from inside: a pale glow, brightest below the middle, with the sunken shadow of the
        // rim along the top. Held down adds a bright inner line so a latched button reads as set.
        float v = 0.85f + 0.08f * Smoothstep(0.0f, 0.7f, t);
        if (depth < 1.0f) return Tinted(0.30f, tint);
        if (depth < 2.0f) return Tinted(0.60f + 0.26f * t, tint);
        if (depth < 3.0f) v -= 0.12f * (1.0f - Smoothstep(0.15f, 0.6f, t));
        if (state == TFaceState::Held) {
          if (depth >= 3.0f && depth < 4.0f) return Tinted(1.0f, tint);
          v -= 0.04f;
        }
        return Tinted(v, tint);
      }
    }
    return kOutside;
  });
}

// A container: kFaceRows rows of faces side by side.
TImage24 DrawFaceContainer(const TFaceContainerSpec& spec) {
  static const TFaceState states[] = {TFaceState::Up, TFaceState::Disabled, TFaceState::Pressed, TFaceState::Held};
  TImage24 out(spec.FaceWidth * spec.Faces, spec.FaceHeight * kFaceRows);
  for (int row = 0; row < kFaceRows; ++row)
    for (int f = 0; f < spec.Faces; ++f)
      out.Paste(DrawFace(spec, row, states[f]), f * spec.FaceWidth, row * spec.FaceHeight);
  return out;
}

// ---- Window skins -------------------------------------------------------------------------

// Value noise along x with the given period in pixels, lattice every `cell` pixels (period must
// be a multiple of it), so a picture of that width tiles without a seam.
float PeriodicNoise(float x, int period, int cell, std::uint32_t seed) {
  const int n = period / cell;
  const float u = x / static_cast<float>(cell);
  const int i = static_cast<int>(std::floor(u));
  const float f = u - static_cast<float>(i);
  auto at = [&](int k) {
    const int m = ((k % n) + n) % n;
    return static_cast<float>(HashCombine(seed, static_cast<std::uint32_t>(m)) >> 8) * (1.0f / 16777215.0f);
  };
  const float s = f * f * (3.0f - 2.0f * f);
  return at(i) + (at(i + 1) - at(i)) * s;
}

// The frame: a 3-pixel raised bevel along every outer edge and plain steel inside, so the middle
// that the fixed-border drawing repeats joins without a seam.
TImage24 DrawFrame() {
  constexpr int n = 80;
  const TRgba steel = Rgb(112, 122, 140);
  const TRgba light[3] = {Rgb(206, 214, 228), Rgb(170, 179, 196), Rgb(140, 150, 168)};
  const TRgba dark[3] = {Rgb(22, 24, 30), Rgb(56, 62, 74), Rgb(86, 94, 110)};
  TImage24 out(n, n);
  for (int y = 0; y < n; ++y)
    for (int x = 0; x < n; ++x) {
      // The nearest edge owns the pixel; top and left win their shared corner, bottom and right
      // the corners they share with them.
      const int top = y, left = x, bottom = n - 1 - y, right = n - 1 - x;
      const int lightDepth = std::min(top, left), darkDepth = std::min(bottom, right);
      TRgba c = steel;
      if (lightDepth < 3 && lightDepth < darkDepth)
        c = light[lightDepth];
      else if (darkDepth < 3)
        c = dark[darkDepth];
      out.At(x, y) = {ToByte(c.b), ToByte(c.g), ToByte(c.r)};
    }
  return out;
}

// The title bar: cell 0 active (blue steel), cell 1 inactive (light grey), each 360 x 20 and
// seamless when tiled both ways: brushed streaks of period 360 and a sheen of period 20.
TImage24 DrawTitlebar() {
  constexpr int w = 360, h = 20;
  TImage24 out(w, 2 * h);
  for (int cell = 0; cell < 2; ++cell) {
    const TRgba base = cell == 0 ? Rgb(72, 102, 152) : Rgb(200, 203, 210);
    const float sheen = cell == 0 ? 0.07f : 0.035f, streak = cell == 0 ? 0.045f : 0.02f;
    const std::uint32_t seed = HashName(cell == 0 ? "titlebar active" : "titlebar inactive");
    const TImage24 img = Render(w, h, [&](float x, float y) {
      const float wave = std::cos(2.0f * std::numbers::pi_v<float> * (y - 6.0f) / static_cast<float>(h));
      const float brushed =
          (PeriodicNoise(x, w, 3, seed) - 0.5f) * 0.6f + (PeriodicNoise(x, w, 30, seed ^ 0x55u) - 0.5f);
      const float k = 1.0f + sheen * wave + streak * brushed;
      return TRgba{std::min(1.0f, base.r * k), std::min(1.0f, base.g * k), std::min(1.0f, base.b * k), 1};
    });
    out.Paste(img, 0, cell * h);
  }
  return out;
}

// The caption buttons: rows close, minimise, restore, maximise, help; faces 16 x 14 up (raised),
// disabled (flat mid grey) and pressed (sunken). The kit draws the glyphs.
TImage24 DrawCaptionButtons() {
  constexpr int fw = 16, fh = 14;
  TImage24 out(3 * fw, 5 * fh);
  for (int row = 0; row < 5; ++row) {
    // The close button is faintly warm.
    const TTint tint = row == 0 ? TTint{1.30f, 0.84f, 0.86f} : TTint{0.92f, 0.98f, 1.10f};
    for (int face = 0; face < 3; ++face) {
      TImage24 img(fw, fh);
      for (int y = 0; y < fh; ++y)
        for (int x = 0; x < fw; ++x) {
          // The bottom and right lines run the full length; the top and left stop short of them.
          const bool bottomRight = x == fw - 1 || y == fh - 1, topLeft = !bottomRight && (x == 0 || y == 0);
          const bool inner = !topLeft && !bottomRight && (x == 1 || y == 1 || x == fw - 2 || y == fh - 2);
          const float t = static_cast<float>(y) / fh;
          float v;
          if (face == 1) {
            v = topLeft || bottomRight ? 0.44f : 0.52f;
          } else {
            const bool raised = face == 0;
            if (topLeft)
              v = raised ? 0.70f : 0.08f;
            else if (bottomRight)
              v = raised ? 0.08f : 0.62f;
            else if (inner)
              v = raised ? 0.40f - 0.10f * t : 0.22f;
            else
              v = raised ? 0.38f - 0.12f * t : 0.27f + 0.06f * t;
          }
          const TRgba c = face == 1 ? Tinted(v, {1.0f, 1.0f, 1.03f}) : Tinted(v, tint);
          img.At(x, y) = {ToByte(c.b), ToByte(c.g), ToByte(c.r)};
        }
      out.Paste(img, face * fw, row * fh);
    }
  }
  return out;
}

// ---- The application icon and the setup program's background -------------------------------

// The game's emblem, a ringed golden planet with a bright star, in the square of side s at (x, y).
void DrawEmblem(TCanvas& c, float x, float y, float s) {
  const TPoint centre{x + s * 0.48f, y + s * 0.54f};
  const float radius = s * 0.27f, ringX = s * 0.47f, ringY = s * 0.15f, tilt = -0.38f;
  const float ringWidth = std::max(1.0f, s * 0.06f);
  // The ring's far half, the planet, then the near half.
  const std::vector<TPoint> ring = EllipsePath(centre, ringX, ringY, tilt);
  const size_t half = ring.size() / 2;
  const std::vector<TPoint> far(ring.begin() + static_cast<std::ptrdiff_t>(half), ring.end());
  std::vector<TPoint> near(ring.begin(), ring.begin() + static_cast<std::ptrdiff_t>(half) + 1);
  const TRgba ringColour = Rgb(236, 214, 150);
  c.StrokePath(far, false, ringWidth, Solid(Shade(ringColour, 0.7f)));
  c.FillEllipse(centre, radius, radius, [&](float px, float py) {
    float n[3];
    if (!SphereNormal(centre, radius, px, py, n)) return Rgb(0, 0, 0, 0);
    const float light = 0.18f + 0.95f * Lambert(n, -0.6f, -0.7f, 0.55f);
    // Bands across the planet.
    const float band = 0.92f + 0.08f * std::sin((py - centre.y) / radius * 7.0f);
    return Shade(Rgb(232, 150, 60), std::min(1.25f, light * band));
  });
  c.StrokePath(near, false, ringWidth, Solid(ringColour));
  // A four-pointed star at the upper right.
  const TPoint star{x + s * 0.80f, y + s * 0.20f};
  const float arm = s * 0.13f, waist = std::max(0.45f, s * 0.025f);
  c.FillPolygon({{star.x, star.y - arm},
                 {star.x + waist, star.y - waist},
                 {star.x + arm, star.y},
                 {star.x + waist, star.y + waist},
                 {star.x, star.y + arm},
                 {star.x - waist, star.y + waist},
                 {star.x - arm, star.y},
                 {star.x - waist, star.y - waist}},
                Solid(Rgb(255, 255, 240)));
}

// The emblem on deep space, framed as a badge for the title bar.
TImage24 DrawIcon(int size) {
  const float s = static_cast<float>(size);
  TCanvas c(size, size, 8, {0, 0, 0, 1});
  c.FillRect(0, 0, s, s,
             RadialGradient({s * 0.3f, s * 0.25f}, s * 1.1f, s * 1.1f,
                            TGradient{{{0.0f, Rgb(40, 58, 110)}, {0.6f, Rgb(14, 20, 48)}, {1.0f, Rgb(6, 8, 22)}}}));
  DrawEmblem(c, 0, 0, s);
  // A thin frame so the square reads as a badge in the title bar.
  c.Bevel(0, 0, s, s, 1.0f, Rgb(96, 116, 168, 0.8f), Rgb(4, 6, 14, 0.9f));
  return c.Flatten();
}

// The setup program's 480 x 320 background: deep space with stars and a faint nebula, the lit edge
// of a large planet at the lower right and the emblem left of centre. Dark behind the buttons
// (rows 280 and below), so that they stand out; no letters.
TImage24 DrawSetupBackground() {
  constexpr float kW = 480, kH = 320;
  const std::uint32_t seed = HashName("SetupBg");
  TCanvas c(480, 320, kSamples, {0, 0, 0, 1});
  c.FillRect(0, 0, kW, kH, LinearGradient({0, 0}, Rgb(12, 16, 38), {0, kH}, Rgb(3, 4, 11)));
  // The nebula: fractal noise in violet and teal, strongest in a band from the upper middle to the
  // right and gone before the buttons.
  // The noise is smooth within a pixel, so it is taken once per pixel, at its centre.
  const auto perPixel = [&](const std::function<float(float x, float y)>& f) {
    std::vector<float> v(480 * 320);
    for (int y = 0; y < 320; ++y)
      for (int x = 0; x < 480; ++x) v[static_cast<size_t>(y) * 480 + x] = f(x + 0.5f, y + 0.5f);
    return v;
  };
  const auto at = [](const std::vector<float>& v, float x, float y) {
    return v[static_cast<size_t>(std::clamp(static_cast<int>(y), 0, 319)) * 480 +
             std::clamp(static_cast<int>(x), 0, 479)];
  };
  const std::vector<float> wisps =
      perPixel([&](float x, float y) { return Fbm(x / 140.0f, y / 110.0f, HashCombine(seed, 1), 5); });
  const std::vector<float> hue =
      perPixel([&](float x, float y) { return Fbm(x / 60.0f + 7.3f, y / 60.0f, HashCombine(seed, 2), 4); });
  const std::vector<float> clouds =
      perPixel([&](float x, float y) { return Fbm(x / 40.0f, y / 16.0f, HashCombine(seed, 4), 4); });
  c.ForEachSample(0, 0, kW, kH, [&](float x, float y, TRgba& s) {
    const float n = at(wisps, x, y), m = at(hue, x, y);
    const float d = (y - 40.0f - (x - 240.0f) * 0.25f) / 120.0f;
    const float fall = std::exp(-d * d) * std::clamp(1.0f - y / 270.0f, 0.0f, 1.0f);
    const float a = std::pow(std::clamp((n - 0.30f) * 1.9f, 0.0f, 1.0f), 1.2f) * fall;
    const float v = a * (0.5f + 0.5f * m);
    s.r += v * 0.42f;
    s.g += v * 0.12f + a * (1.0f - m) * 0.16f;
    s.b += v * 0.55f + a * (1.0f - m) * 0.14f;
  });
  // Stars: many faint ones, a few bright ones with a glow; dimmer behind the buttons.
  TArtRng rng(HashCombine(seed, 3));
  for (int i = 0; i < 420; ++i) {
    const float x = rng.Range(0, kW), y = rng.Range(0, kH);
    const float b = std::pow(rng.Unit(), 3.0f);
    const float r = 0.35f + 0.6f * b;
    const TRgba tint = Mix(Rgb(170, 190, 255), Rgb(255, 230, 200), rng.Unit());
    const float dim = y > 270 ? 0.35f : 1.0f;
    c.FillEllipse({x, y}, r, r, Solid(tint), (0.25f + 0.75f * b) * dim, TBlend::kAdd);
    if (b > 0.55f) {
      c.FillEllipse({x, y}, r * 4, r * 4,
                    RadialGradient({x, y}, r * 4, r * 4,
                                   TGradient{{{0.0f, WithAlpha(tint, 0.35f)}, {1.0f, WithAlpha(tint, 0.0f)}}}),
                    dim, TBlend::kAdd);
    }
  }
  // The planet, lit from behind at the upper left: a bright rim and a darkening night side, with
  // its atmosphere glowing just outside the edge.
  const TPoint pc{600, 540};
  const float pr = 360, glow = 14;
  const float edge = pr / (pr + glow);
  c.FillEllipse(pc, pr + glow, pr + glow,
                RadialGradient(pc, pr + glow, pr + glow,
                               TGradient{{{edge - 0.01f, Rgb(60, 110, 200, 0.0f)},
                                          {edge, Rgb(80, 140, 240, 0.35f)},
                                          {1.0f, Rgb(40, 80, 180, 0.0f)}}}),
                1.0f, TBlend::kAdd);
  c.FillEllipse(pc, pr, pr, [&](float x, float y) {
    float n[3];
    if (!SphereNormal(pc, pr, x, y, n)) return Rgb(0, 0, 0, 0);
    const float light = Lambert(n, -0.55f, -0.50f, -0.65f);
    const float cloud = 0.75f + 0.25f * at(clouds, x, y);
    const float rim = std::pow(1.0f - n[2], 3.0f);
    return Mix(Rgb(3, 5, 12), Rgb(90, 140, 210), std::min(1.0f, light * cloud * 1.6f + rim * light * 2.0f));
  });
  // The emblem, about 96 pixels, with a warm glow behind it.
  const float ex = 96, ey = 104, es = 96;
  const TPoint halo{ex + es * 0.5f, ey + es * 0.52f};
  c.FillEllipse(
      halo, 80, 80,
      RadialGradient(halo, 80, 80, TGradient{{{0.0f, Rgb(255, 190, 110, 0.16f)}, {1.0f, Rgb(255, 190, 110, 0.0f)}}}),
      1.0f, TBlend::kAdd);
  DrawEmblem(c, ex, ey, es);
  return c.Flatten();
}

// ---- Output -------------------------------------------------------------------------------

struct TPicture {
  std::string name;
  TImage24 pixels;
  bool paletted;
  int cellWidth = 0, cellHeight = 0;  // the grid drawn apart in the preview (0: none)
};

bool Write(const std::string& path, const std::function<bool(std::string*)>& save) {
  std::string error;
  if (save(&error)) return true;
  std::fprintf(stderr, "make_form_pictures: cannot write %s: %s\n", path.c_str(), error.c_str());
  return false;
}

// Every picture at twice its size, cells and faces set apart, on a dark sheet.
bool WritePreview(const std::string& path, const std::vector<TPicture>& pictures,
                  const std::vector<TImage8>& paletted) {
  constexpr int kSheetWidth = 1600, kGap = 12, kScale = 2, kSplit = 3;
  struct TPlace {
    int x, y;
  };
  std::vector<TPlace> places;
  int x = kGap, y = kGap, shelf = 0;
  auto extent = [](int pixels, int cells) { return pixels * kScale + (cells - 1) * kSplit; };
  for (const TPicture& p : pictures) {
    const int cw = p.cellWidth ? p.cellWidth : p.pixels.Width, ch = p.cellHeight ? p.cellHeight : p.pixels.Height;
    const int w = extent(p.pixels.Width, p.pixels.Width / cw), h = extent(p.pixels.Height, p.pixels.Height / ch);
    if (x + w + kGap > kSheetWidth && x > kGap) {
      x = kGap;
      y += shelf + kGap;
      shelf = 0;
    }
    places.push_back({x, y});
    x += w + kGap;
    shelf = std::max(shelf, h);
  }
  TRgbPicture sheet;
  sheet.Width = kSheetWidth;
  sheet.Height = y + shelf + kGap;
  sheet.Rgb.assign(static_cast<size_t>(sheet.Width) * sheet.Height * 3, 0);
  for (size_t i = 0; i < sheet.Rgb.size(); i += 3) {
    sheet.Rgb[i] = 34;
    sheet.Rgb[i + 1] = 38;
    sheet.Rgb[i + 2] = 48;
  }
  for (size_t i = 0; i < pictures.size(); ++i) {
    const TPicture& p = pictures[i];
    const TImage24 shown = p.paletted ? paletted[i].Expand() : p.pixels;
    const int cw = p.cellWidth ? p.cellWidth : p.pixels.Width, ch = p.cellHeight ? p.cellHeight : p.pixels.Height;
    for (int py = 0; py < shown.Height; ++py)
      for (int px = 0; px < shown.Width; ++px) {
        const TBgr c = shown.At(px, py);
        const int ox = places[i].x + px * kScale + (px / cw) * kSplit,
                  oy = places[i].y + py * kScale + (py / ch) * kSplit;
        for (int dy = 0; dy < kScale; ++dy)
          for (int dx = 0; dx < kScale; ++dx) {
            std::uint8_t* o = &sheet.Rgb[(static_cast<size_t>(oy + dy) * sheet.Width + ox + dx) * 3];
            o[0] = c.r;
            o[1] = c.g;
            o[2] = c.b;
          }
      }
  }
  if (SavePngRgb(path, sheet)) return true;
  std::fprintf(stderr, "make_form_pictures: cannot write %s\n", path.c_str());
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  std::string folder, preview;
  bool usage = false;
  for (int i = 1; i < argc && !usage; ++i) {
    const std::string a = argv[i];
    if (a == "--preview" && i + 1 < argc)
      preview = argv[++i];
    else if (folder.empty() && a.rfind("--", 0) != 0)
      folder = a;
    else
      usage = true;
  }
  if (usage || folder.empty()) {
    std::fprintf(stderr, "usage: make_form_pictures <folder> [--preview <file.png>]\n");
    return 2;
  }
  std::error_code ec;
  std::filesystem::create_directories(folder, ec);
  if (ec) {
    std::fprintf(stderr, "make_form_pictures: cannot create %s: %s\n", folder.c_str(), ec.message().c_str());
    return 1;
  }

  std::vector<TPicture> pictures;
  pictures.push_back({"CHF_BcFrame", DrawFrame(), true});
  pictures.push_back({"CHF_BcTitlebar", DrawTitlebar(), true, 0, 20});
  pictures.push_back({"CHF_BcButton", DrawCaptionButtons(), true, 16, 14});
  for (const TFaceContainerSpec& spec : kFaceContainers)
    pictures.push_back({std::string(spec.Name), DrawFaceContainer(spec), true, spec.FaceWidth, spec.FaceHeight});
  pictures.push_back({"AppIcon16", DrawIcon(16), false});
  pictures.push_back({"AppIcon32", DrawIcon(32), false});
  pictures.push_back({"SetupBg", DrawSetupBackground(), false});

  // One palette: a quarter for the window skins, whose few colours the many faces would crowd
  // out, the rest for the faces.
  std::vector<const TImage24*> skins, faces;
  for (const TPicture& p : pictures)
    if (p.paletted) (p.name.rfind("CHF_", 0) == 0 ? skins : faces).push_back(&p.pixels);
  std::vector<TBgr> colours = MedianCutColours(skins, 64);
  const std::vector<TBgr> faceColours = MedianCutColours(faces, 256 - static_cast<int>(colours.size()));
  colours.insert(colours.end(), faceColours.begin(), faceColours.end());
  TPalette palette{};
  std::copy(colours.begin(), colours.end(), palette.begin());
  std::vector<TImage8> paletted(pictures.size());
  for (size_t i = 0; i < pictures.size(); ++i) {
    const std::string path = (std::filesystem::path(folder) / (pictures[i].name + ".bmp")).string();
    if (pictures[i].paletted) paletted[i] = ToPaletted(pictures[i].pixels, palette);
    const bool written = Write(path, [&](std::string* e) {
      return pictures[i].paletted ? SaveBmp(path, paletted[i], e) : SaveBmp(path, pictures[i].pixels, e);
    });
    if (!written) return 1;
  }
  if (!preview.empty() && !WritePreview(preview, pictures, paletted)) return 1;
  return 0;
}
