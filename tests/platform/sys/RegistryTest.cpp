#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <random>

#include "SysTestSupport.h"
#include "platform/base/GameError.h"
#include "platform/base/Sjis.h"
#include "platform/sys/Drives.h"
#include "platform/sys/Registry.h"
#include "platform/sys/RegistryStore.h"
#include "platform/sys/Services.h"

using namespace vdmq;
using vdmq::test::TScratch;

namespace {

const char* kOptionsKey = "SOFTWARE\\NAVIRO Veldmark\\Veldmark Q Try\\system";
const char* kProductKey = "Software\\NAVIRO Veldmark\\Veldmark Q Try";

std::string ErrorText(const std::function<void()>& f) {
  try {
    f();
  } catch (const EGameError& e) {
    return e.what();
  }
  return "(no error)";
}

// The options reader of the game: a value that is missing or not an integer keeps the option.
void ReadOption(TRegistry& reg, const char* name, int& option) {
  if (reg.GetDataType(name) == rdInteger) option = reg.ReadInteger(name);
}

}  // namespace

TEST(Registry, TypedValuesRoundTripWithCaseInsensitiveKeysAndNames) {
  TMemRegistryStore store;
  TRegistry reg(store);
  ASSERT_FALSE(reg.OpenKey(kOptionsKey, false));  // not there yet
  ASSERT_TRUE(reg.OpenKey(kOptionsKey, true));
  reg.WriteInteger("BGM", 0);
  reg.WriteInteger("PCM", -7);
  reg.WriteString("Name", SJS("ヴェルドマルク"));
  reg.CloseKey();

  TRegistry other(store);
  ASSERT_TRUE(other.OpenKey("software\\naviro veldmark\\VELDMARK Q TRY\\System", false));
  EXPECT_EQ(other.ReadInteger("bgm"), 0);
  EXPECT_EQ(other.ReadInteger("Pcm"), -7);
  EXPECT_EQ(other.ReadString("NAME"), SJS("ヴェルドマルク"));
  other.WriteInteger("bgm", 1);  // the same value, not a second one
  EXPECT_EQ(other.ReadInteger("BGM"), 1);
  EXPECT_EQ(store.Root().subkeys.size(), 1u);
}

TEST(Registry, CaseFoldingLeavesTheSecondByteOfDoubleByteLettersAlone) {
  // "ア" is 83 41 and "ヂ" is 83 61: the second bytes are 'A' and 'a', yet the letters differ.
  const std::string a = SJS("ア"), b = SJS("ヂ");
  ASSERT_EQ(a[1], 'A');
  ASSERT_EQ(b[1], 'a');
  TMemRegistryStore store;
  TRegistry reg(store);
  ASSERT_TRUE(reg.OpenKey("Key" + a, true));
  reg.WriteInteger(a, 1);
  EXPECT_FALSE(reg.ValueExists(b));
  EXPECT_FALSE(reg.KeyExists("\\Key" + b));
  EXPECT_TRUE(reg.KeyExists("\\KEY" + a));
  // "ソ" ends with the byte of a backslash: it is one key name, not two.
  ASSERT_TRUE(reg.OpenKey("\\" + SJS("ソフト") + "\\x", true));
  EXPECT_EQ(TTreeRegistryStore::SplitPath(reg.CurrentPath()).size(), 2u);
}

