#pragma once
// The turn flow. Only the turn country stands here so far; the rest of the turn flow (turn starts,
// the computer countries' round, the end of the game) joins this unit.

namespace vdmq {

// The country whose turn runs; the scenario's triggers dispatch by it. 0 at program start.
void SetTurnCountry(int country);
int GetTurnCountry();

}  // namespace vdmq
