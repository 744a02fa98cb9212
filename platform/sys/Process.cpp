#include "platform/sys/Process.h"

#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <climits>

#include "platform/base/Sjis.h"
#include "platform/sys/PathMapper.h"

extern char** environ;

namespace vdmq {
namespace {

bool IsRegular(const std::string& path) {
  struct stat st;
  return !path.empty() && stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::string FolderOf(const std::string& gamePath) {
  size_t cut = std::string::npos;
  for (size_t i = 0; i < gamePath.size();) {
    const size_t len = SjisLetterLen(gamePath, i);
    if (len == 1 && (gamePath[i] == '\\' || gamePath[i] == '/')) cut = i;
    i += len;
  }
  return cut == std::string::npos ? std::string(".\\") : gamePath.substr(0, cut + 1);
}

}  // namespace

std::string TProcessService::ProgramFolder() { return FolderOf(ProgramFile()); }

std::vector<std::string> SplitCommandLine(std::string_view s) {
  std::vector<std::string> args;
  size_t i = 0;
  for (;;) {
    while (i < s.size() && (s[i] == ' ' || s[i] == '\t')) ++i;
    if (i >= s.size()) break;
    std::string arg;
    bool quoted = false;
    while (i < s.size()) {
      const size_t len = SjisLetterLen(s, i);
      if (len == 2) {
        arg.append(s.substr(i, 2));
        i += 2;
        continue;
      }
      const char c = s[i];
      if (c == '\\') {
        // Backslashes are literal unless they stand before a quote: 2n -> n and a quote mark,
        // 2n+1 -> n and a literal quote.
        size_t n = 0;
        while (i < s.size() && s[i] == '\\') {
          ++n;
          ++i;
        }
        if (i < s.size() && s[i] == '"') {
          arg.append(n / 2, '\\');
          if (n % 2 == 1) {
            arg += '"';
            ++i;
          }
        } else {
          arg.append(n, '\\');
        }
        continue;
      }
      if (c == '"') {
        quoted = !quoted;
        ++i;
        continue;
      }
      if (!quoted && (c == ' ' || c == '\t')) break;
      arg += c;
      ++i;
    }
    args.push_back(std::move(arg));
  }
  return args;
}

std::string NativeProgramPath(std::string_view program) {
  std::string native = NativePath(program);
  if (IsRegular(native)) return native;
  if (native.size() > 4) {
    std::string ext = native.substr(native.size() - 4);
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::tolower(c); });
    if (ext == ".exe") {
      const std::string plain = NativePath(program.substr(0, program.size() - 4));
      if (IsRegular(plain)) return plain;
    }
  }
  return native;
}

// ---------------------------------------------------------------- real

TLinuxProcessService::~TLinuxProcessService() { ReapFinished(); }

void TLinuxProcessService::ReapFinished() {
  std::erase_if(children_, [](pid_t pid) { return waitpid(pid, nullptr, WNOHANG) != 0; });
}

bool TLinuxProcessService::Start(std::string_view program, const std::string* commandLine) {
  ReapFinished();
  const std::string path = NativeProgramPath(program);
  if (!IsRegular(path) || access(path.c_str(), X_OK) != 0) return false;
  // The program is started by its own name: the arguments of the command line follow it.
  std::vector<std::string> args{path};
  if (commandLine) {
    for (const std::string& a : SplitCommandLine(*commandLine)) args.push_back(SjisToUtf8(a));
  }
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addclosefrom_np(&actions, 3);  // no handle of ours is inherited
  posix_spawnattr_t attr;
  posix_spawnattr_init(&attr);
  sigset_t none, all;
  sigemptyset(&none);
  sigfillset(&all);
  posix_spawnattr_setsigmask(&attr, &none);
  posix_spawnattr_setsigdefault(&attr, &all);
  posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
  pid_t pid = -1;
  const int rc = posix_spawn(&pid, path.c_str(), &actions, &attr, argv.data(), environ);
  posix_spawnattr_destroy(&attr);
  posix_spawn_file_actions_destroy(&actions);
  if (rc != 0) return false;
  children_.push_back(pid);
  return true;
}

std::string TLinuxProcessService::ProgramFile() {
  char buf[PATH_MAX];
  const ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
  if (n <= 0) return {};
  return GamePath(std::string_view(buf, static_cast<size_t>(n)));
}

bool TLinuxProcessService::MakeProgramFolderCurrent() {
  const std::string folder = NativePath(ProgramFolder());
  return !folder.empty() && chdir(folder.c_str()) == 0;
}

// ---------------------------------------------------------------- fake

bool TFakeProcessService::Start(std::string_view program, const std::string* commandLine) {
  starts.push_back({std::string(program), commandLine ? *commandLine : std::string(), commandLine != nullptr});
  return true;
}

bool TFakeProcessService::MakeProgramFolderCurrent() {
  ++folderChanges;
  const std::string folder = NativePath(ProgramFolder());
  return !folder.empty() && chdir(folder.c_str()) == 0;
}

}  // namespace vdmq
