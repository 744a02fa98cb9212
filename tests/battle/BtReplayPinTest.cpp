// Battles replay exactly: the same frames, the same random draws, the same hits and the same end,
// as pinned below from the battle code before its frame loop was made faster. Each battle runs to
// its end with a recording view; after every tick the state of every unit and every sprite queued
// by a full draw go into a digest. A full arena (the missile slots kept nearly full by quick
// launchers, every light slot taken) and the ordinary fights in space and at a planet.

#include <gtest/gtest.h>

#include <string>

#include "battle/Btinfo.h"
#include "battle/Btlight.h"
#include "battle/Btmissile.h"
#include "battle/Btqvmap.h"
#include "campaign/Parts.h"
#include "platform/base/Sjis.h"
#include "platform/base/StdRandom.h"
#include "support/BattleWorld.h"

using namespace vdmq;
using namespace vdmq::bttest;

namespace {

struct TDigest {
  uint64_t h = 0xCBF29CE484222325ull;
  void Add(int64_t v) {
    for (int k = 0; k < 8; ++k) h = (h ^ static_cast<uint8_t>(v >> (8 * k))) * 0x100000001B3ull;
  }
  void Add(const std::string& s) {
    Add(static_cast<int64_t>(s.size()));
    for (unsigned char c : s) h = (h ^ c) * 0x100000001B3ull;
  }
};

void AddUnit(TDigest& d, int slot, const TBtUnit* u) {
  d.Add(slot);
  d.Add(u->IsAlive());
  for (int v : {u->GetX(), u->GetY(), u->GetDir(), u->GetSpeed(), u->GetTurn(), u->GetHp()}) d.Add(v);
}

struct TRun {
  uint64_t digest;
  int frames;
  int winner;
  int nextDraw;  // the generator's next number after the battle: it tells the draws apart
  int peakMissiles;
};

// Runs the battle set up in BtInfo to its end (at most limit frames), digesting every frame.
TRun RunBattle(TRecordingHost& host, int limit) {
  RecordingView view;
  TBtQvMap arena;
  BtQvMap = &arena;
  arena.Setup();
  TDigest d;
  TRun run{};
  for (run.frames = 1; run.frames <= limit; ++run.frames) {
    const bool going = BtBattleTick();
    int missiles = 0;
    for (int i = 0; i < kBtShipSlots; ++i) {
      if (TBtShip* s = arena.GetShip(i)) {
        AddUnit(d, i, s);
        d.Add(s->GetShield().GetHp());
        d.Add(s->GetShield().GetActive());
        d.Add(s->GetLauncher1().GetCounter());
      }
    }
    for (int i = 0; i < kBtMissileSlots; ++i) {
      if (const TBtMissile* m = arena.GetMissile(i)) {
        AddUnit(d, i, m);
        ++missiles;
      }
    }
    for (int i = 0; i < kBtLightSlots; ++i) {
      if (const TBtLight* l = arena.GetLight(i)) {
        AddUnit(d, i, l);
        d.Add(l->GetFrame());
      }
    }
    for (int i = 0; i < kBtExploadeSlots; ++i) {
      if (const TBtExploade* e = arena.GetExploade(i)) {
        AddUnit(d, i, e);
        d.Add(e->GetFrame());
      }
    }
    view.entries.clear();
    arena.DrawAll();
    for (const auto& e : view.entries) {
      for (int v : {e.layer, e.e.mapX, e.e.mapY, e.e.dx, e.e.dy, e.e.mode, e.e.slot, e.e.frame}) d.Add(v);
    }
    run.peakMissiles = std::max(run.peakMissiles, missiles);
    if (!going) break;
  }
  for (const std::string& m : host.btMessages) d.Add(m);
  for (const std::string& b : host.messages) d.Add(Utf8ToSjis(b));  // the boxes' texts as shown (CP932)
  arena.Clear();
  BtQvMap = nullptr;
  run.digest = d.h;
  run.winner = BtInfo.winner;
  run.nextDraw = StdRand();
  return run;
}

// Three ships a side (and five satellites at the planet), as the battle entry tests fight.
void ThreeShipsASide() {
  for (int s = 0; s < 3; ++s) {
    PutFleetShip(0, 0, s, MakeShip(kHull, kWeapon1, kWeapon2, kEngine, 1));
    PutFleetShip(1, 0, s, MakeShip(s == 1 ? kHull : kHullLight, kWeapon1, kWeapon2, kEngineSlow, kShield));
  }
  for (int s = 0; s < 5; ++s) PutSate(9, s, MakeShip(kHullSate, kWeapon1, -1, kEngine, -1));
  PutCmd(1, 0, 0, 110, 100, 50, 10);
  PutCmd(2, 1, 0, 100, 90, 50, 10);
}

class ReplayPin : public ::testing::Test {
 protected:
  void SetUp() override { ResetWorld(); }
  TRecordingHost host_;
};

}  // namespace

TEST_F(ReplayPin, FullArenaFightsToTheEndAsPinned) {
  // Sturdy hulls and launchers firing salvos of eight every few frames fill the missile slots.
  FrameData[kHull].Body.Hp = 30000;
  FrameData[kHullLight].Body.Hp = 15000;
  FrameData[kHullSate].Body.Hp = 20000;
  WeaponData[kWeapon1].Weapon = {20, 80, 4, 50, 6, 8, 0};
  WeaponData[kWeapon2].Weapon = {10, 60, 6, 40, 3, 8, 2};
  ThreeShipsASide();
  BtSetInfo(0, 0, 1, 0, 9);
  const TRun run = RunBattle(host_, 5000);
  EXPECT_GE(run.peakMissiles, 240);
  EXPECT_EQ(run.frames, 1112);
  EXPECT_EQ(run.winner, 0);
  EXPECT_EQ(run.nextDraw, 21288);
  EXPECT_EQ(run.digest, 0x5613A3FBFBFCB80Dull) << std::hex << run.digest;
}

TEST_F(ReplayPin, OrdinaryBattlesReplayAsPinned) {
  struct TCase {
    int planet;
    int frames, winner, nextDraw;
    uint64_t digest;
  };
  for (const TCase& c :
       {TCase{-1, 132, 0, 31313, 0xE27B8B2820150378ull}, TCase{9, 205, 0, 5758, 0x58DF4375D6AF5D90ull}}) {
    SCOPED_TRACE(c.planet);
    ResetWorld();
    TRecordingHost host;
    ThreeShipsASide();
    BtSetInfo(0, 0, 1, c.planet == -1 ? 0 : -1, c.planet);
    const TRun run = RunBattle(host, 5000);
    EXPECT_EQ(run.frames, c.frames);
    EXPECT_EQ(run.winner, c.winner);
    EXPECT_EQ(run.nextDraw, c.nextDraw);
    EXPECT_EQ(run.digest, c.digest) << std::hex << run.digest;
  }
}
