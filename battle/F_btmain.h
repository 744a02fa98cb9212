#pragma once
// The battle window: the arena view above, and below it the control strip with the player's unit
// buttons, the commander's face, six lines of hit reports, the minimap, the speed buttons and the
// retreat button. It is created hidden at program start and shown modally once per fought battle
// by ExecBattle; its timer is the battle's clock.
//
// InstallBattleWindow hooks the window into the game's entry: the entry then creates it among
// the resident windows and installs a host that fights the player's battles in it.

#include <array>
#include <string>

#include "formkit/CHFFORMU.h"
#include "qolib/graphics/QoTDib.h"

namespace vdmq {

class TCHBcBitBtn;
class TCHBcSpeedButton;
class TCheckBox;
class TImage;
class TLabel;
class TQoPanel;
class TTimer;

class TfmBtMain : public TCHF_Form {
 public:
  explicit TfmBtMain(TComponent* owner);
  ~TfmBtMain() override;
  const char* ClassName() const override { return "TfmBtMain"; }

  // --- published components ---
  TQoPanel* plBtQvMap = nullptr;
  TImage* imgBtQvMap = nullptr;
  TQoPanel* plQvMap = nullptr;
  TImage* imgBg = nullptr;
  TCHBcSpeedButton* spbtnFirst = nullptr;
  TCHBcSpeedButton* spbtnPause = nullptr;
  TCHBcBitBtn* btnTettai = nullptr;
  TCHBcSpeedButton *spbtnFl0 = nullptr, *spbtnFl1 = nullptr, *spbtnFl2 = nullptr, *spbtnFl3 = nullptr,
                   *spbtnFl4 = nullptr;
  TCHBcBitBtn* btnShipInfo = nullptr;
  TLabel *lbMes00 = nullptr, *lbMes01 = nullptr, *lbMes02 = nullptr, *lbMes03 = nullptr, *lbMes04 = nullptr,
         *lbMes05 = nullptr;
  TQoPanel* plCmd = nullptr;
  TImage* imgCmd = nullptr;
  TQoPanel* Panel1 = nullptr;
  TImage* imgBtQvZenMap = nullptr;
  TCheckBox* chkboxKomaOkuri = nullptr;
  TTimer* TimerMain = nullptr;
  TQoTrueDib QoTrueDibBtQvMap{nullptr, 792, 453};
  TQoTrueDib QoBG{nullptr, 792, 120};
  TQoTrueDib QoCmd{nullptr, 69, 69};
  TQoTrueDib QoTrueDibBtZenQvMap{nullptr, 100, 100};
  TQoTrueDib QoTrueDibBtZenQvMapBase{nullptr, 100, 100};

  // The six hit-report lines, top first.
  std::array<TLabel*, 6> MessageLines() const { return {lbMes00, lbMes01, lbMes02, lbMes03, lbMes04, lbMes05}; }

  // --- handlers ---
  void FormCreate(TComponent* sender);
  void FormResize(TComponent* sender);
  void FormCloseQuery(TComponent* sender, bool& canClose);
  void TimerMainTimer(TComponent* sender);
  void imgBtQvMapMouseDown(TComponent* sender, TMouseButton button, TShiftState shift, int x, int y);
  void imgBtQvMapMouseMove(TComponent* sender, TShiftState shift, int x, int y);
  void imgBtQvMapMouseUp(TComponent* sender, TMouseButton button, TShiftState shift, int x, int y);
  void spbtnFirstClick(TComponent* sender);
  void spbtnPauseClick(TComponent* sender);
  void btnTettaiClick(TComponent* sender);
  void btnShipInfoClick(TComponent* sender);
  void spbtnFl0Click(TComponent* sender);

  void Dispatch(TMessage& m) override;
};

// The battle window (null before it is created and after it is freed).
extern TfmBtMain* fmBtMain;

// Fights the battle set up in the battle record in the window: creates the arena and the view,
// runs the window modally with its frame timer and frees both, however the modal loop ends.
void ExecBattle();

// The speed mode: 0 paused, 1 and 2 running (alike); 2 at program start, kept between battles.
bool IsBattlePaused();
int GetBattleSpeed();
// Stores the mode; 0 pauses (timer 70 ms, "停止" held down), 1 and 2 run (40 ms, "再開" held down);
// any other value changes nothing else.
void SetBattleSpeed(TfmBtMain* form, int mode);
// Pauses the battle with both speed buttons disabled, remembering the mode; ResumeBattle enables
// them and restores it.
void SuspendBattle(TfmBtMain* form);
void ResumeBattle(TfmBtMain* form);

// The unit buttons and the commander's face for the current selection; nothing without a window.
void UpdateBtPanel(TfmBtMain* form);
// Scrolls the six hit-report lines up and writes text (CP932) at the bottom.
void AddBtMessage(const std::string& text);
// Empties the six lines.
void ClearBtMessage();

// Makes the game's entry create the battle window and install the host that fights the player's
// battles in it. Call before WinMain.
void InstallBattleWindow();

}  // namespace vdmq
