#pragma once
// Runs of the whole setup program through SetupMain on the headless back end, driven by steps
// that run whenever its loop waits for input, over a sandbox that holds an installation medium,
// a user's home with desktop and application entries, an installed game and a temporary folder.

#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/core/Form.h"
#include "platform/sys/Services.h"
#include "support/TreeListing.h"

namespace vdmq::setup::test {

// What a message box showed.
struct TBoxSeen {
  std::string text;  // code page 932
  std::string caption;
  int buttons = 0;
};

// Presses a button ("OK", "Cancel") of the message box on top, recording what it shows; false when
// no message box is up or it has no such button.
bool AnswerBox(const std::string& button, std::vector<TBoxSeen>& seen);

// The setup program on the headless back end.
class TSetupRun {
 public:
  // A step runs when the loop waits; it may inspect the window and queue input.
  TSetupRun& Then(std::function<void()> step);
  // Clicks a button of the setup window.
  TSetupRun& Click(const std::string& button);
  // Expects a message box, records it in boxes and presses its "OK" or "Cancel".
  TSetupRun& Answer(const std::string& button);
  // SetupMain with a factory that binds a headless session (null: the factory fails). Answers
  // its result; a loop that waits with no step left, and an exception that reaches the layer's
  // exception display, fail the test.
  int Run(bool bindFails = false);

  int factoryCalls = 0;
  std::vector<TBoxSeen> boxes;
  std::vector<std::string> exceptions;
  // Once the steps are done: what runs when the loop waits (null: the run fails).
  std::function<void()> whenIdle;

 private:
  bool Step();
  std::deque<std::function<void()>> steps_;
};

// The fake services over a sandbox laid out as a user's machine:
//   C:\medium\SETUP, C:\medium\qinst_t\...          the installation medium
//   C:\home\player\Desktop\, ...\applications\      the shell folders, with the product's entries
//   C:\games\vdm_q_t\vdm_q_t.exe ...                the installed game ("InstallPath" = "C:\games\")
//   C:\tmp\                                         the temporary folder
class TSetupSandbox {
 public:
  TSetupSandbox();
  TFakeSysServices sys;

  std::string Native(const std::string& gamePath) const { return sys.Native(gamePath); }
  vdmq::test::TListing Listing() const { return vdmq::test::Listing(sys.Root()); }
  // Writes a file with permission bits.
  void Write(const std::string& gamePath, const std::string& bytes, unsigned mode = 0644) const;
  // A symbolic link at a game path to a native target.
  void Link(const std::string& gamePath, const std::string& nativeTarget) const;
  // The product's registry values ("" for a missing one; an integer value as "#<n>").
  void SetValue(const std::string& name, const std::string& value) const;
  void SetIntegerValue(const std::string& name, int value) const;
  std::string Value(const std::string& name) const;
  bool HasValue(const std::string& name) const;
  bool ProductKeyExists() const;
  // The registry as text.
  std::string RegistryText() const;
  // Fails the test for each path changed between the listings that does not lie below one of the
  // given sandbox paths ("/c/games/vdm_q_t").
  void ExpectChangesOnlyBelow(const vdmq::test::TListing& before, const vdmq::test::TListing& after,
                              const std::vector<std::string>& allowed) const;
};

// The product's title and the native sandbox paths of its shell entries.
std::string Title();
std::string StartMenuEntry();  // "/c/home/player/.local/share/applications/<title>"
std::string DesktopEntry();    // "/c/home/player/Desktop/<title>.lnk"

}  // namespace vdmq::setup::test
