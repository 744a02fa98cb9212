#include "ModalStepsSupport.h"

#include "campaign/Stdfunc.h"
#include "campaign/Tec.h"
#include "platform/base/Sjis.h"

namespace vdmq::test {

TModalSteps::TModalSteps(THeadlessSession& session) : session_(session) {
  session_.Backend.Driver = [this] { return Drive(); };
}

TModalSteps::~TModalSteps() {
  session_.Backend.Driver = nullptr;
  EXPECT_TRUE(Done()) << "steps left: " << steps_.size() - next_;
}

TModalSteps& TModalSteps::Then(std::string modalClass, TAction act) {
  steps_.emplace_back(std::move(modalClass), std::move(act));
  return *this;
}

TModalSteps& TModalSteps::Click(std::string modalClass, std::string control) {
  return Then(std::move(modalClass), [control](TForm* top) { ClickNamed(top, control); });
}

bool TModalSteps::Drive() {
  TForm* top = TopModal();
  if (top == nullptr) return false;
  if (next_ >= steps_.size() || steps_[next_].first != top->ClassName()) {
    auto* msg = dynamic_cast<TLabel*>(top->FindComponent("Message"));
    ADD_FAILURE() << "unexpected modal " << top->ClassName() << " at step " << next_
                  << (msg ? SjisToUtf8(msg->Caption()) : "");
    top->ModalResult = mrCancel;
    return true;
  }
  steps_[next_++].second(top);
  return true;
}

void SetUpShipyardWorld() {
  ResetWorld();
  static const std::string names[kTecCount] = {SJS("船体"), SJS("レーザー"), SJS("ミサイル"), SJS("防御兵装"),
                                               SJS("主機関")};
  for (int t = 0; t < kTecCount; ++t) {
    TecData[t].Name = names[t].c_str();
    TecData[t].Index = t;
    TecData[t].Lev = 1;
    TecData[t].InvestFund = 0;
    for (int l = 0; l < kTecLevCount; ++l) TecData[t].LevUpFund[l] = 1000 * l;
  }
  const int hullPrices[] = {100, 300, 100, 200, 150, 500, 900};
  for (int h = 0; h < 7; ++h) FrameData[h].Parts.Price = hullPrices[h];
  FrameData[5] = FrameData[0];
  FrameData[5].Parts.Price = 500;
  FrameData[5].Parts.TecLev[0] = 5;
  FrameData[6] = FrameData[0];
  FrameData[6].Parts.Price = 900;
  FrameData[6].Enabled = 0;
  struct Weapon {
    int type, fit, price;
  } weapons[] = {{1, 0xFF, 50}, {2, 0xFF, 40}, {1, 4, 80}, {1, 0xFF, 50}};
  for (int w = 0; w < 4; ++w) {
    TWeaponData& d = WeaponData[w];
    d.Enabled = 1;
    d.Parts.NameNum = w;
    d.Parts.Type = weapons[w].type;
    d.Parts.FitMask = weapons[w].fit;
    d.Parts.Price = weapons[w].price;
    d.Parts.BuildWork = 15;
    for (auto& t : d.Parts.TecLev) t = -1;
  }
  WeaponData[0].Weapon = {11, 12, 13, 14, 15, 16, 0};
  WeaponData[0].Parts.TecLev[1] = 1;
  EngineData[0].Parts.Type = kPartsEngine;
  EngineData[0].Parts.Price = 30;
  for (auto& t : EngineData[0].Parts.TecLev) t = -1;
  EngineData[0].Engine = {21, 22};
  TShieldData& sh = ShieldData[0];
  sh.Enabled = 1;
  sh.Parts.Type = kPartsShield;
  sh.Parts.FitMask = 2;
  sh.Parts.Price = 20;
  sh.Parts.BuildWork = 5;
  for (auto& t : sh.Parts.TecLev) t = -1;
  sh.Shield = {31, 32, 33, 34};
  CountryData[0].Fund = 0;
  MakeCapital(0, 50, 40, 40);  // alive, so that its funds can change
}

void ClickNamed(TForm* form, const std::string& control) {
  auto* c = Find<TControl>(form, control);
  ASSERT_NE(c, nullptr) << control;
  vdmq::Click(c, mbLeft, false);
}

std::string LabelText(TComponent* form, const std::string& label) {
  auto* l = Find<TControl>(form, label);
  return l != nullptr ? SjisToUtf8(l->Caption()) : "<" + label + " missing>";
}

bool IsEnabled(TComponent* form, const std::string& control) {
  auto* c = Find<TControl>(form, control);
  return c != nullptr && c->Enabled();
}

bool IsVisible(TComponent* form, const std::string& control) {
  auto* c = Find<TControl>(form, control);
  return c != nullptr && c->Visible();
}

TColor LabelColor(TComponent* form, const std::string& label) {
  auto* c = Find<TControl>(form, label);
  return c != nullptr ? c->Font().Color : TColor{};
}

void ExpectSoundLayout(TForm* form, const std::vector<std::pair<std::string, int>>& numbered) {
  const TRect client = form->ClientRect();
  std::vector<TControl*> buttons;
  for (int i = 0; i < form->ComponentCount(); ++i) {
    auto* c = dynamic_cast<TControl*>(form->Components(i));
    if (c == nullptr || c->Parent() != form) continue;
    EXPECT_TRUE(c->Left() >= 0 && c->Top() >= 0 && c->Left() + c->Width() <= client.Right &&
                c->Top() + c->Height() <= client.Bottom)
        << form->ClassName() << "." << c->Name;
    if (std::string(c->ClassName()).find("Btn") != std::string::npos ||
        std::string(c->ClassName()).find("Button") != std::string::npos)
      buttons.push_back(c);
  }
  for (size_t a = 0; a < buttons.size(); ++a)
    for (size_t b = a + 1; b < buttons.size(); ++b) {
      const TControl *x = buttons[a], *y = buttons[b];
      const bool apart = x->Left() + x->Width() <= y->Left() || y->Left() + y->Width() <= x->Left() ||
                         x->Top() + x->Height() <= y->Top() || y->Top() + y->Height() <= x->Top();
      EXPECT_TRUE(apart) << form->ClassName() << ": " << x->Name << " overlaps " << y->Name;
    }
  for (const auto& [cls, tag] : numbered)
    EXPECT_NO_THROW(FindComponentByClass(form, cls, tag)) << form->ClassName() << " " << cls << " " << tag;
}

}  // namespace vdmq::test
