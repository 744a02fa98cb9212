// The data-file locator: the path and entry-name table, the disc search over fake drives, the movie
// fallback to the disc and the disc prompt, and game paths that always become native paths.

#include "campaign/FileKinds.h"
#include "campaign/File_manager.h"

#include <dirent.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <climits>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "campaign/GameHost.h"
#include "platform/base/Sjis.h"
#include "platform/sys/Drives.h"
#include "platform/sys/Services.h"
#include "support/KeyedBytes.h"
#include "support/RecordingHost.h"

namespace vdmq {
namespace {

class FileManagerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    sys_.WriteFile("C:\\vdmq\\vdm_q_t.exe", "");
    // The disc prompt is answered OK unless a test says otherwise; the quit question is refused.
    host_.promptAnswers = {1};
    host_.confirmEnd = false;
  }
  std::string Cwd() const {
    char buf[PATH_MAX];
    return getcwd(buf, sizeof buf) ? buf : "";
  }
  TFakeSysServices sys_;
  test::TRecordingHost host_;
};

TEST_F(FileManagerTest, PathsAndEntryNames) {
  TFileManager fm;
  EXPECT_EQ(fm.GetFileNameNum(38, 7), "SH_07.BMP");
  EXPECT_EQ(fm.GetFileNameNum(4, 3), ".\\snd\\SE_03.WAV");
  EXPECT_EQ(fm.GetFileNameNum(3, 14), ".\\save\\SAVE14.DAT");
  EXPECT_EQ(fm.GetFileName(0), ".\\dat\\BMP.PAK");
  EXPECT_EQ(fm.GetFileName(7), ".\\q_help.hlp");
  EXPECT_EQ(fm.GetFileName(2), ".\\dat\\INIT.DAT");
  EXPECT_EQ(fm.GetFileNameNum(1, 1), ".\\dat\\MAP01.DAT");
  EXPECT_EQ(fm.GetFileNameNum(5, 11), ".\\snd\\ERI_011.WAV");
  EXPECT_EQ(fm.GetFileNameNum(6, 123), ".\\snd\\PET_123.WAV");
  EXPECT_EQ(fm.GetFileNameNum(34, 1), "QV_MAP1.BMP");
  EXPECT_EQ(fm.GetFileName(8), "BG_MAIN.BMP");
  EXPECT_EQ(fm.GetFileName(33), "BG_MAIN_0.BMP");
  EXPECT_EQ(fm.GetFileNameNum(43, 2), "COM_S02.BMP");
  EXPECT_EQ(fm.GetFileNameNum(46, 9), "BG_09.BMP");
  EXPECT_EQ(fm.GetFileName(55), "BT_MK.BMP");
  EXPECT_EQ(fm.GetFileName(57), "BG_EV_NX.BMP");
  // Number -1 leaves the pattern as it stands.
  EXPECT_EQ(fm.GetFileName(38), "SH_%02d.BMP");
  EXPECT_EQ(TFileManager::FindName(TFileManager::kSaveTable, 3, 0), "SAVE00.DAT");
  EXPECT_EQ(TFileManager::FindName(TFileManager::kSaveTable, 4, 0), "");
  EXPECT_EQ(TFileManager::FindName(nullptr, 3, 0), "");
  // Every archive kind answers a bare name, every other kind a path below the base folder.
  for (int kind = 0; kind <= 57; ++kind) {
    if (kind == 44 || kind == 45 || kind == 56) continue;
    const std::string name = fm.GetFileNameNum(kind, 1);
    EXPECT_EQ(name.rfind(".\\", 0) == 0, kind <= 7) << kind;
  }
  for (int kind : {44, 45, 58, -1, 1000}) {
    EXPECT_EQ(test::ErrorOf([&] { fm.GetFileNameNum(kind, 0); }), SJS("例外　ファイルが見当たらない")) << kind;
  }
}

