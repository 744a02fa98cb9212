// The map model: chips, zones for every relation and mode, step waves on hand-made maps against
// hand-computed tables (and against a plain breadth-first search on random maps), marks,
// directions, the map block and the queued cells.

#include "campaign/Qvmap.h"

#include <gtest/gtest.h>

#include <deque>
#include <memory>
#include <random>
#include <vector>

#include "campaign/Country.h"
#include "campaign/Fleet.h"
#include "campaign/Planet.h"
#include "campaign/Save.h"
#include "platform/base/Sjis.h"
#include "support/KeyedBytes.h"
#include "support/RecordingHost.h"
#include "support/World.h"

namespace vdmq {
namespace {

using TTable = std::int32_t[kMapSize][kMapSize];

class QvmapTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::ResetWorld();
    map_ = std::make_unique<TQvMap>();
    map_->ClearMap();
    // Country 0 acts; 1 is at war with it, 2 allied, 3 neutral.
    for (int c = 0; c < 4; ++c) CountryData[c].Capital = c;
    SetCountryRelation(0, 1, kRelationWar);
    SetCountryRelation(0, 2, kRelationAlly);
  }
  // Everything an obstacle but the listed cells.
  void OnlyOpen(const std::vector<std::pair<int, int>>& cells) {
    for (int y = 0; y < kMapSize; ++y) {
      for (int x = 0; x < kMapSize; ++x) map_->SetChip(x, y, 25);
    }
    for (auto [x, y] : cells) map_->SetChip(x, y, 0);
  }
  std::unique_ptr<TQvMap> map_;
  test::TRecordingHost host_;
  TTable t_;
};

TEST_F(QvmapTest, ChipsAndCellsOffTheMap) {
  map_->SetChip(3, 4, 19);
  map_->SetChip(4, 4, 20);
  map_->SetChip(-1, 4, 30);  // ignored
  map_->SetChip(54, 0, 30);
  EXPECT_TRUE(map_->IsMovable(3, 4));
  EXPECT_FALSE(map_->IsMovable(4, 4));
  EXPECT_FALSE(map_->IsMovable(-1, 4));
  EXPECT_FALSE(map_->IsMovable(0, 54));
  EXPECT_TRUE(TQvMap::ChkInMap(53, 0));
  EXPECT_FALSE(TQvMap::ChkInMap(53, -1));
  map_->MakeZone(-1, 0);
  EXPECT_EQ(map_->GetZone(3, 4), 0);
  EXPECT_EQ(map_->GetZone(4, 4), 255);
  EXPECT_EQ(map_->GetZone(54, 3), 255);
  EXPECT_FALSE(map_->IsPassable(-1, 0));
  EXPECT_FALSE(map_->SetMark(0, 54, 64));
  EXPECT_EQ(map_->GetMark(0, 54), 0);
  EXPECT_TRUE(map_->SetMark(1, 2, 67));
  EXPECT_EQ(map_->GetMark(1, 2), 67);
  map_->SetStep(2, 2, 9);
  EXPECT_EQ(map_->GetStep(2, 2), 9);
  map_->ClearMap();
  EXPECT_EQ(map_->GetMark(1, 2), 0);
  EXPECT_EQ(map_->GetStep(2, 2), 0);
  EXPECT_TRUE(map_->IsMovable(4, 4));
}

