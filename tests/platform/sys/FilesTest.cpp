#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utime.h>

#include <ctime>

#include "SysTestSupport.h"
#include "platform/base/Sjis.h"
#include "platform/sys/Files.h"
#include "platform/sys/Services.h"

using namespace vdmq;

namespace {

std::vector<std::string> Names(const std::optional<std::vector<TFindEntry>>& entries) {
  std::vector<std::string> out;
  if (entries) {
    for (const auto& e : *entries) out.push_back(e.name + (e.isLink ? "@" : e.isFolder ? "/" : ""));
  }
  return out;
}

}  // namespace

class Files : public ::testing::Test {
 protected:
  TFakeSysServices fakes;
  TFileService& files = *fakes.files;
  std::string Native(const std::string& game) { return fakes.Native(game); }
};

TEST_F(Files, ExistsIsTrueForFilesAndLinksToFilesOnly) {
  fakes.WriteFile("C:\\game\\q_help.hlp", "help");
  ASSERT_EQ(symlink(Native("C:\\game\\q_help.hlp").c_str(), Native("C:\\game\\link").c_str()), 0);
  ASSERT_EQ(symlink("/nonexistent", Native("C:\\game\\dangling").c_str()), 0);
  EXPECT_TRUE(files.FileIsExist("C:\\game\\q_help.hlp"));
  EXPECT_TRUE(files.FileIsExist("c:\\GAME\\Q_HELP.HLP"));
  EXPECT_TRUE(files.FileIsExist("C:\\game\\link"));
  EXPECT_FALSE(files.FileIsExist("C:\\game\\dangling"));
  EXPECT_FALSE(files.FileIsExist("C:\\game"));  // a folder
  EXPECT_FALSE(files.FileIsExist("C:\\game\\"));
  EXPECT_FALSE(files.FileIsExist("D:\\VDM_Q.ID1"));  // no such drive
  EXPECT_TRUE(files.FolderExists("C:\\game\\"));
  EXPECT_FALSE(files.FolderExists("C:\\game\\q_help.hlp"));
}

TEST_F(Files, LastWriteTimeIsLocalTime) {
  fakes.WriteFile("C:\\save\\SAVE03.DAT", "x");
  std::tm tm{};
  tm.tm_year = 2024 - 1900;
  tm.tm_mon = 1;
  tm.tm_mday = 29;
  tm.tm_hour = 23;
  tm.tm_min = 58;
  tm.tm_sec = 7;
  tm.tm_isdst = -1;
  const utimbuf times{std::mktime(&tm), std::mktime(&tm)};
  ASSERT_EQ(utime(Native("C:\\save\\SAVE03.DAT").c_str(), &times), 0);
  const auto t = files.LastWriteTime("C:\\save\\save03.dat");
  ASSERT_TRUE(t);
  EXPECT_EQ(t->year, 2024);
  EXPECT_EQ(t->month, 2);
  EXPECT_EQ(t->day, 29);
  EXPECT_EQ(t->hour, 23);
  EXPECT_EQ(t->minute, 58);
  EXPECT_EQ(t->second, 7);
  EXPECT_FALSE(files.LastWriteTime("C:\\save\\SAVE04.DAT"));
}

TEST_F(Files, TempFolderAndFreeSpace) {
  EXPECT_EQ(files.TempPath(), "C:\\tmp\\");
  fakes.files->SetFreeBytes(5ull * 1024 * 1024);
  EXPECT_EQ(*files.FreeBytes("C:\\tmp\\"), 5ull * 1024 * 1024);
  fakes.files->SetFreeBytes(std::nullopt);
  // The real answer, also for a folder that does not exist yet (its nearest parent counts).
  const auto free = files.FreeBytes("C:\\tmp\\qinst_t\\not\\yet\\");
  ASSERT_TRUE(free);
  EXPECT_GT(*free, 0u);
  EXPECT_FALSE(files.FreeBytes("Q:\\"));

  TLinuxFileService real;
  const std::string t = real.TempPath();
  ASSERT_GE(t.size(), 4u);
  EXPECT_EQ(t.substr(0, 3), "C:\\");
  EXPECT_EQ(t.back(), '\\');
}

TEST_F(Files, FindAllListsSortedEntriesAndMarksLinks) {
  fakes.WriteFile("C:\\src\\b.txt", "b");
  fakes.WriteFile(SJS("C:\\src\\表.txt"), "k");
  fakes.WriteFile("C:\\src\\sub\\a.txt", "a");
  ASSERT_EQ(symlink("/etc", Native("C:\\src\\etc").c_str()), 0);
  EXPECT_EQ(Names(files.FindAll("C:\\src\\")),
            (std::vector<std::string>{"b.txt", "etc@", "sub/", SJS("表.txt")}));
  EXPECT_FALSE(files.FindAll("C:\\src\\etc"));  // a link is not entered
  EXPECT_FALSE(files.FindAll("C:\\src\\b.txt"));
  EXPECT_FALSE(files.FindAll("C:\\missing"));
}

