#include "screens/Main.h"

#include <algorithm>
#include <utility>

#include "battle/Btmain.h"
#include "campaign/Country.h"
#include "campaign/FileKinds.h"
#include "campaign/File_manager.h"
#include "campaign/GameHost.h"
#include "campaign/GameSave.h"
#include "campaign/Gmain.h"
#include "campaign/Qvmap.h"
#include "campaign/Save.h"
#include "campaign/Story.h"
#include "formkit/CHFDATAU.h"
#include "formkit/Chbcbtn.h"
#include "formkit/KitPictures.h"
#include "formkit/Qopanel.h"
#include "platform/base/Sjis.h"
#include "platform/core/Application.h"
#include "platform/core/Desktop.h"
#include "platform/core/MediaPlayer.h"
#include "platform/core/StdCtrls.h"
#include "platform/sys/EndSignals.h"
#include "platform/sys/HelpViewer.h"
#include "platform/sys/NamedMutex.h"
#include "platform/sys/Services.h"
#include "qolib/graphics/Qograph_rap.h"
#include "qolib/pack/Quorvel.h"
#include "screens/Debug.h"
#include "screens/F_dock.h"
#include "screens/F_evmes.h"
#include "screens/F_flsel.h"
#include "screens/F_maped.h"
#include "screens/F_pl_sel.h"
#include "screens/F_planet.h"
#include "screens/F_sysmes.h"
#include "screens/F_system.h"
#include "screens/F_tec.h"
#include "screens/QoPlatformBridge.h"
#include "screens/Qvgraph.h"
#include "screens/ScreenParts.h"
#include "screens/ScreensHost.h"
#include "screens/f_avi.h"

