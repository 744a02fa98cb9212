#include "screens/Debug.h"

#include <optional>
#include <vector>

#include "campaign/Country.h"
#include "platform/base/Sjis.h"
#include "platform/core/Application.h"
#include "screens/F_maped.h"
#include "screens/ScreenParts.h"

namespace vdmq {

TfmDebug* fmDebug = nullptr;

namespace {

// The switch names, in the order of their numbers (UTF-8).
constexpr const char* kSwitchNames[kDebugSwCount] = {
    "MAP_STEP_DUMP", "MAP_HOKYUU_DUMP", "ドックを全表示", "艦隊移動を何度も可", "戦闘勝利", "確立戦闘",
};

// The relation items of rgrpRelation and the relation each one stands for.
constexpr int kRelationOfItem[] = {kRelationNone, kRelationWar};

template <class T>
T* Make(TfmDebug* form, TControl* parent, const char* name, int left, int top, int width, int height) {
  auto* c = new T(form);
  c->Name = name;
  c->SetParent(parent);
  c->SetBounds(left, top, width, height);
  return c;
}

TButton* MakeButton(TfmDebug* form, TControl* parent, const char* name, int left, int top, const char* caption,
                    void (TfmDebug::*handler)(TComponent*)) {
  auto* b = Make<TButton>(form, parent, name, left, top, 75, 25);
  b->SetCaption(Utf8ToSjis(caption));
  b->OnClick = [form, handler](TComponent* s) { (form->*handler)(s); };
  return b;
}

TTabSheet* MakePage(TfmDebug* form, const char* name, const char* caption) {
  auto* p = new TTabSheet(form);
  p->Name = name;
  p->SetCaption(Utf8ToSjis(caption));
  p->SetPageControl(form->PageControl1);
  return p;
}

// One battle setting of the "戦闘" page: a check box with its edit and up-down, which start
// disabled and follow the box.
struct TBattleRow {
  TCheckBox* TfmDebug::*Box;
  TEdit* TfmDebug::*Edit;
  TUpDown* TfmDebug::*Up;
  const char *BoxName, *EditName, *UpName, *Caption;
  int Max;
  void (TfmDebug::*Handler)(TComponent*);
};
const TBattleRow kBattleRows[] = {
    {&TfmDebug::chkbBtBG, &TfmDebug::edBtBG, &TfmDebug::udBtBG, "chkbBtBG", "edBtBG", "udBtBG", "背景指定", 7,
     &TfmDebug::chkbBtBGClick},
    {&TfmDebug::chkbBtRand, &TfmDebug::edBtRand, &TfmDebug::udBtRand, "chkbBtRand", "edBtRand", "udBtRand", "勝利確立",
     100, &TfmDebug::chkbBtRandClick},
    {&TfmDebug::chkbBtShipCG, &TfmDebug::edBtShipCG, &TfmDebug::udBtShipCG, "chkbBtShipCG", "edBtShipCG", "udBtShipCG",
     "戦闘ＣＧ", 21, &TfmDebug::chkbBtShipCGClick},
};

// The edit and up-down of a battle setting are usable exactly while its box is checked.
void FollowBox(TfmDebug* form, const TBattleRow& row) {
  const bool on = (form->*row.Box)->Checked();
  (form->*row.Edit)->SetEnabled(on);
  (form->*row.Up)->SetEnabled(on);
}

}  // namespace

TfmDebug::TfmDebug(TComponent* owner) : TForm(owner) {
  Name = "fmDebug";
  SetCaption("fmDebug");
  Position = poDesigned;
  SetClientSize(325, 352);
  SetBounds(0, 0, Width(), Height());
  for (int n = 0; n < kDebugSwCount; ++n) Switches[static_cast<size_t>(n)].name = Utf8ToSjis(kSwitchNames[n]);
  CountryIndex.fill(-1);

  PageControl1 = Make<TPageControl>(this, this, "PageControl1", 4, 4, 317, 312);
  TabSheet1 = MakePage(this, "TabSheet1", "メッセージ");
  TabSheet2 = MakePage(this, "TabSheet2", "設定");
  TabSheet3 = MakePage(this, "TabSheet3", "国家");
  TabSheet4 = MakePage(this, "TabSheet4", "デバック");
  TabSheet5 = MakePage(this, "TabSheet5", "戦闘");

  // "メッセージ" and "設定": a list filling the page.
  lboxDebug = Make<TListBox>(this, TabSheet1, "lboxDebug", 4, 4, 301, 276);
  lboxDebugSw = Make<TListBox>(this, TabSheet2, "lboxDebugSw", 4, 4, 301, 276);
  lboxDebugSw->OnClick = [this](TComponent* s) { lboxDebugSwClick(s); };

  // "国家": the country, its relation to the player with the button that sets it, its funds with
  // the button that sets them.
  cboxCountry = Make<TComboBox>(this, TabSheet3, "cboxCountry", 8, 8, 160, 21);
  cboxCountry->OnChange = [this](TComponent* s) { cboxCountryChange(s); };
  rgrpRelation = Make<TRadioGroup>(this, TabSheet3, "rgrpRelation", 8, 38, 160, 62);
  rgrpRelation->SetCaption(SJS("国家関係"));
  rgrpRelation->Items = {SJS("通常"), SJS("交戦")};
  Button1 = MakeButton(this, TabSheet3, "Button1", 176, 75, "変更", &TfmDebug::Button1Click);
  edCoFund = Make<TEdit>(this, TabSheet3, "edCoFund", 8, 112, 160, 21);
  btnCoFund = MakeButton(this, TabSheet3, "btnCoFund", 176, 110, "資金変更", &TfmDebug::btnCoFundClick);
  TabSheet3->OnShow = [this](TComponent* s) { TabSheet3Show(s); };

  // "デバック".
  Button2 = MakeButton(this, TabSheet4, "Button2", 8, 8, "資金投入", &TfmDebug::Button2Click);

  // "戦闘": a country and the button of a test battle, then the three battle settings.
  ComboBox1 = Make<TComboBox>(this, TabSheet5, "ComboBox1", 8, 8, 160, 21);
  ComboBox1->OnChange = [this](TComponent* s) { cboxCountryChange(s); };
  Button3 = MakeButton(this, TabSheet5, "Button3", 176, 6, "戦闘", &TfmDebug::Button3Click);
  int top = 44;
  for (const TBattleRow& row : kBattleRows) {
    TCheckBox* box = this->*row.Box = Make<TCheckBox>(this, TabSheet5, row.BoxName, 8, top, 97, 17);
    box->SetCaption(Utf8ToSjis(row.Caption));
    box->OnClick = [this, h = row.Handler](TComponent* s) { (this->*h)(s); };
    TEdit* edit = this->*row.Edit = Make<TEdit>(this, TabSheet5, row.EditName, 112, top - 2, 49, 21);
    TUpDown* up = this->*row.Up = Make<TUpDown>(this, TabSheet5, row.UpName, 161, top - 2, 16, 21);
    up->Max = row.Max;
    up->Associate = edit;
    up->SetPosition(0);
    FollowBox(this, row);
    top += 28;
  }

  Button4 = MakeButton(this, this, "Button4", 4, 322, "MAPEDIT", &TfmDebug::Button4Click);
  Button4->SetWidth(90);

  OnShow = [this](TComponent* s) { FormShow(s); };
}

TfmDebug::~TfmDebug() {
  BeginDestroy();
  DestroyComponents();
  if (fmDebug == this) fmDebug = nullptr;
}

bool TfmDebug::Switch(int n) const { return n >= 0 && n < kDebugSwCount && Switches[static_cast<size_t>(n)].on; }

void TfmDebug::DispSwitches() {
  std::vector<std::string> lines;
  for (const TDebugSw& sw : Switches) lines.push_back((sw.on ? "[ON ]" : "[OFF]") + sw.name);
  lboxDebugSw->Items = std::move(lines);
  lboxDebugSw->ItemsChanged();
}

int TfmDebug::ChosenCountry() const {
  const int line = cboxCountry->ItemIndex();
  return line >= 0 && line < static_cast<int>(CountryIndex.size()) ? CountryIndex[static_cast<size_t>(line)] : -1;
}

void TfmDebug::DispCountry(int k) {
  if (k < 0) {
    rgrpRelation->SetItemIndex(-1);
    edCoFund->SetText("");
    return;
  }
  const int relation = GetCountryRelation(GetPlayerCountry(), k);
  rgrpRelation->SetItemIndex(relation == kRelationNone ? 0 : relation == kRelationWar ? 1 : -1);
  edCoFund->SetText(std::to_string(GetCountryFund(k)));
}

void TfmDebug::FormShow(TComponent*) { DispSwitches(); }

void TfmDebug::lboxDebugSwClick(TComponent*) {
  const int n = lboxDebugSw->ItemIndex();
  if (n >= 0 && n < kDebugSwCount) Switches[static_cast<size_t>(n)].on = !Switches[static_cast<size_t>(n)].on;
  DispSwitches();
}

void TfmDebug::TabSheet3Show(TComponent*) {
  const int player = GetPlayerCountry();
  CountryIndex.fill(-1);
  cboxCountry->Items.clear();
  size_t lines = 0;
  for (int k = 0; k < kCountryCount && lines < CountryIndex.size(); ++k) {
    if (k == player || !IsCountryAlive(k)) continue;
    CountryIndex[lines++] = k;
    cboxCountry->Items.push_back(GetCountryName(k));
  }
  cboxCountry->SetItemIndex(lines > 0 ? 0 : -1);
  DispCountry(ChosenCountry());
}

void TfmDebug::cboxCountryChange(TComponent*) { DispCountry(ChosenCountry()); }

void TfmDebug::Button1Click(TComponent*) {
  const int k = ChosenCountry();
  const int item = rgrpRelation->ItemIndex();
  if (!IsCountryAlive(k) || item < 0) return;
  SetCountryRelation(GetPlayerCountry(), k, kRelationOfItem[item]);
}

void TfmDebug::btnCoFundClick(TComponent*) {
  const int k = ChosenCountry();
  const std::optional<int> fund = WholeNumber(edCoFund->Text());
  if (k < 0 || !fund) return;
  SetCountryFund(k, *fund);
}

// "資金投入" and "戦闘" do nothing.
void TfmDebug::Button2Click(TComponent*) {}
void TfmDebug::Button3Click(TComponent*) {}

void TfmDebug::chkbBtBGClick(TComponent*) { FollowBox(this, kBattleRows[0]); }
void TfmDebug::chkbBtRandClick(TComponent*) { FollowBox(this, kBattleRows[1]); }
void TfmDebug::chkbBtShipCGClick(TComponent*) { FollowBox(this, kBattleRows[2]); }

void TfmDebug::Button4Click(TComponent*) {
  if (fmMapEdTools != nullptr) fmMapEdTools->SetVisible(!fmMapEdTools->Visible());
}

bool GetDebugSw(int n) { return fmDebug != nullptr && fmDebug->Switch(n); }

int GetDebugBattleChance() {
  if (fmDebug == nullptr || !fmDebug->chkbBtRand->Checked()) return -1;
  const std::optional<int> percent = WholeNumber(fmDebug->edBtRand->Text());
  return percent && *percent > 0 ? *percent : 0;
}

int GetDebugShipCg() {
  if (fmDebug == nullptr || !fmDebug->chkbBtShipCG->Checked()) return -1;
  return WholeNumber(fmDebug->edBtShipCG->Text()).value_or(-1);
}

void DebugMes(const std::string&) {}

}  // namespace vdmq
