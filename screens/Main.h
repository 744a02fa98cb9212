#pragma once
// The program's entry and the main window. The entry makes sure that one copy of the game runs,
// opens the window system through the caller's factory, creates the data-file locator, installs the
// game's hooks and the screens' host, creates the resident windows and runs the message loop until
// the main window closes. The main window holds the strategic map view above a command bar with the
// date and funds captions, the command buttons and the minimap; every other screen opens from it.

#include <functional>
#include <memory>
#include <string>

#include "formkit/CHFFORMU.h"
#include "qolib/graphics/QoTDib.h"
#include "qolib/pack/Qopack.h"

namespace vdmq {

class TCHBcBitBtn;
class TCHBmpContainer;
class TImage;
class TLabel;
class TMediaPlayer;
class TPanel;
class TQoPanel;

// Opens the window system and binds App() to it; what it answers is held until WinMain returns.
using TSessionFactory = std::function<std::shared_ptr<void>()>;

// The game: -1 at once (the factory never called) when another copy runs or the lock cannot be
// made; 1 when the new-game data cannot be read; else 0 once the main window has closed. SIGTERM,
// SIGINT and SIGHUP end the game in order wherever it stands, without the quit question: the modal
// windows and pauses unwind, the options are written, the main window's destroy handler closes
// help and media, and the lock goes.
int WinMain(const TSessionFactory& openSession);

class TFileManager;
class TQoPlatformBridge;
class TQvMap;
class TQvMapGraph;
class TScreensHost;

// Two registration points for the library built on the screens (the battle window), which the
// screens must not include: the maker of the host that the entry installs (none: a TScreensHost),
// and the creator of the battle window, run in its place among the resident windows (none: no
// battle window exists and battles are fought headless). Filled before WinMain runs.
using TScreensHostMaker = std::function<std::unique_ptr<TScreensHost>()>;
void SetScreensHostMaker(TScreensHostMaker maker);
using TResidentFormCreator = std::function<void()>;
void SetBattleWindowCreator(TResidentFormCreator creator);

// What the entry sets up around the message loop, in this order: the data-file locator (which makes
// the program's folder current), the game's hooks (the archive's platform bridge, the picture entry
// names, the battle entry, the screens' host), the title and icon, and the resident windows. The
// destructor frees the windows and removes everything again.
class TGameSession {
 public:
  TGameSession();
  ~TGameSession();
  TGameSession(const TGameSession&) = delete;
  TGameSession& operator=(const TGameSession&) = delete;
  // True when the new-game data could not be read: the player has been told, and there is no game.
  bool StartFailed() const;

 private:
  void FreeWindows();
  void RemoveHooks();
  std::unique_ptr<TFileManager> files_;  // the locator FileManager points at
  std::unique_ptr<TQoPlatformBridge> bridge_;
  std::unique_ptr<TScreensHost> host_;
};

class TfmMain : public TCHF_Form {
 public:
  explicit TfmMain(TComponent* owner);
  ~TfmMain() override;
  const char* ClassName() const override { return "TfmMain"; }

  // --- published components, in the order the layout creates them ---
  TQoPack QoPackQvMap;
  TQoTrueDib QoTrueDibQvMap{nullptr, 792, 453};
  TPanel* plCommand = nullptr;
  TQoPanel* plQvMap = nullptr;
  TImage* imgQvMap = nullptr;
  TCHBcBitBtn *btnDock = nullptr, *btnTec = nullptr, *btnNextTurn = nullptr, *btnFleet = nullptr;
  TLabel* lbFund = nullptr;
  TCHBcBitBtn* btnPlanet = nullptr;
  TQoTrueDib QoTrueDibZenQvMap{nullptr, 216, 107};
  TQoTrueDib QoTrueDibZenQvMapBase{nullptr, 216, 107};
  TCHBcBitBtn* btnSave = nullptr;
  TQoTrueDib QoBG{nullptr, 792, 120};
  TImage* imgBG = nullptr;
  TCHBmpContainer *bcBtn86_28 = nullptr, *bc156_40 = nullptr, *bc234_32 = nullptr, *bc156_20 = nullptr,
                  *bc156_20_l = nullptr, *bc30_20 = nullptr, *bc30_20_r = nullptr, *bc30_20_m = nullptr,
                  *bc28_28 = nullptr, *bc162_20 = nullptr, *bc162_20_l = nullptr, *bc162_20_r = nullptr,
                  *bc126_20 = nullptr, *bc126_20_r = nullptr, *bc126_20_l = nullptr, *bc126_20_m = nullptr,
                  *bc54_20 = nullptr, *bc54_20_r = nullptr, *bc54_20_l = nullptr, *bc54_20_m = nullptr,
                  *bc_sb160_48_2 = nullptr, *bc86_28_2 = nullptr, *bc28_28_2 = nullptr, *bc_sb43_28_2 = nullptr;
  TLabel* lbYear = nullptr;
  TPanel* plZenQvMap = nullptr;
  TImage* imgZenQvMap = nullptr;
  TMediaPlayer* mpWav = nullptr;
  TMediaPlayer* mpCd = nullptr;
  TCHBcBitBtn* btnHelp = nullptr;

