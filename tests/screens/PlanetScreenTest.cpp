// The planet screen with its real form on the headless back end: the planet's lines and the
// satellite slots for its owner, another country and nobody; buying a satellite through the
// designer at exactly the price, one short and not at all; scrapping one; the detail buttons.
#include <gtest/gtest.h>

#include "ModalStepsSupport.h"
#include "campaign/Country.h"
#include "campaign/Planet.h"
#include "platform/base/Sjis.h"
#include "screens/F_planet.h"

namespace vdmq::test {
namespace {

constexpr int kCapital = 50;  // country 0's capital
constexpr int kOther = 60;    // country 2's planet, not its capital

class PlanetScreen : public TShipyardScreens {
 protected:
  void SetUp() override {
    TShipyardScreens::SetUp();
    PlacePlanet(kOther, 10, 10, 2);
    PlanetData[kOther].IncomeFund = 345;
    PlanetData[kOther].Hokyuu = 7;
    PlanetData[kCapital].Sate[1] = MakeShip(4, 120);
    PlanetData[kOther].Sate[0] = MakeShip(4, 90);
  }
  TfmPlanet* Make(int planet, int slot) {
    TfmPlanet* f = nullptr;
    App().CreateForm(f);
    f->Planet = planet;
    f->Country = 0;
    f->Slot = slot;
    f->Refresh();
    return f;
  }
  // Buys a satellite for slot 0 of the capital through the designer (hull chosen with the automatic
  // choice), with funds; the designer is closed at once when close is set.
  void Buy(int funds, bool close = false) {
    SetCountryFund(0, funds);
    host_.answers = {1, 1};
    TModalSteps steps(session_);
    steps.Click("TfmPlanet", "btnSetShip");
    if (close) {
      steps.Click("TfmBuild", "btnClose");
    } else {
      steps.Click("TfmBuild", "btnFrame").Click("TfmParts", "btnOk").Click("TfmBuild", "btnOk");
      if (funds < price_) steps.Click("TfmBuild", "btnClose");
    }
    steps.Click("TfmPlanet", "btnClose");
    ShowPlanetWindow(kCapital, 0);
  }
  int price_ = 0;
};

TEST_F(PlanetScreen, ShowsThePlanetAndItsSlotsWithTheOwnersButtons) {
  const std::string capitalName = SjisToUtf8(GetPlanetName(kCapital));
  struct Case {
    int planet, slot;
    std::string name, owner, fund, supply;
    const char* buttons;  // 配備 破棄 詳細
  } cases[] = {
      {kCapital, 0, "本拠地 " + capitalName, "所属 " + SjisToUtf8(GetCountryName(0)), "収入資金 0", "補給能力 0",
       "100"},
      {kCapital, 1, "本拠地 " + capitalName, "所属 " + SjisToUtf8(GetCountryName(0)), "収入資金 0", "補給能力 0",
       "011"},
      {kOther, 0, "拠点 " + SjisToUtf8(GetPlanetName(kOther)), "所属 " + SjisToUtf8(GetCountryName(2)), "収入資金 345",
       "補給能力 7", "001"},
      {kOther, 1, "拠点 " + SjisToUtf8(GetPlanetName(kOther)), "所属 " + SjisToUtf8(GetCountryName(2)), "収入資金 345",
       "補給能力 7", "000"},
  };
  for (const Case& c : cases) {
    TfmPlanet* f = Make(c.planet, c.slot);
    EXPECT_EQ(LabelText(f, "lbPlaName"), c.name);
    EXPECT_EQ(LabelText(f, "lbCoName"), c.owner);
    EXPECT_EQ(LabelText(f, "lbFund"), c.fund);
    EXPECT_EQ(LabelText(f, "lbHokyuu"), c.supply);
    std::string buttons;
    for (const char* n : {"btnSetShip", "btnDelShip", "btnInfoShip"}) buttons += IsEnabled(f, n) ? '1' : '0';
    EXPECT_EQ(buttons, c.buttons) << c.planet << " slot " << c.slot;
    delete f;
  }
  TfmPlanet* f = Make(kCapital, 0);
  EXPECT_EQ(LabelText(f, "lbSt0ShipName"), "未配備");
  EXPECT_EQ(LabelText(f, "lbSt0ShipCnt"), "耐久力 ----/----");
  EXPECT_EQ(LabelText(f, "lbSt1ShipName"), SjisToUtf8(GetFrameName(4)));
  EXPECT_EQ(LabelText(f, "lbSt1ShipCnt"), "耐久力  120/ 200");
  delete f;

  // An unowned planet with a damaged name index.
  PlanetData[kOther].Belong = -1;
  PlanetData[kOther].Name = 9999;
  f = Make(kOther, 0);
  EXPECT_EQ(LabelText(f, "lbPlaName"), "拠点 ");
  EXPECT_EQ(LabelText(f, "lbCoName"), "所属 無所属");
  delete f;
}

TEST_F(PlanetScreen, BuysASatelliteWithExactlyItsPrice) {
  Buy(999999);
  ASSERT_TRUE(IsPlanetSateValid(kCapital, 0));
  price_ = GetShipPrice(GetPlanetSatePtr(kCapital, 0));
  ASSERT_GT(price_, 0);
  RemovePlanetSate(kCapital, 0);

  Buy(price_);
  EXPECT_TRUE(IsPlanetSateValid(kCapital, 0));
  EXPECT_EQ(GetCountryFund(0), 0);
  EXPECT_TRUE(host_.prompts.empty());
}

TEST_F(PlanetScreen, OneShortOrClosingTheDesignerBuysNothing) {
  Buy(999999);
  price_ = GetShipPrice(GetPlanetSatePtr(kCapital, 0));
  RemovePlanetSate(kCapital, 0);
  host_.messages.clear();

  Buy(price_ - 1);
  EXPECT_FALSE(IsPlanetSateValid(kCapital, 0));
  EXPECT_EQ(GetCountryFund(0), price_ - 1);
  ASSERT_FALSE(host_.messages.empty());
  EXPECT_EQ(host_.messages.back(), "建造資金が1<BR>不足しています。");

  host_.messages.clear();
  Buy(price_, true);
  EXPECT_FALSE(IsPlanetSateValid(kCapital, 0));
  EXPECT_EQ(GetCountryFund(0), price_);
  EXPECT_TRUE(host_.messages.empty());
  EXPECT_TRUE(host_.prompts.empty());
}

TEST_F(PlanetScreen, ScrappingAsksAndPaysNothingBack) {
  SetCountryFund(0, 500);
  for (int answer : {2, 1}) {
    host_.messages.clear();
    host_.answers = {answer};
    {
      TModalSteps steps(session_);
      steps.Click("TfmPlanet", "spbtnSt1").Click("TfmPlanet", "btnDelShip").Then("TfmPlanet", [&](TForm* f) {
        EXPECT_EQ(LabelText(f, "lbSt1ShipName"), answer == 1 ? "未配備" : SjisToUtf8(GetFrameName(4)));
        EXPECT_EQ(IsEnabled(f, "btnSetShip"), answer == 1);
        ClickNamed(f, "btnClose");
      });
      ShowPlanetWindow(kCapital, 0);
    }
    ASSERT_EQ(host_.messages.size(), 1u);
    EXPECT_EQ(host_.messages[0], "防御衛星を破棄します。<BR>よろしいですか？");
    EXPECT_EQ(IsPlanetSateValid(kCapital, 1), answer != 1);
    EXPECT_EQ(GetCountryFund(0), 500);
  }
}

TEST_F(PlanetScreen, DetailButtonsShowTheSatelliteAndTheOwnerAndASecondOpeningReturns) {
  TModalSteps steps(session_);
  steps
      .Then("TfmPlanet",
            [](TForm* f) {
              ShowPlanetWindow(kOther, 0);  // already open: returns at once
              ClickNamed(f, "btnInfoShip");
            })
      .Then("TfmBuild",
            [](TForm* f) {
              EXPECT_FALSE(IsVisible(f, "btnOk"));
              EXPECT_EQ(LabelText(f, "lbFrame"), SjisToUtf8(GetFrameName(4)));
              ClickNamed(f, "btnClose");
            })
      .Click("TfmPlanet", "btnInfo")
      .Then("TfmInfo",
            [](TForm* f) {
              EXPECT_EQ(SjisToUtf8(f->Caption()), "勢力情報");
              EXPECT_EQ(LabelText(f, "lbProfile5"), "所属     " + SjisToUtf8(GetCountryName(2)));
              ClickNamed(f, "btnBack");
            })
      .Click("TfmPlanet", "btnClose");
  ShowPlanetWindow(kOther, 0);
  EXPECT_TRUE(IsPlanetSateValid(kOther, 0));
}

}  // namespace
}  // namespace vdmq::test
