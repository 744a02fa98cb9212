// make_sample_data [--only STAGES] [--stage DIR] [--preview DIR] [--threads N] <game folder>: writes
// the game's data set (dat/INIT.DAT, dat/MAP00.DAT, save/, dat/BMP.PAK) below the game folder,
// normally the one that holds the game's program.
#include "tools/Generator.h"

int main(int argc, char** argv) { return vdmq::sample::MakeSampleDataMain(argc, argv); }