TEST_F(QvmapTest, ZonesByRelationAndMode) {
  map_->SetChip(0, 0, 20);
  test::PlacePlanet(10, 20, 20, 3);  // neutral
  test::PlacePlanet(11, 30, 20, 1);  // enemy
  test::PlacePlanet(12, 40, 20, 2);  // allied
  test::PlacePlanet(13, 10, 40, 0);  // own, with an allied fleet on it
  test::PlacePlanet(14, 40, 40, 1);  // two enemy planets side by side
  test::PlacePlanet(15, 41, 40, 1);
  test::PlacePlanet(16, 20, 45, -1);  // unowned
  test::PlacePlanet(17, 60, 3, 1);    // off the grid (a damaged position): ignored
  test::MakeFleet(2, 0, -1, 10, 40);
  test::MakeFleet(1, 0, -1, 5, 5);   // enemy fleet
  test::MakeFleet(0, 0, -1, 8, 30);  // own fleet
  test::MakeFleet(1, 1, -1, 3, 99);  // off the grid: ignored

  map_->MakeZone(-1, 0);
  for (int y = 0; y < kMapSize; ++y) {
    for (int x = 0; x < kMapSize; ++x) EXPECT_EQ(map_->GetZone(x, y), (x == 0 && y == 0) ? 255 : 0);
  }

  map_->MakeZone(0, 0);
  EXPECT_EQ(map_->GetZone(20, 20), 177);
  EXPECT_EQ(map_->GetZone(21, 20), 131);
  EXPECT_EQ(map_->GetZone(20, 19), 131);
  EXPECT_EQ(map_->GetZone(21, 21), 0);  // diagonals are never set
  EXPECT_EQ(map_->GetZone(30, 20), 177);
  EXPECT_EQ(map_->GetZone(29, 20), 127);
  EXPECT_EQ(map_->GetZone(40, 20), 177);
  EXPECT_EQ(map_->GetZone(41, 20), 0);
  EXPECT_EQ(map_->GetZone(10, 40), 145);  // own planet under an allied fleet
  EXPECT_FALSE(map_->IsPassable(10, 40));
  EXPECT_EQ(map_->GetZone(40, 40), 177);
  EXPECT_EQ(map_->GetZone(41, 40), 177);
  EXPECT_EQ(map_->GetZone(20, 45), 177);
  EXPECT_EQ(map_->GetZone(20, 46), 127);
  EXPECT_EQ(map_->GetZone(5, 5), 145);
  EXPECT_EQ(map_->GetZone(5, 6), 126);
  EXPECT_EQ(map_->GetZone(8, 30), 16);
  EXPECT_EQ(map_->GetZone(0, 0), 255);

  map_->MakeZone(0, 1);
  EXPECT_EQ(map_->GetZone(20, 20), 177);
  EXPECT_EQ(map_->GetZone(21, 20), 127);
  EXPECT_EQ(map_->GetZone(30, 20), 49);
  EXPECT_TRUE(map_->IsPassable(30, 20));
  EXPECT_EQ(map_->GetZone(40, 20), 177);
  EXPECT_EQ(map_->GetZone(40, 40), 127);  // an enemy planet beside another: 127 over 49
  EXPECT_EQ(map_->GetZone(41, 40), 127);
  EXPECT_EQ(map_->GetZone(5, 5), 17);
  EXPECT_EQ(map_->GetZone(4, 5), 126);

  map_->MakeZone(0, 2);
  EXPECT_EQ(map_->GetZone(40, 20), 49);
  EXPECT_EQ(map_->GetZone(39, 20), 127);
  EXPECT_EQ(map_->GetZone(20, 20), 49);
  EXPECT_EQ(map_->GetZone(10, 40), 48);  // fleets are not considered
  EXPECT_EQ(map_->GetZone(5, 5), 0);
}

TEST_F(QvmapTest, StepWaveAlongACorridor) {
  // Row 2 from x 1 to 5, a side cell (3, 3), and column 5 down to row 5.
  OnlyOpen({{1, 2}, {2, 2}, {3, 2}, {4, 2}, {5, 2}, {3, 3}, {5, 3}, {5, 4}, {5, 5}});
  ASSERT_TRUE(map_->MakeStep(-1, 0, 1, 2, 10, t_, 0, true));
  const int expected[][3] = {{1, 2, 0}, {2, 2, 1}, {3, 2, 2}, {4, 2, 3}, {5, 2, 4},
                             {3, 3, 3}, {5, 3, 5}, {5, 4, 6}, {5, 5, 7}};
  int reached = 0;
  for (int y = 0; y < kMapSize; ++y) {
    for (int x = 0; x < kMapSize; ++x) reached += t_[y][x] != kStepUnreached;
  }
  EXPECT_EQ(reached, 9);
  for (const auto& e : expected) EXPECT_EQ(t_[e[1]][e[0]], e[2]) << e[0] << "," << e[1];

  // The budget ends the wave: five steps reach (5, 3) and no further.
  ASSERT_TRUE(map_->MakeStep(-1, 0, 1, 2, 5, t_, 0, true));
  EXPECT_EQ(t_[3][5], 5);
  EXPECT_EQ(t_[4][5], kStepUnreached);
}

