// The battle window driven through the program's host on the headless back end over the generated
// data set: whole battles, the speed modes, retreat, the panel and its messages, the mouse, the
// repaints, and battles whose pictures are missing or damaged.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "battle/Btinfo.h"
#include "battle/Btmain.h"
#include "battle/Btqvgraph.h"
#include "battle/Btqvmap.h"
#include "battle/F_btmain.h"
#include "campaign/Fleet.h"
#include "campaign/Ship.h"
#include "formkit/Chbcbtn.h"
#include "platform/base/Sjis.h"
#include "platform/core/Application.h"
#include "platform/core/StdCtrls.h"
#include "platform/core/Timer.h"
#include "platform/headless/TestKit.h"
#include "qolib/graphics/Qograph_rap.h"
#include "qolib/pack/Qopack.h"
#include "screens/F_build.h"
#include "screens/F_sysmes.h"
#include "screens/Main.h"
#include "support/BattleWorld.h"
#include "support/GameFolder.h"
#include "support/GraphicsFiles.h"

namespace vdmq {
namespace {

using namespace bttest;

struct TBox {
  std::string caption, text;
  // The battle window's state while the box was open.
  bool battleSuspended = false;
};

enum class EBattle { Space, PlanetAttack, PlanetDefence };

// Three ships a side, or three ships against five satellites of planet 9.
void SetUpWorld(EBattle kind) {
  ResetWorld();
  for (int s = 0; s < 3; ++s) {
    PutFleetShip(0, 0, s, MakeShip(kHull, kWeapon1, kWeapon2, kEngine, kShield));
    PutFleetShip(1, 0, s, MakeShip(s == 1 ? kHull : kHullLight, kWeapon1, kWeapon2, kEngineSlow, kShield));
  }
  const int owner = kind == EBattle::PlanetDefence ? 0 : 1;
  for (int s = 0; s < 5; ++s) PutSate(9, s, MakeShip(kHullSate, kWeapon1, -1, kEngine, -1));
  PutPlanet(9, 20, 21, owner, false);
  PutPlanet(2, 30, 30, 1, true);
  PutPlanet(0, 5, 5, 0, true);
  PutCmd(1, 0, 0, 110, 100, 50, 10);
  PutCmd(2, 1, 0, 100, 90, 50, 10);
}

void StartBattle(EBattle kind) {
  switch (kind) {
    case EBattle::Space: BtBattleStart(0, 0, 1, 0, -1); break;
    case EBattle::PlanetAttack: BtBattleStart(0, 0, 1, -1, 9); break;
    case EBattle::PlanetDefence: BtBattleStart(1, 0, 0, -1, 9); break;
  }
}

class BattleWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    session_.Backend.StallBudgetMs = 60 * 1000;
    InstallBattleWindow();
    game_ = std::make_unique<TGameSession>();
    ASSERT_NE(fmBtMain, nullptr);
    session_.Backend.Driver = [this] { return Drive(); };
    // Every tick of the frame clock is counted; a test acts before the tick it names.
    TTimer* timer = fmBtMain->TimerMain;
    TNotifyEvent tick = timer->OnTimer();
    timer->SetOnTimer([this, tick](TComponent* s) {
      if (inTick_) {
        tick(s);
        return;
      }
      inTick_ = true;
      ++ticks;
      if (beforeTick) beforeTick(ticks);
      const int paints = fmBtMain->imgBtQvMap->PaintCount();
      const int zenPaints = fmBtMain->imgBtQvZenMap->PaintCount();
      const size_t shown = boxes.size();
      tick(s);
      // One repaint of each image a frame (a frame that opened a message box aside).
      if (boxes.size() == shown && BtQvMap != nullptr) {
        EXPECT_EQ(fmBtMain->imgBtQvMap->PaintCount() - paints, 1) << "tick " << ticks;
        EXPECT_EQ(fmBtMain->imgBtQvZenMap->PaintCount() - zenPaints, 1) << "tick " << ticks;
      }
      if (fmBtMain->ModalResult == 1 && endTick == 0) endTick = ticks;
      inTick_ = false;
    });
  }
  void TearDown() override {
    session_.Backend.Driver = nullptr;
    game_.reset();
    SetScreensHostMaker(nullptr);
    SetBattleWindowCreator(nullptr);
    SetBattleSpeed(nullptr, 2);
  }

