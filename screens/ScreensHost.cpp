#include "screens/ScreensHost.h"

#include "campaign/Planet.h"
#include "platform/core/Application.h"
#include "platform/core/Desktop.h"
#include "platform/core/StdCtrls.h"
#include "screens/Debug.h"
#include "screens/F_evmes.h"
#include "screens/F_fleet.h"
#include "screens/F_flsel.h"
#include "screens/F_planet.h"
#include "screens/F_save.h"
#include "screens/F_sysmes.h"
#include "screens/Main.h"
#include "screens/Qvgraph.h"
#include "screens/f_avi.h"

namespace vdmq {

int PlatformSysMes(const std::string& text, const std::string& caption, int withCancel) {
  std::string lines;
  for (size_t at = 0; at < text.size();) {
    const size_t br = text.find("<BR>", at);
    if (br == std::string::npos) {
      lines += text.substr(at);
      break;
    }
    lines += text.substr(at, br - at) + "\n";
    at = br + 4;
  }
  const int answer = App().MessageBox(lines, caption, withCancel == 1 ? MB_OKCANCEL : MB_OK);
  return answer == IDOK ? 1 : 2;
}

void TScreensHost::Sleep(int ms) { vdmq::Sleep(static_cast<std::uint32_t>(ms < 0 ? 0 : ms)); }

void TScreensHost::ProcessMessages() { App().ProcessMessages(); }

int TScreensHost::SysMes(const std::string& text, const std::string& caption, int withCancel) {
  if (fmSysMes == nullptr) return PlatformSysMes(text, caption, withCancel);
  return vdmq::SysMes(text, caption, withCancel);
}

int TScreensHost::SysMesBt(const std::string& text, const std::string& caption, int withCancel) {
  if (fmSysMes == nullptr) return PlatformSysMes(text, caption, withCancel);
  return vdmq::SysMesBt(text, caption, withCancel);
}

int TScreensHost::PlatformMessageBox(const std::string& text, const std::string& caption) {
  return App().MessageBox(text, caption, MB_OKCANCEL) == IDOK ? 1 : 2;
}

int TScreensHost::ShowSaveLoad(bool saveMode, bool wayBack) { return vdmq::ShowSaveLoad(saveMode, wayBack); }

void TMapViewGameHost::AddMapOp(int layer, int mapX, int mapY, int dx, int dy, int drawMode, int sheet, int frame) {
  if (QvMapGraph == nullptr) return;
  TGraphOp op;
  op.mapX = mapX;
  op.mapY = mapY;
  op.dx = dx;
  op.dy = dy;
  op.drawMode = drawMode;
  op.sheet = sheet;
  op.frame = frame;
  QvMapGraph->AddOp(layer, &op);
}

bool TMapViewGameHost::GetMapViewWindow(TMapViewWindow* window) {
  if (QvMapGraph == nullptr || window == nullptr || QvMapGraph->ViewSurface() == nullptr) return false;
  window->originX = QvMapGraph->OriginX();
  window->originY = QvMapGraph->OriginY();
  window->width = QvMapGraph->ViewSurface()->Width();
  window->height = QvMapGraph->ViewSurface()->Height();
  window->cursorX = QvMapGraph->CursorX();
  window->cursorY = QvMapGraph->CursorY();
  return true;
}

void TMapViewGameHost::DrawMap() {
  if (QvMapGraph != nullptr) QvMapGraph->Draw();
}

void TMapViewGameHost::SetMapCenter(int x, int y) {
  if (QvMapGraph != nullptr) QvMapGraph->SetCenter(x, y);
}

void TMapViewGameHost::SetMapCenterPlanet(int planet) {
  if (QvMapGraph != nullptr) QvMapGraph->SetCenterPlanet(planet);
}

void TScreensHost::ReloadMapView() {
  if (QvMapGraph == nullptr) return;
  QvMapGraph->LoadBg();
  QvMapGraph->LoadMapChip();
  QvMapGraph->Draw();
}

void TScreensHost::MakeZenBase() {
  if (QvMapGraph != nullptr) QvMapGraph->MakeZenBase();
}

void TScreensHost::SetCmdEnable(bool on) {
  if (fmMain != nullptr) fmMain->SetCmdEnable(on);
}

void TScreensHost::ShowYearCaption(const std::string& text) {
  if (fmMain != nullptr) fmMain->lbYear->SetCaption(text);
}

void TScreensHost::ShowFundCaption(const std::string& text) {
  if (fmMain != nullptr) fmMain->lbFund->SetCaption(text);
}

bool TScreensHost::ConfirmGameEnd() { return vdmq::ConfirmGameEnd(); }

bool TScreensHost::IsGameEnd() { return vdmq::IsGameEnd(); }

void TScreensHost::CloseMainWindow() {
  if (fmMain != nullptr) fmMain->Close();
}

void TScreensHost::SetWaitCursor(bool on) { Desktop().SetCursor(on ? TCursorShape::HourGlass : TCursorShape::Arrow); }

void TScreensHost::RepaintMainWindow() {
  if (fmMain != nullptr) fmMain->Repaint();
}

void TScreensHost::ShowFleetForm(int country, int fleet) { vdmq::ShowFleetForm(country, fleet); }

void TScreensHost::ShowPlanetWindow(int planet, int country) { vdmq::ShowPlanetWindow(planet, country); }

void TScreensHost::EventMes(const TEventMesScript& script) { vdmq::EventMes(script); }

void TScreensHost::PlayWave(int kind, int number, bool wait) { vdmq::PlayWave(kind, number, wait); }

void TScreensHost::PlayAvi(int kind, int number) { vdmq::PlayAvi(kind, number); }

void TScreensHost::PlayMapBgm() { PlayCdTrack(GetMapBgmTrack(), true); }

void TScreensHost::PlayBattleBgm() { PlayCdTrack(GetBattleBgmTrack(), true); }

bool TScreensHost::GetDebugSw(int n) { return vdmq::GetDebugSw(n); }

void TScreensHost::DebugMes(const std::string& text) { vdmq::DebugMes(text); }

int TScreensHost::GetDebugBattleChance() { return vdmq::GetDebugBattleChance(); }

int TScreensHost::GetDebugShipCg() { return vdmq::GetDebugShipCg(); }

void TScreensHost::ShowFleetSelByPlanet(int planet) { vdmq::ShowFleetSelByPlanet(planet); }

}  // namespace vdmq
