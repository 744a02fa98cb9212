#pragma once
// The program's own file and folder, making that folder the current one, and starting programs.
// A started program gets its own path as its first argument (so process lists show it by its own
// name), then the command line split into arguments as the window system's C runtime splits it
// (blanks separate, double quotes group, \" is a quote); it inherits the current folder and the
// environment, and gets no open file of ours but the standard three. A program named with ".exe"
// that does not exist is looked for without the extension (the game's program is "vdm_q_t").

#include <sys/types.h>
#include <string>
#include <string_view>
#include <vector>

namespace vdmq {

class TProcessService {
 public:
  virtual ~TProcessService() = default;
  // Starts a program (a game path) with its own path as the first argument and the arguments of
  // commandLine (none when null) after it. True when the process was started.
  virtual bool Start(std::string_view program, const std::string* commandLine) = 0;
  // Game path of the running program's file ("C:\opt\vdmq\vdm_q_t").
  virtual std::string ProgramFile() = 0;
  // Makes the folder of the program's file the current folder.
  virtual bool MakeProgramFolderCurrent() = 0;
  // Folder of the program's file, ending with "\".
  std::string ProgramFolder();
};

class TLinuxProcessService : public TProcessService {
 public:
  ~TLinuxProcessService() override;
  bool Start(std::string_view program, const std::string* commandLine) override;
  std::string ProgramFile() override;
  bool MakeProgramFolderCurrent() override;

 private:
  void ReapFinished();
  std::vector<pid_t> children_;
};

// Records what would start; the program's file is set by the test. MakeProgramFolderCurrent changes
// the current folder to the mapped folder (inside the fake drives) when it exists.
class TFakeProcessService : public TProcessService {
 public:
  struct TStart {
    std::string program;
    std::string commandLine;
    bool hasCommandLine = false;
  };
  bool Start(std::string_view program, const std::string* commandLine) override;
  std::string ProgramFile() override { return programFile_; }
  bool MakeProgramFolderCurrent() override;
  void SetProgramFile(std::string gamePath) { programFile_ = std::move(gamePath); }

  std::vector<TStart> starts;
  int folderChanges = 0;

 private:
  std::string programFile_ = "C:\\vdmq\\vdm_q_t.exe";
};

// The arguments of a command line (code page 932 bytes; a double-byte letter is never split).
std::vector<std::string> SplitCommandLine(std::string_view commandLine);

// Native path of a program to start: the mapped path, or without a final ".exe" when only that exists.
std::string NativeProgramPath(std::string_view program);

}  // namespace vdmq
