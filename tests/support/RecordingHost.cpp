#include "support/RecordingHost.h"

#include <algorithm>

#include "campaign/W5scn01.h"
#include "platform/base/Sjis.h"

namespace vdmq::test {

TRecordingHost::TRecordingHost() { SetGameHost(this); }
TRecordingHost::~TRecordingHost() { SetGameHost(nullptr); }

std::vector<std::string> TRecordingHost::Calls(std::initializer_list<std::string_view> kinds) const {
  std::vector<std::string> out;
  for (const std::string& entry : log) {
    const std::string_view kind = std::string_view(entry).substr(0, entry.find(' '));
    if (std::find(kinds.begin(), kinds.end(), kind) != kinds.end()) out.push_back(entry);
  }
  return out;
}

bool TRecordingHost::HasDebug(const std::string& utf8) const {
  return std::find(debug.begin(), debug.end(), utf8) != debug.end();
}

void TRecordingHost::Sleep(int ms) {
  sleeps.push_back(ms);
  log.push_back("sleep " + std::to_string(ms));
  if (onSleep) onSleep();
}

void TRecordingHost::ProcessMessages() {
  ++processed;
  log.push_back("process");
  if (onProcess) onProcess();
}

bool TRecordingHost::ExecBattle() {
  ++execBattles;
  log.push_back("exec");
  return false;
}

int TRecordingHost::Box(const std::string& text, const std::string& caption, int withCancel, const char* kind) {
  messages.push_back(SjisToUtf8(text));
  captions.push_back(SjisToUtf8(caption));
  cancelFlags.push_back(withCancel);
  boxKinds.push_back(kind);
  log.push_back(std::string(kind == std::string("SysMes") ? "mes " : "mesbt ") + messages.back());
  if (answers.empty()) return 1;
  const int a = answers.front();
  answers.pop_front();
  return a;
}

int TRecordingHost::SysMesBt(const std::string& text, const std::string& caption, int withCancel) {
  return Box(text, caption, withCancel, "SysMesBt");
}

int TRecordingHost::SysMes(const std::string& text, const std::string& caption, int withCancel) {
  return Box(text, caption, withCancel, "SysMes");
}

void TRecordingHost::PlayBattleBgm() { log.push_back("battle-bgm"); }

void TRecordingHost::PlayMapBgm() {
  ++mapMusic;
  log.push_back("map-bgm");
}

void TRecordingHost::RepaintMainWindow() { log.push_back("repaint"); }

void TRecordingHost::AddMapOp(int layer, int mapX, int mapY, int dx, int dy, int drawMode, int sheet, int frame) {
  ops.push_back({layer, mapX, mapY, dx, dy, drawMode, sheet, frame});
}

void TRecordingHost::DrawMap() {
  ++draws;
  log.push_back("draw");
}

void TRecordingHost::SetMapCenterPlanet(int planet) {
  centredPlanets.push_back(planet);
  log.push_back("centre " + std::to_string(planet));
}

void TRecordingHost::SetMapCenter(int x, int y) {
  centredCells.push_back({x, y});
  log.push_back("centre-cell " + std::to_string(x) + " " + std::to_string(y));
}

void TRecordingHost::PlayAvi(int kind, int number) {
  movies.push_back({kind, number});
  log.push_back("movie " + std::to_string(kind) + " " + std::to_string(number));
}

void TRecordingHost::PlayWave(int kind, int number, bool wait) {
  waves.push_back({kind, number, wait});
  log.push_back("wave " + std::to_string(kind) + " " + std::to_string(number) + (wait ? " wait" : ""));
}

bool TRecordingHost::GetMapViewWindow(TMapViewWindow* window) {
  if (!hasView) return false;
  *window = view;
  return true;
}

void TRecordingHost::ReloadMapView() {
  ++reloads;
  log.push_back("reload");
}

int TRecordingHost::PlatformMessageBox(const std::string& text, const std::string& caption) {
  prompts.push_back(SjisToUtf8(text));
  promptCaptions.push_back(SjisToUtf8(caption));
  log.push_back("prompt " + prompts.back());
  if (onPrompt) onPrompt(static_cast<int>(prompts.size()));
  if (promptAnswers.empty()) return 2;
  return promptAnswers[std::min(prompts.size(), promptAnswers.size()) - 1];
}

bool TRecordingHost::ConfirmGameEnd() {
  ++questions;
  log.push_back("confirm-end");
  return confirmEnd;
}

void TRecordingHost::CloseMainWindow() {
  ++closes;
  log.push_back("close");
}

void TRecordingHost::DebugMes(const std::string& text) { debug.push_back(SjisToUtf8(text)); }

void TRecordingHost::EventMes(const TEventMesScript& script) {
  int id = -1;
  for (int i = 0; i < kScn01MesCount; ++i) {
    if (&script == &Scn01Script(i)) id = i;
  }
  dialogues.push_back(id);
  log.push_back("event " + std::to_string(id));
}

void TRecordingHost::BattleStart(int attacker, int attackerFleet, int defender, int defenderFleet, int planet) {
  battles.push_back({attacker, attackerFleet, defender, defenderFleet, planet});
  log.push_back("battle " + std::to_string(attacker) + " " + std::to_string(attackerFleet) + " " +
                std::to_string(defender) + " " + std::to_string(defenderFleet) + " " + std::to_string(planet));
  if (decideBattles) TGameHost::BattleStart(attacker, attackerFleet, defender, defenderFleet, planet);
}

void TRecordingHost::SetCmdEnable(bool on) {
  cmd.push_back(on);
  log.push_back(on ? "cmd on" : "cmd off");
}

int TRecordingHost::ShowSaveLoad(bool saveMode, bool wayBack) {
  saveLoadCalls.push_back({saveMode, wayBack});
  log.push_back(saveMode ? "save-load save" : "save-load load");
  if (saveLoadAnswers.empty()) return -1;
  const int a = saveLoadAnswers.front();
  saveLoadAnswers.pop_front();
  return a;
}

void TRecordingHost::ShowFleetForm(int country, int fleet) {
  fleetForms.push_back({country, fleet});
  if (onFleetForm) onFleetForm(country, fleet);
}

}  // namespace vdmq::test
