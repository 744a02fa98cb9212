// The whole setup program, run headless through SetupMain over the fake services: the start
// checks, the hand-over to the installer, the game start and the uninstall. The sandbox stands for
// drive C:, so even its root may be named.

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "SetupSupport.h"
#include "platform/base/Sjis.h"
#include "platform/core/Application.h"
#include "platform/headless/TestKit.h"
#include "platform/sys/Files.h"
#include "platform/sys/NamedMutex.h"
#include "platform/sys/Process.h"
#include "platform/sys/Registry.h"
#include "platform/sys/RegistryStore.h"
#include "setup/SetupForm.h"
#include "setup/SetupHelpers.h"

namespace vdmq::setup::test {
namespace {

using vdmq::test::Below;
using vdmq::test::ChangedPaths;
using vdmq::test::TListing;

std::string U8(const std::string& sjis) { return SjisToUtf8(sjis); }

std::string ReadFile(const std::string& native) {
  std::ifstream in(native, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string CurrentFolder() {
  char buf[PATH_MAX];
  return getcwd(buf, sizeof buf) ? buf : "";
}

// The captions and states the window shows while it waits.
struct TWindowState {
  std::string title, caption, inst;
  bool unInstEnabled = false, userVisible = true;
};
TWindowState ReadWindow() {
  return {U8(App().Title), U8(fmMain->Caption()), U8(fmMain->btnInst->Caption()), fmMain->btnUnInst->Enabled(),
          fmMain->btnUser->Visible()};
}

std::string RemovalQuestion(const std::string& folder) {
  return "アンインストールを実行します。\n\n" + folder +
         "フォルダー以下に存在するすべてのファイルが\n削除されます。\n\nよろしいですか？";
}
std::string RegistryOnlyQuestion(const std::string& folder) {
  return folder +
         "フォルダー以下に本製品のファイルが存在しません\nすでに手動で削除、または移動された可能性があります\n\n"
         "レジストリの情報のみ削除します。\nよろしいですか？";
}

// One run that clicks btnInst and lets the window close: the sandbox's listings before and after.
std::pair<TListing, TListing> RunInstallButton(TSetupSandbox& sb) {
  const TListing before = sb.Listing();
  TSetupRun run;
  run.Click("btnInst");
  EXPECT_EQ(run.Run(), 0);
  return {before, sb.Listing()};
}

// A listing in which folders differ only in what they hold, not in their permission bits (the
// copy's folders are made with the user's umask).
TListing WithoutFolderModes(TListing listing) {
  for (auto& [path, what] : listing) {
    if (what.rfind("folder", 0) == 0) what = "folder";
  }
  return listing;
}

}  // namespace

// ---------------------------------------------------------------- start

TEST(SetupStart, RefusesSilentlyWhileAnotherSetupOrTheGameRuns) {
  for (const char* held : {"VDM_Q GAME", "VDM_Q SETUP", ""}) {
    SCOPED_TRACE(held);
    TSetupSandbox sb;
    if (*held) {
      sb.sys.mutexes->HoldElsewhere(held);
    } else {
      sb.sys.mutexes->SetFailing(true);
    }
    const std::string registry = sb.RegistryText();
    TSetupRun run;
    EXPECT_EQ(run.Run(), -1);
    EXPECT_EQ(run.factoryCalls, 0);
    EXPECT_EQ(sb.RegistryText(), registry);
    EXPECT_EQ(sb.sys.process->folderChanges, 0);
    if (std::string(held) == "VDM_Q GAME") {
      EXPECT_FALSE(sb.sys.mutexes->IsHeld("VDM_Q SETUP"));
    }
  }
}

TEST(SetupStart, AWindowThatCannotOpenEndsTheProgram) {
  TSetupSandbox sb;
  TSetupRun run;
  EXPECT_EQ(run.Run(true), 1);
  EXPECT_EQ(run.factoryCalls, 1);
  EXPECT_EQ(sb.sys.process->folderChanges, 0);
  EXPECT_FALSE(sb.sys.mutexes->IsHeld("VDM_Q SETUP"));
}

TEST(SetupStart, ShowsWhetherTheGameIsInstalled) {
  for (const bool installed : {false, true}) {
    SCOPED_TRACE(installed);
    TSetupSandbox sb;
    if (!installed) sb.SetValue("InstallPath", "");
    TSetupRun run;
    TWindowState seen;
    std::string folder;
    bool heldWhileRunning = false;
    run.Then([&] {
         seen = ReadWindow();
         folder = CurrentFolder();
         heldWhileRunning = sb.sys.mutexes->IsHeld("VDM_Q SETUP");
       })
        .Click("Button1");
    EXPECT_EQ(run.Run(), 0);
    EXPECT_EQ(seen.title, "ｳﾞｪﾙﾄﾞﾏﾙｸ Q 体験版ｾｯﾄｱｯﾌﾟ");
    EXPECT_EQ(seen.caption, "Veldmark Q 体験版 ｾｯﾄｱｯﾌﾟ");
    EXPECT_EQ(seen.inst, installed ? "ｹﾞｰﾑ開始" : "ｲﾝｽﾄｰﾙ");
    EXPECT_EQ(seen.unInstEnabled, installed);
    EXPECT_FALSE(seen.userVisible);
    EXPECT_EQ(folder, sb.Native("C:\\medium"));
    EXPECT_EQ(sb.sys.process->folderChanges, 1);
    EXPECT_TRUE(heldWhileRunning);
    EXPECT_FALSE(sb.sys.mutexes->IsHeld("VDM_Q SETUP"));
    EXPECT_EQ(fmMain, nullptr);
    EXPECT_TRUE(sb.sys.process->starts.empty());
  }
}

// ---------------------------------------------------------------- install

TEST(SetupInstall, NeedsFiveMegabytesInTheTemporaryFolder) {
  struct Case {
    std::optional<std::uint64_t> freeBytes;
    bool installs;
  };
  for (const Case c : {Case{5242880, true}, Case{5242879, false}, Case{std::nullopt, false}}) {
    SCOPED_TRACE(c.freeBytes ? std::to_string(*c.freeBytes) : "failing query");
    TSetupSandbox sb;
    sb.SetValue("InstallPath", "");
    sb.sys.files->SetFreeBytes(c.freeBytes);
    sb.sys.files->SetFreeBytesFailing(!c.freeBytes);
    const TListing before = sb.Listing();
    const std::string registry = sb.RegistryText();
    TSetupRun run;
    run.Click("btnInst");
    if (!c.installs) run.Answer("OK").Click("Button1");
    EXPECT_EQ(run.Run(), 0);
    EXPECT_EQ(sb.sys.process->starts.size(), c.installs ? 1u : 0u);
    if (c.installs) continue;
    ASSERT_EQ(run.boxes.size(), 1u);
    EXPECT_EQ(U8(run.boxes[0].text),
              "インストールを実行するための作業領域が不足しています。\nC:に5MB以上の空き容量を確保して下さい。");
    EXPECT_EQ(U8(run.boxes[0].caption), "確認");
    EXPECT_EQ(run.boxes[0].buttons, 1);
    EXPECT_EQ(sb.Listing(), before);
    EXPECT_EQ(sb.RegistryText(), registry);
  }
}

TEST(SetupInstall, CopiesTheInstallerFolderAndHandsOverToTheInstaller) {
  TSetupSandbox sb;
  sb.SetValue("InstallPath", "");
  const auto [before, after] = RunInstallButton(sb);  // the window closes
  sb.ExpectChangesOnlyBelow(before, after, {"/c/tmp/qinst_t"});

  // Every folder and file but the link; the read-only file made writable for the user, the
  // installer still executable.
  TListing expected = Below(before, "/c/medium/qinst_t");
  expected.erase("/outside");
  expected["/setup.ini"] =
      "file " + vdmq::test::ContentHash("read-only on the medium") + " mode " + std::to_string(0644);
  TListing copied = Below(after, "/c/tmp/qinst_t");
  ASSERT_EQ(copied.count("/temp.txt"), 1u);
  copied.erase("/temp.txt");
  EXPECT_EQ(WithoutFolderModes(copied), WithoutFolderModes(expected));
  EXPECT_EQ(copied["/inst.exe"], "file " + vdmq::test::ContentHash("the installer") + " mode " + std::to_string(0755));

  // The hand-over: SETUP's native path without a line end, the copy's native path in "TempPath",
  // and the installer started without a command line.
  EXPECT_EQ(ReadFile(sb.Native("C:\\tmp\\qinst_t\\temp.txt")), sb.Native("C:\\medium\\SETUP"));
  EXPECT_EQ(sb.Value("TempPath"), Utf8ToSjis(sb.Native("C:\\tmp\\qinst_t") + "/"));
  ASSERT_EQ(sb.sys.process->starts.size(), 1u);
  EXPECT_EQ(sb.sys.process->starts[0].program, "C:\\tmp\\qinst_t\\inst.exe");
  EXPECT_FALSE(sb.sys.process->starts[0].hasCommandLine);
}

// A shared temporary folder: what stands at T\qinst_t may not be the user's.
TEST(SetupInstall, CopiesOnlyIntoAFolderOfTheUsersOwn) {
  {
    SCOPED_TRACE("a link is replaced by a folder");
    TSetupSandbox sb;
    sb.SetValue("InstallPath", "");
    sb.Link("C:\\tmp\\qinst_t", sb.Native("C:\\home\\player"));
    const auto [before, after] = RunInstallButton(sb);
    sb.ExpectChangesOnlyBelow(before, after, {"/c/tmp/qinst_t"});
    EXPECT_EQ(after.at("/c/tmp/qinst_t").rfind("folder", 0), 0u);
    EXPECT_EQ(after.count("/c/tmp/qinst_t/data/sub/x.dat"), 1u);
    EXPECT_EQ(sb.sys.process->starts.size(), 1u);
  }
  {
    SCOPED_TRACE("another account's folder stops everything");
    TSetupSandbox sb;
    sb.SetValue("InstallPath", "");
    sb.sys.WriteFile("C:\\tmp\\qinst_t\\inst.exe", "planted");
    sb.sys.files->SetOwnedByOther("C:\\tmp\\qinst_t");
    const TListing before = sb.Listing();
    const std::string registry = sb.RegistryText();
    TSetupRun run;
    run.Click("btnInst").Click("Button1");  // the window stays
    EXPECT_EQ(run.Run(), 0);
    EXPECT_EQ(sb.Listing(), before);
    EXPECT_EQ(sb.RegistryText(), registry);
    EXPECT_TRUE(sb.sys.process->starts.empty());
  }
}

// The hand-over file must reach the installer whole: one that cannot be created, or not written
// completely (a full disc), stops the install with the window open.
TEST(SetupInstall, AHandOverFileThatCannotBeWrittenStopsTheInstall) {
  for (const bool creatable : {false, true}) {
    SCOPED_TRACE(creatable ? "a full disc" : "cannot be created");
    TSetupSandbox sb;
    sb.SetValue("InstallPath", "");
    ASSERT_EQ(mkdir(sb.Native("C:\\tmp\\qinst_t").c_str(), 0755), 0);
    if (creatable) {
      sb.Link("C:\\tmp\\qinst_t\\temp.txt", "/dev/full");
    } else {
      ASSERT_EQ(mkdir(sb.Native("C:\\tmp\\qinst_t\\temp.txt").c_str(), 0755), 0);
    }
    TSetupRun run;
    run.Click("btnInst").Click("Button1");
    EXPECT_EQ(run.Run(), 0);
    EXPECT_FALSE(sb.HasValue("TempPath"));
    EXPECT_TRUE(sb.sys.process->starts.empty());
  }
}

// A temporary folder below the medium's installer folder: the copy, met inside its source, is not
// copied into itself again and again.
TEST(SetupInstall, ACopyInsideItsSourceIsNotCopiedIntoItself) {
  TSetupSandbox sb;
  sb.SetValue("InstallPath", "");
  sb.sys.files->SetTempPath("C:\\medium\\qinst_t\\data\\");
  const auto [before, after] = RunInstallButton(sb);
  const TListing copy = Below(after, "/c/medium/qinst_t/data/qinst_t");
  EXPECT_EQ(copy.count("/inst.exe"), 1u);
  EXPECT_EQ(copy.count("/data/disk1.cab"), 1u);
  EXPECT_EQ(copy.count("/data/qinst_t"), 0u);
  EXPECT_EQ(sb.sys.process->starts.size(), 1u);
}

// ---------------------------------------------------------------- game start

TEST(SetupGameStart, RemovesTheCopyAndPassesSetupsPathAsTheOnlyArgument) {
  for (const std::string& program :
       std::vector<std::string>{"C:\\medium\\SETUP", "C:\\my medium\\SETUP", "C:\\say \"setup\"\\SETUP",
                                Utf8ToSjis("C:\\ソフト 表\\セットアップ")}) {
    SCOPED_TRACE(U8(program));
    TSetupSandbox sb;
    sb.sys.process->SetProgramFile(program);
    sb.Write(program, "the setup program", 0755);
    sb.Write("C:\\tmp\\qinst_t\\inst.exe", "the installer", 0755);
    sb.SetValue("TempPath", Utf8ToSjis(sb.Native("C:\\tmp\\qinst_t") + "/"));
    const auto [before, after] = RunInstallButton(sb);
    sb.ExpectChangesOnlyBelow(before, after, {"/c/tmp/qinst_t"});
    EXPECT_EQ(after.count("/c/tmp/qinst_t"), 0u);
    EXPECT_FALSE(sb.HasValue("TempPath"));
    ASSERT_EQ(sb.sys.process->starts.size(), 1u);
    const auto& start = sb.sys.process->starts[0];
    EXPECT_EQ(start.program, "C:\\games\\vdm_q_t\\vdm_q_t.exe");
    ASSERT_TRUE(start.hasCommandLine);
    EXPECT_EQ(SplitCommandLine(start.commandLine), std::vector<std::string>{Utf8ToSjis(sb.Native(program))});
  }
}

TEST(SetupGameStart, FindsTheGameWhereverInstallPathPutsIt) {
  struct Case {
    const char* what;
    std::string installPath;  // "@" + game path: its native form
    const char* programFile;  // the game's program as installed
    const char* started;      // the program that starts ("": none)
  };
  const Case cases[] = {
      {"the program's own name", "C:\\games\\", "C:\\games\\vdm_q_t\\vdm_q_t.exe", "C:\\games\\vdm_q_t\\vdm_q_t.exe"},
      {"the name without .exe", "C:\\games\\", "C:\\games\\vdm_q_t\\vdm_q_t", "C:\\games\\vdm_q_t\\vdm_q_t"},
      {"no trailing separator", "C:\\games", "C:\\games\\vdm_q_t\\vdm_q_t", "C:\\games\\vdm_q_t\\vdm_q_t"},
      {"native, no trailing separator", "@C:\\games", "C:\\games\\vdm_q_t\\vdm_q_t.exe",
       "C:\\games\\vdm_q_t\\vdm_q_t.exe"},
      {"native with separator", "@C:\\games\\", "C:\\games\\vdm_q_t\\vdm_q_t", "C:\\games\\vdm_q_t\\vdm_q_t"},
      // A relative folder would lie on the installation medium.
      {"relative", "games", "C:\\medium\\games\\vdm_q_t\\vdm_q_t.exe", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TSetupSandbox sb;
    ASSERT_EQ(unlink(sb.Native("C:\\games\\vdm_q_t\\vdm_q_t.exe").c_str()), 0);
    sb.Write(c.programFile, "the game", 0755);
    std::string value = c.installPath;
    if (value[0] == '@') value = Utf8ToSjis(sb.Native(value.substr(1)));
    sb.SetValue("InstallPath", value);
    RunInstallButton(sb);
    const auto& starts = sb.sys.process->starts;
    ASSERT_EQ(starts.size(), *c.started ? 1u : 0u);
    if (*c.started) {
      EXPECT_EQ(NativeProgramPath(starts[0].program), sb.Native(c.started));
    }
  }
}

// "TempPath" names the installer copy only when it is the user's folder (or a link) called
// qinst_t; any other non-empty value deletes nothing and goes, an empty one stays.
TEST(SetupGameStart, DeletesOnlyAnInstallerCopyNamedByTempPath) {
  struct Case {
    const char* what;
    std::string value;  // "@" + game path: its native form; "#": an integer
    std::function<void(TSetupSandbox&)> prepare;
    const char* removed;  // the sandbox path that goes ("": nothing)
    bool valueStays = false;
  };
  const auto none = [](TSetupSandbox&) {};
  const Case cases[] = {
      {"the copy, native", "@C:\\tmp\\qinst_t\\", none, "/c/tmp/qinst_t"},
      {"the copy, drive letter without separator", "C:\\tmp\\qinst_t", none, "/c/tmp/qinst_t"},
      {"the copy in other letter case", "c:\\TMP\\QINST_T\\", none, "/c/tmp/qinst_t"},
      {"a link named qinst_t", "C:\\tmp\\other\\qinst_t\\",
       [](TSetupSandbox& sb) {
         sb.sys.WriteFile("C:\\tmp\\other\\keep", "k");
         sb.Link("C:\\tmp\\other\\qinst_t", sb.Native("C:\\home\\player"));
       },
       "/c/tmp/other/qinst_t"},
      {"another account's folder", "C:\\tmp\\qinst_t\\",
       [](TSetupSandbox& sb) { sb.sys.files->SetOwnedByOther("C:\\tmp\\qinst_t"); }, ""},
      {"a folder of another name", "C:\\home\\player\\", none, ""},
      {"the drive's root", "C:\\", none, ""},
      {"a separator alone", "\\", none, ""},
      {"the native root", "/", none, ""},
      {"the medium's installer folder", "C:\\medium\\qinst_t\\", none, ""},
      {"the medium's, through ..", "C:\\tmp\\qinst_t\\..\\..\\medium\\qinst_t", none, ""},
      {"relative (beside SETUP on the medium)", "qinst_t", none, ""},
      {"a folder that is not there", "C:\\tmp\\gone\\qinst_t\\", none, ""},
      {"an integer", "#7", none, ""},
      {"empty", "", none, "", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TSetupSandbox sb;
    sb.Write("C:\\tmp\\qinst_t\\inst.exe", "the installer", 0755);
    sb.Write("C:\\tmp\\qinst_t\\data\\disk1.cab", "cab");
    c.prepare(sb);
    if (c.value.rfind("#", 0) == 0) {
      sb.SetIntegerValue("TempPath", std::stoi(c.value.substr(1)));
    } else {
      sb.SetValue("TempPath", c.value.rfind("@", 0) == 0 ? Utf8ToSjis(sb.Native(c.value.substr(1))) : c.value);
    }
    const auto [before, after] = RunInstallButton(sb);
    if (*c.removed) {
      sb.ExpectChangesOnlyBelow(before, after, {c.removed});
      EXPECT_EQ(after.count(c.removed), 0u);
    } else {
      EXPECT_EQ(after, before);
    }
    EXPECT_EQ(sb.HasValue("TempPath"), c.valueStays);
    EXPECT_EQ(sb.sys.process->starts.size(), 1u);  // the game starts whatever the value
  }
}

// ---------------------------------------------------------------- uninstall

TEST(SetupUninstall, RemovesTheGameItsEntriesAndTheWholeProductKey) {
  struct Case {
    const char* what;
    std::string installPath;  // "@" + game path: its native form
    std::function<void(TSetupSandbox&)> prepare;
    std::string shownFolder;  // "@" + game path: its native form
    bool present;             // the first question, or the registry-only one
    std::vector<std::string> gone, stay;
  };
  const auto none = [](TSetupSandbox&) {};
  const Case cases[] = {
      {"the game folder, links in it deleted as links",
       "C:\\games\\",
       [](TSetupSandbox& sb) {
         sb.Link("C:\\games\\vdm_q_t\\save\\home", sb.Native("C:\\home\\player"));
         sb.Link("C:\\games\\vdm_q_t\\notes", sb.Native("C:\\home\\player\\notes.txt"));
       },
       "C:\\games\\vdm_q_t",
       true,
       {"/c/games/vdm_q_t"},
       {"/c/games/keep.txt", "/c/home/player/notes.txt"}},
      {"a read-only file stays, with its folders",
       "C:\\games\\",
       [](TSetupSandbox& sb) { sb.Write("C:\\games\\vdm_q_t\\save\\locked.dat", "r", 0444); },
       "C:\\games\\vdm_q_t",
       true,
       {"/c/games/vdm_q_t/dat", "/c/games/vdm_q_t/vdm_q_t.exe", "/c/games/vdm_q_t/save/SAVE01.DAT"},
       {"/c/games/vdm_q_t/save/locked.dat"}},
      {"no trailing separator", "C:\\games", none, "C:\\games\\vdm_q_t", true, {"/c/games/vdm_q_t"}, {"/c/games"}},
      {"native, no trailing separator",
       "@C:\\games",
       none,
       "@C:\\games\\vdm_q_t",
       true,
       {"/c/games/vdm_q_t"},
       {"/c/games"}},
      {"a folder ending in a 0x5C trail byte",
       Utf8ToSjis("C:\\ソ"),
       [](TSetupSandbox& sb) { sb.Write(Utf8ToSjis("C:\\ソ\\vdm_q_t\\vdm_q_t"), "the game", 0755); },
       Utf8ToSjis("C:\\ソ\\vdm_q_t"),
       true,
       {"/c/ソ/vdm_q_t"},
       {"/c/ソ", "/c/games/vdm_q_t"}},
      {"the game folder is a link",
       "C:\\games\\",
       [](TSetupSandbox& sb) {
         ASSERT_EQ(rename(sb.Native("C:\\games\\vdm_q_t").c_str(), sb.Native("C:\\elsewhere").c_str()), 0);
         sb.Link("C:\\games\\vdm_q_t", sb.Native("C:\\elsewhere"));
       },
       "C:\\games\\vdm_q_t",
       true,
       {"/c/games/vdm_q_t"},
       {"/c/elsewhere/vdm_q_t.exe", "/c/elsewhere/save/SAVE01.DAT"}},
      {"the game is gone: only the registry",
       "C:\\games\\",
       [](TSetupSandbox& sb) { ASSERT_EQ(unlink(sb.Native("C:\\games\\vdm_q_t\\vdm_q_t.exe").c_str()), 0); },
       "C:\\games\\vdm_q_t",
       false,
       {},
       {"/c/games/vdm_q_t/save/SAVE01.DAT"}},
      {"relative: only the registry", "games", none, "games\\vdm_q_t", false, {}, {"/c/games/vdm_q_t/vdm_q_t.exe"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TSetupSandbox sb;
    const auto native = [&](const std::string& v) { return v[0] == '@' ? Utf8ToSjis(sb.Native(v.substr(1))) : v; };
    c.prepare(sb);
    sb.SetValue("InstallPath", native(c.installPath));
    sb.SetValue("TempPath", "C:\\tmp\\qinst_t\\");
    {
      // The game's options, written under the key in another letter case.
      TRegistry reg(*sb.sys.registry);
      ASSERT_TRUE(reg.OpenKey("SOFTWARE\\NAVIRO Veldmark\\Veldmark Q Try\\system", true));
      reg.WriteInteger("BGM", 1);
    }
    const TListing before = sb.Listing();
    TSetupRun run;
    TWindowState afterwards;
    run.Click("btnUnInst").Answer("OK").Answer("OK").Then([&] { afterwards = ReadWindow(); }).Click("Button1");
    EXPECT_EQ(run.Run(), 0);
    const TListing after = sb.Listing();

    ASSERT_EQ(run.boxes.size(), 2u);
    const std::string shown = U8(native(c.shownFolder));
    EXPECT_EQ(U8(run.boxes[0].text), c.present ? RemovalQuestion(shown) : RegistryOnlyQuestion(shown));
    EXPECT_EQ(U8(run.boxes[0].caption), "確認");
    EXPECT_EQ(run.boxes[0].buttons, 2);
    EXPECT_EQ(U8(run.boxes[1].text), "アンインストールを終了しました。");
    EXPECT_EQ(U8(run.boxes[1].caption), "報告");
    EXPECT_EQ(run.boxes[1].buttons, 1);

    std::vector<std::string> allowed = c.gone;
    allowed.push_back(StartMenuEntry());
    allowed.push_back(DesktopEntry());
    sb.ExpectChangesOnlyBelow(before, after, allowed);
    for (const std::string& path : allowed) EXPECT_EQ(after.count(path), 0u) << path;
    for (const std::string& path : c.stay) EXPECT_EQ(after.count(path), 1u) << path;
    EXPECT_FALSE(sb.sys.registry->KeyExists("Software\\NAVIRO Veldmark\\Veldmark Q Try"));
    EXPECT_TRUE(sb.sys.registry->KeyExists("Software\\NAVIRO Veldmark"));
    EXPECT_EQ(afterwards.inst, "ｲﾝｽﾄｰﾙ");
    EXPECT_FALSE(afterwards.unInstEnabled);
    EXPECT_TRUE(sb.sys.process->starts.empty());
  }
}

TEST(SetupUninstall, CancelOnlyUpdatesTheButtons) {
  TSetupSandbox sb;
  const TListing before = sb.Listing();
  const std::string registry = sb.RegistryText();
  TSetupRun run;
  TWindowState afterwards;
  run.Click("btnUnInst").Answer("Cancel").Then([&] { afterwards = ReadWindow(); }).Click("Button1");
  EXPECT_EQ(run.Run(), 0);
  EXPECT_EQ(run.boxes.size(), 1u);
  EXPECT_EQ(sb.Listing(), before);
  EXPECT_EQ(sb.RegistryText(), registry);
  EXPECT_EQ(afterwards.inst, "ｹﾞｰﾑ開始");
}

// Without the shell folders the entries would be named at the root ("\<title>\", "\<title>.lnk").
TEST(SetupUninstall, EmptyShellFoldersLeaveTheRootAlone) {
  TSetupSandbox sb;
  sb.sys.registry->SetShellFolder("Desktop", "");
  sb.sys.registry->SetShellFolder("Programs", "");
  sb.sys.WriteFile("C:\\" + Utf8ToSjis(Title()) + "\\mine", "m");
  sb.sys.WriteFile("C:\\" + Utf8ToSjis(Title()) + ".lnk", "l");
  const TListing before = sb.Listing();
  TSetupRun run;
  run.Click("btnUnInst").Answer("OK").Answer("OK").Click("Button1");
  EXPECT_EQ(run.Run(), 0);
  const TListing after = sb.Listing();
  sb.ExpectChangesOnlyBelow(before, after, {"/c/games/vdm_q_t"});
  EXPECT_EQ(after.count("/c/games/vdm_q_t"), 0u);
  EXPECT_FALSE(sb.ProductKeyExists());
}

TEST(SetupUninstall, AnInstallPathEmptiedMeanwhileOnlyUpdatesTheButtons) {
  TSetupSandbox sb;
  const TListing before = sb.Listing();
  TSetupRun run;
  TWindowState afterwards;
  run.Then([&] { sb.SetValue("InstallPath", ""); })
      .Click("btnUnInst")
      .Then([&] {
        EXPECT_EQ(TopModal(), nullptr);
        afterwards = ReadWindow();
      })
      .Click("Button1");
  EXPECT_EQ(run.Run(), 0);
  EXPECT_TRUE(run.boxes.empty());
  EXPECT_EQ(sb.Listing(), before);
  EXPECT_EQ(afterwards.inst, "ｲﾝｽﾄｰﾙ");
  EXPECT_FALSE(afterwards.unInstEnabled);
}

// ---------------------------------------------------------------- ended from outside

// A termination signal closes the dialog, and a question over it, without doing anything of the
// question; the program ends with status 0 and lets its mutex go.
TEST(SetupEnd, ATerminationSignalEndsTheProgramWithoutActing) {
  for (const bool inQuestion : {false, true}) {
    SCOPED_TRACE(inQuestion ? "the uninstall question" : "the dialog");
    TSetupSandbox sb;
    const TListing before = sb.Listing();
    const std::string registry = sb.RegistryText();
    TSetupRun run;
    if (inQuestion) run.Click("btnUnInst");
    run.Then([&] {
      EXPECT_EQ(TopModal() != nullptr, inQuestion);
      EXPECT_TRUE(sb.sys.mutexes->IsHeld("VDM_Q SETUP"));
      raise(SIGTERM);
    });
    EXPECT_EQ(run.Run(), 0);
    EXPECT_EQ(sb.Listing(), before);
    EXPECT_EQ(sb.RegistryText(), registry);
    EXPECT_TRUE(sb.sys.process->starts.empty());
    EXPECT_FALSE(sb.sys.mutexes->IsHeld("VDM_Q SETUP"));
  }
}

// ---------------------------------------------------------------- hostile values

// Beside a sentinel tree, each value of "InstallPath" (uninstall) and "TempPath" (game start)
// deletes exactly the folder it names as a Linux path, and the question shows that folder. A native
// name holding backslashes ("a\..\..") names a real folder of that name, which no game path can
// carry: nothing goes and the uninstall click only updates the buttons, as for an empty value.
TEST(SetupHostileValues, TheFolderThatGoesIsTheFolderShown) {
  struct Case {
    const char* what;
    const char* key;    // "InstallPath": uninstall; "TempPath": game start
    std::string value;  // "%" stands for the native root of C:
    std::string shown;  // the folder the question names ("%" as above); "": no question
    std::vector<std::string> gone;
  };
  const Case cases[] = {
      {"backslashes inside a native name", "InstallPath", "%/p/a\\..\\..", "", {}},
      {"a native name in another letter case", "InstallPath", "%/GAMES", "", {}},
      {"native ..", "InstallPath", "%/p/q/../../games/", "%/games/vdm_q_t", {"/c/games/vdm_q_t"}},
      {".. above the drive's root", "InstallPath", "C:\\..\\p\\..\\..", "C:\\vdm_q_t", {"/c/vdm_q_t"}},
      {"backslashes inside a native name", "TempPath", "%/p/a\\..\\..\\qinst_t", "", {}},
      {"native ..", "TempPath", "%/p/../qinst_t/", "", {"/c/qinst_t"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.key) + ": " + c.what);
    TSetupSandbox sb;
    const std::string root = sb.sys.Root() + "/c";
    const auto expand = [&](std::string v) {
      if (const size_t at = v.find('%'); at != std::string::npos) v.replace(at, 1, root);
      return v;
    };
    const auto plant = [](const std::string& native, const std::string& bytes) {
      std::filesystem::create_directories(std::filesystem::path(native).parent_path());
      std::ofstream(native, std::ios::binary) << bytes;
    };
    // What the backslashes would name if they were separators, and the real folders of those names.
    plant(root + "/vdm_q_t/vdm_q_t.exe", "another program");
    plant(root + "/vdm_q_t/unrelated.txt", "not the game's");
    plant(root + "/qinst_t/keep", "the player's folder");
    plant(root + "/p/a\\..\\../vdm_q_t/vdm_q_t.exe", "the game");
    plant(root + "/p/a\\..\\..\\qinst_t/inst.exe", "the installer");
    sb.SetValue(c.key, expand(c.value));
    const TListing before = sb.Listing();
    const std::string registry = sb.RegistryText();

    TSetupRun run;
    TWindowState afterwards;
    if (std::string(c.key) == "TempPath") {
      run.Click("btnInst");
    } else {
      run.Click("btnUnInst");
      if (!c.shown.empty()) run.Answer("OK").Answer("OK");
      run.Then([&] { afterwards = ReadWindow(); }).Click("Button1");
    }
    EXPECT_EQ(run.Run(), 0);
    const TListing after = sb.Listing();
    std::vector<std::string> allowed = c.gone;
    if (!c.shown.empty()) allowed.insert(allowed.end(), {StartMenuEntry(), DesktopEntry()});
    sb.ExpectChangesOnlyBelow(before, after, allowed);
    for (const std::string& path : allowed) EXPECT_EQ(after.count(path), 0u) << path;

    if (std::string(c.key) == "TempPath") {
      if (c.gone.empty()) {
        EXPECT_EQ(after, before);
      }
      EXPECT_FALSE(sb.HasValue("TempPath"));
      EXPECT_EQ(sb.sys.process->starts.size(), 1u);
    } else if (c.shown.empty()) {
      EXPECT_TRUE(run.boxes.empty());
      EXPECT_EQ(after, before);
      EXPECT_EQ(sb.RegistryText(), registry);
      EXPECT_EQ(afterwards.inst, "ｹﾞｰﾑ開始");
    } else {
      ASSERT_EQ(run.boxes.size(), 2u);
      EXPECT_EQ(U8(run.boxes[0].text), RemovalQuestion(expand(c.shown)));
      EXPECT_FALSE(sb.ProductKeyExists());
      EXPECT_EQ(afterwards.inst, "ｲﾝｽﾄｰﾙ");
    }
  }
}

// ---------------------------------------------------------------- helpers

// The game's command line is split by the window system's rules: each argument comes back whole.
TEST(SetupHelpers, QuotedArgumentsComeBackWholeFromTheSplitter) {
  for (const std::string& arg :
       std::vector<std::string>{"plain", "", "with blank", "say \"hi\"", "trailing\\", "two\\\\", "back\\\"quote",
                                "\\\\server\\share dir\\", Utf8ToSjis("ソ表\\能 ソ"), Utf8ToSjis("終わりがソ")}) {
    EXPECT_EQ(SplitCommandLine(QuoteArgument(arg)), std::vector<std::string>{arg}) << arg;
  }
}

}  // namespace vdmq::setup::test
