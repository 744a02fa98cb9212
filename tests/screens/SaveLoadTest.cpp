// The save/load screen: its lines and buttons in both modes, what it answers, the start screen that
// cannot be closed, and a failed load at the start that opens the screen again.
#include <gtest/gtest.h>

#include <sys/time.h>
#include <utime.h>

#include <ctime>
#include <filesystem>
#include <fstream>

#include "ScreensTestSupport.h"
#include "campaign/GameSave.h"
#include "campaign/Save.h"
#include "campaign/Story.h"
#include "formkit/Chbcbtn.h"
#include "platform/base/Sjis.h"
#include "platform/core/StdCtrls.h"
#include "screens/F_save.h"
#include "screens/Main.h"

namespace vdmq {
namespace {

namespace fs = std::filesystem;

class SaveScreen : public ::testing::Test {
 protected:
  void SetUp() override {
    session_ = std::make_unique<THeadlessSession>();
    game_ = std::make_unique<TGameSession>();
    ASSERT_FALSE(game_->StartFailed());
  }
  void TearDown() override {
    game_.reset();
    session_.reset();
  }
  // Opens the screen; check looks at it and answers it.
  int Open(bool saveMode, bool wayBack, std::function<void(TfmSave*)> check) {
    check_ = std::move(check);
    session_->Backend.Driver = [this] {
      auto* screen = dynamic_cast<TfmSave*>(TopModal());
      if (screen == nullptr) return false;
      check_(screen);
      return true;
    };
    return ShowSaveLoad(saveMode, wayBack);
  }
  static std::string Line(TfmSave* s, int slot) { return SjisToUtf8(s->lbDat[slot]->Caption()); }
  static TColor LineColor(TfmSave* s, int slot) { return s->lbDat[slot]->Font().Color; }
  std::string SlotFile(int slot) const {
    return folder_.Native("save/SAVE" + std::string(slot < 10 ? "0" : "") + std::to_string(slot) + ".DAT");
  }

