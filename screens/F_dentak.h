#pragma once
// The numeric keypad: the player keys in an amount (to buy, invest or sell) and sees what it costs
// and what is left of the funds.

#include <cstdint>
#include <string>

#include "formkit/CHFFORMU.h"
#include "qolib/graphics/QoTDib.h"

namespace vdmq {

class TCHBcBitBtn;
class TImage;
class TLabel;

class TfmDentaku : public TCHF_Form {
 public:
  explicit TfmDentaku(TComponent* owner);
  ~TfmDentaku() override;
  const char* ClassName() const override { return "TfmDentaku"; }

  static constexpr int kMaxValue = 999999;

  // --- published components ---
  TImage* imgBG = nullptr;
  TQoTrueDib QoBG{nullptr, 296, 164};
  TLabel *lbDentaku = nullptr, *Label1 = nullptr, *lbCoFund = nullptr, *lbBuyStr = nullptr, *lbBuyFund = nullptr,
         *lbSellStr = nullptr, *lbSellFund = nullptr, *Label2 = nullptr, *lbTotalFund = nullptr;
  TCHBcBitBtn* btnDentaku[10] = {};
  TCHBcBitBtn *btnDentakuCE = nullptr, *btnDentakuMAX = nullptr, *btnOk = nullptr, *btnBack = nullptr;

  // --- state ---
  int Max = 0;
  int Value = 0;
  int UnitPrice = 0;
  int BaseAmount = 0;
  unsigned char Mode = 1;  // 1 buys the value at the unit price; any other sells it at the base amount
  std::string BuyStr, SellStr;

  // The state of an opening: the maximum within 0..999999, the value within 0..maximum.
  void Setup(int initial, int max, int unitPrice, int baseAmount, unsigned char mode, const std::string& buyStr,
             const std::string& sellStr);
  // The funds left after the deal, unclamped.
  std::int64_t FundsLeft() const;
  // Writes the value, the amounts and the state of "決定".
  void Display();

  // --- handlers ---
  void FormShow(TComponent* sender);
  void btnDentaku0Click(TComponent* sender);
  void btnDentakuCEClick(TComponent* sender);
  void btnDentakuMAXClick(TComponent* sender);
  void btnOkClick(TComponent* sender);
  void btnBackClick(TComponent* sender);
};

// The keypad, modal: the value keyed in after "決定", -1 after "戻る" (or any other close), and 0 at
// once while the keypad is already open. The maximum is at most 999999 and at least 0; the value
// starts at the initial value within 0..maximum.
int InputDentaku(int initial, int max, int unitPrice, int baseAmount, unsigned char mode, const std::string& buyStr,
                 const std::string& sellStr);

}  // namespace vdmq
