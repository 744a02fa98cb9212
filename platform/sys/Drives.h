#pragma once
// Emulated drive letters. The game names files by drive roots ("C:\", "D:\"), lists the drives and
// asks their types to find a game disc. On this system C: is the file-system root, and the CD-ROM
// drives D:, E: ... are, in this order: the optical drives of the machine (sr0, sr1 ...; each keeps
// its letter whether a disc is mounted or not, and an empty drive has no root), the other mounted
// optical file systems (an image mounted by hand), and the folder named in VDMQ_DISC, which stands in
// for a disc. A drive table answers the list; the real one reads /sys/block and /proc/self/mounts,
// the fake one is filled by tests.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vdmq {

// Drive types with the window system's numbers.
enum EDriveType : int {
  dtUnknown = 0,
  dtNoRootDir = 1,
  dtRemovable = 2,
  dtFixed = 3,
  dtRemote = 4,
  dtCdRom = 5,
  dtRamDisk = 6,
};

struct TDrive {
  char letter = 'C';       // upper case
  std::string nativeRoot;  // folder the drive stands for ("/" for C:); empty for a drive without a disc
  EDriveType type = dtFixed;
};

class TDriveTable {
 public:
  virtual ~TDriveTable() = default;
  // Every drive in letter order.
  virtual std::vector<TDrive> Drives() = 0;
};

struct TOpticalMount {
  std::string device;      // "/dev/sr0"
  std::string mountPoint;  // "/media/player/VDM_Q"
};

class TLinuxDriveTable : public TDriveTable {
 public:
  std::vector<TDrive> Drives() override;
  // Mounted optical file systems of a mount table (the text of /proc/self/mounts), in table order,
  // each mount point once.
  static std::vector<TOpticalMount> OpticalMounts(std::string_view mountTable);
  // The table from the optical drives ("sr0" ...), the optical mounts (devices resolved) and the
  // VDMQ_DISC folder (empty: none).
  static std::vector<TDrive> Build(const std::vector<std::string>& opticalDrives,
                                   const std::vector<TOpticalMount>& mounts, const std::string& discFolder);
};

// A drive table set up by tests.
class TFakeDriveTable : public TDriveTable {
 public:
  std::vector<TDrive> Drives() override;
  void Set(char letter, std::string nativeRoot, EDriveType type);
  void Remove(char letter);

 private:
  std::vector<TDrive> drives_;
};

// --- the window system's drive queries over the installed drive table ---

// Writes the drive roots as "C:\<NUL>D:\<NUL><NUL>" into buffer. Answers the length written without
// the final NUL, or, when bufferLength is too small, the length needed including it (nothing written).
unsigned GetLogicalDriveStrings(unsigned bufferLength, char* buffer);
// Type of the drive whose root is given ("D:\" or "D:", any case); dtNoRootDir for anything else.
EDriveType GetDriveType(std::string_view root);
// The drive of a letter, when there is one.
std::optional<TDrive> FindDrive(char letter);

}  // namespace vdmq
