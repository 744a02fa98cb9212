#pragma once
// The fleet selector: the ten fleets of a country as buttons, optionally only those standing at one
// planet. A fleet button opens the fleet screen; the selector closes itself when the player started
// a move or an attack there, so that the target can be clicked on the map. It is created once at
// start and shown again for each use.

#include "formkit/CHFFORMU.h"
#include "qolib/graphics/QoTDib.h"

namespace vdmq {

class TCHBcBitBtn;
class TImage;
class TLabel;

class TfmFleetSel : public TCHF_Form {
 public:
  explicit TfmFleetSel(TComponent* owner);
  ~TfmFleetSel() override;
  const char* ClassName() const override { return "TfmFleetSel"; }

  static constexpr int kButtons = 10;

  // --- published components ---
  TImage* imgBG = nullptr;
  TQoTrueDib QoBG{nullptr, 154, 470};
  TLabel *Label3 = nullptr, *lbBelong = nullptr, *Label5 = nullptr, *lbPlanet = nullptr, *Label2 = nullptr;
  TCHBcBitBtn* btnPla = nullptr;
  TCHBcBitBtn* btnFl[kButtons] = {};  // btnFl0..btnFl9, Tag 1..10
  TCHBcBitBtn* btnClose = nullptr;

  // --- state ---
  int Country = -1;
  int Planet = -1;  // the planet filter, -1 none
  int Fleet = -1;   // the chosen fleet

  // Writes the country, the planet and the fleet buttons.
  void Refresh();

  // --- handlers ---
  void FormShow(TComponent* sender);
  void btnFl0Click(TComponent* sender);
  void btnPlaClick(TComponent* sender);
  void btnCloseClick(TComponent* sender);
};

// The resident fleet selector (created at start after the battle window, freed by the application).
extern TfmFleetSel* fmFleetSel;

// The fleet selector of a country, every fleet listed; modal.
void ShowFleetSel(int country);
// The fleet selector of a planet's owner, only the fleets at that planet enabled; modal.
void ShowFleetSelByPlanet(int planet);

}  // namespace vdmq
