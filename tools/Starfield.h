#pragma once
// The strategic map's backgrounds BG_00..BG_03: a starfield with nebulae, one mood per chapter
// (blue, violet, teal, and the red of the war-torn fourth chapter), 8-bit with a palette of its own.

#include "tools/ArtTable.h"

namespace vdmq::sample {

TArtImage RenderStarfield(const TArtEntry& entry, TArtCache& cache);

}  // namespace vdmq::sample
