#include "campaign/GameSave.h"

#include <dirent.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <exception>
#include <limits>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "campaign/Character.h"
#include "campaign/Cmd.h"
#include "campaign/Country.h"
#include "campaign/Dock.h"
#include "campaign/File_manager.h"
#include "campaign/Fleet.h"
#include "campaign/GameHost.h"
#include "campaign/Parts.h"
#include "campaign/Planet.h"
#include "campaign/Qvmap.h"
#include "campaign/Save.h"
#include "campaign/Story.h"
#include "campaign/Tec.h"
#include "platform/base/Sjis.h"
#include "platform/sys/Files.h"
#include "platform/sys/PathMapper.h"
#include "platform/sys/Services.h"

namespace vdmq {

std::string SaveFailedText() { return SJS("セーブできませんでした。"); }
std::string LoadFailedText() { return SJS("ロードできませんでした。"); }
std::string NewGameFailedText() { return SJS("新規ゲームのデータを読み込めませんでした。"); }

namespace {

constexpr int kVoiceSaved = 9;
constexpr int kVoiceLoaded = 11;

// One unit's share of the world: its save/load routine and the tables it fills.
struct TWorldTable {
  void* data;
  std::size_t size;
};
struct TWorldUnit {
  void (*saveLoad)(TDatFile* fp, int mode);
  std::array<TWorldTable, 4> tables;  // unused entries are empty
};

// The world, unit by unit in the order of the save pass: the one list that the pass and the
// snapshot of a load both follow. The story unit also holds the game-over flag and the event
// selection, which no file holds but a failed load must put back.
const TWorldUnit kWorldUnits[] = {
    {SaveLoadStory,
     {{{&StoryData, sizeof StoryData}, {&GameOverFlag, sizeof GameOverFlag}, {&EventSelect, sizeof EventSelect}}}},
    {SaveLoadCharacter, {{{EventCharacterData, sizeof EventCharacterData}}}},
    {SaveLoadTec, {{{TecData, sizeof TecData}}}},
    {SaveLoadCountry, {{{CountryData, sizeof CountryData}}}},
    {SaveLoadCountryRelation, {{{CountryRelation, sizeof CountryRelation}}}},
    {SaveLoadPlanet, {{{PlanetData, sizeof PlanetData}}}},
    {SaveLoadCmd, {{{CmdData, sizeof CmdData}}}},
    {SaveLoadFleet, {{{FleetData, sizeof FleetData}}}},
    {SaveLoadDock, {{{DockData, sizeof DockData}}}},
    {SaveLoadParts,
     {{{FrameData, sizeof FrameData},
       {WeaponData, sizeof WeaponData},
       {EngineData, sizeof EngineData},
       {ShieldData, sizeof ShieldData}}}},
};

// Every world table and the map chips, copied before a load and put back when it fails.
class TWorldSnapshot {
 public:
  void Take() {
    bytes_.clear();
    for (const TWorldUnit& unit : kWorldUnits) {
      for (const TWorldTable& t : unit.tables) {
        const auto* p = static_cast<const unsigned char*>(t.data);
        bytes_.insert(bytes_.end(), p, p + t.size);
      }
    }
    hasMap_ = QvMap != nullptr;
    if (hasMap_) QvMap->GetChips(&chips_);
  }

  void Restore() const {
    std::size_t at = 0;
    for (const TWorldUnit& unit : kWorldUnits) {
      for (const TWorldTable& t : unit.tables) {
        if (t.size > 0) std::memcpy(t.data, bytes_.data() + at, t.size);
        at += t.size;
      }
    }
    MakeFleetRootTablePtr();
    if (hasMap_ && QvMap != nullptr) QvMap->SetChips(chips_);
  }

