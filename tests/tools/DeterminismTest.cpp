// The generated game folder does not depend on how it was made: a second generation with one
// thread, in another time zone and into another folder gives byte-identical files.

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>

#include "support/Scratch.h"
#include "tools/Generator.h"

namespace vdmq {
namespace {

namespace fs = std::filesystem;

std::map<std::string, std::string> Files(const fs::path& root) {
  std::map<std::string, std::string> out;
  for (const auto& f : fs::recursive_directory_iterator(root)) {
    if (!f.is_regular_file()) continue;
    std::ifstream in(f.path(), std::ios::binary);
    out[fs::relative(f.path(), root).string()] = std::string(std::istreambuf_iterator<char>(in), {});
  }
  return out;
}

TEST(Determinism, ASecondGenerationIsByteIdentical) {
  test::TScratch scratch("determinism");
  sample::TGenerateOptions a = sample::OptionsFor(scratch / "first", {});
  ASSERT_TRUE(sample::GenerateSampleData(a));

  const char* oldTz = std::getenv("TZ");
  const std::string savedTz = oldTz != nullptr ? oldTz : "";
  setenv("TZ", "Pacific/Chatham", 1);
  tzset();
  sample::TGenerateOptions b = sample::OptionsFor(scratch / "another/place", {});
  b.Threads = 1;
  b.StageFolder = scratch / "staged";
  const bool generated = sample::GenerateSampleData(b);
  if (oldTz != nullptr) {
    setenv("TZ", savedTz.c_str(), 1);
  } else {
    unsetenv("TZ");
  }
  tzset();
  ASSERT_TRUE(generated);

  const auto first = Files(a.Folder), second = Files(b.Folder);
  ASSERT_EQ(first.size(), 4u + 19u + 2u)
      << "dat/INIT.DAT, dat/MAP00.DAT, q_help.html, dat/BMP.PAK, 19 sounds, 2 movies";
  ASSERT_EQ(first.size(), second.size());
  for (const auto& [name, bytes] : first) {
    ASSERT_TRUE(second.count(name)) << name;
    EXPECT_TRUE(bytes == second.at(name)) << name << " differs";
  }
  EXPECT_EQ(Files(b.StageFolder).size(), 274u) << "one staged file per entry";
}

}  // namespace
}  // namespace vdmq
