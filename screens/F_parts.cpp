#include "screens/F_parts.h"

#include <string>
#include <vector>

#include "campaign/FileKinds.h"
#include "campaign/Parts.h"
#include "campaign/Ship.h"
#include "formkit/Chbcbtn.h"
#include "platform/base/Sjis.h"
#include "platform/core/StdCtrls.h"

namespace vdmq {

namespace {

TfmParts* openParts = nullptr;

constexpr int kNoteNumbers[TfmParts::kDetailLines] = {0, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13};
constexpr int kNoteTops[TfmParts::kDetailLines] = {68, 84, 100, 112, 156, 172, 188, 204, 220, 236, 252, 268};
constexpr int kScrollTops[4] = {20, 48, 120, 148};

bool KindEnabled(int kind, int part) {
  switch (kind) {
    case kPartsFrame: return GetFrameEnabled(part);
    case kPartsWeapon1:
    case kPartsWeapon2: return GetWeaponEnabled(part);
    case kPartsEngine: return GetEngineEnabled(part);
    case kPartsShield: return GetShieldEnabled(part);
    default: return false;
  }
}

}  // namespace

bool IsPartsSelectable(int mode, int kind, int part) {
  if (!KindEnabled(kind, part)) return false;
  if (kind == kPartsFrame) {
    const bool satellite = GetFrameClass(part) == kFrameClassSatellite;
    if (mode == 1 && satellite) return false;
    if (mode == 2 && !satellite) return false;
  }
  const TPartsData* p = GetPartsPtr(kind, part);
  return p != nullptr && IsPartsTecOk(p);
}

TfmParts::TfmParts(TComponent* owner) : TCHF_Form(owner) {
  SetUpScreenForm(this, "fmParts", SJS("パーツ選択"), 460, 340);
  imgBG = MakeScreenBackground(this, QoBG, 460, 340);

  List.Create(this, 24, 20, 16, 188, kScrollTops, [this] { ShowList(); });
  for (TLabel* line : List.lbList) line->OnClick = [this](TComponent* s) { lbList0Click(s); };
  lbTxtPartsDat = MakeScreenLabel(this, "lbTxtPartsDat", 244, 52, SJS("共通パラメーター"));
  lbTxtPartsDat2 = MakeScreenLabel(this, "lbTxtPartsDat2", 244, 140, SJS("固有パラメーター"));
  for (int i = 0; i < kDetailLines; ++i) {
    lbNote[i] = MakeScreenLabel(this, "lbNote" + std::to_string(kNoteNumbers[i]), 244, kNoteTops[i], "");
    lbNote[i]->Tag = 11 + i;
  }
  btnOk = MakeScreenButton(this, "btnOk", 282, 304, 86, 28, SJS("決定"), "bc86_28_2");
  btnBack = MakeScreenButton(this, "btnBack", 368, 304, 86, 28, SJS("戻る"), "bc86_28_2");
  btnOk->OnClick = [this](TComponent* s) { btnOkClick(s); };
  btnBack->OnClick = [this](TComponent* s) { btnBackClick(s); };

  DrawScreenBackground(QoBG, kFileKindPartsSelectorBackground);
}

TfmParts::~TfmParts() {
  BeginDestroy();
  DestroyComponents();
}

bool TfmParts::Fits(int part) const { return Kind == kPartsFrame || IsPartsFit(HullClass, GetPartsPtr(Kind, part)); }

void TfmParts::BuildList() {
  List.Clear();
  const int count = GetPartsCount(Kind);
  for (int part = 0; part < count; ++part)
    if (IsPartsSelectable(Mode, Kind, part) && Fits(part) && !List.Append(part)) break;
  List.Top = 0;
  const bool descending = Descending;
  const int kind = Kind;
  List.Sort([descending, kind](int a, int b) {
    const int pa = GetPartsPrice(GetPartsPtr(kind, a)), pb = GetPartsPrice(GetPartsPtr(kind, b));
    if (descending) return pa != pb ? pa > pb : a > b;
    return pa != pb ? pa < pb : a < b;
  });
}

void TfmParts::ShowList() {
  List.Show([this](int part) { return std::string(NameOrEmpty(GetPartsName(Kind, part))); },
            [this](int part) {
              if (part == Chosen) return kLineChosen;
              return Fits(part) ? kLineChoosable : kLineGrey;
            });
}

void TfmParts::ShowDetail() {
  for (TLabel* note : lbNote) note->SetCaption("");
  const TPartsData* p = Chosen >= 0 ? GetPartsPtr(Kind, Chosen) : nullptr;
  if (p == nullptr) return;
  lbNote[0]->SetCaption(Format(SJS("資金力　　%6d").c_str(), GetPartsPrice(p)));
  lbNote[1]->SetCaption(Format(SJS("工程数　　%6d").c_str(), GetPartsBuildWork(p)));
  lbNote[2]->SetCaption(SJS("技術ﾚﾍﾞﾙ　船　Ｌ　Ｍ　防　機"));
  std::string lev[5];
  for (int t = 0; t < 5; ++t) {
    const int l = GetPartsTecLev(p, t);
    lev[t] = l >= 1 ? Format("%2d", l) : "--";
  }
  lbNote[3]->SetCaption(Format(SJS("　　　　　%s　%s　%s　%s　%s").c_str(), lev[0].c_str(), lev[1].c_str(),
                               lev[2].c_str(), lev[3].c_str(), lev[4].c_str()));
  if (Kind != kPartsFrame) {
    lbNote[4]->SetCaption(SJS("装着 Ｌ駆 Ｍ駆 Ｌ巡 Ｍ巡 衛星"));
    const char* fit[5];
    for (int i = 0; i < 5; ++i) fit[i] = IsPartsFit(1 << i, p) ? "OK" : "NO";
    lbNote[5]->SetCaption(Format(SJS("　　　%s   %s   %s   %s   %s").c_str(), fit[0], fit[1], fit[2], fit[3], fit[4]));
  }
  std::vector<std::string> values;
  auto add = [&values](const char* format, int value) { values.push_back(Format(Utf8ToSjis(format).c_str(), value)); };
  switch (GetPartsType(p)) {
    case kPartsFrame: {
      const TFrameBody* body = GetFrameBodyPtr(Chosen);
      values.push_back(Format(SJS("艦船種別　%s").c_str(), NameOrEmpty(GetFrameClassName(GetFrameClass(Chosen)))));
      add("耐久力　　%6d", GetFrameBodyHp(body));
      add("防御力　　%6d", GetFrameBodyDef(body));
      add("移動歩数　%6d", GetFrameMoveStep(Chosen));
      break;
    }
    case kPartsWeapon1:
    case kPartsWeapon2: {
      const TWeaponBody* w = GetWeaponDataPtr(Chosen);
      add("攻撃力　　%6d", GetWeaponAtk(w));
      add("射程　　　%6d", GetWeaponRange(w));
      add("充填　　　%6d", GetWeaponCharge(w));
      add("弾速　　　%6d", GetWeaponSpeed(w));
      add("誘導　　　%6d", GetWeaponGuide(w));
      add("弾数　　　%6d", GetWeaponAmmo(w));
      break;
    }
    case kPartsEngine: {
      const TEngineBody* e = GetEngineDataPtr(Chosen);
      add("船速　　　%6d", GetEngineSpeed(e));
      add("旋回　　　%6d", GetEngineTurn(e));
      break;
    }
    case kPartsShield: {
      const TShieldBody* s = GetShieldDataPtr(Chosen);
      add("耐久力　　%6d", GetShieldHp(s));
      add("防御力　　%6d", GetShieldDef(s));
      add("展開時間　%6d", GetShieldDeployTime(s));
      add("充填　　　%6d", GetShieldCharge(s));
      break;
    }
    default: break;
  }
  for (size_t i = 0; i < values.size(); ++i) lbNote[6 + i]->SetCaption(values[i]);
}

void TfmParts::lbList0Click(TComponent* sender) {
  const int part = List.EntryOfSender(sender);
  if (part < 0 || !Fits(part)) return;
  Chosen = part;
  ShowList();
  ShowDetail();
  btnOk->SetEnabled(true);
}

void TfmParts::btnOkClick(TComponent*) { ModalResult = mrOk; }

void TfmParts::btnBackClick(TComponent*) {
  Chosen = -1;
  ModalResult = mrCancel;
}

int SelectParts(int mode, int hullClass, int kind, int current) {
  if (openParts != nullptr) return -1;
  TOpenScreen<TfmParts> screen(openParts);
  screen->Mode = mode;
  screen->HullClass = hullClass;
  screen->Kind = kind;
  screen->Chosen = -1;
  screen->BuildList();
  for (int i = 0; i < screen->List.Count; ++i) {
    const int part = screen->List.Places[static_cast<size_t>(i)];
    if (part == current && screen->Fits(part)) {
      screen->Chosen = part;
      break;
    }
    if (screen->Chosen < 0 && screen->Fits(part)) screen->Chosen = part;
  }
  screen->BuildList();
  screen->ShowList();
  screen->ShowDetail();
  screen->btnOk->SetEnabled(screen->Chosen >= 0);
  return screen->ShowModal() == mrOk ? screen->Chosen : -1;
}

}  // namespace vdmq
