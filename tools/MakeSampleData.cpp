// make_sample_data <folder>: writes the game's data set (dat/INIT.DAT, dat/MAP00.DAT, save/) below
// the folder, normally the one that holds the game's program.
#include <cstdio>

#include "tools/SampleData.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s <folder beside the game's program>\n", argv[0]);
    return 2;
  }
  return vdmq::sample::GenerateSampleData(argv[1]) ? 0 : 1;
}
