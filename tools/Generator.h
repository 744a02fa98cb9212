#pragma once
// The data generator's frame: the options of a run, the stages that write the game folder's files,
// the command line of make_sample_data and its exit codes. Each stage (the world, the pictures, and
// those that later sets of files add) is one entry of Stages(), run in that order.
//
// Nothing the generator writes depends on the clock, the locale, the environment, the output folder
// or the number of threads: two runs give byte-identical files.

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace vdmq {
class TQvMap;
}

namespace vdmq::sample {

struct TGenerateOptions {
  std::string Folder;               // the game folder (created when missing)
  std::vector<std::string> Stages;  // the stages to run; empty: every stage
  std::string StageFolder;          // keeps the staged files; empty: a temporary folder
  std::string PreviewFolder;        // receives the contact sheets; empty: none are made
  int Threads = 0;                  // 1..64; 0: the machine's hardware thread count
  bool FlameRows = false;           // print the battle's engine-flame table instead of writing files
};

// Options for some stages into a folder, everything else by default.
TGenerateOptions OptionsFor(const std::string& folder, std::vector<std::string> stages);

// One run: the options, its temporary folders and the world every stage shares.
class TGeneration {
 public:
  explicit TGeneration(const TGenerateOptions& options);
  ~TGeneration();
  TGeneration(const TGeneration&) = delete;
  TGeneration& operator=(const TGeneration&) = delete;

  const TGenerateOptions& Options() const { return options_; }
  int Threads() const { return threads_; }
  // The full path of a file or folder below the game folder.
  std::string GamePath(const std::string& relative) const;
  // A fresh subfolder of the run's temporary folder (removed at the end of the run); "" when it
  // cannot be made (reported).
  std::string MakeWorkFolder(const std::string& name);
  // Where a stage keeps its staged files: the --stage folder, else a temporary folder; "" when it
  // cannot be made (reported).
  std::string StageFolder();
  // The world tables and the scenario map, built once per run (BuildWorld, BuildMap).
  TQvMap& Map();
  // Reports that a file or folder could not be made: its path and the reason, on stderr. False.
  bool Fail(const std::string& path, const std::string& reason) const;
  // Reports a failure already put into words ("path: reason"). False.
  bool Report(const std::string& message) const;

 private:
  TGenerateOptions options_;
  int threads_ = 1;
  std::string work_;
  std::string stage_;
  std::unique_ptr<TQvMap> map_;
};

struct TStage {
  const char* Name;
  // What the stage writes below the game folder, for the usage text.
  const char* Writes;
  bool (*Run)(TGeneration& generation);
};
// Every stage, in running order.
const std::vector<TStage>& Stages();

// Runs body(0) .. body(count - 1) on up to `threads` threads (the calling one among them); each index
// once. The bodies must not depend on one another's order.
void ParallelFor(int count, int threads, const std::function<void(int index)>& body);

// Runs the chosen stages into the options' folder. False (with the path and the reason on stderr)
// when a file or folder cannot be made; the files of an earlier run then stay as they were.
bool GenerateSampleData(const TGenerateOptions& options);

// make_sample_data's command line (the arguments after the program name). False with the reason in
// *error when it is bad: an unknown option or stage, a missing folder or option value, a thread count
// outside 1..64; --flame-rows with anything but --threads.
bool ParseCommandLine(const std::vector<std::string>& args, TGenerateOptions* options, std::string* error);
std::string Usage(const std::string& program);
// The whole program: 0 done, 2 a bad command line (usage on stderr, nothing written), 1 a file or
// folder that cannot be made. With --flame-rows it prints the flame table's rows on stdout and
// writes nothing.
int MakeSampleDataMain(int argc, const char* const* argv);

}  // namespace vdmq::sample
