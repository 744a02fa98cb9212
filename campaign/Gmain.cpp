#include "campaign/Gmain.h"

#include <cstdio>
#include <string>

#include "campaign/Cmd.h"
#include "campaign/Country.h"
#include "campaign/Cpu_turn.h"
#include "campaign/Dock.h"
#include "campaign/FileKinds.h"
#include "campaign/Fleet.h"
#include "campaign/GameHost.h"
#include "campaign/GameSave.h"
#include "campaign/Planet.h"
#include "campaign/Qvmap.h"
#include "campaign/Save.h"
#include "campaign/Story.h"
#include "campaign/W5ev_trg.h"
#include "platform/base/Sjis.h"

namespace vdmq {

namespace {
int turnCountry = 0;
// Depth of EndPlayerTurn and of the game-over screens (they may nest).
int turnRunning = 0;
// The player's capital as last seen at a game's start and at each player turn start: the game-over
// report names it after it has fallen (the country then has no capital any more).
int homeWorld = -1;

constexpr int kTurnPause = 500;

struct TTurnRunning {
  TTurnRunning() { ++turnRunning; }
  ~TTurnRunning() { --turnRunning; }
  TTurnRunning(const TTurnRunning&) = delete;
  TTurnRunning& operator=(const TTurnRunning&) = delete;
};

void RememberHomeWorld() {
  const int capital = GetCountryCapital(GetPlayerCountry());
  if (capital != -1) homeWorld = capital;
}

// The map view centred on the country's capital, when the country lives.
void CentreOnCountry(int country) {
  if (IsCountryAlive(country)) GameHost().SetMapCenterPlanet(GetCountryCapital(country));
}

bool PlayerPlays() { return IsCountryAlive(GetPlayerCountry()) && !GetGameEndFlag(); }

// The first living country of the turn order, -1 when none.
int CountryOfTurn(int order) {
  for (int c = 0; c < kCountryCount; ++c) {
    if (IsCountryAlive(c) && GetCountryTurn(c) == order) return c;
  }
  return -1;
}
}  // namespace

void SetTurnCountry(int country) { turnCountry = country; }
int GetTurnCountry() { return turnCountry; }
bool IsTurnRunning() { return turnRunning > 0; }

void StartCountryTurn(int country) {
  TGameHost& host = GameHost();
  const bool player = IsPlayerCountry(country);
  SetTurnCountry(country);
  CollectCountryIncome(country);
  if (player) {
    RememberHomeWorld();
    CentreOnCountry(country);
    char text[64];
    std::snprintf(text, sizeof text, SJS("今期の収入 %d").c_str(), GetCountryIncomeFund(country));
    host.SysMes(text, SJS("報告"), 0);
  }
  ResetFleetTurnFlags(country);
  ArriveReturningFleets(country);
  if (QvMap != nullptr) QvMap->CalcSupply(country);
  if (ChkInCountryNum(country)) AdvanceDocks(country);
  for (int cmd = 0; cmd < kCmdCount; ++cmd) {
    if (ChkInCountryNum(country) && GetCmdBelong(cmd) == country) RestCmd(cmd);
  }
  EvTrgTurn();
  host.Sleep(kTurnPause);
  CentreOnCountry(country);
  if (player && !GetGameEndFlag()) {
    host.PlayWave(GetFukukanVoice(), 2, false);
    host.SysMes(SJS("プレイヤーのターン"), SJS("確認"), 0);
  }
}

void EndCountryTurn(int /*country*/) {
  if (!GameHost().IsGameEnd()) EvTrgTurnAfter();
}

void EndPlayerTurn() {
  TTurnRunning running;
  TGameHost& host = GameHost();
  host.SetCmdEnable(false);
  const int player = GetPlayerCountry();
  EndCountryTurn(player);
  for (int order = 1; order <= 13; ++order) {
    const int country = CountryOfTurn(order);
    if (country != -1) {
      host.ProcessMessages();
      // The player confirmed the program's end meanwhile: the rest of the round is abandoned.
      if (host.IsGameEnd()) return;
      StartCountryTurn(country);
      CpuTurn(country);
      EndCountryTurn(country);
    }
    if (!PlayerPlays()) break;
  }
  if (PlayerPlays()) {
    AdvanceStoryCnt();
    AdvanceStoryDate();
    StartCountryTurn(player);
    ChkGameOver();
    host.SetCmdEnable(true);
    return;
  }
  ChkGameOver();
}

void ChkGameOver() {
  if (PlayerPlays()) return;
  TTurnRunning running;
  TGameHost& host = GameHost();
  if (!IsCountryAlive(GetPlayerCountry())) {
    const char* name = GetPlanetName(homeWorld);
    host.SysMes(
        std::string(name != nullptr ? name : "") + SJS("陥落しました・・・") + "<BR>" + SJS("ゲームオーバーです。"),
        SJS("報告"), 0);
  }
  SetGameEndFlag(false);
  ChooseGameAtStart();
  host.SetCmdEnable(true);
}

void ChooseGameAtStart() {
  TGameHost& host = GameHost();
  // The screen has no way back; a game that fails to load leaves the old world, so it asks again.
  for (;;) {
    const int answer = host.ShowSaveLoad(false, false);
    if (answer == -2) {
      if (!SaveLoadGame(kSaveModeNew, -1)) continue;
      StartNewGame();
    } else if (answer >= 0 && answer < kSaveSlotCount) {
      if (!SaveLoadGame(kSaveModeLoad, answer)) continue;
      StartLoadedGame();
    }
    break;
  }
}

void InitGameScreen() {
  TGameHost& host = GameHost();
  SetTurnCountry(0);
  homeWorld = -1;
  RememberHomeWorld();
  ShowStoryDate();
  ShowTotalFund();
  host.ReloadMapView();
  host.MakeZenBase();
  host.DrawMap();
}

void StartNewGame() {
  TGameHost& host = GameHost();
  InitGameScreen();
  host.PlayAvi(kFileKindMovie, 1);
  StartCountryTurn(GetPlayerCountry());
  host.SetCmdEnable(true);
}

void StartLoadedGame() {
  TGameHost& host = GameHost();
  InitGameScreen();
  host.PlayMapBgm();
  host.SetCmdEnable(true);
}

}  // namespace vdmq