TEST(Registry, MissingAndMistypedValuesAreReportedAsTheClassLibraryDoes) {
  TMemRegistryStore store;
  TRegistry reg(store);
  ASSERT_TRUE(reg.OpenKey(kOptionsKey, true));
  reg.WriteString("TURN_MES", "yes");
  reg.WriteInteger("Count", 3);
  EXPECT_EQ(ErrorText([&] { reg.ReadInteger("BGM"); }), "Failed to get data for 'BGM'");
  EXPECT_EQ(ErrorText([&] { reg.ReadInteger("TURN_MES"); }), "Invalid data type for 'TURN_MES'");
  EXPECT_EQ(ErrorText([&] { reg.ReadString("Count"); }), "Invalid data type for 'Count'");
  EXPECT_EQ(reg.ReadString("InstallPath"), "");  // a missing string reads as empty
  EXPECT_EQ(reg.GetDataType("BGM"), rdUnknown);

  // Missing and mistyped values keep the options; a stored integer replaces one.
  reg.WriteInteger("PCM", 0);
  int bgm = 1, pcm = 1, turn = 1;
  ReadOption(reg, "BGM", bgm);
  ReadOption(reg, "PCM", pcm);
  ReadOption(reg, "TURN_MES", turn);
  EXPECT_EQ(bgm, 1);
  EXPECT_EQ(pcm, 0);
  EXPECT_EQ(turn, 1);

  reg.CloseKey();
  EXPECT_EQ(ErrorText([&] { reg.WriteInteger("BGM", 1); }), "Failed to set data for 'BGM'");
  EXPECT_EQ(ErrorText([&] { reg.ReadInteger("Count"); }), "Failed to get data for 'Count'");
}

TEST(Registry, KeysOpenRelativeOrFromTheRootAndDeleteWithAllSubkeys) {
  TMemRegistryStore store;
  TRegistry reg(store);
  ASSERT_TRUE(reg.OpenKey(kProductKey, true));
  reg.WriteString("InstallPath", "C:\\Games\\");
  ASSERT_TRUE(reg.OpenKey("system", true));  // relative to the open key
  EXPECT_EQ(reg.CurrentPath(), std::string(kProductKey) + "\\system");
  reg.WriteInteger("BGM", 1);
  ASSERT_TRUE(reg.OpenKey("\\Software\\Other", true));  // from the root
  EXPECT_EQ(reg.CurrentPath(), "Software\\Other");
  EXPECT_FALSE(reg.OpenKey("\\Software\\Missing", false));
  EXPECT_EQ(reg.CurrentPath(), "Software\\Other");  // a failed open keeps the current key

  reg.CloseKey();
  EXPECT_TRUE(reg.DeleteKey(kProductKey));
  EXPECT_FALSE(reg.KeyExists(kProductKey));
  EXPECT_FALSE(reg.KeyExists(kOptionsKey));
  EXPECT_TRUE(reg.KeyExists("Software\\Other"));
  EXPECT_FALSE(reg.DeleteKey(kProductKey));  // gone already
  EXPECT_FALSE(reg.DeleteKey("\\"));         // the root stays

  ASSERT_TRUE(reg.OpenKey("Software\\Other", false));
  reg.WriteString("TempPath", "C:\\tmp\\qinst_t\\");
  EXPECT_TRUE(reg.DeleteValue("temppath"));
  EXPECT_FALSE(reg.DeleteValue("TempPath"));
  EXPECT_FALSE(reg.ValueExists("TempPath"));
}

TEST(Registry, ShellFoldersComeFromTheDesktopAndCannotBeWritten) {
  TMemRegistryStore store;
  store.SetShellFolder("Desktop", "C:\\home\\p\\Desktop");
  store.SetShellFolder("Programs", "C:\\home\\p\\.local\\share\\applications");
  TRegistry reg(store);
  ASSERT_TRUE(reg.OpenKey("Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders", false));
  EXPECT_EQ(reg.ReadString("Desktop"), "C:\\home\\p\\Desktop");
  EXPECT_EQ(reg.ReadString("programs"), "C:\\home\\p\\.local\\share\\applications");
  EXPECT_EQ(reg.ReadString("Fonts"), "");
  EXPECT_THROW(reg.WriteString("Desktop", "C:\\x"), EGameError);
  EXPECT_EQ(reg.ReadString("Desktop"), "C:\\home\\p\\Desktop");
}

