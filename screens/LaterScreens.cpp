#include "screens/LaterScreens.h"

namespace vdmq {

void ShowSystem() {}

}  // namespace vdmq
