#include "tools/Generator.h"

#include <stdlib.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <thread>

#include "campaign/Qvmap.h"
#include "qolib/pack/Quorvel.h"
#include "tools/HullModels.h"
#include "tools/MovieStage.h"
#include "tools/PictureStage.h"
#include "tools/SampleData.h"
#include "tools/Sounds.h"

namespace vdmq::sample {

namespace fs = std::filesystem;

namespace {

constexpr int kMaxThreads = 64;

// The archive writer reports its failures through the platform's message box and exception
// display; the generator has no window, so they go to stderr.
class TStderrPlatform : public TQoPlatform {
 public:
  int MessageBox(const std::string& text, const std::string& caption, unsigned) override {
    std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
    return 1;
  }
  void ShowException(const std::string& text) override { std::fprintf(stderr, "%s\n", text.c_str()); }
};

// Installs the stderr platform for one run and puts back what was installed before.
class TPlatformGuard {
 public:
  TPlatformGuard() : previous_(&QoPlatform()) { SetQoPlatform(&platform_); }
  ~TPlatformGuard() { SetQoPlatform(previous_); }

 private:
  TQoPlatform* previous_;
  TStderrPlatform platform_;
};

std::string TempRoot() {
  const char* t = std::getenv("TMPDIR");
  return t != nullptr && t[0] == '/' ? t : "/tmp";
}

}  // namespace

TGenerateOptions OptionsFor(const std::string& folder, std::vector<std::string> stages) {
  TGenerateOptions o;
  o.Folder = folder;
  o.Stages = std::move(stages);
  return o;
}

TGeneration::TGeneration(const TGenerateOptions& options) : options_(options) {
  threads_ = options.Threads > 0 ? options.Threads : static_cast<int>(std::thread::hardware_concurrency());
  if (threads_ < 1) threads_ = 1;
  if (threads_ > kMaxThreads) threads_ = kMaxThreads;
}

TGeneration::~TGeneration() {
  if (!work_.empty()) {
    std::error_code ec;
    fs::remove_all(work_, ec);
  }
}

std::string TGeneration::GamePath(const std::string& relative) const {
  return (fs::path(options_.Folder) / relative).string();
}

std::string TGeneration::MakeWorkFolder(const std::string& name) {
  if (work_.empty()) {
    std::string pattern = TempRoot() + "/vdmq-gen-XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr) {
      Fail(pattern, std::strerror(errno));
      return {};
    }
    work_ = pattern;
  }
  const fs::path p = fs::path(work_) / name;
  std::error_code ec;
  fs::create_directories(p, ec);
  if (ec) {
    Fail(p.string(), ec.message());
    return {};
  }
  return p.string();
}

std::string TGeneration::StageFolder() {
  if (!stage_.empty()) return stage_;
  if (options_.StageFolder.empty()) {
    stage_ = MakeWorkFolder("stage");
    return stage_;
  }
  std::error_code ec;
  fs::create_directories(options_.StageFolder, ec);
  if (!fs::is_directory(options_.StageFolder)) {
    Fail(options_.StageFolder, ec ? ec.message() : "not a folder");
    return {};
  }
  stage_ = options_.StageFolder;
  return stage_;
}

TQvMap& TGeneration::Map() {
  if (!map_) {
    BuildWorld();
    map_ = std::make_unique<TQvMap>();
    BuildMap(map_.get());
  }
  return *map_;
}

bool TGeneration::Fail(const std::string& path, const std::string& reason) const {
  return Report(path + ": " + reason);
}

bool TGeneration::Report(const std::string& message) const {
  std::fprintf(stderr, "cannot write %s\n", message.c_str());
  return false;
}

void ParallelFor(int count, int threads, const std::function<void(int)>& body) {
  std::atomic<int> next{0};
  auto work = [&] {
    for (int i = next++; i < count; i = next++) body(i);
  };
  std::vector<std::thread> pool;
  for (int t = 1; t < std::min(threads, count); ++t) pool.emplace_back(work);
  work();
  for (std::thread& t : pool) t.join();
}

const std::vector<TStage>& Stages() {
  static const std::vector<TStage> stages = {
      {"world", "dat/INIT.DAT, dat/MAP00.DAT, save/", RunWorldStage},
      {"pictures", "dat/BMP.PAK", RunPictureStage},
      {"audio", "snd/SE_00.WAV, snd/ERI_nnn.WAV, snd/PET_nnn.WAV", RunAudioStage},
      {"movies", "inter/INT_T01.str, inter/INT_T02.str", RunMovieStage},
  };
  return stages;
}