TEST_F(QvmapTest, MoveTypeOneStopsNextToAnEnemy) {
  test::MakeFleet(1, 0, -1, 12, 10);
  ASSERT_TRUE(map_->MakeStep(0, 0, 10, 10, 3, t_, 1, true));
  EXPECT_EQ(t_[10][10], 0);
  EXPECT_EQ(t_[10][11], 3);  // one step away, but entering it ends the move
  EXPECT_EQ(t_[9][11], 2);
  EXPECT_EQ(t_[9][12], 3);  // also next to the fleet
  EXPECT_EQ(t_[10][12], kStepUnreached);
  EXPECT_EQ(t_[10][13], kStepUnreached);  // nothing spreads past the enemy's ring
  EXPECT_EQ(t_[13][10], 3);
  EXPECT_EQ(t_[14][10], kStepUnreached);

  // Move type 0: the ring costs one step like any cell.
  ASSERT_TRUE(map_->MakeStep(0, 0, 10, 10, 3, t_, 0, true));
  EXPECT_EQ(t_[10][11], 1);
  EXPECT_EQ(t_[9][12], 3);

  // A start next to a hostile planet cannot move at all under move type 1.
  test::PlacePlanet(20, 30, 30, 1);
  ASSERT_TRUE(map_->MakeStep(0, 0, 29, 30, 5, t_, 1, true));
  for (int y = 0; y < kMapSize; ++y) {
    for (int x = 0; x < kMapSize; ++x) EXPECT_EQ(t_[y][x], (x == 29 && y == 30) ? 5 : kStepUnreached);
  }
  // A start next to an enemy fleet (126) can.
  ASSERT_TRUE(map_->MakeStep(0, 0, 11, 10, 2, t_, 1, true));
  EXPECT_EQ(t_[10][11], 0);
  EXPECT_EQ(t_[10][10], 1);
}

TEST_F(QvmapTest, PresetTableRunsToItsLargestStep) {
  test::PlacePlanet(20, 30, 30, 0);
  TQvMap::FillTable(t_, kStepUnreached);
  t_[30][30] = 9;
  ASSERT_TRUE(map_->MakeStep(0, 0, 5, 5, 8, t_, 0, false));
  EXPECT_EQ(t_[30][31], 10);
  EXPECT_EQ(t_[29][30], 10);
  EXPECT_EQ(t_[30][32], kStepUnreached);
  // The start's wave is carried to 10 as well, and stops there.
  EXPECT_EQ(t_[5][13], 8);
  EXPECT_EQ(t_[5][14], 9);
  EXPECT_EQ(t_[5][15], 10);
  EXPECT_EQ(t_[5][16], kStepUnreached);

  // Without reset an impassable start is not tested.
  map_->SetChip(2, 2, 30);
  TQvMap::FillTable(t_, kStepUnreached);
  EXPECT_TRUE(map_->MakeStep(0, 0, 2, 2, 1, t_, 0, false));
  EXPECT_EQ(t_[2][2], 0);
  EXPECT_EQ(t_[2][3], kStepUnreached);  // an impassable entry never expands

  // Preset values that no wave writes do not stretch the wave.
  TQvMap::FillTable(t_, kStepUnreached);
  t_[40][40] = 2000000000;
  t_[41][40] = -5;
  EXPECT_TRUE(map_->MakeStep(0, 0, 5, 5, 1, t_, 0, false));
  EXPECT_EQ(t_[5][6], 1);
  EXPECT_EQ(t_[40][40], 2000000000);
}

TEST_F(QvmapTest, StepWaveFailures) {
  EXPECT_FALSE(map_->MakeStep(0, 0, -1, 5, 5, t_, 0, true));
  EXPECT_FALSE(map_->MakeStep(0, 0, 5, 54, 5, t_, 0, false));
  EXPECT_EQ(host_.debug, (std::vector<std::string>{"MakeStep ｽﾀｰﾄ地点が不正", "MakeStep ｽﾀｰﾄ地点が不正"}));
  EXPECT_FALSE(map_->MakeStep(0, 0, 5, 5, 5, nullptr, 0, true));
  EXPECT_FALSE(map_->MakeStep(0, 0, 5, 5, 5, nullptr, 0, false));
  EXPECT_FALSE(TQvMap::FillTable(nullptr, 0));
  map_->SetChip(7, 7, 22);
  TQvMap::FillTable(t_, 3);
  EXPECT_FALSE(map_->MakeStep(0, 0, 7, 7, 5, t_, 0, true));
  for (int y = 0; y < kMapSize; ++y) {
    for (int x = 0; x < kMapSize; ++x) ASSERT_EQ(t_[y][x], kStepUnreached);
  }
}

