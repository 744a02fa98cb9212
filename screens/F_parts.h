#pragma once
// The parts selector: the parts of one slot kind that the player may fit, dearest first, with the
// chosen part's price, build work, required technology levels, the hull classes it fits and its
// own values. The ship designer opens it for each slot.

#include "formkit/CHFFORMU.h"
#include "qolib/graphics/QoTDib.h"
#include "screens/ScreenList.h"

namespace vdmq {

class TCHBcBitBtn;
class TImage;
class TLabel;

class TfmParts : public TCHF_Form {
 public:
  explicit TfmParts(TComponent* owner);
  ~TfmParts() override;
  const char* ClassName() const override { return "TfmParts"; }

  static constexpr int kPlaces = 60;
  static constexpr int kDetailLines = 12;

  // --- published components ---
  TImage* imgBG = nullptr;
  TQoTrueDib QoBG{nullptr, 460, 340};
  TScreenList List{kPlaces};
  TLabel *lbTxtPartsDat = nullptr, *lbTxtPartsDat2 = nullptr;
  // lbNote0, lbNote3 … lbNote13 in that order.
  TLabel* lbNote[kDetailLines] = {};
  TCHBcBitBtn *btnOk = nullptr, *btnBack = nullptr;

  // --- state ---
  int Mode = 1;       // the designer's: 0 information, 1 ship, 2 satellite
  int HullClass = 0;  // one class bit
  int Kind = 0;       // slot kind
  int Chosen = -1;
  bool Descending = true;
  int SortKey = 0;  // price

  // True when a part of the slot kind fits the hull class (hulls always fit).
  bool Fits(int part) const;
  // Lists the parts that may be chosen, sorted by price.
  void BuildList();
  // Writes the lines and the detail of the choice.
  void ShowList();
  void ShowDetail();

  // --- handlers ---
  void lbList0Click(TComponent* sender);
  void btnOkClick(TComponent* sender);
  void btnBackClick(TComponent* sender);
};

// True when a part of a kind is enabled for a designer mode (hulls: mode 1 no satellites, mode 2
// only satellites, mode 0 any), exists and is allowed by the technologies.
bool IsPartsSelectable(int mode, int kind, int part);

// The selector, modal: the part chosen with "決定", else -1 (also at once while it is open).
int SelectParts(int mode, int hullClass, int kind, int current);

}  // namespace vdmq
