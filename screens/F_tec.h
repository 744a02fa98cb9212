#pragma once
// The technology screen: the player picks one of the five technologies, sees its level and what
// the next level still needs, and invests funds in it through the numeric keypad.

#include "formkit/CHFFORMU.h"
#include "qolib/graphics/QoTDib.h"

namespace vdmq {

class TCHBcBitBtn;
class TCHBcSpeedButton;
class TImage;
class TLabel;

class TfmTec : public TCHF_Form {
 public:
  explicit TfmTec(TComponent* owner);
  ~TfmTec() override;
  const char* ClassName() const override { return "TfmTec"; }

  // --- published components ---
  TImage* imgBG = nullptr;
  TQoTrueDib QoBG{nullptr, 400, 220};
  TCHBcSpeedButton* spbtnTec[5] = {};
  TLabel* lbTxtTecInfo = nullptr;
  TLabel* lbNote[5] = {};
  TCHBcBitBtn *CHBcBitBtn1 = nullptr, *btnClose = nullptr;

  // --- state ---
  int Tec = 0;

  // Shows the chosen technology's level and investment.
  void Display();

  // --- handlers ---
  void FormShow(TComponent* sender);
  void spbtnTec0Click(TComponent* sender);
  void CHBcBitBtn1Click(TComponent* sender);
  void btnCloseClick(TComponent* sender);
};

// The technology screen, modal, with technology 0 chosen; returns at once while it is open.
void ShowTecWindow();

}  // namespace vdmq
