#include "platform/sys/RegistryStore.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <unordered_map>

#include "platform/base/Sjis.h"
#include "platform/sys/PathMapper.h"

namespace vdmq {
namespace {

constexpr std::string_view kFileHeader = "; vdmq registry of the current user";
constexpr size_t kMaxFileSize = 16u << 20;  // a larger file is not a registry of ours

// A copy of the tree, made level by level.
std::unique_ptr<TRegKey> Clone(const TRegKey& root) {
  auto copy = std::make_unique<TRegKey>();
  std::vector<std::pair<const TRegKey*, TRegKey*>> pending{{&root, copy.get()}};
  while (!pending.empty()) {
    const auto [from, to] = pending.back();
    pending.pop_back();
    to->name = from->name;
    to->values = from->values;
    for (const auto& s : from->subkeys) {
      to->subkeys.push_back(std::make_unique<TRegKey>());
      pending.emplace_back(s.get(), to->subkeys.back().get());
    }
  }
  return copy;
}

TRegKey* FindChild(TRegKey& k, std::string_view name) {
  for (auto& s : k.subkeys) {
    if (SjisEqualNoCase(s->name, name)) return s.get();
  }
  return nullptr;
}

TRegKey* Find(TRegKey& root, const std::vector<std::string>& parts) {
  TRegKey* k = &root;
  for (const std::string& p : parts) {
    k = FindChild(*k, p);
    if (!k) return nullptr;
  }
  return k;
}

std::pair<std::string, TRegValue>* FindValue(TRegKey& k, std::string_view name) {
  for (auto& v : k.values) {
    if (SjisEqualNoCase(v.first, name)) return &v;
  }
  return nullptr;
}

// The components of a key path, split at its single-byte separators with empty ones dropped; the
// splitting stops after maxParts + 1 components (a path too deep to keep).
std::vector<std::string> SplitKeyPath(std::string_view path, size_t maxParts) {
  std::vector<std::string> parts;
  std::string cur;
  for (size_t i = 0; i < path.size() && parts.size() <= maxParts;) {
    const size_t len = SjisLetterLen(path, i);
    if (len == 1 && path[i] == '\\') {
      if (!cur.empty()) parts.push_back(std::move(cur));
      cur.clear();
    } else {
      cur.append(path.substr(i, len));
    }
    i += len;
  }
  if (!cur.empty()) parts.push_back(std::move(cur));
  return parts;
}

// Key names hold no control characters (they could not stand in the file's key lines).
bool ValidKeyName(std::string_view name) {
  for (char c : name) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) return false;
  }
  return !name.empty();
}

// True when parts names the shell folders key or one of its parents.
bool IsShellFoldersPath(const std::vector<std::string>& parts) {
  const std::vector<std::string> shell = TTreeRegistryStore::SplitPath(kShellFoldersKey);
  if (parts.size() > shell.size()) return false;
  for (size_t i = 0; i < parts.size(); ++i) {
    if (!SjisEqualNoCase(parts[i], shell[i])) return false;
  }
  return true;
}

bool IsShellFoldersKey(const std::vector<std::string>& parts) {
  return parts.size() == TTreeRegistryStore::SplitPath(kShellFoldersKey).size() && IsShellFoldersPath(parts);
}

