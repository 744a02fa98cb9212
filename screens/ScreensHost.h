#pragma once
// The host the game's screens give the campaign and the battle: pauses and the message loop, the
// message box, the save/load screen, the strategic map view, the main window's command bar,
// captions and quit question, and the cursor. What is not built yet keeps the headless default.

#include <string>

#include "campaign/GameHost.h"

namespace vdmq {

// The strategic map view's side of the host, on the one map view (QvMapGraph): the map model's draw
// entries, the visible window, redraws and centring. Nothing while there is no view.
class TMapViewGameHost : public TGameHost {
 public:
  void AddMapOp(int layer, int mapX, int mapY, int dx, int dy, int drawMode, int sheet, int frame) override;
  bool GetMapViewWindow(TMapViewWindow* window) override;
  void DrawMap() override;
  void SetMapCenter(int x, int y) override;
  void SetMapCenterPlanet(int planet) override;
};

class TScreensHost : public TMapViewGameHost {
 public:
  void Sleep(int ms) override;
  void ProcessMessages() override;
  // The message box; before it exists, the platform's box with the same text, caption and buttons.
  int SysMes(const std::string& text, const std::string& caption, int withCancel) override;
  int SysMesBt(const std::string& text, const std::string& caption, int withCancel) override;
  int PlatformMessageBox(const std::string& text, const std::string& caption) override;
  int ShowSaveLoad(bool saveMode, bool wayBack) override;
  void ReloadMapView() override;
  void MakeZenBase() override;
  void SetCmdEnable(bool on) override;
  void ShowYearCaption(const std::string& text) override;
  void ShowFundCaption(const std::string& text) override;
  bool ConfirmGameEnd() override;
  bool IsGameEnd() override;
  void CloseMainWindow() override;
  void SetWaitCursor(bool on) override;
  void RepaintMainWindow() override;
  void ShowFleetForm(int country, int fleet) override;
  void ShowPlanetWindow(int planet, int country) override;
  void PlayWave(int kind, int number, bool wait) override;
  void PlayAvi(int kind, int number) override;
  void PlayMapBgm() override;
  void PlayBattleBgm() override;
  // The event window; nothing before it exists.
  void EventMes(const TEventMesScript& script) override;
  void ShowFleetSelByPlanet(int planet) override;
  // The debug window's switches, message sink and battle test settings.
  bool GetDebugSw(int n) override;
  void DebugMes(const std::string& text) override;
  int GetDebugBattleChance() override;
  int GetDebugShipCg() override;
};

// The platform box standing in for the message box: "<BR>" becomes a line break, OK (or OK and
// Cancel when withCancel is exactly 1); 1 for OK, else 2.
int PlatformSysMes(const std::string& text, const std::string& caption, int withCancel);

}  // namespace vdmq
