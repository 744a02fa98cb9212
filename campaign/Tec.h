#pragma once
// The five technologies. Each has a level from 1 up to its own maximum; investment accumulates
// toward the next level and surplus carries into the one after. One set for the whole game.

#include <cstdint>

#include "campaign/Ship.h"

namespace vdmq {

class TDatFile;

struct TTecData {
  const char* Name;                      // caption (CP932), set at a new game
  std::int32_t Index;                    // the technology's own index, set at a new game
  std::int32_t LevUpFund[kTecLevCount];  // TEC_LEV_UP_FUND: [l] = cost from level l to l + 1; [0] unused
  std::int32_t Lev;                      // TEC_LEV: current level, 1..maximum
  std::int32_t InvestFund;               // TEC_INVEST_FUND: invested toward the next level
};

// The table (exposed for whole-world snapshots).
extern TTecData TecData[kTecCount];

bool ChkInTecNum(int tec);                // 0..4
bool ChkInTecLev(int lev);                // 1..20
int GetTecMaxLev(int tec);                // 11, 19, 19, 10, 10 [1]
bool IsTecLevBelowMax(int tec, int lev);  // 1 <= lev < maximum [false]
const char* GetTecName(int tec);          // caption [null]
int GetTecLevUpFund(int tec, int lev);    // cost[lev] when IsTecLevBelowMax, else -1 [-1]
int GetTecLev(int tec);                   // [-1]
void SetTecLev(int tec, int lev);         // stores a level 1..20, others ignored [nothing]
int GetTecInvestFund(int tec);            // [-1]
bool CanTecLevUp(int tec);                // 1 <= current level < maximum [false]
// Funds still needed to reach the maximum, clamped to 0..999999; 0 when the level cannot rise. [0]
int GetTecFundToMax(int tec);
// Invests LimitFund(amount): raises levels while the investment reaches their costs; surplus past
// the maximum is dropped. Nothing when the technology cannot rise. [nothing]
void InvestTec(int tec, std::int64_t amount);
// Mode 2: initialise each technology (name, index, invested 0, level 1), then TEC_LEV_UP_FUND.
// Modes 0 and 1: TEC_INVEST_FUND, TEC_LEV. A missing file does nothing.
void SaveLoadTec(TDatFile* fp, int mode);

}  // namespace vdmq
