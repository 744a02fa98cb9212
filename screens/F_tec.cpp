#include "screens/F_tec.h"

#include <algorithm>

#include "campaign/Country.h"
#include "campaign/FileKinds.h"
#include "campaign/GameHost.h"
#include "campaign/Stdfunc.h"
#include "campaign/Tec.h"
#include "formkit/Chbcbtn.h"
#include "platform/base/Sjis.h"
#include "platform/core/StdCtrls.h"
#include "screens/F_dentak.h"
#include "screens/ScreenList.h"

namespace vdmq {

namespace {

TfmTec* openTec = nullptr;

}  // namespace

TfmTec::TfmTec(TComponent* owner) : TCHF_Form(owner) {
  SetUpScreenForm(this, "fmTec", SJS("技術開発"), 400, 220);
  imgBG = MakeScreenBackground(this, QoBG, 400, 220);

  for (int t = 0; t < 5; ++t) {
    TCHBcSpeedButton* b = MakeScreenSpeedButton(this, "spbtnTec" + std::to_string(t), 16, 16 + 28 * t, 86, 28,
                                                NameOrEmpty(GetTecName(t)), "bc86_28_2");
    b->SetGroupIndex(1);
    b->Tag = t + 1;
    b->OnClick = [this](TComponent* s) { spbtnTec0Click(s); };
    spbtnTec[t] = b;
  }
  lbTxtTecInfo = MakeScreenLabel(this, "lbTxtTecInfo", 148, 40, SJS("開発状況"));
  for (int i = 0; i < 5; ++i) {
    lbNote[i] = MakeScreenLabel(this, "lbNote" + std::to_string(i), 140, 64 + 16 * i, "");
    lbNote[i]->Tag = 6 + i;
  }
  CHBcBitBtn1 = MakeScreenButton(this, "CHBcBitBtn1", 216, 184, 86, 28, SJS("投資"), "bc86_28_2");
  btnClose = MakeScreenButton(this, "btnClose", 302, 184, 86, 28, SJS("閉じる"), "bc86_28_2");
  CHBcBitBtn1->OnClick = [this](TComponent* s) { CHBcBitBtn1Click(s); };
  btnClose->OnClick = [this](TComponent* s) { btnCloseClick(s); };
  OnShow = [this](TComponent* s) { FormShow(s); };
}

TfmTec::~TfmTec() {
  BeginDestroy();
  DestroyComponents();
}

void TfmTec::Display() {
  for (TLabel* note : lbNote) note->SetCaption("");
  const int level = GetTecLev(Tec);
  lbNote[0]->SetCaption(Format(SJS("現在のレベル　　　　　　　　　　　%2d").c_str(), level));
  if (level >= GetTecMaxLev(Tec)) {
    lbNote[1]->SetCaption(SJS("最大レベルに達しました"));
    return;
  }
  const int invested = GetTecInvestFund(Tec);
  lbNote[1]->SetCaption(Format(SJS("現在のレベルに投資した金額　　%6d").c_str(), invested));
  lbNote[2]->SetCaption(
      Format(SJS("次ぎのレベルに必要な投資金額　%6d").c_str(), GetTecLevUpFund(Tec, level) - invested));
}

void TfmTec::FormShow(TComponent*) {
  DrawScreenBackground(QoBG, kFileKindTechnologyBackground);
  Display();
}

void TfmTec::spbtnTec0Click(TComponent* sender) {
  if (sender == nullptr) return;
  Tec = std::clamp(sender->Tag - 1, 0, 4);
  Display();
}

void TfmTec::CHBcBitBtn1Click(TComponent*) {
  const int need = GetTecFundToMax(Tec);
  if (need < 1) {
    GameHost().SysMes(SJS("既に最大レベルに達しています。"), SJS("報告"), 0);
    return;
  }
  const int player = GetPlayerCountry();
  const int amount = InputDentaku(0, std::min(need, GetCountryFund(player)), 1, 0, 1, SJS("投資資金"), "");
  if (amount <= 0) return;
  InvestTec(Tec, amount);
  AddCountryFund(player, -std::int64_t{amount});
  Display();
}

void TfmTec::btnCloseClick(TComponent*) { ModalResult = mrCancel; }

void ShowTecWindow() {
  if (openTec != nullptr) return;
  TOpenScreen<TfmTec> screen(openTec);
  screen->Tec = 0;
  screen->spbtnTec[0]->SetDown(true);
  screen->ShowModal();
}

}  // namespace vdmq