TEST_F(Files, CopyReplacesButNeverWritesThroughOrCopiesALink) {
  fakes.WriteFile("C:\\a\\data.bin", "new");
  fakes.WriteFile("C:\\b\\data.bin", "old");
  fakes.WriteFile("C:\\outside\\victim", "keep");
  EXPECT_FALSE(files.CopyFile("C:\\a\\data.bin", "C:\\b\\data.bin", true));
  EXPECT_EQ(test::Read(Native("C:\\b\\data.bin")), "old");
  EXPECT_TRUE(files.CopyFile("C:\\a\\data.bin", "C:\\b\\data.bin", false));
  EXPECT_EQ(test::Read(Native("C:\\b\\data.bin")), "new");
  EXPECT_TRUE(files.CopyFile("C:\\a\\data.bin", "C:\\b\\fresh.bin", true));

  // A link at the target is replaced; what it pointed at stays as it was.
  ASSERT_EQ(symlink(Native("C:\\outside\\victim").c_str(), Native("C:\\b\\linked").c_str()), 0);
  EXPECT_TRUE(files.CopyFile("C:\\a\\data.bin", "C:\\b\\linked", false));
  EXPECT_EQ(test::Read(Native("C:\\outside\\victim")), "keep");
  struct stat st;
  ASSERT_EQ(lstat(Native("C:\\b\\linked").c_str(), &st), 0);
  EXPECT_TRUE(S_ISREG(st.st_mode));

  ASSERT_EQ(symlink(Native("C:\\outside\\victim").c_str(), Native("C:\\a\\ln").c_str()), 0);
  EXPECT_FALSE(files.CopyFile("C:\\a\\ln", "C:\\b\\ln", false));
  EXPECT_FALSE(files.CopyFile("C:\\a", "C:\\b\\dir", false));  // folders are not copied
  EXPECT_FALSE(files.CopyFile("C:\\a\\none", "C:\\b\\none", false));
  EXPECT_FALSE(files.CopyFile("C:\\a\\data.bin", "C:\\nofolder\\x", false));
  EXPECT_EQ(Names(files.FindAll("C:\\b")), (std::vector<std::string>{"data.bin", "fresh.bin", "linked"}));
}

TEST_F(Files, AttributesReadOnlyAndDeletion) {
  fakes.WriteFile("C:\\d\\ro.txt", "r");
  ASSERT_TRUE(files.CreateDirectory("C:\\d\\sub"));
  EXPECT_FALSE(files.CreateDirectory("C:\\d\\sub"));
  EXPECT_EQ(*files.GetAttributes("C:\\d\\ro.txt"), faNormal);
  EXPECT_EQ(*files.GetAttributes("C:\\d\\sub"), faDirectory);
  ASSERT_TRUE(files.SetAttributes("C:\\d\\ro.txt", faReadOnly));
  EXPECT_EQ(*files.GetAttributes("C:\\d\\ro.txt"), faReadOnly);
  EXPECT_FALSE(files.DeleteFile("C:\\d\\ro.txt"));  // read-only files stay
  ASSERT_TRUE(files.SetAttributes("C:\\d\\ro.txt", faNormal));
  EXPECT_TRUE(files.DeleteFile("C:\\d\\ro.txt"));
  EXPECT_FALSE(files.DeleteFile("C:\\d\\sub"));  // not a folder
  EXPECT_FALSE(files.RemoveDirectory("C:\\d"));  // not empty
  EXPECT_TRUE(files.RemoveDirectory("C:\\d\\sub\\"));
  EXPECT_TRUE(files.RemoveDirectory("C:\\d"));
  EXPECT_FALSE(files.GetAttributes("C:\\d"));
}

TEST_F(Files, TreesAreCopiedAndDeletedWithoutFollowingLinks) {
  fakes.WriteFile("C:\\cd\\qinst_t\\inst.exe", "installer");
  fakes.WriteFile("C:\\cd\\qinst_t\\data\\disk1.cab", "cab");
  fakes.WriteFile("C:\\cd\\qinst_t\\data\\deep\\x.txt", "x");
  fakes.WriteFile("C:\\precious\\file", "mine");
  ASSERT_TRUE(files.SetAttributes("C:\\cd\\qinst_t\\inst.exe", faReadOnly));
  ASSERT_EQ(symlink(Native("C:\\precious").c_str(), Native("C:\\cd\\qinst_t\\data\\ln").c_str()), 0);

  EXPECT_FALSE(files.CopyTree("C:\\cd\\qinst_t\\", "C:\\tmp\\qinst_t\\"));  // the link is reported
  EXPECT_EQ(test::Read(Native("C:\\tmp\\qinst_t\\data\\deep\\x.txt")), "x");
  EXPECT_EQ(test::Read(Native("C:\\tmp\\qinst_t\\inst.exe")), "installer");
  EXPECT_FALSE(test::Exists(Native("C:\\tmp\\qinst_t\\data\\ln")));

  ASSERT_EQ(symlink(Native("C:\\precious").c_str(), Native("C:\\tmp\\qinst_t\\data\\ln").c_str()), 0);
  ASSERT_TRUE(files.SetAttributes("C:\\tmp\\qinst_t\\inst.exe", faNormal));
  EXPECT_TRUE(files.DeleteTree("C:\\tmp\\qinst_t"));
  EXPECT_FALSE(test::Exists(Native("C:\\tmp\\qinst_t")));
  EXPECT_EQ(test::Read(Native("C:\\precious\\file")), "mine");  // the linked folder is untouched

  // A read-only file keeps its folder, and the rest still goes.
  EXPECT_FALSE(files.DeleteTree("C:\\cd"));
  EXPECT_TRUE(files.FileIsExist("C:\\cd\\qinst_t\\inst.exe"));
  EXPECT_FALSE(files.FolderExists("C:\\cd\\qinst_t\\data"));
}