  // Answers the message boxes (OK unless a test queued Cancel), recording them.
  bool Drive() {
    TForm* top = TopModal();
    if (auto* build = dynamic_cast<TfmBuild*>(top)) {
      designs.push_back({build->Mode, GetShipParts(&build->Design, kPartsFrame), IsBattlePaused()});
      Click(build->btnClose, mbLeft, false);
      return true;
    }
    if (top == nullptr || top != fmSysMes) return false;
    const bool suspended =
        fmBtMain != nullptr && IsBattlePaused() && !fmBtMain->spbtnFirst->Enabled() && !fmBtMain->spbtnPause->Enabled();
    boxes.push_back({SjisToUtf8(fmSysMes->lbTitle->Caption()), SjisToUtf8(fmSysMes->lbLine0->Caption()), suspended});
    bool ok = true;
    if (!answers.empty()) {
      ok = answers.front();
      answers.pop_front();
    }
    Click(ok ? static_cast<TControl*>(fmSysMes->btnOk) : fmSysMes->btnCancel, mbLeft, false);
    return true;
  }

  // Ends the running battle from inside a tick: the player withdraws.
  static void Withdraw() {
    BtPlayerRetreat();
    SetBattleSpeed(fmBtMain, 2);
  }

  static TCHBcSpeedButton* UnitButton(int k) {
    TCHBcSpeedButton* b[] = {fmBtMain->spbtnFl0, fmBtMain->spbtnFl1, fmBtMain->spbtnFl2, fmBtMain->spbtnFl3,
                             fmBtMain->spbtnFl4};
    return b[k - 1];
  }

  test::TGameFolder folder_;
  THeadlessSession session_;
  std::unique_ptr<TGameSession> game_;
  std::vector<TBox> boxes;
  struct TDesignShown {
    int mode, hull;
    bool battlePaused;
  };
  std::vector<TDesignShown> designs;
  std::deque<bool> answers;
  std::function<void(int tick)> beforeTick;
  int ticks = 0;
  int endTick = 0;
  bool inTick_ = false;
};

struct TOutcome {
  int winner;
  std::vector<int> hps;
  bool operator==(const TOutcome&) const = default;
};
TOutcome Outcome() {
  TOutcome o{BtInfo.winner, {}};
  for (int c : {0, 1})
    for (int s = 0; s < 3; ++s) o.hps.push_back(FleetShipHp(c, 0, s));
  for (int s = 0; s < 5; ++s) o.hps.push_back(SateHp(9, s));
  return o;
}

TEST_F(BattleWindow, APlayerBattleIsFoughtInTheWindowAsTheHeadlessRunnerFightsIt) {
  for (EBattle kind : {EBattle::Space, EBattle::PlanetDefence}) {
    SetUpWorld(kind);
    boxes.clear();
    ticks = endTick = 0;
    bool refused = false;
    beforeTick = [&](int tick) {
      if (tick == 5) fmBtMain->Close();
      if (tick == 6) refused = fmBtMain->Visible() && BtQvMap != nullptr;
    };
    StartBattle(kind);
    const TOutcome inWindow = Outcome();
    EXPECT_TRUE(refused);
    EXPECT_GT(endTick, 6);
    EXPECT_NE(inWindow.winner, -1);
    ASSERT_FALSE(boxes.empty());
    EXPECT_EQ(boxes.back().caption, "確認");
    EXPECT_EQ(boxes.back().text, inWindow.winner == 0 ? "戦闘に勝利しました。" : "戦闘に敗北しました。");
    EXPECT_FALSE(fmBtMain->Visible());
    EXPECT_FALSE(fmBtMain->TimerMain->Enabled());
    EXPECT_EQ(BtQvMap, nullptr);
    EXPECT_EQ(BtQvMapGraph, nullptr);
    EXPECT_EQ(BtViewSink(), nullptr);

    // The same battle headless, from the same state of the random numbers.
    SetUpWorld(kind);
    TGameHost* windowHost = &GameHost();
    TGameHost headless;
    SetGameHost(&headless);
    StartBattle(kind);
    SetGameHost(windowHost);
    EXPECT_EQ(Outcome(), inWindow) << static_cast<int>(kind);
  }
}

