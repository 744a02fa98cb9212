// The battle view on plain surfaces over a test archive whose sheets have one flat colour per frame:
// the sheets, where sprites are queued and dropped, the draw order, scrolling and the mouse, the
// background crop and the minimap dots.
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "battle/Btlight.h"
#include "battle/Btmissile.h"
#include "battle/Btqvgraph.h"
#include "battle/Btqvmap.h"
#include "campaign/FileKinds.h"
#include "qolib/graphics/QoTDib.h"
#include "qolib/graphics/Qograph_rap.h"
#include "support/BattleWorld.h"
#include "support/GraphicsFiles.h"

namespace vdmq {
namespace {

using Bytes = std::vector<std::uint8_t>;

const TQoRGB kZenBack(10, 20, 30);

using test::NumberedEntryName;

// Every fixed sheet with 20 x 20 frames (the markers 40 x 40) and the flat minimap base; no hull
// picture, so a ship's hull sheet is a slot without pixels.
std::vector<std::pair<std::string, Bytes>> TestEntries() {
  return {{NumberedEntryName(kFileKindBattleBackground, 0), test::PlaceBmp(kBtArenaPixels, kBtArenaPixels)},
          {NumberedEntryName(kFileKindBattleRadar, -1), test::FlatFramesBmp(48, 1, 8, 20, 20)},
          {NumberedEntryName(kFileKindBattleFlames, 0), test::FlatFramesBmp(51, 1, 8, 20, 20)},
          {NumberedEntryName(kFileKindBattleFlames, 1), test::FlatFramesBmp(52, 1, 8, 20, 20)},
          {NumberedEntryName(kFileKindBattleExplosions, 0), test::FlatFramesBmp(53, 1, 8, 20, 20)},
          {NumberedEntryName(kFileKindBattleExplosions, 1), test::FlatFramesBmp(54, 1, 8, 20, 20)},
          {NumberedEntryName(kFileKindBattleTrails, 0), test::FlatFramesBmp(55, 10, 8, 20, 20)},
          {NumberedEntryName(kFileKindBattleMissiles, 0), test::FlatFramesBmp(56, 6, 8, 20, 20)},
          {NumberedEntryName(kFileKindBattleShield, 0), test::FlatFramesBmp(57, 1, 4, 20, 20)},
          {NumberedEntryName(kFileKindBattleMarkers, -1), test::FlatFramesBmp(58, 15, 1, 40, 40)},
          {NumberedEntryName(kFileKindBattleMinimapBase, -1), test::FlatBmp(100, 100, kZenBack)}};
}

class BattleView : public bttest::ArenaTest {
 protected:
  static void SetUpTestSuite() { archive_ = std::make_unique<test::TTestArchive>(TestEntries()); }
  static void TearDownTestSuite() { archive_.reset(); }
  void SetUp() override {
    ArenaTest::SetUp();
    ASSERT_TRUE(archive_->Install());
    view.Loaded();
    zen.Loaded();
    zenBase.Loaded();
    graph.LoadGraphics(&view, &zenBase, &zen);
    SetBtViewSink(&graph);
    StartArena(0, 0, 1, 0, -1);  // an empty arena: no fleet holds a ship
  }
  void TearDown() override {
    SetBtViewSink(nullptr);
    graph.FreePats();
    archive_->Uninstall();
    ArenaTest::TearDown();
  }
  static TBtDrawEntry Entry(int mapX, int mapY, int slot, int frame = 0) {
    TBtDrawEntry e;
    e.mapX = mapX;
    e.mapY = mapY;
    e.slot = slot;
    e.frame = frame;
    return e;
  }
  static TQoRGB Pixel(const TQoTrueDib& s, int x, int y) { return s.Pixels()[y * s.RowPitch() + x]; }