// Byte-wise escaping for quoted names and strings: \\ \" and \xHH for control bytes.
void AppendQuoted(std::string& out, std::string_view s) {
  static const char hex[] = "0123456789ABCDEF";
  out += '"';
  for (char c : s) {
    const unsigned char u = static_cast<unsigned char>(c);
    if (c == '\\' || c == '"') {
      out += '\\';
      out += c;
    } else if (u < 0x20 || u == 0x7F) {
      out += "\\x";
      out += hex[u >> 4];
      out += hex[u & 15];
    } else {
      out += c;
    }
  }
  out += '"';
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Reads a quoted text starting at s[i] == '"'; advances i past the closing quote.
std::optional<std::string> ReadQuoted(std::string_view s, size_t& i) {
  if (i >= s.size() || s[i] != '"') return std::nullopt;
  std::string out;
  for (++i; i < s.size(); ++i) {
    const char c = s[i];
    if (c == '"') {
      ++i;
      return out;
    }
    if (c != '\\') {
      out += c;
      continue;
    }
    if (++i >= s.size()) return std::nullopt;
    if (s[i] == '\\' || s[i] == '"') {
      out += s[i];
    } else if (s[i] == 'x' && i + 2 < s.size() && HexDigit(s[i + 1]) >= 0 && HexDigit(s[i + 2]) >= 0) {
      out += static_cast<char>(HexDigit(s[i + 1]) * 16 + HexDigit(s[i + 2]));
      i += 2;
    } else {
      return std::nullopt;
    }
  }
  return std::nullopt;
}

void AppendValue(std::string& out, const std::string& name, const TRegValue& value) {
  AppendQuoted(out, name);
  out += '=';
  if (value.type == rdInteger) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "dword:%08x", static_cast<unsigned>(value.integer));
    out += buf;
  } else {
    AppendQuoted(out, value.text);
  }
  out += '\n';
}

// Writes the keys below root depth first, carrying one path that grows and shrinks with the walk.
// A key that holds no values but has subkeys needs no line: the lines of its subkeys make it again,
// in the same order.
void SerializeKeys(std::string& out, const TRegKey& root) {
  struct TStep {
    const TRegKey* key;
    size_t next;      // the subkey to visit next
    size_t pathSize;  // the path's length before this key's name was added
  };
  std::string path;
  std::vector<TStep> stack{{&root, 0, 0}};
  while (!stack.empty()) {
    TStep& top = stack.back();
    if (top.next == top.key->subkeys.size()) {
      path.resize(top.pathSize);
      stack.pop_back();
      continue;
    }
    const TRegKey& k = *top.key->subkeys[top.next++];
    const size_t pathSize = path.size();
    if (!path.empty()) path += '\\';
    path += k.name;
    if (!k.values.empty() || k.subkeys.empty()) {
      out += '[';
      out += path;
      out += "]\n";
      for (const auto& [name, value] : k.values) AppendValue(out, name, value);
    }
    stack.push_back({&k, 0, pathSize});
  }
}

// During parsing: the subkeys and values already read, by parent and folded name, so that a file
// with many keys or values is read in time proportional to its size.
class TParseIndex {
 public:
  TRegKey* Child(TRegKey* parent, std::string_view name) {
    auto [it, added] = children_.try_emplace(Key(parent, name), nullptr);
    if (added) {
      parent->subkeys.push_back(std::make_unique<TRegKey>());
      it->second = parent->subkeys.back().get();
      it->second->name = name;
    }
    return it->second;
  }
  void SetValue(TRegKey* key, std::string name, TRegValue value) {
    auto [it, added] = values_.try_emplace(Key(key, name), key->values.size());
    if (added) {
      key->values.emplace_back(std::move(name), std::move(value));
    } else {
      key->values[it->second].second = std::move(value);
    }
  }

 private:
  // The parent's address and the name with its single-byte ASCII letters in lower case (the
  // second byte of a double-byte letter kept), so that equal keys are names SjisEqualNoCase matches.
  static std::string Key(const TRegKey* parent, std::string_view name) {
    std::string k(reinterpret_cast<const char*>(&parent), sizeof parent);
    for (size_t i = 0; i < name.size();) {
      const size_t len = SjisLetterLen(name, i);
      if (len == 1) {
        k += static_cast<char>(std::tolower(static_cast<unsigned char>(name[i])));
      } else {
        k.append(name.substr(i, 2));
      }
      i += len;
    }
    return k;
  }
  std::unordered_map<std::string, TRegKey*> children_;
  std::unordered_map<std::string, size_t> values_;
};

std::string Home() {
  if (const char* h = std::getenv("HOME"); h && *h == '/') return h;
  if (passwd* pw = getpwuid(getuid()); pw && pw->pw_dir) return pw->pw_dir;
  return "/tmp";
}

