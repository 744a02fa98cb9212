// The fleet screen with its real form on the headless back end: the commander panel and the slots,
// the buttons' states by who owns the fleet and where it stands, commissioning, trading and
// returning ships through the dock screen (with a bounded random run that checks no ship is ever
// lost or doubled), appointing and dismissing the commander, the detail buttons and the move.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "ModalStepsSupport.h"
#include "campaign/Cmd.h"
#include "campaign/Dock.h"
#include "campaign/Fleet.h"
#include "formkit/Chbcbtn.h"
#include "platform/base/Sjis.h"
#include "screens/F_dock.h"
#include "screens/F_fleet.h"

namespace vdmq::test {
namespace {

constexpr int kCapital = 50;  // country 0's capital at (40, 40)

class FleetScreen : public TShipyardScreens {
 protected:
  void SetUp() override {
    TShipyardScreens::SetUp();
    MakeFleet(0, 0, 5, 40, 40);  // on the capital, commander 5
    CmdData[5].Lev = 12;
    CmdData[5].Exp = 34;
    CmdData[5].AtkMod = 20;
    CmdData[5].AtkModUp = 2;
    CmdData[5].DefMod = 15;
    CmdData[5].DefModUp = 1;
    CmdData[5].Direct = 70;
    CmdData[5].Mind = 8;
    CmdData[5].Fatigue = 456;
    for (int d = 0; d < kPlanetDockCount; ++d) DockData[kCapital].Abt[d] = 10;
  }
  // A fleet screen made directly (not shown) for a fleet, with a slot chosen.
  TfmFleet* Make(int country, int fleet, int slot = 0) {
    TfmFleet* f = nullptr;
    App().CreateForm(f);
    f->Country = country;
    f->Fleet = fleet;
    f->Slot = slot;
    f->Refresh();
    return f;
  }
  // A finished ship in a dock of the capital, told apart by its durability.
  static void Dock(int dock, int hp) {
    DockData[kCapital].Ships[dock] = MakeShip(0, hp);
    DockData[kCapital].Turn[dock] = 0;
  }
  static int SlotHp(int slot) { return IsFleetShipValid(0, 0, slot) ? GetFleetShipPtr(0, 0, slot)->Hp : -1; }
  static int DockHp(int dock) {
    return GetDockState(kCapital, dock) == kDockStateFinished ? GetDockShipPtr(kCapital, dock)->Hp : -1;
  }
  TTestMap map_;
};

TEST_F(FleetScreen, ShowsTheCommanderAndTheSlots) {
  TfmFleet* f = Make(0, 0);
  EXPECT_EQ(LabelText(f, "lbCmdName"), SjisToUtf8(GetCmdName(5)));
  const std::vector<std::string> lines = {"レベル　 12  経験値   34", "攻撃修正  24/ 44", "防御修正  14/ 27",
                                          "判断      70  精神       8", "疲労      45"};
  for (int i = 0; i < 5; ++i) EXPECT_EQ(LabelText(f, "lbProfile" + std::to_string(6 + i)), lines[i]);
  EXPECT_EQ(LabelText(f, "lbFo0ShipName"), SjisToUtf8(GetFrameName(0)));
  EXPECT_EQ(LabelText(f, "lbFo0ShipCnt"), "耐久力   10/ 100");
  EXPECT_EQ(LabelText(f, "lbFo2ShipName"), "未配備");
  EXPECT_EQ(LabelText(f, "lbFo2ShipCnt"), "耐久力 ----/----");
  EXPECT_EQ(LabelText(f, "lbCoName"), SjisToUtf8(GetCountryName(0)));
  EXPECT_EQ(LabelText(f, "lbFlName"), SjisToUtf8(GetFleetName(0, 0)));
  delete f;

  CmdData[5].UnderFleet = -1;
  f = Make(0, 0);
  EXPECT_EQ(LabelText(f, "lbCmdName"), "未登録");
  for (int i = 6; i <= 10; ++i) EXPECT_EQ(LabelText(f, "lbProfile" + std::to_string(i)), "");
  delete f;
}

TEST_F(FleetScreen, ButtonsFollowTheOwnerThePlaceAndTheCommander) {
  // Flags: 交代 解任 詳細 | 就役 退役 詳細 | 移動, for slot 0 (a ship) and slot 1 (empty).
  struct Case {
    const char* what;
    int country;
    std::function<void()> set;
    const char* slot0;
    const char* slot1;
  } cases[] = {
      {"own, on a planet", 0, [] {}, "111 111 1", "111 100 1"},
      {"own, in open space", 0, [] { SetFleetXY(0, 0, 30, 30); }, "001 001 1", "001 000 1"},
      {"own, moved this turn", 0, [] { FleetData[0][0].CanMove = 0; }, "111 111 0", "111 100 0"},
      {"own, no commander (status 0)", 0,
       [] {
         CmdData[5].UnderFleet = -1;
         SetFleetXY(0, 0, 30, 30);
       },
       "100 111 0", "100 100 0"},
      {"computer's, with a commander on its planet", 3,
       [] {
         MakeFleet(3, 0, 5, 40, 40);
         PlanetData[kCapital].Belong = 3;
       },
       "001 001 0", "001 000 0"},
      {"computer's, no commander", 3, [] { MakeFleet(3, 0, -1, 30, 30); }, "100 001 0", "100 000 0"},
  };
  const char* names[] = {"btnCmdChg",  "btnCmdFree",  "btnCmdInfo", "",       "btnSetShip",
                         "btnDelShip", "btnInfoShip", "",           "btnMove"};
  for (const Case& c : cases) {
    SetUp();
    c.set();
    for (int slot : {0, 1}) {
      TfmFleet* f = Make(c.country, 0, slot);
      std::string flags;
      for (const char* n : names) flags += *n ? (IsEnabled(f, n) ? '1' : '0') : ' ';
      EXPECT_EQ(flags, slot == 0 ? c.slot0 : c.slot1) << c.what << ", slot " << slot;
      delete f;
    }
  }
  // Debug switch 3 keeps "移動" after the move.
  SetUp();
  FleetData[0][0].CanMove = 0;
  host_.debugSw = 3;
  TfmFleet* f = Make(0, 0);
  EXPECT_TRUE(IsEnabled(f, "btnMove"));
  delete f;
}

TEST_F(FleetScreen, CommissionsTradesAndReturnsShips) {
  Dock(1, 21);
  {
    TModalSteps steps(session_);
    steps.Click("TfmFleet", "spbtnFo1")
        .Click("TfmFleet", "btnSetShip")  // into the empty slot 1
        .Then("TfmDock",
              [](TForm* f) {
                EXPECT_TRUE(IsEnabled(f, "btnOk"));
                ClickNamed(f, "btnOk");
              })
        .Then("TfmFleet",
              [](TForm* f) {
                EXPECT_EQ(LabelText(f, "lbFo1ShipCnt"), "耐久力   21/ 100");
                ClickNamed(f, "spbtnFo0");
              })
        .Click("TfmFleet", "btnSetShip")  // nothing finished any more: nothing to choose
        .Then("TfmDock",
              [](TForm* f) {
                EXPECT_FALSE(IsEnabled(f, "btnOk"));
                ClickNamed(f, "btnClose");
              })
        .Click("TfmFleet", "btnDelShip")  // slot 0's ship (10) back into the first free dock
        .Click("TfmDock", "btnOk")
        .Click("TfmFleet", "spbtnFo1")
        .Click("TfmFleet", "btnSetShip")  // trade slot 1's 21 for the dock's 10
        .Click("TfmDock", "btnOk")
        .Click("TfmFleet", "btnClose");
    ShowFleetForm(0, 0);
  }
  EXPECT_EQ(SlotHp(0), -1);
  EXPECT_EQ(SlotHp(1), 10);
  EXPECT_EQ(DockHp(0), 21);
  EXPECT_EQ(DockHp(1), -1);
  EXPECT_GE(host_.draws, 3);
}

TEST_F(FleetScreen, ADockGoneWhilePickingMovesNothing) {
  Dock(1, 21);
  auto vanish = [](TForm* f) {
    DockData[kCapital].Abt[0] = DockData[kCapital].Abt[1] = 0;
    ClickNamed(f, "btnOk");
  };
  {
    TModalSteps steps(session_);
    steps.Click("TfmFleet", "btnSetShip").Then("TfmDock", vanish).Click("TfmFleet", "btnClose");
    ShowFleetForm(0, 0);
  }
  EXPECT_EQ(SlotHp(0), 10);
  EXPECT_EQ(GetDockShipPtr(kCapital, 1)->Hp, 21);
  DockData[kCapital].Abt[0] = 10;
  {
    TModalSteps steps(session_);
    steps.Click("TfmFleet", "btnDelShip").Then("TfmDock", vanish).Click("TfmFleet", "btnClose");
    ShowFleetForm(0, 0);
  }
  EXPECT_EQ(SlotHp(0), 10);
}

TEST_F(FleetScreen, RandomCommissioningAndReturningNeverLosesOrDoublesAShip) {
  std::mt19937 rng(23);
  for (int run = 0; run < 1000; ++run) {
    SetUp();
    // Up to six ships with durabilities 1..6, spread over the three slots and the three docks.
    std::vector<int> ships;
    for (int place = 0; place < 6; ++place) {
      if (rng() % 3 == 0) {
        if (place < 3) FleetData[0][0].Ships[place] = EmptyShip();
        continue;
      }
      const int hp = place + 1;
      ships.push_back(hp);
      if (place < 3)
        FleetData[0][0].Ships[place] = MakeShip(0, hp);
      else
        Dock(place - 3, hp);
    }
    auto held = [] {
      std::vector<int> hps;
      for (int p = 0; p < 3; ++p) {
        if (SlotHp(p) >= 0) hps.push_back(SlotHp(p));
        if (DockHp(p) >= 0) hps.push_back(DockHp(p));
      }
      std::sort(hps.begin(), hps.end());
      return hps;
    };
    int actions = 1 + static_cast<int>(rng() % 6);
    session_.Backend.Driver = [&] {
      TForm* top = TopModal();
      if (top == nullptr) return false;
      EXPECT_EQ(held(), ships) << "run " << run;
      const std::string cls = top->ClassName();
      if (cls == "TfmFleet") {
        if (actions-- == 0) {
          ClickNamed(top, "btnClose");
          return true;
        }
        ClickNamed(top, "spbtnFo" + std::to_string(rng() % 3));
        ClickNamed(top, rng() % 2 ? "btnSetShip" : "btnDelShip");
      } else if (cls == "TfmDock") {
        ClickNamed(top, "lbList" + std::to_string(rng() % 4));
        ClickNamed(top, rng() % 4 ? "btnOk" : "btnClose");
      } else {
        ADD_FAILURE() << "unexpected " << cls;
        top->ModalResult = mrCancel;
      }
      return true;
    };
    ShowFleetForm(0, 0);
    session_.Backend.Driver = nullptr;
    ASSERT_EQ(held(), ships) << "run " << run;
  }
}

TEST_F(FleetScreen, AppointingAsksOneOfTwoQuestions) {
  // The selector opens on the first commander who may be chosen, in led-fleet order (free first).
  const char* sendsHome = "指揮官に任命されている司令官です。<BR>指揮下の艦隊は帰還しますが<BR>よろしいですか？";
  const char* appoint = "艦隊指揮官に任命します。<BR>よろしいですか？";
  struct Case {
    const char* what;
    std::function<void()> set;
    int chosen, answer;
    const char* question;
  } cases[] = {
      {"leaderless fleet, the chosen one leads a fleet on the map",
       [] {
         CmdData[5].Belong = -1;
         MakeFleet(0, 1, 7, 40, 40);
       },
       7, 1, sendsHome},
      {"leaderless fleet, the chosen one is free",
       [] {
         CmdData[5].Belong = -1;
         CmdData[8].Belong = 0;
       },
       8, 1, appoint},
      {"a new commander for a led fleet, cancelled", [] { CmdData[8].Belong = 0; }, 8, 2, appoint},
  };
  for (const Case& c : cases) {
    SetUp();
    c.set();
    host_.messages.clear();
    host_.answers = {c.answer};
    {
      TModalSteps steps(session_);
      steps.Click("TfmFleet", "btnCmdChg").Click("TfmCmdSel", "btnOk").Click("TfmFleet", "btnClose");
      ShowFleetForm(0, 0);
    }
    ASSERT_EQ(host_.messages.size(), 1u) << c.what;
    EXPECT_EQ(host_.messages[0], c.question) << c.what;
    EXPECT_EQ(SearchCmdByFleet(0, 0) == c.chosen, c.answer == 1) << c.what;
  }
}

TEST_F(FleetScreen, AComputersLeaderlessFleetOffersNobody) {
  MakeFleet(3, 0, -1, 30, 30);
  CmdData[9].Belong = 3;
  TModalSteps steps(session_);
  steps.Click("TfmFleet", "btnCmdChg")
      .Then("TfmCmdSel",
            [](TForm* f) {
              EXPECT_FALSE(IsEnabled(f, "btnOk"));
              ClickNamed(f, "btnBack");
            })
      .Click("TfmFleet", "btnClose");
  ShowFleetForm(3, 0);
  EXPECT_TRUE(host_.messages.empty());
  EXPECT_EQ(SearchCmdByFleet(3, 0), -1);
}

TEST_F(FleetScreen, DismissingAsksByPlaceAndSendsTheFleetHome) {
  // On the capital the fleet goes home (off the map); a fleet without ships stands on no planet.
  struct Case {
    bool onPlanet;
    int answer;
    const char* question;
  } cases[] = {
      {true, 2, "司令官を解任し、艦隊を帰還させます。<BR>よろしいですか？"},
      {true, 1, "司令官を解任し、艦隊を帰還させます。<BR>よろしいですか？"},
      {false, 1, "司令官を解任します。<BR>よろしいですか？"},
  };
  for (const Case& c : cases) {
    SetUp();
    if (!c.onPlanet) RemoveFleetShip(0, 0, 0);
    host_.messages.clear();
    host_.answers = {c.answer};
    {
      TModalSteps steps(session_);
      steps.Click("TfmFleet", "btnCmdFree").Then("TfmFleet", [&](TForm* f) {
        EXPECT_EQ(LabelText(f, "lbCmdName"), c.answer == 1 ? "未登録" : SjisToUtf8(GetCmdName(5)));
        ClickNamed(f, "btnClose");
      });
      ShowFleetForm(0, 0);
    }
    ASSERT_EQ(host_.messages.size(), 1u);
    EXPECT_EQ(host_.messages[0], c.question);
    EXPECT_EQ(SearchCmdByFleet(0, 0), c.answer == 1 ? -1 : 5);
    if (c.onPlanet) {
      EXPECT_EQ(IsFleetOnMap(0, 0), c.answer != 1);
    }
  }
}

TEST_F(FleetScreen, MoveStartsTheMapsMoveModeAndCloses) {
  bool again = false;
  {
    TModalSteps steps(session_);
    steps.Then("TfmFleet", [&](TForm* f) {
      ShowFleetForm(0, 0);  // already open: returns at once
      again = true;
      ClickNamed(f, "btnMove");
    });
    ShowFleetForm(0, 0);
  }
  EXPECT_TRUE(again);
  EXPECT_EQ(QvMap->GetMode(), 1);
  EXPECT_EQ(host_.Calls({"cmd"}), std::vector<std::string>{"cmd off"});
}

TEST_F(FleetScreen, DetailButtonsShowTheCommanderAndTheShip) {
  TModalSteps steps(session_);
  steps.Click("TfmFleet", "btnCmdInfo")
      .Then("TfmInfo",
            [](TForm* f) {
              EXPECT_EQ(LabelText(f, "lbName"), SjisToUtf8(GetCmdName(5)));
              ClickNamed(f, "btnBack");
            })
      .Click("TfmFleet", "btnInfoShip")
      .Then("TfmBuild",
            [](TForm* f) {
              EXPECT_FALSE(IsVisible(f, "btnOk"));
              EXPECT_EQ(LabelText(f, "lbFrame"), SjisToUtf8(GetFrameName(0)));
              ClickNamed(f, "btnClose");
            })
      .Click("TfmFleet", "btnClose");
  ShowFleetForm(0, 0);
  EXPECT_EQ(SlotHp(0), 10);
}

}  // namespace
}  // namespace vdmq::test
