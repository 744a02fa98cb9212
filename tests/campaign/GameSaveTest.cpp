// Save, load and new game: the block order on disk, whole round trips through slot 3, the failed
// save that keeps the old slot, and damaged saves and maps that leave the world as it was.

#include "campaign/GameSave.h"

#include <gtest/gtest.h>
#include <stdio.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <random>
#include <sstream>
#include <vector>

#include "campaign/File_manager.h"
#include "campaign/GameHost.h"
#include "campaign/Qvmap.h"
#include "campaign/Tec.h"
#include "platform/base/Sjis.h"
#include "platform/sys/Files.h"
#include "platform/sys/PathMapper.h"
#include "platform/sys/Services.h"
#include "support/GameFiles.h"
#include "support/KeyedBytes.h"
#include "support/RecordingHost.h"
#include "support/World.h"

namespace vdmq {
namespace {

using test::ReadGameFile;
using test::WorldBytes;

void WriteGameFile(const std::string& gamePath, const std::string& bytes) {
  ASSERT_TRUE(test::WriteGameFile(gamePath, bytes));
}

// The names in a native folder, sorted.
std::vector<std::string> FolderNames(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator(folder)) names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

// A write stream that fails after `limit` bytes, or at its close.
struct TFailingSink {
  std::size_t limit;
  bool failClose;
  std::size_t written = 0;
};

std::FILE* OpenFailingStream(TFailingSink* sink) {
  cookie_io_functions_t io{};
  io.write = [](void* c, const char*, size_t n) -> ssize_t {
    auto* s = static_cast<TFailingSink*>(c);
    if (s->written + n > s->limit) return -1;
    s->written += n;
    return static_cast<ssize_t>(n);
  };
  io.close = [](void* c) -> int { return static_cast<TFailingSink*>(c)->failClose ? -1 : 0; };
  return fopencookie(sink, "w", io);
}

const char* const kInit = test::TGameFiles::kInit;
const char* const kMap0 = test::TGameFiles::kMap0;
const char* const kMap1 = test::TGameFiles::kMap1;
const char kSlot3[] = ".\\save\\SAVE03.DAT";

class GameSaveTest : public ::testing::Test {
 protected:
  void SetUp() override {
    game_.WriteInit();
    // Map 0: planets 0..3 at their cells; map 1: other chips and planet 0 elsewhere.
    for (int p = 0; p < 4; ++p) SetPlanetXY(p, 5 + 10 * p, 7 + p);
    PlanetData[0].Cg = 3;
    test::FillSampleChips(map_, 0);
    game_.WriteMap(kMap0);
    test::FillSampleChips(map_, 5);
    SetPlanetXY(0, 40, 40);
    game_.WriteMap(kMap1);
    // Whatever the tables hold now is overwritten by the new game.
    game_.ResetWorld();
  }
  void TearDown() override {
    // The save's boxes have no Cancel button, and its voices never hold the game up.
    for (int withCancel : host_.cancelFlags) EXPECT_EQ(withCancel, 0);
    for (const auto& wave : host_.waves) EXPECT_FALSE(std::get<2>(wave));
  }

  // A played game: every saved block differs from the new game.
  void PlaySomeTurns() {
    StoryData.Century = 4040;
    StoryData.Month = 17;
    StoryData.Fukukan = 12;
    StoryData.LoadMap = 1;
    StoryData.Flag[3] = 1;
    StoryData.Var[0] = 2;
    StoryData.Var[9] = -7;
    StoryData.FundVar[1] = 55;
    StoryData.Cnt[4] = 3;
    TecData[2].Lev = 4;
    TecData[2].InvestFund = 77;
    CountryData[0].Fund = 123456;
    CountryData[1].Capital = -1;
    CountryData[2].IncomeFund = 999;
    SetCountryRelation(1, 2, kRelationWar);
    SetPlanetXY(3, 30, 31);
    PlanetData[3].Cg = 9;
    PlanetData[3].Belong = 0;
    PlanetData[1].Sate[2] = test::MakeShip(4, 150);
    CmdData[5].Belong = 0;
    CmdData[5].UnderFleet = 1;
    CmdData[5].Exp = 42;
    CmdData[5].Lev = 3;
    CmdData[5].Fatigue = 300;
    FleetData[0][1].X = 12;
    FleetData[0][1].Y = 13;
    FleetData[0][1].Ships[0] = test::MakeShip(1, 33);
    FleetData[0][1].Returning = 1;
    FleetData[0][1].Root = 4;
    DockData[0].Ships[0] = test::MakeShip(0, 100);
    DockData[0].Turn[0] = 2;
    FrameData[7].Enabled = 1;
  }