TEST_F(BattleWindow, SpeedModesAndRetreat) {
  SetUpWorld(EBattle::Space);
  // The paused mode of the last battle carries over.
  SetBattleSpeed(nullptr, 0);
  int shipX = 0, shipY = 0, retreatTick = 0;
  size_t boxesAtRetreat = 0;
  beforeTick = [&](int tick) {
    TfmBtMain* f = fmBtMain;
    TBtShip* sel = BtQvMap->GetSelect();
    ASSERT_NE(sel, nullptr);
    if (tick == 1) {
      EXPECT_TRUE(IsBattlePaused());
      EXPECT_EQ(f->TimerMain->Interval(), 70u);
      EXPECT_TRUE(f->spbtnPause->Down());
      EXPECT_FALSE(f->spbtnFirst->Down());
      shipX = sel->GetX();
      shipY = sel->GetY();
    }
    if (tick == 5) {
      // Paused, nothing moved, and the view still follows the selected ship.
      EXPECT_EQ(sel->GetX(), shipX);
      EXPECT_EQ(sel->GetY(), shipY);
      int sx = 0, sy = 0;
      BtQvMapGraph->GetScroll(sx, sy);
      EXPECT_EQ(sx, std::clamp((shipX >> 2) - 396, 0, 808));
      EXPECT_EQ(sy, std::clamp((shipY >> 2) - 226, 0, 1147));
      f->spbtnFirst->Click();
      EXPECT_FALSE(IsBattlePaused());
      EXPECT_EQ(f->TimerMain->Interval(), 40u);
      EXPECT_TRUE(f->spbtnFirst->Down());
      EXPECT_FALSE(f->spbtnPause->Down());
    }
    if (tick == 10) {
      EXPECT_NE(sel->GetX() * 10000 + sel->GetY(), shipX * 10000 + shipY);
      // Retreat answered with Cancel: nothing changes, the speed comes back.
      answers = {false};
      f->btnTettai->Click();
      ASSERT_EQ(boxes.size(), 1u);
      EXPECT_EQ(boxes[0].caption, "確認");
      EXPECT_EQ(boxes[0].text, "撤退しますか？");
      EXPECT_EQ(BtInfo.winner, -1);
      EXPECT_EQ(GetBattleSpeed(), 2);
      EXPECT_TRUE(f->spbtnFirst->Enabled());
      EXPECT_TRUE(f->spbtnPause->Enabled());
      EXPECT_EQ(f->TimerMain->Interval(), 40u);
    }
    if (tick == 12) {
      // From a pause, OK: the other side wins and the closing frames run.
      f->spbtnPause->Click();
      f->btnTettai->Click();
      EXPECT_EQ(BtInfo.winner, 1);
      EXPECT_EQ(GetBattleSpeed(), 2);
      EXPECT_FALSE(IsBattlePaused());
      retreatTick = tick;
      boxesAtRetreat = boxes.size();
    }
    if (tick == 14) {
      // Once decided, the button asks nothing.
      f->btnTettai->Click();
      EXPECT_EQ(boxes.size(), boxesAtRetreat);
    }
  };
  StartBattle(EBattle::Space);
  ASSERT_EQ(boxes.size(), 3u);
  EXPECT_EQ(boxes[1].text, "撤退しますか？");
  // The tick of the order and twelve closing frames, then the report.
  EXPECT_EQ(endTick - retreatTick, 12);
  EXPECT_EQ(boxes[2].caption, "確認");
  EXPECT_EQ(boxes[2].text, "戦闘に敗北しました。");
  EXPECT_FALSE(fmBtMain->Visible());
  EXPECT_TRUE(GetFleetReturning(0, 0));
}

