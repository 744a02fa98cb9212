// The whole game through the real windows on the generated data, from the start screen through
// turns, a save and a load to the quit question; and a saved game loaded from the start screen.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>

#include "ScreensTestSupport.h"
#include "campaign/Country.h"
#include "campaign/Fleet.h"
#include "campaign/GameSave.h"
#include "campaign/Planet.h"
#include "campaign/Save.h"
#include "formkit/Chbcbtn.h"
#include "platform/base/Sjis.h"
#include "platform/core/StdCtrls.h"
#include "platform/sys/RegistryStore.h"
#include "screens/F_save.h"
#include "screens/Main.h"
#include "screens/Qvgraph.h"
#include "support/GameFiles.h"

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

// Open descriptors of the process.
int OpenFiles() {
  int n = 0;
  for (auto it = std::filesystem::directory_iterator("/proc/self/fd"); it != std::filesystem::directory_iterator();
       ++it)
    ++n;
  return n;
}

// The minimap's colour at a cell, as 0xRRGGBB.
std::uint32_t ZenColour(int x, int y) {
  int zx = 0, zy = 0;
  if (QvMapGraph == nullptr || !QvMapGraph->CellToZenPos(x, y, &zx, &zy)) return 0xFFFFFFFF;
  const TQoRGB p = fmMain->QoTrueDibZenQvMap.PGet(zx, zy);
  return std::uint32_t(p.r) << 16 | std::uint32_t(p.g) << 8 | p.b;
}

// Whether the media log since the mark holds a clip of the adjutant's voice with that number.
bool VoiceSince(const THeadlessSession& s, size_t mark, int clip) {
  char name[16];
  std::snprintf(name, sizeof name, "_%03d.WAV", clip);
  for (size_t i = mark; i < s.Media.log.size(); ++i)
    if (s.Media.log[i].find(name) != std::string::npos) return true;
  return false;
}

