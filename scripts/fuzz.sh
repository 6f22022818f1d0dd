#!/usr/bin/env bash
# Runs one libFuzzer target: scripts/fuzz.sh TARGET SECONDS [extra libFuzzer flags]
# TARGET is the name after fuzz_ (usgs, iso8211, ...). The committed seeds in fuzz/corpus/TARGET
# are copied into a working corpus under the build folder, so new inputs never land in git;
# crashing inputs are written to fuzz/findings/TARGET/ (ignored by git): move the ones worth
# keeping to fuzz/regressions/TARGET/.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
target="${1:?usage: scripts/fuzz.sh TARGET SECONDS}"
seconds="${2:?usage: scripts/fuzz.sh TARGET SECONDS}"
shift 2
build="$root/build/fuzz"
(
  flock 9
  if [ ! -f "$build/build.ninja" ]; then
    CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DKV_FUZZ=ON -DKV_TESTS=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  fi
  ninja -C "$build" "fuzz_$target" >/dev/null
) 9>"$root/build/.fuzz-build.lock"
work="$build/corpus-work/$target"
findings="$root/fuzz/findings/$target"
mkdir -p "$work" "$findings"
if [ -d "$root/fuzz/corpus/$target" ]; then
  cp -n "$root/fuzz/corpus/$target"/* "$work"/ 2>/dev/null || true
fi
exec "$build/fuzz_$target" "$work" -max_total_time="$seconds" -rss_limit_mb=2048 -malloc_limit_mb=1024 \
  -timeout=10 -artifact_prefix="$findings/" -print_final_stats=1 "$@"