TEST_F(BattleWindow, SysMesBtSuspendsTheBattleAndRestoresItsMode) {
  SetUpWorld(EBattle::Space);
  beforeTick = [&](int tick) {
    if (tick == 2) {
      SetBattleSpeed(fmBtMain, 1);
      EXPECT_EQ(GameHost().SysMesBt(SJS("テスト"), SJS("確認"), 0), 1);
      EXPECT_EQ(GetBattleSpeed(), 1);
      EXPECT_FALSE(IsBattlePaused());
      EXPECT_TRUE(fmBtMain->spbtnFirst->Enabled());
      EXPECT_TRUE(fmBtMain->spbtnPause->Enabled());
      EXPECT_TRUE(fmBtMain->spbtnFirst->Down());
    }
    if (tick == 3) Withdraw();
  };
  StartBattle(EBattle::Space);
  ASSERT_GE(boxes.size(), 2u);
  EXPECT_EQ(boxes[0].text, "テスト");
  // While the box was open the battle stood paused, its speed buttons disabled.
  EXPECT_TRUE(boxes[0].battleSuspended);
  EXPECT_FALSE(boxes.back().battleSuspended);
}

TEST_F(BattleWindow, TheDetailButtonShowsTheSelectedShipsDesignWithTheBattlePaused) {
  SetUpWorld(EBattle::Space);
  int selectedHull = -2;
  beforeTick = [&](int tick) {
    if (tick == 2) {
      UnitButton(1)->Click();
      ASSERT_NE(BtQvMap->GetSelect(), nullptr);
      const TShipData ship = BtQvMap->GetSelect()->GetShipData();
      selectedHull = GetShipParts(&ship, kPartsFrame);
      fmBtMain->btnShipInfo->Click();
      EXPECT_FALSE(IsBattlePaused());
    }
    if (tick == 3) Withdraw();
  };
  StartBattle(EBattle::Space);
  ASSERT_EQ(designs.size(), 1u);
  EXPECT_EQ(designs[0].mode, 0);
  EXPECT_EQ(designs[0].hull, selectedHull);
  EXPECT_GE(selectedHull, 0);
  EXPECT_TRUE(designs[0].battlePaused);
}

TEST_F(BattleWindow, PanelFollowsTheBattleKindAndTheUnits) {
  struct TCase {
    EBattle kind;
    std::vector<std::string> captions;
    std::vector<bool> enabled;
  } cases[] = {
      {EBattle::Space, {"第１部隊", "第２部隊", "第３部隊", "", ""}, {true, true, true, false, false}},
      {EBattle::PlanetAttack, {"第１部隊", "第２部隊", "第３部隊", "", ""}, {true, true, true, false, false}},
      {EBattle::PlanetDefence,
       {"第１衛星", "第２衛星", "第３衛星", "第４衛星", "第５衛星"},
       {true, true, true, true, true}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.kind));
    SetUpWorld(c.kind);
    beforeTick = [&](int tick) {
      if (tick == 1) {
        for (int k = 1; k <= 5; ++k) {
          EXPECT_EQ(SjisToUtf8(UnitButton(k)->Caption()), c.captions[k - 1]) << k;
          EXPECT_EQ(UnitButton(k)->Enabled(), c.enabled[k - 1]) << k;
          EXPECT_EQ(UnitButton(k)->Down(), k == 1) << k;
        }
        // The commander's face (or the defence's) is drawn.
        const TQoTrueDib& face = fmBtMain->QoCmd;
        long lit = 0;
        for (int y = 0; y < face.Height(); ++y)
          for (int x = 0; x < face.Width(); ++x) lit += face.Pixels()[y * face.RowPitch() + x] != TQoRGB(0, 0, 0);
        EXPECT_GT(lit, 69 * 69 / 4);
        // A destroyed unit's button is disabled; another unit's button selects it.
        TBtShip* second = c.kind == EBattle::PlanetDefence ? BtQvMap->FindSate(0, 1) : BtQvMap->FindShip(0, 0, 1);
        ASSERT_NE(second, nullptr);
        second->Kill();
        BtQvMap->DeleteDead();
        UpdateBtPanel(fmBtMain);
        EXPECT_FALSE(UnitButton(2)->Enabled());
        UnitButton(3)->Click();
        EXPECT_TRUE(UnitButton(3)->Down());
        EXPECT_FALSE(UnitButton(1)->Down());
      }
      if (tick == 2) {
        // The view centred on the new selection in the last frame.
        const TBtShip* sel = BtQvMap->GetSelect();
        ASSERT_NE(sel, nullptr);
        EXPECT_EQ(c.kind == EBattle::PlanetDefence ? sel->GetSatellite() : sel->GetSlot(), 2);
        int sx = 0, sy = 0;
        BtQvMapGraph->GetScroll(sx, sy);
        EXPECT_EQ(sx, std::clamp((sel->GetX() >> 2) - 396, 0, 808));
        EXPECT_EQ(sy, std::clamp((sel->GetY() >> 2) - 226, 0, 1147));
        Withdraw();
      }
    };
    StartBattle(c.kind);
    EXPECT_EQ(BtQvMap, nullptr);
  }
}

