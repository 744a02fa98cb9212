#pragma once
// The opening functions of the screens that the main window's command buttons open. Each stands in
// for its screen until that screen is built: it opens nothing and answers "nothing chosen".

namespace vdmq {

// The fleet selector of a country; the fleet chosen, -1 for none. Replaced by the fleet selector.
int ShowFleetSel(int country);
// The planet selector (mode, initial planet, country filter); the planet chosen, -1 for none.
// Replaced by the planet selector.
int ShowPlaSel(int mode, int planet, int country);
// The planet screen of a planet for a country. Replaced by the planet screen.
void ShowPlanetWindow(int planet, int country);

}  // namespace vdmq
