#pragma once
// The battle's pictures besides the hulls (ShipArt.h) and the arena's sky (Starfield.h), in the
// sheet slots and frame grids the battle view loads them with. The player's side is blue-white
// throughout and every other side orange-red; pictures drawn ADD stand on black, which adds nothing.
//   BG_BTMAIN_0  the minimap's base: the arena's picture reduced sixteen times, darkened, framed;
//   BT_MAP       eight radar glyphs (loaded, never drawn);
//   BTMS_00      missiles: rows 0 and 1 the player's light missiles and torpedoes in eight headings
//                (frame = kind * 8 + heading octant), rows 2 and 3 the others' (+ 16); frames 32/33
//                and 40/41 the glowing bolts of kinds 2 and 3 (player / others) on black, drawn ADD;
//                every other frame key;
//   BTEFC_00     engine flames: frames 0-2 the player's flicker, 4-6 the others', 3 and 7 black;
//                BTEFC_01 the same in a third tint (loaded, never drawn);
//   BTEXP_00     a ship's end: a fireball that grows and fades; BTEXP_01 a missile's small burst;
//   BTADD_00     trails, by light kind: row 0 a smoke puff (missiles 0 and 1), rows 1 and 2 the
//                player's and the others' trail of bolt kind 3, rows 3 and 4 of bolt kind 2, rows
//                5-9 black;
//   BTSD_00      a four-frame shimmering shield bubble;
//   BT_MK        frames 0-7 the cursor ring with its three lamps (launcher 1 ready +2, launcher 2
//                ready +1, shield on +4), 8 shield on, 9 shield ready, 10 shield broken, 11 the
//                flagship's mark, 12-14 key.
// No picture holds a letter or a digit.

#include "tools/ArtTable.h"

namespace vdmq::sample {

TArtImage RenderBattleMinimap(const TArtEntry& entry, TArtCache& cache);
TArtImage RenderRadarGlyphs(const TArtEntry& entry, TArtCache& cache);
TArtImage RenderMissiles(const TArtEntry& entry, TArtCache& cache);
TArtImage RenderFlames(const TArtEntry& entry, TArtCache& cache);
TArtImage RenderExplosions(const TArtEntry& entry, TArtCache& cache);
TArtImage RenderTrails(const TArtEntry& entry, TArtCache& cache);
TArtImage RenderShieldBubble(const TArtEntry& entry, TArtCache& cache);
TArtImage RenderMarkers(const TArtEntry& entry, TArtCache& cache);

}  // namespace vdmq::sample