TEST_F(BattleWindow, HitReportsScrollUpAndTheMouseGivesOrders) {
  SetUpWorld(EBattle::Space);
  beforeTick = [&](int tick) {
    if (tick != 2) return;
    TfmBtMain* f = fmBtMain;
    for (const auto& l : f->MessageLines()) EXPECT_EQ(l->Caption(), "");
    for (int i = 1; i <= 7; ++i) AddBtMessage("line " + std::to_string(i));
    for (int i = 0; i < 6; ++i) EXPECT_EQ(f->MessageLines()[i]->Caption(), "line " + std::to_string(i + 2)) << i;

    // A right press far from the ship moves it to the press's arena point, a left one fires there.
    TBtShip* sel = BtQvMap->GetSelect();
    ASSERT_NE(sel, nullptr);
    int sx = 0, sy = 0;
    BtQvMapGraph->GetScroll(sx, sy);
    const int px = (sel->GetX() >> 2) - sx + 100, py = (sel->GetY() >> 2) - sy - 60;
    f->imgBtQvMapMouseDown(f->imgBtQvMap, mbRight, {}, px, py);
    int mx = 0, my = 0;
    sel->GetTarget().GetMovePos(mx, my);
    EXPECT_EQ(mx, (px + sx) * 4);
    EXPECT_EQ(my, (py + sy) * 4);
    int cx = 0, cy = 0;
    BtQvMapGraph->GetMouseMapPos(cx, cy);
    EXPECT_EQ(cx, mx);
    EXPECT_EQ(cy, my);
    f->imgBtQvMapMouseDown(f->imgBtQvMap, mbLeft, {}, px + 20, py);
    sel->GetTarget().GetFirePos(mx, my);
    EXPECT_EQ(mx, (px + 20 + sx) * 4);
    // The middle button orders nothing; a move only follows the mouse.
    f->imgBtQvMapMouseDown(f->imgBtQvMap, mbMiddle, {}, px + 40, py);
    sel->GetTarget().GetFirePos(mx, my);
    EXPECT_EQ(mx, (px + 20 + sx) * 4);
    f->imgBtQvMapMouseMove(f->imgBtQvMap, {}, 300, 200);
    BtQvMapGraph->GetMouseMapPos(cx, cy);
    EXPECT_EQ(cx, (300 + sx) * 4);
    Withdraw();
  };
  StartBattle(EBattle::Space);
  // Outside a battle the handlers, the panel and the view's operations touch nothing.
  fmBtMain->imgBtQvMapMouseDown(fmBtMain->imgBtQvMap, mbLeft, {}, 100, 100);
  fmBtMain->imgBtQvMapMouseMove(fmBtMain->imgBtQvMap, {}, 100, 100);
  fmBtMain->TimerMainTimer(fmBtMain->TimerMain);
  EXPECT_FALSE(fmBtMain->TimerMain->Enabled());
  bool canClose = false;
  fmBtMain->FormCloseQuery(fmBtMain, canClose);
  EXPECT_TRUE(canClose);
}

