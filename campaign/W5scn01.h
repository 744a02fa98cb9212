#pragma once
// The game's one scenario, compiled in: sixteen events and the nineteen dialogue scripts they show
// (W5scn01Mes).
// The story: the Veld Federation (country 0), with its allies Seres (1) and Elysion (9), against
// the Zoldian Empire (7), which holds the planets 1, 2 and 3 (its capital) and besieges Elysion's
// outpost, planet 55; the kingdom of Ortensia (2) watches. The events keep no state of their own:
// flags, counters and variables of the story state say what has happened.
//
// Story memory used:
//   flag n        event n has fired (event 8 only at its seventh assault)
//   counter 0..2  turn timers armed by events 0, 4 and 7 (advanced once per round by the turn flow)
//   variable 0    the chapter; the triggers act only while it is 0
//   variable 1    country 7's assaults on planet 55

#include "campaign/GameHost.h"
#include "campaign/W5scn01Mes.h"

namespace vdmq {

// Countries and planets the scenario names.
constexpr int kScnPlayer = 0;          // the Federation
constexpr int kScnAlly = 1;            // Seres
constexpr int kScnWatcher = 2;         // Ortensia
constexpr int kScnEmpire = 7;          // the Empire
constexpr int kScnBesieged = 9;        // Elysion
constexpr int kScnPlanetFront = 1;     // first imperial planet on the way
constexpr int kScnPlanetGate = 2;      // second imperial planet, the gate to 55
constexpr int kScnPlanetCapital = 3;   // the imperial capital
constexpr int kScnPlanetOutpost = 55;  // Elysion's besieged outpost
constexpr int kScnDefector = 3;        // the commander who joins the Federation (event 7)
constexpr int kScnAssaultLimit = 7;    // the assault on planet 55 that succeeds (event 8)
constexpr int kScnTimeLimit = 30;      // value of counter 0 that ends the game (event 15)

// Shows a dialogue through the event window (GameHost().EventMes).
void Scn01ShowMes(int id);

// The events. Each returns at once when its flag is set; otherwise it tests its condition and,
// when it holds, sets its flag (before its dialogue) and acts.
void Scn01Event00();  // turn start, country 0: the war begins
void Scn01Event01();  // turn start, country 7: counter 0 = 1
void Scn01Event02();  // turn start, country 0: counter 0 = 2
void Scn01Event03();  // turn start, country 1: counter 0 = 2
void Scn01Event04();  // after a battle of country 0: planet 1 taken
void Scn01Event05();  // turn start, country 0: counter 1 = 2
void Scn01Event06();  // turn start, country 1: counter 1 = 1
void Scn01Event07();  // after a battle of country 0: planet 2 taken before planet 55 fell
void Scn01Event08();  // before a battle of country 7: the assaults on planet 55
void Scn01Event09();  // turn start, country 0: counter 2 = 2
void Scn01Event10();  // turn start, country 7: counter 2 = 1
void Scn01Event11();  // turn start, country 0: counter 2 = 3
void Scn01Event12();  // turn start, country 2: counter 2 = 3
void Scn01Event13();  // before a battle of country 0: the assault on the imperial capital
void Scn01Event14();  // after a battle of country 0: the imperial capital taken (ending)
void Scn01Event15();  // turn start, country 0: counter 0 = 30 (time limit ending)

}  // namespace vdmq