std::string EnvFolder(const char* name, const std::string& fallback) {
  const char* v = std::getenv(name);
  return (v && *v == '/') ? std::string(v) : fallback;
}

bool MakeFolders(const std::string& path) {
  for (size_t i = 1; i <= path.size(); ++i) {
    if (i == path.size() || path[i] == '/') {
      const std::string part = path.substr(0, i);
      if (mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) return false;
    }
  }
  return true;
}

}  // namespace

// ---------------------------------------------------------------- tree store

TRegKey::~TRegKey() {
  // Every key below is detached before it goes, so no destructor here meets a subkey.
  std::vector<std::unique_ptr<TRegKey>> pending;
  pending.swap(subkeys);
  while (!pending.empty()) {
    std::unique_ptr<TRegKey> k = std::move(pending.back());
    pending.pop_back();
    for (auto& s : k->subkeys) pending.push_back(std::move(s));
    k->subkeys.clear();
  }
}

std::vector<std::string> TTreeRegistryStore::SplitPath(std::string_view path) {
  return SplitKeyPath(path, std::string_view::npos);
}

bool TTreeRegistryStore::KeyExists(std::string_view path) {
  Begin();
  const auto parts = SplitPath(path);
  const bool r = IsShellFoldersPath(parts) || Find(root_, parts) != nullptr;
  End(false);
  return r;
}

bool TTreeRegistryStore::CreateKey(std::string_view path) {
  Begin();
  const auto parts = SplitPath(path);
  if (parts.size() > static_cast<size_t>(kMaxKeyDepth)) {
    End(false);
    return false;
  }
  std::unique_ptr<TRegKey> backup = Clone(root_);
  bool changed = false, ok = true;
  TRegKey* k = &root_;
  for (const std::string& p : parts) {
    TRegKey* child = FindChild(*k, p);
    if (!child) {
      if (!ValidKeyName(p)) {
        ok = false;
        break;
      }
      k->subkeys.push_back(std::make_unique<TRegKey>());
      child = k->subkeys.back().get();
      child->name = p;
      changed = true;
    }
    k = child;
  }
  if (!ok) {
    root_ = std::move(*backup);
    End(false);
    return false;
  }
  if (!End(changed)) {
    root_ = std::move(*backup);
    return false;
  }
  return true;
}

bool TTreeRegistryStore::DeleteKey(std::string_view path) {
  Begin();
  const auto parts = SplitPath(path);
  if (parts.empty()) {  // the root itself cannot go
    End(false);
    return false;
  }
  std::vector<std::string> parentParts(parts.begin(), parts.end() - 1);
  TRegKey* parent = Find(root_, parentParts);
  if (!parent || !FindChild(*parent, parts.back())) {
    End(false);
    return false;
  }
  std::unique_ptr<TRegKey> backup = Clone(root_);
  parent = Find(root_, parentParts);
  std::erase_if(parent->subkeys, [&](const auto& s) { return SjisEqualNoCase(s->name, parts.back()); });
  if (!End(true)) {
    root_ = std::move(*backup);
    return false;
  }
  return true;
}

std::optional<TRegValue> TTreeRegistryStore::ReadValue(std::string_view path, std::string_view name) {
  Begin();
  const auto parts = SplitPath(path);
  std::optional<TRegValue> r;
  if (IsShellFoldersKey(parts) && (SjisEqualNoCase(name, "Desktop") || SjisEqualNoCase(name, "Programs"))) {
    std::string folder = ShellFolder(SjisEqualNoCase(name, "Desktop") ? "Desktop" : "Programs");
    if (!folder.empty()) r = TRegValue::String(std::move(folder));
  } else if (TRegKey* k = Find(root_, parts)) {
    if (auto* v = FindValue(*k, name)) r = v->second;
  }
  End(false);
  return r;
}

