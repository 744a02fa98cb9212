// Feeds damaged input to the readers of the platform services: the registry file, the mount table
// and the headers of wave and video files. The first byte picks the reader.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "platform/sys/Drives.h"
#include "platform/sys/Media.h"
#include "platform/sys/RegistryStore.h"

using namespace vdmq;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::string_view in(reinterpret_cast<const char*>(data) + 1, size - 1);
  switch (data[0] % 4) {
    case 0: {
      // What the parser keeps it writes back so that a second parse keeps all of it.
      const std::string once = TTreeRegistryStore::Serialize(TTreeRegistryStore::Parse(in));
      const std::string twice = TTreeRegistryStore::Serialize(TTreeRegistryStore::Parse(once));
      if (once != twice) std::abort();
      break;
    }
    case 1:
      for (const TOpticalMount& m : TLinuxDriveTable::OpticalMounts(in)) {
        if (m.mountPoint.empty() || m.mountPoint[0] != '/') std::abort();
      }
      break;
    case 2: WaveDurationMs(in); break;
    default:
      if (const auto info = ReadAviInfo(in); info && info->microSecPerFrame == 0) std::abort();
      break;
  }
  return 0;
}
