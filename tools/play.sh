#!/usr/bin/env bash
# Builds the game, generates the sample data set beside the program and starts the game.
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/deps.sh
vdmq_install_deps

cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build/release -j "$(nproc)"
cmake --build build/release --target sample_data
game=build/release/screens/vdm_q_t
if [ -x "$game" ]; then
  exec "$game"
else
  echo "The sample data set (dat/INIT.DAT, dat/MAP00.DAT, save/) is in build/release/screens."
  echo "The game's screens are not built yet, so there is no program to start: the campaign engine, the"
  echo "battle and the libraries are built in build/release and run headless in the tests."
fi
