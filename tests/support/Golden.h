#pragma once
// Golden pictures: a rendered picture is compared with tests/<folder>/golden/<name>.png. On a
// difference the rendering is written beside it as <name>.actual.png, to be looked at; after a
// deliberate change of the look, VDMQ_UPDATE_GOLDEN=1 rewrites the golden pictures.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/core/Pixmap.h"
#include "platform/headless/PngFile.h"

namespace vdmq::test {

// The tests/ folder of the source tree.
inline std::filesystem::path TestsFolder() {
  if (const char* src = std::getenv("VDMQ_SOURCE_DIR"); src && *src) return std::filesystem::path(src) / "tests";
  return std::filesystem::path(__FILE__).parent_path().parent_path();
}

inline ::testing::AssertionResult MatchesGolden(const TPixmap& picture, const std::string& folder,
                                                const std::string& name) {
  const std::filesystem::path dir = TestsFolder() / folder / "golden";
  const std::filesystem::path file = dir / (name + ".png");
  const std::filesystem::path actual = dir / (name + ".actual.png");
  if (const char* u = std::getenv("VDMQ_UPDATE_GOLDEN"); u && std::string(u) == "1") {
    std::filesystem::create_directories(dir);
    if (!SavePng(file.string(), picture)) return ::testing::AssertionFailure() << "cannot write " << file;
  }
  TPixmap want;
  if (!LoadPng(file.string(), want)) {
    SavePng(actual.string(), picture);
    return ::testing::AssertionFailure() << "missing golden picture " << file << " (rendering: " << actual << ")";
  }
  const long differing = ComparePixmaps(picture, want);
  if (differing != 0) {
    SavePng(actual.string(), picture);
    return ::testing::AssertionFailure() << differing << " pixels differ from " << file << " (rendering: " << actual
                                         << ")";
  }
  std::error_code ignored;
  std::filesystem::remove(actual, ignored);
  return ::testing::AssertionSuccess();
}

}  // namespace vdmq::test
