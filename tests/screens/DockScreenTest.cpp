// The dock screen with its real form on the headless back end: the sort keys both ways with their
// tie rules, scrolling, the line texts, colours and action buttons per mode, ordering and selling,
// the debug switch, centring the map.
#include <gtest/gtest.h>

#include "ModalStepsSupport.h"
#include "campaign/Dock.h"
#include "campaign/Planet.h"
#include "campaign/Stdfunc.h"
#include "formkit/Chbcbtn.h"
#include "platform/base/Sjis.h"
#include "screens/F_build.h"
#include "screens/F_dock.h"

namespace vdmq::test {
namespace {

// A dock of a planet: capacity and turns (-1 empty, 0 finished, above 0 building).
void SetDock(int planet, int dock, int abt, int turn, int hull = 0) {
  DockData[planet].Abt[dock] = abt;
  DockData[planet].Turn[dock] = turn;
  DockData[planet].Ships[dock] = turn >= 0 ? TShipData{{hull, 0, -1, 0, -1}, 10} : EmptyShip();
}

class DockScreen : public TShipyardScreens {
 protected:
  void SetUp() override {
    TShipyardScreens::SetUp();
    // Planets 10 and 11 share a name ("フォルティス"), planet 12 sorts before them ("ゾルデン").
    for (int p : {10, 11, 12}) PlacePlanet(p, p, 1, 0);
    PlanetData[10].Name = PlanetData[11].Name = 5;
    PlanetData[12].Name = 3;
    SetDock(10, 0, 20, -1);
    SetDock(10, 1, 10, 0);
    SetDock(10, 2, 10, -1);
    SetDock(11, 2, 10, 3);
    SetDock(12, 0, 30, 0);
  }
  // A dock screen made directly (not shown), listing country 0's docks in a mode.
  TfmDock* Make(int mode) {
    TfmDock* f = nullptr;
    App().CreateForm(f);
    f->Country = 0;
    f->Mode = mode;
    f->BuildList();
    return f;
  }
  static std::vector<int> Order(const TfmDock* f) {
    return std::vector<int>(f->List.Places.begin(), f->List.Places.begin() + f->List.Count);
  }
};

TEST_F(DockScreen, SortsByEachKeyBothWaysWithTheTieRules) {
  ASSERT_LT(std::string(GetPlanetName(12)), std::string(GetPlanetName(10)));
  // Entries are planet * 3 + dock: 10.0 = 30, 10.1 = 31, 10.2 = 32, 11.2 = 35, 12.0 = 36.
  struct Case {
    int key;
    bool descending;
    std::vector<int> order;
  } cases[] = {
      {0, false, {36, 30, 31, 32, 35}}, {0, true, {35, 30, 31, 32, 36}},  {1, false, {31, 32, 35, 30, 36}},
      {1, true, {36, 30, 35, 31, 32}},  {2, false, {30, 32, 31, 36, 35}}, {2, true, {35, 36, 31, 30, 32}},
  };
  TfmDock* f = Make(2);
  for (const Case& c : cases) {
    f->SortKey = c.key;
    f->Descending = c.descending;
    f->BuildList();
    EXPECT_EQ(Order(f), c.order) << "key " << c.key << (c.descending ? " descending" : "");
  }
  // A column button flips the direction and sets its key; the same button again reverses it.
  f->Descending = true;
  f->btnNameClick(f->btnState);
  EXPECT_EQ(Order(f), cases[4].order);
  f->btnNameClick(f->btnState);
  EXPECT_EQ(Order(f), cases[5].order);
  // A damaged name index sorts as empty text, first.
  PlanetData[11].Name = 9999;
  f->btnNameClick(f->btnPla);
  EXPECT_EQ(Order(f).front(), 35);
  delete f;
}

TEST_F(DockScreen, ShowsEachStateAndScrollsFifteenDocks) {
  TfmDock* f = Make(2);
  f->SortKey = 1;
  f->Descending = true;
  f->BuildList();
  f->ShowList();
  const std::string pad(8, ' ');
  EXPECT_EQ(LabelText(f, "lbList0"), "ゾルデン" + pad + " 第１   30 " + SjisToUtf8(GetFrameName(0)));
  EXPECT_EQ(LabelText(f, "lbList1"), "フォルティス" + std::string(4, ' ') + " 第１   20 空き");
  EXPECT_EQ(LabelText(f, "lbList2"), "フォルティス" + std::string(4, ' ') + " 第３   10  3期後完成予定");
  EXPECT_EQ(LabelText(f, "lbList5"), "");
  PlanetData[12].Name = 9999;
  f->ShowList();
  EXPECT_EQ(LabelText(f, "lbList0"), std::string(16, ' ') + " 第１   30 " + SjisToUtf8(GetFrameName(0)));
  delete f;

  for (int p = 20; p < 25; ++p) {
    PlacePlanet(p, p, 2, 0);
    for (int d = 0; d < 3; ++d) SetDock(p, d, 10, -1);
  }
  for (int p : {10, 11, 12}) PlanetData[p].Belong = 1;
  f = Make(2);
  ASSERT_EQ(f->List.Count, 15);
  f->ShowList();
  EXPECT_FALSE(f->List.btnUp->Enabled());
  EXPECT_TRUE(f->List.btnPageDown->Enabled());
  f->List.btnPageDownClick(nullptr);
  EXPECT_EQ(f->List.Top, 5);
  EXPECT_FALSE(f->List.btnDown->Enabled());
  EXPECT_TRUE(f->List.btnPageUp->Enabled());
  delete f;
}

TEST_F(DockScreen, ColoursAndActionButtonsFollowTheModeAndTheChosenDock) {
  struct Case {
    int mode, planet, dock;
    const char* buttons;  // zousen, stop, info, ok: 1 on
  } cases[] = {
      {2, -1, -1, "0000"}, {0, 10, 1, "0011"}, {1, 10, 0, "0001"}, {2, 10, 0, "1000"},
      {2, 10, 1, "0110"},  {2, 11, 2, "0110"}, {0, 11, 2, "0011"},
  };
  for (const Case& c : cases) {
    TfmDock* f = Make(c.mode);
    f->Planet = c.planet;
    f->Dock = c.dock;
    f->ShowList();
    std::string states;
    for (TCHBcBitBtn* b : {f->btnZousen, f->btnStop, f->btnInfo, f->btnOk}) states += b->Enabled() ? '1' : '0';
    EXPECT_EQ(states, c.buttons) << "mode " << c.mode << " dock " << c.planet << "." << c.dock;
    delete f;
  }
  // Mode 0 picks finished ships: in name order 12.0 (finished), 10.0, 10.1 (finished), 10.2, 11.2.
  TfmDock* f = Make(0);
  f->Descending = false;
  f->BuildList();
  f->Planet = 10;
  f->Dock = 1;
  f->ShowList();
  std::vector<TColor> colours;
  for (int i = 0; i < 5; ++i) colours.push_back(LabelColor(f, "lbList" + std::to_string(i)));
  EXPECT_EQ(colours, (std::vector<TColor>{kLineChoosable, kLineGrey, kLineChosen, kLineGrey, kLineGrey}));
  delete f;
}

TEST_F(DockScreen, ModeZeroWithoutAFinishedShipChoosesNothing) {
  SetDock(10, 1, 10, -1);
  SetDock(12, 0, 30, 4);
  int planet = 0, dock = 0, againPlanet = 0, againDock = 0;
  bool ok = true;
  {
    TModalSteps steps(session_);
    steps.Then("TfmDock", [&](TForm* f) {
      ok = IsEnabled(f, "btnOk");
      ShowDockForm(0, 0, &againPlanet, &againDock);
      ClickNamed(f, "btnClose");
    });
    ShowDockForm(0, 0, &planet, &dock);
  }
  EXPECT_FALSE(ok);
  EXPECT_EQ(std::make_pair(planet, dock), std::make_pair(-1, -1));
  EXPECT_EQ(std::make_pair(againPlanet, againDock), std::make_pair(-1, -1));
}

TEST_F(DockScreen, PicksAFinishedShipWithALineClickThatCentresTheMap) {
  int planet = -1, dock = -1;
  {
    TModalSteps steps(session_);
    // Descending by name: 11.2, 10.0, 10.1, 10.2, 12.0; the first finished ship is 10.1.
    steps
        .Then("TfmDock",
              [](TForm* f) {
                EXPECT_EQ(LabelColor(f, "lbList2"), kLineChosen);
                ClickNamed(f, "lbList4");
              })
        .Click("TfmDock", "lbList0")  // building: cannot be picked
        .Click("TfmDock", "btnOk");
    ShowDockForm(0, 0, &planet, &dock);
  }
  EXPECT_EQ(std::make_pair(planet, dock), std::make_pair(12, 0));
  EXPECT_EQ(host_.centredPlanets, std::vector<int>{12});
}

// The only dock of country 0 is 12.0, empty.
class DockOrder : public DockScreen {
 protected:
  void SetUp() override {
    DockScreen::SetUp();
    for (int p : {10, 11}) PlanetData[p].Belong = 1;
    SetDock(12, 0, 30, -1);
  }
  // Orders hull 1 with the automatic choice: 300 + 50 + 40 + 30 + 20.
  void Order(int funds) {
    SetCountryFund(0, funds);
    host_.answers = {1, 1};
    TModalSteps steps(session_);
    steps.Click("TfmDock", "btnZousen")
        .Click("TfmBuild", "btnFrame")
        .Click("TfmParts", "btnOk")
        .Click("TfmBuild", "btnOk");
    if (funds < 440) steps.Click("TfmBuild", "btnClose");
    steps.Click("TfmDock", "btnClose");
    int planet = 0, dock = 0;
    ShowDockForm(0, 2, &planet, &dock);
  }
};

TEST_F(DockOrder, OrderingWithExactlyThePriceLeavesNothing) {
  Order(440);
  EXPECT_EQ(GetCountryFund(0), 0);
  EXPECT_EQ(GetDockState(12, 0), kDockStateBuilding);
  const TShipData* ship = GetDockShipPtr(12, 0);
  EXPECT_EQ(GetShipPrice(ship), 440);
  EXPECT_EQ(GetDockTurn(12, 0), CalcDockBuildTurn(12, 0, ship));
}

TEST_F(DockOrder, OrderingOneShortPaysAndOrdersNothing) {
  Order(439);
  EXPECT_EQ(GetCountryFund(0), 439);
  EXPECT_EQ(GetDockState(12, 0), kDockStateEmpty);
  EXPECT_EQ(host_.messages.back(), "建造資金が1<BR>不足しています。");
}

TEST_F(DockScreen, SellingAsksAndAddsTheValueUpToTheLimit) {
  // Planet 12's finished ship is chosen first (descending names put 11.2 first, which is building,
  // then 10.x, then 12.0): sell 12.0 by choosing it.
  const int value = GetShipValue(GetDockShipPtr(12, 0));
  ASSERT_GT(value, 0);
  for (int answer : {2, 1}) {
    SetCountryFund(0, 999999 - value / 2);
    host_.answers = {answer};
    host_.messages.clear();
    {
      TModalSteps steps(session_);
      steps.Click("TfmDock", "lbList4").Click("TfmDock", "btnStop").Click("TfmDock", "btnClose");
      int planet = 0, dock = 0;
      ShowDockForm(0, 2, &planet, &dock);
    }
    ASSERT_EQ(host_.messages.size(), 1u);
    EXPECT_EQ(host_.messages[0],
              "造船所の艦船を<BR>資金" + std::to_string(value) + "で売却します。<BR>よろしいですか？");
    EXPECT_EQ(GetCountryFund(0), answer == 1 ? 999999 : 999999 - value / 2);
    EXPECT_EQ(GetDockState(12, 0), answer == 1 ? kDockStateEmpty : kDockStateFinished);
  }
}

TEST_F(DockScreen, DebugSwitchTwoListsEveryExistingDock) {
  PlanetData[11].Belong = 3;
  TfmDock* f = Make(2);
  EXPECT_EQ(f->List.Count, 4);
  EXPECT_FALSE(f->CanPick(11, 2));
  delete f;
  host_.debugSw = 2;
  f = Make(2);
  EXPECT_EQ(f->List.Count, 5);
  EXPECT_TRUE(f->CanPick(11, 2));
  delete f;
}

}  // namespace
}  // namespace vdmq::test
