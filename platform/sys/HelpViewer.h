#pragma once
// The help viewer: the help button shows the contents of the game's help file, and the main window
// tells the viewer to quit when it goes. The help file ("q_help.hlp") stands for a document of the
// same name beside it that a desktop viewer can show: q_help.html, q_help.htm, q_help.pdf or
// q_help.txt (any case). The viewer is the command in VDMQ_HELP_CMD (split like a command line, the
// document appended) or else xdg-open. Quit ends a viewer that we started and that still runs; a
// viewer that handed the document to another program (as xdg-open does) cannot be reached.
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
  bool Contents(std::string_view helpFile) override;
  // The game names no help file for context topics: nothing is shown.
  bool Context(int) override { return false; }
  void Quit() override;
  // Native path of the document that stands for a help file; "" when there is none.
  static std::string Document(std::string_view helpFile);

 private:
  bool Running();
  pid_t child_ = -1;
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
