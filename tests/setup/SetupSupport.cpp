#include "SetupSupport.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/base/Sjis.h"
#include "platform/core/MessageDialog.h"
#include "platform/headless/TestKit.h"
#include "platform/sys/Files.h"
#include "platform/sys/Process.h"
#include "platform/sys/Registry.h"
#include "platform/sys/RegistryStore.h"
#include "setup/SetupForm.h"
#include "setup/SetupMain.h"

namespace vdmq::setup::test {
namespace {

constexpr const char* kProductKey = "Software\\NAVIRO Veldmark\\Veldmark Q Try";

// Ends the run after a step found the program in another state than it expected.
void GiveUp(const std::string& why) {
  ADD_FAILURE() << why << "\n" << App().DescribeState();
  App().Terminate();
}

}  // namespace

std::string Title() { return "ｳﾞｪﾙﾄﾞﾏﾙｸQ 体験版"; }
std::string StartMenuEntry() { return "/c/home/player/.local/share/applications/" + Title(); }
std::string DesktopEntry() { return "/c/home/player/Desktop/" + Title() + ".lnk"; }

// ---------------------------------------------------------------- runs

TSetupRun& TSetupRun::Then(std::function<void()> step) {
  steps_.push_back(std::move(step));
  return *this;
}

TSetupRun& TSetupRun::Click(const std::string& button) {
  return Then([button] {
    TControl* c = fmMain ? Find<TControl>(fmMain, button) : nullptr;
    if (!c || TopModal()) return GiveUp("no button " + button + " to click");
    vdmq::Click(c, mbLeft, false);
  });
}

bool AnswerBox(const std::string& button, std::vector<TBoxSeen>& seen) {
  auto* box = dynamic_cast<TMessageForm*>(TopModal());
  if (!box) return false;
  auto* label = Find<TControl>(box, "Message");
  seen.push_back({label ? label->Caption() : std::string(), box->Caption(), box->ButtonCount()});
  TControl* b = Find<TControl>(box, button);
  if (!b) return false;
  vdmq::Click(b, mbLeft, false);
  return true;
}

TSetupRun& TSetupRun::Answer(const std::string& button) {
  return Then([this, button] {
    if (!AnswerBox(button, boxes)) GiveUp("no message box to answer with " + button);
  });
}

bool TSetupRun::Step() {
  if (steps_.empty()) {
    if (!whenIdle) return false;
    whenIdle();
    return true;
  }
  const std::function<void()> step = std::move(steps_.front());
  steps_.pop_front();
  step();
  return true;
}

int TSetupRun::Run(bool bindFails) {
  int result = 0;
  try {
    result = SetupMain([this, bindFails]() -> std::shared_ptr<void> {
      ++factoryCalls;
      if (bindFails) return nullptr;
      auto session = std::make_shared<THeadlessSession>();
      session->Backend.Driver = [this] { return Step(); };
      App().OnException = [this](const std::string& text) { exceptions.push_back(text); };
      return session;
    });
  } catch (const EStall& stall) {
    ADD_FAILURE() << "the setup program waits for input that no step gives:\n" << stall.Dump();
    result = -100;
  }
  EXPECT_TRUE(steps_.empty()) << steps_.size() << " steps did not run";
  for (const std::string& e : exceptions) ADD_FAILURE() << "exception in a handler: " << SjisToUtf8(e);
  return result;
}

// ---------------------------------------------------------------- sandbox

TSetupSandbox::TSetupSandbox() {
  sys.process->SetProgramFile("C:\\medium\\SETUP");
  Write("C:\\medium\\SETUP", "the setup program", 0755);
  Write("C:\\medium\\qinst_t\\inst.exe", "the installer", 0755);
  Write("C:\\medium\\qinst_t\\README", "no dot in the name");
  Write("C:\\medium\\qinst_t\\setup.ini", "read-only on the medium", 0444);
  Write("C:\\medium\\qinst_t\\data\\disk1.cab", "cab");
  Write("C:\\medium\\qinst_t\\data\\sub\\x.dat", "x");
  Link("C:\\medium\\qinst_t\\outside", Native("C:\\home\\player"));

  Write("C:\\home\\player\\notes.txt", "the player's own");
  Write("C:\\home\\player\\Desktop\\" + Utf8ToSjis(Title()) + ".lnk", "[Desktop Entry]");
  Write("C:\\home\\player\\Desktop\\other.lnk", "another program");
  Write("C:\\home\\player\\.local\\share\\applications\\" + Utf8ToSjis(Title()) + "\\game.desktop", "entry");
  Write("C:\\home\\player\\.local\\share\\applications\\other.desktop", "another entry");

  Write("C:\\games\\keep.txt", "beside the game");
  Write("C:\\games\\vdm_q_t\\vdm_q_t.exe", "the game", 0755);
  Write("C:\\games\\vdm_q_t\\dat\\INIT.DAT", "data");
  Write("C:\\games\\vdm_q_t\\save\\SAVE01.DAT", "a saved game");
  SetValue("InstallPath", "C:\\games\\");
  mkdir(Native("C:\\tmp").c_str(), 0755);
}

void TSetupSandbox::Write(const std::string& gamePath, const std::string& bytes, unsigned mode) const {
  sys.WriteFile(gamePath, bytes);
  chmod(Native(gamePath).c_str(), mode);
}

void TSetupSandbox::Link(const std::string& gamePath, const std::string& nativeTarget) const {
  EXPECT_EQ(symlink(nativeTarget.c_str(), Native(gamePath).c_str()), 0) << gamePath;
}

void TSetupSandbox::SetValue(const std::string& name, const std::string& value) const {
  TRegistry reg(*sys.registry);
  ASSERT_TRUE(reg.OpenKey(kProductKey, true));
  reg.WriteString(name, value);
}

void TSetupSandbox::SetIntegerValue(const std::string& name, int value) const {
  TRegistry reg(*sys.registry);
  ASSERT_TRUE(reg.OpenKey(kProductKey, true));
  reg.WriteInteger(name, value);
}

std::string TSetupSandbox::Value(const std::string& name) const {
  const auto v = sys.registry->ReadValue(kProductKey, name);
  if (!v) return {};
  return v->type == rdInteger ? "#" + std::to_string(v->integer) : v->text;
}

bool TSetupSandbox::HasValue(const std::string& name) const {
  return sys.registry->ReadValue(kProductKey, name).has_value();
}

bool TSetupSandbox::ProductKeyExists() const { return sys.registry->KeyExists(kProductKey); }

std::string TSetupSandbox::RegistryText() const { return TTreeRegistryStore::Serialize(sys.registry->Root()); }

void TSetupSandbox::ExpectChangesOnlyBelow(const vdmq::test::TListing& before, const vdmq::test::TListing& after,
                                           const std::vector<std::string>& allowed) const {
  for (const std::string& path : vdmq::test::ChangedPaths(before, after)) {
    bool ok = false;
    for (const std::string& a : allowed) ok = ok || path == a || path.compare(0, a.size() + 1, a + "/") == 0;
    EXPECT_TRUE(ok) << "changed outside the product's folders: " << path;
  }
}

}  // namespace vdmq::setup::test
