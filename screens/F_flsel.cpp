#include "screens/F_flsel.h"

#include "campaign/Country.h"
#include "campaign/FileKinds.h"
#include "campaign/Fleet.h"
#include "campaign/GameHost.h"
#include "campaign/Planet.h"
#include "campaign/Qvmap.h"
#include "formkit/Chbcbtn.h"
#include "platform/base/Sjis.h"
#include "platform/core/StdCtrls.h"
#include "screens/ScreenList.h"

namespace vdmq {

TfmFleetSel* fmFleetSel = nullptr;

namespace {

// Shows the resident selector modally for a country and a planet filter, unless it is already up.
void OpenFleetSel(int country, int planet) {
  if (fmFleetSel == nullptr || fmFleetSel->Visible()) return;
  fmFleetSel->Country = country;
  fmFleetSel->Planet = planet;
  fmFleetSel->Fleet = -1;
  fmFleetSel->ShowModal();
}

}  // namespace

TfmFleetSel::TfmFleetSel(TComponent* owner) : TCHF_Form(owner) {
  SetUpScreenForm(this, "fmFleetSel", SJS("艦隊選択"), 154, 470);
  imgBG = MakeScreenBackground(this, QoBG, 154, 470);
  Label3 = MakeScreenLabel(this, "Label3", 16, 20, SJS("所属"));
  lbBelong = MakeScreenLabel(this, "lbBelong", 16, 36, "");
  Label5 = MakeScreenLabel(this, "Label5", 16, 52, SJS("拠点"));
  lbPlanet = MakeScreenLabel(this, "lbPlanet", 20, 68, "");
  btnPla = MakeScreenButton(this, "btnPla", 34, 90, 86, 28, SJS("拠点選択"), "bc86_28_2");
  btnPla->OnClick = [this](TComponent* s) { btnPlaClick(s); };
  Label2 = MakeScreenLabel(this, "Label2", 16, 128, SJS("駐留艦隊"));
  for (int i = 0; i < kButtons; ++i) {
    btnFl[i] = MakeScreenButton(this, "btnFl" + std::to_string(i), 34, 147 + 28 * i, 86, 28, "", "bc86_28_2");
    btnFl[i]->Tag = i + 1;
    btnFl[i]->OnClick = [this](TComponent* s) { btnFl0Click(s); };
  }
  btnClose = MakeScreenButton(this, "btnClose", 34, 436, 86, 28, SJS("閉じる"), "bc86_28_2");
  btnClose->OnClick = [this](TComponent* s) { btnCloseClick(s); };
  OnShow = [this](TComponent* s) { FormShow(s); };
}

TfmFleetSel::~TfmFleetSel() {
  if (fmFleetSel == this) fmFleetSel = nullptr;
  BeginDestroy();
  DestroyComponents();
}

void TfmFleetSel::Refresh() {
  const bool filtered = Planet != -1;
  lbBelong->SetCaption(filtered ? NameOrEmpty(GetCountryName(Country)) : "");
  lbPlanet->SetCaption(filtered ? NameOrEmpty(GetPlanetName(Planet)) : SJS("未選択"));
  btnPla->SetEnabled(filtered);
  for (int i = 0; i < kButtons; ++i) {
    btnFl[i]->SetCaption(NameOrEmpty(GetFleetName(Country, i)));
    btnFl[i]->SetEnabled(GetFleetCanUse(Country, i) && (!filtered || IsFleetAtPlanet(Country, i, Planet)));
  }
}

void TfmFleetSel::FormShow(TComponent*) {
  DrawScreenBackground(QoBG, kFileKindFleetSelectorBackground);
  Refresh();
}

void TfmFleetSel::btnFl0Click(TComponent* sender) {
  if (sender == nullptr) return;
  Fleet = static_cast<int>(sender->Tag) - 1;
  if (GetFleetStatus(Country, Fleet) == 2)
    GameHost().SetMapCenter(GetFleetX(Country, Fleet), GetFleetY(Country, Fleet));
  GameHost().ShowFleetForm(Country, Fleet);
  Refresh();
  // A move or an attack was started: the player clicks its target on the map.
  if (QvMap != nullptr && (QvMap->GetMode() == 1 || QvMap->GetMode() == 2)) ModalResult = 2;
}

void TfmFleetSel::btnPlaClick(TComponent*) { GameHost().ShowPlanetWindow(Planet, GetPlayerCountry()); }

void TfmFleetSel::btnCloseClick(TComponent*) { ModalResult = 1; }

void ShowFleetSel(int country) { OpenFleetSel(country, -1); }

void ShowFleetSelByPlanet(int planet) { OpenFleetSel(GetPlanetBelong(planet), planet); }

}  // namespace vdmq
