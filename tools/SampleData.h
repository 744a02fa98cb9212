#pragma once
// The game's data set, generated: the new-game data dat/INIT.DAT, the scenario map dat/MAP00.DAT, the
// help document q_help.html and the empty save/ folder, written beside the program. The world is built in the game's
// own tables (countries, planets, commanders, fleets, docks, parts catalogue, technology costs) and the map in a map
// model; both are written with the keyed-file writer. Everything is deterministic: two runs give byte-identical files.
//
// The other stages (pictures, and what later sets of files add) are listed in tools/Generator.h.

#include <functional>
#include <string>
#include <vector>

#include "tools/MapLegend.h"

namespace vdmq {

class TQvMap;
class TDatFile;

namespace sample {

class TGeneration;

// Part kinds as stored in the catalogue's type field (weapons: their slot 1 or 2).
constexpr int kPartsTypeHull = 0;
constexpr int kPartsTypeEngine = 3;
constexpr int kPartsTypeShield = 4;

// Fills every world table a new game reads from INIT.DAT, and the planet positions and pictures of
// the map file.
void BuildWorld();
// Fills the map model's chips by the chip legend (tools/MapLegend.h): fields of the obstacle groups
// from 24 on, open space with patches of the navigable groups. The planets must stand where
// BuildWorld put them.
void BuildMap(TQvMap* map);

// Writes the new-game blocks from the world tables, in the order a new game reads them.
void WriteInitBlocks(TDatFile* fp);

// One file of the data set: its path below the output folder and the routine that writes it there.
struct TSampleFile {
  std::string path;                                        // "dat/INIT.DAT"
  std::function<bool(const std::string& fullPath)> write;  // true when written completely
};
// The data set's files, in writing order (BuildWorld and BuildMap must have run).
std::vector<TSampleFile> SampleFiles(TQvMap* map);
// Folders the data set creates empty.
std::vector<std::string> SampleFolders();

// The world stage: the data set's folders and files below the game folder, each file written under a
// temporary name and renamed over the old one only when complete.
bool RunWorldStage(TGeneration& generation);

}  // namespace sample
}  // namespace vdmq
