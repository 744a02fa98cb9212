#pragma once
// Test helpers for the scenario: a world in which the story can run (the Federation, its allies,
// the Empire with planets 1..3, Elysion's outpost 55).

#include "campaign/BattleRecord.h"
#include "campaign/Gmain.h"
#include "campaign/W5scn01.h"
#include "support/World.h"

namespace vdmq::test {

// Hulls, weapons, engines and shields the opening ships name, added to the test catalogue.
inline void AddScenarioParts() {
  for (int h : {20, 21}) {
    TFrameData& f = FrameData[h];
    f.Enabled = 1;
    f.Parts.FitMask = f.Class = h == 20 ? 1 : 2;
    f.Body = {300, 10};
    f.MoveStep = 7;
    for (auto& t : f.Parts.TecLev) t = -1;
  }
  for (int w : {1, 11, 22, 30, 32}) {
    WeaponData[w].Enabled = 1;
    WeaponData[w].Parts.Type = w < 20 ? 1 : 2;
    WeaponData[w].Parts.FitMask = 0xFF;
  }
  for (int e : {2, 3}) EngineData[e].Parts.FitMask = 0xFF;
  for (int s : {0, 2, 3}) ShieldData[s].Parts.FitMask = 0xFF;
}

// The world at the start of the scenario: capitals 0 (Federation), 3 (Empire), 57 (Seres),
// 58 (Elysion), 60 (Ortensia); the Empire also holds 1 and 2, Elysion holds 55. Commanders lead
// the Federation's fleets 0..7 and the Empire's 0..3; commander 3 serves Elysion.
inline void ResetScenarioWorld() {
  ResetWorld();
  AddScenarioParts();
  MakeCapital(0, 0, 5, 40);
  MakeCapital(7, 3, 40, 10);
  MakeCapital(1, 57, 10, 10);
  MakeCapital(9, 58, 48, 40);
  MakeCapital(2, 60, 27, 5);
  PlacePlanet(1, 15, 35, 7);
  PlacePlanet(2, 25, 25, 7);
  PlacePlanet(55, 40, 30, 9);
  const int federation[8] = {0, 1, 2, 4, 5, 6, 7, 8};
  for (int f = 0; f < 10; ++f) {
    FleetData[0][f].CanUse = 1;
    FleetData[7][f].CanUse = 1;
  }
  for (int f = 0; f < 8; ++f) {
    CmdData[federation[f]].Belong = 0;
    CmdData[federation[f]].UnderFleet = f;
  }
  for (int f = 0; f < 4; ++f) {
    CmdData[13 + f].Belong = 7;
    CmdData[13 + f].UnderFleet = f;
  }
  CmdData[3].Belong = 9;
  BtInfo = TBtInfo{};
  SetTurnCountry(0);
}

// Fills the battle record as the battle entry does for an attack on a planet (the attacker is the
// winner unless the scenario says otherwise; the player is not involved).
inline void SetPlanetBattle(int attacker, int defender, int planet) {
  BtInfo = TBtInfo{};
  BtInfo.kind = 2;
  BtInfo.planet = planet;
  BtInfo.attacker = attacker;
  BtInfo.defender = defender;
  BtInfo.attackerFleet = 0;
  BtInfo.defenderFleet = -1;
  BtInfo.winner = attacker;
  BtInfo.player = -1;
  BtInfo.playerOpponent = -1;
}

}  // namespace vdmq::test
