#include "screens/QoPlatformBridge.h"

#include "platform/core/Application.h"
#include "platform/sys/Files.h"
#include "platform/sys/PathMapper.h"
#include "platform/sys/Services.h"

namespace vdmq {

std::string TQoPlatformBridge::NativePath(const std::string& path) { return vdmq::NativePath(path); }

int TQoPlatformBridge::MessageBox(const std::string& text, const std::string& caption, unsigned style) {
  return App().MessageBox(text, caption, style);
}

void TQoPlatformBridge::ShowException(const std::string& text) { App().ShowException(text); }

bool TQoPlatformBridge::TempPath(std::string& out) {
  std::string path = vdmq::NativePath(Sys().files->TempPath());
  if (path.empty()) return false;
  if (path.back() != '/') path += '/';
  out = std::move(path);
  return true;
}

}  // namespace vdmq