  static inline std::unique_ptr<test::TTestArchive> archive_;
  TQoTrueDib view{nullptr, 792, 453};
  TQoTrueDib zen{nullptr, 100, 100};
  TQoTrueDib zenBase{nullptr, 100, 100};
  TBtQvMapGraph graph;
};

TEST_F(BattleView, SheetsAreLoadedOnceAndSlotsRunOut) {
  TBtQvMapGraph fresh;
  int mx = -1, my = -1;
  fresh.GetMouseMapPos(mx, my);
  EXPECT_EQ(mx, 0);
  EXPECT_EQ(my, 0);
  EXPECT_EQ(fresh.GetCount(kBtLayerEffect), 0);
  EXPECT_EQ(fresh.Sheet(0), nullptr);

  for (int slot = 0; slot < 10; ++slot) ASSERT_NE(graph.Sheet(slot), nullptr) << slot;
  EXPECT_EQ(graph.Sheet(6)->Rows(), 10);
  EXPECT_EQ(graph.Sheet(9)->FrameWidth(), 40);
  EXPECT_EQ(graph.Sheet(9)->Rows(), 15);
  // The minimap base took its picture.
  EXPECT_EQ(Pixel(zenBase, 50, 50), kZenBack);

  // A hull picture that is not in the archive still takes its slot, without pixels.
  EXPECT_EQ(graph.AddPat(kFileKindBattleHull, 7, 1, 8), 10);
  ASSERT_NE(graph.Sheet(10), nullptr);
  EXPECT_EQ(graph.Sheet(10)->Pixels(), nullptr);
  for (int slot = 11; slot < kBtSheetSlots; ++slot) ASSERT_EQ(graph.AddPat(kFileKindBattleHull, 7, 1, 8), slot);
  EXPECT_EQ(graph.AddPat(kFileKindBattleFlames, 0, 1, 8), -1);
  EXPECT_EQ(graph.Sheet(kBtSheetSlots), nullptr);
  EXPECT_EQ(graph.Sheet(-1), nullptr);

  graph.FreePats();
  EXPECT_EQ(graph.Sheet(0), nullptr);
  EXPECT_EQ(graph.ViewSurface(), nullptr);
  graph.Redraw();  // nothing without a view
}

TEST_F(BattleView, PutQueuesWhatCanBeSeenOnItsLayer) {
  graph.AddPat(kFileKindBattleHull, 7, 1, 8);  // slot 10: a hull picture that did not load
  const struct {
    int layer, mapX, mapY, slot;
    bool queued;
  } cases[] = {
      // The 40-pixel markers of slot 9 are centred on their point: x = map x / 4 - 20.
      {3, -76, 800, 9, true},   {3, -80, 800, 9, false},  {3, 800, -76, 9, true},    {3, 800, -80, 9, false},
      {3, 3248, 800, 9, true},  {3, 3252, 800, 9, false}, {3, 800, 1892, 9, true},   {3, 800, 1896, 9, false},
      {0, 800, 800, 2, true},   {1, 800, 800, 7, true},   {2, 800, 800, 8, true},    {4, 800, 800, 2, false},
      {-1, 800, 800, 2, false}, {3, 800, 800, -1, false}, {3, 800, 800, 512, false}, {3, 800, 800, 10, false},
      {3, 800, 800, 11, false},
  };
  for (const auto& c : cases) {
    const int before = graph.GetCount(c.layer);
    graph.Put(c.layer, Entry(c.mapX, c.mapY, c.slot));
    EXPECT_EQ(graph.GetCount(c.layer) - before, c.queued ? 1 : 0)
        << "layer " << c.layer << " at " << c.mapX << "," << c.mapY << " slot " << c.slot;
  }
  // The place on screen: centred on the map point, moved by the offset.
  TBtDrawEntry e = Entry(400, 800, 2);
  e.dx = 3;
  e.dy = -4;
  graph.Put(kBtLayerHull, e);
  const TBtQueuedEntry& q = graph.GetEntry(kBtLayerHull, graph.GetCount(kBtLayerHull) - 1);
  EXPECT_EQ(q.screenX, 100 - 10 + 3);
  EXPECT_EQ(q.screenY, 200 - 10 - 4);

  // A layer holds 2048 entries a frame; the rest are dropped.
  for (int i = 0; i < kBtLayerEntries + 5; ++i) graph.Put(kBtLayerMissile, Entry(800, 800, 7));
  EXPECT_EQ(graph.GetCount(kBtLayerMissile), kBtLayerEntries);
}

TEST_F(BattleView, RedrawSortsEachLayerByRowThenColumnThenQueueOrder) {
  // Lights in slot order: kinds 0 (flames, sheet 2) and 1 (trails, sheet 6) at shuffled places,
  // two pairs on the same point.
  const struct {
    int x, y, kind;
  } lights[] = {{2000, 1200, 0}, {1600, 1200, 1}, {1600, 1000, 0}, {1600, 1200, 0}, {1800, 1000, 1}, {1600, 1000, 1}};
  for (const auto& l : lights) arena_->AddLight(l.x, l.y, l.kind, 0);
  graph.Redraw();
  ASSERT_EQ(graph.GetCount(kBtLayerEffect), 6);
  const struct {
    int x, y, slot;
  } want[] = {{1600, 1000, 2}, {1600, 1000, 6}, {1800, 1000, 6}, {1600, 1200, 6}, {1600, 1200, 2}, {2000, 1200, 2}};
  for (int i = 0; i < 6; ++i) {
    const TBtDrawEntry& e = graph.GetEntry(kBtLayerEffect, i).entry;
    EXPECT_EQ(e.mapX, want[i].x) << i;
    EXPECT_EQ(e.mapY, want[i].y) << i;
    EXPECT_EQ(e.slot, want[i].slot) << i;
  }
  // Nothing queues on layer 0, and the view shows the sprites over the background.
  EXPECT_EQ(graph.GetCount(0), 0);
  EXPECT_EQ(Pixel(view, 5, 5), test::PlaceColour(5, 5));
}

TEST_F(BattleView, ScrollIsClampedToTheArenaPicture) {
  const struct {
    int x, y, wantX, wantY;
  } cases[] = {{-5, -5, 0, 0}, {100, 200, 100, 200}, {900, 2000, 808, 1147}, {808, 1147, 808, 1147}};
  for (const auto& c : cases) {
    graph.ScrollTo(c.x, c.y);
    int sx = -1, sy = -1;
    graph.GetScroll(sx, sy);
    EXPECT_EQ(sx, c.wantX) << c.x;
    EXPECT_EQ(sy, c.wantY) << c.y;
  }
  // The background follows the scroll.
  graph.ScrollTo(100, 200);
  EXPECT_EQ(Pixel(view, 0, 0), test::PlaceColour(100, 200));
  EXPECT_EQ(Pixel(view, 791, 452), test::PlaceColour(891, 652));
  int mx = 0, my = 0;
  graph.ScreenToMap(10, 20, mx, my);
  EXPECT_EQ(mx, 440);
  EXPECT_EQ(my, 880);

  // The mouse is kept only past the first 40 pixels of each axis.
  graph.SetMousePos(39, 300);
  graph.SetMousePos(300, 39);
  graph.GetMouseMapPos(mx, my);
  EXPECT_EQ(mx, 400);
  EXPECT_EQ(my, 800);
  graph.SetMousePos(40, 41);
  graph.GetMouseMapPos(mx, my);
  EXPECT_EQ(mx, 560);
  EXPECT_EQ(my, 964);

  // Centring on a pixel puts it in the middle of the view.
  graph.CenterOn(800, 800);
  int sx = 0, sy = 0;
  graph.GetScroll(sx, sy);
  EXPECT_EQ(sx, 800 - 396);
  EXPECT_EQ(sy, 800 - 226);

  // A view larger than the arena never scrolls to a negative place.
  graph.Resize(2000, 1700);
  graph.SetScroll(300, 300);
  graph.GetScroll(sx, sy);
  EXPECT_EQ(sx, 0);
  EXPECT_EQ(sy, 0);

  // Without an arena nothing moves.
  graph.Resize(792, 453);
  graph.SetScroll(50, 60);
  BtQvMap = nullptr;
  graph.SetScroll(500, 500);
  graph.SetMousePos(300, 300);
  BtQvMap = arena_;
  graph.GetScroll(sx, sy);
  EXPECT_EQ(sx, 50);
  EXPECT_EQ(sy, 60);
}

TEST_F(BattleView, MinimapDotsStopAtTheArenaEdge) {
  // Missiles of both sides moved to the places under test (never moved by a redraw).
  arena_->AddMissile(bttest::MissileInfo(bttest::kWeapon1, 0, 3300, 3200));
  arena_->AddMissile(bttest::MissileInfo(bttest::kWeapon1, 1, 3300, 3200));
  arena_->AddMissile(bttest::MissileInfo(bttest::kWeapon1, 1, 3300, 3200));
  arena_->GetMissile(0)->SetPos(6399, 100);
  arena_->GetMissile(1)->SetPos(640, 640);
  arena_->GetMissile(2)->SetPos(6400, 3200);
  graph.Redraw();
  // Column 99 is one pixel wide; the player's missile is aqua, the other side's fuchsia.
  EXPECT_EQ(Pixel(zen, 99, 1), RapColors[kBtMiniAqua]);
  EXPECT_EQ(Pixel(zen, 99, 2), RapColors[kBtMiniAqua]);
  EXPECT_EQ(Pixel(zen, 98, 1), kZenBack);
  for (int x : {10, 11}) {
    for (int y : {10, 11}) EXPECT_EQ(Pixel(zen, x, y), RapColors[kBtMiniFuchsia]);
  }
  // x 6400 is past the last column: its row stays the base.
  for (int x = 0; x < 100; ++x) ASSERT_EQ(Pixel(zen, x, 50), kZenBack) << x;
  // The next frame starts again from the base.
  arena_->GetMissile(1)->SetPos(3200, 3200);
  graph.Redraw();
  EXPECT_EQ(Pixel(zen, 10, 10), kZenBack);
  EXPECT_EQ(Pixel(zen, 50, 50), RapColors[kBtMiniFuchsia]);
}

}  // namespace
}  // namespace vdmq