  test::TGameFiles game_;
  TQvMap& map_ = game_.map;
  test::TRecordingHost host_;
};

TEST_F(GameSaveTest, NewGameReadsInitAndMapZero) {
  ASSERT_TRUE(SaveLoadGame(kSaveModeNew, -1));
  EXPECT_EQ(GetStoryYear(), 4032);
  EXPECT_EQ(GetStoryPeriod(), 1);
  EXPECT_EQ(GetCountryCapital(2), 2);
  EXPECT_EQ(GetCountryRelation(0, 1), kRelationWar);
  EXPECT_EQ(TecData[3].LevUpFund[5], 503);
  EXPECT_EQ(CmdData[7].AtkMod, 57);
  EXPECT_EQ(FrameData[1].Body.Hp, 50);
  EXPECT_EQ(GetPlanetX(1), 15);
  EXPECT_EQ(GetPlanetCg(0), 3);
  TQvMap expected;
  test::FillSampleChips(expected, 0);
  EXPECT_EQ(map_.GetChip(20, 9), expected.GetChip(20, 9));
  EXPECT_EQ(map_.GetChip(53, 53), expected.GetChip(53, 53));
  EXPECT_TRUE(host_.messages.empty());
  EXPECT_EQ(host_.cursor, (std::vector<bool>{true, false}));
}

TEST_F(GameSaveTest, SaveWritesTheBlocksInOrderAndCreatesTheFolder) {
  ASSERT_TRUE(SaveLoadGame(kSaveModeNew, -1));
  EXPECT_FALSE(Sys().files->FolderExists(".\\save"));
  ASSERT_TRUE(SaveLoadGame(kSaveModeWrite, 3));
  EXPECT_EQ(host_.messages.back(), "セーブしました。");
  EXPECT_EQ(host_.captions.back(), "確認");
  EXPECT_EQ(host_.waves.back(), std::make_tuple(GetFukukanVoice(), 9, false));

  // The native file lies in <program folder>/save, with no temporary file left over.
  const std::string bytes = ReadGameFile(kSlot3);
  ASSERT_NE(bytes, "<absent>");
  EXPECT_EQ(FolderNames(NativeFolder(NativePath(kSlot3))), std::vector<std::string>{"SAVE03.DAT"});
  std::ifstream native(game_.sys.Root() + "/c/vdmq/save/SAVE03.DAT", std::ios::binary);
  EXPECT_TRUE(native.good());

  const char* order[] = {"STORY_CENTURY",    "STORY_CNT",        "TEC_INVEST_FUND", "TEC_LEV",       "COUNTRY_CAPITAL",
                         "COUNTRY_RELATION", "PLANET_XY",        "PLANET_CG",       "PLANET_SATE",   "PLANET_HOKYUU",
                         "CMD_BELONG",       "CMD_FATIGUE",      "FLEET_XY",        "FLEET_SHIPS",   "FLEET_CAN_USE",
                         "DOCK_ABT",         "DOCK_ZOUSEN_TURN", "FRAME_ENABLED",   "SHIELD_ENABLED"};
  std::size_t at = 0;
  for (const char* key : order) {
    const std::size_t found = bytes.find(std::string(key) + '\0', at);
    ASSERT_NE(found, std::string::npos) << key;
    at = found;
  }
  // A save never holds the map or the constant blocks.
  EXPECT_EQ(bytes.find("MAP_DAT"), std::string::npos);
  EXPECT_EQ(bytes.find("FRAME_PARTS"), std::string::npos);
  EXPECT_EQ(bytes.find("COUNTRY_NAME"), std::string::npos);
}

TEST_F(GameSaveTest, SlotThreeRoundTripRestoresEveryBlock) {
  ASSERT_TRUE(SaveLoadGame(kSaveModeNew, -1));
  PlaySomeTurns();
  const std::string played = WorldBytes();
  ASSERT_TRUE(SaveLoadGame(kSaveModeWrite, 3));

  // Anything at all in the tables before the load.
  ASSERT_TRUE(SaveLoadGame(kSaveModeNew, -1));
  CountryData[4].Fund = 1;
  FrameData[0].Body.Hp = 9999;  // the catalogue comes from the new-game data again
  ASSERT_NE(WorldBytes(), played);

  host_.messages.clear();
  ASSERT_TRUE(SaveLoadGame(kSaveModeLoad, 3));
  // The saved map number 1 was read after map 0; the saved planet positions override the map's.
  TQvMap map1;
  test::FillSampleChips(map1, 5);
  EXPECT_EQ(map_.GetChip(20, 9), map1.GetChip(20, 9));
  EXPECT_EQ(GetPlanetX(0), 5);  // the save's position, not map 1's (40)
  EXPECT_EQ(GetPlanetX(3), 30);

  // Every table as it was saved (the chips differ: the game was played on map 0's chips).
  QvMap = nullptr;
  const std::string loaded = WorldBytes();
  QvMap = &map_;
  ASSERT_EQ(loaded.size() + sizeof(TQvMap::TChips), played.size());
  EXPECT_TRUE(played.compare(0, loaded.size(), loaded) == 0);

  EXPECT_EQ(host_.messages, (std::vector<std::string>{"ロードしました。"}));
  EXPECT_EQ(host_.waves.back(), std::make_tuple(GetFukukanVoice(), 11, false));
  EXPECT_EQ(host_.reloads, 1);
  EXPECT_FALSE(host_.cursor.back());
}

// File operations that log every call and fail on demand: the step named by `fail` fails, and a
// save's temporary file may be a stream that fails after some bytes or at its close.
class TFaultyFiles : public TGameFileSystem {
 public:
  TFaultyFiles() { SetGameFileSystem(this); }
  ~TFaultyFiles() override { SetGameFileSystem(nullptr); }
  std::FILE* Open(const std::string& path, const char* mode) override {
    log.push_back("open " + path);
    if (path.size() > 4 && path.compare(path.size() - 4, 4, ".tmp") == 0) {
      temps.push_back(path);
      if (fail == "open") return nullptr;
      if (sink) return OpenFailingStream(&*sink);
    }
    return TGameFileSystem::Open(path, mode);
  }
  bool Rename(const std::string& from, const std::string& to) override {
    log.push_back("rename " + from + " " + to);
    return fail != "rename" && TGameFileSystem::Rename(from, to);
  }
  bool Remove(const std::string& path) override {
    log.push_back("remove " + path);
    return TGameFileSystem::Remove(path);
  }
  bool MakeFolder(const std::string& folder) override {
    log.push_back("folder " + folder);
    return fail != "folder" && TGameFileSystem::MakeFolder(folder);
  }
  bool SyncFile(std::FILE* file) override {
    log.push_back("sync-file");
    if (fail == "sync-file") return false;
    return fileno(file) < 0 || TGameFileSystem::SyncFile(file);  // a memory stream has no disc
  }
  bool SyncFolder(const std::string& folder) override {
    log.push_back("sync-folder " + folder);
    return fail != "sync-folder" && TGameFileSystem::SyncFolder(folder);
  }

