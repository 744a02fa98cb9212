#include "tools/ArtStyle.h"

#include <algorithm>
#include <cmath>

#include "tools/Noise.h"

namespace vdmq::sample::art {

using raster::Rgb;
using raster::TRgba;

TRgba CountryColour(int country) {
  static const TRgba kColours[kCountryColours] = {
      Rgb(44, 112, 232),   // 0 the federation: blue
      Rgb(28, 176, 164),   // 1 Seres: teal
      Rgb(226, 176, 44),   // 2 Ortensia: gold
      Rgb(206, 132, 60),   // 3 Kalda: sand orange
      Rgb(104, 176, 84),   // 4 Milva: green
      Rgb(96, 200, 232),   // 5 Torne: sky
      Rgb(146, 100, 214),  // 6 Heisel: violet
      Rgb(214, 40, 36),    // 7 the empire: red
      Rgb(168, 160, 64),   // 8 Belka: olive
      Rgb(214, 220, 230),  // 9 Elysion: white
      Rgb(150, 96, 56),    // 10 Naga: brown
      Rgb(162, 226, 70),   // 11 Ragna: lime
      Rgb(120, 128, 146),  // 12: slate
      Rgb(40, 124, 96),    // 13: pine
  };
  if (country < 0 || country >= kCountryColours) return Rgb(128, 128, 128);
  return kColours[country];
}

std::uint32_t SeedOf(const std::string& name, std::uint32_t salt) {
  return raster::HashCombine(raster::HashName(name), salt);
}

float Vein(float noise, float width) { return 1.0f - raster::Smoothstep(0.0f, width, std::fabs(noise - 0.5f)); }

TRgba LitColour(const TRgba& base, const float n[3], float ambient, float specular) {
  const float diffuse = raster::Lambert(n, -0.55f, -0.6f, 0.58f);
  float k = ambient + (1.0f - ambient) * diffuse;
  TRgba c = raster::Shade(base, k);
  if (specular > 0.0f) {
    // Blinn half vector of the light and the viewer.
    const float hx = -0.55f, hy = -0.6f, hz = 1.58f;
    const float len = std::sqrt(hx * hx + hy * hy + hz * hz);
    float s = std::max(0.0f, (n[0] * hx + n[1] * hy + n[2] * hz) / len);
    s = s * s;
    s = s * s;
    s = s * s;
    s = s * s;  // the 16th power
    c.r += specular * s;
    c.g += specular * s;
    c.b += specular * s;
  }
  return c;
}

raster::TImage24 KeyedFrame(raster::TCanvas frame, const raster::TKeying& keying, bool (*keep)(int x, int y)) {
  if (frame.Supersample() != 1) frame = frame.Resolve();
  if (keep != nullptr) {
    for (int y = 0; y < frame.Height(); ++y) {
      for (int x = 0; x < frame.Width(); ++x) {
        if (!keep(x, y)) frame.Sample(x, y) = {0, 0, 0, 0};
      }
    }
  }
  return raster::KeyedImage(frame, keying);
}

raster::TRgba StarColour(raster::TArtRng& rng) {
  const float t = rng.Unit();
  if (t < 0.25f) return raster::Rgb(170, 196, 255);
  if (t < 0.70f) return raster::Rgb(236, 240, 255);
  if (t < 0.90f) return raster::Rgb(255, 236, 196);
  return raster::Rgb(255, 196, 150);
}

}  // namespace vdmq::sample::art
