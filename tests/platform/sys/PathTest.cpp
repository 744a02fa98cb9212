#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstring>

#include "SysTestSupport.h"
#include "platform/base/Sjis.h"
#include "platform/sys/Drives.h"
#include "platform/sys/PathMapper.h"
#include "platform/sys/Services.h"

using namespace vdmq;
using vdmq::test::TScratch;

TEST(Drives, OpticalDrivesKeepTheirLettersThenMountedImagesThenTheDiscFolder) {
  const char* table =
      "/dev/sda1 / ext4 rw,relatime 0 0\n"
      "/dev/sr1 /media/player/VDM\\040Q\\0401 iso9660 ro,nosuid 0 0\n"
      "tmpfs /tmp tmpfs rw 0 0\n"
      "/dev/loop3 /mnt/image udf ro 0 0\n"
      "/dev/sr1 /media/player/VDM\\040Q\\0401 iso9660 ro 0 0\n"  // listed twice: one drive
      "garbage\n\n/dev/sr0\n";
  const auto mounts = TLinuxDriveTable::OpticalMounts(table);
  ASSERT_EQ(mounts.size(), 2u);
  EXPECT_EQ(mounts[0].device, "/dev/sr1");
  EXPECT_EQ(mounts[0].mountPoint, "/media/player/VDM Q 1");
  EXPECT_EQ(mounts[1].mountPoint, "/mnt/image");

  // sr0 is empty: it keeps D: without a root; the disc in sr1 is E:.
  const auto drives = TLinuxDriveTable::Build({"sr0", "sr1"}, mounts, "/srv/disc2");
  ASSERT_EQ(drives.size(), 5u);
  EXPECT_EQ(drives[0].letter, 'C');
  EXPECT_EQ(drives[0].nativeRoot, "/");
  EXPECT_EQ(drives[0].type, dtFixed);
  EXPECT_EQ(drives[1].letter, 'D');
  EXPECT_EQ(drives[1].nativeRoot, "");
  EXPECT_EQ(drives[1].type, dtCdRom);
  EXPECT_EQ(drives[2].nativeRoot, "/media/player/VDM Q 1");
  EXPECT_EQ(drives[3].nativeRoot, "/mnt/image");
  EXPECT_EQ(drives[4].letter, 'G');
  EXPECT_EQ(drives[4].nativeRoot, "/srv/disc2");
  // A machine without optical drives has C: alone.
  EXPECT_EQ(TLinuxDriveTable::Build({}, TLinuxDriveTable::OpticalMounts("/dev/sda1 / ext4 rw 0 0\n"), "").size(), 1u);

  TFakeDriveTable fake;
  for (const TDrive& d : drives) fake.Set(d.letter, d.nativeRoot, d.type);
  TPathMapper m(fake);
  EXPECT_EQ(m.Native("D:\\VDM_Q.ID1"), "");  // no disc in the drive
  EXPECT_EQ(m.Native("E:\\VDM_Q.ID1"), "/media/player/VDM Q 1/VDM_Q.ID1");
  EXPECT_EQ(m.Game("/srv/disc2/VDM_Q"), "G:\\VDM_Q");
}

TEST(Drives, TheDiscFolderFromTheEnvironmentIsADrive) {
  TScratch dir;
  const char* old = std::getenv("VDMQ_DISC");
  const std::string saved = old ? old : "";
  setenv("VDMQ_DISC", (dir.Path() + "/").c_str(), 1);
  TLinuxDriveTable table;
  const auto drives = table.Drives();
  ASSERT_GE(drives.size(), 2u);
  EXPECT_EQ(drives.back().nativeRoot, dir.Path());
  EXPECT_EQ(drives.back().type, dtCdRom);
  setenv("VDMQ_DISC", (dir.Path() + "/missing").c_str(), 1);
  for (const TDrive& d : table.Drives()) EXPECT_NE(d.nativeRoot, dir.Path() + "/missing");
  if (old) {
    setenv("VDMQ_DISC", saved.c_str(), 1);
  } else {
    unsetenv("VDMQ_DISC");
  }
}