  test::TGameFolder folder_;
  std::unique_ptr<THeadlessSession> session_;
  std::unique_ptr<TGameSession> game_;
  std::function<void(TfmSave*)> check_;
};

TEST_F(SaveScreen, StartScreenListsNoSavesAndCanOnlyBeLeftByAChoice) {
  const int answer = Open(false, false, [](TfmSave* s) {
    for (int i = 0; i < 15; ++i) {
      EXPECT_EQ(Line(s, i), "No Save File") << i;
      EXPECT_EQ(LineColor(s, i), clGray) << i;
    }
    EXPECT_FALSE(s->btnOk->Enabled());
    EXPECT_FALSE(s->btnBack->Enabled());
    EXPECT_TRUE(s->btnNewGame->Enabled());
    s->Close();
    App().ProcessMessages();
    EXPECT_TRUE(s->Visible()) << "closed without a choice";
    // An empty slot cannot be chosen in load mode.
    Click(s->lbDat[4]);
    EXPECT_EQ(s->Chosen, -1);
    EXPECT_FALSE(s->btnOk->Enabled());
    Click(s->btnNewGame, mbLeft, false);
  });
  EXPECT_EQ(answer, -2);
}

TEST_F(SaveScreen, SaveModeOffersEmptySlotsAndMarksTheChosenOne) {
  const int answer = Open(true, true, [](TfmSave* s) {
    EXPECT_EQ(Line(s, 0), "New Save File");
    EXPECT_EQ(LineColor(s, 0), clWhite);
    EXPECT_FALSE(s->btnNewGame->Enabled());
    EXPECT_TRUE(s->btnNewGame->Visible());
    EXPECT_TRUE(s->btnBack->Enabled());
    Click(s->lbDat[2]);
    Click(s->lbDat[7]);
    EXPECT_EQ(LineColor(s, 7), clAqua);
    EXPECT_EQ(LineColor(s, 2), clWhite) << "the line chosen before is drawn again";
    EXPECT_TRUE(s->btnOk->Enabled());
    // A second opening while the screen is open answers at once.
    EXPECT_EQ(ShowSaveLoad(false, true), -1);
    Click(s->btnOk, mbLeft, false);
  });
  EXPECT_EQ(answer, 7);
  EXPECT_EQ(Open(true, true, [](TfmSave* s) { Click(s->btnBack, mbLeft, false); }), -1);
}

TEST_F(SaveScreen, UsedSlotsShowTheirDateAndDamagedOnesShowAsEmpty) {
  ASSERT_TRUE(test::SaveQuietly(3));
  ASSERT_TRUE(test::SaveQuietly(5));
  // Slot 3 was written on 2001-02-03 04:05 (local time).
  std::tm when{};
  when.tm_year = 101;
  when.tm_mon = 1;
  when.tm_mday = 3;
  when.tm_hour = 4;
  when.tm_min = 5;
  when.tm_isdst = -1;
  const std::time_t t = std::mktime(&when);
  const utimbuf times{t, t};
  ASSERT_EQ(utime(SlotFile(3).c_str(), &times), 0);
  // Slot 1 is empty, slot 5 cut short.
  { std::ofstream(SlotFile(1), std::ios::binary); }
  fs::resize_file(SlotFile(5), fs::file_size(SlotFile(5)) / 2);
  const std::string title = SjisToUtf8(GetChapterTitle(GetStoryChapter()));
  const int answer = Open(false, true, [&](TfmSave* s) {
    EXPECT_EQ(Line(s, 3), title + " 4032年 1期 01/02/03 04:05");
    EXPECT_EQ(LineColor(s, 3), clWhite);
    EXPECT_EQ(Line(s, 1), "No Save File");
    EXPECT_EQ(Line(s, 5), "No Save File");
    Click(s->lbDat[3]);
    EXPECT_EQ(LineColor(s, 3), clAqua);
    // New Game after a chosen slot still answers a new game.
    Click(s->btnNewGame, mbLeft, false);
  });
  EXPECT_EQ(answer, -2);
}

// A load that fails at the start screen (the file cut or removed after the screen was drawn)
// opens the screen again with nothing resumed; only the cut file is told.
TEST(StartScreen, AFailedLoadOpensTheScreenAgainWithNothingResumed) {
  test::TGameRun run;
  std::string slot2, slot6;
  test::TScreenScript script;
  script
      .Then("TfmSave",
            [&](TForm* s) {
              // Two saves of the new-game world, made while the screen is up, then drawn again.
              ASSERT_TRUE(test::SaveQuietly(2));
              ASSERT_TRUE(test::SaveQuietly(6));
              auto* screen = static_cast<TfmSave*>(s);
              screen->DrawLine(2);
              screen->DrawLine(6);
              slot2 = run.folder.Native("save/SAVE02.DAT");
              slot6 = run.folder.Native("save/SAVE06.DAT");
              Click(screen->lbDat[2]);
              fs::resize_file(slot2, fs::file_size(slot2) / 2);
              Click(screen->btnOk, mbLeft, false);
            })
      .Box("確認", "ロードできませんでした。")
      .Then("TfmSave",
            [&](TForm* s) {
              auto* screen = static_cast<TfmSave*>(s);
              Click(screen->lbDat[6]);
              fs::remove(slot6);
              Click(screen->btnOk, mbLeft, false);
            })
      .Then("TfmSave", [](TForm* s) { test::ChooseNewGame(s); })
      .BoxesUntil("確認", "プレイヤーのターン")
      .Then("", [](TForm*) { fmMain->Close(); })
      .Box("確認", "ゲームを終了します。");
  EXPECT_EQ(run.Run(script), 0);
  EXPECT_TRUE(script.Done());
  // Nothing was resumed before the new game: its first report is the income of the first turn.
  ASSERT_GE(script.boxes.size(), 2u);
  EXPECT_EQ(script.boxes[0].lines[0], "ロードできませんでした。");
  EXPECT_EQ(script.boxes[1].caption, "報告");
}

}  // namespace
}  // namespace vdmq
