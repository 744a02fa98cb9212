#pragma once
// The save/load screen: the fifteen save slots, of which the player picks one to save into or load
// from, or starts a new game. It only answers the choice; the caller saves or loads.

#include "formkit/CHFFORMU.h"
#include "qolib/graphics/QoTDib.h"

namespace vdmq {

class TCHBcBitBtn;
class TImage;
class TLabel;

class TfmSave : public TCHF_Form {
 public:
  explicit TfmSave(TComponent* owner);
  ~TfmSave() override;
  const char* ClassName() const override { return "TfmSave"; }

  // --- published components, in the order of the layout ---
  TImage* imgBg = nullptr;
  TQoTrueDib QoBG{nullptr, 364, 400};
  TLabel* lbDat[15] = {};
  TCHBcBitBtn* btnNewGame = nullptr;
  TCHBcBitBtn* btnOk = nullptr;
  TCHBcBitBtn* btnBack = nullptr;

  // --- state ---
  bool SaveMode = false;
  int Chosen = -1;
  bool NewGame = false;

  // Writes slot i's line (its text and colour).
  void DrawLine(int slot);

  // --- handlers ---
  void FormCreate(TComponent* sender);
  void FormCloseQuery(TComponent* sender, bool& canClose);
  void lbDat0Click(TComponent* sender);
  void btnOkClick(TComponent* sender);
  void btnBackClick(TComponent* sender);
  void btnNewGameClick(TComponent* sender);
};

// The save/load screen, modal: a slot 0..14, -2 for a new game, -1 for cancel, and -1 at once while
// the screen is already open. Without a way back the screen cannot be closed without a choice.
int ShowSaveLoad(bool saveMode, bool wayBack);

}  // namespace vdmq
