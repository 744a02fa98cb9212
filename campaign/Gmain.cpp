#include "campaign/Gmain.h"

namespace vdmq {

namespace {
int turnCountry = 0;
}  // namespace

void SetTurnCountry(int country) { turnCountry = country; }
int GetTurnCountry() { return turnCountry; }

}  // namespace vdmq
