// The setup window's background picture as built into the program, its reader, and the whole
// window as the player sees it (golden pictures of the 800 x 600 screen).

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string_view>

#include "SetupSupport.h"
#include "platform/base/LittleEndian.h"
#include "platform/core/Application.h"
#include "platform/core/Desktop.h"
#include "setup/SetupPicture.h"
#include "setup/SetupPictureData.h"
#include "support/Golden.h"
#include "support/Luminance.h"
#include "support/Scratch.h"
#include "tools/BmpWriter.h"

namespace vdmq::setup::test {
namespace {

const TSetupPictureBytes* Embedded(std::string_view name) {
  for (std::size_t i = 0; i < kSetupPictureCount; ++i)
    if (name == kSetupPictureBytes[i].Name) return &kSetupPictureBytes[i];
  return nullptr;
}

}  // namespace

// The generator's picture, byte for byte: 480 x 320, 24-bit, stored bottom row first, uncompressed.
TEST(SetupPicture, TheEmbeddedBackgroundIsTheGeneratorsPicture) {
  const TSetupPictureBytes* bg = Embedded("SetupBg");
  ASSERT_NE(bg, nullptr);
  EXPECT_EQ(kSetupPictureCount, 1u);
  EXPECT_EQ(ReadLe32(bg->Data), 40u);
  EXPECT_EQ(ReadLe32(bg->Data + 4), 480u);
  EXPECT_EQ(ReadLe32(bg->Data + 8), 320u);
  EXPECT_EQ((bg->Data[14] & 255) | (bg->Data[15] & 255) << 8, 24);
  EXPECT_EQ(ReadLe32(bg->Data + 16), 0u);
  EXPECT_EQ(bg->Size, 40u + 480 * 3 * 320);

  vdmq::test::TScratch scratch("setuppicture");
  const int status = std::system((std::string(VDMQ_MAKE_FORM_PICTURES) + " " + scratch.Path()).c_str());
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  std::ifstream in(scratch / "SetupBg.bmp", std::ios::binary);
  const std::string file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  ASSERT_EQ(file.size(), bg->Size + 14);
  EXPECT_EQ(std::memcmp(file.data() + 14, bg->Data, bg->Size), 0);
}

// Dark enough that the four standard buttons stand out, and darkest behind them.
TEST(SetupPicture, IsDarkAndDarkestBehindTheButtons) {
  TBitmap bg;
  ASSERT_TRUE(LoadSetupBackground(bg));
  ASSERT_EQ(bg.Width(), 480);
  ASSERT_EQ(bg.Height(), 320);
  const double whole = vdmq::test::MeanLuminance(bg.Pixels(), Bounds(0, 0, 480, 320));
  EXPECT_GE(whole, 0.02);
  EXPECT_LE(whole, 0.15);
  EXPECT_LT(vdmq::test::MeanLuminance(bg.Pixels(), Bounds(0, 280, 480, 40)), 0.05);
}

TEST(SetupPicture, TheReaderTakesOnlyWhole24BitPictures) {
  // 3 x 2 pixels, so each row carries padding.
  raster::TImage24 image(3, 2);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x) image.At(x, y) = {static_cast<std::uint8_t>(x), static_cast<std::uint8_t>(y), 200};
  const std::vector<std::uint8_t> file = raster::EncodeBmp(image);
  const std::string bytes(file.begin() + 14, file.end());
  std::string topDown = bytes;  // the rows the other way round, with a negative height
  topDown.replace(40, 12, bytes.substr(52, 12)).replace(52, 12, bytes.substr(40, 12));
  const std::uint32_t negative = static_cast<std::uint32_t>(-2);
  std::memcpy(topDown.data() + 8, &negative, 4);
  const auto patched = [&](size_t at, std::uint32_t value, size_t width) {
    std::string b = bytes;
    std::memcpy(b.data() + at, &value, width);
    return b;
  };
  struct Case {
    const char* what;
    std::string bytes;
    bool loads;
  };
  const Case cases[] = {
      {"bottom row first", bytes, true},
      {"top row first", topDown, true},
      {"cut short", bytes.substr(0, bytes.size() - 1), false},
      {"a header only", bytes.substr(0, 40), false},
      {"with its file header", std::string(file.begin(), file.end()), false},
      {"8 bits", patched(14, 8, 2), false},
      {"compressed", patched(16, 1, 4), false},
      {"another header size", patched(0, 12, 4), false},
      {"no width", patched(4, 0, 4), false},
      {"no height", patched(8, 0, 4), false},
      {"far too wide", patched(4, 1u << 30, 4), false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TBitmap b;
    b.SetSize(1, 1);
    EXPECT_EQ(LoadBmp24Bytes(c.bytes.data(), c.bytes.size(), b), c.loads);
    if (!c.loads) {
      EXPECT_EQ(b.Width(), 1);  // unchanged
      continue;
    }
    ASSERT_EQ(b.Width(), 3);
    ASSERT_EQ(b.Height(), 2);
    for (int y = 0; y < 2; ++y)
      for (int x = 0; x < 3; ++x) EXPECT_EQ(b.Pixels().Pixel(x, y), 200u << 16 | static_cast<unsigned>(y) << 8 | x);
  }
}

// What the player sees: the window centred on the screen, its background, the buttons of each state.
TEST(SetupGolden, TheWindowNotInstalledAndInstalled) {
  for (const bool installed : {false, true}) {
    TSetupSandbox sb;
    if (!installed) sb.SetValue("InstallPath", "");
    TSetupRun run;
    run.Then([installed] {
         App().PaintAndPresent();
         EXPECT_TRUE(vdmq::test::MatchesGolden(App().Desktop().Screen(), "setup",
                                               installed ? "setup_installed" : "setup_not_installed"));
       })
        .Click("Button1");
    EXPECT_EQ(run.Run(), 0);
  }
}

}  // namespace vdmq::setup::test
