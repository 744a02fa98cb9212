#pragma once
// The operating-system services of the platform layer, each behind an interface with a real Linux
// version and a fake, chosen at start: the registry store, named mutexes, the drive table (which the
// path mapper and the file, process and help services use), files, processes, the help viewer and
// media. Sys() answers the installed set; a slot that nobody filled gets the real version on first use
// (media: the headless fake until real devices exist). Tests install TFakeSysServices.

#include <memory>
#include <string>

namespace vdmq {

class TRegistryStore;
class TMutexService;
class TDriveTable;
class TFileService;
class TProcessService;
class THelpViewer;
class TMediaService;
class TMemRegistryStore;
class TFakeMutexService;
class TFakeDriveTable;
class TFakeFileService;
class TFakeProcessService;
class TFakeHelpViewer;
class TFakeMediaService;
class TMediaClock;
class TManualMediaClock;

struct TSysServices {
  TRegistryStore* registry = nullptr;
  TMutexService* mutexes = nullptr;
  TDriveTable* drives = nullptr;
  TFileService* files = nullptr;
  TProcessService* process = nullptr;
  THelpViewer* help = nullptr;
  TMediaService* media = nullptr;
};

// The installed services, every slot filled.
TSysServices& Sys();
// Installs a set; null slots get the real versions. Answers the set that was installed before.
// The caller keeps ownership of what it installs.
TSysServices InstallSysServices(const TSysServices& services);

// Every service faked, over a sandbox folder that stands for drive C: (removed again at the end).
// Installed while the object lives; the previous set and the current folder come back afterwards.
class TFakeSysServices {
 public:
  // clock: the clock of the fake media (the headless back end's virtual clock); null: a manual clock.
  explicit TFakeSysServices(TMediaClock* clock = nullptr);
  ~TFakeSysServices();
  TFakeSysServices(const TFakeSysServices&) = delete;
  TFakeSysServices& operator=(const TFakeSysServices&) = delete;

  // Native folder standing for C:\ (ends without "/").
  const std::string& Root() const { return root_; }
  // Native path of a game path on the fake drives.
  std::string Native(const std::string& gamePath) const;
  // Writes a file (creating its folders); path is a game path.
  void WriteFile(const std::string& gamePath, const std::string& bytes) const;
  // Adds a CD-ROM drive standing on a folder of the sandbox (created), e.g. AddDisc('D', "disc1").
  std::string AddDisc(char letter, const std::string& folderName);

  std::unique_ptr<TMemRegistryStore> registry;
  std::unique_ptr<TFakeMutexService> mutexes;
  std::unique_ptr<TFakeDriveTable> drives;
  std::unique_ptr<TFakeFileService> files;
  std::unique_ptr<TFakeProcessService> process;
  std::unique_ptr<TFakeHelpViewer> help;
  std::unique_ptr<TManualMediaClock> manualClock;  // set when no clock was given
  std::unique_ptr<TFakeMediaService> media;

 private:
  std::string root_;
  std::string oldCwd_;
  TSysServices previous_;
};

}  // namespace vdmq
