// SETUP: the setup program on the real window.

#include <cstdlib>
#include <exception>
#include <memory>

#include "platform/sdl/SdlSession.h"
#include "setup/SetupMain.h"

int main() {
  try {
    return vdmq::setup::SetupMain([]() -> std::shared_ptr<void> {
      // Without a display SDL would fall back to a window no one can see.
      const char* x11 = std::getenv("DISPLAY");
      const char* wayland = std::getenv("WAYLAND_DISPLAY");
      if ((!x11 || !*x11) && (!wayland || !*wayland)) {
        vdmq::ReportStartupError("SETUP needs a graphical session: neither DISPLAY nor WAYLAND_DISPLAY is set");
        return nullptr;
      }
      try {
        return std::make_shared<vdmq::TSdlSession>();
      } catch (const std::exception& e) {
        vdmq::ReportStartupError(e.what());
        return nullptr;
      }
    });
  } catch (const std::exception& e) {
    vdmq::ReportStartupError(e.what());
    return 1;
  }
}