// Every kind's name stands for the number and the file or entry name that the data set's files
// carry (number -1: the bare pattern); the archive kinds answer bare entry names, the others paths.
TEST_F(FileManagerTest, EveryKindHasItsNumberAndItsName) {
  TFileManager fm;
  struct Row {
    int kind, number;
    const char* name;
  };
  const Row rows[] = {{kFileKindPack, 0, ".\\dat\\BMP.PAK"},
                      {kFileKindMap, 1, ".\\dat\\MAP%02d.DAT"},
                      {kFileKindInit, 2, ".\\dat\\INIT.DAT"},
                      {kFileKindSave, 3, ".\\save\\SAVE%02d.DAT"},
                      {kFileKindSoundEffect, 4, ".\\snd\\SE_%02d.WAV"},
                      {kFileKindAdjutant2Voice, 5, ".\\snd\\ERI_%03d.WAV"},
                      {kFileKindAdjutant12Voice, 6, ".\\snd\\PET_%03d.WAV"},
                      {kFileKindHelp, 7, ".\\q_help.hlp"},
                      {kFileKindMainBackground, 8, "BG_MAIN.BMP"},
                      {kFileKindDesignerBackground, 9, "BG_BUILD.BMP"},
                      {kFileKindDesignerNoHull, 10, "BG_BUILD_0.BMP"},
                      {kFileKindEventBackground, 11, "BG_EVENT.BMP"},
                      {kFileKindEventPicture, 12, "BG_EV%02d.BMP"},
                      {kFileKindCommanderSelectorBackground, 13, "BG_CMDSEL.BMP"},
                      {kFileKindCommanderSelectorNoPortrait, 14, "BG_CMDSEL_0.BMP"},
                      {kFileKindDockBackground, 15, "BG_DOCK.BMP"},
                      {kFileKindPlanetSelectorBackground, 16, "BG_PL_SEL.BMP"},
                      {kFileKindFleetBackground, 17, "BG_FLEET.BMP"},
                      {kFileKindFleetNoShip, 18, "BG_FLEET_0.BMP"},
                      {kFileKindFleetSelectorBackground, 19, "BG_FLSEL.BMP"},
                      {kFileKindSaveLoadBackground, 20, "BG_SAVE.BMP"},
                      {kFileKindPartsSelectorBackground, 21, "BG_PARTS.BMP"},
                      {kFileKindTechnologyBackground, 22, "BG_TEC.BMP"},
                      {kFileKindBattleBarBackground, 23, "BG_BTMAIN.BMP"},
                      {kFileKindBattleMinimapBase, 24, "BG_BTMAIN_0.BMP"},
                      {kFileKindMessageBoxBackground, 25, "BG_SYSMES.BMP"},
                      {kFileKindInformationBackground, 26, "BG_CMDIF.BMP"},
                      {kFileKindKeypadBackground, 27, "BG_DENTAKU.BMP"},
                      {kFileKindPlanetBackground, 28, "BG_PLANET.BMP"},
                      {kFileKindSystemMenuBackground, 29, "BG_SYSTEM.BMP"},
                      {kFileKindMainBarRight, 30, "BG_MAIN_R.BMP"},
                      {kFileKindMainBarLeft, 31, "BG_MAIN_L.BMP"},
                      {kFileKindMainBarMiddle, 32, "BG_MAIN_M.BMP"},
                      {kFileKindMapMinimapBase, 33, "BG_MAIN_0.BMP"},
                      {kFileKindMapChips, 34, "QV_MAP%d.BMP"},
                      {kFileKindMapPlanets, 35, "QV_PLA.BMP"},
                      {kFileKindMapFleetIcons, 36, "QV_SHIP.BMP"},
                      {kFileKindMapMarks, 37, "QV_MK.BMP"},
                      {kFileKindShipPicture, 38, "SH_%02d.BMP"},
                      {kFileKindSmallShipPicture, 39, "SH_S%02d.BMP"},
                      {kFileKindLargePortrait, 40, "GEN_%02d.BMP"},
                      {kFileKindDimmedPortrait, 41, "GEN_D%02d.BMP"},
                      {kFileKindCommanderPortrait, 42, "COM_%02d.BMP"},
                      {kFileKindSmallCommanderPortrait, 43, "COM_S%02d.BMP"},
                      {kFileKindMapBackground, 46, "BG_%02d.BMP"},
                      {kFileKindBattleBackground, 47, "BTBG_%02d.BMP"},
                      {kFileKindBattleRadar, 48, "BT_MAP.BMP"},
                      {kFileKindBattleHull, 49, "BTSH_%02d.BMP"},
                      {kFileKindBattleMissiles, 50, "BTMS_%02d.BMP"},
                      {kFileKindBattleFlames, 51, "BTEFC_%02d.BMP"},
                      {kFileKindBattleExplosions, 52, "BTEXP_%02d.BMP"},
                      {kFileKindBattleTrails, 53, "BTADD_%02d.BMP"},
                      {kFileKindBattleShield, 54, "BTSD_%02d.BMP"},
                      {kFileKindBattleMarkers, 55, "BT_MK.BMP"},
                      {kFileKindMovie, 56, "INT_T%02d.str"},  // looked for on the disc: its name only
                      {kFileKindEventArrow, 57, "BG_EV_NX.BMP"}};
  int entries = 0;
  for (const Row& r : rows) {
    EXPECT_EQ(r.kind, r.number) << r.name;
    if (r.kind == kFileKindMovie) {
      EXPECT_EQ(TFileManager::FindName(TFileManager::kMovieTable, r.kind, -1), r.name);
      continue;
    }
    EXPECT_EQ(fm.GetFileName(r.kind), r.name) << r.number;
    const bool entry = std::string(r.name).rfind(".\\", 0) != 0;
    EXPECT_EQ(TFileManager::FindName(TFileManager::kPackTable, r.kind, -1).empty(), !entry) << r.number;
    entries += entry ? 1 : 0;
  }
  // The table names every kind there is, and no other kind is an archive entry.
  EXPECT_EQ(std::size(rows), std::size(kFileKinds));
  int archiveKinds = 0;
  for (int kind = -1; kind <= 60; ++kind) {
    if (!TFileManager::FindName(TFileManager::kPackTable, kind, -1).empty()) ++archiveKinds;
  }
  EXPECT_EQ(archiveKinds, entries);
  EXPECT_EQ(entries, 47);
}

