#pragma once
// Listings of a whole native folder tree, to prove what an operation changed and what it left
// alone: every entry's kind, permission bits, a file's content hash and a link's target.

#include <ftw.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace vdmq::test {

using TListing = std::map<std::string, std::string>;

// 64-bit FNV-1a of the bytes, in hexadecimal.
inline std::string ContentHash(std::string_view bytes) {
  std::uint64_t h = 0xcbf29ce484222325ull;
  for (unsigned char c : bytes) h = (h ^ c) * 0x100000001b3ull;
  char buf[17];
  std::snprintf(buf, sizeof buf, "%016llx", static_cast<unsigned long long>(h));
  return buf;
}

// Everything below a native folder, the folder itself included as "": relative path -> "folder",
// "file <content hash>", "link <target>" or "special", then " mode <permission bits>".
inline TListing Listing(const std::string& root) {
  static TListing* out;
  static size_t skip;
  TListing listing;
  out = &listing;
  skip = root.size();
  nftw(
      root.c_str(),
      [](const char* p, const struct stat* st, int, struct FTW*) {
        std::string what;
        if (S_ISDIR(st->st_mode)) {
          what = "folder";
        } else if (S_ISLNK(st->st_mode)) {
          char target[4096];
          const ssize_t n = readlink(p, target, sizeof target);
          what = "link " + std::string(target, n > 0 ? static_cast<size_t>(n) : 0);
        } else if (S_ISREG(st->st_mode)) {
          std::ifstream in(p, std::ios::binary);
          what =
              "file " + ContentHash(std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()));
        } else {
          what = "special";
        }
        (*out)[std::string(p).substr(skip)] = what + " mode " + std::to_string(st->st_mode & 07777);
        return 0;
      },
      16, FTW_PHYS);
  return listing;
}

// The entries of a listing below a prefix ("/c/tree"), with paths relative to it.
inline TListing Below(const TListing& listing, const std::string& prefix) {
  TListing out;
  for (const auto& [path, what] : listing) {
    if (path.compare(0, prefix.size() + 1, prefix + "/") == 0) out[path.substr(prefix.size())] = what;
  }
  return out;
}

// The listing without the prefix and everything below it.
inline TListing Without(TListing listing, const std::string& prefix) {
  std::erase_if(listing, [&](const auto& e) {
    return e.first == prefix || e.first.compare(0, prefix.size() + 1, prefix + "/") == 0;
  });
  return listing;
}

// The paths that were added, removed or changed between two listings, in order.
inline std::vector<std::string> ChangedPaths(const TListing& before, const TListing& after) {
  std::vector<std::string> out;
  for (const auto& [path, what] : before) {
    const auto it = after.find(path);
    if (it == after.end() || it->second != what) out.push_back(path);
  }
  for (const auto& [path, what] : after) {
    if (!before.count(path)) out.push_back(path);
  }
  return out;
}

}  // namespace vdmq::test
