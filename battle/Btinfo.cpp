#include "battle/Btinfo.h"

#include "campaign/Country.h"
#include "campaign/Fleet.h"
#include "campaign/Planet.h"
#include "campaign/Ship.h"

namespace vdmq {

namespace {
int FirstShipSlot(int country, int fleet) {
  if (fleet == -1) return -1;
  for (int s = 0; s < kFleetShipCount; ++s) {
    if (IsFleetShipValid(country, fleet, s)) return s;
  }
  return -1;
}
}  // namespace

void BtSetInfo(int attacker, int attackerFleet, int defender, int defenderFleet, int planet) {
  TBtInfo& b = BtInfo;
  b.winner = -1;
  if (planet == -1) {
    b.kind = kBtKindSpace;
    b.planet = -1;
    b.defenderCmd = GetFleetCmd(defender, defenderFleet);
  } else {
    b.kind = kBtKindPlanet;
    b.planet = planet;
    b.defenderCmd = -1;
    bool anySate = false;
    for (int s = 0; s < kPlanetSateCount; ++s) anySate = anySate || IsPlanetSateValid(planet, s);
    if (!anySate) b.winner = attacker;
  }
  b.attacker = attacker;
  b.defender = defender;
  b.attackerFleet = attackerFleet;
  b.defenderFleet = defenderFleet;
  b.attackerCmd = GetFleetCmd(attacker, attackerFleet);
  b.attackerFlagSlot = FirstShipSlot(attacker, attackerFleet);
  b.defenderFlagSlot = FirstShipSlot(defender, defenderFleet);
  b.sateSector = 0;
  if (IsPlayerCountry(attacker)) {
    b.player = b.sideA = attacker;
    b.sideAFleet = attackerFleet;
    b.sideB = defender;
    b.sideBFleet = defenderFleet;
    b.playerOpponent = defender;
    b.playerDefends = 0;
  } else if (IsPlayerCountry(defender)) {
    b.player = b.sideA = defender;
    b.sideAFleet = defenderFleet;
    b.sideB = attacker;
    b.sideBFleet = attackerFleet;
    b.playerOpponent = attacker;
    b.playerDefends = 1;
  } else {
    b.player = -1;
    b.playerOpponent = -1;
    b.playerDefends = 0;
    b.sideA = attacker;
    b.sideB = defender;
    // Not used by a battle decided at once; kept consistent so that a battle fought anyway (the
    // scenario reopening the winner) places the fleets of this battle, not of an earlier one.
    b.sideAFleet = attackerFleet;
    b.sideBFleet = defenderFleet;
  }
}

}  // namespace vdmq
