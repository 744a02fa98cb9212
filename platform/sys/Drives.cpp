#include "platform/sys/Drives.h"

#include <dirent.h>
#include <sys/stat.h>

#include <climits>

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
  return device.rfind("/dev/sr", 0) == 0 || device.rfind("/dev/cdrom", 0) == 0 || device.rfind("/dev/scd", 0) == 0 ||
         device.rfind("/dev/dvd", 0) == 0;
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

std::vector<TOpticalMount> TLinuxDriveTable::OpticalMounts(std::string_view table) {
  std::vector<TOpticalMount> out;
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
    if (std::none_of(out.begin(), out.end(), [&](const TOpticalMount& m) { return m.mountPoint == mount; })) {
      out.push_back({device, mount});
    }
  }
  return out;
}

std::vector<TDrive> TLinuxDriveTable::Build(const std::vector<std::string>& opticalDrives,
                                            const std::vector<TOpticalMount>& mounts, const std::string& discFolder) {
  std::vector<TDrive> drives;
  drives.push_back({'C', "/", dtFixed});
  char letter = 'D';
  std::vector<std::string> used;
  auto add = [&](const std::string& root) {
    if (letter > 'Z') return;
    drives.push_back({letter++, root, dtCdRom});
    if (!root.empty()) used.push_back(root);
  };
  for (const std::string& drive : opticalDrives) {
    std::string root;
    for (const TOpticalMount& m : mounts) {
      if (m.device == "/dev/" + drive) {
        root = m.mountPoint;
        break;
      }
    }
    add(root);
  }
  for (const TOpticalMount& m : mounts) {
    if (std::find(used.begin(), used.end(), m.mountPoint) == used.end()) add(m.mountPoint);
  }
  if (!discFolder.empty() && discFolder[0] == '/' && std::find(used.begin(), used.end(), discFolder) == used.end()) {
    add(discFolder);
  }
  return drives;
}

std::vector<TDrive> TLinuxDriveTable::Drives() {
  std::string disc;
  if (const char* env = std::getenv("VDMQ_DISC"); env && IsFolder(env)) {
    disc = env;
    while (disc.size() > 1 && disc.back() == '/') disc.pop_back();
  }
  // The optical drives of the machine, in number order (sr2 before sr10).
  std::vector<std::string> opticalDrives;
  if (DIR* dir = opendir("/sys/block")) {
    while (dirent* e = readdir(dir)) {
      const std::string_view n = e->d_name;
      if (n.size() > 2 && n.substr(0, 2) == "sr" &&
          std::all_of(n.begin() + 2, n.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        opticalDrives.emplace_back(n);
      }
    }
    closedir(dir);
  }
  std::sort(opticalDrives.begin(), opticalDrives.end(), [](const std::string& a, const std::string& b) {
    return a.size() != b.size() ? a.size() < b.size() : a < b;
  });
  // Devices may be named through links (/dev/cdrom -> sr0).
  std::vector<TOpticalMount> mounts = OpticalMounts(ReadWholeFile("/proc/self/mounts"));
  for (TOpticalMount& m : mounts) {
    char real[PATH_MAX];
    if (m.device.rfind("/dev/", 0) == 0 && realpath(m.device.c_str(), real)) m.device = real;
  }
  return Build(opticalDrives, mounts, disc);
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
