#include "screens/F_save.h"

#include <cstdio>
#include <string>

#include "campaign/FileKinds.h"
#include "campaign/GameSave.h"
#include "campaign/Stdfunc.h"
#include "campaign/Story.h"
#include "formkit/Chbcbtn.h"
#include "platform/base/Sjis.h"
#include "platform/core/Application.h"
#include "platform/core/StdCtrls.h"
#include "qolib/graphics/Qograph_rap.h"
#include "screens/ScreenList.h"
#include "screens/ScreenParts.h"

namespace vdmq {

namespace {

// The open screen, so that a second opening answers at once.
TfmSave* openScreen = nullptr;

struct TButtonPlace {
  TCHBcBitBtn* TfmSave::*Field;
  const char* Name;
  int Left;
  const char* Caption;
};
constexpr TButtonPlace kButtons[] = {
    {&TfmSave::btnNewGame, "btnNewGame", 100, "New Game"},
    {&TfmSave::btnOk, "btnOk", 186, "OK"},
    {&TfmSave::btnBack, "btnBack", 272, "Cancel"},
};

}  // namespace

TfmSave::TfmSave(TComponent* owner) : TCHF_Form(owner) {
  Name = "fmSave";
  SetBorderStyle(bsSingle);
  SetBorderIcons(0);
  Position = poScreenCenter;
  SetColor(clBlack);
  SetFont(ScreenFont(12, true, clWhite));
  SetCaption(SJS("ｾｰﾌﾞﾛｰﾄﾞ"));
  SetClientSize(364, 400);

  imgBg = new TImage(this);
  imgBg->Name = "imgBg";
  imgBg->SetParent(this);
  imgBg->SetBounds(0, 0, 364, 400);
  BindSurface(QoBG, *imgBg);
  for (int i = 0; i < 15; ++i) {
    auto* l = new TLabel(this);
    l->Name = "lbDat" + std::to_string(i);
    l->SetParent(this);
    l->SetAutoSize(false);
    l->SetBounds(24, 32 + 20 * i, 318, 12);
    l->Alignment = taCenter;
    l->Transparent = true;
    l->SetFont(ScreenFont(12, true, clSilver));
    l->Tag = i + 1;
    l->OnClick = [this](TComponent* s) { lbDat0Click(s); };
    lbDat[i] = l;
  }
  for (const TButtonPlace& b : kButtons)
    this->*b.Field = MakeCommandButton(this, this, b.Name, {b.Left, 364, 86, 28}, b.Caption, CommandFaces(), 0);

  OnCreate = [this](TComponent* s) { FormCreate(s); };
  OnCloseQuery = [this](TComponent* s, bool& canClose) { FormCloseQuery(s, canClose); };
  btnOk->OnClick = [this](TComponent* s) { btnOkClick(s); };
  btnBack->OnClick = [this](TComponent* s) { btnBackClick(s); };
  btnNewGame->OnClick = [this](TComponent* s) { btnNewGameClick(s); };
}

TfmSave::~TfmSave() {
  BeginDestroy();
  DestroyComponents();
}

void TfmSave::FormCreate(TComponent*) {
  DrawBmpPackById(&QoBG, 0, 0, kFileKindSaveLoadBackground, -1);
  QoBG.Change();
}

void TfmSave::DrawLine(int slot) {
  auto* line = dynamic_cast<TLabel*>(FindComponentByClass(this, "TLabel", slot + 1));
  if (line == nullptr) return;
  TFont font = line->Font();
  TSaveInfo info{};
  if (GetSaveInfo(slot, &info)) {
    const char* title = GetChapterTitle(info.Chapter);
    char text[256];
    std::snprintf(text, sizeof text, SJS("%s %4d年%2d期 %02d/%02d/%02d %02d:%02d").c_str(), title ? title : "",
                  info.Year, info.Period, info.FileYear % 100, info.FileMonth, info.FileDay, info.FileHour,
                  info.FileMinute);
    line->SetCaption(text);
    font.Color = slot == Chosen ? clAqua : clWhite;
  } else if (SaveMode) {
    line->SetCaption("New Save File");
    font.Color = slot == Chosen ? clAqua : clWhite;
  } else {
    line->SetCaption("No Save File");
    font.Color = clGray;
  }
  line->SetFont(font);
}

void TfmSave::FormCloseQuery(TComponent*, bool& canClose) { canClose = btnBack->Enabled() || ModalResult == mrOk; }

void TfmSave::lbDat0Click(TComponent* sender) {
  const auto* line = dynamic_cast<const TComponent*>(sender);
  if (line == nullptr) return;
  const int slot = line->Tag - 1;
  if (slot < 0 || slot >= kSaveSlotCount) return;
  TSaveInfo info{};
  if (!SaveMode && !GetSaveInfo(slot, &info)) return;
  NewGame = false;
  const int previous = Chosen;
  Chosen = slot;
  if (previous >= 0) DrawLine(previous);
  DrawLine(slot);
  btnOk->SetEnabled(true);
}

void TfmSave::btnOkClick(TComponent*) { ModalResult = mrOk; }

void TfmSave::btnBackClick(TComponent*) { ModalResult = mrCancel; }

void TfmSave::btnNewGameClick(TComponent*) {
  NewGame = true;
  ModalResult = mrOk;
}

int ShowSaveLoad(bool saveMode, bool wayBack) {
  if (openScreen != nullptr) return -1;
  TOpenScreen<TfmSave> screen(openScreen);
  screen->SaveMode = saveMode;
  screen->Chosen = -1;
  screen->NewGame = false;
  screen->btnBack->SetEnabled(wayBack);
  screen->btnOk->SetEnabled(false);
  screen->btnNewGame->SetEnabled(!saveMode);
  for (int i = 0; i < kSaveSlotCount; ++i) screen->DrawLine(i);
  if (screen->ShowModal() != mrOk) return -1;
  return screen->NewGame ? -2 : screen->Chosen;
}

}  // namespace vdmq
