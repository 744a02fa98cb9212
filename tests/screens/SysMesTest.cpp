// The message box: the line split, the buttons of the two kinds of question, a close without a
// button, and the adjutant's portrait.
#include <gtest/gtest.h>

#include "ScreensTestSupport.h"
#include "campaign/Character.h"
#include "campaign/FileKinds.h"
#include "campaign/Story.h"
#include "formkit/Chbcbtn.h"
#include "platform/base/Sjis.h"
#include "qolib/graphics/Qograph_rap.h"
#include "screens/F_sysmes.h"
#include "screens/Main.h"

namespace vdmq {
namespace {

TEST(SysMesLines, SplitsAtBreaksIntoAtMostFiveCutLines) {
  const std::string longAscii(600, 'a');
  // 255 double-byte letters then one more: the 511th byte would be the lead byte of the 256th.
  std::string longWide;
  for (int i = 0; i < 255; ++i) longWide += SJS("あ");
  longWide += "x" + SJS("い") + "y";
  struct Case {
    std::string text;
    std::array<std::string, 5> lines;
  } cases[] = {
      {"A<BR>B<BR>", {"A", "B", "", "", ""}},
      {"1<BR>2<BR>3<BR>4<BR>5<BR>6<BR>7", {"1", "2", "3", "4", "5"}},
      {"a < b<BR>c", {"a < b", "c", "", "", ""}},
      {"<BR>", {"", "", "", "", ""}},
      {"plain", {"plain", "", "", "", ""}},
      {longAscii + "<BR>z", {std::string(511, 'a'), "z", "", "", ""}},
      // 510 bytes of letters and "x" make 511: "い" would split at byte 511 and is left out.
      {longWide, {longWide.substr(0, 511), "", "", "", ""}},
      {longWide.substr(0, 510) + SJS("い"), {longWide.substr(0, 510), "", "", "", ""}},
  };
  for (const Case& c : cases) EXPECT_EQ(SplitSysMesLines(c.text), c.lines) << c.text.substr(0, 40);
}

// The message box of a game started from the start screen.
class SysMesBox : public ::testing::Test {
 protected:
  void SetUp() override {
    session_ = std::make_unique<THeadlessSession>();
    game_ = std::make_unique<TGameSession>();
    ASSERT_FALSE(game_->StartFailed());
    ASSERT_NE(fmSysMes, nullptr);
  }
  void TearDown() override {
    game_.reset();
    session_.reset();
  }
  // Shows a box (with a portrait of that kind and number, or the adjutant's) and lets check look at
  // it and answer it.
  int Show(const std::string& text, int withCancel, std::function<void(TForm*)> check, int kind = -1, int number = -1) {
    check_ = std::move(check);
    session_->Backend.Driver = [this] {
      TForm* top = TopModal();
      if (top != fmSysMes) return false;
      check_(top);
      return true;
    };
    const std::string sjis = Utf8ToSjis(text);
    return kind < 0 ? SysMes(sjis, SJS("確認"), withCancel) : SysMesEx(sjis, SJS("確認"), withCancel, kind, number);
  }
  std::function<void(TForm*)> check_;
  test::TGameFolder folder_;
  std::unique_ptr<THeadlessSession> session_;
  std::unique_ptr<TGameSession> game_;
};

TEST_F(SysMesBox, OnlyFlagOneShowsCancelAndTheAnswersFollowTheButtons) {
  struct Case {
    int flag;
    bool cancelShown;
    bool pressOk;
    int answer;
  } cases[] = {{1, true, false, 2}, {1, true, true, 1}, {0, false, true, 1}, {2, false, true, 1}};
  for (const Case& c : cases) {
    const int answer = Show("A<BR>B", c.flag, [&](TForm*) {
      EXPECT_EQ(fmSysMes->btnCancel->Visible(), c.cancelShown) << c.flag;
      EXPECT_EQ(fmSysMes->btnOk->Left(), c.cancelShown ? 252 : 344) << c.flag;
      EXPECT_EQ(fmSysMes->btnOk->Top(), 160);
      const test::TBoxText t = test::SysMesText();
      EXPECT_EQ(t.caption, "確認");
      EXPECT_EQ(t.Joined(), "A|B");
      test::AnswerSysMes(c.pressOk);
    });
    EXPECT_EQ(answer, c.answer) << c.flag;
  }
}

TEST_F(SysMesBox, AClosedBoxAnswersCancelAndNoLineOfTheLastTextStays) {
  Show("1<BR>2<BR>3<BR>4<BR>5", 0, [](TForm*) { test::AnswerSysMes(true); });
  EXPECT_EQ(Show("only", 0,
                 [](TForm* box) {
                   EXPECT_EQ(test::SysMesText().Joined(), "only");
                   box->Close();
                 }),
            2);
}

TEST_F(SysMesBox, ThePortraitIsTheAdjutantsAndAMissingOneLeavesItAsItWas) {
  const int cg = GetEventCharacterCg(GetFukukan());
  ASSERT_GE(cg, 0);
  EXPECT_EQ(QoEntryNameHook()(kFileKindCommanderPortrait, cg),
            "COM_" + std::string(cg < 10 ? "0" : "") + std::to_string(cg) + ".BMP");
  TQoTrueDib expected(nullptr, 138, 138);
  expected.Loaded();
  ASSERT_TRUE(DrawBmpPackById(&expected, 0, 0, kFileKindCommanderPortrait, cg));
  Show("x", 0, [](TForm*) { test::AnswerSysMes(true); });
  const auto same = [](const TQoTrueDib& a, const TQoTrueDib& b) {
    for (int y = 0; y < 138; ++y)
      for (int x = 0; x < 138; ++x) {
        const TQoRGB p = a.PGet(x, y), q = b.PGet(x, y);
        if (p.r != q.r || p.g != q.g || p.b != q.b) return false;
      }
    return true;
  };
  EXPECT_TRUE(same(fmSysMes->QoCmd, expected));
  // A portrait the archive lacks keeps the last one.
  Show(
      "y", 0, [](TForm*) { test::AnswerSysMes(true); }, 42, 99);
  EXPECT_TRUE(same(fmSysMes->QoCmd, expected));
}

}  // namespace
}  // namespace vdmq
