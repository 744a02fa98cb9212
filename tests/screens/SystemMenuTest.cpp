// The system menu in a running game: the options it shows and writes, saving and loading from it
// (also when they fail), quitting, and its picture over the map.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "ScreensTestSupport.h"
#include "formkit/Chbcbtn.h"
#include "platform/sys/Registry.h"
#include "screens/F_save.h"
#include "screens/F_system.h"
#include "screens/Main.h"
#include "support/Golden.h"
#include "support/GoldenArchive.h"

namespace vdmq {
namespace {

namespace fs = std::filesystem;

constexpr const char* kKey = "SOFTWARE\\NAVIRO Veldmark\\Veldmark Q Try\\system";

TfmSys* Menu(TForm* top) { return dynamic_cast<TfmSys*>(top); }

std::string Bytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

// Whether the media log holds a file of that name ("_009.WAV").
bool Played(const test::TGameRun& run, const std::string& name) {
  for (const std::string& l : run.Session()->Media.log)
    if (l.find(name) != std::string::npos) return true;
  return false;
}

class SystemMenu : public ::testing::Test {
 protected:
  void TearDown() override {
    for (int i = 0; i < 3; ++i) SetSysOption(i, 1);
  }
  std::string Slot(int n) { return run.folder.Native("save/SAVE0" + std::to_string(n) + ".DAT"); }
  test::TGameRun run;
  test::TScreenScript script;
};

// The stored "BGM" value decides the music (the menu cannot switch it); a first start with an empty
// registry keeps every option on, and the first closing of the menu writes all three.
TEST(SystemMenuOptions, ShowsTheStoredOptionsAndWritesAllThreeOnClosing) {
  struct Case {
    bool storedBgmOff;
    bool musicPlays;
  } cases[] = {{false, true}, {true, false}};
  for (const Case& c : cases) {
    test::TGameRun game;
    game.folder.sys.AddDisc('D', "disc1");
    game.folder.sys.WriteFile("D:\\VDM_Q.ID1", "");
    if (c.storedBgmOff) {
      TRegistry reg;
      ASSERT_TRUE(reg.OpenKey(kKey, true));
      reg.WriteInteger("BGM", 0);
    }
    bool musicPlayed = false;
    test::TScreenScript s;
    s.NewGameToFirstTurn()
        .Then("", [](TForm*) { Click(fmMain->btnSave, mbLeft, false); })
        .Then("TfmSys",
              [&](TForm* top) {
                TfmSys* m = Menu(top);
                for (const std::string& l : game.Session()->Media.log) musicPlayed |= l == "open cdaudio D: wait";
                EXPECT_FALSE(m->spbtnBgmOn->Enabled());
                EXPECT_FALSE(m->spbtnBgmOff->Enabled());
                EXPECT_EQ(m->spbtnBgmOn->Down(), !c.storedBgmOff);
                EXPECT_EQ(m->spbtnBgmOff->Down(), c.storedBgmOff);
                EXPECT_TRUE(m->spbtnPcmOn->Down());
                EXPECT_TRUE(m->spbtnTurnMesOn->Down());
                ShowSystem();  // a second opening while the menu is shown returns at once
                EXPECT_EQ(TopModal(), top);
                Click(m->btnClose, mbLeft, false);
              })
        .Quit();
    EXPECT_EQ(game.Run(s), 0);
    EXPECT_TRUE(s.Done());
    EXPECT_EQ(musicPlayed, c.musicPlays);
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey(kKey, false));
    EXPECT_EQ(reg.ReadInteger("BGM"), c.storedBgmOff ? 0 : 1);
    EXPECT_EQ(reg.ReadInteger("PCM"), 1);
    EXPECT_EQ(reg.ReadInteger("TURN_MES"), 1);
    SetSysOption(kSysOptionBgm, 1);
  }
}

// "OFF" on "ＰＣＭ" silences the save button's voice at once; Cancel on the overwrite question saves
// nothing; a save that cannot be written is told once and leaves the menu open.
TEST_F(SystemMenu, SavingFromTheMenu) {
  std::string before;
  script.Then("TfmSave", [](TForm* s) { test::ChooseNewGame(s); })
      .SkipMovie()
      .BoxesUntil("確認", "プレイヤーのターン")
      .Then("",
            [&](TForm*) {
              EXPECT_TRUE(Played(run, "stop notify")) << "the opening movie was skipped";
              ASSERT_TRUE(test::SaveQuietly(3));
              before = Bytes(Slot(3));
              fs::create_directory(Slot(4));  // the slot's path is taken by a folder
              Click(fmMain->btnSave, mbLeft, false);
            })
      .Then("TfmSys",
            [&](TForm* top) {
              Click(Menu(top)->spbtnPcmOff);
              EXPECT_EQ(GetSysOption(kSysOptionPcm), 0);
              run.Session()->Media.log.clear();
              Click(Menu(top)->btnSave, mbLeft, false);
            })
      .Then("TfmSave", [](TForm* s) { test::ChooseSlot(s, 3); })
      .Box("確認", "セーブファイルを上書きしますか？", false)
      .Then("TfmSys",
            [&](TForm* top) {
              EXPECT_FALSE(Played(run, "_008.WAV"));
              EXPECT_EQ(Bytes(Slot(3)), before);
              Click(Menu(top)->spbtnPcmOn);
              Click(Menu(top)->btnSave, mbLeft, false);
            })
      .Then("TfmSave", [](TForm* s) { test::ChooseSlot(s, 4); })
      .Box("確認", "セーブできませんでした。")
      .Then("TfmSys",
            [&](TForm* top) {
              EXPECT_TRUE(Played(run, "_008.WAV"));
              EXPECT_FALSE(Played(run, "_009.WAV"));
              int files = 0;
              for (const auto& e : fs::directory_iterator(fs::path(Slot(3)).parent_path()))
                files += e.is_regular_file();
              EXPECT_EQ(files, 1) << "no new file in save/";
              Click(Menu(top)->btnClose, mbLeft, false);
            })
      .Quit();
  EXPECT_EQ(run.Run(script), 0);
  EXPECT_TRUE(script.Done());
}

// A load that fails is told once, keeps the menu open and the running game as it was; a new game
// from the load screen closes the menu; "終了" ends the program.
TEST_F(SystemMenu, LoadingAndQuittingFromTheMenu) {
  std::string world;
  script.NewGameToFirstTurn()
      .Then("",
            [&](TForm*) {
              ASSERT_TRUE(test::SaveQuietly(2));
              Click(fmMain->btnSave, mbLeft, false);
            })
      .Then("TfmSys",
            [&](TForm* top) {
              ASSERT_TRUE(test::SaveQuietly(7));
              world = Bytes(Slot(7));
              run.Session()->Media.log.clear();
              Click(Menu(top)->btnLoad, mbLeft, false);
            })
      .Then("TfmSave",
            [&](TForm* s) {
              Click(static_cast<TfmSave*>(s)->lbDat[2]);
              fs::resize_file(Slot(2), fs::file_size(Slot(2)) / 2);
              Click(static_cast<TfmSave*>(s)->btnOk, mbLeft, false);
            })
      .Box("確認", "ロードできませんでした。")
      .Then("TfmSys",
            [&](TForm* top) {
              EXPECT_TRUE(Played(run, "_010.WAV"));
              EXPECT_FALSE(Played(run, "_011.WAV"));
              ASSERT_TRUE(test::SaveQuietly(7));
              EXPECT_EQ(Bytes(Slot(7)), world) << "the world is unchanged";
              Click(Menu(top)->btnLoad, mbLeft, false);
            })
      // A new game from the load screen starts at once and closes the menu.
      .Then("TfmSave", [](TForm* s) { test::ChooseNewGame(s); })
      .BoxesUntil("確認", "プレイヤーのターン")
      .Then("", [](TForm*) { Click(fmMain->btnSave, mbLeft, false); })
      .Then("TfmSys", [](TForm* top) { Click(Menu(top)->btnGameEnd, mbLeft, false); })
      .Box("確認", "ゲームを終了します。");
  EXPECT_EQ(run.Run(script), 0) << "終了 with OK ends the program";
  EXPECT_TRUE(script.Done());
  EXPECT_TRUE(IsGameEnd());
}

TEST_F(SystemMenu, GoldenOverTheMap) {
  if (!test::IsGoldenArchive()) GTEST_SKIP() << "the build's picture archive is not the golden pictures' one";
  script.NewGameToFirstTurn()
      .Then("", [](TForm*) { Click(fmMain->btnSave, mbLeft, false); })
      .Then("TfmSys",
            [&](TForm* top) {
              App().PaintAndPresent();
              EXPECT_TRUE(test::MatchesGolden(run.Session()->Backend.LastScreen(), "screens", "system_menu"));
              Click(Menu(top)->btnClose, mbLeft, false);
            })
      .Quit();
  EXPECT_EQ(run.Run(script), 0);
  EXPECT_TRUE(script.Done());
}

}  // namespace
}  // namespace vdmq
