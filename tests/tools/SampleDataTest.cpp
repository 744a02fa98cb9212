// The generated data set: its files, and the world a new game reads from them.

#include <gtest/gtest.h>

#include <unistd.h>
#include <algorithm>
#include <cstdlib>
#include <deque>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "campaign/Character.h"
#include "campaign/Cmd.h"
#include "campaign/Country.h"
#include "campaign/Cpu_turn.h"
#include "campaign/Dock.h"
#include "campaign/Fleet.h"
#include "campaign/GameSave.h"
#include "campaign/Parts.h"
#include "campaign/Planet.h"
#include "campaign/Qvmap.h"
#include "campaign/Save.h"
#include "campaign/Ship.h"
#include "campaign/Tec.h"
#include "campaign/W5scn01.h"
#include "support/Scratch.h"
#include "tools/Generator.h"
#include "tools/SampleData.h"

namespace vdmq {
namespace {

namespace fs = std::filesystem;

std::string ReadAll(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// A fresh folder below the system's temporary folder, removed afterwards.
class TempDir {
 public:
  explicit TempDir(const std::string& name) : scratch_(name), path_(scratch_.Path()) {}
  const fs::path& path() const { return path_; }

 private:
  test::TScratch scratch_;
  fs::path path_;
};

TEST(SampleFiles, TwoRunsAreByteIdenticalAndMakeTheSaveFolder) {
  TempDir a("gen_a"), b("gen_b");
  ASSERT_TRUE(sample::GenerateSampleData(sample::OptionsFor(a.path().string(), {"world"})));
  ASSERT_TRUE(sample::GenerateSampleData(sample::OptionsFor(b.path().string(), {"world"})));
  for (const char* f : {"dat/INIT.DAT", "dat/MAP00.DAT"}) {
    const std::string x = ReadAll(a.path() / f);
    EXPECT_FALSE(x.empty()) << f;
    EXPECT_EQ(x, ReadAll(b.path() / f)) << f;
  }
  EXPECT_TRUE(fs::is_directory(a.path() / "save"));
  EXPECT_TRUE(fs::is_empty(a.path() / "save"));
  EXPECT_FALSE(fs::exists(a.path() / "dat/MAP01.DAT")) << "a new game reads map 0 only";
}

// FNV-1a (64 bits) over each file's path and bytes, in writing order.
std::uint64_t DataSetDigest(const fs::path& folder, TQvMap* map) {
  std::uint64_t h = 0xcbf29ce484222325ull;
  auto add = [&h](const std::string& bytes) {
    for (unsigned char c : bytes) h = (h ^ c) * 0x100000001b3ull;
  };
  for (const sample::TSampleFile& f : sample::SampleFiles(map)) {
    add(f.path + '\0');
    add(ReadAll(folder / f.path));
  }
  return h;
}

// The data set every build writes, whichever compiler made it. After an intended change of the
// generator, run this test and paste the digest its failure reports.
constexpr std::uint64_t kDataSetDigest = 0x2226d818e1ad2f7cull;

TEST(SampleFiles, EveryBuildWritesThePinnedDataSet) {
  TempDir dir("pinned");
  ASSERT_TRUE(sample::GenerateSampleData(sample::OptionsFor(dir.path().string(), {"world"})));
  TQvMap map;
  EXPECT_EQ(DataSetDigest(dir.path(), &map), kDataSetDigest)
      << "the generated data set changed: 0x" << std::hex << DataSetDigest(dir.path(), &map);
}

TEST(SampleFiles, EveryNewGameBlockHasItsTypeAndCount) {
  TempDir dir("keys");
  ASSERT_TRUE(sample::GenerateSampleData(sample::OptionsFor(dir.path().string(), {"world"})));
  struct Key {
    const char* key;
    const char* type;
    std::uint32_t count;
  };
  const Key init[] = {{"TEC_LEV_UP_FUND", "int", 100},
                      {"COUNTRY_NAME", "int", 14},
                      {"COUNTRY_TURN", "int", 14},
                      {"COUNTRY_PRESIDENT", "int", 14},
                      {"COUNTRY_CAPITAL", "int", 14},
                      {"COUNTRY_STD_FUND", "int", 14},
                      {"COUNTRY_FUND", "int", 14},
                      {"COUNTRY_INCOME_FUND", "int", 14},
                      {"COUNTRY_RELATION", "char", 196},
                      {"PLANET_BELONG", "int", 100},
                      {"PLANET_INCOME_FUND", "int", 100},
                      {"PLANET_HOKYUU", "int", 100},
                      {"CMD_NAME", "int", 120},
                      {"CMD_CG", "int", 120},
                      {"CMD_ATK_MOD", "int", 120},
                      {"CMD_DEF_MOD", "int", 120},
                      {"CMD_ATK_MOD_UP", "int", 120},
                      {"CMD_DEF_MOD_UP", "int", 120},
                      {"CMD_DIRECT", "int", 120},
                      {"CMD_MIND", "int", 120},
                      {"CMD_BELONG", "int", 120},
                      {"CMD_EXP", "int", 120},
                      {"CMD_LEV", "int", 120},
                      {"CMD_CLASS_NAME", "int", 120},
                      {"CMD_UNDER_FLEET", "int", 120},
                      {"CMD_FATIGUE", "int", 120},
                      {"FLEET_CAN_USE", "bool", 140},
                      {"DOCK_ABT", "int", 300},
                      {"FRAME_PARTS", "int", 660},
                      {"FRAME_BODY", "int", 120},
                      {"FRAME_MOVE_STEP", "int", 60},
                      {"WEAPON_PARTS", "int", 440},
                      {"WEAPON_WEAPON", "int", 280},
                      {"ENGINE_PARTS", "int", 220},
                      {"ENGINE_ENGINE", "int", 40},
                      {"SHIELD_PARTS", "int", 110},
                      {"SHIELD_SHIELD", "int", 40},
                      {"FRAME_ENABLED", "bool", 60},
                      {"WEAPON_ENABLED", "bool", 40},
                      {"ENGINE_ENABLED", "bool", 20},
                      {"SHIELD_ENABLED", "bool", 10}};
  TDatFile fp((dir.path() / "dat/INIT.DAT").string(), "rb");
  ASSERT_TRUE(fp.IsOpen());
  for (const Key& k : init) EXPECT_EQ(SeekKey(&fp, k.key, k.type, k.count), k.count) << k.key;
  TDatFile map((dir.path() / "dat/MAP00.DAT").string(), "rb");
  ASSERT_TRUE(map.IsOpen());
  EXPECT_EQ(SeekKey(&map, "MAP_DAT", "byte", 2916), 2916);
  EXPECT_EQ(SeekKey(&map, "PLANET_XY", "int", 200), 200);
  EXPECT_EQ(SeekKey(&map, "PLANET_CG", "int", 100), 100);
}

// The world of a new game, read by the game's own new-game routine from the generated files.
class NewGame : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    dir_ = new TempDir("world");
    ASSERT_TRUE(sample::GenerateSampleData(sample::OptionsFor(dir_->path().string(), {"world"})));
  }
  static void TearDownTestSuite() {
    delete dir_;
    dir_ = nullptr;
  }
  void SetUp() override {
    old_ = fs::current_path();
    fs::current_path(dir_->path());
    map_ = std::make_unique<TQvMap>();
    map_->ClearMap();
    QvMap = map_.get();
    ASSERT_TRUE(SaveLoadGame(kSaveModeNew, -1));
  }
  void TearDown() override {
    QvMap = nullptr;
    fs::current_path(old_);
  }

