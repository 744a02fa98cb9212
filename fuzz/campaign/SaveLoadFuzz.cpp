// Feeds arbitrary bytes to a whole-game load as a saved game, a scenario map or the new-game data
// (the first byte chooses which). A load either succeeds or leaves every world table and the map
// chips exactly as they were; reading a slot's head never throws and never changes the world.
// Anything else (a crash, an overrun, a half-loaded world) is a fault.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "campaign/File_manager.h"
#include "campaign/GameSave.h"
#include "campaign/Qvmap.h"
#include "platform/base/GameError.h"
#include "platform/sys/PathMapper.h"
#include "platform/sys/Services.h"
#include "support/GameFiles.h"
#include "support/World.h"

namespace {

using namespace vdmq;

const char* const kInit = test::TGameFiles::kInit;
const char* const kMap0 = test::TGameFiles::kMap0;
const char kSlot0[] = ".\\save\\SAVE00.DAT";

// The input of the current run, opened instead of the file it stands for (a native path).
const std::uint8_t* g_data = nullptr;
std::size_t g_size = 0;
std::string g_target;

class TFuzzFiles : public TGameFileSystem {
 public:
  std::FILE* Open(const std::string& path, const char* mode) override {
    if (path == g_target && mode[0] == 'r') {
      if (g_size == 0) return std::tmpfile();
      return fmemopen(const_cast<std::uint8_t*>(g_data), g_size, "rb");
    }
    return TGameFileSystem::Open(path, mode);
  }
};

void Check(bool ok) {
  if (!ok) {
    std::fprintf(stderr, "the world changed on a failed load\n");
    std::abort();
  }
}

}  // namespace

// The seeds (a save, a map, new-game data of the generated data set) are in fuzz/seeds.
extern "C" int LLVMFuzzerInitialize(int* /*argc*/, char*** /*argv*/) {
  static test::TGameFiles* game = new test::TGameFiles();  // lives for the whole run
  game->WriteInit();
  for (int p = 0; p < 4; ++p) SetPlanetXY(p, 5 + 10 * p, 7 + p);
  test::FillSampleChips(game->map, 0);
  game->WriteMap(kMap0);
  if (!SaveLoadGame(kSaveModeNew, -1) || !SaveLoadGame(kSaveModeWrite, 0)) std::abort();

  // The chosen file reads the fuzz input; every other file is real.
  static TFuzzFiles fuzzFiles;
  SetGameFileSystem(&fuzzFiles);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace vdmq;
  if (size == 0) return 0;
  const int kind = data[0] % 3;
  g_data = data + 1;
  g_size = size - 1;
  g_target = NativePath(kind == 0 ? kSlot0 : kind == 1 ? kMap0 : kInit);

  const std::string before = test::WorldBytes();
  if (kind == 0) {
    TSaveInfo info;
    GetSaveInfo(0, &info);
    Check(test::WorldBytes() == before);
    if (!SaveLoadGame(kSaveModeLoad, 0)) Check(test::WorldBytes() == before);
  } else {
    if (kind == 1) {
      bool ok = false;
      try {
        ok = SaveLoadMapFile(kSaveModeLoad, kMap0);
      } catch (const EGameError&) {
      }
      if (!ok) Check(test::WorldBytes() == before);
    }
    const std::string mid = test::WorldBytes();
    if (!SaveLoadGame(kSaveModeNew, -1)) Check(test::WorldBytes() == mid);
  }
  g_target.clear();
  return 0;
}
