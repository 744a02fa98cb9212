#include "battle/F_btmain.h"

#include <memory>

#include "battle/Btinfo.h"
#include "battle/Btmain.h"
#include "battle/Btqvgraph.h"
#include "battle/Btqvmap.h"
#include "campaign/Cmd.h"
#include "campaign/FileKinds.h"
#include "campaign/GameHost.h"
#include "campaign/Stdfunc.h"
#include "formkit/Chbcbtn.h"
#include "formkit/Qopanel.h"
#include "platform/base/Sjis.h"
#include "platform/core/Application.h"
#include "platform/core/StdCtrls.h"
#include "platform/core/Timer.h"
#include "qolib/graphics/Qograph_rap.h"
#include "screens/F_build.h"
#include "screens/Main.h"
#include "screens/ScreenParts.h"
#include "screens/ScreensHost.h"

namespace vdmq {

TfmBtMain* fmBtMain = nullptr;

namespace {

// The face shown while the player defends a planet.
constexpr int kDefenceFace = 29;
constexpr int kUnitButtons = 5;
constexpr unsigned kRunInterval = 40;
constexpr unsigned kPauseInterval = 70;

// The speed mode, kept from battle to battle; the paused flag; the mode SuspendBattle remembers.
int speedMode = 2;
bool paused = false;
int suspendedMode = 2;

TQoPanel* MakePanel(TfmBtMain* form, TControl* parent, const char* name, TPlace place) {
  auto* p = new TQoPanel(form);
  p->Name = name;
  p->SetParent(parent);
  p->SetColor(clBlack);
  p->SetBounds(place.Left, place.Top, place.Width, place.Height);
  return p;
}

TImage* MakeImage(TfmBtMain* form, TControl* parent, const char* name, TAlign align) {
  auto* img = new TImage(form);
  img->Name = name;
  img->SetParent(parent);
  img->SetAlign(align);
  return img;
}

// A button on the main window's 86 x 28 faces, cell glyph, with the game's caption colours.
template <class TKind>
TKind* MakeButton(TfmBtMain* form, TControl* parent, const char* name, TPlace place, const char* caption, int glyph) {
  auto* b = new TKind(form);
  b->Name = name;
  b->SetParent(parent);
  b->SetBounds(place.Left, place.Top, place.Width, place.Height);
  b->SetCaption(Utf8ToSjis(caption));
  b->SetFont(ScreenFont(12, false, clAqua));
  b->Spacing = -1;
  TCHBtnCaptionColor& cc = b->CaptionColor();
  cc.SetEnabled(true);
  cc.SetClUpFace(clAqua);
  cc.SetClUpHighlight(clNone);
  cc.SetClUpShadow(clNone);
  cc.SetClDownFace(clBlue);
  cc.SetClDownHighlight(clNone);
  cc.SetClDownShadow(clNone);
  cc.SetClDisabledFace(clGray);
  cc.SetClDisabledHighlight(clNone);
  cc.SetClDisabledShadow(clNone);
  if (fmMain != nullptr && fmMain->bcBtn86_28 != nullptr) {
    b->Glyph().SetBmpContainer(fmMain->bcBtn86_28);
    b->Glyph().SetSrcIndex(glyph);
    b->SetNumGlyphs(3);
  }
  return b;
}

constexpr const char* kUnitCaptions[kUnitButtons] = {"第１", "第２", "第３", "第４", "第５"};
constexpr TPlace kUnitPlaces[kUnitButtons] = {
    {8, 16, 86, 28}, {94, 16, 86, 28}, {180, 16, 86, 28}, {8, 44, 86, 28}, {94, 44, 86, 28}};

// The host that fights the player's battles in the battle window.
class TBtWindowHost : public TScreensHost {
 public:
  bool ExecBattle() override {
    if (fmBtMain == nullptr) return false;
    vdmq::ExecBattle();
    return true;
  }
  bool IsBattlePaused() override { return vdmq::IsBattlePaused(); }
  void UpdateBtPanel() override { vdmq::UpdateBtPanel(fmBtMain); }
  void AddBtMessage(const std::string& text) override { vdmq::AddBtMessage(text); }
  int SysMesBt(const std::string& text, const std::string& caption, int withCancel) override {
    if (fmBtMain != nullptr) SuspendBattle(fmBtMain);
    const int answer = SysMes(text, caption, withCancel);
    if (fmBtMain != nullptr) ResumeBattle(fmBtMain);
    return answer;
  }
};

}  // namespace

TfmBtMain::TfmBtMain(TComponent* owner) : TCHF_Form(owner) {
  Name = "fmBtMain";
  SetCaption(SJS("戦闘"));
  SetBorderStyle(bsSingle);
  SetBorderIcons(0);
  Position = poScreenCenter;
  SetColor(clBlack);
  SetFont(ScreenFont(12, false, clWhite));
  SetClientSize(792, 573);

  plBtQvMap = MakePanel(this, this, "plBtQvMap", {0, 0, 792, 453});
  plBtQvMap->SetAlign(alTop);
  imgBtQvMap = MakeImage(this, plBtQvMap, "imgBtQvMap", alClient);
  plQvMap = MakePanel(this, this, "plQvMap", {0, 453, 792, 120});
  imgBg = MakeImage(this, plQvMap, "imgBg", alNone);
  imgBg->SetBounds(0, 0, 792, 120);
  BindSurface(QoBG, *imgBg);
  spbtnFirst = MakeButton<TCHBcSpeedButton>(this, plQvMap, "spbtnFirst", {696, 12, 86, 28}, "再開", 0);
  spbtnPause = MakeButton<TCHBcSpeedButton>(this, plQvMap, "spbtnPause", {696, 40, 86, 28}, "停止", 0);
  for (TCHBcSpeedButton* b : {spbtnFirst, spbtnPause}) b->SetGroupIndex(1);
  btnTettai = MakeButton<TCHBcBitBtn>(this, plQvMap, "btnTettai", {696, 84, 86, 28}, "撤退", 0);
  TCHBcSpeedButton** units[kUnitButtons] = {&spbtnFl0, &spbtnFl1, &spbtnFl2, &spbtnFl3, &spbtnFl4};
  for (int i = 0; i < kUnitButtons; ++i) {
    const std::string name = "spbtnFl" + std::to_string(i);
    *units[i] = MakeButton<TCHBcSpeedButton>(this, plQvMap, name.c_str(), kUnitPlaces[i], kUnitCaptions[i], 1);
    (*units[i])->SetGroupIndex(2);
    (*units[i])->SetAllowAllUp(true);
  }
  btnShipInfo = MakeButton<TCHBcBitBtn>(this, plQvMap, "btnShipInfo", {180, 44, 86, 28}, "詳細", 0);
  TLabel** lines[6] = {&lbMes00, &lbMes01, &lbMes02, &lbMes03, &lbMes04, &lbMes05};
  for (int i = 0; i < 6; ++i) {
    auto* l = new TLabel(this);
    l->Name = "lbMes0" + std::to_string(i);
    l->SetParent(plQvMap);
    l->SetAutoSize(false);
    l->SetBounds(352, 8 + 12 * i, 168, 12);
    l->Transparent = true;
    l->SetFont(ScreenFont(12, false, clWhite));
    l->SetCaption("");
    *lines[i] = l;
  }
  plCmd = MakePanel(this, plQvMap, "plCmd", {281, 9, 69, 69});
  imgCmd = MakeImage(this, plCmd, "imgCmd", alClient);
  BindSurface(QoCmd, *imgCmd);
  Panel1 = MakePanel(this, plQvMap, "Panel1", {575, 12, 100, 100});
  imgBtQvZenMap = MakeImage(this, Panel1, "imgBtQvZenMap", alClient);
  BindSurface(QoTrueDibBtZenQvMap, *imgBtQvZenMap);
  QoTrueDibBtZenQvMapBase.Loaded();
  chkboxKomaOkuri = new TCheckBox(this);
  chkboxKomaOkuri->Name = "chkboxKomaOkuri";
  chkboxKomaOkuri->SetParent(plQvMap);
  chkboxKomaOkuri->SetBounds(45, 88, 97, 17);
  chkboxKomaOkuri->SetCaption(SJS("コマ送り"));
  chkboxKomaOkuri->SetEnabled(false);
  chkboxKomaOkuri->SetVisible(false);
  TimerMain = new TTimer(this);
  TimerMain->Name = "TimerMain";
  TimerMain->SetEnabled(false);

  // The unit buttons are numbered after the kit's construction.
  for (int i = 0; i < kUnitButtons; ++i) (*units[i])->Tag = i + 1;

  OnCreate = [this](TComponent* s) { FormCreate(s); };
  OnResize = [this](TComponent* s) { FormResize(s); };
  OnCloseQuery = [this](TComponent* s, bool& canClose) { FormCloseQuery(s, canClose); };
  TimerMain->SetOnTimer([this](TComponent* s) { TimerMainTimer(s); });
  imgBtQvMap->OnMouseDown = [this](TComponent* s, TMouseButton b, TShiftState sh, int x, int y) {
    imgBtQvMapMouseDown(s, b, sh, x, y);
  };
  imgBtQvMap->OnMouseMove = [this](TComponent* s, TShiftState sh, int x, int y) { imgBtQvMapMouseMove(s, sh, x, y); };
  imgBtQvMap->OnMouseUp = [this](TComponent* s, TMouseButton b, TShiftState sh, int x, int y) {
    imgBtQvMapMouseUp(s, b, sh, x, y);
  };
  spbtnFirst->OnClick = [this](TComponent* s) { spbtnFirstClick(s); };
  spbtnPause->OnClick = [this](TComponent* s) { spbtnPauseClick(s); };
  btnTettai->OnClick = [this](TComponent* s) { btnTettaiClick(s); };
  btnShipInfo->OnClick = [this](TComponent* s) { btnShipInfoClick(s); };
  for (TCHBcSpeedButton* b : {spbtnFl0, spbtnFl1, spbtnFl2, spbtnFl3, spbtnFl4})
    b->OnClick = [this](TComponent* s) { spbtnFl0Click(s); };
}

TfmBtMain::~TfmBtMain() {
  BeginDestroy();
  DestroyComponents();
  if (fmBtMain == this) fmBtMain = nullptr;
}

void TfmBtMain::Dispatch(TMessage& m) {
  if (m.Msg == WM_ERASEBKGND) return;
  TCHF_Form::Dispatch(m);
}

void TfmBtMain::FormCreate(TComponent*) {
  DrawBmpPackById(&QoBG, 0, 0, kFileKindBattleBarBackground, -1);
  QoBG.Change();
}

void TfmBtMain::FormResize(TComponent*) {
  imgBtQvMap->SetWidth(ClientWidth());
  imgBtQvMap->SetHeight(ClientHeight());
  if (BtQvMap == nullptr || BtQvMapGraph == nullptr) return;
  const int w = imgBtQvMap->Width();
  const int h = imgBtQvMap->Height();
  BtQvMapGraph->Resize(w, h);
  int sx = 0, sy = 0;
  BtQvMapGraph->GetScroll(sx, sy);
  BtQvMapGraph->ScrollTo(sx - w / 2, sy - h / 2);
}

void TfmBtMain::FormCloseQuery(TComponent*, bool& canClose) { canClose = BtArenaIsEnd(); }

void TfmBtMain::TimerMainTimer(TComponent*) {
  if (BtQvMap == nullptr) {
    TimerMain->SetEnabled(false);
    return;
  }
  if (BtBattleTick()) return;
  TimerMain->SetInterval(0);
  TimerMain->SetEnabled(false);
  if (BtQvMap != nullptr) BtQvMap->SetEnd();
  ModalResult = 1;
}

void TfmBtMain::imgBtQvMapMouseDown(TComponent*, TMouseButton button, TShiftState, int x, int y) {
  if (BtQvMap == nullptr || BtQvMapGraph == nullptr) return;
  if (button != mbLeft && button != mbRight) return;
  int mx = 0, my = 0;
  BtQvMapGraph->ScreenToMap(x, y, mx, my);
  BtQvMapGraph->SetMousePos(x, y);
  BtQvMap->Order(button == mbLeft ? 0 : 1, mx, my);
}

void TfmBtMain::imgBtQvMapMouseMove(TComponent*, TShiftState, int x, int y) {
  if (BtQvMap == nullptr || BtQvMapGraph == nullptr) return;
  BtQvMapGraph->SetMousePos(x, y);
}

void TfmBtMain::imgBtQvMapMouseUp(TComponent*, TMouseButton button, TShiftState, int x, int y) {
  if (BtQvMap == nullptr || BtQvMapGraph == nullptr) return;
  if (button == mbLeft || button == mbRight) BtQvMapGraph->SetMousePos(x, y);
}

void TfmBtMain::spbtnFirstClick(TComponent*) { SetBattleSpeed(this, 2); }

void TfmBtMain::spbtnPauseClick(TComponent*) { SetBattleSpeed(this, 0); }

void TfmBtMain::btnTettaiClick(TComponent*) {
  // A battle already decided (its closing frames running) has nothing to retreat from.
  if (BtInfo.winner != -1) return;
  if (GameHost().SysMesBt(SJS("撤退しますか？"), SJS("確認"), 1) != 1) return;
  if (BtPlayerRetreat()) SetBattleSpeed(this, 2);
}

void TfmBtMain::btnShipInfoClick(TComponent*) {
  if (BtQvMap == nullptr || BtQvMap->GetSelect() == nullptr) return;
  SuspendBattle(this);
  // The designer shows a copy of the selected ship's design for information; nothing comes back.
  TShipData ship = BtQvMap->GetSelect()->GetShipData();
  TShipData out{};
  ShowBuildForm(0, &ship, -1, &out, -1);
  ResumeBattle(this);
}

void TfmBtMain::spbtnFl0Click(TComponent* sender) {
  if (BtQvMap == nullptr || sender == nullptr) return;
  const int i = static_cast<int>(sender->Tag) - 1;
  const TBtInfo& b = BtInfo;
  if (b.kind == kBtKindPlanet) {
    if (b.player == b.defender) {
      BtQvMap->SelectSate(b.player, i);
    } else {
      BtQvMap->SelectShip(b.player, b.attackerFleet, i);
    }
  } else {
    BtQvMap->SelectShip(b.player, b.player != b.attacker ? b.defenderFleet : b.attackerFleet, i);
  }
}

// --- the battle run ---

void ExecBattle() {
  TfmBtMain* form = fmBtMain;
  if (form == nullptr) return;
  // The battle owns the arena and the view. Whatever ends the modal loop, the timer stops and the
  // view and the arena go (the survivors write their durability back), with the view's
  // registration cleared first.
  struct TBattleScope {
    TfmBtMain* form;
    std::unique_ptr<TBtQvMap> arena = std::make_unique<TBtQvMap>();
    std::unique_ptr<TBtQvMapGraph> view = std::make_unique<TBtQvMapGraph>();
    explicit TBattleScope(TfmBtMain* f) : form(f) {
      BtQvMap = arena.get();
      BtQvMapGraph = view.get();
    }
    ~TBattleScope() {
      form->TimerMain->SetEnabled(false);
      view->FreePats();
      SetBtViewSink(nullptr);
      BtQvMapGraph = nullptr;
      view.reset();
      arena->SetEnd();
      arena->Clear();
      BtQvMap = nullptr;
    }
    TBattleScope(const TBattleScope&) = delete;
    TBattleScope& operator=(const TBattleScope&) = delete;
  } scope(form);
  SetBtViewSink(BtQvMapGraph);
  BtQvMapGraph->LoadGraphics();
  BtQvMap->Setup();
  SetBattleSpeed(form, GetBattleSpeed());
  form->TimerMain->SetEnabled(true);
  form->ShowModal();
}

// --- speed ---

bool IsBattlePaused() { return paused; }

int GetBattleSpeed() { return speedMode; }

void SetBattleSpeed(TfmBtMain* form, int mode) {
  speedMode = mode;
  if (mode != 0 && mode != 1 && mode != 2) return;
  paused = mode == 0;
  if (form == nullptr) return;
  form->TimerMain->SetInterval(paused ? kPauseInterval : kRunInterval);
  (paused ? form->spbtnPause : form->spbtnFirst)->SetDown(true);
}

void SuspendBattle(TfmBtMain* form) {
  suspendedMode = speedMode;
  SetBattleSpeed(form, 0);
  if (form == nullptr) return;
  form->spbtnPause->SetEnabled(false);
  form->spbtnFirst->SetEnabled(false);
}

void ResumeBattle(TfmBtMain* form) {
  if (form != nullptr) {
    form->spbtnPause->SetEnabled(true);
    form->spbtnFirst->SetEnabled(true);
  }
  SetBattleSpeed(form, suspendedMode);
}

// --- panel and messages ---

void UpdateBtPanel(TfmBtMain* form) {
  if (form == nullptr) return;
  const TBtInfo& b = BtInfo;
  const TBtQvMap* arena = BtQvMap;
  const TBtShip* selected = arena != nullptr ? arena->GetSelect() : nullptr;
  const bool defence = b.kind == kBtKindPlanet && b.player == b.defender;
  auto setButton = [form](int k, const TBtShip* unit, const TBtShip* sel, const std::string& caption) {
    auto* button = dynamic_cast<TCHBcSpeedButton*>(FindComponentByClass(form, "TCHBcSpeedButton", k));
    if (button == nullptr) return;
    const bool usable = unit != nullptr && unit->GetHp() > 0;
    button->SetEnabled(usable);
    button->SetDown(usable && unit == sel);
    button->SetCaption(caption);
  };
  if (defence) {
    static const char* const kSateCaptions[kUnitButtons] = {"第１衛星", "第２衛星", "第３衛星", "第４衛星", "第５衛星"};
    form->QoCmd.Cls();
    DrawBmpPackById(&form->QoCmd, 0, 0, kFileKindSmallCommanderPortrait, kDefenceFace);
    for (int k = 1; k <= kUnitButtons; ++k) {
      const TBtShip* unit = arena != nullptr ? arena->FindSate(b.player, k - 1) : nullptr;
      setButton(k, unit, selected, Utf8ToSjis(kSateCaptions[k - 1]));
    }
  } else {
    static const char* const kFleetCaptions[kUnitButtons] = {"第１部隊", "第２部隊", "第３部隊", "", ""};
    const int cmd = b.player == b.attacker ? b.attackerCmd : b.player == b.defender ? b.defenderCmd : -1;
    form->QoCmd.Cls();
    if (cmd != -1) DrawBmpPackById(&form->QoCmd, 0, 0, kFileKindSmallCommanderPortrait, GetCmdCg(cmd));
    const int fleet = BtGetPlayerFleet();
    for (int k = 1; k <= kUnitButtons; ++k) {
      const TBtShip* unit = arena != nullptr && k <= 3 ? arena->FindShip(b.player, fleet, k - 1) : nullptr;
      setButton(k, unit, selected, Utf8ToSjis(kFleetCaptions[k - 1]));
    }
  }
  form->QoCmd.Change();
}

void AddBtMessage(const std::string& text) {
  TfmBtMain* form = fmBtMain;
  if (form == nullptr) return;
  const std::array<TLabel*, 6> lines = form->MessageLines();
  for (size_t i = 0; i + 1 < lines.size(); ++i) lines[i]->SetCaption(lines[i + 1]->Caption());
  lines.back()->SetCaption(text);
}

void ClearBtMessage() {
  TfmBtMain* form = fmBtMain;
  if (form == nullptr) return;
  for (TLabel* l : form->MessageLines()) l->SetCaption("");
}

void InstallBattleWindow() {
  SetScreensHostMaker([] { return std::unique_ptr<TScreensHost>(std::make_unique<TBtWindowHost>()); });
  SetBattleWindowCreator([] { App().CreateForm(fmBtMain); });
}

}  // namespace vdmq
