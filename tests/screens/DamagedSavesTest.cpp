// Two hundred damaged save files offered at the save/load screen: each slot lists as empty or as a
// game, and a listed one either loads or is refused with the notice and the world as it was.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

#include "ScreensTestSupport.h"
#include "campaign/GameSave.h"
#include "campaign/Save.h"
#include "formkit/Chbcbtn.h"
#include "platform/base/Sjis.h"
#include "platform/core/StdCtrls.h"
#include "screens/F_save.h"
#include "screens/F_sysmes.h"
#include "screens/Main.h"
#include "support/GameFiles.h"

namespace vdmq {
namespace {

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

TEST(DamagedSaves, AreListedAsEmptyOrLoadOrAreRefusedWithTheWorldAsItWas) {
  test::TGameFolder folder;
  THeadlessSession session;
  TGameSession game;
  ASSERT_FALSE(game.StartFailed());
  ASSERT_TRUE(test::SaveQuietly(0));
  const std::string good = ReadAll(folder.Native("save/SAVE00.DAT"));
  ASSERT_GT(good.size(), 100u);

  std::vector<std::string> notices;
  session.Backend.Driver = [&] {
    if (TopModal() != fmSysMes) return false;
    notices.push_back(test::SysMesText().lines[0]);
    test::AnswerSysMes(true);
    return true;
  };
  std::mt19937 rng(19);
  int listed = 0, loaded = 0, refused = 0;
  for (int round = 0; round * 15 < 200; ++round) {
    for (int slot = 0; slot < 15 && round * 15 + slot < 200; ++slot) {
      std::string bytes = good;
      if (rng() % 2 == 0) bytes.resize(rng() % bytes.size());
      for (unsigned n = rng() % 8; n > 0 && !bytes.empty(); --n) bytes[rng() % bytes.size()] = static_cast<char>(rng());
      const std::string path =
          folder.Native("save/SAVE" + std::string(slot < 10 ? "0" : "") + std::to_string(slot) + ".DAT");
      std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
    }
    std::vector<int> games;
    TfmSave* screen = nullptr;
    auto saved = session.Backend.Driver;
    session.Backend.Driver = [&] {
      screen = dynamic_cast<TfmSave*>(TopModal());
      if (screen == nullptr) return false;
      for (int slot = 0; slot < 15; ++slot) {
        const std::string line = SjisToUtf8(screen->lbDat[slot]->Caption());
        if (line != "No Save File") {
          EXPECT_NE(line.find("年"), std::string::npos) << line;
          games.push_back(slot);
        }
      }
      Click(screen->btnBack, mbLeft, false);
      return true;
    };
    EXPECT_EQ(ShowSaveLoad(false, true), -1);
    session.Backend.Driver = saved;
    listed += static_cast<int>(games.size());
    for (int slot : games) {
      const std::string before = test::WorldBytes();
      notices.clear();
      if (SaveLoadGame(kSaveModeLoad, slot)) {
        ++loaded;
        EXPECT_EQ(notices, std::vector<std::string>{"ロードしました。"});
      } else {
        ++refused;
        EXPECT_EQ(notices, std::vector<std::string>{"ロードできませんでした。"});
        EXPECT_TRUE(test::WorldBytes() == before) << "slot " << slot << " of round " << round;
      }
    }
  }
  // Damage of this kind leaves some saves whole and breaks most.
  EXPECT_GT(listed, 0);
  EXPECT_LT(listed, 200);
  EXPECT_EQ(loaded + refused, listed);
}

}  // namespace
}  // namespace vdmq
