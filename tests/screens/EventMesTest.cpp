// The event dialogue window: paging, choices, speakers and their shutter, the arrow, and scripts
// that are damaged or random.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>

#include "ScreensTestSupport.h"
#include "campaign/Character.h"
#include "campaign/FileKinds.h"
#include "campaign/Ship.h"
#include "campaign/Story.h"
#include "platform/base/Sjis.h"
#include "platform/core/StdCtrls.h"
#include "platform/core/Timer.h"
#include "qolib/graphics/Qograph_rap.h"
#include "screens/F_evmes.h"
#include "screens/Main.h"

namespace vdmq {
namespace {

TEventMesArg T(const char* utf8) { return Utf8ToSjis(utf8); }

// A game session with the resident windows, and a driver that hands every shown page to a check.
class EventWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    session_ = std::make_unique<THeadlessSession>();
    game_ = std::make_unique<TGameSession>();
    ASSERT_FALSE(game_->StartFailed());
    ASSERT_NE(fmEventMes, nullptr);
    // Every picture the windows read, by entry name.
    const TQoEntryNameHook names = QoEntryNameHook();
    SetQoEntryNameHook([this, names](int kind, int number) {
      std::string name = names(kind, number);
      read_.push_back(name);
      return name;
    });
  }
  void TearDown() override {
    game_.reset();
    session_.reset();
  }
  // Shows the script; page(n) runs on the n-th showing of a page and must advance or close it.
  // Answers the number of pages seen.
  int Run(const TEventMesScript& script, std::function<void(int)> page) {
    int shown = 0;
    // Clicks of one run never make a double click with those of the run before.
    session_->Backend.Advance(1000);
    session_->Backend.Driver = [&] {
      if (TopModal() != fmEventMes) return false;
      page(shown++);
      return true;
    };
    EventMes(script);
    session_->Backend.Driver = nullptr;
    EXPECT_FALSE(fmEventMes->Visible());
    return shown;
  }
  int Sleeps() const {
    int n = 0;
    for (const std::string& l : session_->Backend.Log) n += l == "sleep 50";
    return n;
  }
  std::string PortraitName(int kind, int character) const {
    return QoEntryNameHook()(kind, GetEventCharacterCg(character));
  }
  bool Read(const std::string& name) const { return std::find(read_.begin(), read_.end(), name) != read_.end(); }
  // What the window shows of a page: the text area, both portraits and the four name labels.
  static std::vector<std::uint32_t> Shown() {
    std::vector<std::uint32_t> shown;
    for (const TQoTrueDib* s :
         {&fmEventMes->QoTrueDibImgMes, &fmEventMes->QoTrueDibImgLeft, &fmEventMes->QoTrueDibImgRight})
      for (int y = 0; y < s->Height(); ++y)
        for (int x = 0; x < s->Width(); ++x) {
          const TQoRGB p = s->PGet(x, y);
          shown.push_back(std::uint32_t(p.r) << 16 | std::uint32_t(p.g) << 8 | p.b);
        }
    for (const TLabel* l : {fmEventMes->lbLName, fmEventMes->lbLNameBk, fmEventMes->lbRName, fmEventMes->lbRNameBk})
      for (const char c : l->Caption()) shown.push_back(static_cast<unsigned char>(c));
    return shown;
  }

  test::TGameFolder folder_;
  std::unique_ptr<THeadlessSession> session_;
  std::unique_ptr<TGameSession> game_;
  std::vector<std::string> read_;
};

