#include "platform/sys/Files.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <algorithm>
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

std::string WithSeparator(std::string_view folder) {
  std::string f(folder);
  if (!f.empty() && f.back() != '\\' && f.back() != '/') f += '\\';
  return f;
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

}  // namespace

// ---------------------------------------------------------------- trees

bool TFileService::CopyTree(std::string_view from, std::string_view to) {
  const std::string src = WithSeparator(from), dst = WithSeparator(to);
  bool ok = FolderExists(dst) || CreateDirectory(dst);
  const auto entries = FindAll(src);
  if (!entries) return false;
  for (const TFindEntry& e : *entries) {
    if (e.isLink) {
      ok = false;  // links are not copied
    } else if (e.isFolder) {
      ok = CopyTree(src + e.name, dst + e.name) && ok;
    } else {
      ok = CopyFile(src + e.name, dst + e.name, false) && ok;
    }
  }
  return ok;
}

bool TFileService::DeleteTree(std::string_view folder) {
  const std::string dir = WithSeparator(folder);
  bool ok = true;
  if (const auto entries = FindAll(dir)) {
    for (const TFindEntry& e : *entries) {
      if (e.isFolder && !e.isLink) {
        ok = DeleteTree(dir + e.name) && ok;
      } else {
        ok = DeleteFile(dir + e.name) && ok;
      }
    }
  } else {
    ok = false;
  }
  return RemoveDirectory(dir) && ok;
}

// ---------------------------------------------------------------- real files

bool TLinuxFileService::FileIsExist(std::string_view path) {
  struct stat st;
  const std::string n = Native(path);
  return !n.empty() && stat(n.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool TLinuxFileService::FolderExists(std::string_view path) {
  struct stat st;
  const std::string n = Native(path);
  return !n.empty() && lstat(n.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
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

std::optional<std::vector<TFindEntry>> TLinuxFileService::FindAll(std::string_view folder) {
  const std::string n = Native(folder);
  if (n.empty()) return std::nullopt;
  // O_NOFOLLOW: a link named as the folder is not entered.
  const int fd = open(n.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) return std::nullopt;
  std::unique_ptr<DIR, int (*)(DIR*)> dir(fdopendir(fd), closedir);
  if (!dir) {
    close(fd);
    return std::nullopt;
  }
  std::vector<TFindEntry> out;
  while (dirent* e = readdir(dir.get())) {
    const std::string_view name = e->d_name;
    if (name == "." || name == "..") continue;
    struct stat st;
    if (fstatat(fd, e->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0) continue;
    TFindEntry entry;
    entry.name = Utf8ToSjis(name);
    entry.isLink = S_ISLNK(st.st_mode);
    entry.isFolder = S_ISDIR(st.st_mode);
    out.push_back(std::move(entry));
  }
  std::sort(out.begin(), out.end(), [](const TFindEntry& a, const TFindEntry& b) { return a.name < b.name; });
  return out;
}

bool TLinuxFileService::CopyFile(std::string_view from, std::string_view to, bool failIfExists) {
  const std::string src = Native(from), dst = Native(to);
  if (src.empty() || dst.empty()) return false;
  const int in = open(src.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
  if (in < 0) return false;
  struct stat st;
  if (fstat(in, &st) != 0 || !S_ISREG(st.st_mode)) {
    close(in);
    return false;
  }
  struct stat target;
  if (lstat(dst.c_str(), &target) == 0 && (failIfExists || S_ISDIR(target.st_mode))) {
    close(in);
    return false;
  }
  // Write a new file beside the target and rename it over: a link at the target is replaced, never
  // written through, and a failed copy leaves the old target alone.
  const size_t slash = dst.rfind('/');
  const std::string temp = (slash == std::string::npos ? std::string() : dst.substr(0, slash + 1)) + ".vdmq-copy-" +
                           std::to_string(getpid()) + "-" + (slash == std::string::npos ? dst : dst.substr(slash + 1));
  const int out = open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, st.st_mode & 07777);
  if (out < 0) {
    close(in);
    return false;
  }
  bool ok = true;
  char buf[1 << 16];
  for (;;) {
    const ssize_t n = read(in, buf, sizeof buf);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) ok = false;
    if (n <= 0) break;
    if (!WriteAll(out, buf, static_cast<size_t>(n))) {
      ok = false;
      break;
    }
  }
  close(in);
  fchmod(out, st.st_mode & 07777);
  ok = close(out) == 0 && ok;
  if (ok && failIfExists) {
    ok = link(temp.c_str(), dst.c_str()) == 0;  // fails when the target appeared meanwhile
    unlink(temp.c_str());
    return ok;
  }
  if (!ok || rename(temp.c_str(), dst.c_str()) != 0) {
    unlink(temp.c_str());
    return false;
  }
  return true;
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
  return freeBytes_ ? freeBytes_ : TLinuxFileService::FreeBytes(path);
}

}  // namespace vdmq
