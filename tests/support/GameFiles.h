#pragma once
// Test helpers for whole games: a game installed in the fake system with its data-file locator and
// map model, a small new-game data file (INIT.DAT) written from the world tables as they stand, a
// sample world to write it from, map files, and the whole world as bytes for "nothing changed"
// checks. The fuzz targets use them too.

#include <string>

#include "campaign/File_manager.h"
#include "campaign/Qvmap.h"
#include "campaign/Save.h"
#include "platform/sys/Services.h"
#include "support/World.h"

namespace vdmq::test {

// Every block the new-game data must hold, from the current tables.
void WriteInitDat(TDatFile* fp);

// New-game values on top of a reset world: three countries with capitals, commanders leading
// fleets, a few planets with income and supply, docks, technology costs.
void SetUpNewGameTables();

// A map: obstacles (chip 20 + n) on a diagonal band, open chips elsewhere varying with the cell.
void FillSampleChips(TQvMap& map, int salt);

// Every world table and the map chips, as bytes.
std::string WorldBytes();

// A game file's bytes through the game's own path mapping ("<absent>" when it cannot be read).
std::string ReadGameFile(const std::string& gamePath);
// Writes a game file, making its folder; false when it cannot.
bool WriteGameFile(const std::string& gamePath, const std::string& bytes);

// A game installed in a fake system: the program at C:\vdmq, the data-file locator and a map
// model installed, the world reset and filled with the new-game tables (SetUpNewGameTables).
// A test adds to the tables, writes the data files (WriteInit, WriteMap) and calls ResetWorld
// before it starts a game. Set-up failures throw std::runtime_error.
class TGameFiles {
 public:
  static constexpr const char* kInit = ".\\dat\\INIT.DAT";
  static constexpr const char* kMap0 = ".\\dat\\MAP00.DAT";
  static constexpr const char* kMap1 = ".\\dat\\MAP01.DAT";

  TGameFiles();
  ~TGameFiles();
  TGameFiles(const TGameFiles&) = delete;
  TGameFiles& operator=(const TGameFiles&) = delete;

  // INIT.DAT from the world tables as they stand.
  void WriteInit();
  // A map file from the planets' cells and the map's chips as they stand.
  void WriteMap(const char* gamePath);
  // An empty map and a reset world (what the program holds before a game starts).
  void ResetWorld();

  TFakeSysServices sys;
  TFileManager files;
  TQvMap map;
};

}  // namespace vdmq::test
