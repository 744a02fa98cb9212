#pragma once
// Shared helpers of the battle tests: a small world (catalogue entries, fleets, satellites,
// commanders, countries), a recording battle view and the arena fixture.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "battle/Btmissile.h"
#include "battle/Btqvmap.h"
#include "battle/Btunit.h"
#include "campaign/GameHost.h"
#include "campaign/Ship.h"
#include "support/RecordingHost.h"

namespace vdmq::bttest {

using test::TRecordingHost;

// Catalogue parts installed by ResetWorld:
//   hull 0: durability 100, defence 200, picture 0   hull 1: durability 50, defence 0, picture 12
//   hull 2: satellite hull, durability 80, defence 100, picture 30 (beyond the flame table)
//   weapon 0 (type 1): attack 20, range 60, charge 10, speed 50, guidance 6, ammo 1, kind 0
//   weapon 1 (type 2): attack 10, range 40, charge 25, speed 40, guidance 0, ammo 3, kind 2
//   engine 0: speed 100 (40 units a frame), turn 50    engine 1: speed 60, turn 30
//   shield 0: durability 10, defence 0, deploy 5, recharge 20
constexpr int kHull = 0, kHullLight = 1, kHullSate = 2;
constexpr int kWeapon1 = 0, kWeapon2 = 1;
constexpr int kEngine = 0, kEngineSlow = 1;
constexpr int kShield = 0;

// Clears the world tables, installs the catalogue above, makes country 0 the player's
// (turn order 0) and the others computer countries, and resets BtInfo and the random numbers.
void ResetWorld();
// A ship record with full durability of its hull.
TShipData MakeShip(int hull, int w1, int w2, int engine, int shield);
// Puts a ship into a fleet slot (the fleet becomes usable).
void PutFleetShip(int country, int fleet, int slot, const TShipData& ship);
void PutSate(int planet, int slot, const TShipData& ship);
// A commander of a country leading a fleet, with attack and defence bases (no growth per level,
// level 1, no fatigue), judgement and spirit.
void PutCmd(int cmd, int country, int fleet, int atk, int def, int direct, int mind);
// Places a planet on the map with an owner (and makes it the owner's capital when asked).
void PutPlanet(int planet, int x, int y, int owner, bool capital);
// Story state read by the battle: the chapter (variable 0) and a flag.
void SetChapter(int chapter);
void SetFlag(int n);
// Commander read-outs.
int CmdExp(int cmd);
int CmdLev(int cmd);
int CmdFatigue(int cmd);
// Durability stored in a fleet slot / satellite slot (-1 when the slot is empty).
int FleetShipHp(int country, int fleet, int slot);
int SateHp(int planet, int slot);

// On the generated new-game world (its catalogue), which has no ships yet: three ships each in
// fleet 0 of the player and of the enemy country, each fleet led by the first commander of its
// country, and five satellites at the player's capital, which it answers.
constexpr int kSampleEnemy = 7;
int PutSampleBattleSides();

// A missile of a weapon part launched by a country from the arena's centre (3200, 3200), aimed
// at the fire point (fx, fy).
TBtMissileInfo MissileInfo(int part, int country, int fx, int fy);

// The calls of the battle's course in a recording host's log: the battle window, music, the main
// window's repaint, sound effects and event dialogues.
std::vector<std::string> BattleFlow(const TRecordingHost& host);

// A battle view that records the queued sprites.
class RecordingView : public TBtViewSink {
 public:
  RecordingView() { SetBtViewSink(this); }
  ~RecordingView() override { SetBtViewSink(nullptr); }

  int AddPat(int kind, int number, int rows, int cols) override;
  void Put(int layer, const TBtDrawEntry& entry) override;
  void GetMouseMapPos(int& x, int& y) const override {
    x = mouseX;
    y = mouseY;
  }
  void CenterOn(int px, int py) override;
  void Redraw() override { ++redraws; }

  struct Sheet {
    int kind, number, rows, cols;
  };
  struct Entry {
    int layer;
    TBtDrawEntry e;
  };
  std::vector<Sheet> sheets;
  std::vector<Entry> entries;
  int mouseX = 0, mouseY = 0;
  int centerX = -1, centerY = -1;
  int redraws = 0;
};

// A test of a battle arena: the world is reset before each test; StartArena sets the sides and
// builds the arena BtQvMap points at, which the end of the test takes down again.
class ArenaTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetWorld(); }
  void TearDown() override {
    BtQvMap = nullptr;
    delete arena_;
  }
  // Attacker country a with fleet af against country d with fleet df (at planet, or -1 in space).
  void StartArena(int a, int af, int d, int df, int planet);

  TRecordingHost host_;
  TBtQvMap* arena_ = nullptr;
};

}  // namespace vdmq::bttest
