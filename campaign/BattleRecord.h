#pragma once
// The battle record BtInfo: sides, fleets, commanders, planet and winner of the current (or
// last) battle. The battle entry (battle/Btinfo) fills it; the arena, the battle window, the
// scenario's battle words and the battle music read it. It lives with the campaign engine so that
// the scenario reads and sets it without knowing the battle library.

#include <cstdint>

namespace vdmq {

constexpr int kBtKindSpace = 0;
constexpr int kBtKindPlanet = 2;

struct TBtInfo {
  int32_t kind = 0;              // 0 fleets in space, 2 attack on a planet
  int32_t winner = 0;            // winning country; -1 while open
  int32_t planet = 0;            // attacked planet, -1 in space
  int32_t player = 0;            // the player's country when it takes part, else -1
  int32_t playerOpponent = 0;    // the other side's country when the player takes part, else -1
  int32_t attacker = 0;          // attacking country
  int32_t defender = 0;          // defending country (the planet's owner for a planet attack)
  int32_t attackerFleet = 0;     // fleet 0..9 of the attacker
  int32_t defenderFleet = 0;     // fleet of the defender; -1 for a planet attack
  int32_t attackerCmd = 0;       // commander of the attacking fleet, -1 none
  int32_t defenderCmd = 0;       // commander of the defending fleet in space; -1 for a planet
  int32_t sideA = 0;             // near side (lower left): the player's country
  int32_t sideB = 0;             // far side (upper right): the player's opponent
  int32_t sideAFleet = 0;        // -1 when side A defends a planet
  int32_t sideBFleet = 0;        // -1 when side B defends a planet
  int32_t attackerFlagSlot = 0;  // first occupied ship slot of the attacking fleet, -1 none
  int32_t defenderFlagSlot = 0;  // the same for the defending fleet, -1 none or no fleet
  int32_t sateSector = 0;        // always 0: every satellite slot takes part
  uint8_t playerDefends = 0;     // 1 when the player is the defender
};

// The one battle record, zero at program start.
inline TBtInfo BtInfo{};

}  // namespace vdmq
