#include "tools/ShipArt.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "tools/HullModels.h"
#include "tools/ScreenArt.h"

namespace vdmq::sample {

namespace {

constexpr float kPi = std::numbers::pi_v<float>;

// The ship pictures' view: the bow towards the lower left, the camera a little lower than in battle.
constexpr float kPictureHeading = kPi * 150.0f / 180.0f;
constexpr float kPictureElevation = kPi * 24.0f / 180.0f;

// A one-sample canvas over an opaque picture.
void Over(raster::TImage24& under, const raster::TCanvas& c) {
  for (int y = 0; y < c.Height(); ++y) {
    for (int x = 0; x < c.Width(); ++x) {
      const raster::TRgba& s = c.Pixel(x, y);
      raster::TBgr& o = under.At(x, y);
      const float keep = 1.0f - std::clamp(s.a, 0.0f, 1.0f);
      o = {raster::ToByte(s.b + o.b / 255.0f * keep), raster::ToByte(s.g + o.g / 255.0f * keep),
           raster::ToByte(s.r + o.r / 255.0f * keep)};
    }
  }
}

}  // namespace

TArtImage RenderBattleShips(const TArtEntry& e, TArtCache&) {
  TArtImage out;
  out.Rgb = raster::TImage24(e.Width, e.Height, raster::kMagenta);
  for (int d = 0; d < 8; ++d) out.Rgb.Paste(BattleFrame(e.Number, d), d * e.FrameWidth(), 0);
  return out;
}

TArtImage RenderShipPicture(const TArtEntry& e, TArtCache& cache) {
  TArtImage out;
  out.Rgb = cache.Get<raster::TImage24>("bay:" + std::to_string(e.Width) + "x" + std::to_string(e.Height),
                                        [&e] { return ShipBay(e.Width, e.Height); });
  const TShipShot shot = FittedShot(e.Number, e.Width, e.Height, kPictureHeading, kPictureElevation, 0.84f);
  // A soft shadow on the floor under the ship, then the ship.
  raster::TCanvas shadow(e.Width, e.Height, 1);
  const float w = static_cast<float>(e.Width), h = static_cast<float>(e.Height);
  shadow.FillEllipse(
      {w * 0.5f, h * 0.8f}, w * 0.36f, h * 0.09f,
      raster::RadialGradient({w * 0.5f, h * 0.8f}, w * 0.36f, h * 0.09f,
                             {{{0.0f, raster::Rgb(0, 0, 0, 0.55f)}, {1.0f, raster::Rgb(0, 0, 0, 0.0f)}}}));
  Over(out.Rgb, shadow);
  Over(out.Rgb, RenderShip(e.Number, shot).Canvas.Resolve());
  return out;
}

TArtImage RenderShipIcons(const TArtEntry& e, TArtCache&) {
  TArtImage out;
  out.Rgb = raster::TImage24(e.Width, e.Height, raster::kMagenta);
  for (int n = 0; n < kHullPictures; ++n) {
    // Cruisers the largest, satellites the smallest, in a box round (30, 45) that keeps the flag's
    // corner, the relation marks at the sides and the moved tick free.
    const THullClass c = HullClassOf(n);
    const int bw = c == THullClass::kCruiser ? 36 : c == THullClass::kDestroyer ? 30 : 24;
    const int bh = c == THullClass::kCruiser ? 26 : c == THullClass::kDestroyer ? 22 : 20;
    TShipShot shot = FittedShot(n, bw, bh, kPi / 4.0f, kPi / 6.0f, 1.0f);
    shot.Width = e.FrameWidth();
    shot.Height = e.FrameHeight();
    shot.Centre = {shot.Centre.x + 30.0f - static_cast<float>(bw) / 2.0f,
                   shot.Centre.y + 45.0f - static_cast<float>(bh) / 2.0f};
    out.Rgb.Paste(raster::KeyedImage(RenderShip(n, shot).Canvas.Resolve()), 0, n * e.FrameHeight());
  }
  return out;
}

}  // namespace vdmq::sample