  // Fewest steps of the country's fleets (zone mode 0, move type 0) from one planet's cell to a
  // side neighbour of another; 65535 when none is reached.
  int Steps(int country, int from, int to) {
    static TStepRow table[kMapSize];
    if (!map_->MakeStep(country, 0, GetPlanetX(from), GetPlanetY(from), 65534, table, 0, true)) return 65535;
    int best = 65535;
    const int dx[4] = {0, 0, 1, -1}, dy[4] = {-1, 1, 0, 0};
    for (int d = 0; d < 4; ++d) {
      const int x = GetPlanetX(to) + dx[d], y = GetPlanetY(to) + dy[d];
      if (TQvMap::ChkInMap(x, y)) best = std::min(best, static_cast<int>(table[y][x]));
    }
    return best;
  }

  static TempDir* dir_;
  fs::path old_;
  std::unique_ptr<TQvMap> map_;
};
TempDir* NewGame::dir_ = nullptr;

TEST_F(NewGame, CountriesTurnOrdersCapitalsAndRelations) {
  std::set<int> turns;
  std::set<int> capitals;
  for (int c = 0; c < kCountryCount; ++c) {
    EXPECT_EQ(GetCountryTurn(c), c);
    turns.insert(GetCountryTurn(c));
    EXPECT_GE(GetCountryPresident(c), 0);
    EXPECT_LT(GetCountryPresident(c), kEventCharacterCount);
    EXPECT_GE(GetCountryFund(c), 0);
    EXPECT_LE(GetCountryFund(c), 999999);
    const int cap = GetCountryCapital(c);
    if (c >= 12) {
      EXPECT_EQ(cap, -1) << "countries 12 and 13 are gone";
      for (int p = 0; p < kPlanetCount; ++p) EXPECT_NE(GetPlanetBelong(p), c);
      continue;
    }
    ASSERT_NE(cap, -1) << c;
    EXPECT_TRUE(IsPlanetOnMap(cap));
    EXPECT_EQ(GetPlanetBelong(cap), c);
    EXPECT_TRUE(capitals.insert(cap).second) << "capitals are distinct";
  }
  EXPECT_EQ(turns.size(), static_cast<size_t>(kCountryCount));
  EXPECT_EQ(GetPlayerCountry(), 0);
  for (int a = 0; a < kCountryCount; ++a) {
    for (int b = a + 1; b < kCountryCount; ++b) {
      int want = kRelationNone;
      if ((a == 0 && (b == 1 || b == 9))) want = kRelationAlly;
      if ((a == 0 && b == 7) || (a == 7 && b == 9)) want = kRelationWar;
      EXPECT_EQ(GetCountryRelation(a, b), want) << a << "-" << b;
    }
  }
  // The scenario's planets.
  EXPECT_EQ(GetCountryCapital(0), 0);
  EXPECT_EQ(GetCountryCapital(7), 3);
  EXPECT_EQ(GetPlanetBelong(1), 7);
  EXPECT_EQ(GetPlanetBelong(2), 7);
  EXPECT_EQ(GetPlanetBelong(55), 9);
  EXPECT_NE(GetCountryCapital(9), 55);
}

TEST_F(NewGame, PlanetsStandSpacedOnOpenCellsInOneRegion) {
  int blocked = 0;
  for (int y = 0; y < kMapSize; ++y) {
    for (int x = 0; x < kMapSize; ++x) blocked += !map_->IsMovable(x, y);
  }
  EXPECT_GE(blocked * 100, 15 * kMapCells);
  EXPECT_LE(blocked * 100, 25 * kMapCells);
  auto theatre = [](int p) { return p <= 9 || p == 53 || p == 55 || p == 56; };
  for (int p = 0; p < kPlanetCount; ++p) {
    ASSERT_TRUE(IsPlanetOnMap(p)) << p;
    const int x = GetPlanetX(p), y = GetPlanetY(p);
    EXPECT_TRUE(map_->IsMovable(x, y)) << p;
    EXPECT_GE(GetPlanetCg(p), 0);
    EXPECT_LE(GetPlanetCg(p), 35);
    EXPECT_GE(GetPlanetIncomeFund(p), 0);
    const int dx[4] = {0, 0, 1, -1}, dy[4] = {-1, 1, 0, 0};
    for (int d = 0; d < 4; ++d) {
      EXPECT_TRUE(TQvMap::ChkInMap(x + dx[d], y + dy[d]) && map_->IsMovable(x + dx[d], y + dy[d]))
          << "side neighbour of planet " << p;
    }
    for (int q = p + 1; q < kPlanetCount; ++q) {
      const int d = std::max(std::abs(x - GetPlanetX(q)), std::abs(y - GetPlanetY(q)));
      EXPECT_GE(d, theatre(p) || theatre(q) ? 4 : 3) << p << " and " << q;
    }
    const int owner = GetPlanetBelong(p);
    if (owner != -1) {
      EXPECT_TRUE(IsCountryAlive(owner)) << p;
    }
  }
  // One connected region of open cells holds every planet.
  std::vector<std::vector<bool>> seen(kMapSize, std::vector<bool>(kMapSize));
  std::deque<std::pair<int, int>> q{{GetPlanetX(0), GetPlanetY(0)}};
  seen[GetPlanetY(0)][GetPlanetX(0)] = true;
  while (!q.empty()) {
    auto [x, y] = q.front();
    q.pop_front();
    const int dx[4] = {0, 0, 1, -1}, dy[4] = {-1, 1, 0, 0};
    for (int d = 0; d < 4; ++d) {
      const int nx = x + dx[d], ny = y + dy[d];
      if (!TQvMap::ChkInMap(nx, ny) || seen[ny][nx] || !map_->IsMovable(nx, ny)) continue;
      seen[ny][nx] = true;
      q.push_back({nx, ny});
    }
  }
  for (int p = 0; p < kPlanetCount; ++p) EXPECT_TRUE(seen[GetPlanetY(p)][GetPlanetX(p)]) << p;
}

// The map's chips follow the legend of the chip pictures: open space and the navigable groups
// below 20, fields of the obstacle groups 24..63, never chip 20 (which the map editor's mask counts
// as navigable) nor a mark or an unused frame. Every picture that the world names exists.
TEST_F(NewGame, TheMapAndTheWorldNameOnlyExistingPictures) {
  int fields = 0;
  std::set<int> groups;
  for (int y = 0; y < kMapSize; ++y) {
    for (int x = 0; x < kMapSize; ++x) {
      const int chip = map_->GetChip(x, y);
      ASSERT_GE(chip, 0);
      ASSERT_LE(chip, 63) << x << "," << y;
      ASSERT_NE(chip, 20) << x << "," << y;
      if (chip >= kChipObstacle) {
        ASSERT_GE(chip, 24) << "obstacles come from the field groups: " << x << "," << y;
        ++fields;
        groups.insert(chip / 4);
      }
    }
  }
  EXPECT_GT(fields, 0);
  EXPECT_GE(groups.size(), 5u) << "the story's places bring other groups than asteroids and clouds";
  for (int e = 0; e < kEventCharacterCount; ++e) {
    EXPECT_GE(GetEventCharacterCg(e), 0);
    EXPECT_LT(GetEventCharacterCg(e), kEventCharacterCount);
  }
}

TEST_F(NewGame, TheWarIsWithinReachOfBothSides) {
  // The Empire from its capital, the Federation from its own, by the engine's own step wave.
  for (int target : {0, 1, 2, 55}) EXPECT_LT(Steps(7, 3, target), 65535) << "7 reaches " << target;
  for (int target : {1, 2, 3, 55}) EXPECT_LT(Steps(0, 0, target), 65535) << "0 reaches " << target;
  // About seven turns for the imperial fleets to the Federation's capital; Arkas close to Garm.
  const int toCapital = Steps(7, 3, 0);
  EXPECT_GE(toCapital, 45);
  EXPECT_LE(toCapital, 62);
  EXPECT_GE(GetFrameMoveStep(20), 6);
  EXPECT_GE(toCapital / GetFrameMoveStep(20), 6);
  EXPECT_LE(Steps(7, 2, 55), 24);
  EXPECT_LE(Steps(7, 3, 55), 26);
  // Consecutive planets of the two routes the story uses lie within a few turns; the Empire's
  // nearest planet (its fleets jump to their own planets) stays some six turns from the capital.
  EXPECT_LE(Steps(7, 3, 2), 20);
  EXPECT_LE(Steps(7, 2, 1), 20);
  const int frontToCapital = Steps(7, 1, 0);
  EXPECT_GE(frontToCapital, 35);
  EXPECT_LE(frontToCapital, 48);
  for (int p = 0; p < kPlanetCount; ++p) {
    if (GetPlanetBelong(p) == 7) {
      EXPECT_GE(Steps(7, p, 0), 35) << p;
    }
  }
}

TEST_F(NewGame, FleetsAndCommanders) {
  for (int c = 0; c < kCountryCount; ++c) {
    for (int f = 0; f < kFleetCount; ++f) {
      const bool builder = c == 2 || c == 3 || c == 4 || c == 5 || c == 6 || c == 8 || c == 10;
      const bool use = c == 0 || c == 7 || (builder && f < 6);
      EXPECT_EQ(GetFleetCanUse(c, f), use) << c << "/" << f;
      EXPECT_FALSE(IsFleetOnMap(c, f)) << "no ship yet";
    }
  }
  std::set<std::pair<int, int>> led;
  for (int cmd = 0; cmd < kCmdCount; ++cmd) {
    const int c = GetCmdBelong(cmd), f = GetCmdUnderFleet(cmd);
    EXPECT_GE(GetCmdLev(cmd), 1);
    EXPECT_LE(GetCmdLev(cmd), 50);
    EXPECT_GE(GetCmdExp(cmd), 0);
    EXPECT_LE(GetCmdExp(cmd), 99);
    EXPECT_GE(GetCmdFatigue(cmd), 0);
    EXPECT_LE(GetCmdFatigue(cmd), 1000);
    EXPECT_GE(CmdData[cmd].ClassName, 0);
    EXPECT_LE(CmdData[cmd].ClassName, 7);
    EXPECT_GE(CmdData[cmd].Name, 0);
    EXPECT_LT(CmdData[cmd].Name, kCmdCount);
    EXPECT_GE(GetCmdCg(cmd), 0);
    EXPECT_LT(GetCmdCg(cmd), kEventCharacterCount);
    EXPECT_NE(GetCmdCg(cmd), 29) << "the planet-defence emblem is no face";
    EXPECT_GE(GetCmdAtkBase(cmd), 70);
    EXPECT_LE(GetCmdAtkBase(cmd), 150);
    EXPECT_GE(GetCmdDirect(cmd), 30);
    EXPECT_LE(GetCmdDirect(cmd), 80);
    EXPECT_GE(GetCmdMind(cmd), 10);
    EXPECT_LE(GetCmdMind(cmd), 50);
    if (f == -1) continue;
    ASSERT_NE(c, -1) << cmd;
    EXPECT_TRUE(GetFleetCanUse(c, f)) << cmd;
    EXPECT_TRUE(led.insert({c, f}).second) << "one commander per fleet";
  }
  for (int f = 0; f < 8; ++f) EXPECT_NE(SearchCmdByFleet(0, f), -1) << f;
  for (int f = 0; f < 4; ++f) EXPECT_NE(SearchCmdByFleet(7, f), -1) << f;
  EXPECT_NE(GetCmdBelong(kScnDefector), 0);
  EXPECT_EQ(GetCmdUnderFleet(kScnDefector), -1);
  // Every country that builds has rested commanders without a fleet for its new fleets.
  for (int c : {2, 3, 4, 5, 6, 7, 8, 10}) {
    int free = 0;
    for (int cmd = 0; cmd < kCmdCount; ++cmd) free += GetCmdBelong(cmd) == c && GetCmdUnderFleet(cmd) == -1;
    EXPECT_GE(free, 4) << c;
  }
}

TEST_F(NewGame, OpeningPutsBothSidesOnTheMap) {
  Scn01Event00();
  for (int f = 0; f < 8; ++f) {
    EXPECT_TRUE(IsFleetAlive(0, f));
    EXPECT_TRUE(IsFleetAtPlanet(0, f, 0)) << f;
  }
  for (int f = 0; f < 4; ++f) EXPECT_TRUE(IsFleetAtPlanet(7, f, 3)) << f;
  for (int f = 0; f < 4; ++f) EXPECT_NE(GetFleetRootTblPtr(7, f), nullptr);
}

// Every part is set (or a slot the design leaves empty), of the right kind, and fits the hull.
void ExpectFits(const int d[5], bool satellite) {
  SCOPED_TRACE(::testing::Message() << d[0] << "," << d[1] << "," << d[2] << "," << d[3] << "," << d[4]);
  ASSERT_NE(GetFrameName(d[0]), nullptr);
  EXPECT_STRNE(GetFrameName(d[0]), "");
  const int cls = GetFrameClass(d[0]);
  EXPECT_EQ(cls == kFrameClassSatellite, satellite);
  for (int k = 1; k <= 4; ++k) {
    if (d[k] == -1) {
      EXPECT_TRUE(k == 2 || k == 4) << "only weapon 2 and shield may be left out";
      continue;
    }
    const TPartsData* p = GetPartsPtr(k, d[k]);
    ASSERT_NE(p, nullptr) << "kind " << k;
    EXPECT_TRUE(IsPartsFit(cls, p)) << "kind " << k;
    EXPECT_STRNE(GetPartsName(k, d[k]), "");
  }
  TShipData s{{d[0], d[1], d[2], d[3], d[4]}, GetFrameBodyHp(GetFrameBodyPtr(d[0]))};
  EXPECT_TRUE(IsShipValid(&s));
  EXPECT_GT(GetShipBuildWork(&s), 0);
}

TEST_F(NewGame, EveryDesignInUseIsCompleteAndFits) {
  // The computer players' designs of every country that builds (countries 0, 12 and 13 never
  // build: the player's country and the countries that are gone).
  for (int c = 1; c <= 11; ++c) {
    for (int k = 0; k < kCpuDesignCount; ++k) {
      if (CpuShipDesignTbl[c][k][0] != -1) ExpectFits(CpuShipDesignTbl[c][k], false);
      if (CpuSatDesignTbl[c][k][0] != -1) ExpectFits(CpuSatDesignTbl[c][k], true);
    }
  }
  const int scenario[3][5] = {{0, 0, 30, 0, 0}, {20, 1, 22, 2, 2}, {21, 11, 32, 3, 3}};
  for (const auto& d : scenario) ExpectFits(d, false);
  // The Empire can pay for what it builds.
  TShipData s{{20, 1, 22, 2, 2}, 1};
  EXPECT_LE(GetShipPrice(&s), GetCountryFund(7));
}

TEST_F(NewGame, CatalogueKindsNamesAndTechnology) {
  const int maxLev[kTecCount] = {11, 19, 19, 10, 10};
  for (int t = 0; t < kTecCount; ++t) {
    EXPECT_EQ(GetTecLev(t), 1);
    for (int l = 1; l < 20; ++l) {
      if (l < maxLev[t]) {
        EXPECT_GT(GetTecLevUpFund(t, l), 0);
      } else {
        EXPECT_EQ(TecData[t].LevUpFund[l], 0);
      }
    }
  }
  auto tecOk = [&](const TPartsData* p) {
    for (int t = 0; t < kTecCount; ++t) {
      const int r = GetPartsTecLev(p, t);
      EXPECT_TRUE(r == -1 || (r >= 1 && r <= maxLev[t]));
    }
  };
  for (int h = 0; h < kFrameCount; ++h) {
    const TPartsData* p = GetFramePartsPtr(h);
    tecOk(p);
    EXPECT_EQ(GetPartsType(p), sample::kPartsTypeHull);
    if (std::string(GetFrameName(h)).empty()) {
      EXPECT_TRUE(h >= 32 && h < 50) << h;
      EXPECT_FALSE(GetFrameEnabled(h));
      EXPECT_EQ(p->NameNum, h);
      EXPECT_EQ(GetPartsPrice(p), 0);
      EXPECT_EQ(GetFrameClass(h), 0);
      continue;
    }
    const int cls = GetFrameClass(h);
    EXPECT_TRUE(cls == 1 || cls == 2 || cls == 4 || cls == 8 || cls == 16) << h;
    EXPECT_EQ(cls == 16, h >= 50) << h;
    EXPECT_GE(GetPartsCg(p), 0);
    EXPECT_LE(GetPartsCg(p), 21);
  }
  for (int w = 0; w < kWeaponCount; ++w) {
    const TPartsData* p = GetWeaponPartsPtr(w);
    tecOk(p);
    EXPECT_EQ(GetPartsType(p), w < 20 ? 1 : 2) << w;
    EXPECT_STRNE(GetWeaponName(w), "");
    const int kind = GetWeaponData6(GetWeaponDataPtr(w));
    EXPECT_GE(kind, 0);
    EXPECT_LE(kind, 3);
  }
  for (int e = 0; e < kEngineCount; ++e) {
    const TPartsData* p = GetEnginePartsPtr(e);
    tecOk(p);
    EXPECT_EQ(GetPartsType(p), sample::kPartsTypeEngine);
    EXPECT_EQ(std::string(GetEngineName(e)).empty(), e >= 12 && e <= 14) << e;
  }
  for (int s = 0; s < kShieldCount; ++s) {
    tecOk(GetShieldPartsPtr(s));
    EXPECT_EQ(GetPartsType(GetShieldPartsPtr(s)), sample::kPartsTypeShield);
    EXPECT_STRNE(GetShieldName(s), "");
  }
}

TEST_F(NewGame, AShipAndASatelliteCanBeDesignedAtLevelOne) {
  auto usable = [](int kind, int i) {
    const TPartsData* p = GetPartsPtr(kind, i);
    bool enabled = false;
    switch (kind) {
      case 0: enabled = GetFrameEnabled(i); break;
      case 1:
      case 2: enabled = GetWeaponEnabled(i); break;
      case 3: enabled = GetEngineEnabled(i); break;
      default: enabled = GetShieldEnabled(i); break;
    }
    return p != nullptr && enabled && IsPartsTecOk(p);
  };
  bool ship = false, satellite = false;
  for (int h = 0; h < kFrameCount; ++h) {
    if (!usable(0, h)) continue;
    const int cls = GetFrameClass(h);
    bool weapon = false, engine = false;
    for (int w = 0; w < kWeaponCount; ++w) weapon = weapon || (usable(1, w) && IsPartsFit(cls, GetPartsPtr(1, w)));
    for (int e = 0; e < kEngineCount; ++e) engine = engine || (usable(3, e) && IsPartsFit(cls, GetPartsPtr(3, e)));
    if (weapon && engine) (cls == kFrameClassSatellite ? satellite : ship) = true;
  }
  EXPECT_TRUE(ship);
  EXPECT_TRUE(satellite);
}

TEST_F(NewGame, Docks) {
  int capitalDocks = 0;
  for (int k = 0; k < kPlanetDockCount; ++k) capitalDocks += IsDockExist(0, k);
  EXPECT_GE(capitalDocks, 2);
  EXPECT_TRUE(IsDockExist(1, 0));
  EXPECT_TRUE(IsDockExist(2, 0));
  for (int c : {2, 3, 4, 5, 6, 7, 8, 10}) EXPECT_TRUE(IsDockExist(GetCountryCapital(c), 0)) << c;
  // The Federation's first ship takes a few turns in the first dock.
  TShipData s{{0, 0, 30, 0, 0}, 1};
  const int turns = CalcDockBuildTurn(0, 0, &s);
  EXPECT_GE(turns, 3);
  EXPECT_LE(turns, 5);
}

}  // namespace
}  // namespace vdmq
