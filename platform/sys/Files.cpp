#include "platform/sys/Files.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <memory>

#include "platform/base/Sjis.h"
#include "platform/sys/PathMapper.h"

namespace vdmq {
namespace {

std::string Native(std::string_view gamePath) {
  std::string n = NativePath(gamePath);
  // A trailing separator makes stat follow a final link; the operations here name the entry itself.
  while (n.size() > 1 && n.back() == '/') n.pop_back();
  return n;
}

// The status of what stands at the path itself (a link's own, not its target's).
std::optional<struct stat> OwnStatus(std::string_view gamePath) {
  struct stat st;
  const std::string n = Native(gamePath);
  if (n.empty() || lstat(n.c_str(), &st) != 0) return std::nullopt;
  return st;
}

bool WriteAll(int fd, const char* data, size_t size) {
  while (size > 0) {
    const ssize_t n = write(fd, data, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    data += n;
    size -= static_cast<size_t>(n);
  }
  return true;
}

// An owned file descriptor.
class TFd {
 public:
  explicit TFd(int fd = -1) : fd_(fd) {}
  ~TFd() {
    if (fd_ >= 0) close(fd_);
  }
  TFd(const TFd&) = delete;
  TFd& operator=(const TFd&) = delete;
  int get() const { return fd_; }
  explicit operator bool() const { return fd_ >= 0; }

 private:
  int fd_;
};

int OpenFolder(const std::string& native) {
  return open(native.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
}

struct TNativeEntry {
  std::string name;
  struct stat st;  // of the entry itself, not of what a link names
};

// The entries of an open folder ("." and ".." left out); nullopt when it cannot be read. The names
// are all read before anything is done with them, so the walk never reads a folder it is changing.
std::optional<std::vector<TNativeEntry>> ListAt(int dirFd) {
  // A description of its own, so that listing never moves the caller's descriptor.
  const int fd = openat(dirFd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return std::nullopt;
  std::unique_ptr<DIR, int (*)(DIR*)> dir(fdopendir(fd), closedir);
  if (!dir) {
    close(fd);
    return std::nullopt;
  }
  std::vector<TNativeEntry> out;
  while (dirent* e = readdir(dir.get())) {
    const std::string_view name = e->d_name;
    if (name == "." || name == "..") continue;
    TNativeEntry entry;
    entry.name = name;
    // An entry that went away since the folder was read is no longer part of it.
    if (fstatat(dirFd, e->d_name, &entry.st, AT_SYMLINK_NOFOLLOW) == 0) out.push_back(std::move(entry));
  }
  return out;
}

bool SameFile(const struct stat& a, const struct stat& b) { return a.st_dev == b.st_dev && a.st_ino == b.st_ino; }

// Opens a listed folder of dirFd: never through a link, and only while it is still the folder that
// was listed (a folder swapped for another one or for a link meanwhile is not entered).
int OpenListedFolder(int dirFd, const TNativeEntry& e) {
  const int fd = openat(dirFd, e.name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  struct stat st;
  if (fd >= 0 && (fstat(fd, &st) != 0 || !SameFile(st, e.st))) {
    close(fd);
    return -1;
  }
  return fd;
}

// Copies the regular file srcName of folder srcDir (AT_FDCWD: a path) to dstName of folder dstDir,
// replacing the target unless failIfExists. The copy is written as a new file beside the target and
// renamed over it: a link at the target is replaced, never written through, and a failed copy
// leaves the old target alone.
bool CopyFileAt(int srcDir, const char* srcName, int dstDir, const std::string& dstName, bool failIfExists) {
  // O_NONBLOCK: opening a named pipe must not wait for a writer (it is refused below).
  TFd in(openat(srcDir, srcName, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
  struct stat st;
  if (!in || fstat(in.get(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
  fcntl(in.get(), F_SETFL, fcntl(in.get(), F_GETFL) & ~O_NONBLOCK);
  struct stat target;
  if (fstatat(dstDir, dstName.c_str(), &target, AT_SYMLINK_NOFOLLOW) == 0 &&
      (failIfExists || S_ISDIR(target.st_mode))) {
    return false;
  }
  // A temporary name of this process and call, whatever the length of the target's name.
  static std::atomic<unsigned> serial{0};
  std::string temp;
  int out = -1;
  for (int tries = 0; out < 0 && tries < 100; ++tries) {
    temp = ".vdmq-copy-" + std::to_string(getpid()) + "-" + std::to_string(serial++);
    out = openat(dstDir, temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, st.st_mode & 07777);
    if (out < 0 && errno != EEXIST) return false;
  }
  if (out < 0) return false;
  bool ok = true;
  char buf[1 << 16];
  for (;;) {
    const ssize_t n = read(in.get(), buf, sizeof buf);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) ok = false;
    if (n <= 0) break;
    if (!WriteAll(out, buf, static_cast<size_t>(n))) {
      ok = false;
      break;
    }
  }
  fchmod(out, st.st_mode & 07777);
  ok = close(out) == 0 && ok;
  if (ok && failIfExists) {
    ok = linkat(dstDir, temp.c_str(), dstDir, dstName.c_str(), 0) == 0;  // fails when the target appeared meanwhile
    unlinkat(dstDir, temp.c_str(), 0);
    return ok;
  }
  if (!ok || renameat(dstDir, temp.c_str(), dstDir, dstName.c_str()) != 0) {
    unlinkat(dstDir, temp.c_str(), 0);
    return false;
  }
  return true;
}

}  // namespace

// ---------------------------------------------------------------- trees

// Both walks go through folder descriptors: every entry is named relative to the descriptor of the
// folder that listed it, every folder is entered with O_NOFOLLOW and only while it is the folder
// that was listed. A name is never joined into a path and looked up again, so no name, link or
// rename met on the way can lead the walk outside the tree.
class TLinuxFileService::TTreeWalk {
 public:
  TTreeWalk(TLinuxFileService& owner, std::string rootPath) : owner_(owner), path_(std::move(rootPath)) {}

  // Copies what srcDir holds into dstDir; target: the status of the copy's root folder.
  bool CopyBelow(int srcDir, int dstDir, const struct stat& target, int depth) {
    const auto entries = ListAt(srcDir);
    if (!entries) return false;
    bool ok = true;
    for (const TNativeEntry& e : *entries) {
      const size_t mark = Enter(e.name);
      if (S_ISDIR(e.st.st_mode)) {
        // The copy's own root, met inside the source, is not copied into itself.
        if (SameFile(e.st, target) || depth >= kMaxTreeDepth) {
          ok = false;
        } else {
          TFd from(OpenListedFolder(srcDir, e));
          if (from && mkdirat(dstDir, e.name.c_str(), 0777) != 0 && errno != EEXIST) ok = false;
          TFd to(from ? openat(dstDir, e.name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC) : -1);
          ok = from && to && CopyBelow(from.get(), to.get(), target, depth + 1) && ok;
        }
      } else if (S_ISREG(e.st.st_mode)) {
        ok = CopyFileAt(srcDir, e.name.c_str(), dstDir, e.name, false) && ok;
      } else {
        ok = false;  // links, pipes, devices and sockets are not copied
      }
      path_.resize(mark);
    }
    return ok;
  }

  // Deletes what dirFd holds.
  bool DeleteBelow(int dirFd, int depth) {
    const auto entries = ListAt(dirFd);
    if (!entries) return false;
    bool ok = true;
    for (const TNativeEntry& e : *entries) {
      const size_t mark = Enter(e.name);
      if (S_ISDIR(e.st.st_mode)) {
        TFd sub(depth < kMaxTreeDepth ? OpenListedFolder(dirFd, e) : -1);
        ok = sub && DeleteBelow(sub.get(), depth + 1) && unlinkat(dirFd, e.name.c_str(), AT_REMOVEDIR) == 0 && ok;
      } else if (!S_ISLNK(e.st.st_mode) && (e.st.st_mode & S_IWUSR) == 0) {
        ok = false;  // a read-only file stays
      } else {
        ok = unlinkat(dirFd, e.name.c_str(), 0) == 0 && ok;
      }
      path_.resize(mark);
    }
    return ok;
  }

 private:
  // Appends the entry to the path the hook is told, and tells it; answers the length to go back to.
  size_t Enter(const std::string& name) {
    const size_t mark = path_.size();
    path_ += '/';
    path_ += name;
    owner_.BeforeTreeEntry(path_);
    return mark;
  }

  TLinuxFileService& owner_;
  std::string path_;
};

bool TLinuxFileService::CopyTree(std::string_view from, std::string_view to) {
  const std::string src = Native(from), dst = Native(to);
  if (src.empty() || dst.empty()) return false;
  TFd srcFd(OpenFolder(src));
  if (!srcFd) return false;
  if (mkdir(dst.c_str(), 0777) != 0 && errno != EEXIST) return false;
  TFd dstFd(OpenFolder(dst));  // a link standing for the target is not written through
  struct stat target;
  if (!dstFd || fstat(dstFd.get(), &target) != 0) return false;
  return TTreeWalk(*this, src).CopyBelow(srcFd.get(), dstFd.get(), target, 1);
}

bool TLinuxFileService::DeleteTree(std::string_view folder) {
  const std::string dir = Native(folder);
  if (dir.empty()) return false;
  TFd fd(OpenFolder(dir));  // a link standing for the folder is not entered (nor removed)
  if (!fd) return false;
  const bool ok = TTreeWalk(*this, dir).DeleteBelow(fd.get(), 1);
  // rmdir removes only an empty folder, never a link: whatever stands at the path by now is safe.
  return rmdir(dir.c_str()) == 0 && ok;
}

// ---------------------------------------------------------------- real files

bool TLinuxFileService::FileIsExist(std::string_view path) {
  struct stat st;
  const std::string n = Native(path);
  return !n.empty() && stat(n.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool TLinuxFileService::FolderExists(std::string_view path) {
  const auto st = OwnStatus(path);
  return st && S_ISDIR(st->st_mode);
}

bool TLinuxFileService::IsLink(std::string_view path) {
  const auto st = OwnStatus(path);
  return st && S_ISLNK(st->st_mode);
}

bool TLinuxFileService::IsOwnedByUser(std::string_view path) {
  const auto st = OwnStatus(path);
  return st && st->st_uid == geteuid();
}

std::optional<TFileTime> TLinuxFileService::LastWriteTime(std::string_view path) {
  struct stat st;
  const std::string n = Native(path);
  if (n.empty() || stat(n.c_str(), &st) != 0) return std::nullopt;
  std::tm tm{};
  const std::time_t t = st.st_mtim.tv_sec;
  if (!localtime_r(&t, &tm)) return std::nullopt;
  return TFileTime{tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec};
}

std::string TLinuxFileService::TempPath() {
  std::string dir = "/tmp";
  if (const char* t = std::getenv("TMPDIR"); t && t[0] == '/') dir = t;
  std::string game = GamePath(dir);
  if (game.empty() || game.back() != '\\') game += '\\';
  // The platform's limit; a longer folder falls back to /tmp.
  if (game.size() > 260) game = GamePath("/tmp") + "\\";
  return game;
}

std::optional<std::uint64_t> TLinuxFileService::FreeBytes(std::string_view path) {
  std::string n = Native(path);
  if (n.empty()) return std::nullopt;
  struct statvfs vfs;
  // Climb to the nearest folder that exists.
  while (statvfs(n.c_str(), &vfs) != 0) {
    const size_t slash = n.rfind('/');
    if (slash == std::string::npos) {
      if (n == ".") return std::nullopt;
      n = ".";
    } else {
      n = slash == 0 ? "/" : n.substr(0, slash);
      if (n == "/" && statvfs("/", &vfs) != 0) return std::nullopt;
    }
  }
  return static_cast<std::uint64_t>(vfs.f_bavail) * vfs.f_frsize;
}

std::optional<std::vector<TFindEntry>> TLinuxFileService::FindAll(std::string_view folder,
                                                                  std::vector<std::string>* unlisted) {
  const std::string n = Native(folder);
  if (n.empty()) return std::nullopt;
  TFd fd(OpenFolder(n));  // a link named as the folder is not entered
  if (!fd) return std::nullopt;
  const auto entries = ListAt(fd.get());
  if (!entries) return std::nullopt;
  std::vector<TFindEntry> out;
  for (const TNativeEntry& e : *entries) {
    std::optional<std::string> name = GameName(e.name);
    if (!name) {
      if (unlisted) unlisted->push_back(e.name);
      continue;
    }
    out.push_back({std::move(*name), S_ISDIR(e.st.st_mode), S_ISLNK(e.st.st_mode)});
  }
  std::sort(out.begin(), out.end(), [](const TFindEntry& a, const TFindEntry& b) { return a.name < b.name; });
  if (unlisted) std::sort(unlisted->begin(), unlisted->end());
  return out;
}

bool TLinuxFileService::CopyFile(std::string_view from, std::string_view to, bool failIfExists) {
  const std::string src = Native(from), dst = Native(to);
  if (src.empty() || dst.empty()) return false;
  const size_t slash = dst.rfind('/');
  const std::string name = slash == std::string::npos ? dst : dst.substr(slash + 1);
  if (name.empty() || name == "." || name == "..") return false;
  const std::string dir = slash == std::string::npos ? "." : slash == 0 ? "/" : dst.substr(0, slash);
  TFd dirFd(open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  return dirFd && CopyFileAt(AT_FDCWD, src.c_str(), dirFd.get(), name, failIfExists);
}

bool TLinuxFileService::DeleteFile(std::string_view path) {
  const std::string n = Native(path);
  struct stat st;
  if (n.empty() || lstat(n.c_str(), &st) != 0 || S_ISDIR(st.st_mode)) return false;
  if (!S_ISLNK(st.st_mode) && (st.st_mode & S_IWUSR) == 0) return false;  // read-only
  return unlink(n.c_str()) == 0;
}

bool TLinuxFileService::CreateDirectory(std::string_view path) {
  const std::string n = Native(path);
  return !n.empty() && mkdir(n.c_str(), 0777) == 0;
}

bool TLinuxFileService::RemoveDirectory(std::string_view path) {
  const std::string n = Native(path);
  struct stat st;
  if (n.empty() || lstat(n.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return false;
  return rmdir(n.c_str()) == 0;
}

std::optional<unsigned> TLinuxFileService::GetAttributes(std::string_view path) {
  const std::string n = Native(path);
  struct stat st;
  if (n.empty() || lstat(n.c_str(), &st) != 0) return std::nullopt;
  unsigned a = 0;
  if (S_ISDIR(st.st_mode)) a |= faDirectory;
  if (!S_ISLNK(st.st_mode) && (st.st_mode & S_IWUSR) == 0) a |= faReadOnly;
  return a == 0 ? faNormal : a;
}

bool TLinuxFileService::SetAttributes(std::string_view path, unsigned attributes) {
  const std::string n = Native(path);
  struct stat st;
  if (n.empty() || lstat(n.c_str(), &st) != 0 || S_ISLNK(st.st_mode)) return false;
  mode_t mode = st.st_mode & 07777;
  if (attributes & faReadOnly) {
    mode &= static_cast<mode_t>(~(S_IWUSR | S_IWGRP | S_IWOTH));
  } else {
    mode |= S_IWUSR;
  }
  return chmod(n.c_str(), mode) == 0;
}

// ---------------------------------------------------------------- fake

std::optional<std::uint64_t> TFakeFileService::FreeBytes(std::string_view path) {
  if (freeBytesFail_) return std::nullopt;
  return freeBytes_ ? freeBytes_ : TLinuxFileService::FreeBytes(path);
}

bool TFakeFileService::IsOwnedByUser(std::string_view path) {
  const std::string n = Native(path);
  return std::find(foreign_.begin(), foreign_.end(), n) == foreign_.end() && TLinuxFileService::IsOwnedByUser(path);
}

void TFakeFileService::SetOwnedByOther(std::string_view gamePath) { foreign_.push_back(Native(gamePath)); }

}  // namespace vdmq
