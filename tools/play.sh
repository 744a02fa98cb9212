#!/usr/bin/env bash
# Builds the game and its data set (the default build runs the data generator) and starts the game
# in its window.
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/deps.sh
vdmq_install_deps

cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build/release -j "$(nproc)"
exec build/release/screens/vdm_q_t
