#include "screens/F_system.h"

#include <array>

#include "campaign/FileKinds.h"
#include "campaign/GameHost.h"
#include "campaign/GameSave.h"
#include "campaign/Gmain.h"
#include "campaign/Save.h"
#include "campaign/Story.h"
#include "formkit/Chbcbtn.h"
#include "platform/base/GameError.h"
#include "platform/base/Sjis.h"
#include "platform/core/StdCtrls.h"
#include "platform/sys/Registry.h"
#include "qolib/graphics/Qograph_rap.h"
#include "screens/Main.h"
#include "screens/ScreenList.h"
#include "screens/ScreenParts.h"
#include "screens/f_avi.h"

namespace vdmq {

namespace {

constexpr const char* kOptionKey = "SOFTWARE\\NAVIRO Veldmark\\Veldmark Q Try\\system";
constexpr std::array<const char*, 3> kOptionNames{"BGM", "PCM", "TURN_MES"};
std::array<int, 3> options{1, 1, 1};

bool InRange(int index) { return index >= 0 && index < static_cast<int>(options.size()); }

constexpr int kVoiceSaveButton = 8;
constexpr int kVoiceLoadButton = 10;
constexpr int kLabelLeft = 135;
constexpr int kOnLeft = 248;
constexpr int kOffLeft = 291;

// The menu while it is shown.
TfmSys* openMenu = nullptr;

// One option row of the menu: its label (shadow and face), its two buttons and their handlers.
struct TOptionRow {
  int option;
  const char* label;  // UTF-8
  int labelTop, buttonTop;
  const char* name;  // "Bgm" makes lbBgmBk, lbBgm, spbtnBgmOn, spbtnBgmOff
  TLabel* TfmSys::*shadow;
  TLabel* TfmSys::*face;
  TCHBcSpeedButton* TfmSys::*on;
  TCHBcSpeedButton* TfmSys::*off;
  void (TfmSys::*onClick)(TComponent*);
  void (TfmSys::*offClick)(TComponent*);
};
const TOptionRow kRows[] = {
    {kSysOptionBgm, "ＢＧＭ", 21, 14, "Bgm", &TfmSys::lbBgmBk, &TfmSys::lbBgm, &TfmSys::spbtnBgmOn,
     &TfmSys::spbtnBgmOff, &TfmSys::spbtnBgmOnClick, &TfmSys::spbtnBgmOffClick},
    {kSysOptionPcm, "ＰＣＭ", 49, 43, "Pcm", &TfmSys::lbPcmBk, &TfmSys::lbPcm, &TfmSys::spbtnPcmOn,
     &TfmSys::spbtnPcmOff, &TfmSys::spbtnPcmOnClick, &TfmSys::spbtnPcmOffClick},
    {kSysOptionTurnMes, "ＴＵＲＮ ＥＮＤ", 77, 72, "TurnMes", &TfmSys::lbTurnMesBk, &TfmSys::lbTurnMes,
     &TfmSys::spbtnTurnMesOn, &TfmSys::spbtnTurnMesOff, &TfmSys::spbtnTurnMesOnClick, &TfmSys::spbtnTurnMesOffClick},
};

struct TCommandPlace {
  TCHBcBitBtn* TfmSys::*field;
  const char* name;
  int left;
  const char* caption;  // UTF-8
  void (TfmSys::*onClick)(TComponent*);
};
const TCommandPlace kCommands[] = {
    {&TfmSys::btnSave, "btnSave", 50, "セーブ", &TfmSys::btnSaveClick},
    {&TfmSys::btnLoad, "btnLoad", 136, "ロード", &TfmSys::btnLoadClick},
    {&TfmSys::btnGameEnd, "btnGameEnd", 222, "終了", &TfmSys::btnGameEndClick},
    {&TfmSys::btnClose, "btnClose", 308, "戻る", &TfmSys::btnCloseClick},
};

}  // namespace

int GetSysOption(int index) { return InRange(index) ? options[static_cast<size_t>(index)] : 0; }

void SetSysOption(int index, int value) {
  if (InRange(index)) options[static_cast<size_t>(index)] = value;
}

void SysOptionReg(int mode) {
  TRegistry reg;
  if (!reg.OpenKey(kOptionKey, true)) return;
  for (size_t i = 0; i < options.size(); ++i) {
    if (mode == 1) {
      try {
        options[i] = reg.ReadInteger(kOptionNames[i]);
      } catch (const EGameError&) {
        // Missing or not an integer: the option keeps its value.
      }
    } else if (mode == 0) {
      try {
        reg.WriteInteger(kOptionNames[i], options[i]);
      } catch (const EGameError&) {
        // A store that refuses the value keeps the old one; the run goes on with the table.
      }
    }
  }
  reg.CloseKey();
}

// ---------------------------------------------------------------- the system menu

TfmSys::TfmSys(TComponent* owner) : TCHF_Form(owner) {
  SetUpScreenForm(this, "fmSys", SJS("ｼｽﾃﾑﾒﾆｭｰ"), 400, 160);
  SetBorderIcons(biSystemMenu);
  SetFont(ScreenFont(12, true, clWhite));

  imgBg = new TImage(this);
  imgBg->Name = "imgBg";
  imgBg->SetParent(this);
  imgBg->SetBounds(0, 0, 400, 160);
  BindSurface(QoBG, *imgBg);
  int cell = 0;
  for (const TOptionRow& r : kRows) {
    const std::string label = Utf8ToSjis(r.label);
    this->*r.shadow =
        MakeScreenLabel(this, std::string("lb") + r.name + "Bk", kLabelLeft + 1, r.labelTop + 1, label, clGray);
    this->*r.face = MakeScreenLabel(this, std::string("lb") + r.name, kLabelLeft, r.labelTop, label, clBlack);
    for (const bool on : {true, false}) {
      TCHBcSpeedButton* b =
          MakeScreenSpeedButton(this, std::string("spbtn") + r.name + (on ? "On" : "Off"), on ? kOnLeft : kOffLeft,
                                r.buttonTop, 43, 28, on ? "ON" : "OFF", "bc_sb43_28_2", cell);
      b->SetNumGlyphs(4);  // up, disabled, pressed and held down
      b->AdjustSize();
      b->SetGroupIndex(r.option + 1);
      const auto handler = on ? r.onClick : r.offClick;
      b->OnClick = [this, handler](TComponent* s) { (this->*handler)(s); };
      this->*(on ? r.on : r.off) = b;
    }
    ++cell;
  }
  // The music is shown but not switched here.
  spbtnBgmOn->SetEnabled(false);
  spbtnBgmOff->SetEnabled(false);
  int glyph = 0;
  for (const TCommandPlace& c : kCommands) {
    TCHBcBitBtn* b = MakeScreenButton(this, c.name, c.left, 124, 86, 28, Utf8ToSjis(c.caption), "bc86_28_2", glyph++);
    const auto handler = c.onClick;
    b->OnClick = [this, handler](TComponent* s) { (this->*handler)(s); };
    this->*c.field = b;
  }
  OnCreate = [this](TComponent* s) { FormCreate(s); };
}

TfmSys::~TfmSys() {
  BeginDestroy();
  DestroyComponents();
}

void TfmSys::FormCreate(TComponent*) {
  DrawBmpPackById(&QoBG, 0, 0, kFileKindSystemMenuBackground, -1);
  QoBG.Change();
}

void TfmSys::spbtnBgmOnClick(TComponent*) { SetSysOption(kSysOptionBgm, 1); }
void TfmSys::spbtnBgmOffClick(TComponent*) { SetSysOption(kSysOptionBgm, 0); }
void TfmSys::spbtnPcmOnClick(TComponent*) { SetSysOption(kSysOptionPcm, 1); }
void TfmSys::spbtnPcmOffClick(TComponent*) { SetSysOption(kSysOptionPcm, 0); }
void TfmSys::spbtnTurnMesOnClick(TComponent*) { SetSysOption(kSysOptionTurnMes, 1); }
void TfmSys::spbtnTurnMesOffClick(TComponent*) { SetSysOption(kSysOptionTurnMes, 0); }

void TfmSys::btnSaveClick(TComponent*) {
  PlayWaveNoWait(GetFukukanVoice(), kVoiceSaveButton);
  const int slot = GameHost().ShowSaveLoad(true, true);
  if (slot < 0 || slot >= kSaveSlotCount) return;
  TSaveInfo info{};
  if (GetSaveInfo(slot, &info) && GameHost().SysMes(SJS("セーブファイルを上書きしますか？"), SJS("確認"), 1) != 1)
    return;
  SaveLoadGame(kSaveModeWrite, slot);
}

void TfmSys::btnLoadClick(TComponent*) {
  PlayWaveNoWait(GetFukukanVoice(), kVoiceLoadButton);
  const int slot = GameHost().ShowSaveLoad(false, true);
  Repaint();
  GameHost().RepaintMainWindow();
  // A load or new game that failed has told the player and left the running game as it was: the
  // menu stays open on it.
  if (slot >= 0 && slot < kSaveSlotCount) {
    if (!SaveLoadGame(kSaveModeLoad, slot)) return;
    StartLoadedGame();
    ModalResult = mrOk;
  } else if (slot == -2) {
    if (!SaveLoadGame(kSaveModeNew, -1)) return;
    StartNewGame();
    ModalResult = mrOk;
  }
}

void TfmSys::btnGameEndClick(TComponent*) {
  if (!GameHost().ConfirmGameEnd()) return;
  GameHost().CloseMainWindow();
  ModalResult = mrOk;
}

void TfmSys::btnCloseClick(TComponent*) { ModalResult = mrCancel; }

void ShowSystem() {
  if (openMenu != nullptr) return;
  TOpenScreen<TfmSys> menu(openMenu);
  for (const TOptionRow& r : kRows) ((*menu).*(GetSysOption(r.option) != 0 ? r.on : r.off))->SetDown(true);
  const bool musicWasOn = GetSysOption(kSysOptionBgm) != 0;
  menu->ShowModal();
  SysOptionReg(0);
  const bool musicOn = GetSysOption(kSysOptionBgm) != 0;
  if (musicOn == musicWasOn) return;
  if (musicOn)
    PlayCdTrack(GetMapBgmTrack(), true);
  else
    StopCdTrack();
}

}  // namespace vdmq