bool GenerateSampleData(const TGenerateOptions& options) {
  TPlatformGuard platform;
  TGeneration generation(options);
  std::error_code ec;
  fs::create_directories(options.Folder, ec);
  if (!fs::is_directory(options.Folder)) {
    return generation.Fail(options.Folder, ec ? ec.message() : "not a folder");
  }
  for (const TStage& stage : Stages()) {
    bool chosen = options.Stages.empty();
    for (const std::string& s : options.Stages) chosen = chosen || s == stage.Name;
    if (chosen && !stage.Run(generation)) return false;
  }
  return true;
}

bool ParseCommandLine(const std::vector<std::string>& args, TGenerateOptions* options, std::string* error) {
  TGenerateOptions o;
  auto fail = [error](const std::string& why) {
    *error = why;
    return false;
  };
  bool writes = false;  // an option that only a run that writes files takes
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--flame-rows") {
      o.FlameRows = true;
    } else if (a.size() > 2 && a.compare(0, 2, "--") == 0) {
      if (i + 1 >= args.size()) return fail("the option " + a + " needs a value");
      const std::string& v = args[++i];
      writes = writes || a != "--threads";
      if (a == "--only") {
        o.Stages.clear();
        for (size_t start = 0; start <= v.size();) {
          const size_t comma = std::min(v.find(',', start), v.size());
          const std::string name = v.substr(start, comma - start);
          bool known = false;
          for (const TStage& s : Stages()) known = known || name == s.Name;
          if (!known) return fail("unknown stage \"" + name + "\"");
          o.Stages.push_back(name);
          start = comma + 1;
        }
      } else if (a == "--stage") {
        o.StageFolder = v;
      } else if (a == "--preview") {
        o.PreviewFolder = v;
      } else if (a == "--threads") {
        char* end = nullptr;
        errno = 0;
        const long n = std::strtol(v.c_str(), &end, 10);
        if (v.empty() || *end != '\0' || errno != 0 || n < 1 || n > kMaxThreads) {
          return fail("the thread count must be 1.." + std::to_string(kMaxThreads));
        }
        o.Threads = static_cast<int>(n);
      } else {
        return fail("unknown option " + a);
      }
    } else if (a.empty() || a[0] == '-') {
      return fail("unknown option " + a);
    } else if (!o.Folder.empty()) {
      return fail("more than one game folder");
    } else {
      o.Folder = a;
    }
  }
  if (o.FlameRows) {
    if (writes || !o.Folder.empty()) return fail("--flame-rows writes nothing and takes only --threads");
  } else if (o.Folder.empty()) {
    return fail("the game folder is missing");
  }
  *options = o;
  return true;
}

std::string Usage(const std::string& program) {
  std::string u = "usage: " + program + " [--only STAGES] [--stage DIR] [--preview DIR] [--threads N] <game folder>\n";
  u += "       " + program + " --flame-rows [--threads N]\n";
  u += "  --only STAGES   comma-separated stages to run (default: all):\n";
  for (const TStage& s : Stages()) u += std::string("                    ") + s.Name + "  " + s.Writes + "\n";
  u += "  --stage DIR     keep the files that went into the archives in DIR\n";
  u += "  --preview DIR   write contact sheets of the pictures (PNG) into DIR\n";
  u += "  --threads N     worker threads, 1.." + std::to_string(kMaxThreads) + " (default: the hardware threads)\n";
  u += "  --flame-rows    print the battle's engine-flame table, as computed from the hull models\n";
  return u;
}

int MakeSampleDataMain(int argc, const char* const* argv) {
  const std::string program = argc > 0 ? fs::path(argv[0]).filename().string() : "make_sample_data";
  std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
  TGenerateOptions options;
  std::string error;
  if (!ParseCommandLine(args, &options, &error)) {
    std::fprintf(stderr, "%s: %s\n%s", program.c_str(), error.c_str(), Usage(program).c_str());
    return 2;
  }
  if (options.FlameRows) {
    const TGeneration generation(options);
    std::fputs(FlameRowsText(FlameRows(generation.Threads())).c_str(), stdout);
    return 0;
  }
  return GenerateSampleData(options) ? 0 : 1;
}

}  // namespace vdmq::sample