 private:
  std::vector<unsigned char> bytes_;
  bool hasMap_ = false;
  TQvMap::TChips chips_;
};

// An fopen'ed stream closed when it goes out of scope (unless taken).
class TFileCloser {
 public:
  explicit TFileCloser(std::FILE* f) : f_(f) {}
  ~TFileCloser() {
    if (f_ != nullptr) std::fclose(f_);
  }
  TFileCloser(const TFileCloser&) = delete;
  TFileCloser& operator=(const TFileCloser&) = delete;
  std::FILE* get() const { return f_; }
  // Closes now; false when the close failed (buffered bytes not written).
  bool Close() {
    std::FILE* f = f_;
    f_ = nullptr;
    return f == nullptr || std::fclose(f) == 0;
  }

 private:
  std::FILE* f_;
};

// Writes a file through a temporary file beside it, every step on the one native path: the callback
// writes the blocks; the stream is flushed, synced and closed, then renamed over the target; then
// the folder is synced, so that a power loss right after the save cannot undo the rename. The
// temporary name carries the process number, so two programs saving into one folder never write
// into each other's temporary file. On a failure before the rename the temporary file is removed
// and the target is left as it was; a failed folder sync after it answers false as well (the
// target then holds the new file, which may not survive a power loss).
template <class Write>
bool WriteReplacing(const std::string& native, Write&& write) {
  TGameFileSystem& fs = GameFileSystem();
  const std::string temp = native + "." + std::to_string(getpid()) + ".tmp";
  TFileCloser file(fs.Open(temp, "wb"));
  if (file.get() == nullptr) return false;
  bool ok = false;
  {
    TDatFile fp(file.get());
    try {
      write(fp);
      ok = !fp.HasError();
    } catch (const std::exception&) {
      ok = false;
    }
  }
  if (ok) ok = std::fflush(file.get()) == 0 && std::ferror(file.get()) == 0 && fs.SyncFile(file.get());
  if (!file.Close()) ok = false;
  if (ok) ok = fs.Rename(temp, native);
  if (!ok) {
    fs.Remove(temp);
    return false;
  }
  return fs.SyncFolder(NativeFolder(native));
}

enum class EMapResult { NotOpened, Done, Failed };

// The map file transfer. Reading restores the chips and the planet table when the file is damaged
// (and rethrows the keyed file's errors after the restore).
EMapResult TransferMapFile(int mode, const std::string& path) {
  if (QvMap == nullptr) return EMapResult::NotOpened;
  if (mode == kSaveModeWrite) {
    const std::string native = NativePath(path);
    const bool ok =
        !native.empty() && WriteReplacing(native, [](TDatFile& fp) { QvMap->SaveLoadMap(&fp, kSaveModeWrite); });
    return ok ? EMapResult::Done : EMapResult::Failed;
  }
  TFileCloser file(OpenGameFile(path, "rb"));
  if (file.get() == nullptr) return EMapResult::NotOpened;
  TQvMap::TChips chips;
  QvMap->GetChips(&chips);
  auto planets = std::make_unique<TPlanetData[]>(kPlanetCount);
  std::memcpy(planets.get(), PlanetData, sizeof PlanetData);
  auto restore = [&] {
    QvMap->SetChips(chips);
    std::memcpy(PlanetData, planets.get(), sizeof PlanetData);
  };
  TDatFile fp(file.get());
  try {
    QvMap->SaveLoadMap(&fp, mode);
  } catch (...) {
    restore();
    throw;
  }
  if (fp.HasError()) {
    restore();
    return EMapResult::Failed;
  }
  return EMapResult::Done;
}

// One pass of every unit's routine over an open file in one mode. Throws the keyed file's errors;
// false when a transfer came up short (or the map named by the story is damaged).
bool RunPass(TDatFile& fp, int mode, bool withMap) {
  for (const TWorldUnit& unit : kWorldUnits) {
    unit.saveLoad(&fp, mode);
    // A read pass reads the map that the story names right after the story (the first unit).
    if (&unit == &kWorldUnits[0] && mode != kSaveModeWrite && withMap) {
      const std::string map = GetFileManager().GetFileNameNum(kFileKindMap, GetStoryLoadMap());
      if (TransferMapFile(mode, map) == EMapResult::Failed) return false;
    }
  }
  return !fp.HasError();
}

// A read pass that cannot leave a half-read world: false (and the world unchanged) on any error.
bool ReadPass(std::FILE* stream, int mode, bool withMap) {
  TDatFile fp(stream);
  try {
    return RunPass(fp, mode, withMap);
  } catch (const std::exception&) {
    return false;
  }
}

void Notice(const std::string& text) { GameHost().SysMes(text, SJS("確認"), 0); }

// True while a process of that number exists (another user's included; a finished one not yet
// waited for counts as running).
bool ProcessRuns(pid_t pid) { return pid == getpid() || kill(pid, 0) == 0 || errno == EPERM; }

// The process number in the name of a save's temporary file ("SAVE03.DAT.<pid>.tmp", the slot's
// name in any letter case, as WriteReplacing names it); 0 for every other name.
pid_t TempFileProcess(std::string_view name, const std::vector<std::string>& slotFiles) {
  constexpr std::string_view kSuffix = ".tmp";
  if (name.size() <= kSuffix.size() || !name.ends_with(kSuffix)) return 0;
  name.remove_suffix(kSuffix.size());
  const size_t dot = name.rfind('.');
  if (dot == std::string_view::npos) return 0;
  const std::string_view digits = name.substr(dot + 1);
  const std::string_view slotName = name.substr(0, dot);
  // Written by std::to_string: no sign, no leading zero.
  if (digits.empty() || digits.size() > 10 || digits[0] == '0') return 0;
  long long pid = 0;
  for (char c : digits) {
    if (c < '0' || c > '9') return 0;
    pid = pid * 10 + (c - '0');
  }
  if (pid > std::numeric_limits<pid_t>::max()) return 0;
  for (const std::string& slotFile : slotFiles)
    if (SjisEqualNoCase(slotName, slotFile)) return static_cast<pid_t>(pid);
  return 0;
}

// Removes from the save folder the temporary files that saves of programs no longer running left
// behind (killed before their rename): regular files named like WriteReplacing's for a slot, with
// the number of a process that does not exist. A running copy's file and every other entry stay.
void RemoveStaleTempFiles(const std::string& folder) {
  std::vector<std::string> slotFiles;
  for (int slot = 0; slot < kSaveSlotCount; ++slot) {
    const std::string path = GetFileManager().GetFileNameNum(kFileKindSave, slot);
    slotFiles.push_back(path.substr(path.find_last_of("\\/") + 1));
  }
  std::vector<std::string> stale;
  if (DIR* dir = opendir(folder.c_str())) {
    while (const dirent* e = readdir(dir)) {
      const pid_t pid = TempFileProcess(e->d_name, slotFiles);
      if (pid <= 0 || ProcessRuns(pid)) continue;
      const std::string path = folder + "/" + e->d_name;
      struct stat st;
      if (lstat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode)) stale.push_back(path);
    }
    closedir(dir);
  }
  for (const std::string& path : stale) GameFileSystem().Remove(path);
}

// The slot's game path is mapped once; folder, temporary file, rename and sync all work on it.
bool SaveGame(const std::string& slotPath) {
  TGameHost& host = GameHost();
  const std::string native = NativePath(slotPath);
  host.SetWaitCursor(true);
  // A fresh install has no save folder yet.
  bool ok = !native.empty() && GameFileSystem().MakeFolder(NativeFolder(native));
  if (ok) RemoveStaleTempFiles(NativeFolder(native));
  if (ok) ok = WriteReplacing(native, [](TDatFile& fp) { RunPass(fp, kSaveModeWrite, false); });
  host.SetWaitCursor(false);
  if (!ok) {
    Notice(SaveFailedText());
    return false;
  }
  host.PlayWave(GetFukukanVoice(), kVoiceSaved, false);
  host.SysMes(SJS("セーブしました。"), SJS("確認"), 0);
  return true;
}

// A load (mode 1, the slot's game path) or a new game (mode 2, no slot path).
bool LoadGame(int mode, const std::string& slotPath) {
  TGameHost& host = GameHost();
  // A slot that does not open leaves the current game as it is.
  TFileCloser save(mode == kSaveModeLoad ? OpenGameFile(slotPath, "rb") : nullptr);
  if (mode == kSaveModeLoad && save.get() == nullptr) return false;
  TFileCloser init(OpenGameFile(GetFileManager().GetFileName(kFileKindInit), "rb"));
  if (init.get() == nullptr) {
    Notice(NewGameFailedText());
    return false;
  }

  TWorldSnapshot snapshot;
  snapshot.Take();
  host.SetWaitCursor(true);
  // A load starts from the new-game state: the constant blocks come from the new-game data.
  bool ok = ReadPass(init.get(), kSaveModeNew, true);
  if (ok) PlaceFleetsAtCapital();
  if (ok && mode == kSaveModeLoad) ok = ReadPass(save.get(), kSaveModeLoad, true);
  host.SetWaitCursor(false);
  save.Close();
  init.Close();
  if (!ok) {
    snapshot.Restore();
    Notice(mode == kSaveModeLoad ? LoadFailedText() : NewGameFailedText());
    return false;
  }
  if (mode == kSaveModeLoad) {
    host.PlayWave(GetFukukanVoice(), kVoiceLoaded, false);
    host.ReloadMapView();
    host.SysMes(SJS("ロードしました。"), SJS("確認"), 0);
  }
  return true;
}

}  // namespace

