#pragma once
// Helpers of the service tests: a scratch folder removed at the end, and small file utilities.

#include <ftw.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>

namespace vdmq::test {

class TScratch {
 public:
  TScratch() {
    std::string base = "/tmp";
    if (const char* t = std::getenv("TMPDIR"); t && t[0] == '/') base = t;
    std::string p = base + "/vdmq-test-XXXXXX";
    if (!mkdtemp(p.data())) throw std::runtime_error("mkdtemp");
    path_ = p;
  }
  ~TScratch() {
    nftw(path_.c_str(), [](const char* p, const struct stat*, int, struct FTW*) { return remove(p), 0; }, 16,
         FTW_DEPTH | FTW_PHYS);
  }
  const std::string& Path() const { return path_; }
  std::string operator/(const std::string& rel) const { return path_ + "/" + rel; }

 private:
  std::string path_;
};

inline void Write(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
  if (!out) throw std::runtime_error("cannot write " + path);
}

inline std::string Read(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

inline bool Exists(const std::string& path) {
  struct stat st;
  return lstat(path.c_str(), &st) == 0;
}

}  // namespace vdmq::test
