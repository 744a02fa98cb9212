#include "platform/sys/PathMapper.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <memory>
#include <vector>

#include "platform/base/Sjis.h"
#include "platform/sys/Drives.h"
#include "platform/sys/Services.h"

namespace vdmq {
namespace {

bool IsAscii(std::string_view s) {
  return std::all_of(s.begin(), s.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

std::string ToUtf8(std::string_view sjis) { return IsAscii(sjis) ? std::string(sjis) : SjisToUtf8(sjis); }
std::string ToSjis(std::string_view utf8) { return IsAscii(utf8) ? std::string(utf8) : Utf8ToSjis(utf8); }

// ASCII-only case folding is safe on UTF-8: no byte of a multi-byte sequence is below 0x80.
bool Utf8EqualNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) return false;
  }
  return true;
}

bool Exists(const std::string& path) {
  struct stat st;
  return lstat(path.c_str(), &st) == 0;
}

std::string Join(const std::string& folder, const std::string& name) {
  if (folder.empty() || folder == ".") return name;
  if (folder.back() == '/') return folder + name;
  return folder + "/" + name;
}

// The entry of folder whose name equals name ignoring ASCII case; the smallest such name when several
// do, so the answer does not depend on directory order. Empty when none.
std::string FindNoCase(const std::string& folder, const std::string& name) {
  std::unique_ptr<DIR, int (*)(DIR*)> dir(opendir(folder.empty() ? "." : folder.c_str()), closedir);
  if (!dir) return {};
  std::string best;
  while (dirent* e = readdir(dir.get())) {
    std::string_view n = e->d_name;
    if (n == "." || n == "..") continue;
    if (Utf8EqualNoCase(n, name) && (best.empty() || n < best)) best = n;
  }
  return best;
}

}  // namespace

bool SjisEqualNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size();) {
    const size_t len = SjisLetterLen(a, i);
    if (len == 2) {
      if (a[i] != b[i] || a[i + 1] != b[i + 1]) return false;
    } else if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) {
      return false;
    }
    i += len;
  }
  return true;
}

std::string TPathMapper::Native(std::string_view path) const {
  // A game path is a C string: whatever follows a NUL is not part of it.
  if (size_t nul = path.find('\0'); nul != std::string_view::npos) path = path.substr(0, nul);
  if (path.empty()) return {};

  // Drive prefix.
  std::string base;  // "" = relative to the current folder
  bool absolute = false;
  if (path.size() >= 2 && std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':') {
    const char letter = static_cast<char>(std::toupper(static_cast<unsigned char>(path[0])));
    bool found = false;
    for (const TDrive& d : drives_.Drives()) {
      if (d.letter == letter) {
        base = d.nativeRoot;
        found = true;
        break;
      }
    }
    if (!found || base.empty()) return {};  // no such drive, or no disc in it
    absolute = true;
    path.remove_prefix(2);
  }

  // Components, split at single-byte separators only.
  std::vector<std::string> parts;
  std::string current;
  bool leadingSeparator = false, trailingSeparator = false;
  for (size_t i = 0; i < path.size();) {
    const size_t len = SjisLetterLen(path, i);
    if (len == 1 && (path[i] == '\\' || path[i] == '/')) {
      if (i == 0) leadingSeparator = true;
      parts.push_back(std::move(current));
      current.clear();
      trailingSeparator = true;
    } else {
      current.append(path.substr(i, len));
      trailingSeparator = false;
    }
    i += len;
  }
  parts.push_back(std::move(current));

  if (!absolute && leadingSeparator) {
    // "\dat\x" lies on drive C:.
    for (const TDrive& d : drives_.Drives()) {
      if (d.letter == 'C') base = d.nativeRoot;
    }
    if (base.empty()) return {};
    absolute = true;
  }

  // Fold "." and ".."; an absolute path never climbs above its drive's root.
  std::vector<std::string> names;
  for (std::string& p : parts) {
    if (p.empty() || p == ".") continue;
    if (p == "..") {
      if (!names.empty() && names.back() != "..") {
        names.pop_back();
      } else if (!absolute) {
        names.push_back("..");
      }
      continue;
    }
    names.push_back(ToUtf8(p));
  }

  // Resolve component by component with the case-insensitive fallback.
  std::string result = absolute ? base : std::string();
  bool resolving = true;
  for (const std::string& name : names) {
    std::string candidate = Join(result, name);
    if (resolving && name != ".." && !Exists(candidate)) {
      std::string match = FindNoCase(result, name);
      if (!match.empty()) {
        candidate = Join(result, match);
      } else {
        resolving = false;  // the folder below does not exist: keep the rest as written
      }
    }
    result = std::move(candidate);
  }
  if (result.empty()) result = ".";
  if (trailingSeparator && result.back() != '/') result += '/';
  return result;
}

std::string TPathMapper::Game(std::string_view native) const {
  std::string rest;
  std::string prefix;
  if (!native.empty() && native[0] == '/') {
    // The drive with the longest root that holds the path; C: for everything else.
    size_t bestLen = 0;
    char bestLetter = 'C';
    for (const TDrive& d : drives_.Drives()) {
      std::string root = d.nativeRoot;
      if (root.empty()) continue;
      while (root.size() > 1 && root.back() == '/') root.pop_back();
      const bool holds =
          root == "/" || native == root ||
          (native.size() > root.size() && native.compare(0, root.size(), root) == 0 && native[root.size()] == '/');
      const size_t len = root == "/" ? 0 : root.size();
      if (holds && (len > bestLen || (len == bestLen && d.letter == 'C'))) {
        bestLen = len;
        bestLetter = d.letter;
      }
    }
    prefix = std::string(1, bestLetter) + ":";
    native.remove_prefix(bestLen);
    if (native.empty()) native = "/";
  }
  for (char c : native) rest += c == '/' ? '\\' : c;
  // Collapse doubled separators that a native path may carry.
  std::string collapsed;
  for (char c : rest) {
    if (c == '\\' && !collapsed.empty() && collapsed.back() == '\\') continue;
    collapsed += c;
  }
  return ToSjis(prefix + collapsed);
}

std::optional<std::string> GameName(std::string_view nativeName) {
  if (nativeName.empty() || nativeName == "." || nativeName == ".." ||
      nativeName.find('\0') != std::string_view::npos) {
    return std::nullopt;
  }
  std::string name = ToSjis(nativeName);
  if (ToUtf8(name) != nativeName) return std::nullopt;
  for (size_t i = 0; i < name.size();) {
    const size_t len = SjisLetterLen(name, i);
    if (len == 1 && (name[i] == '\\' || name[i] == '/')) return std::nullopt;
    i += len;
  }
  return name;
}

std::string NativePath(std::string_view gamePath) { return TPathMapper(*Sys().drives).Native(gamePath); }
std::string GamePath(std::string_view nativePath) { return TPathMapper(*Sys().drives).Game(nativePath); }

std::FILE* FOpen(std::string_view gamePath, const char* mode) {
  const std::string native = NativePath(gamePath);
  if (native.empty()) return nullptr;
  return std::fopen(native.c_str(), mode);
}

}  // namespace vdmq
