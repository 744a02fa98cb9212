#pragma once
// The battle entry and its result. Every attack on an enemy fleet or planet ends in one call of
// BtBattleStart: it fills the battle record, lets the scenario's before-battle trigger speak,
// decides at once when no tactical phase is needed, otherwise fights the battle in the battle
// window (or headless when there is none), and writes the outcome back into the world model:
// experience and fatigue of the commanders, the retreat of the loser and the capture of an
// attacked planet. Durability losses are written by the battle ships themselves when the
// arena deletes them.

namespace vdmq {

// Frames a headless battle runs before the player's side withdraws (30 minutes of play at
// 25 frames a second), so that a battle nobody can win still ends.
constexpr int kBtHeadlessFrameLimit = 45000;

// The debug window's switch that wins every fought battle for the player.
constexpr int kBtDebugSwWin = 4;

// The whole battle; planet -1 for a fleet battle, defender fleet -1 for a planet attack.
void BtBattleStart(int attacker, int attackerFleet, int defender, int defenderFleet, int planet);
// Applies the outcome held in BtInfo to the world model.
void BtApplyResult();
// The player's retreat order (the battle window's retreat button after its question): while
// the winner is still open, the side other than the player's wins. Answers whether it acted; a
// battle already decided keeps its winner.
bool BtPlayerRetreat();
// Fights the battle set up in BtInfo without a window: creates the arena, runs frames until
// the end countdown finishes and frees the arena (the ships write their durability back).
// Answers the number of ticks run.
int BtRunBattleHeadless();

}  // namespace vdmq
