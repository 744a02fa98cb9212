#include <gtest/gtest.h>

#include <climits>
#include <random>

#include "battle/Btinfo.h"
#include "battle/Btmissile.h"
#include "battle/Btqvmap.h"
#include "battle/Btship.h"
#include "campaign/Parts.h"
#include "support/BattleWorld.h"

using namespace vdmq;
using namespace vdmq::bttest;

// The parts catalogue comes from the new-game data file: whatever numbers a damaged file puts
// there, a battle runs its frames without overflow, without endless salvos and without
// reading past its tables, and its units stay where integer arithmetic can place them.
TEST(BtCatalogue, ExtremePartValuesRunBoundedFrames) {
  std::mt19937 gen(7);
  const int extremes[] = {INT_MIN, INT_MIN + 1, -100000, -1, 0, 1, 2, 7, 100, 5000, 100000, INT_MAX - 1, INT_MAX};
  auto pick = [&]() -> int {
    if (gen() % 3 == 0) return static_cast<int>(gen());
    return extremes[gen() % (sizeof extremes / sizeof extremes[0])];
  };
  for (int round = 0; round < 200; ++round) {
    ResetWorld();
    TRecordingHost host;
    for (int w : {kWeapon1, kWeapon2}) {
      TWeaponBody& b = WeaponData[w].Weapon;
      b = {pick(), pick(), pick(), pick(), pick(), pick(), pick()};
    }
    EngineData[kEngine].Engine = {pick(), pick()};
    ShieldData[kShield].Shield = {pick(), pick(), pick(), pick()};
    FrameData[kHull].Body.Def = pick();
    for (int s = 0; s < 3; ++s) {
      PutFleetShip(0, 0, s, MakeShip(kHull, kWeapon1, kWeapon2, kEngine, kShield));
      PutFleetShip(1, 0, s, MakeShip(kHull, kWeapon2, kWeapon1, kEngine, kShield));
    }
    PutCmd(1, 0, 0, 100, 100, 50, 10);
    BtSetInfo(0, 0, 1, 0, -1);
    TBtQvMap arena;
    BtQvMap = &arena;
    arena.Setup();
    for (int t = 0; t < 150 && BtBattleTick(); ++t) {
      if (t % 10 == 0 && arena.GetSelect() != nullptr) arena.Order(t % 20 == 0 ? 0 : 1, 3000, 3000);
    }
    for (int i = 0; i < kBtShipSlots; ++i) {
      if (const TBtShip* s = arena.GetShip(i)) {
        EXPECT_TRUE(arena.ChkInMap(s->GetX(), s->GetY(), 80)) << "ships never leave the arena";
        EXPECT_GE(s->GetDir(), 0);
        EXPECT_LT(s->GetDir(), 3600);
      }
    }
    for (int i = 0; i < kBtMissileSlots; ++i) {
      if (const TBtMissile* m = arena.GetMissile(i)) {
        EXPECT_LE(m->GetSpeed(), m->GetMaxSpeed() < 1 ? 1 : m->GetMaxSpeed());
      }
    }
    arena.Clear();
    BtQvMap = nullptr;
  }
}
