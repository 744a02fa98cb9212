#include "screens/F_pl_sel.h"

#include <string_view>

#include "campaign/Country.h"
#include "campaign/FileKinds.h"
#include "campaign/Fleet.h"
#include "campaign/GameHost.h"
#include "campaign/Planet.h"
#include "formkit/Chbcbtn.h"
#include "platform/base/Sjis.h"
#include "platform/core/StdCtrls.h"

namespace vdmq {

namespace {

constexpr int kScrollTops[4] = {56, 84, 120, 148};
TfmPlaSel* openPlaSel = nullptr;

constexpr TScreenColumn kColumnBar[TfmPlaSel::kColumns] = {
    {"btnName", "名前", 48, 126, "bc126_20_l"},   {"btnBelong", "所属", 174, 126, "bc126_20_m"},
    {"btnCapital", "本拠", 300, 30, "bc30_20_m"}, {"btnFund", "収入", 330, 54, "bc54_20_m"},
    {"btnHokyuu", "補給", 384, 30, "bc30_20_m"},  {"btnStayFleet", "駐留", 414, 30, "bc30_20_r"},
};

// The value of a planet under a numeric sort key (1..5).
int SortValue(int planet, int key) {
  switch (key) {
    case 1: return GetPlanetBelong(planet);
    case 2: return GetCapitalCountry(planet);
    case 3: return GetPlanetIncomeFund(planet);
    case 4: return GetPlanetHokyuu(planet);
    default: return CountOwnerFleetsAtPlanet(planet);
  }
}

}  // namespace

TfmPlaSel::TfmPlaSel(TComponent* owner) : TCHF_Form(owner) {
  SetUpScreenForm(this, "fmPlaSel", SJS("拠点選択"), 540, 240);
  imgBG = MakeScreenBackground(this, QoBG, 540, 240);

  MakeColumnButtons(this, 28, kColumnBar, kColumns, btnColumn, [this](TComponent* s) { btnNameClick(s); });
  List.Create(
      this, 48, 56, 12, 452, kScrollTops, [this] { ShowList(); }, "lbCmdName", 0);
  for (TLabel* line : List.lbList) line->OnClick = [this](TComponent* s) { lbCmdName0Click(s); };

  btnOk = MakeScreenButton(this, "btnOk", 362, 204, 86, 28, SJS("決定"), "bc86_28_2");
  btnClose = MakeScreenButton(this, "btnClose", 448, 204, 86, 28, SJS("閉じる"), "bc86_28_2");
  btnOk->OnClick = [this](TComponent* s) { btnOkClick(s); };
  btnClose->OnClick = [this](TComponent* s) { btnCloseClick(s); };
  OnShow = [this](TComponent* s) { FormShow(s); };
}

TfmPlaSel::~TfmPlaSel() {
  BeginDestroy();
  DestroyComponents();
}

bool TfmPlaSel::CanChoose(int planet) const {
  if (planet == -1 || !IsPlanetOnMap(planet)) return false;
  return Mode == 1 || GetPlanetBelong(planet) == GetPlayerCountry();
}

void TfmPlaSel::BuildList() {
  List.Clear();
  for (int planet = 0; planet < kPlanetCount; ++planet)
    if (IsPlanetOnMap(planet) && (Country == -1 || GetPlanetBelong(planet) == Country)) List.Append(planet);
  const int key = SortKey;
  List.SortByKey(
      [key](int a, int b) {
        if (key == 0) return std::string_view(NameOrEmpty(GetPlanetName(a))).compare(NameOrEmpty(GetPlanetName(b)));
        const int va = SortValue(a, key), vb = SortValue(b, key);
        return (va > vb) - (va < vb);
      },
      Descending);
}

void TfmPlaSel::ShowList() {
  List.Show(
      [](int planet) {
        const char* capital = GetCapitalCountry(planet) != -1 ? SJS("○").c_str() : SJS("－").c_str();
        return Format("%-20s %-20s  %s  %8d %4d %4d", NameOrEmpty(GetPlanetName(planet)),
                      NameOrEmpty(GetCountryName(GetPlanetBelong(planet))), capital, GetPlanetIncomeFund(planet),
                      GetPlanetHokyuu(planet), CountOwnerFleetsAtPlanet(planet));
      },
      [this](int planet) {
        if (planet == Planet) return kLineChosen;
        return CanChoose(planet) ? kLineChoosable : kLineGrey;
      });
  btnOk->SetEnabled(CanChoose(Planet));
}

void TfmPlaSel::FormShow(TComponent*) {
  DrawScreenBackground(QoBG, kFileKindPlanetSelectorBackground);
  BuildList();
  ShowList();
}

void TfmPlaSel::lbCmdName0Click(TComponent* sender) {
  const int planet = List.EntryOfSender(sender);
  if (planet < 0) return;
  Planet = planet;
  ShowList();
  GameHost().SetMapCenterPlanet(Planet);
}

void TfmPlaSel::btnNameClick(TComponent* sender) {
  if (sender == nullptr) return;
  Descending = !Descending;
  SortKey = static_cast<int>(sender->Tag) - 1;
  BuildList();
  ShowList();
}

void TfmPlaSel::btnOkClick(TComponent*) { ModalResult = mrOk; }

void TfmPlaSel::btnCloseClick(TComponent*) {
  Planet = -1;
  ModalResult = mrCancel;
}

int ShowPlaSel(int mode, int planet, int country) {
  if (openPlaSel != nullptr) return -1;
  TOpenScreen<TfmPlaSel> screen(openPlaSel);
  screen->Mode = mode;
  screen->Planet = planet;
  screen->Country = country;
  screen->btnOk->SetEnabled(screen->CanChoose(planet));
  if (planet != -1) GameHost().SetMapCenterPlanet(planet);
  if (screen->ShowModal() != mrOk) return -1;
  return screen->Planet;
}

}  // namespace vdmq
