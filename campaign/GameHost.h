#pragma once
// The one place where the campaign engine and the battle reach the subsystems built after them:
// message box, event dialogue, save/load screen, map view, command bar, sound, music, movies, the
// battle window, cursor, pauses and letting window messages run. The default host is headless: it
// answers questions with OK, takes pauses in zero time and draws nothing. The screens install the
// real host; tests install recording fakes derived from TGameHost.

#include <string>
#include <variant>
#include <vector>

namespace vdmq {

// One argument of an event dialogue script: a text (CP932) or the integer that follows the
// portrait tokens "0" and "1". A script starts with an empty text and ends with "END_STR".
using TEventMesArg = std::variant<std::string, int>;
using TEventMesScript = std::vector<TEventMesArg>;

class TGameHost {
 public:
  virtual ~TGameHost() = default;

  // --- pacing and the message loop ---
  // A blocking pause on the message-loop thread (no window message is handled meanwhile).
  virtual void Sleep(int /*ms*/) {}
  // Lets every pending window message run, then returns.
  virtual void ProcessMessages() {}

  // --- the tactical battle (battle/Btmain, battle/Btqvmap) ---
  // Runs the battle window modally for the battle set up in BtInfo (arena, view, timer) until
  // it closes. Answers false when there is no window: the battle entry then fights the battle
  // headless to its end with the frame simulation.
  virtual bool ExecBattle() { return false; }
  // The battle window's paused state (speed mode 0): ticks then only redraw.
  virtual bool IsBattlePaused() { return false; }
  // The battle window's panel: refreshes the unit buttons and the commander's face.
  virtual void UpdateBtPanel() {}
  // Scrolls the battle window's six hit-report lines up and writes text (CP932) at the bottom.
  virtual void AddBtMessage(const std::string& /*text*/) {}
  // The game's message box while the battle runs (pauses the battle around it): 1 OK, 2 Cancel.
  virtual int SysMesBt(const std::string& /*text*/, const std::string& /*caption*/, int /*withCancel*/) { return 1; }
  // Starts the battle's CD track looping (space or planet battle), and the map track afterwards.
  virtual void PlayBattleBgm() {}
  virtual void PlayMapBgm() {}
  // Repaints the main window at once (after a battle).
  virtual void RepaintMainWindow() {}

  // --- the strategic map view and the main window's captions (world model, scenario) ---
  // Queues one sprite draw into layer 0..3 of the strategic map view while it redraws: map
  // position in pixels (cell x 30), offsets, draw mode, sheet slot and frame.
  virtual void AddMapOp(int /*layer*/, int /*mapX*/, int /*mapY*/, int /*dx*/, int /*dy*/, int /*drawMode*/,
                        int /*sheet*/, int /*frame*/) {}
  // Full redraw of the strategic map view.
  virtual void DrawMap() {}
  // Centres the strategic map view on a planet's cell (nothing for a planet off the map).
  virtual void SetMapCenterPlanet(int /*planet*/) {}
  // The main window's year and funds captions (CP932); nothing while there is no main window.
  virtual void ShowYearCaption(const std::string& /*text*/) {}
  virtual void ShowFundCaption(const std::string& /*text*/) {}
  // Empties the movie queue, queues one movie (file kind, number) and plays it to its end.
  virtual void PlayAvi(int /*kind*/, int /*number*/) {}