namespace vdmq {

TfmMain* fmMain = nullptr;

namespace {

// The quit flag: set once the player has confirmed ending the program, never cleared.
bool gameEnd = false;
// Set by FormCreate when the new-game data cannot be read: the program ends without a game.
bool newGameDataFailed = false;

TScreensHostMaker& HostMaker() {
  static TScreensHostMaker maker;
  return maker;
}
TResidentFormCreator& BattleWindowCreator() {
  static TResidentFormCreator creator;
  return creator;
}

// The command bar's height and the width its pictures are drawn for.
constexpr int kBarHeight = 120;
constexpr int kBarDesignWidth = 792;

// The command buttons' layout, in the order the window creates them.
struct TButtonPlace {
  TCHBcBitBtn* TfmMain::*Field;
  const char* Name;
  TPlace Place;
  const char* Caption;  // UTF-8
};
const TButtonPlace kCommandButtons[] = {
    {&TfmMain::btnDock, "btnDock", {12, 36, 86, 28}, "造船"},
    {&TfmMain::btnTec, "btnTec", {98, 36, 86, 28}, "技術"},
    {&TfmMain::btnNextTurn, "btnNextTurn", {443, 36, 86, 28}, "ターン終了"},
    {&TfmMain::btnFleet, "btnFleet", {184, 36, 87, 28}, "艦隊編成"},
    {&TfmMain::btnPlanet, "btnPlanet", {271, 36, 86, 28}, "拠点"},
    {&TfmMain::btnSave, "btnSave", {357, 36, 86, 28}, "システム"},
    {&TfmMain::btnHelp, "btnHelp", {12, 64, 86, 28}, "ヘルプ"},
};

TLabel* MakeCaption(TfmMain* form, const char* name, TPlace place, const std::string& text) {
  auto* l = new TLabel(form);
  l->Name = name;
  l->SetParent(form->plCommand);
  l->SetBounds(place.Left, place.Top, place.Width, place.Height);
  l->Transparent = true;
  l->SetFont(ScreenFont(12, true, clWhite));
  l->SetCaption(text);
  return l;
}

TImage* MakeImage(TComponent* owner, TControl* parent, const char* name, TAlign align) {
  auto* img = new TImage(owner);
  img->Name = name;
  img->SetParent(parent);
  img->SetAlign(align);
  return img;
}

int CodeOf(TMouseButton b) { return b == mbRight ? 1 : b == mbMiddle ? 2 : 0; }

}  // namespace

std::string GameTitle() { return SJS("ヴェルドマルクＱ 体験版"); }

TfmMain::TfmMain(TComponent* owner) : TCHF_Form(owner) {
  Name = "fmMain";
  SetBorderStyle(bsSizeable);
  SetBorderIcons(biSystemMenu | biMinimize | biMaximize);
  Position = poScreenCenter;
  SetColor(clBlack);
  SetFont(ScreenFont(12, true, clWhite));
  SetCaption(SJS("Veldmark Q 体験版"));
  SetClientSize(792, 573);

  // The layout, in the order of the window's fields.
  plCommand = new TPanel(this);
  plCommand->Name = "plCommand";
  plCommand->SetParent(this);
  plCommand->BevelOuter = bvNone;
  plCommand->SetColor(clBlack);
  plCommand->SetBounds(0, 453, 792, kBarHeight);
  plCommand->SetAlign(alBottom);
  plQvMap = new TQoPanel(this);
  plQvMap->Name = "plQvMap";
  plQvMap->SetParent(this);
  plQvMap->SetColor(clBlack);
  plQvMap->SetBounds(0, 0, 792, 453);
  imgQvMap = MakeImage(this, plQvMap, "imgQvMap", alClient);
  BindSurface(QoTrueDibQvMap, *imgQvMap);
  for (const char* name : {"btnDock", "btnTec", "btnNextTurn", "btnFleet"}) MakeBarButton(name);
  lbFund = MakeCaption(this, "lbFund", {200, 12, 160, 14}, SJS("総資金      0"));
  MakeBarButton("btnPlanet");
  MakeBarButton("btnSave");
  imgBG = MakeImage(this, plCommand, "imgBG", alClient);
  imgBG->SendToBack();
  BindSurface(QoBG, *imgBG);
  TCHBmpContainer** faces[] = {&bcBtn86_28, &bc156_40,   &bc234_32,      &bc156_20,   &bc156_20_l, &bc30_20,
                               &bc30_20_r,  &bc30_20_m,  &bc28_28,       &bc162_20,   &bc162_20_l, &bc162_20_r,
                               &bc126_20,   &bc126_20_r, &bc126_20_l,    &bc126_20_m, &bc54_20,    &bc54_20_r,
                               &bc54_20_l,  &bc54_20_m,  &bc_sb160_48_2, &bc86_28_2,  &bc28_28_2,  &bc_sb43_28_2};
  const std::vector<std::string> faceNames = FaceContainerNames();
  for (size_t i = 0; i < faceNames.size() && i < std::size(faces); ++i)
    *faces[i] = MakeFaceContainer(this, faceNames[i]);
  // The buttons made before the faces existed take them now.
  for (const TButtonPlace& b : kCommandButtons)
    if (this->*b.Field != nullptr) SetCommandFaces(this->*b.Field, bc86_28_2, 0);
  lbYear = MakeCaption(this, "lbYear", {16, 12, 160, 14}, SJS("星暦4032年 1期"));
  plZenQvMap = new TPanel(this);
  plZenQvMap->Name = "plZenQvMap";
  plZenQvMap->SetParent(plCommand);
  plZenQvMap->BevelOuter = bvNone;
  plZenQvMap->SetColor(clBlack);
  plZenQvMap->SetBounds(568, 7, 216, 107);
  imgZenQvMap = MakeImage(this, plZenQvMap, "imgZenQvMap", alClient);
  BindSurface(QoTrueDibZenQvMap, *imgZenQvMap);
  QoTrueDibZenQvMapBase.Loaded();
  SetQvMapSurfaces(&QoTrueDibQvMap, &QoTrueDibZenQvMap, &QoTrueDibZenQvMapBase);
  mpWav = new TMediaPlayer(this);
  mpWav->Name = "mpWav";
  mpWav->SetParent(plQvMap);
  mpWav->SetVisible(false);
  mpCd = new TMediaPlayer(this);
  mpCd->Name = "mpCd";
  mpCd->SetParent(plQvMap);
  mpCd->SetVisible(false);
  mpCd->OnNotify = [this](TComponent* s) { mpCdNotify(s); };
  MakeBarButton("btnHelp");

  // Events.
  OnCreate = [this](TComponent* s) { FormCreate(s); };
  OnShow = [this](TComponent* s) { FormShow(s); };
  OnActivate = [this](TComponent* s) { FormActivate(s); };
  OnResize = [this](TComponent* s) { FormResize(s); };
  OnCloseQuery = [this](TComponent* s, bool& canClose) { FormCloseQuery(s, canClose); };
  OnDestroy = [this](TComponent* s) { FormDestroy(s); };
  imgQvMap->OnMouseMove = [this](TComponent* s, TShiftState sh, int x, int y) { imgQvMapMouseMove(s, sh, x, y); };
  imgQvMap->OnMouseDown = [this](TComponent* s, TMouseButton b, TShiftState sh, int x, int y) {
    imgQvMapMouseDown(s, b, sh, x, y);
  };
  imgQvMap->OnMouseUp = [this](TComponent* s, TMouseButton b, TShiftState sh, int x, int y) {
    imgQvMapMouseUp(s, b, sh, x, y);
  };
  imgQvMap->OnClick = [this](TComponent* s) { imgQvMapClick(s); };
  imgZenQvMap->OnMouseDown = [this](TComponent* s, TMouseButton b, TShiftState sh, int x, int y) {
    imgZenQvMapMouseDown(s, b, sh, x, y);
  };
  imgZenQvMap->OnMouseMove = [this](TComponent* s, TShiftState sh, int x, int y) { imgZenQvMapMouseMove(s, sh, x, y); };
  imgZenQvMap->OnMouseUp = [this](TComponent* s, TMouseButton b, TShiftState sh, int x, int y) {
    imgZenQvMapMouseUp(s, b, sh, x, y);
  };
  btnNextTurn->OnClick = [this](TComponent* s) { btnNextTurnClick(s); };
  btnHelp->OnClick = [this](TComponent* s) { btnHelpClick(s); };
  btnDock->OnClick = [this](TComponent* s) { btnDockClick(s); };
  btnTec->OnClick = [this](TComponent* s) { btnTecClick(s); };
  btnFleet->OnClick = [this](TComponent* s) { btnFleetClick(s); };
  btnPlanet->OnClick = [this](TComponent* s) { btnPlanetClick(s); };
  btnSave->OnClick = [this](TComponent* s) { btnSaveClick(s); };

  // The skin module that every later kit window reads, owned by the application.
  if (CHF_Data == nullptr) new TCHF_Data(&App());
}

TfmMain::~TfmMain() {
  // The window's own parts (archive, surfaces) are members: the destroy handler runs while they live.
  BeginDestroy();
  RunDestroyHandlerNow(*this);
  SetQvMapSurfaces(nullptr, nullptr, nullptr);
  DestroyComponents();
  if (fmMain == this) fmMain = nullptr;
}

void TfmMain::MakeBarButton(const char* name) {
  for (const TButtonPlace& b : kCommandButtons)
    if (std::string_view(b.Name) == name)
      this->*b.Field = MakeCommandButton(this, plCommand, b.Name, b.Place, Utf8ToSjis(b.Caption), bc86_28_2, 0);
}

void TfmMain::SetCmdEnable(bool on) {
  for (TCHBcBitBtn* b : {btnDock, btnTec, btnNextTurn, btnFleet, btnPlanet, btnSave, btnHelp})
    if (b != nullptr) b->SetEnabled(on);
}

int TfmMain::EdgeRegion(int x, int y, int width, int height) {
  if (x >= 0 && x <= 99) return 2;
  if (x >= width - 100 && x <= width - 1) return 3;
  if (y >= 0 && y <= 99) return 0;
  if (y >= height - 100 && y <= height - 1) return 1;
  return -1;
}

void TfmMain::FormCreate(TComponent*) {
  QoPackQvMap.OpenPack(GetFileManager().GetFileName(kFileKindPack));
  SetQoPictureArchive(&QoPackQvMap);
  SetCmdEnable(false);
  map_ = std::make_unique<TQvMap>();
  QvMap = map_.get();
  QvMap->ClearMap();
  mapView_ = std::make_unique<TQvMapGraph>();
  QvMapGraph = mapView_.get();
  QvMapGraph->Init();
  SysOptionReg(1);
  newGameDataFailed = !SaveLoadGame(kSaveModeNew, -1);
  QvMapGraph->MakeZenBase();
}

void TfmMain::FormShow(TComponent*) {
  shown_ = true;
  Repaint();
  if (QvMapGraph != nullptr) QvMapGraph->Draw();
}

void TfmMain::FormActivate(TComponent*) {
  if (activated_) return;
  activated_ = true;
  ChooseGameAtStart();
}

void TfmMain::FormResize(TComponent*) {
  plQvMap->SetBounds(0, 0, ClientWidth(), ClientHeight() - plCommand->Height());
  plCommand->SetBounds(plCommand->Left(), plCommand->Top(), ClientWidth(), kBarHeight);
  const int barWidth = plCommand->Width();
  QoBG.SetWidth(barWidth);
  QoBG.SetHeight(plCommand->Height());
  if (barWidth > kBarDesignWidth) DrawBmpPackById(&QoBG, barWidth - kBarDesignWidth, 0, kFileKindMainBarMiddle, -1);
  DrawBmpPackById(&QoBG, 0, 0, kFileKindMainBarLeft, -1);
  DrawBmpPackById(&QoBG, barWidth - 252, 0, kFileKindMainBarRight, -1);
  QoBG.Change();
  plZenQvMap->SetLeft(barWidth - 224);
  if (QvMapGraph != nullptr) QvMapGraph->SetSize(imgQvMap->Width(), imgQvMap->Height());
}

void TfmMain::FormCloseQuery(TComponent*, bool& canClose) { canClose = ConfirmGameEnd(); }

void TfmMain::FormDestroy(TComponent*) {
  Sys().help->Quit();
  StopCdTrack();
  if (mapView_ != nullptr) {
    mapView_->Term();
    QvMapGraph = nullptr;
    mapView_.reset();
  }
  if (map_ != nullptr) {
    map_->Release();
    QvMap = nullptr;
    map_.reset();
  }
  SetQoPictureArchive(nullptr);
  QoPackQvMap.ClosePack();
}

void TfmMain::Dispatch(TMessage& m) {
  TCHF_Form::Dispatch(m);
  if (m.Msg == WM_GETMINMAXINFO) WMGetMinMaxInfo(m);
}

void TfmMain::WMGetMinMaxInfo(TMessage& m) {
  auto* mm = reinterpret_cast<TMinMaxInfo*>(m.LParam);
  if (mm == nullptr) return;
  const TRect work = Desktop().WorkArea();
  const int w = std::min(std::max(work.Width(), 800), 1280);
  const int h = std::min(std::max(work.Height(), 600), 1024);
  mm->ptMaxPosition = {0, 0};
  mm->ptMinTrackSize = {800, 600};
  mm->ptMaxSize = {std::min(mm->ptMaxSize.X, w), std::min(mm->ptMaxSize.Y, h)};
  mm->ptMaxTrackSize = {std::min(mm->ptMaxTrackSize.X, w), std::min(mm->ptMaxTrackSize.Y, h)};
}

// --- the map ---

void TfmMain::imgQvMapMouseMove(TComponent*, TShiftState, int x, int y) {
  mouseX_ = x;
  mouseY_ = y;
  if (QvMapGraph == nullptr) return;
  int cx = 0, cy = 0;
  QvMapGraph->PosToCell(x, y, &cx, &cy);
  if (cx == QvMapGraph->CursorX() && cy == QvMapGraph->CursorY()) {
    edgeRegion_ = -1;
    return;
  }
  QvMapGraph->SetCursor(cx, cy);
  // While the map editor's tool window is shown, the cell and the held left button go to it.
  if (MapEditorVisible()) fmMapEdTools->MapMouseMove(leftHeld_, cx, cy);
  QvMapGraph->Draw();
  edgeRegion_ = -1;
}

void TfmMain::imgQvMapMouseDown(TComponent*, TMouseButton button, TShiftState, int x, int y) {
  mouseX_ = x;
  mouseY_ = y;
  if (QvMapGraph == nullptr) return;
  int cx = 0, cy = 0;
  QvMapGraph->PosToCell(x, y, &cx, &cy);
  QvMapGraph->SetCursor(cx, cy);
  mouseButton_ = CodeOf(button);
  if (button == mbLeft) leftHeld_ = true;
  if (button != mbRight) return;
  if (QvMap != nullptr) QvMap->Click(1, cx, cy);
  edgeRegion_ = EdgeRegion(x, y, imgQvMap->Width(), imgQvMap->Height());
  QvMapGraph->EdgeScroll(edgeRegion_);
}

bool TfmMain::MapEditorVisible() const { return fmMapEdTools != nullptr && fmMapEdTools->Visible(); }

void TfmMain::imgQvMapMouseUp(TComponent*, TMouseButton, TShiftState, int, int) {
  leftHeld_ = false;
  edgeRegion_ = -1;
}

void TfmMain::imgQvMapClick(TComponent*) {
  if (QvMapGraph == nullptr) return;
  int cx = 0, cy = 0;
  QvMapGraph->PosToCell(mouseX_, mouseY_, &cx, &cy);
  QvMapGraph->SetCursor(cx, cy);
  // While the map editor's tool window is shown, the click goes to it and nowhere else.
  if (MapEditorVisible()) {
    fmMapEdTools->MapClick(cx, cy);
    return;
  }
  QvMapGraph->SetCenter(cx, cy);
  if (QvMap != nullptr) QvMap->Click(mouseButton_, cx, cy);
}

void TfmMain::imgZenQvMapMouseDown(TComponent*, TMouseButton button, TShiftState, int x, int y) {
  if (button == mbRight || QvMapGraph == nullptr) return;
  zenDrag_ = true;
  int cx = 0, cy = 0;
  QvMapGraph->ZenPosToCell(x, y, &cx, &cy);
  QvMapGraph->SetCenter(cx, cy);
}

void TfmMain::imgZenQvMapMouseMove(TComponent*, TShiftState, int x, int y) {
  if (!zenDrag_ || QvMapGraph == nullptr) return;
  int cx = 0, cy = 0;
  QvMapGraph->ZenPosToCell(x, y, &cx, &cy);
  QvMapGraph->SetCenter(cx, cy);
}

void TfmMain::imgZenQvMapMouseUp(TComponent*, TMouseButton button, TShiftState, int, int) {
  if (button != mbRight) zenDrag_ = false;
}

// --- the command bar ---

void TfmMain::btnNextTurnClick(TComponent*) {
  if (QvMapGraph != nullptr) QvMapGraph->SetCenterCountry(0);
  if (GetSysOption(kSysOptionTurnMes) == 1) {
    GameHost().PlayWave(GetFukukanVoice(), 3, false);
    if (GameHost().SysMes(SJS("ターンを終了しますか？<BR>"), SJS("確認"), 1) != 1) return;
  }
  EndPlayerTurn();
}

void TfmMain::btnHelpClick(TComponent*) {
  if (!Sys().help->Contents(GetFileManager().GetFileName(kFileKindHelp))) {
    App().MessageBox(SJS("ヘルプを表示できませんでした。"), SJS("エラー"), MB_OK | MB_ICONSTOP);
  }
}

void TfmMain::btnDockClick(TComponent*) {
  int planet = -1, dock = -1;
  ShowDockForm(GetPlayerCountry(), 2, &planet, &dock);
}

void TfmMain::btnTecClick(TComponent*) { ShowTecWindow(); }

void TfmMain::btnFleetClick(TComponent*) { ShowFleetSel(GetPlayerCountry()); }

void TfmMain::btnPlanetClick(TComponent*) {
  const int planet = ShowPlaSel(0, -1, -1);
  if (planet >= 0) ShowPlanetWindow(planet, GetPlayerCountry());
}

void TfmMain::btnSaveClick(TComponent*) { ShowSystem(); }

void TfmMain::mpCdNotify(TComponent*) {
  // Only the end of the track: a superseded, aborted or failed play is not repeated.
  if (mpCd->NotifyValue == EMediaNotify::Successful) RepeatCdTrack();
}

void TfmMain::TimerMainTimer(TComponent*) {}

// --- quitting ---

bool ConfirmGameEnd() {
  if (IsGameEnd()) return true;
  GameHost().PlayWave(GetFukukanVoice(), 5, false);
  if (GameHost().SysMes(SJS("ゲームを終了します。<BR>よろしいですか？"), SJS("確認"), 1) != 1) return false;
  gameEnd = true;
  return true;
}

// A program asked to end from outside is as good as confirmed.
bool IsGameEnd() { return gameEnd || EndRequest() != 0; }

// --- the entry ---

void SetScreensHostMaker(TScreensHostMaker maker) { HostMaker() = std::move(maker); }

void SetBattleWindowCreator(TResidentFormCreator creator) { BattleWindowCreator() = std::move(creator); }

TGameSession::TGameSession()
    : files_(std::make_unique<TFileManager>()),
      bridge_(std::make_unique<TQoPlatformBridge>()),
      host_(HostMaker() ? HostMaker()() : std::make_unique<TScreensHost>()) {
  files_->Init();
  FileManager = files_.get();
  SetQoPlatform(bridge_.get());
  SetQoEntryNameHook([](int kind, int number) { return GetFileManager().GetFileNameNum(kind, number); });
  SetBattleEntry(&BtBattleStart);
  SetGameHost(host_.get());
  gameEnd = false;
  newGameDataFailed = false;
  try {
    App().Title = GameTitle();
    InstallKitIcons();
    App().CreateForm(fmMain);
    App().CreateForm(fmDebug);
    App().CreateForm(fmMapEdTools);
    if (BattleWindowCreator()) BattleWindowCreator()();
    App().CreateForm(fmFleetSel);
    App().CreateForm(fmSysMes);
    App().CreateForm(fmEventMes);
  } catch (...) {
    FreeWindows();
    RemoveHooks();
    throw;
  }
}

TGameSession::~TGameSession() {
  FreeWindows();
  RemoveHooks();
}

bool TGameSession::StartFailed() const { return newGameDataFailed; }

void TGameSession::FreeWindows() {
  // The main window first, then the other windows and the skin module newest first.
  delete fmMain;
  App().DestroyComponents();
}

void TGameSession::RemoveHooks() {
  SetGameHost(nullptr);
  SetBattleEntry(nullptr);
  SetQoEntryNameHook(nullptr);
  SetQoPlatform(nullptr);
  if (files_ != nullptr) {
    files_->Term();
    FileManager = nullptr;
    files_.reset();
  }
}

int WinMain(const TSessionFactory& openSession) {
  EMutexCreate created = EMutexCreate::Failed;
  const std::unique_ptr<TMutexHandle> lock = Sys().mutexes->Create("VDM_Q GAME", &created);
  if (created != EMutexCreate::Created) return -1;
  const TEndSignals endSignals([] { App().Wake(); });
  const std::shared_ptr<void> session = openSession();
  try {
    TGameSession game;
    if (game.StartFailed()) return 1;
    App().Run();
    // Ended from outside: the options are kept as the system menu keeps them.
    if (EndRequest() != 0) SysOptionReg(0);
  } catch (const EStall&) {
    throw;  // a headless run that waits for ever ends its test, not in a message box
  } catch (const std::exception& e) {
    App().ShowException(e.what());
  }
  return 0;
}

}  // namespace vdmq
