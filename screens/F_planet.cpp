#include "screens/F_planet.h"

#include <cstdint>

#include "campaign/Country.h"
#include "campaign/FileKinds.h"
#include "campaign/GameHost.h"
#include "campaign/Planet.h"
#include "campaign/Ship.h"
#include "formkit/Chbcbtn.h"
#include "platform/base/Sjis.h"
#include "platform/core/Application.h"
#include "platform/core/StdCtrls.h"
#include "screens/F_build.h"
#include "screens/ScreenList.h"
#include "screens/f_cmd_if.h"

namespace vdmq {

namespace {

constexpr int kNameTops[TfmPlanet::kSlots] = {108, 156, 200, 248, 296};
constexpr int kCntTops[TfmPlanet::kSlots] = {128, 176, 220, 268, 312};
TfmPlanet* openPlanet = nullptr;

}  // namespace

TfmPlanet::TfmPlanet(TComponent* owner) : TCHF_Form(owner) {
  SetUpScreenForm(this, "fmPlanet", SJS("拠点メニュー"), 600, 420);
  imgBG = MakeScreenBackground(this, QoBG, 600, 420);

  lbPlaName = MakeScreenLabel(this, "lbPlaName", 24, 12, "");
  lbCoName = MakeScreenLabel(this, "lbCoName", 24, 32, "");
  lbFund = MakeScreenLabel(this, "lbFund", 212, 32, "");
  lbHokyuu = MakeScreenLabel(this, "lbHokyuu", 212, 48, "");
  btnInfo = MakeScreenButton(this, "btnInfo", 108, 48, 86, 28, SJS("詳細"), "bc86_28_2");
  static const char* const kSlotCaptions[kSlots] = {"第１衛星", "第２衛星", "第３衛星", "第４衛星", "第５衛星"};
  for (int s = 0; s < kSlots; ++s) {
    const std::string n = std::to_string(s);
    TCHBcSpeedButton* b = MakeScreenSpeedButton(this, "spbtnSt" + n, 240, 96 + 48 * s, 160, 48,
                                                Utf8ToSjis(kSlotCaptions[s]), "bc_sb160_48_2", s);
    b->SetNumGlyphs(4);
    b->AdjustSize();
    b->SetGroupIndex(1);
    b->Tag = 1 + s;
    b->OnClick = [this](TComponent* c) { spbtnSt0Click(c); };
    spbtnSt[s] = b;
    lbStShipName[s] = MakeScreenLabel(this, "lbSt" + n + "ShipName", 408, kNameTops[s], "");
    lbStShipName[s]->Tag = 6 + s;
    lbStShipCnt[s] = MakeScreenLabel(this, "lbSt" + n + "ShipCnt", 508, kCntTops[s], "");
    lbStShipCnt[s]->Tag = 11 + s;
  }
  btnSetShip = MakeScreenButton(this, "btnSetShip", 308, 340, 86, 28, SJS("配備"), "bc86_28_2");
  btnDelShip = MakeScreenButton(this, "btnDelShip", 394, 340, 86, 28, SJS("破棄"), "bc86_28_2");
  btnInfoShip = MakeScreenButton(this, "btnInfoShip", 480, 340, 86, 28, SJS("詳細"), "bc86_28_2");
  btnClose = MakeScreenButton(this, "btnClose", 480, 384, 86, 28, SJS("閉じる"), "bc86_28_2");

  btnInfo->OnClick = [this](TComponent* c) { btnInfoClick(c); };
  btnSetShip->OnClick = [this](TComponent* c) { btnSetShipClick(c); };
  btnDelShip->OnClick = [this](TComponent* c) { btnDelShipClick(c); };
  btnInfoShip->OnClick = [this](TComponent* c) { btnInfoShipClick(c); };
  btnClose->OnClick = [this](TComponent* c) { btnCloseClick(c); };
  OnShow = [this](TComponent* c) { FormShow(c); };
  FormCreate(this);
}

TfmPlanet::~TfmPlanet() {
  BeginDestroy();
  DestroyComponents();
}

void TfmPlanet::Refresh() {
  const int owner = GetPlanetBelong(Planet);
  const char* name = NameOrEmpty(GetPlanetName(Planet));
  const bool capital = owner != -1 && GetCountryCapital(owner) == Planet;
  lbPlaName->SetCaption(Format(capital ? SJS("本拠地 %s").c_str() : SJS("拠点 %s").c_str(), name));
  lbCoName->SetCaption(Format(SJS("所属 %s").c_str(), GetCountryName(owner)));
  lbFund->SetCaption(Format(SJS("収入資金 %d").c_str(), GetPlanetIncome(Planet)));
  lbHokyuu->SetCaption(Format(SJS("補給能力 %d").c_str(), GetPlanetHokyuu(Planet)));
  for (int s = 0; s < kSlots; ++s) {
    if (IsPlanetSateValid(Planet, s)) {
      const TShipData* sate = GetPlanetSatePtr(Planet, s);
      lbStShipName[s]->SetCaption(NameOrEmpty(GetShipName(sate)));
      lbStShipCnt[s]->SetCaption(Format(SJS("耐久力 %4d/%4d").c_str(), GetShipHp(sate), GetShipMaxHp(sate)));
    } else {
      lbStShipName[s]->SetCaption(SJS("未配備"));
      lbStShipCnt[s]->SetCaption(SJS("耐久力 ----/----"));
    }
  }
  const bool held = IsPlanetSateValid(Planet, Slot);
  const bool own = owner == Country;
  btnSetShip->SetEnabled(own && !held);
  btnDelShip->SetEnabled(own && held);
  btnInfoShip->SetEnabled(held);
}

void TfmPlanet::FormCreate(TComponent*) { DrawScreenBackground(QoBG, kFileKindPlanetBackground); }

void TfmPlanet::FormShow(TComponent*) { Refresh(); }

void TfmPlanet::spbtnSt0Click(TComponent* sender) {
  if (sender == nullptr || sender->Tag < 1 || sender->Tag > kSlots) return;
  Slot = static_cast<int>(sender->Tag) - 1;
  Refresh();
}

void TfmPlanet::btnSetShipClick(TComponent*) {
  TShipData sate{};
  ClearShip(&sate);
  ShowBuildForm(2, &sate, -1, &sate, -1);
  if (!IsShipValid(&sate)) return;
  const int player = GetPlayerCountry();
  const int price = GetShipPrice(&sate);
  if (price > GetCountryFund(player)) {
    App().MessageBox(SJS("購入資金がたりません。"), SJS("確認"), MB_OK);
    return;
  }
  AddCountryFund(player, -std::int64_t{price});
  SetPlanetSate(Planet, Slot, &sate);
  Refresh();
}

void TfmPlanet::btnDelShipClick(TComponent*) {
  if (GameHost().SysMes(SJS("防御衛星を破棄します。<BR>よろしいですか？"), SJS("確認"), 1) != 1) return;
  RemovePlanetSate(Planet, Slot);
  Refresh();
}

void TfmPlanet::btnInfoShipClick(TComponent*) {
  TShipData shown{};
  ShowBuildForm(0, GetPlanetSatePtr(Planet, Slot), -1, &shown, -1);
}

void TfmPlanet::btnInfoClick(TComponent*) { ShowCountryInfo(GetPlanetBelong(Planet)); }

void TfmPlanet::btnCloseClick(TComponent*) { ModalResult = mrCancel; }

void ShowPlanetWindow(int planet, int country) {
  if (openPlanet != nullptr) return;
  TOpenScreen<TfmPlanet> screen(openPlanet);
  screen->Planet = planet;
  screen->Country = country;
  screen->Slot = 0;
  screen->spbtnSt[0]->SetDown(true);
  screen->ShowModal();
}

}  // namespace vdmq
