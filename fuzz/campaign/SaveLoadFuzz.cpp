// Feeds arbitrary bytes to a whole-game load as a saved game, a scenario map or the new-game data
// (the first byte chooses which). A load either succeeds or leaves every world table and the map
// chips exactly as they were; reading a slot's head never throws and never changes the world.
// Anything else (a crash, an overrun, a half-loaded world) is a fault.

#include <sys/stat.h>

#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "campaign/File_manager.h"
#include "campaign/GameSave.h"
#include "campaign/Qvmap.h"
#include "platform/base/GameError.h"
#include "platform/sys/PathMapper.h"
#include "platform/sys/Services.h"
#include "tests/campaign/SaveFileSupport.h"
#include "tests/campaign/WorldSupport.h"

namespace {

using namespace vdmq;

const char kInit[] = ".\\dat\\INIT.DAT";
const char kMap0[] = ".\\dat\\MAP00.DAT";
const char kSlot0[] = ".\\save\\SAVE00.DAT";

std::string ReadGameFile(const std::string& path) {
  std::ifstream in(NativePath(path), std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

void WriteGameFile(const std::string& path, const std::string& bytes) {
  MakeGameFileFolder(path);
  std::FILE* f = OpenGameFile(path, "wb");
  if (f == nullptr) std::abort();
  std::fwrite(bytes.data(), 1, bytes.size(), f);
  std::fclose(f);
}

// The input of the current run, opened instead of the file it stands for.
const std::uint8_t* g_data = nullptr;
std::size_t g_size = 0;
std::string g_target;

void Check(bool ok) {
  if (!ok) {
    std::fprintf(stderr, "the world changed on a failed load\n");
    std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  // Seed folders named on the command line (resolved before the current folder changes).
  std::vector<std::string> corpora;
  for (int i = 1; i < *argc; ++i) {
    const char* a = (*argv)[i];
    struct stat st;
    char full[PATH_MAX];
    if (a[0] != '-' && stat(a, &st) == 0 && S_ISDIR(st.st_mode) && realpath(a, full)) corpora.push_back(full);
  }

  static TFakeSysServices* sys = new TFakeSysServices();  // lives for the whole run
  sys->WriteFile("C:\\vdmq\\vdm_q_t.exe", "");
  static TFileManager files;
  files.Init();
  FileManager = &files;
  QvMap = new TQvMap();
  QvMap->ClearMap();
  test::ResetWorld();
  test::SetUpNewGameTables();
  {
    MakeGameFileFolder(kInit);
    std::FILE* f = OpenGameFile(kInit, "wb");
    TDatFile fp(f);
    test::WriteInitDat(&fp);
    fp.Close();
    std::fclose(f);
  }
  for (int p = 0; p < 4; ++p) SetPlanetXY(p, 5 + 10 * p, 7 + p);
  test::FillSampleChips(*QvMap, 0);
  SaveLoadMapFile(kSaveModeWrite, kMap0);
  if (!SaveLoadGame(kSaveModeNew, -1) || !SaveLoadGame(kSaveModeWrite, 0)) std::abort();

  const std::string seeds[] = {std::string(1, '\0') + ReadGameFile(kSlot0), std::string(1, '\1') + ReadGameFile(kMap0),
                               std::string(1, '\2') + ReadGameFile(kInit)};
  for (const std::string& dir : corpora) {
    for (int i = 0; i < 3; ++i) {
      std::ofstream out(dir + "/seed_" + std::to_string(i), std::ios::binary);
      out.write(seeds[i].data(), static_cast<std::streamsize>(seeds[i].size()));
    }
  }

  // The chosen file reads the fuzz input; every other file is real.
  SetGameFileOpener([](const std::string& path, const char* mode) -> std::FILE* {
    if (path == g_target && mode[0] == 'r') {
      if (g_size == 0) return std::tmpfile();
      return fmemopen(const_cast<std::uint8_t*>(g_data), g_size, "rb");
    }
    return FOpen(path, mode);
  });
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace vdmq;
  if (size == 0) return 0;
  const int kind = data[0] % 3;
  g_data = data + 1;
  g_size = size - 1;
  g_target = kind == 0 ? kSlot0 : kind == 1 ? kMap0 : kInit;

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