bool TTreeRegistryStore::WriteValue(std::string_view path, std::string_view name, const TRegValue& value) {
  Begin();
  const auto parts = SplitPath(path);
  TRegKey* k = Find(root_, parts);
  if (!k || IsShellFoldersKey(parts) || (value.type != rdInteger && value.type != rdString)) {
    End(false);
    return false;
  }
  std::unique_ptr<TRegKey> backup = Clone(root_);
  k = Find(root_, parts);
  if (auto* v = FindValue(*k, name)) {
    v->second = value;
  } else {
    k->values.emplace_back(std::string(name), value);
  }
  if (!End(true)) {
    root_ = std::move(*backup);
    return false;
  }
  return true;
}

bool TTreeRegistryStore::DeleteValue(std::string_view path, std::string_view name) {
  Begin();
  TRegKey* k = Find(root_, SplitPath(path));
  if (!k || !FindValue(*k, name)) {
    End(false);
    return false;
  }
  std::unique_ptr<TRegKey> backup = Clone(root_);
  k = Find(root_, SplitPath(path));
  std::erase_if(k->values, [&](const auto& v) { return SjisEqualNoCase(v.first, name); });
  if (!End(true)) {
    root_ = std::move(*backup);
    return false;
  }
  return true;
}

std::vector<std::string> TTreeRegistryStore::SubKeys(std::string_view path) {
  Begin();
  std::vector<std::string> names;
  if (TRegKey* k = Find(root_, SplitPath(path))) {
    for (const auto& s : k->subkeys) names.push_back(s->name);
  }
  End(false);
  return names;
}

std::string TTreeRegistryStore::Serialize(const TRegKey& root) {
  std::string out(kFileHeader);
  out += '\n';
  SerializeKeys(out, root);
  return out;
}

TRegKey TTreeRegistryStore::Parse(std::string_view text) {
  TRegKey root;
  TParseIndex index;
  TRegKey* current = nullptr;  // values before the first key line are skipped
  size_t pos = 0;
  while (pos < text.size()) {
    size_t end = text.find('\n', pos);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(pos, end - pos);
    pos = end + 1;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.empty() || line[0] == ';') continue;
    if (line[0] == '[') {
      current = nullptr;
      if (line.back() != ']' || line.size() < 3) continue;
      const auto parts = SplitKeyPath(line.substr(1, line.size() - 2), kMaxKeyDepth);
      if (parts.empty() || parts.size() > static_cast<size_t>(kMaxKeyDepth) ||
          !std::all_of(parts.begin(), parts.end(), [](const std::string& p) { return ValidKeyName(p); })) {
        continue;
      }
      current = &root;
      for (const std::string& p : parts) current = index.Child(current, p);
      continue;
    }
    if (!current) continue;
    size_t i = 0;
    std::optional<std::string> name = ReadQuoted(line, i);
    if (!name || i >= line.size() || line[i] != '=') continue;
    ++i;
    std::optional<TRegValue> value;
    if (line.substr(i, 6) == "dword:") {
      std::string_view digits = line.substr(i + 6);
      if (digits.size() == 8) {
        std::uint32_t v = 0;
        bool ok = true;
        for (char c : digits) {
          const int d = HexDigit(c);
          if (d < 0) ok = false;
          v = v * 16 + static_cast<std::uint32_t>(d < 0 ? 0 : d);
        }
        if (ok) value = TRegValue::Integer(static_cast<std::int32_t>(v));
      }
    } else if (std::optional<std::string> s = ReadQuoted(line, i); s && i == line.size()) {
      value = TRegValue::String(std::move(*s));
    }
    if (value) index.SetValue(current, std::move(*name), std::move(*value));
  }
  return root;
}

// ---------------------------------------------------------------- file store

std::string TFileRegistryStore::DefaultFilePath() {
  return EnvFolder("XDG_CONFIG_HOME", Home() + "/.config") + "/vdmq/registry";
}

TFileRegistryStore::TFileRegistryStore() : TFileRegistryStore(DefaultFilePath()) {}
TFileRegistryStore::TFileRegistryStore(std::string filePath) : path_(std::move(filePath)) {}

