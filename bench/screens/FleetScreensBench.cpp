// The fleet and planet screens in a running game on the headless back end over the generated data
// set, each from the injected click until the new screen is up and presented (goal: each under
// 50 ms): a fleet button of the fleet selector → fleet screen, "交代" → commander selector, the
// fleet screen's commander "詳細" → information screen, "決定" in the planet selector → planet
// screen.
#include "ScreenWalkBench.h"
#include "campaign/Country.h"
#include "support/ScreenPicks.h"

using namespace vdmq;
using namespace vdmq::bench;

namespace {

std::vector<TStep> FleetWalk() {
  auto click = [](const char* name) { return [name](TForm* f) { ClickNamed(f, name); }; };
  return {
      {"", [](TForm*) { Click(fmMain->btnFleet, mbLeft, false); }, "", ""},
      {"TfmFleetSel", click("btnFl0"), "fleet_screen", ""},
      {"TfmFleet", click("btnCmdChg"), "commander_selector", "fleet_screen"},
      {"TfmCmdSel", click("btnBack"), "", "commander_selector"},
      {"TfmFleet", click("btnCmdInfo"), "information", ""},
      {"TfmInfo", click("btnBack"), "", "information"},
      {"TfmFleet", click("btnClose"), "", ""},
      {"TfmFleetSel", click("btnClose"), "", ""},
      {"", [](TForm*) { Click(fmMain->btnPlanet, mbLeft, false); }, "", ""},
      {"TfmPlaSel", [](TForm* f) { test::PickPlanetLine(f, GetCountryCapital(GetPlayerCountry())); }, "", ""},
      {"TfmPlaSel", click("btnOk"), "planet_screen", ""},
      {"TfmPlanet", click("btnClose"), "", "planet_screen"},
  };
}

void BM_FleetScreensUntilPresented(benchmark::State& state) { RunWalks(state, FleetWalk); }
BENCHMARK(BM_FleetScreensUntilPresented)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
