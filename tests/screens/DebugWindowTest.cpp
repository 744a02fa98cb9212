// The debug window on the program's own set-up (the battle window installed, the resident windows
// made as the entry makes them), opened directly as no player path does: the switches and each
// reader's reaction through the host, the battle test settings, the country page, and its look.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "battle/Btinfo.h"
#include "battle/Btmain.h"
#include "battle/Btqvmap.h"
#include "battle/F_btmain.h"
#include "campaign/Country.h"
#include "campaign/Dock.h"
#include "campaign/FileKinds.h"
#include "campaign/Fleet.h"
#include "campaign/GameHost.h"
#include "campaign/Planet.h"
#include "campaign/Qvmap.h"
#include "formkit/Chbcbtn.h"
#include "platform/base/Sjis.h"
#include "platform/headless/TestKit.h"
#include "screens/Debug.h"
#include "screens/F_dock.h"
#include "screens/F_fleet.h"
#include "screens/F_maped.h"
#include "screens/F_sysmes.h"
#include "screens/Main.h"
#include "screens/ScreenParts.h"
#include "support/BattleWorld.h"
#include "support/GameFolder.h"
#include "support/Golden.h"
#include "support/World.h"

namespace vdmq {
namespace {

class DebugWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    InstallBattleWindow();
    game_ = std::make_unique<TGameSession>();
    ASSERT_NE(fmDebug, nullptr);
    session_.Backend.Driver = [this] { return Drive(); };
  }
  void TearDown() override {
    session_.Backend.Driver = nullptr;
    game_.reset();
    SetScreensHostMaker(nullptr);
    SetBattleWindowCreator(nullptr);
  }

  // Answers every message box with OK; a battle window that opens is noted and its battle given up.
  bool Drive() {
    TForm* top = TopModal();
    if (top != nullptr && top == fmBtMain) {
      if (!windowShown) {
        windowShown = true;
        BtPlayerRetreat();
        SetBattleSpeed(fmBtMain, 2);
        return true;
      }
      return false;
    }
    if (top == nullptr || top != fmSysMes) return false;
    Click(fmSysMes->btnOk, mbLeft, false);
    return true;
  }

  // Shows the window on one of its pages.
  static void Open(TTabSheet* page) {
    fmDebug->Show();
    fmDebug->PageControl1->SetActivePage(page);
    App().ProcessMessages();
  }
  // Clicks far enough apart not to make a double click.
  void Press(TControl* c, int x = -1, int y = -1) {
    session_.Backend.Advance(1000);
    if (x < 0)
      Click(c);
    else
      ClickAt(c, x, y);
  }
  void ClickLine(TListBox* list, int line) { Press(list, 20, 2 + line * list->ItemHeight + 6); }
  static std::vector<std::string> Lines(const TListBox* list) {
    std::vector<std::string> out;
    for (const std::string& s : list->Items) out.push_back(SjisToUtf8(s));
    return out;
  }
  static void Check(TCheckBox* box, bool on, const std::string& text, TEdit* edit) {
    box->SetChecked(on);
    edit->SetText(text);
  }

  test::TGameFolder folder_;
  THeadlessSession session_;
  std::unique_ptr<TGameSession> game_;
  bool windowShown = false;
};

TEST_F(DebugWindow, MadeHiddenAtTheTopLeftAndTogglesTheMapEditor) {
  EXPECT_FALSE(fmDebug->Visible());
  EXPECT_EQ(fmDebug->Left(), 0);
  EXPECT_EQ(fmDebug->Top(), 0);
  EXPECT_EQ(fmDebug->ClientWidth(), 325);
  EXPECT_EQ(fmDebug->ClientHeight(), 352);
  EXPECT_EQ(fmDebug->Caption(), "fmDebug");
  std::vector<std::string> pages;
  for (int i = 0; i < fmDebug->PageControl1->PageCount(); ++i)
    pages.push_back(SjisToUtf8(fmDebug->PageControl1->Pages(i)->Caption()));
  EXPECT_EQ(pages, (std::vector<std::string>{"メッセージ", "設定", "国家", "デバック", "戦闘"}));

  // "MAPEDIT" shows the map editor's tools and hides them again.
  Open(fmDebug->TabSheet1);
  ASSERT_NE(fmMapEdTools, nullptr);
  for (bool shown : {true, false, true}) {
    Press(fmDebug->Button4);
    EXPECT_EQ(fmMapEdTools->Visible(), shown);
  }
}

