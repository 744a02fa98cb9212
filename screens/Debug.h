#pragma once
// The debug window: a developer's tool created at start with the other resident windows and never
// shown on a player's path. It holds the six debug switches the campaign, the battle and the
// screens read through the host, a page to set a country's relation to the player and its funds,
// the battle test settings (a chance to win instead of the fight, one hull picture for every
// battle ship) and the button that shows or hides the map editor's tools.

#include <array>
#include <string>

#include "platform/core/DevCtrls.h"

namespace vdmq {

constexpr int kDebugSwCount = 6;

class TfmDebug : public TForm {
 public:
  explicit TfmDebug(TComponent* owner);
  ~TfmDebug() override;
  const char* ClassName() const override { return "TfmDebug"; }

  // --- published components, in the order of the layout ---
  TPageControl* PageControl1 = nullptr;
  TTabSheet *TabSheet1 = nullptr, *TabSheet2 = nullptr, *TabSheet3 = nullptr, *TabSheet4 = nullptr,
            *TabSheet5 = nullptr;
  TListBox* lboxDebug = nullptr;
  TListBox* lboxDebugSw = nullptr;
  TComboBox* cboxCountry = nullptr;
  TRadioGroup* rgrpRelation = nullptr;
  TButton* Button1 = nullptr;
  TEdit* edCoFund = nullptr;
  TButton* btnCoFund = nullptr;
  TButton* Button2 = nullptr;
  TComboBox* ComboBox1 = nullptr;
  TButton* Button3 = nullptr;
  TCheckBox* chkbBtBG = nullptr;
  TEdit* edBtBG = nullptr;
  TUpDown* udBtBG = nullptr;
  TCheckBox* chkbBtRand = nullptr;
  TEdit* edBtRand = nullptr;
  TUpDown* udBtRand = nullptr;
  TCheckBox* chkbBtShipCG = nullptr;
  TEdit* edBtShipCG = nullptr;
  TUpDown* udBtShipCG = nullptr;
  TButton* Button4 = nullptr;

  // The switches: names (CP932) and flags, all off when the window is made.
  struct TDebugSw {
    std::string name;
    bool on = false;
  };
  std::array<TDebugSw, kDebugSwCount> Switches;
  // The country behind each line of cboxCountry (-1 where there is no line).
  std::array<int, 14> CountryIndex{};

  // Switch n's flag; false outside 0..5.
  bool Switch(int n) const;
  // Fills lboxDebugSw with one line per switch: "[ON ]" or "[OFF]" and the name.
  void DispSwitches();
  // Shows the relation of the player's country to country k and k's funds.
  void DispCountry(int k);
  // The country of cboxCountry's line (-1 when none is chosen).
  int ChosenCountry() const;

  // --- handlers ---
  void FormShow(TComponent* sender);
  void lboxDebugSwClick(TComponent* sender);
  void TabSheet3Show(TComponent* sender);
  void cboxCountryChange(TComponent* sender);
  void Button1Click(TComponent* sender);
  void btnCoFundClick(TComponent* sender);
  void Button2Click(TComponent* sender);
  void Button3Click(TComponent* sender);
  void chkbBtBGClick(TComponent* sender);
  void chkbBtRandClick(TComponent* sender);
  void chkbBtShipCGClick(TComponent* sender);
  void Button4Click(TComponent* sender);
};

// The debug window (null before it is created and after it is freed).
extern TfmDebug* fmDebug;

// What the host answers for the debug window (all of it "off" while the window does not exist):
// switch n's flag, false outside 0..5;
bool GetDebugSw(int n);
// the battle's chance to be won by the player in percent, -1 while "勝利確立" is unchecked (a text
// that is not a whole number, and a negative one, count as 0);
int GetDebugBattleChance();
// the hull picture of every battle ship, -1 while "戦闘ＣＧ" is unchecked or its text is not a whole
// number.
int GetDebugShipCg();
// The debug message sink: the message is dropped.
void DebugMes(const std::string& text);

}  // namespace vdmq
