#include "platform/sys/Services.h"

#include <ftw.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <fstream>
#include <stdexcept>

#include "platform/sys/Drives.h"
#include "platform/sys/FakeMedia.h"
#include "platform/sys/Files.h"
#include "platform/sys/HelpViewer.h"
#include "platform/sys/NamedMutex.h"
#include "platform/sys/PathMapper.h"
#include "platform/sys/Process.h"
#include "platform/sys/RegistryStore.h"

namespace vdmq {
namespace {

TSysServices& Installed() {
  static TSysServices services;
  return services;
}

void FillReal(TSysServices& s) {
  static TFileRegistryStore registry;
  static TLinuxMutexService mutexes;
  static TLinuxDriveTable drives;
  static TLinuxFileService files;
  static TLinuxProcessService process;
  static TLinuxHelpViewer help;
  static TManualMediaClock mediaClock;
  static TFakeMediaService media(mediaClock);
  if (!s.registry) s.registry = &registry;
  if (!s.mutexes) s.mutexes = &mutexes;
  if (!s.drives) s.drives = &drives;
  if (!s.files) s.files = &files;
  if (!s.process) s.process = &process;
  if (!s.help) s.help = &help;
  if (!s.media) s.media = &media;
}

int RemoveEntry(const char* path, const struct stat*, int, struct FTW*) { return remove(path) == 0 ? 0 : 0; }

void MakeFolders(const std::string& path) {
  for (size_t i = 1; i <= path.size(); ++i) {
    if (i == path.size() || path[i] == '/') mkdir(path.substr(0, i).c_str(), 0755);
  }
}

}  // namespace

TSysServices& Sys() {
  TSysServices& s = Installed();
  if (!s.registry || !s.mutexes || !s.drives || !s.files || !s.process || !s.help || !s.media) FillReal(s);
  return s;
}

TSysServices InstallSysServices(const TSysServices& services) {
  TSysServices previous = Installed();
  Installed() = services;
  FillReal(Installed());
  return previous;
}

TFakeSysServices::TFakeSysServices(TMediaClock* clock) {
  std::string base = "/tmp";
  if (const char* t = std::getenv("TMPDIR"); t && t[0] == '/') base = t;
  std::string pattern = base + "/vdmq-sys-XXXXXX";
  if (!mkdtemp(pattern.data())) throw std::runtime_error("cannot make a sandbox folder in " + base);
  root_ = pattern;
  mkdir((root_ + "/c").c_str(), 0755);
  mkdir((root_ + "/c/tmp").c_str(), 0755);
  char cwd[PATH_MAX];
  if (getcwd(cwd, sizeof cwd)) oldCwd_ = cwd;

  registry = std::make_unique<TMemRegistryStore>();
  registry->SetShellFolder("Desktop", "C:\\home\\player\\Desktop");
  registry->SetShellFolder("Programs", "C:\\home\\player\\.local\\share\\applications");
  mutexes = std::make_unique<TFakeMutexService>();
  drives = std::make_unique<TFakeDriveTable>();
  drives->Set('C', root_ + "/c", dtFixed);
  files = std::make_unique<TFakeFileService>();
  files->SetTempPath("C:\\tmp\\");
  process = std::make_unique<TFakeProcessService>();
  help = std::make_unique<TFakeHelpViewer>();
  if (!clock) {
    manualClock = std::make_unique<TManualMediaClock>();
    clock = manualClock.get();
  }
  media = std::make_unique<TFakeMediaService>(*clock);
  previous_ = InstallSysServices(
      {registry.get(), mutexes.get(), drives.get(), files.get(), process.get(), help.get(), media.get()});
}

TFakeSysServices::~TFakeSysServices() {
  Installed() = previous_;
  if (!oldCwd_.empty() && chdir(oldCwd_.c_str()) != 0) {
    // The old folder is gone; stay where we are.
  }
  // Depth first, never following links out of the sandbox.
  nftw(root_.c_str(), RemoveEntry, 16, FTW_DEPTH | FTW_PHYS);
}

std::string TFakeSysServices::Native(const std::string& gamePath) const {
  return TPathMapper(*drives).Native(gamePath);
}

void TFakeSysServices::WriteFile(const std::string& gamePath, const std::string& bytes) const {
  const std::string native = Native(gamePath);
  const size_t slash = native.rfind('/');
  if (slash != std::string::npos) MakeFolders(native.substr(0, slash));
  std::ofstream out(native, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + native);
}

std::string TFakeSysServices::AddDisc(char letter, const std::string& folderName) {
  const std::string folder = root_ + "/" + folderName;
  MakeFolders(folder);
  drives->Set(letter, folder, dtCdRom);
  return folder;
}

}  // namespace vdmq
