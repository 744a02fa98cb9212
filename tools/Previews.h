#pragma once
// Contact sheets of the generated pictures, for review (PNG, not part of the game folder):
//   map.png       the scenario map drawn like the map view over BG_00's centre crop, with planets,
//                 country marks, relation marks, some fleets, the four marks and the minimap;
//   chips.png     both chip sheets at 2x and a 6 x 6 tiling of every chip group;
//   planets.png   every planet, country mark, fleet icon and small mark at 1x and 3x;
//   portraits.png GEN, GEN_D, COM and COM_S of every portrait side by side;
//   screens.png   every background with its panels' controls outlined, and mock windows (the
//                 message box, the event window, the command bar at 792 and 1272 pixels);
//   ships.png     the hulls in eight headings with their flames, the ship pictures, the map icons;
//   battle.png    a battle window as the battle view composes it (BattlePreviews.h).
// Frame numbers are written in a tiny digit font; the game's pictures hold none.

#include <string>
#include <vector>

#include "tools/PictureStage.h"

namespace vdmq::sample {

// The names of the files WritePreviews makes.
const std::vector<std::string>& PreviewFiles();

// Writes the contact sheets into the options' preview folder (created when missing); false, with
// the reason reported, when one cannot be written.
bool WritePreviews(TGeneration& generation, const std::vector<TArtEntry>& entries, const std::vector<TDrawnArt>& drawn);

}  // namespace vdmq::sample