// The whole game through the real windows: the start screen, a new game with its movie (played to
// its end, or skipped by a click at frame 90) and the opening dialogue, the first player turn, a
// turn end with the computer countries' moves seen step by step, a save from the system menu,
// another turn, a load from the menu that brings back the saved world, and the quit question.
// Answers everything the run showed and did, in order.
std::vector<std::string> PlayWholeGame(bool skipMovie) {
  test::TGameRun run;
  test::TScreenScript script;
  std::vector<std::string> log, media;
  size_t mark = 0;
  const auto played = [&] { return run.Session()->Media.log.size(); };
  const auto clickMenu = [](const char* button) {
    return [button](TForm* menu) { Click(Find<TControl>(menu, button), mbLeft, false); };
  };
  const char* slot3 = "C:\\vdmq\\save\\SAVE03.DAT";
  const char* slot5 = "C:\\vdmq\\save\\SAVE05.DAT";
  std::string saved;
  script.Then("TfmSave", [&](TForm* s) {
    // 1. The start screen: fifteen empty slots in grey, only New Game to press.
    auto* screen = static_cast<TfmSave*>(s);
    for (TLabel* line : screen->lbDat) {
      EXPECT_EQ(Caption(line), "No Save File");
      EXPECT_EQ(line->Font().Color, clGray);
    }
    EXPECT_FALSE(screen->btnOk->Enabled());
    EXPECT_FALSE(screen->btnBack->Enabled());
    EXPECT_TRUE(screen->btnNewGame->Enabled());
    // 2. New Game.
    test::ChooseNewGame(s);
  });
  // 3. The opening movie.
  if (skipMovie) script.SkipMovie();
  // 4. - 6. The income, the opening dialogue by the space key, the player's turn with its voice.
  script.Box("報告", "今期の収入 ")
      .Dialogue()
      .Then("TfmSysMes",
            [&](TForm*) {
              EXPECT_EQ(test::SysMesText().lines[0], "プレイヤーのターン");
              EXPECT_TRUE(VoiceSince(*run.Session(), 0, 2));
              test::AnswerSysMes(true);
            })
      .Then("",
            [&](TForm*) {
              // 7. The map: the command bar, the date, the funds, the capitals on the minimap.
              for (TCHBcBitBtn* b : {fmMain->btnDock, fmMain->btnTec, fmMain->btnNextTurn, fmMain->btnFleet,
                                     fmMain->btnPlanet, fmMain->btnSave, fmMain->btnHelp})
                EXPECT_TRUE(b->Enabled()) << b->Name;
              EXPECT_EQ(Caption(fmMain->lbYear), "4032年 1期");
              char fund[32];
              std::snprintf(fund, sizeof fund, "%6d", GetCountryFund(GetPlayerCountry()));
              EXPECT_EQ(Caption(fmMain->lbFund), std::string("総資金 ") + fund);
              const int capital = GetCountryCapital(GetPlayerCountry());
              EXPECT_EQ(ZenColour(GetPlanetX(capital), GetPlanetY(capital)), 0x00FFFFu);
              EXPECT_EQ(GetCountryCapital(7), 3);
              for (int f = 0; f < 4; ++f) EXPECT_EQ(GetFleetPlanet(7, f), 3) << f;
              EXPECT_EQ(ZenColour(GetPlanetX(3), GetPlanetY(3)), 0xFF00FFu);
              // 8. The turn end.
              mark = played();
              run.Session()->Backend.Log.clear();
              run.Session()->Backend.LogPresents = true;
              Click(fmMain->btnNextTurn, mbLeft, false);
            })
      .Then("TfmSysMes",
            [&](TForm*) {
              EXPECT_EQ(test::SysMesText().lines[0], "ターンを終了しますか？");
              EXPECT_TRUE(VoiceSince(*run.Session(), mark, 3));
              test::AnswerSysMes(true);
            })
      // 9. The computer countries' turns with their dialogue.
      .BoxesUntil("確認", "プレイヤーのターン")
      .Then("",
            [&](TForm*) {
              // 10. The next season.
              log = run.Session()->Backend.Log;
              run.Session()->Backend.LogPresents = false;
              EXPECT_EQ(Caption(fmMain->lbYear), "4032年 2期");
              // 11. Saved into slot 3 from the system menu.
              Click(fmMain->btnSave, mbLeft, false);
            })
      .Then("TfmSys", clickMenu("btnSave"))
      .Then("TfmSave", [](TForm* s) { test::ChooseSlot(s, 3); })
      .Box("確認", "セーブしました。")
      .Then("TfmSys",
            [&](TForm* menu) {
              saved = test::ReadGameFile(slot3);
              EXPECT_NE(saved, "<absent>");
              clickMenu("btnClose")(menu);
            })
      // 12. One more turn.
      .Then("", [](TForm*) { Click(fmMain->btnNextTurn, mbLeft, false); })
      .Box("確認", "ターンを終了しますか？")
      .BoxesUntil("確認", "プレイヤーのターン")
      .Then("",
            [](TForm*) {
              EXPECT_EQ(Caption(fmMain->lbYear), "4032年 3期");
              // 13. Slot 3 loaded from the system menu.
              Click(fmMain->btnSave, mbLeft, false);
            })
      .Then("TfmSys", clickMenu("btnLoad"))
      .Then("TfmSave", [](TForm* s) { test::ChooseSlot(s, 3); })
      .Box("確認", "ロードしました。")
      .Then("",
            [&](TForm*) {
              EXPECT_EQ(Caption(fmMain->lbYear), "4032年 2期");
              ASSERT_TRUE(test::SaveQuietly(5));
              EXPECT_EQ(test::ReadGameFile(slot5), saved) << "the loaded world differs from the saved one";
              // 14. The close request and the quit question.
              mark = played();
              TInputEvent close;
              close.kind = TInputEvent::CloseRequest;
              run.Session()->Backend.Inject(close);
            })
      .Then("TfmSysMes", [&](TForm*) {
        EXPECT_EQ(test::SysMesText().lines[0], "ゲームを終了します。");
        EXPECT_TRUE(VoiceSince(*run.Session(), mark, 5));
        media = run.Session()->Media.log;
        test::AnswerSysMes(true);
      });
  const int files = OpenFiles();
  EXPECT_EQ(run.Run(script), 0);
  EXPECT_TRUE(script.Done());
  ExpectEveryStepPresented(log);
  EXPECT_EQ(OpenFiles(), files) << "a file was left open";
  for (const char* option : {"BGM", "PCM", "TURN_MES"}) {
    const auto v = run.folder.sys.registry->ReadValue("SOFTWARE\\NAVIRO Veldmark\\Veldmark Q Try\\system", option);
    EXPECT_TRUE(v && *v == TRegValue::Integer(1)) << option;
  }
  std::vector<std::string> trace;
  for (const test::TBoxText& b : script.boxes) trace.push_back("box " + b.caption + ": " + b.Joined());
  for (const std::string& p : script.pages) trace.push_back("page " + p);
  trace.insert(trace.end(), log.begin(), log.end());
  trace.insert(trace.end(), media.begin(), media.end());
  return trace;
}

TEST(WholeGame, FromTheStartScreenThroughTurnsASaveAndALoadToTheQuitQuestion) {
  const std::vector<std::string> played = PlayWholeGame(false);
  const std::vector<std::string> skipped = PlayWholeGame(true);
  EXPECT_EQ(PlayWholeGame(true), skipped) << "two runs went differently";
  EXPECT_NE(played, skipped);
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
