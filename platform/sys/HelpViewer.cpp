#include "platform/sys/HelpViewer.h"

#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <time.h>

#include <cstdlib>

#include "platform/sys/PathMapper.h"
#include "platform/sys/Process.h"

extern char** environ;

namespace vdmq {

TLinuxHelpViewer::~TLinuxHelpViewer() { Quit(); }

std::string TLinuxHelpViewer::Document(std::string_view helpFile) {
  std::string stem(helpFile);
  const size_t dot = stem.rfind('.');
  const size_t sep = stem.find_last_of("\\/");
  if (dot != std::string::npos && (sep == std::string::npos || dot > sep)) stem.resize(dot);
  for (const char* ext : {".html", ".htm", ".pdf", ".txt"}) {
    const std::string native = NativePath(stem + ext);
    struct stat st;
    if (!native.empty() && stat(native.c_str(), &st) == 0 && S_ISREG(st.st_mode)) return native;
  }
  return {};
}

bool TLinuxHelpViewer::Running() {
  if (child_ <= 0) return false;
  if (waitpid(child_, nullptr, WNOHANG) == 0) return true;
  child_ = -1;
  return false;
}

bool TLinuxHelpViewer::Contents(std::string_view helpFile) {
  if (Running()) return true;  // the viewer shows the contents already
  const std::string doc = Document(helpFile);
  if (doc.empty()) return false;
  std::vector<std::string> args;
  if (const char* cmd = std::getenv("VDMQ_HELP_CMD"); cmd && *cmd) args = SplitCommandLine(cmd);
  if (args.empty()) args.push_back("xdg-open");
  args.push_back(doc);
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addclosefrom_np(&actions, 3);
  pid_t pid = -1;
  const int rc = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (rc != 0) return false;
  child_ = pid;
  return true;
}

void TLinuxHelpViewer::Quit() {
  if (!Running()) return;
  kill(child_, SIGTERM);
  // Give the viewer a moment to go, so that no finished child is left behind.
  for (int i = 0; i < 50; ++i) {
    if (waitpid(child_, nullptr, WNOHANG) != 0) {
      child_ = -1;
      return;
    }
    const timespec pause{0, 4'000'000};
    nanosleep(&pause, nullptr);
  }
  child_ = -1;  // it ignored the request; it is no longer ours to track
}

}  // namespace vdmq