TEST_F(DebugWindow, SwitchLinesFlipAndTheHostReadsThem) {
  Open(fmDebug->TabSheet2);
  const std::vector<std::string> names = {"MAP_STEP_DUMP",      "MAP_HOKYUU_DUMP", "ドックを全表示",
                                          "艦隊移動を何度も可", "戦闘勝利",        "確立戦闘"};
  auto expected = [&](int on) {
    std::vector<std::string> lines;
    for (int n = 0; n < 6; ++n) lines.push_back((n == on ? "[ON ]" : "[OFF]") + names[static_cast<size_t>(n)]);
    return lines;
  };
  EXPECT_EQ(Lines(fmDebug->lboxDebugSw), expected(-1));
  for (int n = 0; n < 6; ++n) {
    ClickLine(fmDebug->lboxDebugSw, n);
    EXPECT_EQ(Lines(fmDebug->lboxDebugSw), expected(n)) << n;
    for (int k = -1; k <= 6; ++k) EXPECT_EQ(GameHost().GetDebugSw(k), k == n) << n << " " << k;
    ClickLine(fmDebug->lboxDebugSw, n);
    EXPECT_FALSE(GameHost().GetDebugSw(n)) << n;
  }
  EXPECT_EQ(Lines(fmDebug->lboxDebugSw), expected(-1));
  // Nothing is written to the message list.
  GameHost().DebugMes(SJS("艦隊が移動できない"));
  EXPECT_TRUE(fmDebug->lboxDebug->Items.empty());

  // Without the window every switch and setting is off.
  ClickLine(fmDebug->lboxDebugSw, 4);
  Check(fmDebug->chkbBtRand, true, "50", fmDebug->edBtRand);
  Check(fmDebug->chkbBtShipCG, true, "5", fmDebug->edBtShipCG);
  ASSERT_TRUE(GameHost().GetDebugSw(4));
  ASSERT_EQ(GameHost().GetDebugBattleChance(), 50);
  ASSERT_EQ(GameHost().GetDebugShipCg(), 5);
  delete fmDebug;
  EXPECT_EQ(fmDebug, nullptr);
  EXPECT_FALSE(GameHost().GetDebugSw(4));
  EXPECT_EQ(GameHost().GetDebugBattleChance(), -1);
  EXPECT_EQ(GameHost().GetDebugShipCg(), -1);
}

TEST_F(DebugWindow, DumpsAllDocksAndRepeatedMovesFollowTheirSwitches) {
  ASSERT_NE(QvMap, nullptr);
  const int player = GetPlayerCountry();
  const int capital = GetCountryCapital(player);
  ASSERT_GE(capital, 0);
  auto dump = [] {
    std::vector<int> cells;
    for (int y = 0; y < kMapSize; ++y)
      for (int x = 0; x < kMapSize; ++x) cells.push_back(QvMap->GetStep(x, y));
    return cells;
  };
  auto wave = [&] {
    static std::int32_t table[kMapSize][kMapSize];
    EXPECT_TRUE(QvMap->MakeStep(player, 0, GetPlanetX(capital), GetPlanetY(capital), 20, table, 0, true));
    std::vector<int> cells;
    for (const auto& row : table) cells.insert(cells.end(), row, row + kMapSize);
    return cells;
  };
  const std::vector<int> before = dump();
  const std::vector<int> steps = wave();
  ASSERT_NE(steps, before);
  EXPECT_EQ(dump(), before);
  fmDebug->Switches[kDebugSwStepDump].on = true;
  EXPECT_EQ(wave(), steps);
  EXPECT_EQ(dump(), steps);
  // Switch 1: supply copies its grid there.
  fmDebug->Switches[kDebugSwStepDump].on = false;
  fmDebug->Switches[kDebugSwHokyuuDump].on = true;
  QvMap->CalcSupply(player);
  std::vector<int> supply;
  for (int y = 0; y < kMapSize; ++y)
    for (int x = 0; x < kMapSize; ++x) supply.push_back(QvMap->GetSupply(x, y));
  ASSERT_NE(supply, steps);
  EXPECT_EQ(dump(), supply);

  // The dock screen's management lists the player's docks, with switch 2 every dock of anyone.
  int own = 0, all = 0;
  for (int p = 0; p < kPlanetCount; ++p)
    for (int d = 0; d < kPlanetDockCount; ++d) {
      own += IsDockOfCountry(p, d, player);
      all += IsDockExist(p, d);
    }
  ASSERT_LT(own, all);
  for (bool on : {false, true}) {
    fmDebug->Switches[2].on = on;
    TfmDock* dock = nullptr;
    App().CreateForm(dock);
    dock->Country = player;
    dock->Mode = 2;
    dock->BuildList();
    EXPECT_EQ(dock->List.Count, on ? all : own);
    delete dock;
  }

  // Switch 3: the fleet screen keeps "移動" for the player's led fleet that has moved this turn.
  test::MakeFleet(player, 0, 0, 30, 30);
  FleetData[player][0].CanMove = 0;
  for (bool on : {false, true}) {
    fmDebug->Switches[3].on = on;
    TfmFleet* fleet = nullptr;
    App().CreateForm(fleet);
    fleet->Country = player;
    fleet->Fleet = 0;
    fleet->Refresh();
    EXPECT_EQ(fleet->btnMove->Enabled(), on);
    delete fleet;
  }
}