bool SaveLoadGame(int mode, int slot) {
  switch (mode) {
    case kSaveModeWrite:
    case kSaveModeLoad: {
      if (slot < 0 || slot >= kSaveSlotCount) return false;
      const std::string path = GetFileManager().GetFileNameNum(kFileKindSave, slot);
      return mode == kSaveModeWrite ? SaveGame(path) : LoadGame(mode, path);
    }
    case kSaveModeNew: return LoadGame(mode, std::string());
    default: return false;
  }
}

bool SaveLoadMapFile(int mode, const std::string& path) { return TransferMapFile(mode, path) == EMapResult::Done; }

bool GetSaveInfo(int slot, TSaveInfo* info) {
  if (info == nullptr || slot < 0 || slot >= kSaveSlotCount) return false;
  const std::string path = GetFileManager().GetFileNameNum(kFileKindSave, slot);
  TFileCloser file(OpenGameFile(path, "rb"));
  if (file.get() == nullptr) return false;

  TSaveInfo out{};
  int chapter = 0, year = 0, period = 0;
  bool ok = false;
  {
    TDatFile fp(file.get());
    try {
      ok = ReadSaveHeader(&fp, &chapter, &year, &period) && !fp.HasError();
    } catch (const std::exception&) {
      ok = false;
    }
  }
  // The slot is offered only when the whole save reads: a trial read of every block, undone.
  if (ok && std::fseek(file.get(), 0, SEEK_SET) == 0) {
    TWorldSnapshot snapshot;
    snapshot.Take();
    ok = ReadPass(file.get(), kSaveModeLoad, false);
    snapshot.Restore();
  } else {
    ok = false;
  }
  file.Close();
  if (!ok) return false;

  const std::optional<TFileTime> time = Sys().files->LastWriteTime(path);
  if (!time) return false;
  auto u16 = [](int v) { return static_cast<std::uint16_t>(v < 0 ? 0 : (v > 65535 ? 65535 : v)); };
  out.Chapter = chapter;
  out.Year = year;
  out.Period = period;
  out.FileYear = u16(time->year);
  out.FileMonth = u16(time->month);
  out.FileDay = u16(time->day);
  out.FileHour = u16(time->hour);
  out.FileMinute = u16(time->minute);
  *info = out;
  return true;
}

}  // namespace vdmq
