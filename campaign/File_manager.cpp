#include "campaign/File_manager.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
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

namespace {

// The name table of one folder: its kinds of kFileKinds in their order, ended by kind -1.
template <TFileFolder folder>
constexpr auto NameTable() {
  constexpr std::size_t count = [] {
    std::size_t n = 0;
    for (const TFileKind& k : kFileKinds) n += k.folder == folder ? 1 : 0;
    return n;
  }();
  std::array<TFileNameEntry, count + 1> table{};
  std::size_t i = 0;
  for (const TFileKind& k : kFileKinds) {
    if (k.folder == folder) table[i++] = {k.kind, k.pattern};
  }
  table[count] = {-1, nullptr};
  return table;
}

constexpr bool KindsAreUniqueAndValid() {
  for (std::size_t i = 0; i < std::size(kFileKinds); ++i) {
    if (kFileKinds[i].kind < 0 || kFileKinds[i].pattern == nullptr) return false;
    for (std::size_t j = i + 1; j < std::size(kFileKinds); ++j) {
      if (kFileKinds[i].kind == kFileKinds[j].kind) return false;
    }
  }
  return true;
}
static_assert(KindsAreUniqueAndValid(), "every file kind has one number of its own and a pattern");

constexpr auto kSoundNames = NameTable<TFileFolder::kSound>();
constexpr auto kPackNames = NameTable<TFileFolder::kArchive>();
constexpr auto kDataNames = NameTable<TFileFolder::kData>();
constexpr auto kSaveNames = NameTable<TFileFolder::kSave>();
constexpr auto kHelpNames = NameTable<TFileFolder::kHelp>();
constexpr auto kMovieNames = NameTable<TFileFolder::kMovie>();

}  // namespace

constinit const TFileNameEntry* const TFileManager::kSoundTable = kSoundNames.data();
constinit const TFileNameEntry* const TFileManager::kPackTable = kPackNames.data();
constinit const TFileNameEntry* const TFileManager::kDataTable = kDataNames.data();
constinit const TFileNameEntry* const TFileManager::kSaveTable = kSaveNames.data();
constinit const TFileNameEntry* const TFileManager::kHelpTable = kHelpNames.data();
constinit const TFileNameEntry* const TFileManager::kMovieTable = kMovieNames.data();

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