TEST_F(EventWindow, PagesFollowTheTokensAndEndWithTheScript) {
  const std::string wide128 = [] {
    std::string s;
    for (int i = 0; i < 128; ++i) s += SJS("あ");
    return s;
  }();
  struct Case {
    const char* what;
    TEventMesScript script;
    std::vector<std::string> pages;  // UTF-8, lines joined by "|"
    int background;
  } cases[] = {
      {"a fifth line starts a new page",
       {T(""), T("a"), T("b"), T("c"), T("d"), T("e"), T("END_STR")},
       {"a|b|c|d", "e"},
       -1},
      {"SEL_2 drops the lines before it",
       {T(""), T("x"), T("y"), T("SEL_2"), T("p"), T("q"), T("END_STR")},
       {"p|q"},
       -1},
      {"NP ends a page that holds a line, else is passed over",
       {T(""), T("NP"), T("a"), T("NP"), T("NP"), T("b"), T("DRAW_BG"), 3, T("END_STR")},
       {"a", "b"},
       3},
      {"END_STR first shows an empty page", {T(""), T("END_STR"), T("never")}, {""}, -1},
      {"a script without END_STR ends with its last line", {T(""), T("a"), T("NP"), T("b")}, {"a", "b"}, -1},
      {"an empty script", {}, {""}, -1},
      {"numbers missing at the end", {T(""), T("z"), T("DRAW_BG")}, {"z"}, 0},
      {"a missing number leaves the next token a token", {T(""), T("0"), T("a"), T("DRAW_BG"), T("b")}, {"a|b"}, 0},
      {"stray numbers are passed over", {T(""), 5, T("a"), 7, T("END_STR")}, {"a"}, -1},
      {"long lines are cut within 255 bytes at a letter",
       {T(""), std::string(300, 'a'), "a" + wide128, wide128, T("END_STR")},
       {std::string(255, 'a') + "|a" + SjisToUtf8(wide128.substr(0, 254)) + "|" + SjisToUtf8(wide128.substr(0, 254))},
       -1},
  };
  for (const Case& c : cases) {
    std::vector<std::string> pages;
    const int shown = Run(c.script, [&](int n) {
      pages.push_back(test::EventPageText());
      for (const std::string& line : EventMesPage().lines) EXPECT_LE(line.size(), kEventLineBytes) << c.what;
      // Pages go on by the space key and by clicks on the text and on the arrow, in turn.
      if (n % 3 == 0)
        test::AdvanceEventMes();
      else
        Click(n % 3 == 1 ? fmEventMes->imgText : fmEventMes->imgNext, mbLeft, false);
    });
    EXPECT_EQ(pages, c.pages) << c.what;
    EXPECT_EQ(shown, static_cast<int>(c.pages.size())) << c.what;
    EXPECT_EQ(EventMesPage().background, c.background) << c.what;
  }
}

TEST_F(EventWindow, AChoiceWaitsForALineUnderTheMouseAndStaysInTheStory) {
  SetEventSelect(-1);
  const TEventMesScript script = {T(""), T("SEL_2"), T("はい"), T("いいえ"), T("END_STR")};
  TQoTrueDib& text = fmEventMes->QoTrueDibImgMes;
  // The aqua pixels of line i's band.
  auto aqua = [&](int line) {
    int n = 0;
    for (int y = 12 + 18 * line; y < 28 + 18 * line; ++y)
      for (int x = 48; x < 368; ++x) {
        const TQoRGB p = text.PGet(x, y);
        n += p.r == 0 && p.g == 255 && p.b == 255;
      }
    return n;
  };
  const int shown = Run(script, [&](int n) {
    ASSERT_EQ(n, 0) << "a click outside the lines went on";
    EXPECT_EQ(aqua(0) + aqua(1), 0);
    for (TPoint p : {TPoint{47, 35}, TPoint{368, 35}, TPoint{100, 5}, TPoint{100, 46}}) {
      ClickAt(fmEventMes->imgText, p.X, p.Y, mbLeft, true);
      EXPECT_EQ(GetEventSelect(), -1) << p.X << "," << p.Y;
    }
    Click(fmEventMes->imgNext, mbLeft, true);
    test::AdvanceEventMes();
    App().ProcessMessages();
    ASSERT_TRUE(fmEventMes->Visible());
    // Over line 1 (y 30..45): it turns aqua.
    InjectMouse(TInputEvent::MouseMove, fmEventMes->imgText->ClientToScreen({100, 44}));
    App().ProcessMessages();
    EXPECT_EQ(GetEventSelect(), 1);
    EXPECT_EQ(aqua(0), 0);
    EXPECT_GT(aqua(1), 0);
    ClickAt(fmEventMes->imgText, 100, 44, mbLeft, false);
  });
  EXPECT_EQ(shown, 1);
  EXPECT_EQ(GetEventSelect(), 1);
  // The next dialogue starts with the choice as it was.
  Run({T(""), T("a"), T("END_STR")}, [](int) { test::AdvanceEventMes(); });
  EXPECT_EQ(GetEventSelect(), 1);
}

// A page that offers a choice but holds no line has nothing to choose: it goes on like a page
// without a choice, by the space key or by a click.
TEST_F(EventWindow, AChoicePageWithoutLinesGoesOnWithoutAChoice) {
  const TEventMesScript scripts[] = {
      {T(""), T("SEL_2"), T("END_STR")},
      {T(""), T("x"), T("y"), T("SEL_3")},
      {T(""), T("SEL_3"), T("NP"), T("DRAW_BG"), 2, T("END_STR")},
  };
  for (const TEventMesScript& script : scripts) {
    for (const bool click : {false, true}) {
      SetEventSelect(-1);
      const int shown = Run(script, [&](int n) {
        if (n > 0) {
          ADD_FAILURE() << "the page did not go on: " << script.size() << (click ? " click" : " space");
          fmEventMes->Close();
          return;
        }
        EXPECT_NE(EventMesPage().choices, -1);
        EXPECT_EQ(test::EventPageText(), "");
        if (click)
          ClickAt(fmEventMes->imgText, 100, 20, mbLeft, false);
        else
          test::AdvanceEventMes();
      });
      EXPECT_EQ(shown, 1) << script.size();
      EXPECT_EQ(GetEventSelect(), -1) << script.size();
    }
  }
}

