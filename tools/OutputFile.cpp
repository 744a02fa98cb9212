#include "tools/OutputFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

namespace vdmq::raster {

namespace {

bool Fail(std::string* error, const std::string& path, const std::string& reason) {
  if (error) *error = path + ": " + reason;
  return false;
}

}  // namespace

bool ReplaceFile(const std::string& path, const std::function<bool(const std::string& tempPath)>& write,
                 std::string* error) {
  // The temporary name is claimed by creating the file exclusively.
  std::vector<char> temp(path.begin(), path.end());
  const char suffix[] = ".part-XXXXXX";
  temp.insert(temp.end(), suffix, suffix + sizeof suffix);
  const int fd = mkstemp(temp.data());
  if (fd < 0) return Fail(error, path, std::strerror(errno));
  fchmod(fd, 0644);
  close(fd);
  const std::string tempPath(temp.data());
  if (!write(tempPath)) {
    std::remove(tempPath.c_str());
    return Fail(error, path, "the file could not be written completely");
  }
  if (std::rename(tempPath.c_str(), path.c_str()) != 0) {
    const int e = errno;
    std::remove(tempPath.c_str());
    return Fail(error, path, std::strerror(e));
  }
  return true;
}

bool ReplaceFileBytes(const std::string& path, const void* data, std::size_t size, std::string* error) {
  std::string reason;
  const bool ok = ReplaceFile(
      path,
      [&](const std::string& tempPath) {
        FILE* fp = std::fopen(tempPath.c_str(), "wb");
        if (!fp) {
          reason = std::strerror(errno);
          return false;
        }
        const bool written = std::fwrite(data, 1, size, fp) == size;
        if (!written) reason = std::strerror(errno);
        if (std::fclose(fp) != 0 && written) {
          reason = std::strerror(errno);
          return false;
        }
        return written;
      },
      error);
  if (!ok && error && !reason.empty()) *error = path + ": " + reason;
  return ok;
}

}  // namespace vdmq::raster
