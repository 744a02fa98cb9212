#include "screens/F_fleet.h"

#include <cstring>

#include "campaign/Cmd.h"
#include "campaign/Country.h"
#include "campaign/Dock.h"
#include "campaign/FileKinds.h"
#include "campaign/Fleet.h"
#include "campaign/GameHost.h"
#include "campaign/Qvmap.h"
#include "campaign/Ship.h"
#include "formkit/Chbcbtn.h"
#include "platform/base/Sjis.h"
#include "platform/core/StdCtrls.h"
#include "qolib/graphics/Qograph_rap.h"
#include "screens/F_build.h"
#include "screens/F_cm_sel.h"
#include "screens/F_dock.h"
#include "screens/ScreenList.h"
#include "screens/f_cmd_if.h"

namespace vdmq {

namespace {

constexpr int kProfileTops[5] = {26, 40, 54, 68, 82};
TfmFleet* openFleet = nullptr;

bool SameShip(const TShipData& a, const TShipData& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// True when the dock holds exactly this ship, finished.
bool DockHolds(int planet, int dock, const TShipData& ship) {
  const TShipData* held = GetDockShipPtr(planet, dock);
  return GetDockState(planet, dock) == kDockStateFinished && held != nullptr && SameShip(*held, ship);
}

}  // namespace

TfmFleet::TfmFleet(TComponent* owner) : TCHF_Form(owner) {
  SetUpScreenForm(this, "fmFleet", SJS("艦隊メニュー"), 518, 440);
  imgBG = MakeScreenBackground(this, QoBG, 518, 440);

  lbCoName = MakeScreenLabel(this, "lbCoName", 36, 32, "");
  lbFlName = MakeScreenLabel(this, "lbFlName", 176, 32, "");
  Label1 = MakeScreenLabel(this, "Label1", 44, 52, SJS("司令官"));
  lbCmdName = MakeScreenLabel(this, "lbCmdName", 88, 52, "");
  btnCmdChg = MakeScreenButton(this, "btnCmdChg", 60, 72, 86, 28, SJS("交代"), "bcBtn86_28", 0);
  btnCmdFree = MakeScreenButton(this, "btnCmdFree", 146, 72, 86, 28, SJS("解任"), "bcBtn86_28", 1);
  btnCmdInfo = MakeScreenButton(this, "btnCmdInfo", 232, 72, 86, 28, SJS("詳細"), "bcBtn86_28", 2);
  for (int i = 0; i < 5; ++i)
    lbProfile[i] = MakeScreenLabel(this, "lbProfile" + std::to_string(6 + i), 332, kProfileTops[i], "");

  static const char* const kSlotCaptions[kSlots] = {"第１部隊", "第２部隊", "第３部隊"};
  for (int s = 0; s < kSlots; ++s) {
    const std::string n = std::to_string(s);
    TCHBcSpeedButton* b = MakeScreenSpeedButton(this, "spbtnFo" + n, 52, 116 + 48 * s, 160, 48,
                                                Utf8ToSjis(kSlotCaptions[s]), "bc_sb160_48_2", s);
    b->SetNumGlyphs(4);
    b->AdjustSize();
    b->SetGroupIndex(1);
    b->Tag = 1 + s;
    b->OnClick = [this](TComponent* c) { spbtnFo0Click(c); };
    spbtnFo[s] = b;
    lbFoShipName[s] = MakeScreenLabel(this, "lbFo" + n + "ShipName", 48, 276 + 40 * s, "");
    lbFoShipName[s]->Tag = 4 + s;
    lbFoShipCnt[s] = MakeScreenLabel(this, "lbFo" + n + "ShipCnt", 150, 296 + 40 * s, "");
    lbFoShipCnt[s]->Tag = 7 + s;
  }
  imgShip = MakeScreenPicture(this, &plShip, "plShip", "imgShip", QoShip, 240, 168, 256, 160);

  btnSetShip = MakeScreenButton(this, "btnSetShip", 232, 336, 86, 28, SJS("就役"), "bc86_28_2");
  btnDelShip = MakeScreenButton(this, "btnDelShip", 318, 336, 86, 28, SJS("退役"), "bc86_28_2");
  btnInfoShip = MakeScreenButton(this, "btnInfoShip", 404, 336, 86, 28, SJS("詳細"), "bc86_28_2");
  btnMove = MakeScreenButton(this, "btnMove", 340, 407, 86, 28, SJS("移動"), "bc86_28_2");
  btnClose = MakeScreenButton(this, "btnClose", 426, 407, 86, 28, SJS("閉じる"), "bc86_28_2");

  btnCmdChg->OnClick = [this](TComponent* c) { btnCmdChgClick(c); };
  btnCmdFree->OnClick = [this](TComponent* c) { btnCmdFreeClick(c); };
  btnCmdInfo->OnClick = [this](TComponent* c) { btnCmdInfoClick(c); };
  btnSetShip->OnClick = [this](TComponent* c) { btnSetShipClick(c); };
  btnDelShip->OnClick = [this](TComponent* c) { btnDelShipClick(c); };
  btnInfoShip->OnClick = [this](TComponent* c) { btnInfoShipClick(c); };
  btnMove->OnClick = [this](TComponent* c) { btnMoveClick(c); };
  btnClose->OnClick = [this](TComponent* c) { btnCloseClick(c); };
  OnShow = [this](TComponent* c) { FormShow(c); };
}

TfmFleet::~TfmFleet() {
  BeginDestroy();
  DestroyComponents();
}

bool TfmFleet::Reorganisable() const {
  return (GetFleetPlanet(Country, Fleet) != -1 || GetFleetStatus(Country, Fleet) == 0) && IsPlayerCountry(Country);
}

void TfmFleet::ShowCommander(int cmd) {
  if (cmd == -1) {
    lbCmdName->SetCaption(SJS("未登録"));
    for (TLabel* l : lbProfile) l->SetCaption("");
    btnCmdChg->SetEnabled(true);
    btnCmdFree->SetEnabled(false);
    btnCmdInfo->SetEnabled(false);
    return;
  }
  lbCmdName->SetCaption(GetCmdName(cmd));
  const std::array<std::string, 5> lines = CmdValueLines(cmd);
  for (int i = 0; i < 5; ++i) lbProfile[i]->SetCaption(lines[static_cast<size_t>(i)]);
  const bool reorganisable = Reorganisable();
  btnCmdChg->SetEnabled(reorganisable);
  btnCmdFree->SetEnabled(reorganisable);
  btnCmdInfo->SetEnabled(true);
}

void TfmFleet::ShowSlot(int slot) {
  const TShipData* ship = GetFleetShipPtr(Country, Fleet, slot);
  const bool valid = IsFleetShipValid(Country, Fleet, slot);
  if (valid) {
    lbFoShipName[slot]->SetCaption(NameOrEmpty(GetShipName(ship)));
    lbFoShipCnt[slot]->SetCaption(Format(SJS("耐久力 %4d/%4d").c_str(), GetShipHp(ship), GetShipMaxHp(ship)));
  } else {
    lbFoShipName[slot]->SetCaption(SJS("未配備"));
    lbFoShipCnt[slot]->SetCaption(SJS("耐久力 ----/----"));
  }
  if (slot != Slot) return;
  const bool reorganisable = Reorganisable();
  btnSetShip->SetEnabled(reorganisable);
  btnDelShip->SetEnabled(valid && reorganisable);
  btnInfoShip->SetEnabled(valid);
  if (!valid) {
    DrawBmpPackById(&QoShip, 0, 0, kFileKindFleetNoShip, 0);
  } else if (const int cg = GetShipCg(ship); cg != -1) {
    DrawBmpPackById(&QoShip, 0, 0, kFileKindShipPicture, cg);
  }
  QoShip.Change();
}

void TfmFleet::Refresh() {
  const int cmd = SearchCmdByFleet(Country, Fleet);
  ShowCommander(cmd);
  lbCoName->SetCaption(GetCountryName(Country));
  lbFlName->SetCaption(NameOrEmpty(GetFleetName(Country, Fleet)));
  btnMove->SetEnabled(IsFleetOnMap(Country, Fleet) && cmd != -1 &&
                      (GetFleetCanMove(Country, Fleet) || GameHost().GetDebugSw(3)) && IsPlayerCountry(Country));
  for (int s = 0; s < kSlots; ++s) ShowSlot(s);
}

void TfmFleet::FormShow(TComponent*) {
  DrawScreenBackground(QoBG, kFileKindFleetBackground);
  Refresh();
}

void TfmFleet::spbtnFo0Click(TComponent* sender) {
  if (sender == nullptr || sender->Tag < 1 || sender->Tag > kSlots) return;
  Slot = static_cast<int>(sender->Tag) - 1;
  Refresh();
}

// Commissioning moves a finished ship from a dock into the slot; a ship already in the slot trades
// places with it. Both records are copied first, and a record leaves its place only once its new
// place holds it, so a ship is never lost or doubled.
void TfmFleet::btnSetShipClick(TComponent*) {
  int planet = -1, dock = -1;
  ShowDockForm(GetPlayerCountry(), 0, &planet, &dock);
  if (planet < 0 || dock < 0) return;
  const TShipData incoming = *GetDockShipPtr(planet, dock);
  if (!IsFleetShipValid(Country, Fleet, Slot)) {
    SetFleetShip(Country, Fleet, Slot, &incoming);
    const TShipData* now = GetFleetShipPtr(Country, Fleet, Slot);
    if (now != nullptr && SameShip(*now, incoming)) ClearDock(planet, dock);
  } else {
    const TShipData outgoing = *GetFleetShipPtr(Country, Fleet, Slot);
    PutDockShip(planet, dock, &outgoing);
    if (DockHolds(planet, dock, outgoing)) {
      SetFleetShip(Country, Fleet, Slot, &incoming);
      const TShipData* now = GetFleetShipPtr(Country, Fleet, Slot);
      if (now == nullptr || !SameShip(*now, incoming)) PutDockShip(planet, dock, &incoming);
    }
  }
  GameHost().DrawMap();
  Refresh();
}

// Returning a ship clears the slot only once the dock holds it.
void TfmFleet::btnDelShipClick(TComponent*) {
  int planet = -1, dock = -1;
  ShowDockForm(GetPlayerCountry(), 1, &planet, &dock);
  if (planet < 0 || dock < 0 || !IsFleetShipValid(Country, Fleet, Slot)) return;
  const TShipData outgoing = *GetFleetShipPtr(Country, Fleet, Slot);
  PutDockShip(planet, dock, &outgoing);
  if (DockHolds(planet, dock, outgoing)) RemoveFleetShip(Country, Fleet, Slot);
  Refresh();
  GameHost().DrawMap();
}

void TfmFleet::btnInfoShipClick(TComponent*) {
  TShipData shown{};
  ShowBuildForm(0, GetFleetShipPtr(Country, Fleet, Slot), -1, &shown, -1);
}

void TfmFleet::btnCmdChgClick(TComponent*) {
  const int cmd = ShowCmdSel(0, Country, -1);
  if (cmd < 0) return;
  const int led = GetCmdUnderFleet(cmd);
  const bool sendsHome = SearchCmdByFleet(Country, Fleet) == -1 && led != -1 && IsFleetOnMap(GetCmdBelong(cmd), led);
  const std::string question =
      sendsHome ? SJS("指揮官に任命されている司令官です。<BR>指揮下の艦隊は帰還しますが<BR>よろしいですか？")
                : SJS("艦隊指揮官に任命します。<BR>よろしいですか？");
  if (GameHost().SysMes(question, SJS("確認"), 1) != 1) return;
  SetCmdUnderFleet(cmd, Fleet);
  Refresh();
  GameHost().DrawMap();
}

void TfmFleet::btnCmdFreeClick(TComponent*) {
  const std::string question = GetFleetPlanet(Country, Fleet) == -1
                                   ? SJS("司令官を解任します。<BR>よろしいですか？")
                                   : SJS("司令官を解任し、艦隊を帰還させます。<BR>よろしいですか？");
  if (GameHost().SysMes(question, SJS("確認"), 1) != 1) return;
  const int cmd = SearchCmdByFleet(Country, Fleet);
  if (cmd == -1) return;
  ReleaseCmdFromFleet(cmd);
  Refresh();
  GameHost().DrawMap();
}

void TfmFleet::btnCmdInfoClick(TComponent*) {
  const int cmd = SearchCmdByFleet(Country, Fleet);
  if (cmd != -1) ShowCmdInfo(cmd);
}

void TfmFleet::btnMoveClick(TComponent*) {
  if (QvMap != nullptr) QvMap->StartFleetMove(Country, Fleet);
  ModalResult = mrOk;
}

void TfmFleet::btnCloseClick(TComponent*) { ModalResult = mrCancel; }

void ShowFleetForm(int country, int fleet) {
  if (openFleet != nullptr) return;
  TOpenScreen<TfmFleet> screen(openFleet);
  screen->Country = country;
  screen->Fleet = fleet;
  screen->Slot = 0;
  screen->spbtnFo[0]->SetDown(true);
  screen->ShowModal();
}

}  // namespace vdmq
