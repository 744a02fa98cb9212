// The parts selector and the ship designer with their real forms on the headless back end: what is
// listed per mode and slot and in which order, the opening choice, every detail line, scrolling;
// the designer's texts, its buttons per mode, choosing through the selector with the automatic
// choice, the checks of "決定" and its answers.
#include <gtest/gtest.h>

#include "ModalStepsSupport.h"
#include "campaign/Dock.h"
#include "campaign/Parts.h"
#include "campaign/Tec.h"
#include "platform/base/Sjis.h"
#include "screens/F_build.h"
#include "screens/F_parts.h"

namespace vdmq::test {
namespace {

std::string Name(int kind, int part) { return SjisToUtf8(NameOrEmpty(GetPartsName(kind, part))); }

class Shipyard : public TShipyardScreens {
 protected:
  // The ten lines of the open selector.
  static std::vector<std::string> Lines(TForm* f) {
    std::vector<std::string> lines;
    for (int i = 0; i < 10; ++i) lines.push_back(LabelText(f, "lbList" + std::to_string(i)));
    return lines;
  }
  static std::vector<std::string> Names(int kind, std::initializer_list<int> parts) {
    std::vector<std::string> lines;
    for (int p : parts) lines.push_back(Name(kind, p));
    lines.resize(10);
    return lines;
  }
  // Opens the selector, lets look run on it, then presses a button; answers SelectParts.
  int Select(int mode, int hullClass, int kind, int current, std::function<void(TForm*)> look,
             const char* close = "btnOk") {
    TModalSteps steps(session_);
    steps.Then("TfmParts", std::move(look)).Click("TfmParts", close);
    return SelectParts(mode, hullClass, kind, current);
  }
};

// ---- parts selector ----

TEST_F(Shipyard, SelectorListsWhatTheModeAndSlotAllowDearestFirst) {
  struct Case {
    int mode, hullClass, kind;
    std::vector<std::string> lines;
  } cases[] = {
      // Hulls 5 (technology) and 6 (disabled) never; the satellite only in mode 2; equal prices: the
      // larger index first.
      {1, 0, kPartsFrame, Names(kPartsFrame, {1, 3, 2, 0})},
      {2, 0, kPartsFrame, Names(kPartsFrame, {4})},
      {0, 0, kPartsFrame, Names(kPartsFrame, {1, 3, 4, 2, 0})},
      // Slot 1 lists type-1 weapons that fit: weapon 2 only on class 4.
      {1, 1, kPartsWeapon1, Names(kPartsWeapon1, {3, 0})},
      {1, 4, kPartsWeapon1, Names(kPartsWeapon1, {2, 3, 0})},
      {1, 1, kPartsWeapon2, Names(kPartsWeapon2, {1})},
      {1, 1, kPartsShield, Names(kPartsShield, {})},
      {1, 2, kPartsShield, Names(kPartsShield, {0})},
  };
  for (const Case& c : cases) {
    std::vector<std::string> lines;
    Select(
        c.mode, c.hullClass, c.kind, -1, [&lines](TForm* f) { lines = Lines(f); }, "btnBack");
    EXPECT_EQ(lines, c.lines) << "mode " << c.mode << " class " << c.hullClass << " kind " << c.kind;
  }
}

TEST_F(Shipyard, SelectorOpensOnTheCurrentPartOrTheDearestOrNothing) {
  TColor chosenColour{}, otherColour{};
  EXPECT_EQ(Select(1, 0, kPartsFrame, 2,
                   [&](TForm* f) {
                     chosenColour = LabelColor(f, "lbList2");
                     otherColour = LabelColor(f, "lbList0");
                   }),
            2);
  EXPECT_EQ(chosenColour, RGB(0, 255, 255));
  EXPECT_EQ(otherColour, RGB(255, 255, 255));
  // Hull 5 is not allowed by the technologies any more: the dearest listed hull is chosen.
  EXPECT_EQ(Select(1, 0, kPartsFrame, 5, [](TForm*) {}), 1);
  // Nothing fits class 1 in the shield slot: no choice, "決定" off, no detail; a click on an empty
  // line chooses nothing, so the screen can only go back.
  bool okEnabled = true;
  std::string detail = "?";
  {
    TModalSteps steps(session_);
    steps.Click("TfmParts", "lbList0")
        .Then("TfmParts",
              [&](TForm* f) {
                okEnabled = IsEnabled(f, "btnOk");
                detail = LabelText(f, "lbNote0") + LabelText(f, "lbNote8");
              })
        .Click("TfmParts", "btnBack");
    EXPECT_EQ(SelectParts(1, 1, kPartsShield, 0), -1);
  }
  EXPECT_FALSE(okEnabled);
  EXPECT_EQ(detail, "");
}

TEST_F(Shipyard, SelectorShowsEveryDetailLineOfEachPartType) {
  FrameData[3].Parts.TecLev[0] = 1;
  FrameData[3].Parts.TecLev[4] = 1;
  WeaponData[0].Parts.TecLev[2] = 12;
  TecData[2].Lev = 12;
  struct Case {
    int kind, hullClass, part;
    std::vector<std::string> notes;  // lbNote0, 3 .. 13
  } cases[] = {
      {kPartsFrame,
       0,
       3,
       {"資金力　　   200", "工程数　　    10", "技術ﾚﾍﾞﾙ　船　Ｌ　Ｍ　防　機", "　　　　　 1　--　--　--　 1", "", "",
        "艦船種別　ミサイル巡洋艦", "耐久力　　    80", "防御力　　     5", "移動歩数　    12", "", ""}},
      {kPartsWeapon1,
       1,
       0,
       {"資金力　　    50", "工程数　　    15", "技術ﾚﾍﾞﾙ　船　Ｌ　Ｍ　防　機", "　　　　　--　 1　12　--　--",
        "装着 Ｌ駆 Ｍ駆 Ｌ巡 Ｍ巡 衛星", "　　　OK   OK   OK   OK   OK", "攻撃力　　    11", "射程　　　    12",
        "充填　　　    13", "弾速　　　    14", "誘導　　　    15", "弾数　　　    16"}},
      {kPartsEngine,
       1,
       0,
       {"資金力　　    30", "工程数　　     6", "技術ﾚﾍﾞﾙ　船　Ｌ　Ｍ　防　機", "　　　　　--　--　--　--　--",
        "装着 Ｌ駆 Ｍ駆 Ｌ巡 Ｍ巡 衛星", "　　　OK   OK   OK   OK   OK", "船速　　　    21", "旋回　　　    22", "", "",
        "", ""}},
      {kPartsShield,
       2,
       0,
       {"資金力　　    20", "工程数　　     5", "技術ﾚﾍﾞﾙ　船　Ｌ　Ｍ　防　機", "　　　　　--　--　--　--　--",
        "装着 Ｌ駆 Ｍ駆 Ｌ巡 Ｍ巡 衛星", "　　　NO   OK   NO   NO   NO", "耐久力　　    31", "防御力　　    32",
        "展開時間　    33", "充填　　　    34", "", ""}},
  };
  const char* const names[] = {"lbNote0", "lbNote3", "lbNote4",  "lbNote5",  "lbNote6",  "lbNote7",
                               "lbNote8", "lbNote9", "lbNote10", "lbNote11", "lbNote12", "lbNote13"};
  for (const Case& c : cases) {
    std::vector<std::string> notes;
    EXPECT_EQ(Select(1, c.hullClass, c.kind, c.part,
                     [&](TForm* f) {
                       for (const char* n : names) notes.push_back(LabelText(f, n));
                     }),
              c.part);
    EXPECT_EQ(notes, c.notes) << "kind " << c.kind;
  }
}

TEST_F(Shipyard, SelectorScrollsFifteenEntriesAndAClickChoosesALine) {
  for (int e = 0; e < 15; ++e) {
    EngineData[e] = EngineData[0];
    EngineData[e].Enabled = 1;
    EngineData[e].Parts.NameNum = e;
    EngineData[e].Parts.Price = 100 - e;  // listed in index order
  }
  std::vector<std::pair<std::string, std::string>> seen;  // first line, buttons (up, down)
  auto look = [&seen](TForm* f) {
    seen.push_back({LabelText(f, "lbList0"),
                    std::string(IsEnabled(f, "btnUp") ? "u" : "-") + (IsEnabled(f, "btnPageUp") ? "U" : "-") +
                        (IsEnabled(f, "btnDown") ? "d" : "-") + (IsEnabled(f, "btnPageDown") ? "D" : "-")});
  };
  int answer = -2;
  {
    TModalSteps steps(session_);
    steps.Then("TfmParts", look)
        .Click("TfmParts", "btnPageDown")
        .Then("TfmParts", look)
        .Click("TfmParts", "btnUp")
        .Then("TfmParts", look)
        .Click("TfmParts", "btnDown")
        .Click("TfmParts", "btnDown")
        .Then("TfmParts", look)
        .Click("TfmParts", "btnPageUp")
        .Then("TfmParts", look)
        .Click("TfmParts", "lbList6")
        .Click("TfmParts", "btnOk");
    answer = SelectParts(1, 1, kPartsEngine, 0);
  }
  const std::vector<std::pair<std::string, std::string>> expected = {{Name(kPartsEngine, 0), "--dD"},
                                                                     {Name(kPartsEngine, 5), "uU--"},
                                                                     {Name(kPartsEngine, 4), "uUdD"},
                                                                     {Name(kPartsEngine, 5), "uU--"},
                                                                     {Name(kPartsEngine, 0), "--dD"}};
  EXPECT_EQ(seen, expected);
  EXPECT_EQ(answer, 6);
}

TEST_F(Shipyard, SelectorBackAndReentryAnswerNothing) {
  int again = -2;
  EXPECT_EQ(Select(
                1, 0, kPartsFrame, 0, [&again](TForm*) { again = SelectParts(1, 0, kPartsFrame, 0); }, "btnBack"),
            -1);
  EXPECT_EQ(again, -1);
}

// ---- ship designer ----

std::vector<std::string> DesignTexts(TForm* f) {
  std::vector<std::string> texts;
  for (const char* n : {"lbFrame", "lbMainWeapon", "lbSubWeapon", "lbShield", "lbEngine"})
    texts.push_back(LabelText(f, n));
  for (int i = 1; i <= 25; ++i) texts.push_back(LabelText(f, "Label" + std::to_string(i)));
  return texts;
}

TEST_F(Shipyard, DesignerShowsEverySlotFilledAndEmptyWithTheTotals) {
  TShipData ship{{3, 0, 1, 0, 0}, 77};
  TShipData out{};
  std::vector<std::string> full, empty;
  std::vector<bool> enabled;
  {
    TModalSteps steps(session_);
    steps.Then("TfmBuild", [&](TForm* f) {
      full = DesignTexts(f);
      for (const char* b : {"btnFrame", "btnMainWeapon", "btnSubWeapon", "btnEngine", "btnShield", "btnDelFrame",
                            "btnDelMainWeapon", "btnDelSubWeapon", "btnDelEngine", "btnDelShield", "btnClose"})
        enabled.push_back(IsEnabled(f, b));
      EXPECT_FALSE(IsVisible(f, "btnOk"));
      ClickNamed(f, "btnClose");
    });
    ShowBuildForm(0, &ship, -1, &out, -1);
  }
  const std::vector<std::string> expectFull = {
      Name(0, 3),      Name(1, 0),    Name(2, 1),    Name(4, 0),        Name(3, 0),      "種別 ミサイル巡洋艦",
      "耐久力   80",   "防御力    5", "移動     12", "攻撃力   11",     "射程　   12",   "充填　   13",
      "弾速　   14",   "誘導　   15", "弾数　   16", "攻撃力    0",     "射程　    0",   "充填　    0",
      "弾速　    0",   "誘導　    0", "弾数　    0", "耐久力     31",   "防御力     32", "展開時間   33",
      "充填       34", "船速　   21", "旋回　   22", "耐久力       77", "工程数     51", "建造資金    340"};
  EXPECT_EQ(full, expectFull);
  for (size_t i = 0; i + 1 < enabled.size(); ++i) EXPECT_FALSE(enabled[i]) << i;
  EXPECT_TRUE(enabled.back());
  EXPECT_EQ(out.Parts[0], -1) << "closed without a choice";

  TShipData none = EmptyShip();
  {
    TModalSteps steps(session_);
    steps.Then("TfmBuild", [&](TForm* f) {
      empty = DesignTexts(f);
      EXPECT_TRUE(IsEnabled(f, "btnFrame"));
      EXPECT_FALSE(IsEnabled(f, "btnMainWeapon"));
      EXPECT_FALSE(IsEnabled(f, "btnDelFrame"));
      ClickNamed(f, "btnClose");
    });
    ShowBuildForm(1, &none, -1, &out, -1);
  }
  const std::vector<std::string> expectEmpty = {"ＮＯ　ＰＡＲＴＳ",
                                                "ＮＯ　ＰＡＲＴＳ",
                                                "ＮＯ　ＰＡＲＴＳ",
                                                "ＮＯ　ＰＡＲＴＳ",
                                                "ＮＯ　ＰＡＲＴＳ",
                                                "種別",
                                                "耐久力 ------",
                                                "防御力 ----",
                                                "移動   ----",
                                                "攻撃力 ----",
                                                "射程　 ----",
                                                "充填　 ----",
                                                "弾速　 ----",
                                                "誘導　 ----",
                                                "弾数　 ----",
                                                "攻撃力 ----",
                                                "射程　 ----",
                                                "充填　 ----",
                                                "弾速　 ----",
                                                "誘導　 ----",
                                                "弾数　 ----",
                                                "耐久力 ----",
                                                "防御力 ----",
                                                "展開時間 ----",
                                                "充填     ----",
                                                "船速　 ----",
                                                "旋回　 ----",
                                                "",
                                                "",
                                                ""};
  EXPECT_EQ(empty, expectEmpty);
}

TEST_F(Shipyard, DesignerChoosesThroughTheSelectorWithTheAutomaticChoice) {
  SetCountryFund(0, 999999);
  TShipData given{{0, 0, -1, 0, -1}, 1};
  TShipData out{};
  host_.answers = {1, 1};  // automatic choice, then the price question
  std::vector<std::string> afterAuto;
  {
    TModalSteps steps(session_);
    steps
        .Click("TfmBuild", "btnFrame")
        // Hull 2 (class 4) is the third line: 1, 3, 2, 0.
        .Click("TfmParts", "lbList2")
        .Click("TfmParts", "btnOk")
        .Then("TfmBuild",
              [&](TForm* f) {
                afterAuto = {LabelText(f, "lbFrame"), LabelText(f, "lbMainWeapon"), LabelText(f, "lbSubWeapon"),
                             LabelText(f, "lbShield"), LabelText(f, "lbEngine")};
                ClickNamed(f, "btnShield");
              })
        // Nothing fits class 4 in the shield slot: the selector can only go back.
        .Click("TfmParts", "btnBack")
        .Click("TfmBuild", "btnDelSubWeapon")
        .Click("TfmBuild", "btnOk");
    ShowBuildForm(1, &given, -1, &out, -1);
  }
  EXPECT_EQ(given.Parts[0], -1) << "a design mode empties the given record";
  EXPECT_EQ(afterAuto, (std::vector<std::string>{Name(0, 2), Name(1, 2), Name(2, 1), "ＮＯ　ＰＡＲＴＳ", Name(3, 0)}));
  ASSERT_EQ(host_.messages.size(), 2u);
  EXPECT_EQ(host_.messages[0], "パーツの自動選択を行ないますか？");
  EXPECT_EQ(host_.cancelFlags[0], 1);
  EXPECT_EQ(host_.messages[1], "資金210<BR>が必要です。<BR>よろしいですか？");
  EXPECT_EQ((std::vector<int>(out.Parts, out.Parts + 5)), (std::vector<int>{2, 2, -1, 0, -1}));
}

TEST_F(Shipyard, AutomaticChoicePicksTheDearestLaterIndexOrNothing) {
  TfmBuild* f = nullptr;
  App().CreateForm(f);
  struct Case {
    int mode, hullClass, kind, part;
  } cases[] = {
      {1, 1, kPartsWeapon1, 3},  // weapons 0 and 3 cost 50: the later wins
      {1, 4, kPartsWeapon1, 2},  // weapon 2 fits class 4 and costs more
      {1, 1, kPartsShield, -1},  // no shield fits class 1
      {1, 1, kPartsFrame, 1},    // hulls: no fit asked, no satellite in mode 1
      {2, 1, kPartsFrame, 4},    // only the satellite in mode 2
      {0, 1, kPartsFrame, 1},    // any enabled hull allowed by the technologies
  };
  for (const Case& c : cases) {
    f->Mode = c.mode;
    EXPECT_EQ(f->AutoSelectPart(c.hullClass, c.kind), c.part) << c.mode << " " << c.hullClass << " " << c.kind;
  }
  FrameData[4].Parts.Price = 999;
  f->Mode = 0;
  EXPECT_EQ(f->AutoSelectPart(1, kPartsFrame), 4);
  delete f;
}

TEST_F(Shipyard, DesignerOkChecksTheDesignAndTheFunds) {
  PlacePlanet(7, 1, 1, 0);
  DockData[7].Abt[1] = 10;
  const TShipData design{{0, 0, -1, 0, -1}, 1};  // 100 + 50 + 30 = 180
  const std::string question =
      "資金180<BR>期間" + std::to_string(CalcDockBuildTurn(7, 1, &design)) + "ターンが必要です。<BR>よろしいですか？";
  struct Case {
    int funds;
    TShipData ship;
    int planet, dock;
    std::vector<int> answers;
    std::vector<std::string> messages;
    bool accepted;
  } cases[] = {
      {999999, EmptyShip(), -1, -1, {}, {"船体、主兵装、機関は<BR>選択しなくてはなりません。"}, false},
      {179, design, 7, 1, {}, {"建造資金が1<BR>不足しています。"}, false},
      {180, design, 7, 1, {1}, {question}, true},
      {180, design, 7, 1, {2}, {question}, false},
      {180, design, -1, -1, {1}, {"資金180<BR>が必要です。<BR>よろしいですか？"}, true},
  };
  for (const Case& c : cases) {
    SetCountryFund(0, c.funds);
    host_.messages.clear();
    host_.answers.assign(c.answers.begin(), c.answers.end());
    TShipData out{};
    {
      TModalSteps steps(session_);
      steps.Then("TfmBuild", [&c](TForm* f) {
        static_cast<TfmBuild*>(f)->Design = c.ship;
        ClickNamed(f, "btnOk");
      });
      if (!c.accepted) steps.Click("TfmBuild", "btnClose");
      TShipData given{};
      ShowBuildForm(1, &given, c.planet, &out, c.dock);
    }
    EXPECT_EQ(host_.messages, c.messages);
    EXPECT_EQ(out.Parts[0], c.accepted ? 0 : -1) << c.funds;
  }
}

TEST_F(Shipyard, DesignerReentryCopiesAndAManyBitClassShowsNoName) {
  FrameData[0].Class = 3;
  TShipData ship{{0, 0, -1, 0, -1}, 5};
  TShipData out{}, copy{};
  std::string kind, selectorKind;
  {
    TModalSteps steps(session_);
    steps.Then("TfmBuild", [&](TForm* f) {
      kind = LabelText(f, "Label1");
      ShowBuildForm(0, &ship, -1, &copy, -1);
      ClickNamed(f, "btnClose");
    });
    ShowBuildForm(0, &ship, -1, &out, -1);
  }
  EXPECT_EQ(kind, "種別 ");
  EXPECT_EQ(copy.Parts[0], 0);
  EXPECT_EQ(copy.Hp, 5);
  EXPECT_EQ(out.Parts[0], -1) << "closed: an empty record";
  Select(
      0, 0, kPartsFrame, 0, [&selectorKind](TForm* f) { selectorKind = LabelText(f, "lbNote8"); }, "btnBack");
  EXPECT_EQ(selectorKind, "艦船種別　");
}

}  // namespace
}  // namespace vdmq::test
