#pragma once
// The store behind the registry of the current user: a tree of keys holding typed values (32-bit
// integers and code page 932 strings). Key paths are "\"-separated, below the current user's root,
// and compared ignoring the case of ASCII letters; so are value names. The real store is one file per
// user under $XDG_CONFIG_HOME, shared by the game and the setup program and rewritten atomically after
// every change; the fake store keeps the tree in memory.
//
// The platform's "Shell Folders" key is answered by the store itself and cannot be written:
// "Desktop" is the desktop folder of the user's XDG folders and "Programs" the folder of the user's
// application entries, both as game paths ("C:\root\Desktop").

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vdmq {

enum ERegDataType { rdUnknown = 0, rdString = 1, rdInteger = 3 };

struct TRegValue {
  ERegDataType type = rdUnknown;
  std::int32_t integer = 0;
  std::string text;  // code page 932

  static TRegValue Integer(std::int32_t v) { return {rdInteger, v, {}}; }
  static TRegValue String(std::string v) { return {rdString, 0, std::move(v)}; }
  bool operator==(const TRegValue&) const = default;
};

// The key the store answers from the desktop's folders.
inline constexpr std::string_view kShellFoldersKey =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

class TRegistryStore {
 public:
  virtual ~TRegistryStore() = default;
  // Paths are full key paths below the root; leading, trailing and doubled separators are ignored.
  // The empty path is the root itself, which always exists.
  virtual bool KeyExists(std::string_view path) = 0;
  // Creates the key and its missing parents; true when it exists afterwards.
  virtual bool CreateKey(std::string_view path) = 0;
  // Deletes the key with all its subkeys and values; false when it did not exist or cannot go.
  virtual bool DeleteKey(std::string_view path) = 0;
  virtual std::optional<TRegValue> ReadValue(std::string_view path, std::string_view name) = 0;
  // Writes into an existing key; false when the key does not exist or cannot be written.
  virtual bool WriteValue(std::string_view path, std::string_view name, const TRegValue& value) = 0;
  virtual bool DeleteValue(std::string_view path, std::string_view name) = 0;
  // Names of the subkeys of a key (empty when it does not exist).
  virtual std::vector<std::string> SubKeys(std::string_view path) = 0;
};

// One key of the tree. Destroying a key takes its subtree apart level by level, so a deep tree
// never recurses.
struct TRegKey {
  std::string name;
  std::vector<std::pair<std::string, TRegValue>> values;
  std::vector<std::unique_ptr<TRegKey>> subkeys;

  TRegKey() = default;
  TRegKey(TRegKey&&) = default;
  TRegKey& operator=(TRegKey&&) = default;
  ~TRegKey();
};

// A store over an in-memory tree with the "Shell Folders" answers. Subclasses load and save the tree.
class TTreeRegistryStore : public TRegistryStore {
 public:
  bool KeyExists(std::string_view path) override;
  bool CreateKey(std::string_view path) override;
  bool DeleteKey(std::string_view path) override;
  std::optional<TRegValue> ReadValue(std::string_view path, std::string_view name) override;
  bool WriteValue(std::string_view path, std::string_view name, const TRegValue& value) override;
  bool DeleteValue(std::string_view path, std::string_view name) override;
  std::vector<std::string> SubKeys(std::string_view path) override;

  // The tree as the registry file holds it, and back. Parsing never fails: damaged lines (keys
  // deeper than kMaxKeyDepth among them) are skipped. Both take time and memory in proportion to
  // the text: a key line is written only for a key that holds values or no subkeys, as reading the
  // lines of its subkeys makes the others.
  static std::string Serialize(const TRegKey& root);
  static TRegKey Parse(std::string_view text);
  // Splits a key path at its single-byte separators, dropping empty components.
  static std::vector<std::string> SplitPath(std::string_view path);

  // Keys lie at most this many levels below the root: a deeper key line of a file is damaged, and
  // a deeper key cannot be created.
  static constexpr int kMaxKeyDepth = 512;

 protected:
  // Called before every operation (Begin) and after it (End, with changed = the tree was changed).
  // When End answers false for a change, the change is undone and the operation fails.
  virtual void Begin() {}
  virtual bool End(bool /*changed*/) { return true; }
  // The two shell folders as game paths ("Desktop", "Programs").
  virtual std::string ShellFolder(std::string_view name) = 0;

  TRegKey root_;
};

// The per-user registry file. Every operation reads the file (under a lock shared with the other
// program), and every change writes a new file beside it and renames it over the old one.
class TFileRegistryStore : public TTreeRegistryStore {
 public:
  // The default file: $XDG_CONFIG_HOME/vdmq/registry (~/.config when XDG_CONFIG_HOME is unset).
  TFileRegistryStore();
  explicit TFileRegistryStore(std::string filePath);
  const std::string& FilePath() const { return path_; }
  static std::string DefaultFilePath();

 protected:
  void Begin() override;
  bool End(bool changed) override;
  std::string ShellFolder(std::string_view name) override;

 private:
  bool Save();
  std::string path_;
  int lockFd_ = -1;
};

// The in-memory store of tests; the shell folders are whatever the test sets.
class TMemRegistryStore : public TTreeRegistryStore {
 public:
  void SetShellFolder(std::string_view name, std::string gamePath);
  const TRegKey& Root() const { return root_; }
  // Makes the next writes fail (a full disc or a read-only file).
  void SetWritable(bool writable) { writable_ = writable; }

 protected:
  bool End(bool changed) override;
  std::string ShellFolder(std::string_view name) override;

 private:
  std::string desktop_, programs_;
  bool writable_ = true;
};

// The XDG desktop folder and the folder of application entries (native paths).
std::string XdgDesktopFolder();
std::string XdgApplicationsFolder();

}  // namespace vdmq
