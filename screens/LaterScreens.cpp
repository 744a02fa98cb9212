#include "screens/LaterScreens.h"

namespace vdmq {

void ShowDockForm(int /*country*/, int /*mode*/, int* planet, int* dock) {
  if (planet) *planet = -1;
  if (dock) *dock = -1;
}

void ShowTecWindow() {}

int ShowFleetSel(int /*country*/) { return -1; }

int ShowPlaSel(int /*mode*/, int /*planet*/, int /*country*/) { return -1; }

void ShowPlanetWindow(int /*planet*/, int /*country*/) {}

void ShowSystem() {}

}  // namespace vdmq
