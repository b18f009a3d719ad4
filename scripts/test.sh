#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: the full build (windows
# offscreen), then the logic tests again under AddressSanitizer and UBSan.
# The database tests run against a throw-away PostgreSQL cluster (pg_virtualenv);
# DORVAN_EXIGE_POSTGRESQL turns their skip into a failure, so a missing server
# can never pass unnoticed; DORVAN_EXIGE_LIBREOFFICE does the same for the
# spreadsheet program that opens our workbooks. With clang present, the sanitizer
# stage also gives every reader's fuzz target a short run (tests/fuzz).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
jobs=$(nproc)
# Everything else: the test programs and the benchmarks.
cmake --build build

export DORVAN_EXIGE_POSTGRESQL=1 DORVAN_EXIGE_LIBREOFFICE=1
(cd build && pg_virtualenv -t -- ctest --output-on-failure -j "$jobs")

cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DDORVAN_SANITIZE=ON -DDORVAN_UI=OFF \
      -DDORVAN_BENCH=OFF -DDORVAN_WERROR=ON
cmake --build build-asan
(cd build-asan && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
   pg_virtualenv -t -- ctest --output-on-failure -j "$jobs")

if command -v clang++ >/dev/null 2>&1; then
  cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_COMPILER=clang++ -DDORVAN_FUZZ=ON \
        -DDORVAN_UI=OFF -DDORVAN_TESTS=OFF -DDORVAN_BENCH=OFF -DDORVAN_WERROR=ON
  cmake --build build-fuzz
  (cd build-fuzz && ctest --output-on-failure -j "$jobs")
fi
