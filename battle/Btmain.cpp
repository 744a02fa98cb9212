#include "battle/Btmain.h"

#include <cstdio>
#include <memory>
#include <string>

#include "battle/Btinfo.h"
#include "battle/Btqvmap.h"
#include "campaign/Cmd.h"
#include "campaign/Country.h"
#include "campaign/Fleet.h"
#include "campaign/GameHost.h"
#include "campaign/Planet.h"
#include "campaign/Stdfunc.h"
#include "campaign/Story.h"
#include "campaign/W5ev_trg.h"
#include "platform/base/Sjis.h"

namespace vdmq {

namespace {

// Experience and the fatigue step of a commander; a fleet without commander (-1) is skipped.
void RewardCmd(int cmd, int exp, int fatigue) {
  if (cmd == -1) return;
  AddCmdExp(cmd, exp);
  SetCmdFatigue(cmd, GetCmdFatigue(cmd) + ApplyCmdMind(cmd, fatigue));
}

std::string CaptureReport(const std::string& fmt, int planet) {
  const char* name = GetPlanetName(planet);
  const std::string n = name != nullptr ? name : "";
  std::string out;
  const size_t at = fmt.find("%s");
  out = fmt.substr(0, at) + n + fmt.substr(at + 2);
  return out;
}

}  // namespace

bool BtPlayerRetreat() {
  if (BtInfo.winner != -1) return false;
  BtInfo.winner = BtInfo.player != BtInfo.attacker ? BtInfo.attacker : BtInfo.defender;
  return true;
}

int BtRunBattleHeadless() {
  // The arena lives as long as the battle: BtQvMap points at it until the run ends in any way,
  // a throwing tick included, and is cleared before the arena goes.
  struct TArenaScope {
    std::unique_ptr<TBtQvMap> arena = std::make_unique<TBtQvMap>();
    TArenaScope() { BtQvMap = arena.get(); }
    ~TArenaScope() { BtQvMap = nullptr; }
    TArenaScope(const TArenaScope&) = delete;
    TArenaScope& operator=(const TArenaScope&) = delete;
  } scope;
  TBtQvMap& arena = *scope.arena;
  arena.Setup();
  int ticks = 0;
  for (;;) {
    ++ticks;
    if (!BtBattleTick()) break;
    if (ticks >= kBtHeadlessFrameLimit) BtPlayerRetreat();
  }
  arena.SetEnd();
  arena.Clear();
  return ticks;
}

void BtBattleStart(int attacker, int attackerFleet, int defender, int defenderFleet, int planet) {
  BtSetInfo(attacker, attackerFleet, defender, defenderFleet, planet);
  if (BtInfo.player == -1) BtInfo.winner = attacker;
  TGameHost& host = GameHost();
  EvTrgBattleStart();
  // The debug window's battle switches (all off in play): a battle won outright, or decided by
  // chance with the percent of its edit box.
  if (host.GetDebugSw(kBtDebugSwWin) && BtInfo.winner == -1) BtInfo.winner = BtInfo.player;
  if (BtInfo.winner == -1) {
    const int chance = host.GetDebugBattleChance();
    if (chance >= 0) BtInfo.winner = ChkRand(chance) ? BtInfo.player : BtInfo.playerOpponent;
  }
  if (BtInfo.winner == -1) {
    host.PlayBattleBgm();
    if (!host.ExecBattle()) BtRunBattleHeadless();
    host.PlayMapBgm();
  }
  host.RepaintMainWindow();
  BtApplyResult();
  EvTrgBattleEnd();
}

void BtApplyResult() {
  TBtInfo& b = BtInfo;
  TGameHost& host = GameHost();
  if (b.player != -1) host.PlayWave(GetFukukanVoice(), b.winner == b.player ? 0 : 1, true);

  if (b.winner == b.attacker) {
    RewardCmd(b.attackerCmd, b.kind == kBtKindPlanet ? 50 : 30, 50);
    if (b.kind == kBtKindPlanet) {
      // A planet the scenario took off the map during the battle has no cell to move onto: the
      // attacking fleet then keeps its own cell instead of being stranded off the map for good.
      if (IsPlanetOnMap(b.planet)) SetFleetXY(b.attacker, b.attackerFleet, GetPlanetX(b.planet), GetPlanetY(b.planet));
      const bool capital = b.planet == GetCountryCapital(b.defender);
      const bool byPlayer = IsPlayerCountry(b.attacker);
      const std::string& fmt =
          byPlayer ? (capital ? SJS("本拠地、%sを<BR>占領しました。") : SJS("拠点、%sを<BR>占領しました。"))
                   : (capital ? SJS("本拠地、%sを<BR>占領されました。") : SJS("拠点、%sを<BR>占領されました。"));
      host.SysMes(CaptureReport(fmt, b.planet), SJS("報告"), 0);
      SetPlanetBelong(b.planet, b.attacker);
    } else {
      RewardCmd(b.defenderCmd, 10, 250);
      SetFleetReturning(b.defender, b.defenderFleet);
    }
  } else {
    if (b.kind != kBtKindPlanet) RewardCmd(b.defenderCmd, 30, 50);
    RewardCmd(b.attackerCmd, 10, 250);
    SetFleetReturning(b.attacker, b.attackerFleet);
  }
}

}  // namespace vdmq
