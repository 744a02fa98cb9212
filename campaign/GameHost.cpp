#include "campaign/GameHost.h"

#include "campaign/Fleet.h"
#include "campaign/Planet.h"

namespace vdmq {
namespace {
TGameHost g_headless;
TGameHost* g_host = &g_headless;
}  // namespace

TGameHost& GameHost() { return *g_host; }
void SetGameHost(TGameHost* host) { g_host = host ? host : &g_headless; }

// ---------------------------------------------------------------------------------------------
// The battle entry behind the game host

namespace {
TBattleEntry g_battleEntry = nullptr;
}  // namespace

void SetBattleEntry(TBattleEntry entry) { g_battleEntry = entry; }
TBattleEntry GetBattleEntry() { return g_battleEntry; }

void RunBattleEntry(int attacker, int attackerFleet, int defender, int defenderFleet, int planet) {
  if (g_battleEntry != nullptr) {
    g_battleEntry(attacker, attackerFleet, defender, defenderFleet, planet);
    return;
  }
  // No battle library: the attacker wins at once.
  if (IsPlanetNum(planet)) {
    if (IsPlanetOnMap(planet)) SetFleetXY(attacker, attackerFleet, GetPlanetX(planet), GetPlanetY(planet));
    SetPlanetBelong(planet, attacker);
  } else if (ChkInFleetNum(defender, defenderFleet)) {
    SetFleetReturning(defender, defenderFleet);
  }
}

void TGameHost::BattleStart(int attacker, int attackerFleet, int defender, int defenderFleet, int planet) {
  RunBattleEntry(attacker, attackerFleet, defender, defenderFleet, planet);
}

}  // namespace vdmq
