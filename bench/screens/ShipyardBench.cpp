// The shipyard's screens and the selectors in a running game on the headless back end over the
// generated data set: from the injected click until the new screen is up and presented (goal: each
// under 50 ms), and a column click on a dock list of 300 docks and on a commander list of 120 until
// its repaint is presented (goal: under 16 ms).
#include <benchmark/benchmark.h>

#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "campaign/Cmd.h"
#include "campaign/Country.h"
#include "campaign/Dock.h"
#include "campaign/Planet.h"
#include "formkit/Chbcbtn.h"
#include "platform/headless/TestKit.h"
#include "screens/F_cm_sel.h"
#include "screens/F_dock.h"
#include "screens/F_save.h"
#include "screens/F_sysmes.h"
#include "screens/Main.h"
#include "support/GameFolder.h"

using namespace vdmq;

namespace {

using TClock = std::chrono::steady_clock;

// One step of the walk: the modal form it waits for ("" the main window), what it does there, and
// the name of the timing it starts (a click) or ends (the form is up and presented).
struct TStep {
  std::string on;
  std::function<void(TForm*)> act;
  std::string starts, ends;
};

void ClickNamed(TForm* f, const char* name) { Click(Find<TControl>(f, name), mbLeft, false); }

// Every dock of every planet on the map belongs to the player.
void GiveEveryDock() {
  const int player = GetPlayerCountry();
  int placed = 0;
  for (int p = 0; p < kPlanetCount; ++p) {
    if (!IsPlanetOnMap(p)) PlanetData[p].X = PlanetData[p].Y = placed++ % 50;
    PlanetData[p].Belong = player;
    for (int d = 0; d < kPlanetDockCount; ++d)
      if (DockData[p].Abt[d] <= 0) DockData[p].Abt[d] = 10;
  }
}

// The dock screen's first free dock line (the list is in name order).
void ChooseFreeDock(TForm* f) {
  auto* dock = static_cast<TfmDock*>(f);
  for (int i = 0; i < dock->List.Count && i < 10; ++i) {
    const int e = dock->List.Places[static_cast<size_t>(i)];
    if (GetDockState(e / 3, e % 3) == kDockStateEmpty) {
      Click(dock->List.lbList[i], mbLeft, false);
      return;
    }
  }
}

std::map<std::string, double> Walk(const std::vector<TStep>& steps) {
  test::TGameFolder folder;
  std::map<std::string, double> ms;
  std::map<std::string, std::pair<TClock::time_point, int>> started;
  size_t next = 0;
  THeadlessSession* session = nullptr;
  WinMain([&] {
    auto s = std::make_shared<THeadlessSession>();
    session = s.get();
    s->Backend.Driver = [&] {
      TForm* top = TopModal();
      const std::string cls = top ? top->ClassName() : "";
      if (auto* save = dynamic_cast<TfmSave*>(top)) {
        Click(save->btnNewGame, mbLeft, false);
        return true;
      }
      if (next >= steps.size()) {
        if (top == fmSysMes) Click(fmSysMes->btnOk, mbLeft, false);
        else if (top == nullptr) fmMain->Close();
        else top->ModalResult = mrCancel;
        return true;
      }
      const TStep& step = steps[next];
      if (cls != step.on) {
        if (top != fmSysMes) return false;
        Click(fmSysMes->btnOk, mbLeft, false);
        return true;
      }
      if (!step.ends.empty()) {
        const auto& [begin, presents] = started[step.ends];
        if (session->Backend.PresentCount() <= presents) return false;
        ms[step.ends] = std::chrono::duration<double, std::milli>(TClock::now() - begin).count();
      }
      ++next;
      if (!step.starts.empty()) started[step.starts] = {TClock::now(), session->Backend.PresentCount()};
      step.act(top);
      return true;
    };
    return std::static_pointer_cast<void>(s);
  });
  return ms;
}

std::vector<TStep> ShipyardWalk() {
  auto click = [](const char* name) { return [name](TForm* f) { ClickNamed(f, name); }; };
  auto nothing = [](TForm*) {};
  return {
      {"", [](TForm*) { Click(fmMain->btnDock, mbLeft, false); }, "dock", ""},
      {"TfmDock", click("btnClose"), "", "dock"},
      {"", [](TForm*) { Click(fmMain->btnTec, mbLeft, false); }, "tec", ""},
      {"TfmTec", click("CHBcBitBtn1"), "keypad", "tec"},
      {"TfmDentaku", click("btnBack"), "", "keypad"},
      {"TfmTec", click("btnClose"), "", ""},
      {"", [](TForm*) { Click(fmMain->btnDock, mbLeft, false); }, "", ""},
      {"TfmDock", ChooseFreeDock, "", ""},
      {"TfmDock", click("btnZousen"), "designer", ""},
      {"TfmBuild", click("btnFrame"), "", "designer"},
      {"TfmParts", click("btnOk"), "", ""},
      {"TfmSysMes", [](TForm*) { Click(fmSysMes->btnCancel, mbLeft, false); }, "", ""},
      {"TfmBuild", click("btnMainWeapon"), "selector", ""},
      {"TfmParts", click("btnBack"), "", "selector"},
      {"TfmBuild", click("btnClose"), "", ""},
      {"TfmDock", click("btnClose"), "", ""},
      {"", [](TForm*) {
         GiveEveryDock();
         Click(fmMain->btnDock, mbLeft, false);
       }, "", ""},
      {"TfmDock", click("btnPla"), "column", ""},
      {"TfmDock", nothing, "", "column"},
      {"TfmDock", click("btnClose"), "", ""},
  };
}

// "艦隊編成" and "拠点" from the command bar, then the commander selector over every commander of
// the table, all given to the player, sorted by a column.
std::vector<TStep> SelectorWalk() {
  auto click = [](const char* name) { return [name](TForm* f) { ClickNamed(f, name); }; };
  auto nothing = [](TForm*) {};
  return {
      {"", [](TForm*) { Click(fmMain->btnFleet, mbLeft, false); }, "fleet_selector", ""},
      {"TfmFleetSel", click("btnClose"), "", "fleet_selector"},
      {"", [](TForm*) { Click(fmMain->btnPlanet, mbLeft, false); }, "planet_selector", ""},
      {"TfmPlaSel", click("btnClose"), "", "planet_selector"},
      {"", [](TForm*) {
         for (int c = 0; c < kCmdCount; ++c) CmdData[c].Belong = GetPlayerCountry();
         ShowCmdSel(1, GetPlayerCountry(), -1);
       }, "", ""},
      {"TfmCmdSel", click("btnLev"), "commander_column", ""},
      {"TfmCmdSel", nothing, "", "commander_column"},
      {"TfmCmdSel", click("btnBack"), "", ""},
  };
}

void RunWalk(benchmark::State& state, const std::function<std::vector<TStep>()>& walk) {
  std::map<std::string, double> total;
  int runs = 0;
  for (auto _ : state) {
    const auto ms = Walk(walk());
    double sum = 0;
    for (const auto& [name, value] : ms) {
      total[name] += value;
      sum += value;
    }
    ++runs;
    state.SetIterationTime(sum / 1000);
  }
  for (const auto& [name, value] : total) state.counters[name + "_ms"] = value / runs;
}

void BM_ShipyardScreensUntilPresented(benchmark::State& state) { RunWalk(state, ShipyardWalk); }
BENCHMARK(BM_ShipyardScreensUntilPresented)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_SelectorsUntilPresented(benchmark::State& state) { RunWalk(state, SelectorWalk); }
BENCHMARK(BM_SelectorsUntilPresented)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
