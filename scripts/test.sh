#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: the full build (windows
# offscreen), then the logic tests again under AddressSanitizer and UBSan.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
jobs=$(nproc)

(cd build && ctest --output-on-failure -j "$jobs")

cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DDORVAN_SANITIZE=ON -DDORVAN_UI=OFF \
      -DDORVAN_BENCH=OFF -DDORVAN_WERROR=ON
cmake --build build-asan
(cd build-asan && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 ctest --output-on-failure -j "$jobs")
