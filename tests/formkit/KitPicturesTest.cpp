// The kit's pictures as built into the program: their form, sizes, shared palette and cell rules,
// the brightness of every face, the joining edges of the header-bar pieces, and the generator that
// draws them (reproducible bytes, the embedded bytes, a failed write).
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <string>

#include "formkit/CHFDATAU.h"
#include "formkit/KitFaceTable.h"
#include "formkit/KitPictureData.h"
#include "formkit/KitPictures.h"
#include "platform/base/GameError.h"
#include "platform/base/LittleEndian.h"
#include "support/Luminance.h"
#include "support/Scratch.h"

using namespace vdmq;

namespace {

const TKitPictureBytes* Embedded(const std::string& name) {
  for (std::size_t i = 0; i < kKitPictureCount; ++i)
    if (name == kKitPictureBytes[i].Name) return &kKitPictureBytes[i];
  return nullptr;
}

double Luminance(const TBitmap& b, const TRect& r) { return test::MeanLuminance(b.Pixels(), r); }

struct TPictureForm {
  std::string name;
  int width, height, bits;
};

std::vector<TPictureForm> AllPictures() {
  std::vector<TPictureForm> all = {{"CHF_BcFrame", 80, 80, 8},
                                   {"CHF_BcTitlebar", 360, 40, 8},
                                   {"CHF_BcButton", 48, 70, 8},
                                   {"AppIcon16", 16, 16, 24},
                                   {"AppIcon32", 32, 32, 24}};
  for (const TFaceContainerSpec& s : kFaceContainers)
    all.push_back({std::string(s.Name), s.FaceWidth * s.Faces, s.FaceHeight * kFaceRows, 8});
  return all;
}

TEST(KitPicturesTest, EveryPictureHasItsSizeDepthAndTheSharedPalette) {
  const std::vector<TPictureForm> all = AllPictures();
  ASSERT_EQ(all.size(), 29u);
  EXPECT_EQ(kKitPictureCount, all.size());
  const unsigned char* palette = nullptr;
  for (const TPictureForm& p : all) {
    const TKitPictureBytes* e = Embedded(p.name);
    ASSERT_NE(e, nullptr) << p.name;
    const auto* b = reinterpret_cast<const unsigned char*>(e->Data);
    // The 40-byte information header first (the resource form), positive height, uncompressed.
    EXPECT_EQ(ReadLe32(b), 40u) << p.name;
    EXPECT_EQ(static_cast<int>(ReadLe32(b + 4)), p.width) << p.name;
    EXPECT_EQ(static_cast<int>(ReadLe32(b + 8)), p.height) << p.name;
    EXPECT_EQ(ReadLe16(b + 14), p.bits) << p.name;
    EXPECT_EQ(ReadLe32(b + 16), 0u) << p.name;
    const std::size_t row = (static_cast<std::size_t>(p.width) * p.bits / 8 + 3) & ~std::size_t{3};
    const std::size_t paletteBytes = p.bits == 8 ? 1024 : 0;
    EXPECT_EQ(e->Size, 40 + paletteBytes + row * p.height) << p.name;
    if (p.bits == 8) {
      EXPECT_EQ(ReadLe32(b + 32), 256u) << p.name;
      if (!palette) palette = b + 40;
      EXPECT_EQ(std::memcmp(palette, b + 40, 1024), 0) << p.name << " has a palette of its own";
    }
    TBitmap bmp;
    ASSERT_TRUE(LoadKitPicture(p.name, bmp)) << p.name;
    EXPECT_EQ(bmp.Width(), p.width);
    EXPECT_EQ(bmp.Height(), p.height);
  }
  TBitmap none;
  EXPECT_FALSE(LoadKitPicture("AppIcon64", none));
  EXPECT_TRUE(none.Empty());
}

TEST(KitPicturesTest, TheFactoryMakesAll24ContainersAndTheModuleItsThreeSkins) {
  TComponent owner(nullptr);
  const std::vector<std::string> names = FaceContainerNames();
  ASSERT_EQ(names.size(), 24u);
  EXPECT_EQ(std::set<std::string>(names.begin(), names.end()).size(), 24u);
  for (const std::string& name : names) {
    TCHBmpContainer* c = MakeFaceContainer(&owner, name);
    EXPECT_EQ(c->Owner(), &owner);
    EXPECT_EQ(c->Name, name);
    EXPECT_EQ(c->Count(), 8) << name;
    EXPECT_EQ(c->CellWidth(), 0);
    EXPECT_EQ(c->CellHeight(), FindFaceContainer(name)->FaceHeight);
    EXPECT_EQ(c->GetRect(1), Bounds(0, c->CellHeight(), c->GetBmpWidth(), c->CellHeight())) << name;
  }
  EXPECT_EQ(owner.ComponentCount(), 24);
  try {
    MakeFaceContainer(&owner, "bc99_99");
    ADD_FAILURE() << "an unknown name was taken";
  } catch (const EGameError& e) {
    EXPECT_NE(std::string(e.what()).find("bc99_99"), std::string::npos);
  }
  EXPECT_EQ(owner.ComponentCount(), 24);

  TCHF_Data module(nullptr);
  EXPECT_EQ(CHF_Data, &module);
  EXPECT_EQ(module.CHF_BcFrame->Count(), 1);
  EXPECT_EQ(module.CHF_BcTitlebar->Count(), 2);
  EXPECT_EQ(module.CHF_BcButton->Count(), 5);
  EXPECT_EQ(module.CHF_BcButton->GetRect(3), (TRect{0, 42, 48, 56}));
  EXPECT_EQ(module.CHF_BcTitlebar->GetRect(1), (TRect{0, 20, 360, 40}));
}

struct TBand {
  double low, high;
};

TEST(KitPicturesTest, EveryFaceKeepsToItsBrightnessBand) {
  const TBand up{0.08, 0.20}, disabled{0.03, 0.08}, lit{0.55, 0.75};
  for (const TFaceContainerSpec& s : kFaceContainers) {
    TBitmap b;
    ASSERT_TRUE(LoadKitPicture(std::string(s.Name), b));
    for (int row = 0; row < kFaceRows; ++row)
      for (int face = 0; face < s.Faces; ++face) {
        const TBand band = face == 0 ? up : face == 1 ? disabled : lit;
        const double l = Luminance(b, Bounds(face * s.FaceWidth, row * s.FaceHeight, s.FaceWidth, s.FaceHeight));
        EXPECT_TRUE(l >= band.low && l <= band.high) << s.Name << " row " << row << " face " << face << ": " << l;
      }
  }
  struct TSkinBand {
    const char* name;
    TRect r;
    TBand band;
  };
  const TSkinBand skins[] = {{"CHF_BcTitlebar", {0, 0, 360, 20}, {0.10, 0.25}},
                             {"CHF_BcTitlebar", {0, 20, 360, 40}, {0.55, 0.75}}};
  for (const TSkinBand& s : skins) {
    TBitmap b;
    ASSERT_TRUE(LoadKitPicture(s.name, b));
    const double l = Luminance(b, s.r);
    EXPECT_TRUE(l >= s.band.low && l <= s.band.high) << s.name << " " << s.r.Top << ": " << l;
  }
  TBitmap buttons;
  ASSERT_TRUE(LoadKitPicture("CHF_BcButton", buttons));
  for (int row = 0; row < 5; ++row)
    for (int face = 0; face < 3; ++face) {
      const TBand band = face == 1 ? TBand{0.15, 0.30} : TBand{0.08, 0.20};
      const double l = Luminance(buttons, Bounds(face * 16, row * 14, 16, 14));
      EXPECT_TRUE(l >= band.low && l <= band.high) << "caption button row " << row << " face " << face << ": " << l;
    }
}

TEST(KitPicturesTest, HeaderBarPiecesJoinWithoutASeam) {
  // Every side cut straight carries the same column per height, row and face.
  std::map<int, std::vector<std::uint32_t>> edge;  // face height -> the first straight edge seen
  int compared = 0;
  for (const TFaceContainerSpec& s : kFaceContainers) {
    const bool straightLeft = s.Shape == TFaceShape::Middle || s.Shape == TFaceShape::RightEnd;
    const bool straightRight = s.Shape == TFaceShape::Middle || s.Shape == TFaceShape::LeftEnd;
    if (!straightLeft && !straightRight) continue;
    EXPECT_EQ(s.FaceHeight, 20) << s.Name;
    TBitmap b;
    ASSERT_TRUE(LoadKitPicture(std::string(s.Name), b));
    for (int side = 0; side < 2; ++side) {
      if ((side == 0 && !straightLeft) || (side == 1 && !straightRight)) continue;
      std::vector<std::uint32_t> column;
      for (int face = 0; face < s.Faces; ++face) {
        const int x = face * s.FaceWidth + (side == 0 ? 0 : s.FaceWidth - 1);
        for (int y = 0; y < b.Height(); ++y) column.push_back(b.Pixels().Pixel(x, y));
      }
      auto [it, first] = edge.emplace(s.FaceHeight, column);
      if (!first) {
        EXPECT_EQ(column, it->second) << s.Name << (side == 0 ? " left" : " right");
        ++compared;
      }
    }
  }
  EXPECT_EQ(compared, 13);
}

// ---------------------------------------------------------------------------------------------
// The generator

std::vector<unsigned char> ReadAll(const std::filesystem::path& p) {
  std::ifstream in(p, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

int RunTool(const std::string& command) {
  const int status = std::system(command.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(MakeFormPicturesTest, TwoRunsGiveTheEmbeddedBytes) {
  test::TScratch scratch("formpictures");
  const std::string tool = VDMQ_MAKE_FORM_PICTURES;
  ASSERT_EQ(RunTool(tool + " " + scratch / "a" + " --preview " + scratch / "sheet.png"), 0);
  ASSERT_EQ(RunTool(tool + " " + scratch / "b"), 0);  // b does not exist yet: it is made
  EXPECT_TRUE(std::filesystem::file_size(scratch / "sheet.png") > 0);
  int files = 0;
  for (const auto& e : std::filesystem::directory_iterator(scratch / "a")) {
    const std::vector<unsigned char> a = ReadAll(e.path());
    EXPECT_EQ(a, ReadAll(std::filesystem::path(scratch / "b") / e.path().filename())) << e.path();
    ++files;
    // The setup program's background is built into the setup program, not into the kit.
    if (e.path().stem() == "SetupBg") {
      EXPECT_EQ(Embedded("SetupBg"), nullptr);
      continue;
    }
    const TKitPictureBytes* embedded = Embedded(e.path().stem().string());
    ASSERT_NE(embedded, nullptr) << e.path();
    ASSERT_EQ(a.size(), embedded->Size + 14);
    EXPECT_EQ(std::memcmp(a.data() + 14, embedded->Data, embedded->Size), 0) << e.path();
    EXPECT_EQ(a[0], 'B');
    EXPECT_EQ(ReadLe32(a.data() + 2), a.size());
    EXPECT_EQ(ReadLe32(a.data() + 10), a.size() - (embedded->Size - 40 - (ReadLe32(a.data() + 14 + 32) * 4)));
  }
  EXPECT_EQ(files, 30);
}

TEST(MakeFormPicturesTest, AFailedWriteNamesTheFileAndFails) {
  test::TScratch scratch("formpictures");
  // A folder where the frame's file should go cannot be replaced by a file.
  std::filesystem::create_directories(std::filesystem::path(scratch / "out") / "CHF_BcFrame.bmp" / "x");
  const std::string log = scratch / "log.txt";
  EXPECT_NE(RunTool(std::string(VDMQ_MAKE_FORM_PICTURES) + " " + scratch / "out" + " 2>" + log), 0);
  const std::vector<unsigned char> text = ReadAll(log);
  EXPECT_NE(std::string(text.begin(), text.end()).find("CHF_BcFrame.bmp"), std::string::npos);
}

}  // namespace
