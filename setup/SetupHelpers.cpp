#include "setup/SetupHelpers.h"

#include <algorithm>
#include <cctype>
#include <vector>

#include "platform/base/GameError.h"
#include "platform/base/Sjis.h"
#include "platform/sys/Files.h"
#include "platform/sys/PathMapper.h"
#include "platform/sys/Process.h"
#include "platform/sys/Registry.h"
#include "platform/sys/Services.h"

namespace vdmq::setup {
namespace {

// The start of the last letter of a code page 932 text (its size when empty).
size_t LastLetter(std::string_view s) {
  size_t last = s.size();
  for (size_t i = 0; i < s.size(); i += SjisLetterLen(s, i)) last = i;
  return last;
}

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

// True when the text ends with a separator of its own (not the second byte of a double-byte letter).
bool EndsWithSeparator(std::string_view s) {
  const size_t last = LastLetter(s);
  return last + 1 == s.size() && IsSeparator(s[last]);
}

// True when the text ends with a lead byte whose second byte is missing.
bool EndsWithCutLetter(std::string_view s) {
  const size_t last = LastLetter(s);
  return last + 1 == s.size() && IsSjisLead(static_cast<unsigned char>(s[last]));
}

// A native path without its trailing separators ("/" stays).
std::string TrimmedNative(std::string_view gamePath) {
  std::string n = NativePath(gamePath);
  while (n.size() > 1 && n.back() == '/') n.pop_back();
  return n;
}

// The installer folder's own name ("qinst_t", without the separator).
std::string InstallerFolderName() {
  std::string name = Names().installerFolder;
  while (!name.empty() && IsSeparator(name.back())) name.pop_back();
  return name;
}

// True when the folder is an installer copy that may go: named "qinst_t", not the installation
// medium's own installer folder, and either a link (which goes as a link) or a folder of the user's.
bool IsInstallerCopy(const std::string& folder) {
  TFileService& files = *Sys().files;
  const std::string native = TrimmedNative(folder);
  const size_t slash = native.rfind('/');
  const std::string last = slash == std::string::npos ? native : native.substr(slash + 1);
  if (!SjisEqualNoCase(last, InstallerFolderName())) return false;
  if (native == TrimmedNative(JoinPath(Sys().process->ProgramFolder(), InstallerFolderName()))) return false;
  if (files.IsLink(folder)) return true;
  return files.FolderExists(folder) && files.IsOwnedByUser(folder);
}

// The names of a value, split at "/" for a native value and at either separator otherwise (a "\"
// inside a double-byte letter is part of the letter).
std::vector<std::string> NamesOf(std::string_view value) {
  const bool native = !value.empty() && value[0] == '/';
  std::vector<std::string> names(1);
  for (size_t i = 0; i < value.size();) {
    const size_t len = SjisLetterLen(value, i);
    if (len == 1 && (value[i] == '/' || (!native && value[i] == '\\'))) {
      names.emplace_back();
    } else {
      names.back().append(value.substr(i, len));
    }
    i += len;
  }
  return names;
}

// A native value is a Linux path: its names are split at "/" only and "." and ".." are folded (".."
// of the root is the root). It names a folder only when every name can be a name of a game path and
// the game path maps back to exactly that native path: a name holding a backslash ("a\..\..") or a
// letter without a code page 932 form names none, and neither does a path that the mapper would
// find in another letter case.
std::optional<std::string> FolderOfNativeValue(std::string_view value) {
  if (Utf8ToSjis(SjisToUtf8(value)) != value) return std::nullopt;
  std::vector<std::string> kept;  // UTF-8
  for (const std::string& name : NamesOf(value)) {
    if (name.empty() || name == ".") continue;
    if (name == "..") {
      if (!kept.empty()) kept.pop_back();
      continue;
    }
    std::string native = SjisToUtf8(name);
    if (!GameName(native)) return std::nullopt;
    kept.push_back(std::move(native));
  }
  std::string native;
  for (const std::string& name : kept) native += "/" + name;
  if (native.empty()) native = "/";
  std::string game = GamePath(native);
  if (TrimmedNative(game) != native) return std::nullopt;
  return game;
}

void CopyBelow(const std::string& copyRoot, std::string_view targetBase, const std::string& source,
               const std::string& relative, int depth) {
  TFileService& files = *Sys().files;
  const auto entries = files.FindAll(source);
  if (!entries) return;
  const std::string target = JoinPath(targetBase, relative);
  for (const TFindEntry& e : *entries) {
    if (!e.isFolder || e.isLink) continue;
    const std::string from = JoinPath(source, e.name);
    // The copy itself, met inside the source (a temporary folder below the medium), is not copied
    // into itself.
    if (depth >= TFileService::kMaxTreeDepth || TrimmedNative(from) == copyRoot) continue;
    files.CreateDirectory(JoinPath(target, e.name));
    CopyBelow(copyRoot, targetBase, from, JoinPath(relative, e.name), depth + 1);
  }
  for (const TFindEntry& e : *entries) {
    if (e.isFolder || e.isLink) continue;
    const std::string to = JoinPath(target, e.name);
    if (files.CopyFile(JoinPath(source, e.name), to, false)) files.SetAttributes(to, faNormal);
  }
}

}  // namespace

const TSetupNames& Names() {
  static const TSetupNames names = [] {
    TSetupNames n;
    n.productTitle = Utf8ToSjis("ｳﾞｪﾙﾄﾞﾏﾙｸQ 体験版");
    n.gameFolder = "vdm_q_t";
    n.gameProgram = "vdm_q_t.exe";
    n.startMenuFolder = "\\" + n.productTitle;
    n.desktopLink = "\\" + n.productTitle + ".lnk";
    n.productKey = std::string("Software") + "\\" + "NAVIRO Veldmark" + "\\" + "Veldmark Q Try";
    n.installerFolder = "qinst_t\\";
    n.installerProgram = "inst.exe";
    n.handOverFile = "temp.txt";
    return n;
  }();
  return names;
}

std::string GetInstallPath() {
  TRegistry reg;
  if (!reg.OpenKey(Names().productKey, false)) return {};
  try {
    return reg.ReadString("InstallPath");
  } catch (const EGameError&) {
    return {};  // not a string
  }
}

bool IsInstalled() { return !GetInstallPath().empty(); }

bool DeleteProductRegKey() { return TRegistry().DeleteKey(Names().productKey); }

std::uint64_t GetDiskFreeMB(std::string_view path) {
  const std::optional<std::uint64_t> bytes = Sys().files->FreeBytes(path);
  return bytes ? *bytes / 1024 / 1024 : 0;
}

void RunProgram(std::string_view program, const std::string* commandLine) {
  Sys().process->Start(program, commandLine);
}

std::string QuoteArgument(std::string_view arg) {
  // The splitter's rules: backslashes are literal unless a double quote follows them; before one,
  // 2n backslashes give n, and 2n + 1 give n and a literal quote.
  std::string out = "\"";
  size_t backslashes = 0;
  for (size_t i = 0; i < arg.size();) {
    const size_t len = SjisLetterLen(arg, i);
    const char c = arg[i];
    if (len == 1 && c == '\\') {
      ++backslashes;
    } else if (len == 1 && c == '"') {
      out.append(2 * backslashes + 1, '\\');
      out += '"';
      backslashes = 0;
    } else {
      out.append(backslashes, '\\');
      out.append(arg.substr(i, len));
      backslashes = 0;
    }
    i += len;
  }
  out.append(2 * backslashes, '\\');
  out += '"';
  return out;
}

std::string JoinPath(std::string_view folder, std::string_view name) {
  while (!name.empty() && IsSeparator(name.front())) name.remove_prefix(1);
  std::string out(folder);
  if (!out.empty() && !EndsWithSeparator(out)) out += out[0] == '/' ? '/' : '\\';
  out += name;
  return out;
}

std::optional<std::string> FolderOfValue(std::string_view value) {
  if (value.empty() || EndsWithCutLetter(value)) return std::nullopt;
  if (value[0] == '/') return FolderOfNativeValue(value);
  if (value[0] == '\\') return std::string(value);
  if (value.size() >= 3 && std::isalpha(static_cast<unsigned char>(value[0])) && value[1] == ':' &&
      IsSeparator(value[2])) {
    return std::string(value);
  }
  return std::nullopt;
}

std::string ShownFolder(std::string_view value, std::string_view name) {
  const auto folder = FolderOfValue(value);
  const bool native = !value.empty() && value[0] == '/';
  const std::vector<std::string> names = NamesOf(value);
  if (!folder || (!native && std::ranges::find(names, "..") == names.end())) {
    return JoinPath(value, name);
  }
  const std::string real = TrimmedNative(JoinPath(*folder, name));
  if (real.empty()) return JoinPath(value, name);
  return native ? Utf8ToSjis(real) : GamePath(real);
}

void DeleteFolderTree(std::string_view folder) {
  TFileService& files = *Sys().files;
  if (const auto entries = files.FindAll(folder)) {
    for (const TFindEntry& e : *entries) {
      if (e.isFolder && !e.isLink) files.DeleteTree(JoinPath(folder, e.name));
    }
  }
  if (const auto rest = files.FindAll(folder)) {
    for (const TFindEntry& e : *rest) files.DeleteFile(JoinPath(folder, e.name));
  }
}

void CopyFolderTree(std::string_view targetBase, std::string_view sourceFolder, std::string_view relative) {
  CopyBelow(TrimmedNative(JoinPath(targetBase, relative)), targetBase, std::string(sourceFolder), std::string(relative),
            1);
}

void RemoveProductFolder(std::string_view folder) {
  TFileService& files = *Sys().files;
  if (files.IsLink(folder)) {
    files.DeleteFile(folder);
    return;
  }
  DeleteFolderTree(folder);
  files.RemoveDirectory(folder);
}

void RemoveInstallerCopy() {
  TRegistry reg;
  if (!reg.OpenKey(Names().productKey, false) || !reg.ValueExists("TempPath")) return;
  std::string value;
  try {
    value = reg.ReadString("TempPath");
  } catch (const EGameError&) {
    reg.DeleteValue("TempPath");  // not a string: names nothing
    return;
  }
  if (value.empty()) return;
  if (const auto folder = FolderOfValue(value); folder && IsInstallerCopy(*folder)) RemoveProductFolder(*folder);
  reg.DeleteValue("TempPath");
}

}  // namespace vdmq::setup
