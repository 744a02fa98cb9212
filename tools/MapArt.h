#pragma once
// The map chips QV_MAP0 and QV_MAP1 (the war-torn palette of the fourth chapter): 68 frames of
// 60 x 60 in 17 rows of 4, keyed magenta. A chip is the cell's frame; the cell's diamond lies in frame
// rows 30..59 (row 30 + y covers x from 30 - w to 30 + w - 1, w = 2y + 1 up to y = 14 and 59 - 2y
// below), so neighbours at (+-30, 15) meet with no gap and no overlap. Navigable chips let the
// background show through; obstacles cover their whole diamond, and what rises from them goes into
// rows 0..29. Frames 64, 66 and 67 are the map's marks, 65 is unused.

#include "tools/ArtTable.h"

namespace vdmq::sample {

constexpr int kChipSize = 60;
constexpr int kDiamondTop = 30;

// Whether frame pixel (x, y) belongs to the cell's diamond.
bool InDiamond(int x, int y);

TArtImage RenderChips(const TArtEntry& entry, TArtCache& cache);

}  // namespace vdmq::sample