  // --- map model, save/load and the data-file locator (campaign/Qvmap, Gmain, File_manager) ---
  // The map view's visible part for queueing cells: origin cell, view size in pixels and the cursor
  // cell (-1, -1 none). False when there is no map view (nothing is queued then).
  struct TMapViewWindow {
    int originX = 0, originY = 0, width = 0, height = 0, cursorX = -1, cursorY = -1;
  };
  virtual bool GetMapViewWindow(TMapViewWindow* /*window*/) { return false; }
  // After a load: reloads the map view's background and map chips and redraws it.
  virtual void ReloadMapView() {}
  // The hourglass cursor for the whole screen (on) or the plain arrow (off).
  virtual void SetWaitCursor(bool /*on*/) {}
  // A sound effect or voice clip (file kind, number) when the sound option is on; wait for its end
  // or return at once.
  virtual void PlayWave(int /*kind*/, int /*number*/, bool /*wait*/) {}
  // The game's message box (CP932 text with "<BR>" breaks): 1 OK, 2 Cancel.
  virtual int SysMes(const std::string& /*text*/, const std::string& /*caption*/, int /*withCancel*/) { return 1; }
  // The platform's own message box with OK and Cancel ("\n" breaks): 1 OK, 2 Cancel. Headless:
  // Cancel, so a disc prompt without a player ends instead of asking forever.
  virtual int PlatformMessageBox(const std::string& /*text*/, const std::string& /*caption*/) { return 2; }
  // The quit question; true when the program may end (headless: true, nobody to ask).
  virtual bool ConfirmGameEnd() { return true; }
  // Tells the main window to close.
  virtual void CloseMainWindow() {}
  // The debug window's switches (all off in play) and its message sink.
  virtual bool GetDebugSw(int /*n*/) { return false; }
  virtual void DebugMes(const std::string& /*text*/) {}
  // The debug window's battle test settings: the percent of its battle-by-chance box, and the
  // hull picture number of its battle picture box; -1 while the box is not checked (always in
  // play).
  virtual int GetDebugBattleChance() { return -1; }
  virtual int GetDebugShipCg() { return -1; }

  // --- the scenario's event dialogue ---
  // Shows an event dialogue script page by page in the event window and returns when the player
  // has paged through it (the headless host returns at once).
  virtual void EventMes(const TEventMesScript& /*script*/) {}

  // --- map clicks, computer players and the turn flow (campaign/Qvmap, Cpu_turn, Gmain) ---
  // The battle entry (planet -1 for a fleet battle, defender fleet -1 for a planet attack): the
  // battle runs to its end with its result applied. The default runs RunBattleEntry below.
  virtual void BattleStart(int attacker, int attackerFleet, int defender, int defenderFleet, int planet);
  // Centres the strategic map view on a cell.
  virtual void SetMapCenter(int /*x*/, int /*y*/) {}
  // Draws the minimap base from the loaded map.
  virtual void MakeZenBase() {}
  // Enables or disables the main window's command bar.
  virtual void SetCmdEnable(bool /*on*/) {}
  // The main window's quit flag: set once the player has confirmed ending the program.
  virtual bool IsGameEnd() { return false; }
  // The save/load screen: a slot 0..14, -2 for a new game, -1 for cancel (headless: -1).
  virtual int ShowSaveLoad(bool /*saveMode*/, bool /*wayBack*/) { return -1; }
  // The fleet screen, the planet screen and the fleet selector of a planet (modal).
  virtual void ShowFleetForm(int /*country*/, int /*fleet*/) {}
  virtual void ShowPlanetWindow(int /*planet*/, int /*country*/) {}
  virtual void ShowFleetSelByPlanet(int /*planet*/) {}

  // Further operations are added here by the units that need them, each with a headless default.
};

// The battle entry that the battle library installs (nullptr: none). The campaign library does not
// link the battle; the program (or a test) installs BtBattleStart here.
using TBattleEntry = void (*)(int attacker, int attackerFleet, int defender, int defenderFleet, int planet);
void SetBattleEntry(TBattleEntry entry);
TBattleEntry GetBattleEntry();
// Runs the installed battle entry; without one the battle is decided for the attacker at once: a
// planet changes hands with the attacking fleet moving onto it, a defending fleet returns home.
void RunBattleEntry(int attacker, int attackerFleet, int defender, int defenderFleet, int planet);

// The installed host (the headless default until SetGameHost is called).
TGameHost& GameHost();
// Installs a host; nullptr restores the headless default. The caller keeps ownership.
void SetGameHost(TGameHost* host);

}  // namespace vdmq
