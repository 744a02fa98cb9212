#include "platform/sys/Drives.h"

#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

#include "platform/sys/Services.h"

namespace vdmq {
namespace {

// Undoes the octal escapes (\040 for a space ...) of a mount table field.
std::string UnescapeMountField(std::string_view s) {
  std::string out;
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '\\' && i + 3 < s.size()) {
      const char a = s[i + 1], b = s[i + 2], c = s[i + 3];
      if (a >= '0' && a <= '3' && b >= '0' && b <= '7' && c >= '0' && c <= '7') {
        out += static_cast<char>((a - '0') * 64 + (b - '0') * 8 + (c - '0'));
        i += 3;
        continue;
      }
    }
    out += s[i];
  }
  return out;
}

bool IsOpticalDevice(const std::string& device, const std::string& fsType) {
  if (fsType == "iso9660" || fsType == "udf") return true;
  return device.rfind("/dev/sr", 0) == 0 || device.rfind("/dev/cdrom", 0) == 0 ||
         device.rfind("/dev/scd", 0) == 0 || device.rfind("/dev/dvd", 0) == 0;
}

bool IsFolder(const std::string& path) {
  struct stat st;
  return !path.empty() && stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string ReadWholeFile(const char* path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

}  // namespace

std::vector<std::string> TLinuxDriveTable::OpticalMounts(std::string_view table) {
  std::vector<std::string> out;
  size_t pos = 0;
  while (pos < table.size()) {
    size_t end = table.find('\n', pos);
    if (end == std::string_view::npos) end = table.size();
    std::string_view line = table.substr(pos, end - pos);
    pos = end + 1;
    // Fields: device, mount point, file-system type, options ...
    std::string_view fields[3];
    size_t n = 0, i = 0;
    while (n < 3 && i < line.size()) {
      while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
      size_t start = i;
      while (i < line.size() && line[i] != ' ' && line[i] != '\t') ++i;
      if (i > start) fields[n++] = line.substr(start, i - start);
    }
    if (n < 3) continue;
    std::string device = UnescapeMountField(fields[0]);
    std::string mount = UnescapeMountField(fields[1]);
    std::string fsType(fields[2]);
    if (mount.empty() || mount[0] != '/' || !IsOpticalDevice(device, fsType)) continue;
    if (std::find(out.begin(), out.end(), mount) == out.end()) out.push_back(mount);
  }
  return out;
}

std::vector<TDrive> TLinuxDriveTable::Build(std::string_view mountTable, const std::string& discFolder) {
  std::vector<TDrive> drives;
  drives.push_back({'C', "/", dtFixed});
  std::vector<std::string> roots = OpticalMounts(mountTable);
  if (!discFolder.empty() && discFolder[0] == '/' && std::find(roots.begin(), roots.end(), discFolder) == roots.end()) {
    roots.push_back(discFolder);
  }
  char letter = 'D';
  for (const std::string& root : roots) {
    if (letter > 'Z') break;
    drives.push_back({letter++, root, dtCdRom});
  }
  return drives;
}

std::vector<TDrive> TLinuxDriveTable::Drives() {
  std::string disc;
  if (const char* env = std::getenv("VDMQ_DISC"); env && IsFolder(env)) {
    disc = env;
    while (disc.size() > 1 && disc.back() == '/') disc.pop_back();
  }
  return Build(ReadWholeFile("/proc/self/mounts"), disc);
}

std::vector<TDrive> TFakeDriveTable::Drives() { return drives_; }

void TFakeDriveTable::Set(char letter, std::string nativeRoot, EDriveType type) {
  letter = static_cast<char>(std::toupper(static_cast<unsigned char>(letter)));
  Remove(letter);
  drives_.push_back({letter, std::move(nativeRoot), type});
  std::sort(drives_.begin(), drives_.end(), [](const TDrive& a, const TDrive& b) { return a.letter < b.letter; });
}

void TFakeDriveTable::Remove(char letter) {
  letter = static_cast<char>(std::toupper(static_cast<unsigned char>(letter)));
  std::erase_if(drives_, [letter](const TDrive& d) { return d.letter == letter; });
}

unsigned GetLogicalDriveStrings(unsigned bufferLength, char* buffer) {
  std::string list;
  for (const TDrive& d : Sys().drives->Drives()) {
    list += d.letter;
    list += ":\\";
    list += '\0';
  }
  // The list ends with a second NUL; the answer counts the bytes before it.
  const unsigned needed = static_cast<unsigned>(list.size() + 1);
  if (buffer == nullptr || bufferLength < needed) return needed;
  std::memcpy(buffer, list.data(), list.size());
  buffer[list.size()] = '\0';
  return static_cast<unsigned>(list.size());
}

std::optional<TDrive> FindDrive(char letter) {
  letter = static_cast<char>(std::toupper(static_cast<unsigned char>(letter)));
  for (const TDrive& d : Sys().drives->Drives()) {
    if (d.letter == letter) return d;
  }
  return std::nullopt;
}

EDriveType GetDriveType(std::string_view root) {
  if (root.size() < 2 || root.size() > 3 || !std::isalpha(static_cast<unsigned char>(root[0])) || root[1] != ':') {
    return dtNoRootDir;
  }
  if (root.size() == 3 && root[2] != '\\' && root[2] != '/') return dtNoRootDir;
  std::optional<TDrive> d = FindDrive(root[0]);
  return d ? d->type : dtNoRootDir;
}

}  // namespace vdmq
