#pragma once
// The commander selector: the commanders of a country, one line each with the fleet he leads and his
// values, sortable by every column, with his portrait. It picks a commander to lead a fleet (mode 0,
// only the player's commanders who are free or whose fleet stands on a planet) or just shows them
// (mode 1).

#include "formkit/CHFFORMU.h"
#include "qolib/graphics/QoTDib.h"
#include "screens/ScreenList.h"

namespace vdmq {

class TCHBcBitBtn;
class TImage;
class TLabel;
class TPanel;

class TfmCmdSel : public TCHF_Form {
 public:
  explicit TfmCmdSel(TComponent* owner);
  ~TfmCmdSel() override;
  const char* ClassName() const override { return "TfmCmdSel"; }

  static constexpr int kPlaces = 120;
  static constexpr int kColumns = 8;

  // --- published components ---
  TImage* imgBG = nullptr;
  TQoTrueDib QoBG{nullptr, 616, 252};
  TPanel* plCmd = nullptr;
  TImage* imgCmd = nullptr;
  TQoTrueDib QoCmd{nullptr, 138, 138};
  TScreenList List{kPlaces};  // lines lbCmdName0..9 (Tag 1..10), entries commander numbers
  // btnName, btnFleet, btnLev, btnAtk, btnDef, btnJudge, btnMind, btnFatigue (Tag 1..8)
  TCHBcBitBtn* btnColumn[kColumns] = {};
  TCHBcBitBtn *btnCmdInfo = nullptr, *btnOk = nullptr, *btnBack = nullptr;

  // --- state ---
  int Mode = 0;  // 0 appoint, 1 view
  int Country = -1;
  int Cmd = -1;     // the choice
  int SortKey = 1;  // 0 name, 1 led fleet, 2 level, 3 attack, 4 defence, 5 judgement, 6 spirit, 7 fatigue
  bool Descending = false;

  // True when the commander may be chosen in this mode.
  bool CanChoose(int cmd) const;
  // Lists the country's commanders, sorted.
  void BuildList();
  // Writes the lines.
  void ShowList();
  // Draws the portrait of the choice.
  void ShowPortrait();
  // Enables "詳細" and "決定" for the choice.
  void ShowButtons();

  // --- handlers ---
  void FormShow(TComponent* sender);
  void lbCmdName0Click(TComponent* sender);
  void btnNameClick(TComponent* sender);
  void btnCmdInfoClick(TComponent* sender);
  void btnOkClick(TComponent* sender);
  void btnBackClick(TComponent* sender);
};

// The commander selector (mode 0 appoint, 1 view) of a country with an initial commander (-1 the
// first that may be chosen); the commander chosen with "決定", else -1 (also at once while it is open).
int ShowCmdSel(int mode, int country, int cmd);

}  // namespace vdmq
