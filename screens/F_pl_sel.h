#pragma once
// The planet selector: the planets on the map (or one country's), one line each with the owner,
// capital mark, income, supply and stationed fleets, sortable by every column. It picks one of the
// player's planets (mode 0) or any planet (mode 1); the map view follows the highlighted one.

#include "formkit/CHFFORMU.h"
#include "qolib/graphics/QoTDib.h"
#include "screens/ScreenList.h"

namespace vdmq {

class TCHBcBitBtn;
class TImage;

class TfmPlaSel : public TCHF_Form {
 public:
  explicit TfmPlaSel(TComponent* owner);
  ~TfmPlaSel() override;
  const char* ClassName() const override { return "TfmPlaSel"; }

  static constexpr int kPlaces = 100;
  static constexpr int kColumns = 6;

  // --- published components ---
  TImage* imgBG = nullptr;
  TQoTrueDib QoBG{nullptr, 540, 240};
  TScreenList List{kPlaces};  // lines lbCmdName0..9 (Tag 0..9), entries planet numbers
  // btnName, btnBelong, btnCapital, btnFund, btnHokyuu, btnStayFleet (sort keys 0..5)
  TCHBcBitBtn* btnColumn[kColumns] = {};
  TCHBcBitBtn *btnOk = nullptr, *btnClose = nullptr;

  // --- state ---
  int Mode = 0;      // 0 own planets, 1 any planet
  int Country = -1;  // the filter, -1 every country
  int Planet = -1;   // the choice
  int SortKey = 1;   // 0 name, 1 owner, 2 capital of, 3 income, 4 supply, 5 stationed fleets
  bool Descending = true;

  // True when the planet may be chosen in this mode.
  bool CanChoose(int planet) const;
  // Lists the planets on the map (of the filter's country), sorted.
  void BuildList();
  // Writes the lines and "決定".
  void ShowList();

  // --- handlers ---
  void FormShow(TComponent* sender);
  void lbCmdName0Click(TComponent* sender);
  void btnNameClick(TComponent* sender);
  void btnOkClick(TComponent* sender);
  void btnCloseClick(TComponent* sender);
};

// The planet selector (mode 0 own planets, 1 any) with an initial planet and a country filter (-1
// all); the planet chosen with "決定", else -1 (also at once while it is open).
int ShowPlaSel(int mode, int planet, int country);

}  // namespace vdmq