TEST(Drives, DriveListAndTypesAnswerLikeTheWindowSystem) {
  TFakeSysServices fakes;
  fakes.AddDisc('E', "disc");
  fakes.drives->Set('D', "/nonexistent", dtRemovable);
  char buf[512];
  std::memset(buf, 'x', sizeof buf);
  const unsigned n = GetLogicalDriveStrings(sizeof buf, buf);
  EXPECT_EQ(n, 12u);
  EXPECT_EQ(std::string(buf, 13), std::string("C:\\\0D:\\\0E:\\\0\0", 13));
  // Too small a buffer: the size needed, nothing written.
  char small[4] = {'x', 'x', 'x', 'x'};
  EXPECT_EQ(GetLogicalDriveStrings(sizeof small, small), 13u);
  EXPECT_EQ(small[0], 'x');
  EXPECT_EQ(GetLogicalDriveStrings(13, buf), 12u);

  EXPECT_EQ(GetDriveType("C:\\"), dtFixed);
  EXPECT_EQ(GetDriveType("e:\\"), dtCdRom);
  EXPECT_EQ(GetDriveType("E:"), dtCdRom);
  EXPECT_EQ(GetDriveType("D:\\"), dtRemovable);
  EXPECT_EQ(GetDriveType("Q:\\"), dtNoRootDir);
  EXPECT_EQ(GetDriveType("E:\\VDM_Q"), dtNoRootDir);
  EXPECT_EQ(GetDriveType(""), dtNoRootDir);
}

TEST(PathMapper, MapsSeparatorsDrivesAndTheCurrentFolder) {
  TFakeDriveTable drives;
  drives.Set('C', "/", dtFixed);
  drives.Set('D', "/media/cd", dtCdRom);
  TPathMapper m(drives);
  EXPECT_EQ(m.Native(".\\dat\\INIT.DAT"), "dat/INIT.DAT");
  EXPECT_EQ(m.Native("save/SAVE00.DAT"), "save/SAVE00.DAT");
  EXPECT_EQ(m.Native(".\\"), "./");
  EXPECT_EQ(m.Native("D:\\VDM_Q\\inter\\"), "/media/cd/VDM_Q/inter/");
  EXPECT_EQ(m.Native("d:VDM_Q.ID1"), "/media/cd/VDM_Q.ID1");
  EXPECT_EQ(m.Native("D:"), "/media/cd");
  EXPECT_EQ(m.Native("C:\\"), "/");
  EXPECT_EQ(m.Native("\\etc\\hostname"), "/etc/hostname");
  EXPECT_EQ(m.Native("F:\\x"), "");  // no such drive
  EXPECT_EQ(m.Native(""), "");
  // Dots fold away; a drive's root is never left.
  EXPECT_EQ(m.Native("D:\\..\\..\\etc\\passwd"), "/media/cd/etc/passwd");
  EXPECT_EQ(m.Native("a\\.\\b\\..\\c"), "a/c");
  EXPECT_EQ(m.Native("..\\x"), "../x");
  EXPECT_EQ(m.Native(std::string("dat\\a\0\\b", 9)), "dat/a");  // a C string ends at NUL
}

TEST(PathMapper, KeepsDoubleByteLettersWhoseSecondByteIsABackslash) {
  TScratch dir;
  TFakeDriveTable drives;
  drives.Set('C', dir.Path(), dtFixed);
  TPathMapper m(drives);
  // "表" is 95 5C and "ソ" is 83 5C.
  EXPECT_EQ(m.Native(SJS("C:\\表示\\ソフト.txt")), dir.Path() + "/表示/ソフト.txt");
  std::string expected = "C:/表示/ソフト.txt";  // C: stands on the scratch folder
  for (char& c : expected) {
    if (c == '/') c = '\\';
  }
  const std::string game = m.Game(dir.Path() + "/表示/ソフト.txt");
  EXPECT_EQ(game, Utf8ToSjis(expected));
  EXPECT_EQ(m.Native(game), dir.Path() + "/表示/ソフト.txt");
}

