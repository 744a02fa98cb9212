#include "campaign/W5scn01.h"

#include "campaign/Country.h"
#include "campaign/Story.h"

namespace vdmq {

namespace {

// Ships of the opening: every slot of a fleet gets the same design.
void GiveFleetShips(int country, int fleet, int hull, int weapon1, int weapon2, int engine, int shield) {
  for (int slot = 0; slot < kFleetShipCount; ++slot) {
    ScnSetFleetShip(country, fleet, slot, hull, weapon1, weapon2, engine, shield);
  }
}

// Turn-start events armed by a counter: fire once when the counter holds the value.
void CounterEvent(int flag, int counter, int value, int mes) {
  if (GetStoryFlag(flag)) return;
  if (GetStoryCnt(counter) != value) return;
  SetStoryFlag(flag);
  Scn01ShowMes(mes);
}

}  // namespace

void Scn01ShowMes(int id) { GameHost().EventMes(Scn01Script(id)); }

// The war begins: relations, the imperial fleets' routes, the opening fleets of both sides.
void Scn01Event00() {
  if (GetStoryFlag(0)) return;
  SetStoryVar(0, 0);
  SetStoryFlag(0);
  SetStoryCnt(0, 1);
  ScnSetCountryRelation(kScnPlayer, kScnEmpire, kRelationWar);
  ScnSetCountryRelation(kScnPlayer, kScnAlly, kRelationAlly);
  ScnSetCountryRelation(kScnPlayer, kScnBesieged, kRelationAlly);
  ScnSetCountryRelation(kScnEmpire, kScnBesieged, kRelationWar);
  ScnSetFleetRootTbl(kScnEmpire, 0, 0);
  ScnSetFleetRootTbl(kScnEmpire, 1, 0);
  ScnSetFleetRootTbl(kScnEmpire, 2, 1);
  ScnSetFleetRootTbl(kScnEmpire, 3, 1);
  for (int fleet = 0; fleet < 8; ++fleet) GiveFleetShips(kScnPlayer, fleet, 0, 0, 30, 0, 0);
  GiveFleetShips(kScnEmpire, 0, 20, 1, 22, 2, 2);
  GiveFleetShips(kScnEmpire, 1, 20, 1, 22, 2, 2);
  GiveFleetShips(kScnEmpire, 2, 21, 11, 32, 3, 3);
  GiveFleetShips(kScnEmpire, 3, 21, 11, 32, 3, 3);
  Scn01ShowMes(kMesA0);
}

void Scn01Event01() { CounterEvent(1, 0, 1, kMesA1); }
void Scn01Event02() { CounterEvent(2, 0, 2, kMesA2); }
void Scn01Event03() { CounterEvent(3, 0, 2, kMesA3); }

void Scn01Event04() {
  if (GetStoryFlag(4)) return;
  if (ScnGetPlanetBelong(kScnPlanetFront) != kScnPlayer) return;
  SetStoryFlag(4);
  SetStoryCnt(1, 1);
  Scn01ShowMes(kMesA4);
}

void Scn01Event05() { CounterEvent(5, 1, 2, kMesA5); }
void Scn01Event06() { CounterEvent(6, 1, 1, kMesA6); }

// The gate taken while the outpost still stands: its commander comes over to the Federation.
void Scn01Event07() {
  if (GetStoryFlag(7)) return;
  if (GetStoryFlag(8) || ScnGetPlanetBelong(kScnPlanetGate) != kScnPlayer) return;
  SetStoryFlag(7);
  SetStoryCnt(2, 1);
  Scn01ShowMes(kMesA7a);
  ShowMapPlanet(kScnPlanetOutpost);
  ScnRemovePlanet(kScnPlanetOutpost);
  RedrawMap();
  Scn01ShowMes(kMesA7b);
  ScnSetCmdBelong(kScnDefector, kScnPlayer);
}

// The siege of the outpost: six assaults are held off, the seventh takes it.
void Scn01Event08() {
  if (GetStoryFlag(8)) return;
  if (ScnGetBtAtkCountry() != kScnEmpire || ScnGetBtDefCountry() != kScnBesieged) return;
  if (ScnGetBtKind() != 2 || ScnGetBtPlanet() != kScnPlanetOutpost) return;
  const int assault = GetStoryVar(1) + 1;
  SetStoryVar(1, assault);
  if (assault < kScnAssaultLimit) {
    Scn01ShowMes(assault >= 5 ? kMesA8b : kMesA8a);
    ScnSetBtWinner(kScnBesieged);
    return;
  }
  SetStoryFlag(8);
  Scn01ShowMes(kMesA8c);
  ScnRemovePlanet(kScnPlanetOutpost);
  for (int fleet = 0; fleet < 4; ++fleet) ScnSetFleetRootTbl(kScnEmpire, fleet, 0);
}

void Scn01Event09() { CounterEvent(9, 2, 2, kMesA9); }
void Scn01Event10() { CounterEvent(10, 2, 1, kMesA10); }
void Scn01Event11() { CounterEvent(11, 2, 3, kMesA11); }
void Scn01Event12() { CounterEvent(12, 2, 3, kMesA12); }

void Scn01Event13() {
  if (GetStoryFlag(13)) return;
  if (ScnGetBtAtkCountry() != kScnPlayer || ScnGetBtDefCountry() != kScnEmpire) return;
  if (ScnGetBtKind() != 2 || ScnGetBtPlanet() != kScnPlanetCapital) return;
  SetStoryFlag(13);
  Scn01ShowMes(kMesA13);
}

void Scn01Event14() {
  if (GetStoryFlag(14)) return;
  if (ScnGetPlanetBelong(kScnPlanetCapital) != kScnPlayer) return;
  SetStoryFlag(14);
  Scn01ShowMes(kMesA14);
  ScnPlayMovie(kEndingMovie);
}

void Scn01Event15() {
  if (GetStoryFlag(15)) return;
  if (GetStoryCnt(0) != kScnTimeLimit) return;
  SetStoryFlag(15);
  Scn01ShowMes(kMesA15);
  ScnPlayMovie(kEndingMovie);
}

}  // namespace vdmq