void TFileRegistryStore::Begin() {
  root_ = TRegKey{};
  const size_t slash = path_.rfind('/');
  if (slash != std::string::npos && slash > 0) MakeFolders(path_.substr(0, slash));
  // The lock file serialises the game and the setup program; the registry file itself is replaced
  // by renames, so it cannot carry the lock.
  lockFd_ = open((path_ + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
  if (lockFd_ >= 0) flock(lockFd_, LOCK_EX);
  const int fd = open(path_.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
  if (fd < 0) return;
  std::string text;
  char buf[65536];
  for (;;) {
    const ssize_t n = read(fd, buf, sizeof buf);
    if (n <= 0) break;
    text.append(buf, static_cast<size_t>(n));
    if (text.size() > kMaxFileSize) {
      text.clear();
      break;
    }
  }
  close(fd);
  root_ = Parse(text);
}

bool TFileRegistryStore::End(bool changed) {
  const bool ok = !changed || Save();
  if (lockFd_ >= 0) {
    flock(lockFd_, LOCK_UN);
    close(lockFd_);
    lockFd_ = -1;
  }
  return ok;
}

bool TFileRegistryStore::Save() {
  const std::string text = Serialize(root_);
  const std::string temp = path_ + ".new";
  const int fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0600);
  if (fd < 0) return false;
  size_t done = 0;
  while (done < text.size()) {
    const ssize_t n = write(fd, text.data() + done, text.size() - done);
    if (n <= 0) {
      close(fd);
      unlink(temp.c_str());
      return false;
    }
    done += static_cast<size_t>(n);
  }
  if (fsync(fd) != 0 || close(fd) != 0 || rename(temp.c_str(), path_.c_str()) != 0) {
    unlink(temp.c_str());
    return false;
  }
  const size_t slash = path_.rfind('/');
  if (slash != std::string::npos) {
    const int dir = open(slash == 0 ? "/" : path_.substr(0, slash).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
      fsync(dir);
      close(dir);
    }
  }
  return true;
}

std::string TFileRegistryStore::ShellFolder(std::string_view name) {
  return GamePath(name == "Desktop" ? XdgDesktopFolder() : XdgApplicationsFolder());
}

// ---------------------------------------------------------------- memory store

void TMemRegistryStore::SetShellFolder(std::string_view name, std::string gamePath) {
  (SjisEqualNoCase(name, "Desktop") ? desktop_ : programs_) = std::move(gamePath);
}

bool TMemRegistryStore::End(bool changed) { return !changed || writable_; }

std::string TMemRegistryStore::ShellFolder(std::string_view name) { return name == "Desktop" ? desktop_ : programs_; }

// ---------------------------------------------------------------- XDG folders

std::string XdgDesktopFolder() {
  const std::string home = Home();
  const std::string dirsFile = EnvFolder("XDG_CONFIG_HOME", home + "/.config") + "/user-dirs.dirs";
  std::ifstream in(dirsFile);
  std::string line;
  while (std::getline(in, line)) {
    // XDG_DESKTOP_DIR="$HOME/Desktop"
    const std::string key = "XDG_DESKTOP_DIR=";
    size_t i = line.find_first_not_of(" \t");
    if (i == std::string::npos || line.compare(i, key.size(), key) != 0) continue;
    std::string v = line.substr(i + key.size());
    if (v.size() >= 2 && v.front() == '"' && v.back() == '"') v = v.substr(1, v.size() - 2);
    if (v.rfind("$HOME", 0) == 0) v = home + v.substr(5);
    if (!v.empty() && v[0] == '/') {
      while (v.size() > 1 && v.back() == '/') v.pop_back();
      return v;
    }
  }
  return home + "/Desktop";
}

std::string XdgApplicationsFolder() { return EnvFolder("XDG_DATA_HOME", Home() + "/.local/share") + "/applications"; }

}  // namespace vdmq
