// The registry file is the setup program's only input: random "InstallPath" and "TempPath" values
// (integers, empty, long, separators only, "..", cut double-byte letters, the sandbox's root, the
// medium, the home folder, and random mixtures) drive whole runs that install, start the game or
// uninstall. Every run ends cleanly and deletes nothing outside the product's folders.

#include <gtest/gtest.h>

#include <optional>
#include <random>

#include "SetupSupport.h"
#include "platform/base/Sjis.h"
#include "platform/core/Application.h"
#include "platform/headless/TestKit.h"
#include "setup/SetupForm.h"

namespace vdmq::setup::test {
namespace {

using vdmq::test::Below;
using vdmq::test::TListing;
using vdmq::test::Without;

// A registry value: a string, or an integer.
struct TValue {
  std::string text;
  std::optional<int> integer;
  std::string Describe() const { return integer ? "#" + std::to_string(*integer) : "\"" + SjisToUtf8(text) + "\""; }
};

class TValues {
 public:
  TValues(std::uint32_t seed, const TSetupSandbox& sb) : rng_(seed), sb_(sb) {}

  int Below(int n) { return static_cast<int>(rng_() % static_cast<unsigned>(n)); }

  TValue Next() {
    if (Below(7) == 0) return {{}, static_cast<int>(rng_())};
    return {Text(), std::nullopt};
  }

  // Values that name the parent folders, the roots, the medium and the home folder, or end in
  // half of a double-byte letter (which would swallow the separator joined after it).
  std::vector<std::string> Specials() {
    return {"..",
            "..\\..",
            "../..",
            ".",
            "C:..",
            "C:",
            "\x83",
            "C:\\games\\\x83",
            "/\x81",
            "C:\\\x83",
            Native("C:\\games") + "/\x83",
            Native("C:\\tmp") + "/\x83",
            "C:\\",
            "/",
            "\\",
            Native("C:\\"),
            "C:\\medium\\",
            Native("C:\\medium"),
            "C:\\home\\player",
            Native("C:\\home\\player\\")};
  }

 private:
  std::string Text() {
    switch (Below(5)) {
      case 0: return "";
      case 1: {
        std::string s(300 + Below(200), ' ');
        for (char& c : s) c = static_cast<char>(1 + Below(255));
        return s;
      }
      case 2: {
        std::string s(1 + Below(6), '\\');
        for (char& c : s) c = Below(2) ? '\\' : '/';
        return s;
      }
      case 3: {
        const std::vector<std::string> specials = Specials();
        return specials[static_cast<size_t>(Below(static_cast<int>(specials.size())))];
      }
      default: return Mixture();
    }
  }

  std::string Pick(std::initializer_list<std::string> options) {
    return *(options.begin() + Below(static_cast<int>(options.size())));
  }
  std::string Native(const std::string& gamePath) { return Utf8ToSjis(sb_.Native(gamePath)); }

  // A path of well-known and odd components under one of the prefixes a value may carry.
  std::string Mixture() {
    static const char* const parts[] = {"..",  ".",     "qinst_t", "vdm_q_t", "medium", "home",    "player",
                                        "tmp", "games", "Desktop", "\x83",    "",       "QINST_T", "vdm_q_t.exe"};
    std::string s = Pick({"", "C:\\", "c:/", "\\", "/", Native("C:\\"), Native("C:\\medium\\"),
                          Native("C:\\home\\player\\"), "C:\\medium\\", "C:\\home\\player\\", "C:\\tmp\\"});
    const int n = Below(5);
    for (int i = 0; i < n; ++i) {
      const int p = Below(static_cast<int>(std::size(parts)) + 1);
      s += p == static_cast<int>(std::size(parts)) ? Utf8ToSjis("ｳﾞｪﾙﾄﾞﾏﾙｸQ 体験版") : parts[p];
      if (i + 1 < n || Below(2)) s += Below(2) ? '\\' : '/';
    }
    return s;
  }

