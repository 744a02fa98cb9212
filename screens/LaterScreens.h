#pragma once
// The opening functions of the screens that the main window's command buttons open. Each stands in
// for its screen until that screen is built: it opens nothing and answers "nothing chosen".

namespace vdmq {

// The planet screen of a planet for a country. Replaced by the planet screen.
void ShowPlanetWindow(int planet, int country);

}  // namespace vdmq
