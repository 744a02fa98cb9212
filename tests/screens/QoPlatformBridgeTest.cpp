// The archive library's platform services answered through the window layer: paths through the game's
// path mapping, the temporary folder of the system services, the application's box and exception
// display.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/core/MessageDialog.h"
#include "platform/headless/TestKit.h"
#include "platform/sys/Files.h"
#include "platform/sys/Services.h"
#include "screens/QoPlatformBridge.h"

namespace vdmq {
namespace {

TEST(QoPlatformBridge, PathsAndTheTemporaryFolder) {
  TFakeSysServices sys;
  TQoPlatformBridge bridge;
  EXPECT_EQ(bridge.NativePath("C:\\vdmq\\dat\\BMP.PAK"), sys.Native("C:\\vdmq\\dat\\BMP.PAK"));
  EXPECT_EQ(bridge.NativePath(".\\dat\\BMP.PAK"), "dat/BMP.PAK");

  std::string temp = "unchanged";
  for (const char* folder : {"C:\\work\\tmp\\", "C:\\work\\tmp"}) {
    sys.files->SetTempPath(folder);
    ASSERT_TRUE(bridge.TempPath(temp)) << folder;
    EXPECT_EQ(temp, sys.Native("C:\\work\\tmp") + "/") << folder;
  }
  sys.files->SetTempPath("");
  temp = "unchanged";
  EXPECT_FALSE(bridge.TempPath(temp));
  EXPECT_EQ(temp, "unchanged");
}

TEST(QoPlatformBridge, BoxAndExceptionGoThroughTheApplication) {
  THeadlessSession session;
  TQoPlatformBridge bridge;
  std::vector<std::string> boxes;
  unsigned key = VK_RETURN;
  session.Backend.Driver = [&] {
    auto* box = dynamic_cast<TMessageForm*>(TopModal());
    if (box == nullptr) return false;
    boxes.push_back(box->Caption() + ":" + std::to_string(box->ButtonCount()));
    PressKey(key, 0, false);
    return true;
  };
  EXPECT_EQ(bridge.MessageBox("CRC error", "Archive", kQoMbOk | kQoMbIconStop), IDOK);
  key = VK_ESCAPE;
  EXPECT_EQ(bridge.MessageBox("Insert the disc", "Disc", MB_OKCANCEL), IDCANCEL);
  EXPECT_EQ(boxes, (std::vector<std::string>{"Archive:1", "Disc:2"}));

  std::vector<std::string> shown;
  App().OnException = [&](const std::string& s) { shown.push_back(s); };
  bridge.ShowException("broken entry");
  EXPECT_EQ(shown, std::vector<std::string>{"broken entry"});
}

}  // namespace
}  // namespace vdmq