TEST_F(QvmapTest, RelaxationAndDirections) {
  test::MakeFleet(1, 0, -1, 12, 10);
  map_->MakeZone(0, 0);
  TQvMap::FillTable(t_, kStepUnreached);
  EXPECT_TRUE(map_->RelaxCell(11, 10, 1, t_, 7, 2));
  EXPECT_EQ(t_[10][11], 7);                            // zone 126 under move type 1 takes the budget
  EXPECT_FALSE(map_->RelaxCell(12, 10, 0, t_, 7, 2));  // blocked
  EXPECT_FALSE(map_->RelaxCell(-1, 0, 0, t_, 7, 2));
  EXPECT_FALSE(map_->RelaxCell(11, 10, 0, t_, 7, 7));  // not lower
  EXPECT_EQ(map_->RelaxAround(0, 0, 0, t_, 7, 1), 2);  // two neighbours on the map
  EXPECT_EQ(map_->RelaxAround(0, 0, 0, t_, 7, 1), 0);

  int x = 0, y = 5;
  EXPECT_FALSE(TQvMap::StepDir(3, &x, &y));
  EXPECT_FALSE(TQvMap::StepDir(4, &x, &y));
  EXPECT_EQ(x, 0);
  EXPECT_EQ(y, 5);
  EXPECT_TRUE(TQvMap::StepDir(0, &x, &y));
  EXPECT_EQ(y, 4);
  EXPECT_TRUE(TQvMap::StepDir(2, &x, &y));
  EXPECT_EQ(x, 1);
  EXPECT_TRUE(TQvMap::StepDir(1, &x, &y));
  EXPECT_EQ(y, 5);
  const int reverse[] = {1, 0, 3, 2, 7, 6, 5, 4};
  for (int d = 0; d < 8; ++d) EXPECT_EQ(TQvMap::ReverseDir(d), reverse[d]);
  EXPECT_EQ(TQvMap::ReverseDir(8), -1);
  EXPECT_EQ(TQvMap::ReverseDir(-1), -1);
}

// Move type 0 with reset is a breadth-first search through passable cells, up to the budget.
TEST_F(QvmapTest, StepWaveMatchesBreadthFirstSearchOnRandomMaps) {
  std::mt19937 rng(11);
  for (int round = 0; round < 40; ++round) {
    for (int y = 0; y < kMapSize; ++y) {
      for (int x = 0; x < kMapSize; ++x) map_->SetChip(x, y, static_cast<std::uint8_t>(rng() % 3 == 0 ? 20 : 5));
    }
    const int sx = static_cast<int>(rng() % kMapSize), sy = static_cast<int>(rng() % kMapSize);
    map_->SetChip(sx, sy, 0);
    const int budget = 1 + static_cast<int>(rng() % 40);
    ASSERT_TRUE(map_->MakeStep(-1, 0, sx, sy, budget, t_, 0, true));

    std::vector<int> dist(kMapCells, kStepUnreached);
    std::deque<std::pair<int, int>> queue{{sx, sy}};
    dist[sy * kMapSize + sx] = 0;
    while (!queue.empty()) {
      auto [x, y] = queue.front();
      queue.pop_front();
      const int d = dist[y * kMapSize + x];
      if (d == budget) continue;
      const int nx[] = {x - 1, x + 1, x, x}, ny[] = {y, y, y - 1, y + 1};
      for (int i = 0; i < 4; ++i) {
        if (!TQvMap::ChkInMap(nx[i], ny[i]) || !map_->IsMovable(nx[i], ny[i])) continue;
        int& nd = dist[ny[i] * kMapSize + nx[i]];
        if (nd == kStepUnreached) {
          nd = d + 1;
          queue.push_back({nx[i], ny[i]});
        }
      }
    }
    for (int y = 0; y < kMapSize; ++y) {
      for (int x = 0; x < kMapSize; ++x) ASSERT_EQ(t_[y][x], dist[y * kMapSize + x]) << round << ": " << x << "," << y;
    }
  }
}