  std::mt19937 rng_;
  const TSetupSandbox& sb_;
};

void SetRandomValue(TSetupSandbox& sb, const std::string& name, const TValue& value) {
  if (value.integer) {
    sb.SetIntegerValue(name, *value.integer);
  } else {
    sb.SetValue(name, value.text);
  }
}

// True when a changed sandbox path lies in one of the product's folders: a game folder or an
// installer copy (by name), the Start-menu folder or the desktop link.
bool InProductFolder(const std::string& path) {
  if (path == DesktopEntry() || path == StartMenuEntry() || path.rfind(StartMenuEntry() + "/", 0) == 0) return true;
  size_t start = 1;
  while (start <= path.size()) {
    size_t end = path.find('/', start);
    if (end == std::string::npos) end = path.size();
    std::string part = path.substr(start, end - start);
    for (char& c : part) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (part == "vdm_q_t" || part == "qinst_t") return true;
    start = end + 1;
  }
  return false;
}

}  // namespace

TEST(SetupRandomRegistry, EveryRunEndsCleanlyAndDeletesOnlyTheProductsFolders) {
  constexpr int kRandomRuns = 120;
  const int specials = static_cast<int>(TValues(0, TSetupSandbox()).Specials().size());
  // First every special value as "InstallPath" for a confirmed uninstall and as "TempPath" for a
  // game start, then random values and actions.
  for (int i = 0; i < 2 * specials + kRandomRuns; ++i) {
    TSetupSandbox sb;
    TValues values(static_cast<std::uint32_t>(i) * 2654435761u + 17u, sb);
    // Folders whose names end like the product's, which a swallowed separator would name, and a
    // game folder on the medium, which a relative value would name.
    sb.Write("C:\\medium\\vdm_q_t\\vdm_q_t.exe", "the medium's", 0755);
    sb.Write(Utf8ToSjis("C:\\games\\ソvdm_q_t\\vdm_q_t.exe"), "someone else's", 0755);
    sb.Write(Utf8ToSjis("C:\\tmp\\ソqinst_t\\inst.exe"), "someone else's", 0755);
    sb.Write("C:\\tmp\\qinst_t\\inst.exe", "the installer copy", 0755);
    TValue installPath = values.Next(), tempPath = values.Next();
    bool uninstall = values.Below(2) == 1;
    bool confirm = values.Below(4) != 0;
    if (i < specials) {
      installPath = {values.Specials()[static_cast<size_t>(i)], std::nullopt};
      uninstall = confirm = true;
    } else if (i < 2 * specials) {
      installPath = {"C:\\games\\", std::nullopt};
      tempPath = {values.Specials()[static_cast<size_t>(i - specials)], std::nullopt};
      uninstall = false;
    }
    SetRandomValue(sb, "InstallPath", installPath);
    SetRandomValue(sb, "TempPath", tempPath);
    SCOPED_TRACE("run " + std::to_string(i) + ": InstallPath " + installPath.Describe() + ", TempPath " +
                 tempPath.Describe());
    const TListing before = sb.Listing();

    // One action (the first button, or the second), then the answers, then the end.
    bool acted = false;
    TSetupRun run;
    run.whenIdle = [&] {
      if (TopModal()) {
        if (!AnswerBox(confirm ? "OK" : "Cancel", run.boxes)) AnswerBox("OK", run.boxes);
      } else if (!acted) {
        acted = true;
        vdmq::Click(uninstall ? fmMain->btnUnInst : fmMain->btnInst, mbLeft, false);
      } else {
        vdmq::Click(fmMain->Button1, mbLeft, false);
      }
    };
    ASSERT_EQ(run.Run(), 0);

    // The medium keeps SETUP and its installer folder; its game folder goes only when an absolute
    // "InstallPath" names the medium, never for a relative value (which would name it too).
    const TListing after = sb.Listing();
    EXPECT_EQ(Without(Below(after, "/c/medium"), "/vdm_q_t"), Without(Below(before, "/c/medium"), "/vdm_q_t"));
    const std::string& v = installPath.text;
    const bool absolute = !installPath.integer && (v.rfind("/", 0) == 0 || v.rfind("\\", 0) == 0 ||
                                                   (v.size() >= 3 && v[1] == ':' && (v[2] == '\\' || v[2] == '/')));
    if (!absolute) {
      EXPECT_EQ(Below(after, "/c/medium/vdm_q_t"), Below(before, "/c/medium/vdm_q_t"));
    }
    for (const std::string& path : vdmq::test::ChangedPaths(before, after)) {
      EXPECT_TRUE(InProductFolder(path)) << "changed outside the product's folders: " << path;
    }
    // The registry is left in a clear state.
    bool reported = false;
    for (const TBoxSeen& b : run.boxes) reported = reported || SjisToUtf8(b.text) == "アンインストールを終了しました。";
    if (reported) {
      EXPECT_FALSE(sb.ProductKeyExists());
    }
    const bool installed = !installPath.integer && !installPath.text.empty();
    if (!uninstall && installed) {
      EXPECT_TRUE(!sb.HasValue("TempPath") || sb.Value("TempPath").empty());
    }
  }
}

}  // namespace vdmq::setup::test
