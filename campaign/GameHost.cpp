#include "campaign/GameHost.h"

namespace vdmq {
namespace {
TGameHost g_headless;
TGameHost* g_host = &g_headless;
}  // namespace

TGameHost& GameHost() { return *g_host; }
void SetGameHost(TGameHost* host) { g_host = host ? host : &g_headless; }

}  // namespace vdmq