TEST_F(QvmapTest, MapBlockRoundTrip) {
  for (int y = 0; y < kMapSize; ++y) {
    for (int x = 0; x < kMapSize; ++x) map_->SetChip(x, y, static_cast<std::uint8_t>((x * 31 + y) % 40));
  }
  SetPlanetXY(4, 17, 18);
  test::TTempStream stream;
  {
    TDatFile fp(stream.get());
    map_->SaveLoadMap(&fp, kSaveModeWrite);
    EXPECT_FALSE(fp.HasError());
  }
  const std::string bytes = stream.Contents();
  EXPECT_EQ(bytes.compare(0, 17, std::string("MAP_DAT\0byte\0\x64\x0b\0\0", 17)), 0);  // 2916 = 0x0b64
  EXPECT_EQ(static_cast<unsigned char>(bytes[17 + 53 * 54 + 2]), (2 * 31 + 53) % 40);  // row 53, x 2

  TQvMap other;
  other.ClearMap();
  SetPlanetXY(4, -1, -1);
  test::TTempStream in(bytes);
  TDatFile fp(in.get());
  other.SaveLoadMap(&fp, kSaveModeLoad);
  EXPECT_FALSE(fp.HasError());
  for (int y = 0; y < kMapSize; ++y) {
    for (int x = 0; x < kMapSize; ++x) ASSERT_EQ(other.GetChip(x, y), map_->GetChip(x, y));
  }
  EXPECT_EQ(GetPlanetX(4), 17);

  test::TTempStream wrong(test::TKeyedBytes().Bytes("MAP_DAT", "byte", std::vector<std::uint8_t>(100, 1)).str());
  TDatFile wf(wrong.get());
  EXPECT_EQ(test::ErrorOf([&] { other.SaveLoadMap(&wf, kSaveModeLoad); }),
            SJS("例外 ChkDatType 読み込んだファイルとﾃﾞｰﾀ個数がちがう"));
}

TEST_F(QvmapTest, PutCellsQueuesTheVisibleCellsMarksAndCursor) {
  map_->DrawMap();
  EXPECT_TRUE(host_.ops.empty());  // no map view

  host_.hasView = true;
  host_.view = {0, 0, 792, 453, 2, 3};
  map_->SetChip(1, 1, 7);
  map_->SetMark(4, 4, kMarkReachable);
  map_->SetMark(5, 5, kMarkOwnFleet);  // never drawn
  map_->SetMark(2, 3, kMarkTarget);    // under the cursor: the cursor wins
  map_->SetMark(40, 40, kMarkTarget);  // out of view
  map_->PutCells();
  std::vector<test::TMapOp> layer0, layer1;
  for (const auto& op : host_.ops) (op.layer == 0 ? layer0 : layer1).push_back(op);
  EXPECT_EQ(layer0.size(), 26u * 30u);  // columns 0..25, rows 0..29
  EXPECT_EQ(layer0[1 * 26 + 1], (test::TMapOp{0, 30, 30, 0, 0, 0, 1, 7}));
  ASSERT_EQ(layer1.size(), 2u);
  EXPECT_EQ(layer1[0], (test::TMapOp{1, 60, 90, 0, 0, 5, 1, 66}));
  EXPECT_EQ(layer1[1], (test::TMapOp{1, 120, 120, 0, 0, 0, 1, 64}));

  // The window is clipped to the map.
  host_.ops.clear();
  host_.view = {50, 50, 792, 453, -1, -1};
  map_->PutCells();
  EXPECT_EQ(host_.ops.size(), 17u * 19u + 1u);  // columns 37..53, rows 35..53, and the mark at (40, 40)
}

TEST_F(QvmapTest, StepDumpOnlyWithTheDebugSwitch) {
  ASSERT_TRUE(map_->MakeStep(-1, 0, 3, 3, 2, t_, 0, true));
  EXPECT_EQ(map_->GetStep(3, 5), 0);
  host_.debugSw = kDebugSwStepDump;
  ASSERT_TRUE(map_->MakeStep(-1, 0, 3, 3, 2, t_, 0, true));
  EXPECT_EQ(map_->GetStep(3, 5), 2);
  EXPECT_EQ(map_->GetStep(3, 6), kStepUnreached);
}

}  // namespace
}  // namespace vdmq
