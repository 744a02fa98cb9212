#include "screens/F_cm_sel.h"

#include <string_view>

#include "campaign/Cmd.h"
#include "campaign/Country.h"
#include "campaign/FileKinds.h"
#include "campaign/Fleet.h"
#include "formkit/Chbcbtn.h"
#include "platform/base/Sjis.h"
#include "platform/core/StdCtrls.h"
#include "qolib/graphics/Qograph_rap.h"
#include "screens/f_cmd_if.h"

namespace vdmq {

namespace {

constexpr int kScrollTops[4] = {60, 88, 124, 152};
TfmCmdSel* openCmdSel = nullptr;

constexpr TScreenColumn kColumnBar[TfmCmdSel::kColumns] = {
    {"btnName", "司令官名", 180, 162, "bc162_20_l"}, {"btnFleet", "艦隊", 342, 30, "bc30_20_m"},
    {"btnLev", "LV", 372, 30, "bc30_20_m"},          {"btnAtk", "攻撃", 402, 30, "bc30_20_m"},
    {"btnDef", "防御", 432, 30, "bc30_20_m"},        {"btnJudge", "判断", 462, 30, "bc30_20_m"},
    {"btnMind", "精神", 492, 30, "bc30_20_m"},       {"btnFatigue", "疲労", 522, 30, "bc30_20_r"},
};

// The value of a commander under a numeric sort key (2..7, and 1 the fleet he leads).
int SortValue(int cmd, int key) {
  switch (key) {
    case 1: return GetCmdUnderFleet(cmd);
    case 2: return GetCmdLev(cmd);
    case 3: return GetCmdAtk(cmd);
    case 4: return GetCmdDef(cmd);
    case 5: return GetCmdDirect(cmd);
    case 6: return GetCmdMind(cmd);
    default: return GetCmdFatigue(cmd);
  }
}

}  // namespace

TfmCmdSel::TfmCmdSel(TComponent* owner) : TCHF_Form(owner) {
  SetUpScreenForm(this, "fmCmdSel", SJS("司令官選択"), 616, 252);
  imgBG = MakeScreenBackground(this, QoBG, 616, 252);

  MakeColumnButtons(this, 32, kColumnBar, kColumns, btnColumn, [this](TComponent* s) { btnNameClick(s); });
  List.Create(
      this, 180, 60, 12, 552, kScrollTops, [this] { ShowList(); }, "lbCmdName");
  for (TLabel* line : List.lbList) line->OnClick = [this](TComponent* s) { lbCmdName0Click(s); };

  imgCmd = MakeScreenPicture(this, &plCmd, "plCmd", "imgCmd", QoCmd, 20, 52, 138, 138);

  btnCmdInfo = MakeScreenButton(this, "btnCmdInfo", 348, 216, 86, 28, SJS("詳細"), "bc86_28_2");
  btnOk = MakeScreenButton(this, "btnOk", 434, 216, 86, 28, SJS("決定"), "bc86_28_2");
  btnBack = MakeScreenButton(this, "btnBack", 520, 216, 86, 28, SJS("戻る"), "bc86_28_2");
  btnCmdInfo->OnClick = [this](TComponent* s) { btnCmdInfoClick(s); };
  btnOk->OnClick = [this](TComponent* s) { btnOkClick(s); };
  btnBack->OnClick = [this](TComponent* s) { btnBackClick(s); };
  OnShow = [this](TComponent* s) { FormShow(s); };
}

TfmCmdSel::~TfmCmdSel() {
  BeginDestroy();
  DestroyComponents();
}

bool TfmCmdSel::CanChoose(int cmd) const {
  if (cmd < 0 || cmd >= kCmdCount || !IsCmdBelong(cmd)) return false;
  if (Mode == 1) return true;
  const int country = GetCmdBelong(cmd);
  const int fleet = GetCmdUnderFleet(cmd);
  return country == GetPlayerCountry() && (fleet == -1 || GetFleetPlanet(country, fleet) >= 0);
}

void TfmCmdSel::BuildList() {
  List.Clear();
  for (int cmd = 0; cmd < kCmdCount; ++cmd)
    if (GetCmdBelong(cmd) == Country) List.Append(cmd);
  const int key = SortKey;
  List.SortByKey(
      [key](int a, int b) {
        if (key == 0) return std::string_view(GetCmdName(a)).compare(GetCmdName(b));
        const int va = SortValue(a, key), vb = SortValue(b, key);
        return (va > vb) - (va < vb);
      },
      Descending);
}

void TfmCmdSel::ShowList() {
  List.Show(
      [](int cmd) {
        const int fleet = GetCmdUnderFleet(cmd);
        const std::string led = fleet != -1 ? std::to_string(fleet + 1) : "--";
        return Format("%-26s   %2s   %2d  %3d  %3d  %3d  %3d  %3d", GetCmdName(cmd), led.c_str(), GetCmdLev(cmd),
                      GetCmdAtk(cmd), GetCmdDef(cmd), GetCmdDirect(cmd), GetCmdMind(cmd), GetCmdFatiguePercent(cmd));
      },
      [this](int cmd) {
        if (cmd == Cmd) return kLineChosen;
        return CanChoose(cmd) ? kLineChoosable : kLineGrey;
      });
}

void TfmCmdSel::ShowPortrait() {
  DrawBmpPackById(&QoCmd, 0, 0, kFileKindCommanderSelectorNoPortrait, 0);
  if (Cmd != -1) DrawBmpPackById(&QoCmd, 0, 0, kFileKindCommanderPortrait, GetCmdCg(Cmd));
  QoCmd.Change();
}

void TfmCmdSel::ShowButtons() {
  btnCmdInfo->SetEnabled(Cmd != -1);
  btnOk->SetEnabled(Cmd != -1 && Mode == 0);
}

void TfmCmdSel::FormShow(TComponent*) { DrawScreenBackground(QoBG, kFileKindCommanderSelectorBackground); }

void TfmCmdSel::lbCmdName0Click(TComponent* sender) {
  const int cmd = List.EntryOfSender(sender);
  if (cmd >= 0 && CanChoose(cmd)) Cmd = cmd;
  ShowList();
  ShowPortrait();
  ShowButtons();
}

void TfmCmdSel::btnNameClick(TComponent* sender) {
  if (sender == nullptr) return;
  Descending = !Descending;
  SortKey = static_cast<int>(sender->Tag) - 1;
  BuildList();
  ShowList();
}

void TfmCmdSel::btnCmdInfoClick(TComponent*) { ShowCmdInfo(Cmd); }

void TfmCmdSel::btnOkClick(TComponent*) { ModalResult = mrOk; }

void TfmCmdSel::btnBackClick(TComponent*) {
  Cmd = -1;
  ModalResult = mrCancel;
}

int ShowCmdSel(int mode, int country, int cmd) {
  if (openCmdSel != nullptr) return -1;
  TOpenScreen<TfmCmdSel> screen(openCmdSel);
  screen->Mode = mode;
  screen->Country = country;
  screen->SortKey = 1;
  screen->Descending = false;
  screen->Cmd = -1;
  screen->BuildList();
  if (cmd == -1) {
    for (int i = 0; i < screen->List.Count && cmd == -1; ++i) {
      const int candidate = screen->List.Places[static_cast<size_t>(i)];
      if (screen->CanChoose(candidate)) cmd = candidate;
    }
  }
  if (screen->CanChoose(cmd)) screen->Cmd = cmd;
  screen->ShowButtons();
  screen->ShowPortrait();
  screen->ShowList();
  if (screen->ShowModal() != mrOk) return -1;
  return screen->Cmd;
}

}  // namespace vdmq
