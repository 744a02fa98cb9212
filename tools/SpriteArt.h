#pragma once
// The map's sprite sheets besides the chips, all in 60 x 60 frames keyed magenta that sit on the
// cell like the chip does (the diamond in rows 30..59):
//   QV_PLA  frames 0..35 planets (nine styles in four palettes), 36..49 the country marks (small
//           flags above the diamond's left half), 50..67 unused;
//   QV_MK   0/1 blue/red brackets on the diamond's corners, 2/3 the same with a capital's star,
//           4 a ship badge at the right (a fleet at a planet), 5 a grey tick at the left (a fleet
//           that has moved), 6..9 unused.
// The planet, flag, fleet icon (QV_SHIP, ShipArt.h), brackets and badges of one cell never cover
// each other.

#include "tools/ArtTable.h"

namespace vdmq::sample {

constexpr int kPlanetFrames = 36;
constexpr int kFirstCountryMark = 36;
constexpr int kUsedMarkFrames = 6;

TArtImage RenderPlanets(const TArtEntry& entry, TArtCache& cache);
TArtImage RenderMarks(const TArtEntry& entry, TArtCache& cache);

}  // namespace vdmq::sample