  std::string fail;
  std::optional<TFailingSink> sink;
  std::vector<std::string> log, temps;
};

TEST_F(GameSaveTest, SaveWorksOnOneMappedPathAndSyncsTheFolderAfterTheRename) {
  ASSERT_TRUE(SaveLoadGame(kSaveModeNew, -1));
  TFaultyFiles files;
  ASSERT_TRUE(SaveLoadGame(kSaveModeWrite, 3));
  const std::string slot = NativePath(kSlot3);
  const std::string folder = NativeFolder(slot);
  ASSERT_EQ(files.temps.size(), 1u);
  const std::string temp = files.temps[0];
  EXPECT_EQ(NativeFolder(temp), folder) << "beside the slot";
  // Named for this process: another program saving into the folder has a name of its own.
  EXPECT_NE(temp, slot + ".tmp");
  EXPECT_NE(temp.find("." + std::to_string(getpid()) + "."), std::string::npos) << temp;
  EXPECT_EQ(files.log, (std::vector<std::string>{"folder " + folder, "open " + temp, "sync-file",
                                                 "rename " + temp + " " + slot, "sync-folder " + folder}));
  EXPECT_EQ(FolderNames(folder), std::vector<std::string>{"SAVE03.DAT"});
}

TEST_F(GameSaveTest, FailedSaveKeepsTheOldSlotByteForByte) {
  ASSERT_TRUE(SaveLoadGame(kSaveModeNew, -1));
  ASSERT_TRUE(SaveLoadGame(kSaveModeWrite, 3));
  const std::string old = ReadGameFile(kSlot3);
  const std::string folder = NativeFolder(NativePath(kSlot3));
  PlaySomeTurns();
  const std::string played = WorldBytes();

  // Every step before the rename: the folder, the temporary file's open, its writes (cut short at
  // any point), its sync and its close, and the rename itself.
  struct TFault {
    std::string step;
    std::optional<TFailingSink> sink;
  };
  std::vector<TFault> faults = {{"folder", {}}, {"open", {}}, {"sync-file", {}}, {"rename", {}}};
  for (const std::size_t limit : {std::size_t{0}, std::size_t{1}, std::size_t{200}, old.size() / 2, old.size() - 1}) {
    for (const bool failClose : {false, true}) faults.push_back({"write", TFailingSink{limit, failClose}});
  }
  faults.push_back({"close", TFailingSink{std::size_t{1} << 30, true}});
  for (const TFault& fault : faults) {
    const std::string what = fault.step + (fault.sink ? " after " + std::to_string(fault.sink->limit) : "");
    TFaultyFiles files;
    files.fail = fault.step;
    files.sink = fault.sink;
    host_.messages.clear();
    EXPECT_FALSE(SaveLoadGame(kSaveModeWrite, 3)) << what;
    EXPECT_EQ(ReadGameFile(kSlot3), old) << what;
    EXPECT_EQ(FolderNames(folder), std::vector<std::string>{"SAVE03.DAT"}) << what << ": no temporary file left";
    EXPECT_EQ(WorldBytes(), played) << what;
    EXPECT_EQ(host_.messages, (std::vector<std::string>{"セーブできませんでした。"})) << what;
    EXPECT_EQ(host_.captions.back(), "確認");
  }

  // A failed folder sync after the rename is reported too; the slot holds the new save.
  {
    TFaultyFiles files;
    files.fail = "sync-folder";
    host_.messages.clear();
    EXPECT_FALSE(SaveLoadGame(kSaveModeWrite, 3));
    EXPECT_EQ(host_.messages, (std::vector<std::string>{"セーブできませんでした。"}));
  }
  const std::string unsynced = ReadGameFile(kSlot3);
  EXPECT_NE(unsynced, old);

  // With sound file operations the new save replaces the old one.
  EXPECT_TRUE(SaveLoadGame(kSaveModeWrite, 3));
  EXPECT_EQ(ReadGameFile(kSlot3), unsynced);
  EXPECT_EQ(FolderNames(folder), std::vector<std::string>{"SAVE03.DAT"});
  EXPECT_TRUE(SaveLoadGame(kSaveModeLoad, 3));
}

// Saves killed before their rename leave their temporary files; the next save removes those of
// processes that no longer run, and nothing else: not a running copy's, not this program's, not
// a name that only looks alike, not a folder.
TEST_F(GameSaveTest, SavingRemovesTheTemporaryFilesOfProcessesThatNoLongerRun) {
  ASSERT_TRUE(SaveLoadGame(kSaveModeNew, -1));
  ASSERT_TRUE(SaveLoadGame(kSaveModeWrite, 3));
  const std::string complete = ReadGameFile(kSlot3);
  const std::string folder = NativeFolder(NativePath(kSlot3));

  const pid_t dead = fork();
  ASSERT_GE(dead, 0);
  if (dead == 0) _exit(0);
  ASSERT_EQ(waitpid(dead, nullptr, 0), dead);
  const pid_t live = fork();
  ASSERT_GE(live, 0);
  if (live == 0) {
    pause();
    _exit(0);
  }
  const std::string d = std::to_string(dead), l = std::to_string(live), self = std::to_string(getpid());

  const std::vector<std::string> gone = {"SAVE03.DAT." + d + ".tmp", "SAVE07.DAT." + d + ".tmp",
                                         "save11.dat." + d + ".tmp"};
  const std::vector<std::string> stay = {"SAVE05.DAT." + l + ".tmp",
                                         "SAVE06.DAT." + self + ".tmp",
                                         "SAVE15.DAT." + d + ".tmp",
                                         "SAVE03.DAT." + d + ".tmp.bak",
                                         "SAVE03.DAT.0" + d + ".tmp",
                                         "SAVE03.DAT." + d + ".TMP",
                                         "SAVE03.DAT..tmp",
                                         "SAVE03.DAT.-" + d + ".tmp",
                                         "SAVE03.DAT.99999999999.tmp",
                                         "notes." + d + ".tmp",
                                         "SAVE03.DAT"};
  for (const std::string& name : gone) std::ofstream(folder + "/" + name, std::ios::binary) << complete;
  std::ofstream(folder + "/" + gone[1], std::ios::binary) << complete.substr(0, complete.size() / 3);  // cut short
  for (const std::string& name : stay) {
    if (name != "SAVE03.DAT") std::ofstream(folder + "/" + name, std::ios::binary) << complete;
  }
  const std::string deadFolder = "SAVE04.DAT." + d + ".tmp";
  ASSERT_TRUE(std::filesystem::create_directory(folder + "/" + deadFolder));

  const bool saved = SaveLoadGame(kSaveModeWrite, 8);
  kill(live, SIGKILL);
  waitpid(live, nullptr, 0);
  ASSERT_TRUE(saved);
  std::vector<std::string> expected = stay;
  expected.push_back(deadFolder);
  expected.push_back("SAVE08.DAT");
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(FolderNames(folder), expected);
}

TEST_F(GameSaveTest, DamagedSaveFailsAndLeavesTheWorld) {
  ASSERT_TRUE(SaveLoadGame(kSaveModeNew, -1));
  PlaySomeTurns();
  ASSERT_TRUE(SaveLoadGame(kSaveModeWrite, 3));
  const std::string good = ReadGameFile(kSlot3);
  // The world in play differs from both the save and the new game.
  CountryData[0].Fund = 4711;
  map_.SetChip(0, 0, 19);
  const std::string before = WorldBytes();

  std::vector<std::string> damaged;
  for (std::size_t n : {std::size_t{0}, std::size_t{5}, std::size_t{40}, good.size() / 3, good.size() / 2,
                        good.size() - 10, good.size() - 1}) {
    damaged.push_back(good.substr(0, n));
  }
  std::string wrongCount = good;
  const std::size_t cnt = wrongCount.find(std::string("FLEET_SHIPS") + '\0' + "int" + '\0');
  ASSERT_NE(cnt, std::string::npos);
  wrongCount[cnt + 16] ^= 1;  // the count after key and type
  damaged.push_back(wrongCount);
  std::string missingKey = good;
  missingKey.replace(missingKey.find("DOCK_ABT"), 8, "DOCK_XYZ");
  damaged.push_back(missingKey);

  for (std::size_t i = 0; i < damaged.size(); ++i) {
    WriteGameFile(".\\save\\SAVE04.DAT", damaged[i]);
    host_.messages.clear();
    host_.cursor.clear();
    EXPECT_FALSE(SaveLoadGame(kSaveModeLoad, 4)) << i;
    EXPECT_EQ(WorldBytes(), before) << i;
    EXPECT_EQ(host_.messages, (std::vector<std::string>{"ロードできませんでした。"})) << i;
    ASSERT_FALSE(host_.cursor.empty());
    EXPECT_FALSE(host_.cursor.back());
    TSaveInfo info{};
    EXPECT_FALSE(GetSaveInfo(4, &info)) << i;
    EXPECT_EQ(WorldBytes(), before) << i;
  }
  EXPECT_EQ(host_.reloads, 0);
}

TEST_F(GameSaveTest, AbsentSlotsAndBadSlotsChangeNothing) {
  ASSERT_TRUE(SaveLoadGame(kSaveModeNew, -1));
  CountryData[0].Fund = 4711;
  const std::string before = WorldBytes();
  host_.messages.clear();
  EXPECT_FALSE(SaveLoadGame(kSaveModeLoad, 6));
  EXPECT_FALSE(SaveLoadGame(kSaveModeLoad, -1));
  EXPECT_FALSE(SaveLoadGame(kSaveModeLoad, 15));
  EXPECT_FALSE(SaveLoadGame(kSaveModeWrite, -1));
  EXPECT_FALSE(SaveLoadGame(kSaveModeWrite, 15));
  EXPECT_FALSE(SaveLoadGame(3, 0));
  EXPECT_EQ(WorldBytes(), before);
  EXPECT_TRUE(host_.messages.empty());
  EXPECT_FALSE(Sys().files->FolderExists(".\\save"));
}

TEST_F(GameSaveTest, MissingNewGameDataIsReported) {
  ASSERT_TRUE(SaveLoadGame(kSaveModeNew, -1));
  ASSERT_TRUE(SaveLoadGame(kSaveModeWrite, 3));
  CountryData[0].Fund = 4711;
  const std::string before = WorldBytes();
  ASSERT_TRUE(RemoveGameFile(kInit));
  host_.messages.clear();
  EXPECT_FALSE(SaveLoadGame(kSaveModeNew, -1));
  EXPECT_FALSE(SaveLoadGame(kSaveModeLoad, 3));
  EXPECT_EQ(WorldBytes(), before);
  EXPECT_EQ(host_.messages, (std::vector<std::string>{"新規ゲームのデータを読み込めませんでした。",
                                                      "新規ゲームのデータを読み込めませんでした。"}));
  // A damaged new-game file fails the same way, with the world unchanged.
  WriteGameFile(kInit, "TEC_LEV_UP_FUND");
  EXPECT_FALSE(SaveLoadGame(kSaveModeNew, -1));
  EXPECT_EQ(WorldBytes(), before);
}

TEST_F(GameSaveTest, MapFileMissingOrDamaged) {
  // A missing map keeps the chips and planet positions as they were; the game still starts.
  map_.SetChip(1, 1, 33);
  ASSERT_TRUE(RemoveGameFile(kMap0));
  ASSERT_TRUE(SaveLoadGame(kSaveModeNew, -1));
  EXPECT_EQ(map_.GetChip(1, 1), 33);

  // A damaged map fails the new game and leaves everything.
  const std::string before = WorldBytes();
  std::string map1 = ReadGameFile(kMap1);
  WriteGameFile(kMap0, map1.substr(0, map1.size() / 2));
  EXPECT_FALSE(SaveLoadGame(kSaveModeNew, -1));
  EXPECT_EQ(WorldBytes(), before);

  // The map routine alone: a file cut inside the last block answers false, one cut before a block
  // throws the keyed file's error; both restore the chips and the planets first.
  EXPECT_EQ(test::ErrorOf([] { SaveLoadMapFile(kSaveModeLoad, kMap0); }), SJS("例外 SeekKey keyでエラー"));
  EXPECT_EQ(WorldBytes(), before);
  WriteGameFile(kMap0, map1.substr(0, map1.size() - 10));
  EXPECT_FALSE(SaveLoadMapFile(kSaveModeLoad, kMap0));
  EXPECT_EQ(WorldBytes(), before);
  WriteGameFile(kMap0, "PLANET_XY");
  EXPECT_EQ(test::ErrorOf([] { SaveLoadMapFile(kSaveModeLoad, kMap0); }), SJS("例外 SeekKey keyでエラー"));
  EXPECT_EQ(WorldBytes(), before);
  EXPECT_FALSE(SaveLoadMapFile(kSaveModeLoad, ".\\dat\\MAP77.DAT"));
  EXPECT_TRUE(SaveLoadMapFile(kSaveModeLoad, kMap1));
  EXPECT_EQ(GetPlanetX(0), 40);
}

TEST_F(GameSaveTest, SaveInfoOfPresentAbsentAndEmptySlots) {
  ASSERT_TRUE(SaveLoadGame(kSaveModeNew, -1));
  PlaySomeTurns();
  ASSERT_TRUE(SaveLoadGame(kSaveModeWrite, 3));
  const std::string before = WorldBytes();

  TSaveInfo info{};
  ASSERT_TRUE(GetSaveInfo(3, &info));
  EXPECT_EQ(info.Chapter, 2);
  EXPECT_EQ(info.Year, 4040);
  EXPECT_EQ(info.Period, 17);
  const auto time = Sys().files->LastWriteTime(kSlot3);
  ASSERT_TRUE(time.has_value());
  EXPECT_EQ(info.FileYear, time->year);
  EXPECT_EQ(info.FileMonth, time->month);
  EXPECT_EQ(info.FileDay, time->day);
  EXPECT_EQ(info.FileHour, time->hour);
  EXPECT_EQ(info.FileMinute, time->minute);
  EXPECT_GE(info.FileYear, 2000);
  EXPECT_EQ(WorldBytes(), before);  // the trial read is undone

  TSaveInfo untouched{};
  untouched.Year = 77;
  EXPECT_FALSE(GetSaveInfo(5, &untouched));
  EXPECT_EQ(untouched.Year, 77);
  WriteGameFile(".\\save\\SAVE05.DAT", "");
  EXPECT_FALSE(GetSaveInfo(5, &untouched));
  EXPECT_FALSE(GetSaveInfo(15, &info));
  EXPECT_FALSE(GetSaveInfo(-1, &info));
  EXPECT_FALSE(GetSaveInfo(3, nullptr));
}

// The keys of a keyed file in the order of its blocks (head: key, NUL, type, NUL, 4-byte count;
// then count values of the type's size). Empty when the blocks do not tile the file exactly.
std::vector<std::string> BlockKeys(const std::string& bytes) {
  std::vector<std::string> keys;
  std::size_t at = 0;
  while (at < bytes.size()) {
    const std::size_t keyEnd = bytes.find('\0', at);
    if (keyEnd == std::string::npos) return {};
    const std::size_t typeEnd = bytes.find('\0', keyEnd + 1);
    if (typeEnd == std::string::npos || typeEnd + 5 > bytes.size()) return {};
    const std::string type = bytes.substr(keyEnd + 1, typeEnd - keyEnd - 1);
    std::uint32_t count = 0;
    std::memcpy(&count, bytes.data() + typeEnd + 1, 4);
    const std::size_t size = (type == "int" || type == "long") ? 4 : 1;
    keys.push_back(bytes.substr(at, keyEnd - at));
    at = typeEnd + 5 + size * count;
  }
  return at == bytes.size() ? keys : std::vector<std::string>{};
}

TEST_F(GameSaveTest, SaveAndMapFilesHoldExactlyTheirBlocksInOrder) {
  ASSERT_TRUE(SaveLoadGame(kSaveModeNew, -1));
  PlaySomeTurns();
  ASSERT_TRUE(SaveLoadGame(kSaveModeWrite, 3));
  const std::vector<std::string> save = {"STORY_CENTURY",    "STORY_MONTH",
                                         "STORY_FUKUKAN",    "STORY_LOAD_MAP",
                                         "STORY_FLAG",       "STORY_VAR",
                                         "STORY_FUND_VAR",   "STORY_CNT",
                                         "TEC_INVEST_FUND",  "TEC_LEV",
                                         "COUNTRY_CAPITAL",  "COUNTRY_STD_FUND",
                                         "COUNTRY_FUND",     "COUNTRY_INCOME_FUND",
                                         "COUNTRY_RELATION", "PLANET_XY",
                                         "PLANET_CG",        "PLANET_SATE",
                                         "PLANET_BELONG",    "PLANET_INCOME_FUND",
                                         "PLANET_HOKYUU",    "CMD_BELONG",
                                         "CMD_EXP",          "CMD_LEV",
                                         "CMD_CLASS_NAME",   "CMD_UNDER_FLEET",
                                         "CMD_FATIGUE",      "FLEET_XY",
                                         "FLEET_TARGET_XY",  "FLEET_ATK_XY",
                                         "FLEET_CAN_MOVE",   "FLEET_ATTACK",
                                         "FLEET_RETURNING",  "FLEET_CAN_WARP_OUT",
                                         "FLEET_ROOT_TBL",   "FLEET_SHIPS",
                                         "FLEET_CAN_USE",    "DOCK_ABT",
                                         "DOCK_SHIPS",       "DOCK_ZOUSEN_TURN",
                                         "FRAME_ENABLED",    "WEAPON_ENABLED",
                                         "ENGINE_ENABLED",   "SHIELD_ENABLED"};
  EXPECT_EQ(BlockKeys(ReadGameFile(kSlot3)), save);
  EXPECT_EQ(BlockKeys(ReadGameFile(kMap0)), (std::vector<std::string>{"MAP_DAT", "PLANET_XY", "PLANET_CG"}));
}

// Random damage to a good save: a load either succeeds or leaves every table as it was; reading the
// slot head never throws.
TEST_F(GameSaveTest, RandomlyDamagedSavesNeverHalfLoad) {
  ASSERT_TRUE(SaveLoadGame(kSaveModeNew, -1));
  PlaySomeTurns();
  ASSERT_TRUE(SaveLoadGame(kSaveModeWrite, 3));
  const std::string good = ReadGameFile(kSlot3);
  std::mt19937 rng(4);
  for (int round = 0; round < 150; ++round) {
    std::string bytes = good;
    const int edits = 1 + static_cast<int>(rng() % 6);
    for (int e = 0; e < edits; ++e) {
      const std::size_t at = rng() % bytes.size();
      switch (rng() % 3) {
        case 0: bytes[at] = static_cast<char>(rng()); break;
        case 1: bytes.erase(at, 1 + rng() % 64); break;
        default: bytes.insert(at, std::string(1 + rng() % 8, static_cast<char>(rng()))); break;
      }
      if (bytes.empty()) bytes = "X";
    }
    WriteGameFile(".\\save\\SAVE07.DAT", bytes);
    CountryData[0].Fund = round;
    const std::string before = WorldBytes();
    TSaveInfo info{};
    bool infoOk = false;
    EXPECT_NO_THROW(infoOk = GetSaveInfo(7, &info));
    EXPECT_EQ(WorldBytes(), before);
    bool loaded = false;
    EXPECT_NO_THROW(loaded = SaveLoadGame(kSaveModeLoad, 7));
    if (!loaded) {
      EXPECT_EQ(WorldBytes(), before) << round;
    }
    // What the slot list offers, loads.
    if (infoOk) {
      EXPECT_TRUE(loaded) << round;
    }
  }
}

}  // namespace
}  // namespace vdmq
