#include "screens/F_dock.h"

#include <string_view>

#include "campaign/Country.h"
#include "campaign/Dock.h"
#include "campaign/FileKinds.h"
#include "campaign/GameHost.h"
#include "campaign/Planet.h"
#include "campaign/Ship.h"
#include "formkit/Chbcbtn.h"
#include "platform/base/Sjis.h"
#include "platform/core/Application.h"
#include "platform/core/StdCtrls.h"
#include "screens/F_build.h"

namespace vdmq {

namespace {

constexpr int kScrollTops[4] = {60, 88, 123, 151};
TfmDock* openDock = nullptr;

int PlanetOf(int entry) { return entry / kPlanetDockCount; }
int DockOf(int entry) { return entry % kPlanetDockCount; }

bool UsesAllDocks() { return GameHost().GetDebugSw(2); }

// True when the dock is listed for the country.
bool IsListed(int planet, int dock, int country) {
  return IsDockOfCountry(planet, dock, country) || (UsesAllDocks() && IsDockExist(planet, dock));
}

}  // namespace

TfmDock::TfmDock(TComponent* owner) : TCHF_Form(owner) {
  SetUpScreenForm(this, "fmDock", SJS("造船所一覧"), 540, 240);
  imgBG = MakeScreenBackground(this, QoBG, 540, 240);

  List.Create(this, 136, 60, 12, 460, kScrollTops, [this] { ShowList(); });
  for (TLabel* line : List.lbList) line->OnClick = [this](TComponent* s) { lbList0Click(s); };
  btnPla = MakeScreenButton(this, "btnPla", 136, 32, 126, 20, SJS("存在拠点"), "bc126_20_l");
  btnAbt = MakeScreenButton(this, "btnAbt", 262, 32, 30, 20, SJS("能力"), "bc30_20_m");
  btnState = MakeScreenButton(this, "btnState", 292, 32, 162, 20, SJS("状態"), "bc162_20_r");
  TCHBcBitBtn* columns[3] = {btnPla, btnAbt, btnState};
  for (int i = 0; i < 3; ++i) {
    columns[i]->Tag = 11 + i;
    columns[i]->OnClick = [this](TComponent* s) { btnNameClick(s); };
  }
  btnZousen = MakeScreenButton(this, "btnZousen", 24, 52, 86, 28, SJS("建造"), "bc86_28_2");
  btnStop = MakeScreenButton(this, "btnStop", 24, 88, 86, 28, SJS("売却"), "bc86_28_2");
  btnInfo = MakeScreenButton(this, "btnInfo", 24, 124, 86, 28, SJS("情報"), "bc86_28_2");
  btnOk = MakeScreenButton(this, "btnOk", 362, 208, 86, 28, SJS("決定"), "bc86_28_2");
  btnClose = MakeScreenButton(this, "btnClose", 448, 208, 86, 28, SJS("閉じる"), "bc86_28_2");
  btnZousen->OnClick = [this](TComponent* s) { btnZousenClick(s); };
  btnStop->OnClick = [this](TComponent* s) { btnStopClick(s); };
  btnInfo->OnClick = [this](TComponent* s) { btnInfoClick(s); };
  btnOk->OnClick = [this](TComponent* s) { btnOkClick(s); };
  btnClose->OnClick = [this](TComponent* s) { btnCloseClick(s); };
  OnShow = [this](TComponent* s) { FormShow(s); };
}

TfmDock::~TfmDock() {
  BeginDestroy();
  DestroyComponents();
}

bool TfmDock::CanPick(int planet, int dock) const {
  if (!IsListed(planet, dock, Country)) return false;
  const int state = GetDockState(planet, dock);
  if (Mode == 0) return state == 1;
  if (Mode == 1) return state == 0;
  return true;
}

void TfmDock::BuildList() {
  List.Clear();
  for (int planet = 0; planet < kPlanetCount; ++planet) {
    if (!IsPlanetOnMap(planet)) continue;
    for (int dock = 0; dock < kPlanetDockCount; ++dock)
      if (IsListed(planet, dock, Country)) List.Append(planet * kPlanetDockCount + dock);
  }
  List.Top = 0;
  const int key = SortKey;
  const bool descending = Descending;
  List.Sort([key, descending](int a, int b) {
    const int pa = PlanetOf(a), pb = PlanetOf(b);
    int order = 0;  // <0: a first
    if (key == 0) {
      const std::string_view na = NameOrEmpty(GetPlanetName(pa)), nb = NameOrEmpty(GetPlanetName(pb));
      order = na.compare(nb);
    } else if (key == 1) {
      order = GetDockAbt(pa, DockOf(a)) - GetDockAbt(pb, DockOf(b));
    } else {
      order = GetDockState(pa, DockOf(a)) - GetDockState(pb, DockOf(b));
    }
    if (order == 0) order = pa - pb;
    if (descending) order = -order;
    if (order == 0) order = DockOf(a) - DockOf(b);
    return order < 0;
  });
}

void TfmDock::ShowList() {
  List.Show(
      [](int entry) {
        const int planet = PlanetOf(entry), dock = DockOf(entry);
        const char* planetName = NameOrEmpty(GetPlanetName(planet));
        const char* dockName = NameOrEmpty(GetDockName(planet, dock));
        const int abt = GetDockAbt(planet, dock);
        switch (GetDockState(planet, dock)) {
          case 0: return Format(SJS("%-16s %4s %4d 空き").c_str(), planetName, dockName, abt);
          case 1:
            return Format("%-16s %4s %4d %s", planetName, dockName, abt,
                          NameOrEmpty(GetShipName(GetDockShipPtr(planet, dock))));
          case 2:
            return Format(SJS("%-16s %4s %4d %2d期後完成予定").c_str(), planetName, dockName, abt,
                          GetDockTurn(planet, dock));
          default: return SJS("使用不可");
        }
      },
      [this](int entry) {
        if (PlanetOf(entry) == Planet && DockOf(entry) == Dock) return kLineChosen;
        return CanPick(PlanetOf(entry), DockOf(entry)) ? kLineChoosable : kLineGrey;
      });
  const bool chosen = Planet >= 0 && Dock >= 0;
  const int state = chosen ? GetDockState(Planet, Dock) : -1;
  const bool picking = Mode == 0 || Mode == 1;
  btnZousen->SetEnabled(chosen && Mode == 2 && state == 0);
  btnStop->SetEnabled(chosen && Mode == 2 && (state == 1 || state == 2));
  btnInfo->SetEnabled(chosen && (state == 1 || state == 2) && (picking || Mode == 2));
  btnOk->SetEnabled(chosen && picking);
}

void TfmDock::FormShow(TComponent*) { DrawScreenBackground(QoBG, kFileKindDockBackground); }

void TfmDock::lbList0Click(TComponent* sender) {
  const int entry = List.EntryOfSender(sender);
  if (entry < 0 || !CanPick(PlanetOf(entry), DockOf(entry))) return;
  Planet = PlanetOf(entry);
  Dock = DockOf(entry);
  ShowList();
  GameHost().SetMapCenterPlanet(Planet);
}

void TfmDock::btnNameClick(TComponent* sender) {
  if (sender == nullptr) return;
  Descending = !Descending;
  SortKey = sender->Tag - 11;
  BuildList();
  ShowList();
}

void TfmDock::btnZousenClick(TComponent*) {
  if (Planet < 0 || Dock < 0) return;
  TShipData design{};
  ShowBuildForm(1, GetDockShipPtr(Planet, Dock), Planet, &design, Dock);
  if (!IsShipValid(&design)) return;
  const int price = GetShipPrice(&design);
  if (price <= GetCountryFund(Country)) {
    AddCountryFund(Country, -std::int64_t{price});
    OrderDockShip(Planet, Dock, &design);
    ShowList();
  } else {
    App().MessageBox(SJS("購入資金がたりません。"), SJS("確認"), MB_OK);
  }
}

void TfmDock::btnStopClick(TComponent*) {
  if (Planet < 0 || Dock < 0) return;
  const int value = GetShipValue(GetDockShipPtr(Planet, Dock));
  if (GameHost().SysMes(Format(SJS("造船所の艦船を<BR>資金%dで売却します。<BR>よろしいですか？").c_str(), value),
                        SJS("確認"), 1) != 1)
    return;
  ClearDock(Planet, Dock);
  ShowList();
  AddCountryFund(GetPlayerCountry(), value);
}

void TfmDock::btnInfoClick(TComponent*) {
  if (Planet < 0 || Dock < 0) return;
  TShipData shown{};
  ShowBuildForm(0, GetDockShipPtr(Planet, Dock), Planet, &shown, Dock);
}

void TfmDock::btnOkClick(TComponent*) { ModalResult = mrOk; }

void TfmDock::btnCloseClick(TComponent*) { ModalResult = mrCancel; }

void ShowDockForm(int country, int mode, int* planet, int* dock) {
  if (planet != nullptr) *planet = -1;
  if (dock != nullptr) *dock = -1;
  if (openDock != nullptr) return;
  TOpenScreen<TfmDock> screen(openDock);
  screen->Country = country;
  screen->Mode = mode;
  screen->Planet = screen->Dock = -1;
  screen->BuildList();
  screen->btnOk->SetVisible(mode == 0 || mode == 1);
  for (int i = 0; i < screen->List.Count; ++i) {
    const int entry = screen->List.Places[static_cast<size_t>(i)];
    if (screen->CanPick(PlanetOf(entry), DockOf(entry))) {
      screen->Planet = PlanetOf(entry);
      screen->Dock = DockOf(entry);
      break;
    }
  }
  screen->BuildList();
  screen->ShowList();
  if (screen->ShowModal() != mrOk) return;
  if (planet != nullptr) *planet = screen->Planet;
  if (dock != nullptr) *dock = screen->Dock;
}

}  // namespace vdmq
