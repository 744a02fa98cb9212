#pragma once
// The help viewer: the help button shows the contents of the game's help file, and the main window
// tells the viewer to quit when it goes. The help file ("q_help.hlp") stands for a document of the
// same name beside it that a desktop viewer can show: q_help.html, q_help.htm, q_help.pdf or
// q_help.txt (any case). The viewer is the command in VDMQ_HELP_CMD (split like a command line, the
// document appended) or else xdg-open. It starts as the leader of a process group of its own, so
// that what it starts itself stays in that group, also after it has ended (a launcher that handed
// the document over). Quit asks the whole group to end (SIGTERM): the launcher and every process
// left in its group. A program that the launcher only asked to show the document (an already
// running browser, a service started through the session bus) or that left the group is not ours
// and stays open. The group's leader is waited for only when the group is done, so its number can
// never name another group while we may signal it.
// Context topics (a kit window's help button asks for context 0) have no help file to come from:
// the viewer shows nothing for them.

#include <sys/types.h>
#include <string>
#include <string_view>
#include <vector>

namespace vdmq {

class THelpViewer {
 public:
  virtual ~THelpViewer() = default;
  // Shows the contents of the help file; false when there is nothing to show or no viewer.
  virtual bool Contents(std::string_view helpFile) = 0;
  // Shows the topic of a context number; false when there is none to show.
  virtual bool Context(int context) = 0;
  virtual void Quit() = 0;
};

class TLinuxHelpViewer : public THelpViewer {
 public:
  ~TLinuxHelpViewer() override;
  // False when there is no document, the viewer cannot be started, or it ends at once with a
  // failure (a launcher that found no program for the document). True at once while the viewer
  // started last still runs.
  bool Contents(std::string_view helpFile) override;
  // The game names no help file for context topics: nothing is shown.
  bool Context(int) override { return false; }
  void Quit() override;
  // Absolute native path of the document that stands for a help file; "" when there is none.
  static std::string Document(std::string_view helpFile);

 private:
  // Forgets the groups whose leader has ended and in which nothing else runs.
  void ForgetFinishedGroups();
  // The leaders of the groups we started (each one's number is its group's), last started last;
  // none of them waited for yet.
  std::vector<pid_t> groups_;
};

// Records the calls ("contents <file>", "context <number>", "quit").
class TFakeHelpViewer : public THelpViewer {
 public:
  bool Contents(std::string_view helpFile) override {
    calls.push_back("contents " + std::string(helpFile));
    return true;
  }
  bool Context(int context) override {
    calls.push_back("context " + std::to_string(context));
    return true;
  }
  void Quit() override { calls.push_back("quit"); }
  std::vector<std::string> calls;
};

}  // namespace vdmq
