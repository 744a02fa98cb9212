// make_fuzz_seeds <folder>: writes the seed inputs of every fuzz target below the folder (fuzz/seeds
// of the source tree; tools/fuzz_seeds.sh does that).
#include <cstdio>

#include "tools/FuzzSeeds.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s <seed folder>\n", argv[0]);
    return 2;
  }
  return vdmq::seeds::WriteFuzzSeeds(argv[1]) ? 0 : 1;
}
