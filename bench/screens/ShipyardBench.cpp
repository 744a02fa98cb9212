// The shipyard's screens and the selectors in a running game on the headless back end over the
// generated data set: from the injected click until the new screen is up and presented (goal: each
// under 50 ms), and a column click on a dock list of 300 docks and on a commander list of 120 until
// its repaint is presented (goal: under 16 ms).
#include "ScreenWalkBench.h"
#include "campaign/Cmd.h"
#include "campaign/Country.h"
#include "campaign/Dock.h"
#include "campaign/Planet.h"
#include "screens/F_cm_sel.h"
#include "screens/F_dock.h"
#include "support/ScreenPicks.h"

using namespace vdmq;
using namespace vdmq::bench;

namespace {

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
      {"TfmDock", [](TForm* f) { test::PickFreeDock(f); }, "", ""},
      {"TfmDock", click("btnZousen"), "designer", ""},
      {"TfmBuild", click("btnFrame"), "", "designer"},
      {"TfmParts", click("btnOk"), "", ""},
      {"TfmSysMes", [](TForm*) { Click(fmSysMes->btnCancel, mbLeft, false); }, "", ""},
      {"TfmBuild", click("btnMainWeapon"), "selector", ""},
      {"TfmParts", click("btnBack"), "", "selector"},
      {"TfmBuild", click("btnClose"), "", ""},
      {"TfmDock", click("btnClose"), "", ""},
      {"",
       [](TForm*) {
         GiveEveryDock();
         Click(fmMain->btnDock, mbLeft, false);
       },
       "", ""},
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
      {"",
       [](TForm*) {
         for (int c = 0; c < kCmdCount; ++c) CmdData[c].Belong = GetPlayerCountry();
         ShowCmdSel(1, GetPlayerCountry(), -1);
       },
       "", ""},
      {"TfmCmdSel", click("btnLev"), "commander_column", ""},
      {"TfmCmdSel", nothing, "", "commander_column"},
      {"TfmCmdSel", click("btnBack"), "", ""},
  };
}

void BM_ShipyardScreensUntilPresented(benchmark::State& state) { RunWalks(state, ShipyardWalk); }
BENCHMARK(BM_ShipyardScreensUntilPresented)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_SelectorsUntilPresented(benchmark::State& state) { RunWalks(state, SelectorWalk); }
BENCHMARK(BM_SelectorsUntilPresented)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