TEST_F(FileManagerTest, InitMakesTheProgramFolderCurrentAndFindsNoDisc) {
  TFileManager fm;
  EXPECT_EQ(fm.State(), TFileManager::kStateNotSearched);
  sys_.drives->Set('E', sys_.Root() + "/e", dtFixed);  // a fixed drive with a marker is not a disc
  sys_.WriteFile("E:\\VDM_Q.ID1", "");
  EXPECT_TRUE(fm.Init());
  EXPECT_EQ(fm.State(), TFileManager::kStateNoDisc);
  EXPECT_STREQ(fm.DiscRoot(), "");
  EXPECT_EQ(fm.GetCdDir(), "VDM_Q\\");
  EXPECT_EQ(Cwd(), sys_.Root() + "/c/vdmq");
}

TEST_F(FileManagerTest, DiscSearchTakesTheFirstMarkedCdRom) {
  sys_.AddDisc('D', "empty");  // a CD-ROM without a marker
  sys_.AddDisc('E', "disc2");
  sys_.WriteFile("E:\\VDM_Q.ID2", "");
  sys_.AddDisc('F', "disc1");
  sys_.WriteFile("F:\\VDM_Q.ID1", "");
  TFileManager fm;
  EXPECT_TRUE(fm.SearchCdDrive());
  EXPECT_EQ(fm.State(), TFileManager::kStateDiscFound);
  EXPECT_STREQ(fm.DiscRoot(), "E:\\");
  EXPECT_EQ(fm.GetCdDir(), "E:\\VDM_Q\\");
}

TEST_F(FileManagerTest, SearchRunsThroughEveryCdRom) {
  for (char l = 'D'; l <= 'Y'; ++l) sys_.AddDisc(l, std::string("d") + l);
  sys_.WriteFile("Y:\\VDM_Q.ID1", "");
  TFileManager fm;
  fm.SearchCdDrive();
  EXPECT_STREQ(fm.DiscRoot(), "Y:\\");
}

TEST_F(FileManagerTest, MoviesComeFromTheProgramFolderOrTheDisc) {
  TFileManager fm;
  sys_.AddDisc('D', "disc1");
  sys_.WriteFile("D:\\VDM_Q.ID1", "");
  sys_.WriteFile("D:\\VDM_Q\\inter\\INT_T04.str", "movie");
  ASSERT_TRUE(fm.Init());
  sys_.WriteFile("C:\\vdmq\\inter\\INT_T03.str", "movie");
  EXPECT_EQ(fm.GetFileNameNum(kFileKindMovie, 3), ".\\inter\\INT_T03.str");
  EXPECT_EQ(fm.GetFileNameNum(kFileKindMovie, 4), "D:\\VDM_Q\\inter\\INT_T04.str");
  EXPECT_TRUE(host_.prompts.empty());
  // The right disc is in the drive but the movie is missing: the disc path, no prompt, no loop.
  EXPECT_EQ(fm.GetFileNameNum(kFileKindMovie, 1), "D:\\VDM_Q\\inter\\INT_T01.str");
  EXPECT_TRUE(host_.prompts.empty());
}

