#include "platform/sys/NamedMutex.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

namespace vdmq {
namespace {

class TLockFileHandle : public TMutexHandle {
 public:
  explicit TLockFileHandle(int fd) : fd_(fd) {}
  ~TLockFileHandle() override {
    if (fd_ >= 0) close(fd_);  // closing the last descriptor releases the lock
  }

 private:
  int fd_;
};

// A handle of a mutex that another process (or another handle) holds.
class TOpenedHandle : public TMutexHandle {};

class TFakeHandle : public TMutexHandle {
 public:
  TFakeHandle(std::set<std::string>* held, std::string name) : held_(held), name_(std::move(name)) {}
  ~TFakeHandle() override {
    if (held_) held_->erase(name_);
  }

 private:
  std::set<std::string>* held_;
  std::string name_;
};

}  // namespace

std::string TLinuxMutexService::DefaultFolder() {
  const char* rt = std::getenv("XDG_RUNTIME_DIR");
  if (rt && rt[0] == '/') return std::string(rt) + "/vdmq";
  return "/tmp/vdmq-" + std::to_string(getuid());
}

TLinuxMutexService::TLinuxMutexService() : folder_(DefaultFolder()) {}
TLinuxMutexService::TLinuxMutexService(std::string folder) : folder_(std::move(folder)) {}

std::string TLinuxMutexService::LockFile(std::string_view name) const {
  static const char hex[] = "0123456789ABCDEF";
  std::string file = folder_ + "/";
  for (char c : name) {
    const unsigned char u = static_cast<unsigned char>(c);
    if ((u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9') || c == '.' || c == '_' ||
        c == '-') {
      file += c;
    } else {
      file += '%';
      file += hex[u >> 4];
      file += hex[u & 15];
    }
  }
  return file + ".lock";
}

// The folder must be ours and closed to others: a folder in /tmp could be planted by another user.
bool TLinuxMutexService::FolderReady() {
  if (mkdir(folder_.c_str(), 0700) != 0 && errno != EEXIST) return false;
  struct stat st;
  return lstat(folder_.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == getuid() &&
         (st.st_mode & (S_IWGRP | S_IWOTH)) == 0;
}

std::unique_ptr<TMutexHandle> TLinuxMutexService::Create(std::string_view name, EMutexCreate* result) {
  EMutexCreate dummy;
  EMutexCreate& r = result ? *result : dummy;
  r = EMutexCreate::Failed;
  if (name.find('\0') != std::string_view::npos || !FolderReady()) return nullptr;
  const int fd = open(LockFile(name).c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
  if (fd < 0) return nullptr;
  if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
    r = errno == EWOULDBLOCK ? EMutexCreate::AlreadyExists : EMutexCreate::Failed;
    close(fd);
    return nullptr;
  }
  r = EMutexCreate::Created;
  return std::make_unique<TLockFileHandle>(fd);
}

std::unique_ptr<TMutexHandle> TLinuxMutexService::Open(std::string_view name) {
  if (name.find('\0') != std::string_view::npos) return nullptr;
  const int fd = open(LockFile(name).c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
  if (fd < 0) return nullptr;  // never created
  // A shared probe succeeds exactly when nobody holds the exclusive lock.
  const bool free = flock(fd, LOCK_SH | LOCK_NB) == 0;
  close(fd);
  if (free) return nullptr;
  return std::make_unique<TOpenedHandle>();
}

std::unique_ptr<TMutexHandle> TFakeMutexService::Create(std::string_view name, EMutexCreate* result) {
  EMutexCreate dummy;
  EMutexCreate& r = result ? *result : dummy;
  if (failing_) {
    r = EMutexCreate::Failed;
    return nullptr;
  }
  if (IsHeld(name)) {
    r = EMutexCreate::AlreadyExists;
    return nullptr;
  }
  held_.insert(std::string(name));
  r = EMutexCreate::Created;
  return std::make_unique<TFakeHandle>(&held_, std::string(name));
}

std::unique_ptr<TMutexHandle> TFakeMutexService::Open(std::string_view name) {
  if (!IsHeld(name)) return nullptr;
  return std::make_unique<TOpenedHandle>();
}

}  // namespace vdmq