TEST_F(DebugWindow, BattleWonOrDecidedByChanceWithoutTheWindow) {
  struct Case {
    bool win;     // switch 4
    bool chance;  // "勝利確立" checked
    const char* percent;
    int winner;
    bool window;
  } cases[] = {
      {false, false, "", 1, true},  // fought in the window (and given up there)
      {true, false, "", 0, false},    {false, true, "100", 0, false}, {false, true, "0", 1, false},
      {false, true, "abc", 1, false}, {false, true, "-5", 1, false},  {true, true, "0", 0, false},
  };
  for (const Case& c : cases) {
    bttest::ResetWorld();
    for (int s = 0; s < 3; ++s) {
      bttest::PutFleetShip(0, 0, s, bttest::MakeShip(bttest::kHull, bttest::kWeapon1, -1, bttest::kEngine, -1));
      bttest::PutSate(9, s, bttest::MakeShip(bttest::kHullSate, bttest::kWeapon1, -1, bttest::kEngine, -1));
    }
    bttest::PutPlanet(9, 20, 21, 1, false);
    bttest::PutPlanet(2, 30, 30, 1, true);
    bttest::PutPlanet(0, 5, 5, 0, true);
    fmDebug->Switches[4].on = c.win;
    Check(fmDebug->chkbBtRand, c.chance, c.percent, fmDebug->edBtRand);
    windowShown = false;
    BtBattleStart(0, 0, 1, -1, 9);
    EXPECT_EQ(BtInfo.winner, c.winner) << c.win << " " << c.percent;
    EXPECT_EQ(windowShown, c.window) << c.win << " " << c.percent;
    EXPECT_EQ(GetPlanetBelong(9), c.winner) << c.win << " " << c.percent;
  }
}

TEST_F(DebugWindow, BattlePictureReplacesEveryHullWhileChecked) {
  struct Case {
    bool on;
    const char* text;
    std::vector<int> hulls;  // of the player's ships, then the enemy's
  } cases[] = {
      {false, "5", {0, 0, 12}},
      {true, "5", {5, 5, 5}},
      {true, "abc", {0, 0, 12}},
      {true, "", {0, 0, 12}},
  };
  for (const Case& c : cases) {
    bttest::ResetWorld();
    bttest::PutFleetShip(0, 0, 0, bttest::MakeShip(bttest::kHull, bttest::kWeapon1, -1, bttest::kEngine, -1));
    bttest::PutFleetShip(1, 0, 0, bttest::MakeShip(bttest::kHull, bttest::kWeapon1, -1, bttest::kEngine, -1));
    bttest::PutFleetShip(1, 0, 1, bttest::MakeShip(bttest::kHullLight, bttest::kWeapon1, -1, bttest::kEngine, -1));
    Check(fmDebug->chkbBtShipCG, c.on, c.text, fmDebug->edBtShipCG);
    bttest::RecordingView view;
    BtSetInfo(0, 0, 1, 0, -1);
    auto arena = std::make_unique<TBtQvMap>();
    BtQvMap = arena.get();
    arena->Setup();
    std::vector<int> hulls;
    for (const auto& s : view.sheets)
      if (s.kind == kFileKindBattleHull) hulls.push_back(s.number);
    BtQvMap = nullptr;
    arena.reset();
    std::sort(hulls.begin(), hulls.end());
    EXPECT_EQ(hulls, c.hulls) << c.on << " " << c.text;
  }
}

TEST_F(DebugWindow, BattleSettingsEnableTheirEditsWhileChecked) {
  struct Row {
    TCheckBox* box;
    TEdit* edit;
    TUpDown* up;
    int max;
  } rows[] = {
      {fmDebug->chkbBtBG, fmDebug->edBtBG, fmDebug->udBtBG, 7},
      {fmDebug->chkbBtRand, fmDebug->edBtRand, fmDebug->udBtRand, 100},
      {fmDebug->chkbBtShipCG, fmDebug->edBtShipCG, fmDebug->udBtShipCG, 21},
  };
  Open(fmDebug->TabSheet5);
  for (const Row& r : rows) {
    EXPECT_FALSE(r.edit->Enabled()) << r.edit->Name;
    EXPECT_FALSE(r.up->Enabled()) << r.up->Name;
    Press(r.box);
    EXPECT_TRUE(r.edit->Enabled() && r.up->Enabled()) << r.edit->Name;
    // The up-down counts within its range into the edit.
    r.up->SetPosition(r.max + 1);
    EXPECT_EQ(r.edit->Text(), std::to_string(r.max));
    Press(r.box);
    EXPECT_FALSE(r.edit->Enabled() || r.up->Enabled()) << r.edit->Name;
  }
}

