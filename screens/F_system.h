#pragma once
// The game's three options (map music, sound effects and voices, the question before a turn ends),
// kept for the run in a small table and between runs in the current user's registry, and the
// system menu that switches them and saves, loads and quits the game.

#include "formkit/CHFFORMU.h"
#include "qolib/graphics/QoTDib.h"

namespace vdmq {

class TCHBcBitBtn;
class TCHBcSpeedButton;
class TImage;
class TLabel;

// Option indices.
constexpr int kSysOptionBgm = 0;
constexpr int kSysOptionPcm = 1;
constexpr int kSysOptionTurnMes = 2;

// The option's value; 0 for an index outside 0..2. Every option is 1 at program start.
int GetSysOption(int index);
// Sets an option; an index outside 0..2 is ignored.
void SetSysOption(int index, int value);
// Mode 1 reads "BGM", "PCM" and "TURN_MES" from the registry into options 0, 1, 2 (a value that is
// missing or not an integer keeps the option as it is); mode 0 writes the three options.
void SysOptionReg(int mode);

// The system menu: an "ON" and an "OFF" button for each option (the music's stay disabled: its
// stored value is shown but not changed here), and save, load, quit and back.
class TfmSys : public TCHF_Form {
 public:
  explicit TfmSys(TComponent* owner);
  ~TfmSys() override;
  const char* ClassName() const override { return "TfmSys"; }

  // --- published components, in the order of the layout ---
  TImage* imgBg = nullptr;
  TQoTrueDib QoBG{nullptr, 400, 160};
  TLabel *lbBgmBk = nullptr, *lbBgm = nullptr, *lbPcmBk = nullptr, *lbPcm = nullptr, *lbTurnMesBk = nullptr,
         *lbTurnMes = nullptr;
  TCHBcSpeedButton *spbtnBgmOn = nullptr, *spbtnBgmOff = nullptr, *spbtnPcmOn = nullptr, *spbtnPcmOff = nullptr,
                   *spbtnTurnMesOn = nullptr, *spbtnTurnMesOff = nullptr;
  TCHBcBitBtn *btnSave = nullptr, *btnLoad = nullptr, *btnGameEnd = nullptr, *btnClose = nullptr;

  // --- handlers ---
  void FormCreate(TComponent* sender);
  void spbtnBgmOnClick(TComponent* sender);
  void spbtnBgmOffClick(TComponent* sender);
  void spbtnPcmOnClick(TComponent* sender);
  void spbtnPcmOffClick(TComponent* sender);
  void spbtnTurnMesOnClick(TComponent* sender);
  void spbtnTurnMesOffClick(TComponent* sender);
  void btnSaveClick(TComponent* sender);
  void btnLoadClick(TComponent* sender);
  void btnGameEndClick(TComponent* sender);
  void btnCloseClick(TComponent* sender);
};

// The system menu, modal; returns at once while it is shown. Every closing writes the three options
// to the registry, and starts or stops the map music when the "BGM" option changed.
void ShowSystem();

}  // namespace vdmq
