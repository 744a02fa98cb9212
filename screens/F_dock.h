#pragma once
// The dock screen: every dock of a country, one line each with its planet, name, capacity and what
// it holds, sortable by planet name, capacity or state. It picks a finished ship (mode 0) or a free
// dock (mode 1) for the caller, or manages the docks (mode 2): order a ship, sell one, look at one.

#include "formkit/CHFFORMU.h"
#include "qolib/graphics/QoTDib.h"
#include "screens/ScreenList.h"

namespace vdmq {

class TCHBcBitBtn;
class TImage;
class TLabel;

class TfmDock : public TCHF_Form {
 public:
  explicit TfmDock(TComponent* owner);
  ~TfmDock() override;
  const char* ClassName() const override { return "TfmDock"; }

  static constexpr int kPlaces = 300;

  // --- published components ---
  TImage* imgBG = nullptr;
  TQoTrueDib QoBG{nullptr, 540, 240};
  TScreenList List{kPlaces};  // entries planet * 3 + dock
  TCHBcBitBtn *btnPla = nullptr, *btnAbt = nullptr, *btnState = nullptr;
  TCHBcBitBtn *btnZousen = nullptr, *btnStop = nullptr, *btnInfo = nullptr;
  TCHBcBitBtn *btnOk = nullptr, *btnClose = nullptr;

  // --- state ---
  int Country = -1;
  int Planet = -1, Dock = -1;  // the choice
  int Mode = 2;                // 0 pick a finished ship, 1 pick a free dock, 2 management
  bool Descending = true;
  int SortKey = 0;  // 0 planet name, 1 capacity, 2 state

  // True when the dock may be picked in this mode.
  bool CanPick(int planet, int dock) const;
  // Lists the country's docks, sorted.
  void BuildList();
  // Writes the lines and the action buttons' states.
  void ShowList();

  // --- handlers ---
  void FormShow(TComponent* sender);
  void lbList0Click(TComponent* sender);
  void btnNameClick(TComponent* sender);
  void btnZousenClick(TComponent* sender);
  void btnStopClick(TComponent* sender);
  void btnInfoClick(TComponent* sender);
  void btnOkClick(TComponent* sender);
  void btnCloseClick(TComponent* sender);
};

// The dock screen of a country in a mode, modal. planet and dock receive the choice after "決定",
// else -1 and -1 (also at once while the screen is open).
void ShowDockForm(int country, int mode, int* planet, int* dock);

}  // namespace vdmq
