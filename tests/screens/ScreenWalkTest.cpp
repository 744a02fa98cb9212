// A walk through every game screen from the main window of a new game at the player's first turn:
// every path from the command bar, between the screens and from the three kinds of map click opens
// its screen with its caption, the deepest nests open and unwind, and at the end the main window is
// usable again with no modal form left.
#include <gtest/gtest.h>

#include <map>
#include <utility>

#include "ModalStepsSupport.h"
#include "ScreensTestSupport.h"
#include "campaign/Country.h"
#include "campaign/Dock.h"
#include "campaign/Fleet.h"
#include "campaign/Planet.h"
#include "campaign/Qvmap.h"
#include "campaign/Stdfunc.h"
#include "formkit/Chbcbtn.h"
#include "platform/base/Sjis.h"
#include "platform/core/StdCtrls.h"
#include "screens/Main.h"
#include "screens/Qvgraph.h"
#include "support/ScreenPicks.h"

namespace vdmq {
namespace {

using test::ClickNamed;

// Clicks a map cell with the left button: centres the view on it, then clicks a pixel of it.
void ClickCell(int x, int y) {
  QvMapGraph->SetCenter(x, y);
  for (int py = 0; py < fmMain->imgQvMap->Height(); py += 2)
    for (int px = 0; px < fmMain->imgQvMap->Width(); px += 2) {
      int cx = -1, cy = -1;
      QvMapGraph->PosToCell(px, py, &cx, &cy);
      if (cx == x && cy == y) {
        ClickAt(fmMain->imgQvMap, px, py, mbLeft, false);
        return;
      }
    }
  ADD_FAILURE() << "cell " << x << "," << y << " is not in the view";
}

// A planet on the map where no fleet of its owner stands, and a free cell of open space beside
// the player's capital.
int QuietPlanet() {
  for (int p = 0; p < kPlanetCount; ++p)
    if (IsPlanetOnMap(p) && CountOwnerFleetsAtPlanet(p) == 0) return p;
  return -1;
}
std::pair<int, int> OpenCellNearCapital() {
  const int capital = GetCountryCapital(GetPlayerCountry());
  for (int r = 1; r < 6; ++r)
    for (int dx = -r; dx <= r; ++dx) {
      const int x = GetPlanetX(capital) + dx, y = GetPlanetY(capital) + r;
      int c = -1, f = -1;
      if (QvMap->IsPassable(x, y) && FindPlanetAtXY(x, y) == -1 && !FindFleetAtXY(x, y, &c, &f)) return {x, y};
    }
  return {-1, -1};
}

// The controls numbered by Tag at construction, by screen: (class, Tag) pairs.
std::map<std::string, std::vector<std::pair<std::string, int>>> NumberedControls() {
  std::map<std::string, std::vector<std::pair<std::string, int>>> tags;
  auto add = [&tags](const char* screen, const char* cls, int from, int to) {
    for (int t = from; t <= to; ++t) tags[screen].push_back({cls, t});
  };
  add("TfmFleetSel", "TCHBcBitBtn", 1, 10);
  add("TfmFleet", "TCHBcSpeedButton", 1, 3);
  add("TfmFleet", "TLabel", 4, 9);
  add("TfmCmdSel", "TCHBcBitBtn", 1, 8);
  add("TfmCmdSel", "TLabel", 1, 10);
  add("TfmInfo", "TLabel", 1, 5);
  add("TfmPlaSel", "TLabel", 0, 9);
  add("TfmPlanet", "TCHBcSpeedButton", 1, 5);
  add("TfmPlanet", "TLabel", 6, 15);
  add("TfmDock", "TLabel", 1, 10);
  add("TfmDock", "TCHBcBitBtn", 11, 13);
  add("TfmParts", "TLabel", 1, 22);
  add("TfmTec", "TCHBcSpeedButton", 1, 5);
  add("TfmTec", "TLabel", 6, 10);
  add("TfmDentaku", "TCHBcBitBtn", 1, 10);
  return tags;
}

TEST(ScreenWalk, EveryScreenOpensFromItsPathsAndUnwinds) {
  test::TGameRun run;
  test::TScreenScript script;
  std::vector<std::string> opened;  // "class caption" of every screen, in order
  const auto tags = NumberedControls();
  // Records a screen with its caption and checks its layout and its numbered controls.
  auto look = [&opened, &tags](TForm* f) {
    const std::string cls = f->ClassName();
    opened.push_back(cls + " " + SjisToUtf8(f->Caption()));
    EXPECT_FALSE(fmMain->Enabled());
    const auto numbered = tags.find(cls);
    const std::vector<std::pair<std::string, int>> none;
    if (cls != "TfmPlanet") {
      test::ExpectSoundLayout(f, numbered != tags.end() ? numbered->second : none);
    } else {
      // Its durability lines, as laid out, run a few pixels past the right edge.
      for (const auto& [c, t] : numbered->second) EXPECT_NO_THROW(FindComponentByClass(f, c, t)) << c << " " << t;
    }
  };
  auto see = [&look](const char* control) {
    return [&look, control](TForm* f) {
      look(f);
      ClickNamed(f, control);
    };
  };
  auto click = [](const char* control) { return [control](TForm* f) { ClickNamed(f, control); }; };
  auto bar = [](TCHBcBitBtn* TfmMain::*button) {
    return [button](TForm*) {
      EXPECT_TRUE(fmMain->Enabled());
      Click(fmMain->*button, mbLeft, false);
    };
  };
  int capital = -1;
  script
      .NewGameToFirstTurn()
      // The fleet selector, the fleet screen and everything it opens; its move closes both.
      .Then("",
            [&](TForm* f) {
              capital = GetCountryCapital(GetPlayerCountry());
              bar (&TfmMain::btnFleet)(f);
            })
      .Then("TfmFleetSel", see("btnFl0"))
      .Then("TfmFleet", see("btnCmdChg"))
      .Then("TfmCmdSel", see("btnCmdInfo"))  // fleet selector → fleet screen → commander selector → information
      .Then("TfmInfo", see("btnBack"))
      .Then("TfmCmdSel", click("btnBack"))
      .Then("TfmFleet", click("btnSetShip"))
      .Then("TfmDock", see("btnClose"))
      .Then("TfmFleet", click("btnDelShip"))
      .Then("TfmDock", see("btnClose"))
      .Then("TfmFleet", click("btnInfoShip"))
      .Then("TfmBuild", see("btnClose"))
      .Then("TfmFleet", click("btnCmdInfo"))
      .Then("TfmInfo", see("btnBack"))
      .Then("TfmFleet", click("btnMove"))
      .Then("",
            [](TForm*) {
              EXPECT_EQ(QvMap->GetMode(), 1);
              EXPECT_FALSE(fmMain->btnFleet->Enabled());
              ClickAt(fmMain->imgQvMap, 300, 200, mbRight, false);  // leaves the move mode
            })
      // The planet selector, the planet screen of the capital and what it opens; a satellite and a
      // finished ship in the capital's first dock are given, to be looked at.
      .Then("",
            [&](TForm* f) {
              const TShipData ship = *GetFleetShipPtr(GetPlayerCountry(), 0, 0);
              SetPlanetSate(capital, 1, &ship);
              PutDockShip(capital, 0, &ship);
              ASSERT_EQ(GetDockState(capital, 0), kDockStateFinished);
              bar (&TfmMain::btnPlanet)(f);
            })
      .Then("TfmPlaSel",
            [&](TForm* f) {
              look(f);
              ASSERT_TRUE(test::PickPlanetLine(f, capital)) << "the capital is not listed";
              ClickNamed(f, "btnOk");
            })
      .Then("TfmPlanet", see("btnSetShip"))
      .Then("TfmBuild", click("btnFrame"))
      .Then("TfmParts", see("btnBack"))
      .Then("TfmBuild", click("btnClose"))
      .Then("TfmPlanet", click("btnInfo"))
      .Then("TfmInfo", see("btnBack"))
      .Then("TfmPlanet", click("spbtnSt1"))
      .Then("TfmPlanet", click("btnInfoShip"))
      .Then("TfmBuild", see("btnClose"))
      .Then("TfmPlanet", click("btnClose"))
      // The dock screen, the designer and the parts selector; the technology screen and the keypad.
      .Then("", bar(&TfmMain::btnDock))
      .Then("TfmDock",
            [&](TForm* f) {
              look(f);
              ClickNamed(f, "lbList0");  // the capital's first dock, with its finished ship
              ClickNamed(f, "btnInfo");
            })
      .Then("TfmBuild", see("btnClose"))
      .Then("TfmDock",
            [&](TForm* f) {
              ASSERT_TRUE(test::PickFreeDock(f)) << "no free dock on the first page";
              ClickNamed(f, "btnZousen");
            })
      .Then("TfmBuild", see("btnFrame"))
      .Then("TfmParts", click("btnBack"))
      .Then("TfmBuild", click("btnClose"))
      .Then("TfmDock", click("btnClose"))
      .Then("", bar(&TfmMain::btnTec))
      .Then("TfmTec", see("CHBcBitBtn1"))
      .Then("TfmDentaku", see("btnBack"))
      .Then("TfmTec", click("btnClose"))
      // The map clicks: a planet where its owner's fleets stand (fleet selector → planet screen →
      // designer → parts selector), a planet without them, a fleet in open space.
      .Then("", [&](TForm*) { ClickCell(GetPlanetX(capital), GetPlanetY(capital)); })
      .Then("TfmFleetSel",
            [&](TForm* f) {
              EXPECT_EQ(test::LabelText(f, "lbPlanet"), SjisToUtf8(GetPlanetName(capital)));
              see("btnPla")(f);
            })
      .Then("TfmPlanet", see("btnSetShip"))
      .Then("TfmBuild", see("btnFrame"))
      .Then("TfmParts", see("btnBack"))
      .Then("TfmBuild", click("btnClose"))
      .Then("TfmPlanet", click("btnClose"))
      .Then("TfmFleetSel", click("btnClose"))
      .Then("",
            [&](TForm*) {
              const int p = QuietPlanet();
              ASSERT_NE(p, -1);
              ClickCell(GetPlanetX(p), GetPlanetY(p));
            })
      .Then("TfmPlanet", see("btnClose"))
      .Then("",
            [&](TForm*) {
              const auto [x, y] = OpenCellNearCapital();
              ASSERT_NE(x, -1);
              SetFleetXY(GetPlayerCountry(), 1, x, y);
              ClickCell(x, y);
            })
      .Then("TfmFleet",
            [&](TForm* f) {
              EXPECT_EQ(test::LabelText(f, "lbFlName"), SjisToUtf8(GetFleetName(GetPlayerCountry(), 1)));
              see("btnClose")(f);
            })
      .Then("",
            [](TForm*) {
              EXPECT_TRUE(fmMain->Enabled());
              EXPECT_TRUE(fmMain->btnFleet->Enabled());
              EXPECT_EQ(TopModal(), nullptr);
              EXPECT_EQ(QvMap->GetMode(), 0);
              fmMain->Close();
            })
      .Box("確認", "ゲームを終了します。");
  EXPECT_EQ(run.Run(script), 0);
  EXPECT_TRUE(script.Done());
  const std::vector<std::string> expected = {
      "TfmFleetSel 艦隊選択", "TfmFleet 艦隊メニュー",  "TfmCmdSel 司令官選択",   "TfmInfo 司令官情報",
      "TfmDock 造船所一覧",   "TfmDock 造船所一覧",     "TfmBuild 造船所",        "TfmInfo 司令官情報",
      "TfmPlaSel 拠点選択",   "TfmPlanet 拠点メニュー", "TfmParts パーツ選択",    "TfmInfo 勢力情報",
      "TfmBuild 造船所",      "TfmDock 造船所一覧",     "TfmBuild 造船所",        "TfmBuild 造船所",
      "TfmTec 技術開発",      "TfmDentaku 数値入力",    "TfmFleetSel 艦隊選択",   "TfmPlanet 拠点メニュー",
      "TfmBuild 造船所",      "TfmParts パーツ選択",    "TfmPlanet 拠点メニュー", "TfmFleet 艦隊メニュー",
  };
  EXPECT_EQ(opened, expected);
}

}  // namespace
}  // namespace vdmq
