#pragma once
// The game host of the tests: it records every request the campaign engine and the battle make of
// the screens, answers the questions from queues (or with the headless answers), takes pauses in
// zero time, and lets a test act at a pause, at a message-loop turn, at a prompt or when the fleet
// screen opens. It installs itself for its lifetime.
//
// Every action also lands in one ordered log as "<kind> <arguments>" (texts in UTF-8); Calls picks
// the entries of some kinds, so a test checks the order of the calls it cares about. The log has no
// entries for the questions (paused, quit flag, debug switches, view window) nor for the per-frame
// map sprites, battle panel refreshes and hit-report lines, which have lists of their own.

#include <deque>
#include <functional>
#include <initializer_list>
#include <string>
#include <string_view>
#include <tuple>
#include <utility>
#include <vector>

#include "campaign/GameHost.h"

namespace vdmq::test {

// One queued sprite of the strategic map view.
struct TMapOp {
  int layer, mapX, mapY, dx, dy, drawMode, sheet, frame;
  bool operator==(const TMapOp&) const = default;
};

class TRecordingHost : public TGameHost {
 public:
  TRecordingHost();
  ~TRecordingHost() override;
  TRecordingHost(const TRecordingHost&) = delete;
  TRecordingHost& operator=(const TRecordingHost&) = delete;

  // The log entries whose kind (first word) is one of the given kinds, in order.
  std::vector<std::string> Calls(std::initializer_list<std::string_view> kinds) const;
  // True when a debug-window line (UTF-8) was written.
  bool HasDebug(const std::string& utf8) const;

  // ---- pacing and the message loop ----
  void Sleep(int ms) override;      // "sleep <ms>"
  void ProcessMessages() override;  // "process"
  // ---- the battle ----
  bool ExecBattle() override;  // "exec"; no window: the battle is fought headless
  bool IsBattlePaused() override { return paused; }
  void UpdateBtPanel() override { ++panelUpdates; }
  void AddBtMessage(const std::string& text) override { btMessages.push_back(text); }
  int SysMesBt(const std::string& text, const std::string& caption, int withCancel) override;  // "mesbt <text>"
  void PlayBattleBgm() override;                                                               // "battle-bgm"
  void PlayMapBgm() override;                                                                  // "map-bgm"
  void RepaintMainWindow() override;                                                           // "repaint"
  // ---- map view, captions, sound and movies ----
  void AddMapOp(int layer, int mapX, int mapY, int dx, int dy, int drawMode, int sheet, int frame) override;
  void DrawMap() override;                       // "draw"
  void SetMapCenterPlanet(int planet) override;  // "centre <planet>"
  void SetMapCenter(int x, int y) override;      // "centre-cell <x> <y>"
  void ShowYearCaption(const std::string& text) override { yearCaptions.push_back(text); }
  void ShowFundCaption(const std::string& text) override { fundCaptions.push_back(text); }
  void PlayAvi(int kind, int number) override;              // "movie <kind> <number>"
  void PlayWave(int kind, int number, bool wait) override;  // "wave <kind> <number>[ wait]"
  bool GetMapViewWindow(TMapViewWindow* window) override;
  void ReloadMapView() override;  // "reload"
  void MakeZenBase() override { ++zenBases; }
  void SetWaitCursor(bool on) override { cursor.push_back(on); }
  // ---- boxes, questions and the debug window ----
  int SysMes(const std::string& text, const std::string& caption, int withCancel) override;  // "mes <text>"
  int PlatformMessageBox(const std::string& text, const std::string& caption) override;      // "prompt <text>"
  bool ConfirmGameEnd() override;                                                            // "confirm-end"
  void CloseMainWindow() override;                                                           // "close"
  bool GetDebugSw(int n) override { return n == debugSw; }
  void DebugMes(const std::string& text) override;
  int GetDebugBattleChance() override { return debugChance; }
  int GetDebugShipCg() override { return debugCg; }
  void EventMes(const TEventMesScript& script) override;  // "event <scenario dialogue id, -1 other>"
  // ---- map clicks, computer players and the turn flow ----
  // "battle <attacker> <fleet> <defender> <fleet> <planet>"; decided by the battle entry when
  // decideBattles is on.
  void BattleStart(int attacker, int attackerFleet, int defender, int defenderFleet, int planet) override;
  void SetCmdEnable(bool on) override;  // "cmd on" / "cmd off"
  bool IsGameEnd() override { return quit; }
  int ShowSaveLoad(bool saveMode, bool wayBack) override;  // "save-load save|load"
  void ShowFleetForm(int country, int fleet) override;
  void ShowPlanetWindow(int planet, int country) override { planetWindows.push_back({planet, country}); }
  void ShowFleetSelByPlanet(int planet) override { fleetSels.push_back(planet); }

  // ---- what was asked ----
  std::vector<std::string> log;
  std::vector<int> sleeps;
  int processed = 0;
  int execBattles = 0;
  int panelUpdates = 0;
  std::vector<std::string> btMessages;  // hit-report lines (CP932)
  std::vector<TMapOp> ops;
  int draws = 0;
  std::vector<int> centredPlanets;
  std::vector<std::pair<int, int>> centredCells;
  std::vector<std::string> yearCaptions, fundCaptions;  // CP932
  std::vector<std::pair<int, int>> movies;              // (file kind, number)
  std::vector<std::tuple<int, int, bool>> waves;        // (file kind, number, wait)
  int mapMusic = 0;
  int reloads = 0;
  int zenBases = 0;
  std::vector<bool> cursor;
  // Message boxes, the game's and the battle's, in order: text and caption in UTF-8, the Cancel
  // button, and which box ("SysMes" or "SysMesBt").
  std::vector<std::string> messages, captions, boxKinds;
  std::vector<int> cancelFlags;
  std::vector<std::string> prompts, promptCaptions;  // the platform's message box (UTF-8)
  int questions = 0;                                 // quit questions asked
  int closes = 0;
  std::vector<std::string> debug;  // debug-window lines (UTF-8)
  std::vector<int> dialogues;      // scenario dialogue ids shown
  std::vector<std::tuple<int, int, int, int, int>> battles;
  std::vector<bool> cmd;
  std::vector<std::pair<bool, bool>> saveLoadCalls;  // (save mode, way back)
  std::vector<std::pair<int, int>> fleetForms, planetWindows;
  std::vector<int> fleetSels;

  // ---- how it answers ----
  std::deque<int> answers;          // message boxes, in turn; then OK (1)
  std::vector<int> promptAnswers;   // the platform's box, by prompt; the last repeats; none: Cancel (2)
  std::deque<int> saveLoadAnswers;  // the save/load screen, in turn; then cancel (-1)
  bool confirmEnd = true;           // the quit question
  bool quit = false;                // the main window's quit flag
  bool paused = false;              // the battle window's pause
  bool decideBattles = true;        // BattleStart runs the battle entry
  bool hasView = false;             // a map view exists, showing `view`
  TMapViewWindow view;
  int debugSw = -1;  // the one debug switch that is on
  int debugChance = -1;
  int debugCg = -1;
  std::function<void()> onSleep;
  std::function<void()> onProcess;
  std::function<void(int prompt)> onPrompt;  // numbered from 1
  std::function<void(int country, int fleet)> onFleetForm;

 private:
  int Box(const std::string& text, const std::string& caption, int withCancel, const char* kind);
};

}  // namespace vdmq::test
