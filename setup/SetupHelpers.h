#pragma once
// What the setup program knows of the product and does with its files: the fixed names, the
// product's registry values, free space, starting programs, and copying and deleting folder trees.
// Every path here is a game path (code page 932, "\" or "/" separators, optional drive letter)
// handed to the platform's services; nothing here follows a symbolic link.
//
// The product's folders are the only ones the setup program ever deletes: the game folder named by
// "InstallPath", the installer copy named by "TempPath" (only when it is one), the Start-menu
// folder and the desktop link. Each is checked before it goes (see the functions below).

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vdmq::setup {

// The fixed names of the product (code page 932), built once at start.
struct TSetupNames {
  std::string productTitle;      // "ｳﾞｪﾙﾄﾞﾏﾙｸQ 体験版"
  std::string gameFolder;        // "vdm_q_t"
  std::string gameProgram;       // "vdm_q_t.exe"
  std::string startMenuFolder;   // "\" + title
  std::string desktopLink;       // "\" + title + ".lnk"
  std::string productKey;        // "Software\NAVIRO Veldmark\Veldmark Q Try"
  std::string installerFolder;   // "qinst_t\"
  std::string installerProgram;  // "inst.exe"
  std::string handOverFile;      // "temp.txt"
};
const TSetupNames& Names();

// ---- The product's registry values -----------------------------------------------------------

// "InstallPath" of the product key (opened without creating it); "" when the key does not open,
// the value is missing or it is not a string.
std::string GetInstallPath();
bool IsInstalled();
// Deletes the product key with all its subkeys (the game's options among them).
bool DeleteProductRegKey();

// ---- Space and programs ----------------------------------------------------------------------

// Free megabytes (bytes / 1024 / 1024) of the file system holding the path; 0 when it cannot be asked.
std::uint64_t GetDiskFreeMB(std::string_view path);
// Starts a program (null: no command line); whether it started is not checked.
void RunProgram(std::string_view program, const std::string* commandLine);
// One argument quoted so that the command-line splitter gives it back exactly (blanks, double
// quotes, backslashes and double-byte letters included).
std::string QuoteArgument(std::string_view arg);

// ---- Paths -----------------------------------------------------------------------------------

// folder + name with one separator between them: the one the folder already uses ("/" in a native
// path, "\" otherwise), added only when the folder does not end with a separator. Separators at
// the start of the name are dropped ("\title" joins as "title").
std::string JoinPath(std::string_view folder, std::string_view name);
// The game path of a folder named by a registry value: a native absolute path ("/home/...") or a
// drive-letter or rooted path ("C:\...", "\..."), with or without a trailing separator. A native
// value is a Linux path taken as it stands: split at "/" only, with "." and ".." folded. Nothing
// for a value that names no folder safely: empty, relative (it would name a folder beside the
// program, on the installation medium), ending in half of a double-byte letter (which would
// swallow the separator joined after it), or native with a name that no game path can carry (one
// holding a backslash) or that the game path would find only in another letter case.
std::optional<std::string> FolderOfValue(std::string_view value);
// The folder value + name as the player is shown it before it goes: JoinPath of the two as they
// stand, except that a native value shows the native path that really goes, and a value holding
// ".." shows the folder it comes to.
std::string ShownFolder(std::string_view value, std::string_view name);

// ---- Trees -----------------------------------------------------------------------------------

// Empties a folder in two passes: every sub-folder is emptied and removed, then every remaining
// entry is deleted (read-only files and whatever cannot go stay, silently). A link is deleted as a
// link and never entered. The folder itself stays for the caller.
void DeleteFolderTree(std::string_view folder);
// Copies sourceFolder into targetBase + relative: the sub-folders first (created, then copied
// recursively), then the regular files, replacing older copies and made writable for the user
// (the other permission bits stay, so programs stay executable). Links are neither copied nor
// followed; failures are ignored.
void CopyFolderTree(std::string_view targetBase, std::string_view sourceFolder, std::string_view relative);
// Removes one of the product's folders: a link standing there goes as a link; a folder is emptied
// and removed.
void RemoveProductFolder(std::string_view folder);

// The game start's clean-up of the installer copy named by "TempPath": the copy goes when the
// value names the user's own folder (or a link) called "qinst_t" other than the installation
// medium's; any other non-empty value deletes nothing. A non-empty value is deleted either way,
// an empty one is kept. Failures are ignored.
void RemoveInstallerCopy();

}  // namespace vdmq::setup
