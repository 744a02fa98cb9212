#!/usr/bin/env bash
# Builds the game, generates the sample data set beside the program and starts the game.
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/deps.sh
vdmq_install_deps

cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build/release -j "$(nproc)"
game=build/release/screens/vdm_q_t
if [ -x "$game" ]; then
  cmake --build build/release --target sample_data
  exec "$game"
else
  echo "The game program is not built yet: the libraries and their tests are built in build/release."
fi
