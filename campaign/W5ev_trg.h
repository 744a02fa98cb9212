#pragma once
// The scenario's four triggers: the only doors through which the rest of the game lets the
// compiled scenario act. The turn flow calls EvTrgTurn at each country's turn start (after
// supply, docks and rest, before the turn's pause) and EvTrgTurnAfter after each country's turn;
// the battle entry calls EvTrgBattleStart once the battle record is filled and before the fight
// is decided, and EvTrgBattleEnd after the result has been applied. Every trigger dispatches by
// the turn country (GetTurnCountry of the turn flow) and acts only while story variable 0 (the
// chapter) is 0.

namespace vdmq {

// Turn start: runs the events of the turn country, when that country is alive.
void EvTrgTurn();
// After a country's turn: the scenario has no after-turn event.
void EvTrgTurnAfter();
// Before a battle is decided: the player's turn runs event 13, country 7's turn event 8.
void EvTrgBattleStart();
// After a battle's result: the player's turn runs events 4, 7 and 14 in this order.
void EvTrgBattleEnd();

}  // namespace vdmq
