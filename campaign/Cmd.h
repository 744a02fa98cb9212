#pragma once
// The 120 commanders. A fleet stands on the map only under a commander; commanders belong to a
// country, gain experience and levels in battle, tire in battle and rest when they lead no fleet.
// Every operation taking a commander first runs ChkInCmdNum, which throws for a bad index.
//
// Kept by the operations: at most one commander leads a given (country, fleet); a commander leads
// only a fleet of his own country; a fleet without a commander is off the map.

#include <cstdint>

#include "campaign/Ship.h"

namespace vdmq {

class TDatFile;

// One commander (signed 32-bit fields, in this order).
struct TCmdData {
  std::int32_t Name;        // CMD_NAME: index into the commander name table; -1 the empty name
  std::int32_t Cg;          // CMD_CG: face picture
  std::int32_t Belong;      // CMD_BELONG: country 0..13, -1 none
  std::int32_t Exp;         // CMD_EXP: experience 0..99 in play
  std::int32_t Lev;         // CMD_LEV: level 1..50
  std::int32_t ClassName;   // CMD_CLASS_NAME: class name 0..7; read by no rule
  std::int32_t UnderFleet;  // CMD_UNDER_FLEET: fleet 0..9 of his country he leads, -1 none
  std::int32_t Fatigue;     // CMD_FATIGUE: 0..1000
  std::int32_t Direct;      // CMD_DIRECT: judgement
  std::int32_t Mind;        // CMD_MIND: spirit, percentage ApplyCmdMind takes off
  std::int32_t AtkMod;      // CMD_ATK_MOD: attack base
  std::int32_t DefMod;      // CMD_DEF_MOD: defence base
  std::int32_t AtkModUp;    // CMD_ATK_MOD_UP: attack per level
  std::int32_t DefModUp;    // CMD_DEF_MOD_UP: defence per level
};

// The commander table (exposed for whole-world snapshots).
extern TCmdData CmdData[kCmdCount];

constexpr int kCmdLevMin = 1;
constexpr int kCmdLevMax = 50;
constexpr int kCmdExpMax = 100;
constexpr int kCmdFatigueMax = 1000;

// Throws "例外 function:ChkInCmdNum" unless 0..119.
void ChkInCmdNum(int cmd);
// Throws "例外 function:ChkInCmdClassNameNum" unless 0..7.
void ChkInCmdClassNameNum(int classNum);

const char* GetCmdName(int cmd);  // CP932; "" for name index -1 (and any index outside the table)
int GetCmdCg(int cmd);
bool IsCmdBelong(int cmd);  // country is not -1
int GetCmdBelong(int cmd);
// A commander with a country and a fleet is first released from the fleet; then the country is
// stored.
void SetCmdBelong(int cmd, int country);
int GetCmdExp(int cmd);
void SetCmdExp(int cmd, std::int64_t exp);  // clamped to 0..100
// Adds experience, carried across levels in steps of 100 (level 1..50); returns the new level
// minus the old.
int AddCmdExp(int cmd, std::int64_t amount);
int GetCmdLev(int cmd);
void SetCmdLev(int cmd, std::int64_t lev);  // clamped to 1..50
// (country, fleet) the lowest commander with that country and fleet (neither -1), -1 none.
int SearchCmdByFleet(int country, int fleet);
int GetCmdUnderFleet(int cmd);
// Appoints the commander to a fleet of his country (-1 releases him): a free fleet is taken (and
// stands on the capital when alive); a fleet led by another commander is taken from him, the two
// swapping fleets when the commander led one. A fleet outside -1..9 changes nothing.
void SetCmdUnderFleet(int cmd, int fleet);
// When the commander has a country and a fleet: that fleet, when alive, leaves the map; he leads
// no fleet afterwards.
void ReleaseCmdFromFleet(int cmd);
// Limit(level * attack per level + attack base, 1, 999).
int GetCmdAtkBase(int cmd);
// The same scaled by k / 100, k = max(30, 100 - fatigue / 10).
int GetCmdAtk(int cmd);
int GetCmdDefBase(int cmd);
int GetCmdDef(int cmd);
int GetCmdDirect(int cmd);
int GetCmdMind(int cmd);
// value below 1 unchanged, else (100 - spirit) * value / 100.
int ApplyCmdMind(int cmd, int value);
int GetCmdFatigue(int cmd);
void SetCmdFatigue(int cmd, std::int64_t fatigue);  // clamped to 0..1000
int GetCmdFatiguePercent(int cmd);                  // fatigue / 10
// A commander without a fleet loses 100 fatigue (not below 0).
void RestCmd(int cmd);
// Mode 2 reads CMD_NAME, CMD_CG, CMD_ATK_MOD, CMD_DEF_MOD, CMD_ATK_MOD_UP, CMD_DEF_MOD_UP,
// CMD_DIRECT, CMD_MIND; every mode then CMD_BELONG, CMD_EXP, CMD_LEV, CMD_CLASS_NAME,
// CMD_UNDER_FLEET, CMD_FATIGUE. A missing file does nothing.
void SaveLoadCmd(TDatFile* fp, int mode);

}  // namespace vdmq
