#pragma once
// The contact sheets of the ship and battle pictures:
//   ships.png   every hull in its eight headings over the arena's sky, once with the player's
//               flames and once with the others', drawn at the flame table's offsets; every SH and
//               SH_S picture; the map icons on their cells;
//   battle.png  the battle window as the battle view composes it: the arena's sky scrolled, then
//               hulls, missiles and effects layer by layer, each layer sorted by map row and
//               column, every sprite keyed in its draw mode; below it the control strip with a
//               commander's face and the minimap; and the effect sheets themselves at twice their
//               size.

#include "tools/HullModels.h"
#include "tools/PreviewKit.h"

namespace vdmq::sample::preview {

raster::TImage24 ShipsSheet(const TArtSet& art, const TFlameTable& flames);
raster::TImage24 BattleSheet(const TArtSet& art, const TFlameTable& flames);

}  // namespace vdmq::sample::preview
