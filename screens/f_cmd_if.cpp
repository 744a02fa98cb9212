#include "screens/f_cmd_if.h"

#include "campaign/Character.h"
#include "campaign/Cmd.h"
#include "campaign/Country.h"
#include "campaign/FileKinds.h"
#include "campaign/Fleet.h"
#include "campaign/Planet.h"
#include "formkit/Chbcbtn.h"
#include "platform/base/Sjis.h"
#include "platform/core/StdCtrls.h"
#include "qolib/graphics/Qograph_rap.h"
#include "screens/ScreenList.h"

namespace vdmq {

namespace {

TfmInfo* openInfo = nullptr;

bool IsCharacter(int character) { return character >= 0 && character < kEventCharacterCount; }

}  // namespace

std::array<std::string, 5> CmdValueLines(int cmd) {
  return {
      Format(SJS("レベル　 %2d  経験値   %2d").c_str(), GetCmdLev(cmd), GetCmdExp(cmd)),
      Format(SJS("攻撃修正 %3d/%3d").c_str(), GetCmdAtk(cmd), GetCmdAtkBase(cmd)),
      Format(SJS("防御修正 %3d/%3d").c_str(), GetCmdDef(cmd), GetCmdDefBase(cmd)),
      Format(SJS("判断     %3d  精神     %3d").c_str(), GetCmdDirect(cmd), GetCmdMind(cmd)),
      Format(SJS("疲労     %3d").c_str(), GetCmdFatiguePercent(cmd)),
  };
}

TfmInfo::TfmInfo(TComponent* owner) : TCHF_Form(owner) {
  SetUpScreenForm(this, "fmInfo", "", 540, 280);
  imgBG = MakeScreenBackground(this, QoBG, 540, 280);

  imgCmd = MakeScreenPicture(this, &plCmd, "plCmd", "imgCmd", QoImg, 28, 16, 216, 216);

  lbName = MakeScreenLabel(this, "lbName", 252, 20, "");
  for (int i = 0; i < kProfileLines; ++i) {
    const bool profile = i < kEventCharacterProfileLines;
    lbProfile[i] = MakeScreenLabel(this, "lbProfile" + std::to_string(i), profile ? 252 : 256,
                                   profile ? 52 + 16 * i : 136 + 16 * (i - 5), "");
    if (profile) lbProfile[i]->Tag = i + 1;
  }
  btnBack = MakeScreenButton(this, "btnBack", 447, 245, 86, 28, SJS("戻る"), "bc86_28_2");
  btnBack->OnClick = [this](TComponent* s) { btnBackClick(s); };
  OnShow = [this](TComponent* s) { FormShow(s); };
  DrawScreenBackground(QoBG, kFileKindInformationBackground);
}

TfmInfo::~TfmInfo() {
  BeginDestroy();
  DestroyComponents();
}

void TfmInfo::SetPage(int mode, int index) {
  Mode = mode;
  Index = index;
  static const char* const kCaptions[3] = {"司令官情報", "元首情報", "勢力情報"};
  SetCaption(mode >= 0 && mode < 3 ? Utf8ToSjis(kCaptions[mode]) : "");
}

void TfmInfo::FormShow(TComponent*) {
  std::string name;
  std::string lines[kProfileLines];
  int portrait = -1;
  // The name, portrait and profile of an event character (a head of state or the character shown).
  auto character = [&](int who) {
    if (!IsCharacter(who)) return;
    name = GetEventCharacterName(who);
    portrait = GetEventCharacterCg(who);
    for (int i = 0; i < kEventCharacterProfileLines; ++i) lines[i] = GetEventCharacterProfile(who, i);
  };
  if (Mode == 0 && Index >= 0 && Index < kCmdCount) {
    const int c = Index;
    name = GetCmdName(c);
    portrait = GetCmdCg(c);
    // The profile texts are those of the event character with the commander's picture number.
    if (IsCharacter(portrait))
      for (int i = 0; i < kEventCharacterProfileLines; ++i) lines[i] = GetEventCharacterProfile(portrait, i);
    const int fleet = GetCmdUnderFleet(c);
    lines[5] = fleet != -1 ? SJS("指揮：") + NameOrEmpty(GetFleetName(GetCmdBelong(c), fleet)) : SJS("指揮：未配属");
    const std::array<std::string, 5> values = CmdValueLines(c);
    for (int i = 0; i < 5; ++i) lines[6 + i] = values[static_cast<size_t>(i)];
  } else if (Mode == 1) {
    character(Index);
  } else if (Mode == 2 && Index >= 0 && Index < kCountryCount) {
    const int k = Index;
    character(GetCountryPresident(k));
    lines[5] = SJS("所属     ") + NameOrEmpty(GetCountryName(k));
    lines[6] = SJS("関係     ") + NameOrEmpty(GetCountryRelationName(GetPlayerCountry(), k));
    lines[7] = SJS("本拠地   ") + NameOrEmpty(GetPlanetName(GetCountryCapital(k)));
    lines[8] = Format(SJS("基礎資金 %-6d").c_str(), GetCountryStdFund(k));
    lines[9] = Format(SJS("総資金   %-6d").c_str(), GetCountryFund(k));
  }
  lbName->SetCaption(name);
  for (int i = 0; i < kProfileLines; ++i) lbProfile[i]->SetCaption(lines[i]);
  QoImg.Cls();
  if (portrait != -1) DrawBmpPackById(&QoImg, 0, 0, kFileKindLargePortrait, portrait);
  QoImg.Change();
}

void TfmInfo::btnBackClick(TComponent*) { ModalResult = mrOk; }

namespace {

void ShowInfo(int mode, int index) {
  if (openInfo != nullptr) return;
  TOpenScreen<TfmInfo> screen(openInfo);
  screen->SetPage(mode, index);
  screen->ShowModal();
}

}  // namespace

void ShowCmdInfo(int cmd) {
  if (cmd >= 0 && cmd < kCmdCount) ShowInfo(0, cmd);
}

void ShowCountryInfo(int country) {
  if (country >= 0 && country < kCountryCount) ShowInfo(2, country);
}

}  // namespace vdmq
