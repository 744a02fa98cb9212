// The three options: their table, and their registry values read and written.
#include <gtest/gtest.h>

#include "platform/sys/Registry.h"
#include "platform/sys/Services.h"
#include "screens/F_system.h"

namespace vdmq {
namespace {

constexpr const char* kKey = "SOFTWARE\\NAVIRO Veldmark\\Veldmark Q Try\\system";

TEST(Options, IndicesOutsideTheTableReadZeroAndWriteNothing) {
  for (int i : {-1, 3, 100}) {
    SetSysOption(i, 7);
    EXPECT_EQ(GetSysOption(i), 0) << i;
  }
  for (int i = 0; i < 3; ++i) EXPECT_EQ(GetSysOption(i), 1) << "every option starts at 1";
}

TEST(Options, ReadKeepsWhatIsMissingOrNotAnIntegerAndWriteStoresAllThree) {
  TFakeSysServices sys;
  {
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey(kKey, true));
    reg.WriteInteger("PCM", 0);
    reg.WriteString("TURN_MES", "0");
  }
  SysOptionReg(1);
  EXPECT_EQ(GetSysOption(kSysOptionBgm), 1) << "missing";
  EXPECT_EQ(GetSysOption(kSysOptionPcm), 0);
  EXPECT_EQ(GetSysOption(kSysOptionTurnMes), 1) << "not an integer";

  SetSysOption(kSysOptionBgm, 0);
  SysOptionReg(0);
  TRegistry reg;
  ASSERT_TRUE(reg.OpenKey(kKey, false));
  EXPECT_EQ(reg.ReadInteger("BGM"), 0);
  EXPECT_EQ(reg.ReadInteger("PCM"), 0);
  EXPECT_EQ(reg.ReadInteger("TURN_MES"), 1);
  for (int i = 0; i < 3; ++i) SetSysOption(i, 1);
}

}  // namespace
}  // namespace vdmq
