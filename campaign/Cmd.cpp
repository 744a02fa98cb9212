#include "campaign/Cmd.h"

#include <algorithm>
#include <climits>

#include "campaign/CmdNames.h"
#include "campaign/Country.h"
#include "campaign/Fleet.h"
#include "campaign/Planet.h"
#include "campaign/Save.h"
#include "platform/base/GameError.h"

namespace vdmq {

TCmdData CmdData[kCmdCount];

namespace {

TCmdData& Cmd(int cmd) {
  ChkInCmdNum(cmd);
  return CmdData[cmd];
}

int Clamp64(std::int64_t v, std::int64_t low, std::int64_t high) { return static_cast<int>(std::clamp(v, low, high)); }

// level x per level + base, limited to 1..999, scaled by k / 100 first when k is given. The raw
// value is bounded before the scaling: anything beyond the bound ends at 1 or 999 either way.
int CmdValue(const TCmdData& c, std::int32_t base, std::int32_t perLevel, std::int64_t k) {
  std::int64_t raw = static_cast<std::int64_t>(c.Lev) * perLevel + base;
  raw = std::clamp<std::int64_t>(raw, -1000000, 1000000);
  return Clamp64(raw * k / 100, 1, 999);
}

// max(30, 100 - fatigue / 10)
std::int64_t FatigueFactor(const TCmdData& c) { return std::max<std::int64_t>(30, 100 - c.Fatigue / 10); }

}  // namespace

void ChkInCmdNum(int cmd) {
  if (cmd < 0 || cmd >= kCmdCount) ThrowFunctionError("ChkInCmdNum");
}

void ChkInCmdClassNameNum(int classNum) {
  if (classNum < 0 || classNum >= kCmdClassNameCount) ThrowFunctionError("ChkInCmdClassNameNum");
}

const char* GetCmdName(int cmd) {
  const char* name = CmdNameText(Cmd(cmd).Name);
  return name != nullptr ? name : "";
}

int GetCmdCg(int cmd) { return Cmd(cmd).Cg; }

bool IsCmdBelong(int cmd) { return Cmd(cmd).Belong != -1; }

int GetCmdBelong(int cmd) { return Cmd(cmd).Belong; }

void SetCmdBelong(int cmd, int country) {
  TCmdData& c = Cmd(cmd);
  if (c.Belong != -1 && c.UnderFleet != -1) ReleaseCmdFromFleet(cmd);
  c.Belong = country;
}

int GetCmdExp(int cmd) { return Cmd(cmd).Exp; }

void SetCmdExp(int cmd, std::int64_t exp) { Cmd(cmd).Exp = Clamp64(exp, 0, kCmdExpMax); }

int AddCmdExp(int cmd, std::int64_t amount) {
  TCmdData& c = Cmd(cmd);
  // A level read from a file outside 1..50 is taken as its nearest bound, so the carry below
  // always ends within 50 steps (and the change is measured from that bound).
  const int oldLev = std::clamp(c.Lev, kCmdLevMin, kCmdLevMax);
  int lev = oldLev;
  std::int64_t exp = c.Exp;
  std::int64_t amt = amount;
  for (;;) {
    const std::int64_t e = exp + amt;
    if (e >= 0 && e < kCmdExpMax) {
      if (lev != kCmdLevMax) exp = e;  // at the top level the experience stays as it is
      break;
    }
    if (e >= kCmdExpMax) {
      if (lev == kCmdLevMax) {
        exp = 0;
        break;
      }
      amt -= kCmdExpMax - exp;
      exp = 0;
      ++lev;
    } else {
      if (lev == kCmdLevMin) {
        exp = 0;
        break;
      }
      amt += exp;
      exp = kCmdExpMax;
      --lev;
    }
  }
  c.Exp = Clamp64(exp, INT_MIN, INT_MAX);
  c.Lev = lev;
  return lev - oldLev;
}

int GetCmdLev(int cmd) { return Cmd(cmd).Lev; }

void SetCmdLev(int cmd, std::int64_t lev) { Cmd(cmd).Lev = Clamp64(lev, kCmdLevMin, kCmdLevMax); }

int SearchCmdByFleet(int country, int fleet) {
  if (country == -1 || fleet == -1) return -1;
  for (int i = 0; i < kCmdCount; ++i) {
    if (CmdData[i].Belong == country && CmdData[i].UnderFleet == fleet) return i;
  }
  return -1;
}

int GetCmdUnderFleet(int cmd) { return Cmd(cmd).UnderFleet; }

void SetCmdUnderFleet(int cmd, int fleet) {
  TCmdData& c = Cmd(cmd);
  if (fleet == -1) {
    ReleaseCmdFromFleet(cmd);
    return;
  }
  // A fleet number outside the table would be stored and later index past the fleet rows.
  if (fleet < 0 || fleet >= kFleetCount) return;
  if (c.UnderFleet == fleet || c.Belong == -1) return;
  const int other = GetFleetCmd(c.Belong, fleet);
  if (other == -1) {
    if (c.UnderFleet != -1) ReleaseCmdFromFleet(cmd);
    c.UnderFleet = fleet;
    if (IsFleetAlive(c.Belong, fleet)) {
      const int capital = GetCountryCapital(c.Belong);
      SetFleetXY(c.Belong, fleet, GetPlanetX(capital), GetPlanetY(capital));
    }
  } else if (c.UnderFleet == -1) {
    c.UnderFleet = fleet;
    CmdData[other].UnderFleet = -1;
  } else {
    CmdData[other].UnderFleet = c.UnderFleet;
    c.UnderFleet = fleet;
  }
}

void ReleaseCmdFromFleet(int cmd) {
  TCmdData& c = Cmd(cmd);
  if (c.Belong == -1 || c.UnderFleet == -1) return;
  if (IsFleetAlive(c.Belong, c.UnderFleet)) SetFleetXY(c.Belong, c.UnderFleet, -1, -1);
  c.UnderFleet = -1;
}

int GetCmdAtkBase(int cmd) {
  const TCmdData& c = Cmd(cmd);
  return CmdValue(c, c.AtkMod, c.AtkModUp, 100);
}

int GetCmdAtk(int cmd) {
  const TCmdData& c = Cmd(cmd);
  return CmdValue(c, c.AtkMod, c.AtkModUp, FatigueFactor(c));
}

int GetCmdDefBase(int cmd) {
  const TCmdData& c = Cmd(cmd);
  return CmdValue(c, c.DefMod, c.DefModUp, 100);
}

int GetCmdDef(int cmd) {
  const TCmdData& c = Cmd(cmd);
  return CmdValue(c, c.DefMod, c.DefModUp, FatigueFactor(c));
}

int GetCmdDirect(int cmd) { return Cmd(cmd).Direct; }

int GetCmdMind(int cmd) { return Cmd(cmd).Mind; }

int ApplyCmdMind(int cmd, int value) {
  const TCmdData& c = Cmd(cmd);
  if (value < 1) return value;
  return Clamp64((100 - static_cast<std::int64_t>(c.Mind)) * value / 100, INT_MIN, INT_MAX);
}

int GetCmdFatigue(int cmd) { return Cmd(cmd).Fatigue; }

void SetCmdFatigue(int cmd, std::int64_t fatigue) { Cmd(cmd).Fatigue = Clamp64(fatigue, 0, kCmdFatigueMax); }

int GetCmdFatiguePercent(int cmd) { return Cmd(cmd).Fatigue / 10; }

void RestCmd(int cmd) {
  TCmdData& c = Cmd(cmd);
  if (c.UnderFleet != -1) return;
  c.Fatigue = Clamp64(static_cast<std::int64_t>(c.Fatigue) - 100, 0, INT_MAX);
}

void SaveLoadCmd(TDatFile* fp, int mode) {
  if (fp == nullptr) return;
  auto block = [&](const char* key, std::int32_t TCmdData::*field) {
    ReadWriteKey(mode, fp, key, "int", kCmdCount);
    for (TCmdData& c : CmdData) ReadWriteData(mode, &(c.*field), 4, 1, fp);
  };
  if (mode == kSaveModeNew) {
    block("CMD_NAME", &TCmdData::Name);
    block("CMD_CG", &TCmdData::Cg);
    block("CMD_ATK_MOD", &TCmdData::AtkMod);
    block("CMD_DEF_MOD", &TCmdData::DefMod);
    block("CMD_ATK_MOD_UP", &TCmdData::AtkModUp);
    block("CMD_DEF_MOD_UP", &TCmdData::DefModUp);
    block("CMD_DIRECT", &TCmdData::Direct);
    block("CMD_MIND", &TCmdData::Mind);
  }
  block("CMD_BELONG", &TCmdData::Belong);
  block("CMD_EXP", &TCmdData::Exp);
  block("CMD_LEV", &TCmdData::Lev);
  block("CMD_CLASS_NAME", &TCmdData::ClassName);
  block("CMD_UNDER_FLEET", &TCmdData::UnderFleet);
  block("CMD_FATIGUE", &TCmdData::Fatigue);
}

}  // namespace vdmq
