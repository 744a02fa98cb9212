#pragma once
// Checks of the generated picture archive that the archive test runs on its one generation, with the
// archive installed as the picture archive and the locator's names as the entry-name hook.

#include <string>

namespace vdmq::test {

// Every flame point of the battle's table lies on a visible pixel of its hull's frame.
void FlamesLieOnTheirHulls();
// Frames 0 and 4 of every hull sheet lie wider than tall; frames 2 and 6 are other pictures.
void HeadingsTurnTheHulls();
// The fireball of a ship's end grows, then fades.
void TheFireballGrowsAndFades();
// The player's missiles, bolts, flames and trails are blue-white and the others' orange-red.
void TheSidesKeepTheirColours();
// Ship pictures stand on the empty ship panel, fleet icons round their cell's point (30, 45), and
// the minimap's base stays dark enough for its dots.
void ShipPicturesIconsAndMinimapSitInTheirFrames();
// The new-game data in the game folder names pictures the archive holds: hull pictures -1 or
// 0..21 with their sheets, ship pictures and map icons; missile kinds 0..3.
void TheWorldNamesPicturesTheArchiveHolds(const std::string& gameFolder);
// Battles of the new game, fought headless with a view that loads its sheets from the archive and
// composes its frames as the battle view does: every sheet loads, every frame lies in its sheet,
// and no composed picture holds the key colour.
void BattlesDrawWithTheirPictures(const std::string& gameFolder);

}  // namespace vdmq::test
