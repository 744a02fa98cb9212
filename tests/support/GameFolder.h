#pragma once
// The generated game installed in a fake system for whole-program tests and benchmarks: the program
// at C:\vdmq\vdm_q_t.exe with the data set's dat\, snd\ and inter\ files (copied from the build's
// generated data set, VDMQ_SAMPLE_DATA_DIR) and an empty save\ folder; registry, mutexes, help viewer
// and media faked. Set-up failures throw std::runtime_error.

#include <filesystem>
#include <stdexcept>
#include <string>

#include "platform/sys/NamedMutex.h"
#include "platform/sys/Process.h"
#include "platform/sys/Services.h"

namespace vdmq::test {

class TGameFolder {
 public:
  static constexpr const char* kProgram = "C:\\vdmq\\vdm_q_t.exe";

  TGameFolder() {
    sys.WriteFile(kProgram, "");
    sys.process->SetProgramFile(kProgram);
    namespace fs = std::filesystem;
    const fs::path data = DataSet();
    for (const char* f : {"dat/INIT.DAT", "dat/MAP00.DAT", "dat/BMP.PAK"}) {
      const fs::path to = Native(f);
      fs::create_directories(to.parent_path());
      std::error_code ec;
      fs::copy_file(data / f, to, fs::copy_options::overwrite_existing, ec);
      if (ec) throw std::runtime_error("cannot copy " + (data / f).string() + ": " + ec.message());
    }
    // The sounds and the movies, which the game plays through the fake media.
    for (const char* folder : {"snd", "inter"}) {
      std::error_code ec;
      fs::create_directories(Native(folder), ec);
      fs::copy(data / folder, Native(folder), fs::copy_options::overwrite_existing | fs::copy_options::recursive, ec);
      if (ec) throw std::runtime_error("cannot copy " + (data / folder).string() + ": " + ec.message());
    }
    fs::create_directories(Native("save"));
  }

  // The generated data set of the build.
  static std::filesystem::path DataSet() {
#ifdef VDMQ_SAMPLE_DATA_DIR
    return VDMQ_SAMPLE_DATA_DIR;
#else
    throw std::runtime_error("VDMQ_SAMPLE_DATA_DIR is not set for this target");
#endif
  }
  // The native path of a file below the game folder ("dat/INIT.DAT").
  std::string Native(std::string rel) const {
    for (char& c : rel)
      if (c == '/') c = '\\';
    return sys.Native("C:\\vdmq\\" + rel);
  }

  TFakeSysServices sys;
};

}  // namespace vdmq::test
