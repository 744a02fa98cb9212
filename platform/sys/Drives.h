#pragma once
// Emulated drive letters. The game names files by drive roots ("C:\", "D:\"), lists the drives and
// asks their types to find a game disc. On this system C: is the file-system root, and the CD-ROM
// drives D:, E: ... are the mounted optical discs followed by the folder named in VDMQ_DISC, which
// stands in for a disc. A drive table answers the list; the real one reads /proc/self/mounts, the fake
// one is filled by tests.

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
  std::string nativeRoot;  // folder the drive stands for ("/" for C:)
  EDriveType type = dtFixed;
};

class TDriveTable {
 public:
  virtual ~TDriveTable() = default;
  // Every drive in letter order.
  virtual std::vector<TDrive> Drives() = 0;
};

// C: = "/", then one CD-ROM drive per mounted optical disc, then the VDMQ_DISC folder when it exists.
class TLinuxDriveTable : public TDriveTable {
 public:
  std::vector<TDrive> Drives() override;
  // Mount points of optical discs in a mount table (the text of /proc/self/mounts), in table order.
  static std::vector<std::string> OpticalMounts(std::string_view mountTable);
  // Builds the table from a mount table text and the VDMQ_DISC value (empty: none).
  static std::vector<TDrive> Build(std::string_view mountTable, const std::string& discFolder);
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