TEST(PathMapper, FallsBackToACaseInsensitiveMatchPerComponent) {
  TScratch dir;
  ASSERT_EQ(mkdir((dir / "VDM_Q").c_str(), 0755), 0);
  ASSERT_EQ(mkdir((dir / "VDM_Q/Inter").c_str(), 0755), 0);
  test::Write(dir / "VDM_Q/Inter/INT_T05.str", "x");
  test::Write(dir / "VDM_Q/Inter/int_t05.STR", "y");  // two that differ only in case
  test::Write(dir / "vdm_q.id1", "");
  TFakeDriveTable drives;
  drives.Set('D', dir.Path(), dtCdRom);
  TPathMapper m(drives);
  EXPECT_EQ(m.Native("D:\\VDM_Q.ID1"), dir / "vdm_q.id1");
  EXPECT_EQ(m.Native("D:\\vdm_q\\INTER\\Int_T05.Str"), dir / "VDM_Q/Inter/INT_T05.str");  // the smallest name
  EXPECT_EQ(m.Native("D:\\VDM_Q\\Inter\\int_t05.STR"), dir / "VDM_Q/Inter/int_t05.STR");  // exact wins
  // What does not exist keeps its spelling, so new files get the game's names.
  EXPECT_EQ(m.Native("D:\\vdm_q\\New\\Sub\\F.DAT"), dir / "VDM_Q/New/Sub/F.DAT");
  EXPECT_EQ(m.Native("D:\\vdm_q\\inter\\"), dir / "VDM_Q/Inter/");

  // Relative paths resolve in the current folder.
  char old[PATH_MAX];
  ASSERT_TRUE(getcwd(old, sizeof old));
  ASSERT_EQ(chdir(dir.Path().c_str()), 0);
  EXPECT_EQ(m.Native(".\\vdm_q\\inter\\INT_T05.STR"), "VDM_Q/Inter/INT_T05.str");
  ASSERT_EQ(chdir(old), 0);
}

TEST(PathMapper, NativePathsBecomeGamePathsOnTheirDrive) {
  TFakeDriveTable drives;
  drives.Set('C', "/", dtFixed);
  drives.Set('D', "/media/cd/", dtCdRom);
  TPathMapper m(drives);
  EXPECT_EQ(m.Game("/tmp"), "C:\\tmp");
  EXPECT_EQ(m.Game("/"), "C:\\");
  EXPECT_EQ(m.Game("/media/cd/VDM_Q"), "D:\\VDM_Q");
  EXPECT_EQ(m.Game("/media/cd"), "D:\\");
  EXPECT_EQ(m.Game("/media/cdx/a"), "C:\\media\\cdx\\a");
  EXPECT_EQ(m.Game("//usr//bin/"), "C:\\usr\\bin\\");
  EXPECT_EQ(m.Game("dat/INIT.DAT"), "dat\\INIT.DAT");
  EXPECT_EQ(m.Native(m.Game("/media/cd/VDM_Q/inter/x")), "/media/cd/VDM_Q/inter/x");
}

TEST(Services, FakesInstallOverASandboxAndTheRealOnesComeBack) {
  TDriveTable* real = Sys().drives;
  char old[PATH_MAX];
  ASSERT_TRUE(getcwd(old, sizeof old));
  std::string root;
  {
    TFakeSysServices fakes;
    root = fakes.Root();
    EXPECT_EQ(Sys().drives, fakes.drives.get());
    fakes.WriteFile("C:\\vdmq\\dat\\INIT.DAT", "data");
    EXPECT_EQ(test::Read(root + "/c/vdmq/dat/INIT.DAT"), "data");
    EXPECT_EQ(NativePath("C:\\VDMQ\\dat\\init.dat"), root + "/c/vdmq/dat/INIT.DAT");
    std::FILE* f = FOpen("c:\\vdmq\\DAT\\Init.Dat", "rb");
    ASSERT_NE(f, nullptr);
    std::fclose(f);
  }
  EXPECT_EQ(Sys().drives, real);
  EXPECT_FALSE(test::Exists(root));
  char now[PATH_MAX];
  ASSERT_TRUE(getcwd(now, sizeof now));
  EXPECT_STREQ(now, old);
}
