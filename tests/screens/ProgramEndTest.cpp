// The game ended from outside (SIGTERM, SIGINT, SIGHUP) wherever it stands, played headless through
// its entry with the battle window: at the start screen, in the movie, in a message box, in a
// dialogue page, in a modal screen, in the player's turn start and in a battle. Each time the run
// ends in order: no quit question, nothing shown and no pause waited after the signal, the options
// written, the main window's destroy handler run, the lock released, status 0.
#include <gtest/gtest.h>

#include <signal.h>

#include <functional>
#include <string>
#include <vector>

#include "BattleWalk.h"
#include "ScreensTestSupport.h"
#include "battle/Btqvmap.h"
#include "battle/F_btmain.h"
#include "campaign/Qvmap.h"
#include "formkit/Chbcbtn.h"
#include "platform/sys/HelpViewer.h"
#include "platform/sys/RegistryStore.h"
#include "screens/Main.h"

namespace vdmq {
namespace {

constexpr const char* kOptionKey = "SOFTWARE\\NAVIRO Veldmark\\Veldmark Q Try\\system";

struct TEndCase {
  const char* where;
  int signal;
  const char* shown;  // the class on top when the signal comes ("" the main window)
  // The steps up to that point.
  std::function<void(test::TScreenScript&, test::TBattleCells&)> reach;
};

TEST(ProgramEnd, ATerminationSignalEndsTheGameInOrderWhereverItStands) {
  const TEndCase cases[] = {
      {"the start screen", SIGTERM, "TfmSave", [](test::TScreenScript&, test::TBattleCells&) {}},
      {"the opening movie", SIGHUP, "TfmAvi",
       [](test::TScreenScript& s, test::TBattleCells&) {
         s.Then("TfmSave", [](TForm* f) { test::ChooseNewGame(f); });
       }},
      {"a message box", SIGINT, "TfmSysMes",
       [](test::TScreenScript& s, test::TBattleCells&) {
         s.Then("TfmSave", [](TForm* f) { test::ChooseNewGame(f); });
       }},
      {"a dialogue page", SIGTERM, "TfmEventMes",
       [](test::TScreenScript& s, test::TBattleCells&) {
         s.Then("TfmSave", [](TForm* f) { test::ChooseNewGame(f); }).Box("報告", "今期の収入 ");
       }},
      {"the system menu", SIGINT, "TfmSys",
       [](test::TScreenScript& s, test::TBattleCells&) {
         s.NewGameToFirstTurn().Then("", [](TForm*) { Click(fmMain->btnSave, mbLeft, false); });
       }},
      {"a running turn", SIGHUP, "TfmEventMes",
       [](test::TScreenScript& s, test::TBattleCells&) {
         s.NewGameToFirstTurn()
             .Then("", [](TForm*) { Click(fmMain->btnNextTurn, mbLeft, false); })
             .Box("確認", "ターンを終了しますか？");
       }},
      {"a battle", SIGTERM, "TfmBtMain",
       [](test::TScreenScript& s, test::TBattleCells& cells) {
         test::WalkIntoBattle(s, 2, true, cells,
                              [](TControl* c, TPoint p, bool process) { ClickAt(c, p.X, p.Y, mbLeft, process); });
       }},
  };
  InstallBattleWindow();
  for (const TEndCase& c : cases) {
    SCOPED_TRACE(c.where);
    test::TGameRun run;
    run.KeepSession = true;
    test::TScreenScript script;
    test::TBattleCells cells;
    c.reach(script, cells);
    size_t logMark = 0, boxesShown = 0, pagesShown = 0;
    bool held = false;
    // The last step takes the signal, with the options' key gone from the registry.
    script.Then(c.shown, [&](TForm*) {
      held = run.folder.sys.mutexes->IsHeld("VDM_Q GAME");
      run.folder.sys.registry->DeleteKey(kOptionKey);
      THeadlessBackend& b = run.Session()->Backend;
      logMark = b.Log.size();
      boxesShown = script.boxes.size();
      pagesShown = script.pages.size();
      raise(c.signal);
    });
    EXPECT_EQ(run.Run(script), 0);
    EXPECT_TRUE(script.Done());
    EXPECT_TRUE(held);
    // Nothing shown, asked or waited for after the signal; the quit question never.
    EXPECT_EQ(script.boxes.size(), boxesShown);
    EXPECT_EQ(script.pages.size(), pagesShown);
    for (const test::TBoxText& b : script.boxes) EXPECT_EQ(b.lines[0].find("ゲームを終了します"), std::string::npos);
    ASSERT_NE(run.Session(), nullptr);
    const std::vector<std::string>& log = run.Session()->Backend.Log;
    for (size_t i = logMark; i < log.size(); ++i)
      EXPECT_TRUE(log[i].rfind("sleep", 0) != 0 && log[i].rfind("wait", 0) != 0) << log[i];
    // In order: the options written, the destroy handler run (help told to quit, the map and the
    // battle's arena freed), the lock released.
    for (const char* option : {"BGM", "PCM", "TURN_MES"})
      EXPECT_TRUE(run.folder.sys.registry->ReadValue(kOptionKey, option)) << option;
    const std::vector<std::string>& help = run.folder.sys.help->calls;
    EXPECT_TRUE(!help.empty() && help.back() == "quit");
    EXPECT_EQ(fmMain, nullptr);
    EXPECT_EQ(QvMap, nullptr);
    EXPECT_EQ(BtQvMap, nullptr);
    EXPECT_FALSE(run.folder.sys.mutexes->IsHeld("VDM_Q GAME"));
    EXPECT_FALSE(IsGameEnd());  // the request is forgotten with the run
  }
  SetScreensHostMaker(nullptr);
  SetBattleWindowCreator(nullptr);
}

}  // namespace
}  // namespace vdmq
