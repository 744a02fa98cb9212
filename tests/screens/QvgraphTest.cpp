// The strategic map view on plain surfaces, over a test archive whose sheets have one flat colour per
// frame: geometry, scrolling, the queue's limits, draw order, the background crop, the minimap and
// the repaints of a redraw.
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "campaign/Country.h"
#include "campaign/FileKinds.h"
#include "campaign/Fleet.h"
#include "campaign/Planet.h"
#include "campaign/Story.h"
#include "platform/core/StdCtrls.h"
#include "platform/headless/TestKit.h"
#include "qolib/graphics/QoTDib.h"
#include "qolib/graphics/Qograph_rap.h"
#include "qolib/pack/Qopack.h"
#include "screens/Qvgraph.h"
#include "support/GraphicsFiles.h"
#include "support/MapViewHost.h"
#include "support/World.h"

namespace vdmq {
namespace {

using Bytes = std::vector<std::uint8_t>;

const TQoRGB kZenBack(10, 20, 30);

using test::NumberedEntryName;

// The test archive's entries: chips and marks 60 x 30, planets and fleet icons 60 x 60, small
// marks 20 x 10, the minimap base flat, and backgrounds 0 and 1 (1 flat white).
std::vector<std::pair<std::string, Bytes>> TestEntries() {
  return {{NumberedEntryName(kFileKindMapBackground, 0), test::PlaceBmp(1280, 904)},
          {NumberedEntryName(kFileKindMapBackground, 1), test::FlatFramesBmp(99, 1, 1, 1280, 904)},
          {NumberedEntryName(kFileKindMapChips, 0), test::FlatFramesBmp(kFileKindMapChips, 17, 4, 60, 30)},
          {NumberedEntryName(kFileKindMapPlanets, 0), test::FlatFramesBmp(kFileKindMapPlanets, 17, 4, 60, 60)},
          {NumberedEntryName(kFileKindMapFleetIcons, 0), test::FlatFramesBmp(kFileKindMapFleetIcons, 22, 1, 60, 60)},
          {NumberedEntryName(kFileKindMapMarks, 0), test::FlatFramesBmp(kFileKindMapMarks, 10, 1, 20, 10)},
          {NumberedEntryName(kFileKindMapMinimapBase, 0), test::FlatBmp(216, 107, kZenBack)}};
}

class MapView : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { archive_ = std::make_unique<test::TTestArchive>(TestEntries()); }
  static void TearDownTestSuite() { archive_.reset(); }

  void SetUp() override {
    ASSERT_TRUE(archive_->Install());
    QvMapGraph = &graph;
    graph.Init(&view, &zen, &zenBase);
  }
  void TearDown() override {
    graph.Term();
    QvMapGraph = nullptr;
    archive_->Uninstall();
  }

  // Queues the test's entries in place of the map model's cells during the next redraws (a clean
  // world has no planets or fleets to queue).
  struct TScriptHost : test::TMapViewHost {
    test::TTestMap world;
    std::function<void()> queue;
    bool GetMapViewWindow(TMapViewWindow*) override {
      if (queue) queue();
      return false;
    }
  };
  static TGraphOp Op(int mapX, int mapY, int sheet, int frame, int mode = 0) {
    TGraphOp e;
    e.mapX = mapX;
    e.mapY = mapY;
    e.sheet = sheet;
    e.frame = frame;
    e.drawMode = mode;
    return e;
  }