// The advance after the last page closes the window without drawing anything: no empty page, no
// new background, no shutter for a face that comes in after the last line. The next dialogue that
// shows no page opens on an empty page of its own, not on what the last one left.
TEST_F(EventWindow, TheAdvanceThatClosesDrawsNothing) {
  const TEventMesScript empty = {T(""), T("END_STR")};
  std::vector<std::uint32_t> blank;
  Run(empty, [&](int) {
    blank = Shown();
    test::AdvanceEventMes();
  });
  struct Case {
    const char* what;
    TEventMesScript script;
  } cases[] = {
      {"a background and a new face after the last line",
       {T(""), T("a"), T("NP"), T("DRAW_BG"), 3, T("1"), 2, T("END_STR")}},
      {"a new face after a full page", {T(""), T("0"), 0, T("a"), T("b"), T("c"), T("d"), T("0"), 2, T("NP")}},
      {"a choice after the last line", {T(""), T("1"), 0, T("a"), T("NP"), T("SEL_2"), T("END_STR")}},
      {"the script runs out after NP", {T(""), T("a"), T("NP"), T("NP")}},
  };
  for (const Case& c : cases) {
    std::vector<std::uint32_t> last;
    int sleeps = 0;
    const int shown = Run(c.script, [&](int) {
      last = Shown();
      sleeps = Sleeps();
      test::AdvanceEventMes();
    });
    EXPECT_EQ(shown, 1) << c.what;
    EXPECT_TRUE(last != blank) << c.what << ": the page shows its line";
    EXPECT_TRUE(Shown() == last) << c.what << ": the closing advance drew";
    EXPECT_EQ(Sleeps(), sleeps) << c.what << ": a shutter played";
    Run(empty, [&](int) {
      EXPECT_TRUE(Shown() == blank) << c.what << ": the empty page shows the last dialogue";
      test::AdvanceEventMes();
    });
  }
}

TEST_F(EventWindow, ANewFaceComesInBehindTheShutterAndTheSilentSideIsDimmed) {
  const int a = 0, b = 2;
  ASSERT_GE(GetEventCharacterCg(a), 0);
  ASSERT_GE(GetEventCharacterCg(b), 0);
  const TEventMesScript script = {T(""),  T("0"),  a,       T("p1"), T("NP"), T("0"),  a,           T("p2"), T("NP"),
                                  T("1"), b,       T("p3"), T("NP"), T("0"),  a,       T("p4"),     T("NP"), T("1"),
                                  -1,     T("p5"), T("NP"), T("1"),  -1,      T("p6"), T("END_STR")};
  struct Page {
    int sleeps;               // shutter pauses before the page
    std::string left, right;  // entry names read for the portraits
    const char* rightName;    // the right name label, UTF-8 ("" none)
  };
  const std::string blankRight = QoEntryNameHook()(kFileKindEventPicture, 2);
  const Page want[] = {
      {4, PortraitName(kFileKindLargePortrait, a), blankRight, ""},
      {0, PortraitName(kFileKindLargePortrait, a), blankRight, ""},
      {4, PortraitName(kFileKindDimmedPortrait, a), PortraitName(kFileKindLargePortrait, b), GetEventCharacterName(b)},
      {0, PortraitName(kFileKindLargePortrait, a), PortraitName(kFileKindDimmedPortrait, b), GetEventCharacterName(b)},
      {4, PortraitName(kFileKindDimmedPortrait, a), blankRight, ""},
      {0, PortraitName(kFileKindDimmedPortrait, a), blankRight, ""},
  };
  int sleeps = Sleeps();
  Run(script, [&](int n) {
    ASSERT_LT(n, 6);
    const Page& p = want[n];
    EXPECT_EQ(Sleeps() - sleeps, p.sleeps) << "page " << n;
    EXPECT_TRUE(Read(p.left)) << "page " << n << " " << p.left;
    EXPECT_TRUE(Read(p.right)) << "page " << n << " " << p.right;
    EXPECT_EQ(fmEventMes->lbLName->Caption(), GetEventCharacterName(a));
    EXPECT_EQ(fmEventMes->lbLNameBk->Caption(), GetEventCharacterName(a));
    EXPECT_EQ(fmEventMes->lbRName->Caption(), p.rightName) << "page " << n;
    EXPECT_EQ(fmEventMes->lbRNameBk->Caption(), p.rightName) << "page " << n;
    sleeps = Sleeps();
    read_.clear();
    test::AdvanceEventMes();
  });
}

