// Golden pictures of the whole screen: the start screen over the main window, the opening
// dialogue's first page over the map, the first player turn with its message box over the map, the
// main window maximised on a large screen, and every game screen opened over the first turn's main
// window.
#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>

#include "ModalStepsSupport.h"
#include "ScreensTestSupport.h"
#include "campaign/Country.h"
#include "formkit/Chbcbtn.h"
#include "platform/core/StdCtrls.h"
#include "screens/F_evmes.h"
#include "screens/Main.h"
#include "screens/f_cmd_if.h"
#include "support/Golden.h"
#include "support/GoldenArchive.h"
#include "support/ScreenPicks.h"

namespace vdmq {
namespace {

class ScreensGolden : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!test::IsGoldenArchive()) GTEST_SKIP() << "the build's picture archive is not the golden pictures' one";
  }
};

TPixmap Screen(test::TGameRun& run) {
  App().PaintAndPresent();
  return run.Session()->Backend.LastScreen();
}

TEST_F(ScreensGolden, StartScreenOpeningDialogueAndFirstTurnWithItsBox) {
  test::TGameRun run;
  test::TScreenScript script;
  script
      .Then("TfmSave",
            [&](TForm* s) {
              EXPECT_TRUE(test::MatchesGolden(Screen(run), "screens", "start_screen"));
              test::ChooseNewGame(s);
            })
      .BoxesUntil("報告", "今期の収入")
      .Then("TfmEventMes",
            [&](TForm*) {
              // The arrow turns with the clock: its first frame is shown.
              while (fmEventMes->ArrowCounter() != 1) fmEventMes->tmNextTimer(nullptr);
              EXPECT_TRUE(test::MatchesGolden(Screen(run), "screens", "event_first_page"));
              test::AdvanceEventMes();
            })
      .Dialogue()
      .Then("TfmSysMes",
            [&](TForm*) {
              EXPECT_EQ(test::SysMesText().lines[0], "プレイヤーのターン");
              EXPECT_TRUE(test::MatchesGolden(Screen(run), "screens", "first_turn"));
              test::AnswerSysMes(true);
            })
      .Quit();
  EXPECT_EQ(run.Run(script), 0);
  EXPECT_TRUE(script.Done());
}

TEST_F(ScreensGolden, MaximisedOnALargeScreen) {
  test::TGameRun run({1280, 1024});
  test::TScreenScript script;
  script
      .Then("TfmSave",
            [](TForm* s) {
              fmMain->SetWindowState(wsMaximized);
              test::ChooseNewGame(s);
            })
      .BoxesUntil("確認", "プレイヤーのターン")
      .Then("",
            [&](TForm*) {
              EXPECT_EQ(fmMain->imgQvMap->Width(), 1272);
              EXPECT_EQ(fmMain->imgQvMap->Height(), 877);
              EXPECT_EQ(fmMain->QoBG.Width(), 1272);
              EXPECT_TRUE(test::MatchesGolden(Screen(run), "screens", "maximised_first_turn"));
              fmMain->Close();
            })
      .Box("確認", "ゲームを終了します。");
  EXPECT_EQ(run.Run(script), 0);
  EXPECT_TRUE(script.Done());
}

TEST_F(ScreensGolden, EveryGameScreenOverTheFirstTurn) {
  test::TGameRun run;
  test::TScreenScript script;
  // Compares the screen with its golden picture, then clicks a control of the form on top.
  auto shot = [&run](const char* golden, const char* control) {
    return [&run, golden, control](TForm* f) {
      EXPECT_TRUE(test::MatchesGolden(Screen(run), "screens", golden));
      test::ClickNamed(f, control);
    };
  };
  auto click = [](const char* control) { return [control](TForm* f) { test::ClickNamed(f, control); }; };
  script.NewGameToFirstTurn()
      .Then("", [](TForm*) { Click(fmMain->btnFleet, mbLeft, false); })
      .Then("TfmFleetSel", shot("fleet_selector", "btnFl0"))
      .Then("TfmFleet", shot("fleet_screen", "btnCmdChg"))
      .Then("TfmCmdSel", shot("commander_selector", "btnBack"))
      .Then("TfmFleet", click("btnCmdInfo"))
      .Then("TfmInfo", shot("commander_info", "btnBack"))
      .Then("TfmFleet", click("btnClose"))
      .Then("TfmFleetSel", click("btnClose"))
      .Then("", [](TForm*) { Click(fmMain->btnPlanet, mbLeft, false); })
      .Then("TfmPlaSel",
            [&](TForm* f) {
              EXPECT_TRUE(test::MatchesGolden(Screen(run), "screens", "planet_selector"));
              EXPECT_TRUE(test::PickPlanetLine(f, GetCountryCapital(GetPlayerCountry())));
              test::ClickNamed(f, "btnOk");
            })
      .Then("TfmPlanet", shot("planet_screen", "btnClose"))
      .Then("", [](TForm*) { ShowCountryInfo(7); })
      .Then("TfmInfo", shot("country_info", "btnBack"))
      .Then("", [](TForm*) { Click(fmMain->btnDock, mbLeft, false); })
      .Then("TfmDock",
            [&](TForm* f) {
              EXPECT_TRUE(test::MatchesGolden(Screen(run), "screens", "dock_screen"));
              ASSERT_TRUE(test::PickFreeDock(f)) << "no free dock on the first page";
              test::ClickNamed(f, "btnZousen");
            })
      .Then("TfmBuild", click("btnFrame"))
      .Then("TfmParts", click("btnOk"))  // the dearest hull comes first and is chosen
      .Box("確認", "パーツの自動選択を行ないますか？")
      .Then("TfmBuild", shot("designer", "btnMainWeapon"))
      .Then("TfmParts", shot("parts_selector", "btnBack"))
      .Then("TfmBuild", click("btnClose"))
      .Then("TfmDock", click("btnClose"))
      .Then("", [](TForm*) { Click(fmMain->btnTec, mbLeft, false); })
      .Then("TfmTec", click("CHBcBitBtn1"))
      .Then("TfmDentaku", shot("technology_keypad", "btnBack"))
      .Then("TfmTec", click("btnClose"))
      .Quit();
  EXPECT_EQ(run.Run(script), 0);
  EXPECT_TRUE(script.Done());
}

}  // namespace
}  // namespace vdmq
