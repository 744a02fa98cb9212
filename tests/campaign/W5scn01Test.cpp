// The scenario's dialogue scripts: their structure as the event window reads them.

#include <gtest/gtest.h>

#include <algorithm>

#include <string>
#include <variant>
#include <vector>

#include "campaign/Ship.h"
#include "campaign/W5scn01.h"
#include "platform/base/Sjis.h"

namespace vdmq {
namespace {

// What the event window makes of a script: pages shown, text lines, and the event characters
// of each side in the order of their first use.
struct TReading {
  int pages = 0;
  int lines = 0;
  std::vector<int> left, right;
};

// Reads a script page by page exactly as the event window does: "NP" ends a page that holds a
// line, a fourth line ends the page by itself, "END_STR" ends the last page.
TReading Read(const TEventMesScript& s) {
  TReading r;
  EXPECT_GE(s.size(), 2u);
  EXPECT_EQ(std::get<std::string>(s.front()), "") << "the first argument is not read";
  EXPECT_EQ(std::get<std::string>(s.back()), "END_STR");
  int onPage = 0;
  auto endPage = [&] {
    if (onPage > 0) ++r.pages;
    onPage = 0;
  };
  for (size_t i = 1; i < s.size(); ++i) {
    const std::string* t = std::get_if<std::string>(&s[i]);
    if (t == nullptr) {
      ADD_FAILURE() << "an integer without its portrait token at " << i;
      continue;
    }
    if (*t == "END_STR") {
      EXPECT_EQ(i + 1, s.size()) << "END_STR ends the script";
      endPage();
      break;
    }
    if (*t == "NP") {
      EXPECT_GT(onPage, 0) << "NP only after a page with lines";
      EXPECT_LT(onPage, 4) << "a full page ends by itself";
      endPage();
      continue;
    }
    EXPECT_NE(*t, "SEL_2");
    EXPECT_NE(*t, "SEL_3");
    EXPECT_NE(*t, "DRAW_BG");
    if (*t == "0" || *t == "1") {
      EXPECT_EQ(onPage, 0) << "speakers change between pages";
      const int* n = i + 1 < s.size() ? std::get_if<int>(&s[i + 1]) : nullptr;
      if (n == nullptr) {
        ADD_FAILURE() << "portrait token without its character at " << i;
        continue;
      }
      EXPECT_GE(*n, -1);
      EXPECT_LT(*n, kEventCharacterCount);
      std::vector<int>& side = *t == "0" ? r.left : r.right;
      if (std::find(side.begin(), side.end(), *n) == side.end()) side.push_back(*n);
      ++i;
      continue;
    }
    // A text line: CP932, at most 255 bytes (the window's buffers) and 24 full-width characters
    // (48 bytes) in the text area.
    EXPECT_FALSE(t->empty());
    EXPECT_LE(t->size(), 48u) << SjisToUtf8(*t);
    EXPECT_EQ(Utf8ToSjis(SjisToUtf8(*t)), *t);
    // The story writes its marks full-width: a half-width '?' is a character the code page lacks,
    // and a half-width space is a typing slip.
    EXPECT_EQ(t->find_first_of("? "), std::string::npos) << SjisToUtf8(*t);
    ++r.lines;
    if (++onPage == 4) endPage();
  }
  return r;
}

TEST(Scn01Script, PagesLinesAndPortraitsOfEveryDialogue) {
  struct Want {
    int id, pages, lines;
    std::vector<int> left, right;
  };
  const Want want[] = {
      {kMesA0, 71, 130, {0}, {2, 3, 1}},
      {kMesA1, 76, 144, {22}, {24, -1, 21}},
      {kMesA2, 62, 113, {0}, {2, 3}},
      {kMesA3, 71, 134, {1}, {-1, 13, 12}},
      {kMesA4, 38, 59, {0}, {2, 3, -1, 4}},
      {kMesA5, 25, 47, {0}, {3}},
      {kMesA6, 62, 113, {1, 13}, {-1, 12, 13, 28}},
      {kMesA7a, 36, 58, {0}, {2, -1, 4}},
      {kMesA7b, 31, 59, {0}, {2, 5}},
      {kMesA8a, 1, 2, {}, {2}},
      {kMesA8b, 1, 3, {}, {2}},
      {kMesA8c, 7, 11, {0}, {2, 3}},
      {kMesA9, 81, 140, {11, 10, 8, 6, -1, 2}, {-1, 8, 6, 3}},
      {kMesA10, 16, 27, {22}, {24}},
      {kMesA11, 31, 54, {0}, {2, -1, 12}},
      {kMesA12, 102, 160, {15, 19, 20, 21, 18}, {-1, 17, 12}},
      {kMesA13, 34, 60, {22}, {24}},
      {kMesA14, 64, 110, {0}, {2, 3, -1, 12}},
      {kMesA15, 21, 27, {0}, {2, -1, 12}},
  };
  ASSERT_EQ(std::size(want), static_cast<size_t>(kScn01MesCount));
  for (const Want& w : want) {
    SCOPED_TRACE(w.id);
    const TReading r = Read(Scn01Script(w.id));
    EXPECT_EQ(r.pages, w.pages);
    EXPECT_EQ(r.lines, w.lines);
    EXPECT_EQ(r.left, w.left);
    EXPECT_EQ(r.right, w.right);
  }
}

TEST(Scn01Script, BuiltOnceAndEmptyOutsideTheTable) {
  EXPECT_EQ(&Scn01Script(kMesA0), &Scn01Script(kMesA0));
  for (int id : {-1, static_cast<int>(kScn01MesCount)}) {
    const TEventMesScript& s = Scn01Script(id);
    ASSERT_EQ(s.size(), 2u);
    EXPECT_EQ(std::get<std::string>(s[0]), "");
    EXPECT_EQ(std::get<std::string>(s[1]), "END_STR");
  }
}

TEST(Scn01Script, TheOpeningTellsThePlayerToBuySatellites) {
  bool satellites = false;
  for (const TEventMesArg& a : Scn01Script(kMesA0)) {
    const std::string* t = std::get_if<std::string>(&a);
    if (t != nullptr && SjisToUtf8(*t).find("防御衛星") != std::string::npos) satellites = true;
  }
  EXPECT_TRUE(satellites);
}

// Arkas may fall to the seventh assault before the player takes Radom, and then its garrison
// never joins the Federation. The dialogues that can come after its fall (Radom, the turn after,
// Seres hearing of Radom, the imperial capital's battle and both endings) neither say that Arkas
// still holds nor that its commander fights with the Federation.
TEST(Scn01Script, DialoguesAfterArkasMayHaveFallenDoNotAssumeItHeld) {
  auto text = [](int id) {
    std::string all;
    for (const TEventMesArg& a : Scn01Script(id)) {
      if (const std::string* t = std::get_if<std::string>(&a)) all += SjisToUtf8(*t) + "\n";
    }
    return all;
  };
  for (int id : {kMesA4, kMesA5, kMesA6, kMesA13, kMesA14, kMesA15}) {
    SCOPED_TRACE(id);
    const std::string all = text(id);
    EXPECT_EQ(all.find("持ちこたえ"), std::string::npos);
    EXPECT_EQ(all.find("生き残り"), std::string::npos);
    EXPECT_EQ(all.find("加わ"), std::string::npos);
    if (id != kMesA6) {
      EXPECT_EQ(all.find("ルーク"), std::string::npos);
    }
  }
  // The dialogues of the other branch do tell of him.
  EXPECT_NE(text(kMesA7b).find("ルーク"), std::string::npos);
  EXPECT_NE(text(kMesA8c).find("ルーク"), std::string::npos);
}

}  // namespace
}  // namespace vdmq
