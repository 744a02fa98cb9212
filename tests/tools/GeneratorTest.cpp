// make_sample_data's command line and its failures: bad lines write nothing and answer 2, a folder
// that cannot be written answers 1 and leaves the files of an earlier run as they were. Only the
// world stage runs here, so the tests stay fast.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "support/Scratch.h"
#include "tools/Generator.h"

namespace vdmq {
namespace {

namespace fs = std::filesystem;

int Generate(std::vector<std::string> args, std::string* err = nullptr) {
  args.insert(args.begin(), "make_sample_data");
  std::vector<const char*> argv;
  for (const std::string& a : args) argv.push_back(a.c_str());
  testing::internal::CaptureStderr();
  const int rc = sample::MakeSampleDataMain(static_cast<int>(argv.size()), argv.data());
  const std::string text = testing::internal::GetCapturedStderr();
  if (err != nullptr) *err = text;
  return rc;
}

std::string ReadAll(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST(MakeSampleData, ABadCommandLineWritesNothing) {
  test::TScratch scratch("cli");
  const std::string game = scratch / "game";
  const std::vector<std::vector<std::string>> bad = {
      {"--colour", "red", game},         // an unknown option
      {"-x", game},                      // another
      {"--only", "world,sounds", game},  // an unknown stage
      {"--only", "", game},              // no stage at all
      {"--threads", "0", game},          // out of range
      {"--threads", "65", game},
      {"--threads", "4x", game},
      {"--only", "world"},         // no game folder
      {game, scratch / "second"},  // two of them
      {game, "--threads"},         // an option without its value
      {"--flame-rows", game},      // the flame rows write nothing
      {"--flame-rows", "--only", "world"},
  };
  for (const auto& args : bad) {
    std::string err;
    EXPECT_EQ(Generate(args, &err), 2) << args.front();
    EXPECT_NE(err.find("usage: make_sample_data"), std::string::npos) << args.front();
    EXPECT_FALSE(fs::exists(game)) << args.front();
  }
  EXPECT_EQ(Generate({"--only", "world", "--threads", "3", game}), 0);
  EXPECT_TRUE(fs::exists(fs::path(game) / "dat/INIT.DAT"));
  EXPECT_FALSE(fs::exists(fs::path(game) / "dat/BMP.PAK")) << "only the stages asked for run";
}

TEST(MakeSampleData, AFolderThatCannotBeWrittenKeepsTheEarlierSet) {
  test::TScratch scratch("cli");
  const fs::path game = scratch / "game";
  ASSERT_EQ(Generate({"--only", "world", game.string()}), 0);
  const std::string init = ReadAll(game / "dat/INIT.DAT"), map = ReadAll(game / "dat/MAP00.DAT");
  std::string err;
  if (geteuid() != 0) {
    // The data folder turns read-only: no temporary file can be made beside the old ones.
    fs::permissions(game / "dat", fs::perms::owner_read | fs::perms::owner_exec);
    EXPECT_EQ(Generate({"--only", "world", game.string()}, &err), 1);
    fs::permissions(game / "dat", fs::perms::owner_all);
    EXPECT_NE(err.find((game / "dat/INIT.DAT").string()), std::string::npos) << err;
  }
  // A file where the save folder belongs (this also holds for a user whom permissions do not stop).
  fs::remove_all(game / "save");
  std::ofstream(game / "save") << "in the way";
  EXPECT_EQ(Generate({"--only", "world", game.string()}, &err), 1);
  EXPECT_NE(err.find((game / "save").string()), std::string::npos) << err;
  EXPECT_EQ(ReadAll(game / "dat/INIT.DAT"), init);
  EXPECT_EQ(ReadAll(game / "dat/MAP00.DAT"), map);
  for (const auto& f : fs::directory_iterator(game / "dat")) {
    EXPECT_EQ(f.path().filename().string().find(".part-"), std::string::npos) << "no temporary file is left";
  }
}

}  // namespace
}  // namespace vdmq
