#pragma once
// The look shared by the generated pictures: the fourteen country colours (flags, uniforms,
// insignia; the battle pictures use them too), the theme's navy and steel, and small drawing helpers
// that several picture families use.

#include <cstdint>
#include <string>

#include "tools/Noise.h"
#include "tools/Raster.h"

namespace vdmq::sample::art {

constexpr int kCountryColours = 14;
// The colour of a country 0..13: the player's country blue, the empire (7) red, the others distinct
// hues, none near the key. Other numbers give a neutral grey.
raster::TRgba CountryColour(int country);

// The theme: deep-space navy with steel bevels.
inline const raster::TRgba kNavyDeep = raster::Rgb(6, 10, 22);
inline const raster::TRgba kNavy = raster::Rgb(14, 24, 48);
inline const raster::TRgba kNavyLight = raster::Rgb(34, 54, 92);
inline const raster::TRgba kSteelLight = raster::Rgb(150, 166, 190);
inline const raster::TRgba kSteel = raster::Rgb(92, 106, 130);
inline const raster::TRgba kSteelDark = raster::Rgb(30, 38, 54);
inline const raster::TRgba kAccent = raster::Rgb(70, 170, 220);

// The seed of a picture, from its entry name (and a salt for a part of it).
std::uint32_t SeedOf(const std::string& name, std::uint32_t salt = 0);

// A thin line where a noise value in 0..1 crosses its middle: 1 on it, falling to 0 at `width`
// away (veins, cracks, filaments).
float Vein(float noise, float width);

// The colour of a star, one draw of rng: mostly white, some blue, fewer yellow and orange.
raster::TRgba StarColour(raster::TArtRng& rng);

// The colour of a lit sphere point: base colour shaded by a soft light from the upper left, with
// ambient and a specular glint of the given strength.
raster::TRgba LitColour(const raster::TRgba& base, const float n[3], float ambient, float specular);

// A frame's 1-sample canvas turned into a keyed picture that keeps only the pixels of a mask:
// pixels where keep(x, y) is false stay key.
raster::TImage24 KeyedFrame(raster::TCanvas frame, const raster::TKeying& keying, bool (*keep)(int x, int y) = nullptr);

}  // namespace vdmq::sample::art