  // Enables or disables the seven command buttons.
  void SetCmdEnable(bool on);
  // The region of a right press for edge scrolling: 2 left, 3 right, 0 top, 1 bottom, -1 none.
  static int EdgeRegion(int x, int y, int width, int height);
  // -1 while no edge scroll is pending.
  int EdgeRegionNow() const { return edgeRegion_; }
  bool Shown() const { return shown_; }

  // --- handlers ---
  void FormCreate(TComponent* sender);
  void FormShow(TComponent* sender);
  void FormActivate(TComponent* sender);
  void FormResize(TComponent* sender);
  void FormCloseQuery(TComponent* sender, bool& canClose);
  void FormDestroy(TComponent* sender);
  void imgQvMapMouseMove(TComponent* sender, TShiftState shift, int x, int y);
  void imgQvMapMouseDown(TComponent* sender, TMouseButton button, TShiftState shift, int x, int y);
  void imgQvMapMouseUp(TComponent* sender, TMouseButton button, TShiftState shift, int x, int y);
  void imgQvMapClick(TComponent* sender);
  void imgZenQvMapMouseDown(TComponent* sender, TMouseButton button, TShiftState shift, int x, int y);
  void imgZenQvMapMouseMove(TComponent* sender, TShiftState shift, int x, int y);
  void imgZenQvMapMouseUp(TComponent* sender, TMouseButton button, TShiftState shift, int x, int y);
  void btnNextTurnClick(TComponent* sender);
  void btnHelpClick(TComponent* sender);
  void btnDockClick(TComponent* sender);
  void btnTecClick(TComponent* sender);
  void btnFleetClick(TComponent* sender);
  void btnPlanetClick(TComponent* sender);
  void btnSaveClick(TComponent* sender);
  void mpCdNotify(TComponent* sender);
  void TimerMainTimer(TComponent* sender);

  void Dispatch(TMessage& m) override;

 private:
  // A command button of the bar from the layout table.
  void MakeBarButton(const char* name);
  // The size limits of WM_GETMINMAXINFO.
  void WMGetMinMaxInfo(TMessage& m);
  // True while the map editor's tool window is shown.
  bool MapEditorVisible() const;

  int mouseX_ = 0, mouseY_ = 0;
  int mouseButton_ = 0;  // of the last press: 0 left, 1 right, 2 middle
  bool leftHeld_ = false;
  bool zenDrag_ = false;
  int edgeRegion_ = -1;
  bool shown_ = false;
  bool activated_ = false;
  // The map model and the map view that QvMap and QvMapGraph point at, from the creation handler
  // to the destroy handler.
  std::unique_ptr<TQvMap> map_;
  std::unique_ptr<TQvMapGraph> mapView_;
};

// The main window (null before it is created and after it is freed).
extern TfmMain* fmMain;

// The quit question: true at once when the player has already confirmed or the program was asked
// to end from outside (a termination signal), else asks and sets the quit flag on OK. The flag is
// never cleared during the run.
bool ConfirmGameEnd();
// The quit flag, or a request to end from outside.
bool IsGameEnd();

// The application's title, which the main window shows ("ヴェルドマルクＱ 体験版", CP932).
std::string GameTitle();

}  // namespace vdmq
