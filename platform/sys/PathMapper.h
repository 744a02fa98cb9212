#pragma once
// The one place where a game path becomes a native path. Game paths are code page 932 texts with "\"
// separators ("/" is taken too), ".\" for the current folder (the program's folder once the locator
// has made it current) and optional drive prefixes ("D:\VDM_Q\inter\INT_T05.str"). A drive prefix
// names a drive of the installed drive table; a path without one that starts with a separator lies on
// C:. "." components are dropped and ".." components are folded away, never above a drive's root.
// Each component that does not exist as written is looked up in its folder ignoring the case of
// ASCII letters (disc files and installed data may differ in case), so "inter\int_t01.STR" finds
// "inter/INT_T01.str". Components that exist nowhere are kept as written (for new files).
//
// A "\" byte inside a double-byte letter ("ソ" is 83 5C) is part of the letter, not a separator.

#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

namespace vdmq {

class TDriveTable;

class TPathMapper {
 public:
  explicit TPathMapper(TDriveTable& drives) : drives_(drives) {}
  // The native (UTF-8) path of a game path; "" for an empty path and for a drive that does not exist
  // or holds no disc.
  // A trailing separator is kept. A relative path stays relative to the current folder.
  std::string Native(std::string_view gamePath) const;
  // The game path of a native path: an absolute path gets the letter of the drive whose root holds it
  // ("C:\..." when no other drive does); a relative one only changes its separators.
  std::string Game(std::string_view nativePath) const;

 private:
  TDriveTable& drives_;
};

// Both mappings over the installed drive table.
std::string NativePath(std::string_view gamePath);
std::string GamePath(std::string_view nativePath);

// The game path form (code page 932) of one native file name; nullopt when no game path can name that
// file: the name holds a separator once converted ("a\b", "¥..¥x"), is "." or "..", or does not convert
// back to itself.
std::optional<std::string> GameName(std::string_view nativeName);

// fopen of a game path (null when it cannot be mapped or opened).
std::FILE* FOpen(std::string_view gamePath, const char* mode);

// True when a and b are equal ignoring the case of single-byte ASCII letters of code page 932 text
// (the second byte of a double-byte letter is compared exactly).
bool SjisEqualNoCase(std::string_view a, std::string_view b);

}  // namespace vdmq
