#include "screens/LaterScreens.h"

namespace vdmq {

int ShowFleetSel(int /*country*/) { return -1; }

int ShowPlaSel(int /*mode*/, int /*planet*/, int /*country*/) { return -1; }

void ShowPlanetWindow(int /*planet*/, int /*country*/) {}

}  // namespace vdmq
