// The bitmap container: cell rules on both axes, cell rectangles, notifications and links.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "formkit/Chbmpcnt.h"

using namespace vdmq;

namespace {

struct TCellCase {
  int width, height, cellWidth, cellHeight;
  int count;
  std::vector<std::pair<int, TRect>> rects;  // index -> rectangle
};

TEST(ChbmpcntTest, CellRulesCountAndCutTheBitmapOnBothAxes) {
  const std::vector<TCellCase> cases = {
      // The worked examples.
      {48, 70, 0, -5, 5, {{3, {0, 42, 48, 56}}, {0, {0, 0, 48, 14}}}},
      {360, 40, 0, -2, 2, {{0, {0, 0, 360, 20}}, {1, {0, 20, 360, 40}}}},
      {100, 30, 40, 30, 2, {{0, {0, 0, 40, 30}}, {1, {40, 0, 80, 30}}}},
      // Past the last cell: the last cell; negative: the whole bitmap.
      {48, 70, 0, -5, 5, {{5, {0, 56, 48, 70}}, {99, {0, 56, 48, 70}}, {-1, {0, 0, 48, 70}}, {-7, {0, 0, 48, 70}}}},
      // A cell larger than the bitmap is one cell, cut to the bitmap.
      {30, 20, 50, 64, 1, {{0, {0, 0, 30, 20}}, {3, {0, 0, 30, 20}}}},
      // Truncating division: 10 rows in 3 cells of 3; the last row belongs to no cell.
      {12, 10, 0, -3, 3, {{2, {0, 6, 12, 9}}}},
      // The same rules across: 3 columns of 7 (22 div 3), cells numbered down each column first.
      {22, 8, -3, -2, 6, {{0, {0, 0, 7, 4}}, {1, {0, 4, 7, 8}}, {2, {7, 0, 14, 4}}, {5, {14, 4, 21, 8}}}},
      {25, 9, 5, 3, 15, {{4, {5, 3, 10, 6}}, {14, {20, 6, 25, 9}}}},
      // Rule 0 on both axes: one cell of the whole bitmap.
      {17, 9, 0, 0, 1, {{0, {0, 0, 17, 9}}}},
  };
  for (const TCellCase& c : cases) {
    TCHBmpContainer bc(nullptr);
    bc.Bitmap().SetSize(c.width, c.height);
    bc.SetCellWidth(c.cellWidth);
    bc.SetCellHeight(c.cellHeight);
    const std::string what = std::to_string(c.width) + "x" + std::to_string(c.height) + " rules " +
                             std::to_string(c.cellWidth) + "," + std::to_string(c.cellHeight);
    EXPECT_EQ(bc.Count(), c.count) << what;
    for (const auto& [index, rect] : c.rects) EXPECT_EQ(bc.GetRect(index), rect) << what << " cell " << index;
    TBitmap* b = nullptr;
    TCanvas* canvas = nullptr;
    TRect r;
    bc.GetBmpRect(c.rects[0].first, b, r);
    EXPECT_EQ(b, &bc.Bitmap());
    EXPECT_EQ(r, c.rects[0].second);
    bc.GetCanvasRect(c.rects[0].first, canvas, r);
    EXPECT_EQ(canvas, &bc.GetBmpCanvas());
    EXPECT_EQ(bc.GetBmpWidth(), c.width);
    EXPECT_EQ(bc.GetBmpHeight(), c.height);
  }
}

TEST(ChbmpcntTest, CountStaysZeroUntilTheFirstChangeAndEqualValuesNotifyNobody) {
  TCHBmpContainer bc(nullptr);
  EXPECT_EQ(bc.ClassName(), std::string("TCHBmpContainer"));
  EXPECT_EQ(bc.CellWidth(), 0);
  EXPECT_EQ(bc.CellHeight(), 0);
  EXPECT_EQ(bc.Count(), 0);
  EXPECT_EQ(bc.GetRect(0), (TRect{0, 0, 0, 0}));
  int changes = 0;
  bc.OnChange = [&](TComponent* sender) {
    EXPECT_EQ(sender, &bc);
    ++changes;
  };
  bc.SetCellWidth(0);
  bc.SetCellHeight(0);
  EXPECT_EQ(changes, 0);
  EXPECT_EQ(bc.Count(), 0);
  bc.SetCellHeight(-4);
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(bc.Count(), 4);
  bc.SetCellHeight(-4);
  EXPECT_EQ(changes, 1);
  // The bitmap's own changes (size, copy, drawing on it) run the container's change too.
  bc.Bitmap().SetSize(10, 8);
  EXPECT_EQ(changes, 2);
  TBitmap other;
  other.SetSize(12, 12);
  bc.SetBitmap(other);
  EXPECT_EQ(changes, 3);
  EXPECT_EQ(bc.GetRect(3), (TRect{0, 9, 12, 12}));
  EXPECT_NE(&bc.Bitmap(), &other);  // copied, not adopted
  bc.GetBmpCanvas().FillRectColor({0, 0, 1, 1}, clRed);
  EXPECT_EQ(changes, 4);
}

TEST(ChbmpcntTest, LinksHearChangesInRegistrationOrderBeforeOnChange) {
  TCHBmpContainer bc(nullptr);
  std::vector<std::string> heard;
  TCHBcChangeLink a, b, c;
  a.OnChange = [&](TComponent* s) { heard.push_back(s == &bc ? "a" : "a?"); };
  b.OnChange = [&](TComponent*) { heard.push_back("b"); };
  c.OnChange = [&](TComponent*) { heard.push_back("c"); };
  bc.OnChange = [&](TComponent*) { heard.push_back("container"); };
  bc.RegisterChanges(&b);
  bc.RegisterChanges(&a);
  bc.RegisterChanges(&c);
  EXPECT_EQ(a.Sender, &bc);
  bc.SetCellWidth(-1);
  EXPECT_EQ(heard, (std::vector<std::string>{"b", "a", "c", "container"}));

  heard.clear();
  bc.UnRegisterChanges(&a);
  EXPECT_EQ(a.Sender, nullptr);
  bc.UnRegisterChanges(&a);  // not registered: ignored
  TCHBcChangeLink stranger;
  bc.UnRegisterChanges(&stranger);
  bc.SetCellWidth(-2);
  EXPECT_EQ(heard, (std::vector<std::string>{"b", "c", "container"}));

  // A link destroyed while registered leaves the list.
  heard.clear();
  {
    TCHBcChangeLink shortLived;
    shortLived.OnChange = [&](TComponent*) { heard.push_back("short"); };
    bc.RegisterChanges(&shortLived);
  }
  bc.SetCellWidth(-3);
  EXPECT_EQ(heard, (std::vector<std::string>{"b", "c", "container"}));
}

TEST(ChbmpcntTest, DestroyingTheContainerDetachesEveryLinkLastFirst) {
  TCHBcChangeLink a, b;
  std::vector<std::string> freed;
  a.OnSenderFree = [&](TCHBcChangeLink* l) {
    EXPECT_EQ(l->Sender, nullptr);
    freed.push_back("a");
  };
  b.OnSenderFree = [&](TCHBcChangeLink*) { freed.push_back("b"); };
  {
    TComponent owner(nullptr);
    auto* bc = new TCHBmpContainer(&owner);
    bc->RegisterChanges(&a);
    bc->RegisterChanges(&b);
  }
  EXPECT_EQ(a.Sender, nullptr);
  EXPECT_EQ(b.Sender, nullptr);
  EXPECT_EQ(freed, (std::vector<std::string>{"b", "a"}));
}

}  // namespace
