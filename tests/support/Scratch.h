#pragma once
// A scratch folder of the test's own: a fresh, uniquely named folder below $TMPDIR (or /tmp),
// removed with everything in it when the object goes. Test files never use fixed or pid-based
// names, so test processes running side by side (or on machines sharing /tmp) never meet.

#include <ftw.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <string>

namespace vdmq::test {

class TScratch {
 public:
  explicit TScratch(const std::string& tag = "test") {
    std::string base = "/tmp";
    if (const char* t = std::getenv("TMPDIR"); t && t[0] == '/') base = t;
    std::string p = base + "/vdmq-" + tag + "-XXXXXX";
    if (!mkdtemp(p.data())) throw std::runtime_error("mkdtemp");
    path_ = p;
  }
  ~TScratch() {
    nftw(
        path_.c_str(), [](const char* p, const struct stat*, int, struct FTW*) { return std::remove(p), 0; }, 16,
        FTW_DEPTH | FTW_PHYS);
  }
  TScratch(const TScratch&) = delete;
  TScratch& operator=(const TScratch&) = delete;
  const std::string& Path() const { return path_; }
  std::string operator/(const std::string& rel) const { return path_ + "/" + rel; }

 private:
  std::string path_;
};

}  // namespace vdmq::test
