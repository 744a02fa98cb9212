#!/usr/bin/env bash
# Builds every target and runs every test: a normal build (GCC), a Clang build, a build under
# AddressSanitizer and UndefinedBehaviorSanitizer, and a bounded run of each fuzz target (libFuzzer
# with Clang). Every build turns warnings in the project's own code into errors.
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/deps.sh
vdmq_install_deps

jobs=$(nproc)
export CTEST_OUTPUT_ON_FAILURE=1

echo "== Format =="
# Every C++ file follows .clang-format (clang-format 14); the step names each file that does not.
format=$(command -v clang-format-14 || command -v clang-format)
unformatted=$(find battle bench campaign formkit fuzz platform qolib screens setup tests tools -type f \
  \( -name '*.cpp' -o -name '*.h' -o -name '*.c' \) -print0 | sort -z |
  xargs -0 -n 16 -P "$jobs" sh -c 'for f; do "$0" --dry-run --Werror "$f" >/dev/null 2>&1 || echo "$f"; done' "$format")
if [ -n "$unformatted" ]; then
  echo "These files differ from .clang-format (run: $format -i FILE):"
  echo "$unformatted" | sort | sed 's/^/  /'
  exit 1
fi

echo "== Normal build =="
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVDMQ_WERROR=ON
cmake --build build/release -j "$jobs"
ctest --test-dir build/release -j "$jobs" --timeout 600

echo "== Clang build =="
cmake -S . -B build/clang -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER=clang \
  -DCMAKE_CXX_COMPILER=clang++ -DVDMQ_WERROR=ON
cmake --build build/clang -j "$jobs"
ctest --test-dir build/clang -j "$jobs" --timeout 600

if ls fuzz/*/CMakeLists.txt >/dev/null 2>&1; then
  echo "== Fuzz targets (bounded) =="
  cmake -S . -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER=clang \
    -DCMAKE_CXX_COMPILER=clang++ -DVDMQ_FUZZ=ON -DVDMQ_TESTS=OFF -DVDMQ_BENCH=OFF -DVDMQ_WERROR=ON \
    -DVDMQ_FUZZ_SECONDS="${VDMQ_FUZZ_SECONDS:-45}"
  cmake --build build/fuzz -j "$jobs"
  ctest --test-dir build/fuzz -L fuzz -j "$jobs"
fi

echo "== Sanitizer build =="
cmake -S . -B build/asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS=-O1 -DCMAKE_C_FLAGS=-O1 \
  -DVDMQ_SANITIZE=ON -DVDMQ_BENCH=OFF -DVDMQ_WERROR=ON
cmake --build build/asan -j "$jobs"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
  ctest --test-dir build/asan -j "$jobs" --timeout 900

echo "== Generated pictures agree across builds =="
# The window kit's pictures are drawn at build time; every build must draw the same bytes.
diff -r build/release/formkit/pictures build/asan/formkit/pictures
