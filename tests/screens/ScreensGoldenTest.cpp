// Golden pictures of the whole screen: the start screen over the main window, the opening
// dialogue's first page over the map, the first player turn with its message box over the map, and
// the main window maximised on a large screen.
#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>

#include "ScreensTestSupport.h"
#include "platform/core/StdCtrls.h"
#include "screens/F_evmes.h"
#include "screens/Main.h"
#include "support/Golden.h"
#include "support/GoldenArchive.h"

namespace vdmq {
namespace {

class ScreensGolden : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!test::IsGoldenArchive())
      GTEST_SKIP() << "the build's picture archive is not the golden pictures' one";
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

}  // namespace
}  // namespace vdmq
