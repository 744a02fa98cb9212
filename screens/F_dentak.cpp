#include "screens/F_dentak.h"

#include <algorithm>

#include "campaign/Country.h"
#include "campaign/FileKinds.h"
#include "campaign/Stdfunc.h"
#include "formkit/Chbcbtn.h"
#include "platform/base/Sjis.h"
#include "platform/core/Application.h"
#include "platform/core/StdCtrls.h"
#include "screens/ScreenList.h"

namespace vdmq {

namespace {

TfmDentaku* openKeypad = nullptr;

std::int64_t PlayerFunds() { return GetCountryFund(GetPlayerCountry()); }

}  // namespace

TfmDentaku::TfmDentaku(TComponent* owner) : TCHF_Form(owner) {
  SetUpScreenForm(this, "fmDentaku", SJS("数値入力"), 296, 164);
  imgBG = MakeScreenBackground(this, QoBG, 296, 164);

  lbDentaku = MakeScreenLabel(this, "lbDentaku", 60, 16, "0");
  Label1 = MakeScreenLabel(this, "Label1", 128, 16, SJS("所持資金"));
  lbCoFund = MakeScreenLabel(this, "lbCoFund", 228, 16, "");
  lbBuyStr = MakeScreenLabel(this, "lbBuyStr", 128, 32, "");
  lbBuyFund = MakeScreenLabel(this, "lbBuyFund", 228, 32, "");
  lbSellStr = MakeScreenLabel(this, "lbSellStr", 128, 48, "");
  lbSellFund = MakeScreenLabel(this, "lbSellFund", 228, 48, "");
  Label2 = MakeScreenLabel(this, "Label2", 132, 100, SJS("残金"));
  lbTotalFund = MakeScreenLabel(this, "lbTotalFund", 228, 100, "");

  // Digits 7 8 9 / 4 5 6 / 1 2 3 in rows from y 36, then 0 at the bottom left.
  for (int digit = 0; digit <= 9; ++digit) {
    const int left = digit == 0 ? 12 : 12 + 32 * ((digit - 1) % 3);
    const int top = digit == 0 ? 132 : 100 - 32 * ((digit - 1) / 3);
    TCHBcBitBtn* b = MakeScreenButton(this, "btnDentaku" + std::to_string(digit), left, top, 28, 28,
                                      std::to_string(digit), "bc28_28");
    b->Tag = digit + 1;
    b->OnClick = [this](TComponent* s) { btnDentaku0Click(s); };
    btnDentaku[digit] = b;
  }
  btnDentakuCE = MakeScreenButton(this, "btnDentakuCE", 44, 132, 28, 28, "CE", "bc28_28");
  btnDentakuMAX = MakeScreenButton(this, "btnDentakuMAX", 76, 132, 28, 28, "MAX", "bc28_28");
  btnOk = MakeScreenButton(this, "btnOk", 118, 132, 86, 28, SJS("決定"), "bc86_28_2");
  btnBack = MakeScreenButton(this, "btnBack", 204, 132, 86, 28, SJS("戻る"), "bc86_28_2");

  btnDentakuCE->OnClick = [this](TComponent* s) { btnDentakuCEClick(s); };
  btnDentakuMAX->OnClick = [this](TComponent* s) { btnDentakuMAXClick(s); };
  btnOk->OnClick = [this](TComponent* s) { btnOkClick(s); };
  btnBack->OnClick = [this](TComponent* s) { btnBackClick(s); };
  OnShow = [this](TComponent* s) { FormShow(s); };

  DrawScreenBackground(QoBG, kFileKindKeypadBackground);
}

TfmDentaku::~TfmDentaku() {
  BeginDestroy();
  DestroyComponents();
}

std::int64_t TfmDentaku::FundsLeft() const {
  const std::int64_t funds = PlayerFunds();
  if (Mode == 1) return funds - std::int64_t{UnitPrice} * Value + BaseAmount;
  return funds - UnitPrice + std::int64_t{BaseAmount} * Value;
}

void TfmDentaku::Display() {
  lbDentaku->SetCaption(std::to_string(Value));
  lbCoFund->SetCaption(std::to_string(PlayerFunds()));
  lbBuyStr->SetCaption(BuyStr);
  if (BuyStr.empty())
    lbBuyFund->SetCaption("");
  else
    lbBuyFund->SetCaption(std::to_string(LimitFund(Mode == 1 ? std::int64_t{UnitPrice} * Value : UnitPrice)));
  lbSellStr->SetCaption(SellStr);
  if (SellStr.empty())
    lbSellFund->SetCaption("");
  else
    lbSellFund->SetCaption(std::to_string(LimitFund(Mode == 1 ? BaseAmount : std::int64_t{BaseAmount} * Value)));
  const std::int64_t left = FundsLeft();
  lbTotalFund->SetCaption(std::to_string(LimitFund(left)));
  btnOk->SetEnabled(left >= 0);
}

void TfmDentaku::FormShow(TComponent*) { Display(); }

void TfmDentaku::btnDentaku0Click(TComponent* sender) {
  const int digit = sender != nullptr ? sender->Tag - 1 : 0;
  const std::int64_t next = std::int64_t{Value} * 10 + digit;
  Value = static_cast<int>(std::clamp<std::int64_t>(next, 0, Max));
  Display();
}

void TfmDentaku::btnDentakuCEClick(TComponent*) {
  Value = 0;
  Display();
}

void TfmDentaku::btnDentakuMAXClick(TComponent*) {
  std::int64_t value = Max;
  if (Mode == 1 && UnitPrice != 0) value = (PlayerFunds() + BaseAmount) / UnitPrice;
  Value = static_cast<int>(std::clamp<std::int64_t>(value, 0, Max));
  Display();
}

void TfmDentaku::btnOkClick(TComponent*) { ModalResult = mrOk; }

void TfmDentaku::btnBackClick(TComponent*) {
  Value = -1;
  ModalResult = mrCancel;
}

void TfmDentaku::Setup(int initial, int max, int unitPrice, int baseAmount, unsigned char mode,
                       const std::string& buyStr, const std::string& sellStr) {
  Max = std::clamp(max, 0, kMaxValue);
  Value = std::clamp(initial, 0, Max);
  UnitPrice = unitPrice;
  BaseAmount = baseAmount;
  Mode = mode;
  BuyStr = buyStr;
  SellStr = sellStr;
}

int InputDentaku(int initial, int max, int unitPrice, int baseAmount, unsigned char mode, const std::string& buyStr,
                 const std::string& sellStr) {
  if (openKeypad != nullptr) return 0;
  TOpenScreen<TfmDentaku> keypad(openKeypad);
  keypad->Setup(initial, max, unitPrice, baseAmount, mode, buyStr, sellStr);
  return keypad->ShowModal() == mrOk ? keypad->Value : -1;
}

}  // namespace vdmq
