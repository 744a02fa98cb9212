// The numeric keypad and the technology screen with their real forms on the headless back end:
// the keypad's amounts in both modes against a 64-bit model over random key sequences, its answers
// and clamps; the technology notes, the investment through the keypad and the report at the top.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "ModalStepsSupport.h"
#include "campaign/Stdfunc.h"
#include "campaign/Tec.h"
#include "formkit/Chbcbtn.h"
#include "platform/base/Sjis.h"
#include "screens/F_dentak.h"
#include "screens/F_tec.h"
#include "support/World.h"

namespace vdmq::test {
namespace {

class Screens : public TShipyardScreens {
 protected:
  void SetUp() override {
    TShipyardScreens::SetUp();
    ASSERT_EQ(GetPlayerCountry(), 0);
  }
};

// ---- keypad ----

using Keypad = Screens;

std::string Amount(std::int64_t v) { return std::to_string(LimitFund(v)); }

TEST_F(Keypad, AnswersAndClampsThroughTheKeys) {
  struct Case {
    const char* what;
    int initial, max, price, base, mode, funds;
    std::vector<std::string> keys;  // the last one closes
    int answer;
    std::string shown;  // the value shown before the closing key
  } cases[] = {
      {"past six digits",
       0,
       999999,
       1,
       0,
       1,
       999999,
       {"btnDentaku1", "btnDentaku2", "btnDentaku3", "btnDentaku4", "btnDentaku5", "btnDentaku6", "btnDentaku7",
        "btnOk"},
       999999,
       "999999"},
      {"MAX on funds 500 at price 1", 0, 999999, 1, 0, 1, 500, {"btnDentakuMAX", "btnOk"}, 500, "500"},
      {"maximum 0", 0, 0, 1, 0, 1, 500, {"btnDentaku9", "btnDentakuMAX", "btnOk"}, 0, "0"},
      {"CE", 42, 100, 1, 0, 1, 500, {"btnDentaku1", "btnDentakuCE", "btnOk"}, 0, "0"},
      {"back", 42, 100, 1, 0, 1, 500, {"btnDentaku1", "btnBack"}, -1, "100"},
      {"maximum below 0, negative initial value", -5, -3, 1, 0, 1, 500, {"btnDentaku7", "btnOk"}, 0, "0"},
      {"MAX at price 0", 0, 1234, 0, 0, 1, 0, {"btnDentakuMAX", "btnOk"}, 1234, "1234"},
      {"MAX in a selling mode", 0, 77, 5, 3, 0, 0, {"btnDentakuMAX", "btnOk"}, 77, "77"},
      {"negative price never below 0", 0, 50, -9, 0, 1, 10, {"btnDentakuMAX", "btnOk"}, 0, "0"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    SetCountryFund(0, c.funds);
    std::string shown;
    {
      TModalSteps steps(session_);
      for (size_t k = 0; k < c.keys.size(); ++k) {
        if (k + 1 == c.keys.size())
          steps.Then("TfmDentaku", [&shown, key = c.keys[k]](TForm* f) {
            shown = LabelText(f, "lbDentaku");
            ClickNamed(f, key);
          });
        else
          steps.Click("TfmDentaku", c.keys[k]);
      }
      EXPECT_EQ(InputDentaku(c.initial, c.max, c.price, c.base, static_cast<unsigned char>(c.mode), "", ""), c.answer);
    }
    EXPECT_EQ(shown, c.shown);
  }
}

TEST_F(Keypad, WindowCloseAnswersAsBackAndASecondOpeningAnswersZero) {
  int second = -7;
  {
    TModalSteps steps(session_);
    steps.Then("TfmDentaku", [&](TForm* f) {
      second = InputDentaku(5, 10, 1, 0, 1, "", "");
      f->Close();
    });
    EXPECT_EQ(InputDentaku(5, 10, 1, 0, 1, "", ""), -1);
  }
  EXPECT_EQ(second, 0);
}

TEST_F(Keypad, ShowsBothModesAndFollowsTheFundsLeftIn64Bits) {
  SetCountryFund(0, 1000);
  struct Case {
    int value, price, base, mode;
    const char *buy, *buyFund, *sell, *sellFund, *total;
    bool ok;
  } cases[] = {
      // Buying 7 at 100 with a base of 50: 1000 - 700 + 50.
      {7, 100, 50, 1, "購入", "700", "下取り", "50", "350", true},
      // Selling 7 at 30 each with a fee of 100: 1000 - 100 + 210.
      {7, 100, 30, 0, "手数料", "100", "売却", "210", "1110", true},
      // Buying more than the funds: the funds left show 0 and "決定" is off.
      {20, 100, 0, 1, "購入", "2000", "", "", "0", false},
      // Texts empty: no amounts beside them.
      {3, 100, 0, 1, "", "", "", "", "700", true},
      // 2,000,000 x 999,999 overflows 32 bits; the model says far below 0.
      {999999, 2000000, 0, 1, "購入", "999999", "", "", "0", false},
      // A huge base in a selling mode: far above the limit, still affordable.
      {999999, 0, 2000000, 0, "", "", "売却", "999999", "999999", true},
  };
  for (const Case& c : cases) {
    TfmDentaku* f = nullptr;
    App().CreateForm(f);
    f->Setup(c.value, 999999, c.price, c.base, static_cast<unsigned char>(c.mode), Utf8ToSjis(c.buy),
             Utf8ToSjis(c.sell));
    f->Display();
    EXPECT_EQ(LabelText(f, "lbDentaku"), std::to_string(c.value));
    EXPECT_EQ(LabelText(f, "lbCoFund"), "1000");
    EXPECT_EQ(LabelText(f, "lbBuyStr"), c.buy);
    EXPECT_EQ(LabelText(f, "lbBuyFund"), c.buyFund);
    EXPECT_EQ(LabelText(f, "lbSellStr"), c.sell);
    EXPECT_EQ(LabelText(f, "lbSellFund"), c.sellFund);
    EXPECT_EQ(LabelText(f, "lbTotalFund"), c.total);
    EXPECT_EQ(IsEnabled(f, "btnOk"), c.ok) << c.value << " at " << c.price;
    delete f;
  }
}

TEST_F(Keypad, RandomKeySequencesMatchA64BitModel) {
  std::mt19937 rng(22);
  auto in = [&rng](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
  TfmDentaku* f = nullptr;
  App().CreateForm(f);
  for (int run = 0; run < 10000; ++run) {
    const int max = in(-10, 2000000), price = in(-5, 2000000), base = in(-5, 2000000);
    const int funds = in(0, 999999), initial = in(-10, 2000000);
    const unsigned char mode = static_cast<unsigned char>(in(0, 2));
    SetCountryFund(0, funds);
    f->Setup(initial, max, price, base, mode, "a", "b");
    const std::int64_t top = std::clamp(max, 0, 999999);
    std::int64_t value = std::clamp<std::int64_t>(initial, 0, top);
    f->Display();
    for (int key = 0; key < 8; ++key) {
      const int k = in(0, 11);
      if (k <= 9) {
        f->btnDentaku0Click(f->btnDentaku[k]);
        value = std::clamp<std::int64_t>(value * 10 + k, 0, top);
      } else if (k == 10) {
        f->btnDentakuCEClick(nullptr);
        value = 0;
      } else {
        f->btnDentakuMAXClick(nullptr);
        value = std::clamp<std::int64_t>(mode == 1 && price != 0 ? (funds + std::int64_t{base}) / price : top, 0, top);
      }
      const std::int64_t buy = mode == 1 ? price * value : price;
      const std::int64_t sell = mode == 1 ? base : base * value;
      const std::int64_t left = mode == 1 ? funds - price * value + base : funds - price + base * value;
      ASSERT_EQ(f->Value, value) << "run " << run;
      ASSERT_EQ(LabelText(f, "lbBuyFund"), Amount(buy)) << "run " << run;
      ASSERT_EQ(LabelText(f, "lbSellFund"), Amount(sell)) << "run " << run;
      ASSERT_EQ(LabelText(f, "lbTotalFund"), Amount(left)) << "run " << run;
      ASSERT_EQ(IsEnabled(f, "btnOk"), left >= 0) << "run " << run;
    }
  }
  delete f;
}

// ---- technology screen ----

using TecScreen = Screens;

TEST_F(TecScreen, ShowsTheChosenTechnologysNotesAndTheNamesOnItsButtons) {
  TecData[1].Lev = 3;
  TecData[1].InvestFund = 250;
  TecData[3].Lev = GetTecMaxLev(3);
  std::vector<std::string> captions;
  std::vector<std::vector<std::string>> notes;
  auto readNotes = [&notes](TForm* f) {
    notes.push_back({});
    for (int i = 0; i < 5; ++i) notes.back().push_back(LabelText(f, "lbNote" + std::to_string(i)));
  };
  {
    TModalSteps steps(session_);
    steps
        .Then("TfmTec",
              [&](TForm* f) {
                for (int t = 0; t < 5; ++t) captions.push_back(LabelText(f, "spbtnTec" + std::to_string(t)));
                EXPECT_TRUE(Find<TCHBcSpeedButton>(f, "spbtnTec0")->Down());
                ClickNamed(f, "spbtnTec1");
              })
        .Then("TfmTec",
              [&](TForm* f) {
                readNotes(f);
                ClickNamed(f, "spbtnTec3");
              })
        .Then("TfmTec", [&](TForm* f) {
          readNotes(f);
          ClickNamed(f, "btnClose");
        });
    ShowTecWindow();
  }
  EXPECT_EQ(captions, (std::vector<std::string>{"船体", "レーザー", "ミサイル", "防御兵装", "主機関"}));
  ASSERT_EQ(notes.size(), 2u);
  EXPECT_EQ(notes[0],
            (std::vector<std::string>{"現在のレベル　　　　　　　　　　　 3", "現在のレベルに投資した金額　　   250",
                                      "次ぎのレベルに必要な投資金額　  2750", "", ""}));
  EXPECT_EQ(notes[1],
            (std::vector<std::string>{"現在のレベル　　　　　　　　　　　10", "最大レベルに達しました", "", "", ""}));
}

TEST_F(TecScreen, InvestsThroughTheKeypadUpToTheFunds) {
  SetCountryFund(0, 300);
  std::string maxShown;
  {
    TModalSteps steps(session_);
    steps.Click("TfmTec", "CHBcBitBtn1")
        .Click("TfmDentaku", "btnDentakuMAX")
        .Then("TfmDentaku",
              [&](TForm* f) {
                maxShown = LabelText(f, "lbDentaku");
                ClickNamed(f, "btnOk");
              })
        .Then("TfmTec", [](TForm* f) {
          EXPECT_EQ(LabelText(f, "lbNote1"), "現在のレベルに投資した金額　　   300");
          ClickNamed(f, "btnClose");
        });
    ShowTecWindow();
  }
  EXPECT_EQ(maxShown, "300");
  EXPECT_EQ(GetCountryFund(0), 0);
  EXPECT_EQ(GetTecInvestFund(0), 300);
}

TEST_F(TecScreen, WithoutFundsEveryKeyKeepsZeroAndNothingIsInvested) {
  SetCountryFund(0, 0);
  std::vector<std::string> shown;
  {
    TModalSteps steps(session_);
    steps.Click("TfmTec", "CHBcBitBtn1");
    for (const char* key : {"btnDentaku5", "btnDentakuMAX", "btnDentaku9"}) {
      steps.Click("TfmDentaku", key);
      steps.Then("TfmDentaku", [&shown](TForm* f) { shown.push_back(LabelText(f, "lbDentaku")); });
    }
    steps.Click("TfmDentaku", "btnOk").Click("TfmTec", "btnClose");
    ShowTecWindow();
  }
  EXPECT_EQ(shown, (std::vector<std::string>{"0", "0", "0"}));
  EXPECT_EQ(GetTecInvestFund(0), 0);
  EXPECT_EQ(GetTecLev(0), 1);
}

TEST_F(TecScreen, AtTheMaximumLevelReportsInsteadOfOpeningTheKeypad) {
  TecData[0].Lev = GetTecMaxLev(0);
  SetCountryFund(0, 5000);
  {
    TModalSteps steps(session_);
    steps.Click("TfmTec", "CHBcBitBtn1").Click("TfmTec", "btnClose");
    ShowTecWindow();
  }
  ASSERT_EQ(host_.messages.size(), 1u);
  EXPECT_EQ(host_.messages[0], "既に最大レベルに達しています。");
  EXPECT_EQ(host_.captions[0], "報告");
  EXPECT_EQ(host_.cancelFlags[0], 0);
  EXPECT_EQ(GetCountryFund(0), 5000);
}

TEST_F(TecScreen, ASecondOpeningReturnsAtOnce) {
  {
    TModalSteps steps(session_);
    steps.Then("TfmTec", [](TForm* f) {
      ShowTecWindow();  // returns at once: no second screen to drive
      ClickNamed(f, "btnClose");
    });
    ShowTecWindow();
  }
}

}  // namespace
}  // namespace vdmq::test
