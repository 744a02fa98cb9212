#include "screens/LaterScreens.h"

namespace vdmq {

void ShowPlanetWindow(int /*planet*/, int /*country*/) {}

}  // namespace vdmq
