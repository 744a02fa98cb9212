#pragma once
// Named mutexes between processes of one user: the game holds "VDM_Q GAME" for its whole run, the
// setup program holds "VDM_Q SETUP" and refuses to run while either exists. The real service keeps a
// lock file per name in the runtime folder ($XDG_RUNTIME_DIR/vdmq, or /tmp/vdmq-<uid>) and holds an
// exclusive non-blocking lock on it; the kernel releases the lock when the process ends, however it
// ends. The lock is never handed to started programs.

#include <memory>
#include <set>
#include <string>
#include <string_view>

namespace vdmq {

enum class EMutexCreate { Created, AlreadyExists, Failed };

// An open mutex; destroying it closes the handle (and releases the mutex when it was created by it).
class TMutexHandle {
 public:
  virtual ~TMutexHandle() = default;
};

class TMutexService {
 public:
  virtual ~TMutexService() = default;
  // Creates the named mutex. Only a result of Created comes with a handle.
  virtual std::unique_ptr<TMutexHandle> Create(std::string_view name, EMutexCreate* result) = 0;
  // A handle when a mutex of that name exists (held by this or another process), else null.
  virtual std::unique_ptr<TMutexHandle> Open(std::string_view name) = 0;
};

class TLinuxMutexService : public TMutexService {
 public:
  TLinuxMutexService();  // the default runtime folder
  explicit TLinuxMutexService(std::string folder);
  std::unique_ptr<TMutexHandle> Create(std::string_view name, EMutexCreate* result) override;
  std::unique_ptr<TMutexHandle> Open(std::string_view name) override;
  // The lock file of a name: every byte but letters, digits, '.', '_' and '-' is written as %XX.
  std::string LockFile(std::string_view name) const;
  static std::string DefaultFolder();

 private:
  bool FolderReady();
  std::string folder_;
};

// Mutexes of tests: a set of names. HoldElsewhere stands for another process holding one.
class TFakeMutexService : public TMutexService {
 public:
  std::unique_ptr<TMutexHandle> Create(std::string_view name, EMutexCreate* result) override;
  std::unique_ptr<TMutexHandle> Open(std::string_view name) override;
  void HoldElsewhere(std::string_view name) { held_.insert(std::string(name)); }
  void ReleaseElsewhere(std::string_view name) { held_.erase(std::string(name)); }
  bool IsHeld(std::string_view name) const { return held_.count(std::string(name)) != 0; }
  // Makes every Create fail (no runtime folder).
  void SetFailing(bool failing) { failing_ = failing; }

 private:
  std::set<std::string> held_;
  bool failing_ = false;
};

}  // namespace vdmq
