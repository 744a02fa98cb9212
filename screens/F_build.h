#pragma once
// The ship designer: one ship record part by part with the values of each part. In its design
// modes the player chooses a hull, two weapons, an engine and a shield through the parts selector,
// with an optional automatic choice of the other parts once a hull is chosen.

#include "campaign/Ship.h"
#include "formkit/CHFFORMU.h"
#include "qolib/graphics/QoTDib.h"

namespace vdmq {

class TCHBcBitBtn;
class TImage;
class TLabel;
class TPanel;

class TfmBuild : public TCHF_Form {
 public:
  explicit TfmBuild(TComponent* owner);
  ~TfmBuild() override;
  const char* ClassName() const override { return "TfmBuild"; }

  // --- published components ---
  TImage* imgBG = nullptr;
  TQoTrueDib QoBG{nullptr, 600, 500};
  TPanel* plFrame = nullptr;
  TImage* imgFrame = nullptr;
  TQoTrueDib QoFrame{nullptr, 256, 160};
  // By slot kind: hull, first weapon, second weapon, engine, shield.
  TCHBcBitBtn* btnChoose[kPartsKindCount] = {};  // btnFrame, btnMainWeapon, btnSubWeapon, btnEngine, btnShield
  TCHBcBitBtn* btnDel[kPartsKindCount] = {};     // btnDelFrame ... btnDelShield
  TLabel* lbName[kPartsKindCount] = {};          // lbFrame ... lbShield
  TLabel* Label[26] = {};                        // Label1 ... Label25 (0 unused)
  TCHBcBitBtn *btnOk = nullptr, *btnClose = nullptr;

  // --- state ---
  int Mode = 0;  // 0 information, 1 ship design, 2 satellite design
  TShipData Design{};
  int Planet = -1, Dock = -1;

  bool DesignMode() const { return Mode == 1 || Mode == 2; }
  // The dearest part of a kind that may be chosen in this mode and fits the hull class (the later
  // index on equal prices), or -1.
  int AutoSelectPart(int hullClass, int kind) const;
  // Shows the design: totals, every slot's texts, the buttons' states and the hull's picture.
  void DispDesign();

  // --- handlers ---
  void FormShow(TComponent* sender);
  void btnFrameClick(TComponent* sender);
  void btnMainWeaponClick(TComponent*) { ChoosePart(kPartsWeapon1); }
  void btnSubWeaponClick(TComponent*) { ChoosePart(kPartsWeapon2); }
  void btnEngineClick(TComponent*) { ChoosePart(kPartsEngine); }
  void btnShieldClick(TComponent*) { ChoosePart(kPartsShield); }
  void btnDelFrameClick(TComponent*) { DeletePart(kPartsFrame); }
  void btnDelMainWeaponClick(TComponent*) { DeletePart(kPartsWeapon1); }
  void btnDelSubWeaponClick(TComponent*) { DeletePart(kPartsWeapon2); }
  void btnDelShieldClick(TComponent*) { DeletePart(kPartsShield); }
  void btnDelEngineClick(TComponent*) { DeletePart(kPartsEngine); }
  void btnOkClick(TComponent* sender);
  void btnCloseClick(TComponent* sender);

 private:
  // A slot's part through the parts selector, or emptied.
  void ChoosePart(int kind);
  void DeletePart(int kind);
  void ShowSlot(int kind);
};

// The designer, modal. out receives the working design when it closes with "決定", else an empty
// record; while the designer is open, a copy of ship at once. In the design modes (1, 2) ship is
// emptied first. planet and dock (-1 none) name the dock that would build the ship.
void ShowBuildForm(int mode, TShipData* ship, int planet, TShipData* out, int dock);

}  // namespace vdmq
