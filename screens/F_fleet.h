#pragma once
// The fleet screen: one fleet of one country with its commander and his values, its three ship
// slots and a picture of the chosen slot's ship. For the player's own fleets it commissions ships
// from the docks, returns ships to a dock, appoints or dismisses the commander and starts a move.

#include "formkit/CHFFORMU.h"
#include "qolib/graphics/QoTDib.h"

namespace vdmq {

class TCHBcBitBtn;
class TCHBcSpeedButton;
class TImage;
class TLabel;
class TPanel;

class TfmFleet : public TCHF_Form {
 public:
  explicit TfmFleet(TComponent* owner);
  ~TfmFleet() override;
  const char* ClassName() const override { return "TfmFleet"; }

  static constexpr int kSlots = 3;

  // --- published components ---
  TImage* imgBG = nullptr;
  TQoTrueDib QoBG{nullptr, 518, 440};
  TLabel *lbCoName = nullptr, *lbFlName = nullptr, *Label1 = nullptr, *lbCmdName = nullptr;
  TCHBcBitBtn *btnCmdChg = nullptr, *btnCmdFree = nullptr, *btnCmdInfo = nullptr;
  TLabel* lbProfile[5] = {};  // lbProfile6 ... lbProfile10
  TCHBcSpeedButton* spbtnFo[kSlots] = {};
  TLabel* lbFoShipName[kSlots] = {};
  TLabel* lbFoShipCnt[kSlots] = {};
  TPanel* plShip = nullptr;
  TImage* imgShip = nullptr;
  TQoTrueDib QoShip{nullptr, 256, 160};
  TCHBcBitBtn *btnSetShip = nullptr, *btnDelShip = nullptr, *btnInfoShip = nullptr;
  TCHBcBitBtn *btnMove = nullptr, *btnClose = nullptr;

  // --- state ---
  int Country = -1;
  int Fleet = -1;
  int Slot = 0;  // the chosen ship slot

  // True when the player may change the fleet's ships and commander here: his own fleet standing
  // on a planet or not in play (no ships or no commander).
  bool Reorganisable() const;
  // Shows the commander, the names, the slots and the chosen slot's ship, with the buttons' states.
  void Refresh();

  // --- handlers ---
  void FormShow(TComponent* sender);
  void spbtnFo0Click(TComponent* sender);
  void btnSetShipClick(TComponent* sender);
  void btnDelShipClick(TComponent* sender);
  void btnInfoShipClick(TComponent* sender);
  void btnCmdChgClick(TComponent* sender);
  void btnCmdFreeClick(TComponent* sender);
  void btnCmdInfoClick(TComponent* sender);
  void btnMoveClick(TComponent* sender);
  void btnCloseClick(TComponent* sender);

 private:
  void ShowCommander(int cmd);
  void ShowSlot(int slot);
};

// The fleet screen of a country's fleet, modal, with slot 0 chosen; returns at once while it is open.
void ShowFleetForm(int country, int fleet);

}  // namespace vdmq
