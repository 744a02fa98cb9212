#pragma once
// Files and folders named by game paths (mapped through the path mapper): the existence test, the
// last-write time, the temporary folder, free space, folder listings, copies, deletions, folders and
// attributes. Nothing here follows a symbolic link: a link is listed as a file, deleting it deletes
// the link, a link is never copied, and the tree operations never step into a linked folder.
//
// The tree operations walk the native folders through folder descriptors and use each name as the
// file system gives it, never turning it into a game path and back (a native name may hold a "\" or
// read ".." once converted). Nothing outside the tree is read, written or deleted, whatever names,
// links or renames the walk meets.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vdmq {

// File attributes with the window system's bit values.
enum : unsigned {
  faReadOnly = 0x01,
  faDirectory = 0x10,
  faNormal = 0x80,
};

// A local time, as the save slots show it.
struct TFileTime {
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
};

struct TFindEntry {
  std::string name;  // code page 932
  bool isFolder = false;
  bool isLink = false;
};

class TFileService {
 public:
  virtual ~TFileService() = default;
  // True when the path names an existing file that is not a folder (a link to a file counts).
  virtual bool FileIsExist(std::string_view path) = 0;
  // True when the path names a folder itself (a link to a folder does not count).
  virtual bool FolderExists(std::string_view path) = 0;
  // True when the path itself is a symbolic link, whatever it points to (a dangling one included).
  virtual bool IsLink(std::string_view path) = 0;
  // True when the path exists and belongs to the running user (a link: the link's own owner).
  virtual bool IsOwnedByUser(std::string_view path) = 0;
  virtual std::optional<TFileTime> LastWriteTime(std::string_view path) = 0;
  // The temporary folder as a game path ending with "\" (at most 260 bytes).
  virtual std::string TempPath() = 0;
  // Free bytes for this user on the file system that holds the path (or its nearest existing folder).
  virtual std::optional<std::uint64_t> FreeBytes(std::string_view path) = 0;
  // Entries of a folder ("." and ".." left out), sorted by name; nullopt when it cannot be listed.
  // A native name that no game path can name (see GameName) is left out of the list and added to
  // `unlisted` when given.
  virtual std::optional<std::vector<TFindEntry>> FindAll(std::string_view folder,
                                                         std::vector<std::string>* unlisted = nullptr) = 0;
  // Copies a file (never a folder or a link), replacing the target unless failIfExists; the copy
  // keeps the source's permission bits.
  virtual bool CopyFile(std::string_view from, std::string_view to, bool failIfExists) = 0;
  // Deletes a file or a link; folders and read-only files are refused.
  virtual bool DeleteFile(std::string_view path) = 0;
  virtual bool CreateDirectory(std::string_view path) = 0;
  // Removes an empty folder (not a link).
  virtual bool RemoveDirectory(std::string_view path) = 0;
  virtual std::optional<unsigned> GetAttributes(std::string_view path) = 0;
  // faReadOnly set takes the write permission away; faNormal (or no faReadOnly) gives it back to the owner.
  virtual bool SetAttributes(std::string_view path, unsigned attributes) = 0;

  // Copies every file and folder below `from` into `to` (created when missing); answers false when
  // anything failed or was left out (links, special files, the target folder itself when it lies
  // inside `from`, folders nested deeper than kMaxTreeDepth), after doing the rest.
  virtual bool CopyTree(std::string_view from, std::string_view to) = 0;
  // Deletes everything below the folder and the folder itself; false when anything stayed (read-only
  // files and the folders holding them, folders nested deeper than kMaxTreeDepth).
  virtual bool DeleteTree(std::string_view folder) = 0;

  static constexpr int kMaxTreeDepth = 256;
};

// The real files on the mapped native paths.
class TLinuxFileService : public TFileService {
 public:
  bool FileIsExist(std::string_view path) override;
  bool FolderExists(std::string_view path) override;
  bool IsLink(std::string_view path) override;
  bool IsOwnedByUser(std::string_view path) override;
  std::optional<TFileTime> LastWriteTime(std::string_view path) override;
  std::string TempPath() override;
  std::optional<std::uint64_t> FreeBytes(std::string_view path) override;
  std::optional<std::vector<TFindEntry>> FindAll(std::string_view folder,
                                                 std::vector<std::string>* unlisted = nullptr) override;
  bool CopyFile(std::string_view from, std::string_view to, bool failIfExists) override;
  bool DeleteFile(std::string_view path) override;
  bool CreateDirectory(std::string_view path) override;
  bool RemoveDirectory(std::string_view path) override;
  std::optional<unsigned> GetAttributes(std::string_view path) override;
  bool SetAttributes(std::string_view path, unsigned attributes) override;
  bool CopyTree(std::string_view from, std::string_view to) override;
  bool DeleteTree(std::string_view folder) override;

 protected:
  // Called by the tree operations with the native path of each listed entry, just before they act
  // on it (step into it, copy it or delete it).
  virtual void BeforeTreeEntry(const std::string& /*nativePath*/) {}

 private:
  class TTreeWalk;
};

// Real files (inside the fake drive table's folders) with a temporary folder, free space and owners
// set by the test.
class TFakeFileService : public TLinuxFileService {
 public:
  std::string TempPath() override { return tempPath_; }
  std::optional<std::uint64_t> FreeBytes(std::string_view path) override;
  bool IsOwnedByUser(std::string_view path) override;
  void SetTempPath(std::string gamePath) { tempPath_ = std::move(gamePath); }
  // nullopt: answer the real free space.
  void SetFreeBytes(std::optional<std::uint64_t> bytes) { freeBytes_ = bytes; }
  // Makes every free-space query fail (a file system that cannot be asked).
  void SetFreeBytesFailing(bool failing) { freeBytesFail_ = failing; }
  // Marks the path (a game path) as another account's: whatever stands there is not the user's.
  void SetOwnedByOther(std::string_view gamePath);
  // Called with each entry a tree operation is about to act on, so a test can change the tree
  // while it is walked.
  void SetTreeEntryHook(std::function<void(const std::string& nativePath)> hook) { hook_ = std::move(hook); }

 protected:
  void BeforeTreeEntry(const std::string& nativePath) override {
    if (hook_) hook_(nativePath);
  }

 private:
  std::string tempPath_ = "C:\\tmp\\";
  std::optional<std::uint64_t> freeBytes_;
  bool freeBytesFail_ = false;
  std::vector<std::string> foreign_;  // native paths
  std::function<void(const std::string&)> hook_;
};

}  // namespace vdmq