TEST_F(DebugWindow, CountryPageSetsRelationAndFunds) {
  const int player = GetPlayerCountry();
  // One computer country has lost its capital; one is an ally.
  std::vector<int> alive;
  for (int k = 0; k < kCountryCount; ++k)
    if (k != player && IsCountryAlive(k)) alive.push_back(k);
  ASSERT_GE(alive.size(), 3u);
  const int dead = alive[1];
  SetCountryCapital(dead, -1);
  alive.erase(alive.begin() + 1);
  SetCountryRelation(player, alive[0], kRelationWar);
  SetCountryRelation(player, alive[1], kRelationAlly);

  Open(fmDebug->TabSheet3);
  std::vector<std::string> names;
  for (int k : alive) names.push_back(GetCountryName(k));
  EXPECT_EQ(fmDebug->cboxCountry->Items, names);
  for (size_t i = 0; i < fmDebug->CountryIndex.size(); ++i)
    EXPECT_EQ(fmDebug->CountryIndex[i], i < alive.size() ? alive[i] : -1) << i;
  EXPECT_EQ(fmDebug->cboxCountry->ItemIndex(), 0);
  EXPECT_EQ(fmDebug->rgrpRelation->ItemIndex(), 1);
  EXPECT_EQ(fmDebug->edCoFund->Text(), std::to_string(GetCountryFund(alive[0])));

  // Another country: an alliance shows no item; "通常" with "変更" ends it, "交戦" declares war.
  fmDebug->cboxCountry->SetItemIndex(1);
  fmDebug->cboxCountryChange(fmDebug->cboxCountry);
  EXPECT_EQ(fmDebug->rgrpRelation->ItemIndex(), -1);
  EXPECT_EQ(fmDebug->edCoFund->Text(), std::to_string(GetCountryFund(alive[1])));
  Press(fmDebug->Button1);
  EXPECT_EQ(GetCountryRelation(player, alive[1]), kRelationAlly) << "no item chosen";
  for (int item : {0, 1}) {
    const TRect r = fmDebug->rgrpRelation->ItemRect(item);
    Press(fmDebug->rgrpRelation, r.Left + 4, (r.Top + r.Bottom) / 2);
    ASSERT_EQ(fmDebug->rgrpRelation->ItemIndex(), item);
    Press(fmDebug->Button1);
    EXPECT_EQ(GetCountryRelation(player, alive[1]), item == 0 ? kRelationNone : kRelationWar);
  }

  // Funds: a whole number is set (and clamped); any other text changes nothing.
  struct Fund {
    const char* text;
    int fund;
  } funds[] = {{"12345", 12345}, {"12a", 12345}, {"", 12345}, {"99999999999", 12345}, {"1234567", 999999}};
  for (const Fund& f : funds) {
    fmDebug->edCoFund->SetText(f.text);
    Press(fmDebug->btnCoFund);
    EXPECT_EQ(GetCountryFund(alive[1]), f.fund) << f.text;
  }
}

TEST(EditNumbers, WholeNumbersOnly) {
  struct Case {
    const char* text;
    std::optional<int> value;
  } cases[] = {{"42", 42},
               {"-3", -3},
               {"+7", 7},
               {"", std::nullopt},
               {"12a", std::nullopt},
               {"+-1", std::nullopt},
               {"-", std::nullopt},
               {" 1", std::nullopt},
               {"-2147483648", -2147483647 - 1},
               {"2147483648", std::nullopt}};
  for (const Case& c : cases) EXPECT_EQ(WholeNumber(c.text), c.value) << c.text;
}

TEST_F(DebugWindow, SwitchAndCountryPagesLook) {
  Open(fmDebug->TabSheet2);
  ClickLine(fmDebug->lboxDebugSw, 2);
  App().PaintAndPresent();
  EXPECT_TRUE(test::MatchesGolden(session_.Backend.LastScreen(), "screens", "debug_switches"));
  fmDebug->PageControl1->SetActivePage(fmDebug->TabSheet3);
  App().PaintAndPresent();
  EXPECT_TRUE(test::MatchesGolden(session_.Backend.LastScreen(), "screens", "debug_countries"));
}

}  // namespace
}  // namespace vdmq
