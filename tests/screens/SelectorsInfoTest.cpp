// The fleet, commander and planet selectors and the information screen with their real forms on the
// headless back end: what each shows, its enabled states, sorting both ways with ties, scrolling and
// line colours, the choices and what they answer, the map centring, the portraits, the second
// opening while a screen is up, and the command bar's paths into the selectors.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ModalStepsSupport.h"
#include "ScreensTestSupport.h"
#include "campaign/Character.h"
#include "campaign/Cmd.h"
#include "campaign/Country.h"
#include "campaign/FileKinds.h"
#include "campaign/Fleet.h"
#include "campaign/Planet.h"
#include "formkit/Chbcbtn.h"
#include "platform/base/Sjis.h"
#include "screens/F_cm_sel.h"
#include "screens/F_flsel.h"
#include "screens/F_pl_sel.h"
#include "screens/Main.h"
#include "screens/ScreensHost.h"
#include "screens/f_cmd_if.h"
#include "support/GraphicsFiles.h"
#include "support/RecordingHost.h"

namespace vdmq {
namespace {

using test::ClickNamed;
using test::IsEnabled;
using test::LabelColor;
using test::LabelText;
using test::TModalSteps;

using test::NumberedEntryName;

// Pictures that tell themselves apart: the empty portrait (kind 14) fills the commander selector's
// portrait, a commander's (kind 42, number 7) covers only its top-left 64 x 64 corner; an information
// portrait (kind 40, number 7) covers the whole 216 x 216 of its screen.
std::vector<std::pair<std::string, std::vector<std::uint8_t>>> Pictures() {
  return {
      {NumberedEntryName(kFileKindCommanderSelectorNoPortrait, 0),
       test::FlatFramesBmp(kFileKindCommanderSelectorNoPortrait, 1, 1, 138, 138)},
      {NumberedEntryName(kFileKindCommanderPortrait, 7), test::FlatFramesBmp(kFileKindCommanderPortrait, 1, 1, 64, 64)},
      {NumberedEntryName(kFileKindLargePortrait, 7), test::FlatFramesBmp(kFileKindLargePortrait, 1, 1, 216, 216)}};
}

TQoRGB PixelAt(const TQoTrueDib& s, int x, int y) { return s.Pixels()[y * s.RowPitch() + x]; }

std::string Enabled(TForm* f, const std::string& prefix, int count) {
  std::string states;
  for (int i = 0; i < count; ++i) states += IsEnabled(f, prefix + std::to_string(i)) ? '1' : '0';
  return states;
}

// Country 0 is the player's (capital planet 5 at (10, 10), planet 6 at (20, 20)); country 2 owns
// planet 8 at (30, 30). Country 0's fleets: 0 on the capital (commander 0), 1 in open space at (15, 15)
// (commander 1), 2 on planet 6 (commander 2), 3 on the capital but not usable, 4 usable but off the
// map. Event characters i have name i and picture i.
class Screens : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { archive_ = std::make_unique<test::TTestArchive>(Pictures()); }
  static void TearDownTestSuite() { archive_.reset(); }
  void SetUp() override {
    ASSERT_TRUE(archive_->Install());
    for (int i = 0; i < kEventCharacterCount; ++i) EventCharacterData[i] = {i, i};
    test::MakeCapital(0, 5, 10, 10);
    test::PlacePlanet(6, 20, 20, 0);
    test::MakeCapital(2, 8, 30, 30);
    test::MakeFleet(0, 0, 0, 10, 10);
    test::MakeFleet(0, 1, 1, 15, 15);
    test::MakeFleet(0, 2, 2, 20, 20);
    test::MakeFleet(0, 3, -1, 10, 10);
    FleetData[0][3].CanUse = 0;
    test::MakeFleet(0, 4, -1, -1, -1);
  }
  void TearDown() override { archive_->Uninstall(); }
  static inline std::unique_ptr<test::TTestArchive> archive_;
  THeadlessSession session_;
  test::TRecordingHost host_;
  test::TTestMap world_;
};

// ---- fleet selector ----

class FleetSelector : public Screens {
 protected:
  void SetUp() override {
    Screens::SetUp();
    App().CreateForm(fmFleetSel);
  }
  void TearDown() override {
    delete fmFleetSel;
    EXPECT_EQ(fmFleetSel, nullptr);
    Screens::TearDown();
  }
};

TEST_F(FleetSelector, ShowsEveryUsableFleetOrThoseAtThePlanetAndOpensOnlyOnce) {
  {
    TModalSteps steps(session_);
    steps.Then("TfmFleetSel", [](TForm* f) {
      test::ExpectSoundLayout(f, {{"TCHBcBitBtn", 1}, {"TCHBcBitBtn", 10}});
      EXPECT_EQ(LabelText(f, "lbBelong"), "");
      EXPECT_EQ(LabelText(f, "lbPlanet"), "未選択");
      EXPECT_FALSE(IsEnabled(f, "btnPla"));
      EXPECT_EQ(Enabled(f, "btnFl", 10), "1110100000");
      EXPECT_EQ(LabelText(f, "btnFl9"), "第１０艦隊");
      ShowFleetSel(0);  // shown already: returns at once
      ShowFleetSelByPlanet(5);
      fmFleetSel->btnCloseClick(nullptr);
      EXPECT_EQ(fmFleetSel->ModalResult, 1);
    });
    ShowFleetSel(0);
  }
  // Through the host, as a click on a planet where its owner's fleets stand.
  TScreensHost screensHost;
  SetGameHost(&screensHost);
  {
    TModalSteps steps(session_);
    steps.Then("TfmFleetSel", [](TForm* f) {
      EXPECT_EQ(LabelText(f, "lbBelong"), SjisToUtf8(GetCountryName(0)));
      EXPECT_EQ(LabelText(f, "lbPlanet"), SjisToUtf8(GetPlanetName(5)));
      EXPECT_TRUE(IsEnabled(f, "btnPla"));
      EXPECT_EQ(Enabled(f, "btnFl", 10), "1000000000");
      ClickNamed(f, "btnClose");
    });
    GameHost().ShowFleetSelByPlanet(5);
  }
  SetGameHost(&host_);
}

TEST_F(FleetSelector, AFleetButtonCentresOpensTheFleetScreenAndClosesOnceAMoveStarted) {
  // The fleet screen of a fleet without a move leaves the selector up, refreshed: the fleet screen
  // here takes fleet 0 off the capital.
  host_.onFleetForm = [](int country, int fleet) { SetFleetXY(country, fleet, 40, 40); };
  {
    TModalSteps steps(session_);
    steps.Click("TfmFleetSel", "btnFl0")
        .Then("TfmFleetSel",
              [](TForm* f) {
                EXPECT_EQ(fmFleetSel->Fleet, 0);
                EXPECT_FALSE(IsEnabled(f, "btnFl0"));
                ClickNamed(f, "btnPla");
              })
        .Click("TfmFleetSel", "btnClose");
    ShowFleetSelByPlanet(5);
  }
  EXPECT_EQ(host_.centredCells, (std::vector<std::pair<int, int>>{{10, 10}}));
  EXPECT_EQ(host_.fleetForms, (std::vector<std::pair<int, int>>{{0, 0}}));
  EXPECT_EQ(host_.planetWindows, (std::vector<std::pair<int, int>>{{5, 0}}));

  // "移動" in the fleet screen: the selector closes itself and the map awaits the target. A fleet off
  // the map (4) opens its screen without centring.
  host_.centredCells.clear();
  host_.onFleetForm = [this](int country, int fleet) {
    if (fleet == 1) world_.map.StartFleetMove(country, fleet);
  };
  {
    TModalSteps steps(session_);
    steps.Click("TfmFleetSel", "btnFl4").Click("TfmFleetSel", "btnFl1");
    ShowFleetSel(0);
  }
  EXPECT_EQ(world_.map.GetMode(), 1);
  EXPECT_EQ(fmFleetSel->ModalResult, 2);
  EXPECT_FALSE(fmFleetSel->Visible());
  ASSERT_FALSE(host_.centredCells.empty());
  EXPECT_EQ(host_.centredCells.front(), std::make_pair(15, 15));
}

// ---- commander selector ----

// Fifteen commanders 10..24 of country 0 with ties in every value; 10, 11 and 12 lead fleets 0
// (on the capital), 1 (in open space) and 2 (on planet 6). Commanders 0..2 of the world's fleets
// move to country 3.
class CommanderSelector : public Screens {
 protected:
  void SetUp() override {
    Screens::SetUp();
    for (int c = 0; c < 3; ++c) CmdData[c].Belong = 3;
    for (int i = 0; i < 15; ++i) {
      TCmdData& d = CmdData[10 + i];
      d.Belong = 0;
      d.Name = 40 - (i % 5);  // three commanders for each of five names
      d.Cg = i == 1 ? 7 : 0;
      d.Lev = 1 + i % 3;
      d.AtkMod = 20 + 10 * (i % 4);
      d.DefMod = 30 + 5 * (i % 2);
      d.Direct = 50 - i / 3;
      d.Mind = i % 6;
      d.Fatigue = 100 * (i % 7);
    }
    CmdData[10].UnderFleet = 0;
    CmdData[11].UnderFleet = 1;
    CmdData[12].UnderFleet = 2;
  }
  TfmCmdSel* Make(int mode) {
    TfmCmdSel* f = nullptr;
    App().CreateForm(f);
    f->Mode = mode;
    f->Country = 0;
    f->BuildList();
    return f;
  }
  static std::vector<int> Order(const TfmCmdSel* f) {
    return std::vector<int>(f->List.Places.begin(), f->List.Places.begin() + f->List.Count);
  }
};

TEST_F(CommanderSelector, OpensByLedFleetAndSortsEveryColumnBothWaysWithTies) {
  TfmCmdSel* f = Make(0);
  EXPECT_EQ(Order(f), (std::vector<int>{13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24, 10, 11, 12}));
  const std::function<int(int)> values[8] = {
      nullptr, GetCmdUnderFleet, GetCmdLev, GetCmdAtk, GetCmdDef, GetCmdDirect, GetCmdMind, GetCmdFatigue,
  };
  for (int column = 0; column < TfmCmdSel::kColumns; ++column) {
    for (bool descending : {false, true}) {
      f->Descending = !descending;
      f->btnNameClick(f->btnColumn[column]);
      ASSERT_EQ(f->SortKey, column);
      ASSERT_EQ(f->Descending, descending);
      const std::vector<int> order = Order(f);
      ASSERT_EQ(order.size(), 15u);
      int ties = 0;
      for (size_t i = 1; i < order.size(); ++i) {
        int a = order[i - 1], b = order[i];
        if (descending) std::swap(a, b);
        const int va = column == 0 ? 0 : values[column](a), vb = column == 0 ? 0 : values[column](b);
        const int byValue = column == 0 ? std::strcmp(GetCmdName(a), GetCmdName(b)) : (va > vb) - (va < vb);
        EXPECT_TRUE(byValue < 0 || (byValue == 0 && a < b)) << "column " << column << " at " << i;
        ties += byValue == 0;
      }
      EXPECT_GT(ties, 0) << "column " << column;
    }
  }
  delete f;
}

TEST_F(CommanderSelector, LinesColoursScrollingAndWhoMayBeChosen) {
  // Commander 11 leads fleet 1 in open space, commander 12 fleet 2 on a planet.
  CmdData[11].Fatigue = 250;
  TfmCmdSel* f = Make(0);
  f->Cmd = 12;
  f->ShowList();
  auto line = [](int cmd, const char* rest) {
    return SjisToUtf8(GetCmdName(cmd)) + std::string(26 - std::strlen(GetCmdName(cmd)), ' ') + rest;
  };
  EXPECT_EQ(LabelText(f, "lbCmdName0"), line(13, "   --    1   35   24   49    3   30"));
  f->List.btnPageDownClick(nullptr);
  EXPECT_EQ(f->List.Top, 5);
  EXPECT_FALSE(f->List.btnDown->Enabled());
  EXPECT_TRUE(f->List.btnUp->Enabled());
  EXPECT_EQ(LabelText(f, "lbCmdName8"), line(11, "    2    2   22   26   50    1   25"));
  EXPECT_EQ(LabelColor(f, "lbCmdName7"), kLineChoosable);  // 10, his fleet on the capital
  EXPECT_EQ(LabelColor(f, "lbCmdName8"), kLineGrey);
  EXPECT_EQ(LabelColor(f, "lbCmdName9"), kLineChosen);
  f->lbCmdName0Click(f->List.lbList[8]);
  EXPECT_EQ(f->Cmd, 12);
  f->lbCmdName0Click(f->List.lbList[7]);
  EXPECT_EQ(f->Cmd, 10);
  delete f;

  // In mode 1 any commander of a country may be chosen; another country's are not in mode 0.
  f = Make(1);
  EXPECT_TRUE(f->CanChoose(11));
  EXPECT_TRUE(f->CanChoose(0));
  EXPECT_FALSE(f->CanChoose(-1));
  EXPECT_FALSE(f->CanChoose(kCmdCount));
  CmdData[13].Belong = -1;
  EXPECT_FALSE(f->CanChoose(13));
  f->Mode = 0;
  EXPECT_FALSE(f->CanChoose(0));
  delete f;

  // Every commander of the table, at most the list's 120 places.
  for (TCmdData& d : CmdData) d.Belong = 0;
  f = Make(1);
  EXPECT_EQ(f->List.Count, kCmdCount);
  for (int i = 0; i < 12; ++i) f->List.btnPageDownClick(nullptr);
  EXPECT_EQ(f->List.Top, kCmdCount - 10);
  delete f;
}

TEST_F(CommanderSelector, InitialChoicePortraitButtonsAndAnswers) {
  struct Case {
    int mode, initial;
    int chosen;           // the choice at opening
    const char* buttons;  // 詳細, 決定
    bool ok;              // closed with 決定, else 戻る
    int answer;
  } cases[] = {
      {0, -1, 13, "11", true, 13},   // the first choosable in list order
      {0, 11, -1, "00", true, -1},   // his fleet is in open space: no choice, 決定 disabled
      {0, 12, 12, "11", false, -1},  // 戻る answers nothing
      {1, 11, 11, "10", false, -1},  // mode 1: 決定 disabled with a choice
      {0, 0, -1, "00", false, -1},   // another country's
  };
  const TQoRGB empty = test::FlatFrameColour(kFileKindCommanderSelectorNoPortrait, 0),
               face = test::FlatFrameColour(kFileKindCommanderPortrait, 0);
  for (const Case& c : cases) {
    int opened = -2;
    {
      TModalSteps steps(session_);
      steps.Then("TfmCmdSel", [&](TForm* top) {
        auto* f = static_cast<TfmCmdSel*>(top);
        opened = f->Cmd;
        EXPECT_EQ(std::string(1, IsEnabled(f, "btnCmdInfo") ? '1' : '0') + (IsEnabled(f, "btnOk") ? '1' : '0'),
                  c.buttons);
        EXPECT_EQ(PixelAt(f->QoCmd, 100, 100), empty);
        EXPECT_EQ(ShowCmdSel(c.mode, 0, c.initial), -1);  // open already
        if (c.ok && !f->btnOk->Enabled())
          f->btnOkClick(nullptr);  // an OK that the button would not give
        else
          ClickNamed(f, c.ok ? "btnOk" : "btnBack");
      });
      EXPECT_EQ(ShowCmdSel(c.mode, 0, c.initial), c.answer) << "mode " << c.mode << " initial " << c.initial;
    }
    EXPECT_EQ(opened, c.chosen) << "mode " << c.mode << " initial " << c.initial;
  }
  // A click on commander 11 (picture 7) in mode 1 draws his face over the empty portrait; 詳細 opens
  // his information.
  int info = -1;
  {
    TModalSteps steps(session_);
    steps
        .Then("TfmCmdSel",
              [](TForm* top) {
                auto* f = static_cast<TfmCmdSel*>(top);
                EXPECT_EQ(PixelAt(f->QoCmd, 10, 10), test::FlatFrameColour(kFileKindCommanderSelectorNoPortrait, 0));
                ClickNamed(top, "btnPageDown");
              })
        .Click("TfmCmdSel", "lbCmdName8")
        .Then("TfmCmdSel",
              [&](TForm* top) {
                auto* f = static_cast<TfmCmdSel*>(top);
                EXPECT_EQ(f->Cmd, 11);
                EXPECT_EQ(PixelAt(f->QoCmd, 10, 10), face);
                EXPECT_EQ(PixelAt(f->QoCmd, 100, 100), empty);
                ClickNamed(top, "btnCmdInfo");
              })
        .Then("TfmInfo",
              [&](TForm* top) {
                info = static_cast<TfmInfo*>(top)->Index;
                ClickNamed(top, "btnBack");
              })
        .Click("TfmCmdSel", "btnBack");
    ShowCmdSel(1, 0, 10);
  }
  EXPECT_EQ(info, 11);
}

// ---- planet selector ----

// Planets on the map: 5 (country 0's capital), 6 (country 0), 8 (country 2's capital), 9 and 12
// (country 2), 15 (unowned); planet 20 is off the map.
class PlanetSelector : public Screens {
 protected:
  void SetUp() override {
    Screens::SetUp();
    test::PlacePlanet(9, 31, 31, 2);
    test::PlacePlanet(12, 32, 32, 2);
    test::PlacePlanet(15, 40, 40, -1);
    PlanetData[20].Belong = 0;
    const int income[] = {5, 300, 6, 200, 8, 200, 9, 50, 12, 100, 15, 200};
    for (int i = 0; i < 12; i += 2) {
      PlanetData[income[i]].IncomeFund = income[i + 1];
      PlanetData[income[i]].Hokyuu = income[i] + 1;
    }
  }
  TfmPlaSel* Make(int mode, int country = -1) {
    TfmPlaSel* f = nullptr;
    App().CreateForm(f);
    f->Mode = mode;
    f->Country = country;
    f->BuildList();
    return f;
  }
  static std::vector<int> Order(const TfmPlaSel* f) {
    return std::vector<int>(f->List.Places.begin(), f->List.Places.begin() + f->List.Count);
  }
};

TEST_F(PlanetSelector, OpensDescendingByOwnerSortsByIncomeBothWaysAndFilters) {
  TfmPlaSel* f = Make(1);
  EXPECT_EQ(Order(f), (std::vector<int>{12, 9, 8, 6, 5, 15}));
  f->btnNameClick(f->btnColumn[3]);
  EXPECT_EQ(Order(f), (std::vector<int>{9, 12, 6, 8, 15, 5}));
  f->btnNameClick(f->btnColumn[3]);
  EXPECT_EQ(Order(f), (std::vector<int>{5, 15, 8, 6, 12, 9}));
  f->btnNameClick(f->btnColumn[2]);  // capital of: ascending, -1 first
  EXPECT_EQ(Order(f), (std::vector<int>{6, 9, 12, 15, 5, 8}));
  // A damaged name index sorts as empty text: last, descending.
  PlanetData[15].Name = 9999;
  f->btnNameClick(f->btnColumn[0]);
  EXPECT_TRUE(f->Descending);
  EXPECT_EQ(Order(f).back(), 15);
  delete f;
  f = Make(1, 2);
  EXPECT_EQ(Order(f), (std::vector<int>{12, 9, 8}));
  delete f;
}

TEST_F(PlanetSelector, LinesShowTheCapitalMarkAndTheUnownedOwner) {
  TfmPlaSel* f = Make(1);
  f->ShowList();
  auto pad = [](const char* sjis, size_t width) {
    return SjisToUtf8(sjis) + std::string(width - std::strlen(sjis), ' ');
  };
  EXPECT_EQ(LabelText(f, "lbCmdName2"),
            pad(GetPlanetName(8), 20) + " " + pad(GetCountryName(2), 20) + "  ○       200    9    0");
  EXPECT_EQ(LabelText(f, "lbCmdName5"),
            pad(GetPlanetName(15), 20) + " " + pad(SJS("無所属").c_str(), 20) + "  －       200   16    0");
  EXPECT_EQ(LabelText(f, "lbCmdName4"),
            pad(GetPlanetName(5), 20) + " " + pad(GetCountryName(0), 20) + "  ○       300    6    2");
  PlanetData[15].Name = 9999;
  f->ShowList();
  EXPECT_EQ(LabelText(f, "lbCmdName5").substr(0, 21), std::string(21, ' '));
  delete f;
}

TEST_F(PlanetSelector, HighlightsAnyLineFromTagZeroButAcceptsOnlyChoosablePlanets) {
  int answer = 0;
  {
    TModalSteps steps(session_);
    steps
        .Then("TfmPlaSel",
              [](TForm* f) {
                test::ExpectSoundLayout(f, {{"TLabel", 0}, {"TLabel", 9}, {"TCHBcBitBtn", 6}});
                EXPECT_EQ(LabelColor(f, "lbCmdName3"), kLineChosen);  // planet 6, the initial choice
                EXPECT_EQ(LabelColor(f, "lbCmdName0"), kLineGrey);    // country 2's
                EXPECT_EQ(LabelColor(f, "lbCmdName4"), kLineChoosable);
                EXPECT_TRUE(IsEnabled(f, "btnOk"));
                EXPECT_EQ(ShowPlaSel(0, -1, -1), -1);  // open already
                ClickNamed(f, "lbCmdName0");
              })
        .Then("TfmPlaSel",
              [](TForm* f) {
                EXPECT_EQ(static_cast<TfmPlaSel*>(f)->Planet, 12);
                EXPECT_EQ(LabelColor(f, "lbCmdName0"), kLineChosen);
                EXPECT_FALSE(IsEnabled(f, "btnOk"));
                ClickNamed(f, "lbCmdName4");
              })
        .Click("TfmPlaSel", "btnOk");
    answer = ShowPlaSel(0, 6, -1);
  }
  EXPECT_EQ(answer, 5);
  EXPECT_EQ(host_.centredPlanets, (std::vector<int>{6, 12, 5}));

  // Mode 1 takes another country's planet; 閉じる answers nothing; a filtered list shows only its
  // country's planets; a line past the end changes nothing.
  host_.centredPlanets.clear();
  {
    TModalSteps steps(session_);
    steps
        .Then("TfmPlaSel",
              [](TForm* f) {
                EXPECT_FALSE(IsEnabled(f, "btnOk"));
                EXPECT_EQ(LabelText(f, "lbCmdName3"), "");
                ClickNamed(f, "lbCmdName5");
              })
        .Then("TfmPlaSel",
              [](TForm* f) {
                EXPECT_EQ(static_cast<TfmPlaSel*>(f)->Planet, -1);
                ClickNamed(f, "lbCmdName1");
              })
        .Click("TfmPlaSel", "btnOk")
        .Then("TfmPlaSel", [](TForm* f) { ClickNamed(f, "btnClose"); });
    EXPECT_EQ(ShowPlaSel(1, -1, 2), 9);
    EXPECT_EQ(ShowPlaSel(1, 8, 2), -1);
  }
  EXPECT_EQ(host_.centredPlanets, (std::vector<int>{9, 8}));
}

// ---- information screen ----

class InfoScreen : public Screens {
 protected:
  void SetUp() override {
    Screens::SetUp();
    TCmdData& d = CmdData[1];  // leads fleet 1 of country 0
    d.Cg = 7;
    d.Lev = 3;
    d.Exp = 42;
    d.AtkMod = 40;
    d.AtkModUp = 5;
    d.DefMod = 30;
    d.Direct = 55;
    d.Mind = 12;
    d.Fatigue = 400;
    CountryData[0].President = 7;
    CountryData[0].StdFund = 1200;
    CountryData[0].Fund = 34567;
  }
  // The screen made directly and filled for a page.
  std::vector<std::string> Page(int mode, int index, TQoRGB* portrait = nullptr) {
    TfmInfo* f = nullptr;
    App().CreateForm(f);
    f->SetPage(mode, index);
    f->FormShow(f);
    std::vector<std::string> lines{SjisToUtf8(f->Caption()), LabelText(f, "lbName")};
    for (int i = 0; i < TfmInfo::kProfileLines; ++i) lines.push_back(LabelText(f, "lbProfile" + std::to_string(i)));
    if (portrait != nullptr) *portrait = PixelAt(f->QoImg, 100, 100);
    delete f;
    return lines;
  }
  static std::vector<std::string> Profile(int character) {
    std::vector<std::string> lines;
    for (int i = 0; i < 5; ++i) lines.push_back(SjisToUtf8(GetEventCharacterProfile(character, i)));
    return lines;
  }
  static std::vector<std::string> Join(std::vector<std::string> head, const std::vector<std::string>& profile,
                                       const std::vector<std::string>& values) {
    head.insert(head.end(), profile.begin(), profile.end());
    head.insert(head.end(), values.begin(), values.end());
    return head;
  }
};

TEST_F(InfoScreen, FillsTheCommanderCountryAndCharacterPages) {
  const TQoRGB black(0, 0, 0), face = test::FlatFrameColour(kFileKindLargePortrait, 0);
  TQoRGB portrait;
  const std::vector<std::string> commander{"指揮：第２艦隊",   "レベル　  3  経験値   42",   "攻撃修正  33/ 55",
                                           "防御修正  18/ 30", "判断      55  精神      12", "疲労      40"};
  EXPECT_EQ(Page(0, 1, &portrait), Join({"司令官情報", SjisToUtf8(GetCmdName(1))}, Profile(7), commander));
  EXPECT_EQ(portrait, face);
  // Without a fleet; and a picture number past the profile texts shows no profile.
  CmdData[1].UnderFleet = -1;
  CmdData[1].Cg = 38;
  std::vector<std::string> free = commander;
  free[0] = "指揮：未配属";
  EXPECT_EQ(Page(0, 1, &portrait), Join({"司令官情報", SjisToUtf8(GetCmdName(1))}, {"", "", "", "", ""}, free));
  EXPECT_EQ(portrait, black);

  const std::string capital = "本拠地   " + SjisToUtf8(GetPlanetName(5));
  EXPECT_EQ(Page(2, 0, &portrait), Join({"勢力情報", SjisToUtf8(GetEventCharacterName(7))}, Profile(7),
                                        {"所属     " + SjisToUtf8(GetCountryName(0)), "関係     自国", capital,
                                         "基礎資金 1200  ", "総資金   34567 ", ""}));
  EXPECT_EQ(portrait, face);
  // A country without a capital, and a head of state outside the characters.
  CountryData[0].Capital = -1;
  CountryData[0].President = 38;
  const std::vector<std::string> country = Page(2, 0, &portrait);
  EXPECT_EQ(country[1], "");
  EXPECT_EQ(std::vector<std::string>(country.begin() + 2, country.begin() + 7), std::vector<std::string>(5, ""));
  EXPECT_EQ(country[9], "本拠地   ");
  EXPECT_EQ(portrait, black);

  const std::vector<std::string> none(6, "");
  EXPECT_EQ(Page(1, 7, &portrait), Join({"元首情報", SjisToUtf8(GetEventCharacterName(7))}, Profile(7), none));
  EXPECT_EQ(portrait, face);
  const std::vector<std::string> empty(12, "");
  for (auto [mode, index] : {std::pair{0, -1}, {1, -1}, {1, 38}, {2, -1}, {2, 14}}) {
    std::vector<std::string> page = Page(mode, index);
    page.erase(page.begin());
    EXPECT_EQ(page, empty) << "mode " << mode << " index " << index;
  }
  EXPECT_EQ(Page(5, 1)[0], "");
}

TEST_F(InfoScreen, OpensOnlyForTableIndicesAndOnlyOnce) {
  std::vector<std::string> shown;
  {
    TModalSteps steps(session_);
    auto look = [&](TForm* f) {
      shown.push_back(SjisToUtf8(f->Caption()) + " " + LabelText(f, "lbName"));
      ShowCmdInfo(2);  // open already
      ShowCountryInfo(0);
      ClickNamed(f, "btnBack");
    };
    steps.Then("TfmInfo", look).Then("TfmInfo", look);
    for (int bad : {-1, kCmdCount}) ShowCmdInfo(bad);
    for (int bad : {-1, kCountryCount}) ShowCountryInfo(bad);
    ShowCmdInfo(1);
    ShowCountryInfo(0);
  }
  EXPECT_EQ(shown, (std::vector<std::string>{"司令官情報 " + SjisToUtf8(GetCmdName(1)),
                                             "勢力情報 " + SjisToUtf8(GetEventCharacterName(7))}));
}

// ---- the command bar's paths ----

TEST(SelectorPaths, TheCommandBarOpensTheFleetAndPlanetSelectors) {
  test::TGameRun run;
  test::TScreenScript script;
  std::vector<std::pair<std::string, int>> fleetTags, planetTags;
  for (int t = 1; t <= 10; ++t) fleetTags.push_back({"TCHBcBitBtn", t});
  for (int t = 0; t <= 9; ++t) planetTags.push_back({"TLabel", t});
  for (int t = 1; t <= 6; ++t) planetTags.push_back({"TCHBcBitBtn", t});
  int planet = -1;
  script.NewGameToFirstTurn()
      .Then("", [](TForm*) { Click(fmMain->btnFleet, mbLeft, false); })
      .Then("TfmFleetSel",
            [&](TForm* f) {
              test::ExpectSoundLayout(f, fleetTags);
              EXPECT_EQ(LabelText(f, "lbPlanet"), "未選択");
              EXPECT_TRUE(IsEnabled(f, "btnFl0"));
              EXPECT_FALSE(fmMain->Enabled());
              ClickNamed(f, "btnClose");
            })
      .Then("", [](TForm*) { Click(fmMain->btnPlanet, mbLeft, false); })
      .Then("TfmPlaSel",
            [&](TForm* f) {
              test::ExpectSoundLayout(f, planetTags);
              auto* sel = static_cast<TfmPlaSel*>(f);
              ASSERT_GT(sel->List.Count, 0);
              for (int i = 0; i < sel->List.Count; ++i)
                if (sel->CanChoose(sel->List.Places[static_cast<size_t>(i)]))
                  planet = sel->List.Places[static_cast<size_t>(i)];
              EXPECT_EQ(GetPlanetBelong(planet), GetPlayerCountry());
              ClickNamed(f, "btnClose");
            })
      .Then("", [](TForm*) { EXPECT_TRUE(fmMain->Enabled()); })
      .Quit();
  EXPECT_EQ(run.Run(script), 0);
  EXPECT_TRUE(script.Done());
  EXPECT_NE(planet, -1);
}

}  // namespace
}  // namespace vdmq
