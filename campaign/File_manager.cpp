#include "campaign/File_manager.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "campaign/GameHost.h"
#include "platform/base/Format.h"
#include "platform/base/GameError.h"
#include "platform/base/Sjis.h"
#include "platform/sys/Drives.h"
#include "platform/sys/Files.h"
#include "platform/sys/PathMapper.h"
#include "platform/sys/Process.h"
#include "platform/sys/Services.h"

namespace vdmq {

const TFileNameEntry TFileManager::kSoundTable[] = {
    {4, "SE_%02d.WAV"}, {5, "ERI_%03d.WAV"}, {6, "PET_%03d.WAV"}, {-1, nullptr}};

const TFileNameEntry TFileManager::kPackTable[] = {
    {8, "BG_MAIN.BMP"},      {9, "BG_BUILD.BMP"},    {10, "BG_BUILD_0.BMP"},  {11, "BG_EVENT.BMP"},
    {12, "BG_EV%02d.BMP"},   {13, "BG_CMDSEL.BMP"},  {14, "BG_CMDSEL_0.BMP"}, {15, "BG_DOCK.BMP"},
    {16, "BG_PL_SEL.BMP"},   {17, "BG_FLEET.BMP"},   {18, "BG_FLEET_0.BMP"},  {19, "BG_FLSEL.BMP"},
    {20, "BG_SAVE.BMP"},     {21, "BG_PARTS.BMP"},   {22, "BG_TEC.BMP"},      {23, "BG_BTMAIN.BMP"},
    {24, "BG_BTMAIN_0.BMP"}, {25, "BG_SYSMES.BMP"},  {26, "BG_CMDIF.BMP"},    {27, "BG_DENTAKU.BMP"},
    {28, "BG_PLANET.BMP"},   {29, "BG_SYSTEM.BMP"},  {30, "BG_MAIN_R.BMP"},   {31, "BG_MAIN_L.BMP"},
    {32, "BG_MAIN_M.BMP"},   {33, "BG_MAIN_0.BMP"},  {34, "QV_MAP%d.BMP"},    {35, "QV_PLA.BMP"},
    {36, "QV_SHIP.BMP"},     {37, "QV_MK.BMP"},      {38, "SH_%02d.BMP"},     {39, "SH_S%02d.BMP"},
    {40, "GEN_%02d.BMP"},    {41, "GEN_D%02d.BMP"},  {42, "COM_%02d.BMP"},    {43, "COM_S%02d.BMP"},
    {46, "BG_%02d.BMP"},     {47, "BTBG_%02d.BMP"},  {48, "BT_MAP.BMP"},      {49, "BTSH_%02d.BMP"},
    {50, "BTMS_%02d.BMP"},   {51, "BTEFC_%02d.BMP"}, {52, "BTEXP_%02d.BMP"},  {53, "BTADD_%02d.BMP"},
    {54, "BTSD_%02d.BMP"},   {55, "BT_MK.BMP"},      {57, "BG_EV_NX.BMP"},    {-1, nullptr}};

const TFileNameEntry TFileManager::kDataTable[] = {
    {kFileKindPack, "BMP.PAK"}, {kFileKindMap, "MAP%02d.DAT"}, {kFileKindInit, "INIT.DAT"}, {-1, nullptr}};

const TFileNameEntry TFileManager::kSaveTable[] = {{kFileKindSave, "SAVE%02d.DAT"}, {-1, nullptr}};

const TFileNameEntry TFileManager::kHelpTable[] = {{kFileKindHelp, "q_help.hlp"}, {-1, nullptr}};

const TFileNameEntry TFileManager::kMovieTable[] = {{kFileKindMovie, "INT_T%02d.str"}, {-1, nullptr}};

TFileManager* FileManager = nullptr;

TFileManager& GetFileManager() {
  if (FileManager != nullptr) return *FileManager;
  static TFileManager fallback;
  return fallback;
}

namespace {

std::string MarkerPath(const char* root, int disc) { return Format("%sVDM_Q.ID%d", root, disc); }

bool FileIsExist(const std::string& gamePath) { return Sys().files->FileIsExist(gamePath); }

// True when the file opens for reading (it is closed again).
bool CanOpen(const std::string& gamePath) {
  std::FILE* f = OpenGameFile(gamePath, "rb");
  if (f == nullptr) return false;
  std::fclose(f);
  return true;
}

}  // namespace

TFileManager::TFileManager() = default;

bool TFileManager::Init() {
  Sys().process->MakeProgramFolderCurrent();
  return SearchCdDrive();
}

bool TFileManager::SearchCdDrive() {
  state_ = kStateNotSearched;
  discRoot_[0] = '\0';

  std::vector<char> buffer(512);
  unsigned n = GetLogicalDriveStrings(static_cast<unsigned>(buffer.size()), buffer.data());
  if (n > buffer.size()) {
    // Too small: n is the size needed.
    buffer.assign(n, '\0');
    n = GetLogicalDriveStrings(static_cast<unsigned>(buffer.size()), buffer.data());
    if (n >= buffer.size()) n = 0;  // the list grew meanwhile: search nothing
  }
  for (std::size_t i = 0; i < n && state_ == kStateNotSearched;) {
    const std::string root(buffer.data() + i, strnlen(buffer.data() + i, n - i));
    i += root.size() + 1;
    if (root.empty() || GetDriveType(root) != dtCdRom) continue;
    for (int disc = 1; disc <= 2; ++disc) {
      if (FileIsExist(MarkerPath(root.c_str(), disc))) {
        std::snprintf(discRoot_, sizeof discRoot_, "%s", root.c_str());
        state_ = kStateDiscFound;
        break;
      }
    }
  }
  if (state_ != kStateDiscFound) state_ = kStateNoDisc;
  return true;
}

std::string TFileManager::GetCdDir() const { return std::string(discRoot_) + "VDM_Q\\"; }

std::string TFileManager::FindName(const TFileNameEntry* table, int kind, int number) {
  if (table == nullptr) return {};
  for (const TFileNameEntry* e = table; e->kind != -1; ++e) {
    if (e->kind != kind) continue;
    if (number == -1) return e->pattern;
    return Format(e->pattern, number);
  }
  return {};
}

std::string TFileManager::GetFileNameNum(int kind, int number) {
  struct Folder {
    const TFileNameEntry* table;
    const char* folder;  // null: the archive's bare entry name
  };
  static const Folder folders[] = {{kSoundTable, "snd\\"}, {kPackTable, nullptr}, {kDataTable, "dat\\"},
                                   {kSaveTable, "save\\"}, {kHelpTable, ""},      {kMovieTable, "inter\\"}};
  for (const Folder& f : folders) {
    const std::string name = FindName(f.table, kind, number);
    if (name.empty()) continue;
    if (f.folder == nullptr) return name;
    const std::string relative = std::string(f.folder) + name;
    const std::string path = GetBaseDir() + relative;
    if (f.table != kMovieTable) return path;

    // Movies: the program's folder, then the disc found at start, then ask for the right disc.
    if (CanOpen(path)) return path;
    if (CanOpen(GetCdDir() + relative)) return GetCdDir() + relative;
    const int disc = number >= 5 ? 2 : 1;
    for (;;) {
      // Once the right disc's marker is there, the disc path is the answer; a movie missing even
      // there is the movie player's to report (asking again would never end).
      if (FileIsExist(MarkerPath(discRoot_, disc))) return GetCdDir() + relative;
      const std::string text = Format(SJS("%d枚めのＣＤ－ＲＯＭを\n挿入してください。").c_str(), disc);
      if (GameHost().PlatformMessageBox(text, SJS("CD-ROMの交換")) == 1) continue;
      if (GameHost().ConfirmGameEnd()) {
        GameHost().CloseMainWindow();
        ThrowGameError("CD CHANGE CANSEL");
      }
    }
  }
  ThrowGameError(SJS("例外　ファイルが見当たらない"));
}

// ---------------------------------------------------------------------------------------------
// Files named by game paths

std::FILE* TGameFileSystem::Open(const std::string& path, const char* mode) {
  return path.empty() || mode == nullptr ? nullptr : std::fopen(path.c_str(), mode);
}

bool TGameFileSystem::Rename(const std::string& from, const std::string& to) {
  return !from.empty() && !to.empty() && std::rename(from.c_str(), to.c_str()) == 0;
}

bool TGameFileSystem::Remove(const std::string& path) { return !path.empty() && std::remove(path.c_str()) == 0; }

bool TGameFileSystem::MakeFolder(const std::string& folder) {
  if (folder.empty()) return false;
  struct stat st;
  if (stat(folder.c_str(), &st) != 0) mkdir(folder.c_str(), 0777);
  return stat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool TGameFileSystem::SyncFile(std::FILE* file) {
  const int fd = file != nullptr ? fileno(file) : -1;
  return fd >= 0 && fsync(fd) == 0;
}

bool TGameFileSystem::SyncFolder(const std::string& folder) {
  const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return false;
  const bool ok = fsync(fd) == 0 || errno == EINVAL || errno == ENOTSUP;
  close(fd);
  return ok;
}

namespace {
TGameFileSystem g_realFiles;
TGameFileSystem* g_files = &g_realFiles;
}  // namespace

TGameFileSystem& GameFileSystem() { return *g_files; }
void SetGameFileSystem(TGameFileSystem* files) { g_files = files != nullptr ? files : &g_realFiles; }

std::string NativeFolder(const std::string& path) {
  const std::size_t last = path.rfind('/');
  if (last == std::string::npos) return ".";
  return last == 0 ? "/" : path.substr(0, last);
}

std::FILE* OpenGameFile(const std::string& gamePath, const char* mode) {
  if (mode == nullptr || gamePath.empty()) return nullptr;
  const std::string native = NativePath(gamePath);
  return native.empty() ? nullptr : GameFileSystem().Open(native, mode);
}

bool RenameGameFile(const std::string& from, const std::string& to) {
  return GameFileSystem().Rename(NativePath(from), NativePath(to));
}

bool RemoveGameFile(const std::string& gamePath) { return GameFileSystem().Remove(NativePath(gamePath)); }

bool MakeGameFileFolder(const std::string& gamePath) {
  const std::string native = NativePath(gamePath);
  return !native.empty() && GameFileSystem().MakeFolder(NativeFolder(native));
}

}  // namespace vdmq
