// A stand-in for the installer and the game in the setup program's tests: it records its whole
// argument vector and its current folder in $VDMQ_STANDIN_RECORD/<its file name>.txt, one item a
// line, written under a temporary name and renamed, so a reader sees the whole record or none.

#include <unistd.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <string>

int main(int argc, char** argv) {
  const char* folder = std::getenv("VDMQ_STANDIN_RECORD");
  char self[PATH_MAX] = {};
  char cwd[PATH_MAX] = {};
  if (!folder || readlink("/proc/self/exe", self, sizeof self - 1) <= 0 || !getcwd(cwd, sizeof cwd)) return 2;
  std::string name = self;
  name = name.substr(name.rfind('/') + 1);
  const std::string record = std::string(folder) + "/" + name + ".txt";
  std::string text;
  for (int i = 0; i < argc; ++i) text += std::string("arg ") + argv[i] + "\n";
  text += std::string("cwd ") + cwd + "\n";
  std::FILE* f = std::fopen((record + ".part").c_str(), "w");
  if (!f) return 2;
  const bool ok = std::fwrite(text.data(), 1, text.size(), f) == text.size();
  if (std::fclose(f) != 0 || !ok) return 2;
  return std::rename((record + ".part").c_str(), record.c_str()) == 0 ? 0 : 2;
}
