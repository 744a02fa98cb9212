// The game's program: the entry on the real window.
#include <exception>
#include <memory>

#include "battle/F_btmain.h"
#include "platform/sdl/SdlSession.h"
#include "screens/Main.h"

int main() {
  try {
    vdmq::InstallBattleWindow();
    return vdmq::WinMain([] { return std::make_shared<vdmq::TSdlSession>(); });
  } catch (const std::exception& e) {
    // The window system could not be opened (no display, a missing font).
    vdmq::ReportStartupError(e.what());
    return 1;
  }
}
