#pragma once
// The ship pictures, all rendered from the hull models:
//   BTSH_nn  the battle sheet of picture nn: eight frames in a row, frame d facing heading octant d
//            (0 right, 2 down, 4 left, 6 up), the sprite centred on its frame, keyed magenta;
//   SH_nn    the model large in three-quarter view on the dark ship panel (256 x 160), so that an
//            empty slot and a chosen ship sit in the same frame;
//   SH_Snn   the same at 128 x 80, rendered at that size;
//   QV_SHIP  the map's fleet icons: each model heading down-right, centred on (30, 45) of its
//            60 x 60 frame, clear of the flag and the marks that share the cell.

#include "tools/ArtTable.h"

namespace vdmq::sample {

TArtImage RenderBattleShips(const TArtEntry& entry, TArtCache& cache);
TArtImage RenderShipPicture(const TArtEntry& entry, TArtCache& cache);
TArtImage RenderShipIcons(const TArtEntry& entry, TArtCache& cache);

}  // namespace vdmq::sample
