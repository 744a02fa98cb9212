#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utime.h>

#include <ctime>
#include <map>

#include "SysTestSupport.h"
#include "platform/base/Sjis.h"
#include "platform/sys/Drives.h"
#include "platform/sys/Files.h"
#include "platform/sys/Services.h"
#include "support/TreeListing.h"

using namespace vdmq;
using vdmq::test::Below;
using vdmq::test::Listing;
using vdmq::test::Without;

namespace {

std::vector<std::string> Names(const std::optional<std::vector<TFindEntry>>& entries) {
  std::vector<std::string> out;
  if (entries) {
    for (const auto& e : *entries) out.push_back(e.name + (e.isLink ? "@" : e.isFolder ? "/" : ""));
  }
  return out;
}

void MakeNative(const std::string& path, const std::string& bytes) {
  const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0644);
  ASSERT_GE(fd, 0) << path;
  ASSERT_EQ(write(fd, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
  close(fd);
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
  fakes.files->SetFreeBytesFailing(true);
  EXPECT_FALSE(files.FreeBytes("C:\\tmp\\"));
  fakes.files->SetFreeBytesFailing(false);

  TLinuxFileService real;
  const std::string t = real.TempPath();
  ASSERT_GE(t.size(), 4u);
  EXPECT_EQ(t.substr(0, 3), "C:\\");
  EXPECT_EQ(t.back(), '\\');
}

// Neither query follows a final link: a link is a link whatever it names, and its owner is its own.
TEST_F(Files, LinkAndOwnerQueriesLookAtThePathItself) {
  fakes.WriteFile("C:\\q\\file", "f");
  ASSERT_TRUE(files.CreateDirectory("C:\\q\\folder"));
  const std::string q = Native("C:\\q");
  ASSERT_EQ(symlink((q + "/file").c_str(), (q + "/tofile").c_str()), 0);
  ASSERT_EQ(symlink((q + "/folder").c_str(), (q + "/tofolder").c_str()), 0);
  ASSERT_EQ(symlink((q + "/gone").c_str(), (q + "/dangling").c_str()), 0);
  ASSERT_EQ(symlink("/", (q + "/toroot").c_str()), 0);
  struct Case {
    const char* path;
    bool link, owned, folder;
  };
  const Case cases[] = {
      {"C:\\q\\file", false, true, false},     {"C:\\q\\folder", false, true, true},
      {"C:\\q\\folder\\", false, true, true},  {"C:\\q\\tofile", true, true, false},
      {"C:\\q\\tofolder", true, true, false},  {"C:\\q\\tofolder\\", true, true, false},
      {"C:\\q\\dangling", true, true, false},  {"C:\\q\\toroot", true, true, false},
      {"C:\\q\\missing", false, false, false}, {"", false, false, false},
      {"Q:\\nodrive", false, false, false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(files.IsLink(c.path), c.link) << c.path;
    EXPECT_EQ(files.IsOwnedByUser(c.path), c.owned) << c.path;
    EXPECT_EQ(files.FolderExists(c.path), c.folder) << c.path;
  }
  // The file system's root belongs to another account (unless the tests run as root).
  fakes.drives->Set('E', "/", dtFixed);
  EXPECT_EQ(files.IsOwnedByUser("E:\\"), geteuid() == 0);
  // The fake marks what stands at a path as another account's.
  fakes.files->SetOwnedByOther("C:\\q\\folder\\");
  fakes.files->SetOwnedByOther("c:\\Q\\DANGLING");
  EXPECT_FALSE(files.IsOwnedByUser("C:\\q\\folder"));
  EXPECT_FALSE(files.IsOwnedByUser("C:\\q\\dangling"));
  EXPECT_TRUE(files.IsOwnedByUser("C:\\q\\tofolder"));
}

TEST_F(Files, FindAllListsSortedEntriesAndMarksLinks) {
  fakes.WriteFile("C:\\src\\b.txt", "b");
  fakes.WriteFile(SJS("C:\\src\\表.txt"), "k");
  fakes.WriteFile("C:\\src\\sub\\a.txt", "a");
  ASSERT_EQ(symlink("/etc", Native("C:\\src\\etc").c_str()), 0);
  EXPECT_EQ(Names(files.FindAll("C:\\src\\")), (std::vector<std::string>{"b.txt", "etc@", "sub/", SJS("表.txt")}));
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
  ASSERT_EQ(mkfifo(Native("C:\\a\\pipe").c_str(), 0644), 0);
  EXPECT_FALSE(files.CopyFile("C:\\a\\pipe", "C:\\b\\pipe", false));  // nor pipes (without waiting for a writer)
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

// A tree holding every name a hostile disc or user could give: names that would climb out once
// read as game paths, links to files and folders outside, a named pipe, code page 932 names with
// a 0x5C trail byte, names no game path can name.
class HostileTree : public Files {
 protected:
  void SetUp() override {
    fakes.WriteFile("C:\\victim.txt", "victim");
    fakes.WriteFile("C:\\keep.txt", "keep");
    fakes.WriteFile("C:\\outside\\secret", "secret");
    fakes.WriteFile("C:\\deep\\other", "other");
    fakes.WriteFile(SJS("C:\\tree\\ソ表\\能.txt"), "sjis");
    const std::string t = Native("C:\\tree");
    ASSERT_EQ(mkdir((t + "/sub").c_str(), 0755), 0);
    MakeNative(t + "/..\\victim.txt", "1");
    MakeNative(t + "/sub/..\\..\\keep.txt", "2");
    MakeNative(t + "/\\", "3");
    MakeNative(t + "/\xC2\xA5..\xC2\xA5victim.txt", "4");  // the yen sign converts to 0x5C
    MakeNative(t + "/bad\xFF", "5");
    ASSERT_EQ(mkdir((t + "/..\\outside").c_str(), 0755), 0);
    MakeNative(t + "/..\\outside/secret", "6");
    ASSERT_EQ(symlink(Native("C:\\outside").c_str(), (t + "/sub/dirlink").c_str()), 0);
    ASSERT_EQ(symlink(Native("C:\\outside\\secret").c_str(), (t + "/filelink").c_str()), 0);
    ASSERT_EQ(symlink("..", (t + "/up").c_str()), 0);
    ASSERT_EQ(mkfifo((t + "/pipe").c_str(), 0644), 0);
    before = Listing(fakes.Root());
  }
  std::map<std::string, std::string> before;
};

TEST_F(HostileTree, DeleteTreeRemovesTheWholeTreeAndNothingElse) {
  EXPECT_TRUE(files.DeleteTree("C:\\tree"));
  EXPECT_EQ(Listing(fakes.Root()), Without(before, "/c/tree"));
}

TEST_F(HostileTree, CopyTreeCopiesTheTreeAndNothingElse) {
  EXPECT_FALSE(files.CopyTree("C:\\tree", "C:\\deep\\dest"));  // links and the pipe are left out
  const auto after = Listing(fakes.Root());
  EXPECT_EQ(Without(after, "/c/deep/dest"), before);
  auto expected = Below(before, "/c/tree");
  std::erase_if(expected,
                [](const auto& e) { return e.second.rfind("link", 0) == 0 || e.second.rfind("special", 0) == 0; });
  EXPECT_EQ(Below(after, "/c/deep/dest"), expected);
}

TEST_F(HostileTree, FindAllLeavesOutAndReportsNamesNoGamePathCanName) {
  std::vector<std::string> unlisted;
  EXPECT_EQ(Names(files.FindAll("C:\\tree", &unlisted)),
            (std::vector<std::string>{"filelink@", "pipe", "sub/", "up@", SJS("ソ表/")}));
  EXPECT_EQ(unlisted, (std::vector<std::string>{"..\\outside", "..\\victim.txt", "\\", "bad\xFF",
                                                "\xC2\xA5..\xC2\xA5victim.txt"}));
  EXPECT_EQ(Names(files.FindAll(SJS("C:\\tree\\ソ表"))), (std::vector<std::string>{SJS("能.txt")}));
}

// The tree changes while it is walked: a folder or a file is swapped for a link to the outside
// just before the walk acts on it, in the source or in the copy. Nothing outside the two trees is
// read, written or deleted.
TEST_F(Files, ChangesDuringTheWalkNeverReachOutside) {
  const std::string tree = Native("C:\\tree"), dest = Native("C:\\dest"), outside = Native("C:\\outside");
  fakes.WriteFile("C:\\outside\\secret", "secret");
  fakes.WriteFile("C:\\outside\\inner\\x", "outside");
  const auto swapForLink = [&](const std::string& path) {
    ASSERT_EQ(rename(path.c_str(), (path + ".moved").c_str()), 0) << path;
    ASSERT_EQ(symlink(outside.c_str(), path.c_str()), 0);
  };
  struct Case {
    const char* what;
    bool copy;
    std::string when;  // the walk is about to act on this path
    std::function<void()> change;
  };
  const Case cases[] = {
      {"source folder", true, tree + "/sub", [&] { swapForLink(tree + "/sub"); }},
      {"source file", true, tree + "/sub/file", [&] { swapForLink(tree + "/sub/file"); }},
      {"folder of the copy", true, tree + "/sub",
       [&] {
         ASSERT_EQ(mkdir((dest + "/sub").c_str(), 0755), 0);
         swapForLink(dest + "/sub");
       }},
      {"folder to delete", false, tree + "/sub", [&] { swapForLink(tree + "/sub"); }},
      {"folder below one to delete", false, tree + "/sub/inner", [&] { swapForLink(tree + "/sub/inner"); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    fakes.WriteFile("C:\\tree\\sub\\file", "f");
    fakes.WriteFile("C:\\tree\\sub\\inner\\x", "x");
    fakes.WriteFile("C:\\tree\\top", "t");
    const auto before = Without(Without(Listing(fakes.Root()), "/c/tree"), "/c/dest");
    fakes.files->SetTreeEntryHook([&](const std::string& path) {
      if (path == c.when) c.change();
    });
    EXPECT_FALSE(c.copy ? files.CopyTree("C:\\tree", "C:\\dest") : files.DeleteTree("C:\\tree"));
    fakes.files->SetTreeEntryHook(nullptr);
    const auto after = Listing(fakes.Root());
    EXPECT_EQ(Without(Without(after, "/c/tree"), "/c/dest"), before);
    for (const auto& [path, what] : Below(after, "/c/dest")) {
      EXPECT_NE(what.rfind("file " + test::ContentHash("secret"), 0), 0u) << path;  // nothing read from outside
      EXPECT_NE(what.rfind("file " + test::ContentHash("outside"), 0), 0u) << path;
    }
    if (c.copy) {
      EXPECT_EQ(test::Read(dest + "/top"), "t");  // the rest was still copied
    }
    EXPECT_TRUE(!test::Exists(dest) || files.DeleteTree("C:\\dest"));
    EXPECT_TRUE(files.DeleteTree("C:\\tree"));
  }
}