TEST_F(FileManagerTest, DiscPromptUntilTheRightDiscIsInserted) {
  TFileManager fm;
  sys_.AddDisc('D', "disc");
  sys_.WriteFile("D:\\VDM_Q.ID1", "");
  ASSERT_TRUE(fm.Init());
  host_.onPrompt = [&](int n) {
    if (n == 3) {
      sys_.WriteFile("D:\\VDM_Q.ID2", "");
      sys_.WriteFile("D:\\VDM_Q\\inter\\INT_T06.str", "movie");
    }
  };
  EXPECT_EQ(fm.GetFileNameNum(kFileKindMovie, 6), "D:\\VDM_Q\\inter\\INT_T06.str");
  ASSERT_EQ(host_.prompts.size(), 3u);
  EXPECT_EQ(host_.prompts[0], "2枚めのＣＤ－ＲＯＭを\n挿入してください。");
  EXPECT_EQ(host_.promptCaptions[0], "CD-ROMの交換");
}

TEST_F(FileManagerTest, CancelledPromptEndsOnlyWhenTheEndIsConfirmed) {
  TFileManager fm;
  ASSERT_TRUE(fm.Init());  // no disc at all
  host_.promptAnswers = {2};
  host_.onPrompt = [&](int n) { host_.confirmEnd = n >= 4; };
  EXPECT_EQ(test::ErrorOf([&] { fm.GetFileNameNum(kFileKindMovie, 2); }), "CD CHANGE CANSEL");
  EXPECT_EQ(host_.prompts.size(), 4u);
  EXPECT_EQ(host_.prompts[0], "1枚めのＣＤ－ＲＯＭを\n挿入してください。");
  EXPECT_EQ(host_.questions, 4);
  EXPECT_EQ(host_.closes, 1);

  // Without a disc the marker is looked for beside the program: a marker there ends the prompt.
  host_.prompts.clear();
  host_.onPrompt = [&](int) { sys_.WriteFile("C:\\vdmq\\VDM_Q.ID1", ""); };
  host_.promptAnswers = {1};
  EXPECT_EQ(fm.GetFileNameNum(kFileKindMovie, 2), "VDM_Q\\inter\\INT_T02.str");
  EXPECT_EQ(host_.prompts.size(), 1u);
}

TEST_F(FileManagerTest, GamePathsBecomeNativePaths) {
  TFileManager fm;
  ASSERT_TRUE(fm.Init());
  const std::string save = fm.GetFileNameNum(kFileKindSave, 3);
  EXPECT_EQ(OpenGameFile(save, "rb"), nullptr);
  ASSERT_TRUE(MakeGameFileFolder(save));
  std::FILE* f = OpenGameFile(save, "wb");
  ASSERT_NE(f, nullptr);
  std::fputs("x", f);
  std::fclose(f);
  std::ifstream native(sys_.Root() + "/c/vdmq/save/SAVE03.DAT");
  EXPECT_TRUE(native.good());
  // Nothing named with a backslash anywhere in the program's folder.
  DIR* dir = opendir(".");
  ASSERT_NE(dir, nullptr);
  while (dirent* e = readdir(dir)) EXPECT_EQ(std::string(e->d_name).find('\\'), std::string::npos) << e->d_name;
  closedir(dir);

  EXPECT_TRUE(RenameGameFile(save, ".\\save\\SAVE04.DAT"));
  EXPECT_TRUE(RemoveGameFile(".\\save\\SAVE04.DAT"));
  EXPECT_FALSE(RemoveGameFile(".\\save\\SAVE04.DAT"));
  EXPECT_EQ(OpenGameFile("", "rb"), nullptr);
  EXPECT_EQ(OpenGameFile(save, nullptr), nullptr);
  EXPECT_TRUE(MakeGameFileFolder("NOFOLDER.DAT"));
}

TEST_F(FileManagerTest, TheProgramsLocatorIsUsedWhenInstalled) {
  TFileManager fm;
  FileManager = &fm;
  EXPECT_EQ(&GetFileManager(), &fm);
  FileManager = nullptr;
  EXPECT_NE(&GetFileManager(), &fm);
}

}  // namespace
}  // namespace vdmq