TEST_F(BattleWindow, AModalLoopThatEndsEarlyStillFreesTheBattle) {
  SetUpWorld(EBattle::Space);
  int hpAtEnd = -1;
  beforeTick = [&](int tick) {
    if (tick != 3) return;
    BtQvMap->FindShip(0, 0, 0)->SetHp(77);
    App().Terminate();
  };
  StartBattle(EBattle::Space);
  hpAtEnd = FleetShipHp(0, 0, 0);
  EXPECT_EQ(BtQvMap, nullptr);
  EXPECT_EQ(BtQvMapGraph, nullptr);
  EXPECT_EQ(BtViewSink(), nullptr);
  EXPECT_FALSE(fmBtMain->TimerMain->Enabled());
  EXPECT_FALSE(fmBtMain->Visible());
  // The survivors wrote their durability back as the arena went.
  EXPECT_EQ(hpAtEnd, 77);
}

TEST_F(BattleWindow, TheViewStaysAlignedInItsPanel) {
  SetUpWorld(EBattle::Space);
  beforeTick = [&](int tick) {
    if (tick != 1) return;
    fmBtMain->FormResize(fmBtMain);
    EXPECT_EQ(fmBtMain->imgBtQvMap->Width(), 792);
    EXPECT_EQ(fmBtMain->imgBtQvMap->Height(), 453);
    EXPECT_EQ(BtQvMapGraph->ViewSurface()->Height(), 453);
    BtQvMapGraph->ScrollTo(5000, 5000);
    int sx = 0, sy = 0;
    BtQvMapGraph->GetScroll(sx, sy);
    EXPECT_EQ(sx, 808);
    EXPECT_EQ(sy, 1147);
    Withdraw();
  };
  StartBattle(EBattle::Space);
}

TEST_F(BattleWindow, BattlesAreFoughtWithMissingOrDamagedPictures) {
  const std::string damaged =
      test::MakePack({{"BTSH_00.BMP", std::vector<std::uint8_t>{'B', 'M', 0x40, 0, 0, 0, 1, 2, 3, 4, 5, 6, 7, 8}},
                      {"BTBG_00.BMP", std::vector<std::uint8_t>(40, 0xFF)}},
                     0);
  const std::string empty = test::MakePack({{"OTHER.BMP", std::vector<std::uint8_t>{1, 2, 3}}}, 0);
  TQoPack* gamePack = QoPictureArchive();
  for (const std::string& path : {empty, damaged}) {
    TQoPack pack;
    ASSERT_TRUE(pack.OpenPack(path));
    SetQoPictureArchive(&pack);
    SetUpWorld(EBattle::Space);
    boxes.clear();
    StartBattle(EBattle::Space);
    SetQoPictureArchive(gamePack);
    EXPECT_NE(BtInfo.winner, -1);
    ASSERT_FALSE(boxes.empty());
    EXPECT_EQ(boxes.back().caption, "確認");
    EXPECT_EQ(BtQvMap, nullptr);
  }
  std::remove(damaged.c_str());
  std::remove(empty.c_str());
}

// Without a battle window the host fights headless, and the window's free functions do nothing.
TEST(BattleWindowAbsent, BattlesRunHeadless) {
  test::TGameFolder folder;
  THeadlessSession session;
  session.Backend.Driver = [] {
    if (fmSysMes == nullptr || TopModal() != fmSysMes) return false;
    Click(fmSysMes->btnOk, mbLeft, false);
    return true;
  };
  InstallBattleWindow();
  SetBattleWindowCreator(nullptr);
  {
    TGameSession game;
    EXPECT_EQ(fmBtMain, nullptr);
    SetUpWorld(EBattle::Space);
    StartBattle(EBattle::Space);
    EXPECT_NE(BtInfo.winner, -1);
    UpdateBtPanel(fmBtMain);
    AddBtMessage("x");
    ClearBtMessage();
    ExecBattle();
    EXPECT_EQ(BtQvMap, nullptr);
  }
  SetScreensHostMaker(nullptr);
}

}  // namespace
}  // namespace vdmq
