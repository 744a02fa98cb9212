#include "screens/F_build.h"

#include "campaign/Country.h"
#include "campaign/Dock.h"
#include "campaign/FileKinds.h"
#include "campaign/GameHost.h"
#include "campaign/Parts.h"
#include "formkit/Chbcbtn.h"
#include "platform/base/Sjis.h"
#include "platform/core/StdCtrls.h"
#include "qolib/graphics/Qograph_rap.h"
#include "screens/F_parts.h"
#include "screens/ScreenList.h"
#include "screens/ScreenParts.h"

namespace vdmq {

namespace {

TfmBuild* openBuild = nullptr;

struct TSlotLayout {
  const char* choose;
  const char* chooseCaption;
  int chooseLeft, chooseTop;
  const char* del;
  int delLeft;
  const char* name;
  int nameLeft, nameTop;
};
// By slot kind.
constexpr TSlotLayout kSlots[kPartsKindCount] = {
    {"btnFrame", "船体選択", 13, 8, "btnDelFrame", 176, "lbFrame", 32, 52},
    {"btnMainWeapon", "攻撃兵装", 312, 8, "btnDelMainWeapon", 476, "lbMainWeapon", 332, 53},
    {"btnSubWeapon", "副兵装", 312, 116, "btnDelSubWeapon", 476, "lbSubWeapon", 332, 160},
    {"btnEngine", "機関", 312, 332, "btnDelEngine", 476, "lbEngine", 332, 376},
    {"btnShield", "防御兵装", 312, 224, "btnDelShield", 476, "lbShield", 332, 268},
};

struct TLabelPlace {
  int left, top;
};
constexpr TLabelPlace kLabels[26] = {
    {0, 0},     {32, 64},   {32, 77},   {160, 64},  {160, 77},               // 1..4 hull
    {332, 64},  {332, 76},  {332, 88},  {444, 64},  {444, 76},  {444, 88},   // 5..10
    {332, 172}, {332, 184}, {332, 196}, {444, 172}, {444, 184}, {444, 196},  // 11..16
    {332, 280}, {332, 292}, {448, 280}, {448, 292},                          // 17..20 shield
    {332, 388}, {332, 400},                                                  // 21, 22 engine
    {32, 304},  {164, 304}, {32, 317},                                       // 23..25 totals
};

// The value lines of a slot kind: first label and the formats with a part and empty.
struct TValueLine {
  const char* full;
  const char* empty;
};
constexpr TValueLine kWeaponLines[6] = {
    {"攻撃力 %4d", "攻撃力 ----"}, {"射程　 %4d", "射程　 ----"}, {"充填　 %4d", "充填　 ----"},
    {"弾速　 %4d", "弾速　 ----"}, {"誘導　 %4d", "誘導　 ----"}, {"弾数　 %4d", "弾数　 ----"},
};
constexpr TValueLine kShieldLines[4] = {
    {"耐久力   %4d", "耐久力 ----"},
    {"防御力   %4d", "防御力 ----"},
    {"展開時間 %4d", "展開時間 ----"},
    {"充填     %4d", "充填     ----"},
};
constexpr TValueLine kEngineLines[2] = {{"船速　 %4d", "船速　 ----"}, {"旋回　 %4d", "旋回　 ----"}};

}  // namespace

TfmBuild::TfmBuild(TComponent* owner) : TCHF_Form(owner) {
  SetUpScreenForm(this, "fmBuild", SJS("造船所"), 600, 500);
  imgBG = MakeScreenBackground(this, QoBG, 600, 500);

  imgFrame = MakeScreenPicture(this, &plFrame, "plFrame", "imgFrame", QoFrame, 18, 120, 256, 160);

  for (int kind = 0; kind < kPartsKindCount; ++kind) {
    const TSlotLayout& s = kSlots[kind];
    btnChoose[kind] =
        MakeScreenButton(this, s.choose, s.chooseLeft, s.chooseTop, 156, 40, Utf8ToSjis(s.chooseCaption), "bc156_40");
    btnDel[kind] = MakeScreenButton(this, s.del, s.delLeft, s.chooseTop, 86, 28, SJS("削除"), "bc86_28_2");
    btnDel[kind]->OnClick = [this, kind](TComponent*) { DeletePart(kind); };
    lbName[kind] = MakeScreenLabel(this, s.name, s.nameLeft, s.nameTop, "");
    if (kind == kPartsFrame)
      btnChoose[kind]->OnClick = [this](TComponent* c) { btnFrameClick(c); };
    else
      btnChoose[kind]->OnClick = [this, kind](TComponent*) { ChoosePart(kind); };
  }
  for (int i = 1; i <= 25; ++i)
    Label[i] = MakeScreenLabel(this, "Label" + std::to_string(i), kLabels[i].left, kLabels[i].top, "");
  btnOk = MakeScreenButton(this, "btnOk", 422, 468, 86, 28, SJS("決定"), "bc86_28_2");
  btnClose = MakeScreenButton(this, "btnClose", 508, 468, 86, 28, SJS("閉じる"), "bc86_28_2");
  btnOk->OnClick = [this](TComponent* c) { btnOkClick(c); };
  btnClose->OnClick = [this](TComponent* c) { btnCloseClick(c); };
  OnShow = [this](TComponent* c) { FormShow(c); };

  DrawScreenBackground(QoBG, kFileKindDesignerBackground);
}

TfmBuild::~TfmBuild() {
  BeginDestroy();
  DestroyComponents();
}

int TfmBuild::AutoSelectPart(int hullClass, int kind) const {
  int best = -1, bestPrice = 0;
  const int count = GetPartsCount(kind);
  for (int part = 0; part < count; ++part) {
    if (!IsPartsSelectable(Mode, kind, part)) continue;
    const TPartsData* p = GetPartsPtr(kind, part);
    if (kind != kPartsFrame && !IsPartsFit(hullClass, p)) continue;
    const int price = GetPartsPrice(p);
    if (best < 0 || price >= bestPrice) {
      best = part;
      bestPrice = price;
    }
  }
  return best;
}

void TfmBuild::ShowSlot(int kind) {
  const int part = GetShipParts(&Design, kind);
  const bool has = part >= 0;
  lbName[kind]->SetCaption(has ? NameOrEmpty(GetPartsName(kind, part)) : SJS("ＮＯ　ＰＡＲＴＳ"));
  auto lines = [&](int first, const TValueLine* formats, int n, const int* values) {
    for (int i = 0; i < n; ++i)
      Label[first + i]->SetCaption(has ? Format(Utf8ToSjis(formats[i].full).c_str(), values[i])
                                       : Utf8ToSjis(formats[i].empty));
  };
  switch (kind) {
    case kPartsFrame: {
      const TFrameBody* body = GetFrameBodyPtr(part);
      Label[1]->SetCaption(has ? Format(SJS("種別 %s").c_str(), NameOrEmpty(GetFrameClassName(GetFrameClass(part))))
                               : SJS("種別"));
      static constexpr TValueLine kHull[3] = {
          {"耐久力 %4d", "耐久力 ------"}, {"防御力 %4d", "防御力 ----"}, {"移動   %4d", "移動   ----"}};
      const int values[3] = {GetFrameBodyHp(body), GetFrameBodyDef(body), GetFrameMoveStep(part)};
      lines(2, kHull, 3, values);
      break;
    }
    case kPartsWeapon1:
    case kPartsWeapon2: {
      const TWeaponBody* w = GetWeaponDataPtr(part);
      const int values[6] = {GetWeaponAtk(w),   GetWeaponRange(w), GetWeaponCharge(w),
                             GetWeaponSpeed(w), GetWeaponGuide(w), GetWeaponAmmo(w)};
      lines(kind == kPartsWeapon1 ? 5 : 11, kWeaponLines, 6, values);
      break;
    }
    case kPartsShield: {
      const TShieldBody* s = GetShieldDataPtr(part);
      const int values[4] = {GetShieldHp(s), GetShieldDef(s), GetShieldDeployTime(s), GetShieldCharge(s)};
      lines(17, kShieldLines, 4, values);
      break;
    }
    case kPartsEngine: {
      const TEngineBody* e = GetEngineDataPtr(part);
      const int values[2] = {GetEngineSpeed(e), GetEngineTurn(e)};
      lines(21, kEngineLines, 2, values);
      break;
    }
    default: break;
  }
}

void TfmBuild::DispDesign() {
  const bool valid = IsShipValid(&Design);
  Label[23]->SetCaption(valid ? Format(SJS("耐久力   %6d").c_str(), GetShipHp(&Design)) : "");
  Label[24]->SetCaption(valid ? Format(SJS("工程数   %4d").c_str(), GetShipBuildWork(&Design)) : "");
  Label[25]->SetCaption(valid ? Format(SJS("建造資金 %6d").c_str(), GetShipPrice(&Design)) : "");
  for (int kind = 0; kind < kPartsKindCount; ++kind) ShowSlot(kind);

  const int hull = GetShipParts(&Design, kPartsFrame);
  const bool design = DesignMode();
  btnDel[kPartsFrame]->SetEnabled(hull >= 0 && design);
  btnChoose[kPartsFrame]->SetEnabled(design);
  for (int kind = 1; kind < kPartsKindCount; ++kind) {
    btnChoose[kind]->SetEnabled(hull >= 0 && design);
    btnDel[kind]->SetEnabled(GetShipParts(&Design, kind) >= 0 && design);
  }
  if (hull < 0) {
    DrawBmpPackById(&QoFrame, 0, 0, kFileKindDesignerNoHull, 0);
  } else {
    const int cg = GetPartsCg(GetPartsPtr(kPartsFrame, hull));
    if (cg != -1) DrawBmpPackById(&QoFrame, 0, 0, kFileKindShipPicture, cg);
  }
  QoFrame.Change();
}

void TfmBuild::FormShow(TComponent*) {
  DrawScreenBackground(QoBG, kFileKindDesignerBackground);
  DispDesign();
}

void TfmBuild::btnFrameClick(TComponent*) {
  const int hull = GetShipParts(&Design, kPartsFrame);
  const int chosen = SelectParts(Mode, hull >= 0 ? GetFrameClass(hull) : 0, kPartsFrame, hull);
  if (chosen >= 0) {
    SetShipParts(&Design, kPartsFrame, chosen);
    if (GameHost().SysMes(SJS("パーツの自動選択を行ないますか？"), SJS("確認"), 1) == 1) {
      const int hullClass = GetFrameClass(chosen);
      for (int kind = 1; kind < kPartsKindCount; ++kind) SetShipParts(&Design, kind, AutoSelectPart(hullClass, kind));
    }
  }
  DispDesign();
}

void TfmBuild::ChoosePart(int kind) {
  const int hull = GetShipParts(&Design, kPartsFrame);
  const int chosen = SelectParts(Mode, GetFrameClass(hull), kind, GetShipParts(&Design, kind));
  if (chosen >= 0) SetShipParts(&Design, kind, chosen);
  DispDesign();
}

void TfmBuild::DeletePart(int kind) {
  RemoveShipParts(&Design, kind);
  DispDesign();
}

void TfmBuild::btnOkClick(TComponent*) {
  if (!DesignMode()) {
    ModalResult = mrOk;
    return;
  }
  if (!IsShipValid(&Design)) {
    GameHost().SysMes(SJS("船体、主兵装、機関は<BR>選択しなくてはなりません。"), SJS("確認"), 0);
    return;
  }
  const int price = GetShipPrice(&Design);
  const int funds = GetCountryFund(GetPlayerCountry());
  if (price > funds) {
    GameHost().SysMes(Format(SJS("建造資金が%d<BR>不足しています。").c_str(), price - funds), SJS("確認"), 0);
    return;
  }
  std::string question;
  if (Planet < 0 || Dock < 0)
    question = Format(SJS("資金%d<BR>が必要です。<BR>よろしいですか？").c_str(), price);
  else
    question = Format(SJS("資金%d<BR>期間%dターンが必要です。<BR>よろしいですか？").c_str(), price,
                      CalcDockBuildTurn(Planet, Dock, &Design));
  if (GameHost().SysMes(question, SJS("確認"), 1) == 1) ModalResult = mrOk;
}

void TfmBuild::btnCloseClick(TComponent*) {
  ClearShip(&Design);
  ModalResult = mrCancel;
}

void ShowBuildForm(int mode, TShipData* ship, int planet, TShipData* out, int dock) {
  if (openBuild != nullptr) {
    if (out != nullptr && ship != nullptr) *out = *ship;
    return;
  }
  TOpenScreen<TfmBuild> screen(openBuild);
  screen->Mode = mode;
  const bool design = screen->DesignMode();
  if (design && ship != nullptr) ClearShip(ship);
  screen->btnOk->SetVisible(design);
  screen->Planet = planet;
  screen->Dock = dock;
  if (ship != nullptr)
    screen->Design = *ship;
  else
    ClearShip(&screen->Design);
  for (TCHBcBitBtn* del : screen->btnDel) del->SetEnabled(design);
  const bool accepted = screen->ShowModal() == mrOk;
  if (out == nullptr) return;
  if (accepted)
    *out = screen->Design;
  else
    ClearShip(out);
}

}  // namespace vdmq