TEST(Registry, XdgDesktopFolderFollowsTheUserDirsFile) {
  TScratch dir;
  const char* oldConfig = std::getenv("XDG_CONFIG_HOME");
  const std::string saved = oldConfig ? oldConfig : "";
  setenv("XDG_CONFIG_HOME", dir.Path().c_str(), 1);
  test::Write(dir / "user-dirs.dirs",
              "# comment\nXDG_DOWNLOAD_DIR=\"$HOME/dl\"\nXDG_DESKTOP_DIR=\"$HOME/Schreibtisch/\"\n");
  const std::string home = std::getenv("HOME") ? std::getenv("HOME") : "";
  if (!home.empty()) {
    EXPECT_EQ(XdgDesktopFolder(), home + "/Schreibtisch");
  }
  test::Write(dir / "user-dirs.dirs", "XDG_DESKTOP_DIR=\"/srv/desk\"\n");
  EXPECT_EQ(XdgDesktopFolder(), "/srv/desk");
  if (oldConfig) {
    setenv("XDG_CONFIG_HOME", saved.c_str(), 1);
  } else {
    unsetenv("XDG_CONFIG_HOME");
  }
}

TEST(RegistryFile, IsSharedBetweenProgramsAndSurvivesReopening) {
  TScratch dir;
  const std::string file = dir / "cfg/vdmq/registry";
  {
    TFileRegistryStore game(file);
    TRegistry reg(game);
    ASSERT_TRUE(reg.OpenKey(kOptionsKey, true));
    reg.WriteInteger("BGM", 0);
    reg.WriteInteger("PCM", 1);
  }
  TFileRegistryStore setup(file);
  TFileRegistryStore game(file);
  TRegistry s(setup), g(game);
  ASSERT_TRUE(s.OpenKey(kProductKey, false));
  s.WriteString("TempPath", SJS("C:\\一時\\qinst_t\\"));
  ASSERT_TRUE(g.OpenKey(kProductKey, false));
  EXPECT_EQ(g.ReadString("temppath"), SJS("C:\\一時\\qinst_t\\"));  // seen by the other program at once
  ASSERT_TRUE(g.OpenKey("system", false));
  EXPECT_EQ(g.ReadInteger("BGM"), 0);

  EXPECT_TRUE(s.DeleteKey("\\" + std::string(kProductKey)));
  EXPECT_FALSE(g.ValueExists("BGM"));
  EXPECT_FALSE(test::Exists(file + ".new"));
  struct stat st;
  ASSERT_EQ(stat(file.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 077, 0u);  // private to the user
}

TEST(RegistryFile, AFailedWriteKeepsTheOldFileAndReportsTheError) {
  TScratch dir;
  const std::string file = dir / "registry";
  TFileRegistryStore store(file);
  TRegistry reg(store);
  ASSERT_TRUE(reg.OpenKey(kOptionsKey, true));
  reg.WriteInteger("BGM", 1);
  const std::string before = test::Read(file);
  ASSERT_FALSE(before.empty());

  // The new file cannot be written (its name is taken by a folder): nothing changes.
  ASSERT_EQ(mkdir((file + ".new").c_str(), 0700), 0);
  EXPECT_EQ(ErrorText([&] { reg.WriteInteger("BGM", 0); }), "Failed to set data for 'BGM'");
  EXPECT_FALSE(reg.DeleteKey("\\Software"));
  EXPECT_EQ(test::Read(file), before);
  EXPECT_EQ(reg.ReadInteger("BGM"), 1);
  rmdir((file + ".new").c_str());
  reg.WriteInteger("BGM", 0);
  EXPECT_EQ(reg.ReadInteger("BGM"), 0);
}

TEST(RegistryFile, ParsesWhatItWritesAndSkipsDamagedLines) {
  TRegKey root;
  {
    TMemRegistryStore store;
    TRegistry reg(store);
    ASSERT_TRUE(reg.OpenKey("A\\" + SJS("表ソ") + "\\C", true));
    reg.WriteString("q\"uote\\back", std::string("line\nbreak\x01\x7f", 13));
    reg.WriteInteger("min", INT32_MIN);
    reg.WriteString(SJS("名前"), SJS("表示ソフト"));  // trail bytes 5C inside
    ASSERT_TRUE(reg.OpenKey("\\Empty", true));
    root = TTreeRegistryStore::Parse(TTreeRegistryStore::Serialize(store.Root()));
    EXPECT_EQ(TTreeRegistryStore::Serialize(root), TTreeRegistryStore::Serialize(store.Root()));
  }
  const std::string text = TTreeRegistryStore::Serialize(root);
  EXPECT_NE(text.find("[Empty]"), std::string::npos);

  const TRegKey damaged = TTreeRegistryStore::Parse(
      "\"orphan\"=dword:00000001\n"  // before any key: skipped
      "[K]\n\"a\"=dword:0000001\n\"b\"=dword:zzzzzzzz\n\"c\"=\"open\n\"d\"=\"ok\"trailing\n"
      "\"e\"=dword:0000000a\r\n[]\n[unclosed\n\"f\"=\"x\"\n");
  ASSERT_EQ(damaged.subkeys.size(), 1u);
  ASSERT_EQ(damaged.subkeys[0]->values.size(), 1u);
  EXPECT_EQ(damaged.subkeys[0]->values[0].first, "e");
  EXPECT_EQ(damaged.subkeys[0]->values[0].second, TRegValue::Integer(10));
}

// Files that crashed or stalled every reader: a key line hundreds of thousands of levels deep, a
// key line of nothing but separators. They load, keep their good lines, and a write after them
// writes text in proportion to what was kept (the time is measured in bench_platform_registry).
TEST(RegistryFile, DeepKeyLinesAreDamagedLinesAndWritesStayInProportion) {
  TScratch dir;
  const std::string file = dir / "registry";
  const auto path = [](int levels) {
    std::string p = "k";
    for (int i = 1; i < levels; ++i) p += "\\k";
    return p;
  };
  const int limit = TTreeRegistryStore::kMaxKeyDepth;
  test::Write(file,
              "[Good]\n\"a\"=dword:00000001\n"
              "[" +
                  path(300000) +
                  "]\n\"deep\"=dword:00000002\n"
                  "[" +
                  std::string(100000, '\\') +
                  "]\n\"none\"=dword:00000003\n"
                  "[" +
                  path(limit + 1) +
                  "]\n\"over\"=dword:00000004\n"
                  "[" +
                  path(limit) +
                  "]\n\"at\"=dword:00000005\n"
                  "[Good\\After]\n\"b\"=\"text\"\n");
  TFileRegistryStore store(file);
  EXPECT_EQ(store.ReadValue("Good", "a"), TRegValue::Integer(1));
  EXPECT_EQ(store.ReadValue("good\\after", "b"), TRegValue::String("text"));
  EXPECT_EQ(store.ReadValue(path(limit), "at"), TRegValue::Integer(5));
  EXPECT_FALSE(store.KeyExists(path(limit + 1)));
  EXPECT_FALSE(store.CreateKey(path(limit + 1)));
  ASSERT_TRUE(store.WriteValue("Good", "c", TRegValue::Integer(6)));
  const std::string written = test::Read(file);
  EXPECT_EQ(written.find("deep"), std::string::npos);
  EXPECT_EQ(written.find("over"), std::string::npos);
  // One line for the key at the limit, not one for each key above it.
  EXPECT_LT(written.size(), 3 * path(limit).size());
  EXPECT_EQ(store.ReadValue(path(limit), "at"), TRegValue::Integer(5));
  EXPECT_EQ(store.ReadValue("Good", "c"), TRegValue::Integer(6));
}

TEST(RegistryFile, TreesOfAnyDepthAreWrittenAndFreedWithoutRecursion) {
  std::string expected = "[k";
  {
    TRegKey root;
    TRegKey* k = &root;
    for (int i = 0; i < 200000; ++i) {
      k->subkeys.push_back(std::make_unique<TRegKey>());
      k = k->subkeys.back().get();
      k->name = "k";
      if (i > 0) expected += "\\k";
    }
    expected += "]\n";
    const std::string text = TTreeRegistryStore::Serialize(root);
    EXPECT_EQ(text.substr(text.find('\n') + 1), expected);
  }  // freed here
}

TEST(RegistryFile, RandomDamageNeverBreaksTheParser) {
  TMemRegistryStore store;
  TRegistry reg(store);
  ASSERT_TRUE(reg.OpenKey(kOptionsKey, true));
  reg.WriteInteger("BGM", 1);
  reg.WriteString("S", SJS("テキスト\\"));
  ASSERT_TRUE(reg.OpenKey("\\" + std::string(kProductKey), true));
  reg.WriteString("InstallPath", "C:\\x\\");
  const std::string good = TTreeRegistryStore::Serialize(store.Root());
  std::mt19937 rng(12345);
  for (int round = 0; round < 3000; ++round) {
    std::string text = good;
    const int edits = 1 + static_cast<int>(rng() % 8);
    for (int e = 0; e < edits; ++e) {
      const size_t at = rng() % (text.size() + 1);
      switch (rng() % 3) {
        case 0:
          if (at < text.size()) text[at] = static_cast<char>(rng());
          break;
        case 1: text.insert(at, 1, static_cast<char>(rng())); break;
        default: text.erase(at, rng() % 6); break;
      }
    }
    const TRegKey parsed = TTreeRegistryStore::Parse(text);
    const std::string again = TTreeRegistryStore::Serialize(parsed);
    // What the parser keeps, it keeps exactly.
    EXPECT_EQ(TTreeRegistryStore::Serialize(TTreeRegistryStore::Parse(again)), again);
  }
}

TEST(RegistryFile, TwoProgramsWritingAtOnceLoseNothing) {
  TScratch dir;
  const std::string file = dir / "registry";
  std::vector<pid_t> children;
  for (int p = 0; p < 2; ++p) {
    const pid_t pid = fork();
    if (pid == 0) {
      TFileRegistryStore store(file);
      TRegistry reg(store);
      if (!reg.OpenKey(kProductKey, true)) _exit(1);
      for (int i = 0; i < 40; ++i) reg.WriteInteger("p" + std::to_string(p) + "_" + std::to_string(i), i);
      _exit(0);
    }
    children.push_back(pid);
  }
  for (pid_t pid : children) {
    int status = 0;
    waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  TFileRegistryStore store(file);
  TRegistry reg(store);
  ASSERT_TRUE(reg.OpenKey(kProductKey, false));
  for (int p = 0; p < 2; ++p) {
    for (int i = 0; i < 40; ++i) EXPECT_EQ(reg.ReadInteger("p" + std::to_string(p) + "_" + std::to_string(i)), i);
  }
}

TEST(RegistryFile, ShellFoldersAreTheUsersXdgFoldersAsGamePaths) {
  TScratch dir;
  const char* oldConfig = std::getenv("XDG_CONFIG_HOME");
  const char* oldData = std::getenv("XDG_DATA_HOME");
  const std::string savedConfig = oldConfig ? oldConfig : "", savedData = oldData ? oldData : "";
  setenv("XDG_CONFIG_HOME", (dir / "config").c_str(), 1);
  setenv("XDG_DATA_HOME", (dir / "data").c_str(), 1);
  ASSERT_EQ(mkdir((dir / "config").c_str(), 0700), 0);
  test::Write(dir / "config/user-dirs.dirs", "XDG_DESKTOP_DIR=\"" + dir / "desk" + "\"\n");
  EXPECT_EQ(TFileRegistryStore::DefaultFilePath(), dir / "config/vdmq/registry");
  {
    TFakeSysServices fakes;  // C: stands on a sandbox; the scratch folder lies outside it
    fakes.drives->Set('C', "/", dtFixed);
    TFileRegistryStore store;
    TRegistry reg(store);
    ASSERT_TRUE(reg.OpenKey(kShellFoldersKey, false));
    const auto game = [](std::string s) {
      for (char& c : s) {
        if (c == '/') c = '\\';
      }
      return "C:" + s;
    };
    EXPECT_EQ(reg.ReadString("Desktop"), game(dir / "desk"));
    EXPECT_EQ(reg.ReadString("Programs"), game(dir / "data/applications"));
  }
  if (oldConfig) {
    setenv("XDG_CONFIG_HOME", savedConfig.c_str(), 1);
  } else {
    unsetenv("XDG_CONFIG_HOME");
  }
  if (oldData) {
    setenv("XDG_DATA_HOME", savedData.c_str(), 1);
  } else {
    unsetenv("XDG_DATA_HOME");
  }
}
