// A short game through the real windows on the generated data: the start screen, a new game, the
// first player turn, one turn end with the computer countries' moves seen step by step, and the
// quit question; and a saved game loaded from the start screen.
#include <gtest/gtest.h>

#include <cstdio>

#include "ScreensTestSupport.h"
#include "campaign/Country.h"
#include "campaign/GameSave.h"
#include "campaign/Save.h"
#include "formkit/Chbcbtn.h"
#include "platform/base/Sjis.h"
#include "platform/core/StdCtrls.h"
#include "screens/Main.h"

namespace vdmq {
namespace {

std::string Caption(TControl* c) { return SjisToUtf8(c->Caption()); }

// Every fleet step's pause ("sleep 100") follows a present since the pause before it.
void ExpectEveryStepPresented(const std::vector<std::string>& log) {
  bool presented = false;
  int steps = 0;
  for (size_t i = 0; i < log.size(); ++i) {
    if (log[i] == "present") presented = true;
    if (log[i].rfind("sleep ", 0) != 0) continue;
    if (log[i] == "sleep 100") {
      ++steps;
      EXPECT_TRUE(presented) << "fleet step at log line " << i << " was never shown";
    }
    presented = false;
  }
  EXPECT_GT(steps, 0) << "the computer countries moved no fleet";
}

TEST(ShortGame, NewGameOneTurnAndQuit) {
  test::TGameRun run;
  test::TScreenScript script;
  std::vector<std::string> log;
  script.Then("TfmSave", [](TForm* s) { test::ChooseNewGame(s); })
      .Box("報告", "今期の収入 ")
      .Dialogue()
      .Box("確認", "プレイヤーのターン")
      .Then("",
            [&](TForm*) {
              for (TCHBcBitBtn* b : {fmMain->btnDock, fmMain->btnTec, fmMain->btnNextTurn, fmMain->btnFleet,
                                     fmMain->btnPlanet, fmMain->btnSave, fmMain->btnHelp})
                EXPECT_TRUE(b->Enabled()) << b->Name;
              EXPECT_EQ(Caption(fmMain->lbYear), "4032年 1期");
              char fund[32];
              std::snprintf(fund, sizeof fund, "%6d", GetCountryFund(GetPlayerCountry()));
              EXPECT_EQ(Caption(fmMain->lbFund), std::string("総資金 ") + fund);
              run.Session()->Backend.Log.clear();
              run.Session()->Backend.LogPresents = true;
              Click(fmMain->btnNextTurn, mbLeft, false);
            })
      .Box("確認", "ターンを終了しますか？")
      .BoxesUntil("確認", "プレイヤーのターン")
      .Then("",
            [&](TForm*) {
              log = run.Session()->Backend.Log;
              EXPECT_EQ(Caption(fmMain->lbYear), "4032年 2期");
              fmMain->Close();
            })
      .Box("確認", "ゲームを終了します。");
  EXPECT_EQ(run.Run(script), 0);
  EXPECT_TRUE(script.Done());
  ExpectEveryStepPresented(log);
}

TEST(ShortGame, ASavedGameLoadsFromTheStartScreenWithoutATurnStart) {
  test::TGameRun run;
  test::TScreenScript script;
  script
      .Then("TfmSave",
            [](TForm* s) {
              ASSERT_TRUE(test::SaveQuietly(3));
              test::ChooseSlot(s, 3);
            })
      .Box("確認", "ロードしました。")
      .Then("",
            [](TForm*) {
              EXPECT_TRUE(fmMain->btnNextTurn->Enabled());
              fmMain->Close();
            })
      .Box("確認", "ゲームを終了します。");
  EXPECT_EQ(run.Run(script), 0);
  EXPECT_TRUE(script.Done());
  for (const test::TBoxText& b : script.boxes) EXPECT_NE(b.caption, "報告") << b.Joined();
}

}  // namespace
}  // namespace vdmq
