#pragma once
// The skies, 8-bit with a palette of their own, fine stars included: the strategic map's
// backgrounds BG_00..BG_03, a starfield with nebulae, one mood per chapter (blue, violet, teal, and
// the red of the war-torn fourth chapter); and the battle arena BTBG_00, a darker starfield and
// nebula with a large world in its upper right corner.

#include "tools/ArtTable.h"

namespace vdmq::sample {

TArtImage RenderStarfield(const TArtEntry& entry, TArtCache& cache);
// The arena's picture BTBG_00, drawn once per cache whichever picture asks first (the arena itself,
// or the battle minimap's base that is reduced from it).
const TArtImage& ArenaSky(TArtCache& cache);

}  // namespace vdmq::sample
