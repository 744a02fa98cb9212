#!/usr/bin/env bash
# Writes the fuzz targets' seed inputs again (fuzz/seeds/<target>/) from the current formats and data
# set. Run it after changing a file format, a writer or the data set generator, and commit the result.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build/release --target make_fuzz_seeds
build/release/tools/make_fuzz_seeds fuzz/seeds
du -sh fuzz/seeds
