#pragma once
// The data-file locator: turns a file kind (and a running number) into a path below the program's
// folder, or into an entry name of the picture archive BMP.PAK; movies fall back to a game disc,
// asking the player for the right disc. It also makes the program's folder the current folder at
// start and looks once for a game disc in the CD-ROM drives.
//
// Paths are the game's own texts (".\save\SAVE03.DAT", "D:\VDM_Q\inter\INT_T05.str"). Every file
// the campaign opens goes through OpenGameFile, which maps such a text to a native path, so no file
// is ever named with backslashes on this system.

#include <cstdio>
#include <string>

#include "campaign/FileKinds.h"

namespace vdmq {

// One {kind, pattern} pair of a name table; a table ends with kind -1.
struct TFileNameEntry {
  int kind;
  const char* pattern;
};

class TFileManager {
 public:
  static constexpr int kStateNotSearched = 0;
  static constexpr int kStateDiscFound = 1;
  static constexpr int kStateNoDisc = 254;
  static constexpr int kDiscRootSize = 12;

  TFileManager();
  virtual ~TFileManager() = default;

  // Makes the program's folder current, then SearchCdDrive; always true.
  bool Init();
  void Term() {}
  // Looks for a game disc marker ("%sVDM_Q.ID%d", disc 1 then 2) in the root of each CD-ROM drive;
  // state 1 with the disc root at the first marker, 254 when none. Always true.
  bool SearchCdDrive();

  static std::string GetBaseDir() { return ".\\"; }
  // The disc root followed by "VDM_Q\".
  std::string GetCdDir() const;
  // The table's pattern for the kind (formatted with the number unless it is -1); "" when the kind
  // is not in the table. table null: "".
  static std::string FindName(const TFileNameEntry* table, int kind, int number);
  // Path (or bare archive entry name) of a file kind and number. An unknown kind throws
  // "例外　ファイルが見当たらない"; movies look on the disc and prompt for it (see the .cpp).
  std::string GetFileNameNum(int kind, int number);
  std::string GetFileName(int kind) { return GetFileNameNum(kind, -1); }

  // Read directly by the music player to address the CD-audio drive.
  int State() const { return state_; }
  const char* DiscRoot() const { return discRoot_; }

  // The six name tables, searched in this order: the kinds of FileKinds.h by their folder.
  static const TFileNameEntry* const kSoundTable;
  static const TFileNameEntry* const kPackTable;
  static const TFileNameEntry* const kDataTable;
  static const TFileNameEntry* const kSaveTable;
  static const TFileNameEntry* const kHelpTable;
  static const TFileNameEntry* const kMovieTable;

 private:
  int state_ = kStateNotSearched;
  char discRoot_[kDiscRootSize] = {};
};

// The program's one locator (created by the program's entry; null before).
extern TFileManager* FileManager;
// The installed locator, or a lazily made one that has not searched for a disc (tests, tools).
TFileManager& GetFileManager();

// --- files named by game paths ---

// The campaign's file operations, on native paths (a game path is mapped once by the caller). The
// real ones call the system; a test installs its own to watch them or to make any of them fail.
class TGameFileSystem {
 public:
  virtual ~TGameFileSystem() = default;
  // fopen of the path; null when it cannot be opened.
  virtual std::FILE* Open(const std::string& path, const char* mode);
  // Moves a file over another in the same folder.
  virtual bool Rename(const std::string& from, const std::string& to);
  virtual bool Remove(const std::string& path);
  // Creates the folder when it is missing; true when it exists afterwards.
  virtual bool MakeFolder(const std::string& folder);
  // Writes an open (flushed) file's data through to the disc.
  virtual bool SyncFile(std::FILE* file);
  // Writes the folder's entries through to the disc, so that a rename in it survives a power loss.
  // A file system that cannot sync folders counts as done.
  virtual bool SyncFolder(const std::string& folder);
};
// The installed file operations; nullptr restores the real ones. The caller keeps ownership.
TGameFileSystem& GameFileSystem();
void SetGameFileSystem(TGameFileSystem* files);
// The folder of a native path ("." for a bare name).
std::string NativeFolder(const std::string& path);

// The one way the campaign opens a file named by a game path (null when it cannot be mapped or
// opened).
std::FILE* OpenGameFile(const std::string& gamePath, const char* mode);
// Renames a file over another (both game paths, same folder); false on failure.
bool RenameGameFile(const std::string& from, const std::string& to);
// Removes a file; false when it could not be removed.
bool RemoveGameFile(const std::string& gamePath);
// Creates the folder of a file's game path when it is missing; false when it does not exist after.
bool MakeGameFileFolder(const std::string& gamePath);

}  // namespace vdmq
