// The program's entry on the headless back end: one copy at a time, the resident windows, the hooks
// the run installs and removes, the title, and a start without readable new-game data.
#include <gtest/gtest.h>

#include <filesystem>

#include "ScreensTestSupport.h"
#include "battle/Btmain.h"
#include "campaign/File_manager.h"
#include "campaign/GameHost.h"
#include "formkit/CHFDATAU.h"
#include "platform/base/Sjis.h"
#include "platform/core/MessageDialog.h"
#include "qolib/graphics/Qograph_rap.h"
#include "qolib/pack/Quorvel.h"
#include "screens/Debug.h"
#include "screens/F_flsel.h"
#include "screens/F_sysmes.h"
#include "screens/Main.h"
#include "screens/QoPlatformBridge.h"
#include "screens/ScreensHost.h"

namespace vdmq {
namespace {

using test::TGameRun;
using test::TScreenScript;

TEST(Entry, AnotherCopyOrAFailingLockEndsAtOnceWithoutOpeningADisplay) {
  for (const bool failing : {false, true}) {
    TGameRun run;
    if (failing)
      run.folder.sys.mutexes->SetFailing(true);
    else
      run.folder.sys.mutexes->HoldElsewhere("VDM_Q GAME");
    EXPECT_EQ(run.Run(), -1) << (failing ? "failing lock" : "held lock");
    EXPECT_FALSE(run.FactoryCalled());
    EXPECT_EQ(fmMain, nullptr);
  }
}

TEST(Entry, RunsTheResidentWindowsWithTheGamesHooksAndRemovesThemAfterwards) {
  TGameRun run;
  bool checked = false;
  TScreenScript script;
  script.Then("TfmSave", [&](TForm*) {
    // The resident windows in their order, the main window first.
    std::vector<std::string> forms;
    for (int i = 0; i < App().ComponentCount(); ++i)
      if (auto* f = dynamic_cast<TForm*>(App().Components(i))) forms.push_back(f->ClassName());
    ASSERT_GE(forms.size(), 7u);
    EXPECT_EQ(forms[0], "TfmMain");
    EXPECT_EQ(forms[1], "TfmDebug");
    EXPECT_EQ(forms[2], "TfmMapEdTools");
    EXPECT_EQ(forms[3], "TfmFleetSel");
    EXPECT_EQ(forms[4], "TfmSysMes");
    EXPECT_EQ(forms[5], "TfmEventMes");
    EXPECT_EQ(forms[6], "TfmSave");
    EXPECT_FALSE(fmDebug->Visible());
    EXPECT_FALSE(fmFleetSel->Visible());
    EXPECT_EQ(App().MainForm(), fmMain);
    EXPECT_NE(CHF_Data, nullptr);
    // The hooks of the run.
    EXPECT_NE(dynamic_cast<TScreensHost*>(&GameHost()), nullptr);
    EXPECT_EQ(GetBattleEntry(), &BtBattleStart);
    EXPECT_NE(dynamic_cast<TQoPlatformBridge*>(&QoPlatform()), nullptr);
    ASSERT_TRUE(static_cast<bool>(QoEntryNameHook()));
    EXPECT_EQ(QoEntryNameHook()(kFileKindPack, -1), GetFileManager().GetFileName(kFileKindPack));
    EXPECT_NE(FileManager, nullptr);
    // The title, as the window shows it.
    EXPECT_EQ(App().Title, SJS("ヴェルドマルクＱ 体験版"));
    EXPECT_EQ(run.Session()->Backend.Title(), "ヴェルドマルクＱ 体験版");
    checked = true;
    // The window's close box does nothing while the start screen is up.
    TInputEvent close;
    close.kind = TInputEvent::CloseRequest;
    run.Session()->Backend.Inject(close);
    App().ProcessMessages();
    EXPECT_TRUE(fmMain->Visible());
    EXPECT_EQ(TopModal()->ClassName(), std::string("TfmSave"));
    test::ChooseNewGame(TopModal());
  });
  script.BoxesUntil("確認", "プレイヤーのターン")
      .Then("", [](TForm*) { fmMain->Close(); })
      .Box("確認", "ゲームを終了します。");
  EXPECT_EQ(run.Run(script), 0);
  EXPECT_TRUE(checked);
  EXPECT_TRUE(script.Done());
  EXPECT_EQ(fmMain, nullptr);
  EXPECT_EQ(fmSysMes, nullptr);
  EXPECT_EQ(fmDebug, nullptr);
  EXPECT_EQ(FileManager, nullptr);
  EXPECT_EQ(dynamic_cast<TScreensHost*>(&GameHost()), nullptr);
  EXPECT_EQ(GetBattleEntry(), nullptr);
  EXPECT_EQ(dynamic_cast<TQoPlatformBridge*>(&QoPlatform()), nullptr);
  EXPECT_FALSE(static_cast<bool>(QoEntryNameHook()));
  EXPECT_EQ(QoPictureArchive(), nullptr);
}

TEST(Entry, UnreadableNewGameDataIsToldInThePlatformBoxAndEndsWithStatusOne) {
  TGameRun run;
  run.folder.sys.WriteFile("C:\\vdmq\\dat\\INIT.DAT", "not a data file");
  bool saveScreenShown = false;
  std::string shown;
  const int result = run.Run([&](THeadlessSession& s) {
    s.Backend.Driver = [&] {
      TForm* top = TopModal();
      if (top == nullptr) return false;
      if (std::string(top->ClassName()) == "TfmSave") saveScreenShown = true;
      if (std::string(top->ClassName()) != "TMessageForm") return false;
      shown = SjisToUtf8(top->Caption()) + ": " + test::PlatformBoxText(top);
      Click(static_cast<TMessageForm*>(top)->Button(0), mbLeft, false);
      return true;
    };
  });
  EXPECT_EQ(result, 1);
  EXPECT_EQ(shown, "確認: 新規ゲームのデータを読み込めませんでした。");
  EXPECT_FALSE(saveScreenShown);
  EXPECT_EQ(fmMain, nullptr);
  EXPECT_EQ(FileManager, nullptr);
}

TEST(Entry, AMissingPictureArchiveShowsInThePicturesOnly) {
  TGameRun run;
  std::filesystem::remove(run.folder.Native("dat/BMP.PAK"));
  TScreenScript script;
  script.NewGameToFirstTurn().Quit();
  EXPECT_EQ(run.Run(script), 0);
  EXPECT_TRUE(script.Done());
}

// Before the message box exists, a notice takes the platform's box with the same text, its
// breaks as lines, and the same buttons.
TEST(Entry, TheNoticeBeforeTheMessageBoxIsThePlatformBox) {
  THeadlessSession session;
  struct Case {
    int withCancel;
    bool pressOk;
    int buttons, answer;
  } cases[] = {{0, true, 1, 1}, {1, true, 2, 1}, {1, false, 2, 2}, {2, true, 1, 1}};
  for (const Case& c : cases) {
    std::string text;
    int buttons = 0;
    session.Backend.Driver = [&] {
      auto* box = dynamic_cast<TMessageForm*>(TopModal());
      if (box == nullptr) return false;
      text = test::PlatformBoxText(box);
      buttons = box->ButtonCount();
      Click(box->Button(c.pressOk ? 0 : 1), mbLeft, false);
      return true;
    };
    EXPECT_EQ(PlatformSysMes(SJS("一行目<BR>二行目"), SJS("確認"), c.withCancel), c.answer) << c.withCancel;
    EXPECT_EQ(text, "一行目\n二行目");
    EXPECT_EQ(buttons, c.buttons) << c.withCancel;
  }
}

}  // namespace
}  // namespace vdmq