TEST_F(EventWindow, TheArrowTurnsAllTheTimeAlsoWhileTheWindowIsHidden) {
  ASSERT_TRUE(fmEventMes->HasArrowSheet());
  ASSERT_TRUE(fmEventMes->tmNext->Enabled());
  ASSERT_FALSE(fmEventMes->Visible());
  std::vector<int> counters;
  for (int i = 0; i < 16; ++i) {
    session_->Backend.Advance(100);
    App().ProcessMessages();
    counters.push_back(fmEventMes->ArrowCounter());
  }
  // One frame a tick, 14 frames round.
  const int first = counters[0];
  for (size_t i = 1; i < counters.size(); ++i) EXPECT_EQ(counters[i], (first + static_cast<int>(i) - 1) % 14 + 1) << i;
}

// Random scripts driven as a player does: the space key, or a click on one of the lines shown; a
// page that offers a choice is answered by a click on a line.
TEST_F(EventWindow, RandomScriptsEndWithinTheirTokensAndKeepLinesInBounds) {
  std::mt19937 rng(20);
  const char* tokens[] = {"END_STR", "NP", "SEL_2", "SEL_3", "0", "1", "DRAW_BG"};
  const std::string wide = SJS("漢");
  int choicesMade = 0, emptyChoicePages = 0;
  for (int run = 0; run < 200; ++run) {
    TEventMesScript script = {std::string()};
    const int count = static_cast<int>(rng() % 40);
    for (int i = 0; i < count; ++i) {
      const unsigned pick = rng() % 10;
      if (pick < 7) {
        script.emplace_back(std::string(tokens[pick]));
        // Speakers are event characters or -1 (the scenario's own); backgrounds any number.
        if (pick >= 4 && rng() % 4 != 0)
          script.emplace_back(pick == 6 ? static_cast<int>(rng() % 40) - 5
                                        : static_cast<int>(rng() % (kEventCharacterCount + 1)) - 1);
      } else {
        std::string text;
        const size_t len = rng() % 601;
        while (text.size() < len) text += rng() % 3 == 0 ? std::string(1, 'a' + static_cast<char>(rng() % 26)) : wide;
        // Now and then a lone lead byte at the very end.
        if (rng() % 8 == 0) text += wide[0];
        script.emplace_back(text);
      }
    }
    if (rng() % 3 != 0) script.emplace_back(std::string("END_STR"));
    // Every advance reads at least one token or closes the window.
    int limit = 0;
    for (size_t i = 1; i < script.size(); ++i) limit += std::holds_alternative<std::string>(script[i]);
    ++limit;
    int advances = 0;
    // Each scene starts with no choice made; from then on only the mouse makes one.
    SetEventSelect(-1);
    int chosen = -1;
    Run(script, [&](int) {
      const TEventPage& page = EventMesPage();
      EXPECT_LE(page.lineCount, 4);
      for (const std::string& line : page.lines) EXPECT_LE(line.size(), kEventLineBytes);
      EXPECT_EQ(GetEventSelect(), chosen) << "run " << run;
      if (++advances > limit) {
        ADD_FAILURE() << "run " << run << " did not end within " << limit << " advances";
        fmEventMes->Close();
        return;
      }
      emptyChoicePages += page.choices != -1 && page.lineCount == 0;
      if (page.lineCount > 0 && (page.choices != -1 || rng() % 2 == 0)) {
        const int line = static_cast<int>(rng() % static_cast<unsigned>(page.lineCount));
        if (page.choices != -1) {
          chosen = line;
          ++choicesMade;
        }
        // The player reads before clicking: never a double click.
        session_->Backend.Advance(1000);
        ClickAt(fmEventMes->imgText, 60 + static_cast<int>(rng() % 300), 12 + 18 * line + static_cast<int>(rng() % 16),
                mbLeft, false);
      } else {
        test::AdvanceEventMes();
      }
    });
    EXPECT_EQ(GetEventSelect(), chosen) << "run " << run << ": the choice stays in the story";
  }
  EXPECT_GT(choicesMade, 0);
  EXPECT_GT(emptyChoicePages, 0);
}

}  // namespace
}  // namespace vdmq
