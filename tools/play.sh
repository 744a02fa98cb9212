#!/usr/bin/env bash
# Builds the game and its data set (the default build runs the data generator) and starts the game.
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/deps.sh
vdmq_install_deps

cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build/release -j "$(nproc)"
game=build/release/screens/vdm_q_t
if [ -x "$game" ]; then
  exec "$game"
else
  echo "The sample data set is in build/release/screens: dat/INIT.DAT (new-game data), dat/MAP00.DAT"
  echo "(the scenario map), dat/BMP.PAK (the picture archive), the empty save/ folder, snd/ (the sound"
  echo "effect and the adjutants' voices) and inter/ (the opening and ending movies)."
  echo "The game's screens are not built yet, so there is no program to start: the campaign engine, the"
  echo "battle and the libraries are built in build/release and run headless in the tests."
fi
