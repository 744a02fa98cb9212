// The committed seeds of the fuzz targets are what the seed generator writes from today's formats
// and data set.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>

#include "tools/FuzzSeeds.h"

namespace vdmq {
namespace {

namespace fs = std::filesystem;

TEST(FuzzSeeds, TheCommittedSeedsAreWhatTheGeneratorWrites) {
  const char* source = std::getenv("VDMQ_SOURCE_DIR");
  ASSERT_NE(source, nullptr);
  std::map<std::string, std::string> committed;
  size_t total = 0;
  const fs::path root = fs::path(source) / "fuzz/seeds";
  for (const auto& e : fs::recursive_directory_iterator(root)) {
    if (!e.is_regular_file()) continue;
    std::ifstream in(e.path(), std::ios::binary);
    const std::string bytes(std::istreambuf_iterator<char>(in), {});
    total += bytes.size();
    committed[fs::relative(e.path(), root).generic_string()] = bytes;
  }
  bool ok = false;
  const auto made = seeds::FuzzSeeds(&ok);
  ASSERT_TRUE(ok);
  EXPECT_LE(total, 300u * 1024) << "the seeds stay small";
  for (const auto& [name, bytes] : made) {
    const auto it = committed.find(name);
    EXPECT_TRUE(it != committed.end() && it->second == bytes)
        << name << " is missing or out of date: run tools/fuzz_seeds.sh and commit fuzz/seeds";
  }
  for (const auto& [name, bytes] : committed) EXPECT_TRUE(made.count(name)) << name << " is no longer made";
}

}  // namespace
}  // namespace vdmq
