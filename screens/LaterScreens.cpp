#include "screens/LaterScreens.h"

namespace vdmq {

void ShowPlanetWindow(int /*planet*/, int /*country*/) {}

void ShowSystem() {}

}  // namespace vdmq
