#pragma once
// Test helpers for map operations, computer players and the turn flow: a game host that records
// every request to the screens, answers the questions from queues and takes pauses in zero time,
// and an open test map installed as the map model.

#include <deque>
#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include "campaign/GameHost.h"
#include "campaign/Qvmap.h"
#include "platform/base/Sjis.h"
#include "WorldSupport.h"

namespace vdmq::test {

class TTurnHost : public TGameHost {
 public:
  TTurnHost() { SetGameHost(this); }
  ~TTurnHost() override { SetGameHost(nullptr); }
  TTurnHost(const TTurnHost&) = delete;
  TTurnHost& operator=(const TTurnHost&) = delete;

  void Sleep(int ms) override {
    sleeps.push_back(ms);
    if (onSleep) onSleep();
  }
  void ProcessMessages() override {
    ++processed;
    if (onProcess) onProcess();
  }
  void DrawMap() override { ++draws; }
  void SetMapCenterPlanet(int planet) override { centredPlanets.push_back(planet); }
  void SetMapCenter(int x, int y) override { centredCells.push_back({x, y}); }
  void SetCmdEnable(bool on) override { cmd.push_back(on); }
  bool IsGameEnd() override { return quit; }
  int SysMes(const std::string& text, const std::string& caption, int withCancel) override {
    messages.push_back(SjisToUtf8(text));
    captions.push_back(SjisToUtf8(caption));
    cancelFlags.push_back(withCancel);
    if (answers.empty()) return 1;
    const int a = answers.front();
    answers.pop_front();
    return a;
  }
  int ShowSaveLoad(bool saveMode, bool wayBack) override {
    saveLoadCalls.push_back({saveMode, wayBack});
    if (saveLoadAnswers.empty()) return -1;
    const int a = saveLoadAnswers.front();
    saveLoadAnswers.pop_front();
    return a;
  }
  void ShowFleetForm(int country, int fleet) override {
    fleetForms.push_back({country, fleet});
    if (onFleetForm) onFleetForm(country, fleet);
  }
  void ShowPlanetWindow(int planet, int country) override { planetWindows.push_back({planet, country}); }
  void ShowFleetSelByPlanet(int planet) override { fleetSels.push_back(planet); }
  void BattleStart(int attacker, int attackerFleet, int defender, int defenderFleet, int planet) override {
    battles.push_back({attacker, attackerFleet, defender, defenderFleet, planet});
    if (decideBattles) TGameHost::BattleStart(attacker, attackerFleet, defender, defenderFleet, planet);
  }
  void PlayWave(int kind, int number, bool wait) override { waves.push_back({kind, number, wait}); }
  void PlayAvi(int kind, int number) override { movies.push_back({kind, number}); }
  void PlayMapBgm() override { ++mapMusic; }
  void ReloadMapView() override { ++reloads; }
  void MakeZenBase() override { ++zenBases; }
  void DebugMes(const std::string& text) override { debug.push_back(SjisToUtf8(text)); }

  bool HasDebug(const std::string& utf8) const {
    for (const std::string& d : debug) {
      if (d == utf8) return true;
    }
    return false;
  }

  std::vector<int> sleeps;
  int processed = 0;
  int draws = 0;
  std::vector<int> centredPlanets;
  std::vector<std::pair<int, int>> centredCells;
  std::vector<bool> cmd;
  bool quit = false;
  std::vector<std::string> messages, captions;
  std::vector<int> cancelFlags;
  std::deque<int> answers;
  std::vector<std::pair<bool, bool>> saveLoadCalls;
  std::deque<int> saveLoadAnswers;
  std::vector<std::pair<int, int>> fleetForms;
  std::vector<std::pair<int, int>> planetWindows;
  std::vector<int> fleetSels;
  std::vector<std::tuple<int, int, int, int, int>> battles;
  bool decideBattles = true;
  std::vector<std::tuple<int, int, bool>> waves;
  std::vector<std::pair<int, int>> movies;
  int mapMusic = 0;
  int reloads = 0;
  int zenBases = 0;
  std::vector<std::string> debug;
  std::function<void()> onSleep;
  std::function<void()> onProcess;
  std::function<void(int, int)> onFleetForm;
};

// An open 54 x 54 map installed as the map model, and a clean world (countries 0..13 with turn
// order = index, all destroyed and at peace).
class TTestMap {
 public:
  TTestMap() {
    ResetWorld();
    map.ClearMap();
    QvMap = &map;
  }
  ~TTestMap() { QvMap = nullptr; }
  TTestMap(const TTestMap&) = delete;
  TTestMap& operator=(const TTestMap&) = delete;
  TQvMap map;
};

}  // namespace vdmq::test
