#pragma once
// The planet screen: one planet's name, owner, income and supply, and its five defence-satellite
// slots. When the planet belongs to the viewing country, the player buys a satellite designed in
// the ship designer or scraps one.

#include "formkit/CHFFORMU.h"
#include "qolib/graphics/QoTDib.h"

namespace vdmq {

class TCHBcBitBtn;
class TCHBcSpeedButton;
class TImage;
class TLabel;

class TfmPlanet : public TCHF_Form {
 public:
  explicit TfmPlanet(TComponent* owner);
  ~TfmPlanet() override;
  const char* ClassName() const override { return "TfmPlanet"; }

  static constexpr int kSlots = 5;

  // --- published components ---
  TImage* imgBG = nullptr;
  TQoTrueDib QoBG{nullptr, 600, 420};
  TLabel *lbPlaName = nullptr, *lbCoName = nullptr, *lbFund = nullptr, *lbHokyuu = nullptr;
  TCHBcBitBtn* btnInfo = nullptr;
  TCHBcSpeedButton* spbtnSt[kSlots] = {};
  TLabel* lbStShipName[kSlots] = {};
  TLabel* lbStShipCnt[kSlots] = {};
  TCHBcBitBtn *btnSetShip = nullptr, *btnDelShip = nullptr, *btnInfoShip = nullptr, *btnClose = nullptr;

  // --- state ---
  int Planet = -1;
  int Country = -1;  // the viewing country
  int Slot = 0;      // the chosen satellite slot

  // Shows the planet, its satellites and the buttons' states.
  void Refresh();

  // --- handlers ---
  void FormCreate(TComponent* sender);
  void FormShow(TComponent* sender);
  void spbtnSt0Click(TComponent* sender);
  void btnSetShipClick(TComponent* sender);
  void btnDelShipClick(TComponent* sender);
  void btnInfoShipClick(TComponent* sender);
  void btnInfoClick(TComponent* sender);
  void btnCloseClick(TComponent* sender);
};

// The planet screen of a planet for a viewing country, modal, with slot 0 chosen; returns at once
// while it is open.
void ShowPlanetWindow(int planet, int country);

}  // namespace vdmq
