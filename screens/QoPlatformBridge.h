#pragma once
// The archive and graphics library's platform services answered through the window layer: paths
// through the game's path mapping, the message box and the exception display of the application
// object, and the temporary folder of the system services. It lives with the game screens, the
// layer that knows both the window layer and the archive library; the program's main window
// installs one with SetQoPlatform for its run.

#include <string>

#include "qolib/pack/Quorvel.h"

namespace vdmq {

class TQoPlatformBridge : public TQoPlatform {
 public:
  // The native path of a game path (vdmq::NativePath).
  std::string NativePath(const std::string& path) override;
  // App().MessageBox; answers its button.
  int MessageBox(const std::string& text, const std::string& caption, unsigned style) override;
  // App().ShowException.
  void ShowException(const std::string& text) override;
  // The native form of the system's temporary folder, ending with "/"; false when there is none.
  bool TempPath(std::string& out) override;
};

}  // namespace vdmq
