#pragma once
// The one place where the campaign engine and the battle reach the subsystems built after them:
// message box, event dialogue, save/load screen, map view, command bar, sound, music, movies, the
// battle window, cursor, pauses and letting window messages run. The default host is headless: it
// answers questions with OK, takes pauses in zero time and draws nothing. The screens install the
// real host; tests install recording fakes derived from TGameHost.

#include <string>

namespace vdmq {

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
  virtual int SysMesBt(const std::string& /*text*/, const std::string& /*caption*/, int /*withCancel*/) {
    return 1;
  }
  // The game's message box outside the battle window: 1 OK, 2 Cancel.
  virtual int BtSysMes(const std::string& /*text*/, const std::string& /*caption*/, int /*withCancel*/) {
    return 1;
  }
  // Starts the battle's CD track looping (space or planet battle), and the map track afterwards.
  virtual void PlayBattleBgm() {}
  virtual void PlayMapBgm() {}
  // A sound effect or voice clip of a file kind and number, waiting for its end or not.
  virtual void BtPlayWave(int /*kind*/, int /*number*/, bool /*wait*/) {}
  // The scenario's before-battle and after-battle triggers.
  virtual void EvTrgBattleStart() {}
  virtual void EvTrgBattleEnd() {}
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

  // Further operations are added here by the units that need them, each with a headless default.
};

// The installed host (the headless default until SetGameHost is called).
TGameHost& GameHost();
// Installs a host; nullptr restores the headless default. The caller keeps ownership.
void SetGameHost(TGameHost* host);

}  // namespace vdmq
