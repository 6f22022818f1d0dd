#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test. Exits non-zero on any failure.
#   1. the ordinary build (Release) and all its tests;
#   2. the parsers' tests again under AddressSanitizer and UndefinedBehaviorSanitizer;
#   3. the fuzz targets (clang, libFuzzer) replayed over their seeds and past findings.
set -euo pipefail
root="$(cd "$(dirname "$0")" && pwd)"
cd "$root"
scripts/install-deps.sh
jobs="$(nproc)"

echo "== build and test (Release)"
scripts/configure.sh build/release -DCMAKE_BUILD_TYPE=Release
ninja -C build/release
ctest --test-dir build/release --output-on-failure -j "$jobs"

echo "== parser tests under ASan and UBSan"
scripts/configure.sh build/sanitize -DCMAKE_BUILD_TYPE=Debug -DKV_SANITIZE=ON -DKV_BENCH=OFF
ninja -C build/sanitize kv_tests
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir build/sanitize --output-on-failure -j "$jobs"

echo "== fuzz targets over their corpora"
CXX=clang++ scripts/configure.sh build/fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKV_FUZZ=ON -DKV_TESTS=OFF
ninja -C build/fuzz
ctest --test-dir build/fuzz --output-on-failure -j "$jobs"
echo "== all tests passed"
