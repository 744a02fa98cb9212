#pragma once
// The battle entry's side of the battle record (campaign/BattleRecord.h): filling it for an
// attack, and the questions the arena asks of it.

#include "campaign/BattleRecord.h"

namespace vdmq {

// The attacker when the given country is not the attacker, else the defender.
inline int BtGetEnemyCountry(int country) { return country != BtInfo.attacker ? BtInfo.attacker : BtInfo.defender; }

// The player's fleet: the attacker fleet when the player attacks, -1 when the player defends a
// planet, else the defender fleet.
inline int BtGetPlayerFleet() {
  if (BtInfo.player == BtInfo.attacker) return BtInfo.attackerFleet;
  if (BtInfo.kind == kBtKindPlanet) return -1;
  return BtInfo.defenderFleet;
}

// Fills BtInfo for an attack; planet -1 for a fleet battle, defender fleet -1 for a planet
// attack. A planet without any satellite makes the attacker the winner at once.
void BtSetInfo(int attacker, int attackerFleet, int defender, int defenderFleet, int planet);

}  // namespace vdmq