  static inline std::unique_ptr<test::TTestArchive> archive_;
  test::FakeImage viewImage;  // declared before the surfaces: it outlives their binding
  TQoTrueDib view{nullptr, 792, 453};
  TQoTrueDib zen{nullptr, 216, 107};
  TQoTrueDib zenBase{nullptr, 216, 107};
  TQvMapGraph graph;
};

TEST_F(MapView, StartsEmptyAndLoadsTheFiveSheets) {
  TQvMapGraph fresh;
  EXPECT_EQ(fresh.OriginX(), 0);
  EXPECT_EQ(fresh.CursorX(), -1);
  EXPECT_EQ(fresh.CursorY(), -1);
  EXPECT_EQ(fresh.Sheet(0), nullptr);
  for (int slot = 0; slot < 5; ++slot) ASSERT_NE(graph.Sheet(slot), nullptr) << slot;
  EXPECT_EQ(graph.Sheet(1)->FrameWidth(), 60);
  EXPECT_EQ(graph.Sheet(1)->FrameHeight(), 30);
  EXPECT_EQ(graph.Sheet(3)->Rows(), 22);
  EXPECT_EQ(graph.Sheet(4)->FrameHeight(), 10);
  EXPECT_EQ(graph.Sheet(5), nullptr);
  EXPECT_EQ(graph.Sheet(-1), nullptr);
  EXPECT_EQ(graph.Sheet(512), nullptr);
  graph.Term();
  EXPECT_EQ(graph.Sheet(1), nullptr);
}

TEST_F(MapView, IsometricGeometry) {
  const TQoRGBContainer* chips = graph.Sheet(1);
  int sx = 0, sy = 0;
  const struct {
    int mapX, mapY, sx, sy;
  } sprites[] = {{0, 0, 366, 0}, {30, 0, 396, 15}, {0, 30, 336, 15}, {-30, 0, 336, -15}, {15, 0, 381, 7}};
  for (const auto& s : sprites) {
    ASSERT_TRUE(graph.CellToPos(chips, s.mapX, s.mapY, &sx, &sy));
    EXPECT_EQ(sx, s.sx) << s.mapX << "," << s.mapY;
    EXPECT_EQ(sy, s.sy) << s.mapX << "," << s.mapY;
  }
  // A halving truncates toward zero: -15 / 2 is -7.
  ASSERT_TRUE(graph.CellToPos(chips, -15, 0, &sx, &sy));
  EXPECT_EQ(sy, -7);

  // Cells under view positions: clamped to 0..54, and truncating toward zero (not flooring).
  const struct {
    int ox, oy, sx, sy, cx, cy;
  } cells[] = {{0, 0, 0, 0, 0, 5},        {0, 0, 396, 15, 0, 0},      {10, 10, 336, 15, 9, 10},
               {10, 10, 456, 75, 12, 10}, {50, 50, 791, 452, 54, 54}, {0, 0, 0, 452, 7, 20}};
  for (const auto& c : cells) {
    graph.SetOrigin(c.ox, c.oy);
    int cx = -9, cy = -9;
    graph.PosToCell(c.sx, c.sy, &cx, &cy);
    EXPECT_EQ(cx, c.cx) << c.sx << "," << c.sy;
    EXPECT_EQ(cy, c.cy) << c.sx << "," << c.sy;
  }

  int zx = 0, zy = 0;
  ASSERT_TRUE(graph.CellToZenPos(53, 0, &zx, &zy));
  EXPECT_EQ(zx, 214);
  EXPECT_EQ(zy, 53);
  const struct {
    int zx, zy, cx, cy;
  } zens[] = {{108, 0, 0, 0}, {214, 53, 53, 0}, {2, 53, 0, 53}, {108, 106, 53, 53}, {100, 3, 0, 3}, {0, 0, -27, 27}};
  for (const auto& z : zens) {
    int cx = -9, cy = -9;
    graph.ZenPosToCell(z.zx, z.zy, &cx, &cy);
    EXPECT_EQ(cx, z.cx) << z.zx << "," << z.zy;
    EXPECT_EQ(cy, z.cy) << z.zx << "," << z.zy;
  }

  // Without surfaces the conversions that need them answer false.
  TQvMapGraph bare;
  EXPECT_FALSE(bare.CellToPos(chips, 0, 0, &sx, &sy));
  EXPECT_FALSE(bare.CellToZenPos(0, 0, &zx, &zy));
  EXPECT_FALSE(bare.ChkInView(0, 0, 10, 10));
}

TEST_F(MapView, VisibilityAtTheViewsEdges) {
  EXPECT_TRUE(graph.ChkInView(-60, -30, 30, 60));  // touches the corner
  EXPECT_FALSE(graph.ChkInView(-61, 0, 30, 60));
  EXPECT_FALSE(graph.ChkInView(0, -31, 30, 60));
  EXPECT_TRUE(graph.ChkInView(791, 452, 30, 60));
  EXPECT_FALSE(graph.ChkInView(792, 0, 30, 60));
  EXPECT_FALSE(graph.ChkInView(0, 453, 30, 60));
}

TEST_F(MapView, OriginCentreCursorAndEdgeScrolling) {
  view.SetImage(&viewImage);
  graph.SetOrigin(-1, 99);
  EXPECT_EQ(graph.OriginX(), 0);
  EXPECT_EQ(graph.OriginY(), 54);
  graph.SetCenter(10, 10);
  EXPECT_EQ(graph.OriginX(), 4);
  EXPECT_EQ(graph.OriginY(), 4);
  graph.SetCenter(2, 3);
  EXPECT_EQ(graph.OriginX(), 0);
  EXPECT_EQ(graph.OriginY(), 0);

  graph.SetCursor(5, 6);
  graph.SetCursor(54, 0);
  graph.SetCursor(0, -1);
  EXPECT_EQ(graph.CursorX(), 5);
  EXPECT_EQ(graph.CursorY(), 6);

  const struct {
    int region, x, y, toX, toY;
  } steps[] = {
      {2, 0, 20, 0, 21},   {2, 10, 53, 9, 53},  {2, 0, 53, 0, 53}, {2, 10, 10, 9, 11},  {2, 53, 53, 52, 54},
      {0, 0, 0, 0, 0},     {0, 0, 5, 0, 4},     {0, 5, 0, 4, 0},   {0, 5, 5, 4, 4},     {1, 53, 53, 53, 53},
      {1, 53, 10, 53, 11}, {1, 10, 53, 11, 53}, {1, 5, 5, 6, 6},   {1, 54, 54, 54, 54}, {3, 53, 0, 53, 0},
      {3, 53, 10, 53, 9},  {3, 10, 0, 11, 0},   {3, 5, 5, 6, 4},   {3, 53, 53, 54, 52}, {4, 7, 8, 7, 8},
  };
  for (const auto& s : steps) {
    graph.SetOrigin(s.x, s.y);
    const int repaints = viewImage.repaints;
    graph.EdgeScroll(s.region);
    EXPECT_EQ(graph.OriginX(), s.toX) << s.region << " from " << s.x << "," << s.y;
    EXPECT_EQ(graph.OriginY(), s.toY) << s.region << " from " << s.x << "," << s.y;
    EXPECT_EQ(viewImage.repaints, repaints + 1) << "every region redraws, also where nothing moves";
  }
  graph.SetOrigin(7, 8);
  const int repaints = viewImage.repaints;
  graph.EdgeScroll(-1);
  EXPECT_EQ(viewImage.repaints, repaints);
  EXPECT_EQ(graph.OriginX(), 7);
  view.SetImage(nullptr);
}

TEST_F(MapView, CentresOnPlanetsOnTheMapAndLivingCountries) {
  test::TTestMap world;
  test::MakeCapital(2, 7, 30, 20);
  test::PlacePlanet(8, -1, -1, -1);
  graph.SetCenterPlanet(7);
  EXPECT_EQ(graph.OriginX(), 24);
  EXPECT_EQ(graph.OriginY(), 14);
  graph.SetOrigin(1, 1);
  graph.SetCenterPlanet(8);    // off the map
  graph.SetCenterCountry(5);   // no capital: not alive
  graph.SetCenterPlanet(100);  // no such planet
  EXPECT_EQ(graph.OriginX(), 1);
  EXPECT_EQ(graph.OriginY(), 1);
  graph.SetCenterCountry(2);
  EXPECT_EQ(graph.OriginX(), 24);
  EXPECT_EQ(graph.OriginY(), 14);
}

// Pixel of the view surface.
::testing::AssertionResult ViewPixel(const TQoTrueDib& s, int x, int y, TQoRGB want) {
  const TQoRGB got = s.PGet(x, y);
  if (got == want) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "(" << x << "," << y << ") is " << int(got.r) << "," << int(got.g) << ","
                                       << int(got.b) << ", want " << int(want.r) << "," << int(want.g) << ","
                                       << int(want.b);
}

TEST_F(MapView, QueueLimitsAndEntriesWithoutAPicture) {
  TScriptHost host;
  std::vector<TGraphOp> callers;
  host.queue = [&] {
    // Only entries in view count: 1539 in view, five out of view, then the 1540th is drawn and
    // the 1541st dropped.
    for (int i = 0; i < 1539; ++i) {
      TGraphOp e = Op(0, 0, 2, 1);
      graph.AddOp(0, &e);
    }
    for (int i = 0; i < 5; ++i) {
      TGraphOp far = Op(30 * 53, 0, 2, 4);
      graph.AddOp(0, &far);
      if (i == 0) callers.push_back(far);
    }
    TGraphOp last = Op(300, 0, 2, 2), extra = Op(0, 300, 2, 3);
    graph.AddOp(0, &last);
    graph.AddOp(0, &extra);
    // Layers 4 and -1 are dropped; the position is still written into the caller's entry.
    for (int layer : {4, -1}) {
      TGraphOp bad = Op(300, 300, 2, 3);
      graph.AddOp(layer, &bad);
      callers.push_back(bad);
    }
    // Slots outside 0..511 and empty slots are dropped (nothing to place them by).
    for (int slot : {-1, 512, 5, 511}) {
      TGraphOp e = Op(600, 300, slot, 0);
      graph.AddOp(1, &e);
    }
  };
  graph.Draw();
  ASSERT_EQ(callers.size(), 3u);
  EXPECT_EQ(callers[0].screenX, 30 * 53 + 366);
  EXPECT_EQ(callers[0].screenY, 15 * 53);
  EXPECT_EQ(callers[1].screenX, 366);
  EXPECT_EQ(callers[1].screenY, 300);
  EXPECT_TRUE(ViewPixel(view, 396, 30, test::FlatFrameColour(kFileKindMapPlanets, 1)));
  EXPECT_TRUE(ViewPixel(view, 696, 180, test::FlatFrameColour(kFileKindMapPlanets, 2)))
      << "the 1540th entry in view was dropped";
  EXPECT_TRUE(ViewPixel(view, 96, 180, test::PlaceColour(244 + 96, 225 + 180))) << "the 1541st entry was drawn";
  EXPECT_TRUE(ViewPixel(view, 396, 330, test::PlaceColour(244 + 396, 225 + 330))) << "a layer-4 entry was drawn";
  EXPECT_TRUE(ViewPixel(view, 696, 330, test::PlaceColour(244 + 696, 225 + 330)))
      << "an entry without a sheet was drawn";
}

TEST_F(MapView, DrawOrderByLayerThenRowThenColumnThenQueueing) {
  TScriptHost host;
  host.queue = [&] {
    // Layer 2: (1, 0) is queued before (0, 0) but sorts after it and covers their overlap; two
    // sprites at (0, 2) keep their queueing order.
    TGraphOp right = Op(30, 0, 2, 5), left = Op(0, 0, 2, 6), first = Op(0, 60, 2, 7), second = Op(0, 60, 2, 8);
    graph.AddOp(2, &right);
    graph.AddOp(2, &left);
    graph.AddOp(2, &first);
    graph.AddOp(2, &second);
    // Layer 3 at row 1 covers layer 2 at row 2; layer 1 is covered by layer 2.
    TGraphOp over = Op(0, 30, 2, 9), under = Op(0, 60, 2, 10);
    graph.AddOp(3, &over);
    graph.AddOp(1, &under);
    // Frame 0 holds the key pixel, which lets what lies below through.
    TGraphOp keyed = Op(300, 0, 2, 0);
    graph.AddOp(0, &keyed);
  };
  graph.Draw();
  EXPECT_TRUE(ViewPixel(view, 400, 20, test::FlatFrameColour(kFileKindMapPlanets, 5)));  // overlap of (0, 0) and (1, 0)
  EXPECT_TRUE(ViewPixel(view, 370, 4, test::FlatFrameColour(kFileKindMapPlanets, 6)));
  EXPECT_TRUE(ViewPixel(view, 320, 70, test::FlatFrameColour(kFileKindMapPlanets, 8)));  // the later of (0, 2)'s pair
  EXPECT_TRUE(ViewPixel(view, 350, 50, test::FlatFrameColour(kFileKindMapPlanets, 9)));  // layer 3 over (0, 2)
  EXPECT_TRUE(ViewPixel(view, 380, 30, test::FlatFrameColour(kFileKindMapPlanets, 9)));  // ... and over (0, 0)
  EXPECT_TRUE(ViewPixel(view, 666, 150, test::PlaceColour(244 + 666, 225 + 150)));
  EXPECT_TRUE(ViewPixel(view, 667, 150, test::FlatFrameColour(kFileKindMapPlanets, 0)));
}

TEST_F(MapView, BackgroundShowsItsCentreAndTheCursorBrightensItsCell) {
  test::TTestMap world;  // every chip 0
  test::TMapViewHost host;
  graph.SetOrigin(20, 20);
  graph.SetCursor(21, 20);
  graph.Draw();
  // The chips cover the view edge to edge, and the cursor's frame is added to its chip.
  const TQoRGB chip = test::FlatFrameColour(kFileKindMapChips, 0), mark = test::FlatFrameColour(kFileKindMapChips, 66);
  const TQoRGB bright(static_cast<unsigned char>(std::min(255, chip.r + mark.r)),
                      static_cast<unsigned char>(std::min(255, chip.g + mark.g)),
                      static_cast<unsigned char>(std::min(255, chip.b + mark.b)));
  int uncovered = 0;
  for (int y = 0; y < 453; ++y)
    for (int x = 0; x < 792; ++x) uncovered += view.PGet(x, y) != chip && view.PGet(x, y) != bright;
  EXPECT_EQ(uncovered, 0) << "the visible window of cells leaves the view's edges empty";
  EXPECT_TRUE(ViewPixel(view, 396 + 10, 15 + 10, bright));
  EXPECT_TRUE(ViewPixel(view, 366 + 10, 0 + 10, chip));

  // Without the map model only the background is drawn: the centre of the picture, also at the
  // largest view.
  QvMap = nullptr;
  graph.SetSize(1272, 877);
  EXPECT_EQ(view.Width(), 1272);
  EXPECT_TRUE(ViewPixel(view, 0, 0, test::PlaceColour(4, 13)));
  EXPECT_TRUE(ViewPixel(view, 1271, 876, test::PlaceColour(1275, 889)));
  graph.SetSize(0, 0);
  graph.SetSize(792, 453);
  EXPECT_TRUE(ViewPixel(view, 0, 0, test::PlaceColour(244, 225))) << "the view does not come back from an empty size";
  EXPECT_TRUE(ViewPixel(view, 791, 452, test::PlaceColour(1035, 677)));
}

TEST_F(MapView, BackgroundAndChipsFollowTheChapter) {
  graph.Draw();
  EXPECT_TRUE(ViewPixel(view, 5, 5, test::PlaceColour(249, 230)));
  for (int chapter : {0, 2, 3, 5}) {
    SetStoryVar(0, chapter);
    graph.LoadBg();
    graph.LoadMapChip();
    graph.Draw();
    // Chapter 2 reads background 1 (flat); 3 would read 2, which the archive lacks, so the picture
    // stays; any other chapter reads 0.
    EXPECT_TRUE(ViewPixel(view, 5, 5,
                          chapter == 2 || chapter == 3 ? test::FlatFrameColour(99, 0) : test::PlaceColour(249, 230)))
        << chapter;
  }
  SetStoryVar(0, 0);
  graph.Term();
  graph.LoadBg();  // empty slots: nothing to reload
  EXPECT_EQ(graph.Sheet(0), nullptr);
}

TEST_F(MapView, MinimapColours) {
  test::TTestMap world;
  for (int x = 0; x < 54; ++x) world.map.SetChip(x, 40, 25);  // an obstacle row
  // Player 0; country 1 at war, 2 allied, 3 without relation.
  SetCountryRelation(0, 1, kRelationWar);
  SetCountryRelation(0, 2, kRelationAlly);
  test::MakeCapital(0, 0, 10, 10);
  test::PlacePlanet(1, 12, 10, 0);
  test::MakeCapital(1, 2, 20, 10);
  test::PlacePlanet(3, 22, 10, 1);
  test::PlacePlanet(4, 24, 10, -1);
  test::MakeCapital(2, 5, 30, 10);
  test::PlacePlanet(6, 32, 10, 2);
  test::MakeCapital(3, 7, 34, 10);
  test::PlacePlanet(8, 53, 53, 3);
  // Fleets on planets colour the planet's dot; the one in open space leaves none.
  test::MakeFleet(0, 0, 0, 12, 10);
  test::MakeFleet(1, 0, 10, 24, 10);
  test::MakeFleet(3, 0, 20, 53, 53);
  test::MakeFleet(1, 1, 11, 5, 20);
  ASSERT_TRUE(graph.MakeZenBase());
  graph.Draw();

  auto at = [&](int x, int y) {
    int zx = 0, zy = 0;
    graph.CellToZenPos(x, y, &zx, &zy);
    return zen.PGet(zx, zy);
  };
  const struct {
    int x, y, colour;
  } dots[] = {{10, 10, 12}, {12, 10, 14}, {20, 10, 9},  {22, 10, 1}, {24, 10, 13}, {30, 10, 6},
              {32, 10, 2},  {34, 10, 6},  {53, 53, 10}, {5, 20, 8},  {5, 40, 7},   {6, 6, 8}};
  for (const auto& d : dots) EXPECT_EQ(at(d.x, d.y), RapColors[d.colour]) << d.x << "," << d.y;
  // A dot is 3 x 2 pixels; the base shows around it.
  int zx = 0, zy = 0;
  graph.CellToZenPos(10, 10, &zx, &zy);
  EXPECT_EQ(zen.PGet(zx + 2, zy + 1), RapColors[12]);
  EXPECT_EQ(zenBase.PGet(0, 0), kZenBack);
  // A dead country's fleets leave no dot: without its capital country 1 is gone.
  SetCountryCapital(1, -1);
  graph.Draw();
  EXPECT_EQ(at(24, 10), RapColors[1]);

  TQvMapGraph bare;
  EXPECT_FALSE(bare.MakeZenBase());
  QvMap = nullptr;
  EXPECT_FALSE(graph.MakeZenBase());
}

TEST_F(MapView, OneRepaintOfEachImagePerRedraw) {
  THeadlessSession session;
  auto* form = new TForm(&App());
  form->SetBounds(0, 0, 800, 600);
  auto* viewImg = new TImage(form);
  viewImg->SetParent(form);
  viewImg->SetBounds(0, 0, 792, 453);
  auto* zenImg = new TImage(form);
  zenImg->SetParent(form);
  zenImg->SetBounds(568, 460, 216, 107);
  view.SetImage(viewImg);
  zen.SetImage(zenImg);
  form->Show();
  App().ProcessMessages();
  test::TTestMap world;
  test::TMapViewHost host;
  const int viewPaints = viewImg->PaintCount(), zenPaints = zenImg->PaintCount();
  const int presents = session.Backend.PresentCount();
  graph.Draw();
  EXPECT_EQ(viewImg->PaintCount(), viewPaints + 1);
  EXPECT_EQ(zenImg->PaintCount(), zenPaints + 1);
  EXPECT_EQ(session.Backend.PresentCount(), presents + 1) << "a redraw is presented once, at once";
  App().ProcessMessages();
  EXPECT_EQ(viewImg->PaintCount(), viewPaints + 1) << "nothing left to paint after the redraw";
  view.SetImage(nullptr);
  zen.SetImage(nullptr);
}

// Damaged picture entries: every sheet either holds whole frames or is empty and skipped.
TEST(MapViewArchive, DamagedEntriesGiveEmptySheetsThatDrawingSkips) {
  std::mt19937 rng(19);
  const std::vector<std::pair<std::string, Bytes>> good = {
      {NumberedEntryName(kFileKindMapBackground, 0), test::FlatFramesBmp(98, 1, 1, 1280, 904)},
      {NumberedEntryName(kFileKindMapChips, 0), test::FlatFramesBmp(kFileKindMapChips, 17, 4, 60, 30)},
      {NumberedEntryName(kFileKindMapPlanets, 0), test::FlatFramesBmp(kFileKindMapPlanets, 17, 4, 60, 60)},
      {NumberedEntryName(kFileKindMapFleetIcons, 0), test::FlatFramesBmp(kFileKindMapFleetIcons, 22, 1, 60, 60)},
      {NumberedEntryName(kFileKindMapMarks, 0), test::FlatFramesBmp(kFileKindMapMarks, 10, 1, 20, 10)},
      {NumberedEntryName(kFileKindMapMinimapBase, 0), test::FlatFramesBmp(kFileKindMapMinimapBase, 1, 1, 216, 107)}};
  test::TTestMap world;
  test::MakeCapital(0, 0, 10, 10);
  test::MakeFleet(0, 0, 0, 11, 10);
  test::TMapViewHost host;
  for (int round = 0; round < 40; ++round) {
    std::vector<std::pair<std::string, Bytes>> entries = good;
    for (auto& [name, bytes] : entries) {
      switch (rng() % 4) {
        case 0: bytes.resize(rng() % bytes.size()); break;  // cut short
        case 1:                                             // bytes changed
          for (int i = 0; i < 8; ++i)
            bytes[rng() % std::min<std::size_t>(bytes.size(), 64)] = static_cast<std::uint8_t>(rng());
          break;
        case 2: bytes[rng() % bytes.size()] ^= static_cast<std::uint8_t>(1 + rng() % 255); break;
        default: break;  // whole
      }
    }
    const std::string path = test::MakePack(entries);
    ASSERT_FALSE(path.empty());
    TQoPack pack;
    ASSERT_TRUE(pack.OpenPack(path));
    SetQoPictureArchive(&pack);
    SetQoEntryNameHook(NumberedEntryName);
    TQoTrueDib view(nullptr, 792, 453), zen(nullptr, 216, 107), zenBase(nullptr, 216, 107);
    TQvMapGraph graph;
    QvMapGraph = &graph;
    graph.Init(&view, &zen, &zenBase);
    graph.MakeZenBase();
    graph.SetCenter(10, 10);
    for (int slot = 0; slot < 5; ++slot) {
      const TQoRGBContainer* s = graph.Sheet(slot);
      ASSERT_NE(s, nullptr);
      if (s->Pixels() != nullptr) {
        EXPECT_LE(s->FrameWidth() * s->Cols(), s->Width()) << round << " slot " << slot;
        EXPECT_LE(s->FrameHeight() * s->Rows(), s->Height()) << round << " slot " << slot;
      }
    }
    graph.Term();
    QvMapGraph = nullptr;
    SetQoEntryNameHook(nullptr);
    SetQoPictureArchive(nullptr);
    pack.ClosePack();
    std::remove(path.c_str());
  }
}

}  // namespace
}  // namespace vdmq
